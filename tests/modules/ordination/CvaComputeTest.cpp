// The canonical variates computation against what R computes on the same
// raw data (references.R beside the fixtures): MASS::lda's scaling, the four
// tests of summary(manova(...)) for q = g - 1 at most p and above it, the
// table of trailing roots and the Mahalanobis distances between the means.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "matrix/Probd.h"
#include "modules/ordination/cvaCompute.h"
#include "tests/modules/ordination/OrdinationTestSupport.h"
#include "tests/shell/ShellTestSupport.h"

namespace {

const std::filesystem::path Folder = std::filesystem::path(MORVA_FIXTURES) / "cva";

const ordtest::References& Refs() {
  static const ordtest::References refs(Folder / "references.txt");
  return refs;
}

TMatrixHeader Header(rtl::TextReader& f, TMatrixTypeSet types) {
  std::unique_ptr<rtl::StringList> comments;
  TMatrixHeader header;
  ReadMatrixHeader(f, comments, header, false, types);
  return header;
}

// One data set's summary files: the means (groups x variables), the sizes
// and the pooled within-groups matrix.
struct TDataSet {
  std::string name;
  std::unique_ptr<Rect_mx> means;
  std::vector<double> sizes;
  std::unique_ptr<Rect_mx> within;

  std::int32_t g() const { return means->rows(); }
  std::int32_t p() const { return means->cols(); }
  std::int32_t q() const { return g() - 1; }
  double ve() const {
    double n = 0;
    for (double size : sizes) n += size;
    return n - g();
  }
};

TDataSet Load(const std::string& name) {
  TDataSet set{name, nullptr, {}, nullptr};
  rtl::TextReader means((Folder / (name + "-means.qmx")).string());
  const TMatrixHeader m = Header(means, {mtRectangular});
  set.means = std::make_unique<Rect_mx>(m.cols, m.rows);
  Read(*set.means, means, false, {nullptr, m.colLabelCode, false}, {nullptr, m.rowLabelCode, false});
  rtl::TextReader sizes((Folder / (name + "-sizes.qmx")).string());
  const TMatrixHeader s = Header(sizes, {mtDiagonal});
  vect_mx v(s.rows);
  Read(v, sizes);
  for (std::int32_t i = 1; i <= s.rows; ++i) set.sizes.push_back(v.Get(i));
  rtl::TextReader within((Folder / (name + "-within.qmx")).string());
  const TMatrixHeader w = Header(within, {mtSimilarity});
  if (w.rowLabelCode == lcBlock) SkipItems(within, w.rows);
  set.within = std::make_unique<Rect_mx>(w.rows, w.rows);
  ReadRecords(*set.within, within);
  return set;
}

class CvaCompute : public ::testing::Test {
 protected:
  struct TSolved {
    TDataSet set;
    TCvaSolution solution;
    std::int32_t k = 0;
  };

  TSolved Solve(const std::string& name, double cutoff = 0) {
    TSolved solved{Load(name), {}, 0};
    solved.k = std::min(solved.set.q(), solved.set.p());
    solved.solution = ::CvaCompute(*solved.set.means, solved.set.sizes, *solved.set.within, cutoff, solved.k);
    return solved;
  }

  bool Listed(const std::string& line) const {
    return std::find(services.lines.begin(), services.lines.end(), line) != services.lines.end();
  }

