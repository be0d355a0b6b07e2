// MST against SciPy's minimum spanning trees and its tie rule; COPH against
// R's cophenetic values of hclust trees, its row layout and its refusal of
// trees whose pointers are not the OTUs.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "matrix/Matrixob.h"
#include "modules/clustering/coph.h"
#include "modules/clustering/mst.h"
#include "rtl/Convert.h"
#include "rtl/TextFile.h"
#include "tests/modules/clustering/ModuleRunSupport.h"
#include "tests/shell/ShellTestSupport.h"

namespace {

namespace fs = std::filesystem;

// The generator of the reference script: cells (i, j), i > j, in row order.
std::unique_ptr<Sym_mx> LcgMatrix(std::int32_t n, std::uint64_t seed, int type) {
  auto d = std::make_unique<Sym_mx>(type, n);
  std::uint64_t x = seed;
  for (std::int32_t i = 2; i <= n; ++i) {
    for (std::int32_t j = 1; j < i; ++j) {
      x = x * 6364136223846793005ull + 1442695040888963407ull;
      d->putxij(i, j, 1.0 + static_cast<double>(x >> 11) / 9007199254740992.0);
    }
  }
  return d;
}

std::string Pair(std::int32_t a, std::int32_t b) {
  return std::to_string(std::min(a, b)) + "-" + std::to_string(std::max(a, b));
}

TEST(MstPrim, EqualsScipyTreesWithoutTies) {
  std::istringstream references(rtl::ReadWholeFile(std::string(MORVA_FIXTURES) + "/mst/references.txt"));
  std::int32_t n = 0;
  std::uint64_t seed = 0;
  int type = 0;
  double total = 0;
  int cases = 0;
  while (references >> n >> seed >> type >> total) {
    std::set<std::string> expected;
    for (std::int32_t k = 1; k < n; ++k) {
      std::string pair;
      references >> pair;
      expected.insert(pair);
    }
    SCOPED_TRACE("n = " + std::to_string(n) + ", type " + std::to_string(type));
    const std::unique_ptr<Sym_mx> matrix = LcgMatrix(n, seed, type);
    const Sym_mx& d = *matrix;
    Graph_mx graph(type == mtSimilarity ? mtGraphSimilarity : mtGraphDissimilarity, n, n - 1);
    ASSERT_TRUE(MstPrim(d, type == mtSimilarity, graph));
    std::set<std::string> made;
    double length = 0;
    for (std::int32_t k = 1; k < n; ++k) {
      const TGraphEdge edge = graph.GetEdge(k);
      EXPECT_EQ(edge.value, d.getxij(edge.i, edge.j));
      made.insert(Pair(edge.i, edge.j));
      length += edge.value;
    }
    EXPECT_EQ(made, expected);
    EXPECT_NEAR(length, total, 1e-9);
    ++cases;
  }
  EXPECT_EQ(cases, 4) << "the reference file was not read whole";
}

struct MstCase {
  const char* name;
  int type;
  std::vector<std::vector<double>> lower;  // rows 2..n of the lower triangle
  std::vector<TGraphEdge> edges;
};

class MstEdges : public ::testing::TestWithParam<MstCase> {};

TEST_P(MstEdges, FollowThePermutationOrder) {
  const MstCase& c = GetParam();
  const std::int32_t n = static_cast<std::int32_t>(c.lower.size()) + 1;
  Sym_mx d(c.type, n);
  for (std::int32_t i = 2; i <= n; ++i)
    for (std::int32_t j = 1; j < i; ++j) d.putxij(i, j, c.lower[static_cast<std::size_t>(i - 2)][j - 1]);
  Graph_mx graph(c.type == mtSimilarity ? mtGraphSimilarity : mtGraphDissimilarity, n, n - 1);
  MstPrim(d, c.type == mtSimilarity, graph);
  for (std::int32_t k = 1; k < n; ++k) {
    const TGraphEdge edge = graph.GetEdge(k);
    const TGraphEdge& want = c.edges[static_cast<std::size_t>(k - 1)];
    EXPECT_EQ(edge.i, want.i) << "edge " << k;
    EXPECT_EQ(edge.j, want.j) << "edge " << k;
    EXPECT_EQ(edge.value, want.value) << "edge " << k;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MstEdges,
    ::testing::Values(
        MstCase{"TwoOtus", mtDissimilarity, {{4.5}}, {{1, 2, 4.5}}},
        // Every link equal: the first OTU keeps being the best source.
        MstCase{"AllEqual", mtDissimilarity, {{1}, {1, 1}, {1, 1, 1}}, {{1, 2, 1}, {1, 3, 1}, {1, 4, 1}}},
        // OTU 4 is added second; its exchange with position 2 moves OTU 2 to
        // the last position, so of the tied links 4-2 and 4-3 (both 2) the
        // link to 3 is met first, not the one to the lower OTU number.
        MstCase{"TieByPosition", mtDissimilarity, {{5}, {5, 5}, {1, 2, 2}}, {{1, 4, 1}, {4, 3, 2}, {4, 2, 2}}},
        MstCase{"LargestSimilarities",
                mtSimilarity,
                {{0.9}, {0.2, 0.8}, {0.1, 0.3, 0.7}},
                {{1, 2, 0.9}, {2, 3, 0.8}, {3, 4, 0.7}}}),
    [](const auto& test) { return std::string(test.param.name); });

// Runs CophCompute on a tree file's tree and returns the written text.
std::string CophText(const Tree_mx& tree, std::string_view format) {
  const fs::path file = fs::path(MORVA_ARTEFACTS) / "coph" / (std::to_string(tree.n()) + "-compute.txt");
  fs::create_directories(file.parent_path());
  rtl::TextWriter f(file.string());
  CophCompute(tree, f, format);
  f.Close();
  return rtl::ReadWholeFile(file.string());
}

std::unique_ptr<Tree_mx> ReadTreeFile(const std::string& name) {
  rtl::TextReader f(std::string(MORVA_FIXTURES) + "/coph/" + name);
  std::unique_ptr<rtl::StringList> comments;
  TMatrixHeader header;
  ReadMatrixHeader(f, comments, header, false, {mtTreeDissimilarity, mtTreeSimilarity});
  auto tree = std::make_unique<Tree_mx>(header.type, header.rows);
  Read(*tree, f);
  return tree;
}

std::vector<double> Numbers(const std::string& text) {
  std::istringstream in(text);
  std::vector<double> values;
  for (std::string word; in >> word;) values.push_back(rtl::StrToFloat(word));
  return values;
}

TEST(CophCompute, EqualsRCopheneticOfHclustTrees) {
  for (const auto& [tree, expected] : {std::pair{"tree5.qmx", "coph5.txt"}, std::pair{"tree6.qmx", "coph6.txt"}}) {
    SCOPED_TRACE(tree);
    const std::unique_ptr<Tree_mx> read = ReadTreeFile(tree);
    const Tree_mx& t = *read;
    const bool similarity = t.matrixType() == mtTreeSimilarity;
    // The written triangle holds the diagonal too; the reference does not.
    std::vector<double> made = Numbers(CophText(t, "8.6f"));
    std::vector<double> offDiagonal;
    std::size_t k = 1;  // past row 1's diagonal
    for (std::int32_t i = 2; i <= t.n(); ++i) {
      for (std::int32_t j = 1; j < i; ++j) offDiagonal.push_back(made.at(k++));
      EXPECT_EQ(made.at(k++), similarity ? 1.0 : 0.0);
    }
    EXPECT_EQ(offDiagonal, Numbers(rtl::ReadWholeFile(std::string(MORVA_FIXTURES) + "/coph/" + expected)));
  }
}

TEST(CophCompute, LayoutOfRowsAndEnds) {
  // Positions 1..26 in order, levels 1..25: the level between OTUs i and j is
  // the largest level between their positions, max(i, j) - 1.
  Tree_mx tree(mtTreeDissimilarity, 26);
  for (std::int32_t k = 1; k <= 26; ++k) tree.PutNode(k, k, k < 26 ? k : 0.0);
  const std::string text = CophText(tree, "8.4f");
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  EXPECT_EQ(lines.front(), "  0.0000 \r");
  EXPECT_EQ(lines[1], "  1.0000   0.0000 \r");
  // Row 26 holds 25 values: line ends after the 10th and the 20th.
  const std::string row26 = " 25.0000 ";
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[lines.size() - 3], [&] {
    std::string s;
    for (int j = 0; j < 10; ++j) s += row26;
    return s + "\r";
  }());
  EXPECT_EQ(lines.back(), row26 + row26 + row26 + row26 + row26 + "  0.0000 \r");
  // The OTUs at the two ends get the largest level of the tree.
  EXPECT_EQ(Numbers(lines[lines.size() - 3]).front(), 25.0);
}

TEST(CophCompute, SingleOtuIsItsDiagonal) {
  Tree_mx tree(mtTreeSimilarity, 1);
  tree.PutNode(1, 1, 0.0);
  EXPECT_EQ(CophText(tree, "8.4f"), "  1.0000 \r\n");
}

class CophRun : public moduletest::ModuleRunTest {
 protected:
  CophRun() : ModuleRunTest(CophDescribe) {}

