#include "tools/banktool/choice_lines.h"

#include <charconv>
#include <utility>

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


namespace {

// A blank between the parts of a line: a space, a tab or the full-width space; its length.
std::size_t BlankAt(std::string_view text) {
  if (!text.empty() && (text[0] == ' ' || text[0] == '\t')) return 1;
  return StartsWith(text, u8"\u3000") ? 3 : 0;
}

std::string_view SkipBlanks(std::string_view text) {
  while (std::size_t length = BlankAt(text)) text.remove_prefix(length);
  return text;
}

// A digit 0-9, half- or full-width (U+FF10..U+FF19: EF BC 90..99), and its length.
std::optional<int> DigitAt(std::string_view text, std::size_t* length) {
  if (!text.empty() && text[0] >= '0' && text[0] <= '9') {
    *length = 1;
    return text[0] - '0';
  }
  if (text.size() >= 3 && static_cast<unsigned char>(text[0]) == 0xEF &&
      static_cast<unsigned char>(text[1]) == 0xBC && static_cast<unsigned char>(text[2]) >= 0x90 &&
      static_cast<unsigned char>(text[2]) <= 0x99) {
    *length = 3;
    return static_cast<unsigned char>(text[2]) - 0x90;
  }
  return std::nullopt;
}

// A number of at most five digits at the start of `text`; its length in bytes is `*length`.
std::optional<int> NumberAt(std::string_view text, std::size_t* length) {
  int value = 0;
  int digits = 0;
  std::size_t at = 0;
  std::size_t digitLength = 0;
  while (std::optional<int> digit = DigitAt(text.substr(at), &digitLength)) {
    if (++digits > 5) return std::nullopt;
    value = value * 10 + *digit;
    at += digitLength;
  }
  if (digits == 0) return std::nullopt;
  *length = at;
  return value;
}

// An upper-case letter, half- or full-width, as an answer or an option in a line is written.
std::optional<int> CapitalAt(std::string_view text, std::size_t* length) {
  if (text.empty() || (text[0] >= 'a' && text[0] <= 'z')) return std::nullopt;
  if (text.size() >= 3 && static_cast<unsigned char>(text[0]) == 0xEF &&
      static_cast<unsigned char>(text[1]) == 0xBD) {
    return std::nullopt;  // a full-width lower-case letter
  }
  return LetterAt(text, length);
}

// The value of a Chinese numeral of up to four characters, "三" 3, "十二" 12, "二十" 20, and
// its length; nullopt when the text does not start with one.
std::optional<int> ChineseNumberAt(std::string_view text, std::size_t* length) {
  static const std::string_view kDigits[] = {u8"〇", u8"一", u8"二", u8"三", u8"四",
                                             u8"五", u8"六", u8"七", u8"八", u8"九"};
  int value = 0;
  int current = 0;
  int characters = 0;
  std::size_t at = 0;
  for (;; ++characters) {
    std::string_view rest = text.substr(at);
    if (StartsWith(rest, u8"十")) {
      value += (current == 0 ? 1 : current) * 10;
      current = 0;
      at += 3;
      continue;
    }
    int digit = -1;
    for (int d = 0; d < 10; ++d) {
      if (StartsWith(rest, kDigits[d])) digit = d;
    }
    if (StartsWith(rest, u8"零")) digit = 0;
    if (digit < 0) break;
    current = digit;
    at += 3;
  }
  if (characters == 0 || characters > 4) return std::nullopt;
  *length = at;
  return value + current;
}

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// Whether a heading's note tells of scores: "（每题2分，共20分）", "：本大题共12小题".
bool ScoreNote(std::string_view note) {
  return Contains(note, u8"分") || Contains(note, u8"小题") || Contains(note, u8"每题");
}

}  // namespace

// "A. text": the letter and the text after the separator.
std::optional<int> OptionLine(std::string_view line, std::string_view* text) {
  std::size_t letterLength = 0;
  std::optional<int> letter = LetterAt(line, &letterLength);
  if (!letter) return std::nullopt;
  std::size_t separator = SeparatorAt(line.substr(letterLength));
  if (separator == 0) return std::nullopt;
  *text = Trimmed(line.substr(letterLength + separator));
  return letter;
}

