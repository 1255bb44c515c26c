// Importing choice questions from Word documents: papers LibreOffice saved (made by
// tests/tools/make_question_papers.sh into VELMOR_QUESTION_PAPERS), packages written here part by
// part for formats and pictures, and packages that cannot be read.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "common/office/document_writer.h"
#include "common/office/zip_archive.h"
#include "common/richtext/rich_content.h"
#include "common/richtext/rtf_load.h"
#include "tarvik/model/question_bank.h"
#include "tests/support/test_files.h"
#include "tools/banktool/banktool.h"
#include "tools/banktool/docx_import.h"

namespace velmor {
namespace {

using test::TempDir;

// 4 x 2 pixels: two red columns, then two blue ones.
const unsigned char kRedBluePng[] = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52, 0x00,
    0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x02, 0x08, 0x02, 0x00, 0x00, 0x00, 0xf0, 0xca, 0xea, 0x34, 0x00,
    0x00, 0x00, 0x13, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9c, 0x63, 0xf8, 0xcf, 0xc0, 0x00, 0x44, 0x60, 0xe2,
    0x3f, 0x03, 0x32, 0x07, 0x00, 0x67, 0xb2, 0x07, 0xf9, 0x43, 0x63, 0x9a, 0x67, 0x00, 0x00, 0x00, 0x00,
    0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};

std::string RedBluePng() { return std::string(reinterpret_cast<const char*>(kRedBluePng), sizeof kRedBluePng); }

// The same picture as a 24-bit BMP, rows bottom-up padded to four bytes.
std::string RedBlueBmp() {
  auto le = [](uint32_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i));
    return out;
  };
  std::string row;
  for (int x = 0; x < 4; ++x) row += x < 2 ? std::string("\0\0\xff", 3) : std::string("\xff\0\0", 3);
  return "BM" + le(54 + 24, 4) + le(0, 4) + le(54, 4) + le(40, 4) + le(4, 4) + le(2, 4) + le(1, 2) +
         le(24, 2) + le(0, 4) + le(24, 4) + le(2835, 4) + le(2835, 4) + le(0, 4) + le(0, 4) + row + row;
}

// A 1 x 1 GIF, its one pixel white.
std::string WhiteGif() {
  return std::string("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00"
                     ",\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;",
                     35);
}

std::string TextRun(std::string_view text, std::string_view properties = "") {
  return "<w:r><w:rPr>" + std::string(properties) + "</w:rPr><w:t xml:space=\"preserve\">" + std::string(text) +
         "</w:t></w:r>";
}

std::string Paragraph(std::string_view content, std::string_view style = "") {
  return "<w:p>" + (style.empty() ? std::string() : "<w:pPr><w:pStyle w:val=\"" + std::string(style) + "\"/></w:pPr>") +
         std::string(content) + "</w:p>";
}

// An inline picture of the relationship `id`, shown at width x height pixels (none: no extent).
std::string Picture(std::string_view id, int width = 0, int height = 0) {
  const std::string extent = width > 0 ? "<wp:extent cx=\"" + std::to_string(width * 9525) + "\" cy=\"" +
                                             std::to_string(height * 9525) + "\"/>"
                                       : std::string();
  return "<w:r><w:drawing><wp:inline>" + extent +
         "<a:graphic><a:graphicData><pic:pic><pic:blipFill><a:blip r:embed=\"" + std::string(id) +
         "\"/></pic:blipFill></pic:pic></a:graphicData></a:graphic></wp:inline></w:drawing></w:r>";
}

struct Media {
  std::string id;
  std::string name;  // under word/media
  std::string bytes;
};

