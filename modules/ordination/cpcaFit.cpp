#include "modules/ordination/cpcaFit.h"

#include <cmath>
#include <string>

#include "matrix/Constu.h"
#include "matrix/Matrixu.h"
#include "matrix/Probd.h"
#include "rtl/Convert.h"
#include "rtl/Format.h"
#include "shell/Progress.h"

namespace {

constexpr std::int32_t kMaxSweeps = 15;
// The G step stops when s moved less than this.
constexpr double kRotationConvergence = 0.0001;

std::unique_ptr<Rect_mx> Identity(std::int32_t p) {
  auto m = std::make_unique<Rect_mx>(p, p);
  m->Fill(0.0);
  for (std::int32_t i = 1; i <= p; ++i) m->putxij(i, i, 1.0);
  return m;
}

std::unique_ptr<Rect_mx> CopyOf(const Rect_mx& m) {
  auto copy = std::make_unique<Rect_mx>(m.rows(), m.cols());
  m.CopyTo(*copy);
  return copy;
}

double LargestChange(const Rect_mx& now, const Rect_mx& before) {
  double largest = 0;
  for (std::int32_t i = 1; i <= now.rows(); ++i)
    for (std::int32_t j = 1; j <= now.cols(); ++j)
      largest = std::max(largest, std::fabs(now.getxij(i, j) - before.getxij(i, j)));
  return largest;
}

// Columns j and l of m := (c m_j + s m_l, c m_l - s m_j), in the form the FG
// sweep uses (with tau = s / (1 + c)).
void RotateColumns(Rect_mx& m, std::int32_t j, std::int32_t l, const TCpcaRotation& r) {
  const double tau = r.s / (1.0 + r.c);
  for (std::int32_t row = 1; row <= m.rows(); ++row) {
    const double x = m.getxij(row, j);
    const double y = m.getxij(row, l);
    m.putxij(row, j, x + r.s * (y - tau * x));
    m.putxij(row, l, y - r.s * (x + tau * y));
  }
}

// S := R^T S R in the plane of j and l, both triangles kept.
void RotateSymmetric(Rect_mx& s, std::int32_t j, std::int32_t l, const TCpcaRotation& r) {
  const double a = s.getxij(j, j), b = s.getxij(j, l), d = s.getxij(l, l);
  const double t = r.s / r.c, c2 = r.c * r.c;
  const double tau = r.s / (1.0 + r.c);
  s.putxij(j, j, (a + 2.0 * t * b + t * t * d) * c2);
  s.putxij(l, l, (t * t * a - 2.0 * t * b + d) * c2);
  const double jl = ((d - a) * t + (1.0 - t * t) * b) * c2;
  s.putxij(j, l, jl);
  s.putxij(l, j, jl);
  for (std::int32_t m = 1; m <= s.rows(); ++m) {
    if (m == j || m == l) continue;
    const double x = s.getxij(m, j);
    const double y = s.getxij(m, l);
    const double mj = x + r.s * (y - tau * x);
    const double ml = y - r.s * (x + tau * y);
    s.putxij(m, j, mj);
    s.putxij(j, m, mj);
    s.putxij(m, l, ml);
    s.putxij(l, m, ml);
  }
}

Tarrayi PairOf(const Rect_mx& s, std::int32_t j, std::int32_t l) {
  return {s.getxij(j, j), s.getxij(j, l), s.getxij(l, j), s.getxij(l, l)};
}

// H^T S H for the p x 2 matrix H of columns j and l of b.
Tarrayi ProjectedPair(const Rect_mx& s, const Rect_mx& b, std::int32_t j, std::int32_t l) {
  Tarrayi t;
  for (std::int32_t r = 1; r <= s.rows(); ++r) {
    for (std::int32_t q = 1; q <= s.rows(); ++q) {
      const double v = s.getxij(r, q);
      t.a11 += b.getxij(r, j) * v * b.getxij(q, j);
      t.a12 += b.getxij(r, j) * v * b.getxij(q, l);
      t.a21 += b.getxij(r, l) * v * b.getxij(q, j);
      t.a22 += b.getxij(r, l) * v * b.getxij(q, l);
    }
  }
  return t;
}

// Sweeps over every pair of columns until B settles. rotatePair finds and
// applies the rotation of one pair.
template <class RotatePair>
TCpcaConvergence Sweep(Rect_mx& b, double convergence, RotatePair rotatePair, bool progressPerSweep) {
  const std::int32_t p = b.rows();
  TCpcaConvergence result;
  for (;;) {
    Progress("", -2);
    ++result.iterations;
    const std::unique_ptr<Rect_mx> before = CopyOf(b);
    for (std::int32_t j = 1; j < p; ++j)
      for (std::int32_t l = j + 1; l <= p; ++l) rotatePair(j, l);
    result.criterion = LargestChange(b, *before);
    if (progressPerSweep) {
      Progress("Iterations", static_cast<std::int32_t>(rtl::Round((result.iterations - 1) / 15.0L)));
    }
    if (result.criterion < convergence || result.iterations >= kMaxSweeps) return result;
  }
}

// ln det of a copy of m; false when a pivot falls below the tolerance.
bool LnDeterminant(const Rect_mx& m, double tolerance, double& lnDet) {
  const std::unique_ptr<Rect_mx> copy = CopyOf(m);
  double det = 0;
  if (!MatInverse(*copy, det, true, tolerance)) return false;
  lnDet = std::log(det);
  return true;
}

void ListTest(double x2, double df, double p) {
  ListingWriteLine(rtl::Format("X2 = %10.5f P = %7.5f", x2, p));
  ListingWriteLine(rtl::Format("df = %10.0f", df));
}

}  // namespace

