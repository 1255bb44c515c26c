#include <gtest/gtest.h>

#include <cstring>

#include "common/base/gbk.h"

namespace velmor {
namespace {

TEST(GbkCut, NeverSplitsADoubleByteCharacter) {
  struct Case {
    std::string text;
    std::size_t limit;
    std::size_t expected;
  };
  const Case cases[] = {
      {"abc", 5, 3},
      {"abc", 3, 3},
      {"abc", 2, 2},
      {"\xb2\xe2\xca\xd4", 4, 4},     // 测试
      {"\xb2\xe2\xca\xd4", 3, 2},     // the second character would not fit
      {"a\xb2\xe2" "b", 2, 1},
      {"a\xb2\xe2" "b", 3, 3},
      {"\x81\x5c\x81\x5c", 3, 2},     // trail bytes that look like backslashes
      {"\x80\xff" "ab", 3, 3},        // 0x80 and 0xFF are single bytes
      {"\xb2", 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GbkCutLength(c.text, c.limit), c.expected) << c.limit;
  }
}

TEST(GbkCut, CopyToFieldTerminatesAndZeroFills) {
  char field[8];
  std::memset(field, 'x', sizeof field);
  EXPECT_EQ(GbkCopyToField(field, sizeof field, "abcdef\xb2\xe2"), 6u);
  EXPECT_EQ(std::string(field, 8), std::string("abcdef\0\0", 8));
  EXPECT_EQ(GbkCopyToField(field, sizeof field, std::string_view("a\0bc", 4)), 1u);
  EXPECT_EQ(std::string(field, 8), std::string("a\0\0\0\0\0\0\0", 8));
  EXPECT_EQ(GbkCopyToField(field, sizeof field, "1234567"), 7u);
  EXPECT_EQ(field[7], '\0');
}

TEST(GbkSeparator, FindsTheLastRealSeparator) {
  EXPECT_EQ(GbkFindLastSeparator("c:\\dir\\file.lst"), 6u);
  EXPECT_EQ(GbkFindLastSeparator("c:/dir/file.lst"), 6u);
  EXPECT_EQ(GbkFindLastSeparator("file.lst"), std::string_view::npos);
  // 0x815C is one character whose trail byte is 0x5C; it is no separator.
  EXPECT_EQ(GbkFindLastSeparator("c:\\\x81\x5c.lst"), 2u);
  EXPECT_EQ(GbkFindLastSeparator("\x81\x5c"), std::string_view::npos);
  EXPECT_EQ(GbkFindLastSeparator("\xb1\xed\\"), 2u);
}

}  // namespace
}  // namespace velmor
