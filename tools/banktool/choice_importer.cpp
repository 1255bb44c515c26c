#include "tools/banktool/choice_importer.h"

#include <algorithm>
#include <map>
#include <optional>
#include <tuple>
#include <utility>

#include "common/base/gbk.h"
#include "common/base/text_encoding.h"
#include "tools/banktool/choice_lines.h"
#include "tools/banktool/stem_builder.h"

namespace velmor {

using namespace choice;

bool TextFormat::operator==(const TextFormat& other) const {
  return std::tie(face, halfPoints, bold, italic, underline, coloured, rgb, eastAsian) ==
         std::tie(other.face, other.halfPoints, other.bold, other.italic, other.underline,
                  other.coloured, other.rgb, other.eastAsian);
}

namespace {

constexpr std::size_t kTextBytes = 127;  // a title, category, small question or option text
constexpr char kCategoryMark[] = u8"【分类】";
constexpr char kBigMark[] = u8"【大题】";
constexpr std::size_t kReportedProblems = 100;  // in full; the rest are only counted

// Bytes [first, end) of a line's text, with the pictures of the line.
struct Piece {
  std::size_t line = 0;
  std::size_t first = 0;
  std::size_t end = 0;
};

struct ImportedOption {
  std::string text;  // UTF-8
  bool answer = false;
};

struct ImportedQuestion {
  int line = 0;
  std::string text;  // UTF-8, its lines joined by blanks
  int32_t score = 1;
  bool scored = false;  // the score was written
  int singleChoice = -1;  // as the question line tells it; -1: by its number of answers
  bool numbered = false;
  int number = 0;
  int heading = 0;  // the numeral of the heading above it, 0 when none
  std::vector<Piece> pieces;  // its line and the paragraphs after it: the stem of its own
  std::vector<ImportedOption> options;
  bool answered = false;
  int answers = 0;
};

// A big question under way: a 【大题】 or material.
struct OpenBig {
  int line = 0;
  std::vector<Piece> pieces;
  bool added = false;
  int questions = 0;  // opened under it
};

// Lines between questions, in groups between blank lines, until what follows tells what they
// are: a question (an option follows), material or the title block (a question follows).
struct Block {
  std::vector<std::vector<std::size_t>> groups;
  bool broken = true;

  void Add(std::size_t line) {
    if (broken) groups.emplace_back();
    groups.back().push_back(line);
    broken = false;
  }
  bool empty() const { return groups.empty(); }
};

struct SectionAnswer {
  std::string letters;
  int line = 0;
  bool used = false;
};

class Importer {
 public:
  Importer(std::vector<ImportLine> lines, std::string_view defaultCategory,
           std::string_view lineWord, PictureSource* pictures, QuestionBank& bank)
      : lines_(std::move(lines)), defaultCategory_(defaultCategory), lineWord_(lineWord),
        pictures_(pictures), bank_(bank) {}

  ImportReport Run() {
    std::size_t section = lines_.size();
    for (std::size_t i = 0; i < lines_.size(); ++i) {
      if (AnswerSectionStart(Trimmed(lines_[i].text))) {
        section = i;
        break;
      }
    }
    ReadSection(section);
    for (std::size_t i = 0; i < section; ++i) Line(i);
    EndBlock(false);
    Close();
    EndBig();
    for (const auto& [key, answer] : answers_) {
      if (answer.used) continue;
      Defer("the answer section answers question " + std::to_string(key.second) +
                (key.first ? " under heading " + std::to_string(key.first) : std::string()) +
                ", which the paper does not have",
            answer.line);
    }
    std::stable_sort(deferred_.begin(), deferred_.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [line, what] : deferred_) Problem(what, line);
    return std::move(report_);
  }

 private:
  // ---- The lines of the paper, in turn.

