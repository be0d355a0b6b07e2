#pragma once
// The sorting of the children of every node of a finished tree, shared by the
// clusterings whose tied trees should come out alike when they differ only in
// that order.

#include <cstdint>
#include <string_view>
#include <vector>

// A tree in dendrogram order: order[k] the OTU at position k + 1, levels[k]
// the level of the gap after it (n - 1 gaps). Puts the children of every node
// in ascending order of their smallest OTU; lists "Sorting tree nodes ..."
// and " done." or noneNeeded. Raises E_Morvapc for a node of more than
// maxChildren children.
void SortTreeNodes(std::vector<std::int32_t>& order, std::vector<double>& levels, std::int32_t maxChildren,
                   std::string_view noneNeeded);
