// Neighbour joining with its tie search, rooting, dendrogram and graph.
//
// The criterion of a pair (i, j) among r live clusters is
//   S = (T - B - d) / (r - 2) + B / (2r - 4) + d / 2   (r > 3), S = d (r <= 3),
// T the sum of all values, d the pair's value, B the sum of both clusters'
// values to the others. B and T come from row sums kept in long double and
// brought up to date at every join: O(r) per join instead of O(r) per pair,
// and on integer-valued data exactly the sums a pair-by-pair evaluation
// makes. Without a positive tolerance, a quick double approximation finds the
// few pairs near the smallest criterion and only they are evaluated in full;
// a positive tolerance has every pair evaluated, since pairs far above the
// smallest can then shape the list of tied pairs.
//
// The working matrix keeps on a joined cluster's diagonal the value between
// the two clusters that formed it, and gives the joined cluster the plain mean
// of their values; the branch lengths subtract half the diagonals again.

#include "modules/clustering/njoinTree.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <string>

#include "matrix/Constu.h"
#include "matrix/PackedTriangle.h"
#include "matrix/util/UtStr.h"
#include "modules/clustering/clusterOrder.h"
#include "modules/clustering/tiedTreeSearch.h"
#include "rtl/Convert.h"
#include "rtl/Format.h"
#include "shell/ModuleRun.h"
#include "shell/Progress.h"

namespace {

constexpr double kNoValue = 9e200;

std::size_t Ix(std::int32_t k) { return static_cast<std::size_t>(k); }

// One branch of the search: by position 1 .. live (entry 0 unused) the head
// OTU, tree node, OTUs, diagonal value and row sum of the cluster there; the
// values between live positions as a packed strict lower triangle; the
// branches made.
struct TNjoinState {
  std::int32_t live = 0;
  std::int32_t nextNode = 0;
  std::vector<std::int32_t> head;
  std::vector<std::int32_t> node;
  std::vector<TLargeSet> sets;
  std::vector<double> diagonal;
  std::vector<long double> sums;  // of the values to the other live positions
  std::vector<double> values;
  TNjoinBranches branches;

  static std::size_t Cell(std::int32_t r, std::int32_t c) { return PackedIndex(std::max(r, c) - 1, std::min(r, c)); }
  double At(std::int32_t r, std::int32_t c) const { return values[Cell(r, c)]; }
  void Put(std::int32_t r, std::int32_t c, double v) { values[Cell(r, c)] = v; }
};

// The sum of each live position's values to the others (entry 0 unused).
std::vector<long double> RowSums(const TNjoinState& s) {
  std::vector<long double> sums(Ix(s.live) + 1, 0.0L);
  for (std::int32_t r = 2; r <= s.live; ++r) {
    const double* row = &s.values[TNjoinState::Cell(r, 1)];
    long double rowSum = 0.0L;
    for (std::int32_t c = 1; c < r; ++c) {
      rowSum += row[c - 1];
      sums[Ix(c)] += row[c - 1];
    }
    sums[Ix(r)] += rowSum;
  }
  return sums;
}

// The criterion of the pairs of a state of more than three clusters, and a
// quick double approximation of it for finding the few pairs near the
// smallest: (r - 2) d - R_i - R_j, which grows with S.
class TNjoinCriterion {
 public:
  explicit TNjoinCriterion(const TNjoinState& s)
      : r_(s.live), sums_(s.sums), rounded_(Ix(r_) + 1), rowLeast_(Ix(r_) + 1) {
    t_ = std::accumulate(sums_.begin() + 1, sums_.begin() + r_ + 1, 0.0L) * 0.5L;
    for (std::int32_t k = 1; k <= r_; ++k) rounded_[Ix(k)] = static_cast<double>(sums_[Ix(k)]);
    const double factor = r_ - 2;
    double largest = 0;  // of |(r - 2) d| and |R|
    least_ = std::numeric_limits<double>::infinity();
    for (std::int32_t i = 2; i <= r_; ++i) {
      const double* row = &s.values[TNjoinState::Cell(i, 1)];
      double least = std::numeric_limits<double>::infinity();
      double large = 0;
      for (std::int32_t j = 1; j < i; ++j) {
        least = std::min(least, factor * row[j - 1] - rounded_[Ix(j)]);
        large = std::max(large, std::fabs(row[j - 1]));
      }
      rowLeast_[Ix(i)] = least - rounded_[Ix(i)];
      least_ = std::min(least_, rowLeast_[Ix(i)]);
      largest = std::max({largest, factor * large, std::fabs(rounded_[Ix(i)])});
    }
    largest = std::max(largest, std::fabs(rounded_[1]));
    // The approximation is within a few units of the last place of its
    // largest term; S, scaled by 2 (r - 2), within a few of 2T.
    margin_ = 1e-12 * (3 * largest + 2 * std::fabs(static_cast<double>(t_)));
  }

