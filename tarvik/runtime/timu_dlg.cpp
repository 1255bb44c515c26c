#include "tarvik/runtime/timu_dlg.h"

#include <algorithm>

#include "framework/gdi.h"
#include "framework/message_table.h"
#include "tarvik/resources/resource.h"

namespace velmor {

namespace {

const COLORREF kViewColour = RGB(249, 249, 190);

}  // namespace

CTimuDlg::CTimuDlg(QuestionBank& bank) : CChildPanel(IDD_QUESTION_VIEW), bank_(bank) {}

CTimuDlg::~CTimuDlg() {
  DestroyWindow();  // one call takes every page and row window with it
  DestroyPages();
}

void CTimuDlg::DestroyPages() {
  rows_.clear();
  rowWindows_.clear();
  hoveredRow_ = nullptr;
  for (auto& page : pages_) page->DestroyWindow();
  pages_.clear();
}

BOOL CTimuDlg::OnInitDialog() {
  ::SetTimer(hwnd(), kTimerId, kTimerPeriod, nullptr);
  return TRUE;
}

void CTimuDlg::FillQuestion(const BigQuestion* question, const QuestionPlace& place,
                            int32_t mode) {
  if (!question) return;
  question_ = question;
  DestroyPages();
  // Hundreds of pages and rows appear at once: draw them when they are all in place.
  fw::RedrawSuspended quiet(hwnd());
  pages_.reserve(question->smallQuestions.size());
  std::vector<int32_t> pageHeights;
  for (std::size_t i = 0; i < question->smallQuestions.size(); ++i) {
    auto page = std::make_unique<CSelectMainDlg>(bank_);
    if (!page->Create(hwnd())) continue;  // a page that could not be made takes no room
    page->FillPage(question->smallQuestions[i],
                   OptionPlace{place.category, place.question, static_cast<int>(i), -1}, mode);
    pageHeights.push_back(page->pageHeight());
    for (const auto& row : page->rows()) {
      rows_.push_back(row.get());
      rowWindows_[row->hwnd()] = row.get();
    }
    pages_.push_back(std::move(page));
  }
  const ViewLayout layout = StackPages(pageHeights);
  for (std::size_t i = 0; i < pages_.size(); ++i) {
    pages_[i]->Move(kPageLeft, layout.pageTops[i], kPageWidth, pageHeights[i]);
  }
  // Shown once all are in place: a page moved while shown makes every shown sibling's
  // visible region be worked out again.
  for (auto& page : pages_) page->Show();
  contentHeight_ = layout.contentHeight;
  scrollRange_ = ViewScrollRange(contentHeight_, ClientRect().bottom);
  ::SetScrollRange(hwnd(), SB_VERT, 0, std::max(scrollRange_, 0), FALSE);
  ::ShowScrollBar(hwnd(), SB_VERT, ShowsScrollBar(scrollRange_));
}

bool CTimuDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  static const fw::MessageEntry<CTimuDlg> kMessages[] = {
      fw::OnMessage(WM_PAINT, &CTimuDlg::OnPaint),
      fw::OnMessage<CTimuDlg>(WM_ERASEBKGND, &CTimuDlg::OnEraseBackground),
      fw::OnMessage(WM_VSCROLL, &CTimuDlg::OnVerticalScroll),
      fw::OnMessage(WM_TIMER, &CTimuDlg::OnTimer),
  };
  return fw::Dispatch(this, kMessages, message, wParam, lParam, result);
}

LRESULT CTimuDlg::OnPaint(WPARAM, LPARAM) {
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(hwnd(), &paint);
  RECT client = ClientRect();
  fw::CGdiObject brush(::CreateSolidBrush(kViewColour));
  fw::CGdiObject pen(::CreatePen(PS_SOLID, 1, kViewColour));
  fw::CSelection selectBrush(dc, brush.get());
  fw::CSelection selectPen(dc, pen.get());
  ::Rectangle(dc, 0, 0, client.right, client.bottom);
  ::EndPaint(hwnd(), &paint);
  return 0;
}

LRESULT CTimuDlg::OnVerticalScroll(WPARAM wParam, LPARAM) {
  int position = ::GetScrollPos(hwnd(), SB_VERT);
  ScrollAction action = ScrollAction::kOther;
  switch (LOWORD(wParam)) {
    case SB_LINEUP: action = ScrollAction::kLineUp; break;
    case SB_LINEDOWN: action = ScrollAction::kLineDown; break;
    case SB_THUMBPOSITION: action = ScrollAction::kThumbPosition; break;
    default: break;
  }
  int thumb = fw::ThumbPosition(hwnd(), SB_VERT, wParam);
  int target = ViewScrollTarget(action, position, thumb, scrollRange_);
  ::SetScrollPos(hwnd(), SB_VERT, target, TRUE);
  int reached = ::GetScrollPos(hwnd(), SB_VERT);
  ::ScrollWindow(hwnd(), 0, position - reached, nullptr, nullptr);
  return 0;
}

CSelectXuanxiangExDlg* CTimuDlg::RowAt(POINT screen) const {
  for (HWND window = ::WindowFromPoint(screen); window && window != hwnd();
       window = ::GetParent(window)) {
    auto found = rowWindows_.find(window);
    if (found != rowWindows_.end()) return found->second;
  }
  return nullptr;
}

LRESULT CTimuDlg::OnTimer(WPARAM, LPARAM) {
  POINT cursor;
  ::GetCursorPos(&cursor);
  CSelectXuanxiangExDlg* under = RowAt(cursor);
  if (under != hoveredRow_) {
    if (hoveredRow_) hoveredRow_->SetHovered(false);
    if (under) under->SetHovered(true);
    hoveredRow_ = under;
  }
  for (CSelectXuanxiangExDlg* row : rows_) row->ResyncTick();
  return 0;
}

}  // namespace velmor
