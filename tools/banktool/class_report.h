// The class report: one self-contained page (UTF-8, no scripts, A4 when printed) with the
// class's totals and their histogram, each question's and requirement's facility as a bar and
// its discrimination, the requirements worth a second look marked with what that usually
// means, each candidate's total with what was not met, and the folders that could not be
// graded. Every figure comes from ComputeClassFigures.
#pragma once

#include <string>
#include <vector>

#include "tools/banktool/class_results.h"

namespace velmor {

std::string ClassReportHtml(const std::string& bankName, const std::vector<ClassQuestion>& questions,
                            const std::vector<CandidateResult>& candidates, const ClassFigures& figures);

}  // namespace velmor
