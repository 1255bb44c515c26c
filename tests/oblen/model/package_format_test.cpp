#include <gtest/gtest.h>

#include "oblen/model/package_format.h"
#include "tests/oblen/model/cst_images.h"

namespace velmor {
namespace {

using test::ByteImage;
using test::Bytes;

TEST(PackageEntry, HeadsAreLaidOutAsTheTableSays) {
  std::vector<unsigned char> data;
  AppendEntryHead(data, 1, "", 0);
  AppendEntryHead(data, 0, "\\子目录\\a.doc", 3);
  ByteImage expected;
  test::CstEntry(expected, 1, "", "");
  expected.Raw(std::string(1, '\0')).Field("\\子目录\\a.doc", 256).Zeros(3).Int32(3);
  EXPECT_EQ(data, expected.bytes());

  // Paths are cut to 255 bytes without splitting a character.
  data.clear();
  AppendEntryHead(data, 0, std::string(254, 'p') + "文", 0);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(data.data()) + 1), std::string(254, 'p'));
}

TEST(PackageEntry, ReaderWalksEveryEntryInOrder) {
  ByteImage image;
  test::CstEntry(image, 1, "", "");
  test::CstEntry(image, 0, "\\a.txt", "abc");
  test::CstEntry(image, 9, "\\sub", "");
  test::CstEntry(image, 0, "\\sub\\empty", "");
  PackageEntryReader reader(image.bytes());
  PackageEntry entry;
  std::vector<std::string> seen;
  while (reader.Next(entry)) {
    seen.push_back(std::string(entry.relativePath) + (entry.isFolder() ? "/" : "") + ":" +
                   std::string(reinterpret_cast<const char*>(entry.content), entry.size));
  }
  EXPECT_FALSE(reader.damaged());
  EXPECT_EQ(seen, (std::vector<std::string>{"/:", "\\a.txt:abc", "\\sub/:", "\\sub\\empty:"}));
  EXPECT_TRUE(IsConsistentPackageData(image.bytes().data(), image.size(), 4));
}

TEST(PackageEntry, AnUnterminatedPathReadsAsItsFirst255Bytes) {
  ByteImage image;
  image.Raw(std::string(1, '\0')).Raw(std::string(256, 'z')).Zeros(3).Int32(0);
  PackageEntryReader reader(image.bytes());
  PackageEntry entry;
  ASSERT_TRUE(reader.Next(entry));
  EXPECT_EQ(entry.relativePath, std::string(255, 'z'));
}

TEST(PackageEntry, ConsistencyOfDataAreas) {
  ByteImage two;
  test::CstEntry(two, 1, "", "");
  test::CstEntry(two, 0, "\\f", "12345");
  Bytes extra = two.bytes();
  extra.push_back(0);
  Bytes cutHead(two.bytes().begin(), two.bytes().begin() + 300);
  ByteImage negative;
  negative.Raw(std::string(1, '\0')).Field("\\n", 256).Zeros(3).Int32(-1);
  ByteImage tooLong;
  tooLong.Raw(std::string(1, '\0')).Field("\\n", 256).Zeros(3).Int32(10).Raw("short");
  ByteImage folderWithContent;
  test::CstEntry(folderWithContent, 1, "\\d", "x");

  struct Case {
    const char* name;
    Bytes data;
    int64_t count;
    bool consistent;
  };
  const Case cases[] = {
      {"exact", two.bytes(), 2, true},
      {"empty", {}, 0, true},
      {"count too high", two.bytes(), 3, false},
      {"count too low", two.bytes(), 1, false},
      {"negative count", two.bytes(), -1, false},
      {"huge count", two.bytes(), INT32_MAX, false},
      {"a byte left over", extra, 2, false},
      {"head cut short", cutHead, 2, false},
      {"negative size", negative.bytes(), 1, false},
      {"size beyond the area", tooLong.bytes(), 1, false},
      {"folder with content", folderWithContent.bytes(), 1, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsConsistentPackageData(c.data.data(), c.data.size(), c.count), c.consistent)
        << c.name;
  }
}

TEST(PackagePaths, OnlyPathsThatStayInsideTheFolderAreSafe) {
  struct Case {
    std::string path;
    bool safe;
  };
  const Case cases[] = {
      {"", true},
      {"\\a.txt", true},
      {"\\sub\\deeper\\b.doc", true},
      {"\\..a\\b..\\.c", true},
      {"\\考生\\文件.txt", true},
      {"\\cone\\x", true},
      {"\\con.d\\x", false},
      {std::string("\\\x81\x5c\\x"), true},  // a trail byte 0x5C is no separator
      {"\\..\\evil.txt", false},
      {"..", false},
      {"\\a\\..", false},
      {"\\a/../../b", false},
      {"\\a\\...\\b", false},
      {"\\a\\. .\\b", false},
      {"\\a\\.. \\b", false},
      {"\\c:\\windows\\x", false},
      {"c:x", false},
      {"\\a.txt:stream", false},
      {"\\\\server\\share\\x", false},
      {"//server/share/x", false},
      {"\\CON", false},
      {"\\sub\\nul.txt", false},
      {"\\com1", false},
      {"\\LPT9.log", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsSafeRelativePath(c.path), c.safe) << c.path;
}

TEST(PackagePaths, TargetsJoinFolderAndPathWithOneSeparator) {
  struct Case {
    std::string folder;
    std::string path;
    std::string expected;
  };
  const Case cases[] = {
      {"c:\\考生文件夹", "", "c:\\考生文件夹"},
      {"c:\\考生文件夹", "\\a.txt", "c:\\考生文件夹\\a.txt"},
      {"c:\\考生文件夹\\", "\\sub\\b", "c:\\考生文件夹\\sub\\b"},
      {"c:\\", "\\x", "c:\\x"},
      {"d:\\u", "plain", "d:\\u\\plain"},
      // A folder ending in a character whose trail byte is 0x5C still needs its separator.
      {std::string("d:\\\x81\x5c"), "\\x", std::string("d:\\\x81\x5c\\x")},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(UnpackTargetPath(c.folder, c.path), c.expected) << c.folder << " + " << c.path;
  }
}

}  // namespace
}  // namespace velmor
