// Singular value decomposition (Householder bidiagonalisation, then QR
// iterations with implicit shifts on the bidiagonal form) on extended-precision
// working copies, and the sort and scaling of its singular vectors.

#include <algorithm>
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

// The state of a decomposition between its steps: the bidiagonal form
// (w, rv1), the norm for the split tests and, in a, the Householder vectors.
struct Bidiagonal {
  explicit Bidiagonal(std::int32_t n) : w(n), rv1(n), leftG(n), rightG(n) {}
  LVector w, rv1;
  // w and rv1 as the reduction left them, for the transformations.
  LVector leftG, rightG;
  long double anorm = 0.0L;
};

// Columns first..last of a take the Householder vector u: for each column c,
// t := Σ u[k]·c[k] over rows dotFrom..m, then c[k] += step(t)·u[k] over rows
// updateFrom..m. Two columns at a time, so that their sums run side by side;
// before(j) runs just before column j is read.
template <class Step, class Before>
void ReflectColumns(LMatrix& a, const double* u, std::int32_t first, std::int32_t last, std::int32_t dotFrom,
                    std::int32_t updateFrom, std::int32_t m, Step step, Before before) {
  std::int32_t j = first;
  for (; j < last; j += 2) {
    before(j);
    before(j + 1);
    double* aj = a.Column(j);
    double* aj1 = a.Column(j + 1);
    long double t = 0.0L, t1 = 0.0L;
    for (std::int32_t k = dotFrom; k <= m; ++k) {
      t += u[k] * aj[k];
      t1 += u[k] * aj1[k];
    }
    const long double f = step(t), f1 = step(t1);
    for (std::int32_t k = updateFrom; k <= m; ++k) {
      aj[k] += f * u[k];
      aj1[k] += f1 * u[k];
    }
  }
  if (j == last) {
    before(j);
    double* aj = a.Column(j);
    long double t = 0.0L;
    for (std::int32_t k = dotFrom; k <= m; ++k) t += u[k] * aj[k];
    const long double f = step(t);
    for (std::int32_t k = updateFrom; k <= m; ++k) aj[k] += f * u[k];
  }
}

// Householder reduction of a (m×n, column-major) to bidiagonal form. Row
// sweeps over a are done column by column, each sum still taken in
// increasing index order.
void Bidiagonalise(LMatrix& a, std::int32_t m, std::int32_t n, Bidiagonal& b, matrixu::DecompositionProgress progress) {
  LVector& w = b.w;
  LVector& rv1 = b.rv1;
  std::vector<long double> sums(static_cast<std::size_t>(m > n ? m : n) + 1);
  long double* sum = sums.data();
  // The right-hand step's update of rows pendingFrom..m, still owed by the
  // columns the next left-hand step has not reached: column k takes
  // sum[r]·pendingFactor[k]. Each column is brought up to date just before
  // that step reads it, so the matrix is swept once less per step.
  LVector pendingFactor(n);
  std::int32_t pendingFrom = 0;
  auto bringUpToDate = [&](std::int32_t k) {
    if (pendingFrom == 0) return;
    double* ak = a.Column(k);
    const long double factor = pendingFactor[k];
    for (std::int32_t r = pendingFrom; r <= m; ++r) ak[r] += sum[r] * factor;
  };
  long double g = 0.0L, scale = 0.0L;
  for (std::int32_t i = 1; i <= n; ++i) {
    progress.Report(1.0L - static_cast<long double>(n - i) * (n - i) / (static_cast<long double>(n) * n));
    const std::int32_t l = i + 1;
    rv1[i] = scale * g;
    g = scale = 0.0L;
    bringUpToDate(i);
    bool leftStep = false;
    if (i <= m) {
      double* ai = a.Column(i);
      for (std::int32_t k = i; k <= m; ++k) scale += std::fabs(ai[k]);
      if (scale != 0.0L) {
        leftStep = true;
        long double s = 0.0L;
        for (std::int32_t k = i; k <= m; ++k) {
          ai[k] /= scale;
          s += ai[k] * ai[k];
        }
        const long double f = ai[i];
        g = -SignTransferL(std::sqrt(s), f);
        const long double h = f * g - s;
        ai[i] = f - g;
        ReflectColumns(a, ai, l, n, i, i, m, [h](long double t) { return t / h; }, bringUpToDate);
        for (std::int32_t k = i; k <= m; ++k) ai[k] *= scale;
      }
    }
    if (!leftStep)
      for (std::int32_t k = l; k <= n; ++k) bringUpToDate(k);
    pendingFrom = 0;
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
        // sum := the rows below i against row i, two columns at a time, each
        // sum still in column order; the columns take their shares later.
        for (std::int32_t j = l; j <= m; ++j) sum[j] = 0.0L;
        std::int32_t k = l;
        for (; k < n; k += 2) {
          const double* ak = a.Column(k);
          const double* ak1 = a.Column(k + 1);
          const long double aik = ak[i], aik1 = ak1[i];
          for (std::int32_t j = l; j <= m; ++j) sum[j] = (sum[j] + ak[j] * aik) + ak1[j] * aik1;
        }
        if (k == n) {
          const double* ak = a.Column(k);
          const long double aik = ak[i];
          for (std::int32_t j = l; j <= m; ++j) sum[j] += ak[j] * aik;
        }
        for (k = l; k <= n; ++k) pendingFactor[k] = rv1[k];
        if (l <= m) pendingFrom = l;
        for (std::int32_t c = l; c <= n; ++c) a(i, c) *= scale;
      }
    }
    b.anorm = std::fmax(b.anorm, std::fabs(w[i]) + std::fabs(rv1[i]));
  }
  for (std::int32_t i = 1; i <= n; ++i) {
    b.leftG[i] = w[i];
    b.rightG[i] = rv1[i];
  }
}

