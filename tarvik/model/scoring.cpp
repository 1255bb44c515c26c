#include "tarvik/model/scoring.h"

#include <cstdint>
#include <limits>

namespace velmor {

int32_t GetQuestionScore(const SmallQuestion& question) {
  if (question.singleChoice != 0) {
    for (const ChoiceOption& option : question.options) {
      if (option.isAnswer != option.chosen) return 0;
    }
    return question.score;
  }
  int64_t answers = 0;
  int64_t hits = 0;
  for (const ChoiceOption& option : question.options) {
    if (option.isAnswer != 0) {
      ++answers;
      if (option.chosen != 0) ++hits;
    } else if (option.chosen != 0) {
      return 0;
    }
  }
  if (hits == answers) return question.score;
  // In 64 bits the product cannot overflow, and the quotient lies between 0 and the score.
  return static_cast<int32_t>(static_cast<int64_t>(question.score) * hits / answers);
}

int32_t GetTotalScore(const QuestionBank& bank) {
  int64_t total = 0;
  for (const Category& category : bank.categories())
    for (const BigQuestion& question : category.questions)
      for (const SmallQuestion& small : question.smallQuestions) total += GetQuestionScore(small);
  if (total > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (total < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(total);
}

}  // namespace velmor
