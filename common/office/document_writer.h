// Plain Word and Excel documents made with our own zip writer: the original files a teacher
// hands out (a notice to correct, a table to complete). Texts are UTF-8. Word, WPS and
// LibreOffice open them; grading reads them as it reads any candidate's document.
#pragma once

#include <string>
#include <vector>

namespace velmor {

// One paragraph of one run for each text.
std::vector<unsigned char> WriteWordDocument(const std::vector<std::string>& paragraphs);

// One worksheet named `sheetName`, row by row from A1. A cell that reads as a decimal number
// is stored as one, any other text as a string; an empty text leaves the cell out.
std::vector<unsigned char> WriteWorkbook(const std::string& sheetName,
                                         const std::vector<std::vector<std::string>>& rows);

}  // namespace velmor
