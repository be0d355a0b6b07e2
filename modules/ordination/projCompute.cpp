#include "modules/ordination/projCompute.h"

#include <cmath>

#include "matrix/Constu.h"
#include "matrix/Matrixu.h"
#include "matrix/Probd.h"
#include "rtl/Format.h"

namespace {

// A factor whose squared length is below this counts as of zero length.
constexpr long double kZeroLength = 1e-20L;
constexpr double kPivotTolerance = 1e-30;
constexpr const char* kRedundantFactors = "Determinant is too small -- factors may be redundant";

// The data's values with their missing ones marked once.
class TDataValues {
 public:
  explicit TDataValues(const Rect_mx& x) : x_(x), missing_(x.missCode() != 0) {}

  std::int32_t p() const { return x_.rows(); }
  std::int32_t n() const { return x_.cols(); }
  bool Present(std::int32_t i, std::int32_t o) const {
    return !missing_ || RealsDiffer(x_.getxij(i, o), x_.missValue());
  }
  double At(std::int32_t i, std::int32_t o) const { return x_.getxij(i, o); }

  // Σ_i w(i) x(i, o) over the values of OTU o that are present.
  template <class Weight>
  long double Sum(std::int32_t o, Weight w) const {
    long double s = 0.0L;
    for (std::int32_t i = 1; i <= p(); ++i)
      if (Present(i, o)) s += w(i) * static_cast<long double>(At(i, o));
    return s;
  }

 private:
  const Rect_mx& x_;
  bool missing_;
};

long double SquaredLength(const Rect_mx& f, std::int32_t j) {
  long double s = 0.0L;
  for (std::int32_t i = 1; i <= f.rows(); ++i) s += static_cast<long double>(f.getxij(i, j)) * f.getxij(i, j);
  return s;
}

// The mean of each variable over the OTUs where it is present.
std::vector<long double> VariableMeans(const TDataValues& x) {
  std::vector<long double> means(static_cast<std::size_t>(x.p()) + 1, 0.0L);
  for (std::int32_t i = 1; i <= x.p(); ++i) {
    std::int32_t count = 0;
    for (std::int32_t o = 1; o <= x.n(); ++o) {
      if (!x.Present(i, o)) continue;
      means[static_cast<std::size_t>(i)] += x.At(i, o);
      ++count;
    }
    if (count > 0) means[static_cast<std::size_t>(i)] /= count;
  }
  return means;
}

[[noreturn]] void RefuseRedundantFactors() { throw E_Morvapc(kRedundantFactors); }

// (FᵀF)⁻¹ for more than one factor, after listing its determinant.
std::unique_ptr<Rect_mx> InverseCrossProduct(const Rect_mx& f) {
  const std::int32_t k = f.cols();
  auto g = std::make_unique<Rect_mx>(k, k);
  MatAtA(f, *g);
  // The determinant alone first, so that a singular FᵀF gets this module's
  // message rather than the inversion's.
  Rect_mx factor(k, k);
  g->CopyTo(factor);
  double det = 0.0;
  const bool regular = MatInverse(factor, det, true, kPivotTolerance);
  ListingWriteLine(rtl::Format("Determinant =%e", det));
  if (!regular || !(det > 0.0)) RefuseRedundantFactors();
  MatInverse(*g, det, false, kPivotTolerance);
  return g;
}

}  // namespace

std::unique_ptr<Rect_mx> ProjectOnFactors(const Rect_mx& x, const Rect_mx& f, TProjMethod method,
                                          const std::function<void(std::int32_t j)>& beforeFactor) {
  const TDataValues data(x);
  const std::int32_t k = f.cols();
  auto y = std::make_unique<Rect_mx>(data.n(), k);
  for (std::int32_t j = 1; j <= k; ++j) {
    if (beforeFactor) beforeFactor(j);
    const long double length2 = SquaredLength(f, j);
    long double c = 1.0L;
    if (length2 < kZeroLength) {
      ListingWriteLine(rtl::Format("Warning: factor %d seems to be of zero length", j));
      c = 0.0L;
    } else if (method == TProjMethod::Proj) {
      c = 1.0L / std::sqrt(data.p() * length2);
    }
    for (std::int32_t o = 1; o <= data.n(); ++o) {
      y->putxij(o, j, static_cast<double>(c * data.Sum(o, [&](std::int32_t i) { return f.getxij(i, j); })));
    }
  }
  return y;
}

std::vector<TOutlier> OutlierTest(const Rect_mx& x, const Rect_mx& f, const std::vector<double>& eigenvalues) {
  const TDataValues data(x);
  const std::int32_t p = data.p(), n = data.n(), k = f.cols();
  if (n <= p || k > p || eigenvalues.size() != static_cast<std::size_t>(p)) {
    throw E_Morvapc_Internal("Outlier test without its conditions");
  }
  const std::vector<long double> means = VariableMeans(data);
  std::vector<long double> t2(static_cast<std::size_t>(n) + 1, 0.0L);
  for (std::int32_t j = 1; j <= k; ++j) {
    const long double length2 = SquaredLength(f, j);
    const long double lambda = eigenvalues[static_cast<std::size_t>(j - 1)];
    if (length2 < kZeroLength || !(lambda > 0.0L)) continue;
    const long double d = 1.0L / std::sqrt(length2 * lambda);
    for (std::int32_t o = 1; o <= n; ++o) {
      long double u = 0.0L;
      for (std::int32_t i = 1; i <= p; ++i)
        if (data.Present(i, o)) u += (data.At(i, o) - means[static_cast<std::size_t>(i)]) * f.getxij(i, j);
      t2[static_cast<std::size_t>(o)] += (u * d) * (u * d);
    }
  }
  std::vector<TOutlier> outliers;
  for (std::int32_t o = 1; o <= n; ++o) {
    const long double t = t2[static_cast<std::size_t>(o)];
    const auto fs = static_cast<double>(t * (n - k) / (static_cast<long double>(n - 1) * k));
    outliers.push_back({static_cast<double>(t), fs, FProb(fs, k, n - k)});
  }
  return outliers;
}

