// The decomposition of data matrices against R's svd, in both orientations
// and with the row and column vectors scaled by different items, and the
// listing table of singular values.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "matrix/Matrixu.h"
#include "modules/ordination/svdCompute.h"
#include "tests/matrix/core/ErrorText.h"
#include "tests/modules/ordination/OrdinationTestSupport.h"
#include "tests/support/RecordedServices.h"

namespace {

using ordtest::Refs;
using ordtest::Tolerance;

double Factor(TScalingItem item, double w) {
  switch (item) {
    case TScalingItem::Lambda: return w;
    case TScalingItem::One: return 1;
    case TScalingItem::SqrtLambda: return std::sqrt(w);
    case TScalingItem::InverseLambda: return 1 / w;
    case TScalingItem::InverseSqrtLambda: return 1 / std::sqrt(w);
  }
  return 0;
}

// Column j of m equals column j of the reference times the factor of w_j.
void ExpectScaledReference(const Rect_mx& m, const std::string& name, TScalingItem item, const std::string& values) {
  ASSERT_EQ(m.rows(), Refs().Rows(name)) << name;
  for (int j = 1; j <= m.cols(); ++j) {
    const double factor = Factor(item, Refs().At(values, j));
    for (int i = 1; i <= m.rows(); ++i)
      EXPECT_NEAR(m.getxij(i, j), factor * Refs().At(name, i, j), Tolerance) << name << " (" << i << ", " << j << ")";
  }
}

struct Pair {
  TScalingItem rows, columns;
};
const Pair kPairs[] = {
    {TScalingItem::SqrtLambda, TScalingItem::SqrtLambda},
    {TScalingItem::One, TScalingItem::Lambda},
    {TScalingItem::InverseLambda, TScalingItem::InverseSqrtLambda},
    {TScalingItem::Lambda, TScalingItem::One},
};

TEST(SvdCompute, AMatrixWithMoreRowsEqualsRsSvd) {
  for (const Pair& pair : kPairs) {
    SCOPED_TRACE(std::string(ScalingFacts(pair.rows).name) + "+" + std::string(ScalingFacts(pair.columns).name));
    auto a = ordtest::LoadRectangular("svd6x4.qmx", 1);
    ASSERT_FALSE(SvdTransposes(a->rows(), a->cols()));
    const TSvdResult r =
        DecomposeData(std::move(a), false, {.k = 3, .rowScaling = pair.rows, .columnScaling = pair.columns});
    ordtest::ExpectMatchesReference(r.values, "svd6x4.d");
    EXPECT_EQ(r.rowVectors->cols(), 3);
    ExpectScaledReference(*r.rowVectors, "svd6x4.u", pair.rows, "svd6x4.d");
    ExpectScaledReference(*r.columnVectors, "svd6x4.v", pair.columns, "svd6x4.d");
  }
}

TEST(SvdCompute, AMatrixWithMoreColumnsIsDecomposedTransposed) {
  // R decomposed the transpose: its u belongs to the data's columns, its v to
  // the rows, and the signs follow that u.
  for (const Pair& pair : kPairs) {
    SCOPED_TRACE(std::string(ScalingFacts(pair.rows).name) + "+" + std::string(ScalingFacts(pair.columns).name));
    auto a = ordtest::LoadRectangular("svd2x5.qmx", 1, true);
    ASSERT_TRUE(SvdTransposes(2, 5));
    const TSvdResult r =
        DecomposeData(std::move(a), true, {.k = 2, .rowScaling = pair.rows, .columnScaling = pair.columns});
    ordtest::ExpectMatchesReference(r.values, "svd2x5.d");
    ExpectScaledReference(*r.rowVectors, "svd2x5.v", pair.rows, "svd2x5.d");
    ExpectScaledReference(*r.columnVectors, "svd2x5.u", pair.columns, "svd2x5.d");
  }
}

TEST(SvdCompute, TheIterationLimitReachesTheDecomposition) {
  auto a = ordtest::LoadRectangular("svd6x4.qmx", 1);
  EXPECT_EQ(ErrorText<E_Morvapc_Algebra>([&] { DecomposeData(std::move(a), false, {.k = 2, .maxIterations = 1}); }),
            "no convergence in 1 SVDCMP iterations");
}

TEST(SvdCompute, TableOfSingularValues) {
  struct Case {
    const char* name;
    std::vector<double> values;
    std::int32_t k;
    std::vector<std::string> rows;
    std::string sum;
  };
  const Case cases[] = {
      {"shares of the sum of all values",
       {3, 1, 0},
       2,
       {"   1   3.0000      75.0000      75.0000", "   2   1.0000      25.0000     100.0000"},
       "Sum of singular values:   4.0000"},
      {"a matrix of zeros lists shares of 0",
       {0, 0},
       2,
       {"   1   0.0000       0.0000       0.0000", "   2   0.0000       0.0000       0.0000"},
       "Sum of singular values:   0.0000"},
  };
  for (const Case& c : cases) {
    testsupport::RecordedServices services;
    ListSingularValues(c.values, c.k, "8.4f");
    std::vector<std::string> expected = {"", "   i Sing. value      percent   cumulative", std::string(46, '-')};
    expected.insert(expected.end(), c.rows.begin(), c.rows.end());
    expected.push_back(c.sum);
    expected.push_back("");
    EXPECT_EQ(services.lines, expected) << c.name;
  }
}

}  // namespace
