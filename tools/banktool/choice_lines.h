// The line rules of the choice-question texts, in UTF-8: what reads as an option, an answer
// or a numbered question with its score. The import reads lines by them; the Aiken export
// checks with them that what it writes reads back as it was meant.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmor::choice {

bool StartsWith(std::string_view text, std::string_view head);

// Without blanks at either end: ASCII blanks, CR and the full-width space.
std::string_view Trimmed(std::string_view text);

// A letter A-Z, half- or full-width, at the start of `text`: its index and its length.
std::optional<int> LetterAt(std::string_view text, std::size_t* length);

// The separator after an option letter or a question number, and its length.
std::size_t SeparatorAt(std::string_view text);

// "A. text": the letter and the text after the separator.
std::optional<int> OptionLine(std::string_view line, std::string* text);

// The letters of "ANSWER: B" or "答案：AC"; nullopt when the line is no answer line.
std::optional<std::string_view> AnswerLine(std::string_view line);

// A question line: a leading number "12." is left out, a trailing "（5分）" read as the score
// (1 when missing; when its number is too large for a score, 1 and `badScore` set).
bool NumberedQuestion(std::string_view line, std::string* text, int32_t* score,
                      std::string* badScore);

}  // namespace velmor::choice
