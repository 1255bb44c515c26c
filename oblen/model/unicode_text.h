// Telling the Unicode texts of today's editors from the GBK of the bank: a byte-order mark,
// or valid UTF-8 that holds at least one multi-byte sequence.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "common/base/unicode_gbk.h"

namespace velmor {

struct DetectedText {
  UnicodeText encoding;
  std::size_t markSize;  // the byte-order mark before the text (0 when there is none)
};

// The encoding of a file's bytes when they are UTF-16 with a byte-order mark (FF FE or
// FE FF), UTF-8 with one (EF BB BF), or valid UTF-8 with at least one multi-byte sequence;
// nothing otherwise (plain ASCII, GBK, anything else).
std::optional<DetectedText> DetectUnicodeText(const unsigned char* bytes, std::size_t size);

// Whether the bytes are well-formed UTF-8 (no overlong forms, no surrogates, nothing above
// U+10FFFF); `multiByte` tells whether any sequence is longer than one byte.
bool IsValidUtf8(const unsigned char* bytes, std::size_t size, bool* multiByte);

}  // namespace velmor
