#pragma once
// What every module's run routine shares: the opening lines of its parameter
// listing, the loop over the data sets of its input file, and the enabling of
// its plot buttons after a run from the dialog.

#include <functional>
#include <initializer_list>
#include <string_view>

#include "rtl/TextFile.h"

// "rows" for true, "cols" for false: the listing's words for a by-rows check box.
std::string_view DirectionWord(bool byRows);

// "Input parameters" and "Read input from file: " + the input file name.
void ListInputParameters(std::string_view inputFile);
// wording + the file name, only when a name was given.
void ListOutputFile(std::string_view fileName, std::string_view wording = "Save results in output file: ");

// Runs dataSet for each data set of the input file: after each, an empty
// listing line, and when more data follow, "---- next dataset ----" and
// another empty line before the next one.
void ForEachDataSet(rtl::TextReader& input, const std::function<void()>& dataSet);

// The parameter dialog's bar of plot buttons (numbered from 1).
class TPlotButtonBar {
 public:
  virtual ~TPlotButtonBar() = default;
  virtual void EnableButton(int button) = 0;
  virtual void ShowBar() = 0;
};

// The bar of the open dialog, or nothing.
void SetPlotButtonBar(TPlotButtonBar* bar);

// Enables the buttons and shows the bar; nothing while a batch runs.
void EnablePlotButtons(std::initializer_list<int> buttons);
