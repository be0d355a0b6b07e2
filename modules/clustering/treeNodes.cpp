#include "modules/clustering/treeNodes.h"

#include <algorithm>
#include <string>

#include "matrix/Constu.h"

namespace {

// One child of a node: positions first .. last (0-based) of the order.
struct TChildSpan {
  std::size_t first;
  std::size_t last;
  std::int32_t key;  // its smallest OTU
};

class TNodeSorter {
 public:
  TNodeSorter(TDendrogram& tree, std::int32_t maxChildren)
      : tree_(tree), maxChildren_(maxChildren), marked_(tree.levels.size(), false) {}

  // True when any children were exchanged.
  bool Run() {
    bool exchanged = false;
    for (std::size_t k = NextUnmarked(0); k < marked_.size(); k = NextUnmarked(0)) {
      exchanged = SortNode(k) || exchanged;
    }
    return exchanged;
  }

 private:
  std::size_t NextUnmarked(std::size_t from) const {
    while (from < marked_.size() && marked_[from]) ++from;
    return from;
  }

  // The node whose level is that of gap k: its span reaches to the nearest
  // gaps above that level on either side, and its gaps at that level part
  // its children.
  bool SortNode(std::size_t k) {
    const double v = tree_.levels[k];
    std::size_t first = k;
    while (first > 0 && tree_.levels[first - 1] <= v) --first;
    std::size_t last = k + 1;
    while (last < tree_.levels.size() && tree_.levels[last] <= v) ++last;
    std::vector<TChildSpan> children = Children(first, last, v);
    if (children.size() > static_cast<std::size_t>(maxChildren_)) {
      throw E_Morvapc("Too many (" + std::to_string(children.size()) + ") multifurcations in a single pass");
    }
    const bool exchanged = ExchangeSort(children);
    if (exchanged) Rewrite(first, children, v);
    for (std::size_t gap = first; gap < last; ++gap) {
      if (tree_.levels[gap] == v) marked_[gap] = true;
    }
    return exchanged;
  }

  std::vector<TChildSpan> Children(std::size_t first, std::size_t last, double v) const {
    std::vector<TChildSpan> children;
    std::size_t start = first;
    for (std::size_t position = first; position <= last; ++position) {
      if (position == last || tree_.levels[position] == v) {
        std::int32_t key = tree_.order[start];
        for (std::size_t q = start; q <= position; ++q) key = std::min(key, tree_.order[q]);
        children.push_back({start, position, key});
        start = position + 1;
      }
    }
    return children;
  }

  // Exchange sort by key; true when anything moved. Keys are distinct OTUs.
  static bool ExchangeSort(std::vector<TChildSpan>& children) {
    bool exchanged = false;
    for (std::size_t a = 0; a + 1 < children.size(); ++a) {
      for (std::size_t b = a + 1; b < children.size(); ++b) {
        if (children[b].key < children[a].key) {
          std::swap(children[a], children[b]);
          exchanged = true;
        }
      }
    }
    return exchanged;
  }

  // Lays the children out again in their new order, each with its own inner
  // order, levels and marks, with gaps at v between them.
  void Rewrite(std::size_t first, const std::vector<TChildSpan>& children, double v) {
    std::vector<std::int32_t> order;
    std::vector<double> levels;
    std::vector<bool> marks;
    for (const TChildSpan& child : children) {
      if (!order.empty()) {
        levels.push_back(v);
        marks.push_back(false);
      }
      for (std::size_t q = child.first; q <= child.last; ++q) {
        order.push_back(tree_.order[q]);
        if (q < child.last) {
          levels.push_back(tree_.levels[q]);
          marks.push_back(marked_[q]);
        }
      }
    }
    std::copy(order.begin(), order.end(), tree_.order.begin() + static_cast<std::ptrdiff_t>(first));
    std::copy(levels.begin(), levels.end(), tree_.levels.begin() + static_cast<std::ptrdiff_t>(first));
    for (std::size_t q = 0; q < marks.size(); ++q) marked_[first + q] = marks[q];
  }

  TDendrogram& tree_;
  std::int32_t maxChildren_;
  std::vector<bool> marked_;
};

}  // namespace

void SortTreeNodes(TDendrogram& tree, std::int32_t maxChildren, std::string_view noneNeeded) {
  ListingWriteLine("Sorting tree nodes ...");
  const bool exchanged = TNodeSorter(tree, maxChildren).Run();
  ListingWriteLine(exchanged ? std::string_view(" done.") : noneNeeded);
}
