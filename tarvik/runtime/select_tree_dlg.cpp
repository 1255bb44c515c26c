#include "tarvik/runtime/select_tree_dlg.h"

#include <windowsx.h>

#include "framework/app.h"
#include "framework/message_table.h"
#include "tarvik/resources/resource.h"

namespace velmor {

namespace {

HBITMAP LoadPicture(int id) { return ::LoadBitmapA(fw::ModuleInstance(), MAKEINTRESOURCEA(id)); }

const COLORREF kSelectedFill = RGB(221, 244, 255);
const COLORREF kSelectedFrame = RGB(179, 215, 241);

}  // namespace

// What one paint draws with, made once for all its rows.
struct CSelectTreeDlg::PaintTools {
  HDC dc;
  HFONT normal;
  HFONT bold;
  HGDIOBJ fill;
  HGDIOBJ frame;
};

CSelectTreeDlg::CSelectTreeDlg(CQuestionOwner* owner)
    : CChildPanel(IDD_NAVIGATOR),
      foldedIcon_(LoadPicture(IDB_GROUP_FOLDED)),
      unfoldedIcon_(LoadPicture(IDB_GROUP_UNFOLDED)),
      itemIcon_(LoadPicture(IDB_NAVIGATOR_ITEM)),
      smallItemIcon_(itemIcon_, 21, 21),
      header_(LoadPicture(IDB_NAVIGATOR_HEADER)),
      owner_(owner) {}

BOOL CSelectTreeDlg::OnInitDialog() {
  ::SetTimer(hwnd(), kTimerId, kTimerPeriod, nullptr);
  return TRUE;
}

bool CSelectTreeDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  static const fw::MessageEntry<CSelectTreeDlg> kMessages[] = {
      fw::OnMessage(WM_PAINT, &CSelectTreeDlg::OnPaint),
      fw::OnMessage<CSelectTreeDlg>(WM_ERASEBKGND, &CSelectTreeDlg::OnEraseBackground),
      fw::OnMessage(WM_TIMER, &CSelectTreeDlg::OnTimer),
      fw::OnMessage(WM_LBUTTONDOWN, &CSelectTreeDlg::OnLeftButtonDown),
      fw::OnMessage(WM_MOUSEWHEEL, &CSelectTreeDlg::OnMouseWheel),
      fw::OnMessage(WM_VSCROLL, &CSelectTreeDlg::OnVerticalScroll),
  };
  return fw::Dispatch(this, kMessages, message, wParam, lParam, result);
}

void CSelectTreeDlg::ShowItem(const NavigatorItem& item) {
  if (owner_) owner_->ShowQuestion(item.question, item.place);
}

void CSelectTreeDlg::SelectFirst() {
  if (NavigatorItem* first = tree_.SelectFirst()) ShowItem(*first);
}

// --- Drawing ---------------------------------------------------------------------------------

LRESULT CSelectTreeDlg::OnPaint(WPARAM, LPARAM) {
  fw::DrawBuffered(hwnd(), true, [this](HDC dc, const RECT& client) { Draw(dc, client); });
  return 0;
}

void CSelectTreeDlg::Redraw() {
  fw::DrawBuffered(hwnd(), false, [this](HDC dc, const RECT& client) { Draw(dc, client); });
}

void CSelectTreeDlg::Draw(HDC dc, const RECT& client) {
  const int width = client.right;
  const int height = client.bottom;
  tree_.set_rightEdge(width - 25);
  {
    fw::CGdiObject pen(::CreatePen(PS_SOLID, 2, RGB(255, 255, 255)));
    fw::CSelection selectPen(dc, pen.get());
    fw::CSelection selectBrush(dc, ::GetStockObject(WHITE_BRUSH));
    ::Rectangle(dc, 0, 0, width, height);
  }
  ::SetBkMode(dc, TRANSPARENT);
  fw::CGdiObject normal(fw::MakePointFont(dc, 8, FW_NORMAL));
  if (!normal) return;
  fw::CGdiObject bold(fw::MakePointFont(dc, 8, FW_BOLD));

  int32_t content = tree_.LayoutRows();
  HWND bar = scrollBar();
  if (tree_.UpdateScrollMaximum(content, height)) {
    // Every redraw sets the bar, but only what changed reaches it: each call that redraws
    // the bar costs a paint of its own.
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS | SIF_RANGE;
    ::GetScrollInfo(bar, SB_CTL, &info);
    bool changed = info.nPos != tree_.scrollPosition() || info.nMin != 0 ||
                   info.nMax != tree_.scrollMaximum();
    if (changed) {
      info.nMin = 0;
      info.nMax = tree_.scrollMaximum();
      info.nPos = tree_.scrollPosition();
      ::SetScrollInfo(bar, SB_CTL, &info, FALSE);
    }
    RECT place = fw::CWindow(bar).WindowRect();
    ::MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&place), 2);
    if (place.left != width - 22 || place.top != 20 || place.right - place.left != 17 ||
        place.bottom - place.top != height - 25) {
      ::MoveWindow(bar, width - 22, 20, 17, height - 25, FALSE);
      changed = true;
    }
    if (!(fw::CWindow(bar).GetStyle() & WS_VISIBLE)) {
      ::ShowWindow(bar, SW_SHOW);
      changed = true;
    }
    if (changed) ::InvalidateRect(bar, nullptr, TRUE);
  } else if (fw::CWindow(bar).GetStyle() & WS_VISIBLE) {
    ::ShowWindow(bar, SW_HIDE);
  }

  fw::CGdiObject fill(::CreateSolidBrush(kSelectedFill));
  fw::CGdiObject frame(::CreatePen(PS_SOLID, 1, kSelectedFrame));
  const PaintTools tools{dc, static_cast<HFONT>(normal.get()), static_cast<HFONT>(bold.get()),
                         fill.get(), frame.get()};
  fw::CSelection selectFont(dc, normal.get());
  ::SetTextColor(dc, RGB(0, 0, 0));
  for (const NavigatorRow& row : tree_.rows()) {
    if (tree_.IsRowDrawn(row, height)) {
      DrawRow(tools, row);
    } else if (row.top - tree_.offset() > height + 25) {
      break;  // rows only go further down from here
    }
  }
  DrawHeader(tools, client);
}