void ListOutliers(const std::vector<TOutlier>& outliers, std::int32_t k) {
  const auto n = static_cast<std::int32_t>(outliers.size());
  ListingWriteLine(rtl::Format("Analysis of outliers based on %d dimensions", k));
  ListingWriteLine(rtl::Format("%6s %12s %8s %8s", "OTU", "T2", "Fs", "Prob"));
  for (std::int32_t o = 1; o <= n; ++o) {
    const TOutlier& row = outliers[static_cast<std::size_t>(o - 1)];
    ListingWriteLine(rtl::Format("%6d %12.4f %8.3f %8.4f", o, row.t2, row.fs, row.prob));
  }
  ListingWriteLine(rtl::Format("Note: degrees of freedom of Fs are %d over %d.", k, n - k));
}

std::unique_ptr<Rect_mx> ResidualProjector(const Rect_mx& f) {
  const std::int32_t p = f.rows(), k = f.cols();
  auto q = std::make_unique<Rect_mx>(p, p);
  if (k == 1) {
    const long double length2 = SquaredLength(f, 1);
    if (length2 < kZeroLength) RefuseRedundantFactors();
    for (std::int32_t i = 1; i <= p; ++i)
      for (std::int32_t m = 1; m <= p; ++m)
        q->putxij(i, m, static_cast<double>(-(f.getxij(i, 1) * static_cast<long double>(f.getxij(m, 1))) / length2));
  } else {
    MatABAt(f, *InverseCrossProduct(f), *q);
    q->Scale(-1.0);
  }
  for (std::int32_t i = 1; i <= p; ++i) q->putxij(i, i, 1.0 + q->getxij(i, i));
  return q;
}

TResiduals Residuals(const Rect_mx& x, const Rect_mx& projector) {
  const TDataValues data(x);
  TResiduals result{std::make_unique<Rect_mx>(data.n(), data.p()),
                    std::vector<double>(static_cast<std::size_t>(data.n()))};
  for (std::int32_t o = 1; o <= data.n(); ++o) {
    long double q = 0.0L;
    for (std::int32_t m = 1; m <= data.p(); ++m) {
      const auto r = static_cast<double>(data.Sum(o, [&](std::int32_t i) { return projector.getxij(i, m); }));
      result.values->putxij(o, m, r);
      q += static_cast<long double>(r) * r;
    }
    result.q[static_cast<std::size_t>(o - 1)] = static_cast<double>(q);
  }
  return result;
}

std::optional<std::vector<double>> NormalDeviates(const std::vector<double>& q, const std::vector<double>& eigenvalues,
                                                  std::int32_t k) {
  long double theta1 = 0.0L, theta2 = 0.0L, theta3 = 0.0L;
  for (std::size_t i = static_cast<std::size_t>(k > 0 ? k : 0); i < eigenvalues.size(); ++i) {
    const long double lambda = eigenvalues[i];
    theta1 += lambda;
    theta2 += lambda * lambda;
    theta3 += lambda * lambda * lambda;
  }
  if (!(theta1 > 0.0L) || !(theta2 > 0.0L)) return std::nullopt;
  const long double h0 = 1.0L - 2.0L * theta1 * theta3 / (3.0L * theta2 * theta2);
  if (h0 == 0.0L) return std::nullopt;
  std::vector<double> deviates;
  for (double qo : q) {
    deviates.push_back(static_cast<double>(
        theta1 * (std::pow(qo / theta1, h0) - 1.0L - theta2 * h0 * (h0 - 1.0L) / (theta1 * theta1)) /
        std::sqrt(2.0L * theta2 * h0 * h0)));
  }
  return deviates;
}

void ListResiduals(const std::vector<double>& q, const std::optional<std::vector<double>>& deviates,
                   bool eigenvaluesGiven) {
  if (deviates) {
    ListingWriteLine(rtl::Format("%5s %12s %8s", "OTU", "Q", "ND"));
  } else {
    ListingWriteLine(rtl::Format("%5s %12s", "OTU", "Q"));
  }
  for (std::size_t o = 0; o < q.size(); ++o) {
    const auto number = static_cast<std::int32_t>(o + 1);
    if (deviates) {
      ListingWriteLine(rtl::Format("%5d %12.4f %8.4f", number, q[o], (*deviates)[o]));
    } else {
      ListingWriteLine(rtl::Format("%5d %12.4f", number, q[o]));
    }
  }
  if (deviates) {
    ListingWriteLine("Note: ND values above 1.645 are significant at the 5% level.");
  } else if (eigenvaluesGiven) {
    ListingWriteLine("Note: no eigenvalue beyond the factors is above 0, so the residuals cannot be tested.");
  } else {
    ListingWriteLine("Note: eigenvalues are needed for tests of significance.");
  }
}
