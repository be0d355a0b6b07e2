// Multidimensional scaling of 300 points into 2 dimensions as MDSCALE does it
// (MONO, STRESS1), from one start and limited to 50 iterations, and
// MASS::isoMDS on the same matrix from the same start, limited likewise and
// timed in the same run by mdscale_isomds.R (skipped, with a note, where R or
// MASS is missing). The target: MDSCALE no slower than isoMDS
// ("isomds_ms" against the MDSCALE row's time; "mdscale_over_isomds" at most
// 1). The counters also give both final stresses.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "bench/RScript.h"
#include "matrix/Constu.h"
#include "modules/ordination/mdscaleIterate.h"
#include "modules/ordination/mdscalePairs.h"

namespace {

constexpr std::int32_t kPoints = 300;

// The platform's generator with a seed of its own: values in (0, 1).
class Uniform {
 public:
  explicit Uniform(std::uint32_t seed) : seed_(seed) {}
  double operator()() {
    seed_ = seed_ * 134775813u + 1u;
    return (seed_ + 0.5) / 4294967296.0;
  }

 private:
  std::uint32_t seed_;
};

// Points spread over 2 dimensions with a little noise in 2 more, their
// distances, and a start of uniform values.
struct Problem {
  std::vector<double> delta;  // the lower triangle, row by row, without the diagonal
  Rect_mx start{kPoints, 2};

  Problem() {
    Uniform u(2031);
    std::vector<std::array<double, 4>> points(kPoints);
    for (auto& p : points) p = {10 * u(), 10 * u(), 0.5 * (u() - 0.5), 0.5 * (u() - 0.5)};
    for (std::int32_t i = 2; i <= kPoints; ++i) {
      for (std::int32_t j = 1; j < i; ++j) {
        double squares = 0;
        for (std::size_t a = 0; a < 4; ++a) squares += std::pow(points[i - 1][a] - points[j - 1][a], 2);
        delta.push_back(std::sqrt(squares));
      }
    }
    for (std::int32_t i = 1; i <= kPoints; ++i)
      for (std::int32_t a = 1; a <= 2; ++a) start.putxij(i, a, 2 * u() - 1);
  }

  double Delta(std::int32_t i, std::int32_t j) const {
    if (i == j) return 0;
    if (i < j) std::swap(i, j);
    return delta[static_cast<std::size_t>((i - 1) * (i - 2) / 2 + (j - 1))];
  }
};

const Problem& TheProblem() {
  static const Problem problem;
  return problem;
}

struct Fastest {
  double seconds = std::numeric_limits<double>::infinity();
  double stress = 0;
};

Fastest& MdscaleFastest() {
  static Fastest fastest;
  return fastest;
}

void BM_Mdscale(benchmark::State& state) {
  const Problem& problem = TheProblem();
  TSharedServices quiet;
  quiet.listingLine = [](std::string_view) {};
  const TSharedServices old = InstallSharedServices(std::move(quiet));
  // Rule 3 never stops (MR above 1), MS and MG are 0: 50 iterations.
  const TMdscaleSettings settings{.maxIterations = 50, .maxStressRatio = 2};
  for (auto _ : state) {
    const auto begin = std::chrono::steady_clock::now();
    TMdscalePairList list;
    for (std::int32_t i = 2; i <= kPoints; ++i) {
      for (std::int32_t j = 1; j < i; ++j) {
        list.pairs.push_back({static_cast<std::uint16_t>(i), static_cast<std::uint16_t>(j)});
        list.delta.push_back(problem.Delta(i, j));
      }
    }
    SortPairsByDissimilarity(list, kPoints);
    Rect_mx x(kPoints, 2);
    problem.start.CopyTo(x);
    std::vector<double> d(list.pairs.size());
    std::vector<double> dhat(d.size());
    MdscaleIterate(x, list.pairs, d, dhat, list.delta, settings);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    state.SetIterationTime(seconds);
    if (seconds < MdscaleFastest().seconds) MdscaleFastest() = {seconds, StressTerms(d, dhat, 0).stress};
  }
  InstallSharedServices(old);
  state.counters["stress"] = MdscaleFastest().stress;
}

void BM_IsoMDS(benchmark::State& state) {
  const Problem& problem = TheProblem();
  const std::filesystem::path folder = std::filesystem::temp_directory_path();
  const std::filesystem::path matrix = folder / "bench_mdscale_matrix.csv";
  const std::filesystem::path start = folder / "bench_mdscale_start.csv";
  {
    std::ofstream out(matrix);
    out.precision(17);
    for (std::int32_t i = 1; i <= kPoints; ++i) {
      for (std::int32_t j = 1; j <= kPoints; ++j) out << (j > 1 ? "," : "") << problem.Delta(i, j);
      out << '\n';
    }
    std::ofstream s(start);
    s.precision(17);
    for (std::int32_t i = 1; i <= kPoints; ++i)
      s << problem.start.getxij(i, 1) << ',' << problem.start.getxij(i, 2) << '\n';
  }
  const std::string output = RunRScript("mdscale_isomds.R", matrix.string() + " " + start.string() + " 5");
  std::filesystem::remove(matrix);
  std::filesystem::remove(start);
  std::istringstream words(output);
  double seconds = 0;
  double stress = 0;
  if (!(words >> seconds >> stress)) {
    state.SkipWithError("R with the MASS package not found: isoMDS not timed");
    return;
  }
  for (auto _ : state) state.SetIterationTime(seconds);
  state.counters["isomds_ms"] = seconds * 1000;
  state.counters["isomds_stress"] = stress;
  state.counters["mdscale_ms"] = MdscaleFastest().seconds * 1000;
  state.counters["mdscale_over_isomds"] = MdscaleFastest().seconds / seconds;
}

}  // namespace

BENCHMARK(BM_Mdscale)->UseManualTime()->MinTime(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IsoMDS)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
