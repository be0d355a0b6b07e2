// The data editor's window on a 3,000 x 3,000 distance file: opening it (read,
// shown in the grid, columns fitted, painted) must take under 3 s and the
// process under 600 MB. Also the window after 3,000,000 typed into "No. rows."
// on a new matrix. Each step runs once in a fresh window; the counters give the
// process's peak resident size in MB.
//
// Run offscreen: QT_QPA_PLATFORM=offscreen bench_mvedit

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "dataeditor/forms/MveditF.h"
#include "platform/Desktop.h"
#include "platform/Form.h"
#include "rtl/TextFile.h"

namespace {

namespace fs = std::filesystem;

constexpr int kOrder = 3000;

double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void StartApplication() {
  static int argc = 1;
  static char name[] = "bench_mvedit";
  static char* argv[] = {name, nullptr};
  plat::InitApplication(argc, argv);
}

// A dissimilarity matrix of the given order with labels, values as the programs
// write them (3.53836475741151E+000), written once per run.
std::string DistanceFile() {
  static const std::string path = [] {
    const fs::path file = fs::temp_directory_path() / ("bench-mvedit-" + std::to_string(kOrder) + ".qmx");
    rtl::TextWriter f(file.string());
    f.WriteLine("\" " + std::to_string(kOrder) + " OTUs, distances as SIMINT writes them");
    f.WriteLine("2 " + std::to_string(kOrder) + "L " + std::to_string(kOrder) + " 0 ");
    std::string line;
    for (int i = 1; i <= kOrder; ++i) line += " OTU" + std::to_string(i);
    f.WriteLine(line);
    char value[32];
    for (int i = 1; i <= kOrder; ++i) {
      line.clear();
      for (int j = 1; j <= i; ++j) {
        const double v = i == j ? 0.0 : 1.0 + static_cast<double>((i * 7919 + j * 104729) % 100000) / 10000.0;
        std::snprintf(value, sizeof value, " %.14fE+000", v);
        line += value;
      }
      f.WriteLine(line);
    }
    f.Close();
    return file.string();
  }();
  return path;
}

void BM_TypeThreeMillionRows(benchmark::State& state) {
  StartApplication();
  for (auto _ : state) {
    TMveditF& form = plat::CreateForm<TMveditF>();
    form.Start({});
    form.ShowForm();
    plat::ProcessMessages();
    form.Model().RowsEditExit("3000000");
    form.Refresh();
    plat::ProcessMessages();
    benchmark::DoNotOptimize(form.DataGrid().RowCount());
    state.PauseTiming();
    plat::DestroyForms();
    state.ResumeTiming();
  }
  state.counters["peak_MB"] = PeakMegabytes();
}
BENCHMARK(BM_TypeThreeMillionRows)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_OpenDistanceFile(benchmark::State& state) {
  StartApplication();
  const std::string path = DistanceFile();
  for (auto _ : state) {
    TMveditF& form = plat::CreateForm<TMveditF>();
    form.Start({path});
    form.ShowForm();
    plat::ProcessMessages();
    benchmark::DoNotOptimize(form.DataGrid().ColWidth(kOrder));
    state.PauseTiming();
    plat::DestroyForms();
    state.ResumeTiming();
  }
  state.counters["peak_MB"] = PeakMegabytes();
}
BENCHMARK(BM_OpenDistanceFile)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
