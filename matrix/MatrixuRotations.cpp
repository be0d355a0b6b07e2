// Plane rotations recorded by the eigen-analysis and the SVD, applied to the
// vectors afterwards, and the progress report of those long decompositions.

#include <algorithm>
#include <cmath>
#include <utility>

#include "matrix/Matrixu.h"
#include "matrix/MatrixuWork.h"

namespace {

std::function<void(std::int32_t)>& ProgressHook() {
  static std::function<void(std::int32_t)> hook;
  return hook;
}

// Rows of a matrix turned together: one cache line of each column.
constexpr std::int32_t kRowBlock = 8;

}  // namespace

std::function<void(std::int32_t)> InstallDecompositionProgress(std::function<void(std::int32_t)> report) {
  return std::exchange(ProgressHook(), std::move(report));
}

void matrixu::DecompositionProgress::Report(long double fraction) {
  if (!active_ || !ProgressHook()) return;
  const long double whole = first_ + (last_ - first_) * std::clamp(fraction, 0.0L, 1.0L);
  const auto percent = static_cast<std::int32_t>(100.0L * whole);
  if (percent == reported_) return;
  reported_ = percent;
  ProgressHook()(percent);
}

void matrixu::PlaneRotations::TurnColumns(LMatrix& z, std::int32_t rows, DecompositionProgress progress) const {
  for (const Chunk& chunk : chunks_) {
    progress.Report(static_cast<long double>(&chunk - chunks_.data()) / static_cast<long double>(chunks_.size()));
    for (std::int32_t r0 = 1; r0 <= rows; r0 += kRowBlock) {
      const std::int32_t r1 = std::min(rows, r0 + kRowBlock - 1);
      for (std::size_t t = 0; t < chunk.index.size(); ++t) {
        double* zp = z.Column(chunk.index[t].p);
        double* zq = z.Column(chunk.index[t].q);
        if (zp == zq) {
          for (std::int32_t r = r0; r <= r1; ++r) zp[r] = -zp[r];
          continue;
        }
        const long double c = chunk.cs[t].c, s = chunk.cs[t].s;
        for (std::int32_t r = r0; r <= r1; ++r) {
          const long double y = zp[r], x = zq[r];
          zp[r] = static_cast<double>(y * c + x * s);
          zq[r] = static_cast<double>(x * c - y * s);
        }
      }
    }
  }
}

void matrixu::PlaneRotations::ProductColumns(const std::vector<std::int32_t>& columns, std::vector<long double>& x,
                                             std::int32_t rows, DecompositionProgress progress) const {
  const std::size_t length = static_cast<std::size_t>(rows), count = columns.size();
  // The vectors side by side (entry i of every vector together), so that each
  // rotation takes all of them at once: their sums run independently. Each
  // turn is evaluated in extended precision and stored as a double, as when
  // the rotations turn a whole matrix.
  std::vector<double> side(length * count, 0.0);
  for (std::size_t j = 0; j < count; ++j) side[static_cast<std::size_t>(columns[j] - 1) * count + j] = 1.0;
  // R₁···R_T e = R₁(···(R_T e)): the rotations from the last to the first,
  // each as it acts on a column vector.
  for (auto chunk = chunks_.rbegin(); chunk != chunks_.rend(); ++chunk) {
    progress.Report(static_cast<long double>(chunk - chunks_.rbegin()) / static_cast<long double>(chunks_.size()));
    for (std::size_t t = chunk->index.size(); t-- > 0;) {
      double* yp = side.data() + static_cast<std::size_t>(chunk->index[t].p - 1) * count;
      double* yq = side.data() + static_cast<std::size_t>(chunk->index[t].q - 1) * count;
      if (yp == yq) {
        for (std::size_t j = 0; j < count; ++j) yp[j] = -yp[j];
        continue;
      }
      const long double c = chunk->cs[t].c, s = chunk->cs[t].s;
      for (std::size_t j = 0; j < count; ++j) {
        const long double p = yp[j], q = yq[j];
        yp[j] = static_cast<double>(c * p - s * q);
        yq[j] = static_cast<double>(s * p + c * q);
      }
    }
  }
  x.resize(length * count);
  for (std::size_t i = 0; i < length; ++i)
    for (std::size_t j = 0; j < count; ++j) x[j * length + i] = side[i * count + j];
}
