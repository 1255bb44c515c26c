// Versions of one paper (A, B, C, …) for one exam, so that neighbours do not share a sheet: in
// each, the big questions of every category come in another order, and so do the options of
// every small question, except an option that speaks of the others (its text holds 以上 or
// 上述, "all of the above"), which keeps its place. Small questions stay with their stem and in
// its order. A seed makes the versions: the same seed gives the same versions, on every
// platform and with every compiler, and each version is made by itself (version C is the same
// whether two or ten more are made).
//
// The key of the versions is a table (UTF-8 with a byte-order mark, CR LF), one row for each
// version and printed question: 版本,题号,原题号,答案 — the version's letter, the question's
// number in that version, its number in the paper unshuffled, and its answer letters there.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tarvik/model/question_bank.h"

namespace velmor {

// SplitMix64, written out, since the standard library's distributions differ between
// libraries and the Windows and Linux builds must make the same versions.
class PaperRandom {
 public:
  explicit PaperRandom(uint64_t seed) : state_(seed) {}
  uint64_t Next();
  // A number below `bound` (at least 1), each as likely as the others.
  uint64_t Below(uint64_t bound);

 private:
  uint64_t state_;
};

// Whether an option keeps its place in the versions: its GBK text holds 以上 or 上述.
bool OptionKeepsPlace(std::string_view gbk);

struct PaperVersion {
  QuestionBank paper;  // in the version's order, its title marked "（A卷）"
  std::vector<int> originalNumbers;  // by printed number (from 1): the number unshuffled
};

// Version `index` (0 for A, at most 25) of the paper of `bank` under `seed`, into `version`,
// which should be new.
void MakePaperVersion(const QuestionBank& bank, uint64_t seed, int index, PaperVersion& version);

// The key's first line (after the byte-order mark); then a version's rows, appended.
std::string PaperKeyHeader();
void AppendPaperKey(int index, const PaperVersion& version, std::string& csv);

}  // namespace velmor
