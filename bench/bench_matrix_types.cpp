// Cost of the checked element accessors of the matrix types against plain
// access to the same storage: every element of a 5,000 x 5,000 Rect_mx and of
// a Sym_mx of 5,000 objects is read and written once per iteration.
//
// The inner loops are unrolled alike in every variant (the project builds
// with -O2, which does not unroll): then the loops' own counting does not
// swamp what is measured, the cost of the index checks. The ...Plain
// variants keep the loop as modules write it.

#include <benchmark/benchmark.h>

#include "matrix/Matrixob.h"

namespace {

constexpr int kOrder = 5000;

// The matrix types with their storage in view, for the unchecked baselines.
struct RawRect : Rect_mx {
  using Rect_mx::Rect_mx;
  double* Raw() { return Cells<double>(); }
};

struct RawSym : Sym_mx {
  using Sym_mx::Sym_mx;
  double* Raw() { return Cells<double>(); }
};

void BM_RectChecked(benchmark::State& state) {
  Rect_mx m(kOrder, kOrder);
  for (auto _ : state) {
    for (int i = 1; i <= kOrder; ++i) {
#pragma GCC unroll 4
      for (int j = 1; j <= kOrder; ++j) m.putxij(i, j, m.getxij(i, j) + 1.0);
    }
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kOrder * kOrder);
}

void BM_RectCheckedPlain(benchmark::State& state) {
  Rect_mx m(kOrder, kOrder);
  for (auto _ : state) {
    for (int i = 1; i <= kOrder; ++i)
      for (int j = 1; j <= kOrder; ++j) m.putxij(i, j, m.getxij(i, j) + 1.0);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kOrder * kOrder);
}

void BM_RectUnchecked(benchmark::State& state) {
  RawRect m(kOrder, kOrder);
  double* cells = m.Raw();
  const std::size_t stride = static_cast<std::size_t>(m.allocCols());
  for (auto _ : state) {
    for (int i = 1; i <= kOrder; ++i)
#pragma GCC unroll 4
      for (int j = 1; j <= kOrder; ++j) {
        double& x = cells[static_cast<std::size_t>(i - 1) * stride + static_cast<std::size_t>(j - 1)];
        x = x + 1.0;
      }
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kOrder * kOrder);
}

void BM_SymChecked(benchmark::State& state) {
  Sym_mx s(2, kOrder);
  for (auto _ : state) {
    for (int i = 1; i <= kOrder; ++i) {
#pragma GCC unroll 4
      for (int j = 1; j <= i; ++j) s.putxij(i, j, s.getxij(i, j) + 1.0);
    }
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * s.count());
  // Storage per stored element, in doubles: the packed triangle and its grid rounding.
  state.counters["doubles_per_element"] =
      static_cast<double>(s.GridRows()) * s.GridCols() / static_cast<double>(s.count());
}

void BM_SymUnchecked(benchmark::State& state) {
  RawSym s(2, kOrder);
  double* cells = s.Raw();
  for (auto _ : state) {
    for (int i = 1; i <= kOrder; ++i)
#pragma GCC unroll 4
      for (int j = 1; j <= i; ++j) {
        double& x = cells[Sym_mx::PackedIndex(i, j)];
        x = x + 1.0;
      }
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * s.count());
}

}  // namespace

BENCHMARK(BM_RectChecked)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RectCheckedPlain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RectUnchecked)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SymChecked)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SymUnchecked)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
