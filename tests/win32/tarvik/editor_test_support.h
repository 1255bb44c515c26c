// Drives the real editor window the way a user's actions do: button commands, list clicks
// (select the row, then the click notification), typing into boxes, menu commands.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "tarvik/editor/tarvik_dlg.h"
#include "tarvik/resources/resource.h"
#include "tests/support/test_files.h"
#include "tests/win32/ui/recording_platform.h"

namespace velmor::test {

class EditorTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dialog.Create(nullptr)); }

  void Command(int id) {
    dialog.Send(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                reinterpret_cast<LPARAM>(dialog.GetItem(id)));
  }
  void Menu(int id) { dialog.Send(WM_COMMAND, MAKEWPARAM(id, 0), 0); }
  void Type(int id, const std::string& text) { dialog.SetItemText(id, text); }
  std::string Box(int id) { return dialog.GetItemText(id); }
  void Check(int id, bool checked) {
    dialog.Item(id).Send(BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED);
  }

  // A mouse click on a row of a list (-1: on its empty area, which leaves no row selected).
  void ClickRow(int listId, int row) {
    fw::CListView list(dialog.GetItem(listId));
    for (int i = 0; i < list.ItemCount(); ++i) list.Select(i, false);
    if (row >= 0) list.Select(row);
    NMITEMACTIVATE click{};
    click.hdr.hwndFrom = list.hwnd();
    click.hdr.idFrom = static_cast<UINT_PTR>(listId);
    click.hdr.code = NM_CLICK;
    click.iItem = row;
    dialog.Send(WM_NOTIFY, listId, reinterpret_cast<LPARAM>(&click));
  }
  // A selection moved by the keyboard: no click notification.
  void SelectOnly(int listId, int row) {
    fw::CListView list(dialog.GetItem(listId));
    for (int i = 0; i < list.ItemCount(); ++i) list.Select(i, false);
    list.Select(row);
  }

  std::vector<std::vector<std::string>> Rows(int listId) {
    fw::CListView list(dialog.GetItem(listId));
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < list.ItemCount(); ++i) {
      std::vector<std::string> row;
      for (int c = 0; c < list.ColumnCount(); ++c) row.push_back(list.GetItemText(i, c));
      rows.push_back(row);
    }
    return rows;
  }
  std::vector<std::string> Column(int listId, int column) {
    std::vector<std::string> cells;
    for (const auto& row : Rows(listId)) cells.push_back(row.at(column));
    return cells;
  }

  // Builds a little tree through the window: categories, then big questions in the first.
  void AddCategory(const std::string& name) {
    Type(IDC_CATEGORY_NAME, name);
    Command(IDC_CATEGORY_ADD);
  }
  void AddBigQuestion(int category, const std::string& stem) {
    ClickRow(IDC_CATEGORY_LIST, category);
    dialog.stemEditor().StreamInText(stem);
    Command(IDC_BIG_ADD);
  }
  void AddSmallQuestion(const std::string& text, bool single, int score) {
    Type(IDC_SMALL_TEXT, text);
    Check(IDC_SINGLE_CHOICE, single);
    Type(IDC_SMALL_SCORE, std::to_string(score));
    Command(IDC_SMALL_ADD);
  }
  void AddOption(const std::string& text, int score, bool answer) {
    Type(IDC_OPTION_TEXT, text);
    Type(IDC_OPTION_SCORE, std::to_string(score));
    Check(IDC_OPTION_IS_ANSWER, answer);
    Command(IDC_OPTION_ADD);
  }

  RecordingPlatform platform;
  QuestionBank bank;
  CTarvikDlg dialog{bank};
};

}  // namespace velmor::test
