// Drives a real dialog the way a user's actions do: button commands, list clicks (select the
// row, then the click notification), keyboard selection, typing into boxes, menu commands.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "framework/list_view.h"
#include "framework/window.h"

namespace velmor::test {

class DialogDriver {
 public:
  // Keeps the reference only: the dialog may be made after the driver.
  explicit DialogDriver(fw::CWindow& dialog) : dialog_(dialog) {}

  void Command(int id) {
    dialog_.Send(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(dialog_.GetItem(id)));
  }
  void Menu(int id) { dialog_.Send(WM_COMMAND, MAKEWPARAM(id, 0), 0); }
  void Type(int id, const std::string& text) { dialog_.SetItemText(id, text); }
  std::string Box(int id) { return dialog_.GetItemText(id); }
  void Check(int id, bool checked) {
    dialog_.Item(id).Send(BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED);
  }

  // A mouse click on a row of a list (-1: on its empty area, which leaves no row selected).
  void ClickRow(int listId, int row) {
    SelectOnly(listId, row);
    NotifyClick(listId, row);
  }
  // A selection moved by the keyboard: no click notification (-1: none selected).
  void SelectOnly(int listId, int row) {
    fw::CListView list(dialog_.GetItem(listId));
    for (int i = 0; i < list.ItemCount(); ++i) list.Select(i, false);
    if (row >= 0) list.Select(row);
  }
  // The click notification alone, for a selection already made.
  void NotifyClick(int listId, int row) {
    NMITEMACTIVATE click{};
    click.hdr.hwndFrom = dialog_.GetItem(listId);
    click.hdr.idFrom = static_cast<UINT_PTR>(listId);
    click.hdr.code = NM_CLICK;
    click.iItem = row;
    dialog_.Send(WM_NOTIFY, listId, reinterpret_cast<LPARAM>(&click));
  }

  std::vector<std::vector<std::string>> Rows(int listId) {
    fw::CListView list(dialog_.GetItem(listId));
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

 private:
  fw::CWindow& dialog_;
};

}  // namespace velmor::test
