#include "common/richtext/rtf_load.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <tuple>
#include <unordered_map>

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
    auto [known, added] = fontIndex_.emplace(std::make_tuple(f.face, f.charset, f.pitchAndFamily),
                                             static_cast<int>(fonts_.size()));
    if (added) fonts_.push_back(f);
    return known->second;
  }

  // Entry 0 of the colour table is the automatic colour.
  int Colour(uint32_t colour) {
    colour &= 0xFFFFFF;
    auto [known, added] = colourIndex_.emplace(colour, static_cast<int>(colours_.size()) + 1);
    if (added) colours_.push_back(colour);
    return known->second;
  }

  unsigned codePage_;
  std::vector<CharFormatFields> fonts_;
  std::vector<uint32_t> colours_;
  // A stem may hold thousands of spans, each of its own font or colour.
  std::map<std::tuple<std::string, uint8_t, uint8_t>, int> fontIndex_;
  std::unordered_map<uint32_t, int> colourIndex_;
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

namespace {

// The fields a run can set, one group to each mask bit; the groups touch disjoint fields.
constexpr uint32_t kFieldGroups[] = {kMaskBold,   kMaskItalic, kMaskUnderline, kMaskStrikeOut,
                                     kMaskProtected, kMaskLink, kMaskColour,    kMaskSize,
                                     kMaskOffset, kMaskCharset, kMaskFace};

// The fields `mask` names, taken from `change`.
void TakeFields(CharFormatFields& format, const CharFormatFields& change, uint32_t mask) {
  const uint32_t effectBits = mask & kEffectMaskBits;
  format.effects = (format.effects & ~effectBits) | (change.effects & effectBits);
  if (mask & kMaskColour) {
    format.effects = (format.effects & ~kEffectAutoColour) | (change.effects & kEffectAutoColour);
    format.colour = change.colour;
  }
  if (mask & kMaskSize) format.height = change.height;
  if (mask & kMaskOffset) format.offset = change.offset;
  if (mask & kMaskCharset) format.charset = change.charset;
  if (mask & kMaskFace) {
    format.face = change.face;
    format.pitchAndFamily = change.pitchAndFamily;
  }
}

// Index of the first element of the next-free chain at or after `at`, halving paths.
uint32_t NextFree(std::vector<uint32_t>& next, uint32_t at) {
  while (next[at] != at) {
    next[at] = next[next[at]];
    at = next[at];
  }
  return at;
}

}  // namespace

CharFormatFields MergeCharFormat(const CharFormatFields& base, const CharFormatFields& change) {
  CharFormatFields merged = base;
  TakeFields(merged, change, change.mask);
  return merged;
}

std::vector<FormatSpan> ResolveRuns(const CharFormatFields& base, int32_t length,
                                    const std::vector<FormatRun>& runs) {
  if (length <= 0) return {};
  // The runs' ends cut the text into pieces over which the same runs lie; a piece is
  // resolved once, whatever its length, so the work grows with the runs, not with runs
  // times characters.
  struct Selected {
    uint32_t first, end;  // characters, then pieces
    CharFormatFields change;
  };
  std::vector<Selected> selected;
  std::vector<int32_t> cuts{0, length};
  for (const FormatRun& run : runs) {
    int32_t from = 0, to = 0;
    if (!Selection(run.first, run.end, length, &from, &to)) continue;
    selected.push_back(Selected{static_cast<uint32_t>(from), static_cast<uint32_t>(to),
                                ReadCharFormat(run.format.data())});
    cuts.push_back(from);
    cuts.push_back(to);
  }
  std::sort(cuts.begin(), cuts.end());
  cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
  const uint32_t pieces = static_cast<uint32_t>(cuts.size() - 1);
  auto piece = [&cuts](uint32_t at) {
    return static_cast<uint32_t>(
        std::lower_bound(cuts.begin(), cuts.end(), static_cast<int32_t>(at)) - cuts.begin());
  };
  for (Selected& run : selected) {
    run.first = piece(run.first);
    run.end = piece(run.end);
  }

  // Each piece ends with, group by group, the fields of the last run over it that names the
  // group, or the base's. So for each group the runs, from last to first, fill the pieces
  // not yet taken, skipping taken ones along a chain of next free pieces.
  std::vector<CharFormatFields> formats(pieces, base);
  std::vector<uint32_t> next(pieces + 1);
  for (uint32_t group : kFieldGroups) {
    for (uint32_t i = 0; i <= pieces; ++i) next[i] = i;
    for (auto run = selected.rbegin(); run != selected.rend(); ++run) {
      if (!(run->change.mask & group)) continue;
      for (uint32_t at = NextFree(next, run->first); at < run->end; at = NextFree(next, at)) {
        TakeFields(formats[at], run->change, group);
        next[at] = at + 1;
      }
    }
  }

  std::vector<FormatSpan> spans;
  for (uint32_t i = 0; i < pieces; ++i) {
    if (!spans.empty() && spans.back().format == formats[i]) {
      spans.back().end = cuts[i + 1];
    } else {
      spans.push_back(FormatSpan{cuts[i], cuts[i + 1], std::move(formats[i])});
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
