#pragma once
// DCENTER (module 3): double-centres a symmetric matrix, dissimilarities first
// turned into -0.5 d² (or -0.5 d), and writes it as a similarity matrix.

#include <span>

#include "matrix/Matrixob.h"
#include "shell/Modules.h"

void DcenterDescribe(TModuleRec& module);
void DcenterRun(std::span<const TParamRec> params);
void DcenterRelease();

// Turns x in place into its double-centred form: the off-diagonal values of a
// dissimilarity matrix to -0.5 x² (square set) or -0.5 x, the diagonal kept,
// then each value less its row and column means plus the grand mean.
void DcenterCompute(Sym_mx& x, bool square);
