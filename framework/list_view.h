// CListView: the report-style list view, in the few calls the editors need.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "framework/window.h"

namespace fw {

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

  // The first selected row, or -1.
  int FirstSelected() const { return static_cast<int>(Send(LVM_GETNEXTITEM, -1, LVNI_SELECTED)); }
  void Select(int item, bool select = true) const;
  bool IsSelected(int item) const {
    return (Send(LVM_GETITEMSTATE, item, LVIS_SELECTED) & LVIS_SELECTED) != 0;
  }
};

}  // namespace fw
