#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "tarvik/runtime/answer_layout.h"

namespace velmor {
namespace {

SmallQuestion Question(int32_t singleChoice, int32_t score, const std::string& text) {
  SmallQuestion question;
  question.singleChoice = singleChoice;
  question.score = score;
  question.text.Assign(text);
  return question;
}

TEST(QuestionPage, HeaderLinesFollowTheLabelAndSeparatorRules) {
  const std::string line24(24, 'a');
  const std::string line25(25, 'a');
  struct Case {
    int32_t single, score;
    std::string text;
    std::vector<std::string> lines;
  } cases[] = {
      {1, 5, line24, {"(单项选择)(5分)" + line24}},
      {1, 5, line25, {"(单项选择)(5分)", line25}},
      {1, 0, "短", {"(单项选择)短"}},
      {1, -3, line25, {"(单项选择)", line25}},
      {0, 2, "第一行\r\n第二行", {"(不定项选择)(2分)第一行", "第二行"}},
      {0, 0, line25 + "\r\n", {"(不定项选择)", line25, ""}},  // ends in CR LF: an empty line
      {0, 0, std::string(60, 'b'), {"(不定项选择)", std::string(60, 'b')}},
      // The first line is counted to CR LF only; a lone CR is an ordinary byte.
      {1, 1, std::string(20, 'c') + "\r\n" + line25, {"(单项选择)(1分)" + std::string(20, 'c'), line25}},
      {1, 1, std::string(20, 'c') + "\rxxxx", {"(单项选择)(1分)", std::string(20, 'c') + "\rxxxx"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(QuestionHeaderLines(Question(c.single, c.score, c.text)), c.lines) << c.text;
  }
}

TEST(QuestionPage, LongLinesAreCutOnCharacterBoundaries) {
  // 63 double-byte characters after an odd byte: a cut at 127 bytes would split one.
  std::string text = "x";
  for (int i = 0; i < 63; ++i) text += "题";
  SmallQuestion question = Question(0, 12345, text);  // 127 bytes, the most a field holds
  std::vector<std::string> lines = QuestionHeaderLines(question);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1], text);
  std::vector<std::string> cut = SplitTextLines("y" + text);
  ASSERT_EQ(cut.size(), 1u);
  EXPECT_EQ(cut[0].size(), 126u);  // "y", "x" and 62 characters: the 63rd would pass 127
}

TEST(QuestionPage, HeightsStackRowsBelowTheReservedHeader) {
  PageLayout none = LayOutPage(2, {});
  EXPECT_EQ(none.height, 2 * 25 + 15);
  PageLayout two = LayOutPage(1, {30, 70});
  EXPECT_EQ(two.rowTops, (std::vector<int32_t>{30, 60}));
  EXPECT_EQ(two.height, 30 + 30 + 70 + 10);
}

TEST(OptionRow, LinesAndHeightsInEachMode) {
  SmallQuestion question = Question(1, 3, "q");
  ChoiceOption option;
  option.text.Assign("一\r\n二\r\n三");
  option.selectCount = 4;
  question.options = {option};
  std::vector<std::string> plain = OptionLines(question, option, kKindChoice);
  EXPECT_EQ(plain, (std::vector<std::string>{"一", "二", "三"}));
  EXPECT_EQ(OptionRowHeight(plain.size()), 70);
  std::vector<std::string> statistics = OptionLines(question, option, kKindStatistics);
  ASSERT_EQ(statistics.size(), 4u);
  EXPECT_EQ(statistics[3], "选择统计：总选择次数：4，选择率：100％。");
  EXPECT_EQ(OptionRowHeight(statistics.size()), 90);
}

TEST(OptionRow, SelectionRatesNeverOverflow) {
  struct Case {
    std::vector<int32_t> counts;
    std::vector<int64_t> rates;
  } cases[] = {
      {{3, 1, 0}, {75, 25, 0}},
      {{1, 1, 1}, {33, 33, 33}},
      {{0, 0, 0}, {0, 0, 0}},
      {{INT32_MAX, INT32_MAX}, {50, 50}},       // the total passes 32 bits
      {{INT32_MAX, 0}, {100, 0}},               // count × 100 passes 32 bits
      {{5, -10}, {0, 0}},                       // a negative total counts as below 1
      {{-1, 3}, {-50, 150}},                    // shown as computed
  };
  for (const Case& c : cases) {
    SmallQuestion question;
    for (int32_t count : c.counts) {
      ChoiceOption option;
      option.selectCount = count;
      question.options.push_back(option);
    }
    int64_t total = SelectionTotal(question);
    for (std::size_t i = 0; i < c.counts.size(); ++i) {
      EXPECT_EQ(SelectionRate(c.counts[i], total), c.rates[i]) << i << " of " << total;
    }
  }
  SmallQuestion big;
  ChoiceOption option;
  option.selectCount = INT32_MAX;
  big.options = {option, option};
  EXPECT_EQ(OptionLines(big, option, kKindStatistics).back(),
            "选择统计：总选择次数：2147483647，选择率：50％。");
}

TEST(OptionRow, ColoursByTickHoverAndMode) {
  const uint32_t red = Rgb(225, 0, 0), tick = Rgb(168, 213, 244), hover = Rgb(225, 225, 225),
                 white = Rgb(255, 255, 255);
  struct Case {
    int32_t ticked;
    bool hovered;
    int32_t isAnswer, mode;
    uint32_t fill;
  } cases[] = {
      {0, false, 1, kKindCheckAnswers, red},   // an unticked answer option in the check
      {1, true, 1, kKindStatistics, red},      // whatever the tick and hover
      {1, false, 0, kKindCheckAnswers, tick},  // a ticked wrong option shows its tick
      {0, false, 1, kKindChoice, white},       // plain answering shows no answers
      {0, true, 1, kKindQuestionnaire, hover},
      {1, true, 0, 57, tick},                  // an unknown kind answers plainly
  };
  for (const Case& c : cases) {
    EXPECT_EQ(OptionFillColour(c.ticked, c.hovered, c.isAnswer, c.mode), c.fill) << c.mode;
  }
  EXPECT_TRUE(ShowsScoreBox(kKindQuestionnaire, 3));
  EXPECT_TRUE(ShowsScoreBox(kKindPeerReview, 1));
  EXPECT_FALSE(ShowsScoreBox(kKindQuestionnaire, 0));
  EXPECT_FALSE(ShowsScoreBox(kKindChoice, 3));
  EXPECT_FALSE(ShowsScoreBox(kKindCheckAnswers, 3));
}

TEST(OptionRow, TicksFollowTheSingleAndMultipleChoiceRules) {
  QuestionBank bank;
  bank.AddCategory("c");
  bank.AddBigQuestion(0, 1, ContentBlock::WithPayload("", 0), 0, 0);
  bank.AddSmallQuestion(0, 0, "single", 1, 2);
  bank.AddSmallQuestion(0, 0, "multiple", 0, 2);
  for (int small = 0; small < 2; ++small) {
    for (int i = 0; i < 3; ++i) bank.AddOption(0, 0, small, "o", 0, 0, 0, 0);
  }
  auto chosen = [&](int small) {
    std::vector<int32_t> flags;
    for (const ChoiceOption& o : bank.FindSmallQuestion(0, 0, small)->options) {
      flags.push_back(o.chosen);
    }
    return flags;
  };
  EXPECT_EQ(ApplyTick(bank, {0, 0, 0, 1}, 0), 1);
  EXPECT_EQ(ApplyTick(bank, {0, 0, 0, 1}, 1), 1);  // cannot be unticked
  EXPECT_EQ(chosen(0), (std::vector<int32_t>{0, 1, 0}));
  EXPECT_EQ(ApplyTick(bank, {0, 0, 0, 2}, 0), 1);
  EXPECT_EQ(chosen(0), (std::vector<int32_t>{0, 0, 1}));
  EXPECT_EQ(ApplyTick(bank, {0, 0, 1, 0}, 0), 1);
  EXPECT_EQ(ApplyTick(bank, {0, 0, 1, 2}, 0), 1);
  EXPECT_EQ(ApplyTick(bank, {0, 0, 1, 0}, 1), 0);  // toggles
  EXPECT_EQ(chosen(1), (std::vector<int32_t>{0, 0, 1}));
  EXPECT_EQ(ApplyTick(bank, {0, 0, 1, 9}, 0), 0);  // no such option: nothing changes
  EXPECT_EQ(chosen(1), (std::vector<int32_t>{0, 0, 1}));
}

TEST(QuestionView, PagesStackWithoutGapsAndScrollInFives) {
  ViewLayout empty = StackPages({});
  EXPECT_EQ(empty.contentHeight, 20);
  ViewLayout two = StackPages({65, 90});
  EXPECT_EQ(two.pageTops, (std::vector<int32_t>{5, 70}));
  EXPECT_EQ(two.contentHeight, 5 + 65 + 90 + 15);
  EXPECT_FALSE(ShowsScrollBar(ViewScrollRange(287, 286)));
  EXPECT_TRUE(ShowsScrollBar(ViewScrollRange(288, 286)));
  EXPECT_EQ(ViewScrollTarget(ScrollAction::kLineUp, 3, 0, 40), 0);
  EXPECT_EQ(ViewScrollTarget(ScrollAction::kLineDown, 38, 0, 40), 40);
  EXPECT_EQ(ViewScrollTarget(ScrollAction::kLineDown, 40, 0, 40), 40);
  EXPECT_EQ(ViewScrollTarget(ScrollAction::kThumbPosition, 10, 27, 40), 27);
  EXPECT_EQ(ViewScrollTarget(ScrollAction::kOther, 10, 27, 40), 10);
}

TEST(AnsweringDialog, ScoreLineOnlyInTheAnswerCheck) {
  QuestionBank bank;
  bank.AddCategory("c");
  bank.AddBigQuestion(0, 1, ContentBlock::WithPayload("", 0), 0, 0);
  bank.AddSmallQuestion(0, 0, "q", 1, 7);
  bank.AddOption(0, 0, 0, "a", 0, 1, 1, 0);
  bank.AddOption(0, 0, 0, "b", 0, 0, 0, 0);
  for (int32_t kind : {kKindChoice, kKindQuestionnaire, kKindPeerReview, kKindStatistics}) {
    bank.SetKind(kind);
    EXPECT_EQ(ScoreLine(bank), "") << kind;
  }
  bank.SetKind(kKindCheckAnswers);
  EXPECT_EQ(ScoreLine(bank), "校对选择题答案，总得分：7分！");
}

}  // namespace
}  // namespace velmor
