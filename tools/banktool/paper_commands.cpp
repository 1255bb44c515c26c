#include "tools/banktool/paper_commands.h"

#include <charconv>
#include <chrono>
#include <memory>
#include <ostream>
#include <streambuf>

#include "common/base/file_stream.h"
#include "common/base/gbk.h"
#include "tools/banktool/docx_paper.h"
#include "tools/banktool/exit_codes.h"
#include "tools/banktool/paper_export.h"
#include "tools/banktool/paper_versions.h"
#include "tools/banktool/tool_files.h"

namespace velmor {

namespace {

constexpr int kMaxVersions = 26;

// A stream that hands what is written to a sink, for the page writer, which writes to a
// stream as it goes.
class SinkStreamBuffer : public std::streambuf {
 public:
  explicit SinkStreamBuffer(ByteSink& sink) : sink_(sink) {}
  bool failed() const { return failed_; }

 protected:
  std::streamsize xsputn(const char* bytes, std::streamsize count) override {
    failed_ = failed_ || !sink_.Write(bytes, static_cast<std::size_t>(count));
    return failed_ ? 0 : count;
  }
  int_type overflow(int_type byte) override {
    if (traits_type::eq_int_type(byte, traits_type::eof())) return traits_type::not_eof(byte);
    const char one = traits_type::to_char_type(byte);
    return xsputn(&one, 1) == 1 ? byte : traits_type::eof();
  }

 private:
  ByteSink& sink_;
  bool failed_ = false;
};

// The paper of `bank` written to a new file that waits for its commit.
bool WritePaper(const QuestionBank& bank, bool answers, PaperFormat format, SafeFileWriter& file) {
  if (format == PaperFormat::kHtml) {
    SinkStreamBuffer buffer(file);
    std::ostream out(&buffer);
    WritePaperHtml(bank, answers, out);
    return !buffer.failed() && static_cast<bool>(out);
  }
  const std::vector<unsigned char> docx = ExportPaperDocx(bank, answers);
  return !docx.empty() && file.Write(docx.data(), docx.size());
}

// OUT with `suffix` after its name and before its extension; `extension` (".csv") in place of
// OUT's own when given. A dot that starts the name or stands in a folder's name is no
// extension's.
std::string SiblingPath(const std::string& out, std::string_view suffix, std::string_view extension) {
#ifdef _WIN32
  const std::size_t separator = GbkFindLastSeparator(out);
#else
  const std::size_t separator = out.find_last_of('/');
#endif
  const std::size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
  std::size_t dot = out.find_last_of('.');
  if (dot == std::string::npos || dot <= nameStart) dot = out.size();
  return out.substr(0, dot) + std::string(suffix) + (extension.empty() ? out.substr(dot) : std::string(extension));
}

bool ParseCount(const std::string& text, uint64_t* value) {
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, *value);
  return !text.empty() && error == std::errc() && stop == end;
}

// A seed from the clock, short enough to be typed again.
uint64_t SeedFromClock() {
  const auto ticks = std::chrono::system_clock::now().time_since_epoch().count();
  PaperRandom random(static_cast<uint64_t>(ticks));
  return random.Next() % 1000000000u;
}

BanktoolResult CannotWrite(BanktoolResult result, const std::string& path) {
  result.exitCode = kExitCannot;
  result.err += "banktool: could not write " + NativeTextToUtf8(path) + "; nothing was written\n";
  return result;
}

}  // namespace

BanktoolResult ExportPaperCommand(const std::vector<std::string>& args, PaperFormat format) {
  const std::string usage = format == PaperFormat::kHtml
                                ? "usage: banktool export-html BANK.lst OUT.html [--answers] [--versions N [--seed S]]\n"
                                : "usage: banktool export-docx BANK.lst OUT.docx [--answers] [--versions N [--seed S]]\n";
  const BanktoolResult wrongUsage{kExitUsage, std::string(), usage};
  if (args.size() < 2) return wrongUsage;
  bool answers = false;
  bool seeded = false;
  uint64_t versions = 0;
  uint64_t seed = 0;
  for (std::size_t i = 2; i < args.size(); ++i) {
    if (args[i] == "--answers" && !answers) {
      answers = true;
    } else if (args[i] == "--versions" && versions == 0 && i + 1 < args.size()) {
      if (!ParseCount(args[++i], &versions) || versions < 1 || versions > kMaxVersions) return wrongUsage;
    } else if (args[i] == "--seed" && !seeded && i + 1 < args.size()) {
      if (!ParseCount(args[++i], &seed)) return wrongUsage;
      seeded = true;
    } else {
      return wrongUsage;
    }
  }
  if (seeded && versions == 0) return wrongUsage;

  const std::string& from = args[0];
  const std::string& to = args[1];
  QuestionBank bank;
  const bool loaded = bank.Load(from);
  if (!loaded && bank.categories().empty()) {
    return BanktoolResult{kExitCannot, std::string(), "banktool: could not read " + NativeTextToUtf8(from) + "\n"};
  }
  BanktoolResult result;
  if (!loaded) {
    result.exitCode = kExitIncomplete;
    result.err = "banktool: could not read all of " + NativeTextToUtf8(from) + "\n";
  }

  if (versions == 0) {
    SafeFileWriter file;
    if (!file.Begin(to) || !WritePaper(bank, answers, format, file) || !file.Commit()) return CannotWrite(result, to);
    return result;
  }

  // Every version and the key are written whole before any of them takes its place.
  if (!seeded) seed = SeedFromClock();
  std::vector<std::unique_ptr<SafeFileWriter>> files;
  std::vector<std::string> paths;
  std::string key = PaperKeyHeader();
  for (int index = 0; index < static_cast<int>(versions); ++index) {
    PaperVersion version;
    MakePaperVersion(bank, seed, index, version);
    AppendPaperKey(index, version, key);
    paths.push_back(SiblingPath(to, std::string("-") + static_cast<char>('A' + index), {}));
    files.push_back(std::make_unique<SafeFileWriter>());
    if (!files.back()->Begin(paths.back()) || !WritePaper(version.paper, answers, format, *files.back())) {
      return CannotWrite(result, paths.back());
    }
  }
  paths.push_back(SiblingPath(to, "-key", ".csv"));
  files.push_back(std::make_unique<SafeFileWriter>());
  if (!files.back()->Begin(paths.back()) || !files.back()->Write(key.data(), key.size())) {
    return CannotWrite(result, paths.back());
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (!files[i]->Commit()) {
      result.exitCode = kExitCannot;
      result.err += "banktool: could not write " + NativeTextToUtf8(paths[i]) + "\n";
      return result;
    }
    result.out += NativeTextToUtf8(paths[i]) + "\n";
  }
  result.out += "seed " + std::to_string(seed) + "\n";
  return result;
}

}  // namespace velmor
