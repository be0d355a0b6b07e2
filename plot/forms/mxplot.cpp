#include "plot/forms/mxplot.h"

#include <algorithm>
#include <array>

#include "matrix/Constu.h"
#include "matrix/MatrixFiles.h"
#include "plot/forms/mxploto.h"
#include "plot/plotData.h"
#include "rtl/Format.h"
#include "shell/ModuleRun.h"
#include "shell/Progress.h"

namespace {

constexpr const char* kWindowTitle = "Matrix plot";
constexpr const char* kModuleWindowName = "MxPlotF";
// Bounds of the running minimum and maximum before any point.
constexpr double kNoMinimum = 9e200;
constexpr double kNoMaximum = -9e200;
// The width given to a range of one value.
constexpr double kLeastWidth = 0.0001;

enum : std::int32_t { pInput, pByRows, pX, pY, pGraph };
const std::array<TParamRec, 5> kParams = {
    InFileParam("O", "Input file", "Name of input file", prRequired),
    CheckParam("D", "Plot by rows?", "Check if by rows", true),
    IntegerParam("X", "Abscissa", "Variable to plot along X-axis", 1, "1", "999", "###"),
    IntegerParam("Y", "Ordinate", "Variable to plot along Y-axis", 2, "1", "999", "###"),
    InFileParam("G", "Graph matrix file", "Name of input graph file"),
};

struct TMxPlotState {
  std::shared_ptr<TRectMxList> data;
  std::shared_ptr<TGraphMxList> graph;
  std::unique_ptr<TMxPlotPlt> plot;
};

TMxPlotState& State() {
  static TMxPlotState state;
  return state;
}

// The valid points' values on x and y, with their validity.
struct TPoints {
  std::vector<double> x;
  std::vector<double> y;
  std::vector<bool> valid;  // indexed from 1, like the points
  std::int32_t validCount = 0;
  double minX = kNoMinimum, maxX = kNoMaximum, minY = kNoMinimum, maxY = kNoMaximum;
};

TPoints TakePoints(const TPointView& view, std::int32_t x, std::int32_t y) {
  TPoints p;
  const auto size = static_cast<std::size_t>(view.Points()) + 1;
  p.x.resize(size);
  p.y.resize(size);
  p.valid.resize(size);
  for (std::int32_t k = 1; k <= view.Points(); ++k) {
    const auto at = static_cast<std::size_t>(k);
    p.x[at] = view.Value(k, x);
    p.y[at] = view.Value(k, y);
    if (view.IsMissing(p.x[at]) || view.IsMissing(p.y[at])) continue;
    p.valid[at] = true;
    ++p.validCount;
    p.minX = std::min(p.minX, p.x[at]);
    p.maxX = std::max(p.maxX, p.x[at]);
    p.minY = std::min(p.minY, p.y[at]);
    p.maxY = std::max(p.maxY, p.y[at]);
  }
  return p;
}

}  // namespace

void MxPlotCheckData(const Rect_mx& m, bool byRows, std::int32_t x, std::int32_t y) {
  const TPointView view(m, byRows);
  if (view.Variables() < 2) throw E_Morvapc("Need at least two variables to plot.");
  CheckPlotVariable("Abscissa", x, view.Variables());
  CheckPlotVariable("Ordinate", y, view.Variables());
  if (TakePoints(view, x, y).validCount == 0) throw E_Morvapc("No points to plot");
}

// ---- The plot client ----

TMxPlotPlt::TMxPlotPlt(std::shared_ptr<const TRectMxList> data, std::shared_ptr<const TGraphMxList> graph, bool byRows,
                       std::int32_t x, std::int32_t y, std::string windowName, std::int32_t helpContext)
    : TbmPlt2BC(data ? data->Count() : 0, helpContext, kWindowTitle),
      Data_(std::move(data)),
      Graph_(std::move(graph)),
      ByRows_(byRows),
      X_(x),
      Y_(y),
      WindowName_(std::move(windowName)) {}

void TMxPlotPlt::SetUpPlot(Tbm2DPlot& plot) {
  SymbolStyle_ = plot.AddStyle(bmSymbolStyle, true);
  GraphStyle_ = plot.AddStyle(bmLineStyle, true);
  LabelStyle_ = plot.AddStyle(bmTextStyle, false);
  VectorStyle_ = plot.AddStyle(bmLineStyle, true);
  plot.SetTextAlignment(LabelStyle_, 2);
  ShowGraph_ = Graph_ != nullptr;
}

