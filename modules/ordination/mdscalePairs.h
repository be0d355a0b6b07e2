#pragma once
// The pairs of points that multidimensional scaling fits: read from the lower
// triangle of a dissimilarity or similarity matrix, put in the order of their
// dissimilarities for a monotone fit, and spread back into a symmetric matrix
// for the output files.

#include <cstdint>
#include <vector>

#include "matrix/MatrixFiles.h"
#include "matrix/Matrixob.h"
#include "modules/ordination/mdscaleIterate.h"
#include "rtl/TextFile.h"

// The pairs whose value is present and their dissimilarities, in the order of
// the lower triangle, row by row.
struct TMdscalePairList {
  std::vector<TMdscalePair> pairs;
  std::vector<double> delta;  // the value, negated for a similarity matrix
};

// The most pairs the sort of the pairs by dissimilarity numbers.
inline constexpr std::int64_t kMaxPairNumber = 65535;

// Reads the body of the symmetric matrix the header announces (its labels
// already read): the values of the lower triangle with the diagonal, one
// after another across lines; the diagonal, and values equal to the missing
// value when the header declares one, are dropped. The rest of the last line
// is skipped. Raises E_Morvapc with the body reader's texts.
TMdscalePairList ReadPairList(rtl::TextReader& f, const TMatrixHeader& header);

// Puts the pairs in the order of increasing dissimilarity, as the record
// sorter returns their numbers: pairs of equal dissimilarity come back in the
// sorter's order, which decides the monotone fit on ties. The
// dissimilarities follow their pairs.
void SortPairsByDissimilarity(TMdscalePairList& list, std::int32_t n);

// The symmetric n × n matrix with each pair's value at (i, j), 0 on the
// diagonal and missValue in the cells of pairs that are not in the list.
void PairsToSymmetric(Sym_mx& matrix, const std::vector<TMdscalePair>& pairs, const std::vector<double>& values);
