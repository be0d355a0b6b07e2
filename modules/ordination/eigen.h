#pragma once
// Module 10, EIGEN: principal components of a correlation or
// variance-covariance matrix. Writes the first N scaled eigenvectors and all
// eigenvalues, lists the eigenvalue table, the broken-stick model and the
// tests the sample size or degrees of freedom allow, and keeps the vectors of
// its last run for its 2-D and 3-D plot buttons.

#include <memory>
#include <span>

#include "matrix/Matrixob.h"
#include "shell/Modules.h"

void EigenDescribe(TModuleRec& module);
void EigenRun(std::span<const TParamRec> params);
// Closes both plots and lets go of the kept vectors.
void EigenRelease();

// The plot buttons and their close routines.
void EigenPlot2D();
void EigenClose2D();
void EigenPlot3D();
void EigenClose3D();

// The first N scaled eigenvectors of each data set of the last run (variables
// × dimensions, labelled); null before the first run and after EigenRelease.
std::shared_ptr<const TRectMxList> EigenResults();
