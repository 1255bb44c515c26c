// CListView: the report-style list view, in the few calls the editors need.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "framework/window.h"

namespace fw {

// Rows of a report list: each row its cells, first column first.
using ListRows = std::vector<std::vector<std::string>>;

class CListView : public CWindow {
 public:
  CListView() = default;
  explicit CListView(HWND hwnd) : CWindow(hwnd) {}

  void SetExtendedStyle(DWORD style) const { Send(LVM_SETEXTENDEDLISTVIEWSTYLE, style, style); }
  DWORD GetExtendedStyle() const {
    return static_cast<DWORD>(Send(LVM_GETEXTENDEDLISTVIEWSTYLE));
  }
  int InsertColumn(int column, const std::string& heading, int width, int format = LVCFMT_LEFT) const;
  int ColumnCount() const;

  int ItemCount() const { return static_cast<int>(Send(LVM_GETITEMCOUNT)); }
  // Appends a row with `text` in the first column; returns its index.
  int AddItem(const std::string& text) const { return InsertItem(ItemCount(), text); }
  int InsertItem(int index, const std::string& text) const;
  bool SetItemText(int item, int column, const std::string& text) const;
  std::string GetItemText(int item, int column) const;
  bool DeleteAllItems() const { return Send(LVM_DELETEALLITEMS) != 0; }

  // The one way our windows fill a list: deletes every row, then adds `rows` in order, with
  // drawing suspended for the whole refill and one repaint at its end (a visible list drawn
  // row by row costs a paint per row). The rows are added inside `lock` when one is given.
  // No row is selected afterwards.
  void Refill(const ListRows& rows, CRITICAL_SECTION* lock = nullptr) const;

  // The first selected row, or -1.
  int FirstSelected() const { return static_cast<int>(Send(LVM_GETNEXTITEM, -1, LVNI_SELECTED)); }
  void Select(int item, bool select = true) const;
  bool IsSelected(int item) const {
    return (Send(LVM_GETITEMSTATE, item, LVIS_SELECTED) & LVIS_SELECTED) != 0;
  }
};

}  // namespace fw
