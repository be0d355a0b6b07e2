// One SAHN clustering with the tie check.
//
// The joins, levels and tie flag are those of the plain algorithm, which
// walks the live clusters in the order of the active list; this one reads the
// packed triangle row by row wherever it can. A cluster's values to the
// clusters with higher numbers lie in a column, a row apart each, and walking
// them costs a cache miss per value once the triangle outgrows the cache:
// - The first search visits the pairs row by row. Each cluster still meets
//   its values in the plain order, so its nearest neighbour and tie flag come
//   out the same; the smallest value of all is found afterwards.
// - A join computes the new values in memory order, then does the
//   bookkeeping in the order of the active list.
// - Every cluster keeps the smallest values of its row and of its column.
//   Finding its nearest neighbour again takes their minimums; a row or column
//   is read only when its minimum is no longer known. When more than one
//   cluster holds the smallest value, the order of the active list decides,
//   so those values are scanned in that order.

#include <algorithm>
#include <cmath>
#include <optional>
#include <span>
#include <vector>

#include "matrix/Constu.h"
#include "modules/clustering/sahnClustering.h"
#include "modules/clustering/sahnNeighbours.h"
#include "modules/clustering/sahnSmallest.h"
#include "rtl/Convert.h"
#include "rtl/Format.h"
#include "shell/Progress.h"

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

namespace {

// The state of one clustering. Vectors are indexed by OTU number 1 .. n
// (entry 0 is unused); a cluster is named by the OTU heading its chain of
// members, and its values are those of that OTU's row and column.
class TSahnClustering {
 public:
  TSahnClustering(Sym_mx& d, const TSahnOptions& options)
      : d_(d),
        options_(options),
        info_(SahnMethodInfo(options.method)),
        n_(d.n()),
        chains_(n_),
        neighbours_(n_, options.tol),
        halves_(2 * n_ + 2),
        joined_(Slots(0.0)),
        line_(Slots(0.0)) {
    active_.reserve(static_cast<std::size_t>(n_));
    for (std::int32_t k = 1; k <= n_; ++k) active_.push_back(k);
    ascending_ = active_;
  }

  TSahnDendrogram Run(bool& tie) {
    FirstSearch();
    tie = false;
    while (active_.size() > 1) {
      const auto m = static_cast<double>(active_.size());
      Progress("Clustering", static_cast<std::int32_t>(rtl::Round((1 - m / n_) * 100)));
      tie = tie || neighbours_.tieG();
      Join();
    }
    return chains_.Dendrogram();
  }

 private:
  template <class T>
  std::vector<T> Slots(T value) const {
    return std::vector<T>(static_cast<std::size_t>(n_) + 1, value);
  }
  static std::size_t Ix(std::int32_t k) { return static_cast<std::size_t>(k); }

  // The value between k and a cluster c with a smaller number: in k's row.
  double& Cell(std::int32_t k, std::int32_t c) { return d_.Row(k)[Ix(c) - 1]; }

  // The sets of halves_: a's values to lower numbers (its row), to higher
  // numbers (its column), and the one holding its value to b.
  static std::int32_t Row(std::int32_t a) { return 2 * a; }
  static std::int32_t Column(std::int32_t a) { return 2 * a + 1; }
  static std::int32_t HalfOf(std::int32_t a, std::int32_t b) { return b < a ? Row(a) : Column(a); }

  // The live clusters numbered above r, in ascending order.
  std::vector<std::int32_t>::const_iterator LiveAbove(std::int32_t r) const {
    return std::upper_bound(ascending_.begin(), ascending_.end(), r);
  }

  // --- The first search ---

