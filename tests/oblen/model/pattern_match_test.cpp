#include <gtest/gtest.h>

#include <random>

#include "oblen/model/pattern_match.h"

namespace velmor {
namespace {

struct MatchCase {
  std::string pattern;
  std::string text;
  bool matches;
};

TEST(MatchPattern, TheGradingTable) {
  const MatchCase cases[] = {
      {"*abc*", "xxABCyy", true}, {"abc", "ABC", true},   {"abc", "abcd", false},
      {"abc*", "abcd", true},     {"*cd", "abcd", true},  {"a*c", "ac", true},
      {"?", "x", true},           {"", "", true},         {"", "x", false},
      {"**a**", "ba", true},      {"*x*y*", "axbyc", true}, {"*x*y", "axbyc", false},
      {"*b*b*", "b", false},      {"*a?b*", "aaab", false}, {"*a?b", "aaab", true},
  };
  for (const MatchCase& c : cases) {
    EXPECT_EQ(MatchPattern(c.pattern, c.text), c.matches) << c.pattern << " / " << c.text;
  }
}

TEST(MatchPattern, FurtherCases) {
  const MatchCase cases[] = {
      // Stars and empty texts.
      {"*", "", true},
      {"***", "", true},
      {"?", "", false},
      {"a", "", false},
      {"*a", "", false},
      // Whole-text rules.
      {"abc", "ab", false},
      {"abc", "xabc", false},
      {"a?c", "abc", true},
      {"a?c", "abbc", false},
      {"ABC*", "abcdef", true},
      {"*DEF", "abcdef", true},
      {"*?", "", false},
      {"*??", "a", false},
      {"*??", "ab", true},
      {"a*", "a", true},
      // The piece after a star is taken at its first occurrence, never retried later.
      {"*ab*c", "xabyc", true},
      {"*b*c*d", "bcbd", true},
      {"a*b*c", "abc", true},
      {"a*b*c", "acb", false},
      // Letters fold to lower case wherever they stand, other bytes never.
      {"Hello World", "hELLO wORLD", true},
      {"[]", "[]", true},
      {"\xc4\xe3\xba\xc3", "\xc4\xe3\xba\xc3", true},  // 你好
      {"\xb1\x61", "\xb1\x41", true},  // a trail byte 0x41 folds like the letter it is
      {"*\xce\xc4\xbc\xfe*", "Word \xce\xc4\xbc\xfe.doc", true},  // 文件
      {"@", "`", false},
      {"[", "{", false},
      // A text holding a star or question mark only matches them through wildcards.
      {"a*", "a*b", true},
      {"x", "?", false},
  };
  for (const MatchCase& c : cases) {
    EXPECT_EQ(MatchPattern(c.pattern, c.text), c.matches) << c.pattern << " / " << c.text;
  }
}

TEST(FindPiece, KnuthMorrisPrattWithQuestionMarks) {
  struct Case {
    std::string text;
    std::string piece;
    std::ptrdiff_t found;
  };
  const Case cases[] = {
      {"aaab", "a?b", -1},  // a comparison at every position would give 1
      {"xab", "a?", 1},
      {"abcabd", "abd", 3},
      {"abc", "", 0},
      {"", "", 0},
      {"ab", "abc", -1},
      {"abc", "?", 0},
      {"zzzq", "q", 3},
      {"zzz", "q", -1},
      {"aabaabaaab", "aaab", 6},
      {"xyxyxyz", "xyxyz", 2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FindPiece(c.text, c.piece), c.found) << c.text << " / " << c.piece;
  }
}

// The scan step by step, without the jump to the next possible first byte, to show that
// the jump never changes a result.
std::ptrdiff_t StepByStep(const std::string& s, const std::string& g) {
  const std::ptrdiff_t m = static_cast<std::ptrdiff_t>(g.size());
  const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(s.size());
  if (m > n) return -1;
  if (m == 0) return 0;
  std::vector<std::ptrdiff_t> next(g.size());
  next[0] = -1;
  for (std::ptrdiff_t i = -1, j = 0; j < m - 1;) {
    if (i == -1 || g[i] == '?' || g[j] == g[i]) {
      next[++j] = ++i;
    } else {
      i = next[i];
    }
  }
  std::ptrdiff_t i = 0, k = 0;
  while (k < n && i < m) {
    if (i == -1 || g[i] == '?' || s[k] == g[i]) {
      ++i;
      ++k;
    } else {
      i = next[i];
    }
  }
  return i == m ? k - m : -1;
}

TEST(FindPiece, AgreesWithTheStepByStepScanOnRandomTexts) {
  std::mt19937 random(20261207);
  const char alphabet[] = "ab?";
  for (int round = 0; round < 20000; ++round) {
    std::string text(random() % 12, 'a');
    for (char& c : text) c = alphabet[random() % 2];
    std::string piece(1 + random() % 5, 'a');
    for (char& c : piece) c = alphabet[random() % 3];
    ASSERT_EQ(FindPiece(text, piece), StepByStep(text, piece)) << text << " / " << piece;
  }
}

// MatchPattern as the grading steps read, on a lowered copy, with the step-by-step scan.
bool StepByStepMatch(std::string pattern, std::string text) {
  if (pattern.empty()) return text.empty();
  for (char& c : pattern) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
  for (char& c : text) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
  std::string p;
  for (char c : pattern) {
    if (!(c == '*' && !p.empty() && p.back() == '*')) p += c;
  }
  std::size_t pi = 0, ti = 0;
  while (pi < p.size()) {
    if (p[pi] == '*') {
      if (pi + 1 == p.size()) return true;
      std::size_t star = p.find('*', pi + 1);
      std::string g = p.substr(pi + 1, star == std::string::npos ? std::string::npos : star - pi - 1);
      std::string r = text.substr(ti);
      if (r.size() < g.size()) return false;
      if (star == std::string::npos) {
        for (std::size_t k = 0; k < g.size(); ++k) {
          if (g[k] != '?' && g[k] != text[text.size() - g.size() + k]) return false;
        }
        return true;
      }
      std::ptrdiff_t k = StepByStep(r, g);
      if (k < 0) return false;
      ti += static_cast<std::size_t>(k) + g.size();
      pi = star;
      continue;
    }
    if (ti >= text.size() || (p[pi] != '?' && p[pi] != text[ti])) return false;
    if (pi + 1 == p.size() && ti + 1 < text.size()) return false;
    ++pi;
    ++ti;
  }
  return true;
}

TEST(MatchPattern, AgreesWithTheGradingStepsOnRandomInput) {
  std::mt19937 random(7);
  const char textBytes[] = "aAbB";
  const char patternBytes[] = "aAbB?*";
  for (int round = 0; round < 20000; ++round) {
    std::string text(random() % 10, 'a');
    for (char& c : text) c = textBytes[random() % 4];
    std::string pattern(random() % 7, 'a');
    for (char& c : pattern) c = patternBytes[random() % 6];
    ASSERT_EQ(MatchPattern(pattern, text), StepByStepMatch(pattern, text))
        << pattern << " / " << text;
  }
}

TEST(MatchPattern, LargeTextsAreSearchedAcrossEveryStretch) {
  // Pieces placed around the 64 KB stretches the case folding works through.
  for (std::size_t at : {std::size_t{0}, std::size_t{65536 - 3}, std::size_t{65536 * 2 - 256},
                         std::size_t{65536 * 3 - 1}, std::size_t{299990}}) {
    std::string text(300000, 'x');
    text.replace(at, 6, "NeEdLe");
    EXPECT_TRUE(MatchPattern("*needle*", text)) << at;
    EXPECT_TRUE(MatchPattern("*NEEDLE*", text)) << at;
    EXPECT_EQ(MatchPattern("*needle?*", text), at + 6 < text.size()) << at;
    EXPECT_FALSE(MatchPattern("*needles*", text)) << at;
  }
}

// Pieces longer than the folding window, against the grading steps themselves.
TEST(MatchPattern, PiecesLongerThanTheFoldingWindowAreFound) {
  std::string literal(70000, 'q');
  literal[0] = 'S';
  literal[69999] = 'E';
  struct Case {
    std::string pattern;
    std::string text;
  };
  const Case kCases[] = {
      {"*" + literal + "*b", "xx" + literal + "yyb"},
      {"*" + literal + "*b", std::string(100000, 'x') + literal + "b"},
      {"*" + literal + "*b", "xx" + literal.substr(1) + "yyb"},
      {"*?" + literal + "*", "x" + literal},
  };
  for (const Case& test : kCases) {
    EXPECT_EQ(MatchPattern(test.pattern, test.text), StepByStepMatch(test.pattern, test.text))
        << test.pattern.size() << " / " << test.text.size();
  }
  EXPECT_TRUE(MatchPattern(kCases[0].pattern, kCases[0].text));
}

}  // namespace
}  // namespace velmor
