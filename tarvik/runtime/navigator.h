// The question list navigator as data: one group per category (foldable), one item per big
// question, the rows laid out for drawing, hit testing, selection, hover and scrolling in
// steps of 25 pixels. The navigator window keeps one of these and paints its rows.
#pragma once

#include <cstdint>
#include <vector>

#include "common/base/fixed_text.h"
#include "tarvik/model/question_bank.h"

namespace velmor {

// Where a big question sits in the bank.
struct QuestionPlace {
  int category = -1;
  int question = -1;
};

struct NavigatorItem {
  FixedText<32> caption;  // "第%d题"
  bool selected = false;
  bool hovered = false;
  const BigQuestion* question = nullptr;
  QuestionPlace place;
};

struct NavigatorGroup {
  static constexpr int32_t kFolded = 1;
  static constexpr int32_t kUnfolded = 2;
  FixedText<32> name;  // the category name, cut to 31 bytes on a character boundary
  int32_t state = kUnfolded;
  std::vector<NavigatorItem> items;
};

struct NavigatorRow {
  static constexpr int32_t kGroup = 1;
  static constexpr int32_t kItem = 2;
  int32_t top = 0;  // content pixels, before scrolling
  int32_t bottom = 0;
  int32_t kind = kGroup;
  NavigatorGroup* group = nullptr;  // kGroup
  NavigatorItem* item = nullptr;    // kItem
};

class NavigatorTree {
 public:
  static constexpr int32_t kScrollStep = 25;
  static constexpr int32_t kHeaderBand = 25;

  NavigatorTree() = default;
  NavigatorTree(const NavigatorTree&) = delete;
  NavigatorTree& operator=(const NavigatorTree&) = delete;

  void BuildFromBank(const QuestionBank& bank);

  // Builds the rows again; returns the content height.
  int32_t LayoutRows();
  // The first row whose screen band strictly contains the client point, none in the header.
  const NavigatorRow* HitTest(int32_t x, int32_t y) const;
  // Whether a row is drawn at the current scroll position in a client of this height.
  bool IsRowDrawn(const NavigatorRow& row, int32_t clientHeight) const;
  int32_t offset() const { return scrollPosition_ * kScrollStep; }

  // Selects the first item of the first group that has items; returns it (null: none).
  NavigatorItem* SelectFirst();
  // A left button press: folds or unfolds a group, or selects an item. Returns the item
  // that became selected (its question is to be shown), null otherwise.
  NavigatorItem* Press(int32_t x, int32_t y);
  // The hover poll: `inside` tells whether the cursor lies in the window below the header
  // band, (x, y) is the cursor relative to the window. True when the tree must be redrawn.
  bool Hover(bool inside, int32_t x, int32_t y);

  // Sets the scroll maximum for a content and client height: (content - client) / 25 + 1.
  // At 1 or less there is no scroll bar and the position goes back to 0; returns whether the
  // scroll bar is shown.
  bool UpdateScrollMaximum(int32_t contentHeight, int32_t clientHeight);
  // A wheel turn from the scroll bar's position; true when the position changed.
  bool Wheel(int32_t barPosition, int32_t delta);
  // A scroll-bar notification from the bar's position. `setBar` tells whether the bar is to
  // be set to the returned position; the result is true when the list must be redrawn.
  struct ScrollResult {
    bool setBar = false;
    int32_t barPosition = 0;
    bool redraw = false;
  };
  enum class Scroll { kLineUp, kLineDown, kThumbPosition, kOther };
  ScrollResult ScrollBy(Scroll action, int32_t barPosition, int32_t thumb);

  void set_rightEdge(int32_t edge) { rightEdge_ = edge; }
  int32_t leftEdge() const { return leftEdge_; }
  int32_t rightEdge() const { return rightEdge_; }
  int32_t scrollMaximum() const { return scrollMaximum_; }
  int32_t scrollPosition() const { return scrollPosition_; }
  const std::vector<NavigatorGroup>& groups() const { return groups_; }
  std::vector<NavigatorGroup>& groups() { return groups_; }
  const std::vector<NavigatorRow>& rows() const { return rows_; }
  const NavigatorItem* hoveredItem() const { return hovered_; }

 private:
  void ClearSelection();
  void ClearHover();

  std::vector<NavigatorGroup> groups_;
  std::vector<NavigatorRow> rows_;
  int32_t leftEdge_ = 5;
  int32_t rightEdge_ = 60;
  int32_t scrollMaximum_ = 0;
  int32_t scrollPosition_ = 0;
  NavigatorItem* hovered_ = nullptr;
};

}  // namespace velmor
