// MXCOMP's computation on two 200 x 200 matrices: the association, normalised,
// and the permutation test with 999 permutations; and vegan::mantel with 999
// permutations on the same matrices, timed in the same run by mxcomp_vegan.R
// (skipped, with a note, where R or vegan is missing). The target: MXCOMP
// faster than vegan ("mxcomp_over_vegan" below 1).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <string>

#include "bench/RScript.h"
#include "matrix/Constu.h"
#include "matrix/MatrixFiles.h"
#include "plot/mxcompStats.h"

namespace {

constexpr std::int32_t kObjects = 200;
constexpr std::int32_t kPermutations = 999;

// Values in (1, 2) from the platform's generator, from the seed given; a
// zero diagonal.
std::unique_ptr<Sym_mx> RandomMatrix(std::uint32_t seed) {
  auto d = std::make_unique<Sym_mx>(mtDissimilarity, kObjects);
  for (std::int32_t i = 1; i <= kObjects; ++i) {
    for (std::int32_t j = 1; j < i; ++j) {
      seed = seed * 134775813u + 1u;
      d->putxij(i, j, 1.0 + (seed + 0.5) / 4294967296.0);
    }
    d->putxij(i, i, 0);
  }
  return d;
}

// The full square as CSV, 17 significant digits, for R.
void WriteCsv(const Sym_mx& d, const std::filesystem::path& csv) {
  std::ofstream out(csv);
  out.precision(17);
  for (std::int32_t i = 1; i <= d.n(); ++i) {
    for (std::int32_t j = 1; j <= d.n(); ++j) out << (j > 1 ? "," : "") << d.getxij(i, j);
    out << '\n';
  }
}

double& MxCompFastest() {
  static double seconds = std::numeric_limits<double>::infinity();
  return seconds;
}

void BM_MxCompPermutations(benchmark::State& state) {
  for (auto _ : state) {
    TMxCompData data;
    data.Add(RandomMatrix(2031), RandomMatrix(77));
    const TMxCompPair pair{data.X[0], data.Y[0], data.XValid[0], data.YValid[0]};
    const auto start = std::chrono::steady_clock::now();
    const TMxCompStatistics s = MxCompAssociation(pair, true, true);
    const TMxCompCounts counts = MxCompPermutationTest(pair, s.Z, kPermutations);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(seconds);
    MxCompFastest() = std::min(MxCompFastest(), seconds);
    benchmark::DoNotOptimize(counts.less);
  }
}

void BM_VeganMantel(benchmark::State& state) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path();
  const std::filesystem::path x = folder / "bench_mxcomp_x.csv";
  const std::filesystem::path y = folder / "bench_mxcomp_y.csv";
  WriteCsv(*RandomMatrix(2031), x);
  WriteCsv(*RandomMatrix(77), y);
  const std::string output = RunRScript("mxcomp_vegan.R", x.string() + " " + y.string() + " 3");
  std::filesystem::remove(x);
  std::filesystem::remove(y);
  double seconds = 0;
  try {
    seconds = std::stod(output);
  } catch (const std::exception&) {
    state.SkipWithError("R with the vegan package not found: vegan::mantel not timed");
    return;
  }
  for (auto _ : state) state.SetIterationTime(seconds);
  state.counters["vegan_mantel_ms"] = seconds * 1000;
  state.counters["mxcomp_ms"] = MxCompFastest() * 1000;
  state.counters["mxcomp_over_vegan"] = MxCompFastest() / seconds;
}

}  // namespace

BENCHMARK(BM_MxCompPermutations)->UseManualTime()->MinTime(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VeganMantel)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
