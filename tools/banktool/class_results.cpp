#include "tools/banktool/class_results.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>

namespace velmor {

namespace {

// The share of `group` that met requirement `r` of question `q`.
double RequirementFacility(const std::vector<const CandidateResult*>& group, std::size_t q,
                           std::size_t r) {
  if (group.empty()) return 0;
  int met = 0;
  for (const CandidateResult* candidate : group) met += candidate->met[q][r] ? 1 : 0;
  return static_cast<double>(met) / static_cast<double>(group.size());
}

// A question scores in steps: its facility is the mean share of its full score, each
// candidate's share kept within 0 and 1 (a penalty cannot take it below nothing).
double QuestionFacility(const std::vector<const CandidateResult*>& group,
                        const ClassQuestion& question, std::size_t q) {
  if (group.empty() || question.fullScore <= 0) return 0;
  double sum = 0;
  for (const CandidateResult* candidate : group) {
    const double share = static_cast<double>(candidate->questionTotals[q]) /
                         static_cast<double>(question.fullScore);
    sum += std::clamp(share, 0.0, 1.0);
  }
  return sum / static_cast<double>(group.size());
}

ItemFigures Item(double facility, double top, double bottom, bool known) {
  ItemFigures item;
  item.facility = facility;
  item.discrimination = known ? top - bottom : 0;
  item.hard = facility < 0.2;
  item.easy = facility > 0.95;
  item.flat = known && item.discrimination < 0.2;
  return item;
}

}  // namespace

ClassFigures ComputeClassFigures(const std::vector<ClassQuestion>& questions,
                                 const std::vector<CandidateResult>& candidates) {
  ClassFigures figures;
  for (const ClassQuestion& question : questions) figures.fullScore += question.fullScore;
  if (figures.fullScore <= 20) {
    figures.binWidth = 1;
  } else {
    figures.binWidth = (figures.fullScore + 1 + 9) / 10;
  }
  const int64_t bins = std::max<int64_t>(1, (std::max<int64_t>(figures.fullScore, 0) + figures.binWidth) /
                                                figures.binWidth);
  figures.histogram.assign(static_cast<std::size_t>(bins), 0);

  // The graded candidates, strongest first; equal totals keep the order they were given in.
  std::vector<const CandidateResult*> graded;
  for (const CandidateResult& candidate : candidates) {
    if (candidate.graded) graded.push_back(&candidate);
  }
  std::stable_sort(graded.begin(), graded.end(), [](const CandidateResult* a, const CandidateResult* b) {
    return a->total > b->total;
  });
  const int n = static_cast<int>(graded.size());
  figures.candidates = n;
  figures.discriminationKnown = n >= kSmallestClass;
  figures.questions.resize(questions.size());
  figures.requirements.resize(questions.size());
  for (std::size_t q = 0; q < questions.size(); ++q) {
    figures.requirements[q].resize(questions[q].requirements.size());
  }
  if (n == 0) return figures;

  figures.highest = graded.front()->total;
  figures.lowest = graded.back()->total;
  int64_t sum = 0;
  for (const CandidateResult* candidate : graded) {
    sum += candidate->total;
    if (figures.fullScore > 0 && candidate->total >= figures.fullScore) ++figures.fullMarks;
    const int64_t bin = std::clamp<int64_t>(candidate->total / figures.binWidth, 0, bins - 1);
    ++figures.histogram[static_cast<std::size_t>(bin)];
  }
  figures.mean = static_cast<double>(sum) / n;
  // `graded` runs from the highest total down.
  figures.median = n % 2 == 1 ? static_cast<double>(graded[n / 2]->total)
                              : (static_cast<double>(graded[n / 2 - 1]->total) +
                                 static_cast<double>(graded[n / 2]->total)) / 2;

  const std::size_t groupSize =
      static_cast<std::size_t>(std::max<long>(1, std::lround(0.27 * n)));
  const std::vector<const CandidateResult*> top(graded.begin(), graded.begin() + groupSize);
  const std::vector<const CandidateResult*> bottom(graded.end() - groupSize, graded.end());
  const bool known = figures.discriminationKnown;
  for (std::size_t q = 0; q < questions.size(); ++q) {
    figures.questions[q] = Item(QuestionFacility(graded, questions[q], q),
                                QuestionFacility(top, questions[q], q),
                                QuestionFacility(bottom, questions[q], q), known);
    for (std::size_t r = 0; r < questions[q].requirements.size(); ++r) {
      figures.requirements[q][r] = Item(RequirementFacility(graded, q, r), RequirementFacility(top, q, r),
                                        RequirementFacility(bottom, q, r), known);
    }
  }
  return figures;
}

std::string FigureText(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", std::fabs(value) < 0.005 ? 0.0 : value);
  return text;
}

}  // namespace velmor
