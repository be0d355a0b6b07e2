#pragma once
// Module 24, MXPLOT: reads rectangular data matrices, and optionally graph
// matrices, and draws two chosen variables of each as a scatter plot, one data
// set at a time. Its plot client, TMxPlotPlt, also serves the 2-D plot
// buttons of the ordination modules.

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "matrix/Matrixob.h"
#include "plot/forms/bmPlt2BC.h"
#include "rtl/TextFile.h"
#include "shell/Modules.h"
#include "shell/PlotWindows.h"

// What a point shows beside its symbol.
enum TMxPlotPointMode : std::int32_t { pmNone = 0, pmNumber = 1, pmLabel = 2 };

class TMxPlotPlt : public TbmPlt2BC {
 public:
  // byRows: the variables are rows and each column is a point; else the
  // variables are columns and each row is a point. The lists stay the
  // caller's; the plot shares them while it lives. graph may be null.
  TMxPlotPlt(std::shared_ptr<const TRectMxList> data, std::shared_ptr<const TGraphMxList> graph, bool byRows,
             std::int32_t x, std::int32_t y, std::string windowName, std::int32_t helpContext);

  void Show() override { ShowNamed(WindowName_); }

  // The four styles.
  void SetUpPlot(Tbm2DPlot& plot) override;
  // Draws the current data set.
  void DrawOn(Tbm2DPlot& plot) override;

  // What the options window changes.
  std::int32_t PointMode() const { return PointMode_; }
  void SetPointMode(std::int32_t mode) { PointMode_ = mode; }
  bool ShowGraph() const { return ShowGraph_; }
  void SetShowGraph(bool show) { ShowGraph_ = show; }
  bool ShowVectors() const { return ShowVectors_; }
  void SetShowVectors(bool show) { ShowVectors_ = show; }

  bool HasGraphList() const { return Graph_ != nullptr; }

  // The variables along the axes; choosing one names its axis after it too.
  std::int32_t X() const { return X_; }
  std::int32_t Y() const { return Y_; }
  void ChooseX(Tbm2DPlot& plot, std::int32_t variable);
  void ChooseY(Tbm2DPlot& plot, std::int32_t variable);
  // The label of a variable of the data set drawn last ("Var-" and its number when it has none).
  std::string VariableLabel(std::int32_t variable) const;

  // Opens the options window on this plot, modally; it is freed when it closes.
  void Options() override;

  std::int32_t CurrentGroup() const { return Current; }
  std::int32_t VariableCount() const { return VariableCount_; }
  const std::string& WindowName() const { return WindowName_; }

  // The style identifiers, in the order Show registers them.
  std::int32_t SymbolStyle() const { return SymbolStyle_; }
  std::int32_t GraphStyle() const { return GraphStyle_; }
  std::int32_t LabelStyle() const { return LabelStyle_; }
  std::int32_t VectorStyle() const { return VectorStyle_; }

 private:
  std::int32_t SymbolStyle_ = 0;
  std::int32_t GraphStyle_ = 0;
  std::int32_t LabelStyle_ = 0;
  std::int32_t VectorStyle_ = 0;
  std::int32_t PointMode_ = pmNone;
  bool ShowGraph_ = false;
  bool ShowVectors_ = false;
  std::shared_ptr<const TRectMxList> Data_;
  std::shared_ptr<const TGraphMxList> Graph_;
  bool ByRows_;
  std::int32_t X_;
  std::int32_t Y_;
  std::int32_t VariableCount_ = 0;
  std::string WindowName_;
};

// The variables of a data matrix: refused with E_Morvapc when there are fewer
// than two, when x or y is not one of them, or when no point has values on
// both.
void MxPlotCheckData(const Rect_mx& m, bool byRows, std::int32_t x, std::int32_t y);

// The opener of the ordination modules' 2-D plots: a TMxPlotPlt, shown.
std::unique_ptr<TPlotObject> OpenMatrixPlotWindow(const TMatrixPlotRequest& request);

void MxPlotDescribe(TModuleRec& module);
void MxPlotRun(std::span<const TParamRec> params);
// Closes the plot and lets go of the data and graph lists.
void MxPlotRelease();
void MxPlotClosePlot();

// The module's plot, or null when none is open.
TMxPlotPlt* MxPlotPlot();
