#include "tarvik/model/question_bank.h"

#include <iterator>
#include <utility>

#include "common/base/positions.h"

namespace velmor {

const Category* QuestionBank::FindCategory(int category) const {
  return InRange(categories_, category) ? &categories_[category] : nullptr;
}

const BigQuestion* QuestionBank::FindBigQuestion(int category, int question) const {
  const Category* owner = FindCategory(category);
  return owner && InRange(owner->questions, question) ? &owner->questions[question] : nullptr;
}

const SmallQuestion* QuestionBank::FindSmallQuestion(int category, int question,
                                                     int small) const {
  const BigQuestion* owner = FindBigQuestion(category, question);
  return owner && InRange(owner->smallQuestions, small) ? &owner->smallQuestions[small]
                                                        : nullptr;
}

const ChoiceOption* QuestionBank::FindOption(int category, int question, int small,
                                             int option) const {
  const SmallQuestion* owner = FindSmallQuestion(category, question, small);
  return owner && InRange(owner->options, option) ? &owner->options[option] : nullptr;
}

Category* QuestionBank::MutableCategory(int category) {
  return const_cast<Category*>(FindCategory(category));
}

BigQuestion* QuestionBank::MutableBigQuestion(int category, int question) {
  return const_cast<BigQuestion*>(FindBigQuestion(category, question));
}

SmallQuestion* QuestionBank::MutableSmallQuestion(int category, int question, int small) {
  return const_cast<SmallQuestion*>(FindSmallQuestion(category, question, small));
}

bool QuestionBank::SetChosen(int category, int question, int small, int option,
                             int32_t chosen) {
  ChoiceOption* target = const_cast<ChoiceOption*>(FindOption(category, question, small, option));
  if (!target) return false;
  target->chosen = chosen;
  return true;
}

void QuestionBank::AddCategory(std::string_view name) {
  Category category;
  category.name.Assign(name);
  categories_.push_back(std::move(category));
}

bool QuestionBank::RenameCategory(int category, std::string_view name) {
  Category* target = MutableCategory(category);
  if (!target) return false;
  target->name.Assign(name);
  return true;
}

bool QuestionBank::DeleteCategory(int category) {
  if (!InRange(categories_, category)) return false;
  categories_.erase(categories_.begin() + category);
  return true;
}

void QuestionBank::RemoveAllCategories() { categories_.clear(); }

bool QuestionBank::MergeCategories(int32_t target, int32_t source) {
  int64_t count = static_cast<int64_t>(categories_.size());
  if (target < 1 || source < 1 || target > count || source > count) return false;
  // Merging a category into itself would delete it with all its questions.
  if (target == source) return false;
  std::vector<BigQuestion>& from = categories_[source - 1].questions;
  std::vector<BigQuestion>& into = categories_[target - 1].questions;
  into.insert(into.end(), std::make_move_iterator(from.begin()),
              std::make_move_iterator(from.end()));
  categories_.erase(categories_.begin() + (source - 1));
  return true;
}

bool QuestionBank::AddBigQuestion(int category, int32_t requestedId, ContentBlock&& content,
                                  int32_t reservedA, int32_t reservedB) {
  Category* owner = MutableCategory(category);
  if (!owner || !content.IsWellFormed()) return false;
  BigQuestion question;
  question.id = GrantQuestionId(requestedId);
  question.reservedA = reservedA;
  question.reservedB = reservedB;
  question.content = std::move(content);
  owner->questions.push_back(std::move(question));
  return true;
}

bool QuestionBank::ReplaceContent(int category, int question, ContentBlock&& content) {
  BigQuestion* target = MutableBigQuestion(category, question);
  if (!target || !content.IsWellFormed()) return false;
  target->content = std::move(content);
  return true;
}

bool QuestionBank::DeleteBigQuestion(int category, int question) {
  Category* owner = MutableCategory(category);
  if (!owner || !InRange(owner->questions, question)) return false;
  owner->questions.erase(owner->questions.begin() + question);
  return true;
}

bool QuestionBank::AddSmallQuestion(int category, int question, std::string_view text,
                                    int32_t singleChoice, int32_t score) {
  BigQuestion* owner = MutableBigQuestion(category, question);
  if (!owner) return false;
  SmallQuestion small;
  small.text.Assign(text);
  small.singleChoice = singleChoice;
  small.score = score;
  owner->smallQuestions.push_back(std::move(small));
  return true;
}

bool QuestionBank::ChangeSmallQuestion(int category, int question, int small,
                                       std::string_view text, int32_t singleChoice,
                                       int32_t score) {
  SmallQuestion* target = MutableSmallQuestion(category, question, small);
  if (!target) return false;
  target->text.Assign(text);
  target->singleChoice = singleChoice;
  target->score = score;
  return true;
}

bool QuestionBank::DeleteSmallQuestion(int category, int question, int small) {
  BigQuestion* owner = MutableBigQuestion(category, question);
  if (!owner || !InRange(owner->smallQuestions, small)) return false;
  owner->smallQuestions.erase(owner->smallQuestions.begin() + small);
  return true;
}

bool QuestionBank::AddOption(int category, int question, int small, std::string_view text,
                             int32_t score, int32_t isAnswer, int32_t chosen,
                             int32_t selectCount) {
  SmallQuestion* owner = MutableSmallQuestion(category, question, small);
  if (!owner) return false;
  ChoiceOption option;
  option.text.Assign(text);
  option.score = score;
  option.isAnswer = isAnswer;
  option.chosen = chosen;
  option.selectCount = selectCount;
  owner->options.push_back(std::move(option));
  return true;
}

bool QuestionBank::ChangeOption(int category, int question, int small, int option,
                                std::string_view text, int32_t score, int32_t isAnswer) {
  SmallQuestion* owner = MutableSmallQuestion(category, question, small);
  if (!owner || !InRange(owner->options, option)) return false;
  ChoiceOption& target = owner->options[option];
  target.text.Assign(text);
  target.score = score;
  target.isAnswer = isAnswer;
  return true;
}

bool QuestionBank::DeleteOption(int category, int question, int small, int option) {
  SmallQuestion* owner = MutableSmallQuestion(category, question, small);
  if (!owner || !InRange(owner->options, option)) return false;
  owner->options.erase(owner->options.begin() + option);
  return true;
}

bool QuestionBank::AppendFromFile(const std::string& path) {
  QuestionBank scratch;
  if (!scratch.Load(path)) return false;
  // The appended questions keep their stored ids; the registry of this bank stays as it is.
  categories_.insert(categories_.end(), std::make_move_iterator(scratch.categories_.begin()),
                     std::make_move_iterator(scratch.categories_.end()));
  return true;
}

void QuestionBank::Clear() {
  categories_.clear();
  trailerRecords_.clear();
  registry_.Clear();
}

void QuestionBank::CopyFrom(const QuestionBank& source) {
  if (&source == this) return;
  std::vector<Category> categories;
  categories.reserve(source.categories_.size());
  for (const Category& from : source.categories_) {
    Category category;
    category.name = from.name;
    category.questions.reserve(from.questions.size());
    for (const BigQuestion& question : from.questions) {
      BigQuestion copy;
      copy.id = question.id;
      copy.reservedA = question.reservedA;
      copy.reservedB = question.reservedB;
      copy.smallQuestions = question.smallQuestions;
      copy.content = question.content.Clone();
      category.questions.push_back(std::move(copy));
    }
    categories.push_back(std::move(category));
  }
  categories_ = std::move(categories);
  title_ = source.title_;
  header_ = source.header_;
  trailerRecords_ = source.trailerRecords_;
  registry_ = source.registry_;
  filePath_ = source.filePath_;
}

void QuestionBank::ResetSelectCounts() {
  for (Category& category : categories_)
    for (BigQuestion& question : category.questions)
      for (SmallQuestion& small : question.smallQuestions)
        for (ChoiceOption& option : small.options) option.selectCount = 0;
}

void QuestionBank::ResetChoices() {
  for (Category& category : categories_)
    for (BigQuestion& question : category.questions)
      for (SmallQuestion& small : question.smallQuestions)
        for (ChoiceOption& option : small.options) option.chosen = 0;
}

}  // namespace velmor
