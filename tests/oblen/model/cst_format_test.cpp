#include <gtest/gtest.h>

#include "oblen/model/operation_bank.h"
#include "tests/oblen/model/cst_images.h"
#include "tests/support/test_files.h"

namespace velmor {
namespace {

using test::ByteImage;
using test::Bytes;
using test::TempDir;

ContentBlock Block(int32_t size, unsigned char fill = 0x40) {
  ByteImage image;
  image.Int32(size);
  for (int32_t i = 4; i < size; ++i) image.Raw(std::string(1, static_cast<char>(fill + i)));
  return ContentBlock::FromBytes(image.bytes().data(), image.size());
}

Bytes SaveToBytes(OperationBank& bank) {
  MemorySink sink;
  EXPECT_TRUE(bank.SaveTo(sink));
  return sink.bytes();
}

bool LoadBytes(OperationBank& bank, const Bytes& bytes) {
  MemorySource source(bytes.data(), bytes.size());
  return bank.LoadFrom(source);
}

// One group "组", one question with a 12-byte description and one requirement, one package.
ByteImage ExampleImage() {
  ByteImage image;
  test::CstHeader(image, 1, 0, 1, 1);
  test::CstGroup(image, "\xd7\xe9", 1);
  test::CstQuestion(image, 1, 0, 0, 12, 1);
  test::CstRequirement(image, "desc", "why", 10, 1, "c:\\a.txt", "*x*");
  ByteImage entries;
  test::CstEntry(entries, 1, "", "");
  test::CstEntry(entries, 0, "\\a.txt", "abc");
  test::CstPackage(image, static_cast<int32_t>(entries.size()), 1, "c:\\cand", 2);
  image.Raw(entries.bytes());
  return image;
}

TEST(CstSave, EmptyBankIsTheBare356ByteHeader) {
  OperationBank bank;
  Bytes saved = SaveToBytes(bank);
  ByteImage expected;
  test::CstHeader(expected, 1, 0, 0, 0);
  ASSERT_EQ(saved.size(), 356u);
  EXPECT_EQ(saved, expected.bytes());
}

TEST(CstSave, ExampleBankMatchesTheLayoutByteForByte) {
  OperationBank bank;
  bank.AddGroup("组");
  ASSERT_TRUE(bank.AddQuestion(1, 0, Block(12), 0, 0));
  ASSERT_TRUE(bank.AddRequirement(0, 0, Requirement::Build("desc", "why", 10, "c:\\a.txt", "*x*")));
  ByteImage entries;
  test::CstEntry(entries, 1, "", "");
  test::CstEntry(entries, 0, "\\a.txt", "abc");
  FilePackage package;
  package.questionId = 1;
  package.unpackFolder.Assign("c:\\cand");
  package.entryCount = 2;
  package.data = entries.bytes();
  bank.AppendPackage(std::move(package));

  EXPECT_EQ(SaveToBytes(bank), ExampleImage().bytes());
  // The header in memory carries the counts of the save.
  EXPECT_EQ(bank.header().groupCount(), 1);
  EXPECT_EQ(bank.header().packageCount(), 1);
  EXPECT_EQ(bank.header().formatVersion(), 1);
}

TEST(CstLoad, EverythingReadIsWrittenBackByteForByte) {
  // Reserved header bytes, bytes after text terminators, a requirement's reserved area,
  // trailers and an unpack folder with bytes after its terminator all travel unchanged.
  ByteImage image;
  image.Raw(test::kCstMagic).Raw(std::string("\0Z", 2));
  image.Raw(std::string(208, 'r')).Int32(1).Raw(std::string(116, 's')).Int32(1).Int32(2).Int32(2);
  test::CstGroup(image, "first", 2);
  test::CstQuestion(image, 7, -3, 99, 40, 2, 0x10);
  test::CstRequirement(image, "说明", "解释", -3, 3, "d:\\t.doc", "?a*", "junk\x01\xff");
  test::CstRequirement(image, "", "", 0, 0, "", "", "");
  test::CstQuestion(image, 2, 0, 0, 4, 0);
  test::CstGroup(image, "", 0);
  test::CstTrailer(image, 11, 0xAA);
  test::CstTrailer(image, -5, 0x5B);
  ByteImage entries;
  test::CstEntry(entries, 1, "", "");
  test::CstEntry(entries, 7, "\\sub", "");
  test::CstEntry(entries, 0, "\\sub\\e.txt", "");
  image.Int32(static_cast<int32_t>(entries.size())).Int32(7)
      .Raw(std::string("c:\\x\0after", 10)).Zeros(246).Int32(3).Int32(0);
  image.Raw(entries.bytes());

  OperationBank bank;
  ASSERT_TRUE(LoadBytes(bank, image.bytes()));
  ASSERT_EQ(bank.groups().size(), 2u);
  EXPECT_EQ(bank.groups()[0].questions[0].requirements[0].description(), "说明");
  EXPECT_EQ(bank.groups()[0].questions[0].requirements[0].category(), 3);
  EXPECT_EQ(bank.trailerRecords().size(), 2u);
  ASSERT_EQ(bank.packages().size(), 1u);
  EXPECT_EQ(bank.packages()[0].unpackFolder.text(), "c:\\x");
  EXPECT_EQ(SaveToBytes(bank), image.bytes());
}

TEST(CstLoad, TheStoredDataReferenceIsIgnoredAndWrittenAsZero) {
  ByteImage image;
  test::CstHeader(image, 1, 0, 0, 1);
  ByteImage entries;
  test::CstEntry(entries, 1, "", "");
  test::CstPackage(image, 264, 4, "c:\\u", 1, 0x12345678);
  image.Raw(entries.bytes());
  OperationBank bank;
  ASSERT_TRUE(LoadBytes(bank, image.bytes()));
  Bytes saved = SaveToBytes(bank);
  ByteImage expected;
  test::CstHeader(expected, 1, 0, 0, 1);
  test::CstPackage(expected, 264, 4, "c:\\u", 1, 0);
  expected.Raw(entries.bytes());
  EXPECT_EQ(saved, expected.bytes());
}

TEST(CstLoad, HeaderBytesAreKeptForTheNextFileEvenAfterClear) {
  ByteImage image;
  image.Raw(test::kCstMagic).Raw(std::string("\0Q", 2)).Raw(std::string(208, 'h'));
  image.Int32(0).Raw(std::string(116, 'k')).Int32(1).Int32(0).Int32(0);
  OperationBank bank;
  ASSERT_TRUE(LoadBytes(bank, image.bytes()));
  bank.Clear();  // what New does
  bank.AddGroup("g");
  Bytes saved = SaveToBytes(bank);
  EXPECT_EQ(Bytes(saved.begin(), saved.begin() + 344), Bytes(image.bytes().begin(), image.bytes().begin() + 344));
  EXPECT_EQ(saved[352], 1);  // the group count comes from the list
}

TEST(CstLoad, VersionRules) {
  // No groups: trailers and packages load whatever the version.
  ByteImage noGroups;
  test::CstHeader(noGroups, 5, 1, 0, 1);
  test::CstTrailer(noGroups, 1, 0x11);
  test::CstPackage(noGroups, 264, 3, "u", 1);
  test::CstEntry(noGroups, 1, "", "");
  OperationBank bank;
  EXPECT_TRUE(LoadBytes(bank, noGroups.bytes()));
  EXPECT_EQ(bank.trailerRecords().size(), 1u);
  EXPECT_EQ(bank.packages().size(), 1u);

  // Groups in a file of another version: the load fails before the first group.
  ByteImage withGroup;
  test::CstHeader(withGroup, 2, 0, 1, 0);
  test::CstGroup(withGroup, "g", 0);
  EXPECT_FALSE(LoadBytes(bank, withGroup.bytes()));
  EXPECT_TRUE(bank.groups().empty());
  EXPECT_EQ(bank.header().formatVersion(), 2);  // the header holds what was read
}

TEST(CstLoad, QuestionIdsFollowTheRegistry) {
  ByteImage dup;
  test::CstHeader(dup, 1, 0, 1, 0);
  test::CstGroup(dup, "g", 2);
  test::CstQuestion(dup, 5, 0, 0, 4, 0);
  test::CstQuestion(dup, 5, 0, 0, 4, 0);
  OperationBank bank;
  ASSERT_TRUE(LoadBytes(bank, dup.bytes()));
  EXPECT_EQ(bank.groups()[0].questions[0].id, 5);
  EXPECT_EQ(bank.groups()[0].questions[1].id, 6);

  ByteImage gaps;
  test::CstHeader(gaps, 1, 0, 1, 0);
  test::CstGroup(gaps, "g", 2);
  test::CstQuestion(gaps, 4, 0, 0, 4, 0);
  test::CstQuestion(gaps, 9, 0, 0, 4, 0);
  ASSERT_TRUE(LoadBytes(bank, gaps.bytes()));
  ASSERT_TRUE(bank.AddQuestion(1, 0, Block(8), 0, 0));
  ASSERT_TRUE(bank.AddQuestion(1, 0, Block(8), 0, 0));
  EXPECT_EQ(bank.groups()[0].questions[2].id, 1);
  EXPECT_EQ(bank.groups()[0].questions[3].id, 10);
}

// A damaged file fails at the damaged record and keeps everything before it.
struct DamagedCase {
  const char* name;
  Bytes bytes;
  std::size_t groups;      // groups kept
  std::size_t questions;   // questions kept in the last group
  std::size_t requirements;  // requirements kept in the last question
  std::size_t packages;
};

ByteImage GoodStart(int32_t trailers, int32_t packages, int32_t groups = 2) {
  ByteImage image;
  test::CstHeader(image, 1, trailers, groups, packages);
  test::CstGroup(image, "ok", 1);
  test::CstQuestion(image, 1, 0, 0, 8, 0);
  return image;
}

std::vector<DamagedCase> DamagedCases() {
  std::vector<DamagedCase> cases;
  auto add = [&](const char* name, const ByteImage& image, std::size_t groups,
                 std::size_t questions, std::size_t requirements, std::size_t packages) {
    cases.push_back({name, image.bytes(), groups, questions, requirements, packages});
  };
  {
    ByteImage i = GoodStart(0, 0);
    i.Int32(128).Int32(0).Raw(std::string(128, 'n'));
    add("name length 128", i, 1, 1, 0, 0);
  }
  {
    ByteImage i = GoodStart(0, 0);
    i.Int32(-1).Int32(0);
    add("negative name length", i, 1, 1, 0, 0);
  }
  {
    ByteImage i = GoodStart(0, 0);
    i.Int32(1).Int32(-2).Raw("n");
    add("negative question count", i, 1, 1, 0, 0);
  }
  {
    ByteImage i = GoodStart(0, 0);
    test::CstGroup(i, "b", 1);
    i.Int32(2).Int32(0).Int32(0).Int32(3).Int32(0).Int32(3);
    add("description length 3", i, 2, 0, 0, 0);
  }
  {
    ByteImage i = GoodStart(0, 0);
    test::CstGroup(i, "b", 1);
    i.Int32(2).Int32(0).Int32(0).Int32(8).Int32(0).Int32(9).Raw("abcd");
    add("description length differs from its block", i, 2, 0, 0, 0);
  }
  {
    ByteImage i = GoodStart(0, 0);
    test::CstGroup(i, "b", 1);
    i.Int32(2).Int32(0).Int32(0).Int32(0x7FFFFFF0).Int32(0).Int32(0x7FFFFFF0).Raw("ab");
    add("description beyond the end", i, 2, 0, 0, 0);
  }
  {
    ByteImage i = GoodStart(0, 0);
    test::CstGroup(i, "b", 1);
    test::CstQuestion(i, 2, 0, 0, 4, -1);
    add("negative requirement count", i, 2, 0, 0, 0);
  }
  {
    ByteImage i = GoodStart(0, 0);
    test::CstGroup(i, "b", 1);
    test::CstQuestion(i, 2, 0, 0, 4, 0x7FFFFFFF);
    test::CstRequirement(i, "one", "", 1, 1, "", "");
    add("requirement count beyond the end", i, 2, 1, 1, 0);
  }
  {
    ByteImage i = GoodStart(-1, 0, 1);
    add("negative trailer count", i, 1, 1, 0, 0);
  }
  {
    ByteImage i = GoodStart(2, 0, 1);
    test::CstTrailer(i, 1, 1);
    i.Raw("cut");
    add("trailer cut short", i, 1, 1, 0, 0);
  }
  {
    ByteImage i = GoodStart(0, -1, 1);
    add("negative package count", i, 1, 1, 0, 0);
  }
  {
    ByteImage i = GoodStart(0, 2, 1);
    test::CstPackage(i, 264, 1, "u", 1);
    test::CstEntry(i, 1, "", "");
    test::CstPackage(i, 0x7FFFFFFF, 2, "u", 1);
    test::CstEntry(i, 1, "", "");
    add("package data beyond the end", i, 1, 1, 0, 1);
  }
  {
    ByteImage i = GoodStart(0, 1, 1);
    test::CstPackage(i, 264, 1, "u", 2);
    test::CstEntry(i, 1, "", "");
    add("entry count above the entries", i, 1, 1, 0, 0);
  }
  {
    ByteImage i = GoodStart(0, 1, 1);
    test::CstPackage(i, 264 * 2 + 1, 1, "u", 1);
    test::CstEntry(i, 1, "", "");
    test::CstEntry(i, 0, "\\a", "x");
    add("entries beyond the entry count", i, 1, 1, 0, 0);
  }
  {
    ByteImage i = GoodStart(0, 1, 1);
    ByteImage entries;
    test::CstEntry(entries, 1, "", "");
    entries.Raw(std::string(1, '\0')).Field("\\a", 256).Zeros(3).Int32(50).Raw("short");
    test::CstPackage(i, static_cast<int32_t>(entries.size()), 1, "u", 2);
    i.Raw(entries.bytes());
    add("entry size beyond its package", i, 1, 1, 0, 0);
  }
  {
    ByteImage i = GoodStart(0, 1, 1);
    ByteImage entries;
    test::CstEntry(entries, 1, "\\d", "xy");
    test::CstPackage(i, static_cast<int32_t>(entries.size()), 1, "u", 1);
    i.Raw(entries.bytes());
    add("folder entry with content", i, 1, 1, 0, 0);
  }
  {
    ByteImage i = GoodStart(0, 1, 1);
    i.Int32(-264).Int32(1).Field("u", 256).Int32(1).Int32(0);
    add("negative data size", i, 1, 1, 0, 0);
  }
  {
    ByteImage i;
    test::CstHeader(i, 1, 0, -1, 0);
    add("negative group count", i, 0, 0, 0, 0);
  }
  {
    Bytes cut = ExampleImage().bytes();
    cut.resize(200);
    ByteImage i;
    i.Raw(cut);
    add("header cut short", i, 0, 0, 0, 0);
  }
  return cases;
}

TEST(CstLoad, DamagedFilesFailAtTheDamageAndKeepWhatCameBefore) {
  for (const DamagedCase& c : DamagedCases()) {
    SCOPED_TRACE(c.name);
    OperationBank bank;
    EXPECT_FALSE(LoadBytes(bank, c.bytes));
    ASSERT_EQ(bank.groups().size(), c.groups);
    if (c.groups > 0) {
      ASSERT_EQ(bank.groups().back().questions.size(), c.questions);
      if (c.questions > 0) {
        EXPECT_EQ(bank.groups().back().questions.back().requirements.size(), c.requirements);
      }
    }
    EXPECT_EQ(bank.packages().size(), c.packages);
    // What was kept is consistent: it saves and loads back completely.
    Bytes saved = SaveToBytes(bank);
    OperationBank reloaded;
    EXPECT_TRUE(LoadBytes(reloaded, saved));
    EXPECT_EQ(SaveToBytes(reloaded), saved);
  }
}

TEST(CstFile, LoadAndSaveThroughFiles) {
  TempDir dir;
  std::string path = dir.File("bank.cst");
  test::WriteFileBytes(path, ExampleImage().bytes());
  OperationBank bank;
  ASSERT_TRUE(bank.Load(path));
  std::string copy = dir.File("copy.cst");
  ASSERT_TRUE(bank.Save(copy));
  EXPECT_EQ(test::ReadFileBytes(copy), ExampleImage().bytes());

  // Saving over an existing file replaces it whole.
  bank.Clear();
  ASSERT_TRUE(bank.Save(copy));
  EXPECT_EQ(test::ReadFileBytes(copy).size(), 356u);
}

TEST(CstFile, ReadOnlyAndMissingFilesAreNotLoaded) {
  TempDir dir;
  std::string path = dir.File("Date.dat");
  test::WriteFileBytes(path, ExampleImage().bytes());
  test::SetReadOnly(path, true);
  OperationBank bank;
  bank.AddGroup("before");
  EXPECT_FALSE(bank.Load(path));
  EXPECT_TRUE(bank.groups().empty());
  EXPECT_TRUE(bank.packages().empty());
  EXPECT_FALSE(bank.Load(dir.File("missing.cst")));
}

TEST(CstFile, AFailedSaveLeavesThePreviousFileIntact) {
  TempDir dir;
  std::string path = dir.File("bank.cst");
  Bytes original = ExampleImage().bytes();
  test::WriteFileBytes(path, original);
  test::SetReadOnly(path, true);
  OperationBank bank;
  bank.AddGroup("new");
  EXPECT_FALSE(bank.Save(path));
  test::SetReadOnly(path, false);
  EXPECT_EQ(test::ReadFileBytes(path), original);
  EXPECT_FALSE(bank.Save(dir.File("no-such-folder/bank.cst")));
  EXPECT_EQ(test::ListFolder(dir.path()), std::vector<std::string>{"bank.cst"});
}

}  // namespace
}  // namespace velmor
