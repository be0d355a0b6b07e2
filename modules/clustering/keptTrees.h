#pragma once
// The trees a clustering module keeps from its last run for its "Plot tree"
// button: a list shared with the plot that shows them, and that plot.

#include <cstdint>
#include <memory>
#include <string>

#include "matrix/Matrixob.h"
#include "modules/clustering/treeNodes.h"
#include "shell/PlotWindows.h"

class TKeptTrees {
 public:
  explicit TKeptTrees(std::string windowName) : windowName_(std::move(windowName)) {}

  // A run starts afresh.
  void Reset() { results_.reset(); }

  // Keeps the tree matrix (of the type given) of a dendrogram: node k holds
  // the OTU at position k and levels[k - 1] times scale, node n lastLevel;
  // the labels are copies of labels, or "OTU-" and the number without them.
  const Tree_mx& Keep(int type, const TDendrogram& dendrogram, double scale, double lastLevel, const Label_mx* labels);

  // The plot button: a tree plot of every kept tree (nothing without trees),
  // and its close routine.
  void Plot();
  void ClosePlot() { plots_.Close(1); }
  // The release routine: the plot closed, the trees let go.
  void Release();

  // Null before the first tree of a run and after Release.
  std::shared_ptr<const TTreeMxList> Results() const { return results_; }

 private:
  std::string windowName_;
  std::shared_ptr<TTreeMxList> results_;
  TModulePlots plots_;
};
