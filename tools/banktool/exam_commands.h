// banktool's exam-room commands: unpacking a question for a candidate, grading one candidate
// folder, and grading a whole class into a score sheet, with the programs' own unpacking and
// grading code; a whole exam of several questions graded into one sheet and a class report.
// Candidate files are only read, never created, and a link below a candidate
// folder is never followed: reading or writing through it could reach another candidate's
// work or the teacher's files.
//
//   banktool unpack BANK ID [FOLDER]
//   banktool grade BANK ID [--root FOLDER]
//   banktool grade-all BANK all|ID[,ID...] FOLDER... [--csv OUT.csv] [--report OUT.html]
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tools/banktool/banktool.h"

namespace velmor {

// `args` are the command's own, without its name.
BanktoolResult UnpackCommand(const std::vector<std::string>& args);
BanktoolResult GradeCommand(const std::vector<std::string>& args);
BanktoolResult GradeAllCommand(const std::vector<std::string>& args);

// Where a target path stands against an unpack folder: outside it, below it (`relative` is
// the rest, after the separator), or below it by a relative path that could leave a
// candidate folder (".." and the like). The folder is compared character by character, ASCII
// letters without regard to case, and must end at a separator of the target.
enum class Placement { kOutside, kBelow, kUnsafe };
Placement PlaceBelow(std::string_view folder, std::string_view target, std::string* relative);

}  // namespace velmor
