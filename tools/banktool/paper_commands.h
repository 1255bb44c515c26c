// banktool export-html and export-docx: the paper of a bank as a web page or a Word document,
// or versions of it with their key.
//
//   banktool export-html BANK.lst OUT.html [--answers] [--versions N [--seed S]]
//   banktool export-docx BANK.lst OUT.docx [--answers] [--versions N [--seed S]]
//
// With --versions N (1 to 26) the papers are OUT-A.html, OUT-B.html, … (OUT itself is not
// written) and their key OUT-key.csv (paper_versions.h); without --seed a seed is taken from
// the clock, and either way it is printed, so that the same versions can be made again.
// Every file is written beside its name first and takes its place only when all of them were
// written whole: a failure leaves what was there before.
#pragma once

#include <string>
#include <vector>

#include "tools/banktool/banktool.h"

namespace velmor {

enum class PaperFormat { kHtml, kDocx };

// `args` are the command's arguments after its name.
BanktoolResult ExportPaperCommand(const std::vector<std::string>& args, PaperFormat format);

}  // namespace velmor
