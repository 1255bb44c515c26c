#include "tools/banktool/cst_commands.h"

#include <fstream>

#include "oblen/model/package_format.h"
#include "tools/banktool/exam_commands.h"
#include "tools/banktool/json_writer.h"
#include "common/base/text_encoding.h"

namespace velmor {

namespace {

// The first bytes of a question bank (.lst): "综合评估问卷" in GBK.
constexpr char kQuestionBankSignature[] = "\xd7\xdb\xba\xcf\xc6\xc0\xb9\xc0\xce\xca\xbe\xed";

void WriteText(JsonWriter& json, const char* key, std::string_view gbk) {
  json.StringField(key, GbkToUtf8(gbk));
}

void WriteRequirement(JsonWriter& json, const Requirement& requirement,
                      const FilePackage* package) {
  json.BeginObject();
  WriteText(json, "description", requirement.description());
  WriteText(json, "explanation", requirement.explanation());
  json.NumberField("score", requirement.score());
  json.NumberField("category", requirement.category());
  WriteText(json, "targetFile", requirement.targetFile());
  WriteText(json, "matchPattern", requirement.matchPattern());
  // Only such targets can be graded from a candidate folder collected after the exam.
  std::string relative;
  json.BoolField("belowUnpackFolder", package && PlaceBelow(package->unpackFolder.text(), requirement.targetFile(),
                                  &relative) == Placement::kBelow);
  json.EndObject();
}

void WriteQuestion(JsonWriter& json, const OperationQuestion& question,
                   const FilePackage* package) {
  json.BeginObject();
  json.NumberField("id", question.id);
  json.NumberField("reservedA", question.reservedA);
  json.NumberField("reservedB", question.reservedB);
  json.NumberField("descriptionSize", static_cast<int64_t>(question.description.size()));
  WriteText(json, "unpackFolder", package ? package->unpackFolder.text() : std::string_view());
  json.Key("requirements");
  json.BeginArray();
  for (const Requirement& requirement : question.requirements) {
    WriteRequirement(json, requirement, package);
  }
  json.EndArray();
  json.EndObject();
}

void WritePackage(JsonWriter& json, const FilePackage& package) {
  json.BeginObject();
  json.NumberField("questionId", package.questionId);
  WriteText(json, "unpackFolder", package.unpackFolder.text());
  json.NumberField("dataSize", static_cast<int64_t>(package.data.size()));
  json.Key("entries");
  json.BeginArray();
  PackageEntryReader reader(package.data);
  PackageEntry entry;
  for (int32_t i = 0; i < package.entryCount && reader.Next(entry); ++i) {
    json.BeginObject();
    json.NumberField("kind", entry.kind);
    WriteText(json, "path", entry.relativePath);
    json.NumberField("size", static_cast<int64_t>(entry.size));
    json.EndObject();
  }
  json.EndArray();
  json.EndObject();
}

bool EndsWith(const std::string& text, std::string_view suffix) {
  if (text.size() < suffix.size()) return false;
  for (std::size_t i = 0; i < suffix.size(); ++i) {
    char c = text[text.size() - suffix.size() + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    if (c != suffix[i]) return false;
  }
  return true;
}

}  // namespace

std::string DumpOperationBank(const OperationBank& bank) {
  JsonWriter json;
  json.BeginObject();
  json.Key("groups");
  json.BeginArray();
  for (const QuestionGroup& group : bank.groups()) {
    json.BeginObject();
    WriteText(json, "name", group.name.text());
    json.Key("questions");
    json.BeginArray();
    for (const OperationQuestion& question : group.questions) {
      WriteQuestion(json, question, bank.FindPackage(question.id));
    }
    json.EndArray();
    json.EndObject();
  }
  json.EndArray();
  json.NumberField("trailerCount", static_cast<int64_t>(bank.trailerRecords().size()));
  json.Key("packages");
  json.BeginArray();
  for (const FilePackage& package : bank.packages()) WritePackage(json, package);
  json.EndArray();
  json.NumberField("maxQuestionId", bank.maxQuestionId());
  json.Key("usedQuestionIds");
  json.BeginArray();
  for (int32_t id : bank.usedQuestionIds()) json.Number(id);
  json.EndArray();
  json.EndObject();
  return json.text();
}

bool LooksLikeOperationBank(const std::string& path) {
  const std::string_view magic = OperationBankHeader::MagicText();
  const std::string_view lstSignature = kQuestionBankSignature;
  std::string start(magic.size(), '\0');
  std::ifstream in(path, std::ios::binary);
  in.read(start.data(), static_cast<std::streamsize>(start.size()));
  start.resize(static_cast<std::size_t>(in.gcount()));
  if (start == magic) return true;
  if (start.compare(0, lstSignature.size(), lstSignature) == 0) return false;
  return EndsWith(path, ".cst") || EndsWith(path, ".dat");
}

}  // namespace velmor
