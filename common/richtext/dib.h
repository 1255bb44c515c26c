// The header of a bottom-up 24-bit device-independent bitmap, as pictures travel between
// GDI bitmaps and picture records.
#pragma once

#include <windows.h>

#include <cstddef>

namespace velmor {

// Rows of 24-bit pixels are padded to a multiple of four bytes.
inline std::size_t Dib24Stride(int width) {
  return (std::size_t{3} * static_cast<std::size_t>(width) + 3) & ~std::size_t{3};
}

inline BITMAPINFOHEADER Dib24Header(int width, int height) {
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  header.biSizeImage = static_cast<DWORD>(Dib24Stride(width) * static_cast<std::size_t>(height));
  return header;
}

}  // namespace velmor
