// A converter between two character sets through iconv, for the POSIX builds; the Windows
// builds convert through the code-page functions instead.
#pragma once

#ifndef _WIN32
#include <iconv.h>

#include <cerrno>
#include <cstddef>
#include <string>
#include <string_view>

namespace velmor {

class IconvConverter {
 public:
  IconvConverter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
  ~IconvConverter() {
    if (ok()) iconv_close(handle_);
  }
  IconvConverter(const IconvConverter&) = delete;
  IconvConverter& operator=(const IconvConverter&) = delete;

  bool ok() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return handle_; }

  // Appends all of `in` converted to `out`; false at the first byte that does not convert,
  // with what came before it appended.
  bool Convert(std::string_view in, std::string& out) const {
    if (!ok()) return false;
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    char* from = const_cast<char*>(in.data());
    std::size_t left = in.size();
    char chunk[256];
    while (left > 0) {
      char* to = chunk;
      std::size_t room = sizeof chunk;
      const std::size_t done = iconv(handle_, &from, &left, &to, &room);
      out.append(chunk, static_cast<std::size_t>(to - chunk));
      if (done == static_cast<std::size_t>(-1) && errno != E2BIG) return false;
    }
    return true;
  }

 private:
  iconv_t handle_;
};

}  // namespace velmor
#endif
