// SIMINT's coefficients against references computed by independent tools,
// and the rules the tools do not share: guards, diagonals, missing values and
// the CHISQ preparation.

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "SimTestSupport.h"
#include "modules/similarity/simint.h"

namespace {

using simtest::LoadDataSet;
using simtest::LoadReferences;
using simtest::Reference;

// Which cells of the reference hold the coefficient's values.
enum class Cells { Lower, WithDiagonal, Diagonal };

struct RefCase {
  const char* name;
  TSimintCoeff coeff;
  const char* ref;
  Cells cells;
  // The module's value from the tool's value at (i, j); p is the number of characters.
  std::function<double(double tool, const TOtuData& data, int i, int j)> convert;
};

double Same(double v, const TOtuData&, int, int) { return v; }
double OneMinus(double v, const TOtuData&, int, int) { return 1 - v; }

// Characters where x + y > 0, the divisor of vegan's Canberra distance.
int NonDoubleZero(const TOtuData& data, int i, int j) {
  int count = 0;
  for (int k = 1; k <= data.p(); ++k) count += data.matrix->getxij(k, i) + data.matrix->getxij(k, j) > 0;
  return count;
}

const std::vector<RefCase> IntervalCases = {
    {"CORR", siCORR, "cor", Cells::WithDiagonal, Same},
    // R's dist is the plain Euclidean distance; DIST divides the sum by N = p.
    {"DIST", siDIST, "dist", Cells::WithDiagonal,
     [](double v, const TOtuData& d, int, int) { return v / std::sqrt(d.p()); }},
    {"COSINE", siCOSINE, "cosine", Cells::WithDiagonal, Same},
    {"VARCOV", siVARCOV, "cov", Cells::WithDiagonal, Same},
    {"EUCLID", siEUCLID, "dist", Cells::WithDiagonal, Same},
    // MANHAT is the mean absolute difference: R's sum over p.
    {"MANHAT", siMANHAT, "manhattan", Cells::WithDiagonal,
     [](double v, const TOtuData& d, int, int) { return v / d.p(); }},
    // DISTSQ is the mean squared difference: R's dist squared over p.
    {"DISTSQ", siDISTSQ, "dist", Cells::WithDiagonal,
     [](double v, const TOtuData& d, int, int) { return v * v / d.p(); }},
    {"PSHAPE", siPSHAPE, "vardiff", Cells::WithDiagonal, Same},
    // PSIZE is the squared mean difference.
    {"PSIZE", siPSIZE, "meandiff", Cells::WithDiagonal, [](double v, const TOtuData&, int, int) { return v * v; }},
    {"XXT", siXXT, "crossprod", Cells::WithDiagonal, Same},
    {"CHISQ", siCHISQ, "chisq", Cells::WithDiagonal, Same},
    // vegan gives dissimilarities 1 - index.
    {"MORISITA", siMORISITA, "morisita", Cells::Lower, OneMinus},
    {"MORISITA diagonal", siMORISITA, "morisitadiag", Cells::Diagonal, Same},
    {"MORISIT2", siMORISIT2, "horn", Cells::Lower, OneMinus},
    {"RENKONEN", siRENKONEN, "minimum", Cells::Lower, Same},
    {"RENKONEN diagonal", siRENKONEN, "rowsum", Cells::Diagonal, Same},
    {"BRAYCURT", siBRAYCURT, "bray", Cells::WithDiagonal, Same},
    // vegan divides by the characters not zero in both OTUs, the module by all N = p.
    {"CANBERRA", siCANBERRA, "canberra", Cells::WithDiagonal,
     [](double v, const TOtuData& d, int i, int j) { return v * NonDoubleZero(d, i, j) / d.p(); }},
    {"EUCLIDSQ", siEUCLIDSQ, "dist", Cells::WithDiagonal, [](double v, const TOtuData&, int, int) { return v * v; }},
};

void ExpectMatchesReference(const RefCase& c, const std::string& file, int set) {
  SCOPED_TRACE(c.name);
  TOtuData data = LoadDataSet(file, set, true);
  const auto refs = LoadReferences(file, set);
  const Reference& ref = refs.at(c.ref);
  std::vector<double> weights;
  if (c.coeff == siCHISQ) {
    ASSERT_TRUE(SimintChisqPrepare(*data.matrix, weights));
  }
  const TSimintComputer computer(*data.matrix, c.coeff, weights);
  for (int i = 1; i <= data.n(); ++i) {
    for (int j = 1; j <= i; ++j) {
      if ((c.cells == Cells::Lower && i == j) || (c.cells == Cells::Diagonal && i != j)) continue;
      EXPECT_NEAR(computer.Value(i, j), c.convert(ref.At(i, j), data, i, j), simtest::Tolerance) << i << "," << j;
    }
  }
}

TEST(SimintReference, EveryCoefficientMatchesAnIndependentTool) {
  for (const RefCase& c : IntervalCases) ExpectMatchesReference(c, "interval.qmx", 1);
}

TEST(SimintReference, NCountsTheCharactersOfEveryPair) {
  const TOtuData data = LoadDataSet("interval.qmx", 1, true);
  const TSimintComputer computer(*data.matrix, siN);
  for (int i = 1; i <= data.n(); ++i) {
    for (int j = 1; j <= i; ++j) EXPECT_EQ(computer.Value(i, j), 6);
  }
}

// The second data set marks missing values: they are deleted pair by pair.
TEST(SimintReference, MissingValuesAreDeletedPairwise) {
  const RefCase cases[] = {
      {"CORR", siCORR, "cor", Cells::WithDiagonal, Same},
      // R scales the sum of the present characters up by p / N: DIST is dist / sqrt(p) all the same.
      {"DIST", siDIST, "dist", Cells::WithDiagonal,
       [](double v, const TOtuData& d, int, int) { return v / std::sqrt(d.p()); }},
      {"N", siN, "count", Cells::WithDiagonal, Same},
  };
  for (const RefCase& c : cases) ExpectMatchesReference(c, "interval.qmx", 2);
}

// Two OTUs of p characters, one per column.
std::unique_ptr<Rect_mx> TwoOtus(const std::vector<double>& x, const std::vector<double>& y) {
  auto m = std::make_unique<Rect_mx>(static_cast<std::int32_t>(x.size()), 2);
  for (std::size_t k = 0; k < x.size(); ++k) {
    m->putxij(static_cast<std::int32_t>(k + 1), 1, x[k]);
    m->putxij(static_cast<std::int32_t>(k + 1), 2, y[k]);
  }
  return m;
}

struct PairCase {
  const char* name;
  TSimintCoeff coeff;
  std::vector<double> x, y;
  double expected;  // s(2, 1)
};

TEST(SimintPair, DefinitionsGuardsAndEdgeCases) {
  const double r43 = std::sqrt(4.0 / 3.0);
  const PairCase cases[] = {
      {"DIST of (1,2,3) and (1,2,5)", siDIST, {1, 2, 3}, {1, 2, 5}, r43},
      {"EUCLID of the same", siEUCLID, {1, 2, 3}, {1, 2, 5}, 2},
      {"DISTSQ of the same", siDISTSQ, {1, 2, 3}, {1, 2, 5}, 4.0 / 3.0},
      {"EUCLIDSQ of the same", siEUCLIDSQ, {1, 2, 3}, {1, 2, 5}, 4},
      {"MANHAT of the same", siMANHAT, {1, 2, 3}, {1, 2, 5}, 2.0 / 3.0},
      {"CORR with a constant OTU is 0", siCORR, {2, 2, 2}, {1, 2, 5}, 0},
      {"CORR with one character is 0", siCORR, {1}, {3}, 0},
      {"COSINE with one character is 0", siCOSINE, {1}, {3}, 0},
      {"VARCOV with one character is 0", siVARCOV, {1}, {3}, 0},
      {"XXT with one character is 0", siXXT, {1}, {3}, 0},
      {"COSINE with an all-zero OTU is 0", siCOSINE, {0, 0, 0}, {1, 2, 5}, 0},
      {"MORISITA with an OTU total of 1 is 0", siMORISITA, {1, 0, 0}, {1, 2, 5}, 0},
      {"MORISITA with an OTU total of 0 is 0", siMORISITA, {0, 0, 0}, {1, 2, 5}, 0},
      {"MORISIT2 with an OTU total of 0 is 0", siMORISIT2, {0, 0, 0}, {1, 2, 5}, 0},
      {"BRAYCURT with both totals 0 is 0", siBRAYCURT, {0, 0}, {0, 0}, 0},
      {"CANBERRA counts a double zero in N only", siCANBERRA, {0, 1, 3}, {0, 3, 1}, (0.5 + 0.5) / 3},
      {"RENKONEN sums the smaller values", siRENKONEN, {4, 1, 3}, {2, 5, 3}, 2 + 1 + 3},
  };
  for (const PairCase& c : cases) {
    SCOPED_TRACE(c.name);
    const TSimintComputer computer(*TwoOtus(c.x, c.y), c.coeff);
    EXPECT_NEAR(computer.Value(2, 1), c.expected, 1e-15);
  }
}

TEST(SimintPair, SkippedDiagonalsAre0AndComputedOnesFollowTheFormula) {
  const auto otus = TwoOtus({1, 2, 4}, {3, 1, 2});
  const Rect_mx& data = *otus;
  for (TSimintCoeff c : {siDIST, siEUCLID, siMANHAT, siDISTSQ, siBRAYCURT, siCANBERRA, siEUCLIDSQ}) {
    EXPECT_EQ(TSimintComputer(data, c).Value(1, 1), 0) << c;
  }
  EXPECT_NEAR(TSimintComputer(data, siCORR).Value(1, 1), 1, 1e-15);
  EXPECT_NEAR(TSimintComputer(data, siCOSINE).Value(2, 2), 1, 1e-15);
  EXPECT_NEAR(TSimintComputer(data, siXXT).Value(1, 1), 1 + 4 + 16, 1e-15);
  EXPECT_NEAR(TSimintComputer(data, siMORISIT2).Value(1, 1), 1, 1e-15);
}

TEST(SimintChisq, ProfilesAndWeightsLeaveMissingCellsOut) {
  // Missing value 99: were it counted, OTU 1's total would be 102 instead of 3.
  Rect_mx data(3, 2, 1, 99);
  const double cells[3][2] = {{1, 2}, {99, 1}, {2, 1}};
  for (int k = 1; k <= 3; ++k) {
    for (int i = 1; i <= 2; ++i) data.putxij(k, i, cells[k - 1][i - 1]);
  }
  std::vector<double> w;
  ASSERT_TRUE(SimintChisqPrepare(data, w));
  EXPECT_DOUBLE_EQ(data.getxij(1, 1), 1.0 / 3.0);
  EXPECT_EQ(data.getxij(2, 1), 99) << "a missing cell stays missing";
  EXPECT_DOUBLE_EQ(data.getxij(2, 2), 0.25);
  // Totals 3 and 4, grand total 7; character totals 3, 1 and 3.
  EXPECT_DOUBLE_EQ(w[0], 3.0 / 7.0);
  EXPECT_DOUBLE_EQ(w[1], 1.0 / 7.0);
  EXPECT_DOUBLE_EQ(w[2], 3.0 / 7.0);
  // The pair then counts characters 1 and 3 only.
  const double d1 = 1.0 / 3.0 - 0.5, d3 = 2.0 / 3.0 - 0.25;
  EXPECT_NEAR(TSimintComputer(data, siCHISQ, w).Value(2, 1), std::sqrt(d1 * d1 / w[0] + d3 * d3 / w[2]), 1e-15);
}

TEST(SimintChisq, AnOtuWhoseTotalIsNotPositiveIsRefused) {
  const auto data = TwoOtus({1, -1, 0}, {1, 2, 3});
  std::vector<double> w;
  try {
    SimintChisqPrepare(*data, w);
    FAIL() << "no error";
  } catch (const E_Morvapc& e) {
    EXPECT_STREQ(e.what(), "Row sum is less than or equal to zero");
  }
}

}  // namespace
