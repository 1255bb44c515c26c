// Small GDI helpers: owned objects, scoped selection, the fonts our views make, and the
// off-screen canvas through which custom views paint in one transfer.
#pragma once

#include <windows.h>

namespace fw {

// Owns a pen, brush, font or bitmap and deletes it at the end.
class CGdiObject {
 public:
  explicit CGdiObject(HGDIOBJ object = nullptr) : object_(object) {}
  ~CGdiObject() {
    if (object_) ::DeleteObject(object_);
  }
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;
  HGDIOBJ get() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }

 private:
  HGDIOBJ object_;
};

// Selects an object into a device context for the guard's lifetime.
class CSelection {
 public:
  CSelection(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? ::SelectObject(dc, object) : nullptr) {}
  ~CSelection() {
    if (old_) ::SelectObject(dc_, old_);
  }
  CSelection(const CSelection&) = delete;
  CSelection& operator=(const CSelection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// A TrueType-only font of `points` for this device: height -MulDiv(points, pixels per
// logical inch, 72), every field not named zero. Null when the font cannot be made.
inline HFONT MakePointFont(HDC dc, int points, int weight, const char* face = "") {
  LOGFONTA font{};
  font.lfHeight = -::MulDiv(points, ::GetDeviceCaps(dc, LOGPIXELSY), 72);
  font.lfWeight = weight;
  font.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  ::lstrcpynA(font.lfFaceName, face, LF_FACESIZE);
  return ::CreateFontIndirectA(&font);
}

// An off-screen bitmap of a window's client size that starts as a copy of what `target`
// shows; what is drawn into dc() reaches `target` in one transfer when the canvas ends.
class COffscreenCanvas {
 public:
  COffscreenCanvas(HDC target, int width, int height)
      : target_(target), width_(width), height_(height), dc_(::CreateCompatibleDC(target)),
        bitmap_(::CreateCompatibleBitmap(target, width, height)),
        old_(::SelectObject(dc_, bitmap_)) {
    ::BitBlt(dc_, 0, 0, width_, height_, target_, 0, 0, SRCCOPY);
  }
  ~COffscreenCanvas() {
    ::BitBlt(target_, 0, 0, width_, height_, dc_, 0, 0, SRCCOPY);
    ::SelectObject(dc_, old_);
    ::DeleteObject(bitmap_);
    ::DeleteDC(dc_);
  }
  COffscreenCanvas(const COffscreenCanvas&) = delete;
  COffscreenCanvas& operator=(const COffscreenCanvas&) = delete;
  HDC dc() const { return dc_; }

 private:
  HDC target_;
  int width_;
  int height_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

// Draws a window's client area through an off-screen canvas in one transfer: inside a paint
// request (`inPaint`), or at once through a client device context outside the paint cycle.
// `draw` takes the canvas's device context and the client rectangle.
template <class Draw>
void DrawBuffered(HWND window, bool inPaint, Draw draw) {
  PAINTSTRUCT paint;
  HDC dc = inPaint ? ::BeginPaint(window, &paint) : ::GetDC(window);
  RECT client{};
  ::GetClientRect(window, &client);
  {
    COffscreenCanvas canvas(dc, client.right, client.bottom);
    draw(canvas.dc(), client);
  }
  if (inPaint) {
    ::EndPaint(window, &paint);
  } else {
    ::ReleaseDC(window, dc);
  }
}

}  // namespace fw
