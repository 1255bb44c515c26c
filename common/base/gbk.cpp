#include "common/base/gbk.h"

#include <cstring>

namespace velmor {

std::size_t GbkCutLength(std::string_view text, std::size_t limit) {
  if (text.size() <= limit) return text.size();
  std::size_t pos = 0;
  while (pos < limit) {
    std::size_t width = IsGbkLeadByte(static_cast<unsigned char>(text[pos])) ? 2 : 1;
    if (pos + width > limit) break;
    pos += width;
  }
  return pos;
}

std::size_t GbkCopyToField(char* field, std::size_t fieldSize, std::string_view text) {
  if (fieldSize == 0) return 0;
  std::size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  std::size_t length = GbkCutLength(text, fieldSize - 1);
  if (length > 0) std::memcpy(field, text.data(), length);
  std::memset(field + length, 0, fieldSize - length);
  return length;
}

std::size_t GbkFindLastSeparator(std::string_view path) {
  std::size_t found = std::string_view::npos;
  std::size_t pos = 0;
  while (pos < path.size()) {
    unsigned char byte = static_cast<unsigned char>(path[pos]);
    if (byte == '\\' || byte == '/') found = pos;
    pos += IsGbkLeadByte(byte) ? 2 : 1;
  }
  return found;
}

std::size_t GbkWholeLength(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t width = IsGbkLeadByte(static_cast<unsigned char>(text[pos])) ? 2 : 1;
    if (pos + width > text.size()) break;
    pos += width;
  }
  return pos;
}

std::string FileNameOf(const std::string& path) {
  std::size_t separator = GbkFindLastSeparator(path);
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

}  // namespace velmor
