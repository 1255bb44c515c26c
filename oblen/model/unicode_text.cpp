#include "oblen/model/unicode_text.h"

#include <cstdint>
#include <cstring>

namespace velmor {

bool IsValidUtf8(const unsigned char* bytes, std::size_t size, bool* multiByte) {
  *multiByte = false;
  std::size_t i = 0;
  while (i < size) {
    // Runs of ASCII eight bytes at a time.
    while (i + 8 <= size) {
      uint64_t word;
      std::memcpy(&word, bytes + i, 8);
      if (word & 0x8080808080808080ull) break;
      i += 8;
    }
    if (i == size) break;
    const unsigned char lead = bytes[i];
    if (lead < 0x80) {
      ++i;
      continue;
    }
    std::size_t length;
    unsigned char low = 0x80, high = 0xBF;  // the allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      if (lead == 0xE0) low = 0xA0;   // no overlong forms
      if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
    } else {
      return false;
    }
    if (size - i < length) return false;
    if (bytes[i + 1] < low || bytes[i + 1] > high) return false;
    for (std::size_t k = 2; k < length; ++k) {
      if (bytes[i + k] < 0x80 || bytes[i + k] > 0xBF) return false;
    }
    *multiByte = true;
    i += length;
  }
  return true;
}

std::optional<DetectedText> DetectUnicodeText(const unsigned char* bytes, std::size_t size) {
  if (size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
    return DetectedText{UnicodeText::kUtf16LittleEndian, 2};
  }
  if (size >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) {
    return DetectedText{UnicodeText::kUtf16BigEndian, 2};
  }
  if (size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
    return DetectedText{UnicodeText::kUtf8, 3};
  }
  bool multiByte = false;
  if (IsValidUtf8(bytes, size, &multiByte) && multiByte) return DetectedText{UnicodeText::kUtf8, 0};
  return std::nullopt;
}

}  // namespace velmor