// The right-hand transformations of the reduction formed in v (n×n).
void AccumulateRight(const LMatrix& a, std::int32_t n, const Bidiagonal& b, LMatrix& v) {
  std::vector<long double> row(static_cast<std::size_t>(n) + 1);
  long double g = 0.0L;
  std::int32_t l = n + 1;
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
    g = b.rightG[i];
    l = i;
  }
}

// The left-hand transformations of the reduction formed in a, which becomes U.
void AccumulateLeft(LMatrix& a, std::int32_t m, std::int32_t n, const Bidiagonal& b) {
  for (std::int32_t i = m < n ? m : n; i >= 1; --i) {
    const std::int32_t l = i + 1;
    long double g = b.leftG[i];
    for (std::int32_t j = l; j <= n; ++j) a(i, j) = 0.0L;
    double* ai = a.Column(i);
    if (g != 0.0L) {
      g = 1.0L / g;
      ReflectColumns(a, ai, l, n, l, i, m, [ai, i, g](long double t) { return (t / ai[i]) * g; },
                     [](std::int32_t) {});
      for (std::int32_t r = i; r <= m; ++r) ai[r] *= g;
    } else {
      for (std::int32_t j = i; j <= m; ++j) ai[j] = 0.0L;
    }
    ai[i] += 1.0L;
  }
}

// Diagonalisation of the bidiagonal form by QR sweeps with implicit shifts:
// w becomes the singular values; the rotations and changes of sign that
// carry U (n columns) and V along are recorded, not applied.
void Diagonalise(std::int32_t n, Bidiagonal& b, std::int32_t maxIterations, matrixu::PlaneRotations& uTurns,
                 matrixu::PlaneRotations& vTurns, matrixu::DecompositionProgress progress) {
  LVector& w = b.w;
  LVector& rv1 = b.rv1;
  const long double anorm = b.anorm;
  long double g = 0.0L;
  std::int32_t l = 1;
  for (std::int32_t k = n; k >= 1; --k) {
    progress.Report(static_cast<long double>(n - k) / n);
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
          uTurns.Add(nm, i, c, s);
        }
      }
      long double z = w[k];
      if (l == k) {
        if (z < 0.0L) {
          w[k] = -z;
          vTurns.AddSignChange(k);
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
        vTurns.Add(j, i, c, s);
        z = PythagL(f, h);
        w[j] = z;
        if (z != 0.0L) {
          z = 1.0L / z;
          c = f * z;
          s = h * z;
        }
        f = c * g + s * y;
        x = c * y - s * g;
        uTurns.Add(j, i, c, s);
      }
      rv1[l] = 0.0L;
      rv1[k] = f;
      w[k] = x;
    }
  }
}

