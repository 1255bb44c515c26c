#include <windows.h>

#include <vector>

#include "tools/banktool/text_encoding.h"

namespace velmor {

std::string GbkToUtf8(std::string_view gbk) {
  if (gbk.empty()) return std::string();
  int length = static_cast<int>(gbk.size());
  int wideLength = ::MultiByteToWideChar(936, 0, gbk.data(), length, nullptr, 0);
  if (wideLength <= 0) return std::string();
  std::vector<wchar_t> wide(static_cast<std::size_t>(wideLength));
  ::MultiByteToWideChar(936, 0, gbk.data(), length, wide.data(), wideLength);
  int utf8Length = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0,
                                         nullptr, nullptr);
  if (utf8Length <= 0) return std::string();
  std::string result(static_cast<std::size_t>(utf8Length), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, &result[0], utf8Length, nullptr,
                        nullptr);
  return result;
}

}  // namespace velmor
