// CAboutDlg: the program's about box.
#pragma once

#include "framework/dialog.h"
#include "tarvik/resources/resource.h"

namespace velmor {

class CAboutDlg : public fw::CDialog {
 public:
  CAboutDlg() : CDialog(IDD_ABOUTBOX) {}
};

}  // namespace velmor
