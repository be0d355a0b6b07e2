// Symmetric eigen-analysis: Householder reduction to tridiagonal form, QL
// iterations with implicit shifts, a decreasing sort and the caller's scaling
// of the eigenvectors, all on extended-precision working copies.

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "matrix/MatrixFiles.h"
#include "matrix/Matrixu.h"
#include "matrix/MatrixuWork.h"
#include "rtl/Convert.h"
#include "rtl/Format.h"
#include "rtl/ScopeGuard.h"

using matrixu::LMatrix;
using matrixu::LVector;

namespace {

// A matrix of order 0 has no eigenvalues, and the working vectors of the
// reduction have no room for one: refused before anything is made.
void RefuseEmptyOrder(std::int32_t n) {
  if (n < 1) throw E_Morvapc_Algebra("Eigen-analysis of a matrix of order " + rtl::IntToStr(n) + " is not defined");
}

// The input matrix, transposed: t(j, i) holds a(i, j), so that row i of a,
// which the reduction walks along, is the contiguous column i of t.
LMatrix TransposedCopy(const Rect_mx& a, std::int32_t n) {
  LMatrix t(n, n);
  for (std::int32_t i = 1; i <= n; ++i)
    for (std::int32_t j = 1; j <= n; ++j) t(j, i) = a.getxij(i, j);
  return t;
}

void TransposeInPlace(LMatrix& t, std::int32_t n) {
  for (std::int32_t i = 1; i <= n; ++i)
    for (std::int32_t j = i + 1; j <= n; ++j) std::swap(t(i, j), t(j, i));
}

// Householder reduction of a symmetric matrix to tridiagonal form. The
// matrix is given transposed (a(i, j) at t(j, i)), so that row i of a, which
// the reduction walks along, is the contiguous column i of t; only its lower
// triangle is read. On exit d holds the diagonal, e[2..n] the sub-diagonal and
// h[i] the h of step i (0 where row i was left as it was); row i of a keeps
// that step's Householder vector u in columns 1..i-1 and a(j, i) = u_j / h.
//
// Steps run from row n up. The update of the lower triangle that step i makes
// is carried out row by row while step i - 1 forms its product with the same
// rows, so the triangle is swept once per step; every element still takes the
// same operations in the same order, and each sum runs in increasing index
// order, so the results are those of the steps taken one after the other.
void ReduceToTridiagonal(LMatrix& t, std::int32_t n, LVector& d, LVector& e, LVector& h,
                         matrixu::DecompositionProgress progress = {}) {
  AbortCheck();
  auto a = [&t](std::int32_t i, std::int32_t j) -> double& { return t(j, i); };
  LVector g(n), pending(n);
  // The update still owed by rows 1..j of the last step that transformed its
  // row: a(j, k) -= u_j·pending[k] + pending[j]·u_k, k = 1..j.
  const double* u = nullptr;
  auto bringUpToDate = [&](std::int32_t j) {
    double* aj = t.Column(j);
    const long double f = u[j], gj = pending[j];
    for (std::int32_t k = 1; k <= j; ++k) aj[k] -= f * pending[k] + gj * u[k];
  };
  const long double cubed = static_cast<long double>(n) * n * n;
  for (std::int32_t i = n; i >= 2; --i) {
    progress.Report(1.0L - static_cast<long double>(i) * i * i / cubed);
    const std::int32_t l = i - 1;
    double* ai = t.Column(i);  // ai[k] = a(i, k)
    if (u) bringUpToDate(i);
    long double hi = 0.0L;
    if (l > 1) {
      long double scale = 0.0L;
      for (std::int32_t k = 1; k <= l; ++k) scale += std::fabs(ai[k]);
      if (scale == 0.0L) {
        e[i] = ai[l];
      } else {
        for (std::int32_t k = 1; k <= l; ++k) {
          ai[k] /= scale;
          hi += ai[k] * ai[k];
        }
        const long double f = ai[l];
        const long double gi = f >= 0.0L ? -std::sqrt(hi) : std::sqrt(hi);
        e[i] = scale * gi;
        hi -= f * gi;
        ai[l] = f - gi;
      }
    } else {
      e[i] = ai[l];
    }
    h[i] = hi;
    if (hi == 0.0L) {
      if (u)
        for (std::int32_t j = 1; j <= l; ++j) bringUpToDate(j);
      u = nullptr;
      continue;
    }
    // g := a·u over the leading l × l block (lower triangle, mirrored), two
    // rows at a time so that their sums run side by side.
    std::int32_t row = 1;
    for (; row < l; row += 2) {
      const std::int32_t j = row, j1 = row + 1;
      if (u) {
        bringUpToDate(j);
        bringUpToDate(j1);
      }
      a(j, i) = ai[j] / hi;
      a(j1, i) = ai[j1] / hi;
      const double* aj = t.Column(j);
      const double* aj1 = t.Column(j1);
      long double s = 0.0L, s1 = 0.0L;
      for (std::int32_t k = 1; k <= j; ++k) {
        s += aj[k] * ai[k];
        s1 += aj1[k] * ai[k];
      }
      s1 += aj1[j1] * ai[j1];
      const double uj = ai[j], uj1 = ai[j1];
      for (std::int32_t k = 1; k < j; ++k) g[k] = (g[k] + aj[k] * uj) + aj1[k] * uj1;
      g[j] = s + aj1[j] * uj1;
      g[j1] = s1;
    }
    if (row == l) {
      const std::int32_t j = row;
      if (u) bringUpToDate(j);
      a(j, i) = ai[j] / hi;
      const double* aj = t.Column(j);
      long double s = 0.0L;
      for (std::int32_t k = 1; k <= j; ++k) s += aj[k] * ai[k];
      g[j] = s;
      const double uj = ai[j];
      for (std::int32_t k = 1; k < j; ++k) g[k] += aj[k] * uj;
    }
    long double f = 0.0L;
    for (std::int32_t j = 1; j <= l; ++j) {
      pending[j] = g[j] / hi;
      f += pending[j] * ai[j];
    }
    const long double hh = f / (hi + hi);
    for (std::int32_t j = 1; j <= l; ++j) pending[j] -= hh * ai[j];
    u = ai;
  }
  h[1] = 0.0L;
  e[1] = 0.0L;
  for (std::int32_t i = 1; i <= n; ++i) d[i] = t(i, i);
}

// Forms the orthogonal transformation of the reduction, Q = P_n···P_3 with
// P_i = I - u·uᵀ/h[i], in t (still transposed; the steps' vectors are used up).
void FormTransformation(LMatrix& t, std::int32_t n, const LVector& h) {
  auto a = [&t](std::int32_t i, std::int32_t j) -> double& { return t(j, i); };
  LVector g(n);
  for (std::int32_t i = 1; i <= n; ++i) {
    const std::int32_t l = i - 1;
    double* ai = t.Column(i);
    if (h[i] != 0.0L) {
      for (std::int32_t j = 1; j <= l; ++j) g[j] = 0.0L;
      for (std::int32_t k = 1; k <= l; ++k) {
        const double* ak = t.Column(k);
        for (std::int32_t j = 1; j <= l; ++j) g[j] += ai[k] * ak[j];
      }
      for (std::int32_t k = 1; k <= l; ++k) {
        double* ak = t.Column(k);
        const long double aki = ak[i];
        for (std::int32_t j = 1; j <= l; ++j) ak[j] -= g[j] * aki;
      }
    }
    ai[i] = 1.0L;
    for (std::int32_t j = 1; j <= l; ++j) a(j, i) = ai[j] = 0.0L;
  }
}

// Columns `columns` of Q·R₁···R_T, where Q is the transformation of the
// reduction (its vectors still in t, transposed) and R the recorded
// rotations, as the columns 1.. of z.
void FormVectors(const LMatrix& t, std::int32_t n, const LVector& h, const matrixu::PlaneRotations& rotations,
                 const std::vector<std::int32_t>& columns, LMatrix& z) {
  std::vector<long double> x;
  rotations.ProductColumns(columns, x, n, {0.85L, 0.9L});
  matrixu::DecompositionProgress progress(0.9L, 1.0L);
  const auto length = static_cast<std::size_t>(n);
  std::vector<double> scaled(length + 1);
  // Q·x = P_n(···(P_3·x)).
  for (std::int32_t i = 3; i <= n; ++i) {
    if (h[i] == 0.0L) continue;
    progress.Report(static_cast<long double>(i) * i / (static_cast<long double>(n) * n));
    const std::int32_t l = i - 1;
    const double* u = t.Column(i);  // u[k] = a(i, k)
    for (std::int32_t k = 1; k <= l; ++k) scaled[static_cast<std::size_t>(k)] = t(i, k);  // a(k, i) = u_k / h
    matrixu::ReflectVectors(x.data(), length, columns.size(), u, scaled.data(), 1, l,
                            [](long double s) { return -s; });
  }
  for (std::size_t j = 0; j < columns.size(); ++j) {
    double* column = z.Column(static_cast<std::int32_t>(j) + 1);
    for (std::size_t k = 0; k < length; ++k) column[k + 1] = static_cast<double>(x[j * length + k]);
  }
}

// QL iterations with implicit shifts on the tridiagonal (d, e); the rotations
// that carry the vectors along are recorded, not applied.
void TqliWork(LVector& d, LVector& e, std::int32_t n, matrixu::PlaneRotations& rotations) {
  AbortCheck();
  if (n > 1) {
    for (std::int32_t i = 2; i <= n; ++i) e[i - 1] = e[i];
    e[n] = 0.0L;
  }
  for (std::int32_t l = 1; l <= n; ++l) {
    for (int iter = 0;; ++iter) {
      std::int32_t m = l;
      for (; m <= n - 1; ++m) {
        const long double dd = std::fabs(d[m]) + std::fabs(d[m + 1]);
        if (std::fabs(e[m]) + dd == dd) break;
      }
      if (m == l) break;
      AbortCheck();
      if (iter == 30) throw E_Morvapc_Algebra("Problem with convergence in TQLI");
      long double g = (d[l + 1] - d[l]) / (2.0L * e[l]);
      long double r = std::sqrt(g * g + 1.0L);
      g = d[m] - d[l] + e[l] / (g + (g >= 0.0L ? r : -r));
      long double s = 1.0L, c = 1.0L, p = 0.0L;
      for (std::int32_t i = m - 1; i >= l; --i) {
        const long double f = s * e[i];
        const long double b = c * e[i];
        if (std::fabs(f) >= std::fabs(g)) {
          c = g / f;
          r = std::sqrt(c * c + 1.0L);
          e[i + 1] = f * r;
          s = 1.0L / r;
          c *= s;
        } else {
          s = f / g;
          r = std::sqrt(s * s + 1.0L);
          e[i + 1] = g * r;
          c = 1.0L / r;
          s *= c;
        }
        g = d[i + 1] - p;
        r = (d[i] - g) * s + 2.0L * c * b;
        p = s * r;
        d[i + 1] = g + p;
        g = c * r - b;
        rotations.Add(i + 1, i, c, s);
      }
      d[l] -= p;
      e[l] = g;
      e[m] = 0.0L;
    }
  }
}

// Selection sort into decreasing order; among equal largest remaining values
// the one with the highest index moves up. exchange(i, k) carries the
// vectors along.
template <class Exchange>
void SortEigenWork(LVector& d, std::int32_t n, Exchange exchange) {
  AbortCheck();
  for (std::int32_t i = 1; i < n; ++i) {
    std::int32_t k = i;
    long double p = d[i];
    for (std::int32_t j = i + 1; j <= n; ++j)
      if (d[j] >= p) {
        k = j;
        p = d[j];
      }
    if (k != i) {
      d[k] = d[i];
      d[i] = p;
      exchange(i, k);
    }
  }
}

// Options of the eigen-analysis: 1 λ, 2 none, 3 √λ, 4 1/√λ, 5 1/λ.
constexpr matrixu::ScaleOptions kEigenScaling = {matrixu::VectorScale::Value, matrixu::VectorScale::One,
                                                 matrixu::VectorScale::Root, matrixu::VectorScale::InverseRoot,
                                                 matrixu::VectorScale::Inverse};

// Counts the eigenvalues above tol and scales the vectors in columns
// 1..formed of z.
void ScaleEigenvectorsWork(std::int32_t n, std::int32_t formed, LMatrix& z, const LVector& d, std::int32_t option,
                           double tol, std::int32_t& count) {
  matrixu::ScaleFactor(kEigenScaling, option, 1.0L);  // refuses an unknown option before anything changes
  count = 0;
  for (std::int32_t j = 1; j <= n; ++j) {
    long double factor = 0.0L;
    if (d[j] > tol) {
      ++count;
      factor = matrixu::ScaleFactor(kEigenScaling, option, d[j]);
    }
    if (j > formed) continue;
    if (z(1, j) < 0.0L) factor = -factor;
    if (option == 2 && !(factor < 0.0L)) continue;
    double* column = z.Column(j);
    for (std::int32_t i = 1; i <= z.Rows(); ++i) column[i] = factor == 0.0L ? 0.0L : column[i] * factor;
  }
}

// Forming the whole transformation and turning it costs about as much as
// forming half the vectors one by one; below order 64 either costs too
// little to choose.
bool FormsEveryVector(std::int32_t n, std::int32_t vectors) { return n < 64 || 2 * vectors > n; }

// Reduction, QL, sort and scaling of a's leading n×n block; a receives the
// first `vectors` eigenvectors (the other columns zero) and d the
// eigenvalues, partly computed when a step fails.
void EigenPipeline(std::int32_t n, Rect_mx& a, vect_mx& d, std::int32_t option, double tol, std::int32_t& count,
                   std::int32_t vectors) {
  RefuseEmptyOrder(n);
  if (vectors < 0 || vectors > n) throw E_Morvapc_Internal("Eigenvectors wanted out of range");
  matrixu::RefuseNonFinite(a, n, n, true);
  LMatrix z = TransposedCopy(a, n);
  LVector values(n), e(n), h(n);
  const rtl::ScopeExit storeValues([&] { values.StoreTo(d, n); });
  const bool everyVector = FormsEveryVector(n, vectors);
  ReduceToTridiagonal(z, n, values, e, h, everyVector ? matrixu::DecompositionProgress(0.0L, 0.3L)
                                                      : matrixu::DecompositionProgress(0.0L, 0.85L));
  matrixu::PlaneRotations rotations;
  if (everyVector) {
    FormTransformation(z, n, h);
    TransposeInPlace(z, n);
    const rtl::ScopeFail storeVectors([&] { z.StoreTo(a, n, n); });
    const rtl::ScopeExit turn([&] { rotations.TurnColumns(z, n, {0.35L, 1.0L}); });
    TqliWork(values, e, n, rotations);
  } else {
    TqliWork(values, e, n, rotations);
  }
  std::vector<std::int32_t> order(static_cast<std::size_t>(n));
  for (std::int32_t i = 1; i <= n; ++i) order[static_cast<std::size_t>(i - 1)] = i;
  SortEigenWork(values, n, [&](std::int32_t i, std::int32_t k) {
    std::swap(order[static_cast<std::size_t>(i - 1)], order[static_cast<std::size_t>(k - 1)]);
  });
  if (everyVector) {
    LMatrix sorted(n, n);
    for (std::int32_t j = 1; j <= vectors; ++j)
      std::copy_n(z.Column(order[static_cast<std::size_t>(j - 1)]) + 1, n, sorted.Column(j) + 1);
    z = std::move(sorted);
  } else {
    order.resize(static_cast<std::size_t>(vectors));
    LMatrix formed(n, n);
    FormVectors(z, n, h, rotations, order, formed);
    z = std::move(formed);
  }
  ScaleEigenvectorsWork(n, vectors, z, values, option, tol, count);
  z.StoreTo(a, n, n);
}

}  // namespace

