#include "modules/clustering/sahnCluster.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "matrix/Constu.h"
#include "rtl/Convert.h"
#include "rtl/Format.h"

namespace {

constexpr std::array<TSahnMethodInfo, 8> kMethods = {{
    {TSahnMethod::Complete, "COMPLETE", false, true},
    {TSahnMethod::Flexi, "FLEXI", false, false},
    {TSahnMethod::Single, "SINGLE", false, true},
    {TSahnMethod::Upgma, "UPGMA", false, true},
    {TSahnMethod::Upgmc, "UPGMC", true, false},
    {TSahnMethod::Wpgma, "WPGMA", false, false},
    {TSahnMethod::Wpgmc, "WPGMC", true, false},
    {TSahnMethod::Wpgms, "WPGMS", true, false},
}};

// The most children one node of a tree may have when its children are sorted.
constexpr std::int32_t kMaxChildren = 25;

// --- Sorting the children of the nodes of a tree ---

// One child of a node: positions first .. last (0-based) of the order.
struct TChildSpan {
  std::size_t first;
  std::size_t last;
  std::int32_t key;  // its smallest OTU
};

class TNodeSorter {
 public:
  explicit TNodeSorter(TSahnDendrogram& tree) : tree_(tree), marked_(tree.levels.size(), false) {}

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
    if (children.size() > static_cast<std::size_t>(kMaxChildren)) {
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

  TSahnDendrogram& tree_;
  std::vector<bool> marked_;
};

}  // namespace

std::optional<TSahnMethodInfo> SahnMethodOf(std::string_view keyword) {
  for (const TSahnMethodInfo& info : kMethods) {
    if (info.keyword == keyword) return info;
  }
  return std::nullopt;
}

const TSahnMethodInfo& SahnMethodInfo(TSahnMethod method) {
  for (const TSahnMethodInfo& info : kMethods) {
    if (info.method == method) return info;
  }
  throw E_Morvapc_Internal("Unknown SAHN method");
}

TSahnUpdate::TSahnUpdate(const TSahnOptions& options, double v, std::int32_t ni, std::int32_t nj)
    : method_(options.method), beta_(options.beta), alpha_((1.0 - options.beta) * 0.5), v_(v), ni_(ni), nj_(nj) {
  if (method_ == TSahnMethod::Upgmc) {
    q_ = static_cast<double>((static_cast<long double>(ni_) * nj_) / (ni_ + nj_) * v_ * v_);
  } else if (method_ == TSahnMethod::Wpgms) {
    const long double t = 2.0L - 2.0L * v_;
    c_ = t > 0 ? static_cast<double>(1.0L / std::sqrt(t)) : 0.0;
  }
}

double TSahnUpdate::operator()(double x, double y) const {
  const long double lx = x;
  const long double ly = y;
  switch (method_) {
    case TSahnMethod::Wpgma: return static_cast<double>((lx + ly) * 0.5L);
    case TSahnMethod::Upgma: return static_cast<double>((ni_ * lx + nj_ * ly) / (ni_ + nj_));
    case TSahnMethod::Single: return std::min(x, y);
    case TSahnMethod::Complete: return std::max(x, y);
    case TSahnMethod::Wpgmc: {
      const long double t = ((lx * lx + ly * ly) - static_cast<long double>(v_) * v_ * 0.5L) * 0.5L;
      return t > 0 ? static_cast<double>(std::sqrt(t)) : 0.0;
    }
    case TSahnMethod::Upgmc: {
      const long double t = ((ni_ * lx * lx + nj_ * ly * ly) - q_) / (ni_ + nj_);
      return t > 0 ? static_cast<double>(std::sqrt(t)) : 0.0;
    }
    case TSahnMethod::Wpgms: return static_cast<double>((lx + ly) * c_);
    case TSahnMethod::Flexi: return static_cast<double>(beta_ * static_cast<long double>(v_) + alpha_ * (lx + ly));
  }
  return 0.0;
}

TSahnChains::TSahnChains(std::int32_t n)
    : next_(static_cast<std::size_t>(n) + 1, 0),
      level_(static_cast<std::size_t>(n) + 1, 0.0),
      last_(static_cast<std::size_t>(n) + 1),
      size_(static_cast<std::size_t>(n) + 1, 1) {
  for (std::size_t k = 0; k < last_.size(); ++k) last_[k] = static_cast<std::int32_t>(k);
}

double TSahnChains::Join(std::int32_t lo, std::int32_t hi, double v, bool centroid) {
  const auto at = [](std::int32_t k) { return static_cast<std::size_t>(k); };
  if (centroid) {
    for (std::int32_t head : {lo, hi}) {
      for (std::int32_t k = head; next_[at(k)] != 0; k = next_[at(k)]) v = std::max(v, level_[at(k)]);
    }
  }
  level_[at(last_[at(lo)])] = v;
  next_[at(last_[at(lo)])] = hi;
  last_[at(lo)] = last_[at(hi)];
  size_[at(lo)] += size_[at(hi)];
  return v;
}

TSahnDendrogram TSahnChains::Dendrogram() const {
  TSahnDendrogram tree;
  const std::size_t n = next_.size() - 1;
  tree.order.reserve(n);
  tree.levels.reserve(n);
  for (std::size_t k = n > 0 ? 1 : 0; k != 0; k = static_cast<std::size_t>(next_[k])) {
    tree.order.push_back(static_cast<std::int32_t>(k));
    if (next_[k] != 0) tree.levels.push_back(level_[k]);
  }
  return tree;
}

void SahnRefuseGrownValues() {
  throw E_Morvapc(
      "The cluster values grew out of range (to 9e200 or more, or no number);\n"
      "SAHN cannot go on with this matrix and method.");
}

void SahnCheckValues(const Sym_mx& d) {
  for (std::int32_t i = 2; i <= d.n(); ++i) {
    for (std::int32_t j = 1; j < i; ++j) {
      const double v = d.getxij(i, j);
      if (!(std::fabs(v) < kSahnNoValue)) {
        throw E_Morvapc(
            rtl::Format("SAHN cannot cluster the value %s at row %d, column %d:\n"
                        "values must be numbers below 9e200 in size.",
                        rtl::FloatToStrGeneral(v, 15), i, j));
      }
    }
  }
}

std::int64_t SahnPairKey(std::int32_t a, std::int32_t b) {
  const std::int64_t h = std::max(a, b);
  const std::int64_t l = std::min(a, b);
  return (h - 1) * (h - 2) / 2 + l;
}

void SahnSortTreeNodes(TSahnDendrogram& tree) {
  ListingWriteLine("Sorting tree nodes ...");
  const bool exchanged = TNodeSorter(tree).Run();
  ListingWriteLine(exchanged ? " done." : " none needed.");
}
