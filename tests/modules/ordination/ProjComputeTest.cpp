// Projections, outliers and residuals against R: t(X) %*% F, its normalised
// form, X - F (F'F)^-1 F'X, the outliers by Hotelling's T2 of the principal
// component scores (mahalanobis) with pf, and the residual statistics by their
// formula.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "matrix/Constu.h"
#include "modules/ordination/projCompute.h"
#include "tests/matrix/core/ErrorText.h"
#include "tests/modules/ordination/OrdinationTestSupport.h"
#include "tests/support/RecordedServices.h"

namespace {

using ordtest::ExpectMatchesReference;
using ordtest::Refs;
using ordtest::Tolerance;

// Ten objects on four variables, arranged variables × objects.
std::unique_ptr<Rect_mx> Points() { return ordtest::LoadRectangular("points10.qmx", 1, true); }
std::unique_ptr<Rect_mx> Factors() { return ordtest::ReferenceMatrix("proj.F"); }
std::vector<double> Lambda() { return Refs().Column("proj.lambda"); }

// The first factor alone.
std::unique_ptr<Rect_mx> FirstFactor() {
  auto f = std::make_unique<Rect_mx>(4, 1);
  for (int i = 1; i <= 4; ++i) f->putxij(i, 1, Refs().At("proj.F", i, 1));
  return f;
}

TEST(ProjCompute, ProductsAndNormalisedProjectionsEqualR) {
  testsupport::RecordedServices services;
  std::vector<std::int32_t> factors;
  const auto mult =
      ProjectOnFactors(*Points(), *Factors(), TProjMethod::Mult, [&](std::int32_t j) { factors.push_back(j); });
  ExpectMatchesReference(*mult, "proj.mult", 2);
  EXPECT_EQ(factors, (std::vector<std::int32_t>{1, 2}));
  const auto proj = ProjectOnFactors(*Points(), *Factors(), TProjMethod::Proj, nullptr);
  ExpectMatchesReference(*proj, "proj.proj", 2);
  EXPECT_TRUE(services.lines.empty());
}

TEST(ProjCompute, AFactorOfZeroLengthGivesZerosAndAWarning) {
  testsupport::RecordedServices services;
  auto f = ordtest::Matrix(2, 2, {1, 0, 2, 1e-11});
  auto x = ordtest::Matrix(2, 3, {1, 2, 3, 4, 5, 6});
  for (const TProjMethod method : {TProjMethod::Mult, TProjMethod::Proj}) {
    const auto y = ProjectOnFactors(*x, *f, method, nullptr);
    for (int o = 1; o <= 3; ++o) EXPECT_EQ(y->getxij(o, 2), 0);
  }
  EXPECT_EQ(services.lines, (std::vector<std::string>(2, "Warning: factor 2 seems to be of zero length")));
}

TEST(ProjCompute, MissingValuesAreLeftOutOfEverySum) {
  testsupport::RecordedServices services;
  // Two variables × three objects; -9 marks a missing value.
  Rect_mx x(2, 3, 1, -9);
  const double values[2][3] = {{1, -9, 3}, {2, 4, -9}};
  for (int i = 1; i <= 2; ++i)
    for (int o = 1; o <= 3; ++o) x.putxij(i, o, values[i - 1][o - 1]);
  auto f = ordtest::Matrix(2, 1, {1, 2});
  const auto y = ProjectOnFactors(x, *f, TProjMethod::Mult, nullptr);
  EXPECT_EQ(y->getxij(1, 1), 5);
  EXPECT_EQ(y->getxij(2, 1), 8);
  EXPECT_EQ(y->getxij(3, 1), 3);
  // Residuals of the unit factor (1, 0): only the second variable is left.
  const auto q = ResidualProjector(*ordtest::Matrix(2, 1, {1, 0}));
  const TResiduals r = Residuals(x, *q);
  EXPECT_EQ(r.q, (std::vector<double>{4, 16, 0}));
}

// T2 in the k dimensions of the factors, referred to F with k and n - k
// degrees of freedom: on fewer factors than variables the probabilities are
// those of the k-dimensional test, not all near 1.
TEST(ProjCompute, OutliersAreHotellingsT2InTheDimensionsOfTheFactors) {
  struct Case {
    const char* name;
    std::unique_ptr<Rect_mx> factors;
    std::string reference;
  };
  Case cases[] = {
      {"two factors of four variables", Factors(), "proj"},
      {"a factor for every variable", ordtest::ReferenceMatrix("proj.Fall"), "proj.all"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<TOutlier> outliers = OutlierTest(*Points(), *c.factors, Lambda());
    ASSERT_EQ(outliers.size(), 10u);
    for (int o = 1; o <= 10; ++o) {
      EXPECT_NEAR(outliers[o - 1].t2, Refs().At(c.reference + ".T2", o), Tolerance) << o;
      EXPECT_NEAR(outliers[o - 1].fs, Refs().At(c.reference + ".Fs", o), Tolerance) << o;
      EXPECT_NEAR(outliers[o - 1].prob, Refs().At(c.reference + ".Prob", o), Tolerance) << o;
    }
  }
}

TEST(ProjCompute, FactorsOfZeroLengthOrEigenvaluesOfZeroAddNothingToT2) {
  // Three objects on one variable, deviations -1, 0 and 1 from the mean.
  auto x = ordtest::Matrix(1, 3, {1, 2, 3});
  const auto t2 = [&x](std::initializer_list<double> factor, double lambda) {
    std::vector<double> values;
    for (const TOutlier& o : OutlierTest(*x, *ordtest::Matrix(1, 1, factor), {lambda})) values.push_back(o.t2);
    return values;
  };
  EXPECT_EQ(t2({2}, 1), (std::vector<double>{1, 0, 1}));
  EXPECT_EQ(t2({0}, 1), (std::vector<double>{0, 0, 0}));
  EXPECT_EQ(t2({2}, 0), (std::vector<double>{0, 0, 0}));
}

TEST(ProjCompute, ResidualsAndNormalDeviatesEqualR) {
  testsupport::RecordedServices services;
  struct Case {
    const char* name;
    std::unique_ptr<Rect_mx> factors;
    const char* residuals;
    const char* q;
    const char* deviates;
  };
  Case cases[] = {
      {"two factors", Factors(), "proj.orth", "proj.orthQ", "proj.ND"},
      {"one factor, scaled to unit length", FirstFactor(), "proj.orth1", nullptr, "proj.ND1"},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TResiduals r = Residuals(*Points(), *ResidualProjector(*c.factors));
    ExpectMatchesReference(*r.values, c.residuals, 4);
    if (c.q) ExpectMatchesReference(r.q, c.q);
    const auto deviates = NormalDeviates(r.q, Lambda(), c.factors->cols());
    ASSERT_TRUE(deviates);
    ExpectMatchesReference(*deviates, c.deviates);
  }
  // Only the inversion for two factors lists its determinant.
  ASSERT_EQ(services.lines.size(), 1u);
  EXPECT_EQ(services.lines[0].rfind("Determinant =", 0), 0u) << services.lines[0];
}

TEST(ProjCompute, RedundantOrZeroFactorsAreRefused) {
  testsupport::RecordedServices services;
  const std::string message = "Determinant is too small -- factors may be redundant";
  EXPECT_EQ(ErrorText<E_Morvapc>([] { ResidualProjector(*ordtest::Matrix(3, 1, {0, 0, 0})); }), message);
  EXPECT_TRUE(services.lines.empty());
  EXPECT_EQ(ErrorText<E_Morvapc>([] { ResidualProjector(*ordtest::Matrix(3, 2, {1, 1, 0, 0, 0, 0})); }), message);
  EXPECT_EQ(services.lines, (std::vector<std::string>{"Determinant =0.00000000000000E+000"}));
}

TEST(ProjCompute, NoNormalDeviatesWithoutEigenvaluesAboveZeroBeyondTheFactors) {
  const std::vector<double> q = {1, 2};
  EXPECT_FALSE(NormalDeviates(q, {3, 2, 1}, 3));
  EXPECT_FALSE(NormalDeviates(q, {3, 2, 0, 0}, 2));
  EXPECT_TRUE(NormalDeviates(q, {3, 2, 1, 0}, 2));
}

TEST(ProjCompute, ResidualTableAndItsNote) {
  struct Case {
    const char* name;
    std::optional<std::vector<double>> deviates;
    bool eigenvalues;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"with deviates",
       std::vector<double>{1.5},
       true,
       {"  OTU            Q       ND", "    1       2.0000   1.5000",
        "Note: ND values above 1.645 are significant at the 5% level."}},
      {"without eigenvalues",
       std::nullopt,
       false,
       {"  OTU            Q", "    1       2.0000", "Note: eigenvalues are needed for tests of significance."}},
      {"eigenvalues that allow no test",
       std::nullopt,
       true,
       {"  OTU            Q", "    1       2.0000",
        "Note: no eigenvalue beyond the factors is above 0, so the residuals cannot be tested."}},
  };
  for (const Case& c : cases) {
    testsupport::RecordedServices services;
    ListResiduals({2}, c.deviates, c.eigenvalues);
    EXPECT_EQ(services.lines, c.lines) << c.name;
  }
}

TEST(ProjCompute, OutlierTable) {
  testsupport::RecordedServices services;
  ListOutliers({{1.5, 0.25, 0.5}, {2, 3, 0.125}, {1, 1, 1}}, 2);
  EXPECT_EQ(services.lines, (std::vector<std::string>{
                                "Analysis of outliers based on 2 dimensions",
                                "   OTU           T2       Fs     Prob",
                                "     1       1.5000    0.250   0.5000",
                                "     2       2.0000    3.000   0.1250",
                                "     3       1.0000    1.000   1.0000",
                                "Note: degrees of freedom of Fs are 2 over 1.",
                            }));
}

}  // namespace
