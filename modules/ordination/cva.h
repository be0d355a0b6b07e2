#pragma once
// Module 9, CVA: canonical variates analysis from group means, group sizes
// and the pooled within-groups matrix (or, without that matrix, from
// canonical vectors computed earlier). Lists both eigen-analyses, the roots'
// tests and the assignment of test specimens to the nearest group; writes the
// canonical vectors, the regressions of the variables on the canonical
// variates, the scores of the group means and the generalized distances; keeps
// the scores and the regressions of its last run for its four plot buttons.
// Reads all its input at once.

#include <memory>
#include <span>

#include "matrix/Matrixob.h"
#include "shell/Modules.h"

void CvaDescribe(TModuleRec& module);
void CvaRun(std::span<const TParamRec> params);
// Closes the four plots and lets go of the kept results.
void CvaRelease();

// The plot buttons (2-D scores, 2-D regressions, 3-D scores, 3-D
// regressions) and their close routines.
void CvaPlotScores2D();
void CvaPlotCovVectors2D();
void CvaPlotScores3D();
void CvaPlotCovVectors3D();
void CvaCloseScores2D();
void CvaCloseCovVectors2D();
void CvaCloseScores3D();
void CvaCloseCovVectors3D();

// The scores of the group means (groups x dimensions) and the regressions
// (dimensions x variables) of the last run; null before the first run and
// after CvaRelease.
std::shared_ptr<const TRectMxList> CvaScoreResults();
std::shared_ptr<const TRectMxList> CvaRegressionResults();
