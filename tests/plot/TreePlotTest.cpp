// The tree plot without a window: the dendrogram's segments and labels on a
// recording canvas, paging, the tree reader, and the joining levels against
// R's hclust for one UPGMA tree.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "FpTraps.h"
#include "TreePlotSupport.h"
#include "matrix/Constu.h"
#include "platform/record/RecordingPrinter.h"

namespace {

using plat::CanvasOp;
using plat::OpKind;
using plat::Point;
using treetest::JoinColumns;
using treetest::MakeTree;
using treetest::TreeOnRecorder;

struct WorldSegment {
  double x1, y1, x2, y2;
};

std::vector<std::pair<Point, Point>> Segments(const std::vector<CanvasOp>& lines) {
  std::vector<std::pair<Point, Point>> result;
  for (const CanvasOp& op : lines) result.emplace_back(op.points.at(0), op.points.at(1));
  return result;
}

std::vector<std::pair<Point, Point>> Expected(const TreeOnRecorder& t, const std::vector<WorldSegment>& world) {
  std::vector<std::pair<Point, Point>> result;
  for (const WorldSegment& s : world) result.emplace_back(t.Device(s.x1, s.y1), t.Device(s.x2, s.y2));
  return result;
}

// Levels 1, 3, 2 over the leaves B A D C, worked by hand: rows at y = 4 .. 1,
// leaves at x = 1 (the axis minimum), joins at 1 (rows 1-2), 2 (rows 3-4) and
// 3 (both groups, at their mid-rows 3.5 and 1.5).
TEST(TreeDendrogram, SegmentsOfASmallDissimilarityTreeAreTheHandWorkedOnes) {
  TreeOnRecorder t(treetest::ListOf(MakeTree(5, {2, 1, 4, 3}, {1, 3, 2}, {"A", "B", "C", "D"})));
  t.Draw();
  const std::vector<WorldSegment> world = {
      {1, 4, 1, 4},     {1, 3, 1, 3},     {1, 4, 1, 3},      // rows 1 and 2 join at 1
      {1, 2, 2, 2},     {1, 1, 2, 1},     {2, 2, 2, 1},      // rows 3 and 4 join at 2
      {1, 3.5, 3, 3.5}, {2, 1.5, 3, 1.5}, {3, 3.5, 3, 1.5},  // the two groups join at 3
  };
  EXPECT_EQ(Segments(t.DataOps(OpKind::Line)), Expected(t, world));

  const auto texts = t.DataOps(OpKind::TextOut);
  ASSERT_EQ(texts.size(), 4u);
  const std::vector<std::string> shown = {" B ", " A ", " D ", " C "};
  for (std::size_t i = 0; i < texts.size(); ++i) {
    EXPECT_EQ(texts[i].text, shown[i]);
    // Alignment 3: vertically centred on the row, ending left of the leaf end.
    const Point at = t.Device(1, 4.0 - static_cast<double>(i));
    const int points = texts[i].font.size;
    const int width = t.canvas.CharWidth(points) * static_cast<int>(texts[i].text.size());
    EXPECT_EQ(texts[i].points[0].x + width, at.x);
    EXPECT_EQ(texts[i].points[0].y, at.y - t.canvas.FontHeight(points) / 2);
  }
}

TEST(TreeDendrogram, SimilarityTreeHasItsLeavesAtTheRightAndJoinsTowardsSmallerValues) {
  TreeOnRecorder t(treetest::ListOf(MakeTree(6, {1, 2, 3}, {0.9, 0.5})));
  t.Draw();
  // Leaves at 0.9 (the maximum); rows 1-2 join at 0.9, then row 3 at 0.5.
  const std::vector<WorldSegment> world = {
      {0.9, 3, 0.9, 3}, {0.9, 2, 0.9, 2}, {0.9, 3, 0.9, 2}, {0.9, 2.5, 0.5, 2.5}, {0.9, 1, 0.5, 1}, {0.5, 2.5, 0.5, 1},
  };
  EXPECT_EQ(Segments(t.DataOps(OpKind::Line)), Expected(t, world));
  const auto texts = t.DataOps(OpKind::TextOut);
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts[0].points[0].x, t.Device(0.9, 3).x) << "alignment 5 starts at the leaf end";
}

TEST(TreeDendrogram, EqualAdjacentLevelsJoinAtOneVerticalLine) {
  TreeOnRecorder t(treetest::ListOf(MakeTree(5, {1, 2, 3, 4}, {2, 2, 2})));
  t.Draw();
  const auto lines = t.DataOps(OpKind::Line);
  const auto joins = JoinColumns(lines);
  ASSERT_EQ(joins.size(), 1u);
  const auto vertical = std::find_if(lines.begin(), lines.end(), [](const CanvasOp& op) {
    return op.points[0].x == op.points[1].x && op.points[0].y != op.points[1].y;
  });
  EXPECT_EQ(vertical->points[0], t.Device(2, 4));
  EXPECT_EQ(vertical->points[1], t.Device(2, 1));
}

