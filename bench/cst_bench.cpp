// Generates a bank of about 100 MB (as a teacher's bank, with large content blocks) and
// measures Load + Save of it against a plain copy (see round_trip.h).
//
//   cst_bench [megabytes] [folder]      defaults: 100, the system's temporary folder
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/round_trip.h"
#include "oblen/model/operation_bank.h"
#include "oblen/model/package_format.h"

namespace {

constexpr std::size_t kDescriptionSize = 24 * 1024;
constexpr int kRequirements = 5;
constexpr int kQuestionsPerPackage = 10;
constexpr std::size_t kPackedFileSize = 32 * 1024;

velmor::FilePackage MakePackage(int32_t questionId) {
  velmor::FilePackage package;
  package.questionId = questionId;
  package.unpackFolder.Assign("c:\\candidate");
  std::string content(kPackedFileSize, '\0');
  for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 13 + 5);
  velmor::AppendEntryHead(package.data, 1, "", 0);
  for (const char* name : {"\\a.doc", "\\b.xls"}) {
    velmor::AppendEntryHead(package.data, 0, name, static_cast<int32_t>(content.size()));
    package.data.insert(package.data.end(), content.begin(), content.end());
  }
  package.entryCount = 3;
  return package;
}

void Generate(const std::string& path, std::size_t megabytes) {
  velmor::OperationBank bank;
  std::size_t perQuestion = 20 + kDescriptionSize + kRequirements * velmor::Requirement::kSize +
                            (272 + 3 * 264 + 2 * kPackedFileSize) / kQuestionsPerPackage;
  std::size_t questions = megabytes * 1024 * 1024 / perQuestion;
  std::string payload(kDescriptionSize - 4, '\0');
  for (std::size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<char>(i * 31 + 7);
  velmor::Requirement requirement = velmor::Requirement::Build(
      "save the table", "the table was not saved", 5, "c:\\candidate\\b.xls", "*sum*");
  for (std::size_t q = 0; q < questions; ++q) {
    if (q % 100 == 0) bank.AddGroup("group " + std::to_string(q / 100));
    int group = static_cast<int>(bank.groups().size() - 1);
    int question = static_cast<int>(bank.groups().back().questions.size());
    bank.AddQuestion(1, group, velmor::ContentBlock::WithPayload(payload.data(), payload.size()),
                     0, 0);
    for (int r = 0; r < kRequirements; ++r) bank.AddRequirement(group, question, requirement);
    if (q % kQuestionsPerPackage == 0) {
      bank.AppendPackage(MakePackage(bank.FindQuestion(group, question)->id));
    }
  }
  if (!bank.Save(path)) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    std::exit(1);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100;
  std::string folder = velmor::bench::BenchFolder(argc, argv);
  std::string source = folder + "/cst_bench_source.cst";
  Generate(source, megabytes);
  return velmor::bench::RunRoundTrip(source, folder, [](const std::string& from,
                                                        const std::string& to) {
    velmor::OperationBank bank;
    return bank.Load(from) && bank.Save(to);
  });
}
