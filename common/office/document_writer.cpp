#include "common/office/document_writer.h"

#include <string_view>

#include "common/office/zip_archive.h"
#include "common/office/xml_reader.h"

namespace velmor {

namespace {

constexpr char kXmlHead[] = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";
constexpr char kPackageRelationships[] =
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
    "relationships/officeDocument\" Target=\"%\"/></Relationships>";


std::string ContentTypes(const std::string& overrides) {
  return std::string(kXmlHead) +
         "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
         "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package."
         "relationships+xml\"/><Default Extension=\"xml\" ContentType=\"application/xml\"/>" +
         overrides + "</Types>";
}

std::string Override(const char* part, const char* type) {
  return std::string("<Override PartName=\"/") + part + "\" ContentType=\"application/" + type +
         "\"/>";
}

std::string PackageRelationships(const std::string& mainPart) {
  std::string xml = std::string(kXmlHead) + kPackageRelationships;
  return xml.replace(xml.find('%'), 1, mainPart);
}

std::vector<unsigned char> Zip(const std::vector<std::pair<const char*, std::string>>& parts) {
  ZipWriter writer;
  for (const auto& [name, content] : parts) writer.Add(name, content);
  return writer.Finish();
}

// "92", "-3.5"; not "1." nor "007", which a table keeps as typed.
bool IsNumber(std::string_view text) {
  std::size_t i = text.size() > 1 && text[0] == '-' ? 1 : 0;
  if (text.size() > i + 1 && text[i] == '0' && text[i + 1] != '.') return false;
  bool digits = false;
  bool point = false;
  for (; i < text.size(); ++i) {
    if (text[i] >= '0' && text[i] <= '9') {
      digits = true;
    } else if (text[i] == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  return digits && text.back() != '.';
}

std::string ColumnName(std::size_t column) {
  std::string name;
  for (std::size_t n = column + 1; n > 0; n = (n - 1) / 26) {
    name.insert(name.begin(), static_cast<char>('A' + (n - 1) % 26));
  }
  return name;
}

}  // namespace

std::vector<unsigned char> WriteWordDocument(const std::vector<std::string>& paragraphs) {
  std::string body;
  for (const std::string& text : paragraphs) {
    body += "<w:p><w:r><w:t xml:space=\"preserve\">" + XmlEscaped(text) + "</w:t></w:r></w:p>";
  }
  const std::string document =
      std::string(kXmlHead) +
      "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
      "<w:body>" + body +
      "<w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/><w:pgMar w:top=\"1440\" w:right=\"1800\" "
      "w:bottom=\"1440\" w:left=\"1800\" w:header=\"851\" w:footer=\"992\" w:gutter=\"0\"/>"
      "</w:sectPr></w:body></w:document>";
  return Zip({{"[Content_Types].xml",
               ContentTypes(Override("word/document.xml",
                                     "vnd.openxmlformats-officedocument.wordprocessingml."
                                     "document.main+xml"))},
              {"_rels/.rels", PackageRelationships("word/document.xml")},
              {"word/document.xml", document}});
}

std::vector<unsigned char> WriteWorkbook(const std::string& sheetName,
                                         const std::vector<std::vector<std::string>>& rows) {
  std::string data;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const std::string number = std::to_string(r + 1);
    data += "<row r=\"" + number + "\">";
    for (std::size_t c = 0; c < rows[r].size(); ++c) {
      const std::string& text = rows[r][c];
      if (text.empty()) continue;
      const std::string reference = ColumnName(c) + number;
      if (IsNumber(text)) {
        data += "<c r=\"" + reference + "\"><v>" + text + "</v></c>";
      } else {
        data += "<c r=\"" + reference + "\" t=\"inlineStr\"><is><t xml:space=\"preserve\">" +
                XmlEscaped(text) + "</t></is></c>";
      }
    }
    data += "</row>";
  }
  const char* ns = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";
  return Zip(
      {{"[Content_Types].xml",
        ContentTypes(Override("xl/workbook.xml",
                              "vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml") +
                     Override("xl/worksheets/sheet1.xml",
                              "vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"))},
       {"_rels/.rels", PackageRelationships("xl/workbook.xml")},
       {"xl/workbook.xml",
        std::string(kXmlHead) + "<workbook " + ns +
            " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
            "<sheets><sheet name=\"" + XmlEscaped(sheetName) + "\" sheetId=\"1\" r:id=\"rId1\"/>"
            "</sheets></workbook>"},
       {"xl/_rels/workbook.xml.rels",
        std::string(kXmlHead) +
            "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
            "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/"
            "2006/relationships/worksheet\" Target=\"worksheets/sheet1.xml\"/></Relationships>"},
       {"xl/worksheets/sheet1.xml",
        std::string(kXmlHead) + "<worksheet " + ns + "><sheetData>" + data +
            "</sheetData></worksheet>"}});
}

}  // namespace velmor
