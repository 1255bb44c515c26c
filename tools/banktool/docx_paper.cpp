#include "tools/banktool/docx_paper.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>
#include <unordered_map>

#define ZLIB_CONST
#include <zlib.h>

#include "common/base/gbk.h"
#include "common/office/zip_archive.h"
#include "common/richtext/rich_content.h"
#include "common/richtext/rtf_load.h"
#include "tools/banktool/html_page.h"
#include "tools/banktool/paper_export.h"
#include "tools/banktool/png_writer.h"

namespace velmor {

namespace {

constexpr char kXmlHead[] = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";
constexpr char kWordNamespaces[] =
    " xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\""
    " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";
constexpr char kDrawingNamespaces[] =
    " xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\""
    " xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\""
    " xmlns:pic=\"http://schemas.openxmlformats.org/drawingml/2006/picture\"";
constexpr char kRelationshipTypes[] = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

// A4 with the margins of Word's Chinese template, in twips.
constexpr int kPageWidth = 11906;
constexpr int kPageHeight = 16838;
constexpr int kSideMargin = 1800;
constexpr int kTopMargin = 1440;
constexpr int kTextWidth = kPageWidth - 2 * kSideMargin;
constexpr int kTextHeight = kPageHeight - 2 * kTopMargin;
// The body text is 五号 (10.5 pt): a Chinese character 210 twips wide, a Latin one about half.
constexpr int kFullWidth = 210;
constexpr int kHalfWidth = 105;
constexpr int kOptionIndent = 2 * kFullWidth;
constexpr int kColumnGap = 2 * kFullWidth;
constexpr int64_t kEmuPerPixel = 9525;  // at 96 dpi
constexpr int64_t kEmuPerTwip = 635;

// The relationships of the document part; pictures follow from kFirstPicture.
constexpr int kStylesRelationship = 1;
constexpr int kSettingsRelationship = 2;
constexpr int kFontTableRelationship = 3;
constexpr int kFooterRelationship = 4;
constexpr int kFirstPicture = 5;

// 1 to 99 as Chinese numerals (一, 十, 十一, 二十, 九十九); beyond, Arabic digits.
std::string ChineseNumber(int number) {
  static const char* const kDigits[] = {"", u8"一", u8"二", u8"三", u8"四", u8"五", u8"六", u8"七", u8"八", u8"九"};
  if (number < 1 || number > 99) return std::to_string(number);
  if (number < 10) return kDigits[number];
  return std::string(number >= 20 ? kDigits[number / 10] : "") + u8"十" + kDigits[number % 10];
}

// How wide GBK text prints in the body font.
int TextTwips(std::string_view gbk) {
  int twips = 0;
  for (std::size_t at = 0; at < gbk.size(); ++at) {
    if (IsGbkLeadByte(static_cast<unsigned char>(gbk[at])) && at + 1 < gbk.size()) {
      twips += kFullWidth;
      ++at;
    } else {
      twips += kHalfWidth;
    }
  }
  return twips;
}

// A stem read from its blob: text pieces of one format, pictures and paragraph ends, in order.
struct StemItem {
  enum Kind { kText, kPicture, kParagraphEnd } kind = kText;
  std::size_t span = 0;  // of a text piece
  std::string_view text;
  const PictureView* picture = nullptr;
};

struct Stem {
  RichContentParts parts;
  std::vector<FormatSpan> spans;
  std::vector<const PictureView*> pictures;  // by place, one at each place
  std::vector<StemItem> items;
  std::string visibleText;  // the text without the pictures' places, CR LF between paragraphs
};

void ReadStem(const ContentBlock& content, Stem& stem) {
  stem.parts = ParseRichContent(content.data(), content.size());
  const std::string& text = stem.parts.text;
  // The control's characters: a double-byte GBK character, CR LF and every other byte each
  // count one.
  auto characterBytes = [&text](std::size_t at) -> std::size_t {
    if (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n') return 2;
    if (IsGbkLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size()) return 2;
    return 1;
  };
  int32_t count = 0;
  for (std::size_t at = 0; at < text.size(); at += characterBytes(at)) ++count;
  CharFormatFields plain;
  plain.effects = kEffectAutoColour;
  stem.spans = ResolveRuns(plain, count, stem.parts.runs);
  for (const PictureView& picture : stem.parts.pictures) {
    if (picture.width > 0 && picture.height > 0) stem.pictures.push_back(&picture);
  }
  std::stable_sort(stem.pictures.begin(), stem.pictures.end(),
                   [](const PictureView* a, const PictureView* b) { return a->position < b->position; });
  stem.pictures.erase(std::unique(stem.pictures.begin(), stem.pictures.end(),
                                  [](const PictureView* a, const PictureView* b) { return a->position == b->position; }),
                      stem.pictures.end());
  auto nextPicture = std::lower_bound(stem.pictures.begin(), stem.pictures.end(), 0,
                                      [](const PictureView* picture, int32_t at) { return picture->position < at; });
  std::size_t byte = 0;
  for (std::size_t s = 0; s < stem.spans.size(); ++s) {
    const FormatSpan& span = stem.spans[s];
    std::size_t piece = byte;
    auto flush = [&] {
      if (byte > piece) stem.items.push_back({StemItem::kText, s, std::string_view(text).substr(piece, byte - piece), nullptr});
    };
    for (int32_t p = span.first; p < span.end; ++p) {
      const std::size_t length = characterBytes(byte);
      if (nextPicture != stem.pictures.end() && (*nextPicture)->position == p) {
        flush();
        stem.items.push_back({StemItem::kPicture, s, {}, *nextPicture++});
        piece = byte + length;
      } else if (text[byte] == '\r' || text[byte] == '\n') {
        flush();
        stem.items.push_back({StemItem::kParagraphEnd, 0, {}, nullptr});
        stem.visibleText += "\r\n";
        piece = byte + length;
      } else {
        stem.visibleText.append(text, byte, length);
      }
      byte += length;
    }
    flush();
  }
  // A picture placed past the text still shows, after it.
  for (; nextPicture != stem.pictures.end(); ++nextPicture) {
    stem.items.push_back({StemItem::kPicture, 0, {}, *nextPicture});
  }
  // Empty paragraphs at the end print as nothing but space.
  while (!stem.items.empty() && stem.items.back().kind == StemItem::kParagraphEnd) stem.items.pop_back();
}

// Without blanks, tabs and line ends at either end (GBK blanks are ASCII or the full-width
// space A1A1, whose bytes no other character ends with).
std::string_view TrimmedGbk(std::string_view text) {
  for (;;) {
    if (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '\r' || text.front() == '\n')) {
      text.remove_prefix(1);
    } else if (text.size() >= 2 && text.substr(0, 2) == "\xA1\xA1") {
      text.remove_prefix(2);
    } else {
      break;
    }
  }
  for (;;) {
    if (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' || text.back() == '\n')) {
      text.remove_suffix(1);
    } else if (text.size() >= 2 && text.substr(text.size() - 2) == "\xA1\xA1" &&
               GbkWholeLength(text.substr(0, text.size() - 1)) == text.size() - 2) {
      text.remove_suffix(2);
    } else {
      break;
    }
  }
  return text;
}

// Whether the one small question of a big question says what its stem says: the same text,
// or the stem's text cut to what the small question's field holds.
bool RepeatsStem(const BigQuestion& big, const Stem& stem) {
  if (big.smallQuestions.size() != 1) return false;
  const std::string_view small = TrimmedGbk(big.smallQuestions[0].text.text());
  const std::string_view whole = TrimmedGbk(stem.visibleText);
  if (small.empty()) return false;
  if (small == whole) return true;
  constexpr std::size_t kFieldText = 127;
  return whole.size() > kFieldText && small == TrimmedGbk(whole.substr(0, GbkCutLength(whole, kFieldText)));
}

struct Picture {
  int32_t width = 0;
  int32_t height = 0;
  const unsigned char* pixels = nullptr;
  std::string png;
};

class PaperWriter {
 public:
  PaperWriter(const QuestionBank& bank, bool answers) : bank_(bank), answers_(answers) {}

