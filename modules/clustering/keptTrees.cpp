#include "modules/clustering/keptTrees.h"

const Tree_mx& TKeptTrees::Keep(int type, const TDendrogram& dendrogram, double scale, double lastLevel,
                                const Label_mx* labels) {
  const auto n = static_cast<std::int32_t>(dendrogram.order.size());
  auto tree = std::make_unique<Tree_mx>(type, n);
  for (std::int32_t k = 1; k <= n; ++k) {
    const auto position = static_cast<std::size_t>(k - 1);
    tree->PutNode(dendrogram.order[position], k, k < n ? dendrogram.levels[position] * scale : lastLevel);
  }
  tree->Labels = std::make_shared<Label_mx>(n);
  if (labels) {
    labels->CopyTo(*tree->Labels);
  } else {
    tree->Labels->SetDefaultLabels("OTU-");
  }
  if (!results_) results_ = std::make_shared<TTreeMxList>();
  return results_->Add(std::move(tree));
}

void TKeptTrees::Plot() { plots_.Open(1, TTreePlotRequest{results_, windowName_, 1}); }

void TKeptTrees::Release() {
  plots_.CloseAll();
  results_.reset();
}
