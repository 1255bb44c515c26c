#include "tools/banktool/paper_export.h"

#include <cstdio>
#include <map>
#include <ostream>
#include <sstream>

#include "common/base/gbk.h"
#include "common/richtext/rich_content.h"
#include "common/richtext/rtf_load.h"
#include "tarvik/maintenance/html_log.h"
#include "tools/banktool/text_encoding.h"

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

std::string Escaped(const std::string& utf8) { return EscapeHtml(utf8); }

std::string Html(std::string_view gbk) { return Escaped(GbkToUtf8(gbk)); }

// Appends the Base64 form of the bytes, three at a time into four digits.
void AppendBase64(const std::vector<unsigned char>& bytes, std::string& out) {
  static const char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  const std::size_t start = out.size();
  out.resize(start + (bytes.size() + 2) / 3 * 4);
  char* put = &out[start];
  const unsigned char* in = bytes.data();
  std::size_t left = bytes.size();
  for (; left >= 3; left -= 3, in += 3, put += 4) {
    const uint32_t group = uint32_t{in[0]} << 16 | uint32_t{in[1]} << 8 | in[2];
    put[0] = kDigits[group >> 18];
    put[1] = kDigits[(group >> 12) & 63];
    put[2] = kDigits[(group >> 6) & 63];
    put[3] = kDigits[group & 63];
  }
  if (left > 0) {
    const uint32_t group = uint32_t{in[0]} << 16 | (left > 1 ? uint32_t{in[1]} << 8 : 0);
    put[0] = kDigits[group >> 18];
    put[1] = kDigits[(group >> 12) & 63];
    put[2] = left > 1 ? kDigits[(group >> 6) & 63] : '=';
    put[3] = '=';
  }
}

void PutLe(std::vector<unsigned char>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

// A picture record as a 24-bit BMP: rows bottom-up, each padded to four bytes.
void AppendPicture(const PictureView& picture, std::string& html) {
  const uint32_t width = static_cast<uint32_t>(picture.width);
  const uint32_t height = static_cast<uint32_t>(picture.height);
  const uint32_t row = 3 * width;
  const uint32_t stride = (row + 3) & ~3u;
  std::vector<unsigned char> bmp;
  bmp.reserve(54 + std::size_t{stride} * height);
  bmp.push_back('B');
  bmp.push_back('M');
  PutLe(bmp, 54 + stride * height, 4);
  PutLe(bmp, 0, 4);
  PutLe(bmp, 54, 4);
  PutLe(bmp, 40, 4);
  PutLe(bmp, width, 4);
  PutLe(bmp, height, 4);
  PutLe(bmp, 1, 2);
  PutLe(bmp, 24, 2);
  PutLe(bmp, 0, 4);
  PutLe(bmp, stride * height, 4);
  PutLe(bmp, 2835, 4);
  PutLe(bmp, 2835, 4);
  PutLe(bmp, 0, 4);
  PutLe(bmp, 0, 4);
  for (uint32_t y = height; y-- > 0;) {
    const unsigned char* pixels = picture.pixels() + std::size_t{row} * y;
    bmp.insert(bmp.end(), pixels, pixels + row);
    bmp.insert(bmp.end(), stride - row, 0);
  }
  html += "<img width=\"" + std::to_string(width) + "\" height=\"" + std::to_string(height) +
          "\" alt=\"\" src=\"data:image/bmp;base64,";
  AppendBase64(bmp, html);
  html += "\">";
}

std::string SpanStyle(const CharFormatFields& format) {
  std::string style;
  if (!format.face.empty()) style += "font-family:'" + Escaped(GbkToUtf8(format.face)) + "';";
  if (format.height > 0 && format.height < 20 * 200) {
    char size[32];
    std::snprintf(size, sizeof size, "font-size:%gpt;", format.height / 20.0);
    style += size;
  }
  if (!(format.effects & kEffectAutoColour)) {
    char colour[32];
    std::snprintf(colour, sizeof colour, "color:#%02x%02x%02x;", format.colour & 0xFF,
                  (format.colour >> 8) & 0xFF, (format.colour >> 16) & 0xFF);
    style += colour;
  }
  if (format.effects & kMaskBold) style += "font-weight:bold;";
  if (format.effects & kMaskItalic) style += "font-style:italic;";
  const bool underline = format.effects & kMaskUnderline;
  const bool strike = format.effects & kMaskStrikeOut;
  if (underline || strike) {
    style += std::string("text-decoration:") + (underline ? "underline" : "") +
             (underline && strike ? " " : "") + (strike ? "line-through" : "") + ";";
  }
  return style;
}

std::string ScoreText(int32_t score) { return std::to_string(score) + "\xB7\xD6"; }  // 分

}  // namespace