void CpcaCovariance(const Rect_mx& x, Rect_mx& s) {
  const std::int32_t n = x.rows(), p = x.cols();
  std::vector<long double> mean(static_cast<std::size_t>(p) + 1, 0.0L);
  for (std::int32_t j = 1; j <= p; ++j) {
    for (std::int32_t r = 1; r <= n; ++r) mean[static_cast<std::size_t>(j)] += x.getxij(r, j);
    mean[static_cast<std::size_t>(j)] /= n;
  }
  for (std::int32_t j = 1; j <= p; ++j) {
    // A cancel stops here at once: half a matrix must not reach the fit.
    AbortCheck();
    for (std::int32_t l = 1; l <= j; ++l) {
      long double sum = 0.0L;
      for (std::int32_t r = 1; r <= n; ++r) {
        sum +=
            (x.getxij(r, j) - mean[static_cast<std::size_t>(j)]) * (x.getxij(r, l) - mean[static_cast<std::size_t>(l)]);
      }
      const double v = static_cast<double>(sum / (n - 1));
      s.putxij(j, l, v);
      s.putxij(l, j, v);
    }
  }
}

std::unique_ptr<Rect_mx> CpcaPooled(const TCpcaGroups& groups, double& det) {
  const std::int32_t p = groups.p();
  auto w = std::make_unique<Rect_mx>(p, p);
  long double freedom = 0.0L;
  for (double n : groups.sizes) freedom += n - 1.0;
  for (std::int32_t j = 1; j <= p; ++j) {
    for (std::int32_t l = 1; l <= p; ++l) {
      long double sum = 0.0L;
      for (std::int32_t i = 0; i < groups.g(); ++i) {
        sum += (groups.sizes[static_cast<std::size_t>(i)] - 1.0) * groups.covariances[i].getxij(j, l);
      }
      w->putxij(j, l, static_cast<double>(sum / freedom));
    }
  }
  const std::unique_ptr<Rect_mx> factor = CopyOf(*w);
  MatInverse(*factor, det, true, 1e-200);
  return w;
}

