#include "common/base/text_encoding.h"

#include <cstring>

namespace velmor {

namespace {

struct GbkTable {
  GbkTable() { detail::FillGbkTable(entries); }
  uint16_t entries[0x10000] = {};
};

const GbkTable& Table() {
  static const GbkTable table;
  return table;
}

// The other way round: the single bytes from 0x80 on, and every pair of a lead byte
// (0x81-0xFE) and a trail byte (0x40-0xFE, not 0x7F); 0 where the platform reads none.
struct UnicodeTable {
  UnicodeTable() {
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
      single[byte - 0x80] = detail::CodePointOfGbk(static_cast<unsigned char>(byte), -1);
    }
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
      for (int trail = 0x40; trail <= 0xFE; ++trail) {
        if (trail == 0x7F) continue;
        pairs[(lead - 0x81) * 0xBF + (trail - 0x40)] =
            detail::CodePointOfGbk(static_cast<unsigned char>(lead), trail);
      }
    }
  }
  char16_t single[0x80] = {};
  char16_t pairs[0x7E * 0xBF] = {};
};

const UnicodeTable& Unicode() {
  static const UnicodeTable table;
  return table;
}

void PutUtf8(char16_t point, std::string& utf8) {
  if (point < 0x80) {
    utf8 += static_cast<char>(point);
  } else if (point < 0x800) {
    utf8 += static_cast<char>(0xC0 | point >> 6);
    utf8 += static_cast<char>(0x80 | (point & 0x3F));
  } else {
    utf8 += static_cast<char>(0xE0 | point >> 12);
    utf8 += static_cast<char>(0x80 | (point >> 6 & 0x3F));
    utf8 += static_cast<char>(0x80 | (point & 0x3F));
  }
}

// Writes the GBK of a code point at `out`; false when GBK lacks it ("?" written instead). A
// double-byte character is the case the branch expects, so that the next character need not
// wait for this one's table entry to know where its bytes go.
inline bool Put(const uint16_t (&table)[0x10000], char32_t point, char*& out) {
  const uint16_t value = point < 0x10000 ? table[point] : 0;
  if (value >= 0x100) {
    out[0] = static_cast<char>(value >> 8);
    out[1] = static_cast<char>(value & 0xFF);
    out += 2;
    return true;
  }
  if (value == 0 && point != 0) {
    *out++ = '?';
    return false;
  }
  *out++ = static_cast<char>(value);
  return true;
}

// UTF-8, each ill-formed piece replaced by one "?" as the Unicode standard recommends (the
// longest start of a well-formed sequence, or one byte).
constexpr std::size_t kIllFormed = ~std::size_t{0};

// Strict: kIllFormed at the first ill-formed piece, instead of a "?" for it.
template <bool kStrict>
std::size_t FromUtf8(const uint16_t (&table)[0x10000], const unsigned char* text,
                     std::size_t size, char*& out, bool& multiByte) {
  std::size_t lost = 0, i = 0;
  while (i < size) {
    const unsigned char lead = text[i];
    if (lead < 0x80) {
      *out++ = static_cast<char>(lead);
      ++i;
      continue;
    }
    // Most characters of a Chinese text take three bytes: those go straight through.
    if ((lead & 0xF0) == 0xE0 && i + 2 < size) {
      const unsigned char second = text[i + 1], third = text[i + 2];
      const char32_t point = (lead & 0x0Fu) << 12 | (second & 0x3Fu) << 6 | (third & 0x3Fu);
      if ((second & 0xC0) == 0x80 && (third & 0xC0) == 0x80 && point >= 0x800 &&
          (point < 0xD800 || point > 0xDFFF)) {
        multiByte = true;
        i += 3;
        if (!Put(table, point, out)) ++lost;
        continue;
      }
    }
    std::size_t length;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    char32_t point;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      point = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      point = lead & 0x0F;
      if (lead == 0xE0) low = 0xA0;   // no overlong forms
      if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      point = lead & 0x07;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
    } else {
      if (kStrict) return kIllFormed;
      *out++ = '?';
      ++lost;
      ++i;
      continue;
    }
    std::size_t k = 1;
    while (k < length && i + k < size) {
      const unsigned char next = text[i + k];
      if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) break;
      point = point << 6 | (next & 0x3F);
      ++k;
    }
    if (kStrict && k < length) return kIllFormed;
    multiByte = true;
    i += k;
    if (k < length || !Put(table, point, out)) {
      if (k < length) *out++ = '?';
      ++lost;
    }
  }
  return lost;
}

