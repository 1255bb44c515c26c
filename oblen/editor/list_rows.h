// The rows of Oblen's lists, formed from the operation bank.
#pragma once

#include <string>
#include <vector>

#include "oblen/model/operation_bank.h"

namespace velmor {

using ListRows = std::vector<std::vector<std::string>>;

// "%d" number, name.
ListRows GroupRows(const OperationBank& bank);
// "第%d题", "%d" id.
ListRows QuestionRows(const QuestionGroup& group);
// "%d" number, score, description, category, target file, match pattern, explanation.
ListRows RequirementRows(const OperationQuestion& question);

}  // namespace velmor
