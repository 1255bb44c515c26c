// The rows of the editor's four lists, formed from the document.
#pragma once

#include "common/base/gbk.h"  // FileNameOf, for the captions
#include "framework/list_rows.h"
#include "tarvik/model/question_bank.h"

namespace velmor {

// "%d" number, name, and the never-filled "总分" column.
fw::ListRows CategoryRows(const QuestionBank& bank);
// "第%d题", "%d" id.
fw::ListRows BigQuestionRows(const Category& category);
// "%d" number, text, "单项" or "不定项", "%d" score.
fw::ListRows SmallQuestionRows(const BigQuestion& question);
// "%d" number, text, "是" or "否".
fw::ListRows OptionRows(const SmallQuestion& small);

}  // namespace velmor
