#include <windows.h>

#include "common/base/unicode_gbk.h"

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
