// Principal components against R: eigen and prcomp for the vectors, vegan's
// bstick for the broken-stick model, and the tests' formulas with pchisq.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "matrix/Constu.h"
#include "modules/ordination/eigenCompute.h"
#include "tests/matrix/core/ErrorText.h"
#include "tests/modules/ordination/OrdinationTestSupport.h"
#include "tests/support/RecordedServices.h"

namespace {

using ordtest::ExpectMatchesReference;
using ordtest::Refs;
using ordtest::Tolerance;

// Data sets of eigen.qmx: 1 covariances, 2 correlations of twelve objects.
constexpr int kSampleSize = 12;

struct Analysis {
  TSimilarityKind kind;
  std::unique_ptr<Rect_mx> vectors;
  std::vector<double> roots;
};

Analysis Analyse(int set, TScalingItem item) {
  testsupport::RecordedServices services;  // takes the eigenvalue table
  Analysis a;
  a.vectors = ordtest::LoadSimilarity("eigen.qmx", set);
  const std::int32_t n = a.vectors->rows();
  a.kind = CheckSimilarity(*a.vectors, n);
  vect_mx d(n);
  ScaledEigenvectors(*a.vectors, n, d, item);
  for (int i = 1; i <= n; ++i) a.roots.push_back(d.Get(i));
  return a;
}

TEST(EigenCompute, ValuesAndScaledVectorsEqualR) {
  const char* const itemNames[] = {"LAMBDA", "ONE", "SQRT", "INV", "INVSQRT"};
  for (const auto& [set, tag] : {std::pair{1, "cov"}, std::pair{2, "cor"}}) {
    for (int index = 0; index < 5; ++index) {
      SCOPED_TRACE(std::string(tag) + " " + itemNames[index]);
      const Analysis a = Analyse(set, kScalings[static_cast<std::size_t>(index)].item);
      ExpectMatchesReference(a.roots, std::string(tag) + ".values");
      ExpectMatchesReference(*a.vectors, std::string(tag) + "." + itemNames[index], 4);
    }
  }
}

TEST(EigenCompute, RootScaledVectorsAreThePrincipalComponentLoadings) {
  for (const auto& [set, tag] : {std::pair{1, "cov"}, std::pair{2, "cor"}}) {
    const Analysis a = Analyse(set, TScalingItem::SqrtLambda);
    ExpectMatchesReference(*a.vectors, std::string(tag) + ".loadings", 4);
  }
}

TEST(EigenCompute, KindOfMatrixFromItsDiagonal) {
  struct Case {
    const char* name;
    double d1, d2;
    bool correlation;
  };
  const Case cases[] = {
      {"identity", 1, 1, true},
      {"diagonal 1.000001 still correlations", 1.000001, 1.000001, true},
      {"diagonal 0.99999 at the edge", 0.99999, 1, true},
      {"one variance of 1.00002", 1, 1.00002, false},
      {"variances", 2.5, 0.5, false},
  };
  for (const Case& c : cases) {
    const auto a = ordtest::Matrix(2, 2, {c.d1, 0.3, 0.3, c.d2});
    const TSimilarityKind kind = CheckSimilarity(*a, 2);
    EXPECT_EQ(kind.correlation, c.correlation) << c.name;
    EXPECT_DOUBLE_EQ(kind.trace, c.d1 + c.d2) << c.name;
  }
}

TEST(EigenCompute, ATraceOfZeroOrLessIsRefused) {
  for (const double d : {0.0, -1.0}) {
    const auto a = ordtest::Matrix(2, 2, {d, 0.5, 0.5, -d});
    EXPECT_EQ(ErrorText<E_Morvapc>([&] { CheckSimilarity(*a, 2); }),
              "The sum of the diagonal elements is less than or equal to zero");
  }
}

TEST(EigenCompute, BrokenStickEqualsVegan) {
  for (int n = 1; n <= 6; ++n) ExpectMatchesReference(BrokenStick(n), "bstick." + std::to_string(n));
}

TEST(EigenCompute, CovarianceEstimatesAndEqualityTestsEqualTheirFormulasInR) {
  const std::vector<double> roots = Analyse(1, TScalingItem::One).roots;
  const std::vector<TRootEstimate> estimates = UnbiasedRoots(roots, kSampleSize);
  ASSERT_EQ(estimates.size(), 4u);
  for (int i = 1; i <= 4; ++i) {
    EXPECT_NEAR(estimates[i - 1].estimate, Refs().At("cov.unbiased", i, 1), Tolerance) << i;
    EXPECT_NEAR(estimates[i - 1].se, Refs().At("cov.unbiased", i, 2), Tolerance) << i;
  }
  const std::vector<TChiSquareTest> tests = RootEqualityTests(roots, kSampleSize - 1);
  ASSERT_EQ(tests.size(), 3u);
  for (int k = 1; k <= 3; ++k) {
    EXPECT_NEAR(tests[k - 1].x2, Refs().At("cov.equality", k, 1), 1e-9) << k;
    EXPECT_EQ(tests[k - 1].df, Refs().At("cov.equality", k, 2)) << k;
    EXPECT_NEAR(tests[k - 1].p, Refs().At("cov.equality", k, 3), Tolerance) << k;
  }
}

TEST(EigenCompute, EqualRootsGiveNoEstimateTermsAndNoTestStatistic) {
  const std::vector<double> roots = {2, 2, 2};
  for (const TRootEstimate& e : UnbiasedRoots(roots, 10)) {
    EXPECT_DOUBLE_EQ(e.estimate, 2);
    EXPECT_DOUBLE_EQ(e.se, 2 * std::sqrt(0.2));
  }
  for (const TChiSquareTest& t : RootEqualityTests(roots, 9)) {
    EXPECT_NEAR(t.x2, 0, 1e-15);
    EXPECT_NEAR(t.p, 1, 1e-12);
  }
}

TEST(EigenCompute, CorrelationTestsEqualTheirFormulasInR) {
  const TCorrelationTests t = CorrelationTests(Analyse(2, TScalingItem::One).roots, kSampleSize);
  EXPECT_TRUE(t.nonPositive.empty());
  EXPECT_NEAR(t.allEqual.x2, Refs().At("cor.tests", 1), 1e-9);
  EXPECT_EQ(t.allEqual.df, Refs().At("cor.tests", 2));
  EXPECT_NEAR(t.allEqual.p, Refs().At("cor.tests", 3), Tolerance);
  EXPECT_NEAR(t.lnDeterminant, Refs().At("cor.tests", 4), Tolerance);
  ASSERT_TRUE(t.firstDiffers);
  EXPECT_NEAR(t.firstDiffers->x2, Refs().At("cor.tests", 5), 1e-9);
  EXPECT_EQ(t.firstDiffers->df, Refs().At("cor.tests", 6));
  EXPECT_NEAR(t.firstDiffers->p, Refs().At("cor.tests", 7), Tolerance);
  EXPECT_NEAR(t.averageCorrelation, Refs().At("cor.tests", 8), Tolerance);
}

TEST(EigenCompute, CorrelationTestsAtTheirEdges) {
  // Every root at or below 0 from the second on is named, and nothing is tested.
  const TCorrelationTests zeros = CorrelationTests({2.5, 0.5, 0, -1e-17}, 20);
  EXPECT_EQ(zeros.nonPositive, (std::vector<std::int32_t>{3, 4}));
  EXPECT_FALSE(zeros.firstDiffers);

  // Order 1: the first test only, with 0 degrees of freedom.
  const TCorrelationTests one = CorrelationTests({1}, 20);
  EXPECT_TRUE(one.nonPositive.empty());
  EXPECT_EQ(one.allEqual.df, 0);
  EXPECT_FALSE(one.firstDiffers);

  // Order 2: the second test's degrees of freedom round to 0, and so does its
  // probability.
  const TCorrelationTests two = CorrelationTests({1.5, 0.5}, 20);
  ASSERT_TRUE(two.firstDiffers);
  EXPECT_EQ(two.firstDiffers->df, 0);
  EXPECT_EQ(two.firstDiffers->p, 0);
  EXPECT_DOUBLE_EQ(two.averageCorrelation, 0.5);
}

TEST(EigenCompute, WithoutSampleSizeOrDegreesOfFreedomOnlyTheAverageAndBrokenStickAreListed) {
  testsupport::RecordedServices services;
  ListEigenStatistics({3, 1}, {.trace = 4, .correlation = false}, 0, 0);
  EXPECT_EQ(services.lines, (std::vector<std::string>{
                                "Average root:       2.0000",
                                "",
                                "Proportions of variance expected using broken-stick model",
                                "  Eigenvalue    Expected",
                                "           1     75.0000",
                                "           2     25.0000",
                                "",
                            }));
}

}  // namespace
