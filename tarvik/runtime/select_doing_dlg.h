// CSelectDoingDlg: the answering dialog. A bank (the caller's scratch copy) shown as a
// student meets it: the navigator on the left, the stem of the selected big question at the
// top right, its small questions and options below, and in the answer check the total score
// of the stored ticks. Ticks change only the bank handed over.
#pragma once

#include <windows.h>

#include <memory>

#include "common/richtext/rich_edit_ctrl_ex.h"
#include "framework/dialog.h"
#include "tarvik/model/question_bank.h"
#include "tarvik/runtime/select_tree_dlg.h"
#include "tarvik/runtime/timu_dlg.h"

namespace velmor {

class CSelectDoingDlg : public fw::CDialog, public CQuestionOwner {
 public:
  CSelectDoingDlg();
  ~CSelectDoingDlg() override;

  // The caller protocol: the bank to show (not owned), then the navigator filled from it,
  // both before the window exists.
  void SetBank(QuestionBank* bank) { bank_ = bank; }
  CSelectTreeDlg& navigator() { return navigator_; }

  void ShowQuestion(const BigQuestion* question, const QuestionPlace& place) override;

  CRichEditCtrlEx& stemView() { return stem_; }
  CTimuDlg* questionView() { return view_.get(); }
  std::string scoreLine() const { return GetItemText(IDC_SCORE_LINE); }

 protected:
  BOOL OnInitDialog() override;
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  LRESULT OnPaint(WPARAM, LPARAM);
  LRESULT OnControlColour(WPARAM wParam, LPARAM lParam);
  int32_t mode() const { return bank_ ? bank_->header().kind() : kKindChoice; }

  CSelectTreeDlg navigator_;
  CRichEditCtrlEx stem_;
  std::unique_ptr<CTimuDlg> view_;
  RECT viewRect_{};
  QuestionBank* bank_ = nullptr;
  HBRUSH controlBrush_ = nullptr;
};

}  // namespace velmor
