// The Word paper and the versions of a paper, read back as a reader of documents reads them.
#include <gtest/gtest.h>

#include <zlib.h>

#include <algorithm>
#include <map>
#include <set>

#include "common/base/text_encoding.h"
#include "common/office/office_document.h"
#include "common/richtext/rich_content.h"
#include "tarvik/model/question_bank.h"
#include "tests/support/test_files.h"
#include "tools/banktool/banktool.h"
#include "tools/banktool/docx_paper.h"
#include "tools/banktool/png_writer.h"

namespace velmor {
namespace {

using test::TempDir;

uint32_t Be32(const std::string& bytes, std::size_t at) {
  return uint32_t{static_cast<unsigned char>(bytes[at])} << 24 | uint32_t{static_cast<unsigned char>(bytes[at + 1])} << 16 |
         uint32_t{static_cast<unsigned char>(bytes[at + 2])} << 8 | static_cast<unsigned char>(bytes[at + 3]);
}

// Reads a PNG as the format describes it, every chunk's CRC checked: the RGB rows, unfiltered.
std::string DecodePng(const std::string& png, uint32_t* width, uint32_t* height) {
  EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  std::string header, packed;
  for (std::size_t at = 8; at + 12 <= png.size();) {
    const uint32_t length = Be32(png, at);
    const std::string type = png.substr(at + 4, 4);
    const auto* typed = reinterpret_cast<const Bytef*>(png.data() + at + 4);
    EXPECT_EQ(Be32(png, at + 8 + length), crc32(0, typed, 4 + length)) << type;
    if (type == "IHDR") header = png.substr(at + 8, length);
    if (type == "IDAT") packed += png.substr(at + 8, length);
    at += 12 + length;
  }
  EXPECT_EQ(header.substr(8), std::string("\x08\x02\0\0\0", 5));  // 8-bit RGB, not interlaced
  *width = Be32(header, 0);
  *height = Be32(header, 4);
  const std::size_t row = 3 * *width;
  std::string filtered((row + 1) * *height, '\0');
  uLongf size = static_cast<uLongf>(filtered.size());
  EXPECT_EQ(uncompress(reinterpret_cast<Bytef*>(filtered.data()), &size,
                       reinterpret_cast<const Bytef*>(packed.data()), static_cast<uLong>(packed.size())), Z_OK);
  std::string rgb(row * *height, '\0');
  for (std::size_t y = 0; y < *height; ++y) {
    const int filter = filtered[y * (row + 1)];
    for (std::size_t x = 0; x < row; ++x) {
      const int left = x >= 3 ? static_cast<unsigned char>(rgb[y * row + x - 3]) : 0;
      const int up = y > 0 ? static_cast<unsigned char>(rgb[(y - 1) * row + x]) : 0;
      const int upLeft = x >= 3 && y > 0 ? static_cast<unsigned char>(rgb[(y - 1) * row + x - 3]) : 0;
      const int p = left + up - upLeft;
      const int paeth = std::abs(p - left) <= std::abs(p - up) && std::abs(p - left) <= std::abs(p - upLeft) ? left
                        : std::abs(p - up) <= std::abs(p - upLeft)                                          ? up
                                                                                                            : upLeft;
      const int predicted[] = {0, left, up, (left + up) / 2, paeth};
      rgb[y * row + x] = static_cast<char>(filtered[y * (row + 1) + 1 + x] + predicted[filter]);
    }
  }
  return rgb;
}

// Pixels of every kind of row: flat, gradients, noise; widths that end mid-word.
TEST(PaperPng, DecodesToThePicturesPixelsInRedGreenBlue) {
  for (const auto& [width, height] : std::vector<std::pair<int, int>>{{1, 1}, {7, 3}, {33, 17}}) {
    SCOPED_TRACE(width);
    std::string bgr;
    uint32_t noise = 1;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        noise = noise * 1103515245u + 12345u;
        bgr += static_cast<char>(y < 5 ? 200 : noise >> 24);  // blue
        bgr += static_cast<char>(x * 7);                     // green
        bgr += static_cast<char>(y * 11 + x);                // red
      }
    }
    uint32_t decodedWidth = 0, decodedHeight = 0;
    const std::string rgb = DecodePng(EncodePng(width, height, reinterpret_cast<const unsigned char*>(bgr.data())),
                                      &decodedWidth, &decodedHeight);
    EXPECT_EQ(decodedWidth, static_cast<uint32_t>(width));
    EXPECT_EQ(decodedHeight, static_cast<uint32_t>(height));
    std::string expected = bgr;
    for (std::size_t at = 0; at < expected.size(); at += 3) std::swap(expected[at], expected[at + 2]);
    EXPECT_TRUE(rgb == expected) << "the pixels differ";
  }
}

