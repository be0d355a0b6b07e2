#pragma once
// Helpers of the numerics tests: the reference numbers made once by the
// scripts in tests/fixtures/numerics, the seeded test matrices those scripts
// also build, and matrix comparisons.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "matrix/Matrixob.h"

namespace numerics_test {

// Lines of "key value value ..." from a fixture file.
inline std::map<std::string, std::vector<double>> ReadReference(const std::string& name) {
  std::ifstream in(std::string(MORVA_FIXTURES) + "/numerics/" + name);
  std::map<std::string, std::vector<double>> table;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string key;
    words >> key;
    double v;
    while (words >> v) table[key].push_back(v);
  }
  return table;
}

// The generator of the reference scripts: state := state * 134775813 + 1
// (mod 2^32), value state / 2^32 - 0.5.
class SeededValues {
 public:
  explicit SeededValues(std::uint32_t seed) : state_(seed) {}
  double Next() {
    state_ = state_ * 134775813u + 1u;
    return state_ / 4294967296.0 - 0.5;
  }

 private:
  std::uint32_t state_;
};

// Symmetric n×n, the lower triangle filled row by row and mirrored.
inline std::unique_ptr<Rect_mx> SeededSymmetric(std::int32_t n, std::uint32_t seed) {
  SeededValues values(seed);
  auto a = std::make_unique<Rect_mx>(n, n);
  for (std::int32_t i = 1; i <= n; ++i)
    for (std::int32_t j = 1; j <= i; ++j) {
      const double v = values.Next();
      a->putxij(i, j, v);
      a->putxij(j, i, v);
    }
  return a;
}

// m×n filled row by row.
inline std::unique_ptr<Rect_mx> SeededRectangular(std::int32_t m, std::int32_t n, std::uint32_t seed) {
  SeededValues values(seed);
  auto a = std::make_unique<Rect_mx>(m, n);
  for (std::int32_t i = 1; i <= m; ++i)
    for (std::int32_t j = 1; j <= n; ++j) a->putxij(i, j, values.Next());
  return a;
}

inline std::unique_ptr<Rect_mx> MakeRect(std::int32_t rows, std::int32_t cols, const std::vector<double>& byRows) {
  auto a = std::make_unique<Rect_mx>(rows, cols);
  for (std::int32_t i = 1; i <= rows; ++i)
    for (std::int32_t j = 1; j <= cols; ++j)
      a->putxij(i, j, byRows[static_cast<std::size_t>((i - 1) * cols + (j - 1))]);
  return a;
}

inline std::vector<double> Column(const Rect_mx& a, std::int32_t j, std::int32_t rows) {
  std::vector<double> c;
  for (std::int32_t i = 1; i <= rows; ++i) c.push_back(a.getxij(i, j));
  return c;
}

inline std::vector<double> Values(const vect_mx& v, std::int32_t n) {
  std::vector<double> c;
  for (std::int32_t i = 1; i <= n; ++i) c.push_back(v.Get(i));
  return c;
}

// Every element of actual within tol × scale of expected, where scale is the
// largest magnitude of expected (a relative tolerance for the whole vector).
inline ::testing::AssertionResult CloseRelative(const std::vector<double>& actual, const std::vector<double>& expected,
                                                double tol) {
  if (actual.size() != expected.size())
    return ::testing::AssertionFailure() << "sizes " << actual.size() << " and " << expected.size();
  double scale = 0;
  for (double e : expected) scale = std::fmax(scale, std::fabs(e));
  for (std::size_t i = 0; i < actual.size(); ++i)
    if (!(std::fabs(actual[i] - expected[i]) <= tol * scale))
      return ::testing::AssertionFailure() << "element " << i + 1 << ": " << actual[i] << " expected " << expected[i];
  return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult MatrixIs(const Rect_mx& a, const std::vector<double>& byRows, double tol = 1e-12) {
  std::vector<double> actual;
  for (std::int32_t i = 1; i <= a.rows(); ++i)
    for (std::int32_t j = 1; j <= a.cols(); ++j) actual.push_back(a.getxij(i, j));
  return CloseRelative(actual, byRows, tol);
}

// The message of the exception of type E that action raises, or "no error".
template <class E, class Action>
std::string MessageOf(Action action) {
  try {
    action();
  } catch (const E& e) {
    return e.what();
  }
  return "no error";
}

}  // namespace numerics_test
