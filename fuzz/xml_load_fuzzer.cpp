// Feeds arbitrary bytes to the XML reader, and as the main part of a Word document, a worksheet
// or a slide to the text and XML views. The reader must end every input with kDone or kError
// in at most two tokens a byte, never decode text longer than it was written, and keep its depth
// in step with its tags; a view must come back whole or not at all.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "common/office/office_document.h"
#include "common/office/xml_reader.h"
#include "common/office/zip_archive.h"

namespace {

void ReadAll(std::string_view xml) {
  velmor::XmlReader reader(xml);
  std::size_t tokens = 0;
  int depth = 0;
  std::string decoded;
  for (;;) {
    const velmor::XmlReader::Token token = reader.Next();
    if (++tokens > 2 * xml.size() + 2) std::abort();
    if (token == velmor::XmlReader::Token::kDone) {
      if (depth != 0) std::abort();
      return;
    }
    if (token == velmor::XmlReader::Token::kError) return;
    if (token == velmor::XmlReader::Token::kText) {
      decoded.clear();
      reader.AppendText(decoded);
      if (decoded.size() > reader.rawText().size()) std::abort();
      continue;
    }
    if (reader.name().empty()) std::abort();
    depth += token == velmor::XmlReader::Token::kStart ? 1 : -1;
    if (depth != reader.depth() || depth < 0) std::abort();
    std::size_t position = 0;
    std::string_view name;
    std::string_view value;
    while (reader.NextAttribute(&position, &name, &value)) {
      if (name.empty() || position > reader.rawAttributes().size()) std::abort();
    }
  }
}

const char kTypes[] =
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Override PartName=\"/%s\" ContentType=\"application/vnd.openxmlformats-officedocument.%s.main+xml\"/>"
    "</Types>";

std::string Types(const char* part, const char* type) {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, kTypes, part, type);
  return buffer;
}

const char kRels[] =
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" Type=\"t\" Target=\"%s\"/>"
    "<Relationship Id=\"rId2\" Type=\"x/sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>";

void Views(const std::vector<unsigned char>& package) {
  velmor::OfficeDocument document;
  if (!document.Open(package.data(), package.size())) std::abort();  // the parts above are sound
  std::string view;
  if (!document.TextView(view) && !view.empty()) std::abort();
  if (!document.XmlView(view) && !view.empty()) std::abort();
}

// Every part stored: the views are under test here, not the inflater.
void Add(velmor::ZipWriter& writer, const char* name, std::string_view content) {
  writer.Add(name, content, velmor::ZipWriter::Method::kStored);
}

std::vector<unsigned char> WordOf(std::string_view xml) {
  velmor::ZipWriter word;
  Add(word, "[Content_Types].xml", Types("word/document.xml", "wordprocessingml.document"));
  Add(word, "word/document.xml", xml);
  Add(word, "word/header1.xml", xml);
  return word.Finish();
}

std::vector<unsigned char> WorkbookOf(std::string_view xml) {
  const std::string ns = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                         "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";
  char rels[512];
  std::snprintf(rels, sizeof rels, kRels, "worksheets/sheet1.xml");
  velmor::ZipWriter excel;
  Add(excel, "[Content_Types].xml", Types("xl/workbook.xml", "spreadsheetml.sheet"));
  Add(excel, "xl/workbook.xml", "<workbook " + ns + "><sheets><sheet name=\"a\" r:id=\"rId1\"/>"
                                "</sheets></workbook>");
  Add(excel, "xl/_rels/workbook.xml.rels", rels);
  Add(excel, "xl/worksheets/sheet1.xml", xml);
  Add(excel, "xl/sharedStrings.xml", xml);
  return excel.Finish();
}

std::vector<unsigned char> SlidesOf(std::string_view xml) {
  char rels[512];
  std::snprintf(rels, sizeof rels, kRels, "slides/slide1.xml");
  velmor::ZipWriter slides;
  Add(slides, "[Content_Types].xml", Types("ppt/presentation.xml", "presentationml.presentation"));
  Add(slides, "ppt/presentation.xml",
      "<p:presentation xmlns:p=\"http://schemas.openxmlformats.org/presentationml/2006/main\" "
      "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
      "<p:sldIdLst><p:sldId r:id=\"rId1\"/></p:sldIdLst></p:presentation>");
  Add(slides, "ppt/_rels/presentation.xml.rels", rels);
  Add(slides, "ppt/slides/slide1.xml", xml);
  return slides.Finish();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view xml(reinterpret_cast<const char*>(data), size);
  ReadAll(xml);
  // The input's length chooses the kind of document it becomes a part of: one package a run.
  switch (size % 3) {
    case 0: Views(WordOf(xml)); break;
    case 1: Views(WorkbookOf(xml)); break;
    default: Views(SlidesOf(xml)); break;
  }
  return 0;
}
