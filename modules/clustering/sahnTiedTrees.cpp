// The tied-tree search of SAHN on the search framework shared with neighbour
// joining: every branch of the search is a state with its own compacted
// matrix of the clusters still live; branches wait in a chain and are
// finished one after another, first opened first.

#include <algorithm>
#include <cmath>
#include <vector>

#include "matrix/Constu.h"
#include "matrix/PackedTriangle.h"
#include "modules/clustering/sahnTiedTrees.h"
#include "modules/clustering/tiedTreeSearch.h"
#include "rtl/Convert.h"
#include "shell/Progress.h"

namespace {

// The most children one node of a tree may have when its children are sorted.
constexpr std::int32_t kMaxChildren = 25;

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

// What the search needs of SAHN: its scan of the working values, its join and
// what becomes of a finished tree.
class TSahnTieMethod {
 public:
  using TOnTree = std::function<void(std::int32_t, const TSahnDendrogram&)>;

  TSahnTieMethod(const TSahnOptions& options, std::int32_t n, const TOnTree& onTree)
      : options_(options), info_(SahnMethodInfo(options.method)), n_(n), onTree_(onTree) {}

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

  std::int32_t Live(const TSahnState& s) const { return s.live; }
  std::int32_t Head(const TSahnState& s, std::int32_t position) const { return s.Head(position); }

  void Progress(const TSahnState& s) const {
    ::Progress("Clustering", static_cast<std::int32_t>(rtl::Round((1 - static_cast<double>(s.live) / n_) * 100)));
  }

  // Every pair, row by row, by its working value.
  void Scan(const TSahnState& state, TTieCandidates<double>& candidates) const {
    for (std::int32_t r = 1; r <= state.live; ++r) {
      for (std::int32_t c = 1; c < r; ++c) {
        const double v = state.At(r, c);
        if (!(std::fabs(v) < kSahnNoValue)) SahnRefuseGrownValues();
        candidates.Offer(v, state.Head(r) < state.Head(c) ? TTiedPair{r, c, v} : TTiedPair{c, r, v});
      }
    }
    if (candidates.pairs().empty()) SahnRefuseGrownValues();
  }

  // Joins the clusters at the pair's positions: the joined cluster takes the
  // smaller position and the smaller head, the chain of the larger head goes
  // after the chain of the smaller, and the last position moves into the
  // larger position's place.
  void Join(TSahnState& s, const TTiedPair& pair) const {
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

  void Finish(const TSahnState& s, std::int32_t number, bool) const { onTree_(number, s.chains.Dendrogram()); }

 private:
  const TSahnOptions& options_;
  const TSahnMethodInfo& info_;
  std::int32_t n_;
  const TOnTree& onTree_;
};

}  // namespace

bool SahnFindTiedTrees(const Sym_mx& d, const TSahnOptions& options, std::int32_t maxTrees,
                       const std::function<void(std::int32_t number, const TSahnDendrogram& tree)>& onTree) {
  SahnCheckValues(d);
  TSahnTieMethod method(options, d.n(), onTree);
  // Tied pairs that share no cluster with the first lead to the same trees
  // when values depend only on the members of the clusters.
  const TTieRules rules{maxTrees, true, SahnMethodInfo(options.method).membersOnly};
  TTiedTreeSearch<TSahnState, double, TSahnTieMethod> search(rules, options.tol, method);
  search.Run(method.FirstState(d));
  return search.truncated();
}

std::int64_t SahnPairKey(std::int32_t a, std::int32_t b) { return PairKey(a, b); }

void SahnSortTreeNodes(TSahnDendrogram& tree) { SortTreeNodes(tree, kMaxChildren, " none needed."); }