// A Word package of the body, its styles (when given) and pictures.
std::vector<unsigned char> WordPackage(const std::string& body, const std::string& styles = "",
                                       const std::vector<Media>& media = {}, bool stylesPart = true,
                                       const std::string& fonts = "") {
  const std::string w = "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"";
  std::string rels = "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
  if (!styles.empty()) {
    rels += "<Relationship Id=\"rStyles\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
            "relationships/styles\" Target=\"styles.xml\"/>";
  }
  if (!fonts.empty()) {
    rels += "<Relationship Id=\"rTheme\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
            "relationships/theme\" Target=\"theme/theme1.xml\"/>";
  }
  for (const Media& picture : media) {
    rels += "<Relationship Id=\"" + picture.id + "\" Type=\"http://schemas.openxmlformats.org/officeDocument/"
            "2006/relationships/image\" Target=\"media/" + picture.name + "\"/>";
  }
  ZipWriter zip;
  zip.Add("[Content_Types].xml",
          "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"><Override "
          "PartName=\"/word/document.xml\" ContentType=\"application/"
          "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/></Types>");
  zip.Add("word/document.xml",
          "<w:document " + w +
              " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\""
              " xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\""
              " xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\""
              " xmlns:pic=\"http://schemas.openxmlformats.org/drawingml/2006/picture\""
              " xmlns:v=\"urn:schemas-microsoft-com:vml\"><w:body>" +
              body + "</w:body></w:document>");
  zip.Add("word/_rels/document.xml.rels", rels + "</Relationships>");
  if (!styles.empty() && stylesPart) zip.Add("word/styles.xml", "<w:styles " + w + ">" + styles + "</w:styles>");
  if (!fonts.empty()) {
    zip.Add("word/theme/theme1.xml",
            "<a:theme xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\"><a:themeElements>"
            "<a:fontScheme>" + fonts + "</a:fontScheme></a:themeElements></a:theme>");
  }
  for (const Media& picture : media) zip.Add("word/media/" + picture.name, picture.bytes);
  return zip.Finish();
}

DocxImport Import(const std::vector<unsigned char>& package, QuestionBank& bank) {
  return ImportChoiceDocx(package.data(), package.size(), "x", bank);
}

RichContentParts StemOf(const QuestionBank& bank, std::size_t category, std::size_t big) {
  const BigQuestion& question = bank.categories().at(category).questions.at(big);
  return ParseRichContent(question.content.data(), question.content.size());
}

// The blue, green and red of a picture record's pixel.
std::string Pixel(const PictureView& picture, int x, int y) {
  const unsigned char* p = picture.pixels() + 3 * (static_cast<std::size_t>(y) * picture.width + x);
  return std::string(reinterpret_cast<const char*>(p), 3);
}

const std::string kRed("\0\0\xff", 3);   // blue, green, red
const std::string kBlue("\xff\0\0", 3);

class DocxImportLibreOffice : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* folder = std::getenv("VELMOR_QUESTION_PAPERS");
    if (folder == nullptr) GTEST_SKIP() << "run by ctest (docx_import), which makes the papers";
    folder_ = folder;
  }
  std::string folder_;
};

