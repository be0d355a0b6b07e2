// The tied-tree search of SAHN, and the sorting of node children that makes
// its trees comparable. Every branch of the search is a state with
// its own compacted matrix of the clusters still live; branches wait in a
// chain and are finished one after another, first opened first.

#include <algorithm>
#include <cmath>
#include <deque>
#include <string>
#include <vector>

#include "matrix/Constu.h"
#include "matrix/PackedTriangle.h"
#include "modules/clustering/sahnTiedTrees.h"
#include "rtl/Convert.h"
#include "rtl/Format.h"
#include "shell/Progress.h"

namespace {

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

// One branch: the chains of members (by OTU, entry 0 unused), the OTU that
// heads the cluster at each matrix position, and the values between the live
// positions as a packed strict lower triangle.
struct TSahnState {
  std::int32_t live = 0;
  TSahnChains chains;
  std::vector<std::int32_t> head;  // by position
  std::vector<double> values;

  static std::size_t Cell(std::int32_t r, std::int32_t c) { return PackedIndex(std::max(r, c) - 1, std::min(r, c)); }
  double At(std::int32_t r, std::int32_t c) const { return values[Cell(r, c)]; }
  void Put(std::int32_t r, std::int32_t c, double v) { values[Cell(r, c)] = v; }
  std::int32_t Head(std::int32_t position) const { return head[static_cast<std::size_t>(position)]; }
};

// A tied pair: two positions, the one whose cluster has the smaller head first.
struct TCandidate {
  std::int32_t a;
  std::int32_t b;
  double value;

  bool SharesClusterWith(const TCandidate& o) const { return a == o.a || a == o.b || b == o.a || b == o.b; }
};

class TTiedTreeSearch {
 public:
  using TOnTree = std::function<void(std::int32_t, const TSahnDendrogram&)>;

  TTiedTreeSearch(const Sym_mx& d, const TSahnOptions& options, std::int32_t maxTrees, const TOnTree& onTree)
      : options_(options), info_(SahnMethodInfo(options.method)), n_(d.n()), maxTrees_(maxTrees), onTree_(onTree) {
    chain_.push_back(FirstState(d));
  }

  bool Run() {
    while (!chain_.empty()) {
      TSahnState& state = chain_.front();
      if (state.live <= 1) {
        FinishTree(state);
        chain_.pop_front();
        continue;
      }
      Progress("Clustering", static_cast<std::int32_t>(rtl::Round((1 - static_cast<double>(state.live) / n_) * 100)));
      Scan(state);
      ChooseFront(state);
      if (info_.membersOnly) DropDisjoint();
      LimitBranches();
      for (std::size_t e = 1; e < candidates_.size(); ++e) {
        chain_.push_back(state);
        JoinState(chain_.back(), candidates_[e]);
      }
      JoinState(state, candidates_.front());
    }
    return truncated_;
  }

 private:
  TSahnState FirstState(const Sym_mx& d) const {
    TSahnState state{n_, TSahnChains(n_), {}, {}};
    state.head.resize(static_cast<std::size_t>(n_) + 1);
    for (std::int32_t k = 0; k <= n_; ++k) state.head[static_cast<std::size_t>(k)] = k;
    state.values.resize(n_ > 1 ? TSahnState::Cell(n_, n_ - 1) + 1 : 0);
    for (std::int32_t r = 2; r <= n_; ++r) {
      for (std::int32_t c = 1; c < r; ++c) state.Put(r, c, d.getxij(r, c));
    }
    return state;
  }

  bool WithinTol(double a, double b) const { return std::fabs(a - b) <= options_.tol; }

  // Every pair within the tolerance of the smallest value, at most maxTrees of
  // them; a pair more than the tolerance below the smallest so far starts the
  // list (and the count of pairs that did not fit) again.
  void Scan(const TSahnState& state) {
    double g = kSahnNoValue;
    candidates_.clear();
    overflow_ = false;
    for (std::int32_t r = 1; r <= state.live; ++r) {
      for (std::int32_t c = 1; c < r; ++c) {
        const double v = state.At(r, c);
        if (!(std::fabs(v) < kSahnNoValue)) SahnRefuseGrownValues();
        const TCandidate pair = state.Head(r) < state.Head(c) ? TCandidate{r, c, v} : TCandidate{c, r, v};
        if (!WithinTol(v, g)) {
          if (v < g) {
            g = v;
            candidates_.assign(1, pair);
            overflow_ = false;
          }
        } else if (static_cast<std::int32_t>(candidates_.size()) < maxTrees_) {
          candidates_.push_back(pair);
        } else {
          overflow_ = true;
        }
      }
    }
    if (candidates_.empty()) SahnRefuseGrownValues();
  }

