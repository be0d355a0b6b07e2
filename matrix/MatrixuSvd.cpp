// Singular value decomposition (Householder bidiagonalisation, then QR
// iterations with implicit shifts on the bidiagonal form) on extended-precision
// working copies, and the sort and scaling of its singular vectors.

#include <cmath>
#include <string>
#include <vector>

#include "matrix/Matrixu.h"
#include "matrix/MatrixuWork.h"
#include "rtl/ScopeGuard.h"

using matrixu::LMatrix;
using matrixu::LVector;

namespace {

long double SignTransferL(long double a, long double b) { return b >= 0.0L ? std::fabs(a) : -std::fabs(a); }

long double PythagL(long double a, long double b) {
  const long double absa = std::fabs(a), absb = std::fabs(b);
  if (absa > absb) return absa * std::sqrt(1.0L + (absb / absa) * (absb / absa));
  if (absb == 0.0L) return 0.0L;
  return absb * std::sqrt(1.0L + (absa / absb) * (absa / absb));
}

// Turns columns p and q of z (rows 1..rows) by the rotation (c, s).
void Rotate(LMatrix& z, std::int32_t rows, std::int32_t p, std::int32_t q, long double c, long double s) {
  double* zp = z.Column(p);
  double* zq = z.Column(q);
  for (std::int32_t r = 1; r <= rows; ++r) {
    const long double y = zp[r], x = zq[r];
    zp[r] = y * c + x * s;
    zq[r] = x * c - y * s;
  }
}

// The decomposition of a (m×n, column-major): a becomes U, w the singular
// values and v V. Row sweeps over a are done column by column, each sum still
// taken in increasing index order.
void SvdWork(LMatrix& a, std::int32_t m, std::int32_t n, LVector& w, LMatrix& v, std::int32_t maxIterations) {
  LVector rv1(n);
  std::vector<long double> sums(static_cast<std::size_t>(m > n ? m : n) + 1);
  long double g = 0.0L, scale = 0.0L, anorm = 0.0L;
  std::int32_t l = 1;

  // Householder reduction to bidiagonal form.
  for (std::int32_t i = 1; i <= n; ++i) {
    l = i + 1;
    rv1[i] = scale * g;
    g = scale = 0.0L;
    if (i <= m) {
      double* ai = a.Column(i);
      for (std::int32_t k = i; k <= m; ++k) scale += std::fabs(ai[k]);
      if (scale != 0.0L) {
        long double s = 0.0L;
        for (std::int32_t k = i; k <= m; ++k) {
          ai[k] /= scale;
          s += ai[k] * ai[k];
        }
        const long double f = ai[i];
        g = -SignTransferL(std::sqrt(s), f);
        const long double h = f * g - s;
        ai[i] = f - g;
        for (std::int32_t j = l; j <= n; ++j) {
          double* aj = a.Column(j);
          long double t = 0.0L;
          for (std::int32_t k = i; k <= m; ++k) t += ai[k] * aj[k];
          const long double ff = t / h;
          for (std::int32_t k = i; k <= m; ++k) aj[k] += ff * ai[k];
        }
        for (std::int32_t k = i; k <= m; ++k) ai[k] *= scale;
      }
    }
    w[i] = scale * g;
    g = scale = 0.0L;
    if (i <= m && i != n) {
      for (std::int32_t k = l; k <= n; ++k) scale += std::fabs(a(i, k));
      if (scale != 0.0L) {
        long double s = 0.0L;
        for (std::int32_t k = l; k <= n; ++k) {
          a(i, k) /= scale;
          s += a(i, k) * a(i, k);
        }
        const long double f = a(i, l);
        g = -SignTransferL(std::sqrt(s), f);
        const long double h = f * g - s;
        a(i, l) = f - g;
        for (std::int32_t k = l; k <= n; ++k) rv1[k] = a(i, k) / h;
        for (std::int32_t j = l; j <= m; ++j) sums[static_cast<std::size_t>(j)] = 0.0L;
        for (std::int32_t k = l; k <= n; ++k) {
          const double* ak = a.Column(k);
          const long double aik = ak[i];
          for (std::int32_t j = l; j <= m; ++j) sums[static_cast<std::size_t>(j)] += ak[j] * aik;
        }
        for (std::int32_t k = l; k <= n; ++k) {
          double* ak = a.Column(k);
          for (std::int32_t j = l; j <= m; ++j) ak[j] += sums[static_cast<std::size_t>(j)] * rv1[k];
        }
        for (std::int32_t k = l; k <= n; ++k) a(i, k) *= scale;
      }
    }
    anorm = std::fmax(anorm, std::fabs(w[i]) + std::fabs(rv1[i]));
  }

  // Accumulation of the right-hand transformations into V.
  std::vector<long double> row(static_cast<std::size_t>(n) + 1);
  for (std::int32_t i = n; i >= 1; --i) {
    if (i < n) {
      if (g != 0.0L) {
        for (std::int32_t k = l; k <= n; ++k) row[static_cast<std::size_t>(k)] = a(i, k);
        double* vi = v.Column(i);
        for (std::int32_t j = l; j <= n; ++j) vi[j] = (row[static_cast<std::size_t>(j)] / a(i, l)) / g;
        for (std::int32_t j = l; j <= n; ++j) {
          double* vj = v.Column(j);
          long double s = 0.0L;
          for (std::int32_t k = l; k <= n; ++k) s += row[static_cast<std::size_t>(k)] * vj[k];
          for (std::int32_t k = l; k <= n; ++k) vj[k] += s * vi[k];
        }
      }
      for (std::int32_t j = l; j <= n; ++j) v(i, j) = v(j, i) = 0.0L;
    }
    v(i, i) = 1.0L;
    g = rv1[i];
    l = i;
  }

  // Accumulation of the left-hand transformations into A, which becomes U.
  for (std::int32_t i = m < n ? m : n; i >= 1; --i) {
    l = i + 1;
    g = w[i];
    for (std::int32_t j = l; j <= n; ++j) a(i, j) = 0.0L;
    double* ai = a.Column(i);
    if (g != 0.0L) {
      g = 1.0L / g;
      for (std::int32_t j = l; j <= n; ++j) {
        double* aj = a.Column(j);
        long double s = 0.0L;
        for (std::int32_t k = l; k <= m; ++k) s += ai[k] * aj[k];
        const long double f = (s / ai[i]) * g;
        for (std::int32_t k = i; k <= m; ++k) aj[k] += f * ai[k];
      }
      for (std::int32_t j = i; j <= m; ++j) ai[j] *= g;
    } else {
      for (std::int32_t j = i; j <= m; ++j) ai[j] = 0.0L;
    }
    ai[i] += 1.0L;
  }

  // Diagonalisation of the bidiagonal form.
  for (std::int32_t k = n; k >= 1; --k) {
    for (std::int32_t its = 1; its <= maxIterations; ++its) {
      bool cancel = true;
      std::int32_t nm = 0;
      for (l = k; l >= 1; --l) {
        nm = l - 1;
        if (std::fabs(rv1[l]) + anorm == anorm) {
          cancel = false;
          break;
        }
        if (l > 1 && std::fabs(w[nm]) + anorm == anorm) break;
      }
      if (cancel) {
        long double c = 0.0L, s = 1.0L;
        for (std::int32_t i = l; i <= k; ++i) {
          const long double f = s * rv1[i];
          rv1[i] = c * rv1[i];
          if (std::fabs(f) + anorm == anorm) break;
          g = w[i];
          long double h = PythagL(f, g);
          w[i] = h;
          h = 1.0L / h;
          c = g * h;
          s = -f * h;
          Rotate(a, m, nm, i, c, s);
        }
      }
      long double z = w[k];
      if (l == k) {
        if (z < 0.0L) {
          w[k] = -z;
          double* vk = v.Column(k);
          for (std::int32_t j = 1; j <= n; ++j) vk[j] = -vk[j];
        }
        break;
      }
      if (its == maxIterations) {
        throw E_Morvapc_Algebra("no convergence in " + std::to_string(maxIterations) + " SVDCMP iterations");
      }
      long double x = w[l];
      nm = k - 1;
      long double y = w[nm];
      g = rv1[nm];
      long double h = rv1[k];
      long double f = ((y - z) * (y + z) + (g - h) * (g + h)) / (2.0L * h * y);
      g = PythagL(f, 1.0L);
      f = ((x - z) * (x + z) + h * ((y / (f + SignTransferL(g, f))) - h)) / x;
      long double c = 1.0L, s = 1.0L;
      for (std::int32_t j = l; j <= nm; ++j) {
        const std::int32_t i = j + 1;
        g = rv1[i];
        y = w[i];
        h = s * g;
        g = c * g;
        z = PythagL(f, h);
        rv1[j] = z;
        c = f / z;
        s = h / z;
        f = x * c + g * s;
        g = g * c - x * s;
        h = y * s;
        y *= c;
        Rotate(v, n, j, i, c, s);
        z = PythagL(f, h);
        w[j] = z;
        if (z != 0.0L) {
          z = 1.0L / z;
          c = f * z;
          s = h * z;
        }
        f = c * g + s * y;
        x = c * y - s * g;
        Rotate(a, m, j, i, c, s);
      }
      rv1[l] = 0.0L;
      rv1[k] = f;
      w[k] = x;
    }
  }
}

// Options of the SVD: 1 w, 2 none, 3 √w, 4 1/w, 5 1/√w.
constexpr matrixu::ScaleOptions kSvdScaling = {matrixu::VectorScale::Value, matrixu::VectorScale::One,
                                               matrixu::VectorScale::Root, matrixu::VectorScale::Inverse,
                                               matrixu::VectorScale::InverseRoot};

// Scales column i of z (rows 1..rows) as the pair's option says; an unscaled
// vector that needs no turning is left exactly as it is.
void ScaleSingularVector(Rect_mx& z, std::int32_t rows, std::int32_t i, std::int32_t option, long double value,
                         bool negate) {
  if (option == 2 && !negate) return;
  long double factor = value <= 1e-30L ? 0.0L : matrixu::ScaleFactor(kSvdScaling, option, value);
  if (negate) factor = -factor;
  for (std::int32_t r = 1; r <= rows; ++r)
    z.putxij(r, i, factor == 0.0L ? 0.0 : static_cast<double>(z.getxij(r, i) * factor));
}

void SwapColumns(Rect_mx& z, std::int32_t rows, std::int32_t i, std::int32_t j) {
  for (std::int32_t r = 1; r <= rows; ++r) {
    const double t = z.getxij(r, i);
    z.putxij(r, i, z.getxij(r, j));
    z.putxij(r, j, t);
  }
}

bool NonIncreasing(std::int32_t n, const vect_mx& w) {
  if (n < 1) return true;
  double prev = w.Get(1) + 9e6;
  for (std::int32_t i = 1; i <= n; ++i) {
    if (w.Get(i) > prev) return false;
    prev = w.Get(i);
  }
  return true;
}

}  // namespace

