#pragma once
// The dendrogram order and nesting levels of a family of clusters of OTUs
// 1 .. n, each pair of which is nested or disjoint: the trees that consensus
// and neighbour joining build from their sets.

#include <cstdint>
#include <string_view>
#include <vector>

#include "modules/clustering/largeSet.h"
#include "modules/clustering/treeNodes.h"

// Messages of the internal errors: no OTU of a cluster in the order, and a
// cluster that does not end up on consecutive positions (it overlaps another
// without either holding the other).
struct TClusterOrderErrors {
  std::string_view notFound;
  std::string_view notConsecutive;
};

// Starting from the order 1 .. n, each cluster in turn, in the order given,
// moves its OTUs to the first position that holds one of them, the other
// OTUs from there on following in their order. The level of the gap between
// positions k and k + 1 is 1 - (c + 1) / (D + 2), c the number of clusters
// that hold both neighbours and D the largest c. Raises E_Morvapc_Internal.
TDendrogram OrderByClusters(std::int32_t n, const std::vector<TLargeSet>& clusters, const TClusterOrderErrors& errors);
