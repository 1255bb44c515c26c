// Feeds arbitrary bytes to the XML reader, and as the main part of a Word document, a worksheet
// and a slide to the text and XML views. The reader must end every input with kDone or kError
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view xml(reinterpret_cast<const char*>(data), size);
  ReadAll(xml);

  velmor::ZipWriter word;
  word.Add("[Content_Types].xml", Types("word/document.xml", "wordprocessingml.document"));
  word.Add("word/document.xml", xml, velmor::ZipWriter::Method::kStored);
  word.Add("word/header1.xml", xml, velmor::ZipWriter::Method::kStored);
  Views(word.Finish());

  const std::string ns = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                         "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";
  char rels[512];
  velmor::ZipWriter excel;
  excel.Add("[Content_Types].xml", Types("xl/workbook.xml", "spreadsheetml.sheet"));
  excel.Add("xl/workbook.xml", "<workbook " + ns + "><sheets><sheet name=\"a\" r:id=\"rId1\"/>"
                               "</sheets></workbook>");
  std::snprintf(rels, sizeof rels, kRels, "worksheets/sheet1.xml");
  excel.Add("xl/_rels/workbook.xml.rels", rels);
  excel.Add("xl/worksheets/sheet1.xml", xml, velmor::ZipWriter::Method::kStored);
  excel.Add("xl/sharedStrings.xml", xml, velmor::ZipWriter::Method::kStored);
  Views(excel.Finish());

  velmor::ZipWriter slides;
  slides.Add("[Content_Types].xml", Types("ppt/presentation.xml", "presentationml.presentation"));
  slides.Add("ppt/presentation.xml",
             "<p:presentation xmlns:p=\"http://schemas.openxmlformats.org/presentationml/2006/main\" "
             "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
             "<p:sldIdLst><p:sldId r:id=\"rId1\"/></p:sldIdLst></p:presentation>");
  std::snprintf(rels, sizeof rels, kRels, "slides/slide1.xml");
  slides.Add("ppt/_rels/presentation.xml.rels", rels);
  slides.Add("ppt/slides/slide1.xml", xml, velmor::ZipWriter::Method::kStored);
  Views(slides.Finish());
  return 0;
}