  void Line(std::size_t index) {
    const ImportLine& line = lines_[index];
    line_ = line.number;
    Losses(line, false);
    const std::string_view text = Trimmed(line.text);
    if (text.empty() && line.pictures.empty()) {
      Blank();
      return;
    }
    const bool afterHeading = afterHeading_;
    afterHeading_ = false;
    std::string_view name;
    int numeral = 0;
    if (StartsWith(text, kCategoryMark) || HeadingLine(text, &name, &numeral)) {
      const bool marked = StartsWith(text, kCategoryMark);
      StartCategory(marked ? Trimmed(text.substr(sizeof kCategoryMark - 1)) : name, marked ? 0 : numeral);
      afterHeading_ = !marked;
      PicturesLeftOut(index, "a heading");
      return;
    }
    if (StartsWith(text, kBigMark)) {
      EndBlock(false);
      Close();
      EndBig();
      big_ = OpenBig{line.number, {PieceOf(index, Trimmed(text.substr(sizeof kBigMark - 1)))}, false, 0};
      seen_ = true;
      return;
    }
    if (afterHeading && HeadingNote(text)) return;
    if (ExplanationLine(text)) {
      ++report_.explanations;
      return;
    }
    if (std::optional<std::string_view> letters = AnswerLine(text)) {
      if (!block_.empty()) QuestionFromBlock();
      Answer(*letters);
      PicturesLeftOut(index, "an answer line");
      return;
    }
    std::string_view optionText;
    if ((open_ && !open_->answered) || !block_.empty()) {
      if (std::optional<int> letter = OptionLine(text, &optionText)) {
        if (!block_.empty()) QuestionFromBlock();
        Options(*letter, optionText);
        PicturesLeftOut(index, "an option");
        return;
      }
    }
    std::string_view questionText;
    int32_t score = 1;
    std::string badScore;
    int number = 0;
    int singleChoice = -1;
    if (NumberedQuestion(text, &questionText, &score, &badScore, &number, &singleChoice)) {
      EndBlock(true);
      Close();
      if (!badScore.empty()) Problem("the score " + badScore + " is too large; 1 is given");
      OpenQuestion(index, questionText, score, HasScore(text, questionText) && badScore.empty(), number, true);
      open_->singleChoice = singleChoice;
      return;
    }
    if (open_ && open_->options.empty() && !open_->answered) {
      GoOn(index, questionText, score, HasScore(text, questionText) && badScore.empty());
      if (singleChoice >= 0 && open_->singleChoice < 0) open_->singleChoice = singleChoice;
      return;
    }
    Close();
    block_.Add(index);
  }

  // Whether a question line wrote a score after its text (which NumberedQuestion then left out).
  static bool HasScore(std::string_view line, std::string_view text) {
    return text.data() + text.size() != line.data() + line.size();
  }

  void Blank() {
    // A blank line ends a question that has its options; one before them is room in the stem.
    if (open_ && (!open_->options.empty() || open_->answered)) Close();
    block_.broken = true;
  }

  void StartCategory(std::string_view name, int numeral) {
    EndBlock(false);
    Close();
    EndBig();
    NewCategory(name);
    heading_ = numeral;
    seen_ = true;
  }

  void OpenQuestion(std::size_t index, std::string_view text, int32_t score, bool scored, int number,
                    bool numbered) {
    ImportedQuestion question;
    question.line = lines_[index].number;
    question.text = std::string(text);
    question.score = score;
    question.scored = scored;
    question.numbered = numbered;
    question.number = number;
    question.heading = heading_;
    question.pieces.push_back(PieceOf(index, text));
    open_ = std::move(question);
    if (big_) ++big_->questions;
    seen_ = true;
  }

  // A line of the open question after its first: its text goes on, its score counts when the
  // first line gave none.
  void GoOn(std::size_t index, std::string_view text, int32_t score, bool scored) {
    // A line of pictures alone adds nothing to the question's text.
    if (!text.empty()) open_->text += (open_->text.empty() ? "" : " ") + std::string(text);
    open_->pieces.push_back(PieceOf(index, text));
    if (scored && !open_->scored) {
      open_->score = score;
      open_->scored = true;
    }
  }

