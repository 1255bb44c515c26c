// A fixed-size text field as the file formats store it: NUL-terminated GBK text in an array
// of N bytes. The field always holds a NUL within its N bytes, so text() never runs past it.
#pragma once

#include <array>
#include <cstddef>
#include <cstring>
#include <string_view>

#include "common/base/gbk.h"

namespace velmor {

template <std::size_t N>
class FixedText {
 public:
  static constexpr std::size_t kSize = N;
  static constexpr std::size_t kMaxLength = N - 1;

  FixedText() { bytes_.fill(0); }
  FixedText(std::string_view text) { Assign(text); }  // NOLINT: texts convert freely

  // Stores `text` up to its first NUL, cut to N - 1 bytes on a character boundary, and
  // zero-fills the rest of the field.
  void Assign(std::string_view text) { GbkCopyToField(bytes_.data(), N, text); }

  // Takes N raw bytes as a file holds them, bytes after the terminator included. A field
  // without a terminator is cut like an over-long text.
  void AssignRaw(const void* raw) {
    std::memcpy(bytes_.data(), raw, N);
    if (std::memchr(bytes_.data(), 0, N) == nullptr) {
      std::size_t length = GbkCutLength(std::string_view(bytes_.data(), N), N - 1);
      bytes_[length] = 0;
    }
  }

  std::string_view text() const { return std::string_view(bytes_.data()); }
  const char* c_str() const { return bytes_.data(); }
  const std::array<char, N>& bytes() const { return bytes_; }
  bool empty() const { return bytes_[0] == 0; }

  friend bool operator==(const FixedText& a, const FixedText& b) { return a.bytes_ == b.bytes_; }
  friend bool operator!=(const FixedText& a, const FixedText& b) { return !(a == b); }

 private:
  std::array<char, N> bytes_;
};

}  // namespace velmor
