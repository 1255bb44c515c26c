#include "oblen/editor/list_rows.h"

namespace velmor {

fw::ListRows GroupRows(const OperationBank& bank) {
  fw::ListRows rows;
  rows.reserve(bank.groups().size());
  for (std::size_t i = 0; i < bank.groups().size(); ++i) {
    rows.push_back({fw::RowNumber(i), std::string(bank.groups()[i].name.text())});
  }
  return rows;
}

fw::ListRows QuestionRows(const QuestionGroup& group) {
  fw::ListRows rows;
  rows.reserve(group.questions.size());
  for (std::size_t i = 0; i < group.questions.size(); ++i) {
    rows.push_back({"第" + fw::RowNumber(i) + "题", std::to_string(group.questions[i].id)});
  }
  return rows;
}

fw::ListRows RequirementRows(const OperationQuestion& question) {
  fw::ListRows rows;
  rows.reserve(question.requirements.size());
  for (std::size_t i = 0; i < question.requirements.size(); ++i) {
    const Requirement& requirement = question.requirements[i];
    rows.push_back({fw::RowNumber(i), std::to_string(requirement.score()),
                    std::string(requirement.description()), std::to_string(requirement.category()),
                    std::string(requirement.targetFile()), std::string(requirement.matchPattern()),
                    std::string(requirement.explanation())});
  }
  return rows;
}

}  // namespace velmor