std::vector<std::string_view> SplitOptions(std::string_view text, int firstLetter) {
  std::vector<std::string_view> options;
  int next = firstLetter + 1;
  std::size_t start = 0;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t blank = BlankAt(text.substr(at));
    if (blank == 0) {
      ++at;
      continue;
    }
    const std::size_t after = text.size() - SkipBlanks(text.substr(at)).size();
    std::size_t letterLength = 0;
    std::optional<int> letter = CapitalAt(text.substr(after), &letterLength);
    std::size_t separator = letter ? SeparatorAt(text.substr(after + letterLength)) : 0;
    if (letter && *letter == next && separator > 0) {
      options.push_back(Trimmed(text.substr(start, at - start)));
      start = after + letterLength + separator;
      ++next;
    }
    at = after;
  }
  options.push_back(Trimmed(text.substr(start)));
  return options;
}

// The letters of "ANSWER: B", "答案：AC" or "【答案】A"; nullopt when the line is no answer line.
std::optional<std::string_view> AnswerLine(std::string_view line) {
  for (std::string_view head : {u8"答案：", u8"答案:", u8"【答案】"}) {
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

bool NumberedQuestion(std::string_view line, std::string_view* text, int32_t* score,
                      std::string* badScore, int* number, int* singleChoice) {
  std::size_t digits = 0;
  bool numbered = false;
  if (std::optional<int> value = NumberAt(line, &digits)) {
    std::size_t separator = SeparatorAt(line.substr(digits));
    if (separator > 0) {
      line = Trimmed(line.substr(digits + separator));
      numbered = true;
      if (number) *number = *value;
    }
  }
  *score = 1;
  for (auto [open, close] : {std::pair<std::string_view, std::string_view>{u8"（", u8"分）"},
                             {"(", u8"分)"}}) {
    if (line.size() <= close.size() || line.substr(line.size() - close.size()) != close) continue;
    std::size_t start = line.rfind(open);
    if (start == std::string_view::npos) continue;
    std::string_view value = line.substr(start + open.size(),
                                         line.size() - close.size() - start - open.size());
    int kind = -1;
    for (auto [type, single] : {std::pair<std::string_view, int>{u8"单选，", 1}, {u8"多选，", 0}}) {
      if (StartsWith(value, type)) {
        value.remove_prefix(type.size());
        kind = single;
      }
    }
    if (value.empty() || value.find_first_not_of("0123456789") != std::string_view::npos) {
      continue;
    }
    auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), *score);
    if (error != std::errc() || end != value.data() + value.size()) {
      *score = 1;
      *badScore = std::string(value);
    }
    if (kind >= 0 && singleChoice) *singleChoice = kind;
    line = Trimmed(line.substr(0, start));
    break;
  }
  *text = line;
  return numbered;
}

bool HeadingLine(std::string_view line, std::string_view* name, int* number) {
  std::size_t length = 0;
  std::optional<int> value = ChineseNumberAt(line, &length);
  if (!value || !StartsWith(line.substr(length), u8"、")) return false;
  std::string_view title = Trimmed(line.substr(length + 3));
  // The note of scores starts at the first bracket or colon whose rest tells of them.
  for (std::size_t at = 0; at < title.size(); ++at) {
    for (std::string_view mark : {u8"（", "(", u8"：", ":"}) {
      if (StartsWith(title.substr(at), mark) && at > 0 && ScoreNote(title.substr(at))) {
        title = Trimmed(title.substr(0, at));
        break;
      }
    }
  }
  if (title.empty()) return false;
  *name = title;
  *number = *value;
  return true;
}

bool HeadingNote(std::string_view line) {
  const bool bracketed = (StartsWith(line, u8"（") && line.size() > 3 &&
                          line.substr(line.size() - 3) == u8"）") ||
                         (StartsWith(line, "(") && line.back() == ')');
  return bracketed && ScoreNote(line);
}

bool ExplanationLine(std::string_view line) {
  for (std::string_view head : {u8"解析：", u8"解析:", u8"【解析】", u8"[解析]"}) {
    if (StartsWith(line, head)) return true;
  }
  return false;
}

