// The formatted text of a stem the paper benchmarks print: eight runs of 25 characters (题 and
// a in turn), bold every other run, three sizes, reds of eight shades, 宋体.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "common/richtext/rich_content.h"

namespace velmor::bench {

inline std::vector<FormatRun> StemRuns(std::string& text) {
  std::vector<FormatRun> runs;
  for (int i = 0; i < 8; ++i) {
    FormatRun run;
    run.first = static_cast<int32_t>(i * 25);
    for (int j = 0; j < 25; ++j) text += j % 2 ? "\xcc\xe2" : "a";  // 题 and a
    run.end = run.first + 25;
    unsigned char* format = run.format.data();
    const uint32_t mask = kRunFormatMask;
    std::memcpy(format, "\x3c\0\0\0", 4);
    std::memcpy(format + 4, &mask, 4);
    format[8] = i % 2;                               // bold every other run
    const int32_t height = 200 + 40 * (i % 3);
    std::memcpy(format + 12, &height, 4);
    format[20] = static_cast<unsigned char>(40 * i);  // red
    std::strcpy(reinterpret_cast<char*>(format + 26), "\xcb\xce\xcc\xe5");  // 宋体
    runs.push_back(run);
  }
  return runs;
}

}  // namespace velmor::bench