void TMxPlotPlt::DrawOn(Tbm2DPlot& plot) {
  if (!Data_) return;
  const bool changed = TakeGroup(plot);
  const std::int32_t g = Current;
  if (g < 1 || g > Data_->Count()) return;
  const TPointView view((*Data_)[g - 1], ByRows_);
  VariableCount_ = view.Variables();
  MxPlotCheckData((*Data_)[g - 1], ByRows_, X_, Y_);
  if (changed) {
    plot.SetXAxisTitle(VariableLabelOf(view.VariableLabels(), X_));
    plot.SetYAxisTitle(VariableLabelOf(view.VariableLabels(), Y_));
  }
  const Graph_mx* graph = GraphOfDataSet(Graph_.get(), g);

  TPoints p = TakePoints(view, X_, Y_);
  if (p.maxX <= p.minX) p.maxX = p.minX + kLeastWidth;
  if (p.maxY <= p.minY) p.maxY = p.minY + kLeastWidth;
  if (plot.XAutoscale()) plot.SetXRange(p.minX, p.maxX);
  if (plot.YAutoscale()) plot.SetYRange(p.minY, p.maxY);

  const TbmDataPaint painting(plot);
  const auto valid = [&p, &view](std::int32_t k) {
    return k >= 1 && k <= view.Points() && p.valid[static_cast<std::size_t>(k)];
  };
  if (graph != nullptr && ShowGraph_) {
    for (std::int32_t e = 1; e <= graph->m(); ++e) {
      const TGraphEdge edge = graph->GetEdge(e);
      if (!valid(edge.i) || !valid(edge.j)) continue;
      const auto i = static_cast<std::size_t>(edge.i);
      const auto j = static_cast<std::size_t>(edge.j);
      plot.DrawLine(GraphStyle_, p.x[i], p.y[i], p.x[j], p.y[j]);
    }
  }
  for (std::int32_t k = 1; k <= view.Points(); ++k) {
    if (!valid(k)) continue;
    const auto at = static_cast<std::size_t>(k);
    if (ShowVectors_) plot.DrawLine(VectorStyle_, 0, 0, p.x[at], p.y[at]);
    plot.DrawSymbols(1, &p.x[at], &p.y[at], SymbolStyle_);
    if (PointMode_ == pmNumber) plot.DrawText(LabelStyle_, rtl::Format("%d", k), p.x[at], p.y[at]);
    if (PointMode_ == pmLabel) plot.DrawText(LabelStyle_, PointLabelOf(view.PointLabels(), k), p.x[at], p.y[at]);
  }
}

std::string TMxPlotPlt::VariableLabel(std::int32_t variable) const {
  if (!Data_ || Current < 1 || Current > Data_->Count()) return VariableLabelOf(nullptr, variable);
  return VariableLabelOf(TPointView((*Data_)[Current - 1], ByRows_).VariableLabels(), variable);
}

void TMxPlotPlt::ChooseX(Tbm2DPlot& plot, std::int32_t variable) {
  X_ = variable;
  plot.SetXAxisTitle(VariableLabel(variable));
}

void TMxPlotPlt::ChooseY(Tbm2DPlot& plot, std::int32_t variable) {
  Y_ = variable;
  plot.SetYAxisTitle(VariableLabel(variable));
}

void TMxPlotPlt::Options() {
  if (Window() == nullptr) return;
  TMxPlotOF options(*this);
  options.ShowModal();
}

std::unique_ptr<TPlotObject> OpenMatrixPlotWindow(const TMatrixPlotRequest& request) {
  auto plot = std::make_unique<TMxPlotPlt>(request.results, nullptr, request.pointsAreColumns, request.x, request.y,
                                           request.windowName, request.helpContext);
  plot->Show();
  return plot;
}

// ---- The module ----

void MxPlotDescribe(TModuleRec& module) {
  DescribeAs(module, "MxPlot", "Plot data matrix", 520, MxPlotRun, kParams, MxPlotRelease);
}

namespace {

struct TMxPlotRun {
  std::string input;
  std::string graphFile;
  bool byRows = true;
  std::int32_t x = 1;
  std::int32_t y = 2;
};

// One data set: its header (listed), labels and values, checked and appended.
// The first matrix must be there; after it, nothing when no matrix follows.
void ReadDataSet(rtl::TextReader& f, const TMxPlotRun& run, TRectMxList& data) {
  std::unique_ptr<rtl::StringList> comments;
  TMatrixHeader header;
  if (!ReadDataSetHeader(f, data.Empty(), comments, header, true, {mtRectangular})) return;
  auto m = ReadPlotMatrix(f, header, nullptr, nullptr);
  MxPlotCheckData(*m, run.byRows, run.x, run.y);
  data.Add(std::move(m));
}

void MxPlotDriver(rtl::TextReader& f, rtl::TextReader* g, const TMxPlotRun& run) {
  State().data = std::make_shared<TRectMxList>();
  State().graph = g != nullptr ? std::make_shared<TGraphMxList>() : nullptr;
  ForEachDataSet(f, [&] { ReadDataSet(f, run, *State().data); });
  if (g != nullptr) ReadPlotGraphs(*g, State().data->Count(), *State().graph);
  State().plot =
      std::make_unique<TMxPlotPlt>(State().data, State().graph, run.byRows, run.x, run.y, kModuleWindowName, 1);
  State().plot->Show();
}

}  // namespace

void MxPlotRun(std::span<const TParamRec> params) {
  Progress("", 0);
  MxPlotRelease();
  TMxPlotRun run;
  run.input = params[pInput].fileName;
  run.byRows = params[pByRows].check;
  run.x = params[pX].integer;
  run.y = params[pY].integer;
  run.graphFile = params[pGraph].fileName;
  const std::string word = run.byRows ? "row" : "col";
  ListInputParameters(run.input);
  ListingWriteLine("Plot by: " + std::string(DirectionWord(run.byRows)));
  ListingWriteLine(rtl::Format("Plot " + word + " %d along abscissa", run.x));
  ListingWriteLine(rtl::Format("Plot " + word + " %d along ordinate", run.y));
  if (!run.graphFile.empty()) ListingWriteLine("Graph from file: " + run.graphFile + " will be superimposed.");
  ListingWriteLine("");
  TInputMatrixFile f;
  TInputMatrixFile g;
  if (!OpenInputMatrixFile(f, run.input, "input")) return;
  if (!run.graphFile.empty() && !OpenInputMatrixFile(g, run.graphFile, "input graph")) return;
  MxPlotDriver(*f, g.get(), run);
  Progress("", 100);
}

void MxPlotClosePlot() { State().plot.reset(); }

void MxPlotRelease() {
  MxPlotClosePlot();
  State().data.reset();
  State().graph.reset();
}

TMxPlotPlt* MxPlotPlot() { return State().plot.get(); }
