// How the editor's lists and stem editor fill for a big bank, under Wine, in the real window.
//
//   list_bench.exe [rows] [rounds] [lists|stem]
//
// Big-question list: a click on a category holding `rows` big questions, against the same
// click for 100 big questions (per row), and against a bare report list view of the same
// size and row count filled with drawing suspended in this process. Category list: a rename
// in a bank of `rows` categories (the whole list is refilled), compared the same way. Stem
// editor: a click on a big question whose stem holds 20, 200 or 2,000 format runs, and the
// same stem loaded into a bare stem control and saved again, as 修改 saves it. Every
// time includes the paint that shows the result. Best of `rounds`.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "common/navbutton/navigate_button.h"
#include "common/richtext/rich_content.h"
#include "common/richtext/rich_edit_ctrl_ex.h"
#include "bench/wine_timing.h"
#include "framework/app.h"
#include "tarvik/editor/tarvik_dlg.h"
#include "tarvik/resources/resource.h"

namespace {

using velmor::CTarvikDlg;
using velmor::QuestionBank;

using velmor::bench::Now;
using velmor::bench::Pump;

// The best time of `rounds` runs of `work`, each followed by the paint it leaves pending.
double Best(int rounds, HWND shown, const std::function<void()>& work) {
  double best = 1e30;
  for (int round = 0; round < rounds; ++round) {
    Pump();
    double start = Now();
    work();
    ::UpdateWindow(shown);
    Pump();
    best = std::min(best, Now() - start);
  }
  return best;
}

velmor::ContentBlock PlainStem(const std::string& text) {
  return velmor::BuildRichContent(static_cast<int32_t>(text.size()), text, {}, {});
}

// A stem of `runs` words, each word its own bold or plain run.
velmor::ContentBlock FormattedStem(int runs) {
  std::string text;
  std::vector<velmor::FormatRun> formats;
  for (int i = 0; i < runs; ++i) {
    velmor::FormatRun run;
    run.first = static_cast<int32_t>(text.size());
    text += "word";
    run.end = static_cast<int32_t>(text.size());
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_BOLD | CFM_SIZE;
    format.dwEffects = (i % 2) ? CFE_BOLD : 0;
    format.yHeight = 200 + 20 * (i % 5);
    std::memcpy(run.format.data(), &format, sizeof format);
    formats.push_back(run);
  }
  return velmor::BuildRichContent(static_cast<int32_t>(text.size()), text, formats, {});
}

struct Editor {
  QuestionBank bank;
  CTarvikDlg dialog{bank};
  Editor() {
    dialog.Create(nullptr);
    dialog.Show();
    dialog.Update();
    Pump();
  }
  void ClickRow(int listId, int row) {
    fw::CListView list(dialog.GetItem(listId));
    for (int i = list.FirstSelected(); i >= 0; i = list.FirstSelected()) list.Select(i, false);
    list.Select(row);
    NMITEMACTIVATE click{};
    click.hdr.hwndFrom = list.hwnd();
    click.hdr.idFrom = static_cast<UINT_PTR>(listId);
    click.hdr.code = NM_CLICK;
    click.iItem = row;
    dialog.Send(WM_NOTIFY, listId, reinterpret_cast<LPARAM>(&click));
  }
  void AddCategory(const std::string& name) {
    dialog.SetItemText(IDC_CATEGORY_NAME, name);
    Command(IDC_CATEGORY_ADD);
  }
  void Command(int id) {
    dialog.Send(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(dialog.GetItem(id)));
  }
};

// A click on the one category of a bank whose category holds `rows` big questions.
double BigQuestionClick(int rows, int rounds) {
  Editor editor;
  editor.AddCategory("第一章");
  for (int i = 0; i < rows; ++i) editor.bank.AddBigQuestion(0, 1, PlainStem("题干"), 0, 0);
  HWND list = editor.dialog.GetItem(IDC_BIG_LIST);
  double time = Best(rounds, list, [&] { editor.ClickRow(IDC_CATEGORY_LIST, 0); });
  if (fw::CListView(list).ItemCount() != rows) std::printf("big-question list: wrong row count\n");
  return time;
}

// A rename in a bank of `rows` categories: the whole category list is refilled.
double CategoryRename(int rows, int rounds) {
  Editor editor;
  for (int i = 1; i < rows; ++i) editor.bank.AddCategory("分类" + std::to_string(i));
  editor.AddCategory("分类" + std::to_string(rows));  // fills the list once
  HWND list = editor.dialog.GetItem(IDC_CATEGORY_LIST);
  double time = Best(rounds, list, [&] {
    fw::CListView(list).Select(0);
    editor.Command(IDC_CATEGORY_RENAME);
  });
  if (fw::CListView(list).ItemCount() != rows) std::printf("category list: wrong row count\n");
  return time;
}

// A bare report list view, the size and columns of `listId` in the editor, filled with
// `rows` rows of `columns` cells with drawing suspended, then painted.
double BareList(int listId, int rows, int rounds) {
  Editor editor;  // same process, same window, the same place on the screen
  fw::CListView model(editor.dialog.GetItem(listId));
  RECT place = model.WindowRect();
  ::MapWindowPoints(nullptr, editor.dialog.hwnd(), reinterpret_cast<POINT*>(&place), 2);
  int columns = model.ColumnCount();
  model.Show(SW_HIDE);
  HWND bare = ::CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                                WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS,
                                place.left, place.top, place.right - place.left,
                                place.bottom - place.top, editor.dialog.hwnd(), nullptr,
                                fw::ModuleInstance(), nullptr);
  fw::CListView list(bare);
  list.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  for (int c = 0; c < columns; ++c) list.InsertColumn(c, "列", 60);
  double time = Best(rounds, bare, [&] {
    list.Send(WM_SETREDRAW, FALSE);
    list.DeleteAllItems();
    for (int i = 0; i < rows; ++i) {
      int item = list.InsertItem(i, "第" + std::to_string(i + 1) + "题");
      for (int c = 1; c < columns; ++c) list.SetItemText(item, c, std::to_string(i + 1));
    }
    list.Send(WM_SETREDRAW, TRUE);
    list.Invalidate();
  });
  ::DestroyWindow(bare);
  return time;
}

