#pragma once
// Module 18, SAHN: clusters the OTUs of a dissimilarity or similarity matrix
// into a tree by one of eight methods, writes the tree matrix, lists the run,
// and warns about ties or searches for every tied tree. It keeps the trees of
// its last run for its "Plot tree" button.

#include <memory>
#include <span>

#include "matrix/Matrixob.h"
#include "shell/Modules.h"

void SahnDescribe(TModuleRec& module);
void SahnRun(std::span<const TParamRec> params);
// Closes the tree plot and lets go of the kept trees.
void SahnRelease();

// The plot button and its close routine.
void SahnPlotTree();
void SahnCloseTree();

// The trees of the last run, one per tree made, each with its labels; null
// before the first tree and after SahnRelease. A plot that shows them shares
// them, so they stay valid while it is open.
std::shared_ptr<const TTreeMxList> SahnResults();
