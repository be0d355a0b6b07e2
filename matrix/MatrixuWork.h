#pragma once
// Working copies for the eigen-analysis and the SVD of Matrixu: the matrices
// are read once through their accessors and stored back at the end. Matrix
// elements are kept as doubles and every expression on them is evaluated in
// extended precision (long double); the vectors of the iterations (diagonal,
// off-diagonal, singular values) are kept in extended precision throughout.
// Internal to the Matrixu routines.

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "matrix/Matrixob.h"

namespace matrixu {

// A 1-based matrix of doubles stored column by column, so that the hot loops,
// which run down columns, touch contiguous memory.
class LMatrix {
 public:
  LMatrix(std::int32_t rows, std::int32_t cols)
      : rows_(rows), data_(static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols)) {}

  std::int32_t Rows() const { return rows_; }
  double& operator()(std::int32_t i, std::int32_t j) { return data_[Offset(i, j)]; }
  double operator()(std::int32_t i, std::int32_t j) const { return data_[Offset(i, j)]; }
  // Column j as a 1-based array: Column(j)[i] is (i, j).
  double* Column(std::int32_t j) { return data_.data() + Offset(1, j) - 1; }
  const double* Column(std::int32_t j) const { return data_.data() + Offset(1, j) - 1; }

  // The leading rows × cols block of m.
  static LMatrix From(const Rect_mx& m, std::int32_t rows, std::int32_t cols) {
    LMatrix w(rows, cols);
    for (std::int32_t j = 1; j <= cols; ++j)
      for (std::int32_t i = 1; i <= rows; ++i) w(i, j) = m.getxij(i, j);
    return w;
  }
  void StoreTo(Rect_mx& m, std::int32_t rows, std::int32_t cols) const {
    for (std::int32_t i = 1; i <= rows; ++i)
      for (std::int32_t j = 1; j <= cols; ++j) m.putxij(i, j, (*this)(i, j));
  }
  // Exchanges columns j and k (rows 1..rows).
  void SwapColumns(std::int32_t j, std::int32_t k) {
    double* a = Column(j);
    double* b = Column(k);
    for (std::int32_t i = 1; i <= rows_; ++i) std::swap(a[i], b[i]);
  }

 private:
  std::size_t Offset(std::int32_t i, std::int32_t j) const {
    return static_cast<std::size_t>(j - 1) * static_cast<std::size_t>(rows_) + static_cast<std::size_t>(i - 1);
  }

  std::int32_t rows_;
  std::vector<double> data_;
};

// A 1-based vector of long doubles.
class LVector {
 public:
  explicit LVector(std::int32_t n) : data_(static_cast<std::size_t>(n) + 1) {}

  long double& operator[](std::int32_t i) { return data_[static_cast<std::size_t>(i)]; }
  long double operator[](std::int32_t i) const { return data_[static_cast<std::size_t>(i)]; }

  // Entries 1..n of v.
  static LVector From(const vect_mx& v, std::int32_t n) {
    LVector w(n);
    for (std::int32_t i = 1; i <= n; ++i) w[i] = v.Get(i);
    return w;
  }
  void StoreTo(vect_mx& v, std::int32_t n) const {
    for (std::int32_t i = 1; i <= n; ++i) v.Put(i, static_cast<double>((*this)[i]));
  }

 private:
  std::vector<long double> data_;
};

// Passes how far a stage of a decomposition has come to the installed
// progress report, once per percent: the stage spans first..last of the
// whole (fractions of 1). Made without a span, it reports nothing.
class DecompositionProgress {
 public:
  DecompositionProgress() = default;
  DecompositionProgress(long double first, long double last) : first_(first), last_(last), active_(true) {}
  // fraction: how much of the stage is done.
  void Report(long double fraction);

 private:
  long double first_ = 0.0L, last_ = 0.0L;
  bool active_ = false;
  std::int32_t reported_ = -1;
};

