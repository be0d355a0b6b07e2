#pragma once
// Module 17, NJOIN: builds the additive tree of the OTUs of a dissimilarity
// or similarity matrix by neighbour joining, roots it at its midpoint or on an
// outgroup, writes it as a tree matrix and as the graph of its branches, and
// warns about ties or searches for tied trees. It keeps the trees of its last
// run for its "Plot tree" button.

#include <memory>
#include <span>

#include "matrix/Matrixob.h"
#include "shell/Modules.h"

void NjoinDescribe(TModuleRec& module);
void NjoinRun(std::span<const TParamRec> params);
// Closes the tree plot and lets go of the kept trees.
void NjoinRelease();

// The plot button and its close routine.
void NjoinPlotTree();
void NjoinCloseTree();

// The trees of the last run, each with its labels; null before the first
// tree and after NjoinRelease.
std::shared_ptr<const TTreeMxList> NjoinResults();