std::array<double, 2> CpcaEigen2x2(const Tarrayi& t) {
  // lambda - t11 = root - half, taken as t12^2 / (root + half) when half is
  // positive: near convergence t12 is tiny and the difference would cancel
  // to nothing, leaving the rotation unfinished.
  const double half = (t.a11 - t.a22) / 2.0;
  const double root = std::sqrt(half * half + t.a12 * t.a12);
  const double rise = half > 0.0 ? t.a12 * t.a12 / (root + half) : root - half;
  const double r = std::sqrt(rise * rise + t.a12 * t.a12);
  if (r < 1e-10) return {1.0, 0.0};
  return {t.a12 / r, rise / r};
}

TCpcaRotation CpcaGAlgorithm(const Tarray& t, const std::vector<double>& sizes) {
  TCpcaRotation r;
  const std::size_t g = t.size();
  std::vector<double> weights(g);
  for (std::size_t round = 0; round < g; ++round) {
    const double sOld = r.s;
    const double cc = r.c * r.c, ss = r.s * r.s, cs = r.c * r.s;
    Tarrayi sum;
    for (std::size_t i = 0; i < g; ++i) {
      const double d1 = cc * t[i].a11 + ss * t[i].a22 + 2.0 * cs * t[i].a12;
      const double d2 = cc * t[i].a22 + ss * t[i].a11 - 2.0 * cs * t[i].a21;
      if (!(d1 > 0.0) || !(d2 > 0.0)) {
        throw E_Morvapc(rtl::Format("Problem in convergence in GALG for group %d", static_cast<std::int32_t>(i + 1)));
      }
      weights[i] = sizes[i] * (d1 - d2) / (d1 * d2);
    }
    for (std::size_t i = 0; i < g; ++i) {
      sum.a11 += weights[i] * t[i].a11;
      sum.a12 += weights[i] * t[i].a12;
      sum.a21 += weights[i] * t[i].a21;
      sum.a22 += weights[i] * t[i].a22;
    }
    // Of the columns (v1, v2) and (-v2, v1) the one with the larger first
    // component, turned so that it is not negative.
    const std::array<double, 2> v = CpcaEigen2x2(sum);
    const std::array<double, 2> column = std::fabs(v[0]) >= std::fabs(v[1]) ? v : std::array<double, 2>{-v[1], v[0]};
    r.c = std::fabs(column[0]);
    r.s = column[0] < 0.0 ? -column[1] : column[1];
    if (std::fabs(r.s - sOld) < kRotationConvergence) break;
  }
  return r;
}

TCpcaConvergence CpcaFGIterate(TCpcaGroups& groups, Rect_mx& b, double convergence) {
  const std::unique_ptr<Rect_mx> identity = Identity(groups.p());
  identity->CopyTo(b);
  Progress("Iterating", 5);
  Tarray pair(static_cast<std::size_t>(groups.g()));
  const TCpcaConvergence result = Sweep(
      b, convergence,
      [&](std::int32_t j, std::int32_t l) {
        for (std::int32_t i = 0; i < groups.g(); ++i)
          pair[static_cast<std::size_t>(i)] = PairOf(groups.covariances[i], j, l);
        const TCpcaRotation r = CpcaGAlgorithm(pair, groups.sizes);
        RotateColumns(b, j, l, r);
        for (std::int32_t i = 0; i < groups.g(); ++i) RotateSymmetric(groups.covariances[i], j, l, r);
      },
      true);
  Progress("Done", 80);
  ListingWriteLine("");
  ListingWriteLine(
      rtl::Format("Convergence criterion = %10.6f after %d iterations.", result.criterion, result.iterations));
  if (result.criterion >= convergence) ListingWriteLine("Convergence criterion not as small as expected.");
  return result;
}

TCpcaConvergence CpcaSlowAlgorithm(TCpcaGroups& groups, Rect_mx& b, double convergence) {
  Tarray pair(static_cast<std::size_t>(groups.g()));
  const TCpcaConvergence result = Sweep(
      b, convergence,
      [&](std::int32_t j, std::int32_t l) {
        for (std::int32_t i = 0; i < groups.g(); ++i) {
          pair[static_cast<std::size_t>(i)] = ProjectedPair(groups.covariances[i], b, j, l);
        }
        RotateColumns(b, j, l, CpcaGAlgorithm(pair, groups.sizes));
      },
      false);
  if (result.criterion >= convergence) {
    ListingWriteLine(rtl::Format("Convergence criterion %f not as small as expected.", result.criterion));
  }
  const std::int32_t p = groups.p();
  for (std::int32_t i = 0; i < groups.g(); ++i) {
    Rect_mx rotated(p, p);
    MatAtBA(b, groups.covariances[i], rotated);
    rotated.CopyTo(groups.covariances[i]);
  }
  return result;
}