  // S of the pair, in long double.
  long double operator()(std::int32_t i, std::int32_t j, double d) const {
    const long double b = sums_[Ix(i)] + sums_[Ix(j)] - 2.0L * d;
    return (t_ - b - d) / (r_ - 2) + b / (2 * r_ - 4) + d * 0.5L;
  }

  double Approximate(std::int32_t i, std::int32_t j, double d) const {
    return (r_ - 2) * d - rounded_[Ix(j)] - rounded_[Ix(i)];
  }
  // The least approximation in row i.
  double rowLeast(std::int32_t i) const { return rowLeast_[Ix(i)]; }
  // No pair whose approximation lies above this has the smallest S.
  double NearMinimumBound() const { return least_ + margin_; }

 private:
  std::int32_t r_;
  const std::vector<long double>& sums_;
  long double t_ = 0;
  std::vector<double> rounded_;
  std::vector<double> rowLeast_;
  double least_ = 0;
  double margin_ = 0;
};

class TNjoinMethod {
 public:
  TNjoinMethod(std::int32_t n, double tol, const TNjoinOnTree& onTree) : n_(n), tol_(tol), onTree_(onTree) {}

  TNjoinState FirstState(const Sym_mx& d) const {
    TNjoinState s;
    s.live = n_;
    s.nextNode = n_ + 1;
    s.head.resize(Ix(n_) + 1);
    s.node.resize(Ix(n_) + 1);
    s.sets.resize(Ix(n_) + 1);
    s.diagonal.resize(Ix(n_) + 1);
    for (std::int32_t k = 1; k <= n_; ++k) {
      s.head[Ix(k)] = s.node[Ix(k)] = k;
      s.sets[Ix(k)] = SetSingleton(k);
      s.diagonal[Ix(k)] = d.getxij(k, k);
    }
    s.values.resize(TNjoinState::Cell(n_, n_ - 1) + 1);
    for (std::int32_t r = 2; r <= n_; ++r) {
      for (std::int32_t c = 1; c < r; ++c) s.Put(r, c, d.getxij(r, c));
    }
    s.sums = RowSums(s);
    s.branches.reserve(Ix(2 * n_ - 3));
    return s;
  }

  std::int32_t Live(const TNjoinState& s) const { return s.live; }
  std::int32_t Head(const TNjoinState& s, std::int32_t position) const { return s.head[Ix(position)]; }

  void Progress(const TNjoinState& s) const {
    ::Progress("Computing", static_cast<std::int32_t>(rtl::Round((1 - static_cast<double>(s.live) / n_) * 100)));
  }

