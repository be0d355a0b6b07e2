// Symmetric eigen-analysis: Householder reduction to tridiagonal form, QL
// iterations with implicit shifts, a decreasing sort and the caller's scaling
// of the eigenvectors, all on extended-precision working copies.

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

// Householder tridiagonalisation with accumulation of the transformations.
// The matrix is given transposed (a(i, j) at t(j, i)); on exit t holds the
// orthogonal transformation, still transposed, d the diagonal and e[2..n] the
// sub-diagonal. The sums of a row against the lower triangle are gathered
// column by column, each in increasing index order.
void Tred2Work(LMatrix& t, std::int32_t n, LVector& d, LVector& e) {
  AbortCheck();
  auto a = [&t](std::int32_t i, std::int32_t j) -> double& { return t(j, i); };
  LVector g(n);
  for (std::int32_t i = n; i >= 2; --i) {
    const std::int32_t l = i - 1;
    double* ai = t.Column(i);  // ai[k] = a(i, k)
    long double h = 0.0L;
    if (l > 1) {
      long double scale = 0.0L;
      for (std::int32_t k = 1; k <= l; ++k) scale += std::fabs(ai[k]);
      if (scale == 0.0L) {
        e[i] = ai[l];
      } else {
        for (std::int32_t k = 1; k <= l; ++k) {
          ai[k] /= scale;
          h += ai[k] * ai[k];
        }
        long double f = ai[l];
        const long double gi = f >= 0.0L ? -std::sqrt(h) : std::sqrt(h);
        e[i] = scale * gi;
        h -= f * gi;
        ai[l] = f - gi;
        for (std::int32_t j = 1; j <= l; ++j) {
          a(j, i) = ai[j] / h;
          const double* aj = t.Column(j);
          long double s = 0.0L;
          for (std::int32_t k = 1; k <= j; ++k) s += aj[k] * ai[k];
          g[j] = s;
        }
        for (std::int32_t k = 2; k <= l; ++k) {
          const double* ak = t.Column(k);
          for (std::int32_t j = 1; j < k; ++j) g[j] += ak[j] * ai[k];
        }
        f = 0.0L;
        for (std::int32_t j = 1; j <= l; ++j) {
          e[j] = g[j] / h;
          f += e[j] * ai[j];
        }
        const long double hh = f / (h + h);
        for (std::int32_t j = 1; j <= l; ++j) {
          f = ai[j];
          const long double gj = e[j] - hh * f;
          e[j] = gj;
          double* aj = t.Column(j);
          for (std::int32_t k = 1; k <= j; ++k) aj[k] -= f * e[k] + gj * ai[k];
        }
      }
    } else {
      e[i] = ai[l];
    }
    d[i] = h;
  }
  d[1] = 0.0L;
  e[1] = 0.0L;
  for (std::int32_t i = 1; i <= n; ++i) {
    const std::int32_t l = i - 1;
    double* ai = t.Column(i);
    if (d[i] != 0.0L) {
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
    d[i] = ai[i];
    ai[i] = 1.0L;
    for (std::int32_t j = 1; j <= l; ++j) a(j, i) = ai[j] = 0.0L;
  }
}

// QL iterations with implicit shifts on the tridiagonal (d, e), the rotations
// accumulated into the columns of z.
void TqliWork(LVector& d, LVector& e, std::int32_t n, LMatrix& z) {
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
        long double f = s * e[i];
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
        double* zi = z.Column(i);
        double* zi1 = z.Column(i + 1);
        for (std::int32_t k = 1; k <= n; ++k) {
          const long double zk = zi[k];
          f = zi1[k];
          zi1[k] = static_cast<double>(s * zk + c * f);
          zi[k] = static_cast<double>(c * zk - s * f);
        }
      }
      d[l] -= p;
      e[l] = g;
      e[m] = 0.0L;
    }
  }
}

// Selection sort into decreasing order; among equal largest remaining values
// the one with the highest index moves up.
void SortEigenWork(LVector& d, LMatrix& z, std::int32_t n) {
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
      z.SwapColumns(i, k);
    }
  }
}

