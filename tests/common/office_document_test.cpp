// The text and XML views of Word, Excel and PowerPoint packages, each layout rule on a package
// written part by part, so that every element the rule speaks of stands where a real document
// puts it.
#include "common/office/office_document.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "common/office/zip_archive.h"

namespace velmor {
namespace {

using Parts = std::vector<std::pair<std::string, std::string>>;

constexpr char kWordNs[] =
    " xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\""
    " xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\"";
constexpr char kRelNs[] = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

std::string ContentTypes(const std::string& part, const std::string& type) {
  return "<?xml version=\"1.0\"?><Types xmlns=\"http://schemas.openxmlformats.org/package/2006/"
         "content-types\"><Default Extension=\"xml\" ContentType=\"application/xml\"/>"
         "<Override PartName=\"/" + part + "\" ContentType=\"" + type + "\"/></Types>";
}

std::string Relationships(const std::vector<std::pair<std::string, std::string>>& idsAndTargets,
                          const std::string& extra = "") {
  std::string xml = "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
  for (const auto& [id, target] : idsAndTargets) {
    xml += "<Relationship Id=\"" + id + "\" Type=\"http://x/worksheet\" Target=\"" + target + "\"/>";
  }
  return xml + extra + "</Relationships>";
}

std::vector<unsigned char> Package(const Parts& parts) {
  ZipWriter writer;
  for (const auto& [name, content] : parts) EXPECT_TRUE(writer.Add(name, content));
  return writer.Finish();
}

std::string View(const std::vector<unsigned char>& package, bool xml = false,
                 const ZipLimits& limits = ZipLimits()) {
  OfficeDocument document;
  if (!document.Open(package.data(), package.size(), limits)) return "(not opened)";
  std::string view;
  if (!(xml ? document.XmlView(view) : document.TextView(view))) return "(no view)";
  return view;
}

std::vector<unsigned char> Word(const std::string& body, Parts more = {}) {
  Parts parts = {
      {"[Content_Types].xml",
       ContentTypes("word/document.xml",
                    "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml")},
      {"word/document.xml",
       std::string("<?xml version=\"1.0\"?><w:document") + kWordNs + "><w:body>" + body +
           "</w:body></w:document>"}};
  parts.insert(parts.end(), more.begin(), more.end());
  return Package(parts);
}

TEST(OfficeTextView, WordParagraphsAndTheirRuns) {
  struct Case {
    const char* body;
    const char* text;
  } cases[] = {
      {"<w:p><w:r><w:t>Hello </w:t></w:r><w:r><w:t>world</w:t></w:r></w:p><w:p/>",
       "Hello world\r\n\r\n"},
      // a tab in a run is text, a tab stop of the paragraph's properties is not
      {"<w:p><w:pPr><w:tabs><w:tab w:val=\"left\" w:pos=\"720\"/></w:tabs></w:pPr>"
       "<w:r><w:t>a</w:t><w:tab/><w:t>b</w:t></w:r></w:p>",
       "a\tb\r\n"},
      {"<w:p><w:r><w:t>one</w:t><w:br/><w:t>two</w:t><w:cr/><w:t>x</w:t><w:noBreakHyphen/>"
       "<w:t>y</w:t></w:r></w:p>",
       "one\r\ntwo\r\nx-y\r\n"},
      // deleted text and field codes are left out; inserted text and field results kept
      {"<w:p><w:del><w:r><w:delText>old</w:delText></w:r></w:del><w:ins><w:r><w:t>new</w:t></w:r>"
       "</w:ins><w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText> PAGE </w:instrText>"
       "</w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r><w:r><w:t>7</w:t></w:r></w:p>",
       "new7\r\n"},
      // a text box's paragraph ends first; only the choice of an alternate content is read
      {"<w:p><w:r><w:t>before </w:t></w:r><w:r><mc:AlternateContent><mc:Choice Requires=\"wps\">"
       "<w:drawing><w:txbxContent><w:p><w:r><w:t>in the box</w:t></w:r></w:p></w:txbxContent>"
       "</w:drawing></mc:Choice><mc:Fallback><w:pict><w:txbxContent><w:p><w:r><w:t>in the box"
       "</w:t></w:r></w:p></w:txbxContent></w:pict></mc:Fallback></mc:AlternateContent></w:r>"
       "<w:r><w:t>after</w:t></w:r></w:p>",
       "in the box\r\nbefore after\r\n"},
      // entities and character references are decoded, text outside w:t is not read
      {"<w:p><w:r><w:t xml:space=\"preserve\">A&amp;B &lt;c&gt; &#x4E2D;&#25991; &bogus;</w:t>"
       "</w:r><w:proofErr w:type=\"spellStart\"/></w:p>",
       u8"A&B <c> 中文 &bogus;\r\n"},
      // a prefix is only a name: the namespace decides
      {"<w:p xmlns:v=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
       "<v:r><v:t>bound</v:t></v:r><x:t xmlns:x=\"urn:other\">foreign</x:t></w:p>",
       "bound\r\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(View(Word(c.body)), c.text) << c.body;
  }
}

TEST(OfficeTextView, WordHeadersThenFootersByTheirNumbers) {
  auto part = [](const char* text) {
    return std::string("<w:hdr") + kWordNs + "><w:p><w:r><w:t>" + text + "</w:t></w:r></w:p></w:hdr>";
  };
  const auto package = Word("<w:p><w:r><w:t>body</w:t></w:r></w:p>",
                            {{"word/footer1.xml", part("f1")},
                             {"word/header10.xml", part("h10")},
                             {"word/header2.xml", part("h2")},
                             {"word/footnotes.xml", part("note")}});
  EXPECT_EQ(View(package), "body\r\nh2\r\nh10\r\nf1\r\n");
  EXPECT_EQ(View(package, true).find("h2"), std::string::npos) << "the XML view is the body only";
}

std::vector<unsigned char> Workbook(const std::string& sheets, const Parts& more) {
  Parts parts = {
      {"[Content_Types].xml",
       ContentTypes("xl/workbook.xml",
                    "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml")},
      {"xl/workbook.xml", std::string("<workbook xmlns=\"http://schemas.openxmlformats.org/"
                                      "spreadsheetml/2006/main\" xmlns:r=\"") +
                              kRelNs + "\"><sheets>" + sheets + "</sheets></workbook>"}};
  parts.insert(parts.end(), more.begin(), more.end());
  return Package(parts);
}

std::string Sheet(const std::string& rows) {
  return "<x:worksheet xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
         "<x:sheetData>" + rows + "</x:sheetData></x:worksheet>";
}

TEST(OfficeTextView, ExcelSheetsRowsCellsAndFormulas) {
  const std::string shared =
      "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
      "<si><t>Name</t></si><si><r><t>Zh</t></r><r><rPr><b/></rPr><t>ang</t></r>"
      "<rPh><t>reading</t></rPh></si></sst>";
  const auto package = Workbook(
      "<sheet name=\"Scores &amp; totals\" sheetId=\"1\" r:id=\"rId7\"/>"
      "<sheet name=\"Empty\" sheetId=\"2\" r:id=\"rId3\"/>",
      {{"xl/_rels/workbook.xml.rels",
        Relationships({{"rId3", "worksheets/sheet1.xml"}, {"rId7", "/xl/worksheets/sheet2.xml"}},
                      "<Relationship Id=\"rId9\" Type=\"http://x/sharedStrings\" "
                      "Target=\"sharedStrings.xml\"/>")},
       {"xl/sharedStrings.xml", shared},
       {"xl/worksheets/sheet1.xml", Sheet("")},
       {"xl/worksheets/sheet2.xml",
        Sheet("<x:row r=\"1\"><x:c r=\"A1\" t=\"s\"><x:v>0</x:v></x:c>"
              "<x:c r=\"C1\" t=\"inlineStr\"><x:is><x:t>in&lt;line</x:t></x:is></x:c></x:row>"
              "<x:row r=\"2\"><x:c r=\"A2\" t=\"s\"><x:v>1</x:v></x:c><x:c r=\"B2\"><x:v>92.5</x:v>"
              "</x:c><x:c r=\"C2\" t=\"b\"><x:v>1</x:v></x:c><x:c r=\"D2\"><x:f>SUM(B2:C2)</x:f>"
              "<x:v>93.5</x:v></x:c><x:c r=\"E2\" t=\"str\"><x:f t=\"shared\" ref=\"E2:E3\" si=\"0\">"
              "A2&amp;\"!\"</x:f><x:v>Zhang!</x:v></x:c></x:row>"
              "<x:row r=\"3\"><x:c r=\"B3\" t=\"b\"><x:v>0</x:v></x:c><x:c r=\"E3\" t=\"str\">"
              "<x:f t=\"shared\" si=\"0\"/><x:v>!</x:v></x:c></x:row><x:row r=\"4\"/>")}});
  EXPECT_EQ(View(package),
            u8"[工作表 Scores & totals]\r\n"
            "Name\t\tin<line\r\n"
            "Zhang\t92.5\tTRUE\t93.5\tZhang!\r\n"
            "\tFALSE\t\t\t!\r\n"
            "\r\n"
            "D2=SUM(B2:C2)\r\n"
            "E2=A2&\"!\"\r\n" +
                std::string(u8"[工作表 Empty]\r\n"));
  // the XML view: the worksheets in workbook order, as stored
  EXPECT_EQ(View(package, true).find("<x:worksheet"), 0u);
  EXPECT_NE(View(package, true).find(Sheet("")), std::string::npos);
}

TEST(OfficeTextView, PowerPointSlidesInPresentationOrder) {
  const std::string ns =
      " xmlns:p=\"http://schemas.openxmlformats.org/presentationml/2006/main\""
      " xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\"";
  auto slide = [&](const std::string& paragraphs) {
    return "<p:sld" + ns + "><p:cSld><p:spTree><p:sp><p:txBody>" + paragraphs +
           "</p:txBody></p:sp></p:spTree></p:cSld></p:sld>";
  };
  const auto package = Package(
      {{"[Content_Types].xml",
        ContentTypes("ppt/presentation.xml",
                     "application/vnd.openxmlformats-officedocument.presentationml.presentation.main+xml")},
       {"ppt/presentation.xml", "<p:presentation" + ns + " xmlns:r=\"" + kRelNs +
                                    "\"><p:sldIdLst><p:sldId id=\"256\" r:id=\"rId2\"/>"
                                    "<p:sldId id=\"257\" r:id=\"rId1\"/></p:sldIdLst></p:presentation>"},
       {"ppt/_rels/presentation.xml.rels",
        Relationships({{"rId1", "slides/slide1.xml"}, {"rId2", "slides/slide2.xml"}})},
       {"ppt/slides/slide1.xml", slide("<a:p><a:r><a:t>last</a:t></a:r></a:p>")},
       {"ppt/slides/slide2.xml",
        slide("<a:p><a:r><a:t>Title</a:t></a:r></a:p><a:p><a:r><a:t>line</a:t></a:r><a:br/>"
              "<a:r><a:t>break</a:t></a:r><a:fld type=\"slidenum\"><a:t> 1</a:t></a:fld></a:p>")}});
  EXPECT_EQ(View(package),
            u8"[幻灯片 1]\r\nTitle\r\nline\r\nbreak 1\r\n" + std::string(u8"[幻灯片 2]\r\nlast\r\n"));
}

TEST(OfficeTextView, PackagesThatGiveNoView) {
  const std::string body = "<w:p><w:r><w:t>text</w:t></w:r></w:p>";
  std::vector<unsigned char> cut = Word(body);
  cut.resize(cut.size() - 30);
  std::vector<unsigned char> unclosed = Word("<w:p><w:r><w:t>text</w:t></w:r>");
  std::vector<unsigned char> plainZip = Package({{"readme.txt", "text"}});
  std::vector<unsigned char> missingSheet = Workbook(
      "<sheet name=\"A\" sheetId=\"1\" r:id=\"rId1\"/>",
      {{"xl/_rels/workbook.xml.rels", Relationships({{"rId1", "worksheets/gone.xml"}})}});
  EXPECT_EQ(View(cut), "(not opened)");
  EXPECT_EQ(View(plainZip), "(not opened)");
  EXPECT_EQ(View(unclosed), "(no view)");
  EXPECT_EQ(View(missingSheet), "(no view)");
  EXPECT_EQ(View(Word(body)), "text\r\n");

  // A small sheet whose text would be large: a long shared string in every cell, or a cell in
  // the last column of every row. The view may grow no larger than one part may.
  const Parts workbookParts = {
      {"xl/_rels/workbook.xml.rels", Relationships({{"rId1", "worksheets/sheet1.xml"}},
                                                   "<Relationship Id=\"rId2\" Type=\"x/sharedStrings\" "
                                                   "Target=\"sharedStrings.xml\"/>")},
      {"xl/sharedStrings.xml",
       "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><si><t>" +
           std::string(4000, 'x') + "</t></si></sst>"}};
  std::string manyCells;
  std::string lastColumns;
  for (int i = 0; i < 300; ++i) {
    manyCells += "<x:c t=\"s\"><x:v>0</x:v></x:c>";
    lastColumns += "<x:row><x:c r=\"XFD1\"/></x:row>";
  }
  for (const std::string& rows : {"<x:row>" + manyCells + "</x:row>", lastColumns}) {
    Parts parts = workbookParts;
    parts.push_back({"xl/worksheets/sheet1.xml", Sheet(rows)});
    const auto package = Workbook("<sheet name=\"a\" r:id=\"rId1\"/>", parts);
    ZipLimits limits;
    limits.maxEntrySize = 1 << 20;
    EXPECT_EQ(View(package, false, limits), "(no view)");
    limits.maxEntrySize = 8 << 20;
    EXPECT_GT(View(package, false, limits).size(), 1u << 20);
  }
}

}  // namespace
}  // namespace velmor
