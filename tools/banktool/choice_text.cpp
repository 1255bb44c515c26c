#include "tools/banktool/choice_text.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "common/base/gbk.h"
#include "common/base/text_encoding.h"
#include "common/richtext/rich_content.h"

namespace velmor {

namespace {

constexpr std::size_t kTextBytes = 127;  // a category, small question or option text
constexpr char kCategoryMark[] = u8"【分类】";
constexpr char kBigMark[] = u8"【大题】";
constexpr std::size_t kReportedProblems = 100;  // in full; the rest are only counted

struct ImportedOption {
  std::string text;  // UTF-8
  bool answer = false;
};

struct ImportedQuestion {
  int line = 0;
  std::string text;
  int32_t score = 1;
  std::vector<ImportedOption> options;
  bool answered = false;
  int answers = 0;
};

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

class Importer {
 public:
  Importer(std::string_view defaultCategory, QuestionBank& bank)
      : defaultCategory_(defaultCategory), bank_(bank) {}

  void Line(int number, std::string_view raw) {
    line_ = number;
    std::string_view line = Trimmed(raw);
    if (line.empty()) {
      Close();
      return;
    }
    if (StartsWith(line, kCategoryMark)) {
      Close();
      big_.reset();
      NewCategory(Trimmed(line.substr(sizeof kCategoryMark - 1)));
      return;
    }
    if (StartsWith(line, kBigMark)) {
      Close();
      big_ = std::string(Trimmed(line.substr(sizeof kBigMark - 1)));
      bigLine_ = number;
      bigAdded_ = false;
      return;
    }
    if (std::optional<std::string_view> letters = AnswerLine(line)) {
      Answer(*letters);
      return;
    }
    std::string text;
    if (open_ && !open_->answered) {
      if (std::optional<int> letter = OptionLine(line, &text)) {
        if (*letter == static_cast<int>(open_->options.size())) {
          open_->options.push_back(ImportedOption{text, false});
        } else {
          Problem("option " + std::string(1, static_cast<char>('A' + *letter)) +
                  " out of order, skipped");
        }
        return;
      }
    }
    int32_t score = 1;
    std::string badScore;
    const bool numbered = NumberedQuestion(line, &text, &score, &badScore);
    if (open_ && open_->options.empty() && !numbered && !open_->answered) {
      open_->text += " " + text;  // the question goes on
      return;
    }
    Close();
    if (!badScore.empty()) Problem("the score " + badScore + " is too large; 1 is given");
    open_ = ImportedQuestion{number, text, score, {}, false, 0};
  }

  // What was lost reading a line: characters that became "?" and zero bytes left out.
  void Losses(int number, std::size_t replaced, std::size_t zeros) {
    if (replaced > 0) {
      Problem(std::to_string(replaced) +
                  (replaced == 1 ? " character" : " characters") +
                  " could not be read as GBK and became ?",
              number);
    }
    if (zeros > 0) {
      Problem(std::to_string(zeros) + (zeros == 1 ? " zero byte" : " zero bytes") + " left out",
              number);
    }
  }

  ImportReport Finish() {
    line_ = 0;
    Close();
    return std::move(report_);
  }

 private:
  void Problem(const std::string& what, int line = 0) {
    ++report_.problemCount;
    if (report_.problems.size() < kReportedProblems) {
      report_.problems.push_back("line " + std::to_string(line ? line : line_) + ": " + what);
    }
  }

  void Answer(std::string_view letters) {
    if (!open_) {
      Problem("an answer without a question, skipped");
      return;
    }
    while (!letters.empty()) {
      std::size_t length = 1;
      std::optional<int> letter = LetterAt(letters, &length);
      if (!letter) {
        length = std::max<std::size_t>(1, SeparatorAt(letters));  // spaces, commas and the like
        letters.remove_prefix(std::min(length, letters.size()));
        continue;
      }
      if (*letter < static_cast<int>(open_->options.size())) {
        if (!open_->options[static_cast<std::size_t>(*letter)].answer) ++open_->answers;
        open_->options[static_cast<std::size_t>(*letter)].answer = true;
      } else {
        Problem("answer " + std::string(1, static_cast<char>('A' + *letter)) + " has no option");
      }
      letters.remove_prefix(length);
    }
    open_->answered = true;
  }

