#include "matrix/Matrixu.h"

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "matrix/MatrixuWork.h"

namespace {

std::function<void()>& AbortHook() {
  static std::function<void()> hook;
  return hook;
}

[[noreturn]] void NotDefined(const char* operation) {
  throw E_Morvapc_Algebra(std::string("Matrix operation (") + operation + ") not defined");
}

// A result written while it is still being read would corrupt the product.
template <class Result, class... Operands>
void RefuseResultAsOperand(const char* operation, const Result& result, const Operands&... operands) {
  if (((static_cast<const void*>(&result) == static_cast<const void*>(&operands)) || ...))
    throw E_Morvapc_Algebra(std::string("Matrix operation (") + operation +
                            ") not defined: the result is one of the operands");
}

// Stores (i, j), j <= i, of a symmetric result: both triangles of a
// rectangular matrix, the one shared cell of a symmetric one.
void StoreSymmetric(Rect_mx& c, std::int32_t i, std::int32_t j, long double s) {
  c.putxij(i, j, static_cast<double>(s));
  if (j != i) c.putxij(j, i, static_cast<double>(s));
}

void StoreSymmetric(Sym_mx& c, std::int32_t i, std::int32_t j, long double s) {
  c.putxij(i, j, static_cast<double>(s));
}

// A read-only view of a matrix or of its transpose.
struct Factor {
  const Rect_mx& a;
  bool transposed;
  std::int32_t rows() const { return transposed ? a.cols() : a.rows(); }
  std::int32_t cols() const { return transposed ? a.rows() : a.cols(); }
  long double operator()(std::int32_t i, std::int32_t k) const { return transposed ? a.getxij(k, i) : a.getxij(i, k); }
};

// C(i, j) := sum over k, l of X(i, k)·B(k, l)·X(j, l) for j <= i, mirrored:
// Aᵀ·B·A with X = Aᵀ, A·B·Aᵀ with X = A. The partial product of the first two
// factors is formed first, one row of X·B at a time, then multiplied by the
// third; the abort check runs before the loops and at every result row.
template <class MatB, class MatC>
void TripleProduct(const Factor& x, const MatB& b, MatC& c) {
  const std::int32_t inner = x.cols();
  AbortCheck();
  std::vector<long double> xb(static_cast<std::size_t>(inner) + 1);
  for (std::int32_t i = 1; i <= x.rows(); ++i) {
    AbortCheck();
    for (std::int32_t l = 1; l <= inner; ++l) {
      long double s = 0.0L;
      for (std::int32_t k = 1; k <= inner; ++k) s += x(i, k) * b.getxij(k, l);
      xb[static_cast<std::size_t>(l)] = s;
    }
    for (std::int32_t j = 1; j <= i; ++j) {
      long double s = 0.0L;
      for (std::int32_t l = 1; l <= inner; ++l) s += xb[static_cast<std::size_t>(l)] * x(j, l);
      StoreSymmetric(c, i, j, s);
    }
  }
}

// C(i, j) := sum over k of X(i, k)·X(j, k) for j <= i, mirrored: Aᵀ·A with
// X = Aᵀ, A·Aᵀ with X = A.
template <class MatC>
void CrossProduct(const Factor& x, MatC& c) {
  for (std::int32_t i = 1; i <= x.rows(); ++i)
    for (std::int32_t j = 1; j <= i; ++j) {
      long double s = 0.0L;
      for (std::int32_t k = 1; k <= x.cols(); ++k) s += x(i, k) * x(j, k);
      StoreSymmetric(c, i, j, s);
    }
}

[[noreturn]] void Singular() { throw E_Morvapc_Algebra("Singular matrix"); }

}  // namespace

void matrixu::RefuseNonFinite(const Rect_mx& a, std::int32_t rows, std::int32_t cols, bool lowerTriangleOnly) {
  for (std::int32_t i = 1; i <= rows; ++i)
    for (std::int32_t j = 1; j <= (lowerTriangleOnly && i < cols ? i : cols); ++j)
      if (!std::isfinite(a.getxij(i, j))) throw E_Morvapc_Algebra("Matrix holds a value that is not a finite number");
}

long double matrixu::ScaleFactor(const ScaleOptions& options, std::int32_t option, long double value) {
  if (option < 1 || option > 5) throw E_Morvapc_Internal("Invalid vector scaling option " + std::to_string(option));
  switch (options[option - 1]) {
    case VectorScale::Value: return value;
    case VectorScale::One: return 1.0L;
    case VectorScale::Root: return std::sqrt(value);
    case VectorScale::InverseRoot: return 1.0L / std::sqrt(value);
    case VectorScale::Inverse: return 1.0L / value;
  }
  return 1.0L;
}

