#include "common/richtext/rtf_load.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <tuple>

#include "common/base/byte_order.h"

namespace velmor {

namespace {

constexpr uint32_t kEffectMaskBits = kMaskBold | kMaskItalic | kMaskUnderline | kMaskStrikeOut |
                                     kMaskProtected | kMaskLink;

auto Key(const CharFormatFields& f) {
  return std::make_tuple(f.mask, f.effects, f.height, f.offset, f.colour, f.charset, f.pitchAndFamily,
                  f.face);
}

// The selection the control makes of [first, end) in a text of `length` characters.
bool Selection(int32_t first, int32_t end, int32_t length, int32_t* from, int32_t* to) {
  if (first < 0) return false;
  if (end < 0) end = length;
  if (first > end) std::swap(first, end);
  *from = std::min(first, length);
  *to = std::min(end, length);
  return *from < *to;
}

class RtfWriter {
 public:
  explicit RtfWriter(unsigned codePage) : codePage_(codePage) {}

  void Span(const std::u16string& text, const FormatSpan& span) {
    const CharFormatFields& f = span.format;
    // A group of its own that names every field, from the state the stream starts in. An
    // automatic colour names no colour and keeps that state's: Wine's reader gives \cf0
    // and \plain an undefined colour value.
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, "{\\f%d\\fs%ld\\%s%ld", Font(f), static_cast<long>(f.height / 10),
                  f.offset < 0 ? "dn" : "up",
                  static_cast<long>((f.offset < 0 ? -static_cast<int64_t>(f.offset) : f.offset) / 10));
    body_ += buffer;
    if (!(f.effects & kEffectAutoColour)) body_ += "\\cf" + std::to_string(Colour(f.colour));
    Effect(f, kMaskBold, "\\b", "\\b0");
    Effect(f, kMaskItalic, "\\i", "\\i0");
    Effect(f, kMaskUnderline, "\\ul", "\\ulnone");
    Effect(f, kMaskStrikeOut, "\\strike", "\\strike0");
    Effect(f, kMaskProtected, "\\protect", "\\protect0");
    body_ += ' ';
    for (int32_t i = span.first; i < span.end; ++i) Character(text[static_cast<std::size_t>(i)]);
    body_ += '}';
  }

  void Character(char16_t c) {
    if (c == u'\\' || c == u'{' || c == u'}') {
      body_ += '\\';
      body_ += static_cast<char>(c);
    } else if (c == u'\r') {
      body_ += "\\par\n";
    } else if (c == u'\t') {
      body_ += "\\tab ";
    } else if (c >= 0x20 && c < 0x7F) {
      body_ += static_cast<char>(c);
    } else {
      body_ += "\\u" + std::to_string(static_cast<int16_t>(c)) + "?";
    }
  }

  std::string Document() const {
    std::string rtf = "{\\rtf1\\ansi\\ansicpg" + std::to_string(codePage_) + "\\deff0\\uc1{\\fonttbl";
    for (std::size_t i = 0; i < fonts_.size(); ++i) {
      const CharFormatFields& f = fonts_[i];
      static const char* const kFamilies[] = {"fnil",   "froman", "fswiss", "fmodern",
                                              "fscript", "fdecor", "ftech",  "fbidi"};
      char buffer[96];
      std::snprintf(buffer, sizeof buffer, "{\\f%zu\\%s\\fcharset%d\\fprq%d ", i,
                    kFamilies[(f.pitchAndFamily >> 4) & 7], f.charset, f.pitchAndFamily & 0x0F);
      rtf += buffer;
      for (unsigned char byte : f.face) {
        if (byte < 0x20 || byte >= 0x7F || byte == '\\' || byte == '{' || byte == '}' ||
            byte == ';') {
          std::snprintf(buffer, sizeof buffer, "\\'%02x", byte);
          rtf += buffer;
        } else {
          rtf += static_cast<char>(byte);
        }
      }
      rtf += ";}";
    }
    rtf += "}{\\colortbl;";
    for (uint32_t colour : colours_) {
      rtf += "\\red" + std::to_string(colour & 0xFF) + "\\green" +
             std::to_string((colour >> 8) & 0xFF) + "\\blue" + std::to_string((colour >> 16) & 0xFF) +
             ";";
    }
    return rtf + "}\\pard" + body_ + "}";
  }

 private:
  void Effect(const CharFormatFields& f, uint32_t bit, const char* on, const char* off) {
    body_ += (f.effects & bit) ? on : off;
  }

