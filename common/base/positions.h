// Positions as the models take them: 0-based, int, refused when negative or past the end.
#pragma once

#include <cstddef>
#include <vector>

namespace velmor {

template <typename T>
bool InRange(const std::vector<T>& items, int position) {
  return position >= 0 && static_cast<std::size_t>(position) < items.size();
}

}  // namespace velmor
