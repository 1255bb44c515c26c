// The text views of the three kinds of document (see office_document.h for the layout).
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "common/office/office_document.h"
#include "common/office/office_xml.h"

namespace velmor {

namespace {

using Token = XmlReader::Token;
constexpr char kLineEnd[] = "\r\n";

// The text of a part written over the part itself, behind the reader: every piece of text is
// made from at least as many bytes of XML that the reader has passed (a paragraph's line end
// from its tags, a tab from <w:tab/>, text from its own characters or longer references), so
// the view needs no memory of its own. A write that would reach bytes not yet read ends the view.
class InPlaceText {
 public:
  InPlaceText(std::string& part, const XmlReader& reader) : part_(part), reader_(reader) {}

  bool Append(std::string_view text) {
    if (written_ + text.size() > reader_.consumed()) return false;
    std::memmove(&part_[written_], text.data(), text.size());
    written_ += text.size();
    return true;
  }
  void Finish() { part_.resize(written_); }

 private:
  std::string& part_;
  const XmlReader& reader_;
  std::size_t written_ = 0;
};

// Paragraphs open at the same time: a text box's paragraphs lie inside the paragraph that holds
// the box and end first, so each collects its own text and is written when its end tag is met.
class OpenParagraphs {
 public:
  explicit OpenParagraphs(InPlaceText& out) : out_(out) {}

  void Begin() {
    if (open_ == paragraphs_.size()) paragraphs_.emplace_back();
    paragraphs_[open_].text.clear();
    paragraphs_[open_].runs = 0;
    ++open_;
  }
  bool End() {
    if (open_ == 0) return true;
    --open_;
    return out_.Append(paragraphs_[open_].text) && out_.Append(kLineEnd);
  }
  // The innermost open paragraph's text, or null outside every paragraph.
  std::string* text() { return open_ ? &paragraphs_[open_ - 1].text : nullptr; }
  // Runs open in the innermost paragraph.
  int* runs() { return open_ ? &paragraphs_[open_ - 1].runs : nullptr; }

 private:
  struct Paragraph {
    std::string text;
    int runs = 0;
  };
  InPlaceText& out_;
  std::vector<Paragraph> paragraphs_;
  std::size_t open_ = 0;
};

// One part of paragraphs, replaced by its text: a Word document, header or footer (w:p, its
// runs' w:t; w:tab, w:br, w:cr and w:noBreakHyphen inside a run, where a tab stop of the
// paragraph's properties is not) or a slide (a:p, a:t; a:br, which stands between runs).
bool ParagraphText(std::string& part, OfficeNamespace ns) {
  const bool word = ns == OfficeNamespace::kWord;
  OfficeXml xml(part);
  InPlaceText out(part, xml.reader());
  OpenParagraphs paragraphs(out);
  int inText = 0;
  for (;;) {
    const Token token = xml.Next();
    if (token == Token::kError) return false;
    if (token == Token::kDone) break;
    if (token == Token::kText) {
      if (inText > 0 && paragraphs.text()) xml.reader().AppendText(*paragraphs.text());
      continue;
    }
    if (xml.ns() != ns) continue;
    const std::string_view local = xml.local();
    const bool start = token == Token::kStart;
    if (local == "p") {
      if (start) {
        paragraphs.Begin();
      } else if (!paragraphs.End()) {
        return false;
      }
    } else if (local == "r") {
      if (int* runs = paragraphs.runs()) *runs = std::max(0, *runs + (start ? 1 : -1));
    } else if (local == "t") {
      inText = std::max(0, inText + (start ? 1 : -1));
    } else if (start && paragraphs.text() && (!word || *paragraphs.runs() > 0)) {
      if (local == "br" || (word && local == "cr")) {
        *paragraphs.text() += kLineEnd;
      } else if (word && local == "tab") {
        *paragraphs.text() += '\t';
      } else if (word && local == "noBreakHyphen") {
        *paragraphs.text() += '-';
      }
    }
  }
  out.Finish();
  return true;
}

// The number in a part's name ("word/header12.xml" -> 12), or 0.
uint64_t NumberInName(std::string_view name) {
  uint64_t number = 0;
  for (char c : name) {
    if (c >= '0' && c <= '9') number = std::min<uint64_t>(number * 10 + (c - '0'), UINT32_MAX);
  }
  return number;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != prefix[i]) return false;
  }
  return true;
}

constexpr int64_t kLastRow = 1048576;  // the rows of a sheet in Excel

