// UPGMA clustering by SAHN on random dissimilarity matrices of 1,000, 2,000
// and 4,000 objects. Time should grow no faster than n^2.3 from one size to
// the next (the "exponent_..." counters of BM_SahnUpgmaGrowth, taken from the
// fastest run of each size, the one least disturbed by the rest of the
// machine), and the memory the clustering allocates beyond the packed
// triangle it works in should stay a fixed number of bytes per object (the
// "extra_bytes_per_object" counter).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <map>
#include <memory>
#include <new>
#include <string>

#include "modules/clustering/sahnClustering.h"

namespace {

// Bytes allocated now and the most at any moment since the last reset.
std::atomic<std::int64_t> allocated{0};
std::atomic<std::int64_t> peak{0};

void Count(std::int64_t bytes) {
  const std::int64_t now = allocated += bytes;
  std::int64_t high = peak.load();
  while (now > high && !peak.compare_exchange_weak(high, now)) {
  }
}

}  // namespace

// Every allocation carries its size in front, so that the count can follow it.
void* operator new(std::size_t size) {
  auto* block = static_cast<std::size_t*>(std::malloc(size + sizeof(std::max_align_t)));
  if (block == nullptr) throw std::bad_alloc();
  *block = size;
  Count(static_cast<std::int64_t>(size));
  return reinterpret_cast<char*>(block) + sizeof(std::max_align_t);
}
void operator delete(void* p) noexcept {
  if (p == nullptr) return;
  auto* block = reinterpret_cast<std::size_t*>(static_cast<char*>(p) - sizeof(std::max_align_t));
  Count(-static_cast<std::int64_t>(*block));
  std::free(block);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

namespace {

// Values in (0, 1) from the platform's generator.
void FillRandom(Sym_mx& d) {
  std::uint32_t seed = 12345;
  for (std::int32_t i = 1; i <= d.n(); ++i) {
    for (std::int32_t j = 1; j < i; ++j) {
      seed = seed * 134775813u + 1u;
      d.putxij(i, j, (seed + 0.5) / 4294967296.0);
    }
    d.putxij(i, i, 0);
  }
}

// Seconds of the fastest clustering by size, for the growth between sizes.
std::map<std::int64_t, double>& SecondsBySize() {
  static std::map<std::int64_t, double> seconds;
  return seconds;
}

void BM_SahnUpgma(benchmark::State& state) {
  const auto n = static_cast<std::int32_t>(state.range(0));
  Sym_mx source(2, n);
  FillRandom(source);
  Sym_mx work(2, n);
  const TSahnOptions options{TSahnMethod::Upgma, 0.0, 0.0};
  double extraBytes = 0;
  double fastest = std::numeric_limits<double>::infinity();
  for (auto _ : state) {
    source.CopyTo(work);
    const std::int64_t before = allocated.load();
    peak = before;
    const auto start = std::chrono::steady_clock::now();
    bool tie = false;
    const TSahnDendrogram tree = SahnClusterWithTieCheck(work, options, tie);
    benchmark::DoNotOptimize(tree.order.data());
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(seconds);
    fastest = std::min(fastest, seconds);
    extraBytes = static_cast<double>(peak.load() - before);
  }
  SecondsBySize()[n] = fastest;
  state.counters["triangle_bytes"] = static_cast<double>(source.count()) * sizeof(double);
  state.counters["extra_bytes_per_object"] = extraBytes / n;
}

// Runs after the sizes: the exponent k of time ~ n^k between neighbouring
// sizes (at most 2.3 is the target).
void BM_SahnUpgmaGrowth(benchmark::State& state) {
  for (auto _ : state) {
  }
  const auto& seconds = SecondsBySize();
  for (auto it = seconds.begin(); it != seconds.end() && std::next(it) != seconds.end(); ++it) {
    const auto next = std::next(it);
    state.counters["exponent_" + std::to_string(it->first) + "_to_" + std::to_string(next->first)] =
        std::log(next->second / it->second) /
        std::log(static_cast<double>(next->first) / static_cast<double>(it->first));
  }
}

}  // namespace

BENCHMARK(BM_SahnUpgma)->Arg(1000)->Arg(2000)->Arg(4000)->UseManualTime()->MinTime(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SahnUpgmaGrowth)->Iterations(1);
BENCHMARK_MAIN();