// A click on a big question whose stem holds `runs` format runs.
double StemClick(int runs, int rounds) {
  Editor editor;
  editor.AddCategory("第一章");
  editor.bank.AddBigQuestion(0, 1, FormattedStem(runs), 0, 0);
  editor.ClickRow(IDC_CATEGORY_LIST, 0);
  return Best(rounds, editor.dialog.GetItem(IDC_STEM),
              [&] { editor.ClickRow(IDC_BIG_LIST, 0); });
}

// Saving the same stem, as 修改 does: the control's formats read back into a blob.
double StemSave(int runs, int rounds) {
  Editor editor;
  velmor::CRichEditCtrlEx stem;
  RECT rect{0, 0, 400, 300};
  stem.Create(ES_MULTILINE | WS_VISIBLE, rect, editor.dialog.hwnd(), 9999);
  velmor::ContentBlock blob = FormattedStem(runs);
  return Best(rounds, stem.hwnd(), [&] {
    stem.LoadContent(blob);
    stem.SaveContent();
  });
}

void Report(const char* what, int rows, double big, double small, double bare) {
  std::printf("%s: %d rows %.3f s, 100 rows %.4f s, bare list %.3f s\n", what, rows, big, small,
              bare);
  std::printf("  per row against 100 rows: %.2f (goal at most 1.5)\n", (big / rows) / (small / 100));
  std::printf("  against the bare list:    %.2f (goal at most 1.5)\n", big / bare);
}

}  // namespace

int main(int argc, char** argv) {
  int rows = argc > 1 ? std::atoi(argv[1]) : 10000;
  int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
  if (rows < 100 || rounds < 1) return 2;
  if (FAILED(::OleInitialize(nullptr))) return 3;
  INITCOMMONCONTROLSEX controls{sizeof controls, 0xFF};
  ::InitCommonControlsEx(&controls);
  if (!velmor::CRichEditCtrlEx::LoadLibrary()) return 4;
  fw::SetApplicationTitle("Velmor题库编辑器");
  velmor::LoadButtonBitmaps(fw::ModuleInstance());

  std::string only = argc > 3 ? argv[3] : "";
  if (only != "stem") {
  Report("big-question list", rows, BigQuestionClick(rows, rounds), BigQuestionClick(100, rounds),
         BareList(IDC_BIG_LIST, rows, rounds));
  Report("category list", rows, CategoryRename(rows, rounds), CategoryRename(100, rounds),
         BareList(IDC_CATEGORY_LIST, rows, rounds));
  }

  for (int runs : {20, 200, 2000}) {
    if (only == "lists") break;
    double time = StemClick(runs, rounds);
    std::printf("stem editor: %d format runs %.3f s (%.3f ms a run)\n", runs, time,
                time / runs * 1000);
    double saved = StemSave(runs, rounds);
    std::printf("  loaded and saved again: %.3f s (%.3f ms a run)\n", saved, saved / runs * 1000);
  }

  velmor::ButtonBitmapLibrary::Free();
  ::OleUninitialize();
  return 0;
}
