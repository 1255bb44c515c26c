// banktool's exit statuses: one meaning for each number, the same for every command.
// `banktool --help` lists them (kExitCodesHelp) and so does the README; scripts rely on them.
#pragma once

namespace velmor {

// Everything asked was done (match: the file matches). grade also grades from a bank read
// only in part, and says so on standard error.
constexpr int kExitDone = 0;
// The command ran to its end, but not all of it went well, or its answer is no: a file read
// only in part or not a bank at all, no match, files not reset or a log not written, problems
// in an imported text, questions left out, entries skipped, a candidate folder missing, an
// Office document whose parts cannot be read.
// Standard error says what.
constexpr int kExitIncomplete = 1;
// A file or folder the command needs could not be read or written: the input, the folder
// to reset, the bank, the question or its package, the output; or an import read no
// question, or a file to show as a document is no Word, Excel or PowerPoint file. What was to
// be written is not there.
constexpr int kExitCannot = 2;
// Wrong usage: an unknown command, a wrong number of arguments, an id that is no number.
constexpr int kExitUsage = 64;

inline constexpr char kExitCodesHelp[] =
    "exit status: 0 done (match: the file matches)\n"
    "             1 done in part, or the answer is no: a file read only in part or not a\n"
    "               bank, no match, files not reset or the log not written, problems in\n"
    "               the text, questions left out, entries skipped, a folder missing,\n"
    "               a document whose parts cannot be read\n"
    "             2 a file or folder needed could not be read or written (input, folder,\n"
    "               bank, question, package, output), an import read no question, or\n"
    "               the file is no Word, Excel or PowerPoint document\n"
    "             64 wrong usage\n";

}  // namespace velmor
