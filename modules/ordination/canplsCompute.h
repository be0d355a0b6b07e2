#pragma once
// The two analyses of CANPLS on one correlation or covariance matrix Z of p
// variables split into two sets (canplsSets.h): the blocks R11, R22 and R12
// (rows set 1, columns set 2) of Z with each set's variables in increasing
// number; the two-block partial least squares of R12 (its singular value
// decomposition) and the canonical correlation analysis; for either, the
// matrix W that places the left and right vectors in the rows of their
// variables, the correlations of every variable with the components, and the
// residual matrix of what the first k pairs leave unexplained.
//
// Z must be symmetric and hold no missing values (the module refuses a file
// that declares them). The algebra's failures (a singular block, no
// convergence) raise E_Morvapc_Algebra.

#include <cstdint>
#include <memory>
#include <vector>

#include "matrix/Matrixob.h"
#include "modules/ordination/canplsSets.h"

// Z's block of the rows and columns of the given variables.
std::unique_ptr<Rect_mx> CanPlsBlock(const Sym_mx& z, const std::vector<std::int32_t>& rows,
                                     const std::vector<std::int32_t>& cols);

// Vector pairs of the two sets: left (size1 × n) and right (size2 × n).
struct TCanPlsVectors {
  std::unique_ptr<Rect_mx> left;
  std::unique_ptr<Rect_mx> right;
};

// The singular value decomposition of R12 (of its transpose when set 1 is
// the smaller), at most 30 iterations a value, sorted decreasingly: the
// m = min(size1, size2) singular values and their m vector pairs, each pair
// turned so that the decomposed matrix's left vector starts non-negative.
struct TPlsDecomposition {
  TCanPlsVectors vectors;      // size1 × m and size2 × m
  std::vector<double> values;  // s_1 >= ... >= s_m
};
TPlsDecomposition CanPlsDecompose(const Rect_mx& r12);

// The first k columns of m.
std::unique_ptr<Rect_mx> LeadingColumns(const Rect_mx& m, std::int32_t k);

// W (p × 2k): the row of the i-th variable of set 1 holds row i of left in
// columns 1 .. k, the row of the j-th variable of set 2 row j of right in
// columns k + 1 .. 2k; the rest is 0.
std::unique_ptr<Rect_mx> CanPlsW(std::int32_t p, const TCanPlsSets& sets, const Rect_mx& left, const Rect_mx& right,
                                 std::int32_t k);

// The correlations of each variable with the 2k components of W.
struct TComponentCorrelations {
  std::unique_ptr<Rect_mx> left;   // p × k
  std::unique_ptr<Rect_mx> right;  // p × k
  std::vector<double> pairs;       // of left component a with right component a
};

// PLS: the components' covariances C = WᵀZW scaled to correlations; each
// variable's covariance with a component divided by the component's standard
// deviation. A component of variance 0 correlates 0 with everything.
TComponentCorrelations PlsCorrelations(const Sym_mx& z, const Rect_mx& w, std::int32_t k);

// CanCor: the components have unit variance, so the correlations are ZW.
TComponentCorrelations CanCorCorrelations(const Sym_mx& z, const Rect_mx& w, std::int32_t k);

// The PLS residual E = QZQ with Q the projector onto what the first k pairs
// leave: I − U_k U_kᵀ in set 1's block, I − V_k V_kᵀ in set 2's and, across
// the sets, the sum over c = k + 1 .. m of u_c v_cᵀ. All 0 when k covers both
// sets whole.
std::unique_ptr<Sym_mx> PlsResidual(const Sym_mx& z, const TCanPlsSets& sets, const TPlsDecomposition& svd,
                                    std::int32_t k);

// The inverse of a square block: 1/x for a 1 × 1 block, else by Cholesky
// (MatInverse, tolerance 1e-200: "Determinate is too small").
std::unique_ptr<Rect_mx> CanCorInverse(const Rect_mx& block);

// The canonical vectors of one set: B = Rxx^(-1/2) from Rxx's eigen-analysis
// (vectors divided by the roots of their eigenvalues), the eigen-analysis of
// Bᵀ Rxy Ryy⁻¹ Ryx B (unit vectors, decreasing eigenvalues: the squared
// canonical correlations), A = B E with each column scaled to unit variance
// (aᵀ Rxx a = 1; left as it is when that is 0). Every column of A.
struct TCanonicalVectors {
  std::unique_ptr<Rect_mx> vectors;  // size × size
  std::vector<double> values;        // λ_1 >= ... (size values)
};
TCanonicalVectors CanPlsCanonicalVectors(const Rect_mx& rxx, const Rect_mx& rxy, const Rect_mx& ryyInverse);

// Turns each right vector b_a (a <= k) whose cross product a_aᵀ R12 b_a is
// below 0, so that every pair correlates positively.
void CanCorAlignRight(const Rect_mx& left, const Rect_mx& r12, Rect_mx& right, std::int32_t k);

// The CanCor residual correlations: with L the first k rows of the inverses
// of all left and all right vectors (each set's
// square matrix of them), E_ij = Z_ij − Σ_a L_ai L_aj within a set
// and Z_ij − Σ_a L_ai ρ_a L_aj across the sets (ρ the canonical
// correlations). Raises "Singular matrix" when a vector matrix has no inverse.
std::unique_ptr<Sym_mx> CanCorResidual(const Sym_mx& z, const TCanPlsSets& sets, const Rect_mx& left,
                                       const Rect_mx& right, const std::vector<double>& rho, std::int32_t k);