// The paper: title block, two headings, options on one line (tabs, full-width blanks), material of
// a red bold heading, a paragraph and a picture, an explanation and an answer section.
TEST_F(DocxImportLibreOffice, PapersSavedByLibreOffice) {
  TempDir dir;
  const BanktoolResult result = RunBanktool({"import", folder_ + "/paper.docx", dir.File("paper.lst")});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out, "categories 2, big questions 3, small questions 4, explanations left out 1\n");
  EXPECT_EQ(result.err,
            "paragraph 19: the answer section gives A for question 2, which answers AC below itself; its own "
            "answer is kept\n"
            "paragraph 19: the answer section answers question 9, which the paper does not have\n");
  QuestionBank bank;
  ASSERT_TRUE(bank.Load(dir.File("paper.lst")));
  EXPECT_EQ(bank.title().text(), "信息技术期末试卷");
  ASSERT_EQ(bank.categories().size(), 2u);
  EXPECT_EQ(bank.categories()[0].name.text(), "单项选择题");
  const SmallQuestion& first = bank.categories()[0].questions.at(0).smallQuestions.at(0);
  EXPECT_EQ(first.text.text(), "下列设备中，属于输入设备的是（　）");
  EXPECT_EQ(first.score, 2);
  ASSERT_EQ(first.options.size(), 4u);
  EXPECT_EQ(first.options[3].text.text(), "打印机");
  EXPECT_EQ(first.options[0].isAnswer, 1) << "from the answer section";
  const SmallQuestion& second = bank.categories()[0].questions.at(1).smallQuestions.at(0);
  ASSERT_EQ(second.options.size(), 4u);
  EXPECT_EQ(second.options[2].text.text(), "U盘");
  EXPECT_EQ(second.singleChoice, 0) << "its own answer AC";

  ASSERT_EQ(bank.categories()[1].questions.size(), 1u);
  const BigQuestion& reading = bank.categories()[1].questions[0];
  ASSERT_EQ(reading.smallQuestions.size(), 2u);
  EXPECT_EQ(reading.smallQuestions[0].score, 3);
  EXPECT_EQ(reading.smallQuestions[1].options.at(0).isAnswer, 1);
  RichContentParts stem = ParseRichContent(reading.content.data(), reading.content.size());
  EXPECT_EQ(stem.text, "阅读材料\r\n计算机由硬件和软件组成。\r\n ");
  ASSERT_EQ(stem.pictures.size(), 1u);
  EXPECT_EQ(stem.pictures[0].width, 96) << "1 inch at 96 dpi";
  EXPECT_EQ(stem.pictures[0].height, 48);
  EXPECT_EQ(stem.pictures[0].position, 18);
  EXPECT_EQ(Pixel(stem.pictures[0], 0, 0), kRed);
  EXPECT_EQ(Pixel(stem.pictures[0], 95, 47), kBlue);
  // The heading red, bold, 14 points in its Chinese font; the paragraph after it neither.
  ASSERT_FALSE(stem.runs.empty());
  const FormatRun& heading = stem.runs[0];
  EXPECT_EQ(heading.first, 0);
  EXPECT_EQ(heading.end, 4);
  const CharFormatFields format = ReadCharFormat(heading.format.data());
  EXPECT_EQ(format.effects & (kMaskBold | kMaskItalic | kMaskUnderline), kMaskBold);
  EXPECT_TRUE(format.mask & kMaskColour);
  EXPECT_EQ(format.colour, 0x0000FFu);
  EXPECT_EQ(format.height, 280);
  EXPECT_EQ(format.face, "黑体");
  EXPECT_EQ(format.charset, 134);
  for (std::size_t r = 1; r < stem.runs.size(); ++r) {
    const CharFormatFields plain = ReadCharFormat(stem.runs[r].format.data());
    EXPECT_EQ(plain.effects & kMaskBold, 0u);
    EXPECT_FALSE(plain.mask & kMaskColour);
  }
}

// Aiken from an HTML page, the options of the second question in the cells of a table.
TEST_F(DocxImportLibreOffice, AikenFromAnHtmlPage) {
  TempDir dir;
  const BanktoolResult result = RunBanktool({"import", folder_ + "/aiken.docx", dir.File("aiken.lst")});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  QuestionBank bank;
  ASSERT_TRUE(bank.Load(dir.File("aiken.lst")));
  ASSERT_EQ(bank.categories().size(), 1u);
  EXPECT_EQ(bank.categories()[0].name.text(), "Aiken");
  ASSERT_EQ(bank.categories()[0].questions.size(), 2u);
  const SmallQuestion& colour = bank.categories()[0].questions[1].smallQuestions.at(0);
  EXPECT_EQ(colour.text.text(), "Which is a colour?");
  ASSERT_EQ(colour.options.size(), 2u);
  EXPECT_EQ(colour.options[1].text.text(), "Cat");
  EXPECT_EQ(colour.options[0].isAnswer, 1);
}

