#pragma once
// What every module shares: its descriptor, its parameter table written one
// record a line, the table of facts behind a choice and the lookup of the
// chosen item, the opening lines of its parameter listing, the loop over the
// data sets of its input file, the progress of a row loop, and the enabling of
// its plot buttons after a run from the dialog.

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "matrix/MatrixFiles.h"
#include "rtl/TextFile.h"
#include "shell/Modules.h"

// ---- The descriptor ----

// What a describe routine does: fills every field of the descriptor but its
// number, in the order of the module table's columns, for example
//   DescribeAs(module, "Simint", "Similarity for interval data", 518, SimintRun, kParams, SimintRelease);
void DescribeAs(TModuleRec& module, std::string name, std::string title, std::int32_t helpContext, TRunProc run,
                std::span<const TParamRec> params, TReleaseProc release);
// The same for a module with plot buttons.
void DescribeAs(TModuleRec& module, std::string name, std::string title, std::int32_t helpContext, TRunProc run,
                std::span<const TParamRec> params, std::span<const TbuttonsRec> buttons, TReleaseProc release);

// ---- The parameter table ----
// A module's table is a static array of records, one call a record, whose
// arguments follow the columns of the module's table: keyword, prompt, hint,
// then the starting value and its limits or items. Help context 1001.

enum TParamRequired : bool { prOptional = false, prRequired = true };

TParamRec TextParam(std::string keyword, std::string prompt, std::string hint, std::string value = {},
                    TParamRequired required = prOptional);
TParamRec ChoiceParam(std::string keyword, std::string prompt, std::string hint, std::vector<std::string> items,
                      std::int32_t index = 0);
TParamRec CheckParam(std::string keyword, std::string prompt, std::string hint, bool value);
TParamRec InFileParam(std::string keyword, std::string prompt, std::string hint, TParamRequired required = prOptional);
TParamRec OutFileParam(std::string keyword, std::string prompt, std::string hint, TParamRequired required = prOptional);
TParamRec RealParam(std::string keyword, std::string prompt, std::string hint, double value, std::string min,
                    std::string max, std::string mask);
TParamRec IntegerParam(std::string keyword, std::string prompt, std::string hint, std::int32_t value, std::string min,
                       std::string max, std::string mask);

// ---- Facts behind a choice ----
// A choice that selects a coefficient or a method has one constexpr table of
// what the module knows of each item (its output type, its diagonal, its
// kernel, ...), in the order of the items, each entry with its item text in a
// field `name`.

// The items of a choice: the names of the facts table.
template <class Facts, std::size_t N>
std::vector<std::string> ChoiceItems(const std::array<Facts, N>& facts) {
  std::vector<std::string> items;
  items.reserve(N);
  for (const Facts& entry : facts) items.emplace_back(entry.name);
  return items;
}

// The selected item's index, counted from 0; an index outside 0 .. count - 1
// raises E_Morvapc_Internal "Choice index out of range: <index>".
std::size_t ChoiceIndex(const TParamRec& choice, std::size_t count);

// The facts of the selected item.
template <class Facts, std::size_t N>
const Facts& ChosenFacts(const std::array<Facts, N>& facts, const TParamRec& choice) {
  return facts[ChoiceIndex(choice, N)];
}

// ---- The listing ----

// "rows" for true, "cols" for false: the listing's words for a by-rows check box.
std::string_view DirectionWord(bool byRows);

// "Input parameters" and "Read input from file: " + the input file name.
void ListInputParameters(std::string_view inputFile);
// wording + the file name, only when a name was given.
void ListOutputFile(std::string_view fileName, std::string_view wording = "Save results in output file: ");

// ---- The files of a run ----

// The input file and the optional output file of a run, by name, and the
// files once open. Whatever is open is closed when the record goes, on every
// path; Finish closes the output with its write check.
struct TRunFiles {
  std::string input{};
  std::string output{};  // empty: no output file
  TInputMatrixFile in{};
  TOutputMatrixFile out{};

  // The openers of the matrix files: the input with the role "input", the
  // output (only when named) with its own role. False when an opener said no:
  // the run then ends at once without a message.
  bool OpenInput();
  bool OpenOutput(std::string_view role);
  bool Open(std::string_view outputRole) { return OpenInput() && OpenOutput(outputRole); }

  // The end of a run that went well: Progress 100, the plot buttons its
  // results feed (none in a batch), then the output closed with its check.
  void Finish(std::initializer_list<int> plotButtons = {});
};

// ---- The data sets and their progress ----

// Runs dataSet for each data set of the input file: after each, an empty
// listing line, and when more data follow, "---- next dataset ----" and
// another empty line before the next one.
void ForEachDataSet(rtl::TextReader& input, const std::function<void()>& dataSet);

// Progress "Computing" for row i of n: 100 (i - 1) / n rounded.
void ProgressRow(std::int32_t i, std::int32_t n);

// Refuses an input of more objects than the module's storage holds: raises
// E_Morvapc "Input matrix is too large, maximum size is " + maximum when
// objects > maximum.
void CheckMatrixSize(std::int32_t objects, std::int32_t maximum);

// While it lives, a long decomposition of the numerics (the eigen-analysis,
// the SVD) moves the gauge from first to last percent with text in the status
// line, and Cancel stops it there.
class TDecompositionProgress {
 public:
  TDecompositionProgress(std::string text, std::int32_t first, std::int32_t last);
  ~TDecompositionProgress();
  TDecompositionProgress(const TDecompositionProgress&) = delete;
  TDecompositionProgress& operator=(const TDecompositionProgress&) = delete;

 private:
  std::function<void(std::int32_t)> previous_;
};

// ---- Plot buttons ----

// The parameter dialog's bar of plot buttons (numbered from 1).
class TPlotButtonBar {
 public:
  virtual ~TPlotButtonBar() = default;
  virtual void EnableButton(int button) = 0;
  virtual void ShowBar() = 0;
};

// The bar of the open dialog, or nothing; returns the bar it replaces.
TPlotButtonBar* SetPlotButtonBar(TPlotButtonBar* bar);

// Enables the buttons and shows the bar; nothing while a batch runs.
void EnablePlotButtons(std::initializer_list<int> buttons);