  // An option line made the last group of the block a question; the groups before it are
  // what stands before a question.
  void QuestionFromBlock() {
    const int current = line_;
    std::vector<std::vector<std::size_t>> groups = std::move(block_.groups);
    block_ = Block();
    std::vector<std::size_t> question = std::move(groups.back());
    groups.pop_back();
    if (!groups.empty()) BlockBeforeQuestion(groups);
    for (std::size_t k = 0; k < question.size(); ++k) {
      const std::size_t index = question[k];
      line_ = lines_[index].number;
      const std::string_view line = Trimmed(lines_[index].text);
      std::string_view text;
      int32_t score = 1;
      std::string badScore;
      int singleChoice = -1;
      NumberedQuestion(line, &text, &score, &badScore, nullptr, &singleChoice);
      if (!badScore.empty()) Problem("the score " + badScore + " is too large; 1 is given");
      const bool scored = HasScore(line, text) && badScore.empty();
      if (k == 0) {
        OpenQuestion(index, text, score, scored, 0, false);
      } else {
        GoOn(index, text, score, scored);
      }
      if (singleChoice >= 0 && open_->singleChoice < 0) open_->singleChoice = singleChoice;
    }
    line_ = current;
  }

  // The block ends: before a numbered question it is the title block, the rest of a 【大题】's
  // stem or material; before anything else it is the title block or lines that belong to no
  // question.
  void EndBlock(bool questionFollows) {
    if (block_.empty()) return;
    std::vector<std::vector<std::size_t>> groups = std::move(block_.groups);
    block_ = Block();
    if (questionFollows || !seen_) {
      BlockBeforeQuestion(groups);
      return;
    }
    for (const std::vector<std::size_t>& group : groups) {
      Problem("a question without options, skipped", lines_[group.front()].number);
    }
  }

  void BlockBeforeQuestion(const std::vector<std::vector<std::size_t>>& groups) {
    if (!seen_) {
      Title(groups);
      return;
    }
    if (!big_ || big_->questions > 0) {
      Close();
      EndBig();
      big_ = OpenBig{lines_[groups.front().front()].number, {}, false, 0};
    }
    for (const std::vector<std::size_t>& group : groups) {
      for (std::size_t index : group) big_->pieces.push_back(PieceOf(index, Trimmed(lines_[index].text)));
    }
  }

  void Title(const std::vector<std::vector<std::size_t>>& groups) {
    seen_ = true;
    bool titled = false;
    for (const std::vector<std::size_t>& group : groups) {
      for (std::size_t index : group) {
        const std::string_view text = Trimmed(lines_[index].text);
        if (!titled && !text.empty()) {
          bank_.SetTitle(Gbk(text, kTextBytes, "the title", lines_[index].number));
          titled = true;
        }
        PicturesLeftOut(index, "the title block");
      }
    }
  }

  void Options(int letter, std::string_view text) {
    const std::vector<std::string_view> texts = SplitOptions(text, letter);
    for (std::size_t k = 0; k < texts.size(); ++k) {
      const int at = letter + static_cast<int>(k);
      if (at == static_cast<int>(open_->options.size())) {
        open_->options.push_back(ImportedOption{std::string(texts[k]), false});
      } else {
        Problem("option " + std::string(1, static_cast<char>('A' + at)) + " out of order, skipped");
      }
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
      Mark(*open_, *letter, line_, false);
      letters.remove_prefix(length);
    }
    open_->answered = true;
  }

  void Mark(ImportedQuestion& question, int letter, int line, bool deferred) {
    if (letter < static_cast<int>(question.options.size())) {
      ImportedOption& option = question.options[static_cast<std::size_t>(letter)];
      if (!option.answer) ++question.answers;
      option.answer = true;
      return;
    }
    const std::string what = "answer " + std::string(1, static_cast<char>('A' + letter)) + " has no option";
    if (deferred) {
      Defer(what, line);
    } else {
      Problem(what, line);
    }
  }

  // ---- The answer section.

