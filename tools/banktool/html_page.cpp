#include "tools/banktool/html_page.h"

#include <algorithm>
#include <charconv>
#include <string>

#include "common/base/gbk.h"
#include "tarvik/maintenance/html_log.h"
#include "common/base/text_encoding.h"

namespace velmor {

namespace {

constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// The two digits of every 12 bits: a group is two looks into it.
struct DigitPairs {
  char pairs[2 * 4096];
  DigitPairs() {
    for (int bits = 0; bits < 4096; ++bits) {
      pairs[2 * bits] = kDigits[bits >> 6];
      pairs[2 * bits + 1] = kDigits[bits & 63];
    }
  }
};

const DigitPairs kPairs;

bool IsPlain(unsigned char byte) {
  return byte < 0x80 && byte != '&' && byte != '<' && byte != '>' && byte != '"';
}

}  // namespace

void Page::Grow(std::size_t more) {
  const std::size_t used = size();
  const std::size_t capacity = std::max(2 * static_cast<std::size_t>(end_ - buffer_.get()), used + more);
  std::unique_ptr<char[]> bigger(new char[capacity]);
  if (used > 0) std::memcpy(bigger.get(), buffer_.get(), used);
  buffer_ = std::move(bigger);
  put_ = buffer_.get() + used;
  end_ = buffer_.get() + capacity;
}

Decimal::Decimal(int64_t value)
    : length_(static_cast<std::size_t>(std::to_chars(digits_, digits_ + sizeof digits_, value).ptr - digits_)) {}

void HtmlText::Append(std::string_view gbk, Page& out) {
  const char* at = gbk.data();
  const char* const end = at + gbk.size();
  while (at < end) {
    const char* plain = at;
    while (at < end && IsPlain(static_cast<unsigned char>(*at))) ++at;
    out += std::string_view(plain, static_cast<std::size_t>(at - plain));
    if (at == end) break;
    const unsigned char byte = static_cast<unsigned char>(*at);
    if (byte < 0x80) {
      out += EscapeHtml(std::string_view(at, 1));
      ++at;
    } else if (IsGbkLeadByte(byte) && end - at >= 2) {
      AppendPair(at, out);
      at += 2;
    } else {
      out += EscapeHtml(GbkToUtf8(std::string_view(at, 1)));
      ++at;
    }
  }
}

void HtmlText::AppendPair(const char* pair, Page& out) {
  if (pairs_.empty()) pairs_.resize(std::size_t{0xFE - 0x81 + 1} << 8);
  Converted& entry = pairs_[std::size_t{static_cast<unsigned char>(pair[0]) - 0x81u} << 8 |
                            static_cast<unsigned char>(pair[1])];
  if (entry.length == kUnknown) {
    const std::string escaped = EscapeHtml(GbkToUtf8(std::string_view(pair, 2)));
    if (escaped.size() > sizeof entry.bytes) {
      out += escaped;
      return;
    }
    std::memcpy(entry.bytes, escaped.data(), escaped.size());
    entry.length = static_cast<uint8_t>(escaped.size());
  }
  out.AppendFromSixteen(entry.bytes, entry.length);
}

Base64Writer::~Base64Writer() {
  if (held_ > 0) {
    const uint32_t group = uint32_t{hold_[0]} << 16 | (held_ > 1 ? uint32_t{hold_[1]} << 8 : 0);
    put_[0] = kDigits[group >> 18];
    put_[1] = kDigits[(group >> 12) & 63];
    put_[2] = held_ > 1 ? kDigits[(group >> 6) & 63] : '=';
    put_[3] = '=';
    put_ += 4;
  }
  out_.End(put_);
}

void Base64Writer::Write(const unsigned char* in, std::size_t size) {
  while (size > 0) {
    if (held_ == 0 && size >= 3) {
      // Locals, so that the digits written are not taken to change the writer or the bytes.
      char* put = put_;
      const char* const pairs = kPairs.pairs;
      for (; size >= 3; size -= 3, in += 3, put += 4) {
        const uint32_t group = uint32_t{in[0]} << 16 | uint32_t{in[1]} << 8 | in[2];
        std::memcpy(put, pairs + 2 * (group >> 12), 2);
        std::memcpy(put + 2, pairs + 2 * (group & 0xFFF), 2);
      }
      put_ = put;
      continue;
    }
    // A byte held back completes its group on the next call.
    hold_[held_++] = *in++;
    --size;
    if (held_ == 3) {
      Group(hold_);
      held_ = 0;
    }
  }
}

void Base64Writer::WriteZeros(std::size_t size) {
  static const unsigned char kZero = 0;
  for (; size > 0; --size) Write(&kZero, 1);
}

void Base64Writer::Group(const unsigned char* in) {
  const uint32_t group = uint32_t{in[0]} << 16 | uint32_t{in[1]} << 8 | in[2];
  std::memcpy(put_, kPairs.pairs + 2 * (group >> 12), 2);
  std::memcpy(put_ + 2, kPairs.pairs + 2 * (group & 0xFFF), 2);
  put_ += 4;
}

}  // namespace velmor
