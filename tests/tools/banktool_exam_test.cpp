#include <gtest/gtest.h>

#include "common/richtext/rich_content.h"
#include "oblen/model/operation_bank.h"
#include "oblen/model/package_format.h"
#include "tests/support/test_files.h"
#include "tools/banktool/banktool.h"
#include "tools/banktool/exam_commands.h"
#include "common/base/text_encoding.h"

namespace velmor {
namespace {

using test::Bytes;
using test::TempDir;

// No such folder on any machine that runs the tests: grading without --root finds nothing there.
const char kFolder[] = "c:\\无此考生文件夹";

// A name of the bank (GBK) as this system spells it.
std::string Native(const std::string& gbk) {
#ifdef _WIN32
  return gbk;
#else
  return GbkToUtf8(gbk);
#endif
}

// A native path as the bank would store it.
std::string Stored(std::string native) {
#ifndef _WIN32
  for (char& c : native) {
    if (c == '/') c = '\\';
  }
#endif
  return native;
}

Bytes Text(std::string_view text) { return Bytes(text.begin(), text.end()); }

struct Entry {
  unsigned char kind;
  std::string path;
  std::string content;
};

// Question `id` in a bank of its own, with its requirements and a package of `entries`.
void WriteBank(const std::string& path, int32_t id, const std::vector<Requirement>& requirements,
               const std::vector<Entry>& entries) {
  OperationBank bank;
  bank.AddGroup("第一组");
  ASSERT_TRUE(bank.AddQuestion(id, 0, BuildRichContent(0, "", {}, {}), 0, 0));
  for (const Requirement& requirement : requirements) {
    ASSERT_TRUE(bank.AddRequirement(0, 0, requirement));
  }
  FilePackage package;
  package.questionId = id;
  package.unpackFolder.Assign(kFolder);
  for (const Entry& entry : entries) {
    AppendEntryHead(package.data, entry.kind, entry.path, static_cast<int32_t>(entry.content.size()));
    package.data.insert(package.data.end(), entry.content.begin(), entry.content.end());
    ++package.entryCount;
  }
  bank.AppendPackage(std::move(package));
  ASSERT_TRUE(bank.Save(path));
}

Requirement Want(std::string_view description, int32_t score, const std::string& target,
                 std::string_view pattern) {
  return Requirement::Build(description, "改正", score, target, pattern);
}

TEST(BanktoolExam, PlacesTargetsAgainstTheUnpackFolder) {
  struct Case {
    const char* folder;
    const char* target;
    Placement placement;
    const char* relative;
  } cases[] = {
      {"c:\\考生文件夹", "C:\\考生文件夹\\Sub\\a.txt", Placement::kBelow, "Sub\\a.txt"},
      {"c:\\考生文件夹\\\\", "c:/考生文件夹//a.txt", Placement::kBelow, "a.txt"},
      {"c:\\考生文件夹", "c:\\考生文件夹2\\a.txt", Placement::kOutside, ""},
      {"c:\\考生文件夹", "c:\\考生文件夹", Placement::kOutside, ""},
      {"c:\\考生文件夹", "c:\\考生文件夹\\", Placement::kUnsafe, ""},
      {"c:\\考生文件夹", "c:\\考生文件夹\\..\\secret.txt", Placement::kUnsafe, ""},
      {"c:\\考生文件夹", "c:\\考生文件夹\\a\\. .\\b.txt", Placement::kUnsafe, ""},
      {"", "c:\\a.txt", Placement::kOutside, ""},
      // The trail byte 0x5C of 昞 is no separator, and the lead bytes are not folded.
      {"c:\\\x95\x5c", "c:\\\x95\x5c\\a.txt", Placement::kBelow, "a.txt"},
      {"c:\\\x95\x5c", "c:\\\x95\x7c\\a.txt", Placement::kOutside, ""},
      {"c:\\a\x95", "c:\\A\x95\\a.txt", Placement::kBelow, "a.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.folder) + " | " + c.target);
    std::string relative;
    EXPECT_EQ(PlaceBelow(c.folder, c.target, &relative), c.placement);
    if (c.placement == Placement::kBelow) {
      EXPECT_EQ(relative, c.relative);
    }
  }
}

// One candidate folder graded with --root: GBK, UTF-8 and UTF-16 targets, a negative score, an
// empty description, a missing target, a target outside the unpack folder and one that would
// climb out of the candidate folder.
TEST(BanktoolExam, GradesACandidateFolderAsTheProgramWould) {
  TempDir dir;
  const std::string bank = dir.File("bank.cst");
  const std::string candidate = dir.File("cand");
  test::MakeFolder(dir.File("cand/sub"));
  test::WriteFileBytes(dir.File("cand/" + Native("通知.txt")), Text("关于举行秋季运动会的通知"));
  test::WriteFileBytes(dir.File("cand/u8.txt"), Text("\xEF\xBB\xBF" "\xE6\x88\xAA\xE6\xAD\xA2"));  // 截止
  test::WriteFileBytes(dir.File("cand/sub/u16.txt"),
                       Bytes{0xFF, 0xFE, 0x3D, 0x84, 0x3E, 0x6B});  // 落款
  test::WriteFileBytes(dir.File("cand/bad.txt"), Text("x"));
  test::WriteFileBytes(dir.File("secret.txt"), Text("secret"));
  test::WriteFileBytes(dir.File("outside.txt"), Text("outside"));
  const std::string folder = kFolder;
  WriteBank(bank, 7,
            {Want("标题", 5, folder + "\\通知.txt", "*运动会*"),
             Want("截止", 4, "C:\\无此考生文件夹\\u8.txt", "*截止*"),
             Want("落款", 3, folder + "\\sub\\u16.txt", "*落款*"),
             Want("扣分", -3, folder + "\\bad.txt", "x"),
             Want("缺", 2, folder + "\\missing.txt", "*"),
             Want("", 9, folder + "\\bad.txt", "*"),
             Want("外面", 1, Stored(dir.File("outside.txt")), "outside"),
             Want("不对", 6, folder + "\\通知.txt", "*nothing*"),
             Want("越界", 8, folder + "\\..\\secret.txt", "secret")},
            {});

  BanktoolResult result = RunBanktool({"grade", bank, "7", "--root", candidate});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, GbkToUtf8("得分：10。\r\n\r\n各题得分情况如下：\r\n"
                                  "标题正确[+5];\r\n截止正确[+4];\r\n落款正确[+3];\r\n"
                                  "扣分正确[+-3];\r\n缺错误[改正];\r\n错误[改正];\r\n"
                                  "外面正确[+1];\r\n不对错误[改正];\r\n越界错误[改正];\r\n") +
                            "total 10\r\n");
  EXPECT_FALSE(test::FileExists(dir.File("cand/missing.txt"))) << "grading created a file";

  // Without --root the stored places are read; none of them is there.
  result = RunBanktool({"grade", bank, "7"});
  EXPECT_EQ(result.out.substr(result.out.size() - 9), "total 1\r\n");
}

TEST(BanktoolExam, GradesAClassIntoATableAndAScoreSheet) {
  TempDir dir;
  const std::string bank = dir.File("bank.cst");
  const std::string folder = kFolder;
  WriteBank(bank, 3,
            {Want("标题", 5, folder + "\\a.txt", "*ok*"),
             Want("=危险,\"引号\"", -3, folder + "\\b.txt", "*ok*")},
            {});
  test::MakeFolder(dir.File("one"));
  test::MakeFolder(dir.File("two"));
  test::WriteFileBytes(dir.File("one/a.txt"), Text("ok"));
  test::WriteFileBytes(dir.File("two/a.txt"), Text("ok"));
  test::WriteFileBytes(dir.File("two/b.txt"), Text("ok"));
  const std::string one = dir.File("one"), two = dir.File("two"), gone = dir.File("gone");
  const std::string sheet = dir.File("sheet.csv");

  BanktoolResult result = RunBanktool({"grade-all", bank, "3", one, "--csv", sheet, two, gone});
  EXPECT_EQ(result.exitCode, 1) << "a missing folder is told";
  EXPECT_NE(result.err.find("gone: no such folder"), std::string::npos) << result.err;
  EXPECT_EQ(result.out, "folder\ttotal\tR1\tR2\n" + one + "\t5\t1\t0\n" + two + "\t2\t1\t1\n" +
                            gone + "\t0\t0\t0\tno such folder\nshare met\t\t66.7%\t33.3%\n");
  const std::string csv = "\xEF\xBB\xBF" "folder,total," + GbkToUtf8("标题") + " (5),\"'" +
                          GbkToUtf8("=危险,\"\"引号\"\"") + " (-3)\",note\r\n" + one +
                          ",5,1,0,\r\n" + two + ",2,1,1,\r\n" + gone +
                          ",0,0,0,no such folder\r\nshare met,,66.7%,33.3%,\r\n";
  Bytes written = test::ReadFileBytes(sheet);
  EXPECT_EQ(std::string(written.begin(), written.end()), csv);

  // A score sheet that cannot be written is an error, the table is still printed.
  result = RunBanktool({"grade-all", bank, "3", one, "--csv", dir.File("none/sheet.csv")});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_EQ(result.out.substr(0, 6), "folder");
}

// An exam: a column per question in the order asked, then every requirement, then each one's
// facility and, for ten candidates or more, its discrimination. A question with requirements
// but no package cannot be graded from a candidate folder: "all" leaves it out and says so.
TEST(BanktoolExam, GradesAWholeExamIntoOneSheet) {
  TempDir dir;
  const std::string bank = dir.File("exam.cst");
  const std::string folder = kFolder;
  {
    OperationBank exam;
    exam.AddGroup("第一组");
    const std::vector<std::pair<int32_t, std::vector<Requirement>>> questions = {
        {3, {Want("a", 5, folder + "\\a.txt", "*ok*")}},
        {7, {Want("b", 2, folder + "\\b.txt", "*ok*"), Want("c", 1, folder + "\\c.txt", "*yes*")}},
        {9, {Want("d", 1, folder + "\\d.txt", "*")}},
        {11, {}}};
    for (const auto& [id, requirements] : questions) {
      ASSERT_TRUE(exam.AddQuestion(id, 0, BuildRichContent(0, "", {}, {}), 0, 0));
      for (const Requirement& requirement : requirements) {
        ASSERT_TRUE(exam.AddRequirement(0, static_cast<int>(exam.groups()[0].questions.size()) - 1, requirement));
      }
      if (id == 9) continue;
      FilePackage package;
      package.questionId = id;
      package.unpackFolder.Assign(kFolder);
      exam.AppendPackage(std::move(package));
    }
    ASSERT_TRUE(exam.Save(bank));
  }
  const std::string one = dir.File("one"), two = dir.File("two"), gone = dir.File("gone");
  test::MakeFolder(one);
  test::MakeFolder(two);
  test::WriteFileBytes(dir.File("one/a.txt"), Text("ok"));
  test::WriteFileBytes(dir.File("one/b.txt"), Text("ok"));
  test::WriteFileBytes(dir.File("two/b.txt"), Text("ok"));
  test::WriteFileBytes(dir.File("two/c.txt"), Text("yes"));
  const std::string sheet = dir.File("sheet.csv");
  const std::string report = dir.File("report.html");

  BanktoolResult result = RunBanktool({"grade-all", bank, "all", one, two, gone, "--csv", sheet, "--report", report});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("question 9 has no package; left out"), std::string::npos) << result.err;
  EXPECT_EQ(result.out, "folder\ttotal\tQ3\tQ7\tQ3 R1\tQ7 R1\tQ7 R2\n" + one + "\t7\t5\t2\t1\t1\t0\n" + two +
                            "\t3\t0\t3\t0\t1\t1\n" + gone +
                            "\t0\t0\t0\t0\t0\t0\tno such folder\nfacility\t\t0.50\t0.83\t0.50\t1.00\t0.50\n"
                            "discrimination\t\t\t\t\t\t\n");
  const Bytes written = test::ReadFileBytes(sheet);
  EXPECT_EQ(std::string(written.begin(), written.end()),
            "\xEF\xBB\xBF" "folder,total,Q3,Q7,Q3 R1,Q7 R1,Q7 R2,note\r\n" + one + ",7,5,2,1,1,0,\r\n" + two +
                ",3,0,3,0,1,1,\r\n" + gone +
                ",0,0,0,0,0,0,no such folder\r\nfacility,,0.50,0.83,0.50,1.00,0.50,\r\ndiscrimination,,,,,,,\r\n");
  const Bytes page = test::ReadFileBytes(report);
  const std::string html(page.begin(), page.end());
  for (const char* figure : {"id=\"candidates\">2<", "id=\"mean\">5.0<", "id=\"median\">5.0<",
                             "id=\"highest\">7<", "id=\"lowest\">3<", "id=\"full-marks\">0<", "id=\"too-small\""}) {
    EXPECT_NE(html.find(figure), std::string::npos) << figure;
  }

