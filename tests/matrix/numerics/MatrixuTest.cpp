#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "matrix/Matrixu.h"
#include "tests/matrix/numerics/NumericsFixture.h"
#include "tests/support/ScopedHook.h"

namespace {

using namespace numerics_test;

// Symmetric matrix from its full square, given by rows.
std::unique_ptr<Sym_mx> MakeSym(std::int32_t n, const std::vector<double>& byRows) {
  auto s = std::make_unique<Sym_mx>(3, n);
  for (std::int32_t i = 1; i <= n; ++i)
    for (std::int32_t j = 1; j <= i; ++j) s->putxij(i, j, byRows[static_cast<std::size_t>((i - 1) * n + j - 1)]);
  return s;
}

std::vector<double> Square(const Sym_mx& s) {
  std::vector<double> v;
  for (std::int32_t i = 1; i <= s.n(); ++i)
    for (std::int32_t j = 1; j <= s.n(); ++j) v.push_back(s.getxij(i, j));
  return v;
}

// The operands of the product table: A is 3×2, B2 a non-symmetric 2×2, B3 a
// non-symmetric (lower triangular) 3×3, S2 and S3 symmetric.
struct Operands {
  std::unique_ptr<Rect_mx> A = MakeRect(3, 2, {1, 2, 3, 4, 5, 6});
  std::unique_ptr<Rect_mx> B2 = MakeRect(2, 2, {1, 2, 3, 4});
  std::unique_ptr<Rect_mx> B3 = MakeRect(3, 3, {1, 0, 0, 1, 1, 0, 0, 0, 1});
  std::unique_ptr<Sym_mx> S2 = MakeSym(2, {2, 1, 1, 3});
  std::unique_ptr<Sym_mx> S3 = MakeSym(3, {2, 1, 0, 1, 2, 1, 0, 1, 2});
};

struct ProductCase {
  const char* what;
  std::function<std::vector<double>(Operands&)> run;
  std::vector<double> expected;  // by rows
};

std::vector<double> RectResult(std::int32_t rows, std::int32_t cols, const std::function<void(Rect_mx&)>& f) {
  Rect_mx c(rows, cols);
  f(c);
  std::vector<double> v;
  for (std::int32_t i = 1; i <= rows; ++i)
    for (std::int32_t j = 1; j <= cols; ++j) v.push_back(c.getxij(i, j));
  return v;
}

std::vector<double> SymResult(std::int32_t n, const std::function<void(Sym_mx&)>& f) {
  Sym_mx c(3, n);
  f(c);
  return Square(c);
}

// Expected values worked out by hand. The triple products take the lower
// triangle and mirror it: with a non-symmetric middle factor the full product
// would differ above the diagonal (50 for 48 in At*B*A, 61 for 59 in A*B*At).
TEST(Matrixu, ProductsAndSums) {
  const ProductCase cases[] = {
      {"A*B",
       [](Operands& o) { return RectResult(3, 2, [&](Rect_mx& c) { MatMul(*o.A, *o.B2, c); }); },
       {7, 10, 15, 22, 23, 34}},
      {"At*B*A, B not symmetric",
       [](Operands& o) { return RectResult(2, 2, [&](Rect_mx& c) { MatAtBA(*o.A, *o.B3, c); }); },
       {38, 48, 48, 64}},
      {"At*B*A, B symmetric",
       [](Operands& o) { return SymResult(2, [&](Sym_mx& c) { MatAtBASym(*o.A, *o.S3, c); }); },
       {106, 136, 136, 176}},
      {"A*B*At, B not symmetric",
       [](Operands& o) { return RectResult(3, 3, [&](Rect_mx& c) { MatABAt(*o.A, *o.B2, c); }); },
       {27, 59, 91, 59, 133, 205, 91, 205, 319}},
      {"A*B*At, B symmetric",
       [](Operands& o) { return RectResult(3, 3, [&](Rect_mx& c) { MatABAtSym(*o.A, *o.S2, c); }); },
       {18, 40, 62, 40, 90, 140, 62, 140, 218}},
      {"At*A", [](Operands& o) { return RectResult(2, 2, [&](Rect_mx& c) { MatAtA(*o.A, c); }); }, {35, 44, 44, 56}},
      {"A*At",
       [](Operands& o) { return SymResult(3, [&](Sym_mx& c) { MatAAtSym(*o.A, c); }); },
       {5, 11, 17, 11, 25, 39, 17, 39, 61}},
      {"A+B",
       [](Operands& o) { return SymResult(2, [&](Sym_mx& c) { EXPECT_TRUE(MatAdd(*o.S2, *o.S2, c)); }); },
       {4, 2, 2, 6}},
  };
  for (const auto& c : cases) {
    Operands o;
    EXPECT_EQ(c.run(o), c.expected) << c.what;
  }
}

TEST(Matrixu, AddMayWriteIntoAnOperand) {
  auto a = MakeSym(2, {2, 1, 1, 3});
  auto b = MakeSym(2, {1, 1, 1, 1});
  MatAdd(*a, *b, *a);
  EXPECT_EQ(Square(*a), (std::vector<double>{3, 2, 2, 4}));
}

struct RefusalCase {
  const char* what;
  std::function<void(Operands&)> run;
  std::string message;
};

TEST(Matrixu, UndefinedProductsAreRefused) {
  const std::string resultIsOperand = ") not defined: the result is one of the operands";
  const RefusalCase cases[] = {
      {"A*B with A.cols <> B.rows",
       [](Operands& o) {
         Rect_mx c(3, 3);
         MatMul(*o.A, *o.B3, c);
       },
       "Matrix operation (A*B) not defined"},
      {"At*B*A with B of the wrong order",
       [](Operands& o) {
         Rect_mx c(2, 2);
         MatAtBA(*o.A, *o.B2, c);
       },
       "Matrix operation (At*B*A) not defined"},
      {"At*B*A with B not square",
       [](Operands& o) {
         Rect_mx b(3, 2), c(2, 2);
         MatAtBA(*o.A, b, c);
       },
       "Matrix operation (At*B*A) not defined"},
      {"At*B*A symmetric, wrong order",
       [](Operands& o) {
         Sym_mx c(3, 2);
         MatAtBASym(*o.A, *o.S2, c);
       },
       "Matrix operation (At*B*A) not defined"},
      {"A*B*At with B of the wrong order",
       [](Operands& o) {
         Rect_mx c(3, 3);
         MatABAt(*o.A, *o.B3, c);
       },
       "Matrix operation (A*B*At) not defined"},
      {"A*B*At symmetric, wrong order",
       [](Operands& o) {
         Rect_mx c(3, 3);
         MatABAtSym(*o.A, *o.S3, c);
       },
       "Matrix operation (A*B*At) not defined"},
      {"A+B of different orders",
       [](Operands& o) {
         Sym_mx c(3, 2);
         MatAdd(*o.S2, *o.S3, c);
       },
       "Matrix operation (A+B) not defined"},
      {"A*B into A", [](Operands& o) { MatMul(*o.B2, *o.B2, *o.B2); }, "Matrix operation (A*B" + resultIsOperand},
      {"At*B*A into B", [](Operands& o) { MatAtBA(*o.B2, *o.B2, *o.B2); },
       "Matrix operation (At*B*A" + resultIsOperand},
      {"At*B*A symmetric into B",
       [](Operands& o) {
         Rect_mx a(2, 2);
         MatAtBASym(a, *o.S2, *o.S2);
       },
       "Matrix operation (At*B*A" + resultIsOperand},
      {"A*B*At into A", [](Operands& o) { MatABAt(*o.B2, *o.B2, *o.B2); },
       "Matrix operation (A*B*At" + resultIsOperand},
      {"A*B*At symmetric into A", [](Operands& o) { MatABAtSym(*o.B2, *o.S2, *o.B2); },
       "Matrix operation (A*B*At" + resultIsOperand},
      {"At*A into A", [](Operands& o) { MatAtA(*o.B2, *o.B2); }, "Matrix operation (At*A" + resultIsOperand},
  };
  for (const auto& c : cases) {
    Operands o;
    EXPECT_EQ(MessageOf<E_Morvapc_Algebra>([&] { c.run(o); }), c.message) << c.what;
  }
}

TEST(Matrixu, AlgebraErrorsAreNotUserErrors) {
  // The per-run handlers catch E_Morvapc; the algebra's errors must pass them.
  Operands o;
  Rect_mx c(3, 3);
  EXPECT_THROW(
      try { MatMul(*o.A, *o.B3, c); } catch (const E_Morvapc&) { FAIL() << "caught as a user error"; },
      E_Morvapc_Algebra);
}

TEST(Matrixu, EdgesOfTheProducts) {
  Operands o;
  // A result too small fails in its accessor.
  Rect_mx small(2, 2);
  EXPECT_THROW(MatMul(*o.A, *o.B2, small), E_Morvapc_Internal);
  // A of 0 rows: nothing is stored, nothing raised.
  Rect_mx empty(1, 2), none(1, 2);
  empty.SetSize(0, 2);
  none.SetSize(0, 2);
  EXPECT_NO_THROW(MatMul(empty, *o.B2, none));
}

TEST(Matrixu, TripleProductsCheckForCancel) {
  int checks = 0;
  const testsupport::ScopedHook counting(InstallAbortCheck, [&checks] { ++checks; });
  Operands o;
  Rect_mx c(3, 3), d(3, 2);
  MatABAt(*o.A, *o.B2, c);
  EXPECT_EQ(checks, 4);  // once before the loops and once per result row
  MatMul(*o.A, *o.B2, d);
  EXPECT_EQ(checks, 4);  // plain products do not check
  const testsupport::ScopedHook cancelled(InstallAbortCheck, [] { throw E_Morvapc_UserAbort(); });
  EXPECT_THROW(MatAtBASym(*o.A, *o.S3, *std::make_unique<Sym_mx>(3, 2)), E_Morvapc_UserAbort);
}

TEST(Matrixu, InverseOfPositiveDefiniteMatrix) {
  auto a = MakeRect(2, 2, {4, 2, 2, 3});
  double det = 0;
  EXPECT_TRUE(MatInverse(*a, det, false, 1e-20));
  EXPECT_DOUBLE_EQ(det, 8);
  EXPECT_TRUE(MatrixIs(*a, {0.375, -0.25, -0.25, 0.5}));

  auto one = MakeRect(1, 1, {4});
  EXPECT_TRUE(MatInverse(*one, det, false, 4.0));  // a pivot equal to tol is accepted
  EXPECT_EQ(one->getxij(1, 1), 0.25);
  EXPECT_EQ(det, 4);
}

TEST(Matrixu, InverseKeepsTheEarlierOfEqualPivots) {
  // With detOnly the factor stays in A, so the pivot order shows: the first of
  // the equal diagonals is taken first.
  auto a = MakeRect(2, 2, {2, 1, 1, 2});
  double det = 0;
  EXPECT_TRUE(MatInverse(*a, det, true, 0));
  EXPECT_NEAR(det, 3, 1e-15);
  EXPECT_TRUE(MatrixIs(*a, {std::sqrt(2.0), 1 / std::sqrt(2.0), 1, std::sqrt(1.5)}, 1e-15));
}

struct PivotFailure {
  const char* what;
  std::vector<double> matrix;
  double tol;
};

TEST(Matrixu, InverseFailsOnSmallPivots) {
  const PivotFailure cases[] = {
      {"pivot below tol", {4, 0, 0, 1e-25}, 1e-20},
      {"zero pivot with tol 0", {1, 1, 1, 1}, 0},
      {"zero pivot with a negative tol", {1, 1, 1, 1}, -1},
      {"only negative diagonals", {-1, 0, 0, -2}, 1e-20},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    double det = 5;
    auto a = MakeRect(2, 2, c.matrix);
    EXPECT_FALSE(MatInverse(*a, det, true, c.tol));
    EXPECT_EQ(det, 0);
    det = 5;
    auto b = MakeRect(2, 2, c.matrix);
    EXPECT_EQ(MessageOf<E_Morvapc_Algebra>([&] { MatInverse(*b, det, false, c.tol); }), "Determinate is too small");
    EXPECT_EQ(det, 0);
  }
}

TEST(Matrixu, NonFiniteEntriesAreRefused) {
  const double values[] = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()};
  for (double bad : values) {
    auto a = MakeRect(2, 2, {4, 1, 1, bad});
    double det;
    EXPECT_EQ(MessageOf<E_Morvapc_Algebra>([&] { MatInverse(*a, det, true, 0); }),
              "Matrix holds a value that is not a finite number");
    auto b = MakeRect(2, 2, {bad, 1, 1, 4});
    EXPECT_EQ(MessageOf<E_Morvapc_Algebra>([&] { GaussJordanInverse(*b, 2); }),
              "Matrix holds a value that is not a finite number");
  }
}

