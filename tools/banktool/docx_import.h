// Choice questions out of a Word document: its paragraphs, split at their line breaks, read by
// the importer's rules (choice_importer.h) with the fonts, sizes, colours and pictures of their
// runs, so that a stem looks in the editor as it did in Word.
#pragma once

#include <cstddef>
#include <string_view>

#include "tarvik/model/question_bank.h"
#include "tools/banktool/choice_importer.h"
#include "tools/banktool/picture_import.h"

namespace velmor {

enum class DocxRefusal {
  kNone,     // read
  kNotWord,  // a zip archive, but no Word document
  kDamaged,  // the archive or a part the paragraphs come from cannot be read
};

struct DocxImport {
  DocxRefusal refusal = DocxRefusal::kNone;
  ImportReport report;  // problems by "paragraph N"
};

// Reads the document in `data` into `bank` (which should be empty); nothing is read from a
// document that is refused.
DocxImport ImportChoiceDocx(const unsigned char* data, std::size_t size, std::string_view defaultCategory,
                            QuestionBank& bank, const PictureLimits& limits = PictureLimits());

}  // namespace velmor