  void Scan(const TNjoinState& s, TTieCandidates<long double>& candidates) const {
    if (s.live <= 3) {
      ScanPairs(s, candidates, [&](std::int32_t, std::int32_t, double d) { return static_cast<long double>(d); });
    } else {
      const TNjoinCriterion criterion(s);
      if (tol_ > 0) {
        ScanPairs(s, candidates, criterion);
      } else {
        const double bound = criterion.NearMinimumBound();
        ScanPairs(
            s, candidates, criterion, [&](std::int32_t i) { return criterion.rowLeast(i) <= bound; },
            [&](std::int32_t i, std::int32_t j, double d) { return criterion.Approximate(i, j, d) <= bound; });
      }
    }
    if (candidates.pairs().empty())
      throw E_Morvapc("The neighbor-joining criterion grew out of range: values must be far below 9e200 in size.");
  }

  void Join(TNjoinState& s, const TTiedPair& pair) const {
    const std::int32_t i = std::min(pair.a, pair.b);
    const std::int32_t j = std::max(pair.a, pair.b);
    const std::int32_t r = s.live;
    const double d = s.At(i, j);
    if (r == 2) {
      JoinLastTwo(s, d);
      return;
    }
    long double si = 0.0L;
    long double sj = 0.0L;
    for (std::int32_t k = 1; k <= r; ++k) {
      if (k == i || k == j) continue;
      si += s.At(i, k);
      sj += s.At(j, k);
    }
    si /= r - 2;
    sj /= r - 2;
    const std::int32_t u = s.nextNode++;
    s.branches.push_back(
        {s.sets[Ix(i)], static_cast<double>((d + si - sj) * 0.5L - s.diagonal[Ix(i)] * 0.5L), s.node[Ix(i)], u});
    s.branches.push_back(
        {s.sets[Ix(j)], static_cast<double>((d + sj - si) * 0.5L - s.diagonal[Ix(j)] * 0.5L), s.node[Ix(j)], u});
    long double joinedSum = 0.0L;
    for (std::int32_t k = 1; k <= r; ++k) {
      if (k == i || k == j) continue;
      const double toI = s.At(k, i);
      const double toJ = s.At(k, j);
      const double joined = (toI + toJ) * 0.5;
      s.Put(k, i, joined);
      s.sums[Ix(k)] += joined - (static_cast<long double>(toI) + toJ);
      joinedSum += joined;
    }
    s.sums[Ix(i)] = joinedSum;
    s.head[Ix(i)] = std::min(s.head[Ix(i)], s.head[Ix(j)]);
    s.node[Ix(i)] = u;
    s.sets[Ix(i)] = SetUnion(s.sets[Ix(i)], s.sets[Ix(j)]);
    s.diagonal[Ix(i)] = d;
    if (j != r) {
      for (std::int32_t k = 1; k < r; ++k) {
        if (k != j) s.Put(j, k, s.At(r, k));
      }
      s.head[Ix(j)] = s.head[Ix(r)];
      s.node[Ix(j)] = s.node[Ix(r)];
      s.sets[Ix(j)] = s.sets[Ix(r)];
      s.diagonal[Ix(j)] = s.diagonal[Ix(r)];
      s.sums[Ix(j)] = s.sums[Ix(r)];
    }
    --s.live;
    s.values.resize(TNjoinState::Cell(s.live, s.live - 1) + 1);
  }

  void Finish(TNjoinState& s, std::int32_t number, bool more) const { onTree_(number, s.branches, more); }

 private:
  // The last edge joins the cluster at position 1, which holds OTU 1, to the
  // one at position 2. It is kept as the branch of the cluster at position 2
  // when that is one OTU (so every OTU has its pendant branch), else as that
  // of the cluster at position 1.
  void JoinLastTwo(TNjoinState& s, double d) const {
    const double length = static_cast<double>(d - s.diagonal[1] * 0.5L - s.diagonal[2] * 0.5L);
    const std::size_t kept = SetCount(s.sets[2]) == 1 ? 2 : 1;
    const std::size_t other = 3 - kept;
    s.branches.push_back({s.sets[kept], length, s.node[kept], s.node[other]});
    s.live = 1;
    s.values.clear();
  }

