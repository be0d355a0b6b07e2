// The tied-tree search: which branches it opens, the exact tree limit, and
// the sorting of node children that makes equal trees look alike.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "matrix/Constu.h"
#include "modules/clustering/sahnClustering.h"
#include "modules/clustering/sahnTiedTrees.h"
#include "tests/modules/clustering/SahnTestSupport.h"
#include "tests/shell/ShellTestSupport.h"

namespace {

using namespace sahntest;

struct Found {
  std::vector<TSahnDendrogram> trees;
  bool truncated = false;
};

Found Find(const Sym_mx& d, TSahnMethod method, std::int32_t maxTrees, double tol = 0.0) {
  Found found;
  std::int32_t expectedNumber = 1;
  found.truncated = SahnFindTiedTrees(d, TSahnOptions{method, 0.5, tol}, maxTrees,
                                      [&](std::int32_t number, const TSahnDendrogram& tree) {
                                        EXPECT_EQ(number, expectedNumber++);
                                        found.trees.push_back(tree);
                                      });
  return found;
}

SymMatrix Equidistant(std::int32_t n) {
  return MatrixOf(n, std::vector<double>(static_cast<std::size_t>(n * (n - 1) / 2), 1.0));
}

// Cophenetic values rounded, as a key of a set of distinct trees.
std::vector<long long> Key(const Cophenetic& c) {
  std::vector<long long> key;
  for (std::size_t i = 1; i < c.size(); ++i) {
    for (std::size_t j = 1; j < i; ++j) key.push_back(std::llround(c[i][j] * 1e9));
  }
  return key;
}

TEST(SahnTiedTrees, WithoutTiesMakesOneTreeWithTheClustersOfTheTieCheck) {
  std::mt19937_64 random(7);
  for (TSahnMethod method : {TSahnMethod::Single, TSahnMethod::Complete, TSahnMethod::Upgma, TSahnMethod::Wpgma,
                             TSahnMethod::Upgmc, TSahnMethod::Wpgmc, TSahnMethod::Flexi}) {
    for (int set = 0; set < 40; ++set) {
      const SymMatrix d = RandomEuclidean(random, 4 + set % 9, 3);
      const Found found = Find(d, method, 25);
      ASSERT_EQ(found.trees.size(), 1u);
      EXPECT_FALSE(found.truncated);
      SymMatrix work = Copy(d);
      bool tie = false;
      const TSahnDendrogram warned = SahnClusterWithTieCheck(work, TSahnOptions{method, 0.5, 0.0}, tie);
      ExpectSameCophenetic(CopheneticOf(found.trees[0]), CopheneticOf(warned), 1e-12,
                           std::string(SahnMethodInfo(method).name) + " set " + std::to_string(set));
    }
  }
}

struct BranchCase {
  const char* name;
  TSahnMethod method;
  std::int32_t n;
  std::vector<double> lower;
  std::int32_t maxTrees;
  double tol;
  std::size_t trees;
  bool truncated;
};

class SahnTiedTreeCount : public ::testing::TestWithParam<BranchCase> {};

TEST_P(SahnTiedTreeCount, FollowsEachChoiceThatCanGiveAnotherTree) {
  const BranchCase& c = GetParam();
  const Found found = Find(MatrixOf(c.n, c.lower), c.method, c.maxTrees, c.tol);
  EXPECT_EQ(found.trees.size(), c.trees);
  EXPECT_EQ(found.truncated, c.truncated);
}

INSTANTIATE_TEST_SUITE_P(
    Matrices, SahnTiedTreeCount,
    ::testing::Values(
        // Three OTUs all at one distance: the three pairs overlap.
        BranchCase{"ThreeEquidistant", TSahnMethod::Upgma, 3, {1, 1, 1}, 25, 0.0, 3, false},
        // (2,1) and (4,3) tie: joining either first gives the same UPGMA tree,
        // but centroid values depend on the order.
        BranchCase{"DisjointPairsUpgma", TSahnMethod::Upgma, 4, {1, 5, 5, 5, 5, 1}, 25, 0.0, 1, false},
        BranchCase{"DisjointPairsUpgmc", TSahnMethod::Upgmc, 4, {1, 5, 5, 5, 5, 1}, 25, 0.0, 2, false},
        // WPGMA values depend on the order of joins, so both orders of the
        // disjoint pairs are followed (here they give duplicate trees; the
        // enumeration below finds matrices where they do not).
        BranchCase{"DisjointPairsWpgma", TSahnMethod::Wpgma, 5, {1, 3, 4, 6, 6, 1, 6, 6, 6, 6}, 25, 0.0, 2, false},
        BranchCase{"LimitOfTwo", TSahnMethod::Upgma, 3, {1, 1, 1}, 2, 0.0, 2, true},
        // The list of (2,1), (3,1) is full when (3,2) comes; then (4,1) lies
        // below them all and starts the list again: one tree, not cut short.
        BranchCase{"FullListStartedAgain", TSahnMethod::Upgma, 4, {5, 5, 5, 1, 9, 9}, 2, 0.0, 1, false},
        // (2,1) at 1.0, (3,1) at 0.992 within 0.01 of it, then (3,2) at 0.985
        // more than 0.01 below 1.0: the list starts again without (3,1).
        BranchCase{
            "CandidateDroppedOnRestart", TSahnMethod::Upgma, 4, {1.0, 0.992, 0.985, 5, 6, 7}, 25, 0.01, 1, false},
        BranchCase{"NegativeToleranceSeesNoTies", TSahnMethod::Upgma, 3, {1, 1, 1}, 25, -1.0, 1, false}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(SahnTiedTrees, StaleCandidatesAreNeverJoined) {
  const Found found = Find(MatrixOf(4, {5, 5, 5, 1, 9, 9}), TSahnMethod::Upgma, 2);
  ASSERT_EQ(found.trees.size(), 1u);
  const Cophenetic c = CopheneticOf(found.trees[0]);
  EXPECT_EQ(c[1][4], 1);
  EXPECT_EQ(c[2][3], 5);
  EXPECT_EQ(c[1][2], 7);
}

TEST(SahnTiedTrees, MakesExactlyTheLimitWhenMoreTreesTie) {
  for (std::int32_t n : {3, 4, 5}) {
    const std::size_t all = Find(Equidistant(n), TSahnMethod::Upgma, 9999).trees.size();
    for (std::int32_t limit : {2, 3, 6, 9, 25, 100}) {
      const Found found = Find(Equidistant(n), TSahnMethod::Upgma, limit);
      EXPECT_EQ(found.trees.size(), std::min<std::size_t>(all, static_cast<std::size_t>(limit)))
          << n << " OTUs, limit " << limit;
      EXPECT_EQ(found.truncated, all > static_cast<std::size_t>(limit)) << n << " OTUs, limit " << limit;
    }
  }
}

// Every sequence of joins that takes a pair at the smallest value, as a set
// of distinct trees.
void EnumerateJoins(const PlainClustering& state, const TSahnOptions& options,
                    std::set<std::vector<long long>>& trees) {
  if (state.live.size() == 1) {
    trees.insert(Key(state.coph));
    return;
  }
  const double best = state.Smallest();
  for (std::size_t a = 0; a < state.live.size(); ++a) {
    for (std::size_t b = a + 1; b < state.live.size(); ++b) {
      if (state.value[state.live[a]][state.live[b]] != best) continue;
      PlainClustering next = state;
      next.Join(a, b, options);
      EnumerateJoins(next, options, trees);
    }
  }
}

std::set<std::vector<long long>> AllTiedTrees(const Sym_mx& d, const TSahnOptions& options) {
  std::set<std::vector<long long>> trees;
  EnumerateJoins(PlainClustering(d), options, trees);
  return trees;
}

TEST(SahnTiedTrees, FindsEveryDistinctTiedTreeOfSmallMatrices) {
  std::mt19937_64 random(11);
  std::uniform_int_distribution<int> small(1, 3);
  for (TSahnMethod method : {TSahnMethod::Single, TSahnMethod::Complete, TSahnMethod::Upgma, TSahnMethod::Wpgma,
                             TSahnMethod::Upgmc, TSahnMethod::Wpgmc, TSahnMethod::Flexi}) {
    for (int set = 0; set < 25; ++set) {
      const std::int32_t n = 4 + set % 3;
      std::vector<double> lower(static_cast<std::size_t>(n * (n - 1) / 2));
      for (double& v : lower) v = small(random);
      const SymMatrix d = MatrixOf(n, lower);
      const TSahnOptions options{method, 0.5, 0.0};
      std::set<std::vector<long long>> found;
      for (const TSahnDendrogram& tree : Find(d, method, 9999).trees) found.insert(Key(CopheneticOf(tree)));
      EXPECT_EQ(found, AllTiedTrees(d, options)) << SahnMethodInfo(method).name << " set " << set;
    }
  }
}

TEST(SahnPairKey, NumbersPairsInTheOrderOfTheLowerTriangle) {
  EXPECT_EQ(SahnPairKey(2, 1), 1);
  EXPECT_EQ(SahnPairKey(1, 3), 2);
  EXPECT_EQ(SahnPairKey(3, 2), 3);
  EXPECT_EQ(SahnPairKey(4, 1), 4);
  EXPECT_EQ(SahnPairKey(100, 99), 4950);
}

struct SortCase {
  const char* name;
  std::vector<std::int32_t> order;
  std::vector<double> levels;
  std::vector<std::int32_t> sortedOrder;
  std::vector<double> sortedLevels;
  const char* verdict;
};

class SahnNodeSorting : public ::testing::TestWithParam<SortCase> {};

TEST_P(SahnNodeSorting, PutsChildrenInAscendingOrderOfTheirFirstOtu) {
  const SortCase& c = GetParam();
  shelltest::RecordedServices services;
  TSahnDendrogram tree{c.order, c.levels};
  SahnSortTreeNodes(tree);
  EXPECT_EQ(tree.order, c.sortedOrder);
  EXPECT_EQ(tree.levels, c.sortedLevels);
  EXPECT_EQ(services.lines, (std::vector<std::string>{"Sorting tree nodes ...", c.verdict}));
}

INSTANTIATE_TEST_SUITE_P(
    Trees, SahnNodeSorting,
    ::testing::Values(SortCase{"Pair", {2, 1}, {1}, {1, 2}, {1}, " done."},
                      SortCase{"AlreadySorted", {1, 2, 3}, {1, 2}, {1, 2, 3}, {1, 2}, " none needed."},
                      // Root children (3,4) and (5,1): the second comes first once
                      // its own children are in order.
                      SortCase{"ChildSortedAfterItsParent", {3, 4, 5, 1}, {2, 9, 1}, {1, 5, 3, 4}, {1, 9, 2}, " done."},
                      SortCase{"Multifurcation", {4, 2, 3, 1}, {5, 5, 5}, {1, 2, 3, 4}, {5, 5, 5}, " done."},
                      SortCase{"InnerNodesKeepTheirLevels",
                               {6, 5, 2, 4, 3, 1},
                               {1, 7, 3, 2, 3},
                               {1, 2, 3, 4, 5, 6},
                               {3, 3, 2, 7, 1},
                               " done."}),
    [](const auto& test) { return std::string(test.param.name); });

// The same tree with the children of its nodes in a random order: the
// children of a span part at its highest gaps.
void ShuffleChildren(TSahnDendrogram& tree, std::size_t first, std::size_t last, std::mt19937_64& random) {
  if (first == last) return;
  double top = tree.levels[first];
  for (std::size_t g = first; g < last; ++g) top = std::max(top, tree.levels[g]);
  std::vector<std::pair<std::size_t, std::size_t>> children;
  std::size_t start = first;
  for (std::size_t p = first; p <= last; ++p) {
    if (p == last || tree.levels[p] == top) {
      children.emplace_back(start, p);
      start = p + 1;
    }
  }
  for (auto [a, b] : children) ShuffleChildren(tree, a, b, random);
  std::shuffle(children.begin(), children.end(), random);
  TSahnDendrogram copy = tree;
  std::size_t at = first;
  for (auto [a, b] : children) {
    if (at != first) copy.levels[at - 1] = top;
    for (std::size_t p = a; p <= b; ++p, ++at) {
      copy.order[at] = tree.order[p];
      if (p < b) copy.levels[at] = tree.levels[p];
    }
  }
  tree = copy;
}

TEST(SahnNodeSorting, GivesTreesThatDifferOnlyInChildOrderOneForm) {
  shelltest::RecordedServices services;
  std::mt19937_64 random(3);
  for (int set = 0; set < 50; ++set) {
    const std::int32_t n = 3 + set % 12;
    SymMatrix d = RandomEuclidean(random, n, 2);
    bool tie = false;
    TSahnDendrogram tree = SahnClusterWithTieCheck(d, TSahnOptions{TSahnMethod::Upgma, 0, 0}, tie);
    TSahnDendrogram shuffled = tree;
    ShuffleChildren(shuffled, 0, shuffled.order.size() - 1, random);
    ExpectSameCophenetic(CopheneticOf(shuffled), CopheneticOf(tree), 0, "shuffle");
    SahnSortTreeNodes(tree);
    SahnSortTreeNodes(shuffled);
    EXPECT_EQ(shuffled.order, tree.order) << "set " << set;
    EXPECT_EQ(shuffled.levels, tree.levels) << "set " << set;
  }
}

TEST(SahnNodeSorting, RefusesANodeOfMoreThan25Children) {
  shelltest::RecordedServices services;
  for (const std::int32_t n : {25, 26}) {
    TSahnDendrogram tree;
    for (std::int32_t k = n; k >= 1; --k) tree.order.push_back(k);
    tree.levels.assign(static_cast<std::size_t>(n - 1), 2.0);
    if (n == 25) {
      EXPECT_NO_THROW(SahnSortTreeNodes(tree));
      EXPECT_EQ(tree.order.front(), 1);
    } else {
      try {
        SahnSortTreeNodes(tree);
        ADD_FAILURE() << "26 children sorted";
      } catch (const E_Morvapc& e) {
        EXPECT_STREQ(e.what(), "Too many (26) multifurcations in a single pass");
      }
    }
  }
}

}  // namespace
