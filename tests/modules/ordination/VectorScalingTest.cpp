// Each item of the shared scaling list must give a vector the same length in
// EIGEN and in SVD, although the eigen-analysis and the decomposition number
// their scaling options differently.

#include <gtest/gtest.h>

#include <cmath>

#include "modules/ordination/eigenCompute.h"
#include "modules/ordination/svdCompute.h"
#include "modules/ordination/vectorScaling.h"
#include "tests/modules/ordination/OrdinationTestSupport.h"
#include "tests/support/RecordedServices.h"

namespace {

double ColumnLength(const Rect_mx& m, int j) {
  double s = 0;
  for (int i = 1; i <= m.rows(); ++i) s += m.getxij(i, j) * m.getxij(i, j);
  return std::sqrt(s);
}

TEST(VectorScaling, EachItemMeansOneFactorInEigenAndSvd) {
  // A diagonal matrix: its eigenvalues and its singular values are 4 and
  // 0.25, every vector a unit column before scaling.
  struct Case {
    const char* keyword;
    double lengthFor4, lengthForQuarter;
  };
  const Case cases[] = {
      {"LAMBDA", 4, 0.25}, {"1", 1, 1}, {"SQRT(LAMBDA)", 2, 0.5}, {"1/LAMBDA", 0.25, 4}, {"1/SQRT(LAMBDA)", 0.5, 2},
  };
  testsupport::RecordedServices services;
  for (int index = 0; index < 5; ++index) {
    const Case& c = cases[index];
    SCOPED_TRACE(c.keyword);
    const TScalingItem item = kScalings[static_cast<std::size_t>(index)].item;
    EXPECT_EQ(kScalings[static_cast<std::size_t>(index)].name, c.keyword);

    auto a = ordtest::Matrix(2, 2, {0.25, 0, 0, 4});
    vect_mx d(2);
    ScaledEigenvectors(*a, 2, d, item);
    EXPECT_NEAR(ColumnLength(*a, 1), c.lengthFor4, 1e-15);
    EXPECT_NEAR(ColumnLength(*a, 2), c.lengthForQuarter, 1e-15);

    // The item scales the data's rows in one run and its columns in another.
    for (const bool rows : {true, false}) {
      auto x = ordtest::Matrix(2, 2, {0.25, 0, 0, 4});
      TSvdOptions options{.k = 2};
      (rows ? options.rowScaling : options.columnScaling) = item;
      (rows ? options.columnScaling : options.rowScaling) = TScalingItem::One;
      const TSvdResult svd = DecomposeData(std::move(x), false, options);
      const Rect_mx& scaled = rows ? *svd.rowVectors : *svd.columnVectors;
      EXPECT_NEAR(ColumnLength(scaled, 1), c.lengthFor4, 1e-15);
      EXPECT_NEAR(ColumnLength(scaled, 2), c.lengthForQuarter, 1e-15);
    }
  }
}

}  // namespace