  // Ids in the order asked; one that is missing or has no package stops the command.
  result = RunBanktool({"grade-all", bank, "7,3", one});
  EXPECT_EQ(result.out.substr(0, result.out.find('\n')), "folder\ttotal\tQ7\tQ3\tQ7 R1\tQ7 R2\tQ3 R1");
  for (const char* ids : {"7,9", "7,5"}) {
    EXPECT_EQ(RunBanktool({"grade-all", bank, ids, one}).exitCode, 2) << ids;
  }
  EXPECT_EQ(RunBanktool({"grade-all", bank, "7,x", one}).exitCode, 64);
}

// Hostile candidate folders in one class: links to a neighbour's file or folder and to the
// teacher's files are never followed; names in another ASCII case are found as Windows finds
// them. Under Wine only folder links can be made (it follows a link to a file as the file).
TEST(BanktoolExam, CandidatesCannotBorrowWorkThroughLinks) {
  TempDir dir;
  const std::string bank = dir.File("bank.cst");
  const std::string folder = kFolder;
  WriteBank(bank, 2,
            {Want("成绩表", 5, folder + "\\成绩表.csv", "*ok*"),
             Want("说明", 3, folder + "\\作业\\说明.txt", "*ok*")},
            {});
  const std::string sheet = Native("成绩表.csv"), work = Native("作业"), note = Native("说明.txt");
  auto file = [&](const std::string& path, const char* text) {
    test::WriteFileBytes(dir.File(path), Text(text));
  };
  test::MakeFolder(dir.File("teacher"));
  file("teacher/" + Native("答案.txt"), "ok");
  test::MakeFolder(dir.File("zhang/" + work));
  file("zhang/" + sheet, "ok");
  file("zhang/" + work + "/" + note, "ok");
  test::MakeFolder(dir.File("mixed/" + work));
  file("mixed/" + Native("成绩表.CSV"), "ok");
  file("mixed/" + work + "/" + Native("说明.TXT"), "ok");
  test::MakeFolder(dir.File("folderlink"));
  ASSERT_TRUE(test::MakeLink(dir.File("zhang/" + work), dir.File("folderlink/" + work)));

  struct Candidate {
    const char* name;
    const char* row;  // after the folder
  };
  std::vector<Candidate> candidates = {
      {"zhang", "\t8\t1\t1\n"},
      {"mixed", "\t8\t1\t1\n"},
      {"folderlink", "\t0\t0\t0\tnot followed, a link: 作业\\说明.txt\n"},
  };
#ifndef _WIN32
  test::MakeFolder(dir.File("filelink"));
  ASSERT_TRUE(test::MakeLink(dir.File("zhang/" + sheet), dir.File("filelink/" + sheet)));
  test::MakeFolder(dir.File("teacherlink/" + work));
  ASSERT_TRUE(test::MakeLink(dir.File("teacher/" + Native("答案.txt")), dir.File("teacherlink/" + sheet)));
  file("teacherlink/" + work + "/" + note, "ok");
  candidates.push_back({"filelink", "\t0\t0\t0\tnot followed, a link: 成绩表.csv\n"});
  candidates.push_back({"teacherlink", "\t3\t0\t1\tnot followed, a link: 成绩表.csv\n"});
#endif
  std::vector<std::string> call = {"grade-all", bank, "2"};
  std::string table = "folder\ttotal\tR1\tR2\n";
  for (const Candidate& candidate : candidates) {
    call.push_back(dir.File(candidate.name));
    table += dir.File(candidate.name) + GbkToUtf8(candidate.row);
  }
  BanktoolResult result = RunBanktool(call);
  EXPECT_EQ(result.exitCode, 1) << "a row with a note is told";
  EXPECT_EQ(result.out.substr(0, result.out.find("share met")), table);

  // One candidate graded on its own says the same on standard error.
  result = RunBanktool({"grade", bank, "2", "--root", dir.File("folderlink")});
  EXPECT_EQ(result.out.substr(result.out.size() - 9), "total 0\r\n");
  EXPECT_NE(result.err.find(GbkToUtf8("not followed, a link: 作业\\说明.txt")), std::string::npos)
      << result.err;
}

// Unpacking creates and writes nothing through a link that a candidate left in the folder,
// and finds a folder that is there in another ASCII case, as Windows does.
TEST(BanktoolExam, UnpackingNeverWritesThroughALink) {
  TempDir dir;
  const std::string bank = dir.File("bank.cst");
  WriteBank(bank, 5, {},
            {{PackageEntry::kFolderKind, "", ""},
             {PackageEntry::kFolderKind, "\\sub", ""},
             {PackageEntry::kFileKind, "\\sub\\f.txt", "planted"},
             {PackageEntry::kFolderKind, "\\sub\\deeper", ""},
             {PackageEntry::kFileKind, "\\data\\g.txt", "kept"}});
  test::MakeFolder(dir.File("elsewhere"));
  test::MakeFolder(dir.File("exam/Data"));
  ASSERT_TRUE(test::MakeLink(dir.File("elsewhere"), dir.File("exam/sub")));

  BanktoolResult result = RunBanktool({"unpack", bank, "5", dir.File("exam")});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out, "skipped \\sub: a link lies on its way\n"
                        "skipped \\sub\\f.txt: a link lies on its way\n"
                        "skipped \\sub\\deeper: a link lies on its way\n"
                        "written 1, skipped 3\n");
  EXPECT_TRUE(test::ListFolder(dir.File("elsewhere")).empty());
  EXPECT_EQ(test::ListFolder(dir.File("exam")), (std::vector<std::string>{"Data", "sub"}));
  EXPECT_EQ(test::ReadFileBytes(dir.File("exam/Data/g.txt")), Text("kept"));
}

