// CControl: a class attached to a real control window (subclassing), so that the class sees
// the control's messages first and hands the rest to the control's own window procedure.
// Owner-draw requests that the platform sends to the parent dialog are passed on (reflected)
// to the attached class by CDialog.
#pragma once

#include "framework/window.h"

namespace fw {

class CControl : public CWindow {
 public:
  CControl() = default;
  virtual ~CControl();
  CControl(const CControl&) = delete;
  CControl& operator=(const CControl&) = delete;

  // Attaches to the control `id` of a dialog, or to any window.
  bool SubclassDlgItem(int id, HWND parent) { return Attach(::GetDlgItem(parent, id)); }
  bool Attach(HWND hwnd);
  void Detach();

  // Creates a window of `className` and attaches to it.
  bool Create(const char* className, DWORD style, const RECT& rect, HWND parent, int id,
              DWORD exStyle = 0);

  // The attached class of a window, or null.
  static CControl* FromHandle(HWND hwnd);

  // An owner-draw request for this control; true when the class drew it.
  virtual bool OnDrawItem(DRAWITEMSTRUCT* /*item*/) { return false; }

 protected:
  // The class's own handling; false hands the message to the control's window procedure.
  virtual bool HandleMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/,
                             LRESULT& /*result*/) {
    return false;
  }
  // Called once the window exists and is attached (by Create or Attach).
  virtual void OnAttached() {}
  // The control's own handling of a message.
  LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  WNDPROC original_ = nullptr;
};

}  // namespace fw
