#pragma once
// Module 13, SVD: singular value decomposition of a rectangular data matrix.
// Writes the vectors of the data's rows (left) and of its columns (right),
// each set scaled as the user asks, and the singular values; lists their
// table; keeps both vector sets of its last run for its four plot buttons.

#include <memory>
#include <span>

#include "matrix/Matrixob.h"
#include "shell/Modules.h"

void SvdDescribe(TModuleRec& module);
void SvdRun(std::span<const TParamRec> params);
// Closes the four plots and lets go of the kept vectors.
void SvdRelease();

// The plot buttons (2-D left, 2-D right, 3-D left, 3-D right) and their close
// routines.
void SvdPlot2DLeft();
void SvdPlot2DRight();
void SvdPlot3DLeft();
void SvdPlot3DRight();
void SvdClose2DLeft();
void SvdClose2DRight();
void SvdClose3DLeft();
void SvdClose3DRight();

// The vectors of the data's rows and of its columns, one matrix a data set;
// null before the first run and after SvdRelease.
std::shared_ptr<const TRectMxList> SvdLeftResults();
std::shared_ptr<const TRectMxList> SvdRightResults();
