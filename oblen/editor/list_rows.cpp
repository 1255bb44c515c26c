#include "oblen/editor/list_rows.h"

namespace velmor {

namespace {

std::string Number(std::size_t position) { return std::to_string(position + 1); }

}  // namespace

ListRows GroupRows(const OperationBank& bank) {
  ListRows rows;
  rows.reserve(bank.groups().size());
  for (std::size_t i = 0; i < bank.groups().size(); ++i) {
    rows.push_back({Number(i), std::string(bank.groups()[i].name.text())});
  }
  return rows;
}

ListRows QuestionRows(const QuestionGroup& group) {
  ListRows rows;
  rows.reserve(group.questions.size());
  for (std::size_t i = 0; i < group.questions.size(); ++i) {
    rows.push_back({"第" + Number(i) + "题", std::to_string(group.questions[i].id)});
  }
  return rows;
}

ListRows RequirementRows(const OperationQuestion& question) {
  ListRows rows;
  rows.reserve(question.requirements.size());
  for (std::size_t i = 0; i < question.requirements.size(); ++i) {
    const Requirement& requirement = question.requirements[i];
    rows.push_back({Number(i), std::to_string(requirement.score()),
                    std::string(requirement.description()), std::to_string(requirement.category()),
                    std::string(requirement.targetFile()), std::string(requirement.matchPattern()),
                    std::string(requirement.explanation())});
  }
  return rows;
}

}  // namespace velmor
