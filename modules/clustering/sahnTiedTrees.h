#pragma once
// The search for every tied tree of a SAHN clustering, and what makes its
// trees comparable: the numbering of the pairs and the order of the children
// of each node.

#include <cstdint>
#include <functional>

#include "modules/clustering/sahnClustering.h"

// The tied-tree search: at every join every pair within options.tol of the
// smallest value is a candidate, and each choice that can give another tree is
// followed as a branch of its own. Each finished tree goes to onTree with its
// number (from 1), in dendrogram order (its node children not yet sorted). At
// most maxTrees trees are made; the result is true when the search was cut
// short at that number. d is read, not changed.
bool SahnFindTiedTrees(const Sym_mx& d, const TSahnOptions& options, std::int32_t maxTrees,
                       const std::function<void(std::int32_t number, const TSahnDendrogram& tree)>& onTree);

// (h - 1)(h - 2) div 2 + l, h the larger and l the smaller of a and b.
std::int64_t SahnPairKey(std::int32_t a, std::int32_t b);

// Puts the children of every node of a finished tree in ascending order of
// their first OTU, so that trees that differ only in that order come out
// alike; lists "Sorting tree nodes ..." and " done." or " none needed.".
// Raises E_Morvapc for a node of more than 25 children.
void SahnSortTreeNodes(TSahnDendrogram& tree);
