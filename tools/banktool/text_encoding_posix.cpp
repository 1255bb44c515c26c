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

}  // namespace velmor
