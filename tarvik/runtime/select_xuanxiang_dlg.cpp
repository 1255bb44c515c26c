#include "tarvik/runtime/select_xuanxiang_dlg.h"

#include <cstdio>

#include "framework/gdi.h"
#include "framework/message_table.h"
#include "tarvik/resources/resource.h"

namespace velmor {

CSelectXuanxiangExDlg::CSelectXuanxiangExDlg(QuestionBank& bank)
    : CChildPanel(IDD_OPTION_ROW), bank_(bank) {
  data().BindCheck(IDC_OPTION_TICK, &ticked_);
}

void CSelectXuanxiangExDlg::FillOption(const SmallQuestion& question, const ChoiceOption& option,
                                       const OptionPlace& place, int32_t mode) {
  mode_ = mode;
  option_ = &option;
  question_ = &question;
  place_ = place;
  ticked_ = option.chosen != 0;  // the tick box shows any stored tick as a tick
  lines_ = OptionLines(question, option, mode);
  rowHeight_ = OptionRowHeight(lines_.size());
}

BOOL CSelectXuanxiangExDlg::OnInitDialog() {
  data().ShowValues();
  return TRUE;
}

bool CSelectXuanxiangExDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                          LRESULT& result) {
  static const fw::MessageEntry<CSelectXuanxiangExDlg> kMessages[] = {
      fw::OnMessage(WM_PAINT, &CSelectXuanxiangExDlg::OnPaint),
      fw::OnMessage(WM_CTLCOLORBTN, &CSelectXuanxiangExDlg::OnControlColour),
      fw::OnMessage(WM_CTLCOLORSTATIC, &CSelectXuanxiangExDlg::OnControlColour),
      fw::OnMessage(WM_LBUTTONDOWN, &CSelectXuanxiangExDlg::OnLeftButtonDown),
      fw::OnCommand(IDC_OPTION_TICK, &CSelectXuanxiangExDlg::OnTickBox),
  };
  return fw::Dispatch(this, kMessages, message, wParam, lParam, result);
}

void CSelectXuanxiangExDlg::Draw(HDC dc, const RECT& client) {
  ::SetBkMode(dc, TRANSPARENT);
  fw::CGdiObject brush(::CreateSolidBrush(
      OptionFillColour(ticked_, hovered_, option_ ? option_->isAnswer : 0, mode_)));
  fw::CGdiObject pen(::CreatePen(PS_SOLID, 1, OptionOutlineColour(hovered_)));
  fw::CSelection selectBrush(dc, brush.get());
  fw::CSelection selectPen(dc, pen.get());
  ::Rectangle(dc, 25, 2, client.right - 2, rowHeight_ - 2);

  fw::CGdiObject font(fw::MakePointFont(dc, 8, FW_NORMAL));
  if (!font) return;
  fw::CSelection selectFont(dc, font.get());
  ::SetTextColor(dc, RGB(0, 0, 0));
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    ::TextOutA(dc, 35, 5 + 20 * static_cast<int>(i), lines_[i].c_str(),
               static_cast<int>(lines_[i].size()));
  }
  if (option_ && ShowsScoreBox(mode_, option_->score)) {
    ::Rectangle(dc, client.right - 45, 2, client.right - 2, rowHeight_ - 2);
    char score[32];
    int length = std::snprintf(score, sizeof score, "(%d分)", static_cast<int>(option_->score));
    ::TextOutA(dc, client.right - 41, 5, score, length);
  }
}

LRESULT CSelectXuanxiangExDlg::OnPaint(WPARAM, LPARAM) {
  fw::DrawBuffered(hwnd(), true, [this](HDC dc, const RECT& client) { Draw(dc, client); });
  return 0;
}

void CSelectXuanxiangExDlg::Redraw() {
  fw::DrawBuffered(hwnd(), false, [this](HDC dc, const RECT& client) { Draw(dc, client); });
}

LRESULT CSelectXuanxiangExDlg::OnControlColour(WPARAM wParam, LPARAM lParam) {
  if (reinterpret_cast<HWND>(lParam) != GetItem(IDC_OPTION_TICK)) return 0;  // the defaults
  ::SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
  return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
}

LRESULT CSelectXuanxiangExDlg::OnLeftButtonDown(WPARAM, LPARAM) {
  Tick();
  return 0;
}

void CSelectXuanxiangExDlg::Tick() {
  ticked_ = ApplyTick(bank_, place_, ticked_);
  data().ShowValues();
  Invalidate();
}

void CSelectXuanxiangExDlg::SetHovered(bool hovered) {
  if (hovered == hovered_) return;
  hovered_ = hovered;
  Redraw();
}

void CSelectXuanxiangExDlg::ResyncTick() {
  if (!question_ || question_->singleChoice == 0 || !option_) return;
  int32_t stored = option_->chosen != 0;
  if (stored == ticked_) return;
  ticked_ = stored;
  data().ShowValues();
  Invalidate();
}

}  // namespace velmor
