#include "tools/banktool/exam_commands.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <memory>

#include "common/base/gbk.h"
#include "common/base/platform_file.h"
#include "oblen/model/grading.h"
#include "oblen/model/operation_bank.h"
#include "oblen/model/package_format.h"
#include "oblen/model/packing.h"
#include "common/base/text_encoding.h"
#include "tools/banktool/exit_codes.h"
#include "tools/banktool/tool_files.h"

namespace velmor {

namespace {

BanktoolResult Failure(int exitCode, const std::string& message) {
  return BanktoolResult{exitCode, std::string(), "banktool: " + message + "\n"};
}

BanktoolResult Usage(const char* usage) { return BanktoolResult{kExitUsage, std::string(), usage}; }

bool ParseId(const std::string& text, int32_t* id) {
  const char* end = text.data() + text.size();
  auto [stop, error] = std::from_chars(text.data(), end, *id);
  return error == std::errc() && stop == end && !text.empty();
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

char Folded(char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<char>(c + 32);
  return c == '/' ? '\\' : c;
}

// The bank, the question asked for and its package (null when it has none).
struct Subject {
  OperationBank bank;
  const OperationQuestion* question = nullptr;
  const FilePackage* package = nullptr;
  std::string warning;  // for standard error
};

// Loads BANK and finds question ID; the result is set when that could not be done.
bool LoadSubject(const std::string& path, const std::string& idText, Subject* subject,
                 BanktoolResult* failure) {
  int32_t id = 0;
  if (!ParseId(idText, &id)) {
    *failure = Failure(kExitUsage, "not a question id: " + NativeTextToUtf8(idText));
    return false;
  }
  if (!std::ifstream(path, std::ios::binary)) {
    *failure = Failure(kExitCannot, "no bank " + NativeTextToUtf8(path));
    return false;
  }
  // A damaged bank is used as far as it could be read.
  if (!subject->bank.Load(path)) {
    subject->warning = "banktool: could not read all of " + NativeTextToUtf8(path) + "\n";
  }
  for (const QuestionGroup& group : subject->bank.groups()) {
    for (const OperationQuestion& question : group.questions) {
      if (question.id == id && !subject->question) subject->question = &question;
    }
  }
  if (!subject->question) {
    *failure = Failure(kExitCannot, "no question " + idText + " in " + NativeTextToUtf8(path));
    failure->err = subject->warning + failure->err;
    return false;
  }
  subject->package = subject->bank.FindPackage(id);
  return true;
}

BanktoolResult NoPackage(const Subject& subject, const std::string& idText) {
  BanktoolResult result = Failure(kExitCannot, "question " + idText + " has no package");
  result.err = subject.warning + result.err;
  return result;
}

// A candidate's files: targets below the question's unpack folder are read from the same
// place below the candidate folder; the rest where they are. Nothing is ever written.
class CandidateFiles : public FileAccess {
 public:
  CandidateFiles(FileAccess& files, std::string unpackFolder, std::string root)
      : files_(files), unpackFolder_(std::move(unpackFolder)), root_(std::move(root)) {}

  bool ListFolder(const std::string& folder, std::vector<FolderItem>& items) override {
    return files_.ListFolder(folder, items);
  }
  ReadResult ReadSharedFile(const std::string& path, std::vector<unsigned char>& bytes,
                            uint64_t limit) override {
    std::string relative;
    std::string place;
    switch (PlaceBelow(unpackFolder_, path, &relative)) {
      case Placement::kOutside:
        place = path;
        break;
      case Placement::kBelow:
        place = UnpackTargetPath(root_, relative);
        // A link would let one candidate's work count for another's; it is never followed.
        if (files_.PassesLinkBelow(root_, place)) {
          if (std::find(linked_.begin(), linked_.end(), relative) == linked_.end()) {
            linked_.push_back(relative);
          }
          return ReadResult::kCannotOpen;
        }
        break;
      case Placement::kUnsafe:
        return ReadResult::kCannotOpen;
    }
    // Grading reads each target once however many requirements name it; nothing is kept
    // here, so a big file is held once.
    return files_.ReadSharedFile(place, bytes, limit);
  }
  void CreateFolder(const std::string&) override {}
  bool WriteWholeFile(const std::string&, const unsigned char*, std::size_t) override {
    return false;
  }
  bool LiesBelow(const std::string& folder, const std::string& target) override {
    return files_.LiesBelow(folder, target);
  }
  bool PassesLinkBelow(const std::string& folder, const std::string& target) override {
    return files_.PassesLinkBelow(folder, target);
  }

  // Why some targets were not read, for a row or a report; empty when all were.
  std::string Note() const {
    if (linked_.empty()) return std::string();
    std::string note = "not followed, a link: ";
    for (std::size_t i = 0; i < linked_.size(); ++i) {
      note += (i > 0 ? ", " : "") + GbkToUtf8(linked_[i]);
    }
    return note;
  }

 private:
  FileAccess& files_;
  std::string unpackFolder_;
  std::string root_;
  std::vector<std::string> linked_;  // targets not read for a link on their way, relative, GBK
};

// A spreadsheet cell: quoted when it holds a separator, a quote or a line break; a text
// that a spreadsheet would take for a formula gets a leading apostrophe.
std::string CsvText(const std::string& utf8) {
  std::string cell = utf8;
  if (!cell.empty() && (cell[0] == '=' || cell[0] == '+' || cell[0] == '-' || cell[0] == '@' ||
                        cell[0] == '\t' || cell[0] == '\r')) {
    cell.insert(0, 1, '\'');
  }
  if (cell.find_first_of(",\"\r\n") == std::string::npos) return cell;
  std::string quoted = "\"";
  for (char c : cell) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::string Share(int met, int candidates) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f%%", candidates > 0 ? 100.0 * met / candidates : 0.0);
  return text;
}

struct CandidateRow {
  std::string folder;  // UTF-8
  int32_t total = 0;
  std::vector<bool> met;
  std::string note;  // why it was not graded
};

std::string Table(const std::vector<CandidateRow>& rows, std::size_t requirements,
                  const std::vector<int>& metCounts) {
  std::string table = "folder\ttotal";
  for (std::size_t i = 0; i < requirements; ++i) table += "\tR" + std::to_string(i + 1);
  table += "\n";
  for (const CandidateRow& row : rows) {
    table += row.folder + "\t" + std::to_string(row.total);
    for (bool met : row.met) table += met ? "\t1" : "\t0";
    if (!row.note.empty()) table += "\t" + row.note;
    table += "\n";
  }
  table += "share met\t";
  for (int count : metCounts) table += "\t" + Share(count, static_cast<int>(rows.size()));
  return table + "\n";
}

std::string Csv(const OperationQuestion& question, const std::vector<CandidateRow>& rows,
                const std::vector<int>& metCounts) {
  std::string csv = "\xEF\xBB\xBF" "folder,total";
  int number = 0;
  for (const Requirement& requirement : question.requirements) {
    ++number;
    std::string name = requirement.description().empty()
                           ? "#" + std::to_string(number)
                           : GbkToUtf8(requirement.description());
    csv += "," + CsvText(name + " (" + std::to_string(requirement.score()) + ")");
  }
  csv += ",note\r\n";
  for (const CandidateRow& row : rows) {
    csv += CsvText(row.folder) + "," + std::to_string(row.total);
    for (bool met : row.met) csv += met ? ",1" : ",0";
    csv += "," + CsvText(row.note) + "\r\n";
  }
  csv += "share met,";
  for (int count : metCounts) csv += "," + Share(count, static_cast<int>(rows.size()));
  return csv + ",\r\n";
}

}  // namespace

Placement PlaceBelow(std::string_view folder, std::string_view target, std::string* relative) {
  // Trailing separators of the folder do not count; a trail byte that looks like one does.
  while (!folder.empty()) {
    std::vector<std::size_t> separators = SeparatorPositions(folder);
    if (separators.empty() || separators.back() != folder.size() - 1) break;
    folder.remove_suffix(1);
  }
  if (folder.empty() || target.size() <= folder.size()) return Placement::kOutside;
  std::size_t i = 0;
  while (i < folder.size()) {
    if (IsGbkLeadByte(static_cast<unsigned char>(folder[i])) && i + 1 < folder.size()) {
      if (target[i] != folder[i] || target[i + 1] != folder[i + 1]) return Placement::kOutside;
      i += 2;
    } else {
      if (Folded(target[i]) != Folded(folder[i])) return Placement::kOutside;
      ++i;
    }
  }
  if (!IsSeparator(target[i])) return Placement::kOutside;
  while (i < target.size() && IsSeparator(target[i])) ++i;
  relative->assign(target.substr(i));
  if (relative->empty() || !IsSafeRelativePath(*relative)) return Placement::kUnsafe;
  return Placement::kBelow;
}

BanktoolResult UnpackCommand(const std::vector<std::string>& args) {
  static const char kUsage[] = "usage: banktool unpack BANK ID [FOLDER]\n";
  if (args.size() != 2 && args.size() != 3) return Usage(kUsage);
  Subject subject;
  BanktoolResult failure;
  if (!LoadSubject(args[0], args[1], &subject, &failure)) return failure;
  if (!subject.package) return NoPackage(subject, args[1]);

  std::string folder(subject.package->unpackFolder.text());
  if (args.size() == 3 && !ModelPathOf(args[2], &folder)) {
    return Failure(kExitCannot, "the folder " + NativeTextToUtf8(args[2]) +
                                     " cannot be written in GBK, as the bank's paths are");
  }
  if (!NamesLocalPlace(folder)) {
    return Failure(kExitCannot, "the stored folder " + GbkToUtf8(folder) +
                                     " is not a place on this system; name a FOLDER");
  }
  std::unique_ptr<FileAccess> files = MakeToolFileAccess();
  UnpackResult unpacked = Unpack(*files, *subject.package, folder);
  BanktoolResult result{kExitDone, std::string(), subject.warning};
  for (const UnpackResult::Skipped& skipped : unpacked.skipped) {
    result.out += "skipped " + GbkToUtf8(skipped.relativePath) +
                  (skipped.throughLink ? ": a link lies on its way\n"
                   : skipped.refused   ? ": it would leave the folder\n"
                                       : ": could not be written\n");
  }
  result.out += "written " + std::to_string(unpacked.filesWritten) + ", skipped " +
                std::to_string(unpacked.skipped.size()) + "\n";
  if (!unpacked.skipped.empty()) result.exitCode = kExitIncomplete;
  return result;
}

BanktoolResult GradeCommand(const std::vector<std::string>& args) {
  static const char kUsage[] = "usage: banktool grade BANK ID [--root FOLDER]\n";
  const bool rooted = args.size() == 4 && args[2] == "--root";
  if (args.size() != 2 && !rooted) return Usage(kUsage);
  Subject subject;
  BanktoolResult failure;
  if (!LoadSubject(args[0], args[1], &subject, &failure)) return failure;
  std::unique_ptr<FileAccess> files = MakeToolFileAccess();
  GradeResult graded;
  if (rooted) {
    if (!subject.package) return NoPackage(subject, args[1]);
    std::string root;
    if (!ModelPathOf(args[3], &root)) {
      return Failure(kExitCannot, "the folder " + NativeTextToUtf8(args[3]) +
                                       " cannot be written in GBK, as the bank's paths are");
    }
    CandidateFiles candidate(*files, std::string(subject.package->unpackFolder.text()), root);
    graded = GradeRequirements(candidate, *subject.question);
    if (!candidate.Note().empty()) subject.warning += "banktool: " + candidate.Note() + "\n";
  } else {
    graded = GradeRequirements(*files, *subject.question);
  }
  return BanktoolResult{kExitDone, GbkToUtf8(graded.report) + "total " + std::to_string(graded.total) + "\r\n",
                        subject.warning};
}

BanktoolResult GradeAllCommand(const std::vector<std::string>& args) {
  static const char kUsage[] = "usage: banktool grade-all BANK ID FOLDER... [--csv OUT.csv]\n";
  std::vector<std::string> folders;
  std::string csvPath;
  bool csv = false;
  for (std::size_t i = 2; i < args.size(); ++i) {
    if (args[i] == "--csv" && i + 1 < args.size() && !csv) {
      csv = true;
      csvPath = args[++i];
    } else {
      folders.push_back(args[i]);
    }
  }
  if (args.size() < 3 || folders.empty()) return Usage(kUsage);
  Subject subject;
  BanktoolResult failure;
  if (!LoadSubject(args[0], args[1], &subject, &failure)) return failure;
  if (!subject.package) return NoPackage(subject, args[1]);

  const std::string unpackFolder(subject.package->unpackFolder.text());
  const std::size_t requirements = subject.question->requirements.size();
  std::unique_ptr<FileAccess> files = MakeToolFileAccess();
  std::vector<CandidateRow> rows;
  std::vector<int> metCounts(requirements, 0);
  BanktoolResult result{kExitDone, std::string(), subject.warning};
  for (const std::string& folder : folders) {
    CandidateRow row;
    row.folder = NativeTextToUtf8(folder);
    row.met.assign(requirements, false);
    std::string root;
    if (!IsFolder(folder)) {
      row.note = "no such folder";
    } else if (!ModelPathOf(folder, &root)) {
      row.note = "the folder cannot be written in GBK";
    } else {
      CandidateFiles candidate(*files, unpackFolder, root);
      GradeResult graded = GradeRequirements(candidate, *subject.question);
      row.total = graded.total;
      row.met = graded.met;
      row.note = candidate.Note();
      for (std::size_t i = 0; i < requirements; ++i) metCounts[i] += graded.met[i] ? 1 : 0;
    }
    if (!row.note.empty()) {
      result.exitCode = kExitIncomplete;
      result.err += "banktool: " + row.folder + ": " + row.note + "\n";
    }
    rows.push_back(std::move(row));
  }
  result.out = Table(rows, requirements, metCounts);
  if (csv) {
    const std::string sheet = Csv(*subject.question, rows, metCounts);
    std::ofstream out(csvPath, std::ios::binary | std::ios::trunc);
    out.write(sheet.data(), static_cast<std::streamsize>(sheet.size()));
    out.close();
    if (!out) {
      result.exitCode = kExitCannot;
      result.err += "banktool: could not write " + NativeTextToUtf8(csvPath) + "\n";
    }
  }
  return result;
}

}  // namespace velmor
