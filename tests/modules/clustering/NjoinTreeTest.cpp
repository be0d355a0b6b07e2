// Neighbour joining: its trees against ape::nj (made by the script in
// tests/fixtures/njoin/references), the graph and rooting cases worked by
// hand, the tie search, and the outgroup parser's messages.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "matrix/Constu.h"
#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "modules/clustering/njoinTree.h"
#include "rtl/Convert.h"
#include "rtl/TextFile.h"
#include "tests/modules/clustering/SahnTestSupport.h"
#include "tests/support/RecordedServices.h"

namespace {

using sahntest::MatrixOf;
using sahntest::SymMatrix;

const std::filesystem::path References = std::filesystem::path(MORVA_FIXTURES) / "njoin" / "references";

// Splits by the side without OTU 1, with their lengths.
using Splits = std::map<std::vector<std::int32_t>, double>;

std::vector<std::int32_t> SideWithoutOne(const TLargeSet& set, std::int32_t n) {
  std::vector<std::int32_t> side;
  const bool hasOne = SetMember(1, set);
  for (std::int32_t k = 1; k <= n; ++k) {
    if (SetMember(k, set) != hasOne) side.push_back(k);
  }
  return side;
}

Splits SplitsOf(const TNjoinBranches& branches, std::int32_t n) {
  Splits splits;
  for (const TNjoinBranch& b : branches) splits[SideWithoutOne(b.set, n)] = b.length;
  return splits;
}

struct Made {
  std::vector<TNjoinBranches> trees;
  TNjoinSearch search;
};

Made Join(const Sym_mx& d, const TNjoinOptions& options = {}) {
  Made made;
  made.search = NjoinFindTiedTrees(d, options, [&](std::int32_t number, TNjoinBranches& branches, bool) {
    EXPECT_EQ(number, static_cast<std::int32_t>(made.trees.size()) + 1);
    made.trees.push_back(branches);
  });
  return made;
}

SymMatrix ReadMatrix(const std::string& name) {
  rtl::TextReader f((References / (name + ".qmx")).string());
  std::unique_ptr<rtl::StringList> comments;
  TMatrixHeader header;
  EXPECT_TRUE(ReadMatrixHeader(f, comments, header, false, {mtDissimilarity}));
  SymMatrix d(header.type, header.rows);
  Read(d, f);
  return d;
}

Splits ReadSplits(const std::string& name) {
  rtl::TextReader f((References / (name + ".splits")).string());
  Splits splits;
  std::string line;
  while (f.ReadLine(line)) {
    std::istringstream words(line);
    std::string length;
    words >> length;
    std::vector<std::int32_t> side;
    for (std::int32_t k; words >> k;) side.push_back(k);
    splits[side] = rtl::StrToFloat(length);
  }
  return splits;
}

class NjoinAgainstApe : public ::testing::TestWithParam<const char*> {};

TEST_P(NjoinAgainstApe, GivesItsSplitsAndLengths) {
  testsupport::RecordedServices services;
  const SymMatrix d = ReadMatrix(GetParam());
  const Made made = Join(d);
  ASSERT_EQ(made.trees.size(), 1U);
  EXPECT_FALSE(made.search.tie);
  const std::int32_t n = d->n();
  ASSERT_EQ(made.trees[0].size(), static_cast<std::size_t>(2 * n - 3));
  const Splits actual = SplitsOf(made.trees[0], n);
  const Splits expected = ReadSplits(GetParam());
  ASSERT_EQ(actual.size(), expected.size());
  for (const auto& [side, length] : expected) {
    const auto found = actual.find(side);
    ASSERT_NE(found, actual.end()) << "split of " << side.size() << " OTUs from " << side.front();
    EXPECT_NEAR(found->second, length, 1e-9) << "split of " << side.size() << " OTUs from " << side.front();
  }
}

INSTANTIATE_TEST_SUITE_P(References, NjoinAgainstApe,
                         ::testing::Values("additive4", "additive6", "additive10", "additive30", "random50-1",
                                           "random50-2"));

TEST(NjoinTree, ThreeOtusJoinTheClosestPairAndMeetAtOneNode) {
  testsupport::RecordedServices services;
  // d(1,2) = 2, d(1,3) = 5, d(2,3) = 7: lengths 0, 2, 5.
  const SymMatrix d = MatrixOf(3, {2, 5, 7});
  Made made = Join(d);
  ASSERT_EQ(made.trees.size(), 1U);
  const Splits splits = SplitsOf(made.trees[0], 3);
  EXPECT_EQ(splits, (Splits{{{2, 3}, 0.0}, {{2}, 2.0}, {{3}, 5.0}}));
  const std::vector<TNjoinEdge> edges = NjoinBranchGraph(made.trees[0], 3, 1.0);
  ASSERT_EQ(edges.size(), 3U);
  for (std::int32_t k = 0; k < 3; ++k) {
    EXPECT_EQ(edges[k].from, k + 1);
    EXPECT_EQ(edges[k].to, -1);
  }
  EXPECT_DOUBLE_EQ(edges[0].value, 0.0);
  EXPECT_DOUBLE_EQ(edges[1].value, 2.0);
  EXPECT_DOUBLE_EQ(edges[2].value, 5.0);
}

// The additive tree ((1:1, 2:2):3, (3:4, 4:5)).
SymMatrix FourOtus() { return MatrixOf(4, {3, 8, 9, 9, 10, 9}); }

TEST(NjoinTree, FourAdditiveOtusGiveTheTreeAndItsGraph) {
  testsupport::RecordedServices services;
  Made made = Join(FourOtus());
  ASSERT_EQ(made.trees.size(), 1U);
  EXPECT_EQ(SplitsOf(made.trees[0], 4), (Splits{{{2}, 2.0}, {{3}, 4.0}, {{4}, 5.0}, {{2, 3, 4}, 1.0}, {{3, 4}, 3.0}}));
  // Similarity working values come back with the input's sign.
  const std::vector<TNjoinEdge> edges = NjoinBranchGraph(made.trees[0], 4, -1.0);
  ASSERT_EQ(edges.size(), 5U);
  const std::vector<std::pair<std::int32_t, std::int32_t>> expected = {{1, -1}, {2, -1}, {3, -2}, {4, -2}, {-1, -2}};
  const std::vector<double> values = {-1, -2, -4, -5, -3};
  for (std::size_t k = 0; k < edges.size(); ++k) {
    EXPECT_EQ(std::make_pair(edges[k].from, edges[k].to), expected[k]) << k;
    EXPECT_DOUBLE_EQ(edges[k].value, values[k]) << k;
  }
}

TEST(NjoinTree, GraphsHavePendantThenInnerEdges) {
  testsupport::RecordedServices services;
  const SymMatrix d = ReadMatrix("additive10");
  Made made = Join(d);
  const std::vector<TNjoinEdge> edges = NjoinBranchGraph(made.trees[0], 10, 1.0);
  ASSERT_EQ(edges.size(), 17U);
  std::map<std::int32_t, std::int32_t> degree;
  for (std::size_t k = 0; k < edges.size(); ++k) {
    EXPECT_EQ(edges[k].from, k < 10 ? static_cast<std::int32_t>(k) + 1 : -static_cast<std::int32_t>(k - 9)) << k;
    EXPECT_LT(edges[k].to, 0);
    EXPECT_GE(edges[k].to, -8);
    ++degree[edges[k].from];
    ++degree[edges[k].to];
  }
  // Every inner node of an unrooted binary tree meets three edges.
  for (std::int32_t node = -1; node >= -8; --node) EXPECT_EQ(degree[node], 3) << node;
}

TEST(NjoinTree, MidpointRootingOnTheLongestPath) {
  testsupport::RecordedServices services;
  // Longest path 2-4 (10 = 2 + 3 + 5): its middle lies on the inner
  // branch, 5 from OTU 2, so the root set is one side of it.
  Made made = Join(FourOtus());
  const TNjoinPath path = NjoinLongestPath(made.trees[0], 4);
  EXPECT_EQ(path.first, 2);
  EXPECT_EQ(path.second, 4);
  EXPECT_DOUBLE_EQ(static_cast<double>(path.length), 10.0);
  EXPECT_EQ(NjoinPathBranches(made.trees[0], 4, 2, 4).size(), 3U);
  const TNjoinRoot root = NjoinRoot(made.trees[0], 4);
  EXPECT_EQ(SideWithoutOne(root.set, 4), (std::vector<std::int32_t>{3, 4}));
  // The first branch from the path's first OTU is longer than half the path:
  // 1:10 against 2:1, 3:1 (path 1-2 of 11) roots on OTU 1's branch.
  const SymMatrix star = MatrixOf(3, {11, 11, 2});
  made = Join(star);
  EXPECT_TRUE(SetEqual(NjoinRoot(made.trees[0], 3).set, SetSingleton(1)));
}

TEST(NjoinTree, LongestPathTiesGoToTheFirstPair) {
  testsupport::RecordedServices services;
  // A star of equal branches: every pair is 2 apart; 1-2 comes first.
  const Made made = Join(MatrixOf(4, {2, 2, 2, 2, 2, 2}));
  const TNjoinPath path = NjoinLongestPath(made.trees[0], 4);
  EXPECT_EQ(path.first, 1);
  EXPECT_EQ(path.second, 2);
}

TEST(NjoinTree, OutgroupMonophyly) {
  testsupport::RecordedServices services;
  const Made made = Join(FourOtus());
  const auto setOf = [](std::vector<std::int32_t> otus) {
    TLargeSet s;
    for (std::int32_t k : otus) SetInclude(k, s);
    return s;
  };
  struct Case {
    std::vector<std::int32_t> outgroup;
    bool clade;
  };
  for (const Case& c : std::vector<Case>{{{3, 4}, true},
                                         {{1, 2}, true},
                                         {{2}, true},
                                         {{1, 2, 3}, true},
                                         {{1, 3}, false},
                                         {{2, 4}, false},
                                         {{}, false}}) {
    EXPECT_EQ(NjoinIsMonophyletic(made.trees[0], 4, setOf(c.outgroup)), c.clade) << c.outgroup.size();
  }
}

TEST(NjoinTree, RootedDendrogramRanksEveryDepthApart) {
  testsupport::RecordedServices services;
  // A caterpillar of 12 OTUs with long integer branches, joined with a tie
  // tolerance of 0.1: its rooted tree keeps one level per depth.
  const std::int32_t n = 12;
  SymMatrix d(mtDissimilarity, n);
  d->Fill(0);
  // OTU k hangs 10 * k from spine node k; spine edges are 7 long.
  const auto hang = [](std::int32_t k) { return 10.0 * k; };
  for (std::int32_t i = 2; i <= n; ++i) {
    for (std::int32_t j = 1; j < i; ++j) d->putxij(i, j, hang(i) + hang(j) + 7.0 * (i - j));
  }
  const Made made = Join(d, {.tol = 0.1});
  EXPECT_FALSE(made.search.tie);
  const TNjoinDendrogram tree = NjoinRootedDendrogram(made.trees[0], n, NjoinRoot(made.trees[0], n).set);
  ASSERT_EQ(tree.levels.size(), static_cast<std::size_t>(n - 1));
  const std::set<double> distinct(tree.levels.begin(), tree.levels.end());
  EXPECT_GE(distinct.size(), 6U);
  EXPECT_EQ(*distinct.begin(), 2.0);
  std::vector<std::int32_t> order = tree.order;
  std::sort(order.begin(), order.end());
  for (std::int32_t k = 0; k < n; ++k) EXPECT_EQ(order[k], k + 1);
}

TEST(NjoinTree, RootedDendrogramOfFourOtus) {
  testsupport::RecordedServices services;
  const Made made = Join(FourOtus());
  // Rooted on {3, 4}: (1, 2) and (3, 4) below the root.
  TLargeSet root = SetUnion(SetSingleton(3), SetSingleton(4));
  TNjoinDendrogram tree = NjoinRootedDendrogram(made.trees[0], 4, root);
  EXPECT_EQ(tree.order, (std::vector<std::int32_t>{1, 2, 3, 4}));
  EXPECT_EQ(tree.levels, (std::vector<double>{2.0, 3.0, 2.0}));
  // Rooted on {4}: ((1, 2), 3), 4.
  tree = NjoinRootedDendrogram(made.trees[0], 4, SetSingleton(4));
  EXPECT_EQ(tree.order, (std::vector<std::int32_t>{1, 2, 3, 4}));
  EXPECT_EQ(tree.levels, (std::vector<double>{2.0, 3.0, 4.0}));
}

TEST(NjoinTree, TiesWarnOrBranch) {
  testsupport::RecordedServices services;
  const SymMatrix equal = MatrixOf(4, {2, 2, 2, 2, 2, 2});
  Made made = Join(equal);
  EXPECT_EQ(made.trees.size(), 1U);
  EXPECT_TRUE(made.search.tie);
  // Following: the five pairs sharing a cluster with (1, 2) each open a
  // branch, and each branch meets three tied pairs among the last three
  // clusters (their trees are alike unrooted).
  made = Join(equal, {.maxTrees = 25, .findTies = true});
  EXPECT_EQ(made.trees.size(), 15U);
  EXPECT_FALSE(made.search.truncated);
  EXPECT_FALSE(made.search.tie);
  made = Join(equal, {.maxTrees = 2, .findTies = true});
  EXPECT_EQ(made.trees.size(), 2U);
  EXPECT_TRUE(made.search.truncated);
  // With room for one tree only, every tie truncates.
  made = Join(equal, {.maxTrees = 1, .findTies = true});
  EXPECT_EQ(made.trees.size(), 1U);
  EXPECT_TRUE(made.search.truncated);
  // Without ties a search finds one tree.
  made = Join(FourOtus(), {.maxTrees = 25, .findTies = true});
  EXPECT_EQ(made.trees.size(), 1U);
  EXPECT_FALSE(made.search.truncated);
  // A negative tolerance sees no tie.
  made = Join(equal, {.tol = -1});
  EXPECT_FALSE(made.search.tie);
}

// With no positive tolerance the scan evaluates the criterion only for the
// pairs near the smallest; a tolerance too small to matter makes it evaluate
// every pair. On small integers, full of ties, both choose alike.
TEST(NjoinTree, QuickScanChoosesAsTheFullScan) {
  testsupport::RecordedServices services;
  std::mt19937 random(29);
  std::uniform_int_distribution<int> value(1, 5);
  for (int round = 0; round < 20; ++round) {
    const std::int32_t n = 5 + round % 6;
    SymMatrix d(mtDissimilarity, n);
    d->Fill(0);
    for (std::int32_t i = 2; i <= n; ++i) {
      for (std::int32_t j = 1; j < i; ++j) d->putxij(i, j, value(random));
    }
    for (bool find : {false, true}) {
      const Made quick = Join(d, {.tol = 0, .maxTrees = 50, .findTies = find});
      const Made full = Join(d, {.tol = 1e-300, .maxTrees = 50, .findTies = find});
      ASSERT_EQ(quick.trees.size(), full.trees.size()) << round;
      EXPECT_EQ(quick.search.tie, full.search.tie) << round;
      EXPECT_EQ(quick.search.truncated, full.search.truncated) << round;
      for (std::size_t t = 0; t < quick.trees.size(); ++t) {
        EXPECT_EQ(SplitsOf(quick.trees[t], n), SplitsOf(full.trees[t], n)) << round << " tree " << t;
      }
    }
  }
}

TEST(NjoinTree, RefusesTooFewOrTooManyOtusAndBadValues) {
  struct Case {
    std::int32_t n;
    double value;
    const char* message;
  };
  for (const Case& c : std::vector<Case>{{2, 1.0, "Neighbor joining needs at least 3 OTUs"},
                                         {501, 1.0, "Input matrix is too large, maximum size is 500"},
                                         {3, 1e201, "NJOIN cannot use the value"},
                                         {3, std::nan(""), "NJOIN cannot use the value"}}) {
    SymMatrix d(mtDissimilarity, c.n);
    d->Fill(c.value);
    try {
      NjoinCheckInput(d);
      ADD_FAILURE() << c.n;
    } catch (const E_Morvapc& e) {
      EXPECT_EQ(std::string(e.what()).rfind(c.message, 0), 0U) << e.what();
    }
  }
}

TEST(NjoinTree, FiveHundredOtusFillBothHalvesOfTheSets) {
  testsupport::RecordedServices services;
  const std::int32_t n = 500;
  SymMatrix d(mtDissimilarity, n);
  d->Fill(0);
  // Additive: OTU k hangs 1 + k / 1000 from a spine of unit edges.
  for (std::int32_t i = 2; i <= n; ++i) {
    for (std::int32_t j = 1; j < i; ++j) d->putxij(i, j, 2.0 + (i + j) / 1000.0 + (i - j));
  }
  Made made = Join(d);
  ASSERT_EQ(made.trees.size(), 1U);
  ASSERT_EQ(made.trees[0].size(), static_cast<std::size_t>(2 * n - 3));
  const Splits splits = SplitsOf(made.trees[0], n);
  EXPECT_EQ(splits.size(), static_cast<std::size_t>(2 * n - 3));
  // The caterpillar's splits: OTUs k + 1 .. n from those up to k.
  for (std::int32_t k = 2; k <= n - 2; ++k) {
    std::vector<std::int32_t> side;
    for (std::int32_t x = k + 1; x <= n; ++x) side.push_back(x);
    const auto found = splits.find(side);
    ASSERT_NE(found, splits.end()) << k;
    EXPECT_NEAR(found->second, 1.0, 1e-9) << k;
  }
  const std::vector<TNjoinEdge> edges = NjoinBranchGraph(made.trees[0], n, 1.0);
  EXPECT_EQ(edges.back().from, -(n - 3));
}

struct OutgroupCase {
  const char* text;
  std::vector<std::int32_t> otus;
  const char* message;
};

TEST(NjoinOutgroup, ParsesOrNamesTheFault) {
  const std::string many = "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21";
  const std::vector<OutgroupCase> cases = {
      {"3, 5 7", {3, 5, 7}, nullptr},
      {"0", {1}, nullptr},
      {"", {}, nullptr},
      {"          ", {}, nullptr},
      {",12,,", {12}, nullptr},
      {"3a", {}, "Invalid character (a) in outgroup list"},
      {"4 -2", {}, "Invalid character (-) in outgroup list"},
      {"99999999999999999999999", {}, "Bad integer number (99999999999999999999999) for root OTU"},
      {"31", {}, "index (31) for root OTU out of range"},
      {"40000", {}, "index (40000) for root OTU out of range"},
      {many.c_str(), {}, "Too many OTUs in outgroup list (max = 20)"},
  };
  for (const OutgroupCase& c : cases) {
    if (!c.message) {
      EXPECT_EQ(NjoinParseOutgroup(c.text, 30), c.otus) << c.text;
      continue;
    }
    try {
      NjoinParseOutgroup(c.text, 30);
      ADD_FAILURE() << c.text;
    } catch (const E_Morvapc& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
  }
}

}  // namespace
