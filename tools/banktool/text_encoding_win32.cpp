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

std::string Utf8ToGbkLossy(std::string_view utf8) {
  if (utf8.empty()) return std::string();
  int length = static_cast<int>(utf8.size());
  int wideLength = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
  if (wideLength <= 0) return std::string();
  std::vector<wchar_t> wide(static_cast<std::size_t>(wideLength));
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, wide.data(), wideLength);
  // Beyond the first plane a character is a pair of units; GBK has none of them.
  std::vector<wchar_t> characters;
  for (std::size_t i = 0; i < wide.size(); ++i) {
    wchar_t unit = wide[i];
    if (unit >= 0xD800 && unit <= 0xDFFF) {
      if (unit <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) ++i;
      unit = L'?';
    }
    characters.push_back(unit);
  }
  int count = static_cast<int>(characters.size());
  int gbkLength = ::WideCharToMultiByte(936, 0, characters.data(), count, nullptr, 0, "?", nullptr);
  if (gbkLength <= 0) return std::string();
  std::string gbk(static_cast<std::size_t>(gbkLength), '\0');
  ::WideCharToMultiByte(936, 0, characters.data(), count, &gbk[0], gbkLength, "?", nullptr);
  return gbk;
}

}  // namespace velmor