// Each run's format is its own properties over its character style, its paragraph's style
// (through basedOn) and the document's defaults, which name the theme's fonts; Chinese text
// takes the East Asian font.
TEST(DocxImport, RunFormatsComeFromTheRunItsStylesAndTheDefaults) {
  const std::string fonts = u8"<a:majorFont><a:latin typeface=\"Cambria\"/><a:ea typeface=\"黑体\"/></a:majorFont>"
                            u8"<a:minorFont><a:latin typeface=\"Times New Roman\"/><a:ea typeface=\"\"/>"
                            u8"<a:font script=\"Hans\" typeface=\"宋体\"/></a:minorFont>";
  const std::string styles =
      u8"<w:docDefaults><w:rPrDefault><w:rPr><w:rFonts w:asciiTheme=\"minorHAnsi\" w:ascii=\"Arial\" "
      u8"w:eastAsiaTheme=\"minorEastAsia\"/>"
      "<w:sz w:val=\"21\"/></w:rPr></w:rPrDefault></w:docDefaults>"
      "<w:style w:type=\"paragraph\" w:styleId=\"Base\"><w:rPr><w:b/></w:rPr></w:style>"
      "<w:style w:type=\"paragraph\" w:styleId=\"Title1\"><w:basedOn w:val=\"Base\"/>"
      "<w:pPr><w:rPr><w:i/></w:rPr></w:pPr><w:rPr><w:color w:val=\"0000FF\"/></w:rPr></w:style>"
      "<w:style w:type=\"character\" w:styleId=\"Red\"><w:rPr><w:i/><w:color w:val=\"FF0000\"/></w:rPr></w:style>";
  const std::string body =
      Paragraph(TextRun(u8"一、阅读")) + Paragraph(TextRun(u8"标题"), "Title1") +
      Paragraph(TextRun(u8"正文", "<w:rStyle w:val=\"Red\"/>") + TextRun("Text", "<w:b/><w:sz w:val=\"28\"/><w:u/>")) +
      Paragraph(TextRun(u8"1. 问题")) +
      Paragraph(TextRun(u8"A. 甲") + "<w:r><w:br/></w:r>" + TextRun(u8"B. 乙")) + Paragraph(TextRun(u8"答案：B"));
  QuestionBank bank;
  const DocxImport imported = Import(WordPackage(body, styles, {}, true, fonts), bank);
  ASSERT_EQ(imported.refusal, DocxRefusal::kNone);
  EXPECT_EQ(imported.report.problems, std::vector<std::string>());
  ASSERT_EQ(imported.report.smallQuestions, 1);
  const SmallQuestion& small = bank.categories().at(0).questions.at(0).smallQuestions.at(0);
  ASSERT_EQ(small.options.size(), 2u) << "a line break parts the options";
  EXPECT_EQ(small.options[1].isAnswer, 1);
  const RichContentParts stem = StemOf(bank, 0, 0);
  EXPECT_EQ(stem.text, "标题\r\n正文Text");
  struct Expected {
    int32_t first, end;
    uint32_t effects;  // bold, italic, underline
    int32_t height;
    bool coloured;
    uint32_t colour;
    const char* face;
    uint8_t charset;
  };
  const Expected kRuns[] = {
      {0, 2, kMaskBold, 210, true, 0xFF0000, "宋体", 134},        // the style's blue, its base's bold
      {3, 5, kMaskItalic, 210, true, 0x0000FF, "宋体", 134},      // the character style's red
      {5, 9, kMaskBold | kMaskUnderline, 280, false, 0, "Times New Roman", 0},  // the run's own
  };
  ASSERT_EQ(stem.runs.size(), std::size(kRuns));
  for (std::size_t r = 0; r < std::size(kRuns); ++r) {
    SCOPED_TRACE(r);
    const Expected& expected = kRuns[r];
    const CharFormatFields format = ReadCharFormat(stem.runs[r].format.data());
    EXPECT_EQ(stem.runs[r].first, expected.first);
    EXPECT_EQ(stem.runs[r].end, expected.end);
    EXPECT_EQ(format.effects & (kMaskBold | kMaskItalic | kMaskUnderline), expected.effects);
    EXPECT_EQ(format.height, expected.height);
    EXPECT_EQ((format.mask & kMaskColour) != 0, expected.coloured);
    if (expected.coloured) {
      EXPECT_EQ(format.colour, expected.colour);
    }
    EXPECT_EQ(format.face, expected.face);
    EXPECT_EQ(format.charset, expected.charset);
  }
}

