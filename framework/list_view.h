// CListView: the report-style list view, in the few calls the editors need.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <initializer_list>
#include <string>

#include "framework/list_rows.h"
#include "framework/window.h"

namespace fw {

// A column of a report list as the editors set it up: its heading and width in pixels.
struct ListColumn {
  const char* heading;
  int width;
};

class CListView : public CWindow {
 public:
  CListView() = default;
  explicit CListView(HWND hwnd) : CWindow(hwnd) {}

  void SetExtendedStyle(DWORD style) const { Send(LVM_SETEXTENDEDLISTVIEWSTYLE, style, style); }
  DWORD GetExtendedStyle() const {
    return static_cast<DWORD>(Send(LVM_GETEXTENDEDLISTVIEWSTYLE));
  }
  int InsertColumn(int column, const std::string& heading, int width, int format = LVCFMT_LEFT) const;
  // The one way our windows set up a list: the editors' look (whole rows selected, grid
  // lines, headings that can be dragged), then `columns` from the left, left-aligned.
  void SetColumns(std::initializer_list<ListColumn> columns) const;
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
