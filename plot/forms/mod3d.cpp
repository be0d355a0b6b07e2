#include "plot/forms/mod3d.h"

#include <algorithm>
#include <cmath>
#include <variant>

#include "matrix/Constu.h"
#include "matrix/MatrixFiles.h"
#include "plot/forms/mod3do.h"
#include "plot/plotData.h"
#include "rtl/Format.h"
#include "shell/ModuleRun.h"
#include "shell/Progress.h"

namespace {

constexpr const char* kWindowTitle = "3D plot";
constexpr const char* kModuleWindowName = "Mod3DF";
constexpr const char* kNoPoints = "No points to plot";
// A range of one value gets this width: in the data's units with preserve
// aspect, before scaling without.
constexpr double kLeastKeptWidth = 1e-5;
constexpr double kLeastScaledWidth = 1e-6;
// A projected point is visible while its weight w exceeds this share of rho:
// w / rho falls from 1 at depth 0 to 0 at the eye.
constexpr double kNearestShare = 1e-6;

enum : std::int32_t { pInput, pByRows, pX, pY, pZ, pGraph, pAlpha, pBeta, pRho };
const std::array<TParamRec, 9> kParams = {
    InFileParam("O", "Input file", "Name of input file", prRequired),
    CheckParam("D", "Plot by rows?", "Check if by rows", true),
    IntegerParam("X", "X", "Variable to plot along X-axis", 1, "1", "999", "###"),
    IntegerParam("Y", "Y", "Variable to plot along Y-axis", 2, "1", "999", "###"),
    IntegerParam("Z", "Z", "Variable to plot along Z-axis", 3, "1", "999", "###"),
    InFileParam("G", "Graph matrix file", "Name of input graph file"),
    RealParam("A", "Rotation around Z-axis", "Rotation around Z-axis", 30, "-360", "360", "####.##"),
    RealParam("B", "Rotation around X-axis", "Rotation around X-axis", 30, "-360", "360", "####.##"),
    RealParam("R", "Viewing distance", "Viewing distance", 999, "1e-5", "1e5", "#####.###"),
};

struct TMod3DState {
  std::shared_ptr<TRectMxList> data;
  std::shared_ptr<TGraphMxList> graph;
  std::unique_ptr<TMod3DPlt> plot;
};

TMod3DState& State() {
  static TMod3DState state;
  return state;
}

bool IsViewingDistance(double rho) { return std::isfinite(rho) && rho > 0; }

// The points of a data matrix at variables x (a), z (b) and y (c). A point
// is valid when its three values are numbers and none is the missing value.
TMod3DScene TakePoints(const TPointView& view, std::int32_t x, std::int32_t y, std::int32_t z) {
  TMod3DScene scene;
  scene.n = view.Points();
  const auto size = static_cast<std::size_t>(scene.n) + 1;
  scene.points.resize(size);
  scene.valid.resize(size);
  const auto usable = [&view](double v) { return std::isfinite(v) && !view.IsMissing(v); };
  for (std::int32_t k = 1; k <= scene.n; ++k) {
    const T3DPoint p{view.Value(k, x), view.Value(k, z), view.Value(k, y)};
    scene.points[static_cast<std::size_t>(k)] = p;
    if (!usable(p.a) || !usable(p.b) || !usable(p.c)) continue;
    scene.valid[static_cast<std::size_t>(k)] = true;
    ++scene.validCount;
  }
  scene.pointLabels = view.PointLabels();
  return scene;
}

double Midpoint(double lo, double hi) { return lo / 2 + hi / 2; }

void Widen(double lo, double& hi, double width) {
  if (hi <= lo) hi = lo + width;
}

void TakeInto(double v, double& lo, double& hi) {
  lo = std::min(lo, v);
  hi = std::max(hi, v);
}

// A line in the base region's outline pen.
TbmLineClass BaseLine(Tbm2DPlot& plot, std::int32_t baseStyle) {
  TbmLineClass line;
  if (const TbmStyleEntry* e = plot.FindStyle(baseStyle); e && e->Kind() == bmQuadStyle)
    line.Pen = std::get<TbmQuadClass>(e->Part).Outline;
  return line;
}

}  // namespace

void Mod3DCheckViewingDistance(double rho) {
  if (!IsViewingDistance(rho)) throw E_Morvapc(rtl::Format("Viewing distance (%g) must be greater than 0", rho));
}