// Options of the eigen-analysis: 1 λ, 2 none, 3 √λ, 4 1/√λ, 5 1/λ.
constexpr matrixu::ScaleOptions kEigenScaling = {matrixu::VectorScale::Value, matrixu::VectorScale::One,
                                                 matrixu::VectorScale::Root, matrixu::VectorScale::InverseRoot,
                                                 matrixu::VectorScale::Inverse};

void ScaleEigenvectorsWork(std::int32_t n, LMatrix& z, const LVector& d, std::int32_t option, double tol,
                           std::int32_t& count) {
  matrixu::ScaleFactor(kEigenScaling, option, 1.0L);  // refuses an unknown option before anything changes
  count = 0;
  for (std::int32_t j = 1; j <= n; ++j) {
    long double factor = 0.0L;
    if (d[j] > tol) {
      ++count;
      factor = matrixu::ScaleFactor(kEigenScaling, option, d[j]);
    }
    if (z(1, j) < 0.0L) factor = -factor;
    if (option == 2 && !(factor < 0.0L)) continue;
    double* column = z.Column(j);
    for (std::int32_t i = 1; i <= n; ++i) column[i] = factor == 0.0L ? 0.0L : column[i] * factor;
  }
}

// Reduction, QL, sort and scaling of a's leading n×n block; a receives the
// eigenvectors and d the eigenvalues, partly computed when a step fails.
void EigenPipeline(std::int32_t n, Rect_mx& a, vect_mx& d, std::int32_t option, double tol, std::int32_t& count) {
  matrixu::RefuseNonFinite(a, n, n, true);
  LMatrix z = TransposedCopy(a, n);
  LVector values(n), e(n);
  const rtl::ScopeExit store([&] {
    z.StoreTo(a, n, n);
    values.StoreTo(d, n);
  });
  Tred2Work(z, n, values, e);
  TransposeInPlace(z, n);
  TqliWork(values, e, n, z);
  SortEigenWork(values, z, n);
  ScaleEigenvectorsWork(n, z, values, option, tol, count);
}

}  // namespace

bool EigenSym(std::int32_t n, Rect_mx& a, vect_mx& d, std::int32_t option, double tol, std::int32_t& count) {
  long double trace = 0.0L;
  for (std::int32_t i = 1; i <= n; ++i) trace += a.getxij(i, i);
  EigenPipeline(n, a, d, option, tol, count);
  ListEigenvalues(n, d, static_cast<double>(trace));
  return true;
}

bool EigenSymNoListing(std::int32_t n, Rect_mx& a, vect_mx& d, std::int32_t option, double tol, std::int32_t& count) {
  EigenPipeline(n, a, d, option, tol, count);
  return true;
}

void Tred2(Rect_mx& a, std::int32_t n, vect_mx& d, vect_mx& e) {
  LMatrix t = TransposedCopy(a, n);
  LVector dw(n), ew(n);
  Tred2Work(t, n, dw, ew);
  TransposeInPlace(t, n);
  t.StoreTo(a, n, n);
  dw.StoreTo(d, n);
  ew.StoreTo(e, n);
}

void Tqli(vect_mx& d, vect_mx& e, std::int32_t n, Rect_mx& z) {
  LVector dw = LVector::From(d, n), ew = LVector::From(e, n);
  LMatrix zw = LMatrix::From(z, n, n);
  const rtl::ScopeExit store([&] {
    zw.StoreTo(z, n, n);
    dw.StoreTo(d, n);
    ew.StoreTo(e, n);
  });
  TqliWork(dw, ew, n, zw);
}

void SortEigen(vect_mx& d, Rect_mx& z, std::int32_t n) {
  LVector dw = LVector::From(d, n);
  LMatrix zw = LMatrix::From(z, n, n);
  SortEigenWork(dw, zw, n);
  zw.StoreTo(z, n, n);
  dw.StoreTo(d, n);
}

void ScaleEigenvectors(std::int32_t n, Rect_mx& z, vect_mx& d, std::int32_t option, double tol, std::int32_t& count) {
  LMatrix zw = LMatrix::From(z, n, n);
  ScaleEigenvectorsWork(n, zw, LVector::From(d, n), option, tol, count);
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
