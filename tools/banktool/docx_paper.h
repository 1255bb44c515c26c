// A question bank as a Word paper (.docx) that a teacher keeps editing in Word, WPS or
// LibreOffice: A4, the title centred, a name and score line, each category a heading numbered
// 一、二、…, each big question's stem with its fonts, sizes, colours, bold, italic, underline
// and pictures (PNG, at 96 dpi, narrowed to the text width when wider), then its small
// questions numbered with their type and score and their options lettered A．B．…, side by side
// in columns when they fit. Numbers and letters are text, not Word list numbering, so that
// what is printed is what is read back. A big question whose one small question repeats the
// stem is printed as one question line in the stem's formats, its pictures after it.
//
// Parts: [Content_Types].xml, _rels/.rels, docProps/core.xml and app.xml, word/document.xml
// and its relationships, styles.xml (Normal, Title, Heading 1), settings.xml, fontTable.xml,
// footer1.xml (the page numbers), word/media/imageN.png (one per distinct picture).
#pragma once

#include <vector>

#include "tarvik/model/question_bank.h"

namespace velmor {

// With `answers`, the answer options are printed in bold red and a key ends the paper.
// The same bank always gives the same bytes.
std::vector<unsigned char> ExportPaperDocx(const QuestionBank& bank, bool answers);

}  // namespace velmor
