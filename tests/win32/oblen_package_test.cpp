// Packing, unpacking and grading on the real Windows file system (under Wine here).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <tuple>
#include <windows.h>

#include <string>
#include <vector>

#include "oblen/editor/win32_file_access.h"
#include "oblen/model/grading.h"
#include "oblen/model/package_format.h"
#include "oblen/model/packing.h"
#include "tests/support/test_files.h"

namespace velmor {
namespace {

using test::Bytes;

// A name whose second byte is 0x5C, the backslash.
const std::string kTrailByteName = "\x95\x5c.txt";

void MakeFolder(const std::string& path) { ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr)); }

void WriteText(const std::string& path, const std::string& text) {
  test::WriteFileBytes(path, Bytes(text.begin(), text.end()));
}

std::string ReadText(const std::string& path) {
  Bytes bytes = test::ReadFileBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Names in the order the file system lists them, as FindFirstFileA gives them.
std::vector<std::string> Listing(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*.*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = found.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

std::vector<std::string> EntryPaths(const FilePackage& package) {
  std::vector<std::string> paths;
  PackageEntryReader reader(package.data);
  PackageEntry entry;
  while (reader.Next(entry)) paths.push_back(std::string(entry.relativePath));
  return paths;
}

class WindowsPackage : public ::testing::Test {
 protected:
  std::string Path(const std::string& relative) const { return dir.path() + "\\" + relative; }

  test::TempDir dir;
  Win32FileAccess files;
};

TEST_F(WindowsPackage, AFileAndAnEmptyFolderGiveThreeEntriesOf795Bytes) {
  MakeFolder(Path("src"));
  WriteText(Path("src\\a.txt"), "abc");
  MakeFolder(Path("src\\sub"));
  FilePackage package;
  ASSERT_TRUE(BuildPackage(files, Path("src"), "c:\\考生文件夹", 3, package));
  EXPECT_EQ(package.entryCount, 3);
  EXPECT_EQ(package.data.size(), 795u);
  std::vector<std::string> expected{""};
  for (const std::string& name : Listing(Path("src"))) expected.push_back("\\" + name);
  EXPECT_EQ(EntryPaths(package), expected);
}

TEST_F(WindowsPackage, PackedTreesUnpackIntoMissingParentsWithGbkNames) {
  MakeFolder(Path("src"));
  MakeFolder(Path("src\\文件夹"));
  MakeFolder(Path("src\\文件夹\\空"));
  WriteText(Path("src\\文件夹\\数据表.txt"), "表格内容");
  WriteText(Path("src\\" + kTrailByteName), "trail");
  WriteText(Path("src\\empty.txt"), "");
  WriteText(Path("src\\hidden.txt"), "h");
  SetFileAttributesA(Path("src\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  Bytes binary(70000);
  for (std::size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<unsigned char>(i * 7);
  test::WriteFileBytes(Path("src\\文件夹\\data.bin"), binary);

  FilePackage package;
  const std::string target = Path("a\\b\\考生文件夹");
  ASSERT_TRUE(BuildPackage(files, Path("src"), target, 1, package));
  EXPECT_EQ(package.entryCount, 8);

  UnpackResult result = Unpack(files, package);
  EXPECT_EQ(result.filesWritten, 5);
  EXPECT_EQ(result.filesFailed, 0);
  EXPECT_EQ(ReadText(target + "\\文件夹\\数据表.txt"), "表格内容");
  EXPECT_EQ(ReadText(target + "\\" + kTrailByteName), "trail");
  EXPECT_EQ(ReadText(target + "\\empty.txt"), "");
  EXPECT_EQ(ReadText(target + "\\hidden.txt"), "h");
  EXPECT_EQ(test::ReadFileBytes(target + "\\文件夹\\data.bin"), binary);
  DWORD attributes = GetFileAttributesA((target + "\\文件夹\\空").c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(WindowsPackage, UnpackingOverwritesPackedFilesAndLeavesOthersAlone) {
  MakeFolder(Path("src"));
  WriteText(Path("src\\a.txt"), "original");
  FilePackage package;
  ASSERT_TRUE(BuildPackage(files, Path("src"), Path("u"), 1, package));
  MakeFolder(Path("u"));
  WriteText(Path("u\\a.txt"), "the candidate's longer edit");
  WriteText(Path("u\\own.txt"), "stays");
  // A hidden copy is overwritten like any other (creating over it would be refused).
  SetFileAttributesA(Path("u\\a.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
  Unpack(files, package);
  EXPECT_EQ(ReadText(Path("u\\a.txt")), "original");
  SetFileAttributesA(Path("u\\a.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(ReadText(Path("u\\own.txt")), "stays");

  // A read-only file is skipped; the rest still lands.
  test::SetReadOnly(Path("u\\a.txt"), true);
  WriteText(Path("src\\b.txt"), "b");
  ASSERT_TRUE(BuildPackage(files, Path("src"), Path("u"), 1, package));
  WriteText(Path("u\\b.txt"), "old b");
  UnpackResult result = Unpack(files, package);
  EXPECT_EQ(result.filesFailed, 1);
  EXPECT_EQ(ReadText(Path("u\\b.txt")), "b");
}

TEST_F(WindowsPackage, FilesOpenElsewhereAreStillPacked) {
  MakeFolder(Path("src"));
  WriteText(Path("src\\open.doc"), "in use");
  HANDLE other = CreateFileA(Path("src\\open.doc").c_str(), GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(other, INVALID_HANDLE_VALUE);
  FilePackage package;
  ASSERT_TRUE(BuildPackage(files, Path("src"), Path("u"), 1, package));
  CloseHandle(other);
  EXPECT_EQ(package.data.size(), 264u * 2 + 6);
}

TEST_F(WindowsPackage, AMissingSourceGivesTheRootEntryAlone) {
  FilePackage package;
  ASSERT_TRUE(BuildPackage(files, Path("nothing here"), Path("u\\v"), 1, package));
  EXPECT_EQ(package.entryCount, 1);
  Unpack(files, package);
  EXPECT_TRUE(Exists(Path("u\\v")));
}

TEST_F(WindowsPackage, AHostilePackageWritesNothingOutsideItsFolder) {
  FilePackage package;
  package.unpackFolder.Assign(Path("jail\\u"));
  auto add = [&](unsigned char kind, const std::string& path, const std::string& content) {
    AppendEntryHead(package.data, kind, path, static_cast<int32_t>(content.size()));
    package.data.insert(package.data.end(), content.begin(), content.end());
    ++package.entryCount;
  };
  add(1, "", "");
  add(1, "\\..\\escaped", "");
  add(0, "\\..\\evil.txt", "x");
  add(0, "..\\..\\evil2.txt", "x");
  add(0, "\\sub\\..\\..\\evil3.txt", "x");
  add(0, "/../evil4.txt", "x");
  add(0, "\\. .\\evil5.txt", "x");
  add(0, Path("evil6.txt"), "x");  // an absolute path with a drive letter
  add(0, "\\ok.txt", "ok");
  UnpackResult result = Unpack(files, package);
  EXPECT_EQ(result.entriesRefused, 7);
  EXPECT_EQ(result.filesWritten, 1);
  EXPECT_EQ(ReadText(Path("jail\\u\\ok.txt")), "ok");
  EXPECT_EQ(Listing(Path("jail")), std::vector<std::string>{"u"});
  EXPECT_EQ(Listing(dir.path()), std::vector<std::string>{"jail"});
}

// Run in code page 936 and, by a second ctest entry, in 1252: containment must not rest on
// the GBK reading of the paths alone.
TEST_F(WindowsPackage, EntriesNamingTheFolderItselfAndALoneLeadByteStayInside) {
  ASSERT_TRUE(::CreateDirectoryA(Path("jail").c_str(), nullptr));
  WriteText(Path("jail\\report.txt"), "keep");
  FilePackage package;
  auto add = [&](FilePackage& to, unsigned char kind, const std::string& path,
                 const std::string& content) {
    AppendEntryHead(to.data, kind, path, static_cast<int32_t>(content.size()));
    to.data.insert(to.data.end(), content.begin(), content.end());
    ++to.entryCount;
  };
  package.unpackFolder.Assign(Path("jail\\report.txt"));
  add(package, 0, "\\.", "x");
  add(package, 0, "\\. .", "x");
  add(package, 0, "\\sub\\.", "x");
  add(package, 0, "\\ ", "x");
  UnpackResult result = Unpack(files, package);
  EXPECT_EQ(result.entriesRefused, 4);
  EXPECT_EQ(result.filesWritten, 0);
  EXPECT_EQ(ReadText(Path("jail\\report.txt")), "keep");

  FilePackage lone;  // the folder ends in the lead byte B0, which would swallow the "\\"
  lone.unpackFolder.Assign(Path("jail\\u") + "\xB0");
  add(lone, 1, "", "");
  add(lone, 0, "\\f.txt", "in");
  result = Unpack(files, lone);
  EXPECT_EQ(result.entriesRefused, 0);
  EXPECT_EQ(result.filesFailed, 0);
  EXPECT_EQ(result.filesWritten, 1);
  EXPECT_EQ(ReadText(Path("jail\\u\\f.txt")), "in");
  std::vector<std::string> names = Listing(Path("jail"));
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"report.txt", "u"}));
}

// Wine shows a link to a folder as a reparse point, as Windows shows a junction.
TEST_F(WindowsPackage, LinkedFoldersAreNeitherPackedNorWrittenThrough) {
  MakeFolder(Path("elsewhere"));
  WriteText(Path("elsewhere\\teacher.txt"), "keep");
  MakeFolder(Path("src"));
  WriteText(Path("src\\a.txt"), "abc");
  ASSERT_TRUE(test::MakeLink(Path("elsewhere"), Path("src\\linked")));
  FilePackage package;
  ASSERT_TRUE(BuildPackage(files, Path("src"), Path("jail"), 1, package));
  EXPECT_EQ(EntryPaths(package), (std::vector<std::string>{"", "\\a.txt"}));

  MakeFolder(Path("jail"));
  ASSERT_TRUE(test::MakeLink(Path("elsewhere"), Path("jail\\sub")));
  FilePackage planted;
  planted.unpackFolder.Assign(Path("jail"));
  for (auto [kind, path, content] : {std::tuple<unsigned char, const char*, const char*>{1, "\\sub\\x", ""},
                                     {0, "\\sub\\teacher.txt", "overwritten"},
                                     {0, "\\ok.txt", "in"}}) {
    AppendEntryHead(planted.data, kind, path, static_cast<int32_t>(std::strlen(content)));
    planted.data.insert(planted.data.end(), content, content + std::strlen(content));
    ++planted.entryCount;
  }
  UnpackResult result = Unpack(files, planted);
  EXPECT_EQ(result.entriesRefused, 2);
  EXPECT_EQ(result.filesWritten, 1);
  EXPECT_EQ(ReadText(Path("elsewhere\\teacher.txt")), "keep");
  EXPECT_FALSE(Exists(Path("elsewhere\\x")));
  EXPECT_EQ(ReadText(Path("jail\\ok.txt")), "in");
}

class WindowsGrading : public WindowsPackage {};

// Only the zero-byte rule makes these match: UTF-16 without a byte-order mark is no Unicode
// text to the conversion, and five zero bytes are an empty text only without their zeros.
TEST_F(WindowsGrading, RealFilesAreGradedWithoutTheirZeroBytes) {
  test::WriteFileBytes(Path("utf16.txt"), {'H', 0, 'e', 0, 'l', 0, 'l', 0, 'o', 0});
  EXPECT_TRUE(CheckRequirement(files, Requirement::Build("d", "", 1, Path("utf16.txt"), "hello")));
  test::WriteFileBytes(Path("zeros.bin"), Bytes(5, 0));
  EXPECT_TRUE(CheckRequirement(files, Requirement::Build("d", "", 1, Path("zeros.bin"), "")));
  EXPECT_FALSE(CheckRequirement(files, Requirement::Build("d", "", 1, Path("zeros.bin"), "?????")));
}

TEST_F(WindowsGrading, AMissingTargetIsCreatedEmptyAndNotMet) {
  EXPECT_FALSE(CheckRequirement(files, Requirement::Build("d", "", 1, Path("结果.txt"), "*")));
  EXPECT_TRUE(Exists(Path("结果.txt")));
  EXPECT_EQ(test::ReadFileBytes(Path("结果.txt")).size(), 0u);
  EXPECT_FALSE(CheckRequirement(files, Requirement::Build("d", "", 1, Path("no\\x.txt"), "*")));
  EXPECT_FALSE(Exists(Path("no")));
}

TEST_F(WindowsGrading, TheReportAddsTheScoresOfMetRequirements) {
  WriteText(Path("answer.txt"), "The Answer Is 42");
  OperationQuestion question;
  question.requirements.push_back(
      Requirement::Build("第一项", "没有问题", 10, Path("answer.txt"), "*question*"));
  question.requirements.push_back(
      Requirement::Build("第二项", "", 5, Path("answer.txt"), "the answer is ??"));
  question.requirements.push_back(
      Requirement::Build("第三项", "", -3, Path("answer.txt"), "*42"));
  EXPECT_EQ(GradeQuestion(files, question),
            "得分：2。\r\n\r\n各题得分情况如下：\r\n"
            "第一项错误[没有问题];\r\n第二项正确[+5];\r\n第三项正确[+-3];\r\n");
}

TEST(WindowsBankPath, DateDatLiesBesideTheProgram) {
  char module[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, module, MAX_PATH);
  ASSERT_GT(length, 0u);
  std::string expected(module, length);
  expected = expected.substr(0, expected.find_last_of('\\') + 1) + "Date.dat";
  EXPECT_EQ(DefaultBankPath(), expected);
}

}  // namespace
}  // namespace velmor
