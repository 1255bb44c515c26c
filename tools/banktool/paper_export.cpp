#include "tools/banktool/paper_export.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <ostream>
#include <sstream>
#include <string_view>
#include <vector>

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

// The page as it is made. Its appends are inline: a paper is made of millions of short
// pieces, and a string's own append is a call for each.
class Page {
 public:
  Page() { Grow(1u << 16); }

  void operator+=(std::string_view piece) {
    if (piece.size() > Room()) Grow(piece.size());
    std::memcpy(put_, piece.data(), piece.size());
    put_ += piece.size();
  }
  void operator+=(char byte) {
    if (Room() == 0) Grow(1);
    *put_++ = byte;
  }
  // The first `size` bytes of a block of 16: copied whole, which is one move, not a call.
  void AppendFromSixteen(const char (&block)[16], std::size_t size) {
    if (Room() < 16) Grow(16);
    std::memcpy(put_, block, 16);
    put_ += size;
  }
  // Room for `size` bytes more, to be written at the pointer returned; End() tells where
  // the writing ended.
  char* Extend(std::size_t size) {
    if (size > Room()) Grow(size);
    return put_;
  }
  void End(char* end) { put_ = end; }

  std::string_view view() const { return {buffer_.get(), size()}; }
  std::size_t size() const { return static_cast<std::size_t>(put_ - buffer_.get()); }
  void clear() { put_ = buffer_.get(); }

 private:
  std::size_t Room() const { return static_cast<std::size_t>(end_ - put_); }
  void Grow(std::size_t more) {
    const std::size_t used = size();
    const std::size_t capacity = std::max(2 * static_cast<std::size_t>(end_ - buffer_.get()), used + more);
    std::unique_ptr<char[]> bigger(new char[capacity]);
    if (used > 0) std::memcpy(bigger.get(), buffer_.get(), used);
    buffer_ = std::move(bigger);
    put_ = buffer_.get() + used;
    end_ = buffer_.get() + capacity;
  }

  std::unique_ptr<char[]> buffer_;
  char* put_ = nullptr;
  char* end_ = nullptr;
};

// Pieces appended in turn, with no string made for each.
void Put(Page& out, std::initializer_list<std::string_view> pieces) {
  for (std::string_view piece : pieces) out += piece;
}

// A number in a buffer of its own, for Put.
class Decimal {
 public:
  explicit Decimal(int64_t value)
      : length_(static_cast<std::size_t>(std::to_chars(digits_, digits_ + sizeof digits_, value).ptr - digits_)) {}
  operator std::string_view() const { return {digits_, length_}; }

 private:
  char digits_[24];
  std::size_t length_;
};

// GBK text as escaped UTF-8, character by character. A paper repeats the same few thousand
// characters many times over, so each double-byte character is converted once and kept.
// Each character stands alone: one that does not convert becomes its own replacement and
// never takes in the bytes of the character after it.
class HtmlText {
 public:
  void Append(std::string_view gbk, Page& out) {
    const char* at = gbk.data();
    const char* const end = at + gbk.size();
    while (at < end) {
      const char* plain = at;
      while (at < end && IsPlain(static_cast<unsigned char>(*at))) ++at;
      out += std::string_view(plain, static_cast<std::size_t>(at - plain));
      if (at == end) break;
      const unsigned char byte = static_cast<unsigned char>(*at);
      if (byte < 0x80) {
        out += EscapeHtml(std::string_view(at, 1));
        ++at;
      } else if (IsGbkLeadByte(byte) && end - at >= 2) {
        AppendPair(at, out);
        at += 2;
      } else {
        out += EscapeHtml(GbkToUtf8(std::string_view(at, 1)));
        ++at;
      }
    }
  }

 private:
  static bool IsPlain(unsigned char byte) {
    return byte < 0x80 && byte != '&' && byte != '<' && byte != '>' && byte != '"';
  }

