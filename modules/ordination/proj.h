#pragma once
// Module 12, PROJ: projects the OTUs of a data matrix onto the factors of a
// factor matrix (MULT, PROJ) with a test for outliers, or computes their
// residuals orthogonal to the factors (ORTH) with a test of the residuals;
// writes the result and keeps it (OTUs as rows) for its 2-D and 3-D plots.

#include <memory>
#include <span>

#include "matrix/Matrixob.h"
#include "shell/Modules.h"

void ProjDescribe(TModuleRec& module);
void ProjRun(std::span<const TParamRec> params);
// Closes both plots and lets go of the kept results.
void ProjRelease();

// The plot buttons and their close routines.
void ProjPlot2D();
void ProjClose2D();
void ProjPlot3D();
void ProjClose3D();

// The result of each data set of the last run (OTUs × factors, or OTUs ×
// variables for ORTH, labelled); null before the first run and after
// ProjRelease.
std::shared_ptr<const TRectMxList> ProjResults();