  std::vector<unsigned char> Write();

 private:
  void Title();
  void BigQuestion(const velmor::BigQuestion& big);
  void QuestionLine(const SmallQuestion& small, const Stem* stem);
  void Options(const SmallQuestion& small);
  void Key();
  // Cells side by side: as many columns as the widest cell lets the room hold (the first of
  // `choices` that fits), each row one paragraph, tab stops at the columns.
  template <typename PutCell>
  void Rows(const std::vector<int>& widths, int indent, std::initializer_list<int> choices, bool keepLast,
            PutCell putCell);

  // A paragraph of one run: `prefix` (UTF-8, escaped) and then `gbk`.
  void Paragraph(std::string_view properties, std::string_view prefix, std::string_view gbk);
  void StemRuns(const Stem& stem, std::size_t first, std::size_t end, bool breaks);
  void Text(std::string_view gbk);
  void RunProperties(const CharFormatFields& format);
  void Drawing(const PictureView& picture);
  int PictureRelationship(const PictureView& picture);

  std::string ContentTypes() const;
  std::string DocumentRelationships() const;
  std::string CoreProperties();

  const QuestionBank& bank_;
  const bool answers_;
  Page xml_;
  HtmlText text_;
  int number_ = 0;
  int drawings_ = 0;
  PngEncoder png_;
  std::vector<Picture> pictures_;
  std::unordered_map<uint32_t, std::vector<std::size_t>> picturesByCrc_;
  std::vector<std::string> key_;  // "N．letters" in UTF-8
};

void PaperWriter::Paragraph(std::string_view properties, std::string_view prefix, std::string_view gbk) {
  Put(xml_, {"<w:p>", properties, "<w:r>"});
  if (!prefix.empty()) Put(xml_, {"<w:t xml:space=\"preserve\">", prefix, "</w:t>"});
  if (!gbk.empty()) Text(gbk);
  xml_ += "</w:r></w:p>";
}

// Text without the control characters that XML cannot hold.
std::string WithoutControls(std::string_view gbk) {
  std::string kept;
  for (char c : gbk) {
    if (static_cast<unsigned char>(c) >= 0x20) kept += c;
  }
  return kept;
}

// GBK text as runs' text: a tab becomes a tab, a line end or a vertical tab a line break, any
// other control character (which XML cannot hold) is left out.
void PaperWriter::Text(std::string_view gbk) {
  xml_ += "<w:t xml:space=\"preserve\">";
  std::size_t piece = 0;
  for (std::size_t at = 0; at <= gbk.size(); ++at) {
    // A control byte is never the trail byte of a GBK character, which is 0x40 or more.
    if (at < gbk.size() && static_cast<unsigned char>(gbk[at]) >= 0x20) continue;
    text_.Append(gbk.substr(piece, at - piece), xml_);
    piece = at + 1;
    if (at == gbk.size()) break;
    const char control = gbk[at];
    if (control == '\t') {
      xml_ += "</w:t><w:tab/><w:t xml:space=\"preserve\">";
    } else if (control == '\n' || control == '\v' || (control == '\r' && !(at + 1 < gbk.size() && gbk[at + 1] == '\n'))) {
      xml_ += "</w:t><w:br/><w:t xml:space=\"preserve\">";
    }
  }
  xml_ += "</w:t>";
}

void PaperWriter::RunProperties(const CharFormatFields& format) {
  xml_ += "<w:rPr>";
  const std::string face = WithoutControls(format.face);
  if (!face.empty()) {
    Page name;
    text_.Append(face, name);
    Put(xml_, {"<w:rFonts w:ascii=\"", name.view(), "\" w:hAnsi=\"", name.view(), "\" w:eastAsia=\"", name.view(),
               "\" w:cs=\"", name.view(), "\"/>"});
  }
  if (format.effects & kMaskBold) xml_ += "<w:b/><w:bCs/>";
  if (format.effects & kMaskItalic) xml_ += "<w:i/><w:iCs/>";
  if (format.effects & kMaskStrikeOut) xml_ += "<w:strike/>";
  if (!(format.effects & kEffectAutoColour)) {
    static const char kHex[] = "0123456789ABCDEF";
    char colour[6];
    for (int channel = 0; channel < 3; ++channel) {
      const uint32_t value = format.colour >> (8 * channel);
      colour[2 * channel] = kHex[(value >> 4) & 15];
      colour[2 * channel + 1] = kHex[value & 15];
    }
    Put(xml_, {"<w:color w:val=\"", std::string_view(colour, 6), "\"/>"});
  }
  // Raised or lowered text, in half points as Word allows them.
  const int32_t offset = std::clamp(format.offset / 10, -1584, 1584);
  if (offset != 0) Put(xml_, {"<w:position w:val=\"", Decimal(offset), "\"/>"});
  if (format.height > 0 && format.height < 20 * 200) {
    const Decimal halfPoints(std::max(2, (format.height + 5) / 10));
    Put(xml_, {"<w:sz w:val=\"", halfPoints, "\"/><w:szCs w:val=\"", halfPoints, "\"/>"});
  }
  if (format.effects & kMaskUnderline) xml_ += "<w:u w:val=\"single\"/>";
  xml_ += "</w:rPr>";
}

int PaperWriter::PictureRelationship(const PictureView& picture) {
  const std::size_t size = std::size_t{3} * static_cast<std::size_t>(picture.width) *
                           static_cast<std::size_t>(picture.height);
  uLong crc = crc32(0L, Z_NULL, 0);
  for (std::size_t done = 0; done < size;) {
    const std::size_t piece = std::min<std::size_t>(size - done, 1u << 30);
    crc = crc32(crc, picture.pixels() + done, static_cast<uInt>(piece));
    done += piece;
  }
  // The same picture in several stems is stored once.
  std::vector<std::size_t>& same = picturesByCrc_[static_cast<uint32_t>(crc)];
  for (std::size_t index : same) {
    const Picture& known = pictures_[index];
    if (known.width == picture.width && known.height == picture.height &&
        std::memcmp(known.pixels, picture.pixels(), size) == 0) {
      return kFirstPicture + static_cast<int>(index);
    }
  }
  std::string png = png_.Encode(picture.width, picture.height, picture.pixels());
  if (png.empty()) return 0;
  same.push_back(pictures_.size());
  pictures_.push_back({picture.width, picture.height, picture.pixels(), std::move(png)});
  return kFirstPicture + static_cast<int>(pictures_.size()) - 1;
}

// A picture inline in its paragraph, at 96 dpi, made smaller (its proportions kept) when it
// is wider or taller than the text of a page.
void PaperWriter::Drawing(const PictureView& picture) {
  const int relationship = PictureRelationship(picture);
  if (relationship == 0) return;
  int64_t width = picture.width * kEmuPerPixel;
  int64_t height = picture.height * kEmuPerPixel;
  if (width > kTextWidth * kEmuPerTwip) {
    height = std::max<int64_t>(1, height * (kTextWidth * kEmuPerTwip) / width);
    width = kTextWidth * kEmuPerTwip;
  }
  if (height > kTextHeight * kEmuPerTwip) {
    width = std::max<int64_t>(1, width * (kTextHeight * kEmuPerTwip) / height);
    height = kTextHeight * kEmuPerTwip;
  }
  const Decimal id(++drawings_);
  const Decimal cx(width);
  const Decimal cy(height);
  Put(xml_, {"<w:r><w:drawing><wp:inline distT=\"0\" distB=\"0\" distL=\"0\" distR=\"0\"><wp:extent cx=\"", cx,
             "\" cy=\"", cy, "\"/><wp:effectExtent l=\"0\" t=\"0\" r=\"0\" b=\"0\"/><wp:docPr id=\"", id,
             u8"\" name=\"图片 ", id,
             "\"/><wp:cNvGraphicFramePr><a:graphicFrameLocks noChangeAspect=\"1\"/></wp:cNvGraphicFramePr>"
             "<a:graphic><a:graphicData uri=\"http://schemas.openxmlformats.org/drawingml/2006/picture\">"
             "<pic:pic><pic:nvPicPr><pic:cNvPr id=\"", id, "\" name=\"image",
             Decimal(relationship - kFirstPicture + 1),
             ".png\"/><pic:cNvPicPr/></pic:nvPicPr><pic:blipFill><a:blip r:embed=\"rId", Decimal(relationship),
             "\"/><a:stretch><a:fillRect/></a:stretch></pic:blipFill><pic:spPr><a:xfrm><a:off x=\"0\" y=\"0\"/>"
             "<a:ext cx=\"", cx, "\" cy=\"", cy,
             "\"/></a:xfrm><a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom></pic:spPr></pic:pic></a:graphicData>"
             "</a:graphic></wp:inline></w:drawing></w:r>"});
}

// The text pieces of items [first, end) in their formats; pictures drawn where they stand,
// or left out (`breaks`: a paragraph end becomes a line break, for a stem put on one line).
void PaperWriter::StemRuns(const Stem& stem, std::size_t first, std::size_t end, bool breaks) {
  for (std::size_t i = first; i < end; ++i) {
    const StemItem& item = stem.items[i];
    if (item.kind == StemItem::kText) {
      xml_ += "<w:r>";
      RunProperties(stem.spans[item.span].format);
      Text(item.text);
      xml_ += "</w:r>";
    } else if (item.kind == StemItem::kPicture && !breaks) {
      Drawing(*item.picture);
    } else if (item.kind == StemItem::kParagraphEnd && breaks) {
      xml_ += "<w:r><w:br/></w:r>";
    }
  }
}

void PaperWriter::Title() {
  const std::string_view title = bank_.title().text();
  Paragraph("<w:pPr><w:pStyle w:val=\"Title\"/></w:pPr>", title.empty() ? u8"试卷" : "", title);
  int64_t total = 0;
  for (const Category& category : bank_.categories()) {
    for (const velmor::BigQuestion& big : category.questions) {
      for (const SmallQuestion& small : big.smallQuestions) total += small.score;
    }
  }
  Page line;
  Put(line, {u8"姓名：＿＿＿＿＿＿　　得分：＿＿＿＿（满分 ", Decimal(total), u8" 分）"});
  Paragraph("<w:pPr><w:spacing w:after=\"240\"/><w:jc w:val=\"center\"/></w:pPr>", line.view(), "");
}

void PaperWriter::QuestionLine(const SmallQuestion& small, const Stem* stem) {
  ++number_;
  Put(xml_, {"<w:p><w:pPr><w:keepNext/><w:spacing w:before=\"120\"/></w:pPr><w:r><w:t>", Decimal(number_),
             u8"．</w:t></w:r>"});
  if (stem) {
    StemRuns(*stem, 0, stem->items.size(), true);
  } else {
    xml_ += "<w:r>";
    Text(small.text.text());
    xml_ += "</w:r>";
  }
  Put(xml_, {small.singleChoice ? u8"<w:r><w:t>（单选，" : u8"<w:r><w:t>（多选，", Decimal(small.score),
             u8"分）</w:t></w:r></w:p>"});
  const std::string letters = AnswerLetters(small);
  key_.push_back(std::to_string(number_) + u8"．" + (letters.empty() ? std::string(u8"（无）") : letters));
}

template <typename PutCell>
void PaperWriter::Rows(const std::vector<int>& widths, int indent, std::initializer_list<int> choices,
                       bool keepLast, PutCell putCell) {
  const int widest = widths.empty() ? 0 : *std::max_element(widths.begin(), widths.end());
  const int room = kTextWidth - indent;
  int columns = 1;
  for (int choice : choices) {
    if (choice >= 1 && widest + kColumnGap <= room / choice) {
      columns = choice;
      break;
    }
  }
  const int column = room / columns;
  for (std::size_t first = 0; first < widths.size(); first += static_cast<std::size_t>(columns)) {
    const std::size_t end = std::min(widths.size(), first + static_cast<std::size_t>(columns));
    xml_ += "<w:p><w:pPr>";
    if (end < widths.size() || keepLast) xml_ += "<w:keepNext/>";
    if (columns > 1) {
      xml_ += "<w:tabs>";
      for (int c = 1; c < columns; ++c) Put(xml_, {"<w:tab w:val=\"left\" w:pos=\"", Decimal(indent + c * column), "\"/>"});
      xml_ += "</w:tabs>";
      Put(xml_, {"<w:ind w:left=\"", Decimal(indent), "\"/>"});
    } else {
      // A cell longer than a line wraps under its own text, not under its label.
      Put(xml_, {"<w:ind w:left=\"", Decimal(indent + 2 * kFullWidth), "\" w:hanging=\"", Decimal(2 * kFullWidth), "\"/>"});
    }
    xml_ += "</w:pPr>";
    for (std::size_t cell = first; cell < end; ++cell) {
      if (cell > first) xml_ += "<w:r><w:tab/></w:r>";
      putCell(cell);
    }
    xml_ += "</w:p>";
  }
}

void PaperWriter::Options(const SmallQuestion& small) {
  std::vector<int> widths;
  for (std::size_t o = 0; o < small.options.size(); ++o) {
    char label[8];
    widths.push_back(static_cast<int>(OptionLetters(o, label).size()) * kHalfWidth + kFullWidth +
                     TextTwips(small.options[o].text.text()));
  }
  const int count = static_cast<int>(widths.size());
  const std::initializer_list<int> fewOptions = {count, 2, 1};
  const std::initializer_list<int> manyOptions = {4, 2, 1};
  Rows(widths, kOptionIndent, count <= 4 ? fewOptions : manyOptions, false, [&](std::size_t o) {
    const bool marked = answers_ && small.options[o].isAnswer;
    const std::string_view properties = marked ? "<w:rPr><w:b/><w:bCs/><w:color w:val=\"C00000\"/></w:rPr>" : "";
    char label[8];
    Put(xml_, {"<w:r>", properties, "<w:t>", OptionLetters(o, label), u8"．</w:t></w:r><w:r>", properties});
    Text(small.options[o].text.text());
    xml_ += "</w:r>";
  });
}

void PaperWriter::BigQuestion(const velmor::BigQuestion& big) {
  Stem stem;
  ReadStem(big.content, stem);
  if (RepeatsStem(big, stem)) {
    QuestionLine(big.smallQuestions[0], &stem);
    if (!stem.pictures.empty()) {
      xml_ += "<w:p><w:pPr><w:keepNext/><w:ind w:left=\"420\"/></w:pPr>";
      for (const PictureView* picture : stem.pictures) Drawing(*picture);
      xml_ += "</w:p>";
    }
    Options(big.smallQuestions[0]);
    return;
  }
  for (std::size_t first = 0; first < stem.items.size();) {
    std::size_t end = first;
    while (end < stem.items.size() && stem.items[end].kind != StemItem::kParagraphEnd) ++end;
    xml_ += "<w:p><w:pPr><w:keepNext/></w:pPr>";
    StemRuns(stem, first, end, false);
    xml_ += "</w:p>";
    first = end + 1;
  }
  for (const SmallQuestion& small : big.smallQuestions) {
    QuestionLine(small, nullptr);
    Options(small);
  }
}

void PaperWriter::Key() {
  Paragraph("<w:pPr><w:pStyle w:val=\"Heading1\"/><w:pageBreakBefore/></w:pPr>", u8"参考答案", "");
  std::vector<int> widths;
  for (const std::string& entry : key_) {
    // UTF-8 here: digits and letters are one byte and half a character wide, the rest three
    // bytes and a whole character.
    int twips = 0;
    for (unsigned char byte : entry) {
      if (byte < 0x80) twips += kHalfWidth;
      else if (byte >= 0xC0) twips += kFullWidth;
    }
    widths.push_back(twips);
  }
  Rows(widths, 0, {5, 2, 1}, false, [&](std::size_t entry) {
    Put(xml_, {"<w:r><w:t>", key_[entry], "</w:t></w:r>"});
  });
}

std::string PaperWriter::ContentTypes() const {
  std::string types = std::string(kXmlHead) +
      "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
      "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
      "<Default Extension=\"xml\" ContentType=\"application/xml\"/>";
  if (!pictures_.empty()) types += "<Default Extension=\"png\" ContentType=\"image/png\"/>";
  const char* const kParts[][2] = {
      {"/word/document.xml", "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"},
      {"/word/styles.xml", "application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml"},
      {"/word/settings.xml", "application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml"},
      {"/word/fontTable.xml", "application/vnd.openxmlformats-officedocument.wordprocessingml.fontTable+xml"},
      {"/word/footer1.xml", "application/vnd.openxmlformats-officedocument.wordprocessingml.footer+xml"},
      {"/docProps/core.xml", "application/vnd.openxmlformats-package.core-properties+xml"},
      {"/docProps/app.xml", "application/vnd.openxmlformats-officedocument.extended-properties+xml"},
  };
  for (const auto& [part, type] : kParts) {
    types += std::string("<Override PartName=\"") + part + "\" ContentType=\"" + type + "\"/>";
  }
  return types + "</Types>";
}

std::string PaperWriter::DocumentRelationships() const {
  std::string xml = std::string(kXmlHead) +
                    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
  auto add = [&](int id, const char* type, const std::string& target) {
    xml += "<Relationship Id=\"rId" + std::to_string(id) + "\" Type=\"" + kRelationshipTypes + type +
           "\" Target=\"" + target + "\"/>";
  };
  add(kStylesRelationship, "styles", "styles.xml");
  add(kSettingsRelationship, "settings", "settings.xml");
  add(kFontTableRelationship, "fontTable", "fontTable.xml");
  add(kFooterRelationship, "footer", "footer1.xml");
  for (std::size_t i = 0; i < pictures_.size(); ++i) {
    add(kFirstPicture + static_cast<int>(i), "image", "media/image" + std::to_string(i + 1) + ".png");
  }
  return xml + "</Relationships>";
}

std::string PaperWriter::CoreProperties() {
  Page title;
  if (bank_.title().text().empty()) {
    title += u8"试卷";
  } else {
    text_.Append(WithoutControls(bank_.title().text()), title);
  }
  return std::string(kXmlHead) +
         "<cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\""
         " xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns:dcterms=\"http://purl.org/dc/terms/\""
         " xmlns:dcmitype=\"http://purl.org/dc/dcmitype/\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">"
         "<dc:title>" + std::string(title.view()) + "</dc:title></cp:coreProperties>";
}

constexpr char kStyles[] =
    "<w:docDefaults><w:rPrDefault><w:rPr><w:rFonts w:ascii=\"Times New Roman\" w:hAnsi=\"Times New Roman\""
    u8" w:eastAsia=\"宋体\" w:cs=\"Times New Roman\"/><w:kern w:val=\"2\"/><w:sz w:val=\"21\"/><w:szCs w:val=\"21\"/>"
    "<w:lang w:val=\"en-US\" w:eastAsia=\"zh-CN\" w:bidi=\"ar-SA\"/></w:rPr></w:rPrDefault>"
    "<w:pPrDefault><w:pPr><w:spacing w:line=\"300\" w:lineRule=\"auto\"/></w:pPr></w:pPrDefault></w:docDefaults>"
    "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\"><w:name w:val=\"Normal\"/><w:qFormat/>"
    "<w:pPr><w:widowControl w:val=\"0\"/><w:jc w:val=\"both\"/></w:pPr></w:style>"
    "<w:style w:type=\"paragraph\" w:styleId=\"Title\"><w:name w:val=\"Title\"/><w:basedOn w:val=\"Normal\"/>"
    "<w:next w:val=\"Normal\"/><w:uiPriority w:val=\"10\"/><w:qFormat/><w:pPr><w:spacing w:before=\"240\""
    " w:after=\"120\"/><w:jc w:val=\"center\"/><w:outlineLvl w:val=\"0\"/></w:pPr><w:rPr><w:rFonts"
    u8" w:ascii=\"黑体\" w:hAnsi=\"黑体\" w:eastAsia=\"黑体\"/><w:b/><w:bCs/><w:sz w:val=\"36\"/><w:szCs w:val=\"36\"/>"
    "</w:rPr></w:style>"
    "<w:style w:type=\"paragraph\" w:styleId=\"Heading1\"><w:name w:val=\"heading 1\"/><w:basedOn w:val=\"Normal\"/>"
    "<w:next w:val=\"Normal\"/><w:uiPriority w:val=\"9\"/><w:qFormat/><w:pPr><w:keepNext/><w:keepLines/>"
    "<w:spacing w:before=\"240\" w:after=\"120\"/><w:outlineLvl w:val=\"0\"/></w:pPr><w:rPr><w:rFonts"
    u8" w:ascii=\"黑体\" w:hAnsi=\"黑体\" w:eastAsia=\"黑体\"/><w:b/><w:bCs/><w:kern w:val=\"44\"/><w:sz w:val=\"28\"/>"
    "<w:szCs w:val=\"28\"/></w:rPr></w:style>"
    "<w:style w:type=\"paragraph\" w:styleId=\"Footer\"><w:name w:val=\"footer\"/><w:basedOn w:val=\"Normal\"/>"
    "<w:uiPriority w:val=\"99\"/><w:pPr><w:jc w:val=\"center\"/></w:pPr><w:rPr><w:sz w:val=\"18\"/>"
    "<w:szCs w:val=\"18\"/></w:rPr></w:style>"
    "<w:style w:type=\"character\" w:default=\"1\" w:styleId=\"DefaultParagraphFont\">"
    "<w:name w:val=\"Default Paragraph Font\"/><w:uiPriority w:val=\"1\"/><w:semiHidden/><w:unhideWhenUsed/></w:style>"
    "<w:style w:type=\"table\" w:default=\"1\" w:styleId=\"TableNormal\"><w:name w:val=\"Normal Table\"/>"
    "<w:uiPriority w:val=\"99\"/><w:semiHidden/><w:unhideWhenUsed/><w:tblPr><w:tblInd w:w=\"0\" w:type=\"dxa\"/>"
    "<w:tblCellMar><w:top w:w=\"0\" w:type=\"dxa\"/><w:left w:w=\"108\" w:type=\"dxa\"/><w:bottom w:w=\"0\""
    " w:type=\"dxa\"/><w:right w:w=\"108\" w:type=\"dxa\"/></w:tblCellMar></w:tblPr></w:style>";

constexpr char kSettings[] =
    "<w:zoom w:percent=\"100\"/><w:defaultTabStop w:val=\"420\"/>"
    "<w:characterSpacingControl w:val=\"compressPunctuation\"/><w:compat><w:compatSetting"
    " w:name=\"compatibilityMode\" w:uri=\"http://schemas.microsoft.com/office/word\" w:val=\"15\"/></w:compat>"
    "<w:themeFontLang w:val=\"en-US\" w:eastAsia=\"zh-CN\"/><w:decimalSymbol w:val=\".\"/>"
    "<w:listSeparator w:val=\",\"/>";

constexpr char kFonts[] =
    u8"<w:font w:name=\"宋体\"><w:altName w:val=\"SimSun\"/><w:panose1 w:val=\"02010600030101010101\"/>"
    "<w:charset w:val=\"86\"/><w:family w:val=\"auto\"/><w:pitch w:val=\"variable\"/></w:font>"
    u8"<w:font w:name=\"黑体\"><w:altName w:val=\"SimHei\"/><w:panose1 w:val=\"02010609060101010101\"/>"
    "<w:charset w:val=\"86\"/><w:family w:val=\"modern\"/><w:pitch w:val=\"fixed\"/></w:font>"
    "<w:font w:name=\"Times New Roman\"><w:panose1 w:val=\"02020603050405020304\"/><w:charset w:val=\"00\"/>"
    "<w:family w:val=\"roman\"/><w:pitch w:val=\"variable\"/></w:font>";

constexpr char kFooter[] =
    u8"<w:p><w:pPr><w:pStyle w:val=\"Footer\"/></w:pPr><w:r><w:t xml:space=\"preserve\">第 </w:t></w:r>"
    u8"<w:fldSimple w:instr=\" PAGE \"><w:r><w:t>1</w:t></w:r></w:fldSimple><w:r><w:t xml:space=\"preserve\"> 页，共 </w:t>"
    u8"</w:r><w:fldSimple w:instr=\" NUMPAGES \"><w:r><w:t>1</w:t></w:r></w:fldSimple><w:r><w:t xml:space=\"preserve\"> 页"
    "</w:t></w:r></w:p>";

std::vector<unsigned char> PaperWriter::Write() {
  Put(xml_, {kXmlHead, "<w:document", kWordNamespaces, kDrawingNamespaces, "><w:body>"});
  Title();
  int categoryNumber = 0;
  for (const Category& category : bank_.categories()) {
    Paragraph("<w:pPr><w:pStyle w:val=\"Heading1\"/></w:pPr>", ChineseNumber(++categoryNumber) + u8"、",
              category.name.text());
    for (const velmor::BigQuestion& big : category.questions) BigQuestion(big);
  }
  if (answers_ && !key_.empty()) Key();
  Put(xml_, {"<w:sectPr><w:footerReference w:type=\"default\" r:id=\"rId", Decimal(kFooterRelationship),
             "\"/><w:pgSz w:w=\"", Decimal(kPageWidth), "\" w:h=\"", Decimal(kPageHeight), "\"/><w:pgMar w:top=\"",
             Decimal(kTopMargin), "\" w:right=\"", Decimal(kSideMargin), "\" w:bottom=\"", Decimal(kTopMargin),
             "\" w:left=\"", Decimal(kSideMargin),
             "\" w:header=\"851\" w:footer=\"992\" w:gutter=\"0\"/><w:cols w:space=\"425\"/>"
             "<w:docGrid w:type=\"lines\" w:linePitch=\"312\"/></w:sectPr></w:body></w:document>"});

  const std::string w = std::string(kXmlHead);
  ZipWriter zip;
  bool added = zip.Add("[Content_Types].xml", ContentTypes());
  added &= zip.Add("_rels/.rels",
                   w + "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                       "<Relationship Id=\"rId1\" Type=\"" + kRelationshipTypes + "officeDocument\" Target=\"word/document.xml\"/>"
                       "<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/package/2006/relationships/"
                       "metadata/core-properties\" Target=\"docProps/core.xml\"/>"
                       "<Relationship Id=\"rId3\" Type=\"" + kRelationshipTypes + "extended-properties\""
                       " Target=\"docProps/app.xml\"/></Relationships>");
  added &= zip.Add("docProps/core.xml", CoreProperties());
  added &= zip.Add("docProps/app.xml",
                   w + "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\""
                       " xmlns:vt=\"http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes\">"
                       "<Application>Velmor banktool</Application><DocSecurity>0</DocSecurity></Properties>");
  added &= zip.Add("word/document.xml", xml_.view());
  added &= zip.Add("word/_rels/document.xml.rels", DocumentRelationships());
  added &= zip.Add("word/styles.xml", w + "<w:styles" + kWordNamespaces + ">" + kStyles + "</w:styles>");
  added &= zip.Add("word/settings.xml", w + "<w:settings" + kWordNamespaces + ">" + kSettings + "</w:settings>");
  added &= zip.Add("word/fontTable.xml", w + "<w:fonts" + kWordNamespaces + ">" + kFonts + "</w:fonts>");
  added &= zip.Add("word/footer1.xml", w + "<w:ftr" + kWordNamespaces + ">" + kFooter + "</w:ftr>");
  for (std::size_t i = 0; i < pictures_.size(); ++i) {
    added &= zip.Add("word/media/image" + std::to_string(i + 1) + ".png", pictures_[i].png, ZipWriter::Method::kStored);
  }
  // A paper past what a zip archive without its 64-bit records holds is no paper.
  if (!added) return {};
  return zip.Finish();
}

}  // namespace

std::vector<unsigned char> ExportPaperDocx(const QuestionBank& bank, bool answers) {
  return PaperWriter(bank, answers).Write();
}

}  // namespace velmor
