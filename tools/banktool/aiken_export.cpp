// The Aiken layout out of a bank: the questions it can carry, every text on one line.
#include <string>
#include <string_view>

#include "common/base/text_encoding.h"
#include "common/richtext/rich_content.h"
#include "tools/banktool/choice_lines.h"
#include "tools/banktool/choice_text.h"

namespace velmor {

using namespace choice;

namespace {

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
  std::string_view option;
  std::string_view name;
  int numeral = 0;
  if (text.empty()) return "no question text";
  if (AnswerLine(text)) return "its text would be read as an ANSWER line";
  if (OptionLine(text, &option)) return "its text would be read as an option";
  if (HeadingLine(text, &name, &numeral) || StartsWith(text, u8"【分类】") ||
      StartsWith(text, u8"【大题】")) {
    return "its text would be read as a heading";
  }
  if (ExplanationLine(text) || AnswerSectionStart(text)) {
    return "its text would be read as an explanation or the answer section";
  }
  return nullptr;
}

// Whether an option's text (UTF-8) would be read back as more than one option.
bool SplitsIntoOptions(std::string_view text, int letter) {
  return SplitOptions(Trimmed(text), letter).size() > 1;
}

}  // namespace

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
        bool split = false;
        for (std::size_t o = 0; o < small.options.size(); ++o) {
          split = split || SplitsIntoOptions(GbkToUtf8(OneLine(small.options[o].text.text())), static_cast<int>(o));
        }
        if (split) {
          result.leftOut.push_back(where + ": an option would be read as several options");
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
