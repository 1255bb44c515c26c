// Writes the seeds of the docx_load fuzzer into a folder: two whole Word documents (one of
// plain paragraphs by our document writer, one with styles, formats and a PNG by our zip
// writer), and for each picture (a PNG, a BMP and a GIF made here, and any picture files named
// after the folder) the fuzzer's other form: two bytes of length, a document.xml, the picture.
//   make_docx_corpus FOLDER [PICTURE...]
// The JPEG seeds come from ImageMagick: convert -size 16x12 gradient:red-blue small.jpg, and
// the same with -interlace JPEG (progressive.jpg).
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/office/document_writer.h"
#include "common/office/zip_archive.h"
#include "tools/banktool/png_writer.h"

namespace {

const char kDocument[] =
    u8"<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
    u8"xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\" "
    u8"xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\" "
    u8"xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\"><w:body>"
    u8"<w:p><w:r><w:t>期末试卷</w:t></w:r></w:p>"
    u8"<w:p><w:r><w:t>一、选择题（每题2分）</w:t></w:r></w:p>"
    u8"<w:p><w:pPr><w:pStyle w:val=\"H\"/></w:pPr><w:r><w:rPr><w:b/><w:color w:val=\"FF0000\"/>"
    u8"<w:rFonts w:eastAsia=\"黑体\"/><w:sz w:val=\"28\"/></w:rPr><w:t>阅读材料</w:t></w:r></w:p>"
    u8"<w:p><w:r><w:drawing><wp:inline><wp:extent cx=\"76200\" cy=\"57150\"/><a:graphic><a:graphicData>"
    u8"<a:blip r:embed=\"rId1\"/></a:graphicData></a:graphic></wp:inline></w:drawing></w:r></w:p>"
    u8"<w:p><w:r><w:t>１．看图（2分）</w:t></w:r></w:p>"
    u8"<w:p><w:r><w:t xml:space=\"preserve\">A．甲</w:t></w:r><w:r><w:tab/><w:t>B．乙</w:t></w:r>"
    u8"<w:r><w:br/><w:t>C．丙　D．丁</w:t></w:r></w:p>"
    u8"<w:p><w:r><w:t>解析：略</w:t></w:r></w:p>"
    u8"<w:tbl><w:tr><w:tc><w:p><w:r><w:t>2. 表中题</w:t></w:r></w:p></w:tc><w:tc><w:p><w:r><w:t>A. x</w:t></w:r>"
    u8"</w:p></w:tc></w:tr></w:tbl>"
    u8"<w:p><w:r><w:t>参考答案</w:t></w:r></w:p><w:p><w:r><w:t>1-2 AB 3．C</w:t></w:r></w:p>"
    u8"</w:body></w:document>";

void Write(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Text(const std::vector<unsigned char>& bytes) { return std::string(bytes.begin(), bytes.end()); }

std::string Split(const std::string& xml, const std::string& picture) {
  std::string seed;
  seed += static_cast<char>(xml.size() & 0xFF);
  seed += static_cast<char>((xml.size() >> 8) & 0x7F);
  return seed + xml + picture;
}

std::string Bmp() {  // 2 x 2, 24 bits
  auto le = [](unsigned value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i));
    return out;
  };
  const std::string row("\0\0\xff\xff\0\0\0\0", 8);
  return "BM" + le(54 + 16, 4) + le(0, 4) + le(54, 4) + le(40, 4) + le(2, 4) + le(2, 4) + le(1, 2) +
         le(24, 2) + le(0, 4) + le(16, 4) + le(2835, 4) + le(2835, 4) + le(0, 4) + le(0, 4) + row + row;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: make_docx_corpus FOLDER [PICTURE...]\n");
    return 64;
  }
  const std::string folder = argv[1];
  std::vector<unsigned char> bgr;
  for (int i = 0; i < 6 * 4; ++i) bgr.insert(bgr.end(), {static_cast<unsigned char>(40 * (i % 6)), 0, 200});
  const std::string png = velmor::EncodePng(6, 4, bgr.data());
  const std::string gif("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00"
                        ",\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;",
                        35);

  Write(folder + "/plain.docx", Text(velmor::WriteWordDocument(
                                    {u8"试卷", u8"1. 题目（5分）", u8"A．键盘　B．显示器", u8"答案：A",
                                     u8"What is 2 + 2?", "A. 3", "B. 4", "ANSWER: B"})));
  velmor::ZipWriter word;
  word.Add("[Content_Types].xml",
           "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"><Override "
           "PartName=\"/word/document.xml\" ContentType=\"application/"
           "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/></Types>");
  word.Add("word/document.xml", kDocument);
  word.Add("word/_rels/document.xml.rels",
           "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
           "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
           "relationships/image\" Target=\"media/image1.png\"/></Relationships>");
  word.Add("word/media/image1.png", png);
  Write(folder + "/picture.docx", Text(word.Finish()));

  Write(folder + "/split_png", Split(kDocument, png));
  Write(folder + "/split_bmp", Split(kDocument, Bmp()));
  Write(folder + "/split_gif", Split(kDocument, gif));
  for (int i = 2; i < argc; ++i) {
    std::ifstream in(argv[i], std::ios::binary);
    const std::string picture((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string name(argv[i]);
    name = name.substr(name.rfind('/') + 1);
    Write(folder + "/split_" + name.substr(0, name.find('.')), Split(kDocument, picture));
  }
  return 0;
}
