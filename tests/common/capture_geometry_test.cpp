#include <gtest/gtest.h>

#include "common/capture/capture_geometry.h"
#include "common/richtext/rich_content.h"

namespace velmor {
namespace {

TEST(CapturePanel, MovesToTheOtherPlaceWhenTheMouseEntersOne) {
  const int32_t width = 1280;
  CaptureRect left = LeftPanelPlace();
  CaptureRect right = RightPanelPlace(width);
  EXPECT_TRUE(left == (CaptureRect{5, 5, 177, 105}));
  EXPECT_TRUE(right == (CaptureRect{1103, 5, 1275, 105}));
  EXPECT_TRUE(NextPanelPlace(left, {5, 5}, width) == right);
  EXPECT_TRUE(NextPanelPlace(left, {176, 104}, width) == right);
  EXPECT_TRUE(NextPanelPlace(left, {177, 50}, width) == left);   // right edge is outside
  EXPECT_TRUE(NextPanelPlace(left, {50, 105}, width) == left);   // so is the bottom edge
  EXPECT_TRUE(NextPanelPlace(right, {1103, 5}, width) == left);
  EXPECT_TRUE(NextPanelPlace(right, {600, 600}, width) == right);
  EXPECT_TRUE(NextPanelPlace(left, {4, 4}, width) == left);
}

TEST(CaptureSelection, NormalisesEitherDragDirection) {
  CaptureRect forward = NormaliseSelection({10, 20}, {50, 60});
  EXPECT_TRUE(forward == (CaptureRect{10, 20, 50, 60}));
  EXPECT_TRUE(NormaliseSelection({50, 60}, {10, 20}) == forward);
  EXPECT_TRUE(NormaliseSelection({50, 20}, {10, 60}) == forward);
  EXPECT_EQ(EmptySelectionText(NormaliseSelection({7, 9}, {7, 30})), "上9,下30,左7,右7");
}

TEST(CaptureText, PanelLinesFollowTheState) {
  PanelLines mouse = MouseLines({12, 34}, 255, 142, 0);
  EXPECT_EQ(mouse.first, "鼠标位置: 12, 34");
  EXPECT_EQ(mouse.second, "当前颜色: 255, 142, 0");
  PanelLines selection = SelectionLines({1, 2}, {3, 4});
  EXPECT_EQ(selection.first, "起始点：1, 2");
  EXPECT_EQ(selection.second, "中止点：3, 4");
}

TEST(CapturePicture, CutsRowsTopDownFromABottomUpImage) {
  // A 5 x 4 screen, stride 16 (15 bytes rounded up); pixel (x, y) = (x, y, 9).
  const int32_t width = 5, height = 4;
  const std::size_t stride = 16;
  std::vector<unsigned char> bits(stride * height, 0xEE);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      unsigned char* pixel = bits.data() + stride * (height - 1 - y) + 3 * x;
      pixel[0] = static_cast<unsigned char>(x);
      pixel[1] = static_cast<unsigned char>(y);
      pixel[2] = 9;
    }
  ContentBlock record = CutPicture(bits.data(), width, height, stride, {1, 0, 4, 4});
  PictureView view;
  ASSERT_TRUE(ParsePictureRecord(record.data(), record.size(), &view));
  EXPECT_EQ(record.size(), 3u * 3 * 4 + 23);
  EXPECT_EQ(view.width, 3);
  EXPECT_EQ(view.height, 4);
  const std::vector<unsigned char> firstRow{1, 0, 9, 2, 0, 9, 3, 0, 9};
  const std::vector<unsigned char> lastRow{1, 3, 9, 2, 3, 9, 3, 3, 9};
  EXPECT_EQ(std::vector<unsigned char>(view.pixels(), view.pixels() + 9), firstRow);
  EXPECT_EQ(std::vector<unsigned char>(view.pixels() + 27, view.pixels() + 36), lastRow);
  // A selection reaching past the screen is cut to it.
  ContentBlock clipped = CutPicture(bits.data(), width, height, stride, {3, 2, 9, 9});
  ASSERT_TRUE(ParsePictureRecord(clipped.data(), clipped.size(), &view));
  EXPECT_EQ(view.width, 2);
  EXPECT_EQ(view.height, 2);
}

}  // namespace
}  // namespace velmor
