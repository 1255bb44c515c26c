// Load + Save of a large .lst bank against a plain read of the whole file and a plain write of
// the same bytes, side by side in one process. Both writes are flushed to the disk, since Save
// flushes before it replaces the old file.
//
//   lst_bench [megabytes] [folder]      defaults: 100, the system's temporary folder
//
// Prints the best of three rounds of each, their ratio (goal: at most 1.5) and the peak
// resident memory of the Load + Save round as a multiple of the file size (goal: at most 1.5).
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include "tarvik/model/question_bank.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kSmallQuestions = 10;
constexpr int kOptions = 4;
constexpr std::size_t kContentSize = 24 * 1024;

double Seconds(Clock::time_point from) {
  return std::chrono::duration<double>(Clock::now() - from).count();
}

// Peak resident memory since the last reset, in bytes (Linux).
long long PeakResidentBytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::atoll(line.c_str() + 6) * 1024;
  }
  return -1;
}

void ResetPeakResident() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
}

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

void PlainCopy(const std::string& from, const std::string& to) {
  int in = ::open(from.c_str(), O_RDONLY);
  off_t size = ::lseek(in, 0, SEEK_END);
  ::lseek(in, 0, SEEK_SET);
  std::unique_ptr<char[]> bytes(new char[size]);
  for (off_t done = 0; done < size;) {
    ssize_t count = ::read(in, bytes.get() + done, size - done);
    if (count <= 0) std::exit(1);
    done += count;
  }
  ::close(in);
  int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  for (off_t done = 0; done < size;) {
    ssize_t count = ::write(out, bytes.get() + done, size - done);
    if (count <= 0) std::exit(1);
    done += count;
  }
  ::fsync(out);
  ::close(out);
}

void LoadAndSave(const std::string& from, const std::string& to) {
  velmor::QuestionBank bank;
  if (!bank.Load(from) || !bank.Save(to)) {
    std::fprintf(stderr, "Load or Save failed\n");
    std::exit(1);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100;
  std::string folder = argc > 2 ? argv[2] : (std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp");
  std::string source = folder + "/lst_bench_source.lst";
  std::string plainTarget = folder + "/lst_bench_plain.out";
  std::string modelTarget = folder + "/lst_bench_model.lst";

  Generate(source, megabytes);
  std::ifstream sized(source, std::ios::binary | std::ios::ate);
  double fileSize = static_cast<double>(sized.tellg());

  double plainBest = 1e9, modelBest = 1e9;
  long long plainPeak = 0, modelPeak = 0;
  for (int round = 0; round < 3; ++round) {
    ResetPeakResident();
    Clock::time_point start = Clock::now();
    PlainCopy(source, plainTarget);
    plainBest = std::min(plainBest, Seconds(start));
    plainPeak = std::max(plainPeak, PeakResidentBytes());

    ResetPeakResident();
    start = Clock::now();
    LoadAndSave(source, modelTarget);
    modelBest = std::min(modelBest, Seconds(start));
    modelPeak = std::max(modelPeak, PeakResidentBytes());
  }
  std::ifstream a(source, std::ios::binary), b(modelTarget, std::ios::binary);
  bool identical = std::equal(std::istreambuf_iterator<char>(a), std::istreambuf_iterator<char>(),
                              std::istreambuf_iterator<char>(b), std::istreambuf_iterator<char>());
  std::printf("file size               %.1f MB\n", fileSize / 1e6);
  std::printf("plain read + write      %.3f s   peak memory %.2f x file\n", plainBest,
              plainPeak / fileSize);
  std::printf("Load + Save             %.3f s   peak memory %.2f x file\n", modelBest,
              modelPeak / fileSize);
  std::printf("time ratio              %.2f     (goal: at most 1.5)\n", modelBest / plainBest);
  std::printf("memory / file size      %.2f     (goal: at most 1.5)\n", modelPeak / fileSize);
  std::printf("saved file identical    %s\n", identical ? "yes" : "NO");
  std::remove(source.c_str());
  std::remove(plainTarget.c_str());
  std::remove(modelTarget.c_str());
  return identical ? 0 : 1;
}
