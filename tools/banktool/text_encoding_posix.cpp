#include <iconv.h>

#include <cerrno>

#include "tools/banktool/text_encoding.h"

namespace velmor {

std::string GbkToUtf8(std::string_view gbk) {
  static const char kReplacement[] = "\xEF\xBF\xBD";
  std::string result;
  iconv_t converter = iconv_open("UTF-8", "CP936");
  if (converter == reinterpret_cast<iconv_t>(-1)) return std::string(gbk);
  char* in = const_cast<char*>(gbk.data());
  std::size_t inLeft = gbk.size();
  char chunk[256];
  while (inLeft > 0) {
    char* out = chunk;
    std::size_t outLeft = sizeof chunk;
    std::size_t converted = iconv(converter, &in, &inLeft, &out, &outLeft);
    result.append(chunk, static_cast<std::size_t>(out - chunk));
    if (converted == static_cast<std::size_t>(-1) && errno != E2BIG) {
      // An invalid or incomplete sequence: replace its first byte and go on after it.
      result += kReplacement;
      ++in;
      --inLeft;
      iconv(converter, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(converter);
  return result;
}

namespace {

bool ConvertWhole(const char* to, const char* from, std::string_view text, std::string* out) {
  out->clear();
  iconv_t converter = iconv_open(to, from);
  if (converter == reinterpret_cast<iconv_t>(-1)) return false;
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  bool whole = true;
  char chunk[256];
  while (inLeft > 0) {
    char* put = chunk;
    std::size_t outLeft = sizeof chunk;
    std::size_t converted = iconv(converter, &in, &inLeft, &put, &outLeft);
    out->append(chunk, static_cast<std::size_t>(put - chunk));
    if (converted == static_cast<std::size_t>(-1) && errno != E2BIG) {
      whole = false;
      break;
    }
  }
  iconv_close(converter);
  return whole;
}

}  // namespace

bool GbkToUtf8Strict(std::string_view gbk, std::string* utf8) {
  return ConvertWhole("UTF-8", "CP936", gbk, utf8);
}

bool Utf8ToGbk(std::string_view utf8, std::string* gbk) {
  return ConvertWhole("CP936", "UTF-8", utf8, gbk);
}

}  // namespace velmor