bool AnswerSectionStart(std::string_view line) {
  std::size_t numeral = 0;
  if (ChineseNumberAt(line, &numeral) && StartsWith(line.substr(numeral), u8"、")) {
    line = Trimmed(line.substr(numeral + 3));
  }
  bool colon = false;
  for (std::string_view mark : {u8"：", ":"}) {
    if (line.size() > mark.size() && line.substr(line.size() - mark.size()) == mark) {
      line = Trimmed(line.substr(0, line.size() - mark.size()));
      colon = true;
    }
  }
  bool bracketed = false;
  if (StartsWith(line, u8"【") && line.size() > 6 && line.substr(line.size() - 3) == u8"】") {
    line = line.substr(3, line.size() - 6);
    bracketed = true;
  }
  if (line == u8"答案") return !colon && !bracketed;
  for (std::string_view title : {u8"参考答案", u8"参考答案及解析", u8"参考答案与解析",
                                 u8"答案及解析", u8"答案与解析"}) {
    if (line == title) return true;
  }
  return false;
}

void AnswerEntries(std::string_view line, std::vector<AnswerEntry>* entries,
                   std::string_view* rest, std::vector<std::string>* problems) {
  auto skipSeparators = [](std::string_view text) {
    for (;;) {
      text = SkipBlanks(text);
      bool skipped = false;
      for (std::string_view mark : {",", u8"，", ";", u8"；"}) {
        if (StartsWith(text, mark)) {
          text.remove_prefix(mark.size());
          skipped = true;
        }
      }
      if (!skipped) return text;
    }
  };
  // Letters in a row, "BD"; appended to `letters`, and the text after them.
  auto readLetters = [](std::string_view text, std::string* letters) {
    std::size_t length = 0;
    while (std::optional<int> letter = CapitalAt(text, &length)) {
      *letters += static_cast<char>('A' + *letter);
      text.remove_prefix(length);
    }
    return text;
  };
  auto endsEntry = [](std::string_view text) {
    std::size_t length = 0;
    return text.empty() || BlankAt(text) > 0 || DigitAt(text, &length) ||
           StartsWith(text, ",") || StartsWith(text, u8"，") || StartsWith(text, ";") ||
           StartsWith(text, u8"；") || ExplanationLine(text);
  };
  std::string_view text = line;
  for (;;) {
    text = skipSeparators(text);
    *rest = text;
    if (text.empty()) return;
    std::size_t length = 0;
    std::optional<int> first = NumberAt(text, &length);
    if (!first) return;
    std::string_view after = SkipBlanks(text.substr(length));
    int last = *first;
    for (std::string_view dash : {"-", u8"－", u8"—", u8"–", "~", u8"～"}) {
      if (!StartsWith(after, dash)) continue;
      std::optional<int> to = NumberAt(SkipBlanks(after.substr(dash.size())), &length);
      if (!to) return;
      after = SkipBlanks(after.substr(dash.size())).substr(length);
      last = *to;
      break;
    }
    after = SkipBlanks(after);
    std::size_t separator = SeparatorAt(after);
    if (separator == 0 && (StartsWith(after, ":") || StartsWith(after, u8"："))) {
      separator = after[0] == ':' ? 1 : 3;
    }
    after = SkipBlanks(after.substr(separator));
    std::vector<std::string> groups(1);
    after = readLetters(after, &groups[0]);
    if (groups[0].empty() || !endsEntry(after)) return;
    if (last == *first) {
      entries->push_back(AnswerEntry{*first, groups[0]});
      text = after;
      continue;
    }
    // A range: further groups of letters after blanks belong to it.
    for (;;) {
      std::string_view next = skipSeparators(after);
      std::string group;
      std::string_view behind = readLetters(next, &group);
      if (group.empty() || !endsEntry(behind)) break;
      groups.push_back(group);
      after = behind;
    }
    text = after;
    const std::string range = std::to_string(*first) + "-" + std::to_string(last);
    const long count = static_cast<long>(last) - *first + 1;
    if (count < 1 || count > 1000) {
      problems->push_back("the range " + range + " holds no questions, skipped");
      continue;
    }
    if (groups.size() == 1 && static_cast<long>(groups[0].size()) == count) {
      for (long i = 0; i < count; ++i) {
        entries->push_back(AnswerEntry{*first + static_cast<int>(i), groups[0].substr(i, 1)});
      }
    } else if (static_cast<long>(groups.size()) == count) {
      for (long i = 0; i < count; ++i) {
        entries->push_back(AnswerEntry{*first + static_cast<int>(i), groups[i]});
      }
    } else {
      problems->push_back("the answers of " + range + " do not match its " + std::to_string(count) +
                          " questions, skipped");
    }
  }
}

}  // namespace velmor::choice
