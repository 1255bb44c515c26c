// A question bank as a printable paper: one self-contained HTML page (UTF-8, pictures
// embedded), each big question's stem drawn from its content blob with its fonts, sizes,
// colours, bold, italic and underline, and its pictures at their size and place.
#pragma once

#include <ostream>
#include <string>

#include "tarvik/model/question_bank.h"

namespace velmor {

// With `answers`, the answer options are marked and an answer key ends the page.
std::string ExportPaperHtml(const QuestionBank& bank, bool answers);
// The same written to `out` as it is made.
void WritePaperHtml(const QuestionBank& bank, bool answers, std::ostream& out);

// The stem of a content blob as HTML (spans and pictures), for the page above.
std::string StemHtml(const unsigned char* blob, std::size_t size);

}  // namespace velmor
