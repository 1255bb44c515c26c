// The arithmetic of the screen capture: where the information panel goes, how a dragged
// selection becomes a rectangle, and how the picture is cut out of the frozen screen.
#pragma once

#include <cstdint>
#include <string>

#include "common/base/content_block.h"

namespace velmor {

struct CapturePoint {
  int32_t x = 0;
  int32_t y = 0;
};

struct CaptureRect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
  bool Contains(CapturePoint p) const {
    return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
  }
  friend bool operator==(const CaptureRect& a, const CaptureRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
  }
};

constexpr int32_t kPanelWidth = 172;
constexpr int32_t kPanelHeight = 100;

CaptureRect LeftPanelPlace();
CaptureRect RightPanelPlace(int32_t screenWidth);

// The panel keeps out of the mouse's way: over the left place it moves right, over the
// right place it moves left, elsewhere it stays.
CaptureRect NextPanelPlace(const CaptureRect& current, CapturePoint mouse, int32_t screenWidth);

// The selection between two dragged corners, whichever way the drag went.
CaptureRect NormaliseSelection(CapturePoint start, CapturePoint end);

// The two information lines of the panel.
struct PanelLines {
  std::string first;
  std::string second;
};
PanelLines SelectionLines(CapturePoint start, CapturePoint end);
PanelLines MouseLines(CapturePoint mouse, uint8_t red, uint8_t green, uint8_t blue);

// "上%d,下%d,左%d,右%d" for an empty selection.
std::string EmptySelectionText(const CaptureRect& selection);

// Cuts `selection` out of a bottom-up 24-bit screen image (rows of `stride` bytes, screen
// line y at row height - 1 - y) into a picture record with three trailing bytes. The
// selection must lie within the screen.
ContentBlock CutPicture(const unsigned char* bits, int32_t screenWidth, int32_t screenHeight,
                        std::size_t stride, const CaptureRect& selection);

}  // namespace velmor
