// banktool import of a Word paper, in processor time: 1,000 questions in ten sections, every
// tenth after material with a red bold heading and a picture (100 PNG pictures of 480 x 360,
// shown at half their size or at their own), options on one line or on lines of their own,
// answers below the questions or in an answer section at the end; into a bank saved in memory.
// Goal: under 2 s. Beside it, the pictures alone: decoded and scaled as the import does.
//
//   docx_import_bench [questions] [rounds]      default: 1,000, best of 3
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_clock.h"
#include "common/base/byte_stream.h"
#include "common/office/zip_archive.h"
#include "tarvik/model/question_bank.h"
#include "tools/banktool/docx_import.h"
#include "tools/banktool/picture_import.h"
#include "tools/banktool/png_writer.h"

namespace {

constexpr int kPictureWidth = 480;
constexpr int kPictureHeight = 360;

std::string Run(const std::string& text, const std::string& properties = "") {
  return "<w:r><w:rPr>" + properties + "</w:rPr><w:t xml:space=\"preserve\">" + text + "</w:t></w:r>";
}

std::string Paragraph(const std::string& content) { return "<w:p>" + content + "</w:p>"; }

// A picture of smooth shades and some noise, as a photograph or a screen shot compresses.
std::string Picture(uint32_t seed) {
  std::vector<unsigned char> bgr(static_cast<std::size_t>(kPictureWidth) * kPictureHeight * 3);
  for (int y = 0; y < kPictureHeight; ++y) {
    for (int x = 0; x < kPictureWidth; ++x) {
      seed = seed * 1103515245u + 12345u;
      unsigned char* p = &bgr[(static_cast<std::size_t>(y) * kPictureWidth + x) * 3];
      p[0] = static_cast<unsigned char>(x / 2 + (seed >> 28));
      p[1] = static_cast<unsigned char>(y / 2);
      p[2] = static_cast<unsigned char>((x + y) / 4 + (seed >> 29));
    }
  }
  return velmor::EncodePng(kPictureWidth, kPictureHeight, bgr.data());
}

// Ten pictures, each stored in the package as often as it is shown (a part of its own each time).
const std::string& PictureOf(int picture) {
  static std::vector<std::string> made;
  while (made.size() < 10) made.push_back(Picture(static_cast<uint32_t>(made.size() + 1)));
  return made[static_cast<std::size_t>(picture) % made.size()];
}

std::vector<unsigned char> Paper(int questions, int* pictures) {
  const std::string w = "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"";
  std::string body = Paragraph(Run(u8"2026年秋季期末考试 信息技术")) + Paragraph(Run(u8"班级：＿＿＿＿　姓名：＿＿＿＿"));
  std::string rels = "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
  velmor::ZipWriter zip;
  *pictures = 0;
  static const char* const kNumerals[] = {u8"一", u8"二", u8"三", u8"四", u8"五",
                                          u8"六", u8"七", u8"八", u8"九", u8"十"};
  std::string key;
  for (int q = 1; q <= questions; ++q) {
    if ((q - 1) % 100 == 0 && (q - 1) / 100 < 10) {
      body += Paragraph(Run(std::string(kNumerals[(q - 1) / 100]) + u8"、单项选择题（每题1分，共100分）", "<w:b/>"));
    }
    if (q % 10 == 1) {
      const int picture = ++*pictures;
      const std::string id = "rPic" + std::to_string(picture);
      const int shown = picture % 2 ? 2 : 1;  // half its size, or its own
      body += Paragraph(Run(u8"阅读材料" + std::to_string(picture),
                            u8"<w:rFonts w:eastAsia=\"黑体\"/><w:b/><w:color w:val=\"FF0000\"/><w:sz w:val=\"28\"/>"));
      body += Paragraph(Run(u8"下面的图片展示了一台计算机的主要部件，请仔细观察后回答问题。") +
                        Run("CPU", "<w:i/>") + Run(u8"、内存和硬盘各司其职。"));
      body += Paragraph("<w:r><w:drawing><wp:inline><wp:extent cx=\"" +
                        std::to_string(kPictureWidth / shown * 9525) + "\" cy=\"" +
                        std::to_string(kPictureHeight / shown * 9525) +
                        "\"/><a:graphic><a:graphicData><pic:pic><pic:blipFill><a:blip r:embed=\"" + id +
                        "\"/></pic:blipFill></pic:pic></a:graphicData></a:graphic></wp:inline></w:drawing></w:r>");
      rels += "<Relationship Id=\"" + id + "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
              "relationships/image\" Target=\"media/image" + std::to_string(picture) + ".png\"/>";
      zip.Add("word/media/image" + std::to_string(picture) + ".png", PictureOf(picture));
    }
    body += Paragraph(Run(std::to_string(q) + u8"．下列关于计算机硬件的说法中，正确的是（　）（1分）"));
    if (q % 2) {
      body += Paragraph(Run(u8"A．CPU是中央处理器") + "<w:r><w:tab/></w:r>" + Run(u8"B．内存断电后数据不丢失") +
                        "<w:r><w:tab/></w:r>" + Run(u8"C．硬盘属于输出设备") + "<w:r><w:tab/></w:r>" +
                        Run(u8"D．鼠标属于输出设备"));
    } else {
      for (const char* option : {u8"A．CPU是中央处理器", u8"B．内存断电后数据不丢失", u8"C．硬盘属于输出设备",
                                 u8"D．鼠标属于输出设备"}) {
        body += Paragraph(Run(option));
      }
    }
    if (q <= questions / 2) {
      body += Paragraph(Run(u8"答案：A"));
    } else {
      key += std::to_string(q) + u8"．A　";
    }
  }
  body += Paragraph(Run(u8"参考答案")) + Paragraph(Run(key));
  zip.Add("[Content_Types].xml",
          "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"><Override "
          "PartName=\"/word/document.xml\" ContentType=\"application/"
          "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/></Types>");
  zip.Add("word/document.xml",
          "<w:document " + w +
              " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\""
              " xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\""
              " xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\""
              " xmlns:pic=\"http://schemas.openxmlformats.org/drawingml/2006/picture\"><w:body>" +
              body + "</w:body></w:document>");
  zip.Add("word/styles.xml",
          "<w:styles " + w + "><w:docDefaults><w:rPrDefault><w:rPr><w:rFonts w:ascii=\"Times New Roman\" "
          "w:eastAsia=\"SimSun\"/><w:sz w:val=\"21\"/></w:rPr></w:rPrDefault></w:docDefaults></w:styles>");
  rels += "<Relationship Id=\"rStyles\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
          "relationships/styles\" Target=\"styles.xml\"/></Relationships>";
  zip.Add("word/_rels/document.xml.rels", rels);
  return zip.Finish();
}

}  // namespace

