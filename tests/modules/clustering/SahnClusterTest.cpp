// One SAHN clustering with the tie check: the eight update formulas, the
// choice of the pair to join, ties, level truncation and refused values.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "matrix/Constu.h"
#include "modules/clustering/sahnClustering.h"
#include "modules/clustering/sahnTiedTrees.h"
#include "tests/modules/clustering/SahnTestSupport.h"

namespace {

using namespace sahntest;

struct UpdateCase {
  const char* name;
  TSahnMethod method;
  double beta, v, x, y;
  std::int32_t ni, nj;
  double expected;
};

class SahnUpdateTable : public ::testing::TestWithParam<UpdateCase> {};

TEST_P(SahnUpdateTable, GivesTheValueToTheJoinedCluster) {
  const UpdateCase& c = GetParam();
  const TSahnOptions options{c.method, c.beta, 0.0};
  EXPECT_NEAR(TSahnUpdate(options, c.v, c.ni, c.nj)(c.x, c.y), c.expected, 1e-15);
}

INSTANTIATE_TEST_SUITE_P(
    Methods, SahnUpdateTable,
    ::testing::Values(
        UpdateCase{"WpgmaMean", TSahnMethod::Wpgma, 0, 2, 3, 5, 1, 3, 4},
        UpdateCase{"UpgmaWeighsBySize", TSahnMethod::Upgma, 0, 2, 3, 5, 1, 3, 4.5},
        UpdateCase{"SingleSmaller", TSahnMethod::Single, 0, 2, 3, 5, 1, 3, 3},
        UpdateCase{"CompleteLarger", TSahnMethod::Complete, 0, 2, 3, 5, 1, 3, 5},
        UpdateCase{"WpgmcMedian", TSahnMethod::Wpgmc, 0, 2, 3, 5, 1, 3, 4},
        UpdateCase{"WpgmcNegativeSquareGivesZero", TSahnMethod::Wpgmc, 0, 4, 1, 1, 1, 1, 0},
        UpdateCase{"UpgmcCentroid", TSahnMethod::Upgmc, 0, 2, 3, 5, 1, 3, 4.5},
        UpdateCase{"UpgmcNegativeSquareGivesZero", TSahnMethod::Upgmc, 0, 4, 1, 1, 1, 1, 0},
        UpdateCase{"WpgmsOnSimilarities", TSahnMethod::Wpgms, 0, -0.5, -0.3, -0.6, 1, 1, -0.9 / std::sqrt(3.0)},
        UpdateCase{"WpgmsJoinAtSimilarityMinusOneGivesZero", TSahnMethod::Wpgms, 0, 1, -0.3, -0.6, 1, 1, 0},
        UpdateCase{"FlexiNegativeBetaAlpha0_625", TSahnMethod::Flexi, -0.25, 2, 3, 5, 1, 1, 4.5},
        UpdateCase{"FlexiPositiveBeta", TSahnMethod::Flexi, 0.5, 2, 3, 5, 1, 1, 3}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(SahnMethods, KnowTheirKeywordsAndProperties) {
  const struct {
    const char* keyword;
    bool centroid, membersOnly;
  } table[] = {{"COMPLETE", false, true}, {"FLEXI", false, false}, {"SINGLE", false, true}, {"UPGMA", false, true},
               {"UPGMC", true, false},    {"WPGMA", false, false}, {"WPGMC", true, false},  {"WPGMS", true, false}};
  for (const auto& row : table) {
    const auto info = SahnMethodOf(row.keyword);
    ASSERT_TRUE(info) << row.keyword;
    EXPECT_EQ(info->centroid, row.centroid) << row.keyword;
    EXPECT_EQ(info->membersOnly, row.membersOnly) << row.keyword;
    EXPECT_EQ(SahnMethodInfo(info->method).name, row.keyword);
  }
  EXPECT_FALSE(SahnMethodOf("upgma"));
  EXPECT_FALSE(SahnMethodOf(""));
}

// Every method and setting whose join must always take the smallest pair.
struct OracleCase {
  const char* name;
  TSahnMethod method;
  double beta;
  bool similarities;  // negated cosines instead of distances
};

class SahnAgainstBruteForce : public ::testing::TestWithParam<OracleCase> {};

TEST_P(SahnAgainstBruteForce, AlwaysJoinsTheSmallestPair) {
  const OracleCase& c = GetParam();
  const TSahnOptions options{c.method, c.beta, 0.0};
  std::mt19937_64 random(20261210);
  std::uniform_int_distribution<std::int32_t> size(4, 14);
  std::uniform_int_distribution<int> dims(2, 4);
  for (int set = 0; set < 300; ++set) {
    const std::int32_t n = size(random);
    const SymMatrix d = c.similarities ? RandomNegatedCosines(random, n) : RandomEuclidean(random, n, dims(random));
    const Cophenetic expected = BruteForceCophenetic(d, options);
    SymMatrix work = Copy(d);
    bool tie = true;
    const TSahnDendrogram tree = SahnClusterWithTieCheck(work, options, tie);
    ASSERT_EQ(tree.order.size(), static_cast<std::size_t>(n));
    ExpectSameCophenetic(CopheneticOf(tree), expected, 1e-12, std::string(c.name) + " set " + std::to_string(set));
    EXPECT_FALSE(tie) << "set " << set;
  }
}

INSTANTIATE_TEST_SUITE_P(Methods, SahnAgainstBruteForce,
                         ::testing::Values(OracleCase{"Single", TSahnMethod::Single, 0, false},
                                           OracleCase{"Complete", TSahnMethod::Complete, 0, false},
                                           OracleCase{"Upgma", TSahnMethod::Upgma, 0, false},
                                           OracleCase{"Wpgma", TSahnMethod::Wpgma, 0, false},
                                           OracleCase{"Upgmc", TSahnMethod::Upgmc, 0, false},
                                           OracleCase{"Wpgmc", TSahnMethod::Wpgmc, 0, false},
                                           OracleCase{"Wpgms", TSahnMethod::Wpgms, 0, true},
                                           OracleCase{"FlexiBetaHalf", TSahnMethod::Flexi, 0.5, false},
                                           OracleCase{"FlexiBetaNegative", TSahnMethod::Flexi, -0.25, false}),
                         [](const auto& test) { return std::string(test.param.name); });

TSahnDendrogram Cluster(const Sym_mx& d, TSahnMethod method, double tol, bool& tie) {
  SymMatrix work = Copy(d);
  return SahnClusterWithTieCheck(work, TSahnOptions{method, 0.0, tol}, tie);
}

struct TieCase {
  const char* name;
  std::int32_t n;
  std::vector<double> lower;
  double tol;
  bool tie;
};

class SahnTieCheck : public ::testing::TestWithParam<TieCase> {};

TEST_P(SahnTieCheck, FlagsTiedPairs) {
  const TieCase& c = GetParam();
  bool tie = !c.tie;
  Cluster(MatrixOf(c.n, c.lower), TSahnMethod::Upgma, c.tol, tie);
  EXPECT_EQ(tie, c.tie);
}

INSTANTIATE_TEST_SUITE_P(Matrices, SahnTieCheck,
                         ::testing::Values(
                             // (2,1) and (3,1) at 1: OTU 1 could join either.
                             TieCase{"SharedNeighbour", 4, {1, 1, 5, 6, 7, 8}, 0.0, true},
                             // (2,1) and (4,3) at 1: two pairs at the smallest value.
                             TieCase{"TwoPairsAtTheMinimum", 4, {1, 5, 5, 5, 5, 1}, 0.0, true},
                             TieCase{"NoTie", 4, {1, 2, 3, 4, 5, 6}, 0.0, false},
                             // 0.005 apart: a tie only within a tolerance of 0.01.
                             TieCase{"CloseValuesExactly", 4, {1.0, 9, 9, 9, 9, 1.005}, 0.0, false},
                             TieCase{"CloseValuesWithinTolerance", 4, {1.0, 9, 9, 9, 9, 1.005}, 0.01, true},
                             // A tie that only arises after the first join is found exactly: (3,{12})
                             // and (4,{12}) are both 3 after UPGMA, and 3 is then the smallest.
                             TieCase{"TieMadeByAJoin", 4, {1, 2, 4, 2, 4, 9}, 0.0, true}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(SahnClustering, TakesTheFirstOfEqualPairsAndTruncatesReversedLevels) {
  bool tie = false;
  // (2,1) and (3,1) at 1: the first found, in row order, is joined first.
  const TSahnDendrogram first = Cluster(MatrixOf(3, {1, 1, 5}), TSahnMethod::Single, 0.0, tie);
  EXPECT_EQ(first.order, (std::vector<std::int32_t>{1, 2, 3}));
  EXPECT_EQ(first.levels, (std::vector<double>{1, 1}));

  // A(0,0), B(1,0), C(0.5,0.9): UPGMC joins A and B at 1, and C lies 0.9 from
  // their centroid; the level is recorded at the earlier, higher 1.
  const double ac = std::sqrt(1.06);
  const TSahnDendrogram centroid = Cluster(MatrixOf(3, {1, ac, ac}), TSahnMethod::Upgmc, 0.0, tie);
  EXPECT_EQ(centroid.order, (std::vector<std::int32_t>{1, 2, 3}));
  EXPECT_EQ(centroid.levels, (std::vector<double>{1, 1}));
  // Without truncation the reversal shows.
  const TSahnDendrogram plain = Cluster(MatrixOf(3, {1, ac, ac}), TSahnMethod::Upgma, 0.0, tie);
  EXPECT_NEAR(plain.levels[1], ac, 1e-15);
}

TEST(SahnClustering, HandlesOneAndTwoOtus) {
  bool tie = true;
  const TSahnDendrogram one = Cluster(MatrixOf(1, {}), TSahnMethod::Upgma, 0.0, tie);
  EXPECT_EQ(one.order, (std::vector<std::int32_t>{1}));
  EXPECT_TRUE(one.levels.empty());
  EXPECT_FALSE(tie);
  const TSahnDendrogram two = Cluster(MatrixOf(2, {2.5}), TSahnMethod::Complete, 0.0, tie);
  EXPECT_EQ(two.order, (std::vector<std::int32_t>{1, 2}));
  EXPECT_EQ(two.levels, (std::vector<double>{2.5}));
}

TEST(SahnClustering, RefusesValuesItCannotCompare) {
  const double inf = std::numeric_limits<double>::infinity();
  for (const double bad : {9e200, -9e200, 1e300, inf, -inf, std::nan("")}) {
    bool tie = false;
    const SymMatrix d = MatrixOf(3, {1, bad, 2});
    try {
      Cluster(d, TSahnMethod::Upgma, 0.0, tie);
      ADD_FAILURE() << "accepted " << bad;
    } catch (const E_Morvapc& e) {
      EXPECT_EQ(std::string(e.what()).rfind("SAHN cannot cluster the value ", 0), 0u) << e.what();
      EXPECT_NE(std::string(e.what()).find("at row 3, column 1"), std::string::npos) << e.what();
    }
    EXPECT_THROW(SahnFindTiedTrees(d, {}, 5, [](std::int32_t, const TSahnDendrogram&) {}), E_Morvapc);
  }
  bool tie = false;
  EXPECT_NO_THROW(Cluster(MatrixOf(3, {1, 8.9e200, 2}), TSahnMethod::Upgma, 0.0, tie));
}

TEST(SahnClustering, StopsWhenJoinsDriveTheValuesOutOfRange) {
  // FLEXI with a large beta multiplies the level at every join.
  const SymMatrix d = MatrixOf(4, {1e199, 2e199, 3e199, 4e199, 5e199, 6e199});
  const TSahnOptions options{TSahnMethod::Flexi, 1e5, 0.0};
  SymMatrix work = Copy(d);
  bool tie = false;
  EXPECT_THROW(SahnClusterWithTieCheck(work, options, tie), E_Morvapc);
  EXPECT_THROW(SahnFindTiedTrees(d, options, 5, [](std::int32_t, const TSahnDendrogram&) {}), E_Morvapc);
}

}  // namespace