// A picture in a stem is decoded and scaled to the size the document shows it at; one that
// cannot be decoded or stored is told and left out, the text around it kept.
TEST(DocxImport, PicturesAreDecodedScaledAndToldWhenLeftOut) {
  std::string tooLarge = RedBluePng();
  tooLarge[18] = '\x17';  // the header claims 6000 x 8000 pixels
  tooLarge[19] = '\x70';
  tooLarge[22] = '\x1f';
  tooLarge[23] = '\x40';
  // A JPEG's first Huffman table, its sixteen counts adding up to 272 codes.
  const std::string kHugeHuffmanTable = std::string("\xff\xd8\xff\xc4\x01\x23\x00", 7) + std::string(16, '\x11') +
                                        std::string(272, 'x');
  struct Case {
    const char* name;
    std::string bytes;
    int width, height;     // shown at; 0: its own size; negative: by VML in points of 4/3 pixels
    bool inOption;
    int32_t recordWidth, recordHeight;  // 0: none stored
    std::string first, last;            // the corner pixels
    std::vector<std::string> problems;
  };
  const Case kCases[] = {
      {"a PNG grown", RedBluePng(), 8, 4, false, 8, 4, kRed, kBlue, {}},
      {"a BMP shrunk", RedBlueBmp(), 2, 1, false, 2, 1, kRed, kBlue, {}},
      {"VML, as older documents hold pictures", RedBluePng(), -8, -4, false, 8, 4, kRed, kBlue, {}},
      {"a GIF at its own size", WhiteGif(), 0, 0, false, 1, 1, "\xff\xff\xff", "\xff\xff\xff", {}},
      {"shown larger than a record may be", RedBluePng(), 4000, 1000, false, 2000, 500, kRed, kBlue,
       {"paragraph 2: a picture shown at 4000 x 1000 pixels scaled down to 2000 x 500"}},
      {"no picture", "not a picture at all", 8, 4, false, 0, 0, "", "",
       {"paragraph 2: a picture that is no PNG, JPEG, BMP or GIF (or is damaged), left out"}},
      {"a JPEG table of more codes than a table holds", kHugeHuffmanTable, 8, 4, false, 0, 0, "", "",
       {"paragraph 2: a picture that is no PNG, JPEG, BMP or GIF (or is damaged), left out"}},
      {"a header claiming too much", tooLarge, 8, 4, false, 0, 0, "", "",
       {"paragraph 2: a picture of 6000 x 8000 pixels, more than can be read, left out"}},
      {"in an option", RedBluePng(), 8, 4, true, 0, 0, "", "",
       {"paragraph 3: a picture in an option cannot be stored in its text, left out"}},
  };
  for (const Case& test : kCases) {
    SCOPED_TRACE(test.name);
    const std::string picture =
        test.width >= 0 ? Picture("rPic", test.width, test.height)
                        : "<w:r><w:pict><v:shape style=\"width:" + std::to_string(-test.width * 3 / 4) + "pt;height:" +
                              std::to_string(-test.height * 3 / 4) + "pt\"><v:imagedata r:id=\"rPic\"/></v:shape></w:pict></w:r>";
    const std::string body = Paragraph(TextRun(u8"1. 看图（2分）")) + Paragraph(test.inOption ? "" : picture) +
                             Paragraph(TextRun(u8"A. 甲") + (test.inOption ? picture : "")) +
                             Paragraph(TextRun(u8"B. 乙")) + Paragraph(TextRun(u8"答案：A"));
    QuestionBank bank;
    const DocxImport imported = Import(WordPackage(body, "", {{"rPic", "image1", test.bytes}}), bank);
    EXPECT_EQ(imported.report.problems, test.problems);
    ASSERT_EQ(imported.report.smallQuestions, 1);
    EXPECT_EQ(bank.categories()[0].questions[0].smallQuestions[0].options.at(0).text.text(), "甲");
    const RichContentParts stem = StemOf(bank, 0, 0);
    if (test.recordWidth == 0) {
      EXPECT_EQ(stem.text, test.inOption ? "看图" : "看图\r\n") << "the picture's paragraph, empty";
      EXPECT_TRUE(stem.pictures.empty());
      continue;
    }
    EXPECT_EQ(stem.text, "看图\r\n ");
    ASSERT_EQ(stem.pictures.size(), 1u);
    const PictureView& view = stem.pictures[0];
    EXPECT_EQ(view.position, 3);
    EXPECT_EQ(view.width, test.recordWidth);
    EXPECT_EQ(view.height, test.recordHeight);
    EXPECT_EQ(Pixel(view, 0, 0), test.first);
    EXPECT_EQ(Pixel(view, view.width - 1, view.height - 1), test.last);
  }
}

