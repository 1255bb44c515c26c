// The import of choice questions, line by line, into a question bank: the structure of a paper
// as a teacher writes it, from a text file's lines or a Word document's paragraphs.
//
//   title block  what stands before the first heading or question; its first line is the
//                bank's title
//   headings     "一、单项选择题（每题2分，共20分）" and "【分类】name" start a category (the note
//                of scores is left out, and so is a line of it alone right below the heading)
//   questions    "1. text（5分）" or "１．text"; "（单选，5分）" and "（多选，5分）", as the papers print
//                them, also give the type (else the number of answers tells it); the
//                paragraphs after it up to its first option belong to its stem; a question
//                outside a big question is a big question of its own, its text the stem and its
//                one small question
//   options      "A．text" (also "A.", "A、", "A)", "A）"), several on one line when each next
//                letter follows a blank or a tab
//   answers      "答案：AC", "【答案】A" or "ANSWER: B" below the question; or an answer section
//                at the end ("参考答案", then "1．A　2．C　3．BD" or "1-5 ACDBB"; "一、" lines in
//                it name the heading the numbers after them belong to). A question's own answer
//                wins over the section's.
//   big questions  "【大题】stem", or material: paragraphs that are none of the above and stand
//                between questions; the questions after it, up to the next material or heading,
//                are its small questions
//   explanations "解析：…" lines are left out and counted.
// Unnumbered questions (Aiken) are told from material by what follows them: an option line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/base/content_block.h"
#include "tarvik/model/question_bank.h"

namespace velmor {

struct ImportReport {
  std::vector<std::string> problems;  // "line N: ..." in UTF-8, the first 100 of them
  int problemCount = 0;               // all of them
  int categories = 0;
  int bigQuestions = 0;
  int smallQuestions = 0;
  int explanations = 0;               // "解析" lines left out
};

// What a run of a document says of its characters; what it does not say stays the editor's.
struct TextFormat {
  std::string face;        // UTF-8; empty: not said
  int32_t halfPoints = 0;  // the size in half-points; 0: not said
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool coloured = false;
  uint32_t rgb = 0;        // 0xRRGGBB when coloured
  bool eastAsian = false;  // Chinese characters: the face is set with the GB2312 character set

  bool operator==(const TextFormat& other) const;
};

struct TextSpan {
  std::size_t first = 0;  // bytes of the line's text
  std::size_t end = 0;
  TextFormat format;
};

// A picture standing before byte `at` of its line's text; `index` names it to the source.
struct LinePicture {
  std::size_t at = 0;
  std::size_t index = 0;
};

struct ImportLine {
  int number = 0;                     // the line or paragraph number problems are told by
  std::string text;                   // UTF-8
  std::vector<TextSpan> spans;        // in order and apart; none for a plain text
  std::vector<LinePicture> pictures;  // in order of `at`
  std::size_t replaced = 0;           // characters that could not be read and became "?"
  std::size_t zeros = 0;              // zero bytes left out
};

// The pictures of the lines, asked for only when a stem takes them.
class PictureSource {
 public:
  virtual ~PictureSource() = default;
  // The picture as a picture record, or an empty block when it cannot be had; in both cases
  // what the user is to be told of it goes in `problem` (nothing when all is well).
  virtual ContentBlock Picture(std::size_t index, std::string* problem) = 0;
};

// Reads the lines into `bank`, which should be empty. Categories before the first heading go
// into one named `defaultCategory` (UTF-8). Texts are stored in GBK, cut on a character
// boundary to their fields; stems are content blobs with the lines' formats and pictures.
// Every cut, every line skipped, every character and picture lost is reported with its line,
// named by `lineWord` ("line", "paragraph").
ImportReport ImportChoiceLines(std::vector<ImportLine> lines, std::string_view defaultCategory,
                               std::string_view lineWord, PictureSource* pictures,
                               QuestionBank& bank);

}  // namespace velmor