  // Offers the pairs (i, j), i = 1 .. live and j < i, by their criterion;
  // with filters, only the rows and pairs they let through.
  template <class Criterion, class RowFilter = bool (*)(std::int32_t),
            class PairFilter = bool (*)(std::int32_t, std::int32_t, double)>
  static void ScanPairs(
      const TNjoinState& s, TTieCandidates<long double>& candidates, const Criterion& criterion,
      RowFilter rowFilter = [](std::int32_t) { return true; },
      PairFilter pairFilter = [](std::int32_t, std::int32_t, double) { return true; }) {
    for (std::int32_t i = 2; i <= s.live; ++i) {
      if (!rowFilter(i)) continue;
      const double* row = &s.values[TNjoinState::Cell(i, 1)];
      for (std::int32_t j = 1; j < i; ++j) {
        const double d = row[j - 1];
        if (!pairFilter(i, j, d)) continue;
        const bool iFirst = s.head[Ix(i)] < s.head[Ix(j)];
        candidates.Offer(criterion(i, j, d), iFirst ? TTiedPair{i, j, d} : TTiedPair{j, i, d});
      }
    }
  }

  std::int32_t n_;
  double tol_;
  const TNjoinOnTree& onTree_;
};

// The nodes of a tree and the branches at each.
class TNjoinAdjacency {
 public:
  TNjoinAdjacency(const TNjoinBranches& branches, std::int32_t n) : at_(Ix(2 * n)) {
    for (std::size_t b = 0; b < branches.size(); ++b) {
      at_.at(Ix(branches[b].lower)).push_back(b);
      at_.at(Ix(branches[b].upper)).push_back(b);
    }
  }

  // From node start: the length of the path to every node, and the branch by
  // which each node is reached.
  void Walk(const TNjoinBranches& branches, std::int32_t start, std::vector<long double>& distance,
            std::vector<std::size_t>& via) const {
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    distance.assign(at_.size(), 0.0L);
    via.assign(at_.size(), kNone);
    std::vector<std::int32_t> stack{start};
    std::vector<bool> seen(at_.size(), false);
    seen[Ix(start)] = true;
    while (!stack.empty()) {
      const std::int32_t node = stack.back();
      stack.pop_back();
      for (std::size_t b : at_[Ix(node)]) {
        const std::int32_t other = branches[b].lower == node ? branches[b].upper : branches[b].lower;
        if (seen[Ix(other)]) continue;
        seen[Ix(other)] = true;
        distance[Ix(other)] = distance[Ix(node)] + branches[b].length;
        via[Ix(other)] = b;
        stack.push_back(other);
      }
    }
  }

 private:
  std::vector<std::vector<std::size_t>> at_;
};

// The working value of a cluster's ranked dendrogram: the ranks of the gaps,
// 1 going to the root's -1 and each next distinct value one more.
std::vector<double> DenseRanks(const std::vector<double>& gaps) {
  std::vector<double> sorted = gaps;
  sorted.push_back(-1.0);
  std::sort(sorted.begin(), sorted.end());
  sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
  std::vector<double> ranks;
  ranks.reserve(gaps.size());
  for (double g : gaps) {
    ranks.push_back(static_cast<double>(std::lower_bound(sorted.begin(), sorted.end(), g) - sorted.begin() + 1));
  }
  return ranks;
}

TLargeSet AllOtus(std::int32_t n) {
  TLargeSet all;
  for (std::int32_t k = 1; k <= n; ++k) SetInclude(k, all);
  return all;
}

}  // namespace

void NjoinCheckSize(std::int32_t n) {
  if (n < 3) throw E_Morvapc("Neighbor joining needs at least 3 OTUs");
  CheckMatrixSize(n, kNjoinMaxOtus);
}

void NjoinCheckInput(const Sym_mx& d) {
  NjoinCheckSize(d.n());
  for (std::int32_t i = 1; i <= d.n(); ++i) {
    for (std::int32_t j = 1; j <= i; ++j) {
      const double v = d.getxij(i, j);
      if (!(std::fabs(v) < kNoValue)) {
        throw E_Morvapc(
            rtl::Format("NJOIN cannot use the value %s at row %d, column %d:\n"
                        "values must be numbers below 9e200 in size.",
                        rtl::FloatToStrGeneral(v, 15), i, j));
      }
    }
  }
}

