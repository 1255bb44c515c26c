#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "common/office/document_writer.h"
#include "common/richtext/rich_content.h"
#include "tarvik/model/question_bank.h"
#include "tests/support/test_files.h"
#include "tools/banktool/banktool.h"
#include "tools/banktool/paper_export.h"

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

// A file that does not start as a bank is refused after its header: its counts are no counts,
// and a trailer count believed would read all of a big file. A bank is still read whole.
TEST(Banktool, DumpReadsNoFurtherThanTheHeaderOfAFileThatIsNoBank) {
  const std::string kLstSignature = "\xd7\xdb\xba\xcf\xc6\xc0\xb9\xc0\xce\xca\xbe\xed";
  const std::string kCstMagic = "Oblenquest\xce\xc4\xbc\xfe";
  struct Case {
    const char* name;
    std::string start;  // the first bytes of the header
    int32_t trailerCount;
    bool dumped;
  };
  const Case kCases[] = {
      {"foreign.lst", "", 0x7fffffff, false},
      {"foreign.cst", "", 0x7fffffff, false},
      {"foreign.dat", "\xd7\xdb", 3, false},
      {"bank.lst", kLstSignature, 0x7fffffff, true},  // a cut trailer still loads
      {"bank.cst", kCstMagic, 3, true},
  };
  TempDir dir;
  for (const Case& test : kCases) {
    SCOPED_TRACE(test.name);
    // Header: no categories or groups, version 2 (question banks) or 1 (operation banks),
    // three trailer records after it.
    test::ByteImage image;
    image.Raw(test.start).Zeros(344 - test.start.size());
    image.Int32(test.start == kCstMagic ? 1 : 2).Int32(test.trailerCount).Int32(0);
    image.Zeros(3 * 76);
    const std::string path = dir.File(test.name);
    test::WriteFileBytes(path, image.bytes());
    BanktoolResult result = RunBanktool({"dump", path});
    if (test.dumped) {
      EXPECT_EQ(result.exitCode, 0) << result.err;
      EXPECT_NE(result.out.find("\"trailerCount\": 3,"), std::string::npos) << result.out;
    } else {
      EXPECT_EQ(result.exitCode, 1);
      EXPECT_EQ(result.out, "");
      EXPECT_NE(result.err.find("does not open as a bank file"), std::string::npos) << result.err;
    }
  }
}

// A folder or a file that is not there, given where a file is read, ends the command cleanly.
TEST(Banktool, AnInputFileThatCannotBeReadIsAnErrorOfItsOwn) {
  TempDir dir;
  const std::string out = dir.File("out.lst");
  for (const std::string& input : {dir.path(), dir.File("missing.txt")}) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"import", input, out}, {"match", "*", input}, {"text", input}}) {
      SCOPED_TRACE(args[0] + " " + input);
      BanktoolResult result = RunBanktool(args);
      EXPECT_EQ(result.exitCode, 2);
      EXPECT_EQ(result.out, "");
      EXPECT_EQ(result.err, "banktool: could not read " + input + "\n");
      EXPECT_FALSE(test::FileExists(out));
    }
  }
}

// What grading sees of a document, for a teacher writing a pattern: each view in UTF-8, and a
// status that tells a file that is no document from one that cannot be read.
TEST(Banktool, TextShowsTheViewsOfAnOfficeDocument) {
  TempDir dir;
  const std::vector<unsigned char> document = WriteWordDocument({u8"标题", "A & B"});
  const std::string docx = dir.File("notice.docx");
  test::WriteFileBytes(docx, document);
  const std::string cut = dir.File("cut.docx");
  test::WriteFileBytes(cut, std::vector<unsigned char>(document.begin(), document.end() - 40));
  const std::string plain = dir.File("notice.txt");
  test::WriteFileBytes(plain, std::vector<unsigned char>{'P', 'K', 3, 4, 'x'});
  const struct {
    std::vector<std::string> args;
    int exitCode;
    std::string out;
  } cases[] = {
      {{"text", docx}, 0, u8"标题\r\nA & B\r\n"},
      {{"text", docx, "--xml"}, 0, "<?xml"},
      {{"text", cut}, 1, ""},
      {{"text", plain}, 1, ""},
      {{"text", MakeBank(dir, "bank.lst")}, 2, ""},
      {{"text", docx, "--html"}, 64, ""},
  };
  for (const auto& c : cases) {
    const BanktoolResult result = RunBanktool(c.args);
    EXPECT_EQ(result.exitCode, c.exitCode) << c.args.back();
    EXPECT_EQ(c.out.empty() ? result.out : result.out.substr(0, c.out.size()), c.out)
        << c.args.back();
    EXPECT_EQ(result.err.empty(), c.exitCode == 0) << result.err;
  }
}

