// CAboutDlg: Oblen's about box.
#pragma once

#include "framework/dialog.h"
#include "oblen/resources/resource.h"

namespace velmor::oblen {

class CAboutDlg : public fw::CDialog {
 public:
  CAboutDlg() : CDialog(IDD_ABOUTBOX) {}
};

}  // namespace velmor::oblen