std::function<void()> InstallAbortCheck(std::function<void()> check) {
  return std::exchange(AbortHook(), std::move(check));
}

void AbortCheck() {
  if (AbortHook()) AbortHook()();
}

void MatMul(const Rect_mx& A, const Rect_mx& B, Rect_mx& C) {
  if (A.cols() != B.rows()) NotDefined("A*B");
  RefuseResultAsOperand("A*B", C, A, B);
  for (std::int32_t i = 1; i <= A.rows(); ++i)
    for (std::int32_t j = 1; j <= B.cols(); ++j) {
      long double s = 0.0L;
      for (std::int32_t k = 1; k <= A.cols(); ++k) s += static_cast<long double>(A.getxij(i, k)) * B.getxij(k, j);
      C.putxij(i, j, static_cast<double>(s));
    }
}

void MatAtBA(const Rect_mx& A, const Rect_mx& B, Rect_mx& C) {
  if (B.rows() != A.rows() || B.cols() != B.rows()) NotDefined("At*B*A");
  RefuseResultAsOperand("At*B*A", C, A, B);
  TripleProduct(Factor{A, true}, B, C);
}

void MatAtBASym(const Rect_mx& A, const Sym_mx& B, Sym_mx& C) {
  if (B.n() != A.rows()) NotDefined("At*B*A");
  RefuseResultAsOperand("At*B*A", C, B);
  TripleProduct(Factor{A, true}, B, C);
}

void MatABAt(const Rect_mx& A, const Rect_mx& B, Rect_mx& C) {
  if (B.rows() != A.cols() || B.cols() != B.rows()) NotDefined("A*B*At");
  RefuseResultAsOperand("A*B*At", C, A, B);
  TripleProduct(Factor{A, false}, B, C);
}

void MatABAtSym(const Rect_mx& A, const Sym_mx& B, Rect_mx& C) {
  if (A.cols() != B.n()) NotDefined("A*B*At");
  RefuseResultAsOperand("A*B*At", C, A);
  TripleProduct(Factor{A, false}, B, C);
}

void MatAtA(const Rect_mx& A, Rect_mx& C) {
  RefuseResultAsOperand("At*A", C, A);
  CrossProduct(Factor{A, true}, C);
}

void MatAAtSym(const Rect_mx& A, Sym_mx& C) { CrossProduct(Factor{A, false}, C); }

bool MatAdd(const Sym_mx& A, const Sym_mx& B, Sym_mx& C) {
  if (B.n() != A.n() || C.n() != B.n()) NotDefined("A+B");
  for (std::int32_t i = 1; i <= A.n(); ++i)
    for (std::int32_t j = i; j <= A.n(); ++j) C.putxij(i, j, A.getxij(i, j) + B.getxij(i, j));
  return true;
}