double SignTransfer(double a, double b) { return static_cast<double>(SignTransferL(a, b)); }

double RealMax(double a, double b) { return a > b ? a : b; }

double Pythag(double a, double b) { return static_cast<double>(PythagL(a, b)); }

void Svdcmp(Rect_mx& a, std::int32_t m, std::int32_t n, vect_mx& w, Rect_mx& v, std::int32_t maxIterations) {
  if (maxIterations < 1) throw E_Morvapc_Internal("SVD needs at least one iteration");
  matrixu::RefuseNonFinite(a, m, n);
  LMatrix aw = LMatrix::From(a, m, n), vw(n, n);
  LVector ww(n);
  // What was computed goes back to the caller's matrices, even when a step fails.
  const rtl::ScopeExit store([&] {
    aw.StoreTo(a, m, n);
    ww.StoreTo(w, n);
    vw.StoreTo(v, n, n);
  });
  SvdWork(aw, m, n, ww, vw, maxIterations);
}

void SortDescendingWithIndex(std::int32_t n, vect_mx& w, ivect_mx& idx) {
  auto exchange = [&w, &idx](std::int32_t i, std::int32_t j) {
    const double t = w.Get(i);
    w.Put(i, w.Get(j));
    w.Put(j, t);
    const std::int32_t k = idx.Get(i);
    idx.Put(i, idx.Get(j));
    idx.Put(j, k);
  };
  const int passes = n > 1 ? static_cast<int>(std::trunc(2.0L * std::log10(static_cast<long double>(n)))) : 0;
  if (passes > 1) {
    long double gap = n * 0.5L;
    for (int pass = 0; pass < passes; ++pass) {
      const auto h = static_cast<std::int32_t>(std::trunc(gap));
      if (h <= 1) break;
      gap *= 0.75L;
      for (std::int32_t i = 1; i <= n - h; ++i)
        if (w.Get(i + h) > w.Get(i)) exchange(i, i + h);
    }
  }
  for (std::int32_t top = n - 1; top > 0;) {
    std::int32_t last = 0;
    for (std::int32_t i = 1; i <= top; ++i)
      if (w.Get(i + 1) > w.Get(i)) {
        exchange(i, i + 1);
        last = i;
      }
    top = last - 1;
  }
}

