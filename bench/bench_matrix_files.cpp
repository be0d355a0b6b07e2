// Reading and writing a 2,000 x 2,000 rectangular matrix file in format "e".
// The goal: reading takes at most 3 times as long as converting the same
// numbers with strtod from a buffer holding the whole file.
//
//   bench_matrix_files --benchmark_filter=Rect2000

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "matrix/Matrixob.h"
#include "rtl/Random.h"
#include "rtl/TextFile.h"

namespace {

constexpr int kSize = 2000;

const std::string& FileName() {
  static const std::string name = (std::filesystem::temp_directory_path() / "bench_matrix_files.qmx").string();
  return name;
}

std::unique_ptr<Rect_mx> SampleMatrix() {
  auto m = std::make_unique<Rect_mx>(kSize, kSize);
  rtl::SetRandSeed(1);
  for (int i = 1; i <= kSize; ++i) {
    for (int j = 1; j <= kSize; ++j) m->putxij(i, j, (rtl::Random() - 0.5) * 1e3);
  }
  return m;
}

void WriteFile(const Rect_mx& m) {
  rtl::TextWriter f(FileName());
  WriteMatrixHeader(f, mtRectangular, m.rows(), m.cols(), 0, 0, "e", lcNone, lcNone);
  Write(m, f, true, "e");
  f.Close();
}

// The sample file, written once.
void EnsureFile() {
  static const bool written = [] {
    WriteFile(*SampleMatrix());
    return true;
  }();
  (void)written;
}

void BM_Rect2000_Write(benchmark::State& state) {
  const auto m = SampleMatrix();
  for (auto _ : state) WriteFile(*m);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(std::filesystem::file_size(FileName())));
}

void BM_Rect2000_Read(benchmark::State& state) {
  EnsureFile();
  Rect_mx m(kSize, kSize);
  for (auto _ : state) {
    rtl::TextReader f(FileName());
    std::unique_ptr<rtl::StringList> comments;
    TMatrixHeader h;
    ReadMatrixHeader(f, comments, h, false, {mtRectangular});
    Read(m, f, true, {}, {});
  }
  benchmark::DoNotOptimize(m.getxij(kSize, kSize));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(std::filesystem::file_size(FileName())));
}

// The yardstick: strtod over a buffer that already holds the whole file.
void BM_Rect2000_StrtodBaseline(benchmark::State& state) {
  EnsureFile();
  const std::string text = rtl::ReadWholeFile(FileName());
  const char* values = text.c_str() + text.find('\n') + 1;
  double sum = 0;
  for (auto _ : state) {
    const char* p = values;
    for (int k = 0; k < kSize * kSize; ++k) {
      char* end = nullptr;
      sum += std::strtod(p, &end);
      p = end;
    }
  }
  benchmark::DoNotOptimize(sum);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(text.size()));
}

BENCHMARK(BM_Rect2000_Write)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Rect2000_Read)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Rect2000_StrtodBaseline)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
