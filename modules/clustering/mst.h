#pragma once
// Module 16, MST: the minimum-length spanning tree of the OTUs of a
// dissimilarity matrix, or the tree of largest links of a similarity matrix,
// by Prim's method; lists its n - 1 links and writes them as a graph matrix
// (type 7 for dissimilarities, 8 for similarities). It keeps no results.

#include <span>

#include "matrix/Matrixob.h"
#include "shell/Modules.h"

void MstDescribe(TModuleRec& module);
void MstRun(std::span<const TParamRec> params);
void MstRelease();

// Fills the n - 1 edges of graph with the spanning tree of d: largest links
// for a similarity matrix, smallest otherwise. Edge k joins an OTU already in
// the tree to the one added at step k + 1. Of equal candidate links the one
// met first in the current order of the working permutation wins, so ties are
// broken by that order, not by OTU number.
bool MstPrim(const Sym_mx& d, bool similarity, Graph_mx& graph);
