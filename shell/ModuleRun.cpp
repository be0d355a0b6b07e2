#include "shell/ModuleRun.h"

#include <string>

#include "matrix/Constu.h"
#include "shell/Progress.h"

namespace {

TPlotButtonBar*& Bar() {
  static TPlotButtonBar* bar = nullptr;
  return bar;
}

}  // namespace

std::string_view DirectionWord(bool byRows) { return byRows ? "rows" : "cols"; }

void ListInputParameters(std::string_view inputFile) {
  ListingWriteLine("Input parameters");
  ListingWriteLine("Read input from file: " + std::string(inputFile));
}

void ListOutputFile(std::string_view fileName, std::string_view wording) {
  if (!fileName.empty()) ListingWriteLine(std::string(wording) + std::string(fileName));
}

void ForEachDataSet(rtl::TextReader& input, const std::function<void()>& dataSet) {
  for (;;) {
    dataSet();
    const bool more = !input.SeekEof();
    ListingWriteLine("");
    if (!more) return;
    ListingWriteLine("---- next dataset ----");
    ListingWriteLine("");
  }
}

void SetPlotButtonBar(TPlotButtonBar* bar) { Bar() = bar; }

void EnablePlotButtons(std::initializer_list<int> buttons) {
  if (RunFlags().batchRunning || Bar() == nullptr) return;
  for (int button : buttons) Bar()->EnableButton(button);
  Bar()->ShowBar();
}
