// SIMQUAL's coefficients against references computed by independent tools,
// the formula table with its fixed diagonals and 9999 rules, and the counting
// of a pair (codes, missing values, refused values).

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "SimTestSupport.h"
#include "modules/similarity/simqual.h"

namespace {

using simtest::LoadDataSet;
using simtest::LoadReferences;

struct RefCase {
  TSimqualCoeff coeff;
  const char* ref;
  std::function<double(double)> convert;
};

// ade4's dist.binary gives d = sqrt(1 - s): the module's s is 1 - d^2.
double FromAde4(double d) { return 1 - d * d; }
double Same(double s) { return s; }

TEST(SimqualReference, TwoStateCoefficientsMatchAde4AndVegan) {
  const TOtuData data = LoadDataSet("binary.qmx", 1, false);
  ASSERT_EQ(data.n(), 6);
  const auto refs = LoadReferences("binary.qmx", 1);
  const RefCase cases[] = {
      {sqJ, "ade4.1", FromAde4},    {sqSM, "ade4.2", FromAde4},
      {sqUN2, "ade4.3", FromAde4},  {sqRT, "ade4.4", FromAde4},
      {sqDICE, "ade4.5", FromAde4}, {sqH, "ade4.6", FromAde4},
      {sqO, "ade4.7", FromAde4},    {sqUN5, "ade4.8", FromAde4},
      {sqPHI, "ade4.9", FromAde4},  {sqRR, "ade4.10", FromAde4},
      {sqUN1, "UN1", Same},         {sqUN3, "UN3", Same},
      {sqK1, "K1", Same},           {sqK2, "K2", Same},
      {sqUN4, "UN4", Same},         {sqY, "Y", Same},
  };
  const TOtuTable table(*data.matrix);
  for (const RefCase& c : cases) {
    SCOPED_TRACE(c.ref);
    for (int i = 2; i <= data.n(); ++i) {
      for (int j = 1; j < i; ++j) {
        const TSimqualCounts counts = SimqualCount(table, i, j, c.coeff, 1, 0);
        EXPECT_NEAR(SimqualValue(c.coeff, counts, false), c.convert(refs.at(c.ref).At(i, j)), simtest::Tolerance)
            << i << "," << j;
      }
    }
  }
}

TEST(SimqualReference, MultistateMatchesCountExactEquality) {
  const TOtuData data = LoadDataSet("multistate.qmx", 1, true);
  const auto refs = LoadReferences("multistate.qmx", 1);
  const auto& matches = refs.at("matches");
  const TOtuTable table(*data.matrix);
  const double p = data.p();
  for (int i = 2; i <= data.n(); ++i) {
    for (int j = 1; j < i; ++j) {
      const double m = matches.At(i, j), u = p - m;
      const TSimqualCounts counts = SimqualCount(table, i, j, sqSM, 1, 0);
      EXPECT_EQ(counts.m, m);
      EXPECT_NEAR(SimqualValue(sqSM, counts, false), m / p, simtest::Tolerance);
      EXPECT_NEAR(SimqualValue(sqUN1, counts, false), 2 * m / (2 * m + u), simtest::Tolerance);
      EXPECT_NEAR(SimqualValue(sqRT, counts, false), m / (m + 2 * u), simtest::Tolerance);
      EXPECT_NEAR(SimqualValue(sqUN3, counts, false), m / u, simtest::Tolerance);
      EXPECT_NEAR(SimqualValue(sqH, counts, false), (m - u) / p, simtest::Tolerance);
    }
  }
}

struct FormulaCase {
  const char* name;
  TSimqualCoeff coeff;
  TSimqualCounts counts;
  bool diagonal;
  double expected;
};

TSimqualCounts Mu(double m, double u) { return {m, u, 0, 0, 0, 0}; }
TSimqualCounts Abcd(double a, double b, double c, double d) { return {0, 0, a, b, c, d}; }

TEST(SimqualFormula, DiagonalsAndUndefinedValues) {
  const FormulaCase cases[] = {
      {"SM with nothing counted", sqSM, Mu(0, 0), false, 9999},
      {"SM diagonal is 1 whatever the counts", sqSM, Mu(0, 0), true, 1},
      {"UN1 diagonal", sqUN1, Mu(0, 3), true, 1},
      {"RT diagonal", sqRT, Mu(0, 3), true, 1},
      {"UN3 diagonal is 0", sqUN3, Mu(4, 0), true, 0},
      {"UN3 without mismatches", sqUN3, Mu(4, 0), false, 9999},
      {"H diagonal follows the formula", sqH, Mu(3, 1), true, 0.5},
      {"J with no + state shared", sqJ, Abcd(0, 2, 3, 1), false, 0},
      {"K1 with no + state shared", sqK1, Abcd(0, 2, 3, 1), false, 0},
      {"O with no + state shared", sqO, Abcd(0, 2, 3, 1), false, 0},
      {"O diagonal of an OTU without + states", sqO, Abcd(0, 0, 0, 5), true, 9999},
      {"J diagonal of an OTU without + states", sqJ, Abcd(0, 0, 0, 5), true, 1},
      {"J with only - states", sqJ, Abcd(0, 0, 0, 5), false, 9999},
      {"RR diagonal follows the formula", sqRR, Abcd(2, 0, 0, 3), true, 0.4},
      {"K1 without mismatches", sqK1, Abcd(3, 0, 0, 2), false, 9999},
      {"K2 with a + b = 0", sqK2, Abcd(0, 0, 2, 2), false, 9999},
      {"UN4 with b + d = 0", sqUN4, Abcd(3, 0, 1, 0), false, 9999},
      {"UN4 with c + d = 0", sqUN4, Abcd(3, 1, 0, 0), false, 9999},
      {"UN4 defined", sqUN4, Abcd(2, 1, 1, 2), false, (2.0 / 3 + 2.0 / 3 + 2.0 / 3 + 2.0 / 3) / 4},
      {"UN5 with d = 0 everywhere", sqUN5, Abcd(3, 1, 1, 0), false, 0},
      {"UN5 with a zero margin", sqUN5, Abcd(3, 0, 1, 0), false, 9999},
      {"Y with ad + bc = 0", sqY, Abcd(0, 0, 3, 2), false, 9999},
      {"PHI diagonal is 1", sqPHI, Abcd(0, 0, 0, 5), true, 1},
      {"PHI with a zero margin", sqPHI, Abcd(3, 0, 1, 0), false, 9999},
  };
  for (const FormulaCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_NEAR(SimqualValue(c.coeff, c.counts, c.diagonal), c.expected, 1e-15);
  }
}

// One OTU a column: three characters of two OTUs, 9 marking missing values.
std::unique_ptr<Rect_mx> TwoOtus(const std::vector<double>& x, const std::vector<double>& y, int missCode = 0) {
  auto m = std::make_unique<Rect_mx>(static_cast<std::int32_t>(x.size()), 2, missCode, missCode ? 9.0 : NoMissingValue);
  for (std::size_t k = 0; k < x.size(); ++k) {
    m->putxij(static_cast<std::int32_t>(k + 1), 1, x[k]);
    m->putxij(static_cast<std::int32_t>(k + 1), 2, y[k]);
  }
  return m;
}

TEST(SimqualCount, MissingValuesLeaveThePairsCounts) {
  const auto data = TwoOtus({1, 9, 0, 1, 9}, {1, 1, 0, 9, 9}, 1);
  const TSimqualCounts counts = SimqualCount(TOtuTable(*data), 2, 1, sqJ, 1, 0);
  EXPECT_EQ(counts.a, 1);
  EXPECT_EQ(counts.d, 1);
  EXPECT_EQ(counts.b + counts.c, 0);

  const auto allMissing = TwoOtus({9, 1}, {0, 9}, 1);
  const TSimqualCounts none = SimqualCount(TOtuTable(*allMissing), 2, 1, sqSM, 1, 0);
  EXPECT_EQ(none.m + none.u, 0);
  EXPECT_EQ(SimqualValue(sqSM, none, false), 9999);
}

TEST(SimqualCount, OtherCodesTakeTheirPlace) {
  const auto data = TwoOtus({2, 2, 5}, {2, 5, 5});
  const TSimqualCounts counts = SimqualCount(TOtuTable(*data), 1, 2, sqJ, 2, 5);
  EXPECT_EQ(counts.a, 1);
  EXPECT_EQ(counts.b, 1);
  EXPECT_EQ(counts.d, 1);
}

TEST(SimqualCount, AValueThatIsNeitherCodeIsRefusedEvenOnTheDiagonal) {
  const auto data = TwoOtus({1, 0, 2}, {1, 0, 1});
  try {
    SimqualCount(TOtuTable(*data), 1, 1, sqJ, 1, 0);
    FAIL() << "no error";
  } catch (const E_Morvapc& e) {
    EXPECT_STREQ(e.what(), "Value in data matrix ( 2.00000000000000E+0000) not + - codes or missing");
  }
  EXPECT_NO_THROW(SimqualCount(TOtuTable(*data), 1, 1, sqSM, 1, 0)) << "any state counts for SM";
}

TEST(SimqualCount, DefaultRealTextIs23Characters) {
  const std::pair<double, const char*> cases[] = {
      {2, " 2.00000000000000E+0000"},
      {-0.125, "-1.25000000000000E-0001"},
      {123456.5, " 1.23456500000000E+0005"},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(DefaultRealText(value), text);
}

}  // namespace
