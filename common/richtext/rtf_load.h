// Stored character formats field by field, and the RTF that gives a text all its formats in
// one stream. The rich-text control lays its whole text out again after every format change,
// so a stem put in run by run costs time in the square of its runs; streamed as RTF it is
// laid out once. The control's own window code checks each span against what the stream gave.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/richtext/rich_content.h"

namespace velmor {

// The control's mask bits for the fields of the stored format.
constexpr uint32_t kMaskBold = 0x00000001;
constexpr uint32_t kMaskItalic = 0x00000002;
constexpr uint32_t kMaskUnderline = 0x00000004;
constexpr uint32_t kMaskStrikeOut = 0x00000008;
constexpr uint32_t kMaskProtected = 0x00000010;
constexpr uint32_t kMaskLink = 0x00000020;
constexpr uint32_t kMaskCharset = 0x08000000;
constexpr uint32_t kMaskOffset = 0x10000000;
constexpr uint32_t kMaskFace = 0x20000000;
constexpr uint32_t kMaskColour = 0x40000000;
constexpr uint32_t kMaskSize = 0x80000000;
constexpr uint32_t kEffectAutoColour = 0x40000000;
constexpr std::size_t kFaceBytes = 32;  // with its NUL

// The fields of a 60-byte stored character format.
struct CharFormatFields {
  uint32_t mask = 0;
  uint32_t effects = 0;
  int32_t height = 0;  // twips
  int32_t offset = 0;  // twips, up is positive
  uint32_t colour = 0;
  uint8_t charset = 0;
  uint8_t pitchAndFamily = 0;
  std::string face;  // up to its NUL, at most 31 bytes

  bool operator==(const CharFormatFields& other) const;
};

CharFormatFields ReadCharFormat(const unsigned char* format);

// `base` with the fields that `change.mask` names taken from `change`, as the control sets a
// selection's format.
CharFormatFields MergeCharFormat(const CharFormatFields& base, const CharFormatFields& change);

struct FormatSpan {
  int32_t first = 0;
  int32_t end = 0;
  CharFormatFields format;
};

// The formats `length` characters of format `base` end with when the runs are set in turn on
// the selections they name (a negative start selects nothing, a negative end reaches the end,
// a reversed range is turned round, both ends stop at `length`). Neighbouring characters of
// one format make one span; the spans cover [0, length).
std::vector<FormatSpan> ResolveRuns(const CharFormatFields& base, int32_t length,
                                    const std::vector<FormatRun>& runs);

// An RTF document holding `text` (UTF-16 as the control holds it, CR for a paragraph break)
// with the spans' formats. `codePage` is the one the stored face names are written in.
std::string BuildRtf(const std::u16string& text, const std::vector<FormatSpan>& spans,
                     unsigned codePage);

}  // namespace velmor
