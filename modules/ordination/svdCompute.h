#pragma once
// The singular value decomposition of a rectangular data matrix for the SVD
// module: X = U·diag(w)·Vᵀ, decomposed with at least as many rows as columns
// (the data transposed when it has fewer rows), the first k vector pairs
// scaled, the vectors of the data's rows scaled by one item and those of its
// columns by another, and the table of singular values for the listing.
//
// The matrix must hold no missing values (the caller refuses a file that
// declares them).

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "matrix/Matrixob.h"
#include "modules/ordination/vectorScaling.h"

// True when a data matrix of rows × cols is decomposed transposed.
inline bool SvdTransposes(std::int32_t rows, std::int32_t cols) { return rows < cols; }

struct TSvdOptions {
  std::int32_t k = 0;  // vector pairs kept, at most the computation's columns
  TScalingItem rowScaling = TScalingItem::SqrtLambda;
  TScalingItem columnScaling = TScalingItem::SqrtLambda;
  std::int32_t maxIterations = 30;
};

// The vectors are the decomposition's matrices cut to k columns (their
// current size).
struct TSvdResult {
  std::unique_ptr<Rect_mx> rowVectors;     // data rows × k
  std::unique_ptr<Rect_mx> columnVectors;  // data columns × k
  std::vector<double> values;              // all singular values, decreasing
};

// Decomposes a, the data arranged for the computation (m × n with m >= n:
// the data itself, or its transpose when transposed is set).
// The sign of each pair follows the first element of the computation's left
// vector. Raises the algebra's error when the decomposition does not converge
// within the iteration limit.
TSvdResult DecomposeData(std::unique_ptr<Rect_mx> a, bool transposed, const TSvdOptions& options);

// The listing table of the first k singular values with their percent of the
// sum of all values and the cumulative percent, then the sum. valueFormat is
// the listing number format ("8.4f"). The percentages of an all-zero matrix
// are 0.
void ListSingularValues(const std::vector<double>& values, std::int32_t k, std::string_view valueFormat);