// A package that is damaged or holds no Word document is refused whole: exit 2, and the bank
// that was there before is still there.
TEST(DocxImport, APackageThatCannotBeReadWritesNothing) {
  TempDir dir;
  const std::vector<unsigned char> paper = WriteWordDocument({u8"1. 题（2分）", u8"A. 甲", u8"B. 乙", u8"答案：A"});
  ZipWriter noTypes;
  noTypes.Add("word/document.xml", "<w:document/>");
  const struct {
    const char* name;
    std::vector<unsigned char> bytes;
    int exitCode;
    std::string err;
  } kCases[] = {
      {"paper.docx", paper, 0, ""},
      {"unstyled.docx",
       WordPackage(Paragraph(TextRun(u8"1. 题（2分）")) + Paragraph(TextRun(u8"A. 甲")) + Paragraph(TextRun(u8"答案：A")),
                   "<w:docDefaults/>", {}, false),
       0, ""},
      {"cut.docx", std::vector<unsigned char>(paper.begin(), paper.end() - 30), 2,
       "a damaged Word document, nothing of it can be read"},
      {"table.docx", WriteWorkbook("s", {{"1. 题"}}), 2, "a zip archive but no Word document, nothing read"},
      {"untyped.docx", noTypes.Finish(), 2, "a zip archive but no Word document, nothing read"},
      {"broken.docx", WordPackage(Paragraph(TextRun("1. x")) + "<w:p w:rsidR=\"00A1>"), 2,
       "a damaged Word document, nothing of it can be read"},
  };
  for (const auto& test : kCases) {
    SCOPED_TRACE(test.name);
    const std::string out = dir.File(std::string(test.name) + ".lst");
    test::WriteFileBytes(out, test::Bytes{'o', 'l', 'd'});
    test::WriteFileBytes(dir.File(test.name), test.bytes);
    const BanktoolResult result = RunBanktool({"import", dir.File(test.name), out});
    EXPECT_EQ(result.exitCode, test.exitCode) << result.err;
    if (test.exitCode == 0) {
      EXPECT_EQ(result.out, "categories 1, big questions 1, small questions 1\n");
      EXPECT_GT(test::ReadFileBytes(out).size(), 3u);
      continue;
    }
    EXPECT_EQ(result.err, "banktool: " + test.err + ": " + dir.File(test.name) + "\n");
    EXPECT_EQ(test::ReadFileBytes(out), (test::Bytes{'o', 'l', 'd'}));
  }
}

}  // namespace
}  // namespace velmor
