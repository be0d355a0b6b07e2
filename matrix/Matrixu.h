#pragma once
// Dense linear algebra shared by the analysis modules: products and sums of
// rectangular and symmetric matrices, the inverse and determinant of a
// symmetric positive definite matrix, a general inverse, the symmetric
// eigen-analysis and the singular value decomposition.
//
// Every routine works on the 1-based matrix types. The caller creates and
// sizes each result; a result that is too small raises E_Morvapc_Internal from
// its accessor. A result may not be one of the operands (MatAdd excepted, which
// works element by element). Eigen-analysis and SVD evaluate in extended
// precision (long double) and store doubles.
//
// Failures of the algebra itself (an undefined product, a singular matrix, no
// convergence) raise E_Morvapc_Algebra, which is deliberately not an
// E_Morvapc: the per-run handlers do not catch it, so it reaches the default
// error box.

#include <cstdint>
#include <functional>

#include "matrix/Matrixob.h"
#include "rtl/Exception.h"

class E_Morvapc_Algebra : public rtl::Exception {
 public:
  using rtl::Exception::Exception;
};

// The cancellation point of long computations (the shell's progress call with
// -2): it processes pending messages and raises E_Morvapc_UserAbort once the
// user pressed Cancel. The shell installs it; until then nothing is checked.
// Returns the previous check.
std::function<void()> InstallAbortCheck(std::function<void()> check);
void AbortCheck();

// How far a long decomposition (the eigen-analysis, the SVD) has come, in
// percent of it, reported at most once per percent while it works. A module
// installs a report that moves its gauge and, like the abort check, raises
// E_Morvapc_UserAbort once the user cancelled. Returns the previous report.
std::function<void(std::int32_t)> InstallDecompositionProgress(std::function<void(std::int32_t percent)> report);

// ---- Products and sums (rows and cols are current sizes) ----

// C := A·B; A.cols must equal B.rows.
void MatMul(const Rect_mx& A, const Rect_mx& B, Rect_mx& C);
// C := Aᵀ·B·A (B square of order A.rows), from the lower triangle mirrored.
void MatAtBA(const Rect_mx& A, const Rect_mx& B, Rect_mx& C);
void MatAtBASym(const Rect_mx& A, const Sym_mx& B, Sym_mx& C);
// C := A·B·Aᵀ (B square of order A.cols), from the lower triangle mirrored.
void MatABAt(const Rect_mx& A, const Rect_mx& B, Rect_mx& C);
void MatABAtSym(const Rect_mx& A, const Sym_mx& B, Rect_mx& C);
// C := Aᵀ·A, both triangles.
void MatAtA(const Rect_mx& A, Rect_mx& C);
// C := A·Aᵀ, of order A.rows.
void MatAAtSym(const Rect_mx& A, Sym_mx& C);
// C := A + B, all of one order; C may be A or B.
bool MatAdd(const Sym_mx& A, const Sym_mx& B, Sym_mx& C);

// ---- Inverses ----

// Inverts in place the symmetric positive definite matrix A (order A.rows,
// both triangles filled) by Cholesky factorisation with diagonal pivoting and
// sets det to its determinant. A pivot below tol, or not above 0, fails: det
// becomes 0 and the call raises "Determinate is too small", or with detOnly
// returns false. With detOnly the call stops after the determinant and leaves
// the factor in A. A NaN entry is refused.
bool MatInverse(Rect_mx& A, double& det, bool detOnly, double tol);

// Replaces the leading n×n block of A by its inverse (Gauss-Jordan elimination
// with full pivoting); raises "Singular matrix" when there is none.
bool GaussJordanInverse(Rect_mx& A, std::int32_t n);

