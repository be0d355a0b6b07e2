// POOLVC's pooled matrix and homogeneity test against NumPy and SciPy (the
// script beside the fixture says how the test's weights differ from the
// textbook's), from raw data and from the groups' covariance matrices.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "matrix/Matrixob.h"
#include "modules/similarity/poolvc.h"
#include "modules/similarity/simdata.h"
#include "rtl/Convert.h"
#include "rtl/TextFile.h"

namespace {

const std::string Fixtures = std::string(MORVA_FIXTURES) + "/poolvc/";

struct Reference {
  std::vector<double> pooled;  // lower triangle, row by row
  double x2 = 0, df = 0, prob = 0;
};

Reference ReadReference(std::int32_t p) {
  std::istringstream in(rtl::ReadWholeFile(Fixtures + "references.txt"));
  Reference r;
  std::string word;
  for (std::int32_t k = 0; k < p * (p + 1) / 2; ++k) {
    in >> word;
    r.pooled.push_back(rtl::StrToFloat(word));
  }
  in >> word;
  r.x2 = rtl::StrToFloat(word);
  in >> word;
  r.df = rtl::StrToFloat(word);
  in >> word;
  r.prob = rtl::StrToFloat(word);
  return r;
}

void ExpectPooledAndTest(const TPoolvcPool& pool, const Reference& r) {
  ASSERT_EQ(pool.Groups(), 3);
  EXPECT_EQ(pool.TotalSize(), 30);
  const std::unique_ptr<Sym_mx> pooled = pool.Pooled();
  std::size_t k = 0;
  for (std::int32_t i = 1; i <= 3; ++i)
    for (std::int32_t j = 1; j <= i; ++j) EXPECT_NEAR(pooled->getxij(i, j), r.pooled[k++], 1e-12) << i << "," << j;
  const TPoolvcPool::TTest test = pool.Homogeneity(*pooled);
  EXPECT_NEAR(test.x2, r.x2, 1e-9);
  EXPECT_EQ(test.df, r.df);
  EXPECT_NEAR(test.prob, r.prob, 3e-7);
}

TEST(PoolvcPool, FromRawDataEqualsNumpy) {
  const Reference r = ReadReference(3);
  rtl::TextReader f(Fixtures + "groups.qmx");
  TPoolvcPool pool(3, true);
  for (int g = 0; g < 3; ++g) {
    std::unique_ptr<rtl::StringList> comments;
    TMatrixHeader header;
    ASSERT_TRUE(ReadMatrixHeader(f, comments, header, false, {mtRectangular}));
    // Variables are the file's rows: they become the columns.
    const TOtuData data = ReadOtuData(f, header, true);
    ASSERT_EQ(data.n(), 3);
    const std::vector<double> means = pool.AddData(*data.matrix);
    EXPECT_EQ(means.size(), 3u);
  }
  ExpectPooledAndTest(pool, r);
}

TEST(PoolvcPool, FromCovariancesEqualsNumpy) {
  const Reference r = ReadReference(3);
  rtl::TextReader f(Fixtures + "covs.qmx");
  TPoolvcPool pool(3, true);
  for (std::int32_t n : {8, 10, 12}) {
    std::unique_ptr<rtl::StringList> comments;
    TMatrixHeader header;
    ASSERT_TRUE(ReadMatrixHeader(f, comments, header, false, {mtSimilarity}));
    Sym_mx s(mtSimilarity, 3);
    Read(s, f);
    pool.AddCovariance(s, n);
  }
  ExpectPooledAndTest(pool, r);
}

// Observations of two variables, one a row.
std::unique_ptr<Rect_mx> Observations(const std::vector<std::vector<double>>& rows) {
  auto x = std::make_unique<Rect_mx>(static_cast<std::int32_t>(rows.size()), 2);
  for (std::int32_t r = 1; r <= x->rows(); ++r)
    for (std::int32_t j = 1; j <= 2; ++j) x->putxij(r, j, rows[static_cast<std::size_t>(r - 1)][j - 1]);
  return x;
}

TEST(PoolvcPool, RefusesASingularGroupByItsNumber) {
  const std::unique_ptr<Rect_mx> good = Observations({{1, 2}, {2, 1}, {4, 4}, {3, 5}});
  struct Case {
    const char* name;
    std::unique_ptr<Rect_mx> second;
  };
  Case cases[] = {
      // Twice the first variable: a determinant of exactly 0.
      {"exactly singular", Observations({{1, 2}, {2, 4}, {4, 8}})},
      // Three times the first, which rounding leaves a determinant of 2e-16.
      {"singular up to rounding", Observations({{0.3, 0.9}, {0.9, 2.7}, {1.3, 3.9}})},
      {"a variable without variance", Observations({{1, 2}, {2, 2}, {4, 2}})},
  };
  for (const Case& c : cases) {
    TPoolvcPool pool(2, true);
    pool.AddData(*good);
    try {
      pool.AddData(*c.second);
      ADD_FAILURE() << c.name << ": no error";
    } catch (const E_Morvapc& e) {
      EXPECT_STREQ(e.what(), "Covariance matrix of group 2 is singular or not positive definite") << c.name;
    }
  }
  // Closely but truly related variables are no singular matrix.
  TPoolvcPool pool(2, true);
  EXPECT_NO_THROW(pool.AddData(*Observations({{0.3, 0.9}, {0.9, 2.7}, {1.3, 3.9001}})));
  EXPECT_GT(pool.GroupDeterminant(), 0.0);
}

}  // namespace
