#pragma once
// What the ordination modules' runs share: the scaling choice of their
// parameter tables, the refusal of missing values, the title lines of their
// output files, the reduction of the number of dimensions to what a matrix
// has, the results kept for the plots (one matrix a data set), and the end of
// a run with the rule that enables the 2-D and 3-D plot buttons.

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "matrix/MatrixFiles.h"
#include "matrix/Matrixob.h"
#include "rtl/StringList.h"
#include "rtl/TextFile.h"
#include "shell/Modules.h"
#include "shell/PlotWindows.h"

// A choice of the shared scaling items, SQRT(LAMBDA) at the start.
TParamRec ScalingParam(std::string keyword, std::string prompt, std::string hint);

// The openers of a file that a run may go without: true, opening nothing,
// for an empty name.
bool OpenOptionalInput(TInputMatrixFile& f, const std::string& name, std::string_view role);
bool OpenOptionalOutput(TOutputMatrixFile& f, const std::string& name, std::string_view role);

// An output a run may go without: its name (empty: not wanted), the wording
// of its parameter-listing line, the role noun its opener names, and the file
// once open.
struct TOptionalOutput {
  std::string name{};
  std::string_view wording{};
  std::string_view role{};
  TOutputMatrixFile file{};

  rtl::TextWriter* operator->() const { return file.get(); }
  explicit operator bool() const { return file != nullptr; }
};

// The wording and name of each output given, in order.
void ListOutputs(std::span<const TOptionalOutput> outputs);
// Opens each output given, in order; false, when an opener said no.
bool OpenOutputs(std::span<TOptionalOutput> outputs);
// Closes each open output with its write check.
void CloseOutputs(std::span<TOptionalOutput> outputs);

// Raises E_Morvapc "Cannot process matrices with missing values." when the
// header declares missing values.
void RefuseMissingValues(const TMatrixHeader& header);

// The input's comments, then the module's title line (which starts with the
// double-quote mark).
void WriteTitle(rtl::TextWriter& f, const rtl::StringList* comments, const std::string& title);

// When fewer than `dimensions` are available, lists "Requested number of
// dimensions, N reduced to n" and reduces them; the reduced number stays for
// the rest of the run.
void ReduceDimensions(std::int32_t& dimensions, std::int32_t available);

// The leading rows × k block of m with its labels: rowLabels for the rows,
// and for the columns the prefix followed by each column's number.
std::unique_ptr<Rect_mx> LabelledColumns(const Rect_mx& m, std::int32_t k, std::shared_ptr<Label_mx> rowLabels,
                                         std::string_view columnPrefix);

// A matrix read with the labels of both dimensions, those missing from the
// file named by default.
struct TLabelledMatrix {
  std::unique_ptr<Rect_mx> matrix;
  std::shared_ptr<Label_mx> rowLabels;
  std::shared_ptr<Label_mx> colLabels;
  std::unique_ptr<rtl::StringList> comments;
};

// Reads the body of a rectangular matrix whose header was read, with the
// header's missing code and value. With transposed, the file's rows become
// the matrix's columns. Labels missing from the file are the prefix followed
// by the number. A matrix without rows or columns is refused (RefuseEmptyMatrix).
TLabelledMatrix ReadLabelledBody(rtl::TextReader& f, const TMatrixHeader& header, bool transposed,
                                 std::string_view rowPrefix, std::string_view colPrefix);

// Reads the next matrix of f (type 1, its header listed) with its labels.
TLabelledMatrix ReadLabelledMatrix(rtl::TextReader& f, bool transposed, std::string_view rowPrefix,
                                   std::string_view colPrefix);

// The matrices a run keeps for its plots, one a data set, and the plots open
// over them (each plot shares them). The plots take the points as rows: each
// matrix row is a point placed at columns 1 and 2 (and 3), or, when asked,
// each column at rows 1 and 2 (and 3).
class TKeptMatrices {
 public:
  // A run starts a new, empty list; plots still open keep the earlier one.
  void Start() { results_ = std::make_shared<TRectMxList>(); }
  const Rect_mx& Add(std::unique_ptr<Rect_mx> m) { return results_->Add(std::move(m)); }
  // Closes the plots and lets go of the list.
  void Release();
  std::shared_ptr<const TRectMxList> Results() const { return results_; }
  // The fewest columns of a kept matrix (the dimensions every data set can
  // plot); 0 with none.
  std::int32_t Dimensions() const;

  // A plot button's routine: the 2-D or 3-D plot of the kept list under the
  // window name; nothing without results.
  void Plot2D(int button, std::string windowName, bool pointsAreColumns = false);
  void Plot3D(int button, std::string windowName, bool pointsAreColumns = false);
  // A plot button's close routine.
  void ClosePlot(int button) { plots_.Close(button); }

 private:
  std::shared_ptr<TRectMxList> results_;
  TModulePlots plots_;
};

// The end of a run that went well: Progress 100 with the text; outside a
// batch, the 2-D plot buttons enabled when the kept results have at least 2
// dimensions and the 3-D ones when they have 3, and the bar shown; then each
// output that is open closed with its write check. The first perKind buttons
// are 2-D plots, the next perKind 3-D plots (perKind 1 or 2).
void FinishRun(std::string_view progressText, std::int32_t dimensions, std::int32_t perKind,
               std::initializer_list<TOutputMatrixFile*> outputs);
