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
#include "tools/banktool/candidate_files.h"
#include "tools/banktool/class_report.h"
#include "tools/banktool/class_results.h"
#include "tools/banktool/exit_codes.h"
#include "tools/banktool/score_sheet.h"
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

// Loads BANK; a damaged bank is used as far as it could be read, and `warning` says so.
bool LoadBank(const std::string& path, OperationBank* bank, std::string* warning, BanktoolResult* failure) {
  if (!std::ifstream(path, std::ios::binary)) {
    *failure = Failure(kExitCannot, "no bank " + NativeTextToUtf8(path));
    return false;
  }
  if (!bank->Load(path)) *warning = "banktool: could not read all of " + NativeTextToUtf8(path) + "\n";
  return true;
}

// Loads BANK and finds question ID; the result is set when that could not be done.
bool LoadSubject(const std::string& path, const std::string& idText, Subject* subject,
                 BanktoolResult* failure) {
  int32_t id = 0;
  if (!ParseId(idText, &id)) {
    *failure = Failure(kExitUsage, "not a question id: " + NativeTextToUtf8(idText));
    return false;
  }
  if (!LoadBank(path, &subject->bank, &subject->warning, failure)) return false;
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

// The questions of an exam: "all" (every question with a requirement and a package; one
// without a package is left out and said) or ids separated by commas, in that order.
struct Exam {
  OperationBank bank;
  std::vector<const OperationQuestion*> questions;
  std::vector<ClassQuestion> described;
  std::vector<std::string> unpackFolders;  // GBK, one per question
  std::string warning;
  bool leftOut = false;
};

void AddToExam(Exam* exam, const QuestionGroup& group, std::size_t place, const FilePackage& package) {
  const OperationQuestion& question = group.questions[place];
  ClassQuestion described;
  described.id = question.id;
  described.title = GbkToUtf8(group.name.text()) + u8" 第" + std::to_string(place + 1) + u8"题";
  for (const Requirement& requirement : question.requirements) {
    described.requirements.push_back(
        {GbkToUtf8(requirement.description()), GbkToUtf8(requirement.explanation()), requirement.score()});
    if (!requirement.description().empty()) described.fullScore += std::max(0, requirement.score());
  }
  exam->questions.push_back(&question);
  exam->described.push_back(std::move(described));
  exam->unpackFolders.emplace_back(package.unpackFolder.text());
}

bool LoadExam(const std::string& path, const std::string& which, Exam* exam, BanktoolResult* failure) {
  std::vector<int32_t> ids;
  if (which != "all") {
    std::size_t start = 0;
    for (;;) {
      const std::size_t comma = which.find(',', start);
      int32_t id = 0;
      const std::string idText = which.substr(start, comma - start);
      if (!ParseId(idText, &id)) {
        *failure = Failure(kExitUsage, "not a question id: " + NativeTextToUtf8(idText));
        return false;
      }
      ids.push_back(id);
      if (comma == std::string::npos) break;
      start = comma + 1;
    }
  }
  if (!LoadBank(path, &exam->bank, &exam->warning, failure)) return false;
  auto fail = [&](const std::string& message) {
    *failure = Failure(kExitCannot, message);
    failure->err = exam->warning + failure->err;
    return false;
  };
  if (ids.empty()) {
    for (const QuestionGroup& group : exam->bank.groups()) {
      for (std::size_t place = 0; place < group.questions.size(); ++place) {
        const OperationQuestion& question = group.questions[place];
        if (question.requirements.empty()) continue;
        if (const FilePackage* package = exam->bank.FindPackage(question.id)) {
          AddToExam(exam, group, place, *package);
        } else {
          exam->warning += "banktool: question " + std::to_string(question.id) + " has no package; left out\n";
          exam->leftOut = true;
        }
      }
    }
    if (exam->questions.empty()) return fail("no question with requirements and a package in " + NativeTextToUtf8(path));
    return true;
  }
  for (int32_t id : ids) {
    const QuestionGroup* found = nullptr;
    std::size_t place = 0;
    for (const QuestionGroup& group : exam->bank.groups()) {
      for (std::size_t i = 0; i < group.questions.size() && !found; ++i) {
        if (group.questions[i].id == id) {
          found = &group;
          place = i;
        }
      }
    }
    if (!found) return fail("no question " + std::to_string(id) + " in " + NativeTextToUtf8(path));
    const FilePackage* package = exam->bank.FindPackage(id);
    if (!package) return fail("question " + std::to_string(id) + " has no package");
    AddToExam(exam, *found, place, *package);
  }
  return true;
}

// Every folder graded on every question; a folder that is missing or cannot be named in GBK
// is listed with its reason and counts as 0.
std::vector<CandidateResult> GradeClass(const Exam& exam, const std::vector<std::string>& folders) {
  std::unique_ptr<FileAccess> files = MakeToolFileAccess();
  std::vector<CandidateResult> candidates;
  for (const std::string& folder : folders) {
    CandidateResult candidate;
    candidate.folder = NativeTextToUtf8(folder);
    candidate.questionTotals.assign(exam.questions.size(), 0);
    for (const OperationQuestion* question : exam.questions) {
      candidate.met.emplace_back(question->requirements.size(), false);
    }
    std::string root;
    if (!IsFolder(folder)) {
      candidate.note = "no such folder";
    } else if (!ModelPathOf(folder, &root)) {
      candidate.note = "the folder cannot be written in GBK";
    } else {
      candidate.graded = true;
      for (std::size_t q = 0; q < exam.questions.size(); ++q) {
        CandidateFiles candidateFiles(*files, exam.unpackFolders[q], root);
        GradeResult graded = GradeRequirements(candidateFiles, *exam.questions[q]);
        candidate.questionTotals[q] = graded.total;
        candidate.total += graded.total;
        candidate.met[q] = graded.met;
        const std::string note = candidateFiles.Note();
        if (!note.empty()) candidate.note += (candidate.note.empty() ? "" : "; ") + note;
      }
    }
    candidates.push_back(std::move(candidate));
  }
  return candidates;
}

bool WriteOutput(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  return static_cast<bool>(out);
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
  static const char kUsage[] =
      "usage: banktool grade-all BANK all|ID[,ID...] FOLDER... [--csv OUT.csv] [--report OUT.html]\n";
  std::vector<std::string> folders;
  std::string csvPath;
  std::string reportPath;
  for (std::size_t i = 2; i < args.size(); ++i) {
    if (args[i] == "--csv" && i + 1 < args.size() && csvPath.empty()) {
      csvPath = args[++i];
    } else if (args[i] == "--report" && i + 1 < args.size() && reportPath.empty()) {
      reportPath = args[++i];
    } else {
      folders.push_back(args[i]);
    }
  }
  if (args.size() < 3 || folders.empty()) return Usage(kUsage);
  // One question keeps the sheet it has always had; an exam gets a column per question.
  const bool oneQuestion = args[1] != "all" && args[1].find(',') == std::string::npos;
  Exam exam;
  BanktoolResult failure;
  if (!LoadExam(args[0], args[1], &exam, &failure)) return failure;

  const std::vector<CandidateResult> candidates = GradeClass(exam, folders);
  const ClassFigures figures = ComputeClassFigures(exam.described, candidates);
  BanktoolResult result{exam.leftOut ? kExitIncomplete : kExitDone, std::string(), exam.warning};
  for (const CandidateResult& candidate : candidates) {
    if (candidate.note.empty()) continue;
    result.exitCode = kExitIncomplete;
    result.err += "banktool: " + candidate.folder + ": " + candidate.note + "\n";
  }
  result.out = oneQuestion ? QuestionTable(candidates, exam.described[0])
                           : ExamTable(candidates, exam.described, figures);
  const std::pair<const std::string*, std::string> outputs[] = {
      {&csvPath, csvPath.empty() ? std::string()
                 : oneQuestion   ? QuestionCsv(candidates, exam.described[0])
                                 : ExamCsv(candidates, exam.described, figures)},
      {&reportPath, reportPath.empty() ? std::string()
                                       : ClassReportHtml(NativeTextToUtf8(args[0]), exam.described, candidates, figures)}};
  for (const auto& [path, text] : outputs) {
    if (!path->empty() && !WriteOutput(*path, text)) {
      result.exitCode = kExitCannot;
      result.err += "banktool: could not write " + NativeTextToUtf8(*path) + "\n";
    }
  }
  return result;
}

}  // namespace velmor
