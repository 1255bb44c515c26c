#include "oblen/model/operation_bank.h"

#include <algorithm>
#include <utility>

#include "common/base/gbk.h"
#include "common/base/positions.h"

namespace velmor {

const QuestionGroup* OperationBank::FindGroup(int group) const {
  return InRange(groups_, group) ? &groups_[group] : nullptr;
}

const OperationQuestion* OperationBank::FindQuestion(int group, int question) const {
  const QuestionGroup* owner = FindGroup(group);
  return owner && InRange(owner->questions, question) ? &owner->questions[question] : nullptr;
}

QuestionGroup* OperationBank::MutableGroup(int group) {
  return const_cast<QuestionGroup*>(FindGroup(group));
}

OperationQuestion* OperationBank::MutableQuestion(int group, int question) {
  return const_cast<OperationQuestion*>(FindQuestion(group, question));
}

void OperationBank::Clear() {
  groups_.clear();
  trailerRecords_.clear();
  packages_.clear();
  registry_.Clear();
}

void OperationBank::AddGroup(std::string_view name) {
  QuestionGroup group;
  group.name.Assign(name);
  groups_.push_back(std::move(group));
}

bool OperationBank::RenameGroup(int group, std::string_view name) {
  QuestionGroup* target = MutableGroup(group);
  if (!target) return false;
  target->name.Assign(name);
  return true;
}

bool OperationBank::DeleteGroup(int group) {
  if (!InRange(groups_, group)) return false;
  groups_.erase(groups_.begin() + group);
  return true;
}

bool OperationBank::AddQuestion(int32_t requestedId, int group, ContentBlock&& description,
                                int32_t reservedA, int32_t reservedB) {
  QuestionGroup* owner = MutableGroup(group);
  if (!owner || !description.IsWellFormed()) return false;
  OperationQuestion question;
  question.id = registry_.Grant(requestedId);
  question.reservedA = reservedA;
  question.reservedB = reservedB;
  question.description = std::move(description);
  owner->questions.push_back(std::move(question));
  return true;
}

bool OperationBank::ReplaceContent(int group, int question, ContentBlock&& description) {
  OperationQuestion* target = MutableQuestion(group, question);
  if (!target || !description.IsWellFormed()) return false;
  target->description = std::move(description);
  return true;
}

bool OperationBank::DeleteQuestion(int group, int question) {
  QuestionGroup* owner = MutableGroup(group);
  if (!owner || !InRange(owner->questions, question)) return false;
  owner->questions.erase(owner->questions.begin() + question);
  return true;
}

bool OperationBank::AddRequirement(int group, int question, const Requirement& requirement) {
  OperationQuestion* target = MutableQuestion(group, question);
  if (!target) return false;
  target->requirements.push_back(requirement);
  return true;
}

bool OperationBank::ChangeRequirement(int group, int question, int requirement,
                                      const Requirement& value) {
  OperationQuestion* target = MutableQuestion(group, question);
  if (!target || !InRange(target->requirements, requirement)) return false;
  target->requirements[requirement] = value;
  return true;
}

bool OperationBank::DeleteRequirement(int group, int question, int requirement) {
  OperationQuestion* target = MutableQuestion(group, question);
  if (!target || !InRange(target->requirements, requirement)) return false;
  target->requirements.erase(target->requirements.begin() + requirement);
  return true;
}

const FilePackage* OperationBank::FindPackage(int32_t questionId) const {
  auto found = std::find_if(packages_.begin(), packages_.end(), [&](const FilePackage& p) {
    return p.questionId == questionId;
  });
  return found == packages_.end() ? nullptr : &*found;
}

void OperationBank::RemovePackage(int32_t questionId) {
  auto found = std::find_if(packages_.begin(), packages_.end(), [&](const FilePackage& p) {
    return p.questionId == questionId;
  });
  if (found != packages_.end()) packages_.erase(found);
}

void OperationBank::AppendPackage(FilePackage&& package) {
  packages_.push_back(std::move(package));
}

std::string BankPathBeside(std::string_view modulePath) {
  std::size_t separator = GbkFindLastSeparator(modulePath);
  std::string folder(separator == std::string_view::npos ? std::string_view()
                                                           : modulePath.substr(0, separator + 1));
  return folder + "Date.dat";
}

}  // namespace velmor