// Cholesky factorisation A = Rᵀ·R with diagonal pivoting (R kept at
// A(p[k], p[j]), k <= j), then R⁻¹·R⁻ᵀ formed in place and mirrored.
bool MatInverse(Rect_mx& A, double& det, bool detOnly, double tol) {
  const std::int32_t n = A.rows();
  matrixu::RefuseNonFinite(A, n, n);
  std::vector<std::int32_t> p(static_cast<std::size_t>(n) + 1);
  for (std::int32_t i = 1; i <= n; ++i) p[static_cast<std::size_t>(i)] = i;
  auto P = [&p](std::int32_t i) { return p[static_cast<std::size_t>(i)]; };
  auto at = [&A, &P](std::int32_t i, std::int32_t j) -> long double { return A.getxij(P(i), P(j)); };
  auto put = [&A, &P](std::int32_t i, std::int32_t j, long double x) { A.putxij(P(i), P(j), static_cast<double>(x)); };

  long double determinant = 1.0L;
  for (std::int32_t i = 1; i <= n; ++i) {
    long double best = 0.0L;
    std::int32_t bestAt = i;
    for (std::int32_t j = i; j <= n; ++j) {
      long double s = at(j, j);
      for (std::int32_t k = 1; k < i; ++k) s -= at(k, j) * at(k, j);
      if (s > best) {
        best = s;
        bestAt = j;
      }
    }
    std::swap(p[static_cast<std::size_t>(i)], p[static_cast<std::size_t>(bestAt)]);
    // A pivot of 0 fails whatever the tolerance: it cannot be divided by.
    if (best < tol || best <= 0.0L) {
      det = 0.0;
      if (detOnly) return false;
      throw E_Morvapc_Algebra("Determinate is too small");
    }
    determinant *= best;
    const long double root = std::sqrt(best);
    put(i, i, root);
    const long double f = 1.0L / root;
    for (std::int32_t j = i + 1; j <= n; ++j) {
      long double s = at(i, j);
      for (std::int32_t k = 1; k < i; ++k) s -= at(k, i) * at(k, j);
      put(i, j, s * f);
    }
  }
  det = static_cast<double>(determinant);
  if (detOnly) return true;

  for (std::int32_t i = 1; i <= n; ++i) {
    const long double f = 1.0L / at(i, i);
    put(i, i, f);
    for (std::int32_t j = i + 1; j <= n; ++j) put(i, j, at(i, j) * f);
    for (std::int32_t k = 1; k < i; ++k) {
      const long double t = at(k, i);
      put(k, i, -t * f);
      for (std::int32_t j = i + 1; j <= n; ++j) put(k, j, at(k, j) - at(i, j) * t);
    }
  }
  for (std::int32_t i = 1; i <= n; ++i)
    for (std::int32_t j = i; j <= n; ++j) {
      long double s = 0.0L;
      for (std::int32_t k = j; k <= n; ++k) s += at(i, k) * at(j, k);
      put(i, j, s);
    }
  for (std::int32_t i = 1; i <= n; ++i)
    for (std::int32_t j = i; j <= n; ++j) A.putxij(P(j), P(i), A.getxij(P(i), P(j)));
  return true;
}

// Gauss-Jordan elimination with full pivoting, no right-hand side.
bool GaussJordanInverse(Rect_mx& A, std::int32_t n) {
  matrixu::RefuseNonFinite(A, n, n);
  const auto size = static_cast<std::size_t>(n) + 1;
  std::vector<std::int32_t> pivots(size, 0), rowIndex(size, 0), colIndex(size, 0);
  auto swapRows = [&A, n](std::int32_t r1, std::int32_t r2) {
    for (std::int32_t c = 1; c <= n; ++c) {
      const double t = A.getxij(r1, c);
      A.putxij(r1, c, A.getxij(r2, c));
      A.putxij(r2, c, t);
    }
  };
  for (std::int32_t i = 1; i <= n; ++i) {
    long double big = 0.0L;
    std::int32_t irow = 0, icol = 0;
    for (std::int32_t j = 1; j <= n; ++j) {
      if (pivots[static_cast<std::size_t>(j)] == 1) continue;
      for (std::int32_t k = 1; k <= n; ++k) {
        const std::int32_t count = pivots[static_cast<std::size_t>(k)];
        if (count == 0 && std::fabs(static_cast<long double>(A.getxij(j, k))) >= big) {
          big = std::fabs(static_cast<long double>(A.getxij(j, k)));
          irow = j;
          icol = k;
        } else if (count > 1) {
          Singular();
        }
      }
    }
    if (icol == 0) Singular();
    ++pivots[static_cast<std::size_t>(icol)];
    if (irow != icol) swapRows(irow, icol);
    rowIndex[static_cast<std::size_t>(i)] = irow;
    colIndex[static_cast<std::size_t>(i)] = icol;
    if (A.getxij(icol, icol) == 0.0) Singular();
    const long double pivinv = 1.0L / A.getxij(icol, icol);
    A.putxij(icol, icol, 1.0);
    for (std::int32_t c = 1; c <= n; ++c) A.putxij(icol, c, static_cast<double>(A.getxij(icol, c) * pivinv));
    for (std::int32_t ll = 1; ll <= n; ++ll) {
      if (ll == icol) continue;
      const long double dum = A.getxij(ll, icol);
      A.putxij(ll, icol, 0.0);
      for (std::int32_t c = 1; c <= n; ++c)
        A.putxij(ll, c, static_cast<double>(A.getxij(ll, c) - A.getxij(icol, c) * dum));
    }
  }
  for (std::int32_t l = n; l >= 1; --l) {
    const std::int32_t r = rowIndex[static_cast<std::size_t>(l)], c = colIndex[static_cast<std::size_t>(l)];
    if (r == c) continue;
    for (std::int32_t k = 1; k <= n; ++k) {
      const double t = A.getxij(k, r);
      A.putxij(k, r, A.getxij(k, c));
      A.putxij(k, c, t);
    }
  }
  return true;
}
