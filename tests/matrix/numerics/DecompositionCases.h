#pragma once
// The matrices on which the eigen-analysis and the SVD are held to the
// results of the plain routines they replaced (stored in
// tests/fixtures/numerics/decompositions.txt by decompositions_reference.cpp
// beside it): random, with repeated eigenvalues or singular values,
// rank-deficient, 1 × 1 and diagonal.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tests/matrix/numerics/NumericsFixture.h"

namespace numerics_test {

struct DecompositionCase {
  std::string name;
  std::unique_ptr<Rect_mx> matrix;
};

// x·xᵀ of a seeded rows × cols x: symmetric, of rank cols at most.
inline std::unique_ptr<Rect_mx> SeededGram(std::int32_t rows, std::int32_t cols, std::uint32_t seed) {
  auto x = SeededRectangular(rows, cols, seed);
  auto g = std::make_unique<Rect_mx>(rows, rows);
  for (std::int32_t i = 1; i <= rows; ++i)
    for (std::int32_t j = 1; j <= rows; ++j) {
      long double s = 0.0L;
      for (std::int32_t k = 1; k <= cols; ++k) s += static_cast<long double>(x->getxij(i, k)) * x->getxij(j, k);
      g->putxij(i, j, static_cast<double>(s));
    }
  return g;
}

// Two copies of a seeded symmetric block on the diagonal: every eigenvalue twice.
inline std::unique_ptr<Rect_mx> DoubledBlock(std::int32_t n, std::uint32_t seed) {
  auto b = SeededSymmetric(n, seed);
  auto a = std::make_unique<Rect_mx>(2 * n, 2 * n);
  for (std::int32_t i = 1; i <= n; ++i)
    for (std::int32_t j = 1; j <= n; ++j) {
      a->putxij(i, j, b->getxij(i, j));
      a->putxij(n + i, n + j, b->getxij(i, j));
    }
  return a;
}

// 2·I + u·uᵀ with u = (1, 2, ..., n)/n: eigenvalue 2 n − 1 times.
inline std::unique_ptr<Rect_mx> IdentityPlusRankOne(std::int32_t n) {
  auto a = std::make_unique<Rect_mx>(n, n);
  for (std::int32_t i = 1; i <= n; ++i)
    for (std::int32_t j = 1; j <= n; ++j) a->putxij(i, j, (i == j ? 2.0 : 0.0) + (1.0 * i / n) * (1.0 * j / n));
  return a;
}

// The Hadamard matrix of order n (a power of 2): orthogonal columns of equal
// length, so one singular value n times.
inline std::unique_ptr<Rect_mx> Hadamard(std::int32_t n) {
  auto a = std::make_unique<Rect_mx>(n, n);
  for (std::int32_t i = 0; i < n; ++i)
    for (std::int32_t j = 0; j < n; ++j) a->putxij(i + 1, j + 1, __builtin_popcount(static_cast<unsigned>(i & j)) % 2 ? -1 : 1);
  return a;
}

// Matrices from order 64 up also take the path that forms only the vectors
// asked for.
inline std::vector<DecompositionCase> SymmetricCases() {
  std::vector<DecompositionCase> cases;
  cases.push_back({"random9", SeededSymmetric(9, 11)});
  cases.push_back({"random40", SeededSymmetric(40, 12)});
  cases.push_back({"random70", SeededSymmetric(70, 15)});
  cases.push_back({"doubled", DoubledBlock(35, 13)});
  cases.push_back({"identityplusrankone", IdentityPlusRankOne(66)});
  cases.push_back({"rankdeficient", SeededGram(64, 3, 14)});
  cases.push_back({"onebyone", MakeRect(1, 1, {2.5})});
  cases.push_back({"diagonal", MakeRect(4, 4, {1, 0, 0, 0, 0, 3, 0, 0, 0, 0, -2, 0, 0, 0, 0, 3})});
  return cases;
}

// m × n with m >= n.
inline std::vector<DecompositionCase> RectangularCases() {
  std::vector<DecompositionCase> cases;
  cases.push_back({"random12x5", SeededRectangular(12, 5, 21)});
  cases.push_back({"random60x25", SeededRectangular(60, 25, 22)});
  cases.push_back({"random90x70", SeededRectangular(90, 70, 24)});
  cases.push_back({"repeated", Hadamard(64)});
  cases.push_back({"rankdeficient", SeededGram(70, 2, 23)});
  cases.push_back({"onebyone", MakeRect(1, 1, {-3})});
  cases.push_back({"diagonal", MakeRect(4, 3, {2, 0, 0, 0, -5, 0, 0, 0, 2, 0, 0, 0})});
  return cases;
}

}  // namespace numerics_test
