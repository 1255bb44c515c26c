// MatchPattern on a large text against glibc's memmem finding the same piece, side by side
// in one process.
//
//   match_bench [megabytes]      default: 64
//
// The text is lower-case words; the piece sits near its end. Prints the best of five rounds
// of each: MatchPattern (case-insensitive), FindPiece (the same search, case-sensitive) and
// memmem, with the ratios (goal: MatchPattern at most 3 times the time of memmem).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "oblen/model/pattern_match.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from) {
  return std::chrono::duration<double>(Clock::now() - from).count();
}

std::string MakeText(std::size_t size) {
  static const char* const kWords[] = {"the",  "candidate", "opens",  "a",       "document",
                                       "and",  "saves",     "it",     "under",   "another",
                                       "name", "in",        "folder", "with",    "three",
                                       "rows", "of",        "table",  "formula", "sum"};
  std::mt19937 random(42);
  std::string text;
  text.reserve(size);
  while (text.size() < size) {
    text += kWords[random() % (sizeof kWords / sizeof kWords[0])];
    text += random() % 12 == 0 ? '\n' : ' ';
  }
  text.resize(size);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 64;
  std::string text = MakeText(megabytes << 20);
  const std::string piece = "sum of the table rows is 42";
  text.replace(text.size() - 1000, piece.size(), piece);
  const std::string pattern = "*" + piece + "*";

  double matchBest = 1e9, pieceBest = 1e9, memmemBest = 1e9;
  bool allFound = true;
  for (int round = 0; round < 5; ++round) {
    Clock::time_point start = Clock::now();
    allFound &= velmor::MatchPattern(pattern, text);
    matchBest = std::min(matchBest, Seconds(start));

    start = Clock::now();
    allFound &= velmor::FindPiece(text, piece) == static_cast<std::ptrdiff_t>(text.size() - 1000);
    pieceBest = std::min(pieceBest, Seconds(start));

    start = Clock::now();
    const void* found = memmem(text.data(), text.size(), piece.data(), piece.size());
    memmemBest = std::min(memmemBest, Seconds(start));
    allFound &= found == text.data() + text.size() - 1000;
  }
  const double mb = static_cast<double>(text.size()) / (1 << 20);
  std::printf("text size               %.0f MB\n", mb);
  std::printf("memmem                  %.4f s   %.0f MB/s\n", memmemBest, mb / memmemBest);
  std::printf("MatchPattern            %.4f s   %.0f MB/s\n", matchBest, mb / matchBest);
  std::printf("FindPiece               %.4f s   %.0f MB/s\n", pieceBest, mb / pieceBest);
  std::printf("time ratio              %.2f     (MatchPattern / memmem, goal: at most 3)\n",
              matchBest / memmemBest);
  std::printf("FindPiece / memmem      %.2f     (the same search without case folding)\n",
              pieceBest / memmemBest);
  std::printf("piece found by both     %s\n", allFound ? "yes" : "NO");
  return allFound ? 0 : 1;
}