void CpcaSortComponents(TCpcaGroups& groups, Rect_mx& b) {
  const std::int32_t p = groups.p();
  std::vector<double> sums(static_cast<std::size_t>(p) + 1, 0.0);
  for (std::int32_t j = 1; j <= p; ++j)
    for (std::int32_t i = 0; i < groups.g(); ++i)
      sums[static_cast<std::size_t>(j)] += groups.covariances[i].getxij(j, j);
  const auto swapColumns = [](Rect_mx& m, std::int32_t a, std::int32_t c) {
    for (std::int32_t r = 1; r <= m.rows(); ++r) {
      const double x = m.getxij(r, a);
      m.putxij(r, a, m.getxij(r, c));
      m.putxij(r, c, x);
    }
  };
  const auto swapRows = [](Rect_mx& m, std::int32_t a, std::int32_t c) {
    for (std::int32_t q = 1; q <= m.cols(); ++q) {
      const double x = m.getxij(a, q);
      m.putxij(a, q, m.getxij(c, q));
      m.putxij(c, q, x);
    }
  };
  for (std::int32_t place = 1; place < p; ++place) {
    std::int32_t largest = place;
    for (std::int32_t j = place + 1; j <= p; ++j)
      if (sums[static_cast<std::size_t>(j)] >= sums[static_cast<std::size_t>(largest)]) largest = j;
    if (largest == place) continue;
    std::swap(sums[static_cast<std::size_t>(place)], sums[static_cast<std::size_t>(largest)]);
    swapColumns(b, place, largest);
    for (std::int32_t i = 0; i < groups.g(); ++i) {
      swapRows(groups.covariances[i], place, largest);
      swapColumns(groups.covariances[i], place, largest);
    }
  }
}

void CpcaFastAlgorithm(TCpcaGroups& groups, Rect_mx& b, Rect_mx& lam, double convergence) {
  const std::int32_t p = groups.p();
  Progress("Trying fast algorithm", 20);
  TRectMxList unrotated;
  for (std::int32_t i = 0; i < groups.g(); ++i) unrotated.Add(CopyOf(groups.covariances[i]));
  const TCpcaConvergence fast = CpcaFGIterate(groups, b, convergence);
  if (fast.iterations < 2) {
    ListingWriteLine("Fast algorithm failed, trying original (slower) method.");
    // Each pair of neighbouring rows turned by the angle whose cosine and
    // sine stand as 0.7 to 0.6; taken as they stand (0.7 and 0.6) the
    // pairs would shrink B, and the rotations of the slower method keep
    // whatever B they start from, so B would not be orthogonal.
    const double length = std::sqrt(0.7 * 0.7 + 0.6 * 0.6);
    const double c = 0.7 / length, s = 0.6 / length;
    for (std::int32_t j = 1; j < p; ++j) {
      for (std::int32_t r = 1; r <= p; ++r) {
        const double x = b.getxij(j, r), y = b.getxij(j + 1, r);
        b.putxij(j, r, c * x + s * y);
        b.putxij(j + 1, r, c * y - s * x);
      }
    }
    // The slower scheme starts again from the matrices as read.
    for (std::int32_t i = 0; i < groups.g(); ++i) unrotated[i].CopyTo(groups.covariances[i]);
    CpcaSlowAlgorithm(groups, b, convergence);
  }
  Progress("Sorting eigenvalues and vectors", 85);
  CpcaSortComponents(groups, b);
  for (std::int32_t i = 1; i <= groups.g(); ++i)
    for (std::int32_t j = 1; j <= p; ++j) lam.putxij(i, j, groups.covariances[i - 1].getxij(j, j));
}

