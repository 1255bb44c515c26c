// CWindow: a window handle with the calls our windows make most, read like the API they wrap.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

class CWindow {
 public:
  CWindow() = default;
  explicit CWindow(HWND hwnd) : hwnd_(hwnd) {}

  HWND hwnd() const { return hwnd_; }
  operator HWND() const { return hwnd_; }  // NOLINT: passes straight to the API

  HWND GetItem(int id) const { return ::GetDlgItem(hwnd_, id); }
  CWindow Item(int id) const { return CWindow(GetItem(id)); }
  int GetId() const { return ::GetDlgCtrlID(hwnd_); }

  std::string GetText() const;
  void SetText(const std::string& text) const { ::SetWindowTextA(hwnd_, text.c_str()); }
  std::string GetItemText(int id) const { return Item(id).GetText(); }
  void SetItemText(int id, const std::string& text) const { Item(id).SetText(text); }

  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendMessageA(hwnd_, message, wParam, lParam);
  }
  BOOL Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::PostMessageA(hwnd_, message, wParam, lParam);
  }

  BOOL Move(int x, int y, int width, int height, bool repaint = true) const {
    return ::MoveWindow(hwnd_, x, y, width, height, repaint);
  }
  BOOL Show(int command = SW_SHOW) const { return ::ShowWindow(hwnd_, command); }
  BOOL Enable(bool enable = true) const { return ::EnableWindow(hwnd_, enable); }
  bool IsEnabled() const { return ::IsWindowEnabled(hwnd_) != FALSE; }
  bool IsVisible() const { return ::IsWindowVisible(hwnd_) != FALSE; }
  BOOL Invalidate(bool erase = true) const { return ::InvalidateRect(hwnd_, nullptr, erase); }
  BOOL Update() const { return ::UpdateWindow(hwnd_); }
  HWND SetFocus() const { return ::SetFocus(hwnd_); }
  HWND GetParent() const { return ::GetParent(hwnd_); }

  RECT ClientRect() const {
    RECT rect{};
    ::GetClientRect(hwnd_, &rect);
    return rect;
  }
  RECT WindowRect() const {
    RECT rect{};
    ::GetWindowRect(hwnd_, &rect);
    return rect;
  }
  LONG_PTR GetStyle() const { return ::GetWindowLongPtrA(hwnd_, GWL_STYLE); }
  void SetStyle(LONG_PTR style) const { ::SetWindowLongPtrA(hwnd_, GWL_STYLE, style); }

 protected:
  HWND hwnd_ = nullptr;
};

// The thumb position a WM_VSCROLL or WM_HSCROLL notification reports, in the full 32 bits
// (the message itself carries only 16): `bar` is SB_CTL for a scroll-bar control `window`,
// or SB_VERT / SB_HORZ for a window's own bar.
inline int ThumbPosition(HWND window, int bar, WPARAM wParam) {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_TRACKPOS | SIF_RANGE;
  if (::GetScrollInfo(window, bar, &info) && info.nMax > 0xFFFF) return info.nTrackPos;
  return HIWORD(wParam);
}

// Suspends a window's drawing for the guard's lifetime (WM_SETREDRAW off); at its end
// drawing is back on and the window is repainted once, with its children. A window that is
// not drawing anyway (no WS_VISIBLE: hidden, or inside an outer guard) is left alone, so
// guards nest and never make a hidden window visible.
class RedrawSuspended {
 public:
  explicit RedrawSuspended(HWND window)
      : window_((::GetWindowLongPtrA(window, GWL_STYLE) & WS_VISIBLE) ? window : nullptr) {
    if (window_) ::SendMessageA(window_, WM_SETREDRAW, FALSE, 0);
  }
  ~RedrawSuspended() {
    if (!window_) return;
    ::SendMessageA(window_, WM_SETREDRAW, TRUE, 0);
    ::RedrawWindow(window_, nullptr, nullptr,
                   RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
  }
  RedrawSuspended(const RedrawSuspended&) = delete;
  RedrawSuspended& operator=(const RedrawSuspended&) = delete;

 private:
  HWND window_;
};

}  // namespace fw
