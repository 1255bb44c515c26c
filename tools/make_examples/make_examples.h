// What the example writers share: styled text spans, pictures drawn in code, and the writer
// that types a description into a real rich-text control and saves it as the editors do.
#pragma once

#include <windows.h>
#include <richedit.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/richtext/rich_content.h"
#include "common/richtext/rich_edit_ctrl_ex.h"

namespace velmor {

struct Span {
  std::string text;
  const char* face;
  COLORREF colour;
  DWORD effects;
  LONG twips;
};

inline constexpr char kSong[] = "宋体";
inline constexpr char kHei[] = "黑体";

inline Span Heading(const std::string& text) { return {text, kHei, RGB(160, 0, 0), CFE_BOLD, 280}; }
inline Span Plain(const std::string& text) { return {text, kSong, RGB(0, 0, 0), 0, 220}; }
inline Span Stress(const std::string& text) { return {text, kSong, RGB(0, 70, 160), CFE_UNDERLINE, 220}; }

// Pictures drawn in code: top-down rows of blue, green, red.
inline ContentBlock Gradient(int width, int height) {
  std::vector<unsigned char> pixels(3 * width * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      unsigned char* p = &pixels[3 * (y * width + x)];
      p[0] = static_cast<unsigned char>(255 - x * 255 / (width - 1));
      p[1] = static_cast<unsigned char>(40 + y * 60 / height);
      p[2] = static_cast<unsigned char>(x * 255 / (width - 1));
    }
  return MakePictureRecord(width, height, pixels.data());
}

inline ContentBlock BarChart(const std::vector<int>& values) {
  const int width = 40 * static_cast<int>(values.size()) + 20, height = 110;
  std::vector<unsigned char> pixels(3 * width * height, 255);
  const unsigned char colours[][3] = {{200, 120, 40}, {40, 160, 60}, {40, 60, 200}, {160, 40, 160}};
  for (std::size_t i = 0; i < values.size(); ++i) {
    int left = 20 + 40 * static_cast<int>(i);
    for (int y = height - 10 - values[i]; y < height - 10; ++y)
      for (int x = left; x < left + 28; ++x) std::memcpy(&pixels[3 * (y * width + x)], colours[i % 4], 3);
  }
  for (int x = 10; x < width - 5; ++x) std::memset(&pixels[3 * ((height - 10) * width + x)], 0, 3);
  for (int y = 5; y < height - 9; ++y) std::memset(&pixels[3 * (y * width + 10)], 0, 3);
  return MakePictureRecord(width, height, pixels.data());
}

inline ContentBlock Faces() {
  const int size = 36, width = size * 5 + 40, height = size + 8;
  std::vector<unsigned char> pixels(3 * width * height, 255);
  for (int face = 0; face < 5; ++face) {
    int cx = 20 + face * (size + 5) + size / 2, cy = height / 2;
    unsigned char colour[3] = {static_cast<unsigned char>(40 + face * 30), static_cast<unsigned char>(200 - face * 30),
                               static_cast<unsigned char>(80 + face * 40)};
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        int dx = x - cx, dy = y - cy;
        if (dx * dx + dy * dy <= (size / 2) * (size / 2)) std::memcpy(&pixels[3 * (y * width + x)], colour, 3);
      }
  }
  return MakePictureRecord(width, height, pixels.data());
}

class StemWriter {
 public:
  StemWriter() {
    host_ = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr,
                              ::GetModuleHandleA(nullptr), nullptr);
    rich_.Create(ES_MULTILINE | ES_WANTRETURN | WS_VISIBLE, RECT{0, 0, 580, 380}, host_, 1022);
  }
  ~StemWriter() { ::DestroyWindow(host_); }

  ContentBlock Write(const std::vector<Span>& spans, const ContentBlock* picture = nullptr) {
    rich_.ClearContent();
    for (const Span& span : spans) {
      rich_.Send(EM_SETSEL, -1, -1);
      CHARFORMATA format{};
      format.cbSize = sizeof format;
      format.dwMask = CFM_FACE | CFM_COLOR | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_SIZE | CFM_CHARSET;
      std::strcpy(format.szFaceName, span.face);
      format.crTextColor = span.colour;
      format.dwEffects = span.effects;
      format.yHeight = span.twips;
      format.bCharSet = GB2312_CHARSET;
      rich_.Send(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
      rich_.Send(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(span.text.c_str()));
    }
    if (picture) {
      rich_.Send(EM_SETSEL, -1, -1);
      rich_.InsertPicture(picture->Clone(), -1);
    }
    return rich_.SaveContent();
  }

 private:
  HWND host_ = nullptr;
  CRichEditCtrlEx rich_;
};

// Oblen's demonstration bank (operation_examples.cpp).
bool WriteOperationBank(StemWriter& stems, const std::string& path);

}  // namespace velmor
