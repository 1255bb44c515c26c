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
  void reset(HGDIOBJ object) {
    if (object_) ::DeleteObject(object_);
    object_ = object;
  }
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

// A bitmap kept selected into a memory device context of its own for the owner's lifetime.
// Under Wine, selecting a bitmap into a device context costs as much as some twenty copies of
// a small picture, so a view that draws its pictures again and again keeps them selected.
class CPicture {
 public:
  // Takes the bitmap (null: an empty picture that draws nothing).
  explicit CPicture(HBITMAP bitmap) : bitmap_(bitmap) {
    BITMAP info{};
    if (!bitmap_ || !::GetObjectA(bitmap_, sizeof info, &info)) return;
    dc_ = ::CreateCompatibleDC(nullptr);
    if (!dc_) return;
    old_ = ::SelectObject(dc_, bitmap_);
    width_ = info.bmWidth;
    height_ = info.bmHeight;
  }
  // A copy of `picture` stretched to width x height (COLORONCOLOR), made once.
  CPicture(const CPicture& picture, int width, int height)
      : CPicture(picture.empty() ? nullptr : Stretched(picture, width, height)) {}
  ~CPicture() {
    if (dc_) {
      ::SelectObject(dc_, old_);
      ::DeleteDC(dc_);
    }
    if (bitmap_) ::DeleteObject(bitmap_);
  }
  CPicture(const CPicture&) = delete;
  CPicture& operator=(const CPicture&) = delete;

  bool empty() const { return width_ == 0; }
  int width() const { return width_; }
  int height() const { return height_; }

  // Copies the part (fromX, fromY, fromWidth, fromHeight) of the picture to the rectangle
  // (x, y, width, height) of `target`, stretched when the sizes differ.
  void DrawPart(HDC target, int x, int y, int width, int height, int fromX, int fromY,
                int fromWidth, int fromHeight) const {
    if (empty()) return;
    if (width == fromWidth && height == fromHeight) {
      ::BitBlt(target, x, y, width, height, dc_, fromX, fromY, SRCCOPY);
      return;
    }
    ::SetStretchBltMode(target, COLORONCOLOR);
    ::StretchBlt(target, x, y, width, height, dc_, fromX, fromY, fromWidth, fromHeight, SRCCOPY);
  }
  // The whole picture at (x, y), stretched to width x height.
  void Draw(HDC target, int x, int y, int width, int height) const {
    DrawPart(target, x, y, width, height, 0, 0, width_, height_);
  }

 private:
  static HBITMAP Stretched(const CPicture& picture, int width, int height) {
    HDC screen = ::GetDC(nullptr);
    HBITMAP copy = ::CreateCompatibleBitmap(screen, width, height);
    ::ReleaseDC(nullptr, screen);
    HDC dc = copy ? ::CreateCompatibleDC(nullptr) : nullptr;
    if (dc) {
      HGDIOBJ old = ::SelectObject(dc, copy);
      picture.Draw(dc, 0, 0, width, height);
      ::SelectObject(dc, old);
      ::DeleteDC(dc);
    }
    return copy;
  }

  HBITMAP bitmap_;
  HDC dc_ = nullptr;
  HGDIOBJ old_ = nullptr;
  int width_ = 0;
  int height_ = 0;
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