void Mod3DCheckData(const Rect_mx& m, bool pointsAreColumns, std::int32_t x, std::int32_t y, std::int32_t z) {
  const TPointView view(m, pointsAreColumns);
  if (view.Variables() < 3) throw E_Morvapc("Must have at least 3 variables");
  CheckPlotVariable("X", x, view.Variables());
  CheckPlotVariable("Y", y, view.Variables());
  CheckPlotVariable("Z", z, view.Variables());
  if (TakePoints(view, x, y, z).validCount == 0) throw E_Morvapc(kNoPoints);
}

// ---- The plot client ----

TMod3DPlt::TMod3DPlt(std::shared_ptr<const TRectMxList> data, std::shared_ptr<const TGraphMxList> graph,
                     bool pointsAreColumns, std::int32_t x, std::int32_t y, std::int32_t z, double alpha, double beta,
                     double rho, std::string windowName, std::int32_t helpContext)
    : TbmPlt2BC(data ? data->Count() : 0, helpContext, kWindowTitle),
      Rho_(rho),
      Data_(std::move(data)),
      Graph_(std::move(graph)),
      PointsAreColumns_(pointsAreColumns),
      WindowName_(std::move(windowName)) {
  Mod3DCheckViewingDistance(rho);
  Settings_.showGraph = Graph_ != nullptr;
  Settings_.x = x;
  Settings_.y = y;
  Settings_.z = z;
  Settings_.alpha = alpha;
  Settings_.beta = beta;
}

void TMod3DPlt::Options() {
  if (Window() == nullptr) return;
  TMod3dOF options(*this);
  options.ShowModal();
}

bool TMod3DPlt::SetRho(double rho) {
  if (!IsViewingDistance(rho)) return false;
  Rho_ = rho;
  return true;
}

void TMod3DPlt::SetUpPlot(Tbm2DPlot& plot) {
  BaseStyle_ = plot.AddStyle(bmQuadStyle, true);
  WireStyle_ = plot.AddStyle(bmLineStyle, true);
  SymbolStyle_ = plot.AddStyle(bmSymbolStyle, true);
  GraphStyle_ = plot.AddStyle(bmLineStyle, true);
  LabelStyle_ = plot.AddStyle(bmTextStyle, false);
  VectorStyle_ = plot.AddStyle(bmLineStyle, true);
  plot.SetTextAlignment(LabelStyle_, 2);
  auto& parts = plot.Parts();
  for (TbmAxisClass* axis : {&parts.XAxis, &parts.YAxis}) {
    axis->MajorCount = 0;
    axis->MinorCount = 0;
    axis->RefLinePen.color = parts.InnerMarginColor;
  }
  parts.ShowFrame = false;
  parts.PreserveAspect = true;
  plot.SetXAxisTitle("");
  plot.SetYAxisTitle("");
}

const Rect_mx* TMod3DPlt::DrawnMatrix() const {
  return Data_ && Current >= 1 && Current <= Data_->Count() ? &(*Data_)[Current - 1] : nullptr;
}

std::int32_t TMod3DPlt::VariableCount() const {
  const Rect_mx* m = DrawnMatrix();
  return m ? TPointView(*m, PointsAreColumns_).Variables() : 0;
}

std::string TMod3DPlt::VariableLabel(std::int32_t v) const {
  const Rect_mx* m = DrawnMatrix();
  return VariableLabelOf(m ? TPointView(*m, PointsAreColumns_).VariableLabels() : nullptr, v);
}

void TMod3DPlt::DrawOn(Tbm2DPlot& plot) {
  if (!Data_) return;
  TakeGroup(plot);
  const Rect_mx* m = DrawnMatrix();
  if (m == nullptr) return;
  Mod3DCheckData(*m, PointsAreColumns_, Settings_.x, Settings_.y, Settings_.z);
  TMod3DScene scene = MakeScene(*m);
  scene.graph = GraphOfDataSet(Graph_.get(), Current);
  // Nothing visible (every point behind the eye) leaves the axes as they are.
  if (scene.minX <= scene.maxX) {
    if (plot.XAutoscale()) plot.SetXRange(scene.minX, scene.maxX);
    if (plot.YAutoscale()) plot.SetYRange(scene.minY, scene.maxY);
  }
  const TbmDataPaint painting(plot);
  DrawScene(plot, scene);
}

