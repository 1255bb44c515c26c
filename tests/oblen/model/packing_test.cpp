#include <gtest/gtest.h>

#include "oblen/model/package_format.h"
#include "oblen/model/packing.h"
#include "tests/oblen/model/cst_images.h"
#include "tests/oblen/support/fake_file_access.h"

namespace velmor {
namespace {

using test::ByteImage;
using test::FakeFileAccess;

// Relative path, "/" for folders, and the content of each entry.
std::vector<std::string> Entries(const FilePackage& package) {
  std::vector<std::string> seen;
  PackageEntryReader reader(package.data);
  PackageEntry entry;
  while (reader.Next(entry)) {
    seen.push_back(std::string(entry.relativePath) + (entry.isFolder() ? "/" : "=") +
                   std::string(reinterpret_cast<const char*>(entry.content), entry.size));
  }
  EXPECT_FALSE(reader.damaged());
  EXPECT_EQ(seen.size(), static_cast<std::size_t>(package.entryCount));
  return seen;
}

TEST(BuildPackage, AFileAndAnEmptyFolderGiveThreeEntriesOf795Bytes) {
  FakeFileAccess files;
  files.AddFolder("C:");
  files.AddFolder("C:\\src");
  files.AddFile("C:\\src\\a.txt", "abc");
  files.AddFolder("C:\\src\\sub");
  FilePackage package;
  ASSERT_TRUE(BuildPackage(files, "C:\\src", "c:\\考生文件夹", 12, package));
  EXPECT_EQ(package.questionId, 12);
  EXPECT_EQ(package.unpackFolder.text(), "c:\\考生文件夹");
  EXPECT_EQ(package.entryCount, 3);
  ByteImage expected;
  test::CstEntry(expected, 1, "", "");
  test::CstEntry(expected, 0, "\\a.txt", "abc");
  test::CstEntry(expected, 1, "\\sub", "");
  EXPECT_EQ(package.data.size(), 795u);
  EXPECT_EQ(package.data, expected.bytes());
}

TEST(BuildPackage, WalksDepthFirstInListingOrder) {
  FakeFileAccess files;
  files.AddFolder("S");
  files.AddFile("S\\z.txt", "zz");
  files.AddFolder("S\\m");
  files.AddFolder("S\\m\\inner");
  files.AddFile("S\\m\\inner\\deep.bin", std::string("\0\1", 2));
  files.AddFile("S\\m\\b.txt", "");
  files.AddFile("S\\a.txt", "A");
  FilePackage package;
  ASSERT_TRUE(BuildPackage(files, "S", "u", 1, package));
  EXPECT_EQ(Entries(package),
            (std::vector<std::string>{"/", "\\z.txt=zz", "\\m/", "\\m\\inner/",
                                      "\\m\\inner\\deep.bin=" + std::string("\0\1", 2),
                                      "\\m\\b.txt=", "\\a.txt=A"}));
}

TEST(BuildPackage, UnreadableThingsArePackedAsFarAsTheyGo) {
  FakeFileAccess files;
  files.AddFolder("S");
  files.AddFolder("S\\locked");
  files.AddFile("S\\locked\\hidden.txt", "never seen");
  files.MakeUnlistable("S\\locked");
  files.AddFile("S\\busy.txt", "cannot open");
  files.MakeUnreadable("S\\busy.txt");
  files.AddFile("S\\cut.txt", "0123456789");
  files.FailReadsAfter("S\\cut.txt", 4);
  FilePackage package;
  ASSERT_TRUE(BuildPackage(files, "S", "u", 1, package));
  EXPECT_EQ(Entries(package), (std::vector<std::string>{"/", "\\locked/", "\\busy.txt=",
                                                        "\\cut.txt=0123"}));

  // A source folder that does not exist gives the root entry alone.
  ASSERT_TRUE(BuildPackage(files, "C:\\missing", "u", 1, package));
  EXPECT_EQ(Entries(package), std::vector<std::string>{"/"});
  EXPECT_EQ(package.data.size(), 264u);
}

TEST(BuildPackage, LinksAreLeftOutNotPackedAsEmptyFiles) {
  FakeFileAccess files;
  files.AddFolder("S");
  files.AddFile("S\\a.txt", "A");
  files.AddLink("S\\elsewhere");
  files.AddFile("S\\z.txt", "Z");
  FilePackage package;
  ASSERT_TRUE(BuildPackage(files, "S", "u", 1, package));
  EXPECT_EQ(Entries(package), (std::vector<std::string>{"/", "\\a.txt=A", "\\z.txt=Z"}));
}

TEST(BuildPackage, PathsTooLongForTheirFieldAreLeftOut) {
  FakeFileAccess files;
  files.AddFolder("S");
  const std::string longName(250, 'd');
  files.AddFolder("S\\" + longName);
  files.AddFile("S\\" + longName + "\\0123456789.txt", "x");  // 1 + 250 + 15 bytes
  files.AddFile("S\\" + longName + "\\a", "y");               // exactly 253 bytes
  FilePackage package;
  ASSERT_TRUE(BuildPackage(files, "S", "u", 1, package));
  EXPECT_EQ(Entries(package), (std::vector<std::string>{"/", "\\" + longName + "/",
                                                        "\\" + longName + "\\a=y"}));
}

TEST(ReplacePackage, ReplacesTheFirstPackageAndMovesItToTheEnd) {
  FakeFileAccess files;
  files.AddFolder("S");
  files.AddFile("S\\new.txt", "new");
  OperationBank bank;
  FilePackage old;
  old.questionId = 5;
  old.unpackFolder.Assign("old");
  bank.AppendPackage(std::move(old));
  FilePackage other;
  other.questionId = 6;
  bank.AppendPackage(std::move(other));

  ASSERT_TRUE(ReplacePackage(bank, files, "S", "c:\\new", 5));
  ASSERT_EQ(bank.packages().size(), 2u);
  EXPECT_EQ(bank.packages()[0].questionId, 6);
  EXPECT_EQ(bank.packages()[1].questionId, 5);
  EXPECT_EQ(bank.FindPackage(5)->unpackFolder.text(), "c:\\new");
  EXPECT_EQ(Entries(*bank.FindPackage(5)), (std::vector<std::string>{"/", "\\new.txt=new"}));
}

TEST(ReplacePackage, APackageBeyondTwoGigabytesIsRefusedAndTheOldOneStays) {
  FakeFileAccess files;
  files.AddFolder("S");
  files.AddFile("S\\a.bin", "a");
  files.AddFile("S\\huge.bin", "h");
  files.ReportSize("S\\huge.bin", INT32_MAX - 264 * 3 - 1 + 1);  // one byte too many
  OperationBank bank;
  FilePackage old;
  old.questionId = 5;
  old.unpackFolder.Assign("kept");
  bank.AppendPackage(std::move(old));
  EXPECT_FALSE(ReplacePackage(bank, files, "S", "u", 5));
  ASSERT_EQ(bank.packages().size(), 1u);
  EXPECT_EQ(bank.FindPackage(5)->unpackFolder.text(), "kept");

  // An empty source folder text is refused too, rather than packing a whole drive.
  EXPECT_FALSE(ReplacePackage(bank, files, "", "u", 5));
  EXPECT_EQ(bank.FindPackage(5)->unpackFolder.text(), "kept");

  // One byte less fits the limit exactly (the fake reports the size but holds one byte).
  files.ReportSize("S\\huge.bin", INT32_MAX - 264 * 3 - 1);
  FilePackage package;
  EXPECT_TRUE(BuildPackage(files, "S", "u", 5, package));
}

FilePackage PackageOf(const ByteImage& entries, int32_t count, const char* folder) {
  FilePackage package;
  package.questionId = 1;
  package.unpackFolder.Assign(folder);
  package.entryCount = count;
  package.data = entries.bytes();
  return package;
}

TEST(Unpack, CreatesMissingAncestorsOutermostFirstThenWritesFiles) {
  FakeFileAccess files;
  files.AddFolder("C:");
  ByteImage entries;
  test::CstEntry(entries, 1, "", "");
  test::CstEntry(entries, 0, "\\a.txt", "abc");
  test::CstEntry(entries, 1, "\\sub", "");
  test::CstEntry(entries, 0, "\\sub\\empty.txt", "");
  UnpackResult result = Unpack(files, PackageOf(entries, 4, "C:\\exam\\考生文件夹"));
  EXPECT_EQ(result.filesWritten, 2);
  EXPECT_EQ(result.entriesRefused, 0);
  EXPECT_EQ(files.folderAttempts(),
            (std::vector<std::string>{"C:", "C:\\exam", "C:\\exam\\考生文件夹", "C:",
                                      "C:\\exam", "C:\\exam\\考生文件夹",
                                      "C:\\exam\\考生文件夹\\sub"}));
  EXPECT_EQ(files.FileContent("C:\\exam\\考生文件夹\\a.txt"), "abc");
  EXPECT_EQ(files.FileContent("C:\\exam\\考生文件夹\\sub\\empty.txt"), "");
}

TEST(Unpack, OverwritesPackedFilesAndLeavesOthersAlone) {
  FakeFileAccess files;
  files.AddFolder("U");
  files.AddFile("U\\a.txt", "candidate's work");
  files.AddFile("U\\mine.txt", "stays");
  files.AddFile("U\\locked.txt", "old");
  files.MakeUnwritable("U\\locked.txt");
  ByteImage entries;
  test::CstEntry(entries, 1, "", "");
  test::CstEntry(entries, 0, "\\a.txt", "fresh");
  test::CstEntry(entries, 0, "\\locked.txt", "new");
  test::CstEntry(entries, 0, "\\b.txt", "b");
  UnpackResult result = Unpack(files, PackageOf(entries, 4, "U"));
  EXPECT_EQ(result.filesWritten, 2);
  EXPECT_EQ(result.filesFailed, 1);
  EXPECT_EQ(files.FileContent("U\\a.txt"), "fresh");
  EXPECT_EQ(files.FileContent("U\\mine.txt"), "stays");
  EXPECT_EQ(files.FileContent("U\\locked.txt"), "old");
  EXPECT_EQ(files.FileContent("U\\b.txt"), "b");
}

TEST(Unpack, HostileEntriesAreSkippedAndTheRestIsUnpacked) {
  FakeFileAccess files;
  files.AddFolder("C:");
  files.AddFolder("C:\\u");
  ByteImage entries;
  test::CstEntry(entries, 1, "", "");
  test::CstEntry(entries, 1, "\\..\\outside", "");
  test::CstEntry(entries, 0, "\\..\\..\\evil.txt", "x");
  test::CstEntry(entries, 0, "\\ok.txt", "ok");
  test::CstEntry(entries, 0, "\\sub\\..\\..\\evil2.txt", "x");
  test::CstEntry(entries, 0, "C:\\evil3.txt", "x");
  test::CstEntry(entries, 0, "\\\\server\\share\\evil4.txt", "x");
  test::CstEntry(entries, 0, "", "an unnamed file");
  test::CstEntry(entries, 0, "\\last.txt", "last");
  UnpackResult result = Unpack(files, PackageOf(entries, 9, "C:\\u"));
  EXPECT_EQ(result.entriesRefused, 6);
  EXPECT_EQ(result.filesWritten, 2);
  for (const std::string& path : files.writeAttempts()) {
    EXPECT_EQ(path.rfind("C:\\u\\", 0), 0u) << path;
  }
  for (const auto& [path, content] : files.files()) {
    EXPECT_EQ(path.rfind("C:\\u\\", 0), 0u) << path;
  }
  EXPECT_EQ(files.FileContent("C:\\u\\last.txt"), "last");
}

// Components that name the folder itself, and a folder ending in half a character, which
// would swallow the separator joined after it.
TEST(Unpack, NoEntryNamesTheFolderItselfOrSwallowsItsSeparator) {
  FakeFileAccess files;
  files.AddFolder("C:");
  files.AddFolder("C:\\jail");
  files.AddFile("C:\\jail\\report.txt", "keep");
  ByteImage entries;
  for (const char* path : {"\\.", "\\. .", "\\ ", "\\a\\.", "\\...\\b.txt"}) {
    test::CstEntry(entries, 0, path, "x");
  }
  UnpackResult result = Unpack(files, PackageOf(entries, 5, "C:\\jail\\report.txt"));
  EXPECT_EQ(result.entriesRefused, 5);
  EXPECT_TRUE(files.writeAttempts().empty());
  EXPECT_EQ(files.FileContent("C:\\jail\\report.txt"), "keep");

  ByteImage lone;
  test::CstEntry(lone, 1, "", "");
  test::CstEntry(lone, 0, "\\f.txt", "in");
  result = Unpack(files, PackageOf(lone, 2, "C:\\jail\\u\xB0"));
  EXPECT_EQ(result.filesWritten, 1);
  EXPECT_EQ(files.writeAttempts(), std::vector<std::string>{"C:\\jail\\u\\f.txt"});
}

TEST(Unpack, AnEmptyUnpackFolderUnpacksNothing) {
  FakeFileAccess files;
  ByteImage entries;
  test::CstEntry(entries, 1, "", "");
  test::CstEntry(entries, 0, "\\a.txt", "abc");
  UnpackResult result = Unpack(files, PackageOf(entries, 2, ""));
  EXPECT_EQ(result.entriesRefused, 2);
  EXPECT_TRUE(files.folderAttempts().empty());
  EXPECT_TRUE(files.writeAttempts().empty());
}

TEST(Unpack, PackingAndUnpackingGiveTheSameTree) {
  FakeFileAccess files;
  files.AddFolder("S");
  files.AddFolder("S\\文件夹");
  files.AddFile("S\\文件夹\\数据.xls", std::string(1000, '\xfe'));
  files.AddFile("S\\.hidden", "h");
  files.AddFolder("D");
  FilePackage package;
  ASSERT_TRUE(BuildPackage(files, "S", "D\\out", 1, package));
  Unpack(files, package);
  EXPECT_EQ(files.FileContent("D\\out\\文件夹\\数据.xls"), std::string(1000, '\xfe'));
  EXPECT_EQ(files.FileContent("D\\out\\.hidden"), "h");
  EXPECT_TRUE(files.IsFolder("D\\out\\文件夹"));
}

}  // namespace
}  // namespace velmor
