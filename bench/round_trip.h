// Load + Save of a large bank file against a plain read of the whole file and a plain write
// of the same bytes, side by side in one process. Both writes are flushed to the disk, since
// Save flushes before it replaces the old file.
//
// Prints the best of three rounds of each, their ratio (goal: at most 1.5) and the peak
// resident memory of the Load + Save round as a multiple of the file size (goal: at most 1.5).
#pragma once

#include <functional>
#include <string>

namespace velmor::bench {

using LoadAndSave = std::function<bool(const std::string& from, const std::string& to)>;

// Measures `loadAndSave` on `source` (which it removes afterwards), writing into `folder`.
// Returns the process exit code: 0 when the saved file equals the source byte for byte.
int RunRoundTrip(const std::string& source, const std::string& folder,
                 const LoadAndSave& loadAndSave);

// The folder named on the command line after the size, or the system's temporary folder.
std::string BenchFolder(int argc, char** argv);

}  // namespace velmor::bench