  std::string Gbk(std::string_view utf8, std::size_t limit, const char* what, int line) {
    std::string gbk = Utf8ToGbkLossy(utf8);
    if (gbk.size() > limit) {
      gbk.resize(GbkWholeLength(std::string_view(gbk).substr(0, limit)));
      Problem(std::string(what) + " cut to " + std::to_string(limit) + " bytes", line);
    }
    return gbk;
  }

  void NewCategory(std::string_view name) {
    bank_.AddCategory(Gbk(name, kTextBytes, "the category name", line_));
    ++report_.categories;
  }

  bool AddBig(std::string_view stem, int line) {
    if (bank_.categories().empty()) NewCategory(defaultCategory_);
    std::string text = Gbk(stem, kMaxRichTextBytes, "the stem", line);
    int32_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i, ++characters) {
      if (IsGbkLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ++i;
    }
    const int category = static_cast<int>(bank_.categories().size()) - 1;
    if (!bank_.AddBigQuestion(category, bank_.maxQuestionId() + 1,
                              BuildRichContent(characters, text, {}, {}), 0, 0)) {
      Problem("the big question could not be added", line);
      return false;
    }
    ++report_.bigQuestions;
    return true;
  }

  void Close() {
    if (!open_) return;
    ImportedQuestion question = std::move(*open_);
    open_.reset();
    if (question.options.empty()) {
      Problem("a question without options, skipped", question.line);
      return;
    }
    if (question.answers == 0) Problem("a question without an answer", question.line);
    if (big_) {
      if (!bigAdded_ && !(bigAdded_ = AddBig(*big_, bigLine_))) return;
    } else if (!AddBig(question.text, question.line)) {
      return;
    }
    const int category = static_cast<int>(bank_.categories().size()) - 1;
    const int big = static_cast<int>(bank_.categories().back().questions.size()) - 1;
    if (!bank_.AddSmallQuestion(category, big, Gbk(question.text, kTextBytes, "the question", question.line),
                                question.answers > 1 ? 0 : 1, question.score)) {
      Problem("the question could not be added", question.line);
      return;
    }
    const int small = static_cast<int>(bank_.categories().back().questions.back().smallQuestions.size()) - 1;
    for (const ImportedOption& option : question.options) {
      bank_.AddOption(category, big, small, Gbk(option.text, kTextBytes, "an option", question.line), 0,
                      option.answer ? 1 : 0, 0, 0);
    }
    ++report_.smallQuestions;
  }

  std::string defaultCategory_;
  QuestionBank& bank_;
  ImportReport report_;
  int line_ = 0;
  std::optional<ImportedQuestion> open_;
  std::optional<std::string> big_;  // the stem of the 【大题】 under way
  int bigLine_ = 0;
  bool bigAdded_ = false;
};

// A text (GBK) on one line: a line break (CR LF, CR or LF) and any other control character
// becomes one blank, so that nothing in a text can start a line of its own. (No GBK trail byte
// is a control character.)
std::string OneLine(std::string_view text) {
  std::string line;
  line.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    line += c < 0x20 || c == 0x7F ? ' ' : text[i];
  }
  return line;
}

// The stem's text (GBK) on one line.
std::string StemLine(const BigQuestion& question) {
  RichContentParts parts = ParseRichContent(question.content.data(), question.content.size());
  return OneLine(parts.text);
}

// Why a question line (UTF-8) would not be read back as a question; null when it would.
const char* MisreadQuestion(std::string_view line) {
  std::string_view text = Trimmed(line);
  std::string option;
  if (text.empty()) return "no question text";
  if (AnswerLine(text)) return "its text would be read as an ANSWER line";
  if (OptionLine(text, &option)) return "its text would be read as an option";
  return nullptr;
}

}  // namespace