// "A" -> 0, "AB" -> 27; -1 when the reference has no letters or lies beyond column XFD.
int ColumnOf(std::string_view reference) {
  int column = 0;
  std::size_t i = 0;
  for (; i < reference.size(); ++i) {
    char c = reference[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c < 'A' || c > 'Z') break;
    column = column * 26 + (c - 'A' + 1);
    if (column > 16384) return -1;
  }
  return i == 0 ? -1 : column - 1;
}

std::string ColumnName(int column) {
  std::string name;
  for (int n = column + 1; n > 0; n = (n - 1) / 26) {
    name.insert(name.begin(), static_cast<char>('A' + (n - 1) % 26));
  }
  return name;
}

// The text of a string item (si of the shared strings, is of a cell): its t elements, rich-text
// runs joined, phonetic readings (rPh) left out. Called after the item's start tag; reads up to
// and including its end tag.
bool ReadStringItem(OfficeXml& xml, std::string& out) {
  const int itemDepth = xml.reader().depth();
  int inText = 0;
  int inPhonetic = 0;
  for (;;) {
    const Token token = xml.Next();
    if (token == Token::kDone || token == Token::kError) return false;
    const bool sheet = xml.ns() == OfficeNamespace::kSheet;
    if (token == Token::kText) {
      if (inText > 0 && inPhonetic == 0) xml.reader().AppendText(out);
    } else if (token == Token::kStart && sheet) {
      inText += xml.local() == "t";
      inPhonetic += xml.local() == "rPh";
    } else if (token == Token::kEnd) {
      if (xml.reader().depth() < itemDepth) return true;
      if (sheet && xml.local() == "t" && inText > 0) --inText;
      if (sheet && xml.local() == "rPh" && inPhonetic > 0) --inPhonetic;
    }
  }
}

// The shared strings of a workbook, one after another in one text: a part of tiny items costs
// no more than the part itself.
struct SharedStrings {
  std::string text;
  std::vector<std::size_t> ends;  // where each item ends in `text`

  std::string_view operator[](std::size_t index) const {
    const std::size_t begin = index == 0 ? 0 : ends[index - 1];
    return std::string_view(text).substr(begin, ends[index] - begin);
  }
};

bool ReadSharedStrings(std::string_view part, SharedStrings& strings) {
  OfficeXml xml(part);
  for (;;) {
    const Token token = xml.Next();
    if (token == Token::kDone) return true;
    if (token == Token::kError) return false;
    if (token == Token::kStart && xml.Is(OfficeNamespace::kSheet, "si")) {
      if (!ReadStringItem(xml, strings.text)) return false;
      strings.ends.push_back(strings.text.size());
    }
  }
}

// One worksheet's rows and then its formulas into `out`, which may not grow past `limit`: a
// small part can name a long shared string in every cell, or a cell in the last column of
// every row.
bool AppendSheet(std::string_view part, const SharedStrings& shared, std::size_t limit,
                 std::string& out) {
  OfficeXml xml(part);
  std::vector<std::string> cells;  // of the row being read, by column
  int lastColumn = -1;
  int column = -1;
  int64_t row = 0;
  std::size_t rowBytes = 0;  // what the row being read will add to `out`
  std::string formulas;
  // The cell being read.
  std::string_view type;
  std::string reference;
  std::string value;
  std::string formula;
  enum { kOutside, kValue, kFormula } collecting = kOutside;
  for (;;) {
    const Token token = xml.Next();
    if (token == Token::kDone) break;
    if (token == Token::kError) return false;
    if (token == Token::kText) {
      if (collecting == kValue) xml.reader().AppendText(value);
      if (collecting == kFormula) xml.reader().AppendText(formula);
      continue;
    }
    if (xml.ns() != OfficeNamespace::kSheet) continue;
    const std::string_view local = xml.local();
    if (token == Token::kStart) {
      std::string_view attribute;
      if (local == "row") {
        // A row number only names the cells of a formula line that carry no reference of
        // their own; it is kept within the rows a sheet can have.
        const int64_t next = xml.Attribute("r", &attribute)
                                 ? std::strtoll(std::string(attribute).c_str(), nullptr, 10)
                                 : row + 1;
        row = std::clamp<int64_t>(next, 0, kLastRow);
        for (std::string& cell : cells) cell.clear();
        lastColumn = column = -1;
        rowBytes = 2;
      } else if (local == "c") {
        reference.clear();
        if (xml.Attribute("r", &attribute)) XmlReader::AppendDecoded(attribute, reference);
        const int named = reference.empty() ? -1 : ColumnOf(reference);
        column = named >= 0 ? named : column + 1;
        if (!xml.Attribute("t", &type)) type = std::string_view();
        value.clear();
        formula.clear();
      } else if (local == "v") {
        collecting = kValue;
      } else if (local == "f") {
        collecting = kFormula;
      } else if (local == "is") {
        if (!ReadStringItem(xml, value)) return false;
      }
      continue;
    }
    // End tags.
    if (local == "v" || local == "f") {
      collecting = kOutside;
    } else if (local == "c") {
      if (column < 0 || column >= 16384) continue;  // beyond the last column Excel has
      if (static_cast<std::size_t>(column) >= cells.size()) cells.resize(column + 1);
      std::string& cell = cells[column];
      rowBytes -= cell.size();
      if (type == "s") {
        const uint64_t index = std::strtoull(value.c_str(), nullptr, 10);
        if (!value.empty() && index < shared.ends.size()) cell = shared[index];
      } else if (type == "b") {
        cell = value == "1" ? "TRUE" : value == "0" ? "FALSE" : value;
      } else {
        cell = value;
      }
      rowBytes += cell.size() + (column > lastColumn ? column - lastColumn : 0);
      lastColumn = std::max(lastColumn, column);
      if (out.size() + rowBytes + formulas.size() > limit) return false;
      if (!formula.empty()) {
        formulas += reference.empty() ? ColumnName(column) + std::to_string(row) : reference;
        formulas += '=';
        formulas += formula;
        formulas += kLineEnd;
      }
    } else if (local == "row") {
      for (int i = 0; i <= lastColumn; ++i) {
        if (i > 0) out += '\t';
        out += cells[i];
      }
      out += kLineEnd;
    }
  }
  out += formulas;
  return true;
}

}  // namespace

