#pragma once
// Consensus of rooted trees of the same OTUs 1 .. n (3 <= n <= 500): each tree
// as the set of its clusters, the strict, majority-rule and s-consensus
// (Stinebrickner) of those sets, the tree of a consensus, and the consensus
// indices.

#include <cstdint>
#include <vector>

#include "matrix/Matrixob.h"
#include "modules/clustering/clusterOrder.h"
#include "modules/clustering/largeSet.h"

// The most OTUs a consensus may have (its sets of OTUs would hold 511).
inline constexpr std::int32_t kConsensMaxOtus = 500;

// A cluster and the number of trees that hold it.
struct TClusterRec {
  TLargeSet set;
  std::int32_t count = 0;
};

// The clusters of one tree or of a consensus: the sizes present, and per size
// 1 .. n the list of clusters of that many OTUs.
struct TSetStack2 {
  explicit TSetStack2(std::int32_t otus) : n(otus), lines(static_cast<std::size_t>(otus) + 1) {}

  void Add(const TLargeSet& set, std::int32_t size, std::int32_t count = 1) {
    lines.at(static_cast<std::size_t>(size)).push_back({set, count});
    SetInclude(size, sizes);
  }
  const std::vector<TClusterRec>& Line(std::int32_t size) const { return lines.at(static_cast<std::size_t>(size)); }

  std::int32_t n;
  TLargeSet sizes;
  std::vector<std::vector<TClusterRec>> lines;
};

// Every cluster of a tree matrix but the whole set, single OTUs included. A
// node is split at its largest levels for a dissimilarity tree (type 5), at
// its smallest for a similarity tree (type 6); children meeting at one level
// make one cluster each. Within a size, a cluster comes before the clusters
// inside it. Call SetInitSize(n) first.
TSetStack2 ConsensTreeToSets(const Tree_mx& tree);

// The least number of trees that a cluster must be in to enter the
// majority-rule consensus of count trees at proportion s: trunc(count * s)
// + 1, at most count, with the product in long double.
std::int32_t ConsensThreshold(std::int32_t count, double s);

// The majority-rule consensus (strict with s = 1): the clusters of 2 .. n - 1
// OTUs found in at least ConsensThreshold trees, with their counts. With
// showSets, lists every cluster found with its count and frequency.
TSetStack2 ConsensCountSets(const std::vector<TSetStack2>& trees, bool showSets, double s);

// The s-consensus: for every size m present and every OTU k, the clusters of
// at most m OTUs that hold k (the largest of each tree) give their
// intersection X and union Y; X enters when |X| / |Y| is at least s. ciS is
// the sum of the s-values of the clusters that entered, divided by n - 2.
TSetStack2 ConsensStinebrickner(const std::vector<TSetStack2>& trees, bool showSets, double s, double& ciS);

// The order of the OTUs and the levels of the gaps of a consensus's tree,
// 1 - (depth + 1) / (deepest + 2). Raises E_Morvapc_Internal when the
// clusters are neither nested nor disjoint.
TDendrogram ConsensSetsToTree(const TSetStack2& consensus);

struct TConsensIndices {
  double ciC = 0;
  double ciM = 0;
  std::int32_t nSets = 0;
  std::int64_t ciSf = 0;
};
TConsensIndices ConsensIndices(const TSetStack2& consensus);
