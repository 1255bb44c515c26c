// The paragraphs of a Word document as an import that keeps how the text looks needs them:
// each with its runs (text and character format) and its pictures.
//
// Paragraphs come in the order their end tags are met: a table's cells in turn, a text box's
// paragraphs before the paragraph that holds the box (as the text view has them). A run's
// format is its own properties over its character style, the paragraph's style and the
// document's defaults (styles through their basedOn chains; fonts of the theme resolved).
// Deleted text and field codes are left out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/office/office_document.h"

namespace velmor {

struct WordRunFormat {
  std::string asciiFont;     // UTF-8; empty when nothing names one
  std::string eastAsiaFont;  // the font of Chinese (East Asian) characters
  int32_t halfPoints = 0;    // the size; 0 when nothing gives one
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool coloured = false;     // false: automatic
  uint32_t rgb = 0;          // 0xRRGGBB

  bool operator==(const WordRunFormat& other) const;
};

struct WordRun {
  std::string text;  // UTF-8; '\t' a tab, '\n' a line break; a no-break space is a space
  WordRunFormat format;
};

// A picture of a drawing (inline or anchored) at its place in the paragraph.
struct WordPicture {
  std::size_t at = 0;     // before byte `at` of the paragraph's text
  std::string part;       // the picture's part; empty when its reference leads to none
  int64_t widthEmu = 0;   // the size it is shown at (914400 a inch); 0 when not given
  int64_t heightEmu = 0;
};

struct WordParagraph {
  std::vector<WordRun> runs;  // none empty; neighbours differ in format
  std::vector<WordPicture> pictures;
};

// The paragraphs of the main part of a Word document. False when the document is no Word
// document or its main part, styles or theme cannot be read.
bool ReadWordParagraphs(const OfficeDocument& document, std::vector<WordParagraph>& paragraphs);

}  // namespace velmor
