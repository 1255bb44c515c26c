// The rows a report list shows: what the editors' row functions make from a document and
// CListView::Refill puts on the screen. Portable, so that the rows are tested natively.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace fw {

// Rows of a report list: each row its cells, first column first.
using ListRows = std::vector<std::vector<std::string>>;

// The number a list shows for the row at `position`: the first row is "1".
inline std::string RowNumber(std::size_t position) { return std::to_string(position + 1); }

}  // namespace fw
