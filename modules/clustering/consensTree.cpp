#include "modules/clustering/consensTree.h"

#include <cmath>
#include <unordered_map>
#include <unordered_set>

#include "matrix/Constu.h"
#include "matrix/MatrixFiles.h"
#include "rtl/Format.h"
#include "shell/Progress.h"

namespace {

std::size_t Ix(std::int32_t k) { return static_cast<std::size_t>(k); }

// The recursive walk of ConsensTreeToSets over positions of the reversed
// tree: otus[k] is the OTU at position k (1-based, entry 0 unused) and
// levels[k] the level between positions k - 1 and k.
class TTreeWalk {
 public:
  TTreeWalk(const Tree_mx& tree, TSetStack2& sets)
      : sets_(sets), dissimilarity_(tree.matrixType() != mtTreeSimilarity), n_(tree.n()) {
    otus_.resize(Ix(n_) + 1);
    levels_.resize(Ix(n_) + 1);
    for (std::int32_t k = 1; k <= n_; ++k) {
      otus_[Ix(k)] = tree.GetPointer(n_ + 1 - k);
      levels_[Ix(k)] = tree.GetValue(n_ + 1 - k);
    }
  }

  void Walk(std::int32_t lo, std::int32_t hi) {
    if (lo >= hi) return;
    double top = dissimilarity_ ? -9e200 : 9e200;
    for (std::int32_t k = lo + 1; k <= hi; ++k) {
      const double v = levels_[Ix(k)];
      if (dissimilarity_ ? v > top : v < top) top = v;
    }
    std::int32_t start = lo;
    for (std::int32_t k = lo + 1; k <= hi + 1; ++k) {
      if (k <= hi && levels_[Ix(k)] != top) continue;
      Record(start, k - 1);
      Walk(start, k - 1);
      start = k;
    }
  }

 private:
  void Record(std::int32_t lo, std::int32_t hi) {
    TLargeSet cluster;
    for (std::int32_t k = lo; k <= hi; ++k) SetInclude(otus_[Ix(k)], cluster);
    sets_.Add(cluster, hi - lo + 1);
  }

  TSetStack2& sets_;
  bool dissimilarity_;
  std::int32_t n_;
  std::vector<std::int32_t> otus_;
  std::vector<double> levels_;
};

void ListFrequencies(const std::vector<std::vector<TClusterRec>>& counted, std::int32_t trees, std::int32_t threshold) {
  ListingWriteLine("");
  ListingWriteLine("");
  ListingWriteLine(rtl::Format("Frequency of subsets over %d input trees", trees));
  ListingWriteLine("");
  ListingWriteLine("SUBSETS, N, & FREQ.:");
  for (const std::vector<TClusterRec>& line : counted) {
    for (const TClusterRec& rec : line) {
      std::vector<std::string> text = SetListLines(rec.set);
      const double frequency = static_cast<double>(rec.count) / trees;
      text.back() += rtl::Format(rec.count >= threshold ? " <%3d> %5.3f" : "  %3d  %5.3f", rec.count, frequency);
      for (const std::string& t : text) ListingWriteLine(t);
    }
  }
  ListingWriteLine("");
  ListingWriteLine("Sets with counts marked with \"< >\" are included in the consensus tree");
}

TLargeSet AllOtus(std::int32_t n) {
  TLargeSet all;
  for (std::int32_t k = 1; k <= n; ++k) SetInclude(k, all);
  return all;
}

// For one tree, by OTU, the clusters of 2 .. n - 1 OTUs that hold it, from
// the smallest; a cluster's place in a tree's lists decides among equal sizes.
std::vector<std::vector<const TClusterRec*>> ClustersHolding(const TSetStack2& tree) {
  std::vector<std::vector<const TClusterRec*>> holding(Ix(tree.n) + 1);
  for (std::int32_t size = 2; size < tree.n; ++size) {
    for (const TClusterRec& rec : tree.Line(size)) {
      for (std::int32_t otu : SetElements(rec.set)) {
        std::vector<const TClusterRec*>& chain = holding.at(Ix(otu));
        // The first of its size in list order is the one the search meets.
        if (chain.empty() || SetCount(chain.back()->set) < size) chain.push_back(&rec);
      }
    }
  }
  return holding;
}

}  // namespace

TSetStack2 ConsensTreeToSets(const Tree_mx& tree) {
  TSetStack2 sets(tree.n());
  TTreeWalk(tree, sets).Walk(1, tree.n());
  return sets;
}

std::int32_t ConsensThreshold(std::int32_t count, double s) {
  const long double product = static_cast<long double>(count) * s;
  const auto k = static_cast<std::int64_t>(std::trunc(product)) + 1;
  return static_cast<std::int32_t>(std::min<std::int64_t>(k, count));
}