bool OfficeDocument::WordText(std::string& out) const {
  // The document's text is made where its part was inflated, and becomes the view.
  if (!ReadPart(mainPart_, out) || !ParagraphText(out, OfficeNamespace::kWord)) return false;
  std::string xml;
  // Then the headers and the footers of the document's folder, each by its number.
  const std::string folder = mainPart_.substr(0, mainPart_.rfind('/') + 1);
  for (std::string_view group : {"header", "footer"}) {
    std::vector<const ZipEntry*> parts;
    for (const ZipEntry& entry : zip_.entries()) {
      std::string_view name = entry.name;
      if (!StartsWithIgnoringCase(name, folder)) continue;
      name.remove_prefix(folder.size());
      if (StartsWithIgnoringCase(name, group) && name.find('/') == std::string_view::npos &&
          name.size() > 4 && StartsWithIgnoringCase(name.substr(name.size() - 4), ".xml")) {
        parts.push_back(&entry);
      }
    }
    std::stable_sort(parts.begin(), parts.end(), [](const ZipEntry* a, const ZipEntry* b) {
      return NumberInName(a->name) < NumberInName(b->name);
    });
    for (const ZipEntry* part : parts) {
      if (!zip_.Read(*part, xml) || !ParagraphText(xml, OfficeNamespace::kWord) ||
          out.size() + xml.size() > limits_.maxEntrySize) {
        return false;
      }
      out += xml;
    }
  }
  return true;
}

bool OfficeDocument::SheetText(std::string& out) const {
  std::vector<std::string> sheets;
  std::vector<std::string> names;
  std::vector<Relationship> relationships;
  if (!MainParts(sheets, &names) || !ReadRelationships(mainPart_, relationships)) return false;
  SharedStrings shared;
  std::string xml;
  for (const Relationship& relationship : relationships) {
    const std::string_view type = relationship.type;
    if (type.size() >= 14 && type.substr(type.size() - 14) == "/sharedStrings") {
      if (!ReadPart(relationship.target, xml) || !ReadSharedStrings(xml, shared)) return false;
      break;
    }
  }
  for (std::size_t i = 0; i < sheets.size(); ++i) {
    out += u8"[工作表 ";
    out += names[i];
    out += ']';
    out += kLineEnd;
    if (!ReadPart(sheets[i], xml) || !AppendSheet(xml, shared, limits_.maxEntrySize, out)) return false;
  }
  return true;
}

bool OfficeDocument::SlideText(std::string& out) const {
  std::vector<std::string> slides;
  if (!MainParts(slides, nullptr)) return false;
  std::string xml;
  for (std::size_t i = 0; i < slides.size(); ++i) {
    out += u8"[幻灯片 ";
    out += std::to_string(i + 1);
    out += ']';
    out += kLineEnd;
    if (!ReadPart(slides[i], xml) || !ParagraphText(xml, OfficeNamespace::kDrawing) ||
        out.size() + xml.size() > limits_.maxEntrySize) {
      return false;
    }
    out += xml;
  }
  return true;
}

}  // namespace velmor
