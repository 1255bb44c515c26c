#include "tools/banktool/banktool.h"

#include "tarvik/model/question_bank.h"
#include "tarvik/model/scoring.h"
#include "tools/banktool/json_writer.h"
#include "tools/banktool/text_encoding.h"

namespace velmor {

namespace {

constexpr int kExitLoadFailed = 1;
constexpr int kExitSaveFailed = 2;
constexpr int kExitUsage = 64;

const char kUsage[] =
    "usage: banktool resave IN OUT\n"
    "       banktool dump FILE\n"
    "       banktool score FILE\n";

void WriteOption(JsonWriter& json, const ChoiceOption& option) {
  json.BeginObject();
  json.Key("text");
  json.String(GbkToUtf8(option.text.text()));
  json.Key("score");
  json.Number(option.score);
  json.Key("chosen");
  json.Number(option.chosen);
  json.Key("isAnswer");
  json.Number(option.isAnswer);
  json.Key("selectCount");
  json.Number(option.selectCount);
  json.EndObject();
}

void WriteSmallQuestion(JsonWriter& json, const SmallQuestion& small) {
  json.BeginObject();
  json.Key("text");
  json.String(GbkToUtf8(small.text.text()));
  json.Key("singleChoice");
  json.Number(small.singleChoice);
  json.Key("score");
  json.Number(small.score);
  json.Key("options");
  json.BeginArray();
  for (const ChoiceOption& option : small.options) WriteOption(json, option);
  json.EndArray();
  json.EndObject();
}

void WriteBigQuestion(JsonWriter& json, const BigQuestion& question) {
  json.BeginObject();
  json.Key("id");
  json.Number(question.id);
  json.Key("reservedA");
  json.Number(question.reservedA);
  json.Key("reservedB");
  json.Number(question.reservedB);
  json.Key("contentSize");
  json.Number(static_cast<int64_t>(question.content.size()));
  json.Key("smallQuestions");
  json.BeginArray();
  for (const SmallQuestion& small : question.smallQuestions) WriteSmallQuestion(json, small);
  json.EndArray();
  json.EndObject();
}

std::string DumpQuestionBank(const QuestionBank& bank) {
  JsonWriter json;
  json.BeginObject();
  json.Key("kind");
  json.Number(bank.header().kind());
  json.Key("title");
  json.String(GbkToUtf8(bank.title().text()));
  json.Key("categories");
  json.BeginArray();
  for (const Category& category : bank.categories()) {
    json.BeginObject();
    json.Key("name");
    json.String(GbkToUtf8(category.name.text()));
    json.Key("questions");
    json.BeginArray();
    for (const BigQuestion& question : category.questions) WriteBigQuestion(json, question);
    json.EndArray();
    json.EndObject();
  }
  json.EndArray();
  json.Key("trailerCount");
  json.Number(static_cast<int64_t>(bank.trailerRecords().size()));
  json.Key("maxQuestionId");
  json.Number(bank.maxQuestionId());
  json.Key("usedQuestionIds");
  json.BeginArray();
  for (int32_t id : bank.usedQuestionIds()) json.Number(id);
  json.EndArray();
  json.EndObject();
  return json.text();
}

BanktoolResult Usage() { return BanktoolResult{kExitUsage, std::string(), kUsage}; }

BanktoolResult LoadFailed(BanktoolResult result, const std::string& path) {
  result.exitCode = kExitLoadFailed;
  result.err += "banktool: could not read all of " + path + "\n";
  return result;
}

}  // namespace

BanktoolResult RunBanktool(const std::vector<std::string>& args) {
  if (args.empty()) return Usage();
  const std::string& command = args[0];
  BanktoolResult result;

  if (command == "resave" && args.size() == 3) {
    QuestionBank bank;
    bool loaded = bank.Load(args[1]);
    if (!bank.Save(args[2])) {
      result.exitCode = kExitSaveFailed;
      result.err = "banktool: could not write " + args[2] + "\n";
      return result;
    }
    return loaded ? result : LoadFailed(result, args[1]);
  }
  if (command == "dump" && args.size() == 2) {
    QuestionBank bank;
    bool loaded = bank.Load(args[1]);
    result.out = DumpQuestionBank(bank);
    return loaded ? result : LoadFailed(result, args[1]);
  }
  if (command == "score" && args.size() == 2) {
    QuestionBank bank;
    bool loaded = bank.Load(args[1]);
    result.out = std::to_string(GetTotalScore(bank)) + "\n";
    return loaded ? result : LoadFailed(result, args[1]);
  }
  return Usage();
}

}  // namespace velmor