ImportReport ImportChoiceText(std::string_view text, std::string_view defaultCategory,
                              QuestionBank& bank) {
  Importer importer(defaultCategory, bank);
  // Lines are cut in the file's own encoding (a line feed byte, or unit, ends one), then each
  // line becomes GBK, the bank's text, once; what could not be read is told with its line.
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  std::optional<DetectedText> unicode = DetectUnicodeText(bytes, text.size());
  const std::size_t unit = unicode && unicode->encoding != UnicodeText::kUtf8 ? 2 : 1;
  const bool bigEndian = unicode && unicode->encoding == UnicodeText::kUtf16BigEndian;
  std::size_t start = unicode ? unicode->markSize : 0;
  const std::size_t size = text.size() - (text.size() - start) % unit;
  auto isLineFeed = [&](std::size_t at) {
    return unit == 1 ? bytes[at] == '\n'
                     : bytes[at + (bigEndian ? 1 : 0)] == '\n' && bytes[at + (bigEndian ? 0 : 1)] == 0;
  };
  std::string gbk, utf8;
  int number = 0;
  while (start <= size) {
    std::size_t end = start;
    while (end < size && !isLineFeed(end)) end += unit;
    gbk.clear();
    std::size_t replaced = 0;
    if (unicode) {
      replaced = AppendAsGbk(unicode->encoding, bytes + start, end - start, gbk);
    } else {
      gbk.assign(text.substr(start, end - start));
    }
    const std::size_t zeros = static_cast<std::size_t>(std::count(gbk.begin(), gbk.end(), '\0'));
    gbk.erase(std::remove(gbk.begin(), gbk.end(), '\0'), gbk.end());
    utf8.clear();
    replaced += AppendGbkAsUtf8(gbk, utf8);
    importer.Losses(++number, replaced, zeros);
    importer.Line(number, utf8);
    start = end + unit;
  }
  return importer.Finish();
}

AikenExport ExportAiken(const QuestionBank& bank) {
  AikenExport result;
  int categoryNumber = 0;
  for (const Category& category : bank.categories()) {
    ++categoryNumber;
    int bigNumber = 0;
    for (const BigQuestion& big : category.questions) {
      ++bigNumber;
      const std::string stem = StemLine(big);
      int smallNumber = 0;
      for (const SmallQuestion& small : big.smallQuestions) {
        ++smallNumber;
        int answers = 0;
        for (const ChoiceOption& option : small.options) answers += option.isAnswer ? 1 : 0;
        const std::string where = "category " + std::to_string(categoryNumber) + ", question " +
                                  std::to_string(bigNumber) + "." + std::to_string(smallNumber);
        if (answers != 1 || small.options.size() > 26) {
          result.leftOut.push_back(where + (answers == 0 ? ": no answer" : answers > 1 ? ": more than one answer" : ": more than 26 options"));
          continue;
        }
        // A question of its own has its text as the stem (the stem in full); one of several
        // small questions follows the stem it belongs to.
        const std::string own = OneLine(small.text.text());
        std::string question = stem.compare(0, own.size(), own) == 0 && big.smallQuestions.size() == 1
                                   ? stem
                                   : (stem.empty() ? own : stem + " " + own);
        const std::string line = GbkToUtf8(question);
        if (const char* misread = MisreadQuestion(line)) {
          result.leftOut.push_back(where + ": " + misread);
          continue;
        }
        result.text += line + "\n";
        char letter = 'A';
        char answer = 'A';
        for (const ChoiceOption& option : small.options) {
          result.text += std::string(1, letter) + ". " + GbkToUtf8(OneLine(option.text.text())) + "\n";
          if (option.isAnswer) answer = letter;
          ++letter;
        }
        result.text += std::string("ANSWER: ") + answer + "\n\n";
        ++result.written;
      }
    }
  }
  return result;
}

}  // namespace velmor