bool SvdSorted(std::int32_t m, std::int32_t n, std::int32_t k, std::int32_t leftOption, std::int32_t rightOption,
               Rect_mx& u, Rect_mx& v, vect_mx& w) {
  matrixu::ScaleFactor(kSvdScaling, leftOption, 1.0L);  // refuse an unknown option before anything changes
  matrixu::ScaleFactor(kSvdScaling, rightOption, 1.0L);
  if (!NonIncreasing(n, w)) {
    ivect_mx idx(n);
    for (std::int32_t i = 1; i <= n; ++i) idx.Put(i, i);
    SortDescendingWithIndex(n, w, idx);
    for (std::int32_t i = 1; i <= k; ++i) {
      const std::int32_t j = idx.Get(i);
      if (j == i) continue;
      for (std::int32_t later = i + 1; later <= n; ++later)
        if (idx.Get(later) == i) idx.Put(later, j);
      SwapColumns(u, m, i, j);
      SwapColumns(v, n, i, j);
    }
  }
  for (std::int32_t i = 1; i <= k; ++i) {
    const bool negate = u.getxij(1, i) < 0.0;
    const long double value = w.Get(i);
    ScaleSingularVector(u, m, i, leftOption, value, negate);
    ScaleSingularVector(v, n, i, rightOption, value, negate);
  }
  return true;
}
