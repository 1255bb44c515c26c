// A whole exam graded over a class: the figures of the score sheet and the class report,
// worked out by hand for a small class, and the sheet's bytes.
#include <gtest/gtest.h>

#include "tools/banktool/class_results.h"

namespace velmor {
namespace {

// Twelve candidates over three questions, one folder missing. Per candidate the requirements
// met: Q1 R1 (4) R2 (6); Q2 R1 (5) R2 (-2); Q3 R1 (0, nobody) R2 (0, everybody).
std::vector<CandidateResult> Class() {
  const char* met[] = {"11 10", "11 10", "11 00", "10 10", "01 11", "11 01",
                       "10 00", "01 00", "10 01", "00 10", "00 00", "00 01"};
  const int32_t scores[2][2] = {{4, 6}, {5, -2}};
  std::vector<CandidateResult> candidates;
  for (int i = 0; i < 12; ++i) {
    CandidateResult candidate;
    candidate.folder = "c" + std::to_string(i + 1);
    candidate.graded = true;
    candidate.met = {{met[i][0] == '1', met[i][1] == '1'}, {met[i][3] == '1', met[i][4] == '1'}, {false, true}};
    candidate.questionTotals.assign(3, 0);
    for (int q = 0; q < 2; ++q) {
      for (int r = 0; r < 2; ++r) candidate.questionTotals[q] += candidate.met[q][r] ? scores[q][r] : 0;
      candidate.total += candidate.questionTotals[q];
    }
    candidates.push_back(candidate);
    if (i == 5) candidates.push_back({"gone", false, "no such folder", {0, 0, 0}, {{false, false}, {false, false}, {false, false}}, 0});
  }
  return candidates;
}

std::vector<ClassQuestion> Questions() {
  return {{1, "q1", {{"", "", 4}, {"", "", 6}}, 10}, {2, "q2", {{"", "", 5}, {"", "", -2}}, 5},
          {3, "q3", {{"", "", 0}, {"", "", 0}}, 0}};
}

TEST(ClassFigures, WorkedOutByHand) {
  const ClassFigures figures = ComputeClassFigures(Questions(), Class());
  // Totals 15 15 10 9 9 8 4 6 2 5 0 -2; the missing folder is left out.
  EXPECT_EQ(figures.candidates, 12);
  EXPECT_DOUBLE_EQ(figures.mean, 81.0 / 12);
  EXPECT_DOUBLE_EQ(figures.median, 7.0);  // (8 + 6) / 2
  EXPECT_EQ(figures.highest, 15);
  EXPECT_EQ(figures.lowest, -2);
  EXPECT_EQ(figures.fullScore, 15);
  EXPECT_EQ(figures.fullMarks, 2);
  EXPECT_EQ(figures.binWidth, 1);
  EXPECT_EQ(figures.histogram, (std::vector<int>{2, 0, 1, 0, 1, 1, 1, 0, 1, 2, 1, 0, 0, 0, 0, 2}));
  ASSERT_TRUE(figures.discriminationKnown);
  // The strongest three: c1 c2 c3; the weakest three: c9 c11 c12.
  struct Expected {
    double facility, discrimination;
    bool hard, easy, flat;
  };
  const Expected questions[] = {{6.4 / 12, 1 - 0.4 / 3, false, false, false},
                                {4.6 / 12, 2.0 / 3, false, false, false},
                                {0, 0, true, false, true}};
  const Expected requirements[3][2] = {
      {{7.0 / 12, 1 - 1.0 / 3, false, false, false}, {6.0 / 12, 1, false, false, false}},
      {{5.0 / 12, 2.0 / 3, false, false, false}, {4.0 / 12, -2.0 / 3, false, false, true}},
      {{0, 0, true, false, true}, {1, 0, false, true, true}}};
  auto check = [](const ItemFigures& item, const Expected& expected, const std::string& what) {
    EXPECT_NEAR(item.facility, expected.facility, 1e-12) << what;
    EXPECT_NEAR(item.discrimination, expected.discrimination, 1e-12) << what;
    EXPECT_EQ(item.hard, expected.hard) << what;
    EXPECT_EQ(item.easy, expected.easy) << what;
    EXPECT_EQ(item.flat, expected.flat) << what;
  };
  for (int q = 0; q < 3; ++q) {
    check(figures.questions[q], questions[q], "Q" + std::to_string(q + 1));
    for (int r = 0; r < 2; ++r) {
      check(figures.requirements[q][r], requirements[q][r], "Q" + std::to_string(q + 1) + " R" + std::to_string(r + 1));
    }
  }
  EXPECT_EQ(FigureText(figures.requirements[1][1].discrimination), "-0.67");
  EXPECT_EQ(FigureText(-0.001), "0.00");

  // Fewer than ten: no discrimination is told, and none is marked as too low.
  std::vector<CandidateResult> small = Class();
  small.resize(6);
  const ClassFigures few = ComputeClassFigures(Questions(), small);
  EXPECT_FALSE(few.discriminationKnown);
  EXPECT_EQ(few.candidates, 6);
  for (const auto& items : few.requirements) {
    for (const ItemFigures& item : items) EXPECT_FALSE(item.flat);
  }
  // A full score past 20 points is counted in ten bins.
  std::vector<ClassQuestion> big = Questions();
  big[0].fullScore = 95;
  EXPECT_EQ(ComputeClassFigures(big, Class()).binWidth, 11);
  EXPECT_EQ(ComputeClassFigures(big, Class()).histogram.size(), 10u);
}

}  // namespace
}  // namespace velmor
