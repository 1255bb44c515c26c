// The rows of the editor's four lists, formed from the document.
#pragma once

#include <string>
#include <vector>

#include "common/base/gbk.h"  // FileNameOf, for the captions
#include "tarvik/model/question_bank.h"

namespace velmor {

using ListRows = std::vector<std::vector<std::string>>;

// "%d" number, name, and the never-filled "总分" column.
ListRows CategoryRows(const QuestionBank& bank);
// "第%d题", "%d" id.
ListRows BigQuestionRows(const Category& category);
// "%d" number, text, "单项" or "不定项", "%d" score.
ListRows SmallQuestionRows(const BigQuestion& question);
// "%d" number, text, "是" or "否".
ListRows OptionRows(const SmallQuestion& small);

}  // namespace velmor
