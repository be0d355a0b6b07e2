#pragma once
// The common principal components model: one orthogonal matrix B whose
// columns diagonalise the covariance matrices S_1 .. S_g of g groups as nearly
// as possible, with eigenvalues of each group's own (the FG algorithm of
// Flury and Gautschi: sweeps of plane rotations over pairs of columns, each
// rotation found by the G step's weighted 2 x 2 eigenproblem), and the two
// chi-square tests of the listing.
//
// Each S_i is a p x p Rect_mx with both triangles filled, from a sample of
// n_i > p objects, positive definite; the G step refuses a group whose
// rotated pair has a diagonal element that is not positive. The G step and the
// tests weight group i by n_i, the pooled matrix by n_i - 1.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "matrix/Matrixob.h"

// The sweeps stop when no element of B moves by this much (or after 15).
inline constexpr double kCpcaConvergence = 0.0001;

// The groups of a fit: one covariance matrix and one sample size each.
struct TCpcaGroups {
  TRectMxList covariances;
  std::vector<double> sizes;

  std::int32_t g() const { return covariances.Count(); }
  std::int32_t p() const { return covariances.Empty() ? 0 : covariances[0].rows(); }
};

// The part of one group's matrix in the two columns being rotated.
struct Tarrayi {
  double a11 = 0, a12 = 0, a21 = 0, a22 = 0;
};
using Tarray = std::vector<Tarrayi>;

// A plane rotation [[c, -s], [s, c]].
struct TCpcaRotation {
  double c = 1;
  double s = 0;
};

// How a sweep scheme ended: the largest change of an element of B in the last
// sweep, and the number of sweeps.
struct TCpcaConvergence {
  double criterion = 0;
  std::int32_t iterations = 0;
};

// The sample covariance matrix (divisor n - 1) of the n x p data x into s
// (p x p). Checks for a requested cancel before each row of s.
void CpcaCovariance(const Rect_mx& x, Rect_mx& s);

// W := sum (n_i - 1) S_i / sum (n_i - 1), and its determinant (0 when a pivot
// falls below 1e-200).
std::unique_ptr<Rect_mx> CpcaPooled(const TCpcaGroups& groups, double& det);

// The unit eigenvector of the larger eigenvalue of the symmetric 2 x 2 t.
std::array<double, 2> CpcaEigen2x2(const Tarrayi& t);

// The rotation of one pair of columns from the pair's 2 x 2 parts of every
// group, weighted by the sizes. Raises E_Morvapc "Problem in convergence in
// GALG for group %d" when a rotated diagonal element is not positive.
TCpcaRotation CpcaGAlgorithm(const Tarray& t, const std::vector<double>& sizes);

// FG sweeps from B = I, rotating the covariance matrices along, until no
// element of B changes by the convergence value or more, or 15 sweeps. The
// covariances then hold F_i = B^T S_i B. Lists the convergence line.
TCpcaConvergence CpcaFGIterate(TCpcaGroups& groups, Rect_mx& b, double convergence = kCpcaConvergence);

// The same sweeps from the given B over the unrotated matrices, rotating
// only B; then replaces each covariance matrix by B^T S_i B.
TCpcaConvergence CpcaSlowAlgorithm(TCpcaGroups& groups, Rect_mx& b, double convergence = kCpcaConvergence);

// Orders the components by decreasing sum over the groups of F_i(j, j) (the
// later of equal sums first), carrying the columns of B and the rows and
// columns of every F_i along.
void CpcaSortComponents(TCpcaGroups& groups, Rect_mx& b);

// The fit: the FG sweeps, and after fewer than 2 of them the slower scheme
// from a perturbed B; then the sorted components. B (p x p) receives the
// common components, the covariances the F_i and lam (g x p) their diagonals.
// The module runs it with kCpcaConvergence; a smaller value shows how
// closely the fit can meet the model's equations.
void CpcaFastAlgorithm(TCpcaGroups& groups, Rect_mx& b, Rect_mx& lam, double convergence = kCpcaConvergence);

// The two statistics of the listing: X2 of the model itself, and Y of the
// equality of the covariance matrices against the model.
struct TCpcaStatistics {
  double modelX2 = 0;
  double modelDf = 0;
  std::vector<double> componentDeterminants;  // det B diag(F_i) B^T per group
  double equalityY = 0;
  double equalityDf = 0;
};

// Raises E_Morvapc "Determinate of covariances among CPC is 0 for group <i>"
// for an F_i that is not positive definite.
TCpcaStatistics CpcaStatistics(const TCpcaGroups& fitted, std::int32_t totalSize, double pooledDet, const Rect_mx& b);

// The listing of both tests.
void CpcaTests(const TCpcaGroups& fitted, std::int32_t totalSize, double pooledDet, const Rect_mx& b);