TMod3DScene TMod3DPlt::MakeScene(const Rect_mx& m) {
  TMod3DScene scene = TakePoints(TPointView(m, PointsAreColumns_), Settings_.x, Settings_.y, Settings_.z);
  if (scene.validCount == 0) throw E_Morvapc(kNoPoints);
  Normalize(scene);
  SetupView();
  ProjectScene(scene);
  return scene;
}

void TMod3DPlt::Normalize(TMod3DScene& scene) const {
  TMod3DBox& box = scene.box;
  box = TMod3DBox{};
  for (std::int32_t k = 1; k <= scene.n; ++k) {
    if (!scene.valid[static_cast<std::size_t>(k)]) continue;
    const T3DPoint& p = scene.points[static_cast<std::size_t>(k)];
    TakeInto(p.a, box.minA, box.maxA);
    TakeInto(p.b, box.minB, box.maxB);
    TakeInto(p.c, box.minC, box.maxC);
  }
  // Each coordinate becomes (v - lo) / width - offset.
  T3DPoint lo;
  T3DPoint width{1, 1, 1};
  T3DPoint offset;
  if (Settings_.preserveAspect) {
    lo = {Midpoint(box.minA, box.maxA), Midpoint(box.minB, box.maxB), 0.7 * box.minC + 0.3 * box.maxC};
    box = {box.minA - lo.a, box.maxA - lo.a, box.minB - lo.b, box.maxB - lo.b, box.minC - lo.c, box.maxC - lo.c};
    Widen(box.minA, box.maxA, kLeastKeptWidth);
    Widen(box.minB, box.maxB, kLeastKeptWidth);
    Widen(box.minC, box.maxC, kLeastKeptWidth);
  } else {
    const auto widthOf = [](double min, double max) { return max - min > 0 ? max - min : kLeastScaledWidth; };
    lo = {box.minA, box.minB, box.minC};
    width = {widthOf(box.minA, box.maxA), widthOf(box.minB, box.maxB), widthOf(box.minC, box.maxC)};
    offset = {0.5, 0.5, 0.3};
    box = {-0.5, 0.5, -0.5, 0.5, -0.3, 0.7};
  }
  for (std::int32_t k = 1; k <= scene.n; ++k) {
    if (!scene.valid[static_cast<std::size_t>(k)]) continue;
    T3DPoint& p = scene.points[static_cast<std::size_t>(k)];
    p = {(p.a - lo.a) / width.a - offset.a, (p.b - lo.b) / width.b - offset.b, (p.c - lo.c) / width.c - offset.c};
  }
}

void TMod3DPlt::SetupView() {
  View_ = TViewMatrix{};
  for (std::size_t r = 0; r < 4; ++r) View_[r][r] = 1;
  View_[3][3] = Rho_;
  RotateAboutZ(static_cast<double>(DegToRad(Settings_.alpha)));
  RotateAboutX(static_cast<double>(DegToRad(Settings_.beta)));
}

// In every row, the elements p of column i and q of column j become
// cos * p - sin * q and sin * p + cos * q.
void TMod3DPlt::RotateColumns(std::size_t i, std::size_t j, double radians) {
  const double c = std::cos(radians);
  const double s = std::sin(radians);
  for (auto& row : View_) {
    const double p = row[i];
    const double q = row[j];
    row[i] = c * p - s * q;
    row[j] = s * p + c * q;
  }
}

void TMod3DPlt::RotateAboutZ(double radians) { RotateColumns(0, 2, radians); }

// Columns 1 and 2 become cos * p + sin * q and -sin * p + cos * q.
void TMod3DPlt::RotateAboutX(double radians) { RotateColumns(1, 2, -radians); }

TProjected TMod3DPlt::Project(const T3DPoint& p) const {
  const double v[4] = {p.a, p.b, p.c, 1};
  double w = 0;
  double x = 0;
  double y = 0;
  double depth = 0;
  for (std::size_t r = 0; r < 4; ++r) {
    w += v[r] * (View_[r][2] / Rho_ + View_[r][3]);
    x += v[r] * View_[r][0];
    y += v[r] * View_[r][1];
    depth += v[r] * View_[r][2];
  }
  if (!(w > kNearestShare * Rho_)) return {};
  return {x / w, y / w, depth / w, w, true};
}

