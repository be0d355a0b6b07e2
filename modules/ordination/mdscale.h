#pragma once
// Module 11, MDSCALE: non-metric (MONO) or linear (LINEAR) multidimensional
// scaling of each dissimilarity or similarity matrix of the input into k
// dimensions, from a configuration read from a file or made at random. Writes
// the final configuration, the fitted distances and the configuration's
// distances, and keeps the configuration (points as rows) for its 2-D and 3-D
// plots.

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "matrix/Matrixob.h"
#include "shell/Modules.h"

void MdscaleDescribe(TModuleRec& module);
void MdscaleRun(std::span<const TParamRec> params);
// Closes both plots and lets go of the kept results.
void MdscaleRelease();

// The plot buttons and their close routines.
void MdscalePlot2D();
void MdscaleClose2D();
void MdscalePlot3D();
void MdscaleClose3D();

// The final configuration of each data set of the last run (points ×
// dimensions, labelled); null before the first run and after MdscaleRelease.
std::shared_ptr<const TRectMxList> MdscaleResults();

// The random starting configuration of n points in k dimensions: point i
// starts at 1 + (i - 1) k on dimension ((i - 1) mod k) + 1 and 0 on the
// others, and each coordinate gets a logistic deviate ln(U / (1 - U)), U drawn
// from the platform's generator point by point (a draw of 0 is drawn again).
std::unique_ptr<Rect_mx> RandomConfiguration(std::int32_t n, std::int32_t k);

// The label of dimension a (1 to 99): its Roman numeral.
std::string DimensionLabel(std::int32_t a);