// Columns `columns` of V = (right-hand transformations)·(V's rotations), as
// columns 1.. of v.
void FormRightVectors(const LMatrix& a, std::int32_t n, const Bidiagonal& b, const matrixu::PlaneRotations& turns,
                      const std::vector<std::int32_t>& columns, LMatrix& v) {
  std::vector<long double> x;
  turns.ProductColumns(columns, x, n, {0.92L, 1.0L});
  const auto length = static_cast<std::size_t>(n);
  std::vector<double> scaled(length + 1), row(length + 1);
  // V = H₁···H_{n-1} with H_i = I + v_i·a_iᵀ on coordinates i+1..n, a_i row
  // i of the reduced a and v_i = a_i / a(i, i+1) / g.
  for (std::int32_t i = n - 1; i >= 1; --i) {
    const long double g = b.rightG[i + 1];
    if (g == 0.0L) continue;
    const std::int32_t l = i + 1;
    const long double ail = a(i, l);
    for (std::int32_t k = l; k <= n; ++k) {
      row[static_cast<std::size_t>(k)] = a(i, k);
      scaled[static_cast<std::size_t>(k)] = static_cast<double>((static_cast<long double>(a(i, k)) / ail) / g);
    }
    matrixu::ReflectVectors(x.data(), length, columns.size(), row.data(), scaled.data(), l, n,
                            [](long double s) { return s; });
  }
  for (std::size_t j = 0; j < columns.size(); ++j) {
    double* column = v.Column(static_cast<std::int32_t>(j) + 1);
    for (std::size_t k = 0; k < length; ++k) column[k + 1] = static_cast<double>(x[j * length + k]);
  }
}

// Columns `columns` of U = (left-hand transformations)·(U's rotations), as
// columns 1.. of u (m rows, m >= n).
void FormLeftVectors(const LMatrix& a, std::int32_t m, std::int32_t n, const Bidiagonal& b,
                     const matrixu::PlaneRotations& turns, const std::vector<std::int32_t>& columns, LMatrix& u) {
  std::vector<long double> x;
  turns.ProductColumns(columns, x, n, {0.85L, 0.92L});
  const auto length = static_cast<std::size_t>(n), rows = static_cast<std::size_t>(m);
  std::vector<long double> y(columns.size() * rows, 0.0L);
  for (std::size_t j = 0; j < columns.size(); ++j)
    std::copy_n(x.data() + j * length, length, y.data() + j * rows);
  // U = H₁···H_n·(the first n columns of I) with H_i = I + a_i·a_iᵀ / (a(i, i)·g)
  // on rows i..m, a_i column i of the reduced a.
  for (std::int32_t i = n; i >= 1; --i) {
    const long double g = b.leftG[i];
    if (g == 0.0L) continue;
    const double* ai = a.Column(i);
    const long double inverse = 1.0L / g;
    matrixu::ReflectVectors(y.data(), rows, columns.size(), ai, ai, i, m,
                            [&](long double s) { return (s / ai[i]) * inverse; });
  }
  for (std::size_t j = 0; j < columns.size(); ++j) {
    double* column = u.Column(static_cast<std::int32_t>(j) + 1);
    for (std::size_t k = 0; k < rows; ++k) column[k + 1] = static_cast<double>(y[j * rows + k]);
  }
}