bool EigenSym(std::int32_t n, Rect_mx& a, vect_mx& d, std::int32_t option, double tol, std::int32_t& count,
              std::int32_t vectors) {
  long double trace = 0.0L;
  for (std::int32_t i = 1; i <= n; ++i) trace += a.getxij(i, i);
  EigenPipeline(n, a, d, option, tol, count, vectors < 0 ? n : vectors);
  ListEigenvalues(n, d, static_cast<double>(trace));
  return true;
}

bool EigenSymNoListing(std::int32_t n, Rect_mx& a, vect_mx& d, std::int32_t option, double tol, std::int32_t& count,
                       std::int32_t vectors) {
  EigenPipeline(n, a, d, option, tol, count, vectors < 0 ? n : vectors);
  return true;
}

void Tred2(Rect_mx& a, std::int32_t n, vect_mx& d, vect_mx& e) {
  RefuseEmptyOrder(n);
  LMatrix t = TransposedCopy(a, n);
  LVector dw(n), ew(n), h(n);
  ReduceToTridiagonal(t, n, dw, ew, h);
  FormTransformation(t, n, h);
  TransposeInPlace(t, n);
  t.StoreTo(a, n, n);
  dw.StoreTo(d, n);
  ew.StoreTo(e, n);
}

void Tqli(vect_mx& d, vect_mx& e, std::int32_t n, Rect_mx& z) {
  LVector dw = LVector::From(d, n), ew = LVector::From(e, n);
  LMatrix zw = LMatrix::From(z, n, n);
  matrixu::PlaneRotations rotations;
  const rtl::ScopeExit store([&] {
    rotations.TurnColumns(zw, n);
    zw.StoreTo(z, n, n);
    dw.StoreTo(d, n);
    ew.StoreTo(e, n);
  });
  TqliWork(dw, ew, n, rotations);
}

