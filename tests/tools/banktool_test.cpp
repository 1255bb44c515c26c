#include <gtest/gtest.h>

#include "tarvik/model/question_bank.h"
#include "tests/support/test_files.h"
#include "tools/banktool/banktool.h"

namespace velmor {
namespace {

using test::TempDir;

std::string MakeBank(const TempDir& dir, const std::string& name) {
  QuestionBank bank;
  bank.SetTitle("期中测试");
  bank.SetKind(kKindChoice);
  bank.AddCategory("第一章 \"引号\"\\");
  bank.AddBigQuestion(0, 3, ContentBlock::WithPayload("stem", 4), -1, 2);
  bank.AddSmallQuestion(0, 0, "选哪个？", 1, 5);
  bank.AddOption(0, 0, 0, "甲", 2, 1, 1, 11);
  bank.AddOption(0, 0, 0, "乙\t", 0, 0, 0, 12);
  bank.AddSmallQuestion(0, 0, "多选", 0, 4);
  bank.AddOption(0, 0, 1, "x", 0, 1, 1, 0);
  bank.AddOption(0, 0, 1, "y", 0, 1, 0, 0);
  std::string path = dir.File(name);
  EXPECT_TRUE(bank.Save(path));
  return path;
}

TEST(Banktool, DumpPrintsTheWholeBankAsUtf8Json) {
  TempDir dir;
  std::string path = MakeBank(dir, "bank.lst");
  BanktoolResult result = RunBanktool({"dump", path});
  EXPECT_EQ(result.exitCode, 0);
  const char* expected =
      "{\n"
      "  \"kind\": 1,\n"
      "  \"title\": \"\xe6\x9c\x9f\xe4\xb8\xad\xe6\xb5\x8b\xe8\xaf\x95\",\n"
      "  \"categories\": [\n"
      "    {\n"
      "      \"name\": \"\xe7\xac\xac\xe4\xb8\x80\xe7\xab\xa0 \\\"\xe5\xbc\x95\xe5\x8f\xb7\\\"\\\\\",\n"
      "      \"questions\": [\n"
      "        {\n"
      "          \"id\": 3,\n"
      "          \"reservedA\": -1,\n"
      "          \"reservedB\": 2,\n"
      "          \"contentSize\": 8,\n"
      "          \"smallQuestions\": [\n"
      "            {\n"
      "              \"text\": \"\xe9\x80\x89\xe5\x93\xaa\xe4\xb8\xaa\xef\xbc\x9f\",\n"
      "              \"singleChoice\": 1,\n"
      "              \"score\": 5,\n"
      "              \"options\": [\n"
      "                {\n"
      "                  \"text\": \"\xe7\x94\xb2\",\n"
      "                  \"score\": 2,\n"
      "                  \"chosen\": 1,\n"
      "                  \"isAnswer\": 1,\n"
      "                  \"selectCount\": 11\n"
      "                },\n"
      "                {\n"
      "                  \"text\": \"\xe4\xb9\x99\\t\",\n"
      "                  \"score\": 0,\n"
      "                  \"chosen\": 0,\n"
      "                  \"isAnswer\": 0,\n"
      "                  \"selectCount\": 12\n"
      "                }\n"
      "              ]\n"
      "            },\n";
  EXPECT_EQ(result.out.substr(0, std::string(expected).size()), expected);
  EXPECT_NE(result.out.find("  \"trailerCount\": 0,\n  \"maxQuestionId\": 3,\n"
                            "  \"usedQuestionIds\": [\n    3\n  ]\n}\n"),
            std::string::npos)
      << result.out;
}

TEST(Banktool, ScoreAddsTheStoredTicks) {
  TempDir dir;
  std::string path = MakeBank(dir, "bank.lst");
  BanktoolResult result = RunBanktool({"score", path});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, "7\n");  // 5 for the single choice, 4 * 1 / 2 for the other
}

TEST(Banktool, ResaveReportsLoadAndSaveFailuresApart) {
  TempDir dir;
  std::string path = MakeBank(dir, "bank.lst");
  std::string copy = dir.File("copy.lst");
  EXPECT_EQ(RunBanktool({"resave", path, copy}).exitCode, 0);
  EXPECT_EQ(test::ReadFileBytes(copy), test::ReadFileBytes(path));

  // A cut file: what was read is still written.
  test::Bytes cut = test::ReadFileBytes(path);
  cut.resize(cut.size() - 3);
  std::string damaged = dir.File("cut.lst");
  test::WriteFileBytes(damaged, cut);
  std::string partial = dir.File("partial.lst");
  BanktoolResult result = RunBanktool({"resave", damaged, partial});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_FALSE(result.err.empty());
  QuestionBank reread;
  ASSERT_TRUE(reread.Load(partial));
  EXPECT_EQ(reread.FindSmallQuestion(0, 0, 1)->options.size(), 1u);

  EXPECT_EQ(RunBanktool({"resave", path, dir.File("missing/x.lst")}).exitCode, 2);
  EXPECT_EQ(RunBanktool({"dump", dir.File("missing.lst")}).exitCode, 1);
}

TEST(Banktool, WrongUsageSaysHow) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {}, {"dump"}, {"resave", "a"}, {"frobnicate", "a"}, {"score", "a", "b"}}) {
    BanktoolResult result = RunBanktool(args);
    EXPECT_EQ(result.exitCode, 64);
    EXPECT_NE(result.err.find("usage"), std::string::npos);
  }
}

}  // namespace
}  // namespace velmor
