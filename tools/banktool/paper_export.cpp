#include "tools/banktool/paper_export.h"

#include <algorithm>
#include <ostream>
#include <sstream>
#include <string_view>
#include <vector>

#include "common/base/gbk.h"
#include "common/richtext/rich_content.h"
#include "common/richtext/rtf_load.h"
#include "tools/banktool/html_page.h"

namespace velmor {

namespace {

constexpr char kStyle[] = R"(
body { font-family: "SimSun", "Songti SC", "WenQuanYi Micro Hei", serif; max-width: 820px;
       margin: 2em auto; padding: 0 1em; line-height: 1.6; color: #000; }
h1 { text-align: center; font-size: 22pt; margin-bottom: .2em; }
.score-line { text-align: center; margin-bottom: 1.5em; }
h2 { font-size: 15pt; border-bottom: 1px solid #000; margin-top: 1.5em; }
.big { margin: 1em 0 1.5em; break-inside: avoid; page-break-inside: avoid; }
.stem { margin-bottom: .6em; }
.stem img { vertical-align: bottom; }
.small { margin: .4em 0 .8em 1.2em; }
.small p { margin: .2em 0; }
.type { color: #444; }
.options { list-style: none; margin: .2em 0 0 1em; padding: 0; }
.options li { margin: .15em 0; }
.box { display: inline-block; width: .85em; height: .85em; border: 1px solid #000;
       margin-right: .45em; vertical-align: -.1em; }
.answer .box { background: #000; }
.answer .mark { font-weight: bold; margin-left: .4em; }
.key { break-before: page; page-break-before: always; }
.key ul { list-style: none; padding-left: 1em; }
.key li { margin: .1em 0; }
@media print { body { margin: 0; max-width: none; } h2 { break-after: avoid; } }
)";

// Asks for bytes to be brought into the cache all at once, rather than waiting for each
// line in turn when it is read.
void Prefetch(const unsigned char* bytes, std::size_t size) {
  for (std::size_t at = 0; at < size; at += 64) __builtin_prefetch(bytes + at);
}

void PutLe(unsigned char*& at, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) *at++ = static_cast<unsigned char>(value >> (8 * i));
}

// A picture record as a 24-bit BMP: rows bottom-up, each padded to four bytes, written
// straight into its Base64 form.
void AppendPicture(const PictureView& picture, Page& html) {
  const uint32_t width = static_cast<uint32_t>(picture.width);
  const uint32_t height = static_cast<uint32_t>(picture.height);
  const uint32_t row = 3 * width;
  const uint32_t stride = (row + 3) & ~3u;
  // The rows are read last to first, which the processor does not foresee.
  Prefetch(picture.pixels(), std::size_t{row} * height);
  unsigned char header[54];
  unsigned char* at = header;
  *at++ = 'B';
  *at++ = 'M';
  PutLe(at, 54 + stride * height, 4);
  PutLe(at, 0, 4);
  PutLe(at, 54, 4);
  PutLe(at, 40, 4);
  PutLe(at, width, 4);
  PutLe(at, height, 4);
  PutLe(at, 1, 2);
  PutLe(at, 24, 2);
  PutLe(at, 0, 4);
  PutLe(at, stride * height, 4);
  PutLe(at, 2835, 4);
  PutLe(at, 2835, 4);
  PutLe(at, 0, 4);
  PutLe(at, 0, 4);
  Put(html, {"<img width=\"", Decimal(width), "\" height=\"", Decimal(height),
             "\" alt=\"\" src=\"data:image/bmp;base64,"});
  {
    Base64Writer base64(html, sizeof header + std::size_t{stride} * height);
    base64.Write(header, sizeof header);
    for (uint32_t y = height; y-- > 0;) {
      base64.Write(picture.pixels() + std::size_t{row} * y, row);
      base64.WriteZeros(stride - row);
    }
  }
  html += "\">";
}

// A size in points from twips: at most two decimals, as few as it needs.
void PutPoints(Page& out, int32_t twips) {
  Put(out, {Decimal(twips / 20)});
  const int hundredths = twips % 20 * 5;
  if (hundredths == 0) return;
  const char digits[3] = {'.', static_cast<char>('0' + hundredths / 10), static_cast<char>('0' + hundredths % 10)};
  out += std::string_view(digits, hundredths % 10 == 0 ? 2 : 3);
}

void PutHex(Page& out, uint32_t byte) {
  static const char kHex[] = "0123456789abcdef";
  out += kHex[(byte >> 4) & 15];
  out += kHex[byte & 15];
}

// A face name as it may stand inside the quoted family of a style attribute: letters,
// digits, space, '-', '_', '.', '@' (the vertical faces) and whole double-byte characters.
// Anything else -- a quote, a backslash, a semicolon, a control byte, half a character --
// could end the name, the declaration or the attribute, and is dropped. A stored face has at
// most 31 bytes; what is kept goes into `kept`, which must hold as many as `face`.
std::string_view FaceName(std::string_view face, char* kept) {
  std::size_t length = 0;
  for (std::size_t at = 0; at < face.size(); ++at) {
    const unsigned char byte = static_cast<unsigned char>(face[at]);
    if (IsGbkLeadByte(byte)) {
      const unsigned char trail = at + 1 < face.size() ? static_cast<unsigned char>(face[at + 1]) : 0;
      if (trail >= 0x40 && trail <= 0xFE && trail != 0x7F) {
        kept[length++] = face[at];
        kept[length++] = face[++at];
      }
      continue;
    }
    if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') ||
        byte == ' ' || byte == '-' || byte == '_' || byte == '.' || byte == '@') {
      kept[length++] = static_cast<char>(byte);
    }
  }
  return std::string_view(kept, length);
}

void PutSpanStyle(const CharFormatFields& format, HtmlText& text, Page& out) {
  char kept[64];
  const std::string_view face =
      FaceName(std::string_view(format.face).substr(0, sizeof kept), kept);
  if (!face.empty()) {
    out += "font-family:'";
    text.Append(face, out);
    out += "';";
  }
  if (format.height > 0 && format.height < 20 * 200) {
    out += "font-size:";
    PutPoints(out, format.height);
    out += "pt;";
  }
  if (!(format.effects & kEffectAutoColour)) {
    out += "color:#";
    PutHex(out, format.colour);
    PutHex(out, format.colour >> 8);
    PutHex(out, format.colour >> 16);
    out += ';';
  }
  if (format.effects & kMaskBold) out += "font-weight:bold;";
  if (format.effects & kMaskItalic) out += "font-style:italic;";
  const bool underline = format.effects & kMaskUnderline;
  const bool strike = format.effects & kMaskStrikeOut;
  if (underline || strike) {
    Put(out, {"text-decoration:", underline ? "underline" : "", underline && strike ? " " : "",
              strike ? "line-through" : "", ";"});
  }
}

// The stem of a content blob as spans and pictures, appended to `html`.
void AppendStem(const unsigned char* blob, std::size_t size, HtmlText& html_text, Page& html) {
  RichContentParts parts = ParseRichContent(blob, size);
  const std::string& text = parts.text;
  // The control's characters: a double-byte GBK character, CR LF and every other byte each
  // count one. Walked once, span by span, so only their number is needed first.
  auto characterBytes = [&text](std::size_t at) -> std::size_t {
    if (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n') return 2;
    if (IsGbkLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size()) return 2;
    return 1;
  };
  int32_t count = 0;
  for (std::size_t at = 0; at < text.size(); at += characterBytes(at)) ++count;
  // The runs as the control sets them, in turn, over the control's own default.
  CharFormatFields plain;
  plain.effects = kEffectAutoColour;
  const std::vector<FormatSpan> spans = ResolveRuns(plain, count, parts.runs);
  // The pictures by place; the first of two at one place is the one shown.
  std::vector<const PictureView*> pictures;
  for (const PictureView& picture : parts.pictures) {
    if (picture.width > 0 && picture.height > 0) pictures.push_back(&picture);
  }
  std::stable_sort(pictures.begin(), pictures.end(),
                   [](const PictureView* a, const PictureView* b) { return a->position < b->position; });
  pictures.erase(std::unique(pictures.begin(), pictures.end(),
                             [](const PictureView* a, const PictureView* b) { return a->position == b->position; }),
                 pictures.end());
  auto nextPicture = std::lower_bound(pictures.begin(), pictures.end(), 0,
                                      [](const PictureView* picture, int32_t at) { return picture->position < at; });
  std::size_t byte = 0;
  for (const FormatSpan& span : spans) {
    html += "<span style=\"";
    PutSpanStyle(span.format, html_text, html);
    html += "\">";
    std::size_t piece = byte;  // the first byte of the text not yet written
    auto flush = [&] { html_text.Append(std::string_view(text).substr(piece, byte - piece), html); };
    for (int32_t p = span.first; p < span.end; ++p) {
      const std::size_t length = characterBytes(byte);
      if (nextPicture != pictures.end() && (*nextPicture)->position == p) {
        flush();
        AppendPicture(**nextPicture++, html);
        piece = byte + length;
      } else if (text[byte] == '\r' || text[byte] == '\n') {
        flush();
        html += "<br>";
        piece = byte + length;
      }
      byte += length;
    }
    flush();
    html += "</span>";
  }
  // A picture placed past the text still shows, after it.
  for (; nextPicture != pictures.end(); ++nextPicture) AppendPicture(**nextPicture, html);
}

}  // namespace

std::string_view OptionLetters(std::size_t index, char (&label)[8]) {
  char* at = label + sizeof label;
  for (std::size_t rest = index + 1; rest > 0 && at > label; rest = (rest - 1) / 26) {
    *--at = static_cast<char>('A' + (rest - 1) % 26);
  }
  return std::string_view(at, static_cast<std::size_t>(label + sizeof label - at));
}

std::string AnswerLetters(const SmallQuestion& small) {
  const std::string_view separator = small.options.size() > 26 ? u8"、" : "";
  std::string letters;
  for (std::size_t o = 0; o < small.options.size(); ++o) {
    if (!small.options[o].isAnswer) continue;
    char label[8];
    if (!letters.empty()) letters += separator;
    letters += OptionLetters(o, label);
  }
  return letters;
}

std::string StemHtml(const unsigned char* blob, std::size_t size) {
  HtmlText text;
  Page html;
  AppendStem(blob, size, text, html);
  return std::string(html.view());
}

std::string ExportPaperHtml(const QuestionBank& bank, bool answers) {
  std::ostringstream out;
  WritePaperHtml(bank, answers, out);
  return out.str();
}

void WritePaperHtml(const QuestionBank& bank, bool answers, std::ostream& out) {
  int64_t total = 0;
  for (const Category& category : bank.categories()) {
    for (const BigQuestion& big : category.questions) {
      for (const SmallQuestion& small : big.smallQuestions) total += small.score;
    }
  }
  HtmlText text;
  Page html;
  const bool untitled = bank.title().text().empty();
  auto putTitle = [&] {
    if (untitled) {
      html += u8"试卷";
    } else {
      text.Append(bank.title().text(), html);
    }
  };
  html += "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n<title>";
  putTitle();
  Put(html, {"</title>\n<style>", kStyle, "</style>\n</head>\n<body>\n<h1>"});
  putTitle();
  Put(html, {"</h1>\n", u8"<p class=\"score-line\">姓名：＿＿＿＿＿＿　　得分：＿＿＿＿（满分 ", Decimal(total),
             u8" 分）</p>\n"});
  static const char* const kNumbers[] = {u8"一", u8"二", u8"三", u8"四", u8"五",
                                         u8"六", u8"七", u8"八", u8"九", u8"十"};
  Page key;
  int number = 0;
  int categoryNumber = 0;
  for (const Category& category : bank.categories()) {
    html += "<section class=\"category\">\n<h2>";
    if (categoryNumber < 10) {
      Put(html, {kNumbers[categoryNumber], u8"、"});
    } else {
      Put(html, {Decimal(categoryNumber + 1), ". "});
    }
    ++categoryNumber;
    text.Append(category.name.text(), html);
    html += "</h2>\n";
    for (const BigQuestion& big : category.questions) {
      html += "<div class=\"big\">\n<div class=\"stem\">";
      AppendStem(big.content.data(), big.content.size(), text, html);
      html += "</div>\n";
      for (const SmallQuestion& small : big.smallQuestions) {
        ++number;
        Put(html, {"<div class=\"small\">\n<p><span class=\"number\">", Decimal(number), ".</span> "});
        text.Append(small.text.text(), html);
        Put(html, {" <span class=\"type\">", small.singleChoice ? u8"（单选，" : u8"（多选，", Decimal(small.score),
                   u8"分）</span></p>\n<ul class=\"options\">\n"});
        // Past Z the letters come in twos, and "AB" alone could be A and B: such a key
        // separates its answers.
        const std::string_view separator = small.options.size() > 26 ? u8"、" : "";
        std::string letters;
        for (std::size_t o = 0; o < small.options.size(); ++o) {
          const ChoiceOption& option = small.options[o];
          char label[8];
          const std::string_view letter = OptionLetters(o, label);
          const bool marked = answers && option.isAnswer;
          if (option.isAnswer) {
            if (!letters.empty()) letters += separator;
            letters += letter;
          }
          Put(html, {"<li", marked ? " class=\"answer\"" : "", "><span class=\"box\"></span>",
                     letter, ". "});
          text.Append(option.text.text(), html);
          Put(html, {marked ? u8"<span class=\"mark\">✔</span>" : "", "</li>\n"});
        }
        html += "</ul>\n</div>\n";
        Put(key, {"<li>", Decimal(number), ". ", letters.empty() ? std::string_view(u8"（无）") : std::string_view(letters), "</li>\n"});
      }
      html += "</div>\n";
      // Written as it grows: a bank of thousands of pictures makes a page of many megabytes.
      if (html.size() > (1u << 20)) {
        out.write(html.view().data(), static_cast<std::streamsize>(html.size()));
        html.clear();
      }
    }
    html += "</section>\n";
  }
  if (answers) Put(html, {u8"<section class=\"key\">\n<h2>答案</h2>\n<ul>\n", key.view(), "</ul>\n</section>\n"});
  html += "</body>\n</html>\n";
  out.write(html.view().data(), static_cast<std::streamsize>(html.size()));
}

}  // namespace velmor