  // The pair of the smallest key of its heads goes first.
  void ChooseFront(const TSahnState& state) {
    const auto key = [&](const TCandidate& c) { return SahnPairKey(state.Head(c.a), state.Head(c.b)); };
    std::size_t best = 0;
    for (std::size_t e = 1; e < candidates_.size(); ++e) {
      if (key(candidates_[e]) < key(candidates_[best])) best = e;
    }
    std::swap(candidates_[0], candidates_[best]);
  }

  // Tied pairs that share no cluster with the first lead to the same trees
  // when values depend only on the members of the clusters.
  void DropDisjoint() {
    for (std::size_t e = 1; e < candidates_.size();) {
      if (candidates_[e].SharesClusterWith(candidates_[0])) {
        ++e;
      } else {
        candidates_[e] = candidates_.back();
        candidates_.pop_back();
      }
    }
  }

  // Each pair beyond the first opens a branch, and every branch ends in a
  // tree: the branches opened so far and these stay below maxTrees.
  void LimitBranches() {
    const auto count = static_cast<std::int32_t>(candidates_.size());
    const std::int32_t allowed = maxTrees_ - branches_;
    if (count > allowed || overflow_) {
      truncated_ = true;
      if (count > allowed) candidates_.resize(static_cast<std::size_t>(allowed));
    }
    branches_ += static_cast<std::int32_t>(candidates_.size()) - 1;
  }

  // Joins the clusters at the pair's positions: the joined cluster takes the
  // smaller position and the smaller head, the chain of the larger head goes
  // after the chain of the smaller, and the last position moves into the
  // larger position's place.
  void JoinState(TSahnState& s, const TCandidate& pair) const {
    const std::int32_t pa = std::min(pair.a, pair.b);
    const std::int32_t pb = std::max(pair.a, pair.b);
    const std::int32_t lo = std::min(s.Head(pa), s.Head(pb));
    const std::int32_t hi = std::max(s.Head(pa), s.Head(pb));
    const auto L = [](std::int32_t k) { return static_cast<std::size_t>(k); };
    const std::int32_t na = s.chains.size(s.Head(pa));
    const std::int32_t nb = s.chains.size(s.Head(pb));
    const double v = s.chains.Join(lo, hi, pair.value, info_.centroid);
    const TSahnUpdate update(options_, v, na, nb);
    for (std::int32_t k = 1; k <= s.live; ++k) {
      if (k != pa && k != pb) s.Put(k, pa, update(s.At(k, pa), s.At(k, pb)));
    }
    s.head[L(pa)] = lo;
    if (pb != s.live) {
      for (std::int32_t k = 1; k < s.live; ++k) {
        if (k != pb) s.Put(pb, k, s.At(s.live, k));
      }
      s.head[L(pb)] = s.Head(s.live);
    }
    --s.live;
    s.values.resize(s.live > 1 ? TSahnState::Cell(s.live, s.live - 1) + 1 : 0);
    s.values.shrink_to_fit();
  }

  void FinishTree(const TSahnState& s) {
    ++trees_;
    if (trees_ > 1 && trees_ > maxTrees_) {
      ListingWriteLine("*** Maximum number of tied trees exceeded! ***");
      throw E_Morvapc("Maximum number (" + std::to_string(maxTrees_) + ") of trees exceeded -- search abandonded.");
    }
    onTree_(trees_, s.chains.Dendrogram());
  }

  const TSahnOptions& options_;
  const TSahnMethodInfo& info_;
  std::int32_t n_;
  std::int32_t maxTrees_;
  const TOnTree& onTree_;
  std::deque<TSahnState> chain_;
  std::vector<TCandidate> candidates_;
  bool overflow_ = false;
  bool truncated_ = false;
  std::int32_t branches_ = 0;
  std::int32_t trees_ = 0;
};

}  // namespace

bool SahnFindTiedTrees(const Sym_mx& d, const TSahnOptions& options, std::int32_t maxTrees,
                       const std::function<void(std::int32_t number, const TSahnDendrogram& tree)>& onTree) {
  SahnCheckValues(d);
  return TTiedTreeSearch(d, options, maxTrees, onTree).Run();
}

std::int64_t SahnPairKey(std::int32_t a, std::int32_t b) {
  // The pairs of the strict lower triangle, numbered from 1.
  return static_cast<std::int64_t>(PackedIndex(std::max(a, b) - 1, std::min(a, b))) + 1;
}

void SahnSortTreeNodes(TSahnDendrogram& tree) {
  ListingWriteLine("Sorting tree nodes ...");
  const bool exchanged = TNodeSorter(tree).Run();
  ListingWriteLine(exchanged ? " done." : " none needed.");
}
