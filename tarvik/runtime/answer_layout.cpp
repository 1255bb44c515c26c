#include "tarvik/runtime/answer_layout.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>

#include "common/base/gbk.h"
#include "tarvik/model/scoring.h"

namespace velmor {

namespace {

constexpr std::size_t kLineLimit = 127;    // a line buffer of 128 bytes
constexpr std::size_t kHeaderLimit = 255;  // the header buffer of 256 bytes
constexpr std::size_t kSeparatorCountCap = 50;
constexpr std::size_t kLongFirstLine = 25;

std::string CutToCharacters(std::string text, std::size_t limit) {
  text.resize(GbkCutLength(text, limit));
  return text;
}

}  // namespace

std::string ScoreLine(const QuestionBank& bank) {
  if (bank.header().kind() != kKindCheckAnswers) return std::string();
  char line[128];
  std::snprintf(line, sizeof line, "校对选择题答案，总得分：%d分！",
                static_cast<int>(GetTotalScore(bank)));
  return line;
}

std::vector<std::string> SplitTextLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (;;) {
    std::size_t pair = text.find("\r\n", start);
    std::string_view line = text.substr(start, pair == std::string_view::npos ? text.npos
                                                                               : pair - start);
    lines.push_back(CutToCharacters(std::string(line), kLineLimit));
    if (pair == std::string_view::npos) return lines;
    start = pair + 2;
  }
}

std::string HeaderSeparator(std::string_view text) {
  std::size_t count = 0;
  while (count < text.size() && count < kSeparatorCountCap && text[count] != '\0') {
    if (text[count] == '\r' && count + 1 < text.size() && text[count + 1] == '\n') break;
    ++count;
  }
  return count >= kLongFirstLine ? "\r\n" : "";
}

std::string QuestionHeaderText(const SmallQuestion& question) {
  std::string_view text = question.text.text();
  std::string label = question.singleChoice != 0 ? "(单项选择)" : "(不定项选择)";
  if (question.score > 0) {
    char score[32];
    std::snprintf(score, sizeof score, "(%d分)", static_cast<int>(question.score));
    label += score;
  }
  return CutToCharacters(label + HeaderSeparator(text) + std::string(text), kHeaderLimit);
}

std::vector<std::string> QuestionHeaderLines(const SmallQuestion& question) {
  return SplitTextLines(QuestionHeaderText(question));
}

PageLayout LayOutPage(std::size_t headerLines, const std::vector<int32_t>& rowHeights) {
  PageLayout layout;
  layout.height = static_cast<int32_t>(headerLines) * kHeaderLineHeight + 5;
  for (int32_t rowHeight : rowHeights) {
    layout.rowTops.push_back(layout.height);
    layout.height += rowHeight;
  }
  layout.height += 10;
  return layout;
}

int64_t SelectionTotal(const SmallQuestion& question) {
  int64_t total = 0;
  for (const ChoiceOption& option : question.options) total += option.selectCount;
  return total;
}

int64_t SelectionRate(int32_t count, int64_t total) {
  if (total < 1) return 0;
  return static_cast<int64_t>(count) * 100 / total;
}

std::vector<std::string> OptionLines(const SmallQuestion& question, const ChoiceOption& option,
                                     int32_t mode) {
  std::vector<std::string> lines = SplitTextLines(option.text.text());
  if (mode == kKindStatistics) {
    int64_t rate = SelectionRate(option.selectCount, SelectionTotal(question));
    char line[128];
    std::snprintf(line, sizeof line, "选择统计：总选择次数：%d，选择率：%" PRId64 "％。",
                  static_cast<int>(option.selectCount), rate);
    lines.push_back(CutToCharacters(line, kLineLimit));
  }
  return lines;
}

uint32_t OptionFillColour(int32_t ticked, bool hovered, int32_t isAnswer, int32_t mode) {
  if (MarksAnswers(mode) && isAnswer != 0) return Rgb(225, 0, 0);
  if (ticked) return Rgb(168, 213, 244);
  if (hovered) return Rgb(225, 225, 225);
  return Rgb(255, 255, 255);
}

int32_t ApplyTick(QuestionBank& bank, const OptionPlace& place, int32_t ticked) {
  const SmallQuestion* question = bank.FindSmallQuestion(place.category, place.question,
                                                         place.small);
  if (!question || place.option < 0 ||
      static_cast<std::size_t>(place.option) >= question->options.size()) {
    return ticked;
  }
  ticked = ticked != 0 ? 0 : 1;  // a row's tick mirrors chosen != 0
  if (question->singleChoice != 0) {
    for (std::size_t i = 0; i < question->options.size(); ++i) {
      bank.SetChosen(place.category, place.question, place.small, static_cast<int>(i), 0);
    }
    ticked = 1;
  }
  bank.SetChosen(place.category, place.question, place.small, place.option, ticked);
  return ticked;
}

ViewLayout StackPages(const std::vector<int32_t>& pageHeights) {
  ViewLayout layout;
  int32_t y = 5;
  for (int32_t height : pageHeights) {
    layout.pageTops.push_back(y);
    y += height;
  }
  layout.contentHeight = y + 15;
  return layout;
}

int32_t ViewScrollTarget(ScrollAction action, int32_t position, int32_t thumb, int32_t range) {
  switch (action) {
    case ScrollAction::kLineUp: return std::max(position - 5, 0);
    case ScrollAction::kLineDown: return std::min(position + 5, range);
    case ScrollAction::kThumbPosition: return thumb;
    case ScrollAction::kOther: break;
  }
  return position;
}

}  // namespace velmor
