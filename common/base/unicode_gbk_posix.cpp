#include <iconv.h>

#include "common/base/iconv_converter.h"
#include "common/base/unicode_gbk.h"

namespace velmor::detail {

void FillGbkTable(uint16_t (&table)[0x10000]) {
  IconvConverter converter("CP936", "UTF-32LE");
  for (char32_t point = 1; point < 0x10000; ++point) {
    if (point >= 0xD800 && point <= 0xDFFF) continue;
    if (point < 0x80) {
      table[point] = static_cast<uint16_t>(point);
      continue;
    }
    const char in[4] = {static_cast<char>(point & 0xFF), static_cast<char>(point >> 8 & 0xFF), 0, 0};
    std::string out;
    if (!converter.Convert(std::string_view(in, 4), out) || out.empty() || out.size() > 2) continue;
    const auto first = static_cast<unsigned char>(out[0]);
    table[point] = out.size() == 1 ? first
                                   : static_cast<uint16_t>(first << 8 | static_cast<unsigned char>(out[1]));
  }
}

char16_t CodePointOfGbk(unsigned char first, int second) {
  static const IconvConverter converter("UTF-32LE", "CP936");
  const char in[2] = {static_cast<char>(first), static_cast<char>(second)};
  std::string out;
  if (!converter.Convert(std::string_view(in, second < 0 ? 1 : 2), out) || out.size() != 4) return 0;
  const uint32_t point = static_cast<unsigned char>(out[0]) | static_cast<unsigned char>(out[1]) << 8 |
                         static_cast<uint32_t>(static_cast<unsigned char>(out[2])) << 16;
  return point < 0x10000 && point != 0xFFFD ? static_cast<char16_t>(point) : 0;
}

}  // namespace velmor::detail