TNjoinSearch NjoinFindTiedTrees(const Sym_mx& d, const TNjoinOptions& options, const TNjoinOnTree& onTree) {
  NjoinCheckInput(d);
  SetInitSize(d.n());
  TNjoinMethod method(d.n(), options.tol, onTree);
  const TTieRules rules{options.maxTrees, options.findTies, true};
  TTiedTreeSearch<TNjoinState, long double, TNjoinMethod> search(rules, options.tol, method);
  TNjoinSearch result;
  result.trees = search.Run(method.FirstState(d));
  result.truncated = search.truncated();
  result.tie = search.tie();
  return result;
}

std::vector<std::int32_t> NjoinParseOutgroup(std::string_view text, std::int32_t n) {
  constexpr std::string_view kDelimiters = " ,";
  std::vector<std::int32_t> outgroup;
  const int words = CountWords(text, kDelimiters);
  for (int w = 1; w <= words; ++w) {
    const std::string word = GetWord(w, text, kDelimiters);
    for (char c : word) {
      if (c < '0' || c > '9') throw E_Morvapc(std::string("Invalid character (") + c + ") in outgroup list");
    }
    const std::optional<std::int64_t> value = rtl::TryStrToInt64(word);
    if (!value) throw E_Morvapc("Bad integer number (" + word + ") for root OTU");
    if (*value > n) throw E_Morvapc("index (" + word + ") for root OTU out of range");
    if (static_cast<std::int32_t>(outgroup.size()) == kNjoinMaxOutgroup) {
      throw E_Morvapc(rtl::Format("Too many OTUs in outgroup list (max = %d)", kNjoinMaxOutgroup));
    }
    outgroup.push_back(*value == 0 ? 1 : static_cast<std::int32_t>(*value));
  }
  return outgroup;
}

bool NjoinIsMonophyletic(const TNjoinBranches& branches, std::int32_t n, const TLargeSet& outgroup) {
  const TLargeSet others = SetDifference(AllOtus(n), outgroup);
  return std::any_of(branches.begin(), branches.end(),
                     [&](const TNjoinBranch& b) { return SetEqual(b.set, outgroup) || SetEqual(b.set, others); });
}

TNjoinPath NjoinLongestPath(const TNjoinBranches& branches, std::int32_t n) {
  const TNjoinAdjacency tree(branches, n);
  TNjoinPath best{0, 0, -9e200L};
  std::vector<long double> distance;
  std::vector<std::size_t> via;
  for (std::int32_t a = 1; a < n; ++a) {
    tree.Walk(branches, a, distance, via);
    for (std::int32_t b = a + 1; b <= n; ++b) {
      if (distance[Ix(b)] > best.length) best = {a, b, distance[Ix(b)]};
    }
  }
  return best;
}

std::vector<std::size_t> NjoinPathBranches(const TNjoinBranches& branches, std::int32_t n, std::int32_t first,
                                           std::int32_t second) {
  const TNjoinAdjacency tree(branches, n);
  std::vector<long double> distance;
  std::vector<std::size_t> via;
  tree.Walk(branches, first, distance, via);
  std::vector<std::size_t> path;
  for (std::int32_t node = second; node != first;) {
    const TNjoinBranch& b = branches[via[Ix(node)]];
    path.push_back(via[Ix(node)]);
    node = b.lower == node ? b.upper : b.lower;
  }
  std::reverse(path.begin(), path.end());
  return path;
}

TNjoinRoot NjoinRoot(const TNjoinBranches& branches, std::int32_t n) {
  const TNjoinPath longest = NjoinLongestPath(branches, n);
  const std::vector<std::size_t> path = NjoinPathBranches(branches, n, longest.first, longest.second);
  const long double half = longest.length * 0.5L;
  long double walked = 0.0L;
  std::size_t at = 0;
  for (; at + 1 < path.size(); ++at) {
    walked += branches[path[at]].length;
    if (walked >= half) break;
  }
  return {branches[path[at]].set, longest.length};
}

