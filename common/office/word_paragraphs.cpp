#include "common/office/word_paragraphs.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <map>
#include <optional>
#include <string_view>
#include <tuple>
#include <utility>

#include "common/office/office_xml.h"

namespace velmor {

bool WordRunFormat::operator==(const WordRunFormat& other) const {
  return std::tie(asciiFont, eastAsiaFont, halfPoints, bold, italic, underline, coloured, rgb) ==
         std::tie(other.asciiFont, other.eastAsiaFont, other.halfPoints, other.bold, other.italic,
                  other.underline, other.coloured, other.rgb);
}

namespace {

using Token = XmlReader::Token;
using Ns = OfficeNamespace;

constexpr int kStyleDepth = 16;  // basedOn steps followed; a loop ends there
constexpr int32_t kLargestHalfPoints = 3276;  // Word's 1638 points

// What a level of formatting (defaults, a style, a run) says; the rest it leaves to the level
// below.
struct RunProperties {
  enum : uint32_t {
    kAscii = 1, kEastAsia = 2, kSize = 4, kBold = 8, kItalic = 16, kUnderline = 32, kColour = 64,
  };
  uint32_t set = 0;
  WordRunFormat format;

  // Fills what this level leaves open from `below`.
  void Over(const RunProperties& below) {
    const uint32_t open = below.set & ~set;
    if (open & kAscii) format.asciiFont = below.format.asciiFont;
    if (open & kEastAsia) format.eastAsiaFont = below.format.eastAsiaFont;
    if (open & kSize) format.halfPoints = below.format.halfPoints;
    if (open & kBold) format.bold = below.format.bold;
    if (open & kItalic) format.italic = below.format.italic;
    if (open & kUnderline) format.underline = below.format.underline;
    if (open & kColour) {
      format.coloured = below.format.coloured;
      format.rgb = below.format.rgb;
    }
    set |= below.set;
  }
};

// The fonts of the document's theme, which styles name by their place ("minorEastAsia").
struct ThemeFonts {
  std::string majorLatin, majorEastAsia, minorLatin, minorEastAsia;

  const std::string* Named(std::string_view name) const {
    if (name == "majorEastAsia") return &majorEastAsia;
    if (name == "minorEastAsia") return &minorEastAsia;
    if (name == "majorHAnsi" || name == "majorAscii") return &majorLatin;
    if (name == "minorHAnsi" || name == "minorAscii") return &minorLatin;
    return nullptr;
  }
};

struct Style {
  std::string basedOn;
  RunProperties properties;
};

std::string Decoded(std::string_view raw) {
  std::string out;
  XmlReader::AppendDecoded(raw, out);
  return out;
}

// Reads on to the end of the element whose start tag was the last token. False when the part
// ends first.
bool SkipElement(OfficeXml& xml) {
  const int outside = xml.reader().depth() - 1;
  for (;;) {
    const Token token = xml.Next();
    if (token == Token::kDone || token == Token::kError) return false;
    if (token == Token::kEnd && xml.reader().depth() == outside) return true;
  }
}

// A toggle of the run properties: no value, or any value but "0", "false" and "off", is on.
bool Toggle(const OfficeXml& xml) {
  std::string_view value;
  if (!xml.Attribute(Ns::kWord, "val", &value)) return true;
  return value != "0" && value != "false" && value != "off";
}

bool HexColour(std::string_view value, uint32_t* rgb) {
  if (value.size() != 6) return false;
  uint32_t parsed = 0;
  auto [end, error] = std::from_chars(value.data(), value.data() + 6, parsed, 16);
  if (error != std::errc() || end != value.data() + 6) return false;
  *rgb = parsed;
  return true;
}

class Reader {
 public:
  explicit Reader(const OfficeDocument& document) : document_(document) {}

