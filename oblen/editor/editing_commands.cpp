// The editing commands of Oblen's window: groups, the questions of the selected group with
// their descriptions, and the dialogs for a question's requirements and package. Every
// command works on the lists' selected rows; without the selection it needs, a command
// quietly does nothing.
#include <optional>
#include <utility>

#include "common/capture/screen_dlg.h"
#include "oblen/editor/edit_timu_dlg.h"
#include "oblen/editor/list_rows.h"
#include "oblen/editor/oblen_dlg.h"
#include "oblen/editor/pack_file_dlg.h"

namespace velmor {

void COblenDlg::RefillGroups() { groupList().Refill(GroupRows(bank_), &refillLock_); }

void COblenDlg::RefillQuestions(int group) {
  if (const QuestionGroup* owner = bank_.FindGroup(group)) {
    questionList().Refill(QuestionRows(*owner), &refillLock_);
  }
}

std::optional<int> COblenDlg::SelectedGroup() const {
  int group = groupList().FirstSelected();
  if (group < 0) return std::nullopt;
  return group;
}

std::optional<COblenDlg::QuestionPlace> COblenDlg::SelectedQuestion() const {
  std::optional<int> group = SelectedGroup();
  int question = questionList().FirstSelected();
  if (!group || question < 0) return std::nullopt;
  return QuestionPlace{*group, question};
}

const OperationQuestion* COblenDlg::SelectedOperationQuestion() const {
  std::optional<QuestionPlace> place = SelectedQuestion();
  return place ? bank_.FindQuestion(place->group, place->question) : nullptr;
}

// --- Groups ----------------------------------------------------------------------------------

LRESULT COblenDlg::OnGroupClick(NMHDR*) {
  std::optional<int> group = SelectedGroup();
  const QuestionGroup* chosen = group ? bank_.FindGroup(*group) : nullptr;
  if (!chosen) return 0;
  RefillQuestions(*group);
  groupName_ = std::string(chosen->name.text());
  data().ShowValues();
  return 0;
}

void COblenDlg::OnGroupAdd() {
  data().ReadControls();
  bank_.AddGroup(groupName_);
  RefillGroups();
}

void COblenDlg::OnGroupRename() {
  data().ReadControls();
  std::optional<int> group = SelectedGroup();
  if (!group || !bank_.RenameGroup(*group, groupName_)) return;
  RefillGroups();
}

void COblenDlg::OnGroupDelete() {
  std::optional<int> group = SelectedGroup();
  if (!group || !bank_.DeleteGroup(*group)) return;
  RefillGroups();
  questionList().DeleteAllItems();
}

// --- Questions and their description ------------------------------------------------------

LRESULT COblenDlg::OnQuestionClick(NMHDR*) {
  if (const OperationQuestion* chosen = SelectedOperationQuestion()) {
    description_.LoadContent(chosen->description);
  }
  return 0;
}

// A refused description stays in the editor; the block taken from it is freed with
// `description`.
void COblenDlg::OnQuestionAdd() {
  ContentBlock description = description_.SaveContent();
  data().ReadControls();
  std::optional<int> group = SelectedGroup();
  if (!group) return;
  bool added = bank_.AddQuestion(1, *group, std::move(description), 0, 0);
  RefillQuestions(*group);
  if (added) description_.ClearContent();
}

void COblenDlg::OnQuestionChange() {
  ContentBlock description = description_.SaveContent();
  data().ReadControls();
  std::optional<QuestionPlace> place = SelectedQuestion();
  if (!place || !bank_.FindQuestion(place->group, place->question)) return;
  bool replaced = bank_.ReplaceContent(place->group, place->question, std::move(description));
  RefillQuestions(place->group);
  if (replaced) description_.ClearContent();
}

void COblenDlg::OnQuestionDelete() {
  std::optional<QuestionPlace> place = SelectedQuestion();
  if (!place || !bank_.DeleteQuestion(place->group, place->question)) return;
  RefillQuestions(place->group);
  description_.ClearContent();
}

void COblenDlg::OnFont() { description_.ChooseTextFont(); }

void COblenDlg::OnCapture() {
  CaptureIntoRichEdit(hwnd(), description_, IDD_CAPTURE, IDB_CAPTURE_PANEL);
}

// --- A question's requirements and package ---------------------------------------------------

void COblenDlg::OnEditRequirements() {
  std::optional<QuestionPlace> place = SelectedQuestion();
  if (!place || !bank_.FindQuestion(place->group, place->question)) return;
  CEditTimuDlg editor(bank_, place->group, place->question);
  editor.DoModal(hwnd());
}

void COblenDlg::OnPackage() {
  const OperationQuestion* question = SelectedOperationQuestion();
  if (!question) return;
  CPackFileDlg package(bank_, files_, question->id);
  package.DoModal(hwnd());
}

}  // namespace velmor
