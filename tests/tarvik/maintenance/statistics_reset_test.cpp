#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "common/base/platform_file.h"
#include "tarvik/maintenance/statistics_reset.h"
#include "tarvik/model/question_bank.h"
#include "tests/support/test_files.h"
#include "tools/banktool/banktool.h"

namespace velmor {
namespace {

using test::Bytes;
using test::TempDir;

const char kHeader[] =
    "<html><head><title>日志文件</title></head><body>\r\n"
    "<font face=\"Arial\" size=\"4\" color=\"#000000\"><b><u>日志文件</u></b></font><br>\r\n";

std::string InfoLine(const std::string& path) {
  return "<font face=\"Arial\" size=\"2\" color=\"#000000\">处理库文件：" + path +
         "</font><br>\r\n";
}

std::string ReadErrorLine(const std::string& path) {
  return "<font face=\"Arial\" size=\"2\" color=\"#FF0000\"><b>读取库文件失败：" + path +
         "</b></font><br>\r\n";
}

std::string Join(const std::string& folder, const std::string& name) {
  return folder + kPathSeparator + name;
}

std::string ReadText(const std::string& path) {
  Bytes bytes = test::ReadFileBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

// A bank whose options carry both ticks and selection counts.
Bytes BankBytes(const TempDir& scratch) {
  QuestionBank bank;
  bank.SetTitle("期中测试");
  bank.AddCategory("第一章");
  bank.AddBigQuestion(0, 4, ContentBlock::WithPayload("stem", 4), 0, 0);
  bank.AddSmallQuestion(0, 0, "选哪个？", 1, 5);
  bank.AddOption(0, 0, 0, "甲", 2, 1, 1, 11);
  bank.AddOption(0, 0, 0, "乙", 0, 0, 1, 12);
  std::string path = scratch.File("model.lst");
  EXPECT_TRUE(bank.Save(path));
  return test::ReadFileBytes(path);
}

std::string Dump(const std::string& path) { return RunBanktool({"dump", path}).out; }

enum class Kind { kBank, kText, kNoCategories, kTruncated, kReadOnly };

struct TreeFile {
  const char* path;  // '/' between folders
  Kind kind;
};

// Every kind of file a teacher's folder holds, in nested folders.
const TreeFile kTree[] = {
    {"a.lst", Kind::kBank},           {"notes.txt", Kind::kText},
    {"zero.bin", Kind::kNoCategories}, {"cut.lst", Kind::kTruncated},
    {"locked.lst", Kind::kReadOnly},   {"sub/b.lst", Kind::kBank},
    {"sub/x&y.lst", Kind::kBank},      {"sub/deeper/c.dat", Kind::kBank},
};

std::string NativePath(const std::string& root, std::string relative) {
  for (char& c : relative) {
    if (c == '/') c = kPathSeparator;
  }
  return Join(root, relative);
}

// The tree of kTree in a fresh folder; remembers what each file held.
struct BankTree {
  explicit BankTree(const Bytes& bank) : root(Join(dir.path(), "banks")) {
    test::MakeFolder(Join(root, "empty"));
    for (const TreeFile& file : kTree) {
      std::string path = NativePath(root, file.path);
      test::MakeFolder(path.substr(0, path.rfind(kPathSeparator)));
      Bytes bytes = bank;
      if (file.kind == Kind::kText) bytes = Bytes{'h', 'e', 'l', 'l', 'o', '\n'};
      if (file.kind == Kind::kNoCategories) bytes = Bytes(400, 0);
      if (file.kind == Kind::kTruncated) bytes.resize(bank.size() / 2);
      test::WriteFileBytes(path, bytes);
      if (file.kind == Kind::kReadOnly) test::SetReadOnly(path, true);
      kinds.push_back(file.kind);
      before.push_back(bytes);
    }
  }

  // What one run writes after its header: the files in the order the folders list them, a
  // sub-folder's files where the sub-folder is listed.
  std::string ExpectedLines(const std::string& folder) const {
    std::string lines;
    for (const std::string& name : test::ListFolderAsListed(folder)) {
      std::string path = Join(folder, name);
      if (IsFolder(path)) {
        lines += ExpectedLines(path);
        continue;
      }
      lines += InfoLine(EscapeHtml(path));
      if (KindOf(path) != Kind::kBank) lines += ReadErrorLine(EscapeHtml(path));
    }
    return lines;
  }

  Kind KindOf(const std::string& path) const {
    for (std::size_t i = 0; i < kinds.size(); ++i) {
      if (NativePath(root, kTree[i].path) == path) return kinds[i];
    }
    ADD_FAILURE() << "unknown file " << path;
    return Kind::kText;
  }

  TempDir dir;
  std::string root;
  std::vector<Kind> kinds;
  std::vector<Bytes> before;
};

// Each reset, run twice through banktool: only real banks are written, and only the one
// field changes in them; everything else keeps its bytes; the log grows by a header and the
// same lines each run.
TEST(StatisticsReset, ResetsOnlyTheOneFieldOfRealBanksAndLogsEveryFile) {
  struct Case {
    const char* command;
    const char* field;  // the dump's name of the field set to 0
  };
  const Case kCases[] = {{"reset-counts", "selectCount"}, {"reset-ticks", "chosen"}};
  TempDir scratch;
  const Bytes bank = BankBytes(scratch);
  for (const Case& test : kCases) {
    SCOPED_TRACE(test.command);
    BankTree tree(bank);
    const std::string dumpBefore = Dump(NativePath(tree.root, "a.lst"));
    const std::string log = scratch.File(std::string(test.command) + ".htm");
    const std::string lines = tree.ExpectedLines(tree.root);
    for (int run = 0; run < 2; ++run) {
      BanktoolResult result = RunBanktool({test.command, tree.root, log});
      EXPECT_EQ(result.exitCode, 1);
      EXPECT_EQ(result.out, "files 8, errors 4\n");
    }
    EXPECT_EQ(ReadText(log), kHeader + lines + kHeader + lines);

    const std::string field = std::string("\"") + test.field + "\": ";
    const std::string dumpAfter =
        std::regex_replace(dumpBefore, std::regex(field + "[0-9]+"), field + "0");
    ASSERT_NE(dumpAfter, dumpBefore);
    for (std::size_t i = 0; i < std::size(kTree); ++i) {
      std::string path = NativePath(tree.root, kTree[i].path);
      SCOPED_TRACE(path);
      if (kTree[i].kind == Kind::kBank) {
        EXPECT_EQ(Dump(path), dumpAfter);
        EXPECT_EQ(test::ReadFileBytes(path).size(), bank.size());
      } else {
        EXPECT_EQ(test::ReadFileBytes(path), tree.before[i]);
      }
    }
  }
}

TEST(StatisticsReset, ACleanTreeExitsZeroAndAMissingFolderIsNoSuccess) {
  TempDir scratch;
  TempDir banks;
  test::WriteFileBytes(banks.File("one.lst"), BankBytes(scratch));
  BanktoolResult clean = RunBanktool({"reset-ticks", banks.path(), scratch.File("log.htm")});
  EXPECT_EQ(clean.exitCode, 0);
  EXPECT_EQ(clean.out, "files 1, errors 0\n");
  BanktoolResult missing =
      RunBanktool({"reset-counts", Join(banks.path(), "gone"), scratch.File("gone.htm")});
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_FALSE(test::FileExists(scratch.File("gone.htm")));
}

#ifndef _WIN32
// File names are the teacher's, and reach an HTML page: markup in them is written as text,
// and a path too long for the walk is reported cut on a character boundary, the walk going on.
TEST(StatisticsReset, MarkupInNamesIsEscapedAndLongPathsAreReportedCut) {
  TempDir scratch;
  Bytes bank = BankBytes(scratch);
  TempDir tree;
  std::string odd = tree.File("<b onclick=\"x\">&.lst");
  test::WriteFileBytes(odd, bank);
  // A folder whose path has an even length, so that a 255-byte cut would split a character.
  std::string folder = tree.path() + "/";
  folder += std::string(200 - folder.size() - 1, 'p');
  ASSERT_EQ((folder.size() + 1) % 2, 0u);
  test::MakeFolder(folder);
  std::string name;
  for (int i = 0; i < 40; ++i) name += "长";
  std::string longPath = folder + "/" + name + ".lst";
  test::WriteFileBytes(longPath, bank);

  ResetSummary summary = InitializeFolder(tree.path(), ResetOperation::kChoices, scratch.File("l"));
  EXPECT_EQ(summary.files, 1);
  EXPECT_EQ(summary.errors, 1);
  std::string log = ReadText(scratch.File("l"));
  EXPECT_NE(log.find(InfoLine(tree.path() + "/&lt;b onclick=&quot;x&quot;&gt;&amp;.lst")),
            std::string::npos);
  EXPECT_EQ(log.find("<b onclick"), std::string::npos);
  EXPECT_NE(log.find(ReadErrorLine(longPath.substr(0, 254))), std::string::npos) << log;
  EXPECT_EQ(test::ReadFileBytes(longPath), bank);
  EXPECT_NE(test::ReadFileBytes(odd), bank);  // the ticks were cleared
}
#endif

}  // namespace
}  // namespace velmor
