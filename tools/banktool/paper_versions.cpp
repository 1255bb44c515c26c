#include "tools/banktool/paper_versions.h"

#include <utility>

#include "common/base/gbk.h"
#include "tools/banktool/paper_export.h"

namespace velmor {

namespace {

constexpr uint64_t kGolden = 0x9E3779B97F4A7C15ull;

uint64_t Mix(uint64_t z) {
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

template <typename T>
void Shuffle(std::vector<T>& items, PaperRandom& random) {
  for (std::size_t i = items.size(); i > 1; --i) {
    std::swap(items[i - 1], items[static_cast<std::size_t>(random.Below(i))]);
  }
}

// The title with the version's mark, cut so that the mark always fits the field.
std::string VersionTitle(std::string_view title, int index) {
  const std::string mark = std::string("（") + static_cast<char>('A' + index) + "卷）";
  if (title.empty()) title = "试卷";
  constexpr std::size_t kField = 127;
  return std::string(title.substr(0, GbkCutLength(title, kField - mark.size()))) + mark;
}

}  // namespace

uint64_t PaperRandom::Next() {
  state_ += kGolden;
  return Mix(state_);
}

uint64_t PaperRandom::Below(uint64_t bound) {
  // Numbers below 2^64 mod bound would come up once more often than the rest; they are drawn
  // again.
  const uint64_t unfair = (0 - bound) % bound;
  for (;;) {
    const uint64_t value = Next();
    if (value >= unfair) return value % bound;
  }
}

bool OptionKeepsPlace(std::string_view gbk) {
  for (std::size_t at = 0; at < gbk.size(); ++at) {
    const std::string_view rest = gbk.substr(at, 4);
    if (rest == "以上" || rest == "上述") return true;
    if (IsGbkLeadByte(static_cast<unsigned char>(gbk[at]))) ++at;
  }
  return false;
}

void MakePaperVersion(const QuestionBank& bank, uint64_t seed, int index, PaperVersion& version) {
  PaperRandom random(Mix(seed ^ Mix(static_cast<uint64_t>(index) + 1)));
  QuestionBank& paper = version.paper;
  paper.SetTitle(VersionTitle(bank.title().text(), index));
  paper.SetKind(bank.header().kind());
  int number = 0;  // of the last small question printed before, unshuffled
  for (std::size_t c = 0; c < bank.categories().size(); ++c) {
    const Category& category = bank.categories()[c];
    const int at = static_cast<int>(c);
    paper.AddCategory(category.name.text());
    std::vector<int> firstNumbers;
    std::vector<std::size_t> order;
    for (const BigQuestion& big : category.questions) {
      firstNumbers.push_back(number + 1);
      number += static_cast<int>(big.smallQuestions.size());
      order.push_back(order.size());
    }
    Shuffle(order, random);
    int placed = 0;
    for (std::size_t b : order) {
      const BigQuestion& big = category.questions[b];
      if (!paper.AddBigQuestion(at, big.id, big.content.Clone(), big.reservedA, big.reservedB)) continue;
      for (std::size_t s = 0; s < big.smallQuestions.size(); ++s) {
        const SmallQuestion& small = big.smallQuestions[s];
        const int smallAt = static_cast<int>(s);
        paper.AddSmallQuestion(at, placed, small.text.text(), small.singleChoice, small.score);
        version.originalNumbers.push_back(firstNumbers[b] + smallAt);
        // The options that move, shuffled among the places of the options that move.
        std::vector<std::size_t> moving;
        for (std::size_t o = 0; o < small.options.size(); ++o) {
          if (!OptionKeepsPlace(small.options[o].text.text())) moving.push_back(o);
        }
        std::vector<std::size_t> shuffled = moving;
        Shuffle(shuffled, random);
        std::vector<std::size_t> options(small.options.size());
        for (std::size_t o = 0; o < options.size(); ++o) options[o] = o;
        for (std::size_t m = 0; m < moving.size(); ++m) options[moving[m]] = shuffled[m];
        for (std::size_t o : options) {
          const ChoiceOption& option = small.options[o];
          paper.AddOption(at, placed, smallAt, option.text.text(), option.score, option.isAnswer, option.chosen,
                          option.selectCount);
        }
      }
      ++placed;
    }
  }
}

std::string PaperKeyHeader() { return u8"\uFEFF版本,题号,原题号,答案\r\n"; }

void AppendPaperKey(int index, const PaperVersion& version, std::string& csv) {
  int printed = 0;
  for (const Category& category : version.paper.categories()) {
    for (const BigQuestion& big : category.questions) {
      for (const SmallQuestion& small : big.smallQuestions) {
        const int original = static_cast<std::size_t>(printed) < version.originalNumbers.size()
                                 ? version.originalNumbers[static_cast<std::size_t>(printed)]
                                 : 0;
        ++printed;
        csv += static_cast<char>('A' + index);
        csv += ',' + std::to_string(printed) + ',' + std::to_string(original) + ',' + AnswerLetters(small) + "\r\n";
      }
    }
  }
}

}  // namespace velmor
