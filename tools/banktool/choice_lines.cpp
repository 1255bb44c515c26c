#include "tools/banktool/choice_lines.h"

#include <charconv>

namespace velmor::choice {

bool StartsWith(std::string_view text, std::string_view head) {
  return text.substr(0, head.size()) == head;
}

// Without blanks at either end: ASCII blanks, CR and the full-width space.
std::string_view Trimmed(std::string_view text) {
  for (;;) {
    if (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '\r')) {
      text.remove_prefix(1);
    } else if (StartsWith(text, u8"\u3000")) {
      text.remove_prefix(3);
    } else {
      break;
    }
  }
  for (;;) {
    if (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
      text.remove_suffix(1);
    } else if (text.size() >= 3 && text.substr(text.size() - 3) == u8"\u3000") {
      text.remove_suffix(3);
    } else {
      break;
    }
  }
  return text;
}

// A letter A-Z, half- or full-width, at the start of `text`: its index and its length.
std::optional<int> LetterAt(std::string_view text, std::size_t* length) {
  if (text.empty()) return std::nullopt;
  char c = text[0];
  if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  if (c >= 'A' && c <= 'Z') {
    *length = 1;
    return c - 'A';
  }
  // Full-width Ａ..Ｚ (U+FF21..U+FF3A): EF BC A1..BA; ａ..ｚ: EF BD 81..9A.
  if (text.size() >= 3 && static_cast<unsigned char>(text[0]) == 0xEF) {
    unsigned char second = static_cast<unsigned char>(text[1]);
    unsigned char third = static_cast<unsigned char>(text[2]);
    *length = 3;
    if (second == 0xBC && third >= 0xA1 && third <= 0xBA) return third - 0xA1;
    if (second == 0xBD && third >= 0x81 && third <= 0x9A) return third - 0x81;
  }
  return std::nullopt;
}

// The separator after an option letter or a question number, and its length.
std::size_t SeparatorAt(std::string_view text) {
  for (std::string_view separator : {".", ")", u8"．", u8"、", u8"）"}) {
    if (StartsWith(text, separator)) return separator.size();
  }
  return 0;
}

// "A. text": the letter and the text after the separator.
std::optional<int> OptionLine(std::string_view line, std::string* text) {
  std::size_t letterLength = 0;
  std::optional<int> letter = LetterAt(line, &letterLength);
  if (!letter) return std::nullopt;
  std::size_t separator = SeparatorAt(line.substr(letterLength));
  if (separator == 0) return std::nullopt;
  *text = std::string(Trimmed(line.substr(letterLength + separator)));
  return letter;
}

// The letters of "ANSWER: B" or "答案：AC"; nullopt when the line is no answer line.
std::optional<std::string_view> AnswerLine(std::string_view line) {
  for (std::string_view head : {u8"答案：", u8"答案:"}) {
    if (StartsWith(line, head)) return Trimmed(line.substr(head.size()));
  }
  if (line.size() < 6) return std::nullopt;
  std::string word(line.substr(0, 6));
  for (char& c : word) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  }
  if (word != "ANSWER") return std::nullopt;
  std::string_view rest = Trimmed(line.substr(6));
  for (std::string_view colon : {":", u8"："}) {
    if (StartsWith(rest, colon)) return Trimmed(rest.substr(colon.size()));
  }
  return std::nullopt;
}

// A question line: a leading number "12." is left out, a trailing "（5分）" read as the score
// (1 when missing; when its number is too large for a score, 1 and `badScore` set).
bool NumberedQuestion(std::string_view line, std::string* text, int32_t* score,
                      std::string* badScore) {
  std::size_t digits = 0;
  while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9') ++digits;
  bool numbered = false;
  if (digits > 0 && digits < 6) {
    std::size_t separator = SeparatorAt(line.substr(digits));
    if (separator > 0) {
      line = Trimmed(line.substr(digits + separator));
      numbered = true;
    }
  }
  *score = 1;
  for (auto [open, close] : {std::pair<std::string_view, std::string_view>{u8"（", u8"分）"},
                             {"(", u8"分)"}}) {
    if (line.size() <= close.size() || line.substr(line.size() - close.size()) != close) continue;
    std::size_t start = line.rfind(open);
    if (start == std::string_view::npos) continue;
    std::string_view number = line.substr(start + open.size(),
                                          line.size() - close.size() - start - open.size());
    if (number.empty() || number.find_first_not_of("0123456789") != std::string_view::npos) {
      continue;
    }
    auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), *score);
    if (error != std::errc() || end != number.data() + number.size()) {
      *score = 1;
      *badScore = std::string(number);
    }
    line = Trimmed(line.substr(0, start));
    break;
  }
  *text = std::string(line);
  return numbered;
}

}  // namespace velmor::choice
