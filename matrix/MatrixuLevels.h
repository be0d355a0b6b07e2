#pragma once
// The level listing of a tree: a text dendrogram in the listing, with a
// numeric scale, a tick ruler and one line per object whose stroke ends at the
// object's level.

#include <cstdint>

#include "matrix/Matrixob.h"

// Round limits and a round step for count scale values (count - 1 intervals)
// that cover xmin .. xmax. failed is set, and nothing else, when xmax < xmin,
// count < 2 or a limit is not a finite number.
void NiceScale(std::int32_t count, double xmin, double xmax, double& low, double& high, double& step, bool& failed);

// Writes the dendrogram of the tree's n nodes to the listing: each object's
// line carries its label (cut or padded to the widest label) and its level.
// Raises E_Morvapc when a level is not a finite number.
void ListLevels(std::int32_t n, const Tree_mx& tree, const Label_mx& labels);