ContentBlock Stem(const std::string& text, const ContentBlock* picture) {
  int32_t characters = 0;
  for (std::size_t i = 0; i < text.size(); ++i, ++characters) {
    if (static_cast<unsigned char>(text[i]) >= 0x81 || (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) ++i;
  }
  if (!picture) return BuildRichContent(characters, text, {}, {});
  ContentBlock placed = picture->Clone();
  SetPicturePosition(placed, characters);
  return BuildRichContent(characters + 1, text + " ", {}, {&placed});
}

std::vector<std::string> TextLines(const std::vector<unsigned char>& docx) {
  OfficeDocument document;
  std::string text;
  EXPECT_TRUE(document.Open(docx.data(), docx.size()) && document.TextView(text));
  std::vector<std::string> lines;
  for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2) {
    lines.push_back(text.substr(at, end - at));
  }
  return lines;
}

// What a reader of the document sees, line by line: numbers and letters as text, a stem
// repeated by its one small question printed once, options side by side when they fit, the
// key, the page numbers; one picture file for a picture shown twice.
TEST(PaperDocx, ReadsBackLineByLineAsThePaper) {
  const std::string pixels(3 * 4 * 2, '\x40');
  const ContentBlock picture = MakePictureRecord(4, 2, reinterpret_cast<const unsigned char*>(pixels.data()));
  QuestionBank bank;
  bank.SetTitle("期末 <&> 测试");
  bank.AddCategory("选择题");
  bank.AddBigQuestion(0, 1, Stem("阅读材料。\r\n第二段\x01", &picture), 0, 0);
  const std::vector<std::pair<const char*, std::vector<const char*>>> smalls = {
      {"第一问", {"甲", "乙", "丙", "丁"}},
      {"第二问", {"一个很长很长很长很长的选项甲", "一个很长很长很长很长的选项乙", "一个很长很长很长很长的选项丙"}},
      {"第三问", {"短", "一个很长很长很长很长很长很长很长很长很长很长很长很长很长很长很长很长很长的选项"}},
  };
  for (std::size_t s = 0; s < smalls.size(); ++s) {
    bank.AddSmallQuestion(0, 0, smalls[s].first, s != 1, 5 - 2 * static_cast<int>(s));
    for (std::size_t o = 0; o < smalls[s].second.size(); ++o) {
      bank.AddOption(0, 0, static_cast<int>(s), smalls[s].second[o], 0, s == 1 || o == 1, 0, 0);
    }
  }
  bank.AddBigQuestion(0, 2, Stem("1+1=?", &picture), 0, 0);
  bank.AddSmallQuestion(0, 1, "1+1=?", 1, 2);
  bank.AddOption(0, 1, 0, "2", 0, 1, 0, 0);
  bank.AddOption(0, 1, 0, "3", 0, 0, 0, 0);
  for (int c = 2; c <= 11; ++c) bank.AddCategory("c" + std::to_string(c));

  const std::vector<unsigned char> docx = ExportPaperDocx(bank, true);
  const std::vector<std::string> expected = {
      u8"期末 <&> 测试",
      u8"姓名：＿＿＿＿＿＿　　得分：＿＿＿＿（满分 11 分）",
      u8"一、选择题",
      u8"阅读材料。",
      u8"第二段",
      u8"1．第一问（单选，5分）",
      u8"A．甲\tB．乙\tC．丙\tD．丁",
      u8"2．第二问（多选，3分）",
      u8"A．一个很长很长很长很长的选项甲\tB．一个很长很长很长很长的选项乙",
      u8"C．一个很长很长很长很长的选项丙",
      u8"3．第三问（单选，1分）",
      u8"A．短",
      u8"B．一个很长很长很长很长很长很长很长很长很长很长很长很长很长很长很长很长很长的选项",
      u8"4．1+1=?（单选，2分）",
      u8"",  // the picture of the stem, after its question
      u8"A．2\tB．3",
      u8"二、c2", u8"三、c3", u8"四、c4", u8"五、c5", u8"六、c6", u8"七、c7", u8"八、c8", u8"九、c9", u8"十、c10",
      u8"十一、c11",
      u8"参考答案",
      u8"1．B\t2．ABC\t3．B\t4．A",
      u8"第 1 页，共 1 页",
  };
  EXPECT_EQ(TextLines(docx), expected);

  ZipArchive zip;
  ASSERT_TRUE(zip.Open(docx.data(), docx.size()));
  std::string document;
  ASSERT_TRUE(zip.Read(*zip.Find("word/document.xml"), document));
  std::size_t drawings = 0;
  for (std::size_t at = 0; (at = document.find("<wp:inline", at)) != std::string::npos; ++at) ++drawings;
  EXPECT_EQ(drawings, 2u);
  int pictures = 0;
  for (const ZipEntry& entry : zip.entries()) pictures += entry.name.rfind("word/media/", 0) == 0;
  EXPECT_EQ(pictures, 1);
  EXPECT_NE(document.find("<wp:extent cx=\"38100\" cy=\"19050\"/>"), std::string::npos);  // 4 x 2 at 96 dpi
}

