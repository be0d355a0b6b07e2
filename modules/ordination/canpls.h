#pragma once
// Module 6, CANPLS: relates two sets of variables of one correlation or
// covariance matrix, set 1 named by the user and set 2 the rest, by a
// two-block partial least squares analysis of their cross block (PLS) or a
// canonical correlation analysis (CanCor). Writes the left and right vectors,
// their singular values or squared canonical correlations, the correlations
// of every variable with them, the matrix W and a residual matrix; keeps the
// left and right vectors of its last run for its four plot buttons.

#include <memory>
#include <span>

#include "matrix/Matrixob.h"
#include "shell/Modules.h"

void CanPlsDescribe(TModuleRec& module);
void CanPlsRun(std::span<const TParamRec> params);
// Closes the four plots and lets go of the kept vectors.
void CanPlsRelease();

// The plot buttons (2-D left, 2-D right, 3-D left, 3-D right) and their close
// routines.
void CanPlsPlot2DLeft();
void CanPlsPlot2DRight();
void CanPlsPlot3DLeft();
void CanPlsPlot3DRight();
void CanPlsClose2DLeft();
void CanPlsClose2DRight();
void CanPlsClose3DLeft();
void CanPlsClose3DRight();

// The left vectors (set 1 × k) and the right vectors (set 2 × k), one matrix
// a data set; null before the first run and after CanPlsRelease.
std::shared_ptr<const TRectMxList> CanPlsLeftResults();
std::shared_ptr<const TRectMxList> CanPlsRightResults();
