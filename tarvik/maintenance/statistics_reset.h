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
  int files = 0;   // files offered to the reset
  int errors = 0;  // error lines: files refused or not saved, paths too long
};

// Starts a log at `logPath`, then walks `folder` and resets every file found.
ResetSummary InitializeFolder(const std::string& folder, ResetOperation operation,
                              const std::string& logPath);

// One file: logs it, loads it and, when it is a whole question bank (it loaded completely and
// carries the bank signature), applies the operation and saves it back to the same path.
// Anything else is left byte for byte as it was. False when an error line was written.
bool InitializeBankFile(const std::string& path, ResetOperation operation, CBase& log);

}  // namespace velmor
