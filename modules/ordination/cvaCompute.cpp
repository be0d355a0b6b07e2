#include "modules/ordination/cvaCompute.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "matrix/Constu.h"
#include "matrix/Matrixu.h"
#include "matrix/Probd.h"
#include "rtl/Convert.h"
#include "rtl/Format.h"
#include "shell/Progress.h"

namespace {

// F and its degrees of freedom from Wilks' lambda by Rao's approximation, for
// a variables and b hypothesis degrees of freedom with multiplier m.
void RaoF(double lambda, double a, double b, double m, double& f, double& df1, double& df2) {
  df1 = a * b;
  const double denominator = a * a + b * b - 5.0;
  const double t = denominator > 0.0 ? std::sqrt((df1 * df1 - 4.0) / denominator) : 1.0;
  df2 = m * t - (df1 - 2.0) * 0.5;
  const double y = std::exp(std::log(lambda) / t);
  f = (1.0 - y) / y * df2 / df1;
}

// " %9.6f" or " %11.6e" of the upper-tail probability, or "    ----" when
// there is none; the Hotelling-Lawley line has no blank before its fixed form.
std::string ProbabilityText(double f, double df1, double df2, bool leadingBlank = true) {
  if (df2 <= 0.0) return "    ----";
  const double prob = FProb(f, df1, df2);
  if (prob > 0.001) return rtl::Format(leadingBlank ? " %9.6f" : "%9.6f", prob);
  return rtl::Format(" %11.6e", prob);
}

std::int32_t WholeNumber(double x) { return static_cast<std::int32_t>(rtl::Round(x)); }

}  // namespace

void CvaGrandMean(const Rect_mx& means, const std::vector<double>& sizes, Rect_mx& gm) {
  long double total = 0.0L;
  for (double n : sizes) total += n;
  for (std::int32_t j = 1; j <= means.cols(); ++j) {
    long double sum = 0.0L;
    for (std::int32_t i = 1; i <= means.rows(); ++i) sum += sizes[static_cast<std::size_t>(i - 1)] * means.getxij(i, j);
    gm.putxij(1, j, static_cast<double>(sum / total));
  }
}

void CvaAmongMatrix(const Rect_mx& means, const std::vector<double>& sizes, Rect_mx& a, Rect_mx& gm) {
  const std::int32_t g = means.rows(), p = means.cols();
  CvaGrandMean(means, sizes, gm);
  for (std::int32_t j = 1; j <= p; ++j) {
    for (std::int32_t l = 1; l <= j; ++l) {
      long double sum = 0.0L;
      for (std::int32_t i = 1; i <= g; ++i) {
        sum += sizes[static_cast<std::size_t>(i - 1)] * (means.getxij(i, j) - gm.getxij(1, j)) *
               (means.getxij(i, l) - gm.getxij(1, l));
      }
      a.putxij(j, l, a.getxij(j, l) + static_cast<double>(sum));
    }
  }
}

TCvaSolution CvaCompute(const Rect_mx& means, const std::vector<double>& sizes, Rect_mx& w, double cutoff,
                        std::int32_t& k) {
  const std::int32_t g = means.rows(), p = means.cols();
  double total = 0;
  for (double n : sizes) total += n;
  const double dfW = total - g;
  TCvaSolution solution;

  Progress("Among group cov. max.", 10);
  Rect_mx a(p, p);
  a.Fill(0.0);
  Rect_mx grandMean(1, p);
  CvaAmongMatrix(means, sizes, a, grandMean);
  a.Symmetrize();
  a.Scale(1.0 / ((g - 1) * total));

  Progress("PCA of within", 40);
  ListingWriteLine("");
  ListingWriteLine("PCA of pooled within-groups variance-covariance matrix:");
  vect_mx d(p);
  EigenSym(p, w, d, 4, cutoff, solution.rankW);
  if (solution.rankW < p) {
    ListingWriteLine(rtl::Format("Rank (%d) of within matrix is less than the number of variables.", solution.rankW));
    ListingWriteLine("MANOVA tests are not defined.  Larger sample sizes are needed.");
  }
  ListingWriteLine("");

  Progress("Standardize among", 30);
  Rect_mx b(p, p);
  MatAtBA(w, a, b);
  Progress("PCA of among", 70);
  ListingWriteLine("");
  ListingWriteLine("PCA of among-groups relative to within VCV matrix:");
  b.Scale((g - 1) * total / dfW);
  vect_mx roots(p);
  EigenSym(p, b, roots, 2, cutoff, solution.rankB);
  for (std::int32_t i = 1; i <= p; ++i) solution.roots.push_back(roots.Get(i));
  if (solution.rankB < k) {
    ListingWriteLine(rtl::Format("Matrix is of lower rank (%d) than was expected (%d)", solution.rankB, k));
    k = solution.rankB;
  }

  Progress("Root statistics", 95);
  CvaManovaTests(solution.roots, k, p, g - 1, dfW);

  if (k > 0) {
    Rect_mx leading(p, k);
    for (std::int32_t i = 1; i <= p; ++i)
      for (std::int32_t j = 1; j <= k; ++j) leading.putxij(i, j, b.getxij(i, j));
    solution.vectors = std::make_unique<Rect_mx>(p, k);
    MatMul(w, leading, *solution.vectors);
  }
  return solution;
}

