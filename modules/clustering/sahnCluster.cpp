#include "modules/clustering/sahnCluster.h"

#include <array>
#include <cmath>
#include <string>

#include "matrix/Constu.h"
#include "rtl/Convert.h"
#include "rtl/Format.h"
#include "shell/Progress.h"

namespace {

constexpr std::array<TSahnMethodInfo, 8> kMethods = {{
    {TSahnMethod::Complete, "COMPLETE", false, false, true},
    {TSahnMethod::Flexi, "FLEXI", false, false, false},
    {TSahnMethod::Single, "SINGLE", false, false, true},
    {TSahnMethod::Upgma, "UPGMA", true, false, true},
    {TSahnMethod::Upgmc, "UPGMC", true, true, false},
    {TSahnMethod::Wpgma, "WPGMA", false, false, false},
    {TSahnMethod::Wpgmc, "WPGMC", false, true, false},
    {TSahnMethod::Wpgms, "WPGMS", false, true, false},
}};

// The most children one node of a tree may have when its children are sorted.
constexpr std::int32_t kMaxChildren = 25;

// The state of one clustering with the tie check. Vectors are indexed by OTU
// number 1 .. n (entry 0 is unused); a cluster is named by the OTU heading its
// chain of members.
class TSahnClustering {
 public:
  TSahnClustering(Sym_mx& d, const TSahnOptions& options)
      : d_(d),
        options_(options),
        info_(SahnMethodInfo(options.method)),
        n_(d.n()),
        next_(Slots(0)),
        level_(Slots(0.0)),
        last_(Slots(0)),
        size_(Slots(1)),
        nnDist_(Slots(kSahnNoValue)),
        nn_(Slots(0)),
        tie_(Slots(false)),
        scratch_(static_cast<std::size_t>(n_)) {
    active_.reserve(static_cast<std::size_t>(n_));
    for (std::int32_t k = 1; k <= n_; ++k) {
      last_[Ix(k)] = k;
      active_.push_back(k);
    }
  }

  TSahnDendrogram Run(bool& tie) {
    FirstSearch();
    tie = false;
    while (active_.size() > 1) {
      const auto m = static_cast<double>(active_.size());
      Progress("Clustering", static_cast<std::int32_t>(rtl::Round((1 - m / n_) * 100)));
      tie = tie || tieG_;
      Join();
    }
    return SahnChainDendrogram(next_, level_);
  }

 private:
  template <class T>
  std::vector<T> Slots(T value) const {
    return std::vector<T>(static_cast<std::size_t>(n_) + 1, value);
  }
  static std::size_t Ix(std::int32_t k) { return static_cast<std::size_t>(k); }

  bool MutualPair(std::int32_t a, std::int32_t b) const {
    return a == b || (nn_[Ix(a)] == b && nn_[Ix(b)] == a);
  }
  bool WithinTol(double a, double b) const { return std::fabs(a - b) <= options_.tol; }

  // The nearest neighbour of every OTU and the smallest value of all; ties
  // within the tolerance.
  void FirstSearch() {
    g_ = kSahnNoValue;
    tieG_ = false;
    for (std::int32_t k = 2; k <= n_; ++k) {
      const double v = d_.getxij(1, k);
      nnDist_[Ix(k)] = v;
      nn_[Ix(k)] = 1;
      if (WithinTol(v, g_)) {
        tieG_ = true;
      } else if (v < g_) {
        g_ = v;
        p_ = k;
        tieG_ = false;
      }
    }
    nnDist_[1] = g_;
    nn_[1] = p_;
    tie_[1] = tieG_;
    for (std::int32_t r = 2; r < n_; ++r) {
      for (std::int32_t c = r + 1; c <= n_; ++c) {
        const double v = d_.getxij(r, c);
        FirstSearchCell(r, c, v);
        FirstSearchCell(c, r, v);
      }
      if (nnDist_[Ix(r)] < g_) {
        g_ = nnDist_[Ix(r)];
        p_ = r;
        tieG_ = false;
      } else if (WithinTol(nnDist_[Ix(r)], g_) && !MutualPair(r, p_)) {
        tieG_ = true;
      }
    }
  }

