// The editing commands of the editor window: one group of buttons and a list per level of
// the document. Every command works on the lists' selected rows; without the selection it
// needs, a command quietly does nothing.
#include <optional>
#include <utility>

#include "common/capture/screen_dlg.h"
#include "tarvik/editor/tarvik_dlg.h"
#include "tarvik/resources/resource.h"

namespace velmor {

void CTarvikDlg::Fill(const fw::CListView& list, const fw::ListRows& rows) {
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

std::optional<int> CTarvikDlg::SelectedCategory() const {
  int category = categoryList().FirstSelected();
  if (category < 0) return std::nullopt;
  return category;
}

std::optional<CTarvikDlg::BigQuestionPlace> CTarvikDlg::SelectedBigQuestion() const {
  std::optional<int> category = SelectedCategory();
  int question = bigQuestionList().FirstSelected();
  if (!category || question < 0) return std::nullopt;
  return BigQuestionPlace{*category, question};
}

std::optional<CTarvikDlg::SmallQuestionPlace> CTarvikDlg::SelectedSmallQuestion() const {
  std::optional<BigQuestionPlace> owner = SelectedBigQuestion();
  int small = smallQuestionList().FirstSelected();
  if (!owner || small < 0) return std::nullopt;
  return SmallQuestionPlace{owner->category, owner->question, small};
}

std::optional<CTarvikDlg::OptionPlace> CTarvikDlg::SelectedOption() const {
  std::optional<SmallQuestionPlace> owner = SelectedSmallQuestion();
  int option = optionList().FirstSelected();
  if (!owner || option < 0) return std::nullopt;
  return OptionPlace{owner->category, owner->question, owner->small, option};
}

// --- Categories ----------------------------------------------------------------------------

void CTarvikDlg::OnCategoryAdd() {
  data().ReadControls();
  document_.AddCategory(values_.categoryName);
  RefillCategories();
}

void CTarvikDlg::OnCategoryRename() {
  data().ReadControls();
  std::optional<int> category = SelectedCategory();
  if (!category) return;
  document_.RenameCategory(*category, values_.categoryName);
  RefillCategories();
}

void CTarvikDlg::OnCategoryDelete() {
  std::optional<int> category = SelectedCategory();
  if (!category) return;
  document_.DeleteCategory(*category);
  RefillCategories();
  smallQuestionList().DeleteAllItems();
}

LRESULT CTarvikDlg::OnCategoryClick(NMHDR*) {
  std::optional<int> category = SelectedCategory();
  const Category* chosen = category ? document_.FindCategory(*category) : nullptr;
  if (!chosen) return 0;
  RefillBigQuestions(*category);
  values_.categoryName = std::string(chosen->name.text());
  optionList().DeleteAllItems();
  data().ShowValues();
  return 0;
}

void CTarvikDlg::OnCategoryMerge() {
  data().ReadControls();
  document_.MergeCategories(values_.mergeTarget, values_.mergeSource);
  RefillCategories();
}

// --- Big questions ---------------------------------------------------------------------------

// A refused stem stays in the editor; the block taken from it is freed with `stem`.
void CTarvikDlg::OnBigQuestionAdd() {
  ContentBlock stem = stem_.SaveContent();
  data().ReadControls();
  std::optional<int> category = SelectedCategory();
  if (!category) return;
  bool accepted = document_.AddBigQuestion(*category, 1, std::move(stem), 0, 0);
  RefillBigQuestions(*category);
  if (accepted) stem_.ClearContent();
}

void CTarvikDlg::OnBigQuestionChange() {
  ContentBlock stem = stem_.SaveContent();
  data().ReadControls();
  std::optional<BigQuestionPlace> place = SelectedBigQuestion();
  if (!place) return;
  if (document_.ReplaceContent(place->category, place->question, std::move(stem))) {
    stem_.ClearContent();
  }
}

void CTarvikDlg::OnBigQuestionDelete() {
  std::optional<BigQuestionPlace> place = SelectedBigQuestion();
  if (!place || !document_.DeleteBigQuestion(place->category, place->question)) return;
  RefillBigQuestions(place->category);
}

LRESULT CTarvikDlg::OnBigQuestionClick(NMHDR*) {
  std::optional<BigQuestionPlace> place = SelectedBigQuestion();
  const BigQuestion* chosen =
      place ? document_.FindBigQuestion(place->category, place->question) : nullptr;
  if (!chosen) return 0;
  stem_.LoadContent(chosen->content);
  RefillSmallQuestions(place->category, place->question);
  return 0;
}

void CTarvikDlg::OnStemFont() { stem_.ChooseTextFont(); }

void CTarvikDlg::OnStemCapture() {
  CaptureIntoRichEdit(hwnd(), stem_, IDD_CAPTURE, IDB_CAPTURE_PANEL);
}

// --- Small questions -------------------------------------------------------------------------

void CTarvikDlg::OnSmallQuestionAdd() {
  data().ReadControls();
  std::optional<BigQuestionPlace> place = SelectedBigQuestion();
  if (!place) return;
  document_.AddSmallQuestion(place->category, place->question, values_.smallText,
                             values_.singleChoice, values_.smallScore);
  RefillSmallQuestions(place->category, place->question);
}

void CTarvikDlg::OnSmallQuestionChange() {
  data().ReadControls();
  std::optional<SmallQuestionPlace> place = SelectedSmallQuestion();
  if (!place) return;
  document_.ChangeSmallQuestion(place->category, place->question, place->small,
                                values_.smallText, values_.singleChoice, values_.smallScore);
  RefillSmallQuestions(place->category, place->question);
}

void CTarvikDlg::OnSmallQuestionDelete() {
  std::optional<SmallQuestionPlace> place = SelectedSmallQuestion();
  if (!place) return;
  document_.DeleteSmallQuestion(place->category, place->question, place->small);
  RefillSmallQuestions(place->category, place->question);
}

LRESULT CTarvikDlg::OnSmallQuestionClick(NMHDR*) {
  std::optional<SmallQuestionPlace> place = SelectedSmallQuestion();
  const SmallQuestion* chosen =
      place ? document_.FindSmallQuestion(place->category, place->question, place->small)
            : nullptr;
  if (!chosen) return 0;
  values_.smallText = std::string(chosen->text.text());
  values_.singleChoice = chosen->singleChoice;
  values_.smallScore = chosen->score;
  RefillOptions(place->category, place->question, place->small);
  data().ShowValues();
  return 0;
}

// --- Options ---------------------------------------------------------------------------------

void CTarvikDlg::OnOptionAdd() {
  data().ReadControls();
  std::optional<SmallQuestionPlace> place = SelectedSmallQuestion();
  if (!place) return;
  document_.AddOption(place->category, place->question, place->small, values_.optionText,
                      values_.optionScore, values_.isAnswer, 0, 0);
  RefillOptions(place->category, place->question, place->small);
}

void CTarvikDlg::OnOptionChange() {
  data().ReadControls();
  std::optional<OptionPlace> place = SelectedOption();
  if (!place) return;
  document_.ChangeOption(place->category, place->question, place->small, place->option,
                         values_.optionText, values_.optionScore, values_.isAnswer);
  RefillOptions(place->category, place->question, place->small);
}

void CTarvikDlg::OnOptionDelete() {
  data().ReadControls();
  std::optional<OptionPlace> place = SelectedOption();
  if (!place) return;
  document_.DeleteOption(place->category, place->question, place->small, place->option);
  RefillOptions(place->category, place->question, place->small);
}

LRESULT CTarvikDlg::OnOptionClick(NMHDR*) {
  std::optional<OptionPlace> place = SelectedOption();
  const ChoiceOption* chosen =
      place ? document_.FindOption(place->category, place->question, place->small, place->option)
            : nullptr;
  if (!chosen) return 0;
  values_.optionText = std::string(chosen->text.text());
  values_.optionScore = chosen->score;
  values_.isAnswer = chosen->isAnswer;
  data().ShowValues();
  return 0;
}

}  // namespace velmor