int main(int argc, char** argv) {
  const int questions = argc > 1 ? std::atoi(argv[1]) : 1000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
  int pictures = 0;
  const std::vector<unsigned char> paper = Paper(questions, &pictures);

  int small = 0;
  std::size_t saved = 0;
  const double import = velmor::bench::BestProcessorTime(rounds, [&] {
    velmor::QuestionBank bank;
    const velmor::DocxImport imported = velmor::ImportChoiceDocx(paper.data(), paper.size(), "x", bank);
    velmor::MemorySink sink;
    if (imported.refusal != velmor::DocxRefusal::kNone || !bank.SaveTo(sink)) std::abort();
    small = imported.report.smallQuestions;
    saved = sink.bytes().size();
  });
  if (small != questions) {
    std::fprintf(stderr, "read %d questions of %d\n", small, questions);
    return 1;
  }
  // The pictures alone, read from the package and scaled to the size they are shown at.
  const double decode = velmor::bench::BestProcessorTime(rounds, [&] {
    velmor::ZipArchive zip;
    if (!zip.Open(paper.data(), paper.size())) std::abort();
    std::string bytes;
    for (int picture = 1; picture <= pictures; ++picture) {
      const velmor::ZipEntry* entry = zip.Find("word/media/image" + std::to_string(picture) + ".png");
      if (!entry || !zip.Read(*entry, bytes)) std::abort();
      const int shown = picture % 2 ? 2 : 1;
      if (velmor::ImportPicture(bytes, kPictureWidth / shown, kPictureHeight / shown).record.empty()) std::abort();
    }
  });
  std::printf("docx import: %d questions, %d pictures of %d x %d, package %.1f MB, bank %.1f MB\n", questions,
              pictures, kPictureWidth, kPictureHeight, paper.size() / 1e6, saved / 1e6);
  std::printf("  import and save: %.3f s (goal: under 2 s; %.2f of the goal)\n", import, import / 2.0);
  std::printf("  the pictures alone, decoded and scaled: %.3f s (%.0f %% of the import)\n", decode,
              import > 0 ? 100.0 * decode / import : 0.0);
  return import < 2.0 ? 0 : 1;
}
