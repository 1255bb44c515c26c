#include "tools/banktool/docx_import.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "common/base/text_encoding.h"
#include "common/office/office_document.h"
#include "common/office/word_paragraphs.h"

namespace velmor {

namespace {

constexpr int64_t kEmuPerPixel = 914400 / 96;
constexpr int64_t kLargestPixels = 1 << 20;

int32_t Pixels(int64_t emu) {
  if (emu <= 0) return 0;
  return static_cast<int32_t>(std::min(kLargestPixels, std::max<int64_t>(1, (emu + kEmuPerPixel / 2) / kEmuPerPixel)));
}

class DocxPictures : public PictureSource {
 public:
  DocxPictures(const OfficeDocument& document, const PictureLimits& limits)
      : document_(document), limits_(limits) {}

  std::size_t Add(WordPicture picture) {
    pictures_.push_back(std::move(picture));
    return pictures_.size() - 1;
  }

  ContentBlock Picture(std::size_t index, std::string* problem) override {
    const WordPicture& picture = pictures_.at(index);
    const int32_t width = Pixels(picture.widthEmu);
    const int32_t height = Pixels(picture.heightEmu);
    // What the picture will take at least, told before it is decoded.
    const uint64_t least = uint64_t{3} * static_cast<uint64_t>(std::min(width, limits_.maxSide)) *
                           static_cast<uint64_t>(std::min(height, limits_.maxSide));
    if (bytes_ + least > kMaxBytes) {
      *problem = TooMany();
      return ContentBlock();
    }
    std::string bytes;
    if (picture.part.empty() || !document_.ReadPart(picture.part, bytes)) {
      *problem = "a picture whose part is missing or cannot be read, left out";
      return ContentBlock();
    }
    ImportedPicture imported = ImportPicture(bytes, width, height, limits_);
    if (bytes_ + imported.record.size() > kMaxBytes) {
      *problem = TooMany();
      return ContentBlock();
    }
    bytes_ += imported.record.size();
    if (!imported.problem.empty()) {
      *problem = imported.problem;
    } else if (imported.shrunk) {
      *problem = "a picture shown at " + std::to_string(imported.wantedWidth) + " x " +
                 std::to_string(imported.wantedHeight) + " pixels scaled down to " +
                 std::to_string(imported.width) + " x " + std::to_string(imported.height);
    }
    return std::move(imported.record);
  }

 private:
  // The pictures of one document together: what a bank in memory, and the editor, can hold.
  static constexpr uint64_t kMaxBytes = uint64_t{256} << 20;

  static std::string TooMany() {
    return "a picture left out: the document's pictures would pass " + std::to_string(kMaxBytes >> 20) + " MB";
  }

  const OfficeDocument& document_;
  PictureLimits limits_;
  uint64_t bytes_ = 0;
  std::vector<WordPicture> pictures_;
};

// The characters outside ASCII take the East Asian font, the others the ASCII font.
TextFormat FormatOf(const WordRunFormat& run, bool eastAsian) {
  TextFormat format;
  format.face = eastAsian ? run.eastAsiaFont : run.asciiFont;
  format.eastAsian = eastAsian;
  format.halfPoints = run.halfPoints;
  format.bold = run.bold;
  format.italic = run.italic;
  format.underline = run.underline;
  format.coloured = run.coloured;
  format.rgb = run.rgb;
  return format;
}

// The spans of one run's text from byte `offset` of the line: each piece of ASCII and each
// piece of other characters in turn.
void AddSpans(std::string_view text, std::size_t offset, const WordRunFormat& run, std::vector<TextSpan>& spans) {
  std::size_t start = 0;
  while (start < text.size()) {
    const bool wide = static_cast<unsigned char>(text[start]) >= 0x80;
    std::size_t end = start;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) >= 0x80) == wide) ++end;
    spans.push_back(TextSpan{offset + start, offset + end, FormatOf(run, wide)});
    start = end;
  }
}

// A paragraph as the importer's lines: one for each line break in it.
void AddLines(const WordParagraph& paragraph, int number, DocxPictures& pictures, std::vector<ImportLine>& lines) {
  std::string text;
  for (const WordRun& run : paragraph.runs) text += run.text;
  std::size_t picture = 0;
  std::size_t lineStart = 0;
  std::size_t runIndex = 0;
  std::size_t runStart = 0;  // byte of the paragraph where runs[runIndex] starts
  std::string gbk;
  for (;;) {
    const std::size_t lineEnd = std::min(text.find('\n', lineStart), text.size());
    ImportLine line;
    line.number = number;
    line.text = text.substr(lineStart, lineEnd - lineStart);
    for (; runIndex < paragraph.runs.size(); ++runIndex) {
      const WordRun& run = paragraph.runs[runIndex];
      const std::size_t from = std::max(runStart, lineStart);
      const std::size_t to = std::min(runStart + run.text.size(), lineEnd);
      if (from < to) AddSpans(std::string_view(text).substr(from, to - from), from - lineStart, run.format, line.spans);
      if (runStart + run.text.size() > lineEnd) break;  // the run goes on in the next line
      runStart += run.text.size();
    }
    for (; picture < paragraph.pictures.size() && paragraph.pictures[picture].at <= lineEnd; ++picture) {
      const std::size_t at = std::max(paragraph.pictures[picture].at, lineStart) - lineStart;
      line.pictures.push_back(LinePicture{at, pictures.Add(paragraph.pictures[picture])});
    }
    gbk.clear();
    line.replaced = AppendAsGbk(UnicodeText::kUtf8, reinterpret_cast<const unsigned char*>(line.text.data()),
                                line.text.size(), gbk);
    lines.push_back(std::move(line));
    if (lineEnd >= text.size()) break;
    lineStart = lineEnd + 1;
  }
}

}  // namespace

DocxImport ImportChoiceDocx(const unsigned char* data, std::size_t size, std::string_view defaultCategory,
                            QuestionBank& bank, const PictureLimits& limits) {
  DocxImport result;
  OfficeDocument document;
  if (!document.Open(data, size)) {
    ZipArchive archive;
    result.refusal = archive.Open(data, size) ? DocxRefusal::kNotWord : DocxRefusal::kDamaged;
    return result;
  }
  if (document.kind() != OfficeKind::kWord) {
    result.refusal = DocxRefusal::kNotWord;
    return result;
  }
  std::vector<WordParagraph> paragraphs;
  if (!ReadWordParagraphs(document, paragraphs)) {
    result.refusal = DocxRefusal::kDamaged;
    return result;
  }
  DocxPictures pictures(document, limits);
  std::vector<ImportLine> lines;
  lines.reserve(paragraphs.size());
  for (std::size_t p = 0; p < paragraphs.size(); ++p) {
    AddLines(paragraphs[p], static_cast<int>(std::min<std::size_t>(p + 1, INT32_MAX)), pictures, lines);
  }
  paragraphs.clear();
  result.report = ImportChoiceLines(std::move(lines), defaultCategory, "paragraph", &pictures, bank);
  return result;
}

}  // namespace velmor
