#include <iconv.h>

#include <algorithm>
#include <cerrno>

#include "common/base/iconv_converter.h"
#include "tools/banktool/text_encoding.h"

namespace velmor {

std::string GbkToUtf8(std::string_view gbk) {
  // ASCII is the same in both; most texts of a paper are short and many are ASCII.
  if (std::all_of(gbk.begin(), gbk.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    return std::string(gbk);
  }
  static const char kReplacement[] = "\xEF\xBF\xBD";
  // One converter per direction for the whole run: opening one costs more than a text.
  static thread_local const IconvConverter converter("UTF-8", "CP936");
  if (!converter.ok()) return std::string(gbk);
  iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
  std::string result;
  char* in = const_cast<char*>(gbk.data());
  std::size_t inLeft = gbk.size();
  char chunk[256];
  while (inLeft > 0) {
    char* out = chunk;
    std::size_t outLeft = sizeof chunk;
    std::size_t converted = iconv(converter.get(), &in, &inLeft, &out, &outLeft);
    result.append(chunk, static_cast<std::size_t>(out - chunk));
    if (converted == static_cast<std::size_t>(-1) && errno != E2BIG) {
      // An invalid or incomplete sequence: replace its first byte and go on after it.
      result += kReplacement;
      ++in;
      --inLeft;
      iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
    }
  }
  return result;
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
  static thread_local const IconvConverter converter("UTF-8", "CP936");
  return ConvertWhole(converter, gbk, utf8);
}

bool Utf8ToGbk(std::string_view utf8, std::string* gbk) {
  static thread_local const IconvConverter converter("CP936", "UTF-8");
  return ConvertWhole(converter, utf8, gbk);
}

}  // namespace velmor
