#include "common/navbutton/navigate_button.h"

#include "framework/gdi.h"

namespace velmor {

namespace {

std::vector<HBITMAP>& Library() {
  static std::vector<HBITMAP> bitmaps;
  return bitmaps;
}

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info{};
  if (!bitmap || !::GetObjectA(bitmap, sizeof info, &info)) return SIZE{0, 0};
  return SIZE{info.bmWidth, info.bmHeight};
}

}  // namespace

void ButtonBitmapLibrary::Load(HINSTANCE module) {
  Free();
  for (int n = 0; n < kCount; ++n) {
    Library().push_back(
        ::LoadBitmapA(module, MAKEINTRESOURCEA(kFirstResource + static_cast<UINT>(n))));
  }
}

void ButtonBitmapLibrary::Free() {
  for (HBITMAP bitmap : Library())
    if (bitmap) ::DeleteObject(bitmap);
  Library().clear();
}

HBITMAP ButtonBitmapLibrary::Entry(int n) {
  return n >= 0 && static_cast<std::size_t>(n) < Library().size() ? Library()[n] : nullptr;
}

bool CNavigateButton::AttachToTemplateButton(int id, HWND parent) {
  HWND button = ::GetDlgItem(parent, id);
  if (!button) return false;
  LONG_PTR style = ::GetWindowLongPtrA(button, GWL_STYLE);
  ::SetWindowLongPtrA(button, GWL_STYLE, (style & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | BS_OWNERDRAW);
  return Attach(button);
}

void CNavigateButton::SetBitmaps(int triple) {
  normal_ = ButtonBitmapLibrary::Entry(3 * triple);
  hoverBitmap_ = ButtonBitmapLibrary::Entry(3 * triple + 1);
  pressed_ = ButtonBitmapLibrary::Entry(3 * triple + 2);
}

void CNavigateButton::SetPosition(int32_t x, int32_t y) {
  SIZE size = BitmapSize(normal_);
  x_ = x;
  y_ = y;
  bitmapWidth_ = size.cx;
  bitmapHeight_ = size.cy;
  Move(x, y, bitmapWidth_, bitmapHeight_, true);
  Invalidate();
}

CNavigateButton::Face CNavigateButton::FaceFor(UINT itemState) const {
  if (itemState & ODS_DISABLED) return Face::kDisabled;
  if (!hover_) return Face::kNormal;
  return (itemState & ODS_SELECTED) ? Face::kPressed : Face::kHover;
}

bool CNavigateButton::OnDrawItem(DRAWITEMSTRUCT* item) {
  HDC dc = item->hDC;
  int saved = ::SaveDC(dc);
  Face face = FaceFor(item->itemState);
  if (face == Face::kDisabled) {
    RECT whole = item->rcItem;
    fw::CGdiObject fill(::CreateSolidBrush(faceColour_));
    fw::CSelection selectFill(dc, fill.get());
    ::RoundRect(dc, whole.left, whole.top, whole.right, whole.bottom, 5, 5);
  } else {
    HBITMAP bitmap = face == Face::kNormal ? normal_ : face == Face::kPressed ? pressed_ : hoverBitmap_;
    if (bitmap) {
      SIZE size = BitmapSize(bitmap);
      HDC source = ::CreateCompatibleDC(dc);
      {
        fw::CSelection selectBitmap(source, bitmap);
        ::SetStretchBltMode(dc, COLORONCOLOR);
        ::StretchBlt(dc, 0, 0, bitmapWidth_, bitmapHeight_, source, 0, 0, size.cx, size.cy,
                     SRCCOPY);
      }
      ::DeleteDC(source);
    }
  }
  ::RestoreDC(dc, saved);
  return true;
}

bool CNavigateButton::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_MOUSEMOVE:
      result = OnMouseMove(wParam, lParam);
      return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      result = OnLeftButton(message, wParam, lParam);
      return true;
    case WM_CAPTURECHANGED:
      result = OnCaptureChanged(wParam, lParam);
      return true;
    default:
      return false;
  }
}

LRESULT CNavigateButton::OnMouseMove(WPARAM wParam, LPARAM lParam) {
  LRESULT result = DefaultProc(WM_MOUSEMOVE, wParam, lParam);
  bool captured = ::GetCapture() == hwnd();
  if (hover_ && captured) {
    POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    RECT client = ClientRect();
    if (!::PtInRect(&client, point)) {
      hover_ = false;
      ::ReleaseCapture();
      Invalidate();
    }
  } else {
    hover_ = true;
    ::SetCapture(hwnd());
    Invalidate();
  }
  return result;
}

LRESULT CNavigateButton::OnCaptureChanged(WPARAM wParam, LPARAM lParam) {
  LRESULT result = DefaultProc(WM_CAPTURECHANGED, wParam, lParam);
  EndHoverIfPointerLeft();
  return result;
}

void CNavigateButton::EndHoverIfPointerLeft() {
  // The pointer may leave while another window holds the mouse (a dialog this very button
  // opened, say); without this the hover face would stay until the pointer came back.
  if (!hover_) return;
  POINT cursor;
  RECT window = WindowRect();
  if (::GetCursorPos(&cursor) && !::PtInRect(&window, cursor)) {
    hover_ = false;
    if (::GetCapture() == hwnd()) ::ReleaseCapture();
    Invalidate();
  }
}

LRESULT CNavigateButton::OnLeftButton(UINT message, WPARAM wParam, LPARAM lParam) {
  if (::GetFocus() != hwnd()) SetFocus();
  LRESULT result = DefaultProc(message, wParam, lParam);
  if (message == WM_LBUTTONUP) {
    // The platform's button let the mouse go; the click may even have run a dialog.
    EndHoverIfPointerLeft();
    if (hover_ && ::GetCapture() != hwnd()) ::SetCapture(hwnd());  // to see the pointer leave
  }
  Invalidate();
  return result;
}

}  // namespace velmor
