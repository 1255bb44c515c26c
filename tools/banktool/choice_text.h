// Choice questions as plain text, in and out of a question bank.
//
// In: a UTF-8, UTF-16 or GBK text, read line by line by the rules of the importer
// (choice_importer.h), which takes two layouts mixed freely:
//   Aiken (learning platforms): a question line, option lines "A. text" or "A) text", then
//   "ANSWER: B"; a blank line between questions.
//   The Chinese layout of a paper: a title block, headings "一、…" or "【分类】name", "【大题】stem"
//   or material before the questions it belongs to, "1. text（5分）" (the score optional, 1 when
//   missing), options "A．text" (several on one line too), "答案：A" or "答案：AC" (more than one
//   letter: any number of answers) or an answer section at the end.
// Out: the Aiken layout of the questions it can carry (one answer each), every text on one
// line; a question whose text would be read back as something else is left out and listed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tarvik/model/question_bank.h"
#include "tools/banktool/choice_importer.h"

namespace velmor {

// Reads `text` (the file's bytes) into `bank`, which should be empty. Categories before the
// first heading go into one named `defaultCategory` (UTF-8); the title block, when there is one,
// gives the bank its title. Texts are stored in GBK, cut on a character boundary to their
// fields; every cut, every line skipped and every character lost (one that GBK lacks or that is
// not well formed becomes "?", a zero byte is left out) is reported with its line.
ImportReport ImportChoiceText(std::string_view text, std::string_view defaultCategory,
                              QuestionBank& bank);

struct AikenExport {
  std::string text;                   // UTF-8, LF line ends
  std::vector<std::string> leftOut;   // the questions Aiken cannot carry, with the reason
  int written = 0;
};

AikenExport ExportAiken(const QuestionBank& bank);

}  // namespace velmor
