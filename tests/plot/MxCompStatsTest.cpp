// The matrix comparison's statistics without a window: r, Z and the
// permuted statistics against R (cor, ape's mantel.test, vegan's mantel with
// the same permutations), the normal probability against pnorm, the t-test's
// moments against every permutation of small matrices, the refusals, the tie
// rule and standardised values with missing entries.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <numeric>
#include <sstream>
#include <string>
#include <vector>

#include "FpTraps.h"
#include "matrix/Constu.h"
#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "plot/mxcompStats.h"
#include "tests/support/RecordedServices.h"

namespace {

std::string Fixture(const std::string& name) { return std::string(MORVA_FIXTURES) + "/mxcomp/" + name; }

std::unique_ptr<Sym_mx> ReadFixture(const std::string& name) {
  rtl::TextReader f(Fixture(name));
  std::unique_ptr<rtl::StringList> comments;
  TMatrixHeader header;
  EXPECT_TRUE(ReadMatrixHeader(f, comments, header, false, {mtDissimilarity, mtSimilarity}));
  auto m = std::make_unique<Sym_mx>(header.type, header.rows, header.missingCode, header.missingValue);
  Read(*m, f);
  return m;
}

// A matrix of order n from its lower triangle, row by row, diagonal included.
std::unique_ptr<Sym_mx> MakeSym(std::int32_t n, const std::vector<double>& lower, std::int32_t missCode = 0,
                                double missValue = 0) {
  auto m = std::make_unique<Sym_mx>(mtDissimilarity, n, missCode, missValue);
  std::size_t k = 0;
  for (std::int32_t i = 1; i <= n; ++i) {
    for (std::int32_t j = 1; j <= i; ++j) m->putxij(i, j, lower.at(k++));
  }
  return m;
}

// A pair with its masks, kept together.
struct Pair {
  Pair(std::unique_ptr<Sym_mx> x, std::unique_ptr<Sym_mx> y) { data.Add(std::move(x), std::move(y)); }
  TMxCompPair View() { return {data.X[0], data.Y[0], data.XValid[0], data.YValid[0]}; }
  TMxCompData data;
};

// The permutation P[1..n] := order.
const ivect_mx& Permutation(const std::vector<std::int32_t>& order) {
  static std::unique_ptr<ivect_mx> p;
  p = std::make_unique<ivect_mx>(static_cast<std::int32_t>(order.size()));
  for (std::size_t i = 0; i < order.size(); ++i) p->Put(static_cast<std::int32_t>(i + 1), order[i]);
  return *p;
}

// ---- Against R ----

struct RSet {
  double r = 0;
  double z = 0;
  TMxCompCounts counts;
  std::vector<std::vector<std::int32_t>> perms;
  std::vector<double> permStats;
};

// references.txt, made by make_references.R beside it.
std::map<int, RSet> ReadReferences(std::vector<std::pair<double, double>>& pnorm) {
  std::map<int, RSet> sets;
  std::ifstream in(Fixture("references.txt"));
  RSet* set = nullptr;
  for (std::string line; std::getline(in, line);) {
    std::istringstream words(line);
    std::string key;
    words >> key;
    if (key == "set") {
      int n = 0;
      words >> n;
      set = &sets[n];
    } else if (key == "r") {
      words >> set->r;
    } else if (key == "z") {
      words >> set->z;
    } else if (key == "counts") {
      words >> set->counts.less >> set->counts.equal >> set->counts.greater;
    } else if (key == "perm") {
      std::vector<double> values;
      for (double v; words >> v;) values.push_back(v);
      set->permStats.push_back(values.back());
      set->perms.emplace_back(values.begin(), values.end() - 1);
    } else if (key == "pnorm") {
      double z = 0, p = 0;
      words >> z >> p;
      pnorm.emplace_back(z, p);
    }
  }
  return sets;
}

class MxCompAgainstR : public ::testing::TestWithParam<int> {
 protected:
  RSet reference() {
    std::vector<std::pair<double, double>> pnorm;
    auto sets = ReadReferences(pnorm);
    EXPECT_EQ(sets.count(GetParam()), 1u);
    return sets[GetParam()];
  }
  Pair pair{ReadFixture("x" + std::to_string(GetParam()) + ".qmx"),
            ReadFixture("y" + std::to_string(GetParam()) + ".qmx")};
};

TEST_P(MxCompAgainstR, RawStatisticsAndPermutationCountsAreRs) {
  const RSet ref = reference();
  const TMxCompStatistics s = MxCompAssociation(pair.View(), false, false);
  EXPECT_NEAR(s.r, ref.r, 1e-9) << "cor of the lower triangles";
  EXPECT_NEAR(s.Z, ref.z, 1e-9 * std::fabs(ref.z)) << "mantel.test's z.stat";
  TMxCompCounts counts;
  for (const auto& order : ref.perms) counts.Tally(MxCompPermutedZ(pair.View(), Permutation(order)), s.Z);
  EXPECT_EQ(counts.less, ref.counts.less);
  EXPECT_EQ(counts.equal, ref.counts.equal);
  EXPECT_EQ(counts.greater, ref.counts.greater);
}

TEST_P(MxCompAgainstR, NormalisedPermutedStatisticsAreVegansOnePerPermutation) {
  const RSet ref = reference();
  const TMxCompStatistics s = MxCompAssociation(pair.View(), true, true);
  EXPECT_NEAR(s.Z, ref.r, 1e-9) << "normalised Z is r";
  for (std::size_t k = 0; k < ref.perms.size(); ++k) {
    EXPECT_NEAR(MxCompPermutedZ(pair.View(), Permutation(ref.perms[k])), ref.permStats[k], 1e-9) << "permutation " << k;
  }
}

INSTANTIATE_TEST_SUITE_P(RandomMatrices, MxCompAgainstR, ::testing::Values(20, 60));

TEST(MxCompNormalCdf, IsWithinTwoBillionthsOfPnorm) {
  std::vector<std::pair<double, double>> pnorm;
  ReadReferences(pnorm);
  ASSERT_EQ(pnorm.size(), 281u);
  for (const auto& [z, p] : pnorm) EXPECT_NEAR(MxCompNormalCdf(z), p, 2e-9) << "z = " << z;
  EXPECT_EQ(MxCompNormalCdf(0), 0.5);
  EXPECT_EQ(MxCompNormalCdf(6.5), 1.0);
  EXPECT_EQ(MxCompNormalCdf(-6.5), 0.0);
}

// ---- The t-test's moments ----

// E and V are the exact mean and variance of the full-matrix statistic 2Z
// over all n! orderings of Y's objects.
TEST(MxCompMantelMoments, AreTheMeanAndVarianceOverEveryPermutation) {
  for (std::int32_t n = 4; n <= 7; ++n) {
    std::vector<double> xs, ys;
    for (std::int32_t i = 1; i <= n; ++i) {
      for (std::int32_t j = 1; j <= i; ++j) {
        xs.push_back(i == j ? 0 : std::sin(3.0 * i + j) + 0.1 * i);
        ys.push_back(i == j ? 0 : std::cos(1.7 * i * j) + 0.05 * j);
      }
    }
    Pair pair(MakeSym(n, xs), MakeSym(n, ys));
    const TMxCompStatistics s = MxCompAssociation(pair.View(), false, false);
    std::vector<std::int32_t> order(static_cast<std::size_t>(n));
    std::iota(order.begin(), order.end(), 1);
    long double sum = 0, sumOfSquares = 0, count = 0;
    do {
      const long double z2 = 2.0L * MxCompPermutedZ(pair.View(), Permutation(order));
      sum += z2;
      sumOfSquares += z2 * z2;
      ++count;
    } while (std::next_permutation(order.begin(), order.end()));
    const long double mean = sum / count;
    const long double variance = sumOfSquares / count - mean * mean;
    const TMantelMoments m = MxCompMantelMoments(n, s.SX, s.SY, s.SXX, s.SYY, s.QX, s.QY);
    EXPECT_NEAR(m.E, static_cast<double>(mean), 1e-9 * std::fabs(m.E)) << n << " objects";
    EXPECT_NEAR(m.V, static_cast<double>(variance), 1e-9 * m.V) << n << " objects";
  }
}

// ---- Refusals ----

struct RefusalCase {
  const char* name;
  std::int32_t n;
  std::vector<double> x;
  std::vector<double> y;
  std::int32_t xMissCode;
  const char* message;
};

class MxCompRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(MxCompRefusal, IsAnErrorBeforeAnythingIsDivided) {
  const RefusalCase& c = GetParam();
  Pair pair(MakeSym(c.n, c.x, c.xMissCode, -1), MakeSym(c.n, c.y));
  FpTraps traps;
  try {
    MxCompAssociation(pair.View(), false, false);
    ADD_FAILURE() << "no error";
  } catch (const E_Morvapc& error) {
    EXPECT_STREQ(error.what(), c.message);
  }
}

const std::vector<double> kFour = {0, 1, 0, 2, 3, 0, 4, 6, 5, 0};
const std::vector<double> kFourOther = {0, 2, 0, 1, 5, 0, 3, 4, 7, 0};
const std::vector<double> kFourPointOne = {0, .1, 0, .1, .1, 0, .1, .1, .1, 0};
const std::vector<double> kFourMissing = {0, -1, 0, -1, -1, 0, -1, -1, -1, 0};

INSTANTIATE_TEST_SUITE_P(Matrices, MxCompRefusal,
                         ::testing::Values(RefusalCase{"ThreeObjects",
                                                       3,
                                                       {0, 1, 0, 2, 3, 0},
                                                       {0, 3, 0, 1, 2, 0},
                                                       0,
                                                       "At least 4 objects are needed to compare two matrices"},
                                           RefusalCase{"EveryPairMissing", 4, kFourMissing, kFour, 1,
                                                       "No pair of objects has a value in both matrices"},
                                           // Constant 0.1 leaves a sum of squares of rounding noise, not 0.
                                           RefusalCase{"XConstantPointOne", 4, kFourPointOne, kFour, 0,
                                                       "Warning: X-matrix seems to be invariant, no r can be computed"},
                                           RefusalCase{
                                               "YConstantPointOne", 4, kFourOther, kFourPointOne, 0,
                                               "Warning: Y-matrix seems to be invariant, no r can be computed"}),
                         [](const auto& param) { return std::string(param.param.name); });

// ---- Ties ----

TEST(MxCompCounts, EqualWithinTheRelativeToleranceIsTestedBeforeLess) {
  struct Case {
    double zp, z;
    TMxCompCounts expected;
  };
  const Case cases[] = {
      {1.0 - 1e-13, 1.0, {0, 1, 0}},  // rounding below Z is equal, not less
      {1.0 + 1e-13, 1.0, {0, 1, 0}},  // and above it
      {0.9, 1.0, {1, 0, 0}},         {1.1, 1.0, {0, 0, 1}},
      {1e7 - 1e-4, 1e7, {0, 1, 0}},                            // relative to |Z|: far below one part in 1e10
      {1e7 - 1e-2, 1e7, {1, 0, 0}},  {5e-11, 0.0, {0, 1, 0}},  // near 0 the tolerance is 1e-10
      {-2e-10, 0.0, {1, 0, 0}},
  };
  for (const Case& c : cases) {
    TMxCompCounts counts;
    counts.Tally(c.zp, c.z);
    EXPECT_EQ(std::tie(counts.less, counts.equal, counts.greater),
              std::tie(c.expected.less, c.expected.equal, c.expected.greater))
        << c.zp << " against " << c.z;
  }
}

// ---- Standardised values with missing entries ----

// With normalising for permutations, every entry that holds a value, in both
// matrices and on the diagonal too, is standardised with the means and
// scales of the pairs used; an entry valid in X whose Y is missing is no
// exception, and missing entries stay missing, even when a standardised
// value comes within 1e-6 of the missing value.
TEST(MxCompStandardised, EveryValueIsStandardisedAndMissingEntriesStayApart) {
  const std::int32_t n = 5;
  const std::vector<double> xs = {0, 3, 0, 5, 4, 0, 9, 1, 2, 0, 6, 8, 7, 3, 0};
  const std::vector<double> ys = {0, 2, 0, -1, 7, 0, 4, 4, 9, 0, 5, 1, 3, 8, 0};  // (3, 1) missing
  // The mean and scale of X over the pairs used, and a missing value for X
  // that one standardised X entry (5, 4) comes within 1e-12 of.
  std::vector<double> xsProbe = xs;
  xsProbe[6] = -1;  // (4, 1) is X's missing entry
  double meanX = 0, scaleX = 1;
  {
    Pair probe(MakeSym(n, xsProbe, 1, -1), MakeSym(n, ys, 1, -1));
    const TMxCompStatistics s = MxCompAssociation(probe.View(), true, false);
    meanX = s.meanX;
    scaleX = std::sqrt(s.SSx);
  }
  const double collision = (3 - meanX) / scaleX + 1e-12;
  std::vector<double> xsWithMissing = xs;
  xsWithMissing[6] = collision;
  Pair raw(MakeSym(n, xsWithMissing, 1, collision), MakeSym(n, ys, 1, -1));
  Pair pair(MakeSym(n, xsWithMissing, 1, collision), MakeSym(n, ys, 1, -1));
  const TMxCompStatistics s = MxCompAssociation(pair.View(), true, true);
  const double scaleY = std::sqrt(s.SSy);

  const Sym_mx& x = pair.data.X[0];
  const Sym_mx& y = pair.data.Y[0];
  const Sym_mx& x0 = raw.data.X[0];
  const Sym_mx& y0 = raw.data.Y[0];
  for (std::int32_t i = 1; i <= n; ++i) {
    for (std::int32_t j = 1; j <= i; ++j) {
      if (pair.data.XValid[0](i, j)) {
        EXPECT_DOUBLE_EQ(x.getxij(i, j), (x0.getxij(i, j) - s.meanX) / std::sqrt(s.SSx)) << i << "," << j;
      } else {
        EXPECT_EQ(x.getxij(i, j), collision) << "missing stays missing";
      }
      if (pair.data.YValid[0](i, j)) {
        EXPECT_DOUBLE_EQ(y.getxij(i, j), (y0.getxij(i, j) - s.meanY) / scaleY) << i << "," << j;
      }
    }
  }
  EXPECT_FALSE(pair.data.XValid[0](4, 1));
  EXPECT_TRUE(pair.data.XValid[0](5, 4)) << "a standardised value near the missing value is still a value";
  EXPECT_FALSE(pair.data.YValid[0](3, 1));

  // Each permuted sum, worked from the raw values: standardised X and Y,
  // leaving out X's missing pairs and Y's missing entries at their permuted places.
  const std::vector<std::int32_t> order = {3, 5, 1, 4, 2};
  double expected = 0;
  for (std::int32_t i = 2; i <= n; ++i) {
    for (std::int32_t j = 1; j < i; ++j) {
      const std::int32_t pi = order[static_cast<std::size_t>(i - 1)];
      const std::int32_t pj = order[static_cast<std::size_t>(j - 1)];
      if (!raw.data.XValid[0](i, j) || !raw.data.YValid[0](pi, pj)) continue;
      expected += (x0.getxij(i, j) - s.meanX) / std::sqrt(s.SSx) * (y0.getxij(pi, pj) - s.meanY) / scaleY;
    }
  }
  EXPECT_NEAR(MxCompPermutedZ(pair.View(), Permutation(order)), expected, 1e-12);
  EXPECT_NEAR(MxCompPermutedZ(pair.View(), Permutation({1, 2, 3, 4, 5})), s.Z, 1e-12);
}

// Without permutations the matrices keep their raw values (the plot shows them).
TEST(MxCompStandardised, NormalisingWithoutPermutationsLeavesTheMatricesRaw) {
  Pair pair(MakeSym(4, kFour), MakeSym(4, kFourOther));
  testsupport::RecordedServices listing;
  MxCompCompute(pair.View(), true, 0);
  EXPECT_EQ(pair.data.X[0].getxij(4, 3), 5.0);
  EXPECT_EQ(pair.data.Y[0].getxij(4, 3), 7.0);
}

}  // namespace
