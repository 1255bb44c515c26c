// What grading and banktool see of a Word, Excel or PowerPoint file (Office Open XML): a text
// view laid out line by line, and an XML view of the main parts as stored.
//
// Text view, every line ended by CR LF:
//   Word        one line per w:p of word/document.xml in document order, as its end tag is
//               met, holding its own runs' text (w:t; w:tab in a run a tab; w:br and w:cr a
//               line break; w:noBreakHyphen "-"; deleted text and field codes left out); then
//               the same for each header part, then each footer part, by the number in the
//               part's name.
//   Excel       per worksheet in workbook order: "[工作表 NAME]", one line per row element
//               (cells from column A to its last cell, tab-separated, each as written in the
//               file: shared and inline strings resolved, booleans TRUE/FALSE, numbers and
//               cached results as their v text), then one line "D2=SUM(A2:C2)" per cell whose
//               formula holds text.
//   PowerPoint  per slide in presentation order: "[幻灯片 N]" (N from 1), then one line per
//               a:p (a:t text, a:br a line break).
// XML view: word/document.xml; each worksheet in workbook order; each slide in presentation
// order; joined with nothing between them.
//
// Both views are UTF-8. A package that cannot be read (a part the views read is damaged,
// encrypted, too large or inflates too far, the archive has too many entries, a view would
// grow past the size allowed for one part) gives no view.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "common/office/zip_archive.h"

namespace velmor {

enum class OfficeKind { kWord, kExcel, kPowerPoint };

class OfficeDocument {
 public:
  // Reads the archive's directory and its [Content_Types].xml. False when `data` (kept alive
  // by the caller) is no zip archive, cannot be read, or names no main part of the three kinds.
  bool Open(const unsigned char* data, std::size_t size, const ZipLimits& limits = ZipLimits());

  OfficeKind kind() const { return kind_; }
  // The main part's name in the archive ("word/document.xml").
  const std::string& mainPart() const { return mainPart_; }

  // Replace `utf8` with the view; false, with it cleared, when a part cannot be read.
  bool TextView(std::string& utf8) const;
  bool XmlView(std::string& utf8) const;

  // Whether the package holds a part of that name.
  bool HasPart(std::string_view name) const { return zip_.Find(name) != nullptr; }
  // One part's bytes; false, with `bytes` cleared, when there is no such part or it cannot be
  // read.
  bool ReadPart(std::string_view name, std::string& bytes) const;

  struct Relationship {
    std::string id;
    std::string type;
    std::string target;  // resolved to a part name
  };
  // The relationships of a part to other parts of the package (external targets left out);
  // none for a part without a relationships part, false when that part cannot be read.
  bool ReadRelationships(std::string_view part, std::vector<Relationship>& relationships) const;

 private:
  // The parts of the main list in order: worksheets of a workbook, slides of a presentation,
  // the document itself for Word; sheet names for a workbook.
  bool MainParts(std::vector<std::string>& parts, std::vector<std::string>* names) const;
  bool WordText(std::string& out) const;
  bool SheetText(std::string& out) const;
  bool SlideText(std::string& out) const;

  ZipArchive zip_;
  ZipLimits limits_;  // a view, like a part, may not grow past limits_.maxEntrySize
  OfficeKind kind_ = OfficeKind::kWord;
  std::string mainPart_;
};

// Whether the bytes begin as every zip archive Office writes does (a local file header).
bool LooksLikeZip(const unsigned char* data, std::size_t size);

}  // namespace velmor