TEST(Matrixu, GaussJordanInverse) {
  auto a = MakeRect(3, 3, {0, 1, 0, 2, 0, 0, 0, 0, 4});
  EXPECT_TRUE(GaussJordanInverse(*a, 3));
  EXPECT_TRUE(MatrixIs(*a, {0, 0.5, 0, 1, 0, 0, 0, 0, 0.25}));

  // Only the leading block is inverted.
  auto b = MakeRect(2, 3, {2, 0, 7, 0, 4, 7});
  GaussJordanInverse(*b, 2);
  EXPECT_TRUE(MatrixIs(*b, {0.5, 0, 7, 0, 0.25, 7}));

  // Two equal rows, and a zero row; the elimination runs exactly in binary.
  const std::vector<double> singular[] = {{2, 4, 8, 2, 4, 8, 1, 1, 1}, {0, 0, 0, 0, 1, 2, 3, 4, 5}};
  for (const auto& m : singular) {
    auto s = MakeRect(3, 3, m);
    EXPECT_EQ(MessageOf<E_Morvapc_Algebra>([&] { GaussJordanInverse(*s, 3); }), "Singular matrix");
  }
}

TEST(Matrixu, InversesAndDeterminantsMatchReference) {
  const auto ref = ReadReference("algebra.txt");
  ASSERT_FALSE(ref.empty());

  // The positive definite matrix of the reference: the cross products of a
  // seeded 40×30 block, divided by 40.
  auto x = SeededRectangular(40, 30, 6);
  Rect_mx spd(30, 30);
  MatAtA(*x, spd);
  spd.Scale(1.0 / 40);
  double det = 0;
  MatInverse(spd, det, false, 1e-200);
  EXPECT_NEAR(det, ref.at("spd30.det")[0], 1e-10 * std::fabs(ref.at("spd30.det")[0]));
  for (int j : {1, 10, 30})
    EXPECT_TRUE(CloseRelative(Column(spd, j, 30), ref.at("spd30.inverse" + std::to_string(j)), 1e-10)) << j;

  auto g = SeededRectangular(25, 25, 7);
  GaussJordanInverse(*g, 25);
  for (int j : {1, 13, 25})
    EXPECT_TRUE(CloseRelative(Column(*g, j, 25), ref.at("general25.inverse" + std::to_string(j)), 1e-10)) << j;
}

}  // namespace