// Every text of a bank stays inside its element or attribute. A stem's face name goes into
// a quoted family inside a style attribute: what could end either is dropped.
TEST(Paper, AFaceNameCannotLeaveItsStyle) {
  struct Case {
    std::string face;   // GBK, as a run stores it
    std::string style;  // the span's style attribute
  };
  const Case kCases[] = {
      {"x';background:url(//e.cn/a)", "font-family:'xbackgroundurle.cna';"},
      {"a\"onmouseover=\"alert(1)", "font-family:'aonmouseoveralert1';"},
      {"</span><script>", "font-family:'spanscript';"},
      {"\\27;}", "font-family:'27';"},  // a CSS escape of the quote
      {"\xB0'\t\n", ""},                 // half a character, a quote and control bytes
      {"@宋体 Bold-2_x.y", u8"font-family:'@宋体 Bold-2_x.y';"},
  };
  for (const Case& test : kCases) {
    SCOPED_TRACE(test.face);
    test::ByteImage format;  // the control's character format naming only its face
    format.Int32(60).Int32(0x20000000).Zeros(16).Raw(std::string_view("\x86\0", 2));
    format.Field(test.face, 32).Zeros(2);
    ASSERT_EQ(format.size(), 60u);
    FormatRun run;
    run.first = 0;
    run.end = 2;
    std::copy(format.bytes().begin(), format.bytes().end(), run.format.begin());
    ContentBlock blob = BuildRichContent(2, "ab", {run}, {});
    EXPECT_EQ(StemHtml(blob.data(), blob.size()), "<span style=\"" + test.style + "\">ab</span>");
  }
}

// Options are lettered as spreadsheet columns are, in the page and in its key alike; a key of
// a question with more than 26 options separates its answers, or "AB" could be A and B.
TEST(Paper, OptionsPastZAreLetteredOnInThePageAndTheKey) {
  QuestionBank bank;
  bank.AddCategory("c");
  bank.AddBigQuestion(0, 1, ContentBlock::WithPayload("", 0), 0, 0);
  bank.AddSmallQuestion(0, 0, "many", 0, 1);
  for (int o = 0; o < 703; ++o) {
    const bool answer = o == 1 || o == 27 || o == 702;
    ASSERT_TRUE(bank.AddOption(0, 0, 0, "o" + std::to_string(o), 0, answer, 0, 0));
  }
  bank.AddSmallQuestion(0, 0, "few", 0, 1);
  for (int o = 0; o < 3; ++o) bank.AddOption(0, 0, 1, "f", 0, o != 1, 0, 0);
  const std::string html = ExportPaperHtml(bank, true);
  const std::pair<int, const char*> kLetters[] = {{0, "A"},   {25, "Z"},   {26, "AA"},  {27, "AB"},
                                                  {51, "AZ"}, {52, "BA"},  {701, "ZZ"}, {702, "AAA"}};
  for (const auto& [option, letters] : kLetters) {
    SCOPED_TRACE(letters);
    EXPECT_NE(html.find("<span class=\"box\"></span>" + std::string(letters) + ". o" +
                        std::to_string(option) + "<"),
              std::string::npos);
  }
  EXPECT_NE(html.find(u8"<li>1. B、AB、AAA</li>"), std::string::npos);
  EXPECT_NE(html.find("<li>2. AC</li>"), std::string::npos);
}

TEST(Banktool, WrongUsageSaysHow) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {}, {"dump"}, {"resave", "a"}, {"frobnicate", "a"}, {"score", "a", "b"},
           {"--help", "a"}}) {
    BanktoolResult result = RunBanktool(args);
    EXPECT_EQ(result.exitCode, 64);
    EXPECT_NE(result.err.find("usage"), std::string::npos);
  }
  // --help: the same usage on standard output, then every exit status.
  BanktoolResult help = RunBanktool({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_EQ(help.err, "");
  EXPECT_EQ(help.out.rfind(RunBanktool({}).err, 0), 0u);
  for (const char* status : {"exit status: 0 ", " 1 ", " 2 ", " 64 "}) {
    EXPECT_NE(help.out.find(status), std::string::npos) << status;
  }
}

}  // namespace
}  // namespace velmor
