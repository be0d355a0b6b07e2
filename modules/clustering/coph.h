#pragma once
// Module 15, COPH: turns a tree matrix (type 5 or 6, pointer/level form) into
// the symmetric matrix of its cophenetic values, the level at which two OTUs
// first belong to one cluster: a dissimilarity matrix from a type-5 tree, a
// similarity matrix from a type-6 tree. It keeps no results.

#include <span>
#include <string_view>

#include "matrix/Matrixob.h"
#include "rtl/TextFile.h"
#include "shell/Modules.h"

void CophDescribe(TModuleRec& module);
void CophRun(std::span<const TParamRec> params);
void CophRelease();

// Writes the lower triangle with diagonal of the tree's cophenetic values to
// f, each value with the pattern "%" + format + " " (format: the file number
// format), ten values a line and the diagonal value after each row's last.
// The tree's pointers must be the OTUs 1 .. n each once; otherwise E_Morvapc
// and nothing is written.
bool CophCompute(const Tree_mx& tree, rtl::TextWriter& f, std::string_view format);