  // Value v between a and b, seen from a.
  void FirstSearchCell(std::int32_t a, std::int32_t b, double v) {
    if (nnDist_[Ix(a)] > v) {
      nnDist_[Ix(a)] = v;
      nn_[Ix(a)] = b;
      tie_[Ix(a)] = false;
    } else if (WithinTol(nnDist_[Ix(a)], v) && !MutualPair(a, b)) {
      tie_[Ix(a)] = true;
    }
  }

  // k's nearest-neighbour value against the smallest value of all.
  void CompareWithMinimum(std::int32_t k) {
    if (nnDist_[Ix(k)] < g_) {
      g_ = nnDist_[Ix(k)];
      p_ = k;
      tieG_ = tie_[Ix(k)];
    } else if (nnDist_[Ix(k)] == g_ && !MutualPair(k, p_)) {
      tieG_ = true;
    }
  }

  void Join() {
    if (!(g_ < kSahnNoValue) || p_ == 0) SahnRefuseGrownValues();
    const std::int32_t i = std::min(p_, nn_[Ix(p_)]);
    const std::int32_t j = std::max(p_, nn_[Ix(p_)]);
    double v = g_;
    if (info_.centroid) v = SahnTruncateLevel(i, j, next_, level_, v);
    level_[Ix(last_[Ix(i)])] = v;
    next_[Ix(last_[Ix(i)])] = j;
    last_[Ix(i)] = last_[Ix(j)];
    const TSahnUpdate update(options_, v, size_[Ix(i)], size_[Ix(j)]);

    nnDist_[Ix(i)] = kSahnNoValue;
    g_ = kSahnNoValue;
    p_ = 0;
    tie_[Ix(i)] = false;
    tie_[Ix(j)] = false;
    tieG_ = false;
    research_.clear();
    // The new values first, in a loop of loads alone (far apart in the
    // matrix, so they are best fetched together), then the bookkeeping.
    for (std::size_t a = 0; a < active_.size(); ++a) {
      const std::int32_t k = active_[a];
      scratch_[a] = k == i || k == j ? 0.0 : update(d_.getxij(k, i), d_.getxij(k, j));
    }
    std::size_t jPosition = 0;
    for (std::size_t a = 0; a < active_.size(); ++a) {
      const std::int32_t k = active_[a];
      if (k == j) jPosition = a;
      if (k == i || k == j) continue;
      UpdateAgainstJoined(k, i, j, scratch_[a]);
    }
    if (info_.keepsSizes) size_[Ix(i)] += size_[Ix(j)];
    active_[jPosition] = active_.back();
    active_.pop_back();
    Research();
    // Every live cluster's value now includes its value to i, so the smallest
    // of them is also the smallest of i's: i needs no comparison of its own.
  }

  // Cluster k after i and j were joined into i, with its new value to i.
  void UpdateAgainstJoined(std::int32_t k, std::int32_t i, std::int32_t j, double value) {
    if (!(std::fabs(value) < kSahnNoValue)) SahnRefuseGrownValues();
    const bool lostNeighbour = nn_[Ix(k)] == i || nn_[Ix(k)] == j;
    if (lostNeighbour) tie_[Ix(k)] = false;
    d_.putxij(k, i, value);
    if (nnDist_[Ix(i)] > value) {
      nnDist_[Ix(i)] = value;
      nn_[Ix(i)] = k;
      tie_[Ix(i)] = false;
    } else if (nnDist_[Ix(i)] == value && !MutualPair(k, i)) {
      tie_[Ix(i)] = true;
    }
    if (lostNeighbour) {
      research_.push_back(k);
      nnDist_[Ix(k)] = value;
      nn_[Ix(k)] = i;
      tie_[Ix(k)] = false;
      return;
    }
    // The joined cluster may now be k's nearest neighbour (the new value can
    // lie below both old ones for the centroid methods and FLEXI, beta > 0).
    if (value < nnDist_[Ix(k)]) {
      nnDist_[Ix(k)] = value;
      nn_[Ix(k)] = i;
      tie_[Ix(k)] = false;
    }
    CompareWithMinimum(k);
  }

