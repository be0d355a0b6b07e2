#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "matrix/Matrixu.h"
#include "tests/matrix/numerics/DecompositionCases.h"
#include "tests/matrix/numerics/NumericsFixture.h"

namespace {

using namespace numerics_test;

// The decomposition, then the sort and scaling of all n pairs.
struct Decomposition {
  Decomposition(std::unique_ptr<Rect_mx> a, std::int32_t leftOption = 2, std::int32_t rightOption = 2)
      : m(a->rows()), n(a->cols()), u(std::move(a)), v(n, n), w(n) {
    Svdcmp(*u, m, n, w, v);
    EXPECT_TRUE(SvdSorted(m, n, n, leftOption, rightOption, *u, v, w));
  }
  std::int32_t m, n;
  std::unique_ptr<Rect_mx> u;
  Rect_mx v;
  vect_mx w;
};

// The values and the placed, scaled pairs (signs included) agree with the
// plain routine's, whether every pair is formed (Svdcmp and SvdSorted, or
// SvdLeading for many pairs) or only the leading ones (SvdLeading); the
// columns not asked for come back zero.
TEST(Svd, AgreesWithThePlainRoutineForAnyNumberOfPairs) {
  const auto ref = ReadReference("decompositions.txt");
  for (const auto& c : RectangularCases()) {
    const std::int32_t m = c.matrix->rows(), n = c.matrix->cols();
    for (auto [left, right] : {std::pair{2, 2}, std::pair{3, 1}})
      for (std::int32_t k : {-1, n, n / 2 + 1, 2, 1, 0}) {
        if (k > n) continue;
        SCOPED_TRACE(c.name + " options " + std::to_string(left) + std::to_string(right) + ", " +
                     (k < 0 ? std::string("Svdcmp") : std::to_string(k) + " pairs"));
        const std::string key = "svd." + c.name + ".options" + std::to_string(left) + std::to_string(right);
        Rect_mx u(m, n), v(n, n);
        c.matrix->CopyTo(u);
        vect_mx w(n);
        if (k < 0) {
          Svdcmp(u, m, n, w, v);
          EXPECT_TRUE(SvdSorted(m, n, n, left, right, u, v, w));
        } else {
          EXPECT_TRUE(SvdLeading(m, n, k, left, right, u, v, w));
        }
        const std::int32_t formed = k < 0 ? n : k;
        EXPECT_TRUE(CloseRelative(Values(w, n), ref.at(key + ".values"), 1e-10));
        for (std::int32_t j = 1; j <= n; ++j) {
          SCOPED_TRACE("pair " + std::to_string(j));
          const std::vector<double> zeroLeft(static_cast<std::size_t>(m), 0.0), zeroRight(static_cast<std::size_t>(n), 0.0);
          EXPECT_TRUE(CloseRelative(Column(u, j, m), j <= formed ? ref.at(key + ".left" + std::to_string(j)) : zeroLeft, 1e-10));
          EXPECT_TRUE(CloseRelative(Column(v, j, n), j <= formed ? ref.at(key + ".right" + std::to_string(j)) : zeroRight, 1e-10));
        }
      }
  }
}

TEST(Svd, MatchesReferenceUpTo300By100) {
  const auto ref = ReadReference("algebra.txt");
  struct Case {
    std::int32_t m, n;
    std::uint32_t seed;
    std::vector<int> columns;
  };
  const Case cases[] = {{20, 7, 4, {1, 2, 3, 4, 5, 6, 7}}, {300, 100, 5, {1, 2, 50, 100}}};
  for (const auto& c : cases) {
    const std::string key = "svd" + std::to_string(c.m) + "x" + std::to_string(c.n);
    SCOPED_TRACE(key);
    Decomposition s(SeededRectangular(c.m, c.n, c.seed));
    EXPECT_TRUE(CloseRelative(Values(s.w, c.n), ref.at(key + ".d"), 1e-10));
    for (int j : c.columns) {
      const std::string col = std::to_string(j);
      EXPECT_TRUE(CloseRelative(Column(*s.u, j, c.m), ref.at(key + ".u" + col), 1e-10)) << j;
      EXPECT_TRUE(CloseRelative(Column(s.v, j, c.n), ref.at(key + ".v" + col), 1e-10)) << j;
    }
    // Every pair, stored or not: U·diag(w)·Vᵀ gives the matrix back.
    auto a = SeededRectangular(c.m, c.n, c.seed);
    double worst = 0;
    for (std::int32_t i = 1; i <= c.m; ++i)
      for (std::int32_t j = 1; j <= c.n; ++j) {
        long double x = 0;
        for (std::int32_t k = 1; k <= c.n; ++k)
          x += static_cast<long double>(s.u->getxij(i, k)) * s.w.Get(k) * s.v.getxij(j, k);
        worst = std::fmax(worst, std::fabs(static_cast<double>(x - a->getxij(i, j))));
      }
    EXPECT_LT(worst, 1e-13 * s.w.Get(1));
  }
}

// A = Q·diag(4, 0.25) with Q = [[0.6, -0.8], [0.8, 0.6]]: U = Q, V = I, and
// after the sign rule u = [[0.6, 0.8], [0.8, -0.6]], v = [[1, 0], [0, -1]].
// Option numbering of the SVD: 1 w, 2 none, 3 √w, 4 1/w, 5 1/√w.
TEST(Svd, ScalingOptions) {
  struct Case {
    std::int32_t option;
    double f1, f2;  // the factors for w = 4 and w = 0.25
  };
  const Case cases[] = {{1, 4, 0.25}, {2, 1, 1}, {3, 2, 0.5}, {4, 0.25, 4}, {5, 0.5, 2}};
  for (const auto& left : cases)
    for (const auto& right : {cases[0], cases[3]}) {
      SCOPED_TRACE("options " + std::to_string(left.option) + ", " + std::to_string(right.option));
      Decomposition s(MakeRect(2, 2, {2.4, -0.2, 3.2, 0.15}), left.option, right.option);
      EXPECT_TRUE(CloseRelative(Values(s.w, 2), {4, 0.25}, 1e-15));
      EXPECT_TRUE(MatrixIs(*s.u, {0.6 * left.f1, 0.8 * left.f2, 0.8 * left.f1, -0.6 * left.f2}, 1e-14));
      EXPECT_TRUE(MatrixIs(s.v, {right.f1, 0, 0, -right.f2}, 1e-14));
    }
}

TEST(Svd, TinySingularValues) {
  // Given vectors and w = (4, 0): under options 1, 3, 4, 5 the second pair
  // becomes zero; under option 2 it stays as it is unless it needs turning,
  // in which case its factor is 0 as well.
  struct Case {
    const char* what;
    std::int32_t option;
    double u12;
    std::vector<double> u, v;
  };
  const Case cases[] = {
      {"option 1", 1, -0.8, {2.4, 0, 3.2, 0}, {4, 0, 0, 0}},
      {"option 5", 5, 0.8, {0.3, 0, 0.4, 0}, {0.5, 0, 0, 0}},
      {"option 2, not turned", 2, 0.8, {0.6, 0.8, 0.8, 0.6}, {1, 0, 0, 1}},
      {"option 2, turned", 2, -0.8, {0.6, 0, 0.8, 0}, {1, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto u = MakeRect(2, 2, {0.6, c.u12, 0.8, 0.6});
    auto v = MakeRect(2, 2, {1, 0, 0, 1});
    vect_mx w(2);
    w.Put(1, 4);
    w.Put(2, 0);
    SvdSorted(2, 2, 2, c.option, c.option, *u, *v, w);
    EXPECT_TRUE(MatrixIs(*u, c.u, 1e-15));
    EXPECT_TRUE(MatrixIs(*v, c.v, 1e-15));
  }
}

TEST(Svd, SortPlacesTheFirstKColumns) {
  auto u = MakeRect(3, 3, {1, 0, 0, 0, 1, 0, 0, 0, 1});
  auto v = MakeRect(3, 3, {1, 0, 0, 0, 1, 0, 0, 0, 1});
  vect_mx w(3);
  w.Put(1, 1);
  w.Put(2, 3);
  w.Put(3, 2);
  SvdSorted(3, 3, 1, 2, 2, *u, *v, w);
  EXPECT_EQ(Values(w, 3), (std::vector<double>{3, 2, 1}));
  // Column 1 is placed; columns beyond k are left where the exchange put them.
  EXPECT_TRUE(MatrixIs(*u, {0, 1, 0, 1, 0, 0, 0, 0, 1}, 0));
  EXPECT_TRUE(MatrixIs(*v, {0, 1, 0, 1, 0, 0, 0, 0, 1}, 0));
}

TEST(Svd, SortDescendingWithIndex) {
  struct Case {
    const char* what;
    std::vector<double> w;
    std::vector<std::int32_t> idx;
  };
  const Case cases[] = {
      {"one value", {5}, {1}},
      {"equal values keep their order", {1, 2, 2}, {2, 3, 1}},
      {"twelve values: comb, then bubble",
       {3, 9, 1, 12, 7, 5, 11, 2, 8, 10, 4, 6},
       {4, 7, 10, 2, 9, 5, 12, 6, 11, 1, 8, 3}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const auto n = static_cast<std::int32_t>(c.w.size());
    vect_mx w(n);
    ivect_mx idx(n);
    for (std::int32_t i = 1; i <= n; ++i) {
      w.Put(i, c.w[static_cast<std::size_t>(i - 1)]);
      idx.Put(i, i);
    }
    SortDescendingWithIndex(n, w, idx);
    std::vector<std::int32_t> got;
    for (std::int32_t i = 1; i <= n; ++i) {
      got.push_back(idx.Get(i));
      EXPECT_EQ(w.Get(i), c.w[static_cast<std::size_t>(idx.Get(i) - 1)]);
    }
    EXPECT_EQ(got, c.idx);
  }
}

TEST(Svd, SpecialShapes) {
  // One column: w is its length, u the unit column.
  Decomposition column(MakeRect(3, 1, {3, 4, 0}));
  EXPECT_NEAR(column.w.Get(1), 5, 1e-15);
  EXPECT_TRUE(MatrixIs(*column.u, {0.6, 0.8, 0}, 1e-15));
  EXPECT_EQ(column.v.getxij(1, 1), 1);

  // A negative diagonal entry: its absolute value, the V column turned.
  auto a = MakeRect(2, 2, {3, 0, 0, -2});
  Rect_mx v(2, 2);
  vect_mx w(2);
  Svdcmp(*a, 2, 2, w, v);
  EXPECT_EQ(Values(w, 2), (std::vector<double>{3, 2}));
  EXPECT_EQ(a->getxij(2, 2) * v.getxij(2, 2), -1);
}

TEST(Svd, IterationLimitIsTheCallersAndNamedInTheMessage) {
  // A full 3×3 matrix needs more than one QR sweep for its last value.
  const auto full = [] { return MakeRect(3, 3, {4, 1, 2, 1, 3, 0.5, 2, 0.5, 5}); };
  Rect_mx v(3, 3);
  vect_mx w(3);
  auto a = full();
  EXPECT_EQ(MessageOf<E_Morvapc_Algebra>([&] { Svdcmp(*a, 3, 3, w, v, 1); }), "no convergence in 1 SVDCMP iterations");
  a = full();
  EXPECT_NO_THROW(Svdcmp(*a, 3, 3, w, v, 40));
  a = full();
  EXPECT_THROW(Svdcmp(*a, 3, 3, w, v, 0), E_Morvapc_Internal);
}

TEST(Svd, Helpers) {
  EXPECT_EQ(SignTransfer(-3, 0), 3);
  EXPECT_EQ(SignTransfer(3, -1e-300), -3);
  EXPECT_EQ(RealMax(1, 2), 2);
  EXPECT_EQ(Pythag(0, 0), 0);
  EXPECT_EQ(Pythag(3, -4), 5);
  EXPECT_NEAR(Pythag(3e200, 4e200), 5e200, 1e186);
  EXPECT_NEAR(Pythag(3e-200, 4e-200), 5e-200, 1e-214);
}

TEST(Svd, NonFiniteEntriesAreRefused) {
  auto a = MakeRect(2, 2, {1, std::numeric_limits<double>::quiet_NaN(), 0, 1});
  Rect_mx v(2, 2);
  vect_mx w(2);
  EXPECT_EQ(MessageOf<E_Morvapc_Algebra>([&] { Svdcmp(*a, 2, 2, w, v); }),
            "Matrix holds a value that is not a finite number");
}

}  // namespace
