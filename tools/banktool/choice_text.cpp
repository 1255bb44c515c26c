#include "tools/banktool/choice_text.h"

#include <algorithm>
#include <optional>

#include "common/base/gbk.h"
#include "common/base/text_encoding.h"
#include "common/richtext/rich_content.h"
#include "tools/banktool/choice_lines.h"

namespace velmor {

using namespace choice;

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

}  // namespace velmor
