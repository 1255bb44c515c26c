// The editing commands of the editor window: one group of buttons and a list per level of
// the document. Every command works on the lists' selected rows; without the selection it
// needs, a command quietly does nothing.
#include <utility>

#include "common/capture/screen_dlg.h"
#include "tarvik/editor/tarvik_dlg.h"
#include "tarvik/resources/resource.h"

namespace velmor {

void CTarvikDlg::Fill(const fw::CListView& list, const ListRows& rows) {
  list.Refill(rows, &refillLock_);
}

void CTarvikDlg::RefillCategories() { Fill(categoryList(), CategoryRows(document_)); }

void CTarvikDlg::RefillBigQuestions(int category) {
  if (const Category* owner = document_.FindCategory(category)) {
    Fill(bigQuestionList(), BigQuestionRows(*owner));
  }
}

void CTarvikDlg::RefillSmallQuestions(int category, int question) {
  if (const BigQuestion* owner = document_.FindBigQuestion(category, question)) {
    Fill(smallQuestionList(), SmallQuestionRows(*owner));
  }
}

void CTarvikDlg::RefillOptions(int category, int question, int small) {
  if (const SmallQuestion* owner = document_.FindSmallQuestion(category, question, small)) {
    Fill(optionList(), OptionRows(*owner));
  }
}

// --- Categories ----------------------------------------------------------------------------

void CTarvikDlg::OnCategoryAdd() {
  ReadControls();
  document_.AddCategory(values_.categoryName);
  RefillCategories();
}

void CTarvikDlg::OnCategoryRename() {
  ReadControls();
  int category = SelectedCategory();
  if (category < 0) return;
  document_.RenameCategory(category, values_.categoryName);
  RefillCategories();
}

void CTarvikDlg::OnCategoryDelete() {
  int category = SelectedCategory();
  if (category < 0) return;
  document_.DeleteCategory(category);
  RefillCategories();
  smallQuestionList().DeleteAllItems();
}

LRESULT CTarvikDlg::OnCategoryClick(NMHDR*) {
  int category = SelectedCategory();
  const Category* chosen = document_.FindCategory(category);
  if (!chosen) return 0;
  RefillBigQuestions(category);
  values_.categoryName = std::string(chosen->name.text());
  optionList().DeleteAllItems();
  ShowValues();
  return 0;
}

void CTarvikDlg::OnCategoryMerge() {
  ReadControls();
  document_.MergeCategories(values_.mergeTarget, values_.mergeSource);
  RefillCategories();
}

// --- Big questions ---------------------------------------------------------------------------

void CTarvikDlg::OnBigQuestionAdd() {
  ContentBlock stem = stem_.SaveContent();
  ReadControls();
  int category = SelectedCategory();
  if (!document_.FindCategory(category)) return;  // the block is freed with `stem`
  bool accepted = document_.AddBigQuestion(category, 1, std::move(stem), 0, 0);
  RefillBigQuestions(category);
  if (accepted) stem_.ClearContent();
}

void CTarvikDlg::OnBigQuestionChange() {
  ContentBlock stem = stem_.SaveContent();
  ReadControls();
  int category = SelectedCategory();
  int question = SelectedBigQuestion();
  if (!document_.FindBigQuestion(category, question)) return;
  if (document_.ReplaceContent(category, question, std::move(stem))) stem_.ClearContent();
}

void CTarvikDlg::OnBigQuestionDelete() {
  int category = SelectedCategory();
  int question = SelectedBigQuestion();
  if (!document_.FindBigQuestion(category, question)) return;
  document_.DeleteBigQuestion(category, question);
  RefillBigQuestions(category);
}

LRESULT CTarvikDlg::OnBigQuestionClick(NMHDR*) {
  int category = SelectedCategory();
  int question = SelectedBigQuestion();
  const BigQuestion* chosen = document_.FindBigQuestion(category, question);
  if (!chosen) return 0;
  stem_.LoadContent(chosen->content);
  RefillSmallQuestions(category, question);
  return 0;
}

void CTarvikDlg::OnStemFont() { stem_.ChooseTextFont(); }

void CTarvikDlg::OnStemCapture() {
  CaptureIntoRichEdit(hwnd(), stem_, IDD_CAPTURE, IDB_CAPTURE_PANEL);
}

// --- Small questions -------------------------------------------------------------------------

void CTarvikDlg::OnSmallQuestionAdd() {
  ReadControls();
  int category = SelectedCategory();
  int question = SelectedBigQuestion();
  if (!document_.FindBigQuestion(category, question)) return;
  document_.AddSmallQuestion(category, question, values_.smallText, values_.singleChoice,
                             values_.smallScore);
  RefillSmallQuestions(category, question);
}

void CTarvikDlg::OnSmallQuestionChange() {
  ReadControls();
  int category = SelectedCategory();
  int question = SelectedBigQuestion();
  int small = SelectedSmallQuestion();
  if (category < 0 || question < 0 || small < 0) return;
  document_.ChangeSmallQuestion(category, question, small, values_.smallText,
                                values_.singleChoice, values_.smallScore);
  RefillSmallQuestions(category, question);
}

void CTarvikDlg::OnSmallQuestionDelete() {
  int category = SelectedCategory();
  int question = SelectedBigQuestion();
  int small = SelectedSmallQuestion();
  if (category < 0 || question < 0 || small < 0) return;
  document_.DeleteSmallQuestion(category, question, small);
  RefillSmallQuestions(category, question);
}

LRESULT CTarvikDlg::OnSmallQuestionClick(NMHDR*) {
  int category = SelectedCategory();
  int question = SelectedBigQuestion();
  int small = SelectedSmallQuestion();
  const SmallQuestion* chosen = document_.FindSmallQuestion(category, question, small);
  if (!chosen) return 0;
  values_.smallText = std::string(chosen->text.text());
  values_.singleChoice = chosen->singleChoice;
  values_.smallScore = chosen->score;
  RefillOptions(category, question, small);
  ShowValues();
  return 0;
}

// --- Options ---------------------------------------------------------------------------------

void CTarvikDlg::OnOptionAdd() {
  ReadControls();
  int category = SelectedCategory();
  int question = SelectedBigQuestion();
  int small = SelectedSmallQuestion();
  if (category < 0 || question < 0 || small < 0) return;
  document_.AddOption(category, question, small, values_.optionText, values_.optionScore,
                      values_.isAnswer, 0, 0);
  RefillOptions(category, question, small);
}

void CTarvikDlg::OnOptionChange() {
  ReadControls();
  int category = SelectedCategory();
  int question = SelectedBigQuestion();
  int small = SelectedSmallQuestion();
  int option = SelectedOption();
  if (category < 0 || question < 0 || small < 0 || option < 0) return;
  document_.ChangeOption(category, question, small, option, values_.optionText,
                         values_.optionScore, values_.isAnswer);
  RefillOptions(category, question, small);
}

void CTarvikDlg::OnOptionDelete() {
  ReadControls();
  int category = SelectedCategory();
  int question = SelectedBigQuestion();
  int small = SelectedSmallQuestion();
  int option = SelectedOption();
  if (category < 0 || question < 0 || small < 0 || option < 0) return;
  document_.DeleteOption(category, question, small, option);
  RefillOptions(category, question, small);
}

LRESULT CTarvikDlg::OnOptionClick(NMHDR*) {
  const ChoiceOption* chosen = document_.FindOption(SelectedCategory(), SelectedBigQuestion(),
                                                    SelectedSmallQuestion(), SelectedOption());
  if (!chosen) return 0;
  values_.optionText = std::string(chosen->text.text());
  values_.optionScore = chosen->score;
  values_.isAnswer = chosen->isAnswer;
  ShowValues();
  return 0;
}

}  // namespace velmor