void TMod3DPlt::ProjectScene(TMod3DScene& scene) const {
  const auto size = static_cast<std::size_t>(scene.n) + 1;
  scene.at.assign(size, TProjected{});
  scene.foot.assign(size, TProjected{});
  const TMod3DBox& box = scene.box;
  const auto take = [&scene](const TProjected& q) {
    if (!q.visible) return;
    TakeInto(q.x, scene.minX, scene.maxX);
    TakeInto(q.y, scene.minY, scene.maxY);
  };
  for (std::int32_t k = 1; k <= scene.n; ++k) {
    const auto at = static_cast<std::size_t>(k);
    if (!scene.valid[at]) continue;
    const T3DPoint& p = scene.points[at];
    scene.at[at] = Project(p);
    scene.foot[at] = Project({p.a, box.minB, p.c});
    take(scene.at[at]);
  }
  scene.base = {Project({box.minA, box.minB, box.minC}), Project({box.minA, box.minB, box.maxC}),
                Project({box.maxA, box.minB, box.maxC}), Project({box.maxA, box.minB, box.minC})};
  scene.top = Project({box.minA, box.maxB, box.minC});
  for (const TProjected& corner : scene.base) take(corner);
  take(scene.top);
  if (Settings_.showVectors) scene.origin = Project({0, 0, 0});
  scene.baseFirst = scene.top.visible && scene.base[0].visible && scene.top.depth < scene.base[0].depth;
}

void TMod3DPlt::DrawScene(Tbm2DPlot& plot, const TMod3DScene& scene) const {
  if (scene.baseFirst) DrawBase(plot, scene);
  for (std::int32_t k = scene.n; k >= 1; --k) DrawPoint(plot, scene, k);
  if (Settings_.showGraph && scene.graph != nullptr) {
    // Edges join drawn points 1 .. n only: a graph's inner nodes (0 and
    // negative) and nodes beyond the points draw nothing.
    const auto drawn = [&scene](std::int32_t k) {
      return k >= 1 && k <= scene.n && scene.at[static_cast<std::size_t>(k)].visible;
    };
    for (std::int32_t e = 1; e <= scene.graph->m(); ++e) {
      const TGraphEdge edge = scene.graph->GetEdge(e);
      if (!drawn(edge.i) || !drawn(edge.j)) continue;
      const TProjected& p = scene.at[static_cast<std::size_t>(edge.i)];
      const TProjected& q = scene.at[static_cast<std::size_t>(edge.j)];
      plot.DrawLine(GraphStyle_, p.x, p.y, q.x, q.y);
    }
  }
  if (!scene.baseFirst) DrawBase(plot, scene);
}

// The base region, and the Z axis in the base region's outline; neither
// without the base.
void TMod3DPlt::DrawBase(Tbm2DPlot& plot, const TMod3DScene& scene) const {
  if (!Settings_.showBase) return;
  const auto& c = scene.base;
  if (std::all_of(c.begin(), c.end(), [](const TProjected& q) { return q.visible; }))
    plot.DrawQuad(BaseStyle_, c[0].x, c[0].y, c[1].x, c[1].y, c[2].x, c[2].y, c[3].x, c[3].y);
  if (Settings_.showZAxis && c[0].visible && scene.top.visible) {
    plot.PaintBox().SetCurrentLine(BaseLine(plot, BaseStyle_));
    plot.DrawLine(0, c[0].x, c[0].y, scene.top.x, scene.top.y);
  }
}

// Point k's label, wire, symbol and vector, in that order; nothing for a
// point that is not valid or not visible.
void TMod3DPlt::DrawPoint(Tbm2DPlot& plot, const TMod3DScene& scene, std::int32_t k) const {
  const auto at = static_cast<std::size_t>(k);
  const TProjected& p = scene.at[at];
  if (!scene.valid[at] || !p.visible) return;
  if (Settings_.labelMode == lmNumber) plot.DrawText(LabelStyle_, rtl::Format("%d", k), p.x, p.y);
  if (Settings_.labelMode == lmLabel) plot.DrawText(LabelStyle_, PointLabelOf(scene.pointLabels, k), p.x, p.y);
  const TProjected& foot = scene.foot[at];
  if (Settings_.showWires && foot.visible) plot.DrawLine(WireStyle_, p.x, p.y, foot.x, foot.y);
  if (Settings_.showPoints) plot.DrawSymbols(1, &p.x, &p.y, SymbolStyle_);
  const TProjected& origin = scene.origin;
  if (Settings_.showVectors && origin.visible) plot.DrawLine(VectorStyle_, origin.x, origin.y, p.x, p.y);
}