TEST(BanktoolExam, UnpacksIntoAFolderAndTellsWhatItSkipped) {
  TempDir dir;
  const std::string bank = dir.File("bank.cst");
  WriteBank(bank, 5, {},
            {{PackageEntry::kFolderKind, "", ""},
             {PackageEntry::kFolderKind, "\\资料", ""},
             {PackageEntry::kFileKind, "\\资料\\a.txt", "first"},
             {PackageEntry::kFileKind, "\\..\\evil.txt", "evil"},
             {PackageEntry::kFileKind, "\\b.txt", "second"}});
  const std::string target = dir.File("exam");
  BanktoolResult result = RunBanktool({"unpack", bank, "5", target});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out, GbkToUtf8("skipped \\..\\evil.txt: it would leave the folder\n") +
                            "written 2, skipped 1\n");
  EXPECT_EQ(test::ReadFileBytes(dir.File("exam/" + Native("资料") + "/a.txt")), Text("first"));
  EXPECT_EQ(test::ReadFileBytes(dir.File("exam/b.txt")), Text("second"));
  EXPECT_FALSE(test::FileExists(dir.File("evil.txt")));

  // Without a hostile entry everything is written and the exit status is 0.
  WriteBank(bank, 5, {}, {{PackageEntry::kFileKind, "\\b.txt", "again"}});
  result = RunBanktool({"unpack", bank, "5", target});
  EXPECT_EQ(result.exitCode, 0) << result.out;
  EXPECT_EQ(result.out, "written 1, skipped 0\n");
  EXPECT_EQ(test::ReadFileBytes(dir.File("exam/b.txt")), Text("again"));
}