  bool Read(std::vector<WordParagraph>& paragraphs) {
    paragraphs.clear();
    if (document_.kind() != OfficeKind::kWord) return false;
    std::vector<OfficeDocument::Relationship> relationships;
    if (!document_.ReadRelationships(document_.mainPart(), relationships)) return false;
    std::string part;
    for (const OfficeDocument::Relationship& relationship : relationships) {
      targets_[relationship.id] = relationship.target;
      if (EndsWith(relationship.type, "/theme") && !theme_) theme_ = relationship.target;
      if (EndsWith(relationship.type, "/styles") && !styles_) styles_ = relationship.target;
    }
    // A theme or styles part the package lacks leaves the formats to the runs; one that is
    // there and cannot be read is a damaged package.
    if (theme_ && document_.HasPart(*theme_) && (!document_.ReadPart(*theme_, part) || !ReadTheme(part))) {
      return false;
    }
    if (styles_ && document_.HasPart(*styles_) && (!document_.ReadPart(*styles_, part) || !ReadStyles(part))) {
      return false;
    }
    if (!document_.ReadPart(document_.mainPart(), part)) return false;
    return ReadDocument(part, paragraphs);
  }

 private:
  struct OpenParagraph {
    WordParagraph paragraph;
    std::string style;
    std::size_t length = 0;  // bytes of text so far
    bool inRun = false;
    bool runStarted = false;  // the run's format is settled and its text goes to runs.back()
    RunProperties direct;
    std::string runStyle;
    int inText = 0;
    // A drawing under way: its depth (0 when none), its picture and size.
    int drawing = 0;
    bool blip = false;
    std::string part;
    int64_t width = 0;
    int64_t height = 0;
  };

  static bool EndsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
  }

  bool ReadTheme(const std::string& xml_text) {
    OfficeXml xml(xml_text);
    std::string* latin = nullptr;
    std::string* eastAsia = nullptr;
    for (;;) {
      const Token token = xml.Next();
      if (token == Token::kDone) return true;
      if (token == Token::kError) return false;
      if (xml.ns() != Ns::kDrawing) continue;
      if (token == Token::kEnd && (xml.local() == "majorFont" || xml.local() == "minorFont")) {
        latin = eastAsia = nullptr;
      }
      if (token != Token::kStart) continue;
      std::string_view value;
      if (xml.local() == "majorFont" || xml.local() == "minorFont") {
        const bool major = xml.local() == "majorFont";
        latin = major ? &fonts_.majorLatin : &fonts_.minorLatin;
        eastAsia = major ? &fonts_.majorEastAsia : &fonts_.minorEastAsia;
      } else if (latin && xml.local() == "latin" && xml.Attribute("typeface", &value)) {
        *latin = Decoded(value);
      } else if (eastAsia && xml.local() == "ea" && xml.Attribute("typeface", &value) && !value.empty()) {
        *eastAsia = Decoded(value);
      } else if (eastAsia && xml.local() == "font" && eastAsia->empty() &&
                 xml.Attribute("script", &value) && value == "Hans" && xml.Attribute("typeface", &value)) {
        *eastAsia = Decoded(value);
      }
    }
  }

  bool ReadStyles(const std::string& xml_text) {
    OfficeXml xml(xml_text);
    Style* style = nullptr;
    bool inDefaults = false;
    for (;;) {
      const Token token = xml.Next();
      if (token == Token::kDone) return true;
      if (token == Token::kError) return false;
      if (xml.ns() != Ns::kWord) continue;
      const std::string_view local = xml.local();
      if (token == Token::kEnd) {
        if (local == "style") style = nullptr;
        if (local == "rPrDefault") inDefaults = false;
        continue;
      }
      if (token != Token::kStart) continue;
      std::string_view value;
      if (local == "rPrDefault") {
        inDefaults = true;
      } else if (local == "style") {
        std::string_view type;
        const bool paragraph = xml.Attribute(Ns::kWord, "type", &type) && type == "paragraph";
        const bool character = type == "character";
        style = nullptr;
        if ((paragraph || character) && xml.Attribute(Ns::kWord, "styleId", &value)) {
          std::string id = Decoded(value);
          style = &stylesById_[id];
          if (xml.Attribute(Ns::kWord, "default", &value) && (value == "1" || value == "true")) {
            (paragraph ? defaultParagraphStyle_ : defaultCharacterStyle_) = id;
          }
        }
      } else if (local == "basedOn" && style && xml.Attribute(Ns::kWord, "val", &value)) {
        style->basedOn = Decoded(value);
      } else if (local == "rPr" && (style || inDefaults)) {
        std::string ignored;
        if (!ReadRunProperties(xml, style ? style->properties : defaults_, ignored)) return false;
      } else if (local == "pPr" || local == "tblPr" || local == "tblStylePr" || local == "trPr" ||
                 local == "tcPr") {
        // Paragraph marks and table parts have run properties of their own that no run takes.
        if (!SkipElement(xml)) return false;
      }
    }
  }

