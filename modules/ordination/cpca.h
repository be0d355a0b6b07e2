#pragma once
// Module 7, CPCA: common principal components of the covariance matrices of
// several groups, given as raw data (one data matrix a group) or as
// covariance matrices with a list of sample sizes. Lists the fit and its two
// chi-square tests, writes the common components, the covariance matrices of
// the components within each group and their eigenvalues, and keeps the first
// components of its last run for its 2-D and 3-D plot buttons. Reads all its
// input at once.

#include <memory>
#include <span>

#include "matrix/Matrixob.h"
#include "shell/Modules.h"

void CpcaDescribe(TModuleRec& module);
void CpcaRun(std::span<const TParamRec> params);
// Closes both plots and lets go of the kept components.
void CpcaRelease();

// The plot buttons and their close routines.
void CpcaPlot2D();
void CpcaClose2D();
void CpcaPlot3D();
void CpcaClose3D();

// The first N common components of the last run (variables x dimensions,
// labelled); null before the first run and after CpcaRelease.
std::shared_ptr<const TRectMxList> CpcaResults();
