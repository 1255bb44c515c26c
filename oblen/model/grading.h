// Grading an operation question against the candidate's files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "oblen/model/file_access.h"
#include "oblen/model/operation_bank.h"

namespace velmor {

// Met when the requirement has a description and the whole content of its target file, with
// every zero byte removed (so UTF-16 text of ASCII characters reads as plain ASCII), matches
// its pattern, or, when the file holds the Unicode text of today's editors (UTF-16 with a
// byte-order mark, UTF-8 with one or valid with a multi-byte sequence), that text as GBK
// does, or, when the file is a Word, Excel or PowerPoint document (an Office Open XML package,
// whatever its name), its text view or its XML view as GBK does (common/office/office_document.h).
// The target file is opened with create-if-missing, so a missing file in an
// existing folder is created empty; an empty file, one that cannot be opened, and one that
// cannot be read completely are not met.
bool CheckRequirement(FileAccess& files, const Requirement& requirement);

struct GradeResult {
  int32_t total = 0;       // clamped to the range of a 32-bit integer
  std::vector<bool> met;   // one per requirement, in order
  std::string report;      // as GradeQuestion gives it
};

// Checks every requirement once and builds the report from the outcomes; each target file is
// read once, however many requirements name it, and one is held at a time.
GradeResult GradeRequirements(FileAccess& files, const OperationQuestion& question);

// The score report (GBK): "得分：<total>。" and, one line per requirement in order,
// "<description>正确[+<score>];" or "<description>错误[<explanation>];", lines ended by CR LF.
// A total beyond the range of a 32-bit integer is clamped to it.
std::string GradeQuestion(FileAccess& files, const OperationQuestion& question);

}  // namespace velmor