TCvaManova CvaManovaStatistics(const std::vector<double>& roots, std::int32_t used, std::int32_t p, std::int32_t q,
                               double ve) {
  long double wilks = 1.0L, pillai = 0.0L, hotelling = 0.0L;
  for (std::int32_t i = 0; i < used; ++i) {
    const long double root = roots[static_cast<std::size_t>(i)];
    const long double r = root / (1.0L + root);
    wilks *= 1.0L - r;
    pillai += r;
    hotelling += root;
  }
  const double P = p, Q = q;
  TCvaManova tests;

  tests.wilks.value = static_cast<double>(wilks);
  RaoF(tests.wilks.value, P, Q, ve - (P - Q + 1.0) * 0.5, tests.wilks.f, tests.wilks.df1, tests.wilks.df2);

  const double s = std::min(P, Q);
  const double m = (std::fabs(P - Q) - 1.0) * 0.5;
  const double n = (ve - P - 1.0) * 0.5;
  tests.pillai.value = static_cast<double>(pillai);
  tests.pillai.df1 = s * (2.0 * m + s + 1.0);
  tests.pillai.df2 = s * (2.0 * n + s + 1.0);
  tests.pillai.f = tests.pillai.value / (s - tests.pillai.value) * (2.0 * n + s + 1.0) / (2.0 * m + s + 1.0);

  tests.hotelling.value = static_cast<double>(hotelling);
  tests.hotelling.df1 = s * (2.0 * m + s + 1.0);
  tests.hotelling.df2 = 2.0 * (s * n + 1.0);
  tests.hotelling.f = tests.hotelling.df2 * tests.hotelling.value / (tests.hotelling.df1 * s);

  const double r = std::max(P, Q);
  tests.roy.value = roots.empty() ? 0.0 : roots.front();
  tests.roy.df1 = r;
  tests.roy.df2 = ve - r + Q;
  tests.roy.f = tests.roy.value * tests.roy.df2 / tests.roy.df1;
  return tests;
}

std::vector<TCvaTrailingRoot> CvaTrailingRoots(const std::vector<double>& roots, std::int32_t used, std::int32_t p,
                                               std::int32_t q, double ve) {
  const double m = ve + q - (p + q + 1) * 0.5;
  if (m <= 0.0) return {};
  std::vector<TCvaTrailingRoot> table(static_cast<std::size_t>(std::max(used, 0)));
  long double lambda = 1.0L;
  for (std::int32_t i = used; i >= 1; --i) {
    lambda /= 1.0L + roots[static_cast<std::size_t>(i - 1)];
    TCvaTrailingRoot& row = table[static_cast<std::size_t>(i - 1)];
    row.lambda = static_cast<double>(lambda);
    double df1 = 0;
    RaoF(row.lambda, p - i + 1, q - i + 1, m, row.f, df1, row.df2);
    row.df1 = WholeNumber(df1);
  }
  return table;
}

