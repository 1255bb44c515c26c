// The Word and Excel tasks of the demonstration bank (examples/Date.dat) graded on documents
// laid out as Word, WPS and Excel save them: what the bank unpacks scores nothing, a task done
// meets every requirement, and each slip loses its own requirement only. (LibreOffice's own
// files are graded end to end by tests/e2e/oblen_e2e.sh.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/office/zip_archive.h"
#include "oblen/model/grading.h"
#include "oblen/model/operation_bank.h"
#include "oblen/model/packing.h"
#include "tests/oblen/support/fake_file_access.h"
#include "tests/support/test_files.h"

namespace velmor {
namespace {

const char kWordTypes[] =
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Override PartName=\"/word/document.xml\" ContentType=\"application/vnd.openxmlformats-"
    "officedocument.wordprocessingml.document.main+xml\"/></Types>";
const char kExcelTypes[] =
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Override PartName=\"/xl/workbook.xml\" ContentType=\"application/vnd.openxmlformats-"
    "officedocument.spreadsheetml.sheet.main+xml\"/></Types>";

std::string Package(const std::vector<std::pair<const char*, std::string>>& parts) {
  ZipWriter writer;
  for (const auto& [name, content] : parts) writer.Add(name, content);
  const std::vector<unsigned char> bytes = writer.Finish();
  return std::string(bytes.begin(), bytes.end());
}

// Word's document part around `body`: its namespaces, a section after the paragraphs.
std::string WordDocument(const std::string& body) {
  return Package({{"[Content_Types].xml", kWordTypes},
                  {"word/document.xml",
                   "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/"
                   "main\" xmlns:w14=\"http://schemas.microsoft.com/office/word/2010/wordml\"><w:body>" +
                       body + "<w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/></w:sectPr></w:body>"
                       "</w:document>"}});
}

// Excel's workbook: the names in the shared strings (0 to 8), the totals' cells as given.
std::string ExcelBook(const std::string& totals2, const std::string& totals3,
                      const std::string& totals4) {
  const char* ns = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";
  std::string strings;
  for (const char* text : {u8"姓名", u8"语文", u8"数学", u8"英语", u8"总分", u8"张明", u8"李华", u8"王芳"}) {
    strings += std::string("<si><t>") + text + "</t></si>";
  }
  auto row = [](int r, int name, const char* marks, const std::string& total) {
    const std::string n = std::to_string(r);
    return "<row r=\"" + n + "\" spans=\"1:5\"><c r=\"A" + n + "\" t=\"s\"><v>" +
           std::to_string(name) + "</v></c>" + marks + total + "</row>";
  };
  const std::string sheet =
      std::string("<worksheet ") + ns + "><sheetData><row r=\"1\" spans=\"1:5\">"
      "<c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c><c r=\"C1\" t=\"s\"><v>2</v>"
      "</c><c r=\"D1\" t=\"s\"><v>3</v></c><c r=\"E1\" t=\"s\"><v>4</v></c></row>" +
      row(2, 5, "<c r=\"B2\"><v>92</v></c><c r=\"C2\"><v>88</v></c><c r=\"D2\"><v>95</v></c>", totals2) +
      row(3, 6, "<c r=\"B3\"><v>85</v></c><c r=\"C3\"><v>90</v></c><c r=\"D3\"><v>78</v></c>", totals3) +
      row(4, 7, "<c r=\"B4\"><v>78</v></c><c r=\"C4\"><v>95</v></c><c r=\"D4\"><v>88</v></c>", totals4) +
      "</sheetData></worksheet>";
  return Package(
      {{"[Content_Types].xml", kExcelTypes},
       {"xl/workbook.xml",
        std::string("<workbook ") + ns + " xmlns:r=\"http://schemas.openxmlformats.org/"
        "officeDocument/2006/relationships\"><sheets><sheet name=\"" + u8"成绩表" +
        "\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"},
       {"xl/_rels/workbook.xml.rels",
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
        "relationships/worksheet\" Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"rId2\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings\" "
        "Target=\"sharedStrings.xml\"/></Relationships>"},
       {"xl/worksheets/sheet1.xml", sheet},
       {"xl/sharedStrings.xml", std::string("<sst ") + ns + ">" + strings + "</sst>"}});
}

std::string Formula(const char* cell, const char* formula, const char* value) {
  return std::string("<c r=\"") + cell + "\"><f>" + formula + "</f><v>" + value + "</v></c>";
}
std::string Number(const char* cell, const char* value) {
  return std::string("<c r=\"") + cell + "\"><v>" + value + "</v></c>";
}

class DemonstrationBank : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(bank_.Load(test::SourcePath("examples/Date.dat"))); }

