// GBK (code page 936) text helpers.
//
// GBK mixes single bytes (0x00-0x80, 0xFF) with double-byte characters whose lead byte is
// 0x81-0xFE. A trail byte may be any of 0x40-0xFE, which includes 0x5C, the backslash, and
// ASCII letters, so text must never be cut or searched byte by byte: these helpers walk it
// character by character from the start.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velmor {

// True when `byte` starts a double-byte GBK character.
constexpr bool IsGbkLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

// The longest prefix of `text` of at most `limit` bytes that ends on a character boundary.
// A lead byte whose trail byte would fall beyond the limit is left out with it.
std::size_t GbkCutLength(std::string_view text, std::size_t limit);

// Copies `text` (up to its first NUL) into a field of `fieldSize` bytes as a NUL-terminated
// string of at most fieldSize - 1 bytes, cut on a character boundary; the rest of the field
// is filled with zero bytes. Returns the number of text bytes stored.
std::size_t GbkCopyToField(char* field, std::size_t fieldSize, std::string_view text);

// Position of the last '\\' or '/' that is a character of its own (not a trail byte), or
// std::string_view::npos when there is none.
std::size_t GbkFindLastSeparator(std::string_view path);

// The length of `text` without a lead byte that ends it alone (a character cut in half).
std::size_t GbkWholeLength(std::string_view text);

// The part of a path after its last separator (the whole path when it has none).
std::string FileNameOf(const std::string& path);

}  // namespace velmor
