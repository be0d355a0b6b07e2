#include "modules/ordination/eigenCompute.h"

#include <cmath>
#include <string>

#include "matrix/Constu.h"
#include "matrix/Matrixu.h"
#include "matrix/Probd.h"
#include "rtl/Convert.h"
#include "rtl/Format.h"

namespace {

// Eigenvalues at or below this count as zero for the scaling.
constexpr double kEigenTolerance = 1e-8;

// Sums in extended precision; roots are stored as doubles.
using Roots = std::vector<double>;

TChiSquareTest ChiSquare(long double x2, long double df) {
  if (x2 < 0.0L) x2 = 0.0L;
  return {static_cast<double>(x2), static_cast<double>(df),
          ChiSqProb(static_cast<double>(x2), static_cast<double>(df))};
}

void ListTestLine(const TChiSquareTest& test) {
  ListingWriteLine(
      rtl::Format("X2 = %12.4f df = %5d Prob = %8.4f", test.x2, static_cast<std::int32_t>(test.df), test.p));
}

void ListBrokenStick(const Roots& roots) {
  ListingWriteLine("Proportions of variance expected using broken-stick model");
  ListingWriteLine(rtl::Format("%12s%12s", "Eigenvalue", "Expected"));
  const std::vector<double> expected = BrokenStick(static_cast<std::int32_t>(roots.size()));
  for (std::size_t k = 0; k < expected.size(); ++k) {
    ListingWriteLine(rtl::Format("%12d%12.4f", static_cast<std::int32_t>(k + 1), expected[k]));
  }
  ListingWriteLine("");
}

void ListUnbiasedRoots(const Roots& roots, std::int32_t ns) {
  ListingWriteLine("Variance-covariance matrix based upon a sample size of " + std::to_string(ns));
  ListingWriteLine("");
  ListingWriteLine("Unbiased estimates of eigenvalues and their SE");
  ListingWriteLine(rtl::Format("%12s%12s%12s", "Eigenvalue", "Estimate", "SE"));
  const std::vector<TRootEstimate> estimates = UnbiasedRoots(roots, ns);
  for (std::size_t i = 0; i < estimates.size(); ++i) {
    ListingWriteLine(
        rtl::Format("%12d%12.5f%12.5f", static_cast<std::int32_t>(i + 1), estimates[i].estimate, estimates[i].se));
  }
  ListingWriteLine("");
}

void ListRootEquality(const Roots& roots, std::int32_t df) {
  ListingWriteLine(rtl::Format("Variance-covariance matrix based upon %d degrees of freedom", df));
  ListingWriteLine("");
  ListingWriteLine("Test of equality of roots");
  ListingWriteLine(rtl::Format("%12s%12s%12s%12s", "Eigenvalue", "X2", "df", "Prob"));
  const std::vector<TChiSquareTest> tests = RootEqualityTests(roots, df);
  for (std::size_t k = 0; k < tests.size(); ++k) {
    ListingWriteLine(rtl::Format("%11d+%12.3f%12d%12.4f", static_cast<std::int32_t>(k + 1), tests[k].x2,
                                 static_cast<std::int32_t>(tests[k].df), tests[k].p));
  }
}

void ListCorrelationTests(const Roots& roots, std::int32_t ns) {
  ListingWriteLine(rtl::Format("Correlation matrix based on a sample size of %d", ns));
  ListingWriteLine("");
  ListingWriteLine("Test that all eigenvalues are equal");
  ListingWriteLine("(= test that all correlations are equal to zero)");
  const TCorrelationTests tests = CorrelationTests(roots, ns);
  for (std::int32_t j : tests.nonPositive) {
    ListingWriteLine(rtl::Format("Test not possible since eigenvalue %d <= 0", j));
  }
  if (!tests.nonPositive.empty()) return;
  ListTestLine(tests.allEqual);
  ListingWriteLine("");
  ListingWriteLine(rtl::Format("Ln of determinate = %f", tests.lnDeterminant));
  ListingWriteLine("");
  if (!tests.firstDiffers) return;
  ListingWriteLine("Test that only the first eigenvalue is different from the rest");
  ListingWriteLine("(= test that all correlations are equal)");
  ListTestLine(*tests.firstDiffers);
  ListingWriteLine(rtl::Format("Estimated average correlation: %8.5f", tests.averageCorrelation));
}

}  // namespace

TSimilarityKind CheckSimilarity(const Rect_mx& a, std::int32_t n) {
  long double trace = 0.0L;
  bool correlation = true;
  for (std::int32_t i = 1; i <= n; ++i) {
    const double aii = a.getxij(i, i);
    trace += aii;
    if (std::fabs(static_cast<long double>(aii) - 1.0L) > 1e-5L) correlation = false;
  }
  if (!(trace > 0.0L)) throw E_Morvapc("The sum of the diagonal elements is less than or equal to zero");
  return {static_cast<double>(trace), correlation};
}

