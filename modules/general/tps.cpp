#include "modules/general/tps.h"

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "matrix/Constu.h"
#include "matrix/MatrixList.h"
#include "matrix/Matrixu.h"
#include "rtl/Format.h"
#include "shell/Config.h"
#include "shell/Progress.h"

namespace {

// A pivot at or below this share of the terms that made it is rounding.
constexpr long double kNegligiblePivot = 1e-10L;

constexpr double kEigenTolerance = 1e-8;
constexpr double kNoValue = 99;

std::size_t At(std::int32_t i) { return static_cast<std::size_t>(i); }

[[noreturn]] void Singular() {
  ListingWriteLine("Problem in calculation - matrix is singular");
  throw E_Morvapc("Matrix is singular");
}

// The reference must have more landmarks than an affine map has parameters,
// and no two of them in one place.
void CheckReference(std::int32_t dimensions, const Rect_mx& reference) {
  const std::int32_t p = reference.cols();
  if (p <= dimensions + 1) {
    throw E_Morvapc(rtl::Format("The reference has %d landmarks: %d-dimensional data need at least %d", p, dimensions,
                                dimensions + 2));
  }
  for (std::int32_t i = 2; i <= p; ++i) {
    for (std::int32_t j = 1; j < i; ++j) {
      bool same = true;
      for (std::int32_t d = 1; d <= dimensions; ++d) same = same && reference.getxij(d, i) == reference.getxij(d, j);
      if (same) throw E_Morvapc(rtl::Format("Reference landmarks %d and %d coincide", j, i));
    }
  }
}

// L: the kernel of every pair of landmarks (r² ln r² in 2-D, r in 3-D), then
// a column of ones and the coordinates, and their transpose below.
std::unique_ptr<Rect_mx> SplineMatrix(std::int32_t dimensions, const Rect_mx& reference) {
  const std::int32_t p = reference.cols(), m = p + dimensions + 1;
  auto matrix = std::make_unique<Rect_mx>(m, m);
  Rect_mx& L = *matrix;
  L.Fill(0);
  for (std::int32_t i = 1; i <= p; ++i) {
    for (std::int32_t j = 1; j < i; ++j) {
      long double r2 = 0;
      for (std::int32_t d = 1; d <= dimensions; ++d) {
        const long double delta = static_cast<long double>(reference.getxij(d, i)) - reference.getxij(d, j);
        r2 += delta * delta;
      }
      const auto u = static_cast<double>(dimensions == 2 ? r2 * std::log(r2) : std::sqrt(r2));
      L.putxij(i, j, u);
      L.putxij(j, i, u);
    }
    L.putxij(i, p + 1, 1);
    L.putxij(p + 1, i, 1);
    for (std::int32_t d = 1; d <= dimensions; ++d) {
      L.putxij(i, p + 1 + d, reference.getxij(d, i));
      L.putxij(p + 1 + d, i, reference.getxij(d, i));
    }
  }
  return matrix;
}

// The landmarks of object i (DIM x p) less their mean, scaled to unit
// centroid size.
std::unique_ptr<Rect_mx> CentredUnitSize(const rect_mx3& x, std::int32_t i) {
  const std::int32_t p = x.m2(), dims = x.m3();
  auto centred = std::make_unique<Rect_mx>(dims, p);
  Rect_mx& s = *centred;
  long double squares = 0;
  for (std::int32_t d = 1; d <= dims; ++d) {
    long double mean = 0;
    for (std::int32_t l = 1; l <= p; ++l) mean += x.get(i, l, d);
    mean /= p;
    for (std::int32_t l = 1; l <= p; ++l) {
      const long double c = x.get(i, l, d) - mean;
      s.putxij(d, l, static_cast<double>(c));
      squares += c * c;
    }
  }
  s.Scale(static_cast<double>(1 / std::sqrt(squares)));
  return centred;
}

}  // namespace

