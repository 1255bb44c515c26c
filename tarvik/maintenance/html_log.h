// CBase: the HTML log of the bank maintenance tool. A run writes a header, then one line per
// event; every line is a separate open-append-close, so each line written is on disk even if
// the run stops later. Nothing ever closes the body: each run appends a new header.
#pragma once

#include <string>
#include <string_view>

#include "common/base/fixed_text.h"

#if defined(__GNUC__)
#define VELMOR_PRINTF_FORMAT(formatIndex, firstArgument) \
  __attribute__((format(printf, formatIndex, firstArgument)))
#else
#define VELMOR_PRINTF_FORMAT(formatIndex, firstArgument)
#endif

namespace velmor {

class CBase {
 public:
  static constexpr char kDefaultFileName[] = "Log.htm";

  CBase() : fileName_(kDefaultFileName) {}
  virtual ~CBase() = default;

  // The file the log appends to; cut to 255 bytes on a character boundary.
  void SetFileName(std::string_view name) { fileName_.Assign(name); }
  const char* fileName() const { return fileName_.c_str(); }

  // Appends the two header lines and, when they reached the file, marks the log as started
  // for the rest of the process. True when they reached it.
  bool StartLog();
  // An information line (black) and an error line (red, bold): the message formatted
  // printf-style. Written only once a log has been started in this process; a file that
  // does not open loses the line, which lostLines() counts, and nothing else happens.
  void LogInfo(const char* format, ...) VELMOR_PRINTF_FORMAT(2, 3);
  void LogError(const char* format, ...) VELMOR_PRINTF_FORMAT(2, 3);

  int lostLines() const { return lostLines_; }

 private:
  bool Append(std::string_view text) const;

  FixedText<256> fileName_;
  int lostLines_ = 0;
};

// Whether a log header has been written in this process (never cleared).
bool LogStarted();

// `text` with &, <, > and " written as entities, so that a file name cannot add markup to a
// log that a teacher opens in a browser. (GBK trail bytes never take these values.)
std::string EscapeHtml(std::string_view text);

}  // namespace velmor