  void ReadSection(std::size_t start) {
    int heading = 0;
    for (std::size_t i = start; i < lines_.size(); ++i) {
      const ImportLine& line = lines_[i];
      Losses(line, true);
      if (!line.pictures.empty()) Defer("a picture in the answer section, left out", line.number);
      std::string_view text = Trimmed(line.text);
      if (i == start || text.empty()) continue;
      if (ExplanationLine(text)) {
        ++report_.explanations;
        continue;
      }
      std::string_view name;
      int numeral = 0;
      const bool headed = HeadingLine(text, &name, &numeral);
      if (headed) {
        heading = numeral;
        text = name;
        for (std::string_view colon : {u8"：", ":"}) {
          const std::size_t at = text.find(colon);
          if (at != std::string_view::npos) text = Trimmed(text.substr(at + colon.size()));
        }
      }
      std::vector<AnswerEntry> entries;
      std::vector<std::string> problems;
      std::string_view rest;
      AnswerEntries(text, &entries, &rest, &problems);
      for (const std::string& problem : problems) Defer(problem, line.number);
      for (const AnswerEntry& entry : entries) {
        auto [at, added] = answers_.emplace(std::make_pair(heading, entry.number),
                                            SectionAnswer{entry.letters, line.number, false});
        if (!added) {
          Defer("question " + std::to_string(entry.number) +
                    " is answered twice in the answer section; the first answer is kept",
                line.number);
        }
      }
      if (rest.empty() || (headed && entries.empty())) continue;
      if (ExplanationLine(rest)) {
        ++report_.explanations;
      } else {
        Defer(entries.empty() ? "a line of the answer section that holds no answers, skipped"
                              : "the rest of the line holds no answers, skipped",
              line.number);
      }
    }
  }

  // The section's answer of a numbered question, taken when the question has none of its own.
  void ApplySection(ImportedQuestion& question) {
    if (!question.numbered || answers_.empty()) return;
    auto found = answers_.find({question.heading, question.number});
    if (found == answers_.end()) found = answers_.find({0, question.number});
    if (found == answers_.end()) return;
    SectionAnswer& answer = found->second;
    if (answer.used) {
      Problem("another question is numbered " + std::to_string(question.number) +
                  "; the answer section's answer went to the first",
              question.line);
      return;
    }
    answer.used = true;
    if (question.answered) {
      std::string own;
      for (std::size_t i = 0; i < question.options.size(); ++i) {
        if (question.options[i].answer) own += static_cast<char>('A' + i);
      }
      std::string given = answer.letters;
      std::sort(given.begin(), given.end());
      given.erase(std::unique(given.begin(), given.end()), given.end());
      if (given != own) {
        Defer("the answer section gives " + given + " for question " + std::to_string(question.number) +
                  ", which answers " + (own.empty() ? std::string("nothing") : own) +
                  " below itself; its own answer is kept",
              answer.line);
      }
      return;
    }
    for (char letter : answer.letters) Mark(question, letter - 'A', answer.line, true);
    question.answered = true;
  }

  // ---- Into the bank.