  // The nearest neighbour of every OTU and the smallest value of all; ties
  // within the tolerance. The pairs of row 1 come first, then the others row
  // by row. A cluster meets its values in the same order as in a walk by
  // columns, so only the smallest value of all, which the walk by columns
  // updates after each of its rows, is folded afterwards.
  void FirstSearch() {
    for (std::int32_t k = 2; k <= n_; ++k) {
      const double v = Cell(k, 1);
      neighbours_.TakeRowOne(k, v);
      halves_.Offer(Column(1), v, k);
      halves_.Offer(Row(k), v, 1);
    }
    neighbours_.FinishRowOne();
    for (std::int32_t h = 3; h <= n_; ++h) {
      const std::span<const double> row = d_.Row(h);
      for (std::int32_t lo = 2; lo < h; ++lo) {
        const double v = row[Ix(lo) - 1];
        neighbours_.TakeFirst(lo, h, v);
        halves_.Offer(Column(lo), v, h);
        halves_.Offer(Row(h), v, lo);
      }
    }
    // The walk by columns meets a row's minimum with the neighbours as they
    // are after that row. Those of rows 2 .. r are final by then; so is the
    // neighbour of the OTU p picked in row 1, as far as it matters: it can
    // only have become r through a value below g, and then r takes over g.
    for (std::int32_t r = 2; r < n_; ++r) neighbours_.FoldFirst(r);
  }

  // --- A join ---

  void Join() {
    const std::int32_t p = neighbours_.p();
    if (!(neighbours_.g() < kSahnNoValue) || p == 0) SahnRefuseGrownValues();
    const std::int32_t i = std::min(p, neighbours_.nn(p));
    const std::int32_t j = std::max(p, neighbours_.nn(p));
    const std::int32_t ni = chains_.size(i);
    const std::int32_t nj = chains_.size(j);
    const double v = chains_.Join(i, j, neighbours_.g(), info_.centroid);
    ComputeJoinedValues(i, j, TSahnUpdate(options_, v, ni, nj));

    neighbours_.StartJoin(i, j);
    research_.clear();
    std::size_t jPosition = 0;
    for (std::size_t a = 0; a < active_.size(); ++a) {
      const std::int32_t k = active_[a];
      if (k == j) jPosition = a;
      if (k == i || k == j) continue;
      const double value = joined_[Ix(k)];
      if (!(std::fabs(value) < kSahnNoValue)) SahnRefuseGrownValues();
      if (neighbours_.TakeJoined(k, i, j, value)) research_.push_back(k);
    }
    active_[jPosition] = active_.back();
    active_.pop_back();
    ascending_.erase(std::lower_bound(ascending_.begin(), ascending_.end(), j));
    for (std::int32_t r : research_) {
      FindNearestAgain(r);
      neighbours_.CompareWithMinimum(r);
    }
    // Every live cluster's value now includes its value to i, so the smallest
    // of them is also the smallest of i's: i needs no comparison of its own.
  }

  // The value of every live cluster k to the cluster made by joining i and j,
  // stored as the value between k and i and kept in joined_. The cells are
  // read in one pass and written in another that do nothing else, so that the
  // fetches of cells a row apart overlap. Every k's smallest values lose j
  // and see its new value to i; i's are taken afresh.
  void ComputeJoinedValues(std::int32_t i, std::int32_t j, const TSahnUpdate& update) {
    ForCellsOfPair(i, j, [this](std::int32_t k, const double& toI, const double& toJ) {
      joined_[Ix(k)] = toI;
      line_[Ix(k)] = toJ;
    });
    halves_.Clear(Row(i));
    halves_.Clear(Column(i));
    for (std::int32_t k : ascending_) {
      if (k == i || k == j) continue;
      const double value = update(joined_[Ix(k)], line_[Ix(k)]);
      joined_[Ix(k)] = value;
      halves_.Remove(HalfOf(k, j), j);
      halves_.Remove(HalfOf(k, i), i);
      halves_.Offer(HalfOf(k, i), value, i);
      halves_.Offer(HalfOf(i, k), value, k);
    }
    ForCellsOfPair(i, j, [this](std::int32_t k, double& toI, const double&) { toI = joined_[Ix(k)]; });
  }

