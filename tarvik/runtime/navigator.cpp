#include "tarvik/runtime/navigator.h"

#include <algorithm>
#include <cstring>

namespace velmor {

namespace {

// "第%d题" for a positive number. A bank of ten thousand questions formats ten thousand of
// these each time the answering window opens; a printf call costs more than all the rest.
void FormatItemCaption(int number, FixedText<32>& caption) {
  static const char kPrefix[] = "第";
  static const char kSuffix[] = "题";
  char digits[12];
  int count = 0;
  unsigned value = static_cast<unsigned>(number);
  do {
    digits[count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  char text[32] = {};
  std::size_t length = sizeof kPrefix - 1;
  std::memcpy(text, kPrefix, length);
  while (count > 0) text[length++] = digits[--count];
  std::memcpy(text + length, kSuffix, sizeof kSuffix - 1);
  caption.AssignRaw(text);
}

}  // namespace

void NavigatorTree::BuildFromBank(const QuestionBank& bank) {
  groups_.clear();
  rows_.clear();
  hovered_ = nullptr;
  const std::vector<Category>& categories = bank.categories();
  groups_.resize(categories.size());
  for (std::size_t c = 0; c < categories.size(); ++c) {
    NavigatorGroup& group = groups_[c];
    group.name.Assign(categories[c].name.text());
    const std::vector<BigQuestion>& questions = categories[c].questions;
    group.items.resize(questions.size());
    for (std::size_t q = 0; q < questions.size(); ++q) {
      NavigatorItem& item = group.items[q];
      FormatItemCaption(static_cast<int>(q + 1), item.caption);
      item.question = &questions[q];
      item.place = QuestionPlace{static_cast<int>(c), static_cast<int>(q)};
    }
  }
}

int32_t NavigatorTree::LayoutRows() {
  rows_.clear();
  int32_t y = 22;
  for (NavigatorGroup& group : groups_) {
    rows_.push_back(NavigatorRow{y + 5, y + 18, NavigatorRow::kGroup, &group, nullptr});
    y += 23;
    if (group.state != NavigatorGroup::kUnfolded) continue;
    for (NavigatorItem& item : group.items) {
      int32_t top = y + 4;
      int32_t bottom = top + 24 + (item.selected ? 20 : 0);
      rows_.push_back(NavigatorRow{top, bottom, NavigatorRow::kItem, nullptr, &item});
      y = bottom;
    }
  }
  return y;
}

const NavigatorRow* NavigatorTree::HitTest(int32_t x, int32_t y) const {
  if (y < kHeaderBand) return nullptr;
  if (x <= leftEdge_ || x >= rightEdge_) return nullptr;
  // Rows are in ascending order: find the first whose bottom lies below the point.
  int32_t contentY = y + offset();
  auto first = std::upper_bound(rows_.begin(), rows_.end(), contentY,
                                [](int32_t value, const NavigatorRow& row) {
                                  return value < row.bottom;
                                });
  if (first != rows_.end() && first->top < contentY) return &*first;
  return nullptr;
}

bool NavigatorTree::IsRowDrawn(const NavigatorRow& row, int32_t clientHeight) const {
  int32_t top = row.top - offset();
  int32_t bottom = row.bottom - offset();
  return top >= 0 && bottom <= clientHeight + 25;
}

void NavigatorTree::ClearSelection() {
  for (NavigatorGroup& group : groups_) {
    for (NavigatorItem& item : group.items) item.selected = false;
  }
}

void NavigatorTree::ClearHover() {
  for (NavigatorGroup& group : groups_) {
    for (NavigatorItem& item : group.items) item.hovered = false;
  }
}

NavigatorItem* NavigatorTree::SelectFirst() {
  ClearSelection();
  for (NavigatorGroup& group : groups_) {
    if (group.items.empty()) continue;
    group.items.front().selected = true;
    return &group.items.front();
  }
  return nullptr;
}

NavigatorItem* NavigatorTree::Press(int32_t x, int32_t y) {
  const NavigatorRow* row = HitTest(x, y);
  if (!row) return nullptr;
  if (row->kind == NavigatorRow::kGroup) {
    NavigatorGroup& group = *row->group;
    if (group.state == NavigatorGroup::kFolded) {
      group.state = NavigatorGroup::kUnfolded;
    } else if (group.state == NavigatorGroup::kUnfolded) {
      group.state = NavigatorGroup::kFolded;
    }
    return nullptr;
  }
  NavigatorItem* item = row->item;
  if (item->selected) return nullptr;
  ClearSelection();
  item->selected = true;
  return item;
}

bool NavigatorTree::Hover(bool inside, int32_t x, int32_t y) {
  const NavigatorRow* row = inside ? HitTest(x, y) : nullptr;
  if (row) {
    if (row->kind != NavigatorRow::kItem || row->item->hovered) return false;
    ClearHover();
    hovered_ = row->item;
    hovered_->hovered = true;
    return true;
  }
  if (!hovered_) return false;
  ClearHover();
  hovered_ = nullptr;
  return true;
}

bool NavigatorTree::UpdateScrollMaximum(int32_t contentHeight, int32_t clientHeight) {
  scrollMaximum_ = (contentHeight - clientHeight) / kScrollStep + 1;
  if (scrollMaximum_ <= 1) {
    scrollPosition_ = 0;
    return false;
  }
  return true;
}

bool NavigatorTree::Wheel(int32_t barPosition, int32_t delta) {
  int32_t position = delta < 0 ? barPosition + 1 : barPosition - 1;
  position = std::max(std::min(position, scrollMaximum_), 0);
  if (position == scrollPosition_) return false;
  scrollPosition_ = position;
  return true;
}

NavigatorTree::ScrollResult NavigatorTree::ScrollBy(Scroll action, int32_t barPosition,
                                                    int32_t thumb) {
  ScrollResult result;
  int32_t position = barPosition;
  switch (action) {
    case Scroll::kLineUp: position = std::max(barPosition - 1, 0); result.setBar = true; break;
    case Scroll::kLineDown:
      position = std::min(barPosition + 1, scrollMaximum_);
      result.setBar = true;
      break;
    case Scroll::kThumbPosition: position = thumb; result.setBar = true; break;
    case Scroll::kOther: break;
  }
  result.barPosition = position;
  int32_t capped = std::min(position, scrollMaximum_);
  result.redraw = capped != scrollPosition_;
  scrollPosition_ = capped;
  return result;
}

}  // namespace velmor