  void AppendPair(const char* pair, Page& out) {
    if (pairs_.empty()) pairs_.resize(std::size_t{0xFE - 0x81 + 1} << 8);
    Converted& entry = pairs_[std::size_t{static_cast<unsigned char>(pair[0]) - 0x81u} << 8 |
                              static_cast<unsigned char>(pair[1])];
    if (entry.length == kUnknown) {
      const std::string escaped = EscapeHtml(GbkToUtf8(std::string_view(pair, 2)));
      if (escaped.size() > sizeof entry.bytes) {
        out += escaped;
        return;
      }
      std::memcpy(entry.bytes, escaped.data(), escaped.size());
      entry.length = static_cast<uint8_t>(escaped.size());
    }
    out.AppendFromSixteen(entry.bytes, entry.length);
  }

  static constexpr uint8_t kUnknown = 0xFF;
  struct Converted {
    char bytes[16] = {};
    uint8_t length = kUnknown;
  };
  std::vector<Converted> pairs_;  // by lead byte, then trail byte
};

// Base64 digits appended to a string as bytes come, three at a time into four digits.
class Base64Writer {
 public:
  // `bytes` is how many will come in all.
  Base64Writer(Page& out, std::size_t bytes) : out_(out), put_(out.Extend((bytes + 2) / 3 * 4)) {}
  ~Base64Writer() {
    if (held_ > 0) {
      const uint32_t group = uint32_t{hold_[0]} << 16 | (held_ > 1 ? uint32_t{hold_[1]} << 8 : 0);
      put_[0] = kDigits[group >> 18];
      put_[1] = kDigits[(group >> 12) & 63];
      put_[2] = held_ > 1 ? kDigits[(group >> 6) & 63] : '=';
      put_[3] = '=';
      put_ += 4;
    }
    out_.End(put_);
  }

  void Write(const unsigned char* in, std::size_t size) {
    while (size > 0) {
      if (held_ == 0 && size >= 3) {
        // Locals, so that the digits written are not taken to change the writer or the bytes.
        char* put = put_;
        const char* const pairs = kPairs.pairs;
        for (; size >= 3; size -= 3, in += 3, put += 4) {
          const uint32_t group = uint32_t{in[0]} << 16 | uint32_t{in[1]} << 8 | in[2];
          std::memcpy(put, pairs + 2 * (group >> 12), 2);
          std::memcpy(put + 2, pairs + 2 * (group & 0xFFF), 2);
        }
        put_ = put;
        continue;
      }
      // A byte held back completes its group on the next call.
      hold_[held_++] = *in++;
      --size;
      if (held_ == 3) {
        Group(hold_);
        held_ = 0;
      }
    }
  }

  void WriteZeros(std::size_t size) {
    static const unsigned char kZero = 0;
    for (; size > 0; --size) Write(&kZero, 1);
  }

 private:
  static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

  // The two digits of every 12 bits: a group is two looks into it.
  struct DigitPairs {
    char pairs[2 * 4096];
    DigitPairs() {
      for (int bits = 0; bits < 4096; ++bits) {
        pairs[2 * bits] = kDigits[bits >> 6];
        pairs[2 * bits + 1] = kDigits[bits & 63];
      }
    }
  };

  static const DigitPairs kPairs;

  void Group(const unsigned char* in) {
    const uint32_t group = uint32_t{in[0]} << 16 | uint32_t{in[1]} << 8 | in[2];
    std::memcpy(put_, kPairs.pairs + 2 * (group >> 12), 2);
    std::memcpy(put_ + 2, kPairs.pairs + 2 * (group & 0xFFF), 2);
    put_ += 4;
  }

  Page& out_;
  char* put_;
  unsigned char hold_[3] = {};
  std::size_t held_ = 0;
};

const Base64Writer::DigitPairs Base64Writer::kPairs;

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

void PutSpanStyle(const CharFormatFields& format, HtmlText& text, Page& out) {
  if (!format.face.empty()) {
    out += "font-family:'";
    text.Append(format.face, out);
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
        std::string letters;
        char letter = 'A';
        for (const ChoiceOption& option : small.options) {
          const bool marked = answers && option.isAnswer;
          if (option.isAnswer) letters += letter;
          Put(html, {"<li", marked ? " class=\"answer\"" : "", "><span class=\"box\"></span>",
                     std::string_view(&letter, 1), ". "});
          text.Append(option.text.text(), html);
          Put(html, {marked ? u8"<span class=\"mark\">✔</span>" : "", "</li>\n"});
          letter = letter == 'Z' ? 'Z' : static_cast<char>(letter + 1);
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
