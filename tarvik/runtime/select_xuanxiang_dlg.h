// CSelectXuanxiangExDlg: one option row of a question page. A tick box, a framed band with
// the option's text lines, and by run mode a red fill for answers, a score box or a
// statistics line. A click ticks the option in the bank at once; the question view's 100 ms
// poll, one timer for all its rows, drives the hover colours and brings single-choice ticks
// back in line with the bank.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/child_panel.h"
#include "tarvik/model/question_bank.h"
#include "tarvik/runtime/answer_layout.h"

namespace velmor {

class CSelectXuanxiangExDlg : public fw::CChildPanel {
 public:
  explicit CSelectXuanxiangExDlg(QuestionBank& bank);

  // Before the window is made: what the row shows and where its option sits in the bank.
  void FillOption(const SmallQuestion& question, const ChoiceOption& option,
                  const OptionPlace& place, int32_t mode);
  int32_t rowHeight() const { return rowHeight_; }
  int32_t ticked() const { return ticked_; }
  bool hovered() const { return hovered_; }
  const std::vector<std::string>& lines() const { return lines_; }

  // Draws the row at once, outside the paint cycle.
  void Redraw();
  // The poll: lights or puts out the row, and takes a single choice's tick from the bank.
  void SetHovered(bool hovered);
  void ResyncTick();

  // Draws the row into `dc` as it paints its client area.
  void DrawInto(HDC dc) { Draw(dc, ClientRect()); }

 protected:
  BOOL OnInitDialog() override;
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  LRESULT OnPaint(WPARAM, LPARAM);
  LRESULT OnControlColour(WPARAM wParam, LPARAM lParam);
  LRESULT OnLeftButtonDown(WPARAM, LPARAM);
  void OnTickBox() { Tick(); }
  void Tick();
  void Draw(HDC dc, const RECT& client);

  QuestionBank& bank_;
  const ChoiceOption* option_ = nullptr;
  int32_t rowHeight_ = 0;
  int32_t ticked_ = 0;
  std::vector<std::string> lines_;
  bool hovered_ = false;
  const SmallQuestion* question_ = nullptr;
  int32_t mode_ = kKindChoice;
  OptionPlace place_;
};

}  // namespace velmor