std::string StemHtml(const unsigned char* blob, std::size_t size) {
  RichContentParts parts = ParseRichContent(blob, size);
  const std::string& text = parts.text;
  // The control's characters: a double-byte GBK character, CR LF and every other byte each
  // count one.
  std::vector<std::pair<std::size_t, std::size_t>> characters;  // (first byte, bytes)
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length = 1;
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      length = 2;
    } else if (IsGbkLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) {
      length = 2;
    }
    characters.emplace_back(i, length);
    i += length;
  }
  const int32_t count = static_cast<int32_t>(characters.size());
  // The runs as the control sets them, in turn, over the control's own default.
  CharFormatFields plain;
  plain.effects = kEffectAutoColour;
  std::vector<FormatSpan> spans = ResolveRuns(plain, count, parts.runs);
  std::map<int32_t, const PictureView*> pictures;
  for (const PictureView& picture : parts.pictures) {
    if (picture.width > 0 && picture.height > 0) pictures.emplace(picture.position, &picture);
  }
  std::string html;
  for (const FormatSpan& span : spans) {
    html += "<span style=\"" + SpanStyle(span.format) + "\">";
    std::string piece;
    auto flush = [&] {
      html += Html(piece);
      piece.clear();
    };
    for (int32_t p = span.first; p < span.end; ++p) {
      auto picture = pictures.find(p);
      const auto [first, length] = characters[static_cast<std::size_t>(p)];
      if (picture != pictures.end()) {
        flush();
        AppendPicture(*picture->second, html);
      } else if (text[first] == '\r' || text[first] == '\n') {
        flush();
        html += "<br>";
      } else {
        piece.append(text, first, length);
      }
    }
    flush();
    html += "</span>";
  }
  // A picture placed past the text still shows, after it.
  for (auto picture = pictures.lower_bound(count); picture != pictures.end(); ++picture) {
    AppendPicture(*picture->second, html);
  }
  return html;
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
  const std::string title = bank.title().text().empty() ? std::string(u8"试卷") : GbkToUtf8(bank.title().text());
  std::string html = "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n<title>" +
                     Escaped(title) + "</title>\n<style>" + kStyle + "</style>\n</head>\n<body>\n";
  html += "<h1>" + Escaped(title) + "</h1>\n";
  html += std::string(u8"<p class=\"score-line\">姓名：＿＿＿＿＿＿　　得分：＿＿＿＿（满分 ") +
          std::to_string(total) + u8" 分）</p>\n";
  static const char* const kNumbers[] = {u8"一", u8"二", u8"三", u8"四", u8"五",
                                         u8"六", u8"七", u8"八", u8"九", u8"十"};
  std::string key;
  int number = 0;
  int categoryNumber = 0;
  for (const Category& category : bank.categories()) {
    const std::string head = categoryNumber < 10 ? std::string(kNumbers[categoryNumber]) + u8"、"
                                                 : std::to_string(categoryNumber + 1) + ". ";
    ++categoryNumber;
    html += "<section class=\"category\">\n<h2>" + head + Html(category.name.text()) + "</h2>\n";
    for (const BigQuestion& big : category.questions) {
      html += "<div class=\"big\">\n<div class=\"stem\">";
      html += StemHtml(big.content.data(), big.content.size());
      html += "</div>\n";
      for (const SmallQuestion& small : big.smallQuestions) {
        ++number;
        html += "<div class=\"small\">\n<p><span class=\"number\">" + std::to_string(number) +
                ".</span> " + Html(small.text.text()) + " <span class=\"type\">" +
                (small.singleChoice ? u8"（单选，" : u8"（多选，") + GbkToUtf8(ScoreText(small.score)) +
                u8"）</span></p>\n<ul class=\"options\">\n";
        std::string letters;
        char letter = 'A';
        for (const ChoiceOption& option : small.options) {
          const bool marked = answers && option.isAnswer;
          if (option.isAnswer) letters += letter;
          html += std::string("<li") + (marked ? " class=\"answer\"" : "") +
                  "><span class=\"box\"></span>" + letter + ". " + Html(option.text.text()) +
                  (marked ? u8"<span class=\"mark\">✔</span>" : "") + "</li>\n";
          letter = letter == 'Z' ? 'Z' : static_cast<char>(letter + 1);
        }
        html += "</ul>\n</div>\n";
        key += "<li>" + std::to_string(number) + ". " + (letters.empty() ? std::string(u8"（无）") : letters) + "</li>\n";
      }
      html += "</div>\n";
      // Written as it grows: a bank of thousands of pictures makes a page of many megabytes.
      if (html.size() > (1u << 20)) {
        out.write(html.data(), static_cast<std::streamsize>(html.size()));
        html.clear();
      }
    }
    html += "</section>\n";
  }
  if (answers) html += std::string(u8"<section class=\"key\">\n<h2>答案</h2>\n<ul>\n") + key + "</ul>\n</section>\n";
  html += "</body>\n</html>\n";
  out.write(html.data(), static_cast<std::streamsize>(html.size()));
}

}  // namespace velmor