  void Close() {
    if (!open_) return;
    ImportedQuestion question = std::move(*open_);
    open_.reset();
    if (question.options.empty()) {
      Problem("a question without options, skipped", question.line);
      return;
    }
    ApplySection(question);
    if (question.answers == 0) Problem("a question without an answer", question.line);
    if (big_) {
      if (!big_->added && !(big_->added = AddBig(big_->pieces, big_->line))) return;
      for (const Piece& piece : question.pieces) PicturesLeftOut(piece.line, "a small question");
    } else if (!AddBig(question.pieces, question.line)) {
      return;
    }
    const int category = static_cast<int>(bank_.categories().size()) - 1;
    const int big = static_cast<int>(bank_.categories().back().questions.size()) - 1;
    if (!bank_.AddSmallQuestion(category, big, Gbk(question.text, kTextBytes, "the question", question.line),
                                question.singleChoice >= 0 ? question.singleChoice : question.answers > 1 ? 0 : 1,
                                question.score)) {
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

  void EndBig() {
    if (big_ && !big_->added && big_->questions == 0) {
      Problem("a big question without questions, skipped", big_->line);
    }
    big_.reset();
  }

  void NewCategory(std::string_view name) {
    bank_.AddCategory(Gbk(name, kTextBytes, "the category name", line_));
    ++report_.categories;
  }

  bool AddBig(const std::vector<Piece>& pieces, int line) {
    if (bank_.categories().empty()) NewCategory(defaultCategory_);
    ContentBlock stem = Stem(pieces, line);
    const int category = static_cast<int>(bank_.categories().size()) - 1;
    if (!bank_.AddBigQuestion(category, bank_.maxQuestionId() + 1, std::move(stem), 0, 0)) {
      Problem("the big question could not be added", line);
      return false;
    }
    ++report_.bigQuestions;
    return true;
  }

  // The stem as a content blob: the pieces as paragraphs.
  ContentBlock Stem(const std::vector<Piece>& pieces, int line) {
    StemBuilder stem(pictures_, [this](const std::string& what, int at) { Problem(what, at); });
    for (const Piece& piece : pieces) stem.Paragraph(lines_[piece.line], piece.first, piece.end);
    return stem.Finish(line);
  }

  // ---- Reports.

  void Problem(const std::string& what, int line = 0) {
    ++report_.problemCount;
    if (report_.problems.size() < kReportedProblems) {
      report_.problems.push_back(std::string(lineWord_) + " " + std::to_string(line ? line : line_) + ": " +
                                 what);
    }
  }

  // A problem of the answer section, told after those of the questions, in line order.
  void Defer(const std::string& what, int line) { deferred_.emplace_back(line, what); }

  // What was lost reading a line: characters that became "?" and zero bytes left out.
  void Losses(const ImportLine& line, bool deferred) {
    auto tell = [&](const std::string& what) {
      if (deferred) {
        Defer(what, line.number);
      } else {
        Problem(what, line.number);
      }
    };
    if (line.replaced > 0) {
      tell(std::to_string(line.replaced) + (line.replaced == 1 ? " character" : " characters") +
           " could not be read as GBK and became ?");
    }
    if (line.zeros > 0) {
      tell(std::to_string(line.zeros) + (line.zeros == 1 ? " zero byte" : " zero bytes") + " left out");
    }
  }

  // Pictures that have no place where their line goes: each is told.
  void PicturesLeftOut(std::size_t index, const char* where) {
    const ImportLine& line = lines_[index];
    for (std::size_t k = 0; k < line.pictures.size(); ++k) {
      Problem(std::string("a picture in ") + where + " cannot be stored in its text, left out", line.number);
    }
  }

  std::string Gbk(std::string_view utf8, std::size_t limit, const char* what, int line) {
    std::string gbk = Utf8ToGbkLossy(utf8);
    if (gbk.size() > limit) {
      gbk.resize(GbkWholeLength(std::string_view(gbk).substr(0, limit)));
      Problem(std::string(what) + " cut to " + std::to_string(limit) + " bytes", line);
    }
    return gbk;
  }

  Piece PieceOf(std::size_t index, std::string_view part) const {
    const std::size_t first = static_cast<std::size_t>(part.data() - lines_[index].text.data());
    return Piece{index, first, first + part.size()};
  }

  std::vector<ImportLine> lines_;
  std::string defaultCategory_;
  std::string lineWord_;
  PictureSource* pictures_;
  QuestionBank& bank_;
  ImportReport report_;
  int line_ = 0;
  bool seen_ = false;          // a heading or a question has been read: no title block follows
  bool afterHeading_ = false;  // the line before was a heading
  int heading_ = 0;            // the numeral of the last heading
  std::optional<ImportedQuestion> open_;
  std::optional<OpenBig> big_;
  Block block_;
  std::map<std::pair<int, int>, SectionAnswer> answers_;  // by heading and number
  std::vector<std::pair<int, std::string>> deferred_;
};

}  // namespace

ImportReport ImportChoiceLines(std::vector<ImportLine> lines, std::string_view defaultCategory,
                               std::string_view lineWord, PictureSource* pictures,
                               QuestionBank& bank) {
  return Importer(std::move(lines), defaultCategory, lineWord, pictures, bank).Run();
}

}  // namespace velmor