void CSelectTreeDlg::DrawRow(const PaintTools& tools, const NavigatorRow& row) {
  HDC dc = tools.dc;
  const int left = tree_.leftEdge();
  const int top = row.top - tree_.offset();
  const int bottom = row.bottom - tree_.offset();
  if (row.kind == NavigatorRow::kGroup) {
    const fw::CPicture& icon =
        row.group->state == NavigatorGroup::kFolded ? foldedIcon_ : unfoldedIcon_;
    icon.Draw(dc, left, top, 13, 13);
    std::string_view name = row.group->name.text();
    ::TextOutA(dc, left + 16, top, name.data(), static_cast<int>(name.size()));
    return;
  }
  const NavigatorItem& item = *row.item;
  if (item.selected || item.hovered) {
    fw::CSelection selectBrush(dc, tools.fill);
    fw::CSelection selectPen(dc, tools.frame);
    ::Rectangle(dc, left, top, tree_.rightEdge(), bottom);
  }
  std::string_view caption = item.caption.text();
  if (item.selected) {
    itemIcon_.Draw(dc, left + 5, top + 2, 40, 40);
    if (tools.bold) {
      fw::CSelection selectBold(dc, tools.bold);
      ::TextOutA(dc, left + 45, top + 15, caption.data(), static_cast<int>(caption.size()));
    }
  } else {
    smallItemIcon_.Draw(dc, left + 5, top + 2, 21, 21);
    ::TextOutA(dc, left + 30, top + 5, caption.data(), static_cast<int>(caption.size()));
  }
}

void CSelectTreeDlg::DrawHeader(const PaintTools& tools, const RECT& client) {
  HDC dc = tools.dc;
  const int width = client.right;
  const int height = header_.height();
  // Three slices: the left 10 columns, the middle stretched, the right 8 columns.
  header_.DrawPart(dc, 1, 0, 10, height, 0, 0, 10, height);
  header_.DrawPart(dc, 11, 0, width - 20, height, 10, 0, header_.width() - 20, height);
  header_.DrawPart(dc, width - 9, 0, 8, height, header_.width() - 8, 0, 8, height);
  static const char kHeading[] = "题目列表";
  ::TextOutA(dc, width / 2 - 25, 4, kHeading, sizeof kHeading - 1);
}

// --- Mouse and scrolling ---------------------------------------------------------------------

LRESULT CSelectTreeDlg::OnTimer(WPARAM, LPARAM) {
  POINT cursor;
  ::GetCursorPos(&cursor);
  RECT window = WindowRect();
  POINT point{cursor.x - window.left, cursor.y - window.top};
  window.top += NavigatorTree::kHeaderBand;
  bool inside = ::PtInRect(&window, cursor) != FALSE;
  if (tree_.Hover(inside, point.x, point.y)) Redraw();
  return 0;
}

LRESULT CSelectTreeDlg::OnLeftButtonDown(WPARAM, LPARAM lParam) {
  int x = GET_X_LPARAM(lParam);
  int y = GET_Y_LPARAM(lParam);
  if (!tree_.HitTest(x, y)) return 0;
  if (NavigatorItem* selected = tree_.Press(x, y)) ShowItem(*selected);
  Redraw();
  return 0;
}

LRESULT CSelectTreeDlg::OnMouseWheel(WPARAM wParam, LPARAM) {
  HWND bar = scrollBar();
  if (tree_.Wheel(::GetScrollPos(bar, SB_CTL), GET_WHEEL_DELTA_WPARAM(wParam))) {
    ::SetScrollPos(bar, SB_CTL, tree_.scrollPosition(), TRUE);
    Redraw();
  }
  return 0;
}

LRESULT CSelectTreeDlg::OnVerticalScroll(WPARAM wParam, LPARAM lParam) {
  HWND bar = reinterpret_cast<HWND>(lParam);
  if (!bar || bar != scrollBar()) return 0;
  NavigatorTree::Scroll action = NavigatorTree::Scroll::kOther;
  switch (LOWORD(wParam)) {
    case SB_LINEUP: action = NavigatorTree::Scroll::kLineUp; break;
    case SB_LINEDOWN: action = NavigatorTree::Scroll::kLineDown; break;
    case SB_THUMBPOSITION: action = NavigatorTree::Scroll::kThumbPosition; break;
    default: break;
  }
  NavigatorTree::ScrollResult step = tree_.ScrollBy(action, ::GetScrollPos(bar, SB_CTL),
                                                    fw::ThumbPosition(bar, SB_CTL, wParam));
  if (step.setBar) ::SetScrollPos(bar, SB_CTL, step.barPosition, TRUE);
  if (step.redraw) Redraw();
  return 0;
}

}  // namespace velmor
