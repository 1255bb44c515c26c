// Choice questions as plain text, in and out of a question bank.
//
// In: a UTF-8 or GBK text in two layouts, mixed freely.
//   Aiken (learning platforms): a question line, option lines "A. text" or "A) text", then
//   "ANSWER: B"; a blank line between questions.
//   The Chinese layout: "【分类】name" starts a category, "【大题】stem" a big question whose
//   following questions are its small questions; "1. text（5分）" (the score optional, 1 when
//   missing), options "A．text" (also "A.", "A、", "A)", "A）"), "答案：A" or "答案：AC" (more
//   than one letter: any number of answers).
//   A question outside a 【大题】 is a big question of its own: its text is the stem and its one
//   small question.
// Out: the Aiken layout of the questions it can carry (one answer each), every text on one
// line; a question whose text would be read back as something else is left out and listed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tarvik/model/question_bank.h"

namespace velmor {

struct ImportReport {
  std::vector<std::string> problems;  // "line N: ..." in UTF-8, the first 100 of them
  int problemCount = 0;               // all of them
  int categories = 0;
  int bigQuestions = 0;
  int smallQuestions = 0;
};

// Reads `text` (the file's bytes) into `bank`, which should be empty. Categories before the
// first 【分类】 go into one named `defaultCategory` (UTF-8). Texts are stored in GBK, cut on a
// character boundary to their fields; every cut, every line skipped and every character lost
// (one that GBK lacks or that is not well formed becomes "?", a zero byte is left out) is
// reported with its line.
ImportReport ImportChoiceText(std::string_view text, std::string_view defaultCategory,
                              QuestionBank& bank);

struct AikenExport {
  std::string text;                   // UTF-8, LF line ends
  std::vector<std::string> leftOut;   // the questions Aiken cannot carry, with the reason
  int written = 0;
};

AikenExport ExportAiken(const QuestionBank& bank);

}  // namespace velmor
