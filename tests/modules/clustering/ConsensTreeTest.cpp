// Consensus trees: clusters against ape::consensus (made by the script in
// tests/fixtures/consens/references), the majority threshold in extended
// precision, a hand-worked s-consensus, and the tree of a consensus.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "matrix/Constu.h"
#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "modules/clustering/consensTree.h"
#include "rtl/Convert.h"
#include "rtl/TextFile.h"
#include "tests/support/RecordedServices.h"

namespace {

const std::filesystem::path References = std::filesystem::path(MORVA_FIXTURES) / "consens" / "references";

using Clusters = std::set<std::vector<std::int32_t>>;

Clusters ClustersOf(const TSetStack2& sets) {
  Clusters clusters;
  for (std::int32_t size = 2; size < sets.n; ++size) {
    for (const TClusterRec& rec : sets.Line(size)) clusters.insert(SetElements(rec.set));
  }
  return clusters;
}

// A tree matrix from its order and the levels between neighbours.
std::unique_ptr<Tree_mx> TreeOf(int type, const std::vector<std::int32_t>& order, const std::vector<double>& levels) {
  const auto n = static_cast<std::int32_t>(order.size());
  auto tree = std::make_unique<Tree_mx>(type, n);
  for (std::int32_t k = 1; k <= n; ++k) {
    tree->PutNode(order[static_cast<std::size_t>(k - 1)], k, k < n ? levels[static_cast<std::size_t>(k - 1)] : 0.0);
  }
  return tree;
}

std::vector<TSetStack2> SetsOf(const std::vector<std::unique_ptr<Tree_mx>>& trees) {
  SetInitSize(trees.front()->n());
  std::vector<TSetStack2> sets;
  for (const auto& tree : trees) sets.push_back(ConsensTreeToSets(*tree));
  return sets;
}

class ConsensAgainstApe : public ::testing::TestWithParam<const char*> {};

TEST_P(ConsensAgainstApe, GivesItsClusters) {
  testsupport::RecordedServices services;
  const std::string name = GetParam();
  rtl::TextReader f((References / (name + ".tre")).string());
  std::vector<std::unique_ptr<Tree_mx>> trees;
  std::unique_ptr<rtl::StringList> comments;
  TMatrixHeader header;
  while (!f.SeekEof()) {
    ReadMatrixHeader(f, comments, header, false, {mtTreeDissimilarity});
    trees.push_back(std::make_unique<Tree_mx>(header.type, header.rows));
    Read(*trees.back(), f);
  }
  ASSERT_GE(trees.size(), 10U);
  rtl::TextReader expectedFile((References / (name + ".clusters")).string());
  std::string line;
  ASSERT_TRUE(expectedFile.ReadLine(line));
  const double s = rtl::StrToFloat(line);
  Clusters expected;
  while (expectedFile.ReadLine(line)) {
    std::istringstream words(line);
    std::vector<std::int32_t> cluster;
    for (std::int32_t k; words >> k;) cluster.push_back(k);
    expected.insert(cluster);
  }
  const TSetStack2 consensus = ConsensCountSets(SetsOf(trees), false, s);
  EXPECT_EQ(ClustersOf(consensus), expected);
  EXPECT_EQ(ConsensIndices(consensus).nSets, static_cast<std::int32_t>(expected.size()));
  // The consensus makes a tree: every cluster on consecutive positions.
  EXPECT_NO_THROW(ConsensSetsToTree(consensus));
  SetInitSize(511);
}

INSTANTIATE_TEST_SUITE_P(References, ConsensAgainstApe,
                         ::testing::Values("n20-t10", "n60-t15", "n120-t30", "n260-t11", "n300-t20",
                                           "n300-t10-strict"));

TEST(ConsensThreshold, IsTakenInExtendedPrecision) {
  struct Case {
    std::int32_t trees;
    double s;
    std::int32_t threshold;
  };
  for (const Case& c :
       std::vector<Case>{{10, 0.7, 7}, {4, 0.5, 3}, {10, 1.0, 10}, {3, 0.5, 2}, {11, 0.5, 6}, {2, 1.0, 2}}) {
    EXPECT_EQ(ConsensThreshold(c.trees, c.s), c.threshold) << c.trees << " trees, s = " << c.s;
  }
}

TEST(ConsensTreeToSets, SplitsEachTreeByItsOwnType) {
  SetInitSize(6);
  // Levels between neighbours of 1 2 3 4 5 6: (1,2) and (3,4) join low, the
  // three pairs meet at one level, 5 and 6 join at the middle.
  const auto dissimilarity = TreeOf(mtTreeDissimilarity, {1, 2, 3, 4, 5, 6}, {1, 9, 1, 9, 4});
  EXPECT_EQ(ClustersOf(ConsensTreeToSets(*dissimilarity)), (Clusters{{1, 2}, {3, 4}, {5, 6}}));
  // The same levels in a similarity tree join at the largest values first.
  const auto similarity = TreeOf(mtTreeSimilarity, {1, 2, 3, 4, 5, 6}, {1, 9, 1, 9, 4});
  EXPECT_EQ(ClustersOf(ConsensTreeToSets(*similarity)), (Clusters{{2, 3}, {4, 5, 6}, {4, 5}}));
  // Single OTUs are recorded too, but no consensus takes them.
  const TSetStack2 sets = ConsensTreeToSets(*dissimilarity);
  EXPECT_EQ(sets.Line(1).size(), 6U);
  EXPECT_TRUE(SetMember(1, sets.sizes));
  EXPECT_FALSE(SetMember(3, sets.sizes));
  SetInitSize(511);
}

// ((1,2),3),(4,5) and ((1,2),(3,4)),5.
std::vector<std::unique_ptr<Tree_mx>> TwoTrees() {
  std::vector<std::unique_ptr<Tree_mx>> trees;
  trees.push_back(TreeOf(mtTreeDissimilarity, {1, 2, 3, 4, 5}, {1, 2, 3, 1}));
  trees.push_back(TreeOf(mtTreeDissimilarity, {1, 2, 3, 4, 5}, {1, 2, 1, 3}));
  return trees;
}

TEST(ConsensCountSets, MajorityAndStrict) {
  testsupport::RecordedServices services;
  const std::vector<TSetStack2> sets = SetsOf(TwoTrees());
  EXPECT_EQ(ClustersOf(ConsensCountSets(sets, false, 1.0)), (Clusters{{1, 2}}));
  EXPECT_EQ(ClustersOf(ConsensCountSets(sets, false, 0.5)), (Clusters{{1, 2}}));
  // Two identical trees give their own clusters.
  std::vector<TSetStack2> same = {sets[0], sets[0]};
  const TSetStack2 strict = ConsensCountSets(same, false, 1.0);
  EXPECT_EQ(ClustersOf(strict), (Clusters{{1, 2}, {1, 2, 3}, {4, 5}}));
  EXPECT_EQ(ConsensIndices(strict).nSets, 3);
  EXPECT_TRUE(services.lines.empty());
  // Within a size, clusters are listed as the trees' walks meet them: the
  // first tree's siblings from its last position.
  // Four trees at s = 0.5: a cluster in three enters, one in two does not.
  std::vector<TSetStack2> four = {sets[0], sets[0], sets[0], sets[1]};
  EXPECT_EQ(ClustersOf(ConsensCountSets(four, false, 0.5)), (Clusters{{1, 2}, {1, 2, 3}, {4, 5}}));
  four = {sets[0], sets[0], sets[1], sets[1]};
  EXPECT_EQ(ClustersOf(ConsensCountSets(four, false, 0.5)), (Clusters{{1, 2}}));
  SetInitSize(511);
}

TEST(ConsensCountSets, ListsEveryClusterWithItsFrequency) {
  testsupport::RecordedServices services;
  const std::vector<TSetStack2> sets = SetsOf(TwoTrees());
  ConsensCountSets(sets, true, 0.5);
  const std::vector<std::string> expected = {"",
                                             "",
                                             "Frequency of subsets over 2 input trees",
                                             "",
                                             "SUBSETS, N, & FREQ.:",
                                             "[4,5]    1  0.500",
                                             "[1,2] <  2> 1.000",
                                             "[3,4]    1  0.500",
                                             "[1,2,3]    1  0.500",
                                             "[1,2,3,4]    1  0.500",
                                             "",
                                             "Sets with counts marked with \"< >\" are included in the consensus tree"};
  EXPECT_EQ(services.lines, expected);
  SetInitSize(511);
}

TEST(ConsensStinebrickner, HandWorkedSValues) {
  // Sizes present 2, 3, 4. s-values of the candidates (m, k):
  //   m = 2: {1,2} 2/2; {4} 1/3
  //   m = 3: {1,2} again; {3} 1/4; {4} 1/3
  //   m = 4: {1,2,3} 3/4; {4} 1/5
  struct Case {
    double s;
    Clusters clusters;
    double ciS;
  };
  for (const Case& c : std::vector<Case>{{0.5, {{1, 2}, {1, 2, 3}}, (1.0 + 0.75) / 3},
                                         {0.3, {{1, 2}, {1, 2, 3}}, (1.0 + 1.0 / 3 + 0.75) / 3},
                                         {0.8, {{1, 2}}, 1.0 / 3},
                                         {1.0, {{1, 2}}, 1.0 / 3}}) {
    testsupport::RecordedServices services;
    double ciS = 0;
    const TSetStack2 consensus = ConsensStinebrickner(SetsOf(TwoTrees()), true, c.s, ciS);
    EXPECT_EQ(ClustersOf(consensus), c.clusters) << c.s;
    EXPECT_NEAR(ciS, c.ciS, 1e-15) << c.s;
    EXPECT_EQ(services.lines,
              (std::vector<std::string>{"", "", "s-values of subsets over 2 input trees", "", "SUBSETS:"}));
  }
  SetInitSize(511);
}

TEST(ConsensIndices, OfHandWorkedConsensus) {
  SetInitSize(5);
  TSetStack2 consensus(5);
  consensus.Add(SetUnion(SetSingleton(1), SetSingleton(2)), 2);
  consensus.Add(SetUnion(SetUnion(SetSingleton(1), SetSingleton(2)), SetSingleton(3)), 3);
  const TConsensIndices indices = ConsensIndices(consensus);
  EXPECT_EQ(indices.nSets, 2);
  EXPECT_DOUBLE_EQ(indices.ciC, 2.0 / 3);
  EXPECT_DOUBLE_EQ(indices.ciM, 3.0 / 4);  // (min(1, 3) + min(2, 2)) / (2 * 2)
  EXPECT_EQ(indices.ciSf, 4);              // 1 + 3
  SetInitSize(511);
}

TEST(ConsensSetsToTree, OrdersAndLevelsByNesting) {
  SetInitSize(5);
  TSetStack2 consensus(5);
  consensus.Add(SetUnion(SetSingleton(2), SetSingleton(5)), 2);
  consensus.Add(SetUnion(SetUnion(SetSingleton(2), SetSingleton(5)), SetSingleton(3)), 3);
  const TDendrogram tree = ConsensSetsToTree(consensus);
  EXPECT_EQ(tree.order, (std::vector<std::int32_t>{1, 2, 5, 3, 4}));
  // Depths 0, 2, 1, 0 of the gaps, deepest 2.
  EXPECT_EQ(tree.levels, (std::vector<double>{0.75, 0.25, 0.5, 0.75}));
  // Without clusters every level is 0.5.
  EXPECT_EQ(ConsensSetsToTree(TSetStack2(5)).levels, (std::vector<double>{0.5, 0.5, 0.5, 0.5}));
  SetInitSize(511);
}

TEST(ConsensSetsToTree, RefusesOverlappingClusters) {
  SetInitSize(5);
  TSetStack2 consensus(5);
  consensus.Add(SetUnion(SetSingleton(1), SetSingleton(2)), 2);
  consensus.Add(SetUnion(SetSingleton(2), SetSingleton(3)), 2);
  EXPECT_THROW(ConsensSetsToTree(consensus), E_Morvapc_Internal);
  consensus = TSetStack2(5);
  consensus.Add(SetUnion(SetUnion(SetSingleton(1), SetSingleton(4)), SetSingleton(5)), 3);
  consensus.Add(SetUnion(SetSingleton(2), SetSingleton(4)), 2);
  EXPECT_THROW(ConsensSetsToTree(consensus), E_Morvapc_Internal);
  SetInitSize(511);
}

}  // namespace
