#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "matrix/Matrixu.h"
#include "tests/support/RecordedServices.h"
#include "tests/matrix/numerics/DecompositionCases.h"
#include "tests/matrix/numerics/NumericsFixture.h"
#include "tests/support/ScopedHook.h"

namespace {

using namespace numerics_test;

constexpr double kCountAll = -std::numeric_limits<double>::max();

TEST(Eigen, MatchesReferenceUpToOrder200) {
  const auto ref = ReadReference("algebra.txt");
  struct Case {
    std::int32_t n;
    std::uint32_t seed;
    std::vector<int> columns;
  };
  const Case cases[] = {{5, 1, {1, 2, 3, 4, 5}}, {50, 2, {1, 25, 50}}, {200, 3, {1, 2, 100, 199, 200}}};
  for (const auto& c : cases) {
    SCOPED_TRACE("order " + std::to_string(c.n));
    const std::string key = "eigen" + std::to_string(c.n);
    auto a = SeededSymmetric(c.n, c.seed);
    vect_mx d(c.n);
    std::int32_t count = 0;
    // A tolerance below every eigenvalue, so that every vector is turned.
    EXPECT_TRUE(EigenSymNoListing(c.n, *a, d, 2, kCountAll, count));
    EXPECT_EQ(count, c.n);
    EXPECT_TRUE(CloseRelative(Values(d, c.n), ref.at(key + ".values"), 1e-10));
    for (int j : c.columns)
      EXPECT_TRUE(CloseRelative(Column(*a, j, c.n), ref.at(key + ".vector" + std::to_string(j)), 1e-10)) << j;

    // Every vector, stored or not: A·v = λ·v.
    auto original = SeededSymmetric(c.n, c.seed);
    double worst = 0;
    for (std::int32_t j = 1; j <= c.n; ++j)
      for (std::int32_t i = 1; i <= c.n; ++i) {
        long double av = 0;
        for (std::int32_t k = 1; k <= c.n; ++k) av += original->getxij(i, k) * a->getxij(k, j);
        worst = std::fmax(worst, std::fabs(static_cast<double>(av - d.Get(j) * a->getxij(i, j))));
      }
    EXPECT_LT(worst, 1e-12 * std::fabs(d.Get(1)));
  }
}

// The values, the count and the formed vectors (signs and order included)
// agree with the plain routine's, whether every vector or only the leading
// ones are formed; the columns not asked for come back zero.
TEST(Eigen, AgreesWithThePlainRoutineForAnyNumberOfVectors) {
  const auto ref = ReadReference("decompositions.txt");
  for (const auto& c : SymmetricCases()) {
    const std::int32_t n = c.matrix->rows();
    for (std::int32_t option : {2, 3})
      for (std::int32_t vectors : {n, n / 2 + 1, 3, 1, 0}) {
        if (vectors > n) continue;
        SCOPED_TRACE(c.name + " option " + std::to_string(option) + ", " + std::to_string(vectors) + " vectors");
        const std::string key = "eigen." + c.name + ".option" + std::to_string(option);
        Rect_mx a(n, n);
        c.matrix->CopyTo(a);
        vect_mx d(n);
        std::int32_t count = -1;
        EXPECT_TRUE(EigenSymNoListing(n, a, d, option, 1e-8, count, vectors));
        EXPECT_EQ(count, ref.at(key + ".count")[0]);
        EXPECT_TRUE(CloseRelative(Values(d, n), ref.at(key + ".values"), 1e-10));
        for (std::int32_t j = 1; j <= n; ++j) {
          const std::vector<double> zero(static_cast<std::size_t>(n), 0.0);
          const auto& expected = j <= vectors ? ref.at(key + ".vector" + std::to_string(j)) : zero;
          EXPECT_TRUE(CloseRelative(Column(a, j, n), expected, 1e-10)) << "vector " << j;
        }
      }
  }
}

// A long decomposition reports how far it has come, in increasing percents,
// and stops when the report raises the user's abort; the SVD likewise.
TEST(Eigen, ReportsProgressAndStopsWhenTheReportCancels) {
  struct Case {
    const char* what;
    std::function<void()> decompose;
  };
  const Case cases[] = {
      {"eigen-analysis, three vectors",
       [] {
         auto a = SeededSymmetric(80, 5);
         vect_mx d(80);
         std::int32_t count;
         EigenSymNoListing(80, *a, d, 2, 1e-8, count, 3);
       }},
      {"eigen-analysis, every vector",
       [] {
         auto a = SeededSymmetric(80, 5);
         vect_mx d(80);
         std::int32_t count;
         EigenSymNoListing(80, *a, d, 2, 1e-8, count);
       }},
      {"SVD, two pairs",
       [] {
         auto a = SeededRectangular(90, 70, 6);
         Rect_mx v(70, 70);
         vect_mx w(70);
         SvdLeading(90, 70, 2, 2, 2, *a, v, w);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::int32_t> percents;
    {
      const testsupport::ScopedHook report(InstallDecompositionProgress,
                                           [&percents](std::int32_t p) { percents.push_back(p); });
      c.decompose();
    }
    ASSERT_GT(percents.size(), 10u);
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    EXPECT_GE(percents.front(), 0);
    EXPECT_LE(percents.back(), 100);

    const testsupport::ScopedHook cancel(InstallDecompositionProgress, [](std::int32_t p) {
      if (p >= 30) throw E_Morvapc_UserAbort();
    });
    EXPECT_THROW(c.decompose(), E_Morvapc_UserAbort);
  }
}

TEST(Eigen, ReadsOnlyTheLowerTriangle) {
  auto a = MakeRect(2, 2, {2, std::numeric_limits<double>::quiet_NaN(), 1, 2});
  vect_mx d(2);
  std::int32_t count;
  EigenSymNoListing(2, *a, d, 2, 1e-8, count);
  EXPECT_TRUE(CloseRelative(Values(d, 2), {3, 1}, 1e-15));
}

struct OptionCase {
  std::int32_t option;
  double tol;
  std::int32_t count;
  std::vector<double> vectors;  // by rows
};

// [[2, 1], [1, 2]] has eigenvalues 3 and 1 with vectors (1, 1)/√2 and
// (1, -1)/√2. Option numbering of the eigen-analysis: 1 λ, 2 none, 3 √λ,
// 4 1/√λ, 5 1/λ.
TEST(Eigen, ScalingOptions) {
  const double r = 1 / std::sqrt(2.0), s3 = std::sqrt(3.0);
  const OptionCase cases[] = {
      {1, 1e-8, 2, {3 * r, r, 3 * r, -r}},
      {2, 1e-8, 2, {r, r, r, -r}},
      {3, 1e-8, 2, {s3 * r, r, s3 * r, -r}},
      {4, 1e-8, 2, {r / s3, r, r / s3, -r}},
      {5, 1e-8, 2, {r / 3, r, r / 3, -r}},
      // The second eigenvalue at tol: not counted, and zeroed.
      {1, 1.0, 1, {3 * r, 0, 3 * r, 0}},
      {4, 1.0, 1, {r / s3, 0, r / s3, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("option " + std::to_string(c.option) + " tol " + std::to_string(c.tol));
    auto a = MakeRect(2, 2, {2, 1, 1, 2});
    vect_mx d(2);
    std::int32_t count = -1;
    EigenSymNoListing(2, *a, d, c.option, c.tol, count);
    EXPECT_EQ(count, c.count);
    EXPECT_TRUE(MatrixIs(*a, c.vectors, 1e-15));
  }
}

TEST(Eigen, SignRuleAndTheUnscaledOption) {
  // Scaling alone, on given vectors: a negative first component turns the
  // column (option 1 multiplies by -λ); under option 2 a vector at or below
  // tol is left exactly as it is, turned or not.
  struct Case {
    std::int32_t option;
    std::vector<double> expected;
  };
  const Case cases[] = {
      {1, {3, 0, -4, 0}},
      {2, {0.6, -0.6, -0.8, 0.8}},
      {3, {std::sqrt(5.0) * 0.6, 0, -std::sqrt(5.0) * 0.8, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.option);
    auto z = MakeRect(2, 2, {-0.6, -0.6, 0.8, 0.8});
    vect_mx d(2);
    d.Put(1, 5);
    d.Put(2, 1e-9);
    std::int32_t count = 0;
    ScaleEigenvectors(2, *z, d, c.option, 1e-8, count);
    EXPECT_EQ(count, 1);
    EXPECT_TRUE(MatrixIs(*z, c.expected, 1e-15));
  }
}

TEST(Eigen, SmallAndDiagonalMatrices) {
  auto one = MakeRect(1, 1, {-7});
  vect_mx d1(1);
  std::int32_t count;
  EigenSymNoListing(1, *one, d1, 2, 1e-8, count);
  EXPECT_EQ(d1.Get(1), -7);
  EXPECT_EQ(one->getxij(1, 1), 1);

  auto diag = MakeRect(3, 3, {1, 0, 0, 0, 3, 0, 0, 0, 2});
  vect_mx d(3);
  EigenSymNoListing(3, *diag, d, 2, 1e-8, count);
  EXPECT_EQ(Values(d, 3), (std::vector<double>{3, 2, 1}));
  EXPECT_TRUE(MatrixIs(*diag, {0, 0, 1, 1, 0, 0, 0, 1, 0}, 0));
}

// Below order 1 there is nothing to analyse, and the working vectors of the
// reduction have no room: each entry refuses before the matrix or the values
// change. Order 1 is its own eigenvalue with the vector (1), scaled.
TEST(Eigen, OrderZeroIsRefusedAndOrderOneIsItsOwnEigenvalue) {
  using Entry = std::function<void(std::int32_t, Rect_mx&, vect_mx&)>;
  const struct {
    const char* what;
    Entry entry;
  } entries[] = {
      {"EigenSym",
       [](std::int32_t n, Rect_mx& a, vect_mx& d) {
         std::int32_t count;
         EigenSym(n, a, d, 2, 1e-8, count);
       }},
      {"EigenSymNoListing",
       [](std::int32_t n, Rect_mx& a, vect_mx& d) {
         std::int32_t count;
         EigenSymNoListing(n, a, d, 2, 1e-8, count, 0);
       }},
      {"Tred2",
       [](std::int32_t n, Rect_mx& a, vect_mx& d) {
         vect_mx e(2);
         Tred2(a, n, d, e);
       }},
  };
  for (const auto& entry : entries) {
    for (const std::int32_t n : {0, -1}) {
      SCOPED_TRACE(std::string(entry.what) + " of order " + std::to_string(n));
      testsupport::RecordedServices listing;
      auto a = MakeRect(2, 2, {2, 1, 1, 2});
      vect_mx d(2);
      d.Put(1, 5);
      d.Put(2, 6);
      EXPECT_EQ(MessageOf<E_Morvapc_Algebra>([&] { entry.entry(n, *a, d); }),
                "Eigen-analysis of a matrix of order " + std::to_string(n) + " is not defined");
      EXPECT_TRUE(MatrixIs(*a, {2, 1, 1, 2}, 0));
      EXPECT_EQ(Values(d, 2), (std::vector<double>{5, 6}));
      EXPECT_TRUE(listing.lines.empty());
    }
  }

  const struct {
    double value;
    std::int32_t option;
    double vector;
    std::int32_t count;
  } ones[] = {
      {4, 1, 4, 1}, {4, 2, 1, 1}, {4, 3, 2, 1}, {4, 4, 0.5, 1}, {4, 5, 0.25, 1},
      {-7, 1, 0, 0},  // at or below tol: zeroed (left as it is when unscaled, above)
  };
  for (const auto& c : ones) {
    SCOPED_TRACE("value " + std::to_string(c.value) + ", option " + std::to_string(c.option));
    auto a = MakeRect(1, 1, {c.value});
    vect_mx d(1);
    std::int32_t count = -1;
    EXPECT_TRUE(EigenSymNoListing(1, *a, d, c.option, 1e-8, count));
    EXPECT_EQ(d.Get(1), c.value);
    EXPECT_EQ(a->getxij(1, 1), c.vector);
    EXPECT_EQ(count, c.count);
  }
  testsupport::RecordedServices listing;
  auto a = MakeRect(1, 1, {4});
  vect_mx d(1);
  std::int32_t count;
  EigenSym(1, *a, d, 2, 1e-8, count);
  EXPECT_EQ(listing.lines, (std::vector<std::string>{"", "  i   Eigenvalue      Percent   Cumulative",
                                                     "  1   4.00000000     100.0000     100.0000",
                                                     "Sum of eigenvalues =     4.000000"}));
}

TEST(Eigen, EqualEigenvaluesPutTheLaterFirst) {
  auto z = MakeRect(3, 3, {1, 0, 0, 0, 1, 0, 0, 0, 1});
  vect_mx d(3);
  d.Put(1, 1);
  d.Put(2, 2);
  d.Put(3, 2);
  SortEigen(d, *z, 3);
  EXPECT_EQ(Values(d, 3), (std::vector<double>{2, 2, 1}));
  EXPECT_TRUE(MatrixIs(*z, {0, 0, 1, 0, 1, 0, 1, 0, 0}, 0));
}

TEST(Eigen, StepsComposeToTheWhole) {
  auto a = SeededSymmetric(12, 9), b = SeededSymmetric(12, 9);
  vect_mx d(12), e(12), dAll(12);
  std::int32_t count, countAll;
  Tred2(*a, 12, d, e);
  Tqli(d, e, 12, *a);
  SortEigen(d, *a, 12);
  ScaleEigenvectors(12, *a, d, 3, 0, count);
  EigenSymNoListing(12, *b, dAll, 3, 0, countAll);
  EXPECT_EQ(count, countAll);
  EXPECT_TRUE(CloseRelative(Values(d, 12), Values(dAll, 12), 1e-14));
  for (std::int32_t j = 1; j <= 12; ++j) EXPECT_TRUE(CloseRelative(Column(*a, j, 12), Column(*b, j, 12), 1e-12));
}

TEST(Eigen, Failures) {
  // NaN on the tridiagonal never passes the split test.
  vect_mx d(2), e(2);
  d.Put(1, std::numeric_limits<double>::quiet_NaN());
  e.Put(2, 1);
  auto z = MakeRect(2, 2, {1, 0, 0, 1});
  EXPECT_EQ(MessageOf<E_Morvapc_Algebra>([&] { Tqli(d, e, 2, *z); }), "Problem with convergence in TQLI");

  auto bad = MakeRect(2, 2, {1, 0, std::numeric_limits<double>::infinity(), 1});
  std::int32_t count;
  EXPECT_EQ(MessageOf<E_Morvapc_Algebra>([&] { EigenSymNoListing(2, *bad, d, 2, 0, count); }),
            "Matrix holds a value that is not a finite number");

  auto a = MakeRect(2, 2, {2, 1, 1, 2});
  EXPECT_THROW(EigenSymNoListing(2, *a, d, 6, 0, count), E_Morvapc_Internal);  // no such scaling

  const testsupport::ScopedHook cancelled(InstallAbortCheck, [] { throw E_Morvapc_UserAbort(); });
  EXPECT_THROW(EigenSymNoListing(2, *a, d, 2, 0, count), E_Morvapc_UserAbort);
}

TEST(Eigen, ListsEigenvaluesWithTheirShareOfTheTrace) {
  struct Case {
    const char* what;
    std::vector<double> matrix;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"positive trace",
       {2, 1, 1, 2},
       {"", "  i   Eigenvalue      Percent   Cumulative", "  1   3.00000000      75.0000      75.0000",
        "  2   1.00000000      25.0000     100.0000", "Sum of eigenvalues =     4.000000"}},
      {"trace of zero", {0, 1, 1, 0}, {"", "Sum of eigenvalues =     0.000000"}},
      {"first eigenvalue above 1e9",
       {2e9, 0, 0, 1e9},
       {"", "  i               Eigenvalue      Percent   Cumulative",
        "  1      2000000000.00000000      66.6667      66.6667",
        "  2      1000000000.00000000      33.3333     100.0000", "Sum of eigenvalues =        3000000000.000000"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    testsupport::RecordedServices listing;
    auto a = MakeRect(2, 2, c.matrix);
    vect_mx d(2);
    std::int32_t count;
    EXPECT_TRUE(EigenSym(2, *a, d, 2, 1e-8, count));
    EXPECT_EQ(listing.lines, c.lines);
  }
}

TEST(Eigen, ListingMarksOnlyARealExcessOverTheTrace) {
  // The eigenvalues of this matrix add up to a little more than its trace 6,
  // by rounding alone: the running total ends at 100%.
  testsupport::RecordedServices listing;
  auto a = MakeRect(3, 3, {1, 0.5, 0.25, 0.5, 2, 0.5, 0.25, 0.5, 3});
  vect_mx d(3);
  std::int32_t count;
  EigenSym(3, *a, d, 2, 1e-8, count);
  ASSERT_GT(static_cast<long double>(d.Get(1)) + d.Get(2) + d.Get(3), 6.0L) << "no rounding to mark";
  ASSERT_EQ(listing.lines.size(), 6u);
  EXPECT_EQ(listing.lines[4].substr(listing.lines[4].size() - 12), "    100.0000");
}

TEST(Eigen, ListingMarksACumulativeShareAboveTheTrace) {
  // Eigenvalues 1.618 and -0.618 of a matrix of trace 1.
  testsupport::RecordedServices listing;
  auto a = MakeRect(2, 2, {0, 1, 1, 1});
  vect_mx d(2);
  std::int32_t count;
  EigenSym(2, *a, d, 2, 1e-8, count);
  ASSERT_EQ(listing.lines.size(), 5u);
  EXPECT_EQ(listing.lines[2], "  1   1.61803399     161.8034      > 100% ");
}

}  // namespace
