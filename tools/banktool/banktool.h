// banktool: a command-line companion for scripting and checking bank files.
//
//   banktool --help          the usage and the exit statuses (exit_codes.h)
//   banktool resave IN OUT   load IN, save it to OUT
//   banktool dump FILE       print the bank as one JSON object (texts in UTF-8); a file that
//                            does not start as a bank is refused after its header
//   banktool score FILE      print the total score of the stored ticks
//   banktool match PATTERN FILE
//                            exit 0 when FILE's content, zero bytes removed, matches the
//                            grading pattern, 1 when not, 2 when FILE cannot be read
//   banktool reset-counts FOLDER LOG
//   banktool reset-ticks FOLDER LOG
//                            the statistics tool's resets (selection counts, stored ticks)
//                            of every bank under FOLDER, appending the HTML log to LOG;
//                            exit 1 when a file was refused, left alone or not saved, a link
//                            was passed over, or LOG could not be written (then nothing is
//                            reset), 2 without FOLDER
//   banktool unpack BANK ID [FOLDER]
//                            unpack question ID's package into its stored folder or FOLDER;
//                            exit 1 when entries were skipped, 2 without bank, question or
//                            package
//   banktool grade BANK ID [--root FOLDER]
//                            the grading report (UTF-8) and "total N"; with --root the targets
//                            below the unpack folder are read below FOLDER
//   banktool grade-all BANK ID FOLDER... [--csv OUT.csv]
//                            grade every candidate folder into a table and a score sheet;
//                            exit 1 when a folder is missing, 2 as unpack or when OUT.csv
//                            cannot be written
//
// resave and dump take question banks (.lst) and operation banks (.cst, "Date.dat") alike,
// told apart by the magic text at the start of the file, else by the file name's extension.
#pragma once

#include <string>
#include <vector>

namespace velmor {

struct BanktoolResult {
  int exitCode = 0;
  std::string out;  // for standard output
  std::string err;  // for standard error
};

// The exit status (exitCode) is one of exit_codes.h: a load that failed still lets resave
// write and dump and score print what was read, with status 1.
BanktoolResult RunBanktool(const std::vector<std::string>& args);

}  // namespace velmor
