// Conversion of GBK text (code page 936) to UTF-8 for output meant for other tools.
#pragma once

#include <string>
#include <string_view>

namespace velmor {

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

}  // namespace velmor
