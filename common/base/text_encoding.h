// Text in the bank's encoding, GBK (code page 936), and in the encodings of today's editors
// and of other tools: telling a Unicode text from GBK, and converting either way. One module
// for grading, import and export, portable: the Unicode texts (UTF-8, UTF-16 either way
// round) are decoded here, and each code point becomes GBK through one table of the first
// plane filled once from the platform's own converter (code page 936 on Windows, iconv's CP936
// elsewhere), so that a character comes out as the platform converts it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmor {

// Telling the Unicode text of an editor from GBK.

enum class UnicodeText {
  kUtf8,
  kUtf16LittleEndian,
  kUtf16BigEndian,
};

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

// Unicode text as GBK, for grading and import.

// Appends the GBK of the `size` bytes of `text` (its byte-order mark already left out) to
// `gbk`. Each character GBK lacks (every one beyond the first plane among them) and each
// ill-formed piece (a lone surrogate; a stray, cut or overlong UTF-8 sequence, one "?" for each
// longest piece that could have begun a character) becomes one "?"; a last odd byte of UTF-16
// is left out. Never writes more bytes than it reads. Returns the number of "?" that stand for
// such things.
std::size_t AppendAsGbk(UnicodeText encoding, const unsigned char* text, std::size_t size,
                        std::string& gbk);

// The same into `out`, which has room for `size` bytes and may be `text` itself (a byte is
// never written before it has been read); returns the number of bytes written and adds the
// number of "?" that stand for lost characters to `lost`.
std::size_t ConvertToGbk(UnicodeText encoding, const unsigned char* text, std::size_t size,
                         char* out, std::size_t& lost);

// UTF-16 (without its byte-order mark) as GBK into `out`, as ConvertToGbk converts it, while
// the text's own bytes are moved down in place without their zero bytes, `kept` of them; one
// pass for both views of a UTF-16 file that grading matches against. Returns the GBK's size.
std::size_t ConvertUtf16ToGbkRemovingZeros(bool bigEndian, unsigned char* text, std::size_t size,
                                           char* out, std::size_t* kept);

// The bytes as GBK when they are well-formed UTF-8 holding at least one multi-byte sequence
// (the text of an editor that saves UTF-8 without a byte-order mark), in one pass; false
// otherwise, `out` (room for `size` bytes, or `text` itself) then holding nothing of use.
bool ConvertUtf8TextToGbk(const unsigned char* text, std::size_t size, char* out,
                          std::size_t* written);

// The GBK of one code point of the first plane, as the table holds it: a value below 0x100 is
// one byte, a larger one a lead byte (high) and a trail byte (low); 0 when GBK lacks it (U+0000
// is the byte 0).
uint16_t GbkOfCodePoint(char32_t point);

// GBK and UTF-8 for the texts that other tools read and write.

// Appends the UTF-8 of GBK text to `utf8`. A byte that begins no GBK character (a lead byte
// whose pair is ill formed or not assigned, a lone trail byte) becomes U+FFFD and the byte
// after it is read anew, so a bad byte never takes its neighbour with it. Returns the number
// of U+FFFD that stand for such bytes.
std::size_t AppendGbkAsUtf8(std::string_view gbk, std::string& utf8);

// Bytes that are not valid GBK become U+FFFD, one per byte.
std::string GbkToUtf8(std::string_view gbk);

// UTF-8 text in GBK, each character GBK lacks (and each invalid byte) written as "?".
std::string Utf8ToGbkLossy(std::string_view utf8);

#ifndef _WIN32
// Whole conversions for paths: false, with nothing usable, when a byte sequence does not
// convert (invalid input, or a character GBK lacks).
bool GbkToUtf8Strict(std::string_view gbk, std::string* utf8);
bool Utf8ToGbk(std::string_view utf8, std::string* gbk);
#endif

namespace detail {
// Fills the table from the platform's converter; each entry as GbkOfCodePoint gives it.
void FillGbkTable(uint16_t (&table)[0x10000]);
// The code point of the GBK character of one byte (`second` < 0) or of a pair; 0 when the
// platform's converter reads none.
char16_t CodePointOfGbk(unsigned char first, int second);
}  // namespace detail

}  // namespace velmor