  shelltest::RecordedServices services;
};

const char* const kDataSets[] = {"four", "five", "one"};

TEST_F(CvaCompute, CanonicalVectorsAreLdasScaling) {
  for (const char* name : kDataSets) {
    SCOPED_TRACE(name);
    const TSolved solved = Solve(name);
    const Rect_mx& cv = *solved.solution.vectors;
    const std::string scaling = std::string(name) + ".scaling";
    ASSERT_EQ(cv.rows(), Refs().Rows(scaling));
    ASSERT_EQ(cv.cols(), Refs().Cols(scaling));
    for (int j = 1; j <= cv.cols(); ++j) {
      const double sign = cv.getxij(1, j) * Refs().At(scaling, 1, j) < 0 ? -1.0 : 1.0;
      for (int i = 1; i <= cv.rows(); ++i) EXPECT_NEAR(cv.getxij(i, j), sign * Refs().At(scaling, i, j), 1e-8);
    }
    for (int i = 1; i <= solved.k; ++i) {
      EXPECT_NEAR(solved.solution.roots[static_cast<std::size_t>(i - 1)], Refs().At(std::string(name) + ".roots", i),
                  1e-10);
    }
  }
}

// Each test's statistic, F, degrees of freedom and probability, as R gives
// them; q = g - 1 is above p for "five" (4 > 2) and "one" (2 > 1).
TEST_F(CvaCompute, TestsEqualRsManova) {
  for (const char* name : kDataSets) {
    const TSolved solved = Solve(name);
    const TDataSet& set = solved.set;
    const TCvaManova tests = CvaManovaStatistics(solved.solution.roots, solved.k, set.p(), set.q(), set.ve());
    const std::pair<const char*, const TCvaTest*> lines[] = {{"Wilks", &tests.wilks},
                                                             {"Pillai", &tests.pillai},
                                                             {"Hotelling-Lawley", &tests.hotelling},
                                                             {"Roy", &tests.roy}};
    for (const auto& [test, values] : lines) {
      const std::string ref = std::string(name) + "." + test;
      SCOPED_TRACE(ref);
      EXPECT_NEAR(values->value, Refs().At(ref, 1), 1e-8);
      EXPECT_NEAR(values->f, Refs().At(ref, 2), 1e-8);
      EXPECT_NEAR(values->df1, Refs().At(ref, 3), 1e-8);
      EXPECT_NEAR(values->df2, Refs().At(ref, 4), 1e-8);
      EXPECT_NEAR(FProb(values->f, values->df1, values->df2), Refs().At(ref, 5), 1e-8);
    }
  }
  // With one variable every test is the one-way analysis of variance.
  const TSolved one = Solve("one");
  const TCvaManova tests = CvaManovaStatistics(one.solution.roots, 1, 1, 2, one.set.ve());
  for (const TCvaTest* test : {&tests.wilks, &tests.pillai, &tests.hotelling, &tests.roy}) {
    EXPECT_NEAR(test->f, Refs().At("one.anova", 1), 1e-8);
    EXPECT_EQ(test->df1, 2);
    EXPECT_EQ(test->df2, 15);
  }
}

TEST_F(CvaCompute, TrailingRootsEqualAnRComputationOfTheirFormulas) {
  for (const char* name : kDataSets) {
    const TSolved solved = Solve(name);
    const TDataSet& set = solved.set;
    const std::vector<TCvaTrailingRoot> table =
        CvaTrailingRoots(solved.solution.roots, solved.k, set.p(), set.q(), set.ve());
    const std::string ref = std::string(name) + ".trailing";
    ASSERT_EQ(static_cast<int>(table.size()), Refs().Rows(ref)) << name;
    for (int i = 1; i <= Refs().Rows(ref); ++i) {
      SCOPED_TRACE(ref + " row " + std::to_string(i));
      const TCvaTrailingRoot& row = table[static_cast<std::size_t>(i - 1)];
      EXPECT_NEAR(row.lambda, Refs().At(ref, i, 1), 1e-10);
      EXPECT_NEAR(row.f, Refs().At(ref, i, 2), 1e-8);
      EXPECT_EQ(row.df1, Refs().At(ref, i, 3));
      EXPECT_NEAR(row.df2, Refs().At(ref, i, 4), 1e-8);
      EXPECT_NEAR(FProb(row.f, row.df1, row.df2), Refs().At(ref, i, 5), 1e-8);
    }
  }
}

// One root of two variables: a = b = 1 takes t = 1, the exact F.
TEST_F(CvaCompute, TheLastTrailingRowOfOneVariableAndOneRootIsTheExactF) {
  const std::vector<TCvaTrailingRoot> table = CvaTrailingRoots({0.25}, 1, 1, 1, 20);
  ASSERT_EQ(table.size(), 1u);
  EXPECT_DOUBLE_EQ(table[0].lambda, 0.8);
  EXPECT_EQ(table[0].df1, 1);
  EXPECT_DOUBLE_EQ(table[0].df2, 20);
  EXPECT_DOUBLE_EQ(table[0].f, 0.25 * 20);
  // Without error degrees of freedom beyond the hypothesis there is no table.
  EXPECT_TRUE(CvaTrailingRoots({0.25}, 1, 3, 1, 1).empty());
}

TEST_F(CvaCompute, DistancesBetweenTheScoresAreTheMahalanobisDistances) {
  for (const char* name : kDataSets) {
    SCOPED_TRACE(name);
    const TSolved solved = Solve(name);
    const TDataSet& set = solved.set;
    Rect_mx grandMean(1, set.p());
    CvaGrandMean(*set.means, set.sizes, grandMean);
    Rect_mx scores(set.g(), solved.k), regressions(solved.k, set.p());
    CvaScores(*set.means, grandMean, *solved.solution.vectors, scores, regressions);
    Sym_mx dist(mtDissimilarity, set.g());
    CvaDistances(scores, dist);
    const std::string ref = std::string(name) + ".distances";
    for (int i = 1; i <= set.g(); ++i)
      for (int j = 1; j <= set.g(); ++j) EXPECT_NEAR(dist.getxij(i, j), Refs().At(ref, i, j), 1e-8);
    // The regressions reproduce the centred means from the scores.
    for (int i = 1; i <= set.g(); ++i) {
      for (int j = 1; j <= set.p(); ++j) {
        double fitted = 0;
        for (int l = 1; l <= solved.k; ++l) fitted += scores.getxij(i, l) * regressions.getxij(l, j);
        EXPECT_NEAR(fitted, set.means->getxij(i, j) - grandMean.getxij(1, j), 1e-10);
      }
    }
  }
}

// Fewer roots above the cutoff than expected: the lower number carries on,
// and the scores and regressions take it without a singular inverse.
TEST_F(CvaCompute, ALowerRankCarriesItsNumberOfVectors) {
  const TSolved solved = Solve("four", 0.1);  // roots 3.08, 0.585 and 0.0145
  EXPECT_TRUE(Listed("Matrix is of lower rank (2) than was expected (3)"));
  EXPECT_EQ(solved.k, 2);
  ASSERT_EQ(solved.solution.vectors->cols(), 2);
  Rect_mx grandMean(1, 3);
  CvaGrandMean(*solved.set.means, solved.set.sizes, grandMean);
  Rect_mx scores(4, 2), regressions(2, 3);
  EXPECT_NO_THROW(CvaScores(*solved.set.means, grandMean, *solved.solution.vectors, scores, regressions));

  // Above every root there are no vectors at all.
  EXPECT_FALSE(Solve("four", 5.0).solution.vectors);
}

TEST_F(CvaCompute, NearestGroupTakesTheFirstOfEquallyNearOnes) {
  const auto centres = ordtest::Matrix(5, 1, {0, -1, 3, 5, 1});
  struct Case {
    double point;
    std::int32_t group;
    double squared;
  };
  const Case cases[] = {{0.5, 1, 0.25}, {-0.5, 1, 0.25}, {2, 3, 1}, {4, 3, 1}, {0.9, 5, 0.01}};
  for (const Case& c : cases) {
    const auto point = ordtest::Matrix(1, 1, {c.point});
    const TCvaNearest nearest = CvaNearestGroup(*point, 1, *centres);
    EXPECT_EQ(nearest.group, c.group) << c.point;
    EXPECT_NEAR(nearest.squaredDistance, c.squared, 1e-12) << c.point;
  }
}

}  // namespace
