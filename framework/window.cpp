#include "framework/window.h"

#include <vector>

namespace fw {

std::string CWindow::GetText() const {
  int length = ::GetWindowTextLengthA(hwnd_);
  if (length <= 0) return std::string();
  // Some controls count characters rather than bytes; a double-byte character needs two.
  std::vector<char> buffer(static_cast<std::size_t>(length) * 2 + 1);
  int copied = ::GetWindowTextA(hwnd_, buffer.data(), static_cast<int>(buffer.size()));
  return std::string(buffer.data(), copied > 0 ? static_cast<std::size_t>(copied) : 0);
}

}  // namespace fw
