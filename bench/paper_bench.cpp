// banktool export-html over a bank of 10,000 big questions against writing the same number
// of bytes, side by side in one process.
//
//   paper_bench [big-questions] [rounds]      default: 10,000, best of 3
//
// Each big question has a stem of 200 characters in eight format runs and a 40 x 30 picture,
// and four small questions of four options.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "bench/bench_stem.h"
#include "common/richtext/rich_content.h"
#include "tarvik/model/question_bank.h"
#include "tools/banktool/paper_export.h"

namespace {

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

velmor::ContentBlock Stem() {
  std::string text;
  std::vector<velmor::FormatRun> runs = velmor::bench::StemRuns(text);
  std::vector<unsigned char> pixels(3 * 40 * 30, 0x80);
  velmor::ContentBlock picture = velmor::MakePictureRecord(40, 30, pixels.data());
  velmor::SetPicturePosition(picture, 100);
  return velmor::BuildRichContent(200, text, runs, {&picture});
}

}  // namespace

int main(int argc, char** argv) {
  const int questions = argc > 1 ? std::atoi(argv[1]) : 10000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
  if (questions < 1 || rounds < 1) return 2;
  velmor::QuestionBank bank;
  bank.SetTitle("\xb2\xe2\xca\xd4");  // 测试
  bank.AddCategory("\xb5\xda\xd2\xbb\xd5\xc2");  // 第一章
  for (int q = 0; q < questions; ++q) {
    velmor::ContentBlock stem = Stem();
    bank.AddBigQuestion(0, q + 1, std::move(stem), 0, 0);
    for (int s = 0; s < 4; ++s) {
      bank.AddSmallQuestion(0, q, "\xcf\xc2\xc1\xd0\xcb\xb5\xb7\xa8\xd6\xd0\xa3\xac\xd5\xfd\xc8\xb7\xb5\xc4\xca\xc7", 1, 5);
      for (int o = 0; o < 4; ++o) bank.AddOption(0, q, s, "\xd1\xa1\xcf\xee\xc4\xda\xc8\xdd", 0, o == 1, 0, 0);
    }
  }
  const std::string path = (std::filesystem::temp_directory_path() / "velmor-paper-bench.html").string();
  std::size_t bytes = 0;
  const double exported = Best(rounds, [&] {
    std::ofstream out(path, std::ios::binary);
    velmor::WritePaperHtml(bank, true, out);
    bytes = static_cast<std::size_t>(out.tellp());
  });
  const std::string same(bytes, 'x');
  const double written = Best(rounds, [&] {
    std::ofstream(path, std::ios::binary).write(same.data(), static_cast<std::streamsize>(same.size()));
  });
  std::remove(path.c_str());
  std::printf("export-html: %d big questions, %zu bytes: %.3f s; writing as many bytes: %.3f s\n",
              questions, bytes, exported, written);
  std::printf("  export against writing: %.2f (goal at most 3)\n", exported / written);
  return 0;
}
