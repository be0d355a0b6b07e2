#pragma once
// A tree in dendrogram order, and the sorting of the children of its nodes
// that makes tied trees that differ only in that order come out alike.

#include <cstdint>
#include <string_view>
#include <vector>

// order[k] is the OTU at position k + 1 and levels[k] the level of the gap
// after it, at which positions up to k + 1 join those after it (n - 1 gaps).
struct TDendrogram {
  std::vector<std::int32_t> order;
  std::vector<double> levels;
};

// Puts the children of every node in ascending order of their smallest OTU;
// lists "Sorting tree nodes ..." and " done." or noneNeeded. Raises E_Morvapc
// for a node of more than maxChildren children.
void SortTreeNodes(TDendrogram& tree, std::int32_t maxChildren, std::string_view noneNeeded);
