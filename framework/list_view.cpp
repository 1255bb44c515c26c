#include "framework/list_view.h"

#include <vector>

namespace fw {

int CListView::InsertColumn(int column, const std::string& heading, int width, int format) const {
  LVCOLUMNA info{};
  info.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
  info.fmt = format;
  info.cx = width;
  info.pszText = const_cast<char*>(heading.c_str());
  info.iSubItem = column;
  return static_cast<int>(Send(LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&info)));
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
