#include <gtest/gtest.h>

#include <cstring>

#include "common/base/gbk.h"
#include "common/base/text_encoding.h"

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

// Unicode to GBK and back, the same on every platform: each ill-formed piece and each character
// GBK lacks is one "?" (or U+FFFD), and never takes a well-formed neighbour with it.
TEST(UnicodeGbk, EachPieceThatCannotBeReadBecomesOneQuestionMark) {
  struct Case {
    const char* name;
    UnicodeText encoding;
    std::string text;
    std::string gbk;
    std::size_t lost;
  };
  const std::string ti = "\xcc\xe2";  // 题 in GBK
  const Case kCases[] = {
      {"UTF-8", UnicodeText::kUtf8, "a\xe9\xa2\x98", "a" + ti, 0},
      {"a stray byte", UnicodeText::kUtf8, "\x80\xe9\xa2\x98", "?" + ti, 1},
      {"an overlong form", UnicodeText::kUtf8, "\xc0\xaf/", "?" "?/", 2},
      {"a cut sequence", UnicodeText::kUtf8, "\xe9\xa2" "a\xe9", "?a?", 2},
      {"an encoded surrogate", UnicodeText::kUtf8, "\xed\xa0\x80", "???", 3},
      {"beyond the first plane", UnicodeText::kUtf8, "\xf0\x9f\x98\x80!", "?!", 1},
      {"GBK lacks it", UnicodeText::kUtf8, "\xe0\xa4\x85", "?", 1},
      {"a zero stays a zero", UnicodeText::kUtf8, std::string("a\0b", 3), std::string("a\0b", 3), 0},
      {"UTF-16", UnicodeText::kUtf16LittleEndian, std::string("\x98\x98" "a\0", 4), ti + "a", 0},
      {"big-endian", UnicodeText::kUtf16BigEndian, std::string("\x98\x98\0a", 4), ti + "a", 0},
      {"a pair", UnicodeText::kUtf16LittleEndian, std::string("\x3d\xd8\x00\xde" "a\0", 6), "?a", 1},
      {"a lone surrogate", UnicodeText::kUtf16LittleEndian, std::string("\x00\xdc" "a\0\x00\xd8", 6), "?a?", 2},
      {"an odd last byte", UnicodeText::kUtf16LittleEndian, std::string("a\0b", 3), "a", 0},
  };
  for (const Case& test : kCases) {
    SCOPED_TRACE(test.name);
    std::string gbk = "x";
    EXPECT_EQ(AppendAsGbk(test.encoding, reinterpret_cast<const unsigned char*>(test.text.data()),
                          test.text.size(), gbk),
              test.lost);
    EXPECT_EQ(gbk, "x" + test.gbk);
  }

  const std::string kFffd = "\xef\xbf\xbd";
  const struct {
    std::string gbk;
    std::string utf8;
    std::size_t lost;
  } kBack[] = {
      {ti + "A", "\xe9\xa2\x98" "A", 0},
      {"\xcc", kFffd, 1},                       // a lead byte at the end
      {"\xcc\x7f" "A", kFffd + "\x7f" "A", 1},  // no trail byte after it
      {"\xff" + ti, kFffd + "\xe9\xa2\x98", 1},
  };
  for (const auto& test : kBack) {
    std::string utf8;
    EXPECT_EQ(AppendGbkAsUtf8(test.gbk, utf8), test.lost);
    EXPECT_EQ(utf8, test.utf8);
  }
}

}  // namespace
}  // namespace velmor