// Trees whose levels span nothing used to divide by a zero range.
struct DegenerateCase {
  const char* name;
  std::vector<int> pointers;
  std::vector<double> levels;
  std::size_t segments;
};

class DegenerateTree : public ::testing::TestWithParam<DegenerateCase> {};

TEST_P(DegenerateTree, PlotsWithoutDividingByZero) {
  const DegenerateCase& c = GetParam();
  TreeOnRecorder t(treetest::ListOf(MakeTree(5, c.pointers, c.levels)));
  {
    FpTraps traps;
    t.Draw();
  }
  EXPECT_EQ(t.DataOps(OpKind::Line).size(), c.segments);
  EXPECT_EQ(t.DataOps(OpKind::TextOut).size(), c.pointers.size());
  const auto& x = t.plot.Parts().XAxis;
  EXPECT_LT(x.ValueToDevice(x.Span().Lo), x.ValueToDevice(x.Span().Lo + x.Span().Range));
}

INSTANTIATE_TEST_SUITE_P(Trees, DegenerateTree,
                         ::testing::Values(DegenerateCase{"OneObjectDrawsItsLabelAlone", {1}, {}, 0},
                                           // two branches, the join, and the root's stub to the widened axis end
                                           DegenerateCase{"TwoObjects", {2, 1}, {3}, 4},
                                           DegenerateCase{"AllLevelsEqual", {1, 2, 3}, {5, 5}, 5}),
                         [](const auto& param) { return std::string(param.param.name); });

// ---- Paging ----

struct PagingCase {
  int n;
  int perPage;
  int pages;
};

class TreePaging : public ::testing::TestWithParam<PagingCase> {};

TEST_P(TreePaging, RowsPerPageFollowTheTreeSize) {
  const PagingCase& c = GetParam();
  TreeOnRecorder t(treetest::ListOf(treetest::ZigZagTree(c.n)));
  t.Draw();
  EXPECT_EQ(t.client.OtusPerPage(), c.perPage);
  EXPECT_EQ(t.client.PageCount(), c.pages);
  EXPECT_EQ(t.client.CurrentPage(), 1);
  const auto& y = t.plot.Parts().YAxis;
  EXPECT_DOUBLE_EQ(y.Max, c.n + 0.5);
  EXPECT_DOUBLE_EQ(y.Min, c.n + 0.5 - c.perPage);
}

INSTANTIATE_TEST_SUITE_P(Trees, TreePaging,
                         ::testing::Values(PagingCase{4, 5, 1}, PagingCase{12, 12, 1}, PagingCase{50, 30, 2},
                                           PagingCase{200, 30, 7}));

// A page past the last one is brought back to the last page that exists,
// also when its top would fall exactly after the last row, or several pages on.
TEST(TreePaging, PageBeyondTheTreeIsClampedToTheLastPage) {
  struct Case {
    int n;
    int page;
    int perPage;
  };
  for (const Case c : {Case{50, 3, 30}, Case{60, 3, 30}, Case{50, 9, 30}, Case{50, 2, 50}}) {
    TreeOnRecorder t(treetest::ListOf(treetest::ZigZagTree(c.n)));
    t.Draw();
    t.client.SetOtusPerPage(c.perPage);
    t.client.SetCurrentPage(c.page);
    t.Draw();
    const int last = (c.n + c.perPage - 1) / c.perPage;
    EXPECT_EQ(t.client.CurrentPage(), last) << c.n << " objects, page " << c.page;
    const auto texts = t.DataOps(OpKind::TextOut);
    EXPECT_FALSE(texts.empty()) << "the last page shows its rows";
  }
}

TEST(TreePaging, OnlyTheRowsOfThePageAreLabelled) {
  TreeOnRecorder t(treetest::ListOf(treetest::ZigZagTree(50)));
  t.Draw();
  t.client.SetCurrentPage(2);
  t.Draw();
  const auto texts = t.DataOps(OpKind::TextOut);
  ASSERT_EQ(texts.size(), 20u);  // leaves 31 .. 50
  EXPECT_EQ(texts.front().text, " 31 ");
  EXPECT_EQ(texts.back().text, " 50 ");
}

