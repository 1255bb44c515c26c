// The answering dialog on a bank, in each run mode, driven through the messages that a
// student's clicks, the wheel, the scroll bars and the timers send.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "common/richtext/rich_content.h"
#include "tarvik/model/scoring.h"
#include "tarvik/resources/resource.h"
#include "tarvik/runtime/select_doing_dlg.h"
#include "tests/win32/ui/pixels.h"

namespace velmor::test {
namespace {

ContentBlock Stem() { return BuildRichContent(4, "题干", {}, {}); }

// 第一章: big question 1 (a single choice with answer B, an any-number question with answers
// A and B, options scored 3 and 0, selection counts 3, 1, 0), big question 2 (one question);
// 空章: nothing; 第三章: one big question.
void FillBank(QuestionBank& bank) {
  bank.SetTitle("期中测试");
  bank.AddCategory("第一章");
  bank.AddBigQuestion(0, 1, Stem(), 0, 0);
  bank.AddSmallQuestion(0, 0, "单选题", 1, 5);
  bank.AddOption(0, 0, 0, "A", 3, 0, 0, 3);
  bank.AddOption(0, 0, 0, "B", 0, 1, 1, 1);  // ticked and right: 5 points
  bank.AddOption(0, 0, 0, "C", 0, 0, 0, 0);
  bank.AddSmallQuestion(0, 0, "多选题", 0, 6);
  bank.AddOption(0, 0, 1, "A", 0, 1, 1, 0);  // one of two answers ticked: 3 points
  bank.AddOption(0, 0, 1, "B", 0, 1, 0, 0);
  bank.AddOption(0, 0, 1, "C", 0, 0, 0, 0);
  bank.AddBigQuestion(0, 1, Stem(), 0, 0);
  bank.AddSmallQuestion(0, 1, "第二题", 1, 1);
  bank.AddOption(0, 1, 0, "甲", 0, 1, 0, 0);
  bank.AddCategory("空章");
  bank.AddCategory("第三章");
  bank.AddBigQuestion(2, 1, Stem(), 0, 0);
}

class AnsweringTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FillBank(bank);
    ::SetCursorPos(0, 0);  // away from every window: nothing hovered
  }
  // Hidden unless `shown`: a shown top-level window takes Wine two seconds to go away when
  // no window manager runs.
  void Open(int32_t mode, bool shown = false) {
    bank.SetKind(mode);
    dialog = std::make_unique<CSelectDoingDlg>();
    dialog->SetBank(&bank);
    dialog->navigator().BuildFromBank(bank);
    ASSERT_TRUE(dialog->Create(nullptr));
    if (shown) {
      dialog->Show();
      dialog->Update();
    }
    navigator().Redraw();  // lays the rows out, as its first paint does
  }
  CSelectTreeDlg& navigator() { return dialog->navigator(); }
  CTimuDlg& view() { return *dialog->questionView(); }
  CSelectXuanxiangExDlg& Row(int page, int option) {
    return *view().pages().at(page)->rows().at(option);
  }
  void Click(fw::CWindow window, int x, int y) {
    window.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    window.Send(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  }
  void Timer(fw::CWindow window) { window.Send(WM_TIMER, 275); }
  // A click in the middle of a navigator row.
  void ClickNavigatorRow(std::size_t row) {
    const NavigatorRow& target = navigator().tree().rows().at(row);
    Click(navigator(), 60, (target.top + target.bottom) / 2 - navigator().tree().offset());
  }
  const std::string& ShownStemOf(int page) { return view().pages().at(page)->headerLines().at(0); }

  QuestionBank bank;
  std::unique_ptr<CSelectDoingDlg> dialog;
};

TEST_F(AnsweringTest, CaptionSizeAndScoreLineByMode) {
  const struct {
    int32_t mode;
    std::string line;
  } cases[] = {{kKindChoice, ""},
               {kKindQuestionnaire, ""},
               {kKindPeerReview, ""},
               {kKindStatistics, ""},
               {kKindCheckAnswers, "校对选择题答案，总得分：8分！"}};
  for (const auto& c : cases) {
    Open(c.mode);
    EXPECT_EQ(dialog->GetText(), "期中测试");
    EXPECT_EQ(dialog->scoreLine(), c.line) << c.mode;
    RECT outer = dialog->WindowRect();
    EXPECT_EQ(outer.right - outer.left, 780);
    EXPECT_EQ(outer.bottom - outer.top, 580);
    RECT screen;
    ::GetWindowRect(::GetDesktopWindow(), &screen);
    EXPECT_EQ(outer.left, (screen.right - 780) / 2);
    // The first item is selected and its question shown.
    ASSERT_EQ(view().pages().size(), 2u);
    EXPECT_EQ(ShownStemOf(0), "(单项选择)(5分)单选题");
  }
  // Ticks made later leave the score line as it was formed at opening.
  Click(Row(1, 1), 300, 10);
  EXPECT_EQ(GetTotalScore(bank), 11);
  EXPECT_EQ(dialog->scoreLine(), "校对选择题答案，总得分：8分！");
}

// Enter and Esc belong to the answering dialog: none of its panels ends on them.
TEST_F(AnsweringTest, PanelsLeaveEnterAndEscToTheDialog) {
  Open(kKindChoice);
  fw::CDialog* panels[] = {&navigator(), &view(), view().pages().at(0).get(), &Row(0, 0)};
  for (fw::CDialog* panel : panels) {
    panel->Send(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    panel->Send(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_FALSE(panel->ended()) << panel->templateId();
  }
  EXPECT_FALSE(dialog->ended());
}

TEST_F(AnsweringTest, TicksFollowTheRulesAndSurviveASwitch) {
  Open(kKindChoice);
  EXPECT_EQ(Row(0, 1).ticked(), 1);  // taken from the bank
  Click(Row(0, 0), 300, 10);
  EXPECT_EQ(Row(0, 0).ticked(), 1);
  EXPECT_EQ(bank.FindOption(0, 0, 0, 1)->chosen, 0);
  EXPECT_EQ(Row(0, 1).ticked(), 1);  // until the view's poll comes round
  Timer(view());
  EXPECT_EQ(Row(0, 1).ticked(), 0);
  EXPECT_EQ(Row(0, 1).Item(IDC_OPTION_TICK).Send(BM_GETCHECK), BST_UNCHECKED);
  // The tick box does what a click on the band does; a single choice stays ticked.
  Row(0, 0).Send(WM_COMMAND, MAKEWPARAM(IDC_OPTION_TICK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Row(0, 0).GetItem(IDC_OPTION_TICK)));
  EXPECT_EQ(Row(0, 0).ticked(), 1);
  EXPECT_EQ(bank.FindOption(0, 0, 0, 0)->chosen, 1);
  // Any number of answers: a second click unticks.
  Click(Row(1, 0), 300, 10);
  EXPECT_EQ(bank.FindOption(0, 0, 1, 0)->chosen, 0);
  Click(Row(1, 2), 300, 10);
  EXPECT_EQ(bank.FindOption(0, 0, 1, 2)->chosen, 1);

  ClickNavigatorRow(2);  // 第2题
  ASSERT_EQ(view().pages().size(), 1u);
  EXPECT_EQ(ShownStemOf(0), "(单项选择)(1分)第二题");
  ClickNavigatorRow(1);  // back to 第1题
  ASSERT_EQ(view().pages().size(), 2u);
  EXPECT_EQ(Row(0, 0).ticked(), 1);
  EXPECT_EQ(Row(0, 1).ticked(), 0);
  EXPECT_EQ(Row(1, 0).ticked(), 0);
  EXPECT_EQ(Row(1, 2).ticked(), 1);
}

TEST_F(AnsweringTest, NavigatorFoldsKeepTheQuestionAndEdgesHitNothing) {
  Open(kKindChoice);
  NavigatorTree& tree = navigator().tree();
  ClickNavigatorRow(2);  // 第2题 of 第一章
  const NavigatorItem* selected = &tree.groups()[0].items[1];
  ASSERT_TRUE(selected->selected);
  ClickNavigatorRow(0);  // fold 第一章
  EXPECT_EQ(tree.groups()[0].state, NavigatorGroup::kFolded);
  EXPECT_TRUE(selected->selected);
  EXPECT_EQ(ShownStemOf(0), "(单项选择)(1分)第二题");
  ClickNavigatorRow(0);  // unfold
  EXPECT_EQ(tree.groups()[0].state, NavigatorGroup::kUnfolded);
  EXPECT_TRUE(selected->selected);

  // On an item's top or bottom line, its left or right edge, or in the header: nothing.
  const NavigatorRow first = tree.rows().at(1);
  const int middle = (first.top + first.bottom) / 2;
  const POINT misses[] = {{60, first.top},       {60, first.bottom}, {tree.leftEdge(), middle},
                          {tree.rightEdge(), middle}, {60, 10}};
  for (const POINT& miss : misses) {
    Click(navigator(), miss.x, miss.y);
    EXPECT_TRUE(selected->selected) << miss.x << "," << miss.y;
    EXPECT_EQ(ShownStemOf(0), "(单项选择)(1分)第二题");
  }
  ClickNavigatorRow(1);
  EXPECT_TRUE(tree.groups()[0].items[0].selected);
  EXPECT_EQ(ShownStemOf(0), "(单项选择)(5分)单选题");
}

TEST_F(AnsweringTest, WheelAndReleasedThumbScrollTheNavigator) {
  for (int i = 0; i < 40; ++i) bank.AddBigQuestion(2, 1, Stem(), 0, 0);
  Open(kKindChoice);
  NavigatorTree& tree = navigator().tree();
  HWND bar = navigator().scrollBar();
  ASSERT_GT(tree.scrollMaximum(), 3);
  EXPECT_TRUE(fw::CWindow(bar).GetStyle() & WS_VISIBLE);

  navigator().Send(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);  // away, at 0
  EXPECT_EQ(tree.scrollPosition(), 0);
  navigator().Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  EXPECT_EQ(tree.scrollPosition(), 1);
  EXPECT_EQ(::GetScrollPos(bar, SB_CTL), 1);

  navigator().Send(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 3), reinterpret_cast<LPARAM>(bar));
  EXPECT_EQ(tree.scrollPosition(), 1);  // dragging moves nothing
  navigator().Send(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 3), reinterpret_cast<LPARAM>(bar));
  EXPECT_EQ(tree.scrollPosition(), 3);
  EXPECT_EQ(::GetScrollPos(bar, SB_CTL), 3);
  // A click lands on the row drawn there, 75 pixels further down the content.
  const NavigatorRow& target = tree.rows().at(6);
  Click(navigator(), 60, (target.top + target.bottom) / 2 - 75);
  EXPECT_TRUE(target.item && target.item->selected);
}

TEST_F(AnsweringTest, QuestionViewStacksPagesAndScrollsInFives) {
  for (int i = 0; i < 8; ++i) bank.AddSmallQuestion(0, 0, "又一题", 1, 1);
  Open(kKindChoice, true);  // a hidden window does not scroll its pages
  const auto& pages = view().pages();
  ASSERT_EQ(pages.size(), 10u);
  auto top = [&](std::size_t page) {
    RECT rect = pages[page]->WindowRect();
    ::MapWindowPoints(nullptr, view().hwnd(), reinterpret_cast<POINT*>(&rect), 2);
    return rect.top;
  };
  EXPECT_EQ(top(0), 5);
  EXPECT_EQ(top(1), 5 + pages[0]->pageHeight());  // no gap
  EXPECT_EQ(pages[0]->pageHeight(), 25 + 5 + 3 * 30 + 10);
  EXPECT_EQ(view().contentHeight(), top(9) + pages[9]->pageHeight() + 15);
  EXPECT_EQ(view().scrollRange(), view().contentHeight() - view().ClientRect().bottom);
  EXPECT_TRUE(view().GetStyle() & WS_VSCROLL);

  view().Send(WM_VSCROLL, SB_LINEUP);
  EXPECT_EQ(top(0), 5);  // at 0 already
  view().Send(WM_VSCROLL, SB_LINEDOWN);
  EXPECT_EQ(top(0), 0);
  view().Send(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 40));
  EXPECT_EQ(top(0), 0);
  view().Send(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 40));
  EXPECT_EQ(top(0), -35);
}