TSetStack2 ConsensCountSets(const std::vector<TSetStack2>& trees, bool showSets, double s) {
  Progress("Counting sets ...", 40);
  const std::int32_t n = trees.front().n;
  const auto count = static_cast<std::int32_t>(trees.size());
  std::vector<std::vector<TClusterRec>> counted(Ix(n) + 1);
  std::unordered_map<TLargeSet, std::size_t, TLargeSetHash, TLargeSetEqual> seen;
  for (const TSetStack2& tree : trees) {
    for (std::int32_t size = 2; size < n; ++size) {
      std::vector<TClusterRec>& line = counted[Ix(size)];
      for (const TClusterRec& rec : tree.Line(size)) {
        const auto [at, fresh] = seen.try_emplace(rec.set, line.size());
        if (fresh) {
          line.push_back({rec.set, 1});
        } else {
          ++line[at->second].count;
        }
      }
    }
  }
  const std::int32_t threshold = ConsensThreshold(count, s);
  if (showSets) ListFrequencies(counted, count, threshold);
  TSetStack2 consensus(n);
  for (std::int32_t size = 2; size < n; ++size) {
    for (const TClusterRec& rec : counted[Ix(size)]) {
      if (rec.count >= threshold) consensus.Add(rec.set, size, rec.count);
    }
  }
  return consensus;
}

TSetStack2 ConsensStinebrickner(const std::vector<TSetStack2>& trees, bool showSets, double s, double& ciS) {
  const std::int32_t n = trees.front().n;
  TSetStack2 consensus(n);
  std::vector<std::int32_t> present;
  for (std::int32_t size = 2; size < n; ++size) {
    for (const TSetStack2& tree : trees) {
      if (SetMember(size, tree.sizes)) {
        present.push_back(size);
        break;
      }
    }
  }
  if (showSets) {
    ListingWriteLine("");
    ListingWriteLine("");
    ListingWriteLine(rtl::Format("s-values of subsets over %d input trees", static_cast<std::int32_t>(trees.size())));
    ListingWriteLine("");
    ListingWriteLine("SUBSETS:");
  }
  std::vector<std::vector<std::vector<const TClusterRec*>>> holding;
  holding.reserve(trees.size());
  for (const TSetStack2& tree : trees) holding.push_back(ClustersHolding(tree));

  const TLargeSet all = AllOtus(n);
  std::unordered_set<TLargeSet, TLargeSetHash, TLargeSetEqual> included;
  long double sum = 0.0L;
  for (std::int32_t m : present) {
    for (std::int32_t k = 1; k <= n; ++k) {
      TLargeSet x = all;
      TLargeSet y;
      for (const auto& tree : holding) {
        const std::vector<const TClusterRec*>& chain = tree[Ix(k)];
        // The largest cluster of at most m OTUs that holds k, or none.
        const TClusterRec* found = nullptr;
        for (const TClusterRec* rec : chain) {
          if (SetCount(rec->set) > m) break;
          found = rec;
        }
        x = found ? SetIntersection(x, found->set) : kEmptyLargeSet;
        if (found) y = SetUnion(y, found->set);
      }
      const std::int32_t size = SetCount(x);
      if (size == 0 || included.contains(x)) continue;
      const std::int32_t union_size = SetCount(y);
      const long double sValue = union_size == 0 ? -1.0L : static_cast<long double>(size) / union_size;
      if (sValue >= s) {
        consensus.Add(x, size);
        included.insert(x);
        sum += sValue;
      }
    }
  }
  ciS = static_cast<double>(sum / (n - 2));
  return consensus;
}

TDendrogram ConsensSetsToTree(const TSetStack2& consensus) {
  std::vector<TLargeSet> clusters;
  for (std::int32_t size = consensus.n - 1; size >= 2; --size) {
    for (const TClusterRec& rec : consensus.Line(size)) clusters.push_back(rec.set);
  }
  return OrderByClusters(consensus.n, clusters,
                         {"Index > n", "Consensus clusters overlap without nesting; they do not form a tree"});
}

TConsensIndices ConsensIndices(const TSetStack2& consensus) {
  const std::int32_t n = consensus.n;
  TConsensIndices indices;
  long double minSum = 0.0L;
  for (std::int32_t size = 2; size < n; ++size) {
    for (const TClusterRec& rec : consensus.Line(size)) {
      const std::int32_t c = SetCount(rec.set);
      if (c == 0) continue;
      ++indices.nSets;
      minSum += std::min(c - 1, n - c);
      indices.ciSf += static_cast<std::int64_t>(c) * (c - 1) / 2;
    }
  }
  indices.ciC = static_cast<double>(static_cast<long double>(indices.nSets) / (n - 2));
  indices.ciM = static_cast<double>(minSum / (static_cast<long double>(n / 2) * ((n - 1) / 2)));
  return indices;
}