// A bank for the versions: question texts "qC-B-S", option texts "qC-B-S oO"; the last option
// of every question speaks of the others, and so does the second of question 1-2-0.
std::string VersionsBank(const TempDir& dir) {
  QuestionBank bank;
  bank.SetTitle("单元测试");
  for (int c = 0; c < 2; ++c) {
    bank.AddCategory("类" + std::to_string(c));
    for (int b = 0; b < 6; ++b) {
      bank.AddBigQuestion(c, 10 * c + b + 1, Stem("材料" + std::to_string(b), nullptr), 0, 0);
      for (int s = 0; s < (b == 2 ? 2 : 1); ++s) {
        const std::string question = "q" + std::to_string(c) + "-" + std::to_string(b) + "-" + std::to_string(s);
        bank.AddSmallQuestion(c, b, question, b % 2, 1 + b);
        for (int o = 0; o < 5; ++o) {
          std::string option = question + " o" + std::to_string(o);
          if (o == 4) option += "以上都对";
          if (o == 1 && question == "q1-2-0") option += "上述";
          bank.AddOption(c, b, s, option, 0, (o + b) % 3 == 0, 0, 0);
        }
      }
    }
  }
  const std::string path = dir.File("bank.lst");
  EXPECT_TRUE(bank.Save(path));
  return path;
}

struct PrintedQuestion {
  std::string text;                  // without its number, type and score
  int category = 0;                  // from 1, by the headings above it
  std::map<std::string, std::string> options;  // letter: text
};

// The questions of a paper as its text view shows them (UTF-8).
std::vector<PrintedQuestion> ReadPaper(const std::vector<std::string>& lines) {
  std::vector<PrintedQuestion> questions;
  int category = 0;
  for (const std::string& line : lines) {
    const std::size_t dot = line.find(u8"．");
    if (line.find(u8"、") != std::string::npos && line.find(u8"类") != std::string::npos) ++category;
    if (dot == std::string::npos || line == u8"参考答案" || line.find(u8"（A卷）") != std::string::npos) continue;
    if (line[0] >= '0' && line[0] <= '9' && line.find(u8"分）") != std::string::npos) {
      EXPECT_EQ(line.substr(0, dot), std::to_string(questions.size() + 1)) << line;
      questions.push_back({line.substr(dot + 3, line.rfind(u8"（") - dot - 3), category, {}});
    } else if (line[0] >= 'A' && line[0] <= 'Z' && !questions.empty()) {
      for (std::size_t at = 0, end; at < line.size(); at = end + 1) {
        end = std::min(line.find('\t', at), line.size());
        const std::string cell = line.substr(at, end - at);
        const std::size_t separator = cell.find(u8"．");
        questions.back().options[cell.substr(0, separator)] = cell.substr(separator + 3);
      }
    }
  }
  return questions;
}

