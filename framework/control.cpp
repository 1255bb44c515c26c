#include "framework/control.h"

namespace fw {

namespace {

const char kControlProperty[] = "VelmorControl";

}  // namespace

CControl::~CControl() { Detach(); }

bool CControl::Attach(HWND hwnd) {
  if (!hwnd || hwnd_ || FromHandle(hwnd)) return false;
  hwnd_ = hwnd;
  ::SetPropA(hwnd, kControlProperty, this);
  original_ = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CControl::Procedure)));
  OnAttached();
  return true;
}

void CControl::Detach() {
  if (!hwnd_) return;
  if (::IsWindow(hwnd_)) {
    ::SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    ::RemovePropA(hwnd_, kControlProperty);
  }
  hwnd_ = nullptr;
  original_ = nullptr;
}

bool CControl::Create(const char* className, DWORD style, const RECT& rect, HWND parent, int id,
                      DWORD exStyle) {
  HWND hwnd = ::CreateWindowExA(exStyle, className, "", style, rect.left, rect.top,
                                rect.right - rect.left, rect.bottom - rect.top, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                ::GetModuleHandleA(nullptr), nullptr);
  return hwnd && Attach(hwnd);
}

CControl* CControl::FromHandle(HWND hwnd) {
  return hwnd ? static_cast<CControl*>(::GetPropA(hwnd, kControlProperty)) : nullptr;
}

LRESULT CControl::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::CallWindowProcA(original_, hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK CControl::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CControl* self = FromHandle(hwnd);
  if (!self) return ::DefWindowProcA(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    WNDPROC original = self->original_;
    self->Detach();
    return ::CallWindowProcA(original, hwnd, message, wParam, lParam);
  }
  LRESULT result = 0;
  if (self->HandleMessage(message, wParam, lParam, result)) return result;
  return self->DefaultProc(message, wParam, lParam);
}

}  // namespace fw