// Plane rotations recorded in the order an iteration made them, so that they
// can be applied afterwards to just the vectors wanted. Rotation (p, q, c, s)
// turns columns p and q of a matrix Z, Z := Z·R, row by row:
//   z(r, p) := z(r, p)·c + z(r, q)·s,   z(r, q) := z(r, q)·c − z(r, p)·s
// (both from the old values); p = q marks a change of sign of column p.
class PlaneRotations {
 public:
  void Add(std::int32_t p, std::int32_t q, long double c, long double s) {
    if (chunks_.empty() || chunks_.back().index.size() == kChunk) {
      chunks_.emplace_back();
      chunks_.back().index.reserve(kChunk);
      chunks_.back().cs.reserve(kChunk);
    }
    chunks_.back().index.push_back({p, q});
    chunks_.back().cs.push_back({c, s});
  }
  void AddSignChange(std::int32_t p) { Add(p, p, -1.0L, 0.0L); }

  // Z := Z·R₁·R₂···R_T on rows 1..rows of z. Each row takes the rotations in
  // the order they were made, exactly as if they had been applied one by one
  // to the whole matrix; the rows are taken in blocks that stay in the cache.
  void TurnColumns(LMatrix& z, std::int32_t rows, DecompositionProgress progress = {}) const;

  // The columns c of R₁·R₂···R_T for c in columns: x receives them one after
  // the other, each an array of rows entries.
  void ProductColumns(const std::vector<std::int32_t>& columns, std::vector<long double>& x, std::int32_t rows,
                      DecompositionProgress progress = {}) const;

 private:
  // Rotations are kept in chunks few enough to stay in the cache while every
  // block of rows or every vector takes them.
  static constexpr std::size_t kChunk = 1u << 13;
  struct Pair {
    std::int32_t p, q;
  };
  struct CosSin {
    long double c, s;
  };
  struct Chunk {
    std::vector<Pair> index;
    std::vector<CosSin> cs;
  };
  std::vector<Chunk> chunks_;
};

// Applies one Householder-type transformation to count vectors stored one
// after the other in ys (length entries each): for each vector y (1-based),
// s := Σ u[k]·y[k], then y[k] += step(s)·v[k], k = first..last. Two vectors
// are taken at a time so that their sums run side by side.
template <class Step>
void ReflectVectors(long double* ys, std::size_t length, std::size_t count, const double* u, const double* v,
                    std::int32_t first, std::int32_t last, Step step) {
  std::size_t j = 0;
  for (; j + 1 < count; j += 2) {
    long double* y0 = ys + j * length - 1;
    long double* y1 = y0 + length;
    long double s0 = 0.0L, s1 = 0.0L;
    for (std::int32_t k = first; k <= last; ++k) {
      s0 += u[k] * y0[k];
      s1 += u[k] * y1[k];
    }
    const long double f0 = step(s0), f1 = step(s1);
    for (std::int32_t k = first; k <= last; ++k) {
      y0[k] += f0 * v[k];
      y1[k] += f1 * v[k];
    }
  }
  if (j < count) {
    long double* y = ys + j * length - 1;
    long double s = 0.0L;
    for (std::int32_t k = first; k <= last; ++k) s += u[k] * y[k];
    const long double f = step(s);
    for (std::int32_t k = first; k <= last; ++k) y[k] += f * v[k];
  }
}

// Raises E_Morvapc_Algebra when the leading rows × cols block of a (or only
// its lower triangle and diagonal) holds NaN or an infinity: such a value
// passes the pivot and convergence tests unseen.
void RefuseNonFinite(const Rect_mx& a, std::int32_t rows, std::int32_t cols, bool lowerTriangleOnly = false);

// The factors by which eigenvectors and singular vectors are scaled. The
// eigen-analysis and the SVD number their options differently, each through
// its own table of these.
enum class VectorScale { Value, One, Root, InverseRoot, Inverse };
using ScaleOptions = VectorScale[5];

// The factor for option (1..5 in options) and value; another option raises
// E_Morvapc_Internal.
long double ScaleFactor(const ScaleOptions& options, std::int32_t option, long double value);

}  // namespace matrixu