TNjoinDendrogram NjoinRootedDendrogram(const TNjoinBranches& branches, std::int32_t n, const TLargeSet& root) {
  const TLargeSet all = AllOtus(n);
  const TLargeSet rest = SetDifference(all, root);
  // Each branch's side away from the root, then the root's two children.
  std::vector<TLargeSet> gathered;
  for (const TNjoinBranch& b : branches) {
    if (SetEqual(b.set, root) || SetEqual(b.set, rest)) continue;
    const bool below = SetSubset(b.set, root) || SetSubset(b.set, rest);
    gathered.push_back(below ? b.set : SetDifference(all, b.set));
  }
  gathered.push_back(root);
  gathered.push_back(rest);
  // By size from n - 1 down to 2, within a size the last gathered first.
  std::vector<std::pair<std::int32_t, std::size_t>> visit;
  for (std::size_t k = 0; k < gathered.size(); ++k) {
    const std::int32_t size = SetCount(gathered[k]);
    if (size >= 2 && size < n) visit.emplace_back(size, k);
  }
  std::sort(visit.begin(), visit.end(), std::greater<>());
  std::vector<TLargeSet> clusters;
  clusters.reserve(visit.size());
  for (const auto& v : visit) clusters.push_back(gathered[v.second]);
  TDendrogram ordered = OrderByClusters(n, clusters, {"problem in setstack_Mv", "Problem in setstack_Mv 2"});
  ordered.levels = DenseRanks(ordered.levels);
  return ordered;
}

std::vector<TNjoinEdge> NjoinBranchGraph(TNjoinBranches& branches, std::int32_t n, double sign) {
  const std::size_t m = branches.size();
  const std::size_t pendant = Ix(n);
  std::vector<std::int32_t> sizes;
  sizes.reserve(m);
  for (const TNjoinBranch& b : branches) sizes.push_back(SetCount(b.set));
  for (std::size_t i = 0; i + 1 < m; ++i) {
    for (std::size_t j = i + 1; j < m; ++j) {
      if (sizes[j] < sizes[i]) {
        std::swap(sizes[i], sizes[j]);
        std::swap(branches[i], branches[j]);
      }
    }
  }
  std::vector<std::int32_t> nodes(m);
  for (std::size_t k = 0; k < m; ++k) {
    if (k < pendant) {
      const std::vector<std::int32_t> otus = SetElements(branches[k].set);
      const auto otu = std::find_if(otus.begin(), otus.end(), [&](std::int32_t x) { return x >= 1 && x <= n; });
      if (otu == otus.end()) throw E_Morvapc("Problem in branch_graph");
      nodes[k] = *otu;
    } else {
      nodes[k] = -static_cast<std::int32_t>(k - pendant + 1);
    }
  }
  std::vector<TNjoinEdge> edges(m);
  for (std::size_t k = 0; k < m; ++k) {
    edges[k] = {nodes[k], -(n - 2), branches[k].length * sign};
    for (std::size_t j = std::max(k, pendant - 1) + 1; j < m; ++j) {
      if (SetSubset(branches[k].set, branches[j].set)) {
        edges[k].to = nodes[j];
        break;
      }
    }
  }
  const auto exchangeSort = [&](std::size_t from, std::size_t to, auto outOfOrder) {
    for (std::size_t i = from; i + 1 < to; ++i) {
      for (std::size_t j = i + 1; j < to; ++j) {
        if (outOfOrder(edges[i].from, edges[j].from)) std::swap(edges[i], edges[j]);
      }
    }
  };
  exchangeSort(0, std::min(pendant, m), std::greater<>());
  exchangeSort(std::min(pendant, m), m, std::less<>());
  return edges;
}
