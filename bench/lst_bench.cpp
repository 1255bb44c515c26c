// Generates a bank of about 100 MB (as a teacher's bank, with large content blocks) and
// measures Load + Save of it against a plain copy (see round_trip.h).
//
//   lst_bench [megabytes] [folder]      defaults: 100, the system's temporary folder
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/round_trip.h"
#include "tarvik/model/question_bank.h"

namespace {

constexpr int kSmallQuestions = 10;
constexpr int kOptions = 4;
constexpr std::size_t kContentSize = 24 * 1024;

void Generate(const std::string& path, std::size_t megabytes) {
  velmor::QuestionBank bank;
  bank.SetTitle("benchmark bank");
  bank.SetKind(velmor::kKindChoice);
  std::size_t perQuestion = kContentSize + 20 + kSmallQuestions * (20 + 40 + kOptions * (20 + 20));
  std::size_t questions = megabytes * 1024 * 1024 / perQuestion;
  std::string payload(kContentSize - 4, '\0');
  for (std::size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<char>(i * 31 + 7);
  for (std::size_t q = 0; q < questions; ++q) {
    if (q % 500 == 0) bank.AddCategory("category " + std::to_string(q / 500));
    int category = static_cast<int>(bank.categories().size() - 1);
    int question = static_cast<int>(bank.categories().back().questions.size());
    bank.AddBigQuestion(category, 1,
                        velmor::ContentBlock::WithPayload(payload.data(), payload.size()), 0, 0);
    for (int s = 0; s < kSmallQuestions; ++s) {
      bank.AddSmallQuestion(category, question, "which of these forty-byte answers is right?", s & 1, 5);
      for (int o = 0; o < kOptions; ++o) {
        bank.AddOption(category, question, s, "option text of twenty", o, o == 1, 0, o * 3);
      }
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
  std::string source = folder + "/lst_bench_source.lst";
  Generate(source, megabytes);
  return velmor::bench::RunRoundTrip(source, folder, [](const std::string& from,
                                                        const std::string& to) {
    velmor::QuestionBank bank;
    return bank.Load(from) && bank.Save(to);
  });
}
