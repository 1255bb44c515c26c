// The statistics reset: clears the stored selection counts or the stored ticks of every
// question bank under a folder, depth first in the order the file system lists the entries,
// and logs each file to an HTML log. Portable: the folder listing and the files go through
// the platform seam of common/base.
#pragma once

#include <cstddef>
#include <string>

#include "tarvik/maintenance/html_log.h"

namespace velmor {

enum class ResetOperation {
  kSelectCounts,  // every option's selectCount to 0
  kChoices,       // every option's chosen to 0
};

// The log the tool dialog writes.
inline constexpr char kToolLogPath[] = "c:\\a.htm";

// Paths and search patterns of this many bytes or more are refused (the walk's buffers).
inline constexpr std::size_t kMaxWalkPath = 256;

struct ResetSummary {
  int files = 0;      // files offered to the reset (not links, not the log itself)
  int errors = 0;     // error lines: files refused, left alone or not saved, links, long paths
  int links = 0;      // symbolic links and junctions: never followed, never replaced
  int leftAlone = 0;  // banks that would not save back as they were read
  bool logStarted = false;  // the header of this run reached the log
  int lostLogLines = 0;     // lines after it that did not
};

// What to do when the log cannot be started: the tool dialog goes on without one, a script
// is better told before anything has changed.
enum class WithoutLog { kGoOn, kStop };

// Starts a log at `logPath`, then walks `folder` and resets every file found. The log file
// itself, when it lies in the folder, is passed over.
ResetSummary InitializeFolder(const std::string& folder, ResetOperation operation,
                              const std::string& logPath,
                              WithoutLog withoutLog = WithoutLog::kGoOn);

enum class FileOutcome {
  kReset,      // loaded, reset and saved back
  kRefused,    // no whole question bank (no signature, damaged, unreadable): left as it was
  kLeftAlone,  // a bank whose save would change more than the reset fields: left as it was
  kNotSaved,   // the save failed; the file is as the safe save leaves it (unchanged)
};

// One file: logs it, loads it when it carries the bank signature and, when the whole file is
// what a save of it writes, applies the operation and saves it back to the same path.
// Anything else is left byte for byte as it was, with an error line.
FileOutcome InitializeBankFile(const std::string& path, ResetOperation operation, CBase& log);

}  // namespace velmor