// What a row draws, read back from its own drawing into a canvas.
struct RowPixels {
  uint32_t band;      // inside the band, left of any text
  uint32_t outline;   // the band's top line
  uint32_t scoreBoxEdge;  // where a score box has its left line
};

RowPixels Look(CSelectXuanxiangExDlg& row) {
  RECT client = row.ClientRect();
  Canvas canvas(client.right, client.bottom, 0x123456);
  row.DrawInto(canvas.dc());
  return {canvas.At(28, row.rowHeight() / 2), canvas.At(60, 2),
          canvas.At(client.right - 45, row.rowHeight() / 2)};
}

constexpr uint32_t Pixel(int r, int g, int b) { return (r << 16) | (g << 8) | b; }

TEST_F(AnsweringTest, RowsPaintAnswersAndScoresByMode) {
  const uint32_t red = Pixel(225, 0, 0), white = Pixel(255, 255, 255),
                 ticked = Pixel(168, 213, 244), frame = Pixel(91, 130, 230);
  const struct {
    int32_t mode;
    uint32_t answerBand;  // option B of the first question: an answer, ticked
    uint32_t plainBand;   // option C: neither
    bool scoreBox;        // option A scores 3
  } cases[] = {{kKindChoice, ticked, white, false},      {kKindQuestionnaire, ticked, white, true},
               {kKindPeerReview, ticked, white, true},   {kKindCheckAnswers, red, white, false},
               {kKindStatistics, red, white, false}};
  for (const auto& c : cases) {
    Open(c.mode);
    EXPECT_EQ(Look(Row(0, 1)).band, c.answerBand) << c.mode;
    RowPixels plain = Look(Row(0, 2));
    EXPECT_EQ(plain.band, c.plainBand) << c.mode;
    EXPECT_EQ(plain.outline, frame) << c.mode;
    RowPixels scored = Look(Row(0, 0));
    EXPECT_EQ(scored.scoreBoxEdge == frame, c.scoreBox) << c.mode;
    EXPECT_EQ(plain.scoreBoxEdge, white) << c.mode;  // score 0: no box
    EXPECT_EQ(Row(0, 0).lines().size(), c.mode == kKindStatistics ? 2u : 1u);
  }
  EXPECT_EQ(Row(0, 0).lines().back(), "选择统计：总选择次数：3，选择率：75％。");
  EXPECT_EQ(Row(0, 0).rowHeight(), 50);
}