  // The rPr whose start tag was the last token, read to its end.
  bool ReadRunProperties(OfficeXml& xml, RunProperties& properties, std::string& runStyle) {
    if (xml.reader().selfClosing()) return SkipElement(xml);
    const int outside = xml.reader().depth() - 1;
    for (;;) {
      const Token token = xml.Next();
      if (token == Token::kDone || token == Token::kError) return false;
      if (token == Token::kEnd && xml.reader().depth() == outside) return true;
      if (token != Token::kStart || xml.ns() != Ns::kWord) continue;
      const std::string_view local = xml.local();
      std::string_view value;
      WordRunFormat& format = properties.format;
      if (local == "rPrChange") {
        if (!SkipElement(xml)) return false;  // the properties before a tracked change
      } else if (local == "rStyle" && xml.Attribute(Ns::kWord, "val", &value)) {
        runStyle = Decoded(value);
      } else if (local == "rFonts") {
        Font(xml, "ascii", "asciiTheme", RunProperties::kAscii, format.asciiFont, properties);
        if (!(properties.set & RunProperties::kAscii)) {
          Font(xml, "hAnsi", "hAnsiTheme", RunProperties::kAscii, format.asciiFont, properties);
        }
        Font(xml, "eastAsia", "eastAsiaTheme", RunProperties::kEastAsia, format.eastAsiaFont, properties);
      } else if (local == "sz" && xml.Attribute(Ns::kWord, "val", &value)) {
        int32_t halfPoints = 0;
        auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), halfPoints);
        if (error == std::errc() && end == value.data() + value.size() && halfPoints > 0) {
          format.halfPoints = std::min(halfPoints, kLargestHalfPoints);
          properties.set |= RunProperties::kSize;
        }
      } else if (local == "b") {
        format.bold = Toggle(xml);
        properties.set |= RunProperties::kBold;
      } else if (local == "i") {
        format.italic = Toggle(xml);
        properties.set |= RunProperties::kItalic;
      } else if (local == "u") {
        format.underline = !xml.Attribute(Ns::kWord, "val", &value) || value != "none";
        properties.set |= RunProperties::kUnderline;
      } else if (local == "color" && xml.Attribute(Ns::kWord, "val", &value)) {
        uint32_t rgb = 0;
        if (value == "auto" || HexColour(value, &rgb)) {
          format.coloured = value != "auto";
          format.rgb = rgb;
          properties.set |= RunProperties::kColour;
        }
      }
    }
  }

  // A font of rFonts: the theme's font it names, else the font named directly.
  void Font(const OfficeXml& xml, std::string_view attribute, std::string_view themeAttribute, uint32_t bit,
            std::string& font, RunProperties& properties) {
    std::string_view value;
    if (xml.Attribute(Ns::kWord, themeAttribute, &value)) {
      const std::string* themed = fonts_.Named(value);
      if (themed && !themed->empty()) {
        font = *themed;
        properties.set |= bit;
        return;
      }
    }
    if (xml.Attribute(Ns::kWord, attribute, &value)) {
      font = Decoded(value);
      properties.set |= bit;
    }
  }

  // A style with everything it takes from the styles it is based on.
  const RunProperties& Resolved(const std::string& id, int depth = 0) {
    auto known = resolved_.find(id);
    if (known != resolved_.end()) return known->second;
    RunProperties properties;
    auto style = stylesById_.find(id);
    if (style != stylesById_.end()) {
      properties = style->second.properties;
      if (!style->second.basedOn.empty() && style->second.basedOn != id && depth < kStyleDepth) {
        properties.Over(Resolved(style->second.basedOn, depth + 1));
      }
    }
    return resolved_[id] = properties;
  }

  WordRunFormat FormatOf(const OpenParagraph& open) {
    RunProperties properties = open.direct;
    properties.Over(Resolved(open.runStyle.empty() ? defaultCharacterStyle_ : open.runStyle));
    properties.Over(Resolved(open.style.empty() ? defaultParagraphStyle_ : open.style));
    properties.Over(defaults_);
    return properties.format;
  }

  void Append(OpenParagraph& open, std::string_view text) {
    if (text.empty()) return;
    if (!open.runStarted) {
      open.runStarted = true;
      WordRunFormat format = FormatOf(open);
      std::vector<WordRun>& runs = open.paragraph.runs;
      if (runs.empty() || !(runs.back().format == format)) runs.push_back(WordRun{std::string(), std::move(format)});
    }
    open.paragraph.runs.back().text += text;
    open.length += text.size();
  }

  // The paragraph whose drawing is under way, innermost first.
  OpenParagraph* Drawing(std::vector<OpenParagraph>& open) {
    for (auto paragraph = open.rbegin(); paragraph != open.rend(); ++paragraph) {
      if (paragraph->drawing > 0) return &*paragraph;
    }
    return nullptr;
  }

  bool ReadDocument(const std::string& xml_text, std::vector<WordParagraph>& paragraphs) {
    OfficeXml xml(xml_text);
    std::vector<OpenParagraph> open;
    std::string text;
    for (;;) {
      const Token token = xml.Next();
      if (token == Token::kDone) return true;
      if (token == Token::kError) return false;
      OpenParagraph* top = open.empty() ? nullptr : &open.back();
      if (token == Token::kText) {
        if (top && top->inRun && top->inText > 0) {
          text.clear();
          xml.reader().AppendText(text);
          Append(*top, NoBreakSpacesAsSpaces(text));
        }
        continue;
      }
      const bool start = token == Token::kStart;
      if (xml.ns() == Ns::kWordDrawing || xml.ns() == Ns::kDrawing) {
        OpenParagraph* drawing = start ? Drawing(open) : nullptr;
        std::string_view value;
        if (drawing && xml.local() == "extent" && xml.ns() == Ns::kWordDrawing) {
          drawing->width = Emu(xml, "cx");
          drawing->height = Emu(xml, "cy");
        } else if (drawing && xml.local() == "blip" && !drawing->blip) {
          drawing->blip = true;
          if (xml.Attribute("embed", &value, true)) {
            auto target = targets_.find(Decoded(value));
            if (target != targets_.end()) drawing->part = target->second;
          }
        }
        continue;
      }
      if (xml.ns() == Ns::kOther && start) {
        // The VML of older documents and of embedded objects: v:shape's size, v:imagedata's picture.
        OpenParagraph* drawing = Drawing(open);
        std::string_view value;
        if (drawing && xml.local() == "shape" && drawing->width == 0 && xml.Attribute("style", &value)) {
          drawing->width = StyleLength(value, "width");
          drawing->height = StyleLength(value, "height");
        } else if (drawing && xml.local() == "imagedata" && !drawing->blip) {
          drawing->blip = true;
          if (xml.Attribute("id", &value, true)) {
            auto target = targets_.find(Decoded(value));
            if (target != targets_.end()) drawing->part = target->second;
          }
        }
        continue;
      }
      if (xml.ns() != Ns::kWord) continue;
      const std::string_view local = xml.local();
      if (local == "p") {
        if (start) {
          open.emplace_back();
        } else if (!open.empty()) {
          paragraphs.push_back(std::move(open.back().paragraph));
          open.pop_back();
        }
        continue;
      }
      if (!top) continue;
      if (local == "pPr" && start) {
        if (!ReadParagraphProperties(xml, *top)) return false;
      } else if (local == "r") {
        top->inRun = start;
        top->runStarted = false;
        top->inText = 0;
        if (start) {
          top->direct = RunProperties();
          top->runStyle.clear();
        }
      } else if (local == "rPr" && start && top->inRun) {
        if (!ReadRunProperties(xml, top->direct, top->runStyle)) return false;
      } else if (local == "t") {
        top->inText += start ? 1 : (top->inText > 0 ? -1 : 0);
      } else if (local == "drawing" || local == "pict" || local == "object") {
        if (start && top->drawing == 0) {
          top->drawing = xml.reader().depth();
          top->blip = false;
          top->part.clear();
          top->width = top->height = 0;
        } else if (!start && top->drawing == xml.reader().depth() + 1) {
          top->drawing = 0;
          if (top->blip) top->paragraph.pictures.push_back(WordPicture{top->length, top->part, top->width, top->height});
        }
      } else if (start && top->inRun) {
        if (local == "tab") {
          Append(*top, "\t");
        } else if (local == "br" || local == "cr") {
          Append(*top, "\n");
        } else if (local == "noBreakHyphen") {
          Append(*top, "-");
        }
      }
    }
  }

  // pPr: the paragraph's style; the rest (the paragraph mark's own run properties among it)
  // is passed over.
  bool ReadParagraphProperties(OfficeXml& xml, OpenParagraph& open) {
    if (xml.reader().selfClosing()) return SkipElement(xml);
    const int outside = xml.reader().depth() - 1;
    for (;;) {
      const Token token = xml.Next();
      if (token == Token::kDone || token == Token::kError) return false;
      if (token == Token::kEnd && xml.reader().depth() == outside) return true;
      std::string_view value;
      if (token == Token::kStart && xml.Is(Ns::kWord, "pPrChange")) {
        if (!SkipElement(xml)) return false;
      } else if (token == Token::kStart && xml.Is(Ns::kWord, "pStyle") &&
                 xml.Attribute(Ns::kWord, "val", &value)) {
        open.style = Decoded(value);
      }
    }
  }

  static int64_t Emu(const OfficeXml& xml, std::string_view name) {
    std::string_view value;
    int64_t emu = 0;
    if (!xml.Attribute(name, &value)) return 0;
    auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), emu);
    return error == std::errc() && end == value.data() + value.size() && emu > 0 ? emu : 0;
  }

  // A length of a VML style, "width:72pt;height:1in", in EMU; 0 when it is not there.
  static int64_t StyleLength(std::string_view style, std::string_view name) {
    for (std::size_t at = 0; at < style.size();) {
      const std::size_t end = std::min(style.find(';', at), style.size());
      std::string_view item = style.substr(at, end - at);
      at = end + 1;
      const std::size_t colon = item.find(':');
      if (colon == std::string_view::npos || Trim(item.substr(0, colon)) != name) continue;
      std::string_view length = Trim(item.substr(colon + 1));
      double value = 0;
      std::size_t digits = 0;
      while (digits < length.size() && ((length[digits] >= '0' && length[digits] <= '9') || length[digits] == '.')) {
        ++digits;
      }
      if (digits == 0 || digits > 12) return 0;
      value = std::atof(std::string(length.substr(0, digits)).c_str());
      const std::string_view unit = length.substr(digits);
      const double emu = unit == "in" ? 914400 : unit == "cm" ? 360000 : unit == "mm" ? 36000 : unit == "px" ? 9525 : 12700;
      return value > 0 && value < 1e6 ? static_cast<int64_t>(value * emu) : 0;
    }
    return 0;
  }

  static std::string_view Trim(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
  }

  // U+00A0, which GBK lacks, is a space to the eye.
  static std::string_view NoBreakSpacesAsSpaces(std::string& text) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\xC2' && i + 1 < text.size() && text[i + 1] == '\xA0') {
        text[kept++] = ' ';
        ++i;
      } else {
        text[kept++] = text[i];
      }
    }
    text.resize(kept);
    return text;
  }

  const OfficeDocument& document_;
  std::map<std::string, std::string> targets_;  // relationship id to part
  std::optional<std::string> theme_;
  std::optional<std::string> styles_;
  ThemeFonts fonts_;
  RunProperties defaults_;
  std::map<std::string, Style> stylesById_;
  std::map<std::string, RunProperties> resolved_;
  std::string defaultParagraphStyle_;
  std::string defaultCharacterStyle_;
};

}  // namespace

bool ReadWordParagraphs(const OfficeDocument& document, std::vector<WordParagraph>& paragraphs) {
  Reader reader(document);
  if (reader.Read(paragraphs)) return true;
  paragraphs.clear();
  return false;
}

}  // namespace velmor
