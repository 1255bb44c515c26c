#include <gtest/gtest.h>

#include "oblen/model/operation_bank.h"
#include "tests/oblen/model/cst_images.h"
#include "tests/support/test_files.h"
#include "tools/banktool/banktool.h"

namespace velmor {
namespace {

using test::ByteImage;
using test::TempDir;

ByteImage SmallBank() {
  ByteImage image;
  test::CstHeader(image, 1, 1, 1, 1);
  test::CstGroup(image, "第一组", 1);
  test::CstQuestion(image, 4, 1, -2, 10, 1);
  test::CstRequirement(image, "保存", "没\"存\"", 10, 3, "c:\\k\\a.txt", "*abc*");
  test::CstTrailer(image, 1, 0xAA);
  ByteImage entries;
  test::CstEntry(entries, 1, "", "");
  test::CstEntry(entries, 0, "\\a.txt", "abc");
  test::CstPackage(image, static_cast<int32_t>(entries.size()), 4, "c:\\考生文件夹", 2);
  image.Raw(entries.bytes());
  return image;
}

TEST(BanktoolCst, DumpPrintsGroupsRequirementsTrailersAndPackages) {
  TempDir dir;
  // Told apart by the magic text, whatever the name says.
  std::string path = dir.File("bank.lst");
  test::WriteFileBytes(path, SmallBank().bytes());
  BanktoolResult result = RunBanktool({"dump", path});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  const std::string expected =
      "{\n"
      "  \"groups\": [\n"
      "    {\n"
      "      \"name\": \"\xe7\xac\xac\xe4\xb8\x80\xe7\xbb\x84\",\n"
      "      \"questions\": [\n"
      "        {\n"
      "          \"id\": 4,\n"
      "          \"reservedA\": 1,\n"
      "          \"reservedB\": -2,\n"
      "          \"descriptionSize\": 10,\n"
      "          \"unpackFolder\": \"c:\\\\\xe8\x80\x83\xe7\x94\x9f\xe6\x96\x87\xe4\xbb\xb6\xe5\xa4\xb9\",\n"
      "          \"requirements\": [\n"
      "            {\n"
      "              \"description\": \"\xe4\xbf\x9d\xe5\xad\x98\",\n"
      "              \"explanation\": \"\xe6\xb2\xa1\\\"\xe5\xad\x98\\\"\",\n"
      "              \"score\": 10,\n"
      "              \"category\": 3,\n"
      "              \"targetFile\": \"c:\\\\k\\\\a.txt\",\n"
      "              \"matchPattern\": \"*abc*\",\n"
      "              \"belowUnpackFolder\": false\n"
      "            }\n"
      "          ]\n"
      "        }\n"
      "      ]\n"
      "    }\n"
      "  ],\n"
      "  \"trailerCount\": 1,\n"
      "  \"packages\": [\n"
      "    {\n"
      "      \"questionId\": 4,\n"
      "      \"unpackFolder\": \"c:\\\\\xe8\x80\x83\xe7\x94\x9f\xe6\x96\x87\xe4\xbb\xb6\xe5\xa4\xb9\",\n"
      "      \"dataSize\": 531,\n"
      "      \"entries\": [\n"
      "        {\n"
      "          \"kind\": 1,\n"
      "          \"path\": \"\",\n"
      "          \"size\": 0\n"
      "        },\n"
      "        {\n"
      "          \"kind\": 0,\n"
      "          \"path\": \"\\\\a.txt\",\n"
      "          \"size\": 3\n"
      "        }\n"
      "      ]\n"
      "    }\n"
      "  ],\n"
      "  \"maxQuestionId\": 4,\n"
      "  \"usedQuestionIds\": [\n"
      "    4\n"
      "  ]\n"
      "}\n";
  EXPECT_EQ(result.out, expected);
}

TEST(BanktoolCst, ResaveWritesOperationBanksBackByteForByte) {
  TempDir dir;
  std::string path = dir.File("Date.dat");
  test::WriteFileBytes(path, SmallBank().bytes());
  std::string copy = dir.File("copy.cst");
  EXPECT_EQ(RunBanktool({"resave", path, copy}).exitCode, 0);
  EXPECT_EQ(test::ReadFileBytes(copy), SmallBank().bytes());

  // A file too short for its magic text is told by its extension; a cut bank still writes
  // what was read.
  std::string cut = dir.File("cut.cst");
  test::Bytes bytes = SmallBank().bytes();
  bytes.resize(10);
  test::WriteFileBytes(cut, bytes);
  std::string partial = dir.File("partial.cst");
  BanktoolResult result = RunBanktool({"resave", cut, partial});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(test::ReadFileBytes(partial).size(), 356u);
  EXPECT_EQ(test::ReadFileBytes(partial)[0], 'O');
}

TEST(BanktoolCst, MatchGradesAFileAgainstAPattern) {
  TempDir dir;
  std::string utf16 = dir.File("utf16.txt");
  test::WriteFileBytes(utf16, {'A', 0, 'b', 0, 'C', 0});
  std::string zeros = dir.File("zeros.bin");
  test::WriteFileBytes(zeros, test::Bytes(5, 0));
  std::string empty = dir.File("empty.txt");
  test::WriteFileBytes(empty, {});
  struct Case {
    std::string pattern;
    std::string path;
    int exitCode;
  };
  const Case cases[] = {
      {"abc", utf16, 0},   {"*B?", utf16, 0},  {"ab", utf16, 1},         {"*", zeros, 0},
      {"abc", zeros, 1},   {"*", empty, 1},    {"*", dir.File("none"), 2},
  };
  for (const Case& c : cases) {
    BanktoolResult result = RunBanktool({"match", c.pattern, c.path});
    EXPECT_EQ(result.exitCode, c.exitCode) << c.pattern << " " << c.path;
  }
  EXPECT_FALSE(test::FileExists(dir.File("none")));  // match never creates its file
  EXPECT_EQ(RunBanktool({"match", "x"}).exitCode, 64);
}

}  // namespace
}  // namespace velmor
