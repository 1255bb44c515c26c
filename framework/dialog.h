// CDialog: a dialog made from a template of the program's resources, modal or modeless.
// The dialog procedure keeps `this` from WM_INITDIALOG on and hands every message to
// HandleMessage (the class's message table); Enter and Esc arrive as OnOK and OnCancel.
#pragma once

#include "framework/data_exchange.h"
#include "framework/window.h"

namespace fw {

class CDialog : public CWindow {
 public:
  explicit CDialog(UINT templateId) : templateId_(templateId), data_(*this) {}
  virtual ~CDialog();
  CDialog(const CDialog&) = delete;
  CDialog& operator=(const CDialog&) = delete;

  // Runs the dialog modally; returns the value given to EndDialog, or -1 when the dialog
  // could not be made.
  INT_PTR DoModal(HWND owner = nullptr);
  // Makes the dialog modeless (hidden unless the template says visible).
  bool Create(HWND parent);
  void DestroyWindow();

  // Ends a modal dialog with `result`; a modeless one is hidden and remembers the result.
  void EndDialog(INT_PTR result);
  bool ended() const { return ended_; }
  INT_PTR result() const { return result_; }

  UINT templateId() const { return templateId_; }
  DataExchange& data() { return data_; }

 protected:
  virtual BOOL OnInitDialog() { return TRUE; }
  virtual void OnOK() { EndDialog(IDOK); }
  virtual void OnCancel() { EndDialog(IDCANCEL); }
  virtual bool HandleMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/,
                             LRESULT& /*result*/) {
    return false;
  }

 private:
  static INT_PTR CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Route(UINT message, WPARAM wParam, LPARAM lParam);

  UINT templateId_;
  DataExchange data_;
  bool modal_ = false;
  bool ended_ = false;
  INT_PTR result_ = 0;
};

}  // namespace fw
