#include <windows.h>

#include <vector>

#include "common/base/text_encoding.h"

namespace velmor::detail {

void FillGbkTable(uint16_t (&table)[0x10000]) {
  for (unsigned point = 1; point < 0x10000; ++point) {
    if (point >= 0xD800 && point <= 0xDFFF) continue;
    if (point < 0x80) {
      table[point] = static_cast<uint16_t>(point);
      continue;
    }
    // One character at a time, with the flags a whole text was always converted with, so
    // that a best-fit character comes out as it always has.
    const wchar_t wide = static_cast<wchar_t>(point);
    char bytes[2];
    BOOL usedDefault = FALSE;
    const int length = ::WideCharToMultiByte(936, 0, &wide, 1, bytes, 2, "?", &usedDefault);
    if (length <= 0 || usedDefault) continue;
    const auto first = static_cast<unsigned char>(bytes[0]);
    table[point] = length == 1 ? first
                               : static_cast<uint16_t>(first << 8 | static_cast<unsigned char>(bytes[1]));
  }
}

char16_t CodePointOfGbk(unsigned char first, int second) {
  const char in[2] = {static_cast<char>(first), static_cast<char>(second)};
  wchar_t wide[2];
  const int length = ::MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, in, second < 0 ? 1 : 2, wide, 2);
  return length == 1 && wide[0] != 0xFFFD ? static_cast<char16_t>(wide[0]) : 0;
}

}  // namespace velmor::detail

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