TEST(BanktoolExam, MissingBanksQuestionsAndPackagesEndWithStatus2) {
  TempDir dir;
  const std::string bank = dir.File("bank.cst");
  WriteBank(bank, 5, {Want("标题", 5, "c:\\考生文件夹\\a.txt", "*")}, {});
  OperationBank noPackage;
  noPackage.AddGroup("组");
  ASSERT_TRUE(noPackage.AddQuestion(6, 0, BuildRichContent(0, "", {}, {}), 0, 0));
  const std::string bare = dir.File("bare.cst");
  ASSERT_TRUE(noPackage.Save(bare));
  const std::string missing = dir.File("missing.cst"), folder = dir.path();
  const std::vector<std::vector<std::string>> calls[] = {
      {{"unpack", missing, "5", folder}, {"grade", missing, "5"}, {"grade-all", missing, "5", folder}},
      {{"unpack", bank, "4", folder}, {"grade", bank, "4"}, {"grade-all", bank, "4", folder}},
      {{"unpack", bare, "6", folder}, {"grade", bare, "6", "--root", folder},
       {"grade-all", bare, "6", folder}},
  };
  for (const auto& group : calls) {
    for (const std::vector<std::string>& call : group) {
      SCOPED_TRACE(call[0] + " " + call[1] + " " + call[2]);
      BanktoolResult result = RunBanktool(call);
      EXPECT_EQ(result.exitCode, 2) << result.err;
      EXPECT_TRUE(result.out.empty());
    }
  }
  // A question without a package is still graded where its targets are.
  EXPECT_EQ(RunBanktool({"grade", bare, "6"}).exitCode, 0);
  EXPECT_EQ(RunBanktool({"grade", bank, "5x"}).exitCode, 64);
  EXPECT_EQ(RunBanktool({"grade-all", bank, "5", "--csv", "out.csv"}).exitCode, 64);
}

}  // namespace
}  // namespace velmor
