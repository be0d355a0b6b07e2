#include "shell/ModuleRun.h"

#include <string>
#include <utility>

#include "matrix/Constu.h"
#include "matrix/Matrixu.h"
#include "rtl/Convert.h"
#include "rtl/Format.h"
#include "shell/Progress.h"

namespace {

TPlotButtonBar*& Bar() {
  static TPlotButtonBar* bar = nullptr;
  return bar;
}

TParamRec Param(std::string keyword, std::string prompt, std::string hint, TParamType type,
                TParamRequired required = prOptional) {
  TParamRec p;
  p.keyword = std::move(keyword);
  p.prompt = std::move(prompt);
  p.hint = std::move(hint);
  p.type = type;
  p.required = required;
  return p;
}

// A number's limits and edit mask, as text.
TParamRec WithLimits(TParamRec p, std::string min, std::string max, std::string mask) {
  p.min = std::move(min);
  p.max = std::move(max);
  p.mask = std::move(mask);
  return p;
}

}  // namespace

void DescribeAs(TModuleRec& module, std::string name, std::string title, std::int32_t helpContext, TRunProc run,
                std::span<const TParamRec> params, TReleaseProc release) {
  DescribeAs(module, std::move(name), std::move(title), helpContext, run, params, {}, release);
}

void DescribeAs(TModuleRec& module, std::string name, std::string title, std::int32_t helpContext, TRunProc run,
                std::span<const TParamRec> params, std::span<const TbuttonsRec> buttons, TReleaseProc release) {
  module.name = std::move(name);
  module.title = std::move(title);
  module.run = run;
  module.helpContext = helpContext;
  module.params = params;
  module.buttons = buttons;
  module.release = release;
}

TParamRec TextParam(std::string keyword, std::string prompt, std::string hint, std::string value,
                    TParamRequired required) {
  TParamRec p = Param(std::move(keyword), std::move(prompt), std::move(hint), ptText, required);
  p.text = std::move(value);
  return p;
}

TParamRec ChoiceParam(std::string keyword, std::string prompt, std::string hint, std::vector<std::string> items,
                      std::int32_t index) {
  TParamRec p = Param(std::move(keyword), std::move(prompt), std::move(hint), ptChoice);
  p.items = std::move(items);
  p.index = index;
  return p;
}

TParamRec CheckParam(std::string keyword, std::string prompt, std::string hint, bool value) {
  TParamRec p = Param(std::move(keyword), std::move(prompt), std::move(hint), ptCheck);
  p.check = value;
  return p;
}

TParamRec InFileParam(std::string keyword, std::string prompt, std::string hint, TParamRequired required) {
  return Param(std::move(keyword), std::move(prompt), std::move(hint), ptInFile, required);
}

TParamRec OutFileParam(std::string keyword, std::string prompt, std::string hint, TParamRequired required) {
  return Param(std::move(keyword), std::move(prompt), std::move(hint), ptOutFile, required);
}

TParamRec RealParam(std::string keyword, std::string prompt, std::string hint, double value, std::string min,
                    std::string max, std::string mask) {
  TParamRec p = Param(std::move(keyword), std::move(prompt), std::move(hint), ptReal);
  p.real = value;
  return WithLimits(std::move(p), std::move(min), std::move(max), std::move(mask));
}

TParamRec IntegerParam(std::string keyword, std::string prompt, std::string hint, std::int32_t value, std::string min,
                       std::string max, std::string mask) {
  TParamRec p = Param(std::move(keyword), std::move(prompt), std::move(hint), ptInteger);
  p.integer = value;
  return WithLimits(std::move(p), std::move(min), std::move(max), std::move(mask));
}

std::size_t ChoiceIndex(const TParamRec& choice, std::size_t count) {
  if (choice.index < 0 || static_cast<std::size_t>(choice.index) >= count) {
    throw E_Morvapc_Internal(rtl::Format("Choice index out of range: %d", choice.index));
  }
  return static_cast<std::size_t>(choice.index);
}

std::string_view DirectionWord(bool byRows) { return byRows ? "rows" : "cols"; }

void ListInputParameters(std::string_view inputFile) {
  ListingWriteLine("Input parameters");
  ListingWriteLine("Read input from file: " + std::string(inputFile));
}

void ListOutputFile(std::string_view fileName, std::string_view wording) {
  if (!fileName.empty()) ListingWriteLine(std::string(wording) + std::string(fileName));
}

bool TRunFiles::OpenInput() { return OpenInputMatrixFile(in, input, "input"); }

bool TRunFiles::OpenOutput(std::string_view role) { return output.empty() || OpenOutputMatrixFile(out, output, role); }

void TRunFiles::Finish(std::initializer_list<int> plotButtons) {
  Progress("", 100);
  if (plotButtons.size() > 0) EnablePlotButtons(plotButtons);
  if (out) CloseOutputMatrixFile(out);
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

void ProgressRow(std::int32_t i, std::int32_t n) {
  const long double percent = 100.0L * static_cast<long double>(i - 1) / static_cast<long double>(n);
  Progress("Computing", static_cast<std::int32_t>(rtl::Round(percent)));
}

void CheckMatrixSize(std::int32_t objects, std::int32_t maximum) {
  if (objects > maximum) throw E_Morvapc("Input matrix is too large, maximum size is " + rtl::IntToStr(maximum));
}

TDecompositionProgress::TDecompositionProgress(std::string text, std::int32_t first, std::int32_t last)
    : previous_(InstallDecompositionProgress([text = std::move(text), first, last](std::int32_t percent) {
        Progress(text, first + static_cast<std::int32_t>(rtl::Round((last - first) * percent / 100.0L)));
      })) {}

TDecompositionProgress::~TDecompositionProgress() { InstallDecompositionProgress(std::move(previous_)); }

TPlotButtonBar* SetPlotButtonBar(TPlotButtonBar* bar) { return std::exchange(Bar(), bar); }

void EnablePlotButtons(std::initializer_list<int> buttons) {
  if (RunFlags().batchRunning || Bar() == nullptr) return;
  for (int button : buttons) Bar()->EnableButton(button);
  Bar()->ShowBar();
}
