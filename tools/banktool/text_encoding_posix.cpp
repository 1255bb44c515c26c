#include <iconv.h>

#include <algorithm>
#include <cerrno>

#include "tools/banktool/text_encoding.h"

namespace velmor {

namespace {

// One converter per direction for the whole run: opening one costs more than a path.
class Converter {
 public:
  Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(handle_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return handle_; }

 private:
  iconv_t handle_;
};

}  // namespace

std::string GbkToUtf8(std::string_view gbk) {
  // ASCII is the same in both; most texts of a paper are short and many are ASCII.
  if (std::all_of(gbk.begin(), gbk.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    return std::string(gbk);
  }
  static const char kReplacement[] = "\xEF\xBF\xBD";
  static thread_local const Converter converter("UTF-8", "CP936");
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

bool ConvertWhole(const Converter& converter, std::string_view text, std::string* out) {
  out->clear();
  if (!converter.ok()) return false;
  iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  char chunk[256];
  while (inLeft > 0) {
    char* put = chunk;
    std::size_t outLeft = sizeof chunk;
    std::size_t converted = iconv(converter.get(), &in, &inLeft, &put, &outLeft);
    out->append(chunk, static_cast<std::size_t>(put - chunk));
    if (converted == static_cast<std::size_t>(-1) && errno != E2BIG) return false;
  }
  return true;
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
  static thread_local const Converter converter("UTF-8", "CP936");
  return ConvertWhole(converter, gbk, utf8);
}

bool Utf8ToGbk(std::string_view utf8, std::string* gbk) {
  static thread_local const Converter converter("CP936", "UTF-8");
  return ConvertWhole(converter, utf8, gbk);
}

}  // namespace velmor