  int Font(const CharFormatFields& f) {
    for (std::size_t i = 0; i < fonts_.size(); ++i) {
      const CharFormatFields& known = fonts_[i];
      if (known.face == f.face && known.charset == f.charset &&
          known.pitchAndFamily == f.pitchAndFamily) {
        return static_cast<int>(i);
      }
    }
    fonts_.push_back(f);
    return static_cast<int>(fonts_.size() - 1);
  }

  // Entry 0 of the colour table is the automatic colour.
  int Colour(uint32_t colour) {
    colour &= 0xFFFFFF;
    auto known = std::find(colours_.begin(), colours_.end(), colour);
    if (known != colours_.end()) return static_cast<int>(known - colours_.begin()) + 1;
    colours_.push_back(colour);
    return static_cast<int>(colours_.size());
  }

  unsigned codePage_;
  std::vector<CharFormatFields> fonts_;
  std::vector<uint32_t> colours_;
  std::string body_;
};

}  // namespace

bool CharFormatFields::operator==(const CharFormatFields& other) const {
  return Key(*this) == Key(other);
}

CharFormatFields ReadCharFormat(const unsigned char* format) {
  CharFormatFields fields;
  fields.mask = static_cast<uint32_t>(ReadLe32(format + 4));
  fields.effects = static_cast<uint32_t>(ReadLe32(format + 8));
  fields.height = ReadLe32(format + 12);
  fields.offset = ReadLe32(format + 16);
  fields.colour = static_cast<uint32_t>(ReadLe32(format + 20));
  fields.charset = format[24];
  fields.pitchAndFamily = format[25];
  const char* face = reinterpret_cast<const char*>(format + 26);
  fields.face.assign(face, std::find(face, face + kFaceBytes - 1, '\0'));
  return fields;
}

CharFormatFields MergeCharFormat(const CharFormatFields& base, const CharFormatFields& change) {
  CharFormatFields merged = base;
  const uint32_t mask = change.mask;
  const uint32_t effectBits = mask & kEffectMaskBits;
  merged.effects = (merged.effects & ~effectBits) | (change.effects & effectBits);
  if (mask & kMaskColour) {
    merged.effects = (merged.effects & ~kEffectAutoColour) | (change.effects & kEffectAutoColour);
    merged.colour = change.colour;
  }
  if (mask & kMaskSize) merged.height = change.height;
  if (mask & kMaskOffset) merged.offset = change.offset;
  if (mask & kMaskCharset) merged.charset = change.charset;
  if (mask & kMaskFace) {
    merged.face = change.face;
    merged.pitchAndFamily = change.pitchAndFamily;
  }
  return merged;
}

std::vector<FormatSpan> ResolveRuns(const CharFormatFields& base, int32_t length,
                                    const std::vector<FormatRun>& runs) {
  if (length <= 0) return {};
  std::vector<CharFormatFields> formats{base};
  std::map<decltype(Key(base)), uint32_t> known{{Key(base), 0}};
  std::vector<uint32_t> at(static_cast<std::size_t>(length), 0);
  std::vector<std::pair<uint32_t, uint32_t>> merges;  // within one run: old format -> new
  for (const FormatRun& run : runs) {
    int32_t from = 0, to = 0;
    if (!Selection(run.first, run.end, length, &from, &to)) continue;
    const CharFormatFields change = ReadCharFormat(run.format.data());
    merges.clear();
    for (int32_t i = from; i < to; ++i) {
      uint32_t& index = at[static_cast<std::size_t>(i)];
      auto done = std::find_if(merges.begin(), merges.end(),
                               [&](const auto& merge) { return merge.first == index; });
      if (done != merges.end()) {
        index = done->second;
        continue;
      }
      CharFormatFields merged = MergeCharFormat(formats[index], change);
      auto [place, added] =
          known.emplace(Key(merged), static_cast<uint32_t>(formats.size()));
      if (added) formats.push_back(merged);
      merges.emplace_back(index, place->second);
      index = place->second;
    }
  }
  std::vector<FormatSpan> spans;
  for (int32_t i = 0; i < length; ++i) {
    uint32_t index = at[static_cast<std::size_t>(i)];
    if (i > 0 && at[static_cast<std::size_t>(i - 1)] == index) {
      spans.back().end = i + 1;
    } else {
      spans.push_back(FormatSpan{i, i + 1, formats[index]});
    }
  }
  return spans;
}

std::string BuildRtf(const std::u16string& text, const std::vector<FormatSpan>& spans,
                     unsigned codePage) {
  RtfWriter writer(codePage);
  for (const FormatSpan& span : spans) {
    FormatSpan inside = span;
    inside.first = std::max(0, span.first);
    inside.end = std::min(span.end, static_cast<int32_t>(text.size()));
    if (inside.first < inside.end) writer.Span(text, inside);
  }
  return writer.Document();
}

}  // namespace velmor
