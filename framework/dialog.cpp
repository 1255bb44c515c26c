#include "framework/dialog.h"

#include "framework/app.h"
#include "framework/control.h"

namespace fw {

namespace {

// Messages whose result a dialog procedure returns itself instead of through DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message) {
  switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
      return true;
    default:
      return false;
  }
}

}  // namespace

CDialog::~CDialog() { DestroyWindow(); }

INT_PTR CDialog::DoModal(HWND owner) {
  modal_ = true;
  ended_ = false;
  return ::DialogBoxParamA(ModuleInstance(), MAKEINTRESOURCEA(templateId_), owner,
                           &CDialog::Procedure, reinterpret_cast<LPARAM>(this));
}

bool CDialog::Create(HWND parent) {
  modal_ = false;
  ended_ = false;
  return ::CreateDialogParamA(ModuleInstance(), MAKEINTRESOURCEA(templateId_), parent,
                              &CDialog::Procedure, reinterpret_cast<LPARAM>(this)) != nullptr;
}

void CDialog::DestroyWindow() {
  if (hwnd_ && ::IsWindow(hwnd_) && !modal_) ::DestroyWindow(hwnd_);
}

void CDialog::EndDialog(INT_PTR result) {
  ended_ = true;
  result_ = result;
  if (!hwnd_) return;
  if (modal_) {
    ::EndDialog(hwnd_, result);
  } else {
    ::ShowWindow(hwnd_, SW_HIDE);
  }
}

INT_PTR CALLBACK CDialog::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CDialog* self;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<CDialog*>(lParam);
    self->hwnd_ = hwnd;
    ::SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
  } else {
    self = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
  }
  if (!self) return FALSE;
  INT_PTR handled = self->Route(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrA(hwnd, DWLP_USER, 0);
    self->hwnd_ = nullptr;
  }
  return handled;
}

INT_PTR CDialog::Route(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) return OnInitDialog();

  LRESULT result = 0;
  if (HandleMessage(message, wParam, lParam, result)) {
    if (ReturnsResultDirectly(message)) return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, result);
    return TRUE;
  }

  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK && HIWORD(wParam) == BN_CLICKED) {
        OnOK();
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL && HIWORD(wParam) == BN_CLICKED) {
        OnCancel();
        return TRUE;
      }
      break;
    case WM_DRAWITEM: {
      // Owner-drawn controls draw themselves.
      DRAWITEMSTRUCT* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
      CControl* control = CControl::FromHandle(item->hwndItem);
      if (control && control->OnDrawItem(item)) {
        ::SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, TRUE);
        return TRUE;
      }
      break;
    }
    default:
      break;
  }
  return FALSE;
}

}  // namespace fw