void ScaledEigenvectors(Rect_mx& a, std::int32_t n, vect_mx& d, TScalingItem item, std::int32_t vectors) {
  std::int32_t count = 0;
  EigenSym(n, a, d, ScalingFacts(item).eigenOption, kEigenTolerance, count, vectors);
}

std::vector<double> BrokenStick(std::int32_t n) {
  std::vector<double> expected(static_cast<std::size_t>(n > 0 ? n : 0));
  long double tail = 0.0L;  // 1/k + ... + 1/n, built from the end
  for (std::int32_t k = n; k >= 1; --k) {
    tail += 1.0L / k;
    expected[static_cast<std::size_t>(k - 1)] = static_cast<double>(100.0L * tail / n);
  }
  return expected;
}

std::vector<TRootEstimate> UnbiasedRoots(const Roots& roots, std::int32_t ns) {
  std::vector<TRootEstimate> estimates;
  for (std::size_t i = 0; i < roots.size(); ++i) {
    const long double li = roots[i];
    long double s1 = 0.0L, s2 = 0.0L;
    for (std::size_t j = 0; j < roots.size(); ++j) {
      if (j == i || roots[j] == roots[i]) continue;
      const long double aj = roots[j] / (li - roots[j]);
      s1 += aj;
      s2 += aj * aj;
    }
    const long double v = (2.0L / ns) * (1.0L - s2 / ns);
    estimates.push_back(
        {static_cast<double>(li * (1.0L - s1 / ns)), v > 0.0L ? static_cast<double>(li * std::sqrt(v)) : 0.0});
  }
  return estimates;
}

std::vector<TChiSquareTest> RootEqualityTests(const Roots& roots, std::int32_t df) {
  const auto n = static_cast<std::int32_t>(roots.size());
  std::vector<TChiSquareTest> tests;
  for (std::int32_t k = 1; k < n; ++k) {
    const std::int32_t q = n - k + 1;
    long double sum = 0.0L, logs = 0.0L;
    for (std::int32_t j = k; j <= n; ++j) {
      const double root = roots[static_cast<std::size_t>(j - 1)];
      if (root <= 0.0) continue;
      sum += root;
      logs += std::log(static_cast<long double>(root));
    }
    const long double x2 = sum > 0.0L ? df * (q * std::log(sum / q) - logs) : 0.0L;
    tests.push_back(ChiSquare(x2, (q - 1) * (q + 2) / 2));
  }
  return tests;
}

TCorrelationTests CorrelationTests(const Roots& roots, std::int32_t ns) {
  const auto n = static_cast<std::int32_t>(roots.size());
  TCorrelationTests tests;
  for (std::int32_t j = 2; j <= n; ++j) {
    if (roots[static_cast<std::size_t>(j - 1)] <= 0.0) tests.nonPositive.push_back(j);
  }
  if (!tests.nonPositive.empty()) return tests;

  long double logsAll = std::log(static_cast<long double>(roots[0])), logsRest = 0.0L, sumRest = 0.0L;
  for (std::int32_t j = 2; j <= n; ++j) {
    const long double root = roots[static_cast<std::size_t>(j - 1)];
    logsAll += std::log(root);
    logsRest += std::log(root);
    sumRest += root;
  }
  const long double factor = ns - (2.0L * n + 5.0L) / 6.0L;
  tests.allEqual = ChiSquare(-factor * logsAll, n * (n - 1) / 2);
  tests.lnDeterminant = static_cast<double>(logsAll);
  if (n < 2) return tests;

  const long double r = 1.0L - sumRest / (n - 1);
  const long double x2 = (factor - 2.0L / 3.0L) * ((n - 1) * std::log(sumRest / (n - 1)) - logsRest);
  const long double df = (n - 2) * (n + 1) / 2.0L - (1.0L - r * r) * (n - 1) * (n - 2) / n;
  tests.firstDiffers = ChiSquare(x2, static_cast<long double>(rtl::Round(df)));
  tests.averageCorrelation = static_cast<double>(r);
  return tests;
}

void ListEigenStatistics(const Roots& roots, const TSimilarityKind& kind, std::int32_t ns, std::int32_t df) {
  const auto n = static_cast<std::int32_t>(roots.size());
  ListingWriteLine(rtl::Format("Average root: %12.4f", kind.trace / n));
  ListingWriteLine("");
  ListBrokenStick(roots);
  AbortCheck();
  if (!kind.correlation && ns > 0) ListUnbiasedRoots(roots, ns);
  AbortCheck();
  if (!kind.correlation && df > 0) ListRootEquality(roots, df);
  if (kind.correlation && ns > 0) ListCorrelationTests(roots, ns);
}
