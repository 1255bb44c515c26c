// Reading pixels back from bitmaps and device contexts, for tests that look at what was drawn.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace velmor::test {

// Top-down 0x00RRGGBB pixels of a bitmap.
inline std::vector<uint32_t> BitmapPixels(HBITMAP bitmap, int* width = nullptr,
                                          int* height = nullptr) {
  BITMAP info{};
  ::GetObjectA(bitmap, sizeof info, &info);
  BITMAPINFO header{};
  header.bmiHeader.biSize = sizeof header.bmiHeader;
  header.bmiHeader.biWidth = info.bmWidth;
  header.bmiHeader.biHeight = -info.bmHeight;
  header.bmiHeader.biPlanes = 1;
  header.bmiHeader.biBitCount = 32;
  header.bmiHeader.biCompression = BI_RGB;
  std::vector<uint32_t> pixels(static_cast<std::size_t>(info.bmWidth * info.bmHeight));
  HDC screen = ::GetDC(nullptr);
  ::GetDIBits(screen, bitmap, 0, static_cast<UINT>(info.bmHeight), pixels.data(), &header,
              DIB_RGB_COLORS);
  ::ReleaseDC(nullptr, screen);
  for (uint32_t& pixel : pixels) pixel &= 0xFFFFFF;
  if (width) *width = info.bmWidth;
  if (height) *height = info.bmHeight;
  return pixels;
}

// A memory device context over a 32-bit top-down image that tests draw into and read.
class Canvas {
 public:
  Canvas(int width, int height, uint32_t fill) : width_(width), height_(height) {
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof header.bmiHeader;
    header.bmiHeader.biWidth = width;
    header.bmiHeader.biHeight = -height;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;
    dc_ = ::CreateCompatibleDC(nullptr);
    bitmap_ = ::CreateDIBSection(dc_, &header, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_),
                                 nullptr, 0);
    old_ = ::SelectObject(dc_, bitmap_);
    for (int i = 0; i < width * height; ++i) bits_[i] = fill;
  }
  ~Canvas() {
    ::SelectObject(dc_, old_);
    ::DeleteObject(bitmap_);
    ::DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return dc_; }
  uint32_t At(int x, int y) const {
    ::GdiFlush();
    return bits_[y * width_ + x] & 0xFFFFFF;
  }
  std::vector<uint32_t> Row(int y) const {
    ::GdiFlush();
    std::vector<uint32_t> row(bits_ + y * width_, bits_ + (y + 1) * width_);
    for (uint32_t& pixel : row) pixel &= 0xFFFFFF;
    return row;
  }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  int width_;
  int height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  uint32_t* bits_ = nullptr;
};

}  // namespace velmor::test