// ---- Symmetric eigen-analysis ----
//
// a holds a symmetric matrix of order n (only its lower triangle is read); on
// return its columns are the eigenvectors, d[1..n] the eigenvalues in
// decreasing order. The vectors are scaled by option (for eigenvalue λ above
// tol: 1 λ, 2 unscaled, 3 √λ, 4 1/√λ, 5 1/λ; at or below tol zeroed, except
// under option 2, where they are left as they are) and turned so that their
// first component is not negative. count is the number of eigenvalues above
// tol. EigenSym also lists the eigenvalues with their share of the trace.
//
// vectors (0..n, all when negative) says how many of the leading
// eigenvectors the caller uses: only those are formed, the other columns of a
// come back zero. Forming few vectors costs a fraction of forming them all.
// An order below 1 is refused (this unit's exception) before a is touched.

bool EigenSym(std::int32_t n, Rect_mx& a, vect_mx& d, std::int32_t option, double tol, std::int32_t& count,
              std::int32_t vectors = -1);
bool EigenSymNoListing(std::int32_t n, Rect_mx& a, vect_mx& d, std::int32_t option, double tol, std::int32_t& count,
                       std::int32_t vectors = -1);

// The steps of the eigen-analysis, each usable alone.
// Householder reduction: a becomes the orthogonal transformation, d the
// diagonal and e[2..n] the sub-diagonal of the tridiagonal form.
void Tred2(Rect_mx& a, std::int32_t n, vect_mx& d, vect_mx& e);
// QL with implicit shifts on the tridiagonal (d, e), accumulating into z;
// raises "Problem with convergence in TQLI" after 30 iterations on one value.
void Tqli(vect_mx& d, vect_mx& e, std::int32_t n, Rect_mx& z);
// Decreasing order, the columns of z carried along; among equal values the
// one with the higher index comes first.
void SortEigen(vect_mx& d, Rect_mx& z, std::int32_t n);
void ScaleEigenvectors(std::int32_t n, Rect_mx& z, vect_mx& d, std::int32_t option, double tol, std::int32_t& count);
// The eigenvalue table, with percentages of sum (the trace).
void ListEigenvalues(std::int32_t n, const vect_mx& d, double sum);

// ---- Singular value decomposition ----

// a (m×n) = U·diag(w)·Vᵀ: a becomes U, w[1..n] the singular values (not
// negative, unordered) and v (n×n) V. Each singular value may take up to
// maxIterations QR sweeps (at least 1); then the call raises "no convergence
// in <maxIterations> SVDCMP iterations".
void Svdcmp(Rect_mx& a, std::int32_t m, std::int32_t n, vect_mx& w, Rect_mx& v, std::int32_t maxIterations = 30);

// After Svdcmp: sorts w[1..n] decreasingly, places the first k columns of u
// (m rows) and v (n rows) to match, and scales those k pairs (for singular
// value w above 1e-30: 1 w, 2 unscaled, 3 √w, 4 1/w, 5 1/√w; otherwise zeroed,
// except an unscaled vector whose pair needs no turning). Both vectors of a
// pair are turned when the first component of the left one is negative.
bool SvdSorted(std::int32_t m, std::int32_t n, std::int32_t k, std::int32_t leftOption, std::int32_t rightOption,
               Rect_mx& u, Rect_mx& v, vect_mx& w);

// Svdcmp then SvdSorted for the k leading pairs (m >= n), forming only the
// vectors of those pairs: u and v receive them in columns 1..k, scaled, the
// other columns zero; w all the singular values, decreasing. Forming few
// vectors costs a fraction of forming them all.
bool SvdLeading(std::int32_t m, std::int32_t n, std::int32_t k, std::int32_t leftOption, std::int32_t rightOption,
                Rect_mx& u, Rect_mx& v, vect_mx& w, std::int32_t maxIterations = 30);

// |a| with the sign of b (b = 0 counts as positive).
double SignTransfer(double a, double b);
double RealMax(double a, double b);
// √(a² + b²) without overflow or underflow on the way.
double Pythag(double a, double b);
// Sorts w[1..n] decreasingly (a comb pass then a bubble pass; only strictly
// greater values move) and applies the same exchanges to idx.
void SortDescendingWithIndex(std::int32_t n, vect_mx& w, ivect_mx& idx);
