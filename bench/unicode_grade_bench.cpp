// Grading one big target file that holds the Unicode text of today's editors, against reading
// that file, side by side in one run and in processor time; each grading runs in a process of its own, whose peak
// memory is set against the file's size.
//
//   unicode_grade_bench [megabytes] [rounds]      default: 128 MB, best of 3
//
// Three requirements name the file and none is met, so every view of the file is made: the
// bytes without zero bytes, and the text as GBK. Prints, per encoding, the ratio of grading to
// reading the file (goal: at most 3) and of the peak memory to the file (goal: about 2).

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "bench/bench_clock.h"
#include "oblen/model/grading.h"
#include "tools/banktool/tool_files.h"

namespace {

namespace fs = std::filesystem;

// A line of a notice, repeated up to `size` bytes in the encoding.
std::string Text(const std::string& encoding, std::size_t size) {
  // 学校秋季运动会 2026 年 10 月举行，请各班做好准备。
  const std::u16string line =
      u"\u5b66\u6821\u79cb\u5b63\u8fd0\u52a8\u4f1a 2026 \u5e74 10 \u6708\u4e3e\u884c\uff0c"
      u"\u8bf7\u5404\u73ed\u505a\u597d\u51c6\u5907\u3002\r\n";
  std::string one;
  if (encoding == "UTF-16") {
    one = "";
    for (char16_t unit : line) one += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
  } else {
    for (char16_t unit : line) {
      if (unit < 0x80) {
        one += static_cast<char>(unit);
      } else {
        one += {static_cast<char>(0xE0 | unit >> 12), static_cast<char>(0x80 | (unit >> 6 & 0x3F)),
                static_cast<char>(0x80 | (unit & 0x3F))};
      }
    }
  }
  std::string text = encoding == "UTF-16" ? "\xFF\xFE" : "";
  text.reserve(size + one.size());
  while (text.size() < size) text += one;
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  const long megabytes = argc > 1 ? std::atol(argv[1]) : 128;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
  if (megabytes < 1 || rounds < 1) return 2;
  const fs::path root = fs::temp_directory_path() / ("velmor-unicode-bench-" + std::to_string(::getpid()));
  fs::create_directories(root);
  std::printf("%-8s %10s %10s %10s %8s %12s\n", "text", "MB", "read s", "grade s", "ratio",
              "memory/file");
  int status = 0;
  for (const std::string encoding : {"UTF-16", "UTF-8"}) {
    const std::string path = (root / (encoding + ".txt")).string();
    std::size_t size = 0;
    {
      std::string text = Text(encoding, static_cast<std::size_t>(megabytes) << 20);
      size = text.size();
      std::ofstream(path, std::ios::binary).write(text.data(), static_cast<std::streamsize>(size));
    }
    std::string stored;
    if (!velmor::ModelPathOf(path, &stored)) return 3;
    velmor::OperationQuestion question;
    for (const char* pattern : {"*\xb2\xbb\xb4\xe6\xd4\xda*", "*nothing here*", "*\xc3\xbb?\xd3\xd0"}) {
      question.requirements.push_back(velmor::Requirement::Build("d", "", 1, stored, pattern));
    }
    std::unique_ptr<velmor::FileAccess> files = velmor::MakeToolFileAccess();
    int32_t total = -1;
    const double grade = velmor::bench::BestProcessorTime(rounds, [&] { total = velmor::GradeRequirements(*files, question).total; });
    const double read = velmor::bench::BestProcessorTime(rounds, [&] {
      std::vector<unsigned char> bytes;
      files->ReadSharedFile(stored, bytes, UINT64_MAX);
    });
    const long peak = velmor::bench::PeakMemoryOf([&] { velmor::GradeRequirements(*files, question); });
    const double ratio = grade / read;
    std::printf("%-8s %10.0f %10.3f %10.3f %8.2f %12.2f\n", encoding.c_str(), size / 1048576.0,
                read, grade, ratio, static_cast<double>(peak) / static_cast<double>(size));
    if (total != 0) status = 1;  // nothing may be met
    fs::remove(path);
  }
  fs::remove_all(root);
  return status;
}
