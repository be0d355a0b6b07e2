#include "modules/ordination/ordinationRun.h"

#include <algorithm>
#include <utility>

#include "matrix/Constu.h"
#include "matrix/MatrixIO.h"
#include "modules/ordination/vectorScaling.h"
#include "rtl/Format.h"
#include "shell/ModuleRun.h"
#include "shell/Progress.h"

TParamRec ScalingParam(std::string keyword, std::string prompt, std::string hint) {
  return ChoiceParam(std::move(keyword), std::move(prompt), std::move(hint), ChoiceItems(kScalings),
                     static_cast<std::int32_t>(TScalingItem::SqrtLambda));
}

bool OpenOptionalInput(TInputMatrixFile& f, const std::string& name, std::string_view role) {
  return name.empty() || OpenInputMatrixFile(f, name, role);
}

bool OpenOptionalOutput(TOutputMatrixFile& f, const std::string& name, std::string_view role) {
  return name.empty() || OpenOutputMatrixFile(f, name, role);
}

void ListOutputs(std::span<const TOptionalOutput> outputs) {
  for (const TOptionalOutput& output : outputs) ListOutputFile(output.name, output.wording);
}

bool OpenOutputs(std::span<TOptionalOutput> outputs) {
  for (TOptionalOutput& output : outputs)
    if (!OpenOptionalOutput(output.file, output.name, output.role)) return false;
  return true;
}

void CloseOutputs(std::span<TOptionalOutput> outputs) {
  for (TOptionalOutput& output : outputs)
    if (output.file) CloseOutputMatrixFile(output.file);
}

void RefuseMissingValues(const TMatrixHeader& header) {
  if (header.missingCode != 0) throw E_Morvapc("Cannot process matrices with missing values.");
}

void WriteTitle(rtl::TextWriter& f, const rtl::StringList* comments, const std::string& title) {
  GuardMatrixWrite([&] {
    WriteMatrixComments(f, comments);
    f.WriteLine(title);
  });
}

void ReduceDimensions(std::int32_t& dimensions, std::int32_t available) {
  if (available >= dimensions) return;
  ListingWriteLine(rtl::Format("Requested number of dimensions, %d reduced to %d", dimensions, available));
  dimensions = available;
}

std::unique_ptr<Rect_mx> LabelledColumns(const Rect_mx& m, std::int32_t k, std::shared_ptr<Label_mx> rowLabels,
                                         std::string_view columnPrefix) {
  auto block = std::make_unique<Rect_mx>(m.rows(), k);
  for (std::int32_t i = 1; i <= m.rows(); ++i)
    for (std::int32_t j = 1; j <= k; ++j) block->putxij(i, j, m.getxij(i, j));
  block->FrLabels = std::move(rowLabels);
  block->FcLabels = std::make_shared<Label_mx>(k);
  block->FcLabels->SetDefaultLabels(columnPrefix);
  return block;
}

namespace {

// Labels a dimension read without any: the prefix and the number.
std::shared_ptr<Label_mx> LabelsOrDefaults(std::shared_ptr<Label_mx> read, std::int32_t n, std::string_view prefix) {
  if (read->HasStorage()) return read;
  auto labels = std::make_shared<Label_mx>(n);
  labels->SetDefaultLabels(prefix);
  return labels;
}

}  // namespace

TLabelledMatrix ReadLabelledBody(rtl::TextReader& f, const TMatrixHeader& header, bool transposed,
                                 std::string_view rowPrefix, std::string_view colPrefix) {
  RefuseEmptyMatrix(header);
  TLabelledMatrix m;
  const std::int32_t rows = transposed ? header.cols : header.rows;
  const std::int32_t cols = transposed ? header.rows : header.cols;
  const int rowCode = transposed ? header.colLabelCode : header.rowLabelCode;
  const int colCode = transposed ? header.rowLabelCode : header.colLabelCode;
  m.matrix = std::make_unique<Rect_mx>(rows, cols, header.missingCode,
                                       header.missingCode == 0 ? NoMissingValue : header.missingValue);
  auto rowLabels = std::make_shared<Label_mx>(rowCode != lcNone ? rows : 0);
  auto colLabels = std::make_shared<Label_mx>(colCode != lcNone ? cols : 0);
  Read(*m.matrix, f, !transposed, {rowLabels.get(), rowCode, true}, {colLabels.get(), colCode, true});
  m.rowLabels = LabelsOrDefaults(std::move(rowLabels), rows, rowPrefix);
  m.colLabels = LabelsOrDefaults(std::move(colLabels), cols, colPrefix);
  return m;
}

TLabelledMatrix ReadLabelledMatrix(rtl::TextReader& f, bool transposed, std::string_view rowPrefix,
                                   std::string_view colPrefix) {
  std::unique_ptr<rtl::StringList> comments;
  TMatrixHeader header;
  ReadMatrixHeader(f, comments, header, true, {mtRectangular});
  TLabelledMatrix m = ReadLabelledBody(f, header, transposed, rowPrefix, colPrefix);
  m.comments = std::move(comments);
  return m;
}

void TKeptMatrices::Release() {
  plots_.CloseAll();
  results_.reset();
}

void TKeptMatrices::Plot2D(int button, std::string windowName, bool pointsAreColumns) {
  plots_.Open(button,
              TMatrixPlotRequest{
                  .results = results_, .pointsAreColumns = pointsAreColumns, .windowName = std::move(windowName)});
}

void TKeptMatrices::Plot3D(int button, std::string windowName, bool pointsAreColumns) {
  plots_.Open(button,
              TMatrix3DPlotRequest{
                  .results = results_, .pointsAreColumns = pointsAreColumns, .windowName = std::move(windowName)});
}

std::int32_t TKeptMatrices::Dimensions() const {
  if (!results_ || results_->Empty()) return 0;
  std::int32_t fewest = (*results_)[0].cols();
  for (std::int32_t i = 1; i < results_->Count(); ++i) fewest = std::min(fewest, (*results_)[i].cols());
  return fewest;
}

void FinishRun(std::string_view progressText, std::int32_t dimensions, std::int32_t perKind,
               std::initializer_list<TOutputMatrixFile*> outputs) {
  Progress(progressText, 100);
  const bool pairs = perKind == 2;
  if (dimensions >= 3) {
    pairs ? EnablePlotButtons({1, 2, 3, 4}) : EnablePlotButtons({1, 2});
  } else if (dimensions == 2) {
    pairs ? EnablePlotButtons({1, 2}) : EnablePlotButtons({1});
  } else {
    EnablePlotButtons({});
  }
  for (TOutputMatrixFile* f : outputs)
    if (*f) CloseOutputMatrixFile(*f);
}