double TpsLUDecompose(Rect_mx& a, std::int32_t n, ivect_mx& index) {
  std::vector<long double> scale(At(n) + 1), terms(At(n) + 1);
  for (std::int32_t i = 1; i <= n; ++i) {
    long double big = 0;
    for (std::int32_t j = 1; j <= n; ++j) big = std::max(big, static_cast<long double>(std::fabs(a.getxij(i, j))));
    if (big == 0) Singular();
    scale[At(i)] = 1 / big;
  }
  double sign = 1;
  for (std::int32_t j = 1; j <= n; ++j) {
    for (std::int32_t i = 1; i < j; ++i) {
      long double sum = a.getxij(i, j);
      for (std::int32_t q = 1; q < i; ++q) sum -= static_cast<long double>(a.getxij(i, q)) * a.getxij(q, j);
      a.putxij(i, j, static_cast<double>(sum));
    }
    long double big = 0;
    std::int32_t pivot = j;
    for (std::int32_t i = j; i <= n; ++i) {
      long double sum = a.getxij(i, j);
      long double size = std::fabs(sum);
      for (std::int32_t q = 1; q < j; ++q) {
        const long double term = static_cast<long double>(a.getxij(i, q)) * a.getxij(q, j);
        sum -= term;
        size += std::fabs(term);
      }
      a.putxij(i, j, static_cast<double>(sum));
      terms[At(i)] = size;
      const long double measure = scale[At(i)] * std::fabs(sum);
      if (measure > big) {
        big = measure;
        pivot = i;
      }
    }
    if (pivot != j) {
      for (std::int32_t q = 1; q <= n; ++q) {
        const double x = a.getxij(pivot, q);
        a.putxij(pivot, q, a.getxij(j, q));
        a.putxij(j, q, x);
      }
      sign = -sign;
      scale[At(pivot)] = scale[At(j)];
      std::swap(terms[At(pivot)], terms[At(j)]);
    }
    index.Put(j, pivot);
    if (std::fabs(static_cast<long double>(a.getxij(j, j))) <= kNegligiblePivot * terms[At(j)]) Singular();
    for (std::int32_t i = j + 1; i <= n; ++i) a.putxij(i, j, a.getxij(i, j) / a.getxij(j, j));
  }
  return sign;
}

void TpsLUSolve(const Rect_mx& a, std::int32_t n, const ivect_mx& index, vect_mx& b) {
  std::int32_t first = 0;
  for (std::int32_t i = 1; i <= n; ++i) {
    const std::int32_t q = index.Get(i);
    long double sum = b.Get(q);
    b.Put(q, b.Get(i));
    if (first != 0) {
      for (std::int32_t j = first; j < i; ++j) sum -= static_cast<long double>(a.getxij(i, j)) * b.Get(j);
    } else if (sum != 0) {
      first = i;
    }
    b.Put(i, static_cast<double>(sum));
  }
  for (std::int32_t i = n; i >= 1; --i) {
    long double sum = b.Get(i);
    for (std::int32_t j = i + 1; j <= n; ++j) sum -= static_cast<long double>(a.getxij(i, j)) * b.Get(j);
    b.Put(i, static_cast<double>(sum / a.getxij(i, i)));
  }
}

