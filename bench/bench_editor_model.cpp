// Appending listing lines to one paragraph list, as the listing writer does
// for every line of a report: the text and a carriage return inserted at the
// start of the last, empty paragraph, one undo group each. The time must grow
// linearly with the number of lines, and the list's memory must stay within a
// few times the text it holds.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "ListingText.h"
#include "controls/editor/ParaList.h"

namespace {

std::size_t HeapInUse() { return mallinfo2().uordblks; }

void AppendListingLines(benchmark::State& state) {
  const std::int64_t lineCount = state.range(0);
  std::vector<std::string> lines;
  lines.reserve(static_cast<std::size_t>(lineCount));
  for (std::int64_t i = 0; i < lineCount; ++i) lines.push_back(ListingLine(i) + "\r");

  double memoryPerTextByte = 0;
  double textBytes = 0;
  for (auto _ : state) {
    const std::size_t before = HeapInUse();
    auto list = std::make_unique<TParaList>(nullptr, false, 8192);
    for (const std::string& line : lines) {
      std::int32_t para = list->ParagraphCount();
      std::int32_t pos = 1;
      list->InsertBlock(nullptr, para, line, pos);
    }
    state.PauseTiming();
    textBytes = static_cast<double>(list->ByteCount());
    memoryPerTextByte = static_cast<double>(HeapInUse() - before) / textBytes;
    list.reset();
    state.ResumeTiming();
  }
  state.counters["text_bytes"] = textBytes;
  state.counters["memory_per_text_byte"] = memoryPerTextByte;
  state.SetComplexityN(lineCount);
}

BENCHMARK(AppendListingLines)->Arg(200000)->Arg(400000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

}  // namespace

BENCHMARK_MAIN();
