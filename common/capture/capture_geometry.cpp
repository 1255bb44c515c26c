#include "common/capture/capture_geometry.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "common/richtext/rich_content.h"

namespace velmor {

namespace {

std::string Format(const char* pattern, int a, int b) {
  char text[64];
  std::snprintf(text, sizeof text, pattern, a, b);
  return text;
}

}  // namespace

CaptureRect LeftPanelPlace() { return {5, 5, 5 + kPanelWidth, 5 + kPanelHeight}; }

CaptureRect RightPanelPlace(int32_t screenWidth) {
  return {screenWidth - 177, 5, screenWidth - 5, 5 + kPanelHeight};
}

CaptureRect NextPanelPlace(const CaptureRect& current, CapturePoint mouse, int32_t screenWidth) {
  if (LeftPanelPlace().Contains(mouse)) return RightPanelPlace(screenWidth);
  if (RightPanelPlace(screenWidth).Contains(mouse)) return LeftPanelPlace();
  return current;
}

CaptureRect NormaliseSelection(CapturePoint start, CapturePoint end) {
  return {std::min(start.x, end.x), std::min(start.y, end.y), std::max(start.x, end.x),
          std::max(start.y, end.y)};
}

PanelLines SelectionLines(CapturePoint start, CapturePoint end) {
  return {Format("起始点：%d, %d", start.x, start.y), Format("中止点：%d, %d", end.x, end.y)};
}

PanelLines MouseLines(CapturePoint mouse, uint8_t red, uint8_t green, uint8_t blue) {
  char colour[64];
  std::snprintf(colour, sizeof colour, "当前颜色: %d, %d, %d", red, green, blue);
  return {Format("鼠标位置: %d, %d", mouse.x, mouse.y), colour};
}

std::string EmptySelectionText(const CaptureRect& selection) {
  char text[96];
  std::snprintf(text, sizeof text, "上%d,下%d,左%d,右%d", selection.top, selection.bottom,
                selection.left, selection.right);
  return text;
}

ContentBlock CutPicture(const unsigned char* bits, int32_t screenWidth, int32_t screenHeight,
                        std::size_t stride, const CaptureRect& selection) {
  CaptureRect clipped{std::max(selection.left, 0), std::max(selection.top, 0),
                      std::min(selection.right, screenWidth),
                      std::min(selection.bottom, screenHeight)};
  int32_t width = std::max(clipped.right - clipped.left, 0);
  int32_t height = std::max(clipped.bottom - clipped.top, 0);
  std::size_t rowBytes = std::size_t{3} * static_cast<std::size_t>(width);
  std::vector<unsigned char> pixels(rowBytes * static_cast<std::size_t>(height));
  for (int32_t i = 0; i < height; ++i) {
    const unsigned char* row =
        bits + stride * static_cast<std::size_t>(screenHeight - 1 - (clipped.top + i));
    std::memcpy(pixels.data() + rowBytes * static_cast<std::size_t>(i),
                row + std::size_t{3} * static_cast<std::size_t>(clipped.left), rowBytes);
  }
  return MakePictureRecord(width, height, pixels.data());
}

}  // namespace velmor
