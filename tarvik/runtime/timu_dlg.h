// CTimuDlg: the question view of the answering dialog. For one big question it stacks a
// page per small question on a light yellow ground and scrolls them with its own bar. Its
// 100 ms timer polls every option row it holds (hover, single-choice ticks): one timer for
// the view, as hundreds of row timers would flood the message queue.
#pragma once

#include <windows.h>

#include <memory>
#include <unordered_map>
#include <vector>

#include "framework/child_panel.h"
#include "tarvik/model/question_bank.h"
#include "tarvik/runtime/navigator.h"
#include "tarvik/runtime/select_main_dlg.h"

namespace velmor {

class CTimuDlg : public fw::CChildPanel {
 public:
  static constexpr UINT_PTR kTimerId = 275;
  static constexpr UINT kTimerPeriod = 100;

  explicit CTimuDlg(QuestionBank& bank);
  ~CTimuDlg() override;

  // Once the view's window exists: one page per small question of `question` (none: the
  // view stays empty), stacked, and the scroll range for the view's client height.
  void FillQuestion(const BigQuestion* question, const QuestionPlace& place, int32_t mode);
  int32_t contentHeight() const { return contentHeight_; }
  int32_t scrollRange() const { return scrollRange_; }
  const std::vector<std::unique_ptr<CSelectMainDlg>>& pages() const { return pages_; }

 protected:
  BOOL OnInitDialog() override;
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  LRESULT OnPaint(WPARAM, LPARAM);
  LRESULT OnVerticalScroll(WPARAM wParam, LPARAM lParam);
  LRESULT OnTimer(WPARAM, LPARAM);
  CSelectXuanxiangExDlg* RowAt(POINT screen) const;
  void DestroyPages();

  QuestionBank& bank_;
  const BigQuestion* question_ = nullptr;
  std::vector<std::unique_ptr<CSelectMainDlg>> pages_;
  int32_t contentHeight_ = 0;
  int32_t scrollRange_ = 0;
  std::vector<CSelectXuanxiangExDlg*> rows_;  // every page's rows, for the poll
  std::unordered_map<HWND, CSelectXuanxiangExDlg*> rowWindows_;
  CSelectXuanxiangExDlg* hoveredRow_ = nullptr;
};

}  // namespace velmor