  const OperationQuestion& Question(int32_t id) {
    for (const QuestionGroup& group : bank_.groups()) {
      for (const OperationQuestion& question : group.questions) {
        if (question.id == id) return question;
      }
    }
    ADD_FAILURE() << "no question " << id;
    return bank_.groups().at(0).questions.at(0);
  }

  // Which requirements of question `id` the candidate's document meets (every requirement of
  // the task reads the same file); an empty document: the original as the bank unpacks it.
  std::vector<bool> Met(int32_t id, const std::string& document) {
    const OperationQuestion& question = Question(id);
    test::FakeFileAccess files;
    files.AddFolder("c:");
    const FilePackage* package = nullptr;
    for (const FilePackage& each : bank_.packages()) {
      if (each.questionId == id) package = &each;
    }
    EXPECT_TRUE(package != nullptr && Unpack(files, *package).filesWritten == 1);
    const std::string target(question.requirements.at(0).targetFile());
    if (!document.empty()) files.AddFile(target, document);
    return GradeRequirements(files, question).met;
  }

  OperationBank bank_;
};

TEST_F(DemonstrationBank, TheWordTask) {
  // Word splits the title into runs where it was edited, and marks each bold run <w:b/>.
  const std::string boldRun = "<w:r w:rsidRPr=\"00B2\"><w:rPr><w:rFonts w:hint=\"eastAsia\"/><w:b/><w:bCs/></w:rPr>";
  const std::string plainRun = "<w:r><w:rPr><w:rFonts w:hint=\"eastAsia\"/><w:b w:val=\"0\"/></w:rPr>";
  const std::string typoFixed = boldRun + u8"<w:t>关于举行秋季运动</w:t></w:r>" + boldRun +
                                u8"<w:t>会</w:t></w:r>" + boldRun + u8"<w:t>的通知</w:t></w:r>";
  const std::string body = std::string("<w:p><w:r><w:t>") + u8"各班同学：</w:t></w:r></w:p><w:p><w:r>"
      "<w:t>" + u8"学校定于10月25日举行秋季运动会，请各班做好报名和训练准备。</w:t></w:r></w:p>";
  const std::string closing = std::string("<w:p><w:r><w:t>") + u8"报名截止时间：" +
                              "</w:t></w:r><w:r w:rsidR=\"00C3\"><w:t>10</w:t></w:r><w:r><w:t>" +
                              u8"月20日</w:t></w:r></w:p>";
  const struct {
    const char* what;
    std::string document;
    std::vector<bool> met;
  } cases[] = {
      {"the original", "", {false, false, false}},
      {"done in Word", WordDocument("<w:p><w:pPr><w:jc w:val=\"center\"/></w:pPr>" + typoFixed +
                                    "</w:p>" + body + closing), {true, true, true}},
      // a bookmark starts as "<w:b" too, and the bold body comes after the title
      {"the body bold, not the title",
       WordDocument("<w:p><w:bookmarkStart w:id=\"0\" w:name=\"_GoBack\"/><w:bookmarkEnd w:id=\"0\"/>" +
                    plainRun + u8"<w:t>关于举行秋季运动会的通知</w:t></w:r></w:p>" + body +
                    "<w:p>" + boldRun + u8"<w:t>报名截止时间：10月20日</w:t></w:r></w:p>"),
       {true, true, false}},
      // the bold check does not depend on the word being corrected
      {"only bold", WordDocument("<w:p>" + boldRun + u8"<w:t>关于举行秋季运动汇的通知</w:t></w:r></w:p>" + body),
       {false, false, true}},
  };
  for (const auto& c : cases) EXPECT_EQ(Met(1, c.document), c.met) << c.what;
}

TEST_F(DemonstrationBank, TheExcelTask) {
  const struct {
    const char* what;
    std::string document;
    std::vector<bool> met;
  } cases[] = {
      {"the original", "", {false, false, false, false}},
      {"sums by formula", ExcelBook(Formula("E2", "SUM(B2:D2)", "275"), Formula("E3", "B3+C3+D3", "253"),
                                    Formula("E4", "SUM(B4:D4)", "261")),
       {true, true, true, true}},
      {"totals typed in", ExcelBook(Number("E2", "275"), Number("E3", "253"), Number("E4", "261")),
       {true, true, true, false}},
      {"one formula wrong", ExcelBook(Formula("E2", "SUM(B2:D2)", "275"), Formula("E3", "B3+C3", "175"),
                                      Formula("E4", "SUM(B4:D4)", "261")),
       {true, false, true, true}},
      {"one total typed", ExcelBook(Formula("E2", "SUM(B2:D2)", "275"), Number("E3", "253"),
                                    Formula("E4", "SUM(B4:D4)", "261")),
       {true, true, true, false}},
  };
  for (const auto& c : cases) EXPECT_EQ(Met(2, c.document), c.met) << c.what;
}

}  // namespace
}  // namespace velmor