TTpsSpline TpsBendingEnergy(const TTpsSettings& settings, const Rect_mx& reference) {
  const std::int32_t dims = settings.dimensions, p = reference.cols(), m = p + dims + 1;
  Progress("Computing bending energy matrix ...", 10);
  CheckReference(dims, reference);
  const std::unique_ptr<Rect_mx> matrix = SplineMatrix(dims, reference);
  Rect_mx& L = *matrix;
  ivect_mx index(m);
  TpsLUDecompose(L, m, index);

  TTpsSpline spline;
  spline.inverse = std::make_unique<Rect_mx>(p, p);
  spline.affine = std::make_unique<Rect_mx>(dims + 1, p);
  vect_mx column(m);
  for (std::int32_t i = 1; i <= m; ++i) {
    column.Fill(0);
    column.Put(i, 1);
    TpsLUSolve(L, m, index, column);
    for (std::int32_t l = 1; l <= p; ++l) {
      if (i <= p) {
        spline.inverse->putxij(i, l, column.Get(l));
      } else {
        spline.affine->putxij(i - p, l, column.Get(l));
      }
    }
  }

  // The bending energy matrix: the inverse block, negated in 3-D.
  spline.warps = std::make_unique<Rect_mx>(p, p);
  long double trace = 0;
  for (std::int32_t i = 1; i <= p; ++i) {
    for (std::int32_t j = 1; j <= i; ++j) {
      const double v = dims == 3 ? -spline.inverse->getxij(i, j) : spline.inverse->getxij(i, j);
      spline.warps->putxij(i, j, v);
      spline.warps->putxij(j, i, v);
    }
    trace += spline.warps->getxij(i, i);
  }
  Progress("Computing principal warps ...", 40);
  spline.energies = std::make_unique<vect_mx>(p);
  std::int32_t count = 0;
  EigenSym(p, *spline.warps, *spline.energies, 2, kEigenTolerance, count);
  if (settings.detail) {
    ListingWriteLine("");
    ListingWriteLine("Normalized principal warps:");
    ListingWriteLine("(rows are landmarks, columns are principal warps)");
    List(*spline.warps, true, Config().listingFormat);
  }
  ListingWriteLine("");
  ListingWriteLine("Bending energies for each principal warp:");
  ListEigenvalues(p, *spline.energies, static_cast<double>(trace));
  ListingWriteLine("");
  return spline;
}

void TpsPartialWarpScores(const rect_mx3& x, const Rect_mx& reference, const TTpsSpline& spline, double alpha,
                          rect_mx3& weights) {
  const std::int32_t n = x.rows(), p = x.m2(), dims = x.m3(), k = p - dims - 1;
  const double c0 = 1 / std::sqrt(static_cast<double>(n));
  const vect_mx& ev = *spline.energies;
  if (alpha != 0) {
    for (std::int32_t j = 1; j <= k; ++j) {
      if (ev.Get(j) > 0) continue;
      throw E_Morvapc(rtl::Format(
          "The bending energy of principal warp %d of the reference is not positive: alpha must be 0 for it", j));
    }
  }
  for (std::int32_t j = 1; j <= weights.m2(); ++j) {
    double f = c0;
    if (alpha != 0 && j <= k) {
      f = alpha == 1 ? c0 / std::sqrt(ev.Get(j)) : c0 * std::exp(-0.5 * alpha * std::log(ev.Get(j)));
    }
    for (std::int32_t i = 1; i <= n; ++i) {
      for (std::int32_t d = 1; d <= dims; ++d) {
        long double sum = 0;
        for (std::int32_t l = 1; l <= p; ++l) {
          sum += (static_cast<long double>(x.get(i, l, d)) - reference.getxij(d, l)) * spline.warps->getxij(l, j);
        }
        weights.put(i, j, d, static_cast<double>(f * sum));
      }
    }
  }
}

TTpsAffineSummary TpsAffineSummary(double b11, double b12, double b21, double b22) {
  const long double first = static_cast<long double>(b11) * b11 + static_cast<long double>(b21) * b21;
  const long double second = static_cast<long double>(b12) * b12 + static_cast<long double>(b22) * b22;
  const long double cross = static_cast<long double>(b11) * b12 + static_cast<long double>(b21) * b22;
  const long double S = first + second, Q = first * second - cross * cross;
  // Rounding may leave the two differences below 0 where they are 0.
  const long double lambda1 = 0.5L * (S + std::sqrt(std::max(0.0L, S * S - 4 * Q)));
  const long double d = lambda1 - first;
  TTpsAffineSummary summary;
  summary.tangent = d == 0 ? kNoValue : static_cast<double>(cross / d);
  const long double s1 = std::sqrt(lambda1), s2 = std::sqrt(std::max(0.0L, S - lambda1));
  summary.anisotropy = s2 > 0 ? static_cast<double>(std::sqrt(s1 / s2)) : kNoValue;
  summary.size = static_cast<double>(std::sqrt(s1 * s2));
  return summary;
}

