// The rows of Oblen's lists, formed from the operation bank.
#pragma once

#include "framework/list_rows.h"
#include "oblen/model/operation_bank.h"

namespace velmor {

// "%d" number, name.
fw::ListRows GroupRows(const OperationBank& bank);
// "第%d题", "%d" id.
fw::ListRows QuestionRows(const QuestionGroup& group);
// "%d" number, score, description, category, target file, match pattern, explanation.
fw::ListRows RequirementRows(const OperationQuestion& question);

}  // namespace velmor
