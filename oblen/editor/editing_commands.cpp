// The editing commands of Oblen's window: groups, the questions of the selected group with
// their descriptions, and the dialogs for a question's requirements and package. Every
// command works on the lists' selected rows; without the selection it needs, a command
// quietly does nothing.
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

const OperationQuestion* COblenDlg::SelectedOperationQuestion() const {
  int group = SelectedGroup();
  int question = SelectedQuestion();
  if (group < 0 || question < 0) return nullptr;
  return bank_.FindQuestion(group, question);
}

// --- Groups ----------------------------------------------------------------------------------

LRESULT COblenDlg::OnGroupClick(NMHDR*) {
  int group = SelectedGroup();
  const QuestionGroup* chosen = group < 0 ? nullptr : bank_.FindGroup(group);
  if (!chosen) return 0;
  RefillQuestions(group);
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
  int group = SelectedGroup();
  if (group < 0 || !bank_.FindGroup(group)) return;
  bank_.RenameGroup(group, groupName_);
  RefillGroups();
}

void COblenDlg::OnGroupDelete() {
  int group = SelectedGroup();
  if (group < 0 || !bank_.FindGroup(group)) return;
  bank_.DeleteGroup(group);
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

void COblenDlg::OnQuestionAdd() {
  ContentBlock description = description_.SaveContent();
  data().ReadControls();
  int group = SelectedGroup();
  if (group < 0 || !bank_.FindGroup(group)) return;  // the block is freed with `description`
  bool added = bank_.AddQuestion(1, group, std::move(description), 0, 0);
  RefillQuestions(group);
  if (added) description_.ClearContent();
}

void COblenDlg::OnQuestionChange() {
  ContentBlock description = description_.SaveContent();
  data().ReadControls();
  int group = SelectedGroup();
  int question = SelectedQuestion();
  if (group < 0 || question < 0 || !bank_.FindQuestion(group, question)) return;
  bool replaced = bank_.ReplaceContent(group, question, std::move(description));
  RefillQuestions(group);
  if (replaced) description_.ClearContent();
}

void COblenDlg::OnQuestionDelete() {
  int group = SelectedGroup();
  int question = SelectedQuestion();
  if (group < 0 || question < 0) return;
  if (!bank_.DeleteQuestion(group, question)) return;
  RefillQuestions(group);
  description_.ClearContent();
}

void COblenDlg::OnFont() { description_.ChooseTextFont(); }

void COblenDlg::OnCapture() {
  CaptureIntoRichEdit(hwnd(), description_, IDD_CAPTURE, IDB_CAPTURE_PANEL);
}

// --- A question's requirements and package ---------------------------------------------------

void COblenDlg::OnEditRequirements() {
  if (!SelectedOperationQuestion()) return;
  CEditTimuDlg editor(bank_, SelectedGroup(), SelectedQuestion());
  editor.DoModal(hwnd());
}

void COblenDlg::OnPackage() {
  const OperationQuestion* question = SelectedOperationQuestion();
  if (!question) return;
  CPackFileDlg package(bank_, files_, question->id);
  package.DoModal(hwnd());
}

}  // namespace velmor