std::unique_ptr<TPlotObject> OpenMatrix3DPlotWindow(const TMatrix3DPlotRequest& request) {
  auto plot = std::make_unique<TMod3DPlt>(request.results, nullptr, request.pointsAreColumns, request.x, request.y,
                                          request.z, request.alpha, request.beta, request.distance, request.windowName,
                                          request.helpContext);
  plot->Show();
  return plot;
}

// ---- The module ----

void Mod3DDescribe(TModuleRec& module) {
  DescribeAs(module, "Mod3D", "Plot 3D data matrix", 520, Mod3DRun, kParams, Mod3DRelease);
}

namespace {

struct TMod3DRun {
  std::string input;
  std::string graphFile;
  bool byRows = true;
  std::int32_t x = 1;
  std::int32_t y = 2;
  std::int32_t z = 3;
  double alpha = 30;
  double beta = 30;
  double rho = 999;
};

// One data set: its header (listed), labels and values, checked and
// appended. After the first, nothing when no matrix follows: comment lines
// after the last matrix end the data.
void ReadDataSet(rtl::TextReader& f, const TMod3DRun& run, TRectMxList& data) {
  std::unique_ptr<rtl::StringList> comments;
  TMatrixHeader header;
  if (!ReadDataSetHeader(f, data.Empty(), comments, header, true, {mtRectangular})) return;
  if ((run.byRows ? header.rows : header.cols) < 3) throw E_Morvapc("Must have at least 3 variables");
  auto m = ReadPlotMatrix(f, header, "Var-", "");
  Mod3DCheckData(*m, run.byRows, run.x, run.y, run.z);
  data.Add(std::move(m));
}

void Mod3DDriver(rtl::TextReader& f, rtl::TextReader* g, const TMod3DRun& run) {
  State().data = std::make_shared<TRectMxList>();
  State().graph = g != nullptr ? std::make_shared<TGraphMxList>() : nullptr;
  ForEachDataSet(f, [&] { ReadDataSet(f, run, *State().data); });
  if (g != nullptr) ReadPlotGraphs(*g, State().data->Count(), *State().graph);
  State().plot = std::make_unique<TMod3DPlt>(State().data, State().graph, run.byRows, run.x, run.y, run.z, run.alpha,
                                             run.beta, run.rho, kModuleWindowName, 1);
  State().plot->Show();
}

void ListRun(const TMod3DRun& run) {
  const std::string word(DirectionWord(run.byRows));
  const std::string plot = "Plot " + word.substr(0, 3);
  ListInputParameters(run.input);
  ListingWriteLine("\tPlot by: " + word);
  ListingWriteLine(plot + rtl::Format(" %d along x-axis", run.x));
  ListingWriteLine(plot + rtl::Format(" %d along y-axis", run.y));
  ListingWriteLine(plot + rtl::Format(" %d along z-axis", run.z));
  if (run.x == run.y || run.x == run.z || run.y == run.z) throw E_Morvapc("axes should be unique");
  if (!run.graphFile.empty()) ListingWriteLine("Graph from file: " + run.graphFile + " will be superimposed.");
  ListingWriteLine(rtl::Format("Rotation around Z-axis = %7.4f", run.alpha));
  ListingWriteLine(rtl::Format("Rotation around X-axis = %7.4f", run.beta));
  ListingWriteLine(rtl::Format("Viewing distance = %7.4f", run.rho));
  ListingWriteLine("");
  Mod3DCheckViewingDistance(run.rho);
}

}  // namespace

void Mod3DRun(std::span<const TParamRec> params) {
  Progress("", 0);
  Mod3DRelease();
  TMod3DRun run;
  run.input = params[pInput].fileName;
  run.byRows = params[pByRows].check;
  run.x = params[pX].integer;
  run.y = params[pY].integer;
  run.z = params[pZ].integer;
  run.graphFile = params[pGraph].fileName;
  run.alpha = params[pAlpha].real;
  run.beta = params[pBeta].real;
  run.rho = params[pRho].real;
  ListRun(run);
  TInputMatrixFile f;
  TInputMatrixFile g;
  if (!OpenInputMatrixFile(f, run.input, "input")) return;
  if (!run.graphFile.empty() && !OpenInputMatrixFile(g, run.graphFile, "input graph")) return;
  Mod3DDriver(*f, g.get(), run);
  Progress("", 100);
}

void Mod3DClosePlot() { State().plot.reset(); }

void Mod3DRelease() {
  Mod3DClosePlot();
  State().data.reset();
  State().graph.reset();
}

TMod3DPlt* Mod3DPlot() { return State().plot.get(); }
