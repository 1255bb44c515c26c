// How the answering window scales with the bank, under Wine, in the real windows.
//
//   answering_bench.exe [big-questions] [small-questions] [rounds]
//
// Navigator: BuildFromBank plus the first paint for one category of 10,000 big questions,
// and one redraw after a wheel step, each against the same for 10 big questions (goal: at
// most 3). Question view: ShowQuestion of a big question with 200 small questions of four
// options, per option row, against the same per row for 10 small questions (goal: at most
// 1.5, the cost of a row stays flat). Best of `rounds`; every time includes the paint.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>

#include "common/richtext/rich_content.h"
#include "common/richtext/rich_edit_ctrl_ex.h"
#include "bench/wine_timing.h"
#include "framework/app.h"
#include "tarvik/runtime/select_doing_dlg.h"

namespace {

using velmor::QuestionBank;

using velmor::bench::Now;
using velmor::bench::Best;
using velmor::bench::Pump;


velmor::ContentBlock Stem() { return velmor::BuildRichContent(4, "题干", {}, {}); }

// One category of `questions` big questions; the first has `smalls` small questions of four
// options each.
void FillBank(QuestionBank& bank, int questions, int smalls) {
  bank.SetTitle("期中测试");
  bank.AddCategory("第一章");
  for (int q = 0; q < questions; ++q) bank.AddBigQuestion(0, 1, Stem(), 0, 0);
  for (int s = 0; s < smalls; ++s) {
    bank.AddSmallQuestion(0, 0, "下列设备中，属于输入设备的是", s % 2, 5);
    for (int o = 0; o < 4; ++o) bank.AddOption(0, 0, s, "选项", 1, o == 0, 0, o);
  }
}

struct Run {
  QuestionBank bank;
  std::unique_ptr<velmor::CSelectDoingDlg> dialog;
  Run(int questions, int smalls) { FillBank(bank, questions, smalls); }
  void Open() {
    dialog = std::make_unique<velmor::CSelectDoingDlg>();
    dialog->SetBank(&bank);
    dialog->navigator().BuildFromBank(bank);
    dialog->Create(nullptr);
    dialog->Show();
    dialog->Update();
  }
};

// BuildFromBank and the navigator's first paint.
double FirstPaint(int questions, int rounds) {
  Run run(questions, 1);
  run.Open();
  velmor::CSelectTreeDlg& navigator = run.dialog->navigator();
  return Best(rounds, [&] {
    navigator.BuildFromBank(run.bank);
    navigator.tree().SelectFirst();
    navigator.Invalidate();
    navigator.Update();
  });
}

// One redraw after a wheel step toward the user (a list of 10 does not scroll: the step
// changes nothing there, the redraw is the same work).
double WheelRedraw(int questions, int rounds) {
  Run run(questions, 1);
  run.Open();
  velmor::CSelectTreeDlg& navigator = run.dialog->navigator();
  navigator.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  return Best(rounds, [&] { navigator.Redraw(); });
}

// ShowQuestion of the first big question, whose small questions hold four options each.
double ShowQuestion(int smalls, int rounds) {
  Run run(2, smalls);
  run.Open();
  const velmor::BigQuestion* first = run.bank.FindBigQuestion(0, 0);
  return Best(rounds, [&] {
    run.dialog->ShowQuestion(first, velmor::QuestionPlace{0, 0});
    run.dialog->questionView()->Update();
  });
}

}  // namespace

int main(int argc, char** argv) {
  int questions = argc > 1 ? std::atoi(argv[1]) : 10000;
  int smalls = argc > 2 ? std::atoi(argv[2]) : 200;
  int rounds = argc > 3 ? std::atoi(argv[3]) : 3;
  if (questions < 10 || smalls < 10 || rounds < 1) return 2;
  if (FAILED(::OleInitialize(nullptr))) return 3;
  INITCOMMONCONTROLSEX controls{sizeof controls, 0xFF};
  ::InitCommonControlsEx(&controls);
  if (!velmor::CRichEditCtrlEx::LoadLibrary()) return 4;

  if (argc > 4) {  // ShowQuestion alone, for one count
    double time = ShowQuestion(smalls, rounds);
    std::printf("ShowQuestion: %d small questions %.3f s (%.2f ms a row)\n", smalls, time,
                time / (smalls * 4) * 1000);
    return 0;
  }
  double bigFirst = FirstPaint(questions, rounds), smallFirst = FirstPaint(10, rounds);
  std::printf("navigator first paint: %d big questions %.4f s, 10: %.4f s, ratio %.2f (goal at most 3)\n",
              questions, bigFirst, smallFirst, bigFirst / smallFirst);
  double bigWheel = WheelRedraw(questions, rounds), smallWheel = WheelRedraw(10, rounds);
  std::printf("navigator wheel step: %d big questions %.4f s, 10: %.4f s, ratio %.2f (goal at most 3)\n",
              questions, bigWheel, smallWheel, bigWheel / smallWheel);
  double bigShow = ShowQuestion(smalls, rounds), smallShow = ShowQuestion(10, rounds);
  std::printf("ShowQuestion: %d small questions %.3f s (%.2f ms a row), 10: %.3f s (%.2f ms a row)\n",
              smalls, bigShow, bigShow / (smalls * 4) * 1000, smallShow, smallShow / 40 * 1000);
  std::printf("  per row against 10 small questions: %.2f (goal at most 1.5)\n",
              (bigShow / (smalls * 4)) / (smallShow / 40));
  ::OleUninitialize();
  return 0;
}
