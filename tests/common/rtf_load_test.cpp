#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "common/base/byte_order.h"
#include "common/richtext/rtf_load.h"

namespace velmor {
namespace {

FormatRun RunOf(int32_t first, int32_t end, uint32_t mask, uint32_t effects, int32_t height,
                uint32_t colour, const char* face) {
  FormatRun run;
  run.first = first;
  run.end = end;
  unsigned char* f = run.format.data();
  WriteLe32(f, 60);
  WriteLe32(f + 4, static_cast<int32_t>(mask));
  WriteLe32(f + 8, static_cast<int32_t>(effects));
  WriteLe32(f + 12, height);
  WriteLe32(f + 16, height / 20 - 5);  // an offset of its own
  WriteLe32(f + 20, static_cast<int32_t>(colour));
  f[24] = static_cast<unsigned char>(height & 1 ? 134 : 0);
  f[25] = static_cast<unsigned char>(colour & 0x33);
  std::strncpy(reinterpret_cast<char*>(f + 26), face, kFaceBytes - 1);
  return run;
}

// The definition: each character takes the runs over it in turn, then equal neighbours join.
std::vector<FormatSpan> SetEveryRunInTurn(const CharFormatFields& base, int32_t length,
                                          const std::vector<FormatRun>& runs) {
  std::vector<CharFormatFields> at(static_cast<std::size_t>(std::max(length, 0)), base);
  for (const FormatRun& run : runs) {
    int32_t first = run.first, end = run.end;
    if (first < 0) continue;
    if (end < 0) end = length;
    if (first > end) std::swap(first, end);
    for (int32_t i = first; i < std::min(end, length); ++i) {
      at[static_cast<std::size_t>(i)] =
          MergeCharFormat(at[static_cast<std::size_t>(i)], ReadCharFormat(run.format.data()));
    }
  }
  std::vector<FormatSpan> spans;
  for (int32_t i = 0; i < length; ++i) {
    if (!spans.empty() && spans.back().format == at[static_cast<std::size_t>(i)]) {
      spans.back().end = i + 1;
    } else {
      spans.push_back(FormatSpan{i, i + 1, at[static_cast<std::size_t>(i)]});
    }
  }
  return spans;
}

// Runs over each other with every mask, of few distinct values so that neighbours often end
// equal, against the definition.
TEST(ResolveRuns, EndsAsSettingEveryRunInTurn) {
  const uint32_t bits[] = {kMaskBold,  kMaskItalic, kMaskUnderline, kMaskStrikeOut,
                           kMaskProtected, kMaskLink, kMaskCharset,   kMaskOffset,
                           kMaskFace,  kMaskColour, kMaskSize,      0x00000100};
  const char* const faces[] = {"Arial", "\xcb\xce\xcc\xe5", ""};
  std::mt19937 random(20261209);
  auto below = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  CharFormatFields base;
  base.mask = 0xF800003F;
  base.height = 200;
  base.face = "Base";
  for (int round = 0; round < 3000; ++round) {
    SCOPED_TRACE(round);
    const int32_t length = below(40);
    std::vector<FormatRun> runs;
    for (int r = below(14); r > 0; --r) {
      uint32_t mask = 0;
      for (uint32_t bit : bits) mask |= below(3) == 0 ? bit : 0;
      runs.push_back(RunOf(below(length + 4) - 2, below(length + 4) - 2, mask,
                           static_cast<uint32_t>(random()) & (0x4000003F | 0x100),
                           200 + 20 * below(3), static_cast<uint32_t>(below(3)), faces[below(3)]));
    }
    const std::vector<FormatSpan> wanted = SetEveryRunInTurn(base, length, runs);
    const std::vector<FormatSpan> got = ResolveRuns(base, length, runs);
    ASSERT_EQ(got.size(), wanted.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].first, wanted[i].first);
      EXPECT_EQ(got[i].end, wanted[i].end);
      EXPECT_TRUE(got[i].format == wanted[i].format) << "span " << i;
    }
  }
}

}  // namespace
}  // namespace velmor