TEST(TreePaging, ChoosingAnotherTreeStartsAgainAtPageOneWithAutoscale) {
  std::vector<std::unique_ptr<Tree_mx>> trees;
  trees.push_back(treetest::ZigZagTree(50));
  trees.push_back(treetest::ZigZagTree(12));
  trees.push_back(treetest::ZigZagTree(4));
  TreeOnRecorder t(treetest::ListOf(std::move(trees)));
  t.plot.SetGroupCount(3);
  t.Draw();
  EXPECT_EQ(t.client.CurrentTree(), 1);
  t.client.SetCurrentPage(2);
  t.plot.Parts().XAxis.Autoscale = false;
  t.plot.Parts().YAxis.Autoscale = false;
  t.plot.SetGroupValue(2);
  t.Draw();
  EXPECT_EQ(t.client.CurrentTree(), 2);
  EXPECT_EQ(t.client.CurrentPage(), 1);
  EXPECT_EQ(t.client.OtusPerPage(), 12);
  EXPECT_TRUE(t.plot.XAutoscale());
  EXPECT_TRUE(t.plot.YAutoscale());
}

// Printing or saving every page: each page of each tree, a sheet each, so
// that every row is labelled once. The tree shown keeps the rows per page
// the user chose; another tree takes the rule's.
TEST(TreePaging, EveryPageOfEveryTreeIsPrintedWithEachRowOnce) {
  std::vector<std::unique_ptr<Tree_mx>> trees;
  trees.push_back(treetest::ZigZagTree(50));
  trees.push_back(treetest::ZigZagTree(12));
  TreeOnRecorder t(treetest::ListOf(std::move(trees)));
  t.plot.SetGroupCount(2);
  t.plot.DrawCallback = [&t] { t.client.DrawOn(t.plot); };
  t.Draw();
  t.client.SetOtusPerPage(20);
  t.client.SetCurrentPage(2);
  t.Draw();

  plat::RecordingPrinter printer;
  t.plot.PrintEveryPage(printer, "Tree plot");
  EXPECT_EQ(printer.Log(), (std::vector<std::string>{"begin Tree plot", "new page", "new page", "new page", "end"}));
  ASSERT_EQ(printer.Pages().size(), 4u);
  const std::vector<int> firstRows = {1, 21, 41, 1};
  const std::vector<int> lastRows = {20, 40, 50, 12};
  for (std::size_t page = 0; page < 4; ++page) {
    // The leaves' labels, " <row> ", among the page's texts.
    std::vector<std::string> labels;
    for (const CanvasOp& op : printer.Pages()[page]->OpsOf(OpKind::TextOut)) {
      if (op.text.front() == ' ' && op.text.find_first_of("0123456789") != std::string::npos) labels.push_back(op.text);
    }
    std::vector<std::string> rows;
    for (int row = firstRows[page]; row <= lastRows[page]; ++row) rows.push_back(" " + std::to_string(row) + " ");
    EXPECT_EQ(labels, rows) << "page " << page + 1;
  }
  EXPECT_EQ(t.plot.ByGroupValue(), 1) << "the tree shown before";
  EXPECT_EQ(t.client.CurrentPage(), 2) << "and its page";
}

// ---- Reading ----

TEST(TreeReader, ConsensusTreeWithPointerAndLevelColumnLabelsIsReadWhole) {
  const auto trees = treetest::ReadFixtureTrees("consensus5.qmx");
  ASSERT_EQ(trees->Count(), 2);
  const Tree_mx& first = (*trees)[0];
  ASSERT_EQ(first.n(), 5);
  EXPECT_EQ(first.GetPointer(1), 3);
  EXPECT_DOUBLE_EQ(first.GetValue(1), 1.0);
  EXPECT_EQ(first.GetPointer(5), 4);
  EXPECT_EQ(first.Labels->GetLabel(3), "Gamma");
  EXPECT_EQ((*trees)[1].matrixType(), 6);
  EXPECT_EQ((*trees)[1].Labels->GetLabel(2), "2") << "no labels: numbers";
}

TEST(TreeReader, MatrixOfAnotherTypeIsRefused) {
  shelltest::RecordedServices listing;
  rtl::TextReader f(treetest::Fixture("rectangular.qmx"));
  TTreeMxList trees;
  EXPECT_THROW(TreeReadTrees(f, trees), E_Morvapc);
  EXPECT_EQ(trees.Count(), 0);
}

// ---- Against R ----

// The tree of hclust's average linkage (UPGMA) of 30 points, in pointer form:
// the plot's joins stand at exactly hclust's merge heights.
TEST(TreeDendrogram, JoiningLevelsAreHclustHeightsOfTheSameUpgmaTree) {
  TreeOnRecorder t(treetest::ReadFixtureTrees("upgma30-tree.qmx"), 4000, 1200);
  t.Draw();
  ASSERT_EQ(t.client.OtusPerPage(), 30);
  const auto [joins, heights] = treetest::JoinsAndHclustHeights(t);
  ASSERT_EQ(heights.size(), 29u);
  EXPECT_EQ(joins, heights);
}

}  // namespace
