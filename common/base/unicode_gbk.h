// The Unicode texts of today's editors (UTF-8, UTF-16 either way round) as GBK, converted in
// one pass and the same way on every platform. The code points are decoded here; each one
// becomes GBK through one table of the first plane, filled once from the platform's own
// converter (code page 936 on Windows, iconv's CP936 elsewhere), so that a character comes
// out as the platform converts it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace velmor {

enum class UnicodeText {
  kUtf8,
  kUtf16LittleEndian,
  kUtf16BigEndian,
};

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

// Appends the UTF-8 of GBK text to `utf8`. A byte that begins no GBK character (a lead byte
// whose pair is ill formed or not assigned, a lone trail byte) becomes U+FFFD and the byte
// after it is read anew, so a bad byte never takes its neighbour with it. Returns the number
// of U+FFFD that stand for such bytes.
std::size_t AppendGbkAsUtf8(std::string_view gbk, std::string& utf8);

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

namespace detail {
// Fills the table from the platform's converter; each entry as GbkOfCodePoint gives it.
void FillGbkTable(uint16_t (&table)[0x10000]);
// The code point of the GBK character of one byte (`second` < 0) or of a pair; 0 when the
// platform's converter reads none.
char16_t CodePointOfGbk(unsigned char first, int second);
}  // namespace detail

}  // namespace velmor
