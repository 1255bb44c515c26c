#include "framework/list_view.h"

namespace fw {

void CListView::Refill(const ListRows& rows, CRITICAL_SECTION* lock) const {
  RedrawSuspended quiet(hwnd_);
  DeleteAllItems();
  // The editors hold a lock while a list is refilled, as they always have; they run one
  // thread, so it never waits, and no second thread may read a list while it is refilled.
  if (lock) ::EnterCriticalSection(lock);
  Send(LVM_SETITEMCOUNT, rows.size());  // room for every row at once
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const std::vector<std::string>& row = rows[i];
    int item = InsertItem(static_cast<int>(i), row.empty() ? std::string() : row[0]);
    for (std::size_t column = 1; column < row.size(); ++column) {
      if (!row[column].empty()) SetItemText(item, static_cast<int>(column), row[column]);
    }
  }
  if (lock) ::LeaveCriticalSection(lock);
}

int CListView::InsertColumn(int column, const std::string& heading, int width, int format) const {
  LVCOLUMNA info{};
  info.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
  info.fmt = format;
  info.cx = width;
  info.pszText = const_cast<char*>(heading.c_str());
  info.iSubItem = column;
  return static_cast<int>(Send(LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&info)));
}

void CListView::SetColumns(std::initializer_list<ListColumn> columns) const {
  SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP | LVS_EX_GRIDLINES);
  int index = 0;
  for (const ListColumn& column : columns) InsertColumn(index++, column.heading, column.width);
}

int CListView::ColumnCount() const {
  HWND header = reinterpret_cast<HWND>(Send(LVM_GETHEADER));
  return header ? static_cast<int>(::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

int CListView::InsertItem(int index, const std::string& text) const {
  LVITEMA item{};
  item.mask = LVIF_TEXT;
  item.iItem = index;
  item.pszText = const_cast<char*>(text.c_str());
  return static_cast<int>(Send(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

bool CListView::SetItemText(int row, int column, const std::string& text) const {
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = const_cast<char*>(text.c_str());
  return Send(LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item)) != 0;
}

std::string CListView::GetItemText(int row, int column) const {
  std::vector<char> buffer(1024);
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = buffer.data();
  item.cchTextMax = static_cast<int>(buffer.size());
  int length = static_cast<int>(Send(LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item)));
  return std::string(buffer.data(), length > 0 ? static_cast<std::size_t>(length) : 0);
}

void CListView::Select(int row, bool select) const {
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = select ? (LVIS_SELECTED | LVIS_FOCUSED) : 0;
  Send(LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

}  // namespace fw