TTpsAxes TpsAlignReference(Rect_mx& reference, bool detail) {
  const std::string& lf = Config().listingFormat;
  const std::int32_t dims = reference.rows(), p = reference.cols();
  ListingWriteLine("");
  ListingWriteLine("Centering, scaling, and rotating reference to it principal axes:");
  ListingWriteLine("");
  Rect_mx c(p, dims);
  long double squares = 0;
  for (std::int32_t d = 1; d <= dims; ++d) {
    long double mean = 0;
    for (std::int32_t l = 1; l <= p; ++l) mean += reference.getxij(d, l);
    mean /= p;
    ListingWriteLine(rtl::Format((d == 1 ? "Mean X: %" : "Mean Y: %") + lf, static_cast<double>(mean)));
    for (std::int32_t l = 1; l <= p; ++l) {
      const long double centred = reference.getxij(d, l) - mean;
      c.putxij(l, d, static_cast<double>(centred));
      squares += centred * centred;
    }
  }
  const auto size = static_cast<double>(std::sqrt(squares));
  ListingWriteLine("");
  ListingWriteLine(rtl::Format("Centroid size of reference: %" + lf, size));
  c.Scale(1 / size);

  Rect_mx e(dims, dims);
  vect_mx s(dims);
  Svdcmp(c, p, dims, s, e);
  SvdSorted(p, dims, dims, 1, 1, c, e, s);
  for (std::int32_t i = 1; i <= dims; ++i) {
    if (e.getxij(i, i) >= 0) continue;
    for (std::int32_t r = 1; r <= dims; ++r) e.putxij(r, i, -e.getxij(r, i));
    for (std::int32_t l = 1; l <= p; ++l) c.putxij(l, i, -c.getxij(l, i));
  }
  if (detail) {
    ListingWriteLine("Eigenvectors of initial reference:");
    List(e, true, lf);
  }
  c.TransposeTo(reference);
  const TTpsAxes axes{s.Get(1) * s.Get(1), s.Get(2) * s.Get(2)};
  if (detail) ListingWriteLine(rtl::Format("Eigenvalues: %" + lf + " %" + lf, axes.alpha, axes.beta));
  return axes;
}

void TpsFitSpecimens(rect_mx3& x, const Rect_mx& reference) {
  const std::int32_t p = x.m2(), dims = x.m3();
  for (std::int32_t i = 1; i <= x.rows(); ++i) {
    const std::unique_ptr<Rect_mx> centred = CentredUnitSize(x, i);
    const Rect_mx& s = *centred;
    Rect_mx m(dims, dims), v(dims, dims);
    vect_mx w(dims);
    for (std::int32_t a = 1; a <= dims; ++a) {
      for (std::int32_t b = 1; b <= dims; ++b) {
        long double sum = 0;
        for (std::int32_t l = 1; l <= p; ++l) sum += static_cast<long double>(reference.getxij(a, l)) * s.getxij(b, l);
        m.putxij(a, b, static_cast<double>(sum));
      }
    }
    Svdcmp(m, dims, dims, w, v);
    // The fit U diag(sigma) V' S: the turn (or turn and reflection) that best
    // lays the object onto the reference.
    for (std::int32_t l = 1; l <= p; ++l) {
      for (std::int32_t a = 1; a <= dims; ++a) {
        long double sum = 0;
        for (std::int32_t c = 1; c <= dims; ++c) {
          const double sigma = w.Get(c) > 0 ? 1 : -1;
          long double vs = 0;
          for (std::int32_t b = 1; b <= dims; ++b) vs += static_cast<long double>(v.getxij(b, c)) * s.getxij(b, l);
          sum += m.getxij(a, c) * sigma * vs;
        }
        x.put(i, l, a, static_cast<double>(sum));
      }
    }
  }
}

