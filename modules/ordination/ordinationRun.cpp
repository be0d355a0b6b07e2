#include "modules/ordination/ordinationRun.h"

#include <algorithm>
#include <utility>

#include "matrix/Constu.h"
#include "modules/ordination/vectorScaling.h"
#include "rtl/Format.h"
#include "shell/ModuleRun.h"
#include "shell/Progress.h"

TParamRec ScalingParam(std::string keyword, std::string prompt, std::string hint) {
  return ChoiceParam(std::move(keyword), std::move(prompt), std::move(hint), ChoiceItems(kScalings),
                     static_cast<std::int32_t>(TScalingItem::SqrtLambda));
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

void TKeptMatrices::Release() {
  plots_.CloseAll();
  results_.reset();
}

void TKeptMatrices::Plot2D(int button, std::string windowName) {
  plots_.Open(button, TMatrixPlotRequest{.results = results_, .windowName = std::move(windowName)});
}

void TKeptMatrices::Plot3D(int button, std::string windowName) {
  plots_.Open(button, TMatrix3DPlotRequest{.results = results_, .windowName = std::move(windowName)});
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