TCpcaStatistics CpcaStatistics(const TCpcaGroups& fitted, std::int32_t totalSize, double pooledDet, const Rect_mx& b) {
  const std::int32_t p = fitted.p(), g = fitted.g();
  TCpcaStatistics stats;
  long double x2 = 0.0L;
  for (std::int32_t i = 0; i < g; ++i) {
    const Rect_mx& f = fitted.covariances[i];
    double lnDet = 0;
    if (!LnDeterminant(f, 1e-20, lnDet)) {
      throw E_Morvapc("Determinate of covariances among CPC is 0 for group " + rtl::IntToStr(i + 1));
    }
    long double lnDiagonal = 0.0L;
    for (std::int32_t j = 1; j <= p; ++j) lnDiagonal += std::log(f.getxij(j, j));
    x2 += fitted.sizes[static_cast<std::size_t>(i)] * (lnDiagonal - lnDet);
  }
  stats.modelX2 = static_cast<double>(x2);
  stats.modelDf = (g - 1) * p * (p - 1) * 0.5;

  long double y = totalSize * std::log(static_cast<long double>(pooledDet));
  Rect_mx c(p, p);
  for (std::int32_t i = 0; i < g; ++i) {
    const Rect_mx& f = fitted.covariances[i];
    for (std::int32_t r = 1; r <= p; ++r) {
      for (std::int32_t q = 1; q <= p; ++q) {
        long double sum = 0.0L;
        for (std::int32_t j = 1; j <= p; ++j) sum += b.getxij(r, j) * f.getxij(j, j) * b.getxij(q, j);
        c.putxij(r, q, static_cast<double>(sum));
      }
    }
    const std::unique_ptr<Rect_mx> factor = CopyOf(c);
    double det = 0;
    MatInverse(*factor, det, true, 1e-20);
    stats.componentDeterminants.push_back(det);
    y -= fitted.sizes[static_cast<std::size_t>(i)] * std::log(static_cast<long double>(det));
  }
  stats.equalityY = static_cast<double>(y);
  stats.equalityDf = (g - 1) * p;
  return stats;
}

void CpcaTests(const TCpcaGroups& fitted, std::int32_t totalSize, double pooledDet, const Rect_mx& b) {
  const TCpcaStatistics stats = CpcaStatistics(fitted, totalSize, pooledDet, b);
  // One variable leaves the model nothing to constrain (0 degrees of
  // freedom): it fits, rather than taking the probability function's
  // failure value of 0 for a rejection.
  const double modelP = stats.modelDf > 0 ? ChiSqProb(stats.modelX2, stats.modelDf) : 1.0;
  ListingWriteLine("");
  ListingWriteLine("Test for common principal components model:");
  ListTest(stats.modelX2, stats.modelDf, modelP);
  ListingWriteLine(modelP < 0.05 ? "The models does not seem to fit." : "The model seems to fit.");
  ListingWriteLine("Note: this test assumes large sample sizes.");
  ListingWriteLine("");

  ListingWriteLine("Determinate of pooled within-groups matrix:");
  ListingWriteLine(rtl::Format("  %e", pooledDet));
  ListingWriteLine("");
  ListingWriteLine("Determinates of covariance among common PCAs for each group:");
  for (std::size_t i = 0; i < stats.componentDeterminants.size(); ++i) {
    ListingWriteLine(rtl::Format("%7d  %e", static_cast<std::int32_t>(i + 1), stats.componentDeterminants[i]));
  }
  ListingWriteLine("");
  ListingWriteLine("Test of equality of covariance matrices versus the");
  ListingWriteLine("common principal components model:");
  if (stats.equalityY > 0.0) {
    const double p = ChiSqProb(stats.equalityY, stats.equalityDf);
    ListTest(stats.equalityY, stats.equalityDf, p);
    ListingWriteLine(p < 0.05 ? "The covariance matrices do not seem to be homogeneous."
                              : "The covariance matrices seem to be homogeneous.");
  } else {
    ListingWriteLine(" *not defined* (X2 value < 0)");
  }
}
