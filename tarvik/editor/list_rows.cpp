#include "tarvik/editor/list_rows.h"

#include "common/base/gbk.h"

namespace velmor {

namespace {

std::string Number(std::size_t position) { return std::to_string(position + 1); }

}  // namespace

ListRows CategoryRows(const QuestionBank& bank) {
  ListRows rows;
  for (std::size_t i = 0; i < bank.categories().size(); ++i) {
    rows.push_back({Number(i), std::string(bank.categories()[i].name.text()), std::string()});
  }
  return rows;
}

ListRows BigQuestionRows(const Category& category) {
  ListRows rows;
  for (std::size_t i = 0; i < category.questions.size(); ++i) {
    rows.push_back({"第" + Number(i) + "题", std::to_string(category.questions[i].id)});
  }
  return rows;
}

ListRows SmallQuestionRows(const BigQuestion& question) {
  ListRows rows;
  for (std::size_t i = 0; i < question.smallQuestions.size(); ++i) {
    const SmallQuestion& small = question.smallQuestions[i];
    rows.push_back({Number(i), std::string(small.text.text()),
                    small.singleChoice != 0 ? "单项" : "不定项", std::to_string(small.score)});
  }
  return rows;
}

ListRows OptionRows(const SmallQuestion& small) {
  ListRows rows;
  for (std::size_t i = 0; i < small.options.size(); ++i) {
    const ChoiceOption& option = small.options[i];
    rows.push_back({Number(i), std::string(option.text.text()), option.isAnswer != 0 ? "是" : "否"});
  }
  return rows;
}

}  // namespace velmor
