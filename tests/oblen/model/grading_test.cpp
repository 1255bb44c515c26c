#include <gtest/gtest.h>

#include "oblen/model/grading.h"
#include "tests/oblen/support/fake_file_access.h"

namespace velmor {
namespace {

using test::FakeFileAccess;

Requirement Req(const char* description, const char* target, const char* pattern,
                int32_t score = 1, const char* explanation = "") {
  return Requirement::Build(description, explanation, score, target, pattern);
}

class Grading : public ::testing::Test {
 protected:
  void SetUp() override {
    files.AddFolder("C:");
    files.AddFolder("C:\\u");
  }
  FakeFileAccess files;
};

TEST_F(Grading, ZeroBytesAreRemovedBeforeMatching) {
  // "Hello" stored as UTF-16 with a byte-order mark.
  files.AddFile("C:\\u\\utf16.txt", std::string("\xff\xfeH\0e\0l\0l\0o\0", 12));
  EXPECT_TRUE(CheckRequirement(files, Req("d", "C:\\u\\utf16.txt", "\xff\xfehello")));
  EXPECT_TRUE(CheckRequirement(files, Req("d", "C:\\u\\utf16.txt", "*HELLO")));

  files.AddFile("C:\\u\\zeros.bin", std::string(5, '\0'));
  EXPECT_TRUE(CheckRequirement(files, Req("d", "C:\\u\\zeros.bin", "*")));
  EXPECT_FALSE(CheckRequirement(files, Req("d", "C:\\u\\zeros.bin", "abc")));
  EXPECT_TRUE(CheckRequirement(files, Req("d", "C:\\u\\zeros.bin", "")));
}

TEST_F(Grading, RequirementsThatAreNeverMet) {
  files.AddFile("C:\\u\\a.txt", "abc");
  // No description: not met even though the file matches, and the file is not touched.
  EXPECT_FALSE(CheckRequirement(files, Req("", "C:\\u\\new.txt", "*")));
  EXPECT_FALSE(files.HasFile("C:\\u\\new.txt"));
  // An empty file is never met, not even by "*".
  files.AddFile("C:\\u\\empty.txt", "");
  EXPECT_FALSE(CheckRequirement(files, Req("d", "C:\\u\\empty.txt", "*")));
  // A file that cannot be opened, or not read to its end.
  files.MakeUnreadable("C:\\u\\a.txt");
  EXPECT_FALSE(CheckRequirement(files, Req("d", "C:\\u\\a.txt", "*")));
  files.AddFile("C:\\u\\cut.txt", "abcdef");
  files.FailReadsAfter("C:\\u\\cut.txt", 3);
  EXPECT_FALSE(CheckRequirement(files, Req("d", "C:\\u\\cut.txt", "abc*")));
}

TEST_F(Grading, AMissingTargetIsCreatedEmptyWhenItsFolderExists) {
  EXPECT_FALSE(CheckRequirement(files, Req("d", "C:\\u\\result.txt", "*")));
  EXPECT_TRUE(files.HasFile("C:\\u\\result.txt"));
  EXPECT_EQ(files.FileContent("C:\\u\\result.txt"), "");
  EXPECT_FALSE(CheckRequirement(files, Req("d", "C:\\nowhere\\result.txt", "*")));
  EXPECT_EQ(files.createdByReading(), std::vector<std::string>{"C:\\u\\result.txt"});
}

TEST_F(Grading, TheReportListsEveryRequirementInOrder) {
  files.AddFile("C:\\u\\a.txt", "the answer");
  OperationQuestion question;
  question.requirements.push_back(
      Req("第一项", "C:\\u\\a.txt", "*question*", 10, "没有找到"));
  question.requirements.push_back(Req("第二项", "C:\\u\\a.txt", "*ANSWER", 5));
  EXPECT_EQ(GradeQuestion(files, question),
            "得分：5。\r\n\r\n各题得分情况如下：\r\n"
            "第一项错误[没有找到];\r\n"
            "第二项正确[+5];\r\n");
}

TEST_F(Grading, NegativeScoresLowerTheTotal) {
  files.AddFile("C:\\u\\a.txt", "x");
  OperationQuestion question;
  question.requirements.push_back(Req("扣分", "C:\\u\\a.txt", "x", -3));
  EXPECT_EQ(GradeQuestion(files, question),
            "得分：-3。\r\n\r\n各题得分情况如下：\r\n扣分正确[+-3];\r\n");
}

TEST_F(Grading, AQuestionWithoutRequirementsScoresZero) {
  OperationQuestion question;
  EXPECT_EQ(GradeQuestion(files, question), "得分：0。\r\n\r\n各题得分情况如下：\r\n");
}

TEST_F(Grading, TotalsBeyondThe32BitRangeAreClamped) {
  files.AddFile("C:\\u\\a.txt", "x");
  OperationQuestion question;
  for (int i = 0; i < 3; ++i) question.requirements.push_back(Req("r", "C:\\u\\a.txt", "x", INT32_MAX));
  std::string report = GradeQuestion(files, question);
  EXPECT_EQ(report.rfind("得分：2147483647。", 0), 0u) << report;
}

// Files saved by today's editors: when the bytes do not match, UTF-16 with a byte-order mark
// and UTF-8 (marked, or valid with a multi-byte sequence) are matched once more as GBK.
TEST_F(Grading, UnicodeTextsOfTodaysEditorsAreMatchedAsGbk) {
  const std::string kGbk = "学校体育组 7";  // the pattern's encoding
  const std::string kUtf8 = "\xe5\xad\xa6\xe6\xa0\xa1\xe4\xbd\x93\xe8\x82\xb2\xe7\xbb\x84 7";
  const std::string kUtf16le("\x66\x5b\x21\x68\x53\x4f\xb2\x80\xc4\x7e\x20\x00\x37\x00", 14);
  std::string utf16be;
  for (std::size_t i = 0; i < kUtf16le.size(); i += 2) utf16be += {kUtf16le[i + 1], kUtf16le[i]};
  struct Case {
    const char* name;
    std::string content;
    const char* pattern;
    bool met;
  };
  const Case kCases[] = {
      {"GBK, by the bytes", kGbk, "*学校体育组*", true},
      {"UTF-8", kUtf8, "*学校体育组*", true},
      {"UTF-8 with its mark", "\xef\xbb\xbf" + kUtf8, "学校体育组 7", true},
      {"UTF-16 little-endian", "\xff\xfe" + kUtf16le, "学校体育组 7", true},
      {"UTF-16 big-endian", "\xfe\xff" + utf16be, "*育组 7", true},
      {"UTF-16 without a mark", kUtf16le, "*学校*", false},
      {"a character GBK lacks is one ?", "\xe6\xa0\xa1\xf0\x9f\x98\x80", "校?", true},
      {"broken UTF-8 is not converted", "\xe6\xa0\xa1\xff", "校*", false},
      {"marked broken UTF-8 is, with one ? a piece", "\xef\xbb\xbf\xe6\xa0\xa1\xff\xe6\xa0", "校??", true},
      {"a lone surrogate is one ?", std::string("\xff\xfe" "a\0\x00\xd8" "b\0", 8), "a?b", true},
      {"a pair is one ?", std::string("\xfe\xff\xd8\x3d\xde\x00\x00!", 8), "?!", true},
      {"the mark is no part of the text", "\xef\xbb\xbf\xe6\xa0\xa1", "校", true},
  };
  for (const Case& test : kCases) {
    SCOPED_TRACE(test.name);
    files.AddFile("C:\\u\\t.txt", test.content);
    EXPECT_EQ(CheckRequirement(files, Req("d", "C:\\u\\t.txt", test.pattern)), test.met);
  }
}

}  // namespace
}  // namespace velmor
