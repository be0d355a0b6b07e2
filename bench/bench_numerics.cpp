// The eigen-analysis and the SVD, which work in extended precision, side by
// side with LAPACK's double-precision routines on the same matrices. Each
// benchmark times both in every iteration and reports their ratio; one
// iteration each, as the large sizes take seconds. Run on a quiet machine:
//   bench_numerics --benchmark_repetitions=3
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include "matrix/Matrixu.h"

extern "C" {
void dsyev_(const char* jobz, const char* uplo, const int* n, double* a, const int* lda, double* w, double* work,
            const int* lwork, int* info);
void dgesvd_(const char* jobu, const char* jobvt, const int* m, const int* n, double* a, const int* lda, double* s,
             double* u, const int* ldu, double* vt, const int* ldvt, double* work, const int* lwork, int* info);
}

namespace {

// Values in [-0.5, 0.5) from the platform's generator, column by column.
std::vector<double> SeededColumns(int rows, int cols, std::uint32_t seed, bool symmetric) {
  std::vector<double> a(static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols));
  for (int j = 0; j < cols; ++j)
    for (int i = 0; i < rows; ++i) {
      seed = seed * 134775813u + 1u;
      a[static_cast<std::size_t>(j) * rows + i] = seed / 4294967296.0 - 0.5;
    }
  if (symmetric)
    for (int j = 0; j < cols; ++j)
      for (int i = 0; i < j; ++i) a[static_cast<std::size_t>(j) * rows + i] = a[static_cast<std::size_t>(i) * rows + j];
  return a;
}

std::unique_ptr<Rect_mx> ToRect(const std::vector<double>& a, int rows, int cols) {
  auto m = std::make_unique<Rect_mx>(rows, cols);
  for (int j = 0; j < cols; ++j)
    for (int i = 0; i < rows; ++i) m->putxij(i + 1, j + 1, a[static_cast<std::size_t>(j) * rows + i]);
  return m;
}

using Clock = std::chrono::steady_clock;

// Runs ours and LAPACK's in each iteration; the benchmark's time is ours.
template <class Prepare, class Ours, class Lapack>
void SideBySide(benchmark::State& state, Prepare prepare, Ours ours, Lapack lapack) {
  double oursSeconds = 0, lapackSeconds = 0;
  for (auto _ : state) {
    auto input = prepare();
    const auto t0 = Clock::now();
    ours(input);
    const auto t1 = Clock::now();
    lapack();
    const auto t2 = Clock::now();
    const double o = std::chrono::duration<double>(t1 - t0).count();
    oursSeconds += o;
    lapackSeconds += std::chrono::duration<double>(t2 - t1).count();
    state.SetIterationTime(o);
  }
  const auto n = static_cast<double>(state.iterations());
  state.counters["ours_s"] = oursSeconds / n;
  state.counters["lapack_s"] = lapackSeconds / n;
  state.counters["ratio"] = oursSeconds / lapackSeconds;
}

// EIGEN's decomposition: the eigenvalues and the leading vectors it writes
// (state.range(1) of them), against dsyev's values and every vector.
void BM_EigenSymVsDsyev(benchmark::State& state) {
  const auto n = static_cast<int>(state.range(0));
  const auto vectors = static_cast<std::int32_t>(state.range(1));
  const auto source = SeededColumns(n, n, 3, true);
  SideBySide(
      state, [&] { return ToRect(source, n, n); },
      [&](std::unique_ptr<Rect_mx>& a) {
        vect_mx d(n);
        std::int32_t count = 0;
        EigenSymNoListing(n, *a, d, 2, 1e-8, count, vectors);
        benchmark::DoNotOptimize(count);
      },
      [&] {
        std::vector<double> a = source, w(static_cast<std::size_t>(n));
        int lwork = -1, info = 0;
        double size = 0;
        dsyev_("V", "L", &n, a.data(), &n, w.data(), &size, &lwork, &info);
        lwork = static_cast<int>(size);
        std::vector<double> work(static_cast<std::size_t>(lwork));
        dsyev_("V", "L", &n, a.data(), &n, w.data(), work.data(), &lwork, &info);
        benchmark::DoNotOptimize(w.data());
      });
}

// The SVD module's decomposition: every singular value and the leading pairs
// it writes (state.range(2) of them; 0 for Svdcmp and SvdSorted forming every
// pair), against dgesvd's values and every pair.
void BM_SvdVsDgesvd(benchmark::State& state) {
  const auto m = static_cast<int>(state.range(0)), n = static_cast<int>(state.range(1));
  const auto pairs = static_cast<std::int32_t>(state.range(2));
  const auto source = SeededColumns(m, n, 5, false);
  SideBySide(
      state, [&] { return ToRect(source, m, n); },
      [&](std::unique_ptr<Rect_mx>& a) {
        Rect_mx v(n, n);
        vect_mx w(n);
        if (pairs == 0) {
          Svdcmp(*a, m, n, w, v);
          SvdSorted(m, n, n, 2, 2, *a, v, w);
        } else {
          SvdLeading(m, n, pairs, 2, 2, *a, v, w);
        }
        benchmark::DoNotOptimize(w.Get(1));
      },
      [&] {
        std::vector<double> a = source, s(static_cast<std::size_t>(n)), u(static_cast<std::size_t>(m) * n),
            vt(static_cast<std::size_t>(n) * n);
        int lwork = -1, info = 0;
        double size = 0;
        dgesvd_("S", "S", &m, &n, a.data(), &m, s.data(), u.data(), &m, vt.data(), &n, &size, &lwork, &info);
        lwork = static_cast<int>(size);
        std::vector<double> work(static_cast<std::size_t>(lwork));
        dgesvd_("S", "S", &m, &n, a.data(), &m, s.data(), u.data(), &m, vt.data(), &n, work.data(), &lwork, &info);
        benchmark::DoNotOptimize(s.data());
      });
}

}  // namespace

BENCHMARK(BM_EigenSymVsDsyev)
    ->ArgNames({"n", "vectors"})
    ->Args({500, 500})
    ->Args({1000, 3})
    ->Args({1000, 99})
    ->Args({2000, 3})
    ->Args({2000, 99})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK(BM_SvdVsDgesvd)
    ->ArgNames({"m", "n", "pairs"})
    ->Args({500, 200, 0})
    ->Args({2000, 500, 3})
    ->Args({2000, 500, 99})
    ->Args({2000, 500, 0})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

BENCHMARK_MAIN();
