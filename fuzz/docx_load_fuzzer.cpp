// Feeds arbitrary bytes to the Word import. A zip archive (its first bytes "PK\3\4") is imported
// as a whole .docx; anything else becomes the document.xml and the one picture of a package built
// here with every part stored, so that the paragraph reader and the picture decoder are reached at
// once: the first two bytes give the XML's length (15 bits; the top bit makes the XML the styles
// part too), the rest after the XML is the picture, which is also decoded on its own. The import
// must refuse a document without reading any of it or leave a bank that saves and loads back,
// keep at most 100 problems in full, and store only pictures within the limits, each whole.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "common/base/byte_order.h"
#include "common/office/office_document.h"
#include "common/office/zip_archive.h"
#include "common/richtext/rich_content.h"
#include "tarvik/model/question_bank.h"
#include "tools/banktool/docx_import.h"
#include "tools/banktool/picture_import.h"

namespace {

velmor::PictureLimits Limits() {
  velmor::PictureLimits limits;
  limits.maxSourcePixels = 1 << 20;  // a run decodes no more than a megapixel
  limits.maxSide = 300;
  return limits;
}

void CheckPicture(const velmor::ContentBlock& record, int32_t width, int32_t height) {
  velmor::PictureView view;
  if (!velmor::ParsePictureRecord(record.data(), record.size(), &view) || view.width != width ||
      view.height != height || width < 1 || height < 1 || width > Limits().maxSide || height > Limits().maxSide) {
    std::abort();
  }
}

void Import(const unsigned char* data, std::size_t size) {
  velmor::QuestionBank bank;
  const velmor::DocxImport imported = velmor::ImportChoiceDocx(data, size, "x", bank, Limits());
  if (imported.refusal != velmor::DocxRefusal::kNone) {
    if (!bank.categories().empty() || imported.report.problemCount != 0) std::abort();
    return;
  }
  const velmor::ImportReport& report = imported.report;
  if (report.problems.size() > 100 || static_cast<int>(report.problems.size()) > report.problemCount) {
    std::abort();
  }
  int small = 0;
  for (const velmor::Category& category : bank.categories()) {
    for (const velmor::BigQuestion& big : category.questions) {
      small += static_cast<int>(big.smallQuestions.size());
      const velmor::ContentBlock& content = big.content;
      if (!content.IsWellFormed() || content.size() < velmor::kRichContentHeaderSize) std::abort();
      const velmor::RichContentParts parts = velmor::ParseRichContent(content.data(), content.size());
      const int32_t storedPictures = velmor::ReadLe32(content.data() + 20);
      if (static_cast<int32_t>(parts.pictures.size()) != storedPictures) std::abort();
      if (parts.text.size() > velmor::kMaxRichTextBytes) std::abort();
      for (const velmor::PictureView& picture : parts.pictures) {
        if (picture.width < 1 || picture.height < 1 || picture.width > Limits().maxSide ||
            picture.height > Limits().maxSide || picture.position < 0 || picture.position >= parts.characterCount) {
          std::abort();
        }
      }
      for (const velmor::FormatRun& run : parts.runs) {
        if (run.first < 0 || run.first >= run.end || run.end > parts.characterCount) std::abort();
      }
    }
  }
  if (small != report.smallQuestions) std::abort();
  velmor::MemorySink saved;
  if (!bank.SaveTo(saved)) std::abort();
  velmor::QuestionBank reloaded;
  velmor::MemorySource again(saved.bytes().data(), saved.bytes().size());
  if (!reloaded.LoadFrom(again)) std::abort();
}

void Add(velmor::ZipWriter& writer, const char* name, std::string_view content) {
  writer.Add(name, content, velmor::ZipWriter::Method::kStored);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (velmor::LooksLikeZip(data, size)) {
    Import(data, size);
    return 0;
  }
  if (size < 2) return 0;
  const std::size_t xmlSize = std::min<std::size_t>(size - 2, data[0] | (data[1] & 0x7F) << 8);
  const bool styled = data[1] & 0x80;
  const std::string_view xml(reinterpret_cast<const char*>(data) + 2, xmlSize);
  const std::string_view picture(reinterpret_cast<const char*>(data) + 2 + xmlSize, size - 2 - xmlSize);

  const velmor::ImportedPicture alone =
      velmor::ImportPicture(picture, static_cast<int32_t>(size % 37), static_cast<int32_t>(size % 23), Limits());
  if (alone.record.empty() == alone.problem.empty()) std::abort();
  if (!alone.record.empty()) CheckPicture(alone.record, alone.width, alone.height);

  velmor::ZipWriter word;
  Add(word, "[Content_Types].xml",
      "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"><Override "
      "PartName=\"/word/document.xml\" ContentType=\"application/"
      "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/></Types>");
  Add(word, "word/document.xml", xml);
  Add(word, "word/_rels/document.xml.rels",
      "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
      "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
      "image\" Target=\"media/image1.png\"/><Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/"
      "officeDocument/2006/relationships/styles\" Target=\"styles.xml\"/></Relationships>");
  Add(word, "word/styles.xml",
      styled ? xml
             : "<w:styles xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:docDefaults>"
               "<w:rPrDefault><w:rPr><w:rFonts w:ascii=\"Arial\" w:eastAsia=\"SimSun\"/><w:sz w:val=\"21\"/>"
               "</w:rPr></w:rPrDefault></w:docDefaults><w:style w:type=\"paragraph\" w:styleId=\"H\"><w:rPr><w:b/>"
               "<w:color w:val=\"FF0000\"/></w:rPr></w:style></w:styles>");
  Add(word, "word/media/image1.png", picture);
  const std::vector<unsigned char> package = word.Finish();
  Import(package.data(), package.size());
  return 0;
}
