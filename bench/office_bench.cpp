// Office documents in grading, in processor time:
//   1. the text view of a big .docx (default 50 MB on disk) against inflating the parts it
//      reads with zlib alone (goal: at most 1.5);
//   2. grading a class of 40 candidate folders, each with a .docx, a .xlsx and a .pptx, two
//      requirements a file, one met by the text view and one met by nothing, so both views of
//      every file are made (goal: under 1 s);
//   3. the peak memory of grading the big .docx in a process of its own, against its largest
//      part (goal: at most 2).
//
//   office_bench [megabytes] [rounds]      default: 50 MB, best of 3
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/office/document_writer.h"
#include "common/office/office_document.h"
#include "common/office/zip_archive.h"
#include "bench/bench_clock.h"
#include "oblen/model/grading.h"
#include "tools/banktool/tool_files.h"

namespace {

namespace fs = std::filesystem;

void Write(const std::string& path, const std::vector<unsigned char>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A long report: paragraphs of runs as Word writes them, with words drawn from a list of
// common characters so that the part compresses about as a real one does.
std::vector<unsigned char> BigDocument(std::size_t targetSize, std::size_t* largestPart) {
  const char32_t kCharacters[] = U"的一是在不了有和人这中大为上个国我以要他时来用们生到作地于出就分对成会可主发年动同工也能下过子说产种面而方后多定行学法所民得经十三之进着等部度家电力里如水化高自二理起小物现实加量都两体制机当使点从业本去把性好应开它合还因由其些然前外天政四日那社义事平形相全表间样与关各重新线内数正心反你明看原又么利比或但质气第向道命此变条只没结解问意建月公无系军很情者最立代想已通并提直题党程展五果料象员革位入常文总次品式活设及管特件长求老头基资边流路级少图山统接知较将组见计别她手角期根论运农指几九区强放决西被干做必战先回则任取据处队南给色光门即保治北造百规热领七海口东导器压志世金增争济阶油思术极交受联什认六共权收证改清己美再采转更单风切打白教速花带安场身车例真务具万每目至达走积示议声报斗完类八离华名确才科张信马节话米整空元况今集温传土许步群广石记需段研界拉林律叫且究观越织装影算低持音众书布复容儿须际商非验连断深难近矿千周委素技备半办青省列习响约支般史感劳便团往酸历市克何除消构府称太准精值号率族维划选标写存候毛亲快效斯院查江型眼王按格养易置派层片始却专状育厂京识适属圆包火住调满县局照参红细引听该铁价严";
  constexpr std::size_t kCount = sizeof(kCharacters) / sizeof(kCharacters[0]) - 1;
  std::string xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n<w:document xmlns:w="
      "\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body>";
  xml.reserve(targetSize + 4096);
  uint32_t seed = 12345;
  while (xml.size() < targetSize) {
    xml += "<w:p><w:pPr><w:pStyle w:val=\"Normal\"/><w:jc w:val=\"both\"/></w:pPr>";
    for (int run = 0; run < 4; ++run) {
      xml += run == 1 ? "<w:r><w:rPr><w:b/></w:rPr><w:t>" : "<w:r><w:t xml:space=\"preserve\">";
      for (int i = 0; i < 24; ++i) {
        seed = seed * 1103515245u + 12345u;
        const char32_t c = kCharacters[(seed >> 8) % kCount];
        xml += static_cast<char>(0xE0 | (c >> 12));
        xml += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        xml += static_cast<char>(0x80 | (c & 0x3F));
      }
      xml += "</w:t></w:r>";
    }
    xml += "</w:p>";
  }
  xml += "</w:body></w:document>";
  *largestPart = xml.size();
  velmor::ZipWriter writer;
  writer.Add("[Content_Types].xml",
             "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
             "<Override PartName=\"/word/document.xml\" ContentType=\"application/vnd."
             "openxmlformats-officedocument.wordprocessingml.document.main+xml\"/></Types>");
  writer.Add("word/document.xml", xml);
  return writer.Finish();
}

// A small presentation of two slides.
std::vector<unsigned char> Slides() {
  const std::string ns =
      " xmlns:p=\"http://schemas.openxmlformats.org/presentationml/2006/main\""
      " xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\""
      " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";
  velmor::ZipWriter writer;
  writer.Add("[Content_Types].xml",
             "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
             "<Override PartName=\"/ppt/presentation.xml\" ContentType=\"application/vnd."
             "openxmlformats-officedocument.presentationml.presentation.main+xml\"/></Types>");
  writer.Add("ppt/presentation.xml", "<p:presentation" + ns + "><p:sldIdLst><p:sldId r:id=\"rId1\"/>"
                                     "<p:sldId r:id=\"rId2\"/></p:sldIdLst></p:presentation>");
  writer.Add("ppt/_rels/presentation.xml.rels",
             "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
             "<Relationship Id=\"rId1\" Type=\"s\" Target=\"slides/slide1.xml\"/>"
             "<Relationship Id=\"rId2\" Type=\"s\" Target=\"slides/slide2.xml\"/></Relationships>");
  for (const char* name : {"ppt/slides/slide1.xml", "ppt/slides/slide2.xml"}) {
    writer.Add(name, "<p:sld" + ns + "><p:cSld><p:spTree><p:sp><p:txBody><a:p><a:r><a:t>"
                     "\xe6\x88\x91\xe7\x9a\x84\xe5\xae\xb6\xe4\xb9\xa1</a:t></a:r></a:p>"
                     "</p:txBody></p:sp></p:spTree></p:cSld></p:sld>");
  }
  return writer.Finish();
}

}  // namespace

int main(int argc, char** argv) {
  const long megabytes = argc > 1 ? std::atol(argv[1]) : 50;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
  if (megabytes < 1 || rounds < 1) return 2;
  const fs::path root = fs::temp_directory_path() / ("velmor-office-bench-" + std::to_string(::getpid()));
  fs::create_directories(root);
  int status = 0;

  // A document of about `megabytes` on disk (its part about four times that inflated), written
  // and let go before anything is measured, so that the child process that grades it shares no
  // big memory with this one.
  std::size_t largest = 0;
  const std::string bigPath = (root / "report.docx").string();
  Write(bigPath, BigDocument(static_cast<std::size_t>(megabytes) << 22, &largest));

  // 3. Peak memory of grading the document with nothing met (both views made).
  std::string stored;
  if (!velmor::ModelPathOf(bigPath, &stored)) return 3;
  std::unique_ptr<velmor::FileAccess> files = velmor::MakeToolFileAccess();
  velmor::OperationQuestion question;
  question.requirements.push_back(velmor::Requirement::Build("d", "", 1, stored, "*nothing here*"));
  const long peak = velmor::bench::PeakMemoryOf([&] { velmor::GradeRequirements(*files, question); });

  // 1. Its text view against inflating its parts.
  std::vector<unsigned char> big;
  files->ReadSharedFile(stored, big, UINT64_MAX);
  std::string view;
  const double viewSeconds = velmor::bench::BestProcessorTime(rounds, [&] {
    velmor::OfficeDocument document;
    if (!document.Open(big.data(), big.size()) || !document.TextView(view)) std::exit(3);
  });
  const double inflateSeconds = velmor::bench::BestProcessorTime(rounds, [&] {
    // Into fresh memory, as any reader of the part needs it.
    std::unique_ptr<unsigned char[]> inflated(new unsigned char[largest]);
    velmor::ZipArchive archive;
    archive.Open(big.data(), big.size());
    for (const velmor::ZipEntry& entry : archive.entries()) {
      const unsigned char* header = big.data() + entry.localHeaderOffset;
      const unsigned char* data = header + 30 + (header[26] | header[27] << 8) + (header[28] | header[29] << 8);
      z_stream stream{};
      inflateInit2(&stream, -15);
      stream.next_in = const_cast<unsigned char*>(data);
      stream.avail_in = static_cast<uInt>(entry.compressedSize);
      stream.next_out = inflated.get();
      stream.avail_out = static_cast<uInt>(largest);
      inflate(&stream, Z_FINISH);
      inflateEnd(&stream);
    }
  });
  std::printf("text view of a %.1f MB .docx (part %.1f MB): %.3f s, zlib alone %.3f s, ratio %.2f (goal <= 1.5)\n",
              big.size() / 1048576.0, largest / 1048576.0, viewSeconds, inflateSeconds,
              viewSeconds / inflateSeconds);
  std::printf("grading it: peak memory %.1f MB, %.2f times the largest part (goal <= 2)\n",
              peak / 1048576.0, static_cast<double>(peak) / static_cast<double>(largest));
  std::vector<unsigned char>().swap(big);
  fs::remove(bigPath);

  // 2. A class of 40, three documents each.
  const std::vector<unsigned char> notice = velmor::WriteWordDocument(
      {"\xe5\x85\xb3\xe4\xba\x8e\xe4\xb8\xbe\xe8\xa1\x8c\xe7\xa7\x8b\xe5\xad\xa3\xe8\xbf\x90\xe5\x8a\xa8\xe4\xbc\x9a",
       "body text", "signature"});
  const std::vector<unsigned char> table = velmor::WriteWorkbook(
      "scores", {{"name", "a", "b", "c", "total"}, {"one", "92", "88", "95", "275"}, {"two", "85", "90", "78", "253"}});
  const std::vector<unsigned char> slides = Slides();
  std::vector<velmor::OperationQuestion> candidates(40);
  for (int i = 0; i < 40; ++i) {
    const fs::path folder = root / ("candidate" + std::to_string(i));
    fs::create_directories(folder);
    const std::pair<const char*, const std::vector<unsigned char>*> targets[] = {
        {"notice.docx", &notice}, {"table.xlsx", &table}, {"slides.pptx", &slides}};
    for (const auto& [name, bytes] : targets) {
      Write((folder / name).string(), *bytes);
      if (!velmor::ModelPathOf((folder / name).string(), &stored)) return 3;
      candidates[i].requirements.push_back(velmor::Requirement::Build("met", "", 1, stored, "*\r\n*"));
      candidates[i].requirements.push_back(velmor::Requirement::Build("never", "", 1, stored, "*nothing here*"));
    }
  }
  int total = 0;
  const double classSeconds = velmor::bench::BestProcessorTime(rounds, [&] {
    total = 0;
    for (const velmor::OperationQuestion& candidate : candidates) {
      total += velmor::GradeRequirements(*files, candidate).total;
    }
  });
  std::printf("grading a class of 40 with three Office documents each: %.3f s (goal < 1 s)\n",
              classSeconds);
  if (total != 40 * 3) status = 1;  // each text view met once, nothing else
  fs::remove_all(root);
  return status;
}