  // The lower triangle of the cophenetic matrix COPH wrote, row by row.
  std::vector<double> Written(const std::string& name) const {
    rtl::TextReader f(Path(name));
    std::unique_ptr<rtl::StringList> comments;
    TMatrixHeader header;
    ReadMatrixHeader(f, comments, header, false, {mtDissimilarity, mtSimilarity});
    Label_mx labels(header.rowLabelCode != lcNone ? header.rows : 0);
    ReadLabels(labels, f);
    Sym_mx s(header.type, header.rows);
    Read(s, f);
    std::vector<double> values;
    for (std::int32_t i = 1; i <= s.n(); ++i)
      for (std::int32_t j = 1; j <= i; ++j) values.push_back(s.getxij(i, j));
    return values;
  }
};

// Levels on a scale of 1e-7 keep their value: COPH writes in the file format
// ("e" by default), as the other modules do, not with six decimals.
TEST_F(CophRun, LevelsOfOrder1e7KeepTheirValue) {
  Write("small.tre", "5 3 2 0\r\n  2 1.0E-007\r\n  1 3.5E-007\r\n   3 0.0\r\n");
  Run({{"O", Path("small.tre")}, {"R", Path("small.coph")}});
  // Order 2, 1, 3: OTUs 1 and 2 join at 1e-7, OTU 3 at 3.5e-7.
  EXPECT_EQ(Written("small.coph"), (std::vector<double>{0, 1e-7, 0, 3.5e-7, 3.5e-7, 0}));
}

// A consensus tree names its columns ("Pointer Level") after its labels.
TEST_F(CophRun, ReadsATreeWithItsColumnLabels) {
  Write("consensus.tre", "5 3L 2L 0\r\na b c\r\nPointer Level\r\n  3 1.0\r\n  1 2.0\r\n   2 0.0\r\n");
  Run({{"O", Path("consensus.tre")}, {"R", Path("consensus.coph")}});
  EXPECT_EQ(Written("consensus.coph"), (std::vector<double>{0, 2, 0, 1, 2, 0}));
}

TEST(CophCompute, RefusesPointersThatAreNotThePermutation) {
  // A tree whose nodes were never all set holds pointer 0.
  Tree_mx tree(mtTreeDissimilarity, 3);
  tree.PutNode(2, 1, 1.0);
  tree.PutNode(1, 2, 2.0);
  const fs::path file = fs::path(MORVA_ARTEFACTS) / "coph" / "refused.txt";
  fs::create_directories(file.parent_path());
  rtl::TextWriter f(file.string());
  try {
    CophCompute(tree, f, "e");
    FAIL() << "no error";
  } catch (const E_Morvapc& e) {
    EXPECT_STREQ(e.what(), "The pointers of the tree are not the OTUs 1 to 3, each once");
  }
  f.Close();
  EXPECT_EQ(rtl::ReadWholeFile(file.string()), "");
}

}  // namespace