// Each version holds every question once, in its own category, with its own options; the key
// row of each printed question names the question it was and the letters its answers have in
// that version; an option that speaks of the others keeps its letter; the same seed makes the
// same bytes, another seed other versions.
TEST(PaperVersions, ShuffleQuestionsAndOptionsUnderTheirOwnKey) {
  TempDir dir;
  const std::string bankPath = VersionsBank(dir);
  QuestionBank bank;
  ASSERT_TRUE(bank.Load(bankPath));
  std::vector<PrintedQuestion> original;  // by the number in the paper unshuffled
  std::vector<std::set<std::string>> answers;
  for (std::size_t c = 0; c < bank.categories().size(); ++c) {
    for (const BigQuestion& big : bank.categories()[c].questions) {
      for (const SmallQuestion& small : big.smallQuestions) {
        original.push_back({GbkToUtf8(small.text.text()), static_cast<int>(c) + 1, {}});
        answers.emplace_back();
        for (std::size_t o = 0; o < small.options.size(); ++o) {
          original.back().options[std::string(1, static_cast<char>('A' + o))] = GbkToUtf8(small.options[o].text.text());
          if (small.options[o].isAnswer) answers.back().insert(GbkToUtf8(small.options[o].text.text()));
        }
      }
    }
  }

  const BanktoolResult made = RunBanktool({"export-docx", bankPath, dir.File("paper.docx"), "--versions", "3", "--seed", "2024"});
  ASSERT_EQ(made.exitCode, 0) << made.err;
  EXPECT_NE(made.out.find("seed 2024"), std::string::npos);
  EXPECT_FALSE(test::FileExists(dir.File("paper.docx")));
  const test::Bytes keyBytes = test::ReadFileBytes(dir.File("paper-key.csv"));
  const std::string key(keyBytes.begin(), keyBytes.end());
  ASSERT_EQ(key.substr(0, 3), "\xEF\xBB\xBF");
  std::vector<std::string> rows;
  for (std::size_t at = key.find("\r\n") + 2, end; (end = key.find("\r\n", at)) != std::string::npos; at = end + 2) {
    rows.push_back(key.substr(at, end - at));
  }
  ASSERT_EQ(rows.size(), 3 * original.size());
  bool questionsMoved = false, optionsMoved = false;
  for (int v = 0; v < 3; ++v) {
    const std::string letter(1, static_cast<char>('A' + v));
    SCOPED_TRACE("version " + letter);
    const std::vector<std::string> lines = TextLines(test::ReadFileBytes(dir.File("paper-" + letter + ".docx")));
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines[0].find(u8"（" + letter + u8"卷）"), std::string::npos) << lines[0];
    const std::vector<PrintedQuestion> printed = ReadPaper(lines);
    ASSERT_EQ(printed.size(), original.size());
    std::set<int> seen;
    for (std::size_t n = 0; n < printed.size(); ++n) {
      const std::string& row = rows[v * printed.size() + n];
      SCOPED_TRACE(row);
      const std::size_t comma1 = row.find(','), comma2 = row.find(',', comma1 + 1), comma3 = row.find(',', comma2 + 1);
      ASSERT_NE(comma3, std::string::npos);
      EXPECT_EQ(row.substr(0, comma1), letter);
      EXPECT_EQ(row.substr(comma1 + 1, comma2 - comma1 - 1), std::to_string(n + 1));
      const int was = std::stoi(row.substr(comma2 + 1, comma3 - comma2 - 1));
      ASSERT_TRUE(was >= 1 && was <= static_cast<int>(original.size()));
      EXPECT_TRUE(seen.insert(was).second) << "printed twice";
      const PrintedQuestion& source = original[was - 1];
      EXPECT_EQ(printed[n].text, source.text);
      EXPECT_EQ(printed[n].category, source.category);
      questionsMoved |= was != static_cast<int>(n) + 1;
      std::string expectedLetters;
      std::multiset<std::string> shown, held;
      for (const auto& [optionLetter, text] : printed[n].options) {
        shown.insert(text);
        if (answers[was - 1].count(text)) expectedLetters += optionLetter;
        const bool staysPut = text.find(u8"以上") != std::string::npos || text.find(u8"上述") != std::string::npos;
        if (staysPut) {
          EXPECT_EQ(source.options.at(optionLetter), text);
        }
        optionsMoved |= source.options.at(optionLetter) != text;
      }
      for (const auto& option : source.options) held.insert(option.second);
      EXPECT_EQ(shown, held);
      EXPECT_EQ(row.substr(comma3 + 1), expectedLetters);
    }
  }
  EXPECT_TRUE(questionsMoved);
  EXPECT_TRUE(optionsMoved);

  // The same seed in another folder: the same bytes; another seed: another key.
  TempDir again;
  for (const char* seed : {"2024", "2025"}) {
    ASSERT_EQ(RunBanktool({"export-docx", bankPath, again.File("paper.docx"), "--versions", "3", "--seed", seed}).exitCode, 0);
    for (const char* name : {"paper-A.docx", "paper-B.docx", "paper-C.docx", "paper-key.csv"}) {
      EXPECT_EQ(test::ReadFileBytes(again.File(name)) == test::ReadFileBytes(dir.File(name)), seed == std::string("2024"))
          << seed << " " << name;
    }
  }
}

