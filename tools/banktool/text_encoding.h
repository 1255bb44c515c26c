// Conversion of GBK text (code page 936) to UTF-8 for output meant for other tools.
#pragma once

#include <string>
#include <string_view>

namespace velmor {

// Bytes that are not valid GBK become U+FFFD, one per byte.
std::string GbkToUtf8(std::string_view gbk);

}  // namespace velmor
