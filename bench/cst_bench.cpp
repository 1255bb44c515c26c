// Load + Save of a large .cst bank against a plain read of the whole file and a plain write of
// the same bytes, side by side in one process. Both writes are flushed to the disk, since Save
// flushes before it replaces the old file.
//
//   cst_bench [megabytes] [folder]      defaults: 100, the system's temporary folder
//
// Prints the best of three rounds of each, their ratio (goal: at most 1.5) and the peak
// resident memory of the Load + Save round as a multiple of the file size (goal: at most 1.5).
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "oblen/model/operation_bank.h"
#include "oblen/model/package_format.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kDescriptionSize = 24 * 1024;
constexpr int kRequirements = 5;
constexpr int kQuestionsPerPackage = 10;
constexpr std::size_t kPackedFileSize = 32 * 1024;

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
  velmor::OperationBank bank;
  if (!bank.Load(from) || !bank.Save(to)) {
    std::fprintf(stderr, "Load or Save failed\n");
    std::exit(1);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100;
  std::string folder = argc > 2 ? argv[2] : (std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp");
  std::string source = folder + "/cst_bench_source.cst";
  std::string plainTarget = folder + "/cst_bench_plain.out";
  std::string modelTarget = folder + "/cst_bench_model.cst";

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
