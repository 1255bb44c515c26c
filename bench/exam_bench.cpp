// banktool grade-all over a class of candidate folders of the demonstration bank, against
// reading each folder's target files once, side by side in one process.
//
//   exam_bench [folders] [rounds]      default: 1000 folders, best of 3
//
// Every folder gets the question's original files by banktool unpack, then the candidate's
// work. Prints, per question, the time per folder of grade-all (with its score sheet) and of
// reading every distinct target file of the folder once, and their ratio (goal: at most 1.5);
// then the whole exam at once with its score sheet and class report (goal: at most 2).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "oblen/model/operation_bank.h"
#include "tools/banktool/banktool.h"
#include "tools/banktool/exam_commands.h"
#include "common/base/text_encoding.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Best(int rounds, const std::function<void()>& work) {
  double best = 1e30;
  for (int round = 0; round < rounds; ++round) {
    Clock::time_point start = Clock::now();
    work();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  return best;
}

std::size_t ReadWhole(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return 0;
  char buffer[65536];
  std::size_t total = 0, count = 0;
  while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) total += count;
  std::fclose(file);
  return total;
}

}  // namespace

int main(int argc, char** argv) {
  const int folders = argc > 1 ? std::atoi(argv[1]) : 1000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
  if (folders < 1 || rounds < 1) return 2;
  const std::string bankPath = VELMOR_EXAMPLE_BANK;
  velmor::OperationBank bank;
  if (!bank.Load(bankPath)) return 3;

  const fs::path root = fs::temp_directory_path() / ("velmor-exam-bench-" + std::to_string(std::rand()));
  std::vector<std::string> candidates;
  for (int i = 0; i < folders; ++i) candidates.push_back((root / ("cand" + std::to_string(i))).string());

  std::set<std::string> examTargets;  // every question's, for the whole exam at once
  for (const velmor::FilePackage& package : bank.packages()) {
    const std::string id = std::to_string(package.questionId);
    const velmor::OperationQuestion* question = nullptr;
    for (const velmor::QuestionGroup& group : bank.groups()) {
      for (const velmor::OperationQuestion& each : group.questions) {
        if (each.id == package.questionId) question = &each;
      }
    }
    if (!question) continue;
    for (const std::string& candidate : candidates) {
      velmor::RunBanktool({"unpack", bankPath, id, candidate});
    }
    // The distinct targets below the unpack folder, as native paths below each candidate.
    std::set<std::string> targets;
    for (const velmor::Requirement& requirement : question->requirements) {
      std::string relative;
      if (velmor::PlaceBelow(package.unpackFolder.text(), requirement.targetFile(), &relative) ==
          velmor::Placement::kBelow) {
        std::string native = velmor::GbkToUtf8(relative);
        std::replace(native.begin(), native.end(), '\\', '/');
        targets.insert(native);
      }
    }
    // The candidate's work: every target is there.
    for (const std::string& candidate : candidates) {
      for (const std::string& target : targets) {
        fs::path file = fs::path(candidate) / target;
        if (fs::exists(file)) continue;
        fs::create_directories(file.parent_path());
        std::FILE* out = std::fopen(file.string().c_str(), "wb");
        if (out) {
          std::fputs("candidate work\r\n", out);
          std::fclose(out);
        }
      }
    }
    examTargets.insert(targets.begin(), targets.end());
    std::vector<std::string> args = {"grade-all", bankPath, id};
    args.insert(args.end(), candidates.begin(), candidates.end());
    args.push_back("--csv");
    args.push_back((root / "sheet.csv").string());

    std::size_t bytes = 0;
    const double read = Best(rounds, [&] {
      for (const std::string& candidate : candidates) {
        for (const std::string& target : targets) bytes += ReadWhole(candidate + "/" + target);
      }
    });
    int status = 0;
    const double graded = Best(rounds, [&] { status = velmor::RunBanktool(args).exitCode; });
    std::printf("question %s (%zu requirements, %zu target files): %d folders\n", id.c_str(),
                question->requirements.size(), targets.size(), folders);
    std::printf("  grade-all %.3f s (%.1f us a folder, exit %d), reading the targets %.3f s "
                "(%.1f us a folder, %zu bytes)\n",
                graded, graded / folders * 1e6, status, read, read / folders * 1e6, bytes / rounds);
    std::printf("  grade-all against reading: %.2f (goal at most 1.5)\n", graded / read);
  }
  // The whole exam at once, with its score sheet and class report.
  std::vector<std::string> args = {"grade-all", bankPath, "all"};
  args.insert(args.end(), candidates.begin(), candidates.end());
  for (const char* output : {"--csv", "--report"}) {
    args.push_back(output);
    args.push_back((root / (output[2] == 'c' ? "exam.csv" : "exam.html")).string());
  }
  std::size_t bytes = 0;
  const double read = Best(rounds, [&] {
    for (const std::string& candidate : candidates) {
      for (const std::string& target : examTargets) bytes += ReadWhole(candidate + "/" + target);
    }
  });
  int status = 0;
  const double graded = Best(rounds, [&] { status = velmor::RunBanktool(args).exitCode; });
  std::printf("the whole exam (%zu target files a folder), sheet and report: %d folders\n",
              examTargets.size(), folders);
  std::printf("  grade-all all %.3f s (exit %d), reading the targets %.3f s\n", graded, status, read);
  std::printf("  grade-all all against reading: %.2f (goal at most 2)\n", graded / read);
  std::error_code ignored;
  fs::remove_all(root, ignored);
  return 0;
}