// The decomposition of a (m×n, column-major): a becomes U, w the singular
// values and v V, each rotation of the diagonalisation carried into every
// column (in blocks of rows, after the diagonalisation).
void SvdWork(LMatrix& a, std::int32_t m, std::int32_t n, LVector& w, LMatrix& v, std::int32_t maxIterations) {
  Bidiagonal b(n);
  const rtl::ScopeExit values([&] {
    for (std::int32_t i = 1; i <= n; ++i) w[i] = b.w[i];
  });
  Bidiagonalise(a, m, n, b, {0.0L, 0.3L});
  AccumulateRight(a, n, b, v);
  AccumulateLeft(a, m, n, b);
  matrixu::PlaneRotations uTurns, vTurns;
  const rtl::ScopeExit turn([&] {
    uTurns.TurnColumns(a, m, {0.35L, 0.95L});
    vTurns.TurnColumns(v, n, {0.95L, 1.0L});
  });
  Diagonalise(n, b, maxIterations, uTurns, vTurns, {0.3L, 0.35L});
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

namespace {

// SvdSorted's placement of the first k columns for w as Svdcmp leaves it:
// sorts w and calls exchange(i, j) for each exchange of columns i and j.
template <class Exchange>
void PlaceColumns(std::int32_t n, std::int32_t k, vect_mx& w, Exchange exchange) {
  if (NonIncreasing(n, w)) return;
  ivect_mx idx(n);
  for (std::int32_t i = 1; i <= n; ++i) idx.Put(i, i);
  SortDescendingWithIndex(n, w, idx);
  for (std::int32_t i = 1; i <= k; ++i) {
    const std::int32_t j = idx.Get(i);
    if (j == i) continue;
    for (std::int32_t later = i + 1; later <= n; ++later)
      if (idx.Get(later) == i) idx.Put(later, j);
    exchange(i, j);
  }
}

void ZeroColumnsAfter(Rect_mx& z, std::int32_t rows, std::int32_t cols, std::int32_t k) {
  for (std::int32_t j = k + 1; j <= cols; ++j)
    for (std::int32_t r = 1; r <= rows; ++r) z.putxij(r, j, 0.0);
}

}  // namespace

bool SvdSorted(std::int32_t m, std::int32_t n, std::int32_t k, std::int32_t leftOption, std::int32_t rightOption,
               Rect_mx& u, Rect_mx& v, vect_mx& w) {
  matrixu::ScaleFactor(kSvdScaling, leftOption, 1.0L);  // refuse an unknown option before anything changes
  matrixu::ScaleFactor(kSvdScaling, rightOption, 1.0L);
  PlaceColumns(n, k, w, [&](std::int32_t i, std::int32_t j) {
    SwapColumns(u, m, i, j);
    SwapColumns(v, n, i, j);
  });
  for (std::int32_t i = 1; i <= k; ++i) {
    const bool negate = u.getxij(1, i) < 0.0;
    const long double value = w.Get(i);
    ScaleSingularVector(u, m, i, leftOption, value, negate);
    ScaleSingularVector(v, n, i, rightOption, value, negate);
  }
  return true;
}

bool SvdLeading(std::int32_t m, std::int32_t n, std::int32_t k, std::int32_t leftOption, std::int32_t rightOption,
                Rect_mx& u, Rect_mx& v, vect_mx& w, std::int32_t maxIterations) {
  if (m < n || k < 0 || k > n) throw E_Morvapc_Internal("SVD of a matrix with fewer rows than columns");
  matrixu::ScaleFactor(kSvdScaling, leftOption, 1.0L);
  matrixu::ScaleFactor(kSvdScaling, rightOption, 1.0L);
  if (n < 64 || 2 * k > n) {
    // Forming every vector and turning them costs about as much as forming
    // half of them one by one; below order 64 either costs too little to choose.
    Svdcmp(u, m, n, w, v, maxIterations);
  } else {
    if (maxIterations < 1) throw E_Morvapc_Internal("SVD needs at least one iteration");
    matrixu::RefuseNonFinite(u, m, n);
    LMatrix aw = LMatrix::From(u, m, n);
    Bidiagonal b(n);
    const rtl::ScopeFail values([&] { b.w.StoreTo(w, n); });
    Bidiagonalise(aw, m, n, b, {0.0L, 0.8L});
    matrixu::PlaneRotations uTurns, vTurns;
    Diagonalise(n, b, maxIterations, uTurns, vTurns, {0.8L, 0.85L});
    b.w.StoreTo(w, n);
    std::vector<std::int32_t> at(static_cast<std::size_t>(n));
    for (std::int32_t i = 1; i <= n; ++i) at[static_cast<std::size_t>(i - 1)] = i;
    PlaceColumns(n, k, w, [&](std::int32_t i, std::int32_t j) {
      std::swap(at[static_cast<std::size_t>(i - 1)], at[static_cast<std::size_t>(j - 1)]);
    });
    at.resize(static_cast<std::size_t>(k));
    LMatrix uw(m, n), vw(n, n);
    FormLeftVectors(aw, m, n, b, uTurns, at, uw);
    FormRightVectors(aw, n, b, vTurns, at, vw);
    uw.StoreTo(u, m, n);
    vw.StoreTo(v, n, n);
  }
  SvdSorted(m, n, k, leftOption, rightOption, u, v, w);
  ZeroColumnsAfter(u, m, n, k);
  ZeroColumnsAfter(v, n, n, k);
  return true;
}
