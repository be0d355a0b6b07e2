// Plot engine: a full layout and frame paint with a legend, and drawing many
// symbols in world coordinates, on the recording canvas.

#include <benchmark/benchmark.h>

#include "platform/record/RecordingCanvas.h"
#include "plot/bm2DPaintBox.h"

namespace {

TbmStyleList MakeStyles(int count) {
  TbmStyleList list;
  for (int i = 1; i <= count; ++i) {
    TbmSymbolClass s;
    s.Kind = static_cast<std::uint8_t>(i % 8);
    s.InLegend = true;
    list.push_back({i, "Group " + std::to_string(i), s});
  }
  return list;
}

void BM_LayoutAndPaint(benchmark::State& state) {
  plat::RecordingCanvas canvas(96, 96);
  Tbm2DPaintBox box(canvas, 800, 600);
  const TbmStyleList styles = MakeStyles(static_cast<int>(state.range(0)));
  box.Parts().Legend.Styles = &styles;
  box.Parts().Legend.Display = true;
  for (auto _ : state) {
    canvas.Clear();
    box.Layout(800, 600);
    box.PaintPlot();
    benchmark::DoNotOptimize(canvas.Ops().size());
  }
}
BENCHMARK(BM_LayoutAndPaint)->Arg(4)->Arg(64);

void BM_DrawSymbols(benchmark::State& state) {
  plat::RecordingCanvas canvas(96, 96);
  Tbm2DPaintBox box(canvas, 800, 600);
  box.Layout(800, 600);
  const int n = static_cast<int>(state.range(0));
  for (auto _ : state) {
    canvas.Clear();
    for (int i = 0; i < n; ++i) box.DrawSymbolAt((i % 101) / 100.0, (i % 37) / 36.0);
    benchmark::DoNotOptimize(canvas.Ops().size());
  }
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_DrawSymbols)->Arg(1000);

}  // namespace

BENCHMARK_MAIN();
