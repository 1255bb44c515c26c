#include <gtest/gtest.h>

#include <algorithm>
#include <string_view>
#include <vector>

#include "common/richtext/rich_content.h"
#include "tarvik/model/question_bank.h"
#include "tests/support/test_files.h"
#include "tools/banktool/banktool.h"
#include "tools/banktool/choice_text.h"
#include "tools/banktool/paper_export.h"

namespace velmor {
namespace {

using test::TempDir;

std::string Stem(const BigQuestion& question) {
  return ParseRichContent(question.content.data(), question.content.size()).text;
}

// Both layouts in one text, with a fault on known lines; the texts are UTF-8 here and GBK in
// the bank.
TEST(ChoiceImport, ReadsBothLayoutsAndReportsEachFaultByLine) {
  const std::string text = u8"【分类】计算机基础\n"                       // 1
                           u8"1. 下列设备中，属于输入设备的是（ ）（5分）\n"  // 2
                           u8"A．键盘\n"                                // 3
                           u8"B、显示器\n"                              // 4
                           u8"答案：A\n"                                // 5
                           u8"\n"                                       // 6
                           u8"【大题】阅读下面的材料，回答问题。\n"        // 7
                           u8"2. 哪些是存储设备？（4分）\n"               // 8
                           u8"A) 硬盘\n"                                // 9
                           u8"B) 鼠标\n"                                // 10
                           u8"C) U盘\n"                                 // 11
                           u8"答案：AC\n"                               // 12
                           u8"3. 没有选项的题\n"                          // 13
                           u8"4. 答案字母多了（2分）\n"                    // 14
                           u8"A．对\n"                                  // 15
                           u8"答案：AD\n"                               // 16
                           u8"【分类】Aiken\n"                           // 17
                           "What is 2 + 2?\n"                           // 18
                           "A. 3\n"                                     // 19
                           "B. 4\n"                                     // 20
                           "ANSWER: B\n"                                // 21
                           "\n"                                         // 22
                           "ANSWER: C\n";                               // 23
  QuestionBank bank;
  ImportReport report = ImportChoiceText(text, "default", bank);
  EXPECT_EQ(report.problems, (std::vector<std::string>{
                                 "line 13: a question without options, skipped",
                                 "line 16: answer D has no option",
                                 "line 23: an answer without a question, skipped"}));
  EXPECT_EQ(report.categories, 2);
  EXPECT_EQ(report.bigQuestions, 3);
  EXPECT_EQ(report.smallQuestions, 4);

  ASSERT_EQ(bank.categories().size(), 2u);
  const Category& first = bank.categories()[0];
  EXPECT_EQ(first.name.text(), "计算机基础");
  ASSERT_EQ(first.questions.size(), 2u);
  // A question of its own: its text is the stem and the one small question.
  const BigQuestion& own = first.questions[0];
  EXPECT_EQ(Stem(own), "下列设备中，属于输入设备的是（ ）");
  ASSERT_EQ(own.smallQuestions.size(), 1u);
  const SmallQuestion& device = own.smallQuestions[0];
  EXPECT_EQ(device.text.text(), "下列设备中，属于输入设备的是（ ）");
  EXPECT_EQ(device.score, 5);
  EXPECT_EQ(device.singleChoice, 1);
  ASSERT_EQ(device.options.size(), 2u);
  EXPECT_EQ(device.options[0].text.text(), "键盘");
  EXPECT_EQ(device.options[0].isAnswer, 1);
  EXPECT_EQ(device.options[1].text.text(), "显示器");
  EXPECT_EQ(device.options[1].isAnswer, 0);
  // The 【大题】 holds what follows it.
  const BigQuestion& reading = first.questions[1];
  EXPECT_EQ(Stem(reading), "阅读下面的材料，回答问题。");
  ASSERT_EQ(reading.smallQuestions.size(), 2u);
  EXPECT_EQ(reading.smallQuestions[0].singleChoice, 0);
  EXPECT_EQ(reading.smallQuestions[0].score, 4);
  EXPECT_EQ(reading.smallQuestions[0].options[2].text.text(), "U盘");
  EXPECT_EQ(reading.smallQuestions[0].options[2].isAnswer, 1);
  EXPECT_EQ(reading.smallQuestions[1].score, 2);
  EXPECT_EQ(reading.smallQuestions[1].options[0].isAnswer, 1);
  const BigQuestion& aiken = bank.categories()[1].questions.at(0);
  EXPECT_EQ(aiken.smallQuestions.at(0).score, 1);
  EXPECT_EQ(aiken.smallQuestions[0].options.at(1).isAnswer, 1);
}

// Texts longer than their fields are cut on a character boundary, and told.
TEST(ChoiceImport, CutsLongTextsOnACharacterBoundary) {
  std::string longText;
  for (int i = 0; i < 70; ++i) longText += u8"字";
  QuestionBank bank;
  ImportReport report = ImportChoiceText(longText + "\nA. " + longText + "\nANSWER: A\n", "x", bank);
  EXPECT_EQ(report.problems, (std::vector<std::string>{"line 1: the question cut to 127 bytes",
                                                       "line 1: an option cut to 127 bytes"}));
  const SmallQuestion& small = bank.categories().at(0).questions.at(0).smallQuestions.at(0);
  EXPECT_EQ(small.text.text().size(), 126u);
  EXPECT_EQ(Stem(bank.categories()[0].questions[0]).size(), 140u) << "the stem holds it all";
}

// Nothing is lost without a word: each character that cannot be read, each zero byte and each
// score too large for its field is reported with its line, and the question is still read.
TEST(ChoiceImport, WhatCannotBeReadIsReportedWithItsLine) {
  auto utf16 = [](std::u16string_view text) {
    std::string bytes = "\xff\xfe";
    for (char16_t unit : text) bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    return bytes;
  };
  struct Case {
    const char* name;
    std::string text;
    std::vector<std::string> problems;
    std::string question, option;  // as the bank holds them (GBK)
    int32_t score;
  };
  const Case kCases[] = {
      {"a lone surrogate in UTF-16", utf16(u"Q\nA. x\xd800y\nANSWER: A\n"),
       {"line 2: 1 character could not be read as GBK and became ?"}, "Q", "x?y", 1},
      {"GBK after a UTF-8 mark", "\xef\xbb\xbf" "1. \xcc\xe2\nA. a\nANSWER: A",
       {"line 1: 2 characters could not be read as GBK and became ?"}, "??", "a", 1},
      {"a byte that is no GBK", "Q\xff\nA. \xcc\xe2\nANSWER: A",
       {"line 1: 1 character could not be read as GBK and became ?"}, "Q?", "题", 1},
      {"zero bytes", std::string("Qu\0est\0ion\nA. a\nANSWER: A", 25),
       {"line 1: 2 zero bytes left out"}, "Question", "a", 1},
      {"a score too large", u8"1. 题（99999999999分）\nA. 甲\n答案：A",
       {"line 1: the score 99999999999 is too large; 1 is given"}, "题", "甲", 1},
      {"the largest score", u8"1. 题（2147483647分）\nA. 甲\n答案：A", {}, "题", "甲", 2147483647},
  };
  for (const Case& test : kCases) {
    SCOPED_TRACE(test.name);
    QuestionBank bank;
    ImportReport report = ImportChoiceText(test.text, "x", bank);
    EXPECT_EQ(report.problems, test.problems);
    EXPECT_EQ(report.problemCount, static_cast<int>(test.problems.size()));
    ASSERT_EQ(report.smallQuestions, 1);
    const SmallQuestion& small = bank.categories().at(0).questions.at(0).smallQuestions.at(0);
    EXPECT_EQ(small.text.text(), test.question);
    EXPECT_EQ(small.options.at(0).text.text(), test.option);
    EXPECT_EQ(small.score, test.score);
  }
}

// A text of endless faults is reported in full for its first 100, then counted.
TEST(ChoiceImport, ManyProblemsAreCountedNotKept) {
  TempDir dir;
  const std::string text = u8"题\nA. 甲\n答案：" + std::string(200000, 'Z') + "\n";
  test::WriteFileBytes(dir.File("z.txt"), test::Bytes(text.begin(), text.end()));
  BanktoolResult result = RunBanktool({"import", dir.File("z.txt"), dir.File("z.lst")});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 101) << result.err.substr(0, 200);
  EXPECT_EQ(result.err.substr(0, 35), "line 3: answer Z has no option\nline");
  EXPECT_NE(result.err.find("and 199901 more problems\n"), std::string::npos);
}

TEST(ChoiceImport, AikenComesBackAsItWentIn) {
  TempDir dir;
  // The example of the format as learning platforms publish it, with both option styles.
  const std::string published =
      "What is the correct answer to this question?\nA. Is it this one?\nB. Maybe this answer?\n"
      "C. Possibly this one?\nD. Must be this one!\nANSWER: D\n\n"
      "Which LMS has the most quiz import formats?\nA) Moodle\nB) ATutor\nC) Claroline\n"
      "D) Blackboard\nE) WebCT\nF) Ilias\nANSWER: A\n";
  const std::string aiken = std::string(u8"中文题目？\nA. 甲\nB. 乙\nANSWER: B\n\n") +
                            "Second?\nA. yes\nB. no\nC. maybe\nANSWER: C\n\n";
  test::WriteFileBytes(dir.File("published.txt"), test::Bytes(published.begin(), published.end()));
  test::WriteFileBytes(dir.File("mine.txt"), test::Bytes(aiken.begin(), aiken.end()));
  BanktoolResult imported = RunBanktool({"import", dir.File("published.txt"), dir.File("p.lst")});
  EXPECT_EQ(imported.exitCode, 0) << imported.err;
  EXPECT_EQ(imported.err, "");
  imported = RunBanktool({"import", dir.File("mine.txt"), dir.File("m.lst")});
  EXPECT_EQ(imported.exitCode, 0) << imported.err;
  BanktoolResult exported = RunBanktool({"export-aiken", dir.File("m.lst"), dir.File("m.txt")});
  EXPECT_EQ(exported.exitCode, 0) << exported.err;
  test::Bytes back = test::ReadFileBytes(dir.File("m.txt"));
  EXPECT_EQ(std::string(back.begin(), back.end()), aiken);

  // What Aiken cannot carry is listed and left out; nothing is written from an empty text.
  const std::string chinese = std::string(u8"1. 多选（2分）\nA. 甲\nB. 乙\n答案：AB\n") +
                              u8"2. 没有答案\nA. 甲\n";
  test::WriteFileBytes(dir.File("c.txt"), test::Bytes(chinese.begin(), chinese.end()));
  EXPECT_EQ(RunBanktool({"import", dir.File("c.txt"), dir.File("c.lst")}).exitCode, 1);
  exported = RunBanktool({"export-aiken", dir.File("c.lst"), dir.File("c-out.txt")});
  EXPECT_EQ(exported.exitCode, 1);
  EXPECT_EQ(exported.err, "left out: category 1, question 1.1: more than one answer\n"
                          "left out: category 1, question 2.1: no answer\n");
  // A line break inside a text cannot start a line of its own: every text is one line, and a
  // question that would still read as an option or an ANSWER line is left out.
  QuestionBank hostile;
  hostile.AddCategory("c");
  const std::vector<std::pair<std::string, std::string>> kQuestions = {
      {"Capital of France?", "London\nANSWER: B\n\nWhat is 1+1?\nA. 2"},
      {"ANSWER: A", "x"},
      {"B. looks like an option", "x"},
      {"Two\r\nlines", "fine"},
  };
  for (const auto& [question, option] : kQuestions) {
    const int big = static_cast<int>(hostile.categories()[0].questions.size());
    ASSERT_TRUE(hostile.AddBigQuestion(0, big + 1, BuildRichContent(0, "", {}, {}), 0, 0));
    ASSERT_TRUE(hostile.AddSmallQuestion(0, big, question, 1, 1));
    ASSERT_TRUE(hostile.AddOption(0, big, 0, option, 0, 1, 0, 0));
    ASSERT_TRUE(hostile.AddOption(0, big, 0, "Paris", 0, 0, 0, 0));
  }
  ASSERT_TRUE(hostile.Save(dir.File("h.lst")));
  exported = RunBanktool({"export-aiken", dir.File("h.lst"), dir.File("h.txt")});
  EXPECT_EQ(exported.exitCode, 1);
  EXPECT_EQ(exported.err, "left out: category 1, question 2.1: its text would be read as an ANSWER line\n"
                          "left out: category 1, question 3.1: its text would be read as an option\n");
  back = test::ReadFileBytes(dir.File("h.txt"));
  EXPECT_EQ(std::string(back.begin(), back.end()),
            "Capital of France?\nA. London ANSWER: B  What is 1+1? A. 2\nB. Paris\nANSWER: A\n\n"
            "Two lines\nA. fine\nB. Paris\nANSWER: A\n\n");

  test::WriteFileBytes(dir.File("empty.txt"), test::Bytes{'\n'});
  EXPECT_EQ(RunBanktool({"import", dir.File("empty.txt"), dir.File("e.lst")}).exitCode, 2);
  EXPECT_FALSE(test::FileExists(dir.File("e.lst")));
}

// The letters of each small question's answers in bank order, "A|BC|".
std::string AnswerKey(const QuestionBank& bank) {
  std::string key;
  bool first = true;
  for (const Category& category : bank.categories()) {
    for (const BigQuestion& big : category.questions) {
      for (const SmallQuestion& small : big.smallQuestions) {
        if (!first) key += '|';
        first = false;
        for (std::size_t o = 0; o < small.options.size(); ++o) {
          if (small.options[o].isAnswer) key += static_cast<char>('A' + o);
        }
      }
    }
  }
  return key;
}

// A paper as a teacher types it: a title block, headings with their notes of scores, numbers
// in full width, a stem of two lines round a blank one with the score at its end, options on
// one line, an explanation, and material that the questions after it belong to.
TEST(ChoiceImport, ReadsThePaperAsATeacherWritesIt) {
  const std::string text = u8"期末考试\n"                        // 1 the title block
                           u8"班级：＿＿　姓名：＿＿\n"             // 2
                           u8"\n"                                // 3
                           u8"一、选择题（每题2分，共4分）\n"       // 4 a category
                           u8"（本大题共2小题）\n"                 // 5 its note
                           u8"１．看图回答：\n"                    // 6
                           u8"\n"                                // 7
                           u8"图中是什么动物？（2分）\n"             // 8 the stem goes on
                           u8"A．猫\tB．狗\n"                     // 9
                           u8"答案：B\n"                          // 10
                           u8"解析：看耳朵。\n"                    // 11
                           u8"2. 哪些是输入设备？\n"               // 12
                           u8"A. 键盘 B. 鼠标　C．显示器\n"         // 13
                           u8"答案：AB\n"                         // 14
                           u8"孤立的一行\n"                        // 15 no question follows
                           u8"二、阅读\n"                          // 16
                           u8"阅读下面的材料。\n"                   // 17 material
                           u8"材料正文。\n"                        // 18
                           u8"3. 材料讲了什么？（3分）\n"           // 19
                           u8"A. 甲\nB. 乙\n答案：A\n"             // 20-22
                           u8"4. 还有吗？\nA. 有  B. 没有\n答案：B\n"  // 23-25
                           u8"另一段材料。\n"                      // 26 material again
                           u8"5. 第五题\nA. x B. y\n答案：A\n";     // 27-29
  QuestionBank bank;
  bank.SetTitle("file name");
  ImportReport report = ImportChoiceText(text, "default", bank);
  EXPECT_EQ(report.problems, (std::vector<std::string>{"line 15: a question without options, skipped"}));
  EXPECT_EQ(report.categories, 2);
  EXPECT_EQ(report.bigQuestions, 4);
  EXPECT_EQ(report.smallQuestions, 5);
  EXPECT_EQ(report.explanations, 1);
  EXPECT_EQ(bank.title().text(), "期末考试");
  ASSERT_EQ(bank.categories().size(), 2u);
  EXPECT_EQ(bank.categories()[0].name.text(), "选择题");
  EXPECT_EQ(bank.categories()[1].name.text(), "阅读");
  const std::vector<BigQuestion>& first = bank.categories()[0].questions;
  ASSERT_EQ(first.size(), 2u);
  EXPECT_EQ(Stem(first[0]), "看图回答：\r\n图中是什么动物？");
  const SmallQuestion& picture = first[0].smallQuestions.at(0);
  EXPECT_EQ(picture.text.text(), "看图回答： 图中是什么动物？");
  EXPECT_EQ(picture.score, 2);
  ASSERT_EQ(picture.options.size(), 2u);
  EXPECT_EQ(picture.options[1].text.text(), "狗");
  const SmallQuestion& devices = first[1].smallQuestions.at(0);
  ASSERT_EQ(devices.options.size(), 3u);
  EXPECT_EQ(devices.options[0].text.text(), "键盘");
  EXPECT_EQ(devices.options[1].text.text(), "鼠标");
  EXPECT_EQ(devices.options[2].text.text(), "显示器");
  EXPECT_EQ(devices.singleChoice, 0);
  const std::vector<BigQuestion>& reading = bank.categories()[1].questions;
  ASSERT_EQ(reading.size(), 2u);
  EXPECT_EQ(Stem(reading[0]), "阅读下面的材料。\r\n材料正文。");
  ASSERT_EQ(reading[0].smallQuestions.size(), 2u);
  EXPECT_EQ(reading[0].smallQuestions[0].text.text(), "材料讲了什么？");
  EXPECT_EQ(reading[0].smallQuestions[0].score, 3);
  EXPECT_EQ(reading[0].smallQuestions[1].options.at(1).text.text(), "没有");
  EXPECT_EQ(Stem(reading[1]), "另一段材料。");
  ASSERT_EQ(reading[1].smallQuestions.size(), 1u);
  EXPECT_EQ(AnswerKey(bank), "B|AB|A|B|A");
}

// The answer section at the end answers the numbered questions that have no answer of their
// own; whatever in it does not fit the paper is told, and the sound answers still count.
TEST(ChoiceImport, AnswerSectionAnswersByNumber) {
  const std::string kPaper = u8"一、选择\n"                           // 1
                             u8"1. 甲题\nA. a\nB. b\nC. c\n"          // 2-5
                             u8"2. 乙题\nA. a\nB. b\nC. c\n答案：B\n"  // 6-10
                             u8"3. 丙题\nA. a\nB. b\nC. c\n";         // 11-14
  // Numbered again from 1 under the second heading.
  const std::string kRestarted = u8"一、甲\n1. 题一\nA. a\nB. b\n二、乙\n1. 题二\nA. a\nB. b\n";
  struct Case {
    const char* name;
    std::string text;
    std::string key;
    std::vector<std::string> problems;
  };
  const Case kCases[] = {
      {"one answer after another", kPaper + u8"参考答案\n1．A　2．B　3．AC\n", "A|B|AC", {}},
      {"a range, one letter each", kPaper + u8"答案\n1-3 ABC\n", "A|B|C", {}},
      {"a range of groups", kPaper + u8"参考答案：\n1～3 A B AC\n", "A|B|AC", {}},
      {"the question's own answer wins", kPaper + u8"【参考答案】\n1．A 2．C 3．A 解析：略\n", "A|B|A",
       {"line 16: the answer section gives C for question 2, which answers B below itself; its own "
        "answer is kept"}},
      {"twice and a number the paper lacks", kPaper + u8"参考答案\n1．A 1．B\n3．C 7．D\n", "A|B|C",
       {"line 16: question 1 is answered twice in the answer section; the first answer is kept",
        "line 17: the answer section answers question 7, which the paper does not have"}},
      {"letters that fit nothing", kPaper + u8"参考答案\n1-3 AB\n3．D\n见课本\n", "|B|",
       {"line 2: a question without an answer", "line 11: a question without an answer",
        "line 16: the answers of 1-3 do not match its 3 questions, skipped", "line 17: answer D has no option",
        "line 18: a line of the answer section that holds no answers, skipped"}},
      {"numbers under their headings", kRestarted + u8"参考答案\n一、1．A\n二、1．B\n", "A|B", {}},
      {"a number printed twice", kRestarted + u8"参考答案\n1．A\n", "A|",
       {"line 6: another question is numbered 1; the answer section's answer went to the first",
        "line 6: a question without an answer"}},
  };
  for (const Case& test : kCases) {
    SCOPED_TRACE(test.name);
    QuestionBank bank;
    ImportReport report = ImportChoiceText(test.text, "x", bank);
    EXPECT_EQ(report.problems, test.problems);
    EXPECT_EQ(AnswerKey(bank), test.key);
  }
}

// What the Aiken layout cannot carry past the import's rules is left out, not misread.
TEST(ChoiceImport, AikenLeavesOutWhatWouldReadBackAsSomethingElse) {
  QuestionBank bank;
  bank.AddCategory("c");
  const std::vector<std::pair<std::string, std::string>> kQuestions = {
      {"一、像标题的题", "x"},  {"参考答案", "x"}, {"解析：题", "x"},
      {"普通的题", "伦敦　B．巴黎"}, {"没问题的题", "x B y"},
  };
  for (const auto& [question, option] : kQuestions) {
    const int big = static_cast<int>(bank.categories()[0].questions.size());
    ASSERT_TRUE(bank.AddBigQuestion(0, big + 1, BuildRichContent(0, "", {}, {}), 0, 0));
    ASSERT_TRUE(bank.AddSmallQuestion(0, big, question, 1, 1));
    ASSERT_TRUE(bank.AddOption(0, big, 0, option, 0, 1, 0, 0));
  }
  AikenExport exported = ExportAiken(bank);
  EXPECT_EQ(exported.leftOut, (std::vector<std::string>{
                                  "category 1, question 1.1: its text would be read as a heading",
                                  "category 1, question 2.1: its text would be read as an explanation or the "
                                  "answer section",
                                  "category 1, question 3.1: its text would be read as an explanation or the "
                                  "answer section",
                                  "category 1, question 4.1: an option would be read as several options"}));
  EXPECT_EQ(exported.text, u8"没问题的题\nA. x B y\nANSWER: A\n\n");
}

// The Base64 digits of a page decoded back to bytes.
std::vector<unsigned char> FromBase64(std::string_view digits) {
  const std::string kDigits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::vector<unsigned char> bytes;
  uint32_t bits = 0;
  int held = 0;
  for (char digit : digits) {
    if (digit == '=') break;
    bits = bits << 6 | static_cast<uint32_t>(kDigits.find(digit));
    if ((held += 6) >= 8) bytes.push_back(static_cast<unsigned char>(bits >> (held -= 8)));
  }
  return bytes;
}

uint32_t Le32(const std::vector<unsigned char>& bytes, std::size_t at) {
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | uint32_t{bytes[at + 3]} << 24;
}

// Every row width pads differently to four bytes, and a group of three bytes spans rows.
TEST(PaperStem, PicturesComeOutAsTheBitmapsTheyHold) {
  for (int32_t width = 1; width <= 5; ++width) {
    for (int32_t height = 1; height <= 3; ++height) {
      SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
      std::vector<unsigned char> pixels(static_cast<std::size_t>(3 * width * height));
      for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<unsigned char>(7 * i + 1);
      ContentBlock picture = MakePictureRecord(width, height, pixels.data());
      SetPicturePosition(picture, 1);
      ContentBlock blob = BuildRichContent(3, "a b", {}, {&picture});
      const std::string html = StemHtml(blob.data(), blob.size());
      const std::size_t start = html.find("base64,");
      ASSERT_NE(start, std::string::npos);
      const std::vector<unsigned char> bmp = FromBase64(
          std::string_view(html).substr(start + 7, html.find('"', start) - start - 7));
      const std::size_t stride = (3 * static_cast<std::size_t>(width) + 3) / 4 * 4;
      ASSERT_EQ(bmp.size(), 54 + stride * static_cast<std::size_t>(height));
      EXPECT_EQ(bmp[0], 'B');
      EXPECT_EQ(Le32(bmp, 2), bmp.size());
      EXPECT_EQ(Le32(bmp, 18), static_cast<uint32_t>(width));
      EXPECT_EQ(Le32(bmp, 22), static_cast<uint32_t>(height));
      for (int32_t y = 0; y < height; ++y) {  // stored bottom row first
        const unsigned char* row = &bmp[54 + stride * static_cast<std::size_t>(height - 1 - y)];
        EXPECT_TRUE(std::equal(row, row + 3 * width, pixels.begin() + 3 * width * y)) << "row " << y;
        EXPECT_TRUE(std::all_of(row + 3 * width, row + stride, [](unsigned char b) { return b == 0; }));
      }
      // The picture takes the place of its character; the text around it stays.
      EXPECT_NE(html.find(">a<img"), std::string::npos);
      EXPECT_NE(html.find("\">b</span>"), std::string::npos);
    }
  }
}

// A character with no place in the code page is replaced on its own: the one after it is
// still itself.
TEST(PaperStem, ACharacterThatDoesNotConvertKeepsItsNeighbour) {
  const std::string text = "\xA1\x81\xCC\xE2<&";  // unassigned, then 题 and two to escape
  ContentBlock blob = BuildRichContent(4, text, {}, {});
  const std::string html = StemHtml(blob.data(), blob.size());
  EXPECT_NE(html.find(u8"题&lt;&amp;</span>"), std::string::npos) << html;
  EXPECT_EQ(html.find(text), std::string::npos);
}

}  // namespace
}  // namespace velmor