void CvaManovaTests(const std::vector<double>& roots, std::int32_t used, std::int32_t p, std::int32_t q, double ve) {
  const TCvaManova tests = CvaManovaStatistics(roots, used, p, q, ve);
  ListingWriteLine("");
  ListingWriteLine("Multivariate tests of significance:");
  ListingWriteLine(rtl::Format("%24s %15s %8s %5s %8s %10s", "Statistic", "Value", "Fs", "df1", "df2", "Prob"));
  const auto line = [](const char* name, const TCvaTest& test, bool leadingBlank) {
    ListingWriteLine(
        rtl::Format("%24s %15.8f %8.3f %5d %8.1f", name, test.value, test.f, WholeNumber(test.df1), test.df2) +
        ProbabilityText(test.f, test.df1, test.df2, leadingBlank));
  };
  line("Wilk's Lambda:", tests.wilks, true);
  line("Pillai's trace:", tests.pillai, true);
  line("Hotelling-Lawley trace:", tests.hotelling, false);
  line("Roy's maximum root:", tests.roy, true);

  ListingWriteLine("");
  ListingWriteLine("Test that kth root and those that follow are zero:");
  if (ve + q - (p + q + 1) * 0.5 <= 0.0) return;
  ListingWriteLine(rtl::Format("%5s %8s %9s %4s %8s %10s", "k", "U", "Fs", "df1", "df2", "Prob"));
  const std::vector<TCvaTrailingRoot> table = CvaTrailingRoots(roots, used, p, q, ve);
  for (std::size_t i = 0; i < table.size(); ++i) {
    const TCvaTrailingRoot& row = table[i];
    ListingWriteLine(rtl::Format("%5d %8.5f %9.3f %4d %8.1f", static_cast<std::int32_t>(i + 1), row.lambda, row.f,
                                 row.df1, row.df2) +
                     ProbabilityText(row.f, row.df1, row.df2));
  }
  ListingWriteLine("");
}

void CvaScores(const Rect_mx& means, const Rect_mx& grandMean, const Rect_mx& vectors, Rect_mx& scores,
               Rect_mx& regressions) {
  const std::int32_t g = means.rows(), p = means.cols(), k = vectors.cols();
  Rect_mx dev(g, p);
  for (std::int32_t i = 1; i <= g; ++i)
    for (std::int32_t j = 1; j <= p; ++j) dev.putxij(i, j, means.getxij(i, j) - grandMean.getxij(1, j));
  MatMul(dev, vectors, scores);
  Rect_mx inverse(k, k);
  MatAtA(scores, inverse);
  double det = 0;
  MatInverse(inverse, det, false, 1e-30);
  for (std::int32_t i = 1; i <= k; ++i) {
    for (std::int32_t j = 1; j <= p; ++j) {
      long double sum = 0.0L;
      for (std::int32_t l = 1; l <= k; ++l)
        for (std::int32_t m = 1; m <= g; ++m) sum += inverse.getxij(i, l) * scores.getxij(m, l) * dev.getxij(m, j);
      regressions.putxij(i, j, static_cast<double>(sum));
    }
  }
}

void CvaDistances(const Rect_mx& scores, Sym_mx& dist) {
  const std::int32_t g = scores.rows();
  for (std::int32_t i = 1; i <= g; ++i) {
    dist.putxij(i, i, 0.0);
    for (std::int32_t j = 1; j < i; ++j) {
      long double sum = 0.0L;
      for (std::int32_t l = 1; l <= scores.cols(); ++l) {
        const long double d = scores.getxij(i, l) - scores.getxij(j, l);
        sum += d * d;
      }
      dist.putxij(i, j, static_cast<double>(std::sqrt(sum)));
    }
  }
}

TCvaNearest CvaNearestGroup(const Rect_mx& points, std::int32_t row, const Rect_mx& centres) {
  TCvaNearest nearest{0, 9e200};
  for (std::int32_t j = 1; j <= centres.rows(); ++j) {
    double d = 0;
    for (std::int32_t l = 1; l <= centres.cols(); ++l) {
      const double diff = points.getxij(row, l) - centres.getxij(j, l);
      d += diff * diff;
    }
    if (d < nearest.squaredDistance) nearest = {j, d};
  }
  return nearest;
}
