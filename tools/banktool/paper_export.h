// A question bank as a printable paper: one self-contained HTML page (UTF-8, pictures
// embedded), each big question's stem drawn from its content blob with its fonts, sizes,
// colours, bold, italic and underline, and its pictures at their size and place.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "tarvik/model/question_bank.h"

namespace velmor {

// With `answers`, the answer options are marked and an answer key ends the page.
std::string ExportPaperHtml(const QuestionBank& bank, bool answers);
// The same written to `out` as it is made.
void WritePaperHtml(const QuestionBank& bank, bool answers, std::ostream& out);

// The letter of the option at `index` (from 0) as spreadsheet columns go: A to Z, then AA,
// AB, ... AZ, BA, ... ZZ, AAA. Written backwards into `label`, which seven letters fill for any
// position an option list can have.
std::string_view OptionLetters(std::size_t index, char (&label)[8]);

// The letters of a small question's answers in UTF-8, "AC"; past Z the letters come in twos
// and are separated, "AA、AB", since "AB" alone could be A and B.
std::string AnswerLetters(const SmallQuestion& small);

// The stem of a content blob as HTML (spans and pictures), for the page above.
std::string StemHtml(const unsigned char* blob, std::size_t size);

}  // namespace velmor
