// CChildPanel: a dialog that lives as a child window inside a bigger one (a WS_CHILD
// template). Enter and Esc belong to the window around it, so they end nothing here.
#pragma once

#include "framework/dialog.h"

namespace fw {

class CChildPanel : public CDialog {
 public:
  using CDialog::CDialog;

 protected:
  void OnOK() override {}
  void OnCancel() override {}

  // For the table of a panel that paints all of its client itself: the background is
  // left as it is, since erasing it first only makes the panel flicker. A derived table
  // names its own class: fw::OnMessage<CMyPanel>(WM_ERASEBKGND, &CMyPanel::OnEraseBackground).
  LRESULT OnEraseBackground(WPARAM, LPARAM) { return 1; }
};

}  // namespace fw
