#include "oblen/editor/edit_timu_dlg.h"

#include "framework/message_table.h"
#include "oblen/editor/list_rows.h"

namespace velmor {

CEditTimuDlg::CEditTimuDlg(OperationBank& bank, int group, int question)
    : CDialog(IDD_EDIT_TIMU), bank_(bank), group_(group), question_(question) {
  // The score first: a refused score stops the exchange before any text is taken.
  data().BindInt(IDC_REQUIREMENT_SCORE, &values_.score);
  data().BindText(IDC_REQUIREMENT_DESCRIPTION, &values_.description);
  data().BindText(IDC_REQUIREMENT_TARGET, &values_.target);
  data().BindText(IDC_REQUIREMENT_PATTERN, &values_.pattern);
  data().BindText(IDC_REQUIREMENT_EXPLANATION, &values_.explanation);
  ::InitializeCriticalSection(&refillLock_);
}

CEditTimuDlg::~CEditTimuDlg() {
  DestroyWindow();
  ::DeleteCriticalSection(&refillLock_);
}

BOOL CEditTimuDlg::OnInitDialog() {
  data().ShowValues();
  requirementList().SetColumns({{"编号", 40}, {"分数", 50}, {"题目说明", 100}, {"类别", 50},
                                {"目标文件", 100}, {"匹配字符", 180}, {"解释说明", 100}});
  Refill();
  return TRUE;
}

fw::MessageTable<CEditTimuDlg> CEditTimuDlg::Messages() {
  static const fw::MessageEntry<CEditTimuDlg> kMessages[] = {
      fw::OnNotify(IDC_REQUIREMENT_LIST, NM_CLICK, &CEditTimuDlg::OnListClick),
      fw::OnCommand(IDC_REQUIREMENT_ADD, &CEditTimuDlg::OnAdd),
      fw::OnCommand(IDC_REQUIREMENT_CHANGE, &CEditTimuDlg::OnChange),
      fw::OnCommand(IDC_REQUIREMENT_DELETE, &CEditTimuDlg::OnDelete),
  };
  return kMessages;
}

bool CEditTimuDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  return fw::Dispatch(this, Messages(), message, wParam, lParam, result);
}

void CEditTimuDlg::Refill() {
  const OperationQuestion* question = bank_.FindQuestion(group_, question_);
  requirementList().Refill(question ? RequirementRows(*question) : fw::ListRows(), &refillLock_);
}

int CEditTimuDlg::SelectedRequirement() const {
  const OperationQuestion* question = bank_.FindQuestion(group_, question_);
  int row = requirementList().FirstSelected();
  if (!question || row < 0 || row >= static_cast<int>(question->requirements.size())) return -1;
  return row;
}

Requirement CEditTimuDlg::RequirementFromValues() const {
  return Requirement::Build(values_.description, values_.explanation, values_.score,
                            values_.target, values_.pattern);
}

LRESULT CEditTimuDlg::OnListClick(NMHDR*) {
  int row = SelectedRequirement();
  if (row < 0) return 0;
  const Requirement& chosen = bank_.FindQuestion(group_, question_)->requirements[row];
  values_.description = std::string(chosen.description());
  values_.explanation = std::string(chosen.explanation());
  values_.score = chosen.score();
  values_.target = std::string(chosen.targetFile());
  values_.pattern = std::string(chosen.matchPattern());
  data().ShowValues();
  return 0;
}

// A refused score builds nothing: no requirement is made from values the boxes no longer show.
void CEditTimuDlg::OnAdd() {
  if (!data().ReadControls()) return;
  bank_.AddRequirement(group_, question_, RequirementFromValues());
  Refill();
}

void CEditTimuDlg::OnChange() {
  int row = SelectedRequirement();
  if (row < 0) return;
  if (!data().ReadControls()) return;
  bank_.ChangeRequirement(group_, question_, row, RequirementFromValues());
  Refill();
}

void CEditTimuDlg::OnDelete() {
  int row = SelectedRequirement();
  if (row < 0) return;
  bank_.DeleteRequirement(group_, question_, row);
  Refill();
}

void CEditTimuDlg::OnOK() {
  if (data().ReadControls()) EndDialog(IDOK);
}

}  // namespace velmor
