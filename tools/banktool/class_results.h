// A class's results over the questions of an exam, and the figures a teacher reads from them:
// totals, their spread, and for each question and requirement its facility (the share of the
// class that met it) and its discrimination (facility among the strongest 27 % of the class by
// total minus facility among the weakest 27 %). The score sheet and the class report both print
// these figures; neither computes one of its own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velmor {

struct ClassRequirement {
  std::string description;  // UTF-8
  std::string explanation;  // UTF-8, shown when it is not met
  int32_t score = 0;
};

struct ClassQuestion {
  int32_t id = 0;
  std::string title;  // UTF-8: the group and the question's place in it
  std::vector<ClassRequirement> requirements;
  int64_t fullScore = 0;  // the sum of the positive scores
};

struct CandidateResult {
  std::string folder;  // UTF-8, as given
  // False for a folder that is missing or could not be read: it counts as 0 and is left out
  // of every figure.
  bool graded = false;
  std::string note;                     // why it was not graded, or what was not read
  std::vector<int32_t> questionTotals;  // per question
  std::vector<std::vector<bool>> met;   // per question, per requirement
  int64_t total = 0;
};

struct ItemFigures {
  double facility = 0;        // 0..1
  double discrimination = 0;  // -1..1; meaningful only when the class is large enough
  bool hard = false;          // facility below 0.2
  bool easy = false;          // facility above 0.95
  bool flat = false;          // discrimination below 0.2 (known classes only)
};

struct ClassFigures {
  int candidates = 0;  // graded folders
  double mean = 0;
  double median = 0;
  int64_t highest = 0;
  int64_t lowest = 0;
  int64_t fullScore = 0;  // the sum over the questions
  int fullMarks = 0;      // candidates whose total reaches the full score
  // Totals counted in bins of `binWidth` points from 0 (a total below 0 in the first bin, one
  // above the full score in the last).
  int64_t binWidth = 1;
  std::vector<int> histogram;
  bool discriminationKnown = false;  // at least kSmallestClass candidates
  std::vector<ItemFigures> questions;
  std::vector<std::vector<ItemFigures>> requirements;  // per question, per requirement
};

constexpr int kSmallestClass = 10;

ClassFigures ComputeClassFigures(const std::vector<ClassQuestion>& questions,
                                 const std::vector<CandidateResult>& candidates);

// "0.85": the figures as the sheet and the report print them.
std::string FigureText(double value);

}  // namespace velmor
