#include "tarvik/editor/list_rows.h"

#include "common/base/gbk.h"

namespace velmor {

fw::ListRows CategoryRows(const QuestionBank& bank) {
  fw::ListRows rows;
  for (std::size_t i = 0; i < bank.categories().size(); ++i) {
    rows.push_back(
        {fw::RowNumber(i), std::string(bank.categories()[i].name.text()), std::string()});
  }
  return rows;
}

fw::ListRows BigQuestionRows(const Category& category) {
  fw::ListRows rows;
  for (std::size_t i = 0; i < category.questions.size(); ++i) {
    rows.push_back({"第" + fw::RowNumber(i) + "题", std::to_string(category.questions[i].id)});
  }
  return rows;
}

fw::ListRows SmallQuestionRows(const BigQuestion& question) {
  fw::ListRows rows;
  for (std::size_t i = 0; i < question.smallQuestions.size(); ++i) {
    const SmallQuestion& small = question.smallQuestions[i];
    rows.push_back({fw::RowNumber(i), std::string(small.text.text()),
                    small.singleChoice != 0 ? "单项" : "不定项", std::to_string(small.score)});
  }
  return rows;
}

fw::ListRows OptionRows(const SmallQuestion& small) {
  fw::ListRows rows;
  for (std::size_t i = 0; i < small.options.size(); ++i) {
    const ChoiceOption& option = small.options[i];
    rows.push_back(
        {fw::RowNumber(i), std::string(option.text.text()), option.isAnswer != 0 ? "是" : "否"});
  }
  return rows;
}

}  // namespace velmor
