#pragma once
// Module 8, CORRESP: correspondence analysis of a two-way table of
// frequencies. Lists the total inertia, the chi-square test of independence,
// the principal inertias and every row's and column's mass and squared
// distance; writes the row and column principal coordinates, the
// eigenvalues, the absolute contributions and the squared correlations; keeps
// the row and column coordinates of its last run for its four plot buttons.

#include <memory>
#include <span>

#include "matrix/Matrixob.h"
#include "shell/Modules.h"

void CorrespDescribe(TModuleRec& module);
void CorrespRun(std::span<const TParamRec> params);
// Closes the four plots and lets go of the kept coordinates.
void CorrespRelease();

// The plot buttons (2-D rows, 2-D columns, 3-D rows, 3-D columns) and their
// close routines.
void CorrespPlot2DRows();
void CorrespPlot2DColumns();
void CorrespPlot3DRows();
void CorrespPlot3DColumns();
void CorrespClose2DRows();
void CorrespClose2DColumns();
void CorrespClose3DRows();
void CorrespClose3DColumns();

// The principal coordinates of the table's rows (rows × k) and of its columns
// (columns × k), one matrix a data set; null before the first run and after
// CorrespRelease.
std::shared_ptr<const TRectMxList> CorrespRowResults();
std::shared_ptr<const TRectMxList> CorrespColumnResults();
