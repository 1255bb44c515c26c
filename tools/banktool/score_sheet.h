// The score sheets of grade-all: a table for the terminal (UTF-8, tab-separated) and a CSV for
// a spreadsheet (UTF-8 with a byte-order mark, CR LF). One question keeps the sheet it has
// always had: folder, total, a 1 or 0 per requirement, a note, then the share of the class that
// met each requirement. An exam of several questions gives folder, total, a total per question
// ("Q2"), then the requirements ("Q2 R1"), a note, and ends with the facility and the
// discrimination of each question and requirement (class_results.h).
#pragma once

#include <string>
#include <vector>

#include "tools/banktool/class_results.h"

namespace velmor {

std::string QuestionTable(const std::vector<CandidateResult>& candidates, const ClassQuestion& question);
std::string QuestionCsv(const std::vector<CandidateResult>& candidates, const ClassQuestion& question);

std::string ExamTable(const std::vector<CandidateResult>& candidates, const std::vector<ClassQuestion>& questions,
                      const ClassFigures& figures);
std::string ExamCsv(const std::vector<CandidateResult>& candidates, const std::vector<ClassQuestion>& questions,
                    const ClassFigures& figures);

// A spreadsheet cell: quoted when it holds a separator, a quote or a line break; a text that a
// spreadsheet would take for a formula gets a leading apostrophe.
std::string CsvText(const std::string& utf8);

}  // namespace velmor