  // visit(k, cell of k and i, cell of k and j) for every live k but i and j,
  // in memory order, one loop for each way the two cells lie.
  template <class Visit>
  void ForCellsOfPair(std::int32_t i, std::int32_t j, Visit visit) {
    const std::span<double> rowI = d_.Row(i);
    const std::span<double> rowJ = d_.Row(j);
    const auto atI = std::lower_bound(ascending_.begin(), ascending_.end(), i);
    const auto atJ = std::lower_bound(atI, ascending_.end(), j);
    for (auto k = ascending_.begin(); k != atI; ++k) visit(*k, rowI[Ix(*k) - 1], rowJ[Ix(*k) - 1]);
    for (auto k = atI + 1; k != atJ; ++k) visit(*k, Cell(*k, i), rowJ[Ix(*k) - 1]);
    for (auto k = atJ + 1; k != ascending_.end(); ++k) {
      const std::span<double> row = d_.Row(*k);
      visit(*k, row[Ix(i) - 1], row[Ix(j) - 1]);
    }
  }

  // r's nearest neighbour among the live clusters. A scan in list order from
  // r's value to the joined cluster ends at the smallest value; only where
  // several clusters hold it does the order choose among them.
  void FindNearestAgain(std::int32_t r) {
    const std::optional<TSahnNearest> below = halves_.Minimum(Row(r));
    const std::optional<TSahnNearest> above = halves_.Minimum(Column(r));
    const TSahnNearest nearest = SahnNearer(below ? *below : ReadRow(r), above ? *above : ReadColumn(r));
    if (nearest.tied) {
      ScanInListOrder(r);
      return;
    }
    neighbours_.SetNearest(r, nearest.otu, nearest.value);
  }

  // The smallest of r's values to the live clusters numbered below it, read
  // from its row; they are kept afresh.
  TSahnNearest ReadRow(std::int32_t r) {
    const std::span<const double> row = d_.Row(r);
    halves_.Clear(Row(r));
    TSahnNearest nearest;
    for (auto s = ascending_.begin(); s != ascending_.end() && *s < r; ++s) {
      const double v = row[Ix(*s) - 1];
      halves_.Offer(Row(r), v, *s);
      nearest.Take(v, *s);
    }
    return nearest;
  }

  // The same for the clusters numbered above r, from its column.
  TSahnNearest ReadColumn(std::int32_t r) {
    halves_.Clear(Column(r));
    TSahnNearest nearest;
    for (auto s = LiveAbove(r); s != ascending_.end(); ++s) {
      const double v = Cell(*s, r);
      halves_.Offer(Column(r), v, *s);
      nearest.Take(v, *s);
    }
    return nearest;
  }

  // The re-search of r as a walk of the active list, where several clusters
  // hold r's smallest value.
  void ScanInListOrder(std::int32_t r) {
    for (std::int32_t s : ascending_) {
      if (s != r) line_[Ix(s)] = s < r ? Cell(r, s) : Cell(s, r);
    }
    for (std::int32_t s : active_) {
      if (s != r) neighbours_.TakeAgain(r, s, line_[Ix(s)]);
    }
  }

  Sym_mx& d_;
  const TSahnOptions& options_;
  const TSahnMethodInfo& info_;
  std::int32_t n_;
  TSahnChains chains_;
  TSahnNeighbours neighbours_;
  TSahnSmallest halves_;  // the smallest values of each cluster's row and column
  std::vector<std::int32_t> active_;
  std::vector<std::int32_t> ascending_;  // the live clusters in ascending order
  std::vector<std::int32_t> research_;
  std::vector<double> joined_;  // by OTU: the values to the cluster just joined
  std::vector<double> line_;    // by OTU: the old values to j in a join; one cluster's values in a scan
};

}  // namespace

TSahnDendrogram SahnClusterWithTieCheck(Sym_mx& d, const TSahnOptions& options, bool& tie) {
  SahnCheckValues(d);
  TSahnClustering clustering(d, options);
  return clustering.Run(tie);
}
