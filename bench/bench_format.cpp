// Format of doubles against snprintf for the same numbers: the listings and
// matrix files format hundreds of thousands of numbers.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "rtl/Format.h"

namespace {

const std::vector<double>& Numbers() {
  static const std::vector<double> values = [] {
    std::vector<double> v;
    double x = 0.5;
    for (int i = 0; i < 4096; ++i) {
      x = std::fmod(x * 9301.0 + 49297.0, 233280.0);
      v.push_back((x / 233280.0 - 0.5) * std::pow(10.0, i % 9 - 4));
    }
    return v;
  }();
  return values;
}

void Ours(benchmark::State& state, const char* pattern) {
  std::string out;
  for (auto _ : state) {
    for (double v : Numbers()) {
      out.clear();
      rtl::FormatTo(out, pattern, {v});
      benchmark::DoNotOptimize(out.data());
    }
  }
  state.SetItemsProcessed(state.iterations() * Numbers().size());
}

void Snprintf(benchmark::State& state, const char* pattern) {
  char buf[64];
  for (auto _ : state) {
    for (double v : Numbers()) {
      std::snprintf(buf, sizeof buf, pattern, v);
      benchmark::DoNotOptimize(buf);
    }
  }
  state.SetItemsProcessed(state.iterations() * Numbers().size());
}

BENCHMARK_CAPTURE(Ours, e, "%e");
BENCHMARK_CAPTURE(Snprintf, e, "%.14E");
BENCHMARK_CAPTURE(Ours, fixed_8_4, "%8.4f");
BENCHMARK_CAPTURE(Snprintf, fixed_8_4, "%8.4f");

}  // namespace

BENCHMARK_MAIN();
