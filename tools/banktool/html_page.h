// The pieces an HTML page is made of, fast: a buffer with inline appends, numbers without
// strings, GBK text as escaped UTF-8, and Base64 written as the bytes come. A paper of a big
// bank is made of millions of short pieces.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string_view>
#include <vector>

namespace velmor {

// The page as it is made. Its appends are inline, where a string's own append is a call.
class Page {
 public:
  Page() { Grow(1u << 16); }

  void operator+=(std::string_view piece) {
    if (piece.size() > Room()) Grow(piece.size());
    std::memcpy(put_, piece.data(), piece.size());
    put_ += piece.size();
  }
  void operator+=(char byte) {
    if (Room() == 0) Grow(1);
    *put_++ = byte;
  }
  // The first `size` bytes of a block of 16: copied whole, which is one move, not a call.
  void AppendFromSixteen(const char (&block)[16], std::size_t size) {
    if (Room() < 16) Grow(16);
    std::memcpy(put_, block, 16);
    put_ += size;
  }
  // Room for `size` bytes more, to be written at the pointer returned; End() tells where
  // the writing ended.
  char* Extend(std::size_t size) {
    if (size > Room()) Grow(size);
    return put_;
  }
  void End(char* end) { put_ = end; }

  std::string_view view() const { return {buffer_.get(), size()}; }
  std::size_t size() const { return static_cast<std::size_t>(put_ - buffer_.get()); }
  void clear() { put_ = buffer_.get(); }

 private:
  std::size_t Room() const { return static_cast<std::size_t>(end_ - put_); }
  void Grow(std::size_t more);

  std::unique_ptr<char[]> buffer_;
  char* put_ = nullptr;
  char* end_ = nullptr;
};

// Pieces appended in turn, with no string made for each.
inline void Put(Page& out, std::initializer_list<std::string_view> pieces) {
  for (std::string_view piece : pieces) out += piece;
}

// A number in a buffer of its own, for Put.
class Decimal {
 public:
  explicit Decimal(int64_t value);
  operator std::string_view() const { return {digits_, length_}; }

 private:
  char digits_[24];
  std::size_t length_;
};

// GBK text as escaped UTF-8, character by character. A paper repeats the same few thousand
// characters many times over, so each double-byte character is converted once and kept.
// Each character stands alone: one that does not convert becomes its own replacement and
// never takes in the bytes of the character after it.
class HtmlText {
 public:
  void Append(std::string_view gbk, Page& out);

 private:
  void AppendPair(const char* pair, Page& out);

  static constexpr uint8_t kUnknown = 0xFF;
  struct Converted {
    char bytes[16] = {};
    uint8_t length = kUnknown;
  };
  std::vector<Converted> pairs_;  // by lead byte, then trail byte
};

// Base64 digits appended to a page as bytes come, three at a time into four digits.
class Base64Writer {
 public:
  // `bytes` is how many will come in all.
  Base64Writer(Page& out, std::size_t bytes) : out_(out), put_(out.Extend((bytes + 2) / 3 * 4)) {}
  ~Base64Writer();
  Base64Writer(const Base64Writer&) = delete;
  Base64Writer& operator=(const Base64Writer&) = delete;

  void Write(const unsigned char* in, std::size_t size);
  void WriteZeros(std::size_t size);

 private:
  void Group(const unsigned char* in);

  Page& out_;
  char* put_;
  unsigned char hold_[3] = {};
  std::size_t held_ = 0;
};

}  // namespace velmor