// Versions are written whole or not at all: when one cannot be written, none takes its place
// and what was there stays; wrong numbers are wrong usage.
TEST(PaperVersions, AVersionThatCannotBeWrittenLeavesEveryFileAsItWas) {
  TempDir dir;
  const std::string bankPath = VersionsBank(dir);
  test::WriteFileBytes(dir.File("paper-A.html"), {'o', 'l', 'd'});
  test::MakeFolder(dir.File("paper-B.html"));
  const BanktoolResult failed = RunBanktool({"export-html", bankPath, dir.File("paper.html"), "--versions", "2"});
  EXPECT_EQ(failed.exitCode, 2);
  EXPECT_NE(failed.err.find("paper-B.html"), std::string::npos) << failed.err;
  EXPECT_EQ(test::ReadFileBytes(dir.File("paper-A.html")), (test::Bytes{'o', 'l', 'd'}));
  EXPECT_EQ(test::ListFolder(dir.path()), (std::vector<std::string>{"bank.lst", "paper-A.html", "paper-B.html"}));
  for (const std::vector<std::string>& extra : std::vector<std::vector<std::string>>{
           {"--versions", "0"}, {"--versions", "27"}, {"--versions", "2x"}, {"--seed", "5"},
           {"--versions", "2", "--seed", "-1"}, {"--answers", "--answers"}, {"--versions"}}) {
    std::vector<std::string> args = {"export-docx", bankPath, dir.File("p.docx")};
    args.insert(args.end(), extra.begin(), extra.end());
    EXPECT_EQ(RunBanktool(args).exitCode, 64) << extra[0] << " " << extra.back();
  }
}