void SortEigen(vect_mx& d, Rect_mx& z, std::int32_t n) {
  LVector dw = LVector::From(d, n);
  LMatrix zw = LMatrix::From(z, n, n);
  SortEigenWork(dw, n, [&zw](std::int32_t i, std::int32_t k) { zw.SwapColumns(i, k); });
  zw.StoreTo(z, n, n);
  dw.StoreTo(d, n);
}

void ScaleEigenvectors(std::int32_t n, Rect_mx& z, vect_mx& d, std::int32_t option, double tol, std::int32_t& count) {
  LMatrix zw = LMatrix::From(z, n, n);
  ScaleEigenvectorsWork(n, n, zw, LVector::From(d, n), option, tol, count);
  zw.StoreTo(z, n, n);
}

namespace {

// True when a running total of eigenvalues exceeds the total it is a share
// of by more than rounding: the eigenvalues of a matrix add up to its trace
// only to within a few units in the last place.
bool ExceedsTotal(long double cumulative, double total) {
  constexpr long double kRelativeTolerance = 1e-12L;
  return cumulative - total > kRelativeTolerance * std::fabs(total);
}

}  // namespace

void ListEigenvalues(std::int32_t n, const vect_mx& d, double sum) {
  for (std::int32_t i = 1; i <= n; ++i) {
    if (!std::isfinite(d.Get(i))) RefuseOverflow("Eigenvalue " + rtl::IntToStr(i), d.Get(i));
  }
  if (!std::isfinite(sum)) RefuseOverflow("Sum of eigenvalues", sum);
  const int w = n >= 1 && d.Get(1) > 1e9 ? 24 : 12;
  ListingWriteLine("");
  if (sum > 0.0) {
    ListingWriteLine(rtl::Format("%3s %*s %12s %12s", "i", w, "Eigenvalue", "Percent", "Cumulative"));
    long double cum = 0.0L;
    for (std::int32_t i = 1; i <= n; ++i) {
      const double value = d.Get(i);
      cum += value;
      const double percent = static_cast<double>(100.0L * value / sum);
      if (ExceedsTotal(cum, sum))
        ListingWriteLine(rtl::Format("%3d %*.8f %12.4f %12s", i, w, value, percent, " > 100% "));
      else
        ListingWriteLine(
            rtl::Format("%3d %*.8f %12.4f %12.4f", i, w, value, percent, static_cast<double>(100.0L * cum / sum)));
    }
  }
  ListingWriteLine(rtl::Format("Sum of eigenvalues = %*.6f", w, sum));
}
