#include "tarvik/maintenance/html_log.h"

#include <cstdarg>
#include <cstdio>

namespace velmor {

namespace {

bool logStarted = false;

// The log is text for Windows: its lines end in CR LF on every platform (the file is written
// in binary mode, so the bytes are the same wherever the tool runs).
const char kHeader[] =
    "<html><head><title>日志文件</title></head><body>\r\n"
    "<font face=\"Arial\" size=\"4\" color=\"#000000\"><b><u>日志文件</u></b></font><br>\r\n";
const char kInfoPrefix[] = "<font face=\"Arial\" size=\"2\" color=\"#000000\">";
const char kInfoSuffix[] = "</font><br>\r\n";
const char kErrorPrefix[] = "<font face=\"Arial\" size=\"2\" color=\"#FF0000\"><b>";
const char kErrorSuffix[] = "</b></font><br>\r\n";

std::string Format(const char* format, va_list arguments) {
  va_list copy;
  va_copy(copy, arguments);
  int length = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (length <= 0) return std::string();
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  std::vsnprintf(&text[0], text.size(), format, arguments);
  text.resize(static_cast<std::size_t>(length));
  return text;
}

}  // namespace

bool LogStarted() { return logStarted; }

bool CBase::Append(std::string_view text) const {
  std::FILE* file = std::fopen(fileName_.c_str(), "ab");
  if (!file) return false;
  bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  return std::fclose(file) == 0 && written;
}

bool CBase::StartLog() {
  if (!Append(kHeader)) return false;
  logStarted = true;
  return true;
}

void CBase::LogInfo(const char* format, ...) {
  if (!logStarted) return;
  va_list arguments;
  va_start(arguments, format);
  std::string line = kInfoPrefix + Format(format, arguments) + kInfoSuffix;
  va_end(arguments);
  if (!Append(line)) ++lostLines_;
}

void CBase::LogError(const char* format, ...) {
  if (!logStarted) return;
  va_list arguments;
  va_start(arguments, format);
  std::string line = kErrorPrefix + Format(format, arguments) + kErrorSuffix;
  va_end(arguments);
  if (!Append(line)) ++lostLines_;
}

std::string EscapeHtml(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': escaped += "&amp;"; break;
      case '<': escaped += "&lt;"; break;
      case '>': escaped += "&gt;"; break;
      case '"': escaped += "&quot;"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

}  // namespace velmor
