#pragma once
// Principal components of a correlation or variance-covariance matrix: the
// eigen-analysis of the square matrix with the user's vector scaling, and the
// descriptive statistics and tests on its eigenvalues that the listing shows.
//
// The matrix is a square Rect_mx with both triangles filled; it must hold no
// missing values (the caller refuses a file that declares them). Eigenvalues
// come in decreasing order. Tests give their upper-tail probabilities by
// ChiSqProb, which returns 0 for 0 degrees of freedom.

#include <cstdint>
#include <optional>
#include <vector>

#include "matrix/Matrixob.h"
#include "modules/ordination/vectorScaling.h"

// What the diagonal says of a similarity matrix.
struct TSimilarityKind {
  double trace = 0;
  // Every diagonal element lies within 1e-5 of 1.
  bool correlation = false;
};

// The trace and kind of the leading n×n block of a. A trace of 0 or less
// raises E_Morvapc "The sum of the diagonal elements is less than or equal to
// zero".
TSimilarityKind CheckSimilarity(const Rect_mx& a, std::int32_t n);

// Replaces a (order n) by its leading eigenvectors (`vectors` of them, all
// when negative; the other columns 0), scaled as the item says, and fills
// d[1..n] with the eigenvalues (EigenSym with tolerance 1e-8: vectors of
// eigenvalues at or below it become 0, except unscaled ones). Lists the
// eigenvalue table.
void ScaledEigenvectors(Rect_mx& a, std::int32_t n, vect_mx& d, TScalingItem item, std::int32_t vectors = -1);

// Percent of the variance that the broken-stick model expects for each of n
// components: 100·(1/k + ... + 1/n)/n for k = 1..n.
std::vector<double> BrokenStick(std::int32_t n);

// An unbiased estimate of an eigenvalue of a covariance matrix and its
// standard error, from a sample of size ns.
struct TRootEstimate {
  double estimate = 0;
  double se = 0;
};
std::vector<TRootEstimate> UnbiasedRoots(const std::vector<double>& roots, std::int32_t ns);

struct TChiSquareTest {
  double x2 = 0;
  double df = 0;
  double p = 0;
};

// For k = 1..n-1, the test that the roots k..n are equal, from a covariance
// matrix with df degrees of freedom (only roots above 0 count).
std::vector<TChiSquareTest> RootEqualityTests(const std::vector<double>& roots, std::int32_t df);

// The tests of a correlation matrix from a sample of size ns.
struct TCorrelationTests {
  // The positions j >= 2 of roots at or below 0: when there are any, no test
  // can be made and the fields below are not set.
  std::vector<std::int32_t> nonPositive;
  TChiSquareTest allEqual;  // every root equal: every correlation is 0
  double lnDeterminant = 0;
  // Only the first root differs: every correlation is equal. Not made for a
  // matrix of order 1, which has no second root.
  std::optional<TChiSquareTest> firstDiffers;
  double averageCorrelation = 0;
};
TCorrelationTests CorrelationTests(const std::vector<double>& roots, std::int32_t ns);

// The listing after the eigenvalue table: the average root, the broken-stick
// table, and the tests that the kind of matrix and the given sample size (ns)
// and degrees of freedom (df) allow; 0 means not given. Checks for a
// requested cancel before each test.
void ListEigenStatistics(const std::vector<double>& roots, const TSimilarityKind& kind, std::int32_t ns,
                         std::int32_t df);
