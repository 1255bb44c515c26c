#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tarvik/runtime/navigator.h"

namespace velmor {
namespace {

// Appends categories with these numbers of big questions.
void FillBank(QuestionBank& bank, const std::vector<int>& questions) {
  for (int count : questions) {
    int category = static_cast<int>(bank.categories().size());
    bank.AddCategory("分类" + std::to_string(category + 1));
    for (int q = 0; q < count; ++q) {
      bank.AddBigQuestion(category, 1, ContentBlock::WithPayload("", 0), 0, 0);
    }
  }
}

class NavigatorTest : public ::testing::Test {
 protected:
  void Build(const std::vector<int>& questions) {
    FillBank(bank, questions);
    tree.BuildFromBank(bank);
    tree.set_rightEdge(134);
    tree.LayoutRows();
  }
  QuestionBank bank;
  NavigatorTree tree;
};

TEST_F(NavigatorTest, BuildsOneGroupPerCategoryWithNumberedItems) {
  std::string longName;
  for (int i = 0; i < 20; ++i) longName += "长";  // 40 bytes
  bank.AddCategory(longName);
  Build({0, 120});
  ASSERT_EQ(tree.groups().size(), 3u);
  EXPECT_EQ(tree.groups()[0].name.text(), longName.substr(0, 30));  // 31 would split one
  EXPECT_TRUE(tree.groups()[0].items.empty());
  const NavigatorItem& second = tree.groups()[2].items[1];
  EXPECT_EQ(second.caption.text(), "第2题");
  EXPECT_EQ(tree.groups()[2].items[119].caption.text(), "第120题");
  EXPECT_EQ(second.question, bank.FindBigQuestion(2, 1));
  EXPECT_EQ(second.place.category, 2);
  EXPECT_EQ(second.place.question, 1);
  EXPECT_EQ(tree.groups()[2].state, NavigatorGroup::kUnfolded);
}

TEST_F(NavigatorTest, RowsAndHitTestsUseStrictEdges) {
  Build({2});
  ASSERT_EQ(tree.rows().size(), 3u);
  EXPECT_EQ(tree.rows()[0].top, 27);
  EXPECT_EQ(tree.rows()[0].bottom, 40);
  EXPECT_EQ(tree.rows()[1].top, 49);
  EXPECT_EQ(tree.rows()[1].bottom, 73);
  tree.SelectFirst();
  EXPECT_EQ(tree.LayoutRows(), 93 + 4 + 24);
  EXPECT_EQ(tree.rows()[1].bottom, 93);
  struct Hit {
    int32_t x, y;
    int row;  // -1: none
  } hits[] = {
      {50, 30, 0},  {50, 27, -1}, {50, 40, -1}, {50, 60, 1}, {5, 60, -1},  {6, 60, 1},
      {134, 60, -1}, {133, 60, 1}, {50, 49, -1}, {50, 93, -1}, {50, 45, -1}, {50, 24, -1},
  };
  for (const Hit& hit : hits) {
    const NavigatorRow* row = tree.HitTest(hit.x, hit.y);
    int index = row ? static_cast<int>(row - tree.rows().data()) : -1;
    EXPECT_EQ(index, hit.row) << hit.x << "," << hit.y;
  }
}

TEST_F(NavigatorTest, HeaderBandHidesRowsScrolledUnderIt) {
  Build({40});
  tree.UpdateScrollMaximum(tree.LayoutRows(), 200);
  ASSERT_TRUE(tree.Wheel(0, -120));
  ASSERT_TRUE(tree.Wheel(1, -120));
  // Scrolled by 50: the first item (49..73) lies at -1..23, under the header band.
  EXPECT_EQ(tree.HitTest(50, 20), nullptr);
  EXPECT_EQ(tree.HitTest(50, 30), &tree.rows()[2]);  // the second item, at 27..51
  EXPECT_FALSE(tree.IsRowDrawn(tree.rows()[1], 200));  // its top lies above 0
  EXPECT_TRUE(tree.IsRowDrawn(tree.rows()[2], 200));
  // Rows are drawn down to 25 pixels below the client.
  const NavigatorRow& last = tree.rows().back();
  EXPECT_TRUE(tree.IsRowDrawn(last, last.bottom - 50 - 25));
  EXPECT_FALSE(tree.IsRowDrawn(last, last.bottom - 50 - 26));
}

TEST_F(NavigatorTest, PressFoldsGroupsAndSelectsItemsOnce) {
  Build({0, 2, 1});
  NavigatorItem* first = tree.SelectFirst();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first, &tree.groups()[1].items[0]);  // the empty group is skipped
  tree.LayoutRows();
  // Rows: group 0, group 1, its items (selected first: 44 high), group 2, its item.
  const NavigatorRow& secondItem = tree.rows()[3];
  EXPECT_EQ(tree.Press(50, secondItem.top + 1), &tree.groups()[1].items[1]);
  EXPECT_FALSE(first->selected);
  tree.LayoutRows();
  EXPECT_EQ(tree.Press(50, tree.rows()[3].top + 1), nullptr);  // already selected
  // Folding the group that holds the selection keeps it.
  EXPECT_EQ(tree.Press(50, tree.rows()[1].top + 1), nullptr);
  EXPECT_EQ(tree.groups()[1].state, NavigatorGroup::kFolded);
  tree.LayoutRows();
  EXPECT_EQ(tree.rows().size(), 4u);
  EXPECT_TRUE(tree.groups()[1].items[1].selected);
  tree.Press(50, tree.rows()[1].top + 1);
  EXPECT_EQ(tree.groups()[1].state, NavigatorGroup::kUnfolded);
}

TEST_F(NavigatorTest, HoverLightsOneItemAndClearsOutside) {
  Build({2});
  EXPECT_FALSE(tree.Hover(true, 50, 30));  // a group row changes nothing
  EXPECT_TRUE(tree.Hover(true, 50, 60));
  EXPECT_TRUE(tree.groups()[0].items[0].hovered);
  EXPECT_FALSE(tree.Hover(true, 50, 61));  // the same item: no redraw
  EXPECT_TRUE(tree.Hover(true, 50, 80));
  EXPECT_FALSE(tree.groups()[0].items[0].hovered);
  EXPECT_TRUE(tree.groups()[0].items[1].hovered);
  EXPECT_TRUE(tree.Hover(false, 50, 80));
  EXPECT_EQ(tree.hoveredItem(), nullptr);
  EXPECT_FALSE(tree.groups()[0].items[1].hovered);
  EXPECT_FALSE(tree.Hover(false, 50, 80));
}

TEST_F(NavigatorTest, ScrollMaximumWheelAndScrollBar) {
  Build({});
  // (content - client) / 25 + 1, truncated toward zero; a bar only above 1.
  struct Case {
    int32_t content, client, maximum;
    bool bar;
  } cases[] = {{532, 508, 1, false}, {533, 508, 2, true}, {100, 508, -15, false},
               {483, 508, 0, false}, {1008, 508, 21, true}};
  for (const Case& c : cases) {
    EXPECT_EQ(tree.UpdateScrollMaximum(c.content, c.client), c.bar) << c.content;
    EXPECT_EQ(tree.scrollMaximum(), c.maximum) << c.content;
  }
  tree.UpdateScrollMaximum(583, 508);  // maximum 4
  EXPECT_FALSE(tree.Wheel(0, 120));    // away from the user at 0: unchanged
  EXPECT_TRUE(tree.Wheel(0, -120));
  EXPECT_EQ(tree.scrollPosition(), 1);
  EXPECT_TRUE(tree.Wheel(3, -120));    // from the bar's position
  EXPECT_EQ(tree.scrollPosition(), 4);
  EXPECT_FALSE(tree.Wheel(4, -120));   // not past the maximum

  using S = NavigatorTree::Scroll;
  NavigatorTree::ScrollResult drag = tree.ScrollBy(S::kOther, 4, 2);  // thumb dragged
  EXPECT_FALSE(drag.setBar);
  EXPECT_FALSE(drag.redraw);
  EXPECT_EQ(tree.scrollPosition(), 4);
  NavigatorTree::ScrollResult release = tree.ScrollBy(S::kThumbPosition, 2, 3);
  EXPECT_TRUE(release.setBar);
  EXPECT_EQ(release.barPosition, 3);
  EXPECT_EQ(tree.scrollPosition(), 3);
  EXPECT_EQ(tree.ScrollBy(S::kLineDown, 4, 0).barPosition, 4);  // not above the maximum
  EXPECT_FALSE(tree.ScrollBy(S::kLineDown, 4, 0).redraw);
  EXPECT_EQ(tree.ScrollBy(S::kLineUp, 0, 0).barPosition, 0);    // not below 0
  // Shrinking content takes the position back to 0.
  tree.UpdateScrollMaximum(500, 508);
  EXPECT_EQ(tree.scrollPosition(), 0);
}

}  // namespace
}  // namespace velmor
