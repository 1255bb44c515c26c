// CSelectTreeDlg: the question list on the left of the answering dialog. It draws the
// navigator tree itself (groups with fold icons, items with a list icon, the selected one
// large and bold), lights items under the mouse on a 50 ms poll, and scrolls in steps of 25
// pixels with its scroll bar and the wheel. Selecting an item asks the owner to show it.
#pragma once

#include <windows.h>

#include "framework/child_panel.h"
#include "framework/gdi.h"
#include "tarvik/model/question_bank.h"
#include "tarvik/resources/resource.h"
#include "tarvik/runtime/navigator.h"

namespace velmor {

// The window that shows the big question an item stands for.
class CQuestionOwner {
 public:
  virtual ~CQuestionOwner() = default;
  virtual void ShowQuestion(const BigQuestion* question, const QuestionPlace& place) = 0;
};

class CSelectTreeDlg : public fw::CChildPanel {
 public:
  static constexpr UINT_PTR kTimerId = 275;
  static constexpr UINT kTimerPeriod = 50;

  explicit CSelectTreeDlg(CQuestionOwner* owner);

  // Fills the groups; called once, before the window exists.
  void BuildFromBank(const QuestionBank& bank) { tree_.BuildFromBank(bank); }
  // Selects the first item and shows its question through the owner.
  void SelectFirst();
  // Draws the tree at once, outside the paint cycle.
  void Redraw();
  // Draws the tree into `dc` as it paints its client area.
  void DrawInto(HDC dc) { Draw(dc, ClientRect()); }

  NavigatorTree& tree() { return tree_; }
  HWND scrollBar() const { return GetItem(IDC_NAVIGATOR_SCROLL); }

 protected:
  BOOL OnInitDialog() override;
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  LRESULT OnPaint(WPARAM, LPARAM);
  LRESULT OnTimer(WPARAM, LPARAM);
  LRESULT OnLeftButtonDown(WPARAM, LPARAM lParam);
  LRESULT OnMouseWheel(WPARAM wParam, LPARAM);
  LRESULT OnVerticalScroll(WPARAM wParam, LPARAM lParam);
  struct PaintTools;
  void Draw(HDC dc, const RECT& client);
  void DrawRow(const PaintTools& tools, const NavigatorRow& row);
  void DrawHeader(const PaintTools& tools, const RECT& client);
  void ShowItem(const NavigatorItem& item);

  NavigatorTree tree_;
  fw::CPicture foldedIcon_;
  fw::CPicture unfoldedIcon_;
  fw::CPicture itemIcon_;
  fw::CPicture smallItemIcon_;  // the item icon at 21 x 21, scaled once
  fw::CPicture header_;
  CQuestionOwner* owner_;
};

}  // namespace velmor