void TpsUniformComponent(const TTpsSettings& settings, rect_mx3& x, Rect_mx& reference, const TTpsSpline& spline,
                         rect_mx3& weights) {
  const std::int32_t n = x.rows(), p = x.m2(), column = weights.m2();
  const auto sumOver = [p](const auto& term) {
    long double sum = 0;
    for (std::int32_t l = 1; l <= p; ++l) sum += term(l);
    return sum;
  };
  if (settings.affine == TTpsAffine::IncludeXY) {
    if (settings.detail) {
      ListingWriteLine("");
      ListingWriteLine("Uniform component from spline:");
      ListingWriteLine(rtl::Format("%3s    %9s%9s%9s%9s%9s", "Obs", "Aniso", "lnAniso", "2*Angle", "x", "y"));
    }
    const Rect_mx& aff = *spline.affine;
    for (std::int32_t i = 1; i <= n; ++i) {
      const auto b = [&](std::int32_t d, std::int32_t r) {
        return static_cast<double>(sumOver([&](std::int32_t l) { return aff.getxij(r, l) * x.get(i, l, d); }));
      };
      const TTpsAffineSummary summary = TpsAffineSummary(b(1, 2), b(1, 3), b(2, 2), b(2, 3));
      const double lnA = std::log(summary.anisotropy);
      const double angle2 = 2 * std::atan(summary.tangent);
      const double ux = std::cos(angle2) * lnA, uy = std::sin(angle2) * lnA;
      weights.put(i, column, 1, ux);
      weights.put(i, column, 2, uy);
      if (settings.detail) {
        ListingWriteLine(rtl::Format("%3d : %9.4f%9.4f%9.4f%9.4f%9.4f", i, summary.anisotropy, lnA, angle2, ux, uy));
      }
    }
    return;
  }
  const TTpsAxes axes = TpsAlignReference(reference, settings.detail);
  TpsFitSpecimens(x, reference);
  if (settings.detail) {
    ListingWriteLine("");
    ListingWriteLine("Linearized Procrustes estimate of uniform component");
    ListingWriteLine("(Using specimens fitted by least-squares to reference)");
    ListingWriteLine("");
    ListingWriteLine(rtl::Format("%5s %11s %11s", "Obj", "ux", "uy"));
  }
  const double c = 1 / std::sqrt(axes.alpha * axes.beta);
  for (std::int32_t i = 1; i <= n; ++i) {
    const auto dx = [&](std::int32_t l) { return x.get(i, l, 1) - reference.getxij(1, l); };
    const auto dy = [&](std::int32_t l) { return x.get(i, l, 2) - reference.getxij(2, l); };
    const auto u1 = static_cast<double>(c * sumOver([&](std::int32_t l) {
                                          return axes.alpha * reference.getxij(2, l) * dx(l) +
                                                 axes.beta * reference.getxij(1, l) * dy(l);
                                        }));
    const auto u2 = static_cast<double>(c * sumOver([&](std::int32_t l) {
                                          return axes.alpha * reference.getxij(2, l) * dy(l) -
                                                 axes.beta * reference.getxij(1, l) * dx(l);
                                        }));
    weights.put(i, column, 1, u1);
    weights.put(i, column, 2, u2);
    if (settings.detail) ListingWriteLine(rtl::Format("%5d %10.6f %10.6f", i, u1, u2));
  }
}

TTpsResult TpsWeightMatrix(const TTpsSettings& settings, const rect_mx3& x, const Rect_mx& reference) {
  const std::int32_t dims = settings.dimensions, p = x.m2(), k = p - dims - 1;
  TTpsSpline spline = TpsBendingEnergy(settings, reference);
  Progress("Computing weight matrix...", 60);
  const std::int32_t uniform = settings.affine == TTpsAffine::None ? 0 : 1;
  TTpsResult result;
  result.weights = std::make_unique<rect_mx3>(x.rows(), k + uniform, dims, 0, 0);
  TpsPartialWarpScores(x, reference, spline, settings.alpha, *result.weights);
  if (uniform != 0) {
    rect_mx3 fitted(x.rows(), p, dims);
    x.CopyTo(fitted);
    Rect_mx aligned(dims, p);
    reference.CopyTo(aligned);
    TpsUniformComponent(settings, fitted, aligned, spline, *result.weights);
  }
  result.warps = std::move(spline.warps);
  return result;
}
