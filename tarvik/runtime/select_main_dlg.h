// CSelectMainDlg: the page of one small question. Its header (type label, score and text)
// drawn as lines, and one option row per option below it; the page works out its height so
// that the question view can stack pages.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/child_panel.h"
#include "tarvik/model/question_bank.h"
#include "tarvik/runtime/answer_layout.h"
#include "tarvik/runtime/select_xuanxiang_dlg.h"

namespace velmor {

class CSelectMainDlg : public fw::CChildPanel {
 public:
  explicit CSelectMainDlg(QuestionBank& bank);
  ~CSelectMainDlg() override;

  // After the page's window exists: builds the header lines and one row per option. `place`
  // names the small question (its option field is not used).
  void FillPage(const SmallQuestion& question, const OptionPlace& place, int32_t mode);
  int32_t pageHeight() const { return pageHeight_; }
  const std::vector<std::string>& headerLines() const { return headerLines_; }
  const std::vector<std::unique_ptr<CSelectXuanxiangExDlg>>& rows() const { return rows_; }

 protected:
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  LRESULT OnPaint(WPARAM, LPARAM);
  void DestroyRows();

  QuestionBank& bank_;
  const SmallQuestion* question_ = nullptr;
  std::vector<std::unique_ptr<CSelectXuanxiangExDlg>> rows_;
  int32_t pageHeight_ = 0;
  std::vector<std::string> headerLines_;
  int32_t mode_ = kKindChoice;
};

}  // namespace velmor
