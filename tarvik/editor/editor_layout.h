// Where the editor window puts its controls and picture buttons, in client pixels of its
// 800 x 681 client area. The one table of them: the window places its controls by it, the
// window test checks the real window against it, and scripts/draw_resources.sh reads the rows
// below (one to a line, as written) to draw the background's fields and keep its captions
// clear of them.
#pragma once

#include "tarvik/resources/resource.h"

namespace velmor {

struct Placement {
  int id;
  int x, y, width, height;
};

struct ButtonPlacement {
  int id;
  int triple;  // the button's bitmap triple
  int x, y, width, height;
};

inline constexpr Placement kControlPlacements[] = {
    {IDC_TITLE, 100, 11, 579, 20},
    {IDC_CATEGORY_LIST, 38, 46, 370, 115},
    {IDC_CATEGORY_NAME, 500, 47, 291, 20},
    {IDC_MERGE_TARGET, 414, 139, 67, 20},
    {IDC_MERGE_SOURCE, 500, 139, 67, 20},
    {IDC_BIG_LIST, 38, 177, 110, 225},
    {IDC_STEM, 222, 177, 570, 195},
    {IDC_SMALL_LIST, 38, 417, 290, 100},
    {IDC_SMALL_TEXT, 383, 417, 408, 74},
    {IDC_SMALL_SCORE, 508, 496, 67, 20},
    {IDC_SINGLE_CHOICE, 384, 500, 75, 15},
    {IDC_OPTION_LIST, 38, 537, 290, 100},
    {IDC_OPTION_TEXT, 383, 536, 408, 74},
    {IDC_OPTION_SCORE, 508, 615, 67, 20},
    {IDC_OPTION_IS_ANSWER, 384, 619, 75, 15},
};

inline constexpr ButtonPlacement kButtonPlacements[] = {
    {IDC_CATEGORY_ADD, 3, 588, 72, 60, 26},
    {IDC_CATEGORY_RENAME, 4, 657, 72, 60, 26},
    {IDC_CATEGORY_DELETE, 5, 726, 72, 60, 26},
    {IDC_CATEGORY_MERGE, 6, 613, 102, 60, 60},
    {IDC_STEM_FONT, 7, 155, 184, 60, 60},
    {IDC_STEM_CAPTURE, 8, 155, 261, 60, 60},
    {IDC_BIG_ADD, 3, 588, 376, 60, 26},
    {IDC_BIG_CHANGE, 4, 657, 376, 60, 26},
    {IDC_BIG_DELETE, 5, 726, 376, 60, 26},
    {IDC_SMALL_ADD, 3, 588, 494, 60, 26},
    {IDC_SMALL_CHANGE, 4, 657, 494, 60, 26},
    {IDC_SMALL_DELETE, 5, 726, 494, 60, 26},
    {IDC_OPTION_ADD, 3, 588, 613, 60, 26},
    {IDC_OPTION_CHANGE, 4, 657, 613, 60, 26},
    {IDC_OPTION_DELETE, 5, 726, 613, 60, 26},
    {IDC_WEB_BANNER, 9, 570, 655, 215, 14},
};

}  // namespace velmor
