#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

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

// The lines of the log, with the path as the log spells it (written out by hand).
std::string InfoLine(const std::string& path) {
  return "<font face=\"Arial\" size=\"2\" color=\"#000000\">处理库文件：" + path +
         "</font><br>\r\n";
}

std::string ErrorLine(const std::string& message, const std::string& path) {
  return "<font face=\"Arial\" size=\"2\" color=\"#FF0000\"><b>" + message + path +
         "</b></font><br>\r\n";
}

std::string ReadErrorLine(const std::string& path) { return ErrorLine("读取库文件失败：", path); }

std::string NotAsReadLine(const std::string& path) {
  return ErrorLine("库文件无法按原样保存，未改动：", path);
}

std::string Join(const std::string& folder, const std::string& name) {
  return folder + kPathSeparator + name;
}

std::string ReadText(const std::string& path) {
  Bytes bytes = test::ReadFileBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

// A bank whose options carry both ticks and selection counts. With `twice`, a second big
// question whose file record repeats the first one's id.
Bytes BankBytes(const TempDir& scratch, bool twice = false) {
  QuestionBank bank;
  bank.SetTitle("期中测试");
  bank.AddCategory("第一章");
  bank.AddBigQuestion(0, 4, ContentBlock::WithPayload("stem", 4), 0, 0);
  bank.AddSmallQuestion(0, 0, "选哪个？", 1, 5);
  bank.AddOption(0, 0, 0, "甲", 2, 1, 1, 11);
  bank.AddOption(0, 0, 0, "乙", 0, 0, 1, 12);
  if (twice) bank.AddBigQuestion(0, 5, ContentBlock::WithPayload("stem", 4), 0, 0);
  std::string path = scratch.File("model.lst");
  EXPECT_TRUE(bank.Save(path));
  Bytes bytes = test::ReadFileBytes(path);
  if (twice) {
    // header 356, category 132, big question 20 + 8, small question 20 + 8 ("选哪个？"),
    // two options of 20 + 2: the second big question's id is at 588.
    const std::size_t second = 356 + 132 + 28 + 28 + 2 * 22;
    EXPECT_EQ(bytes.at(second), 5);
    bytes[second] = 4;
  }
  return bytes;
}

std::string Dump(const std::string& path) { return RunBanktool({"dump", path}).out; }

enum class Kind { kBank, kText, kNoCategories, kTruncated, kReadOnly, kTrailing, kRepeatedId };

struct TreeFile {
  const char* path;    // '/' between folders
  const char* logged;  // the same as the log spells it
  Kind kind;
};

// Every kind of file a teacher's folder holds, in nested folders.
const TreeFile kTree[] = {
    {"a.lst", "a.lst", Kind::kBank},
    {"notes.txt", "notes.txt", Kind::kText},
    {"zero.bin", "zero.bin", Kind::kNoCategories},
    {"cut.lst", "cut.lst", Kind::kTruncated},
    {"locked.lst", "locked.lst", Kind::kReadOnly},
    {"tail.lst", "tail.lst", Kind::kTrailing},
    {"twice.lst", "twice.lst", Kind::kRepeatedId},
    {"sub/b.lst", "sub/b.lst", Kind::kBank},
    {"sub/x&y.lst", "sub/x&amp;y.lst", Kind::kBank},
    {"sub/deeper/c.dat", "sub/deeper/c.dat", Kind::kBank},
};

std::string NativePath(const std::string& root, std::string relative) {
  for (char& c : relative) {
    if (c == '/') c = kPathSeparator;
  }
  return Join(root, relative);
}

// The tree of kTree in a fresh folder; remembers what each file held.
struct BankTree {
  BankTree(const Bytes& bank, const Bytes& repeatedId) : root(Join(dir.path(), "banks")) {
    test::MakeFolder(Join(root, "empty"));
    for (const TreeFile& file : kTree) {
      std::string path = NativePath(root, file.path);
      test::MakeFolder(path.substr(0, path.rfind(kPathSeparator)));
      Bytes bytes = file.kind == Kind::kRepeatedId ? repeatedId : bank;
      if (file.kind == Kind::kText) bytes = Bytes{'h', 'e', 'l', 'l', 'o', '\n'};
      if (file.kind == Kind::kNoCategories) bytes = Bytes(400, 0);
      if (file.kind == Kind::kTruncated) bytes.resize(bank.size() / 2);
      if (file.kind == Kind::kTrailing) bytes.insert(bytes.end(), {'x', 'y', 'z'});
      test::WriteFileBytes(path, bytes);
      if (file.kind == Kind::kReadOnly) test::SetReadOnly(path, true);
      before.push_back(bytes);
    }
  }

  // What one run writes after its header: the files in the order the folders list them, a
  // sub-folder's files where the sub-folder is listed; `skipped` is not in the tree.
  std::string ExpectedLines(const std::string& folder, const std::string& skipped) const {
    std::string lines;
    for (const std::string& name : test::ListFolderAsListed(folder)) {
      std::string path = Join(folder, name);
      if (IsFolder(path)) {
        lines += ExpectedLines(path, skipped);
        continue;
      }
      if (name == skipped) continue;
      const TreeFile& file = FileAt(path);
      const std::string logged = NativePath(root, file.logged);
      lines += InfoLine(logged);
      if (file.kind == Kind::kTrailing || file.kind == Kind::kRepeatedId) {
        lines += NotAsReadLine(logged);
      } else if (file.kind != Kind::kBank) {
        lines += ReadErrorLine(logged);
      }
    }
    return lines;
  }

  const TreeFile& FileAt(const std::string& path) const {
    for (const TreeFile& file : kTree) {
      if (NativePath(root, file.path) == path) return file;
    }
    ADD_FAILURE() << "unknown file " << path;
    return kTree[0];
  }

  TempDir dir;
  std::string root;
  std::vector<Bytes> before;
};

// Each reset, run twice through banktool: only banks that save back exactly as they were read
// are written, and only the one field changes in them; everything else keeps its bytes; the
// log grows by a header and the same lines each run. A log kept in the folder is not taken
// for one of its files.
TEST(StatisticsReset, ResetsOnlyTheOneFieldOfRealBanksAndLogsEveryFile) {
  struct Case {
    const char* command;
    const char* field;  // the dump's name of the field set to 0
    bool logInTree;
  };
  const Case kCases[] = {{"reset-counts", "selectCount", false}, {"reset-ticks", "chosen", true}};
  TempDir scratch;
  const Bytes bank = BankBytes(scratch);
  const Bytes repeatedId = BankBytes(scratch, true);
  for (const Case& test : kCases) {
    SCOPED_TRACE(test.command);
    BankTree tree(bank, repeatedId);
    ASSERT_EQ(tree.root.find_first_of("&<>\""), std::string::npos);
    const std::string dumpBefore = Dump(NativePath(tree.root, "a.lst"));
    const std::string log =
        test.logInTree ? Join(tree.root, "log.htm") : scratch.File(std::string(test.command) + ".htm");
    const std::string lines = tree.ExpectedLines(tree.root, "log.htm");
    for (int run = 0; run < 2; ++run) {
      BanktoolResult result = RunBanktool({test.command, tree.root, log});
      EXPECT_EQ(result.exitCode, 1);
      EXPECT_EQ(result.out, "files 10, errors 6, links 0, left alone 2\n");
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

// The exit status tells a script whether everything was reset, and a log that cannot be
// written stops the run before anything has changed.
TEST(StatisticsReset, TheExitTellsWhetherEverythingWasDoneAndLogged) {
  TempDir scratch;
  TempDir banks;
  const Bytes bank = BankBytes(scratch);
  const std::string one = banks.File("one.lst");
  test::WriteFileBytes(one, bank);
  BanktoolResult clean = RunBanktool({"reset-ticks", banks.path(), scratch.File("log.htm")});
  EXPECT_EQ(clean.exitCode, 0);
  EXPECT_EQ(clean.out, "files 1, errors 0, links 0, left alone 0\n");
  const Bytes afterTicks = test::ReadFileBytes(one);
  ASSERT_NE(afterTicks, bank);

  BanktoolResult missing =
      RunBanktool({"reset-counts", Join(banks.path(), "gone"), scratch.File("gone.htm")});
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_FALSE(test::FileExists(scratch.File("gone.htm")));

  const std::string unwritable = Join(scratch.File("no-such-folder"), "log.htm");
  BanktoolResult noLog = RunBanktool({"reset-counts", banks.path(), unwritable});
  EXPECT_EQ(noLog.exitCode, 1);
  EXPECT_EQ(noLog.out, "");
  EXPECT_NE(noLog.err.find("could not write the log " + unwritable), std::string::npos) << noLog.err;
  EXPECT_EQ(test::ReadFileBytes(one), afterTicks);  // the counts are still there

  // A log that stops taking lines half-way is counted, line by line.
  CBase log;
  log.SetFileName(scratch.File("started.htm"));
  ASSERT_TRUE(log.StartLog());
  log.SetFileName(unwritable);
  EXPECT_EQ(InitializeBankFile(one, ResetOperation::kSelectCounts, log), FileOutcome::kReset);
  EXPECT_EQ(log.lostLines(), 1);
}

// The log is a GBK page whatever the file system holds: each path is written in GBK, a
// character GBK lacks as a character reference, markup as text; a path too long for the walk
// is reported cut on a character boundary, and the walk goes on.
TEST(StatisticsReset, PathsAreWrittenInTheLogsOwnEncoding) {
  struct Name {
    std::string created;  // as the file system holds it
    std::string logged;   // as the log writes it (GBK)
  };
  const std::vector<Name> kNames = {
#ifdef _WIN32
      {"说明.txt", "说明.txt"},
#else
      {u8"说明.txt", "说明.txt"},
      {u8"\U0001F600\u00E9.txt", "&#x1F600;\xA8\xA6.txt"},  // é is in GBK, the face is not
      {"\xB3\xA4\xFF.txt", "\xB3\xA4&#xFFFD;.txt"},            // GBK from a Windows archive
      {"<b onclick=\"x\">&.txt", "&lt;b onclick=&quot;x&quot;&gt;&amp;.txt"},
#endif
  };
  TempDir scratch;
  TempDir tree;
  ASSERT_EQ(tree.path().find_first_of("&<>\""), std::string::npos);
  for (const Name& name : kNames) test::WriteFileBytes(tree.File(name.created), Bytes{'h', 'i'});
#ifndef _WIN32
  // Paths past 255 bytes, in UTF-8 and in GBK: a folder whose path has an even length, so that
  // a 255-byte cut would split a character.
  std::string folder = tree.path() + "/";
  folder += std::string(200 - folder.size() - 1, 'p');
  ASSERT_EQ((folder.size() + 1) % 2, 0u);
  test::MakeFolder(folder);
  std::string utf8Name, gbkName;
  for (int i = 0; i < 40; ++i) {
    utf8Name += u8"长";
    gbkName += "长";
  }
  // As many whole characters as 255 bytes hold, three bytes each in UTF-8, then in GBK.
  std::string utf8Logged = folder + "/";
  const std::size_t whole = (255 - utf8Logged.size()) / 3;
  for (std::size_t i = 0; i < whole; ++i) utf8Logged += "长";
  test::WriteFileBytes(folder + "/" + utf8Name + ".lst", BankBytes(scratch));
  const std::string gbkPath = folder + "/" + gbkName + ".lst";
  test::WriteFileBytes(gbkPath, BankBytes(scratch));
#endif

  ResetSummary summary = InitializeFolder(tree.path(), ResetOperation::kChoices, scratch.File("l"));
  EXPECT_EQ(summary.files, static_cast<int>(kNames.size()));
  const std::string log = ReadText(scratch.File("l"));
  for (const Name& name : kNames) {
    SCOPED_TRACE(name.logged);
    EXPECT_NE(log.find(InfoLine(Join(tree.path(), name.logged))), std::string::npos) << log;
  }
  EXPECT_EQ(log.find("<b onclick"), std::string::npos);
#ifndef _WIN32
  EXPECT_NE(log.find(ReadErrorLine(utf8Logged)), std::string::npos) << log;
  EXPECT_NE(log.find(ReadErrorLine(gbkPath.substr(0, 254))), std::string::npos) << log;
  EXPECT_EQ(summary.errors, static_cast<int>(kNames.size()) + 2);
  EXPECT_EQ(test::ReadFileBytes(gbkPath), BankBytes(scratch));
#endif
}

#ifndef _WIN32
// A link in the tree is neither followed nor replaced by a plain file: the bank it leads to
// keeps its counts, and the link is reported.
TEST(StatisticsReset, LinksAreLeftAsTheyAreAndReported) {
  TempDir scratch;
  TempDir top;
  const Bytes bank = BankBytes(scratch);
  const std::string tree = top.File("banks");
  test::MakeFolder(tree);
  test::MakeFolder(top.File("elsewhere"));
  test::WriteFileBytes(top.File("elsewhere/real.lst"), bank);
  ASSERT_EQ(::symlink("../elsewhere/real.lst", (tree + "/link.lst").c_str()), 0);
  ASSERT_EQ(::symlink("../elsewhere", (tree + "/folder").c_str()), 0);

  BanktoolResult result = RunBanktool({"reset-counts", tree, scratch.File("log.htm")});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out, "files 0, errors 2, links 2, left alone 0\n");
  const std::string log = ReadText(scratch.File("log.htm"));
  for (const char* name : {"link.lst", "folder"}) {
    SCOPED_TRACE(name);
    const std::string path = tree + "/" + name;
    EXPECT_NE(log.find(ErrorLine("链接不处理，未改动：", path)), std::string::npos) << log;
    struct stat status;
    ASSERT_EQ(::lstat(path.c_str(), &status), 0);
    EXPECT_TRUE(S_ISLNK(status.st_mode));
  }
  EXPECT_EQ(test::ReadFileBytes(top.File("elsewhere/real.lst")), bank);
}
#endif

}  // namespace
}  // namespace velmor