// A paper with its key, imported again, is the bank it was made from: categories, big
// questions (a question standing alone, its stem formatted and with a picture; material of two
// paragraphs and a picture before its small questions), small questions with their type (a
// several-answer question with one answer too) and score, options and answers.
TEST(PaperDocx, ImportsBackAsTheBankItWasMadeFrom) {
  TempDir dir;
  const std::string pixels(3 * 6 * 5, '\x7f');
  const ContentBlock picture = MakePictureRecord(6, 5, reinterpret_cast<const unsigned char*>(pixels.data()));
  QuestionBank bank;
  bank.SetTitle("期中测试");
  bank.AddCategory("单项选择题");
  FormatRun bold;  // the stem's first two characters bold and red
  bold.end = 2;
  const unsigned char format[] = {60, 0, 0, 0, 0x41, 0, 0, 0x40, 1, 0, 0, 0, 240, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0};
  std::copy(std::begin(format), std::end(format), bold.format.begin());
  ContentBlock placed = picture.Clone();
  SetPicturePosition(placed, 8);  // in the place of the last character, as the control keeps it
  bank.AddBigQuestion(0, 1, BuildRichContent(9, "计算：1+1=? ", {bold}, {&placed}), 0, 0);
  bank.AddSmallQuestion(0, 0, "计算：1+1=?", 1, 2);
  for (const char* option : {"1", "2", "3", "以上都不对"}) bank.AddOption(0, 0, 0, option, 0, option[0] == '2', 0, 0);
  bank.AddBigQuestion(0, 2, Stem("阅读下面的材料。\r\n材料：甲乙丙丁", &picture), 0, 0);
  bank.AddSmallQuestion(0, 1, "下列说法正确的是", 0, 4);  // several answers allowed, one right
  for (const char* option : {"甲先于乙", "丙在最后", "丁在最后"}) bank.AddOption(0, 1, 0, option, 0, option[0] == "丁"[0] && option[1] == "丁"[1], 0, 0);
  bank.AddSmallQuestion(0, 1, "共有几项", 1, 3);
  for (const char* option : {"三项", "四项"}) bank.AddOption(0, 1, 1, option, 0, option[0] == "四"[0], 0, 0);
  bank.AddCategory("阅读理解");
  bank.AddBigQuestion(1, 3, Stem("阅读短文，回答问题。", nullptr), 0, 0);
  bank.AddSmallQuestion(1, 0, "短文的主旨是什么", 0, 6);
  for (const char* option : {"一个很长很长很长很长很长很长很长很长很长很长很长很长很长很长很长的选项", "热爱劳动", "珍惜时间"}) {
    bank.AddOption(1, 0, 0, option, 0, option[0] != "热"[0], 0, 0);
  }
  const std::string bankPath = dir.File("bank.lst");
  ASSERT_TRUE(bank.Save(bankPath));

  ASSERT_EQ(RunBanktool({"export-docx", bankPath, dir.File("paper.docx"), "--answers"}).exitCode, 0);
  const BanktoolResult imported = RunBanktool({"import", dir.File("paper.docx"), dir.File("again.lst")});
  EXPECT_EQ(imported.exitCode, 0) << imported.err;
  QuestionBank again;
  ASSERT_TRUE(again.Load(dir.File("again.lst")));
  ASSERT_EQ(again.categories().size(), bank.categories().size());
  for (std::size_t c = 0; c < bank.categories().size(); ++c) {
    const Category& made = bank.categories()[c];
    const Category& read = again.categories()[c];
    EXPECT_EQ(read.name, made.name);
    ASSERT_EQ(read.questions.size(), made.questions.size()) << c;
    for (std::size_t b = 0; b < made.questions.size(); ++b) {
      const std::vector<SmallQuestion>& smalls = made.questions[b].smallQuestions;
      ASSERT_EQ(read.questions[b].smallQuestions.size(), smalls.size()) << c << "-" << b;
      for (std::size_t s = 0; s < smalls.size(); ++s) {
        const SmallQuestion& small = read.questions[b].smallQuestions[s];
        SCOPED_TRACE(GbkToUtf8(smalls[s].text.text()));
        EXPECT_EQ(small.text, smalls[s].text);
        EXPECT_EQ(small.singleChoice, smalls[s].singleChoice);
        EXPECT_EQ(small.score, smalls[s].score);
        ASSERT_EQ(small.options.size(), smalls[s].options.size());
        for (std::size_t o = 0; o < small.options.size(); ++o) {
          EXPECT_EQ(small.options[o].text, smalls[s].options[o].text);
          EXPECT_EQ(small.options[o].isAnswer, smalls[s].options[o].isAnswer);
        }
      }
    }
  }
}

}  // namespace
}  // namespace velmor