  // New nearest neighbours for the clusters whose old one was joined: each
  // scans the live clusters in list order, then meets the smallest value.
  void Research() {
    for (std::int32_t r : research_) {
      for (std::size_t a = 0; a < active_.size(); ++a) scratch_[a] = d_.getxij(r, active_[a]);
      for (std::size_t a = 0; a < active_.size(); ++a) {
        if (active_[a] != r) ResearchCell(r, active_[a], scratch_[a]);
      }
      CompareWithMinimum(r);
    }
  }

  void ResearchCell(std::int32_t r, std::int32_t s, double v) {
    if (nnDist_[Ix(r)] > v) {
      nnDist_[Ix(r)] = v;
      nn_[Ix(r)] = s;
      tie_[Ix(r)] = false;
    } else if (nnDist_[Ix(r)] == v && nn_[Ix(r)] != s) {
      tie_[Ix(r)] = true;
    }
  }

  Sym_mx& d_;
  const TSahnOptions& options_;
  const TSahnMethodInfo& info_;
  std::int32_t n_;
  std::vector<std::int32_t> next_;
  std::vector<double> level_;
  std::vector<std::int32_t> last_;
  std::vector<std::int32_t> size_;
  std::vector<double> nnDist_;
  std::vector<std::int32_t> nn_;
  std::vector<bool> tie_;
  std::vector<std::int32_t> active_;
  std::vector<std::int32_t> research_;
  std::vector<double> scratch_;  // one value per live cluster, by list position
  double g_ = kSahnNoValue;
  std::int32_t p_ = 0;
  bool tieG_ = false;
};

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

double SahnTruncateLevel(std::int32_t i, std::int32_t j, const std::vector<std::int32_t>& next,
                         const std::vector<double>& level, double v) {
  for (std::int32_t head : {i, j}) {
    for (auto k = static_cast<std::size_t>(head); next[k] != 0; k = static_cast<std::size_t>(next[k])) {
      if (level[k] > v) v = level[k];
    }
  }
  return v;
}

TSahnDendrogram SahnChainDendrogram(const std::vector<std::int32_t>& next, const std::vector<double>& level) {
  TSahnDendrogram tree;
  const std::size_t n = next.size() - 1;
  tree.order.reserve(n);
  tree.levels.reserve(n);
  for (std::size_t k = n > 0 ? 1 : 0; k != 0; k = static_cast<std::size_t>(next[k])) {
    tree.order.push_back(static_cast<std::int32_t>(k));
    if (next[k] != 0) tree.levels.push_back(level[k]);
  }
  return tree;
}

void SahnRefuseGrownValues() {
  throw E_Morvapc("The cluster values grew out of range (to 9e200 or more, or no number);\n"
                  "SAHN cannot go on with this matrix and method.");
}

void SahnCheckValues(const Sym_mx& d) {
  for (std::int32_t i = 2; i <= d.n(); ++i) {
    for (std::int32_t j = 1; j < i; ++j) {
      const double v = d.getxij(i, j);
      if (!(std::fabs(v) < kSahnNoValue)) {
        throw E_Morvapc(rtl::Format("SAHN cannot cluster the value %s at row %d, column %d:\n"
                                    "values must be numbers below 9e200 in size.",
                                    rtl::FloatToStrGeneral(v, 15), i, j));
      }
    }
  }
}

TSahnDendrogram SahnClusterWithTieCheck(Sym_mx& d, const TSahnOptions& options, bool& tie) {
  SahnCheckValues(d);
  TSahnClustering clustering(d, options);
  return clustering.Run(tie);
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
