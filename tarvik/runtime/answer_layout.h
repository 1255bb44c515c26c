// What the answering views show and how big they are, as plain functions of the bank: the
// header lines of a question page, the lines and colours of an option row, the ticking
// rules, the statistics rates, and the stacking and scrolling of the question view. The
// windows call these and paint.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tarvik/model/question_bank.h"

namespace velmor {

// --- Run mode (the kind carried by the bank copy) -------------------------------------------

// Answer options are filled red in the answer check and the statistics view.
constexpr bool MarksAnswers(int32_t mode) {
  return mode == kKindCheckAnswers || mode == kKindStatistics;
}
// Questionnaires and peer reviews show an option's score beside it.
constexpr bool ShowsScoreBox(int32_t mode, int32_t score) {
  return (mode == kKindQuestionnaire || mode == kKindPeerReview) && score > 0;
}

// "校对选择题答案，总得分：%d分！" in the answer check, empty in every other mode.
std::string ScoreLine(const QuestionBank& bank);

// --- Lines of text ---------------------------------------------------------------------------

// Splits at every CR LF pair (the pair is dropped); the text after the last pair is the last
// line, also when empty. Each line holds at most 127 bytes, cut on a character boundary.
std::vector<std::string> SplitTextLines(std::string_view text);

// --- Question page ---------------------------------------------------------------------------

// CR LF when the first line of `text` (up to the first NUL or CR LF, counted to at most 50
// bytes) has 25 bytes or more, so that it starts below the type label; otherwise empty.
std::string HeaderSeparator(std::string_view text);
// The type label, the score when above 0, the separator and the text, at most 255 bytes.
std::string QuestionHeaderText(const SmallQuestion& question);
std::vector<std::string> QuestionHeaderLines(const SmallQuestion& question);

constexpr int32_t kHeaderLineHeight = 25;  // reserved per header line
constexpr int32_t kHeaderLineStep = 20;    // drawn per header line
constexpr int32_t kOptionRowLeft = 10;
constexpr int32_t kOptionRowWidth = 520;

// Where a page's option rows go and how high the page is, for header lines and row heights.
struct PageLayout {
  std::vector<int32_t> rowTops;
  int32_t height = 0;
};
PageLayout LayOutPage(std::size_t headerLines, const std::vector<int32_t>& rowHeights);

// --- Option row ------------------------------------------------------------------------------

// The sum of the selection counts over a question's options, in 64 bits.
int64_t SelectionTotal(const SmallQuestion& question);
// count × 100 / total truncated toward zero; 0 when the total is below 1.
int64_t SelectionRate(int32_t count, int64_t total);
// The option's text lines, and in the statistics view its statistics line.
std::vector<std::string> OptionLines(const SmallQuestion& question, const ChoiceOption& option,
                                     int32_t mode);
constexpr int32_t OptionRowHeight(std::size_t lines) {
  return static_cast<int32_t>(lines) * 20 + 10;
}

// Colours as the platform's RGB macro packs them: red in the low byte.
constexpr uint32_t Rgb(uint32_t red, uint32_t green, uint32_t blue) {
  return red | (green << 8) | (blue << 16);
}
uint32_t OptionFillColour(int32_t ticked, bool hovered, int32_t isAnswer, int32_t mode);
constexpr uint32_t OptionOutlineColour(bool hovered) {
  return hovered ? Rgb(255, 0, 0) : Rgb(91, 130, 230);
}

// Where an option sits in the bank.
struct OptionPlace {
  int category = -1;
  int question = -1;
  int small = -1;
  int option = -1;
};
// A click on an option row whose tick is `ticked`: writes the option's `chosen` (and for a
// single choice every other option's) into the bank and returns the row's new tick. A single
// choice cannot be unticked by a click; any other question toggles.
int32_t ApplyTick(QuestionBank& bank, const OptionPlace& place, int32_t ticked);

// --- Question view ---------------------------------------------------------------------------

constexpr int32_t kPageLeft = 10;
constexpr int32_t kPageWidth = 545;

// Pages stacked from y 5 without gaps; the content is 15 pixels taller than the stack.
struct ViewLayout {
  std::vector<int32_t> pageTops;
  int32_t contentHeight = 0;
};
ViewLayout StackPages(const std::vector<int32_t>& pageHeights);
constexpr int32_t ViewScrollRange(int32_t contentHeight, int32_t clientHeight) {
  return contentHeight - clientHeight;
}
constexpr bool ShowsScrollBar(int32_t range) { return range > 1; }

enum class ScrollAction { kLineUp, kLineDown, kThumbPosition, kOther };
// The question view's new position in pixels: lines of 5, the released thumb's position.
int32_t ViewScrollTarget(ScrollAction action, int32_t position, int32_t thumb, int32_t range);

}  // namespace velmor
