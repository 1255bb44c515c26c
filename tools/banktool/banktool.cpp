#include "tools/banktool/banktool.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "oblen/model/operation_bank.h"
#include "oblen/model/pattern_match.h"
#include "common/base/platform_file.h"
#include "tarvik/maintenance/statistics_reset.h"
#include "tarvik/model/question_bank.h"
#include "tarvik/model/scoring.h"
#include "common/base/gbk.h"
#include "tools/banktool/choice_text.h"
#include "common/office/office_document.h"
#include "tools/banktool/cst_commands.h"
#include "tools/banktool/docx_import.h"
#include "tools/banktool/paper_commands.h"
#include "tools/banktool/exam_commands.h"
#include "tools/banktool/exit_codes.h"
#include "tools/banktool/json_writer.h"
#include "common/base/text_encoding.h"
#include "tools/banktool/tool_files.h"

namespace velmor {

namespace {

const char kUsage[] =
    "usage: banktool resave IN OUT\n"
    "       banktool dump FILE\n"
    "       banktool score FILE\n"
    "       banktool match PATTERN FILE\n"
    "       banktool text FILE [--xml]\n"
    "       banktool reset-counts FOLDER LOG\n"
    "       banktool reset-ticks FOLDER LOG\n"
    "       banktool unpack BANK ID [FOLDER]\n"
    "       banktool grade BANK ID [--root FOLDER]\n"
    "       banktool grade-all BANK all|ID[,ID...] FOLDER... [--csv OUT.csv] [--report OUT.html]\n"
    "       banktool import TEXT|DOCX OUT.lst\n"
    "       banktool export-aiken BANK.lst OUT.txt\n"
    "       banktool export-html BANK.lst OUT.html [--answers] [--versions N [--seed S]]\n"
    "       banktool export-docx BANK.lst OUT.docx [--answers] [--versions N [--seed S]]\n";

void WriteOption(JsonWriter& json, const ChoiceOption& option) {
  json.BeginObject();
  json.StringField("text", GbkToUtf8(option.text.text()));
  json.NumberField("score", option.score);
  json.NumberField("chosen", option.chosen);
  json.NumberField("isAnswer", option.isAnswer);
  json.NumberField("selectCount", option.selectCount);
  json.EndObject();
}

void WriteSmallQuestion(JsonWriter& json, const SmallQuestion& small) {
  json.BeginObject();
  json.StringField("text", GbkToUtf8(small.text.text()));
  json.NumberField("singleChoice", small.singleChoice);
  json.NumberField("score", small.score);
  json.Key("options");
  json.BeginArray();
  for (const ChoiceOption& option : small.options) WriteOption(json, option);
  json.EndArray();
  json.EndObject();
}

void WriteBigQuestion(JsonWriter& json, const BigQuestion& question) {
  json.BeginObject();
  json.NumberField("id", question.id);
  json.NumberField("reservedA", question.reservedA);
  json.NumberField("reservedB", question.reservedB);
  json.NumberField("contentSize", static_cast<int64_t>(question.content.size()));
  json.Key("smallQuestions");
  json.BeginArray();
  for (const SmallQuestion& small : question.smallQuestions) WriteSmallQuestion(json, small);
  json.EndArray();
  json.EndObject();
}

std::string DumpQuestionBank(const QuestionBank& bank) {
  JsonWriter json;
  json.BeginObject();
  json.NumberField("kind", bank.header().kind());
  json.StringField("title", GbkToUtf8(bank.title().text()));
  json.Key("categories");
  json.BeginArray();
  for (const Category& category : bank.categories()) {
    json.BeginObject();
    json.StringField("name", GbkToUtf8(category.name.text()));
    json.Key("questions");
    json.BeginArray();
    for (const BigQuestion& question : category.questions) WriteBigQuestion(json, question);
    json.EndArray();
    json.EndObject();
  }
  json.EndArray();
  json.NumberField("trailerCount", static_cast<int64_t>(bank.trailerRecords().size()));
  json.NumberField("maxQuestionId", bank.maxQuestionId());
  json.Key("usedQuestionIds");
  json.BeginArray();
  for (int32_t id : bank.usedQuestionIds()) json.Number(id);
  json.EndArray();
  json.EndObject();
  return json.text();
}

BanktoolResult Usage() { return BanktoolResult{kExitUsage, std::string(), kUsage}; }
BanktoolResult Help() {
  return BanktoolResult{kExitDone, std::string(kUsage) + kExitCodesHelp, std::string()};
}

BanktoolResult LoadFailed(BanktoolResult result, const std::string& path) {
  result.exitCode = kExitIncomplete;
  result.err += "banktool: could not read all of " + path + "\n";
  return result;
}

// Loads an operation bank or a question bank, as the file tells, and hands it on.
template <typename Bank, typename Action>
BanktoolResult WithBank(const std::string& path, Action action) {
  Bank bank;
  bool loaded = bank.Load(path);
  BanktoolResult result = action(bank);
  if (loaded || result.exitCode != 0) return result;
  return LoadFailed(result, path);
}

BanktoolResult Resave(const std::string& from, const std::string& to) {
  auto save = [&](auto& bank) {
    BanktoolResult result;
    if (!bank.Save(to)) {
      result.exitCode = kExitCannot;
      result.err = "banktool: could not write " + to + "\n";
    }
    return result;
  };
  if (LooksLikeOperationBank(from)) return WithBank<OperationBank>(from, save);
  return WithBank<QuestionBank>(from, save);
}

bool Signed(const QuestionBank& bank) { return bank.header().HasSignature(); }
bool Signed(const OperationBank& bank) { return bank.header().HasMagic(); }

// A dump reads nothing past the header of a file that does not start as a bank: the counts of
// any other file are no counts, and believing them could read all of it.
template <typename Bank, typename Write>
BanktoolResult DumpSigned(const std::string& path, Write write) {
  Bank bank;
  const bool loaded = bank.LoadSigned(path);
  if (!loaded && !Signed(bank)) {
    return BanktoolResult{kExitIncomplete, std::string(),
                          "banktool: " + path + " does not open as a bank file\n"};
  }
  BanktoolResult result{kExitDone, write(bank), std::string()};
  return loaded ? result : LoadFailed(result, path);
}

BanktoolResult Dump(const std::string& path) {
  if (LooksLikeOperationBank(path)) return DumpSigned<OperationBank>(path, DumpOperationBank);
  return DumpSigned<QuestionBank>(path, DumpQuestionBank);
}

// The whole of an input file; false for a folder and for a file that cannot be read.
bool ReadInput(const std::string& path, std::string* bytes) {
  if (IsFolder(path)) return false;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  bytes->clear();
  char piece[1 << 16];
  std::size_t count;
  while ((count = std::fread(piece, 1, sizeof piece, file)) > 0) bytes->append(piece, count);
  const bool read = !std::ferror(file);
  std::fclose(file);
  return read;
}

BanktoolResult Unreadable(const std::string& path) {
  return BanktoolResult{kExitCannot, std::string(), "banktool: could not read " + path + "\n"};
}

// Grades one file as a requirement would: its content without zero bytes against the pattern,
// an empty file never matching. The file is only read, never created.
BanktoolResult Match(const std::string& pattern, const std::string& path) {
  std::string text;
  if (!ReadInput(path, &text)) return Unreadable(path);
  const bool empty = text.empty();
  text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
  const bool matched = !empty && MatchPattern(pattern, text);
  return BanktoolResult{matched ? kExitDone : kExitIncomplete, matched ? "match\n" : "no match\n",
                        std::string()};
}

// What grading sees of a Word, Excel or PowerPoint file: its text view or its XML view, in
// UTF-8. A file that is no such document is told apart from one whose parts cannot be read.
BanktoolResult OfficeText(const std::string& path, bool xml) {
  std::string bytes;
  if (!ReadInput(path, &bytes)) return Unreadable(path);
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  OfficeDocument document;
  ZipArchive archive;
  if (!document.Open(data, bytes.size())) {
    if (LooksLikeZip(data, bytes.size()) && !archive.Open(data, bytes.size())) {
      return BanktoolResult{kExitIncomplete, std::string(),
                            "banktool: a damaged zip archive, nothing of it can be read: " + path + "\n"};
    }
    return BanktoolResult{kExitCannot, std::string(),
                          "banktool: not a Word, Excel or PowerPoint document: " + path + "\n"};
  }
  BanktoolResult result;
  if (!(xml ? document.XmlView(result.out) : document.TextView(result.out))) {
    return BanktoolResult{kExitIncomplete, std::string(),
                          "banktool: a part of the document cannot be read (damaged, encrypted or too "
                          "large): " + path + "\n"};
  }
  return result;
}

// The statistics tool's resets over a folder tree, logged to LOG instead of "c:\a.htm".
BanktoolResult ResetFolder(const std::string& folder, ResetOperation operation,
                           const std::string& log) {
  // The tool itself takes a missing folder as an empty one; a script is told.
  if (!IsFolder(folder)) {
    return BanktoolResult{kExitCannot, std::string(), "banktool: no folder " + folder + "\n"};
  }
  // Nothing is reset that the log could not tell of.
  ResetSummary summary = InitializeFolder(folder, operation, log, WithoutLog::kStop);
  if (!summary.logStarted) {
    return BanktoolResult{kExitIncomplete, std::string(),
                          "banktool: could not write the log " + log + "; nothing was reset\n"};
  }
  BanktoolResult result;
  result.out = "files " + std::to_string(summary.files) + ", errors " +
               std::to_string(summary.errors) + ", links " + std::to_string(summary.links) +
               ", left alone " + std::to_string(summary.leftAlone) + "\n";
  if (summary.errors > 0) {
    result.exitCode = kExitIncomplete;
    result.err = "banktool: some files were not reset; see " + log + "\n";
  }
  if (summary.lostLogLines > 0) {
    result.exitCode = kExitIncomplete;
    result.err += "banktool: " + std::to_string(summary.lostLogLines) +
                  " lines did not reach the log " + log + "\n";
  }
  return result;
}

bool WriteWhole(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return static_cast<bool>(out);
}

// The name of a file without its folder and extension, in UTF-8.
std::string BaseName(const std::string& path) {
  std::string name = FileNameOf(path);
  std::size_t slash = name.find_last_of('/');
  if (slash != std::string::npos) name.erase(0, slash + 1);
  std::size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return NativeTextToUtf8(name);
}

BanktoolResult Import(const std::string& from, const std::string& to) {
  std::string text;
  if (!ReadInput(from, &text)) return Unreadable(from);
  QuestionBank bank;
  bank.SetTitle(Utf8ToGbkLossy(BaseName(from)));
  bank.SetKind(1);  // a test of choice questions
  // A Word document is told by its content: a zip archive holding a Word main part.
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  ImportReport report;
  if (LooksLikeZip(bytes, text.size())) {
    DocxImport docx = ImportChoiceDocx(bytes, text.size(), BaseName(from), bank);
    if (docx.refusal != DocxRefusal::kNone) {
      return BanktoolResult{kExitCannot, std::string(),
                            std::string(docx.refusal == DocxRefusal::kNotWord
                                            ? "banktool: a zip archive but no Word document, nothing read: "
                                            : "banktool: a damaged Word document, nothing of it can be read: ") +
                                from + "\n"};
    }
    report = std::move(docx.report);
  } else {
    report = ImportChoiceText(text, BaseName(from), bank);
  }
  BanktoolResult result;
  for (const std::string& problem : report.problems) result.err += problem + "\n";
  if (report.problemCount > static_cast<int>(report.problems.size())) {
    result.err += "and " + std::to_string(report.problemCount - report.problems.size()) +
                  " more problems\n";
  }
  result.out = "categories " + std::to_string(report.categories) + ", big questions " +
               std::to_string(report.bigQuestions) + ", small questions " +
               std::to_string(report.smallQuestions) +
               (report.explanations ? ", explanations left out " + std::to_string(report.explanations) : "") +
               "\n";
  if (report.smallQuestions == 0) {
    result.exitCode = kExitCannot;
    result.err += "banktool: no question read; nothing written\n";
    return result;
  }
  if (!bank.Save(to)) {
    result.exitCode = kExitCannot;
    result.err += "banktool: could not write " + to + "\n";
    return result;
  }
  if (report.problemCount > 0) result.exitCode = kExitIncomplete;
  return result;
}

BanktoolResult ExportAikenFile(const std::string& from, const std::string& to) {
  QuestionBank bank;
  if (!bank.Load(from) && bank.categories().empty()) {
    return BanktoolResult{kExitCannot, std::string(), "banktool: could not read " + from + "\n"};
  }
  AikenExport exported = ExportAiken(bank);
  BanktoolResult result;
  for (const std::string& question : exported.leftOut) result.err += "left out: " + question + "\n";
  result.out = "questions " + std::to_string(exported.written) + ", left out " +
               std::to_string(exported.leftOut.size()) + "\n";
  if (!WriteWhole(to, exported.text)) {
    result.exitCode = kExitCannot;
    result.err += "banktool: could not write " + to + "\n";
  } else if (!exported.leftOut.empty()) {
    result.exitCode = kExitIncomplete;
  }
  return result;
}

}  // namespace

BanktoolResult RunBanktool(const std::vector<std::string>& args) {
  if (args.empty()) return Usage();
  const std::string& command = args[0];
  if (command == "--help" && args.size() == 1) return Help();
  BanktoolResult result;

  if (command == "resave" && args.size() == 3) return Resave(args[1], args[2]);
  if (command == "dump" && args.size() == 2) return Dump(args[1]);
  if (command == "match" && args.size() == 3) return Match(args[1], args[2]);
  if (command == "text" && (args.size() == 2 || (args.size() == 3 && args[2] == "--xml"))) {
    return OfficeText(args[1], args.size() == 3);
  }
  if (command == "reset-counts" && args.size() == 3) {
    return ResetFolder(args[1], ResetOperation::kSelectCounts, args[2]);
  }
  if (command == "reset-ticks" && args.size() == 3) {
    return ResetFolder(args[1], ResetOperation::kChoices, args[2]);
  }
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (command == "unpack") return UnpackCommand(rest);
  if (command == "grade") return GradeCommand(rest);
  if (command == "grade-all") return GradeAllCommand(rest);
  if (command == "import" && args.size() == 3) return Import(args[1], args[2]);
  if (command == "export-aiken" && args.size() == 3) return ExportAikenFile(args[1], args[2]);
  if (command == "export-html") return ExportPaperCommand(rest, PaperFormat::kHtml);
  if (command == "export-docx") return ExportPaperCommand(rest, PaperFormat::kDocx);
  if (command == "score" && args.size() == 2) {
    QuestionBank bank;
    bool loaded = bank.Load(args[1]);
    result.out = std::to_string(GetTotalScore(bank)) + "\n";
    return loaded ? result : LoadFailed(result, args[1]);
  }
  return Usage();
}

}  // namespace velmor
