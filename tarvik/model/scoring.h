// How the stored ticks of a bank are scored.
#pragma once

#include <cstdint>

#include "tarvik/model/question_bank.h"

namespace velmor {

// Single choice: the full score when every option's tick equals its answer flag, else 0.
// Any number of answers: 0 for a tick on a non-answer; otherwise score * ticked answers /
// answers, truncated toward zero (the full score when there are no answer options).
int32_t GetQuestionScore(const SmallQuestion& question);

// The sum over every small question of the bank, in tree order, whatever the bank's kind.
// A sum beyond the range of a 32-bit integer is clamped to it instead of wrapping around.
int32_t GetTotalScore(const QuestionBank& bank);

}  // namespace velmor