// UTF-16 to GBK; with kKeep, the text's own bytes are at the same time moved down in place
// without their zero bytes (never ahead of what has been read), `kept` counting them.
template <bool kBigEndian, bool kKeep>
std::size_t FromUtf16(const uint16_t (&table)[0x10000], unsigned char* text, std::size_t size,
                      char*& out, std::size_t& kept) {
  const std::size_t units = size / 2;
  auto unit = [text](std::size_t i) -> char32_t {
    const unsigned first = text[2 * i], second = text[2 * i + 1];
    return kBigEndian ? (first << 8 | second) : (second << 8 | first);
  };
  std::size_t lost = 0;
  for (std::size_t i = 0; i < units; ++i) {
    const char32_t point = unit(i);
    if (kKeep) {
      const unsigned char first = text[2 * i], second = text[2 * i + 1];
      text[kept] = first;
      kept += first != 0;
      text[kept] = second;
      kept += second != 0;
    }
    if (point < 0x80) {
      *out++ = static_cast<char>(point);
    } else if ((point & 0xF800) == 0xD800) {
      // A pair stands for a character beyond the first plane, which GBK lacks: one "?".
      if (point <= 0xDBFF && i + 1 < units && (unit(i + 1) & 0xFC00) == 0xDC00) {
        ++i;
        if (kKeep) {
          for (unsigned char byte : {text[2 * i], text[2 * i + 1]}) {
            text[kept] = byte;
            kept += byte != 0;
          }
        }
      }
      *out++ = '?';
      ++lost;
    } else if (!Put(table, point, out)) {
      ++lost;
    }
  }
  if (kKeep && size % 2 != 0 && text[size - 1] != 0) text[kept++] = text[size - 1];
  return lost;
}

}  // namespace

std::size_t AppendGbkAsUtf8(std::string_view gbk, std::string& utf8) {
  const UnicodeTable& table = Unicode();
  std::size_t lost = 0;
  for (std::size_t i = 0; i < gbk.size(); ++i) {
    const auto byte = static_cast<unsigned char>(gbk[i]);
    if (byte < 0x80) {
      utf8 += static_cast<char>(byte);
      continue;
    }
    char16_t point = 0;
    if (byte >= 0x81 && byte <= 0xFE && i + 1 < gbk.size()) {
      const auto trail = static_cast<unsigned char>(gbk[i + 1]);
      if (trail >= 0x40 && trail <= 0xFE && trail != 0x7F) {
        point = table.pairs[(byte - 0x81) * 0xBF + (trail - 0x40)];
        if (point != 0) ++i;
      }
    }
    if (point == 0) point = table.single[byte - 0x80];
    if (point == 0) {
      point = 0xFFFD;
      ++lost;
    }
    PutUtf8(point, utf8);
  }
  return lost;
}

uint16_t GbkOfCodePoint(char32_t point) { return point < 0x10000 ? Table().entries[point] : 0; }

std::size_t ConvertToGbk(UnicodeText encoding, const unsigned char* text, std::size_t size,
                         char* out, std::size_t& lost) {
  const uint16_t(&table)[0x10000] = Table().entries;
  char* const begin = out;
  bool multiByte = false;
  std::size_t unused = 0;  // the text is only read
  lost += encoding == UnicodeText::kUtf8
              ? FromUtf8<false>(table, text, size, out, multiByte)
          : encoding == UnicodeText::kUtf16BigEndian
              ? FromUtf16<true, false>(table, const_cast<unsigned char*>(text), size, out, unused)
              : FromUtf16<false, false>(table, const_cast<unsigned char*>(text), size, out, unused);
  return static_cast<std::size_t>(out - begin);
}

std::size_t ConvertUtf16ToGbkRemovingZeros(bool bigEndian, unsigned char* text, std::size_t size,
                                           char* out, std::size_t* kept) {
  const uint16_t(&table)[0x10000] = Table().entries;
  char* end = out;
  *kept = 0;
  if (bigEndian) {
    FromUtf16<true, true>(table, text, size, end, *kept);
  } else {
    FromUtf16<false, true>(table, text, size, end, *kept);
  }
  return static_cast<std::size_t>(end - out);
}

bool ConvertUtf8TextToGbk(const unsigned char* text, std::size_t size, char* out,
                          std::size_t* written) {
  char* end = out;
  bool multiByte = false;
  if (FromUtf8<true>(Table().entries, text, size, end, multiByte) == kIllFormed) return false;
  *written = static_cast<std::size_t>(end - out);
  return multiByte;  // plain ASCII is no Unicode text of its own: it reads the same in GBK
}

std::size_t AppendAsGbk(UnicodeText encoding, const unsigned char* text, std::size_t size,
                        std::string& gbk) {
  // A UTF-8 character of n bytes gives at most 2, a UTF-16 unit at most 2: the text's own
  // size is room enough.
  const std::size_t start = gbk.size();
  gbk.resize(start + size);
  std::size_t lost = 0;
  gbk.resize(start + ConvertToGbk(encoding, text, size, gbk.data() + start, lost));
  return lost;
}


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
