#include <gtest/gtest.h>

#include "tarvik/model/scoring.h"

namespace velmor {
namespace {

SmallQuestion Question(int32_t singleChoice, int32_t score, std::vector<int32_t> answers,
                       std::vector<int32_t> chosen) {
  SmallQuestion question;
  question.singleChoice = singleChoice;
  question.score = score;
  for (std::size_t i = 0; i < answers.size(); ++i) {
    ChoiceOption option;
    option.isAnswer = answers[i];
    option.chosen = chosen[i];
    question.options.push_back(option);
  }
  return question;
}

struct ScoreCase {
  int32_t singleChoice;
  int32_t score;
  std::vector<int32_t> answers;
  std::vector<int32_t> chosen;
  int32_t expected;
};

TEST(QuestionScore, FollowsTheSingleAndMultipleChoiceRules) {
  const ScoreCase cases[] = {
      // Single choice: every tick must equal its answer flag.
      {1, 4, {1, 0, 0}, {1, 0, 0}, 4},
      {1, 4, {1, 0, 0}, {1, 1, 0}, 0},
      {1, 4, {1, 0, 0}, {0, 0, 0}, 0},
      {1, 4, {2, 0, 0}, {1, 0, 0}, 0},  // flags compared as the integers they are
      {7, 4, {}, {}, 4},                // any non-zero singleChoice is single choice
      // Multiple choice, score 5, answers {1,1,1,0}.
      {0, 5, {1, 1, 1, 0}, {1, 1, 0, 0}, 3},
      {0, 5, {1, 1, 1, 0}, {1, 1, 1, 1}, 0},
      {0, 5, {1, 1, 1, 0}, {1, 1, 1, 0}, 5},
      {0, 5, {1, 1, 1, 0}, {0, 0, 0, 0}, 0},
      {0, 5, {1, 1, 1, 0}, {1, 0, 0, 0}, 1},
      {0, -5, {1, 1, 1, 0}, {1, 1, 0, 0}, -3},  // truncated toward zero
      // No answer options: full score without ticks, 0 with any.
      {0, 6, {0, 0}, {0, 0}, 6},
      {0, 6, {0, 0}, {0, 1}, 0},
      {0, 6, {}, {}, 6},
      // The product must not overflow.
      {0, 2000000000, {1, 1, 1}, {1, 1, 0}, 1333333333},
  };
  for (const ScoreCase& c : cases) {
    EXPECT_EQ(GetQuestionScore(Question(c.singleChoice, c.score, c.answers, c.chosen)),
              c.expected)
        << "single " << c.singleChoice << " score " << c.score;
  }
}

TEST(TotalScore, AddsEveryQuestionWhateverTheKind) {
  QuestionBank bank;
  bank.SetKind(kKindQuestionnaire);
  bank.AddCategory("a");
  bank.AddCategory("b");
  unsigned char block[4] = {4, 0, 0, 0};
  bank.AddBigQuestion(0, 1, ContentBlock::FromBytes(block, 4), 0, 0);
  bank.AddBigQuestion(1, 1, ContentBlock::FromBytes(block, 4), 0, 0);
  bank.AddSmallQuestion(0, 0, "s", 1, 10);
  bank.AddOption(0, 0, 0, "x", 0, 1, 1, 0);
  bank.AddSmallQuestion(0, 0, "s", 0, 5);
  bank.AddOption(0, 0, 1, "x", 0, 1, 1, 0);
  bank.AddOption(0, 0, 1, "y", 0, 1, 0, 0);
  bank.AddSmallQuestion(1, 0, "s", 1, 100);
  bank.AddOption(1, 0, 0, "x", 0, 1, 0, 0);
  EXPECT_EQ(GetTotalScore(bank), 10 + 2);
  EXPECT_EQ(GetTotalScore(QuestionBank()), 0);
}

TEST(TotalScore, IsClampedInsteadOfWrappingAround) {
  QuestionBank bank;
  bank.AddCategory("a");
  unsigned char block[4] = {4, 0, 0, 0};
  bank.AddBigQuestion(0, 1, ContentBlock::FromBytes(block, 4), 0, 0);
  for (int i = 0; i < 3; ++i) bank.AddSmallQuestion(0, 0, "s", 1, 2000000000);
  EXPECT_EQ(GetTotalScore(bank), INT32_MAX);
}

}  // namespace
}  // namespace velmor
