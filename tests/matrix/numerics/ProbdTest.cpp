#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "matrix/Probd.h"

namespace {

// Rows of a reference table written by tests/fixtures/numerics/probabilities.R.
std::vector<std::vector<double>> ReadTable(const std::string& name, int columns) {
  std::ifstream in(std::string(MORVA_FIXTURES) + "/numerics/" + name);
  std::vector<std::vector<double>> rows;
  std::vector<double> row(columns);
  while (true) {
    for (double& v : row) in >> v;
    if (!in) break;
    rows.push_back(row);
  }
  return rows;
}

TEST(Probd, ChiSquareUpperTailMatchesReference) {
  const auto rows = ReadTable("chisq.txt", 3);
  ASSERT_GT(rows.size(), 100u);
  for (const auto& r : rows) EXPECT_NEAR(ChiSqProb(r[0], r[1]), r[2], 1e-6) << "chi2 " << r[0] << " df " << r[1];
}

TEST(Probd, FUpperTailMatchesReference) {
  const auto rows = ReadTable("f.txt", 4);
  ASSERT_GT(rows.size(), 100u);
  for (const auto& r : rows)
    EXPECT_NEAR(FProb(r[0], r[1], r[2]), r[3], 1e-6) << "f " << r[0] << " df " << r[1] << ", " << r[2];
}

TEST(Probd, LargeDegreesOfFreedomConverge) {
  EXPECT_NEAR(ChiSqProb(1000, 1000), 0.494, 5e-4);
  EXPECT_FALSE(ProbErrorSet());
  EXPECT_LT(ChiSqProb(2 * 5000, 5000), 0.5);
}

struct EdgeCase {
  const char* what;
  std::function<double()> probability;
  double expected;
  bool failed;  // the error flag is set, and the result is the sentinel
};

TEST(Probd, EdgesAndFailures) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const EdgeCase cases[] = {
      {"chi2 0 with df > 0", [] { return ChiSqProb(0, 4); }, 1.0, false},
      {"chi2 a hair below 0", [] { return ChiSqProb(-1e-12, 4); }, 1.0, false},
      {"chi2 3.841 on 1 df", [] { return ChiSqProb(3.841, 1); }, 0.0500137, false},
      {"chi2 with df 0", [] { return ChiSqProb(3, 0); }, 0.0, true},
      {"chi2 NaN", [nan] { return ChiSqProb(nan, 3); }, 0.0, true},
      {"F 1 with equal df", [] { return FProb(1, 7, 7); }, 0.5, false},
      {"F 0", [] { return FProb(0, 3, 9); }, 1.0, false},
      {"F 3 on 1 and 1 df", [] { return FProb(3, 1, 1); }, 1.0 / 3.0, false},
      {"F infinite", [inf] { return FProb(inf, 3, 9); }, 0.0, false},
      {"F negative", [] { return FProb(-1, 3, 9); }, 99.0, true},
      {"F with df1 0", [] { return FProb(2, 0, 9); }, 99.0, true},
      {"F with df2 0", [] { return FProb(2, 3, 0); }, 99.0, true},
      {"F NaN", [nan] { return FProb(nan, 3, 9); }, 99.0, true},
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(c.probability(), c.expected, 1e-6) << c.what;
    EXPECT_EQ(ProbErrorSet(), c.failed) << c.what;
  }
}

TEST(Probd, SeriesAndFractionAgreeAtTheirBoundary) {
  // GammaP switches from the series to the continued fraction at x = a + 1.
  long double lnA;
  const long double a = 7.5L, x = a + 1.0L;
  EXPECT_NEAR(static_cast<double>(GammaSeries(a, x, lnA) + GammaContFrac(a, x, lnA)), 1.0, 1e-6);
  EXPECT_NEAR(static_cast<double>(lnA), std::lgamma(7.5), 1e-9);
  ClearProbError();
  EXPECT_EQ(GammaP(-1, 2), 0.0L);
  EXPECT_TRUE(ProbErrorSet());
}

}  // namespace
