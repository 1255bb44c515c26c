// The line rules of the choice-question texts, in UTF-8: what reads as an option, an answer,
// a numbered question with its score, a section heading, an explanation, and the lines of an
// answer section. The import reads lines by them; the Aiken export checks with them that what
// it writes reads back as it was meant. Texts handed back are views into the line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmor::choice {

bool StartsWith(std::string_view text, std::string_view head);

// Without blanks at either end: ASCII blanks, CR and the full-width space.
std::string_view Trimmed(std::string_view text);

// A letter A-Z, half- or full-width, at the start of `text`: its index and its length.
std::optional<int> LetterAt(std::string_view text, std::size_t* length);

// The separator after an option letter or a question number, and its length.
std::size_t SeparatorAt(std::string_view text);

// "A. text": the letter and the text after the separator.
std::optional<int> OptionLine(std::string_view line, std::string_view* text);

// The options that follow the first one on its line, "A．键盘　B．显示器　C．鼠标": each next
// letter in turn (an upper-case one) after a blank, a full-width blank or a tab, with its
// separator. `text` is what OptionLine gave for the first option; the result starts with the
// first option's own text, then one text for each letter after it.
std::vector<std::string_view> SplitOptions(std::string_view text, int firstLetter);

// The letters of "ANSWER: B", "答案：AC" or "【答案】A"; nullopt when the line is no answer line.
std::optional<std::string_view> AnswerLine(std::string_view line);

// A question line: a leading number "12." or "１２．" is left out (and given in `number` when
// there is one), a trailing "（5分）" read as the score (1 when missing; when its number is too
// large for a score, 1 and `badScore` set). The type may stand before the score, as papers
// print it, "（单选，5分）" or "（多选，5分）": then `singleChoice` is set to 1 or 0 (it is left
// as it was when the line does not tell). True when the line is numbered.
bool NumberedQuestion(std::string_view line, std::string_view* text, int32_t* score,
                      std::string* badScore, int* number = nullptr, int* singleChoice = nullptr);

// A heading of the paper, "一、单项选择题（每题2分，共20分）": its name without the note of
// scores ("单项选择题") and the value of its Chinese numeral.
bool HeadingLine(std::string_view line, std::string_view* name, int* number);

// A line that only notes the scores of the heading above it: "（每小题2分，共20分）".
bool HeadingNote(std::string_view line);

// "解析：…" or "【解析】…": the explanation of a question, which a bank does not hold.
bool ExplanationLine(std::string_view line);

// The line that starts the answer section at the end of a paper: "参考答案", "答案",
// "【参考答案】", "参考答案及解析", "四、参考答案" and the like. ("答案：" alone and "【答案】"
// alone are answer lines of their own.)
bool AnswerSectionStart(std::string_view line);

// The answers of an answer section line, "1．A　2．C　3．BD" or "1-5 ACDBB" (a range: one
// letter, or one group of letters between blanks, to each number), letters as "A".."Z". What
// cannot be read from the first entry that fails on is left in `rest`; a range whose letters
// do not fit its numbers is told in `problems` and skipped.
struct AnswerEntry {
  int number = 0;
  std::string letters;
};
void AnswerEntries(std::string_view line, std::vector<AnswerEntry>* entries,
                   std::string_view* rest, std::vector<std::string>* problems);

}  // namespace velmor::choice
