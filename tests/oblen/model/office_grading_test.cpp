// Grading a candidate's Word, Excel and PowerPoint files: documents saved by a real office suite
// (LibreOffice, run by tests/office/make_documents.sh into VELMOR_OFFICE_DOCUMENTS), and
// packages that cannot be read, which leave grading with the file's bytes alone.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "common/office/document_writer.h"
#include "common/office/office_document.h"
#include "common/office/zip_archive.h"
#include "oblen/model/grading.h"
#include "tests/oblen/support/fake_file_access.h"

namespace velmor {
namespace {

class OfficeGrading : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* folder = std::getenv("VELMOR_OFFICE_DOCUMENTS");
    if (folder == nullptr) GTEST_SKIP() << "run by ctest (office_grading), which makes the documents";
    folder_ = folder;
  }

  std::string Document(const std::string& name) {
    std::ifstream in(folder_ + "/" + name, std::ios::binary);
    EXPECT_TRUE(in) << name;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  static bool Met(const std::string& content, const std::string& pattern,
                  const std::string& target = "c:\\work\\file.docx") {
    test::FakeFileAccess files;
    files.AddFolder("c:");
    files.AddFolder("c:\\work");
    files.AddFile(target, content);
    return CheckRequirement(files, Requirement::Build("r", "e", 1, target, pattern));
  }

  std::string folder_;
};

// A Word package of one part around `body`, deflated or stored.
std::string WordPackage(const std::string& body, ZipWriter::Method method = ZipWriter::Method::kDeflated) {
  ZipWriter writer;
  writer.Add("[Content_Types].xml",
             "<Types><Override PartName=\"/word/document.xml\" ContentType=\"application/"
             "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/></Types>");
  writer.Add("word/document.xml",
             "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
             "<w:body>" + body + "</w:body></w:document>",
             method);
  const std::vector<unsigned char> bytes = writer.Finish();
  return std::string(bytes.begin(), bytes.end());
}

TEST_F(OfficeGrading, DocumentsSavedByLibreOffice) {
  struct Case {
    const char* document;
    const char* pattern;
    bool met;
  } cases[] = {
      // the whole text view: paragraphs, a tab, a line break, an entity, then header and footer
      {"notice_bold.docx",
       "关于举行秋季运动会的通知\r\n各班同学：\t请准时参加。\r\n报名截止时间：10月20日 A&B\r\n"
       "学校体育组\r\n页眉文字\r\n页脚文字\r\n",
       true},
      // formatting through the XML view: the title bold, or not
      {"notice_bold.docx", "*<w:b/>*关于举行秋季运动*", true},
      {"notice_plain.docx", "*<w:b/>*关于举行秋季运动*", false},
      {"notice_plain.docx", "*<w:t>学校体育组</w:t>*", true},
      // values as the sheet holds them, then the formulas
      {"table.xlsx",
       "[工作表 table]\r\n姓名\t语文\t数学\t英语\t总分\r\n张明\t92\t88\t95\t275\r\n"
       "李华\t85\t90\t78\t253\r\n王芳\t78\t95\t88\t261\r\nE2=SUM(B2:D2)\r\nE3=B3+C3+D3\r\n",
       true},
      {"table.xlsx", "*E4=*", false},
      {"table.xlsx", "*<f aca=\"false\">SUM(B2:D2)</f>*", true},
      {"slides.pptx", "[幻灯片 1]\r\n我的家乡\r\n[幻灯片 2]\r\n第一行\r\n第二行\r\n风景\r\n", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Met(Document(c.document), c.pattern), c.met) << c.document << ": " << c.pattern;
  }
}

TEST_F(OfficeGrading, WhatTheFileIsCalledDoesNotMatterAndBytesStillCount) {
  const std::string notice = Document("notice_bold.docx");
  EXPECT_TRUE(Met(notice, "*学校体育组*", "c:\\work\\notice.txt"));
  EXPECT_TRUE(Met(notice, "PK*"));  // met by the bytes, as before
  // a character GBK lacks is one "?" of the view: the whole view is then five bytes
  EXPECT_TRUE(Met(WordPackage(u8"<w:p><w:r><w:t>a\U0001F600b</w:t></w:r></w:p>"), "a?b\r\n"));
}

TEST_F(OfficeGrading, PackagesThatCannotBeReadGiveNoView) {
  const std::string notice = Document("notice_bold.docx");
  std::string encrypted = notice;  // every entry marked as encrypted, in both of its headers
  for (std::size_t at = encrypted.find("PK\x01\x02"); at != std::string::npos;
       at = encrypted.find("PK\x01\x02", at + 4)) {
    encrypted[at + 8] |= 1;
  }
  for (std::size_t at = encrypted.find("PK\x03\x04"); at != std::string::npos;
       at = encrypted.find("PK\x03\x04", at + 4)) {
    encrypted[at + 6] |= 1;
  }
  // A document part that inflates to 100 000 times its size.
  const std::string bomb = WordPackage("<w:p><w:r><w:t>" + std::string(20 << 20, 'a') +
                                       "</w:t></w:r></w:p><w:p><w:r><w:t>text</w:t></w:r></w:p>");
  // An Office file saved with a password is no zip at all (a compound file).
  const std::string compound = std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + notice;
  const struct {
    const char* what;
    std::string content;
  } cases[] = {
      {"cut", notice.substr(0, notice.size() * 2 / 3)},
      {"encrypted entries", encrypted},
      {"a zip bomb", bomb},
      {"a password-protected file", compound},
  };
  ASSERT_LT(bomb.size(), 100000u);
  for (const auto& c : cases) {
    EXPECT_FALSE(Met(c.content, "*学校体育组*")) << c.what;
    EXPECT_FALSE(Met(c.content, "*text*")) << c.what;
  }
  EXPECT_TRUE(Met(bomb, "PK*")) << "the bytes are still matched";
  EXPECT_TRUE(Met(WordPackage("<w:p><w:r><w:t>text</w:t></w:r></w:p>"), "text\r\n"));
}

// The originals a teacher hands out, made by our writer: LibreOffice reads them as we wrote them,
// and so does grading.
TEST_F(OfficeGrading, LibreOfficeReadsTheDocumentsWeWrite) {
#ifdef _WIN32
  GTEST_SKIP() << "LibreOffice runs on the build machine; the native tests ask it";
#endif
  const std::vector<unsigned char> word =
      WriteWordDocument({u8"关于举行秋季运动汇的通知", u8" A & B <c> \"d\""});
  const std::vector<unsigned char> book = WriteWorkbook(
      u8"成绩 & 表", {{u8"姓名", u8"语文", "note"}, {u8"张明", "92", "-3.5"}, {"", "007", "1."}});
  const std::string ours = folder_ + "/ours";
  ASSERT_EQ(std::system(("mkdir -p '" + ours + "'").c_str()), 0);
  std::ofstream(ours + "/notice.docx", std::ios::binary).write(reinterpret_cast<const char*>(word.data()), word.size());
  std::ofstream(ours + "/table.xlsx", std::ios::binary).write(reinterpret_cast<const char*>(book.data()), book.size());
  const std::string office = "cd '" + ours + "' && soffice -env:UserInstallation=file://" + ours +
                             "/profile --headless --convert-to ";
  ASSERT_EQ(std::system((office + "'txt:Text (encoded):UTF8' notice.docx >/dev/null 2>&1").c_str()), 0);
  ASSERT_EQ(std::system((office + "'csv:Text - txt - csv (StarCalc):44,34,76' table.xlsx >/dev/null 2>&1").c_str()), 0);
  EXPECT_EQ(Document("ours/notice.txt"), u8"\uFEFF关于举行秋季运动汇的通知\n A & B <c> \"d\"\n");
  EXPECT_EQ(Document("ours/table.csv"), u8"姓名,语文,note\n张明,92,-3.5\n,007,1.\n");

  OfficeDocument document;
  std::string view;
  ASSERT_TRUE(document.Open(book.data(), book.size()));
  ASSERT_TRUE(document.TextView(view));
  EXPECT_EQ(view, u8"[工作表 成绩 & 表]\r\n姓名\t语文\tnote\r\n张明\t92\t-3.5\r\n\t007\t1.\r\n");
}

}  // namespace
}  // namespace velmor
