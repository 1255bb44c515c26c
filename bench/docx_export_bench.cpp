// banktool export-docx over a bank of 10,000 big questions, in processor time, side by side in
// one process:
//   1. against writing as many bytes as the document has (the goal: at most 3);
//   2. against what any writer of the same document pays: zlib deflating the same parts and
//      writing the document's bytes.
//
//   docx_export_bench [big-questions] [rounds]      default: 10,000, best of 3
//
// The bank is paper_bench's: each big question has a stem of 200 characters in eight format
// runs and a 40 x 30 picture (a different one in each), and four small questions of four
// options.
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_stem.h"
#include "bench/bench_clock.h"
#include "common/office/zip_archive.h"
#include "common/richtext/rich_content.h"
#include "tarvik/model/question_bank.h"
#include "tools/banktool/docx_paper.h"

namespace {

velmor::ContentBlock Stem(int question) {
  std::string text;
  std::vector<velmor::FormatRun> runs = velmor::bench::StemRuns(text);
  // A picture of its own: a gradient with the question's number in its first pixels.
  std::vector<unsigned char> pixels(3 * 40 * 30);
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<unsigned char>(i / 3 % 40 * 6);
  std::memcpy(pixels.data(), &question, sizeof question);
  velmor::ContentBlock picture = velmor::MakePictureRecord(40, 30, pixels.data());
  velmor::SetPicturePosition(picture, 100);
  return velmor::BuildRichContent(200, text, runs, {&picture});
}

void Write(const std::string& path, const void* bytes, std::size_t size) {
  std::ofstream(path, std::ios::binary).write(static_cast<const char*>(bytes), static_cast<std::streamsize>(size));
}

// Deflates `part` as the zip writer does (raw deflate, the default level), into `packed`.
void Deflate(const std::string& part, std::vector<unsigned char>& packed) {
  z_stream stream{};
  deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  packed.resize(deflateBound(&stream, static_cast<uLong>(part.size())));
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(part.data()));
  stream.avail_in = static_cast<uInt>(part.size());
  stream.next_out = packed.data();
  stream.avail_out = static_cast<uInt>(packed.size());
  deflate(&stream, Z_FINISH);
  packed.resize(stream.total_out);
  deflateEnd(&stream);
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
    velmor::ContentBlock stem = Stem(q);
    bank.AddBigQuestion(0, q + 1, std::move(stem), 0, 0);
    for (int s = 0; s < 4; ++s) {
      bank.AddSmallQuestion(0, q, "\xcf\xc2\xc1\xd0\xcb\xb5\xb7\xa8\xd6\xd0\xa3\xac\xd5\xfd\xc8\xb7\xb5\xc4\xca\xc7", 1, 5);
      for (int o = 0; o < 4; ++o) bank.AddOption(0, q, s, "\xd1\xa1\xcf\xee\xc4\xda\xc8\xdd", 0, o == 1, 0, 0);
    }
  }
  const std::string path = (std::filesystem::temp_directory_path() / "velmor-docx-bench.docx").string();
  std::vector<unsigned char> docx;
  const double exported = velmor::bench::BestProcessorTime(rounds, [&] {
    docx = velmor::ExportPaperDocx(bank, true);
    Write(path, docx.data(), docx.size());
  });
  const std::vector<unsigned char> same(docx.size(), 'x');
  const double written = velmor::bench::BestProcessorTime(rounds, [&] { Write(path, same.data(), same.size()); });

  // The parts of the document as they are inside it, deflated again by zlib alone.
  velmor::ZipArchive archive;
  std::vector<std::string> parts;
  std::size_t partBytes = 0;
  velmor::ZipLimits limits;  // a picture an entry, and parts that compress far
  limits.maxEntries = 1u << 20;
  limits.maxRatio = 1u << 20;
  if (!archive.Open(docx.data(), docx.size(), limits)) return 3;
  for (const velmor::ZipEntry& entry : archive.entries()) {
    parts.emplace_back();
    if (!archive.Read(entry, parts.back())) return 3;
    partBytes += parts.back().size();
  }
  std::vector<unsigned char> packed;
  const double zlibAlone = velmor::bench::BestProcessorTime(rounds, [&] {
    for (const std::string& part : parts) Deflate(part, packed);
    Write(path, same.data(), same.size());
  });
  std::remove(path.c_str());
  std::printf("export-docx: %d big questions, %.1f MB (parts %.1f MB): %.3f s; writing as many bytes: %.3f s; "
              "zlib deflating the parts and writing: %.3f s\n",
              questions, docx.size() / 1048576.0, partBytes / 1048576.0, exported, written, zlibAlone);
  std::printf("  export against writing: %.2f (goal at most 3)\n", exported / written);
  std::printf("  export against zlib and writing: %.2f\n", exported / zlibAlone);
  return 0;
}
