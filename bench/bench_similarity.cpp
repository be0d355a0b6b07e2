// SIMINT's Euclidean distance and correlation between 2,000 OTUs of 50
// characters (every pair of the lower triangle with its diagonal), against a
// plain double-precision loop of the same formula over the same values laid
// out OTU by OTU. The module's computation should take at most twice as long.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "modules/similarity/simint.h"

namespace {

constexpr std::int32_t kOtus = 2000;
constexpr std::int32_t kCharacters = 50;

// Characters as rows, OTUs as columns, as the module holds a data set.
std::unique_ptr<Rect_mx> Data() {
  auto m = std::make_unique<Rect_mx>(kCharacters, kOtus);
  std::uint32_t seed = 12345;
  for (std::int32_t k = 1; k <= kCharacters; ++k) {
    for (std::int32_t i = 1; i <= kOtus; ++i) {
      seed = seed * 134775813u + 1u;
      m->putxij(k, i, static_cast<double>(seed) / 4294967296.0 * 10.0);
    }
  }
  return m;
}

// The same values OTU by OTU.
std::vector<double> OtuMajor(const Rect_mx& m) {
  std::vector<double> v;
  v.reserve(static_cast<std::size_t>(kOtus) * kCharacters);
  for (std::int32_t i = 1; i <= kOtus; ++i) {
    for (std::int32_t k = 1; k <= kCharacters; ++k) v.push_back(m.getxij(k, i));
  }
  return v;
}

void BM_Module(benchmark::State& state, TSimintCoeff coeff) {
  const auto data = Data();
  for (auto _ : state) {
    const TSimintComputer computer(*data, coeff);
    std::vector<double> row(kOtus);
    double sum = 0;
    for (std::int32_t i = 1; i <= kOtus; ++i) {
      computer.Row(i, row);
      for (std::int32_t j = 0; j < i; ++j) sum += row[static_cast<std::size_t>(j)];
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kOtus * (kOtus + 1) / 2);
}

double PlainEuclid(const double* x, const double* y) {
  double d2 = 0;
  for (std::int32_t k = 0; k < kCharacters; ++k) {
    const double d = x[k] - y[k];
    d2 += d * d;
  }
  return std::sqrt(d2);
}

double PlainCorr(const double* x, const double* y) {
  double sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
  for (std::int32_t k = 0; k < kCharacters; ++k) {
    sx += x[k];
    sy += y[k];
    sxx += x[k] * x[k];
    syy += y[k] * y[k];
    sxy += x[k] * y[k];
  }
  const double n = kCharacters;
  const double product = (syy - sy * sy / n) * (sxx - sx * sx / n);
  return product <= 0 ? 0 : (sxy - sx * sy / n) / std::sqrt(product);
}

void BM_Plain(benchmark::State& state, double (*formula)(const double*, const double*)) {
  const std::vector<double> v = OtuMajor(*Data());
  for (auto _ : state) {
    double sum = 0;
    for (std::int32_t i = 0; i < kOtus; ++i) {
      for (std::int32_t j = 0; j <= i; ++j) {
        sum += formula(&v[static_cast<std::size_t>(i) * kCharacters], &v[static_cast<std::size_t>(j) * kCharacters]);
      }
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kOtus * (kOtus + 1) / 2);
}

BENCHMARK_CAPTURE(BM_Module, Euclid, siEUCLID)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Plain, Euclid, PlainEuclid)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Module, Corr, siCORR)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Plain, Corr, PlainCorr)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