// A pixel of a window as it stands on the screen.
uint32_t OnScreen(fw::CWindow window, int x, int y) {
  HDC dc = ::GetDC(window);
  COLORREF colour = ::GetPixel(dc, x, y);
  ::ReleaseDC(window, dc);
  return Pixel(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

// The question view's poll finds the row under the cursor, also on the row's tick box, lights
// it on the screen at once and puts out the row it leaves.
TEST_F(AnsweringTest, TheViewsPollLightsTheRowUnderTheCursor) {
  Open(kKindChoice, true);  // the cursor finds shown windows only
  // The view polls on a timer of its own; the test sends the ticks itself.
  ASSERT_TRUE(::KillTimer(view().hwnd(), CTimuDlg::kTimerId));
  const uint32_t hover = Pixel(225, 225, 225), frame = Pixel(91, 130, 230),
                 hoverFrame = Pixel(255, 0, 0);
  auto at = [](fw::CWindow window, int x, int y) {
    RECT place = window.WindowRect();
    return POINT{place.left + x, place.top + y};
  };
  const struct {
    const char* where;
    POINT cursor;
    CSelectXuanxiangExDlg* lit;  // unticked, so that it shows the hover fill
  } cases[] = {
      {"band of C", at(Row(0, 2), 100, 10), &Row(0, 2)},
      {"tick box of A", at(Row(0, 0), 12, 10), &Row(0, 0)},
      {"band of B, second page", at(Row(1, 1), 300, 15), &Row(1, 1)},
      {"page header", at(*view().pages().at(1), 100, 10), nullptr},
      {"stem", at(dialog->stemView(), 50, 50), nullptr},
      {"band of C again", at(Row(0, 2), 400, 20), &Row(0, 2)},
  };
  for (const auto& c : cases) {
    ::SetCursorPos(c.cursor.x, c.cursor.y);
    Timer(view());
    for (const auto& page : view().pages()) {
      for (const auto& row : page->rows()) {
        const bool lit = row.get() == c.lit;
        EXPECT_EQ(row->hovered(), lit) << c.where;
        EXPECT_EQ(OnScreen(*row, 60, 2), lit ? hoverFrame : frame) << c.where;
      }
    }
    if (c.lit) {
      EXPECT_EQ(OnScreen(*c.lit, 28, c.lit->rowHeight() / 2), hover) << c.where;
    }
  }
}

TEST_F(AnsweringTest, NavigatorHoverAndTheSelectedItem) {
  Open(kKindChoice);
  NavigatorTree& tree = navigator().tree();
  const NavigatorRow second = tree.rows().at(2);
  RECT window = navigator().WindowRect();
  ::SetCursorPos(window.left + 60, window.top + (second.top + second.bottom) / 2);
  Timer(navigator());
  EXPECT_TRUE(tree.groups()[0].items[1].hovered);
  RECT client = navigator().ClientRect();
  Canvas canvas(client.right, client.bottom, 0);
  navigator().DrawInto(canvas.dc());
  const uint32_t lit = Pixel(221, 244, 255);
  EXPECT_EQ(canvas.At(tree.rightEdge() - 3, second.top + 3), lit);  // the hovered band
  const NavigatorRow first = tree.rows().at(1);                     // selected, 44 high
  EXPECT_EQ(first.bottom - first.top, 44);
  EXPECT_EQ(canvas.At(tree.rightEdge() - 3, first.bottom - 3), lit);
  EXPECT_EQ(canvas.At(tree.rightEdge() - 3, tree.rows().at(0).top + 3), Pixel(255, 255, 255));
  ::SetCursorPos(0, 0);
  Timer(navigator());
  EXPECT_FALSE(tree.groups()[0].items[1].hovered);
}

}  // namespace
}  // namespace velmor::test
