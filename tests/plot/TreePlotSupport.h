#pragma once
// Shared helpers of the tree plot tests: trees made in place or read from the
// fixtures, and a tree plot client drawing on a recording canvas.

#include <algorithm>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "RecordedPlot.h"
#include "platform/record/RecordingCanvas.h"
#include "plot/bm2DPlot.h"
#include "plot/forms/tree.h"
#include "rtl/TextFile.h"
#include "tests/shell/ShellTestSupport.h"

namespace treetest {

// A tree of the type with the given pointers and the n - 1 joining levels;
// labels when given.
inline std::unique_ptr<Tree_mx> MakeTree(int type, const std::vector<int>& pointers, const std::vector<double>& levels,
                                         const std::vector<std::string>& labels = {}) {
  const auto n = static_cast<std::int32_t>(pointers.size());
  auto tree = std::make_unique<Tree_mx>(type, n);
  for (std::int32_t k = 1; k <= n; ++k) {
    const double level = k < n ? levels.at(static_cast<std::size_t>(k - 1)) : 0.0;
    tree->PutNode(pointers[static_cast<std::size_t>(k - 1)], k, level);
  }
  tree->Labels = std::make_shared<Label_mx>(static_cast<std::int32_t>(labels.size()));
  for (std::size_t i = 0; i < labels.size(); ++i) tree->Labels->PutLabel(static_cast<std::int32_t>(i + 1), labels[i]);
  return tree;
}

// A dissimilarity tree of n leaves in order 1 .. n whose levels rise and fall.
inline std::unique_ptr<Tree_mx> ZigZagTree(int n) {
  std::vector<int> pointers;
  std::vector<double> levels;
  for (int k = 1; k <= n; ++k) pointers.push_back(k);
  for (int k = 1; k < n; ++k) levels.push_back(1.0 + (k % 7) + 0.01 * k);
  return MakeTree(5, pointers, levels);
}

inline std::shared_ptr<TTreeMxList> ListOf(std::vector<std::unique_ptr<Tree_mx>> trees) {
  auto list = std::make_shared<TTreeMxList>();
  for (auto& tree : trees) list->Add(std::move(tree));
  return list;
}

inline std::shared_ptr<TTreeMxList> ListOf(std::unique_ptr<Tree_mx> tree) {
  std::vector<std::unique_ptr<Tree_mx>> trees;
  trees.push_back(std::move(tree));
  return ListOf(std::move(trees));
}

inline std::string Fixture(const std::string& name) { return std::string(MORVA_FIXTURES) + "/treeplot/" + name; }

// Every tree of a fixture file, read as the TREE module reads it.
inline std::shared_ptr<TTreeMxList> ReadFixtureTrees(const std::string& name) {
  shelltest::RecordedServices listing;
  rtl::TextReader f(Fixture(name));
  auto trees = std::make_shared<TTreeMxList>();
  TreeReadTrees(f, *trees);
  return trees;
}

// A tree plot client set up on a headless plot over a recording canvas.
class TreeOnRecorder {
 public:
  explicit TreeOnRecorder(std::shared_ptr<const TTreeMxList> trees, int width = 800, int height = 600)
      : plot(canvas, width, height), client(std::move(trees), "TestTreeF", 1) {
    client.SetUpPlot(plot);
  }

  void Draw() {
    canvas.Clear();
    client.DrawOn(plot);
  }

  // The operations of one kind drawn between BeginDataPaint's clip to the plot
  // and EndDataPaint's.
  std::vector<plat::CanvasOp> DataOps(plat::OpKind kind) const { return plottest::DataOps(canvas, plot, {kind}); }

  plat::Point Device(double x, double y) const { return plottest::Device(plot, x, y); }

  plat::RecordingCanvas canvas{96, 96};
  Tbm2DPlot plot;
  TTreePlt client;
};

// Vertical lines are the joins: their device x, in drawing order.
inline std::vector<int> JoinColumns(const std::vector<plat::CanvasOp>& lines) {
  std::vector<int> xs;
  for (const plat::CanvasOp& op : lines) {
    if (op.points[0].x == op.points[1].x && op.points[0].y != op.points[1].y) xs.push_back(op.points[0].x);
  }
  return xs;
}

// The joins of the drawn tree and, at the same places, hclust's merge heights
// of the UPGMA reference: both sorted device columns.
inline std::pair<std::vector<int>, std::vector<int>> JoinsAndHclustHeights(const TreeOnRecorder& t) {
  std::vector<int> joins = JoinColumns(t.DataOps(plat::OpKind::Line));
  std::sort(joins.begin(), joins.end());
  std::vector<int> heights;
  std::ifstream in(Fixture("upgma30.heights"));
  for (double h; in >> h;) heights.push_back(t.Device(h, 0).x);
  return {joins, heights};
}

}  // namespace treetest
