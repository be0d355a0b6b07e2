#include "plot/forms/tree.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "matrix/Constu.h"
#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "plot/forms/treeo.h"
#include "shell/ModuleRun.h"
#include "shell/Progress.h"

namespace {

constexpr const char* kWindowTitle = "Tree plot";
constexpr const char* kModuleWindowName = "TreePltF";
constexpr std::int32_t kDefaultOtusPerPage = 30;
constexpr std::int32_t kFewestRowsPerPage = 5;

// The rows per page when a tree of n rows is chosen: all of them up to the
// default, never fewer than five; a taller tree keeps the previous number.
std::int32_t RowsPerPageOfNewTree(std::int32_t n, std::int32_t previous) {
  if (n < kFewestRowsPerPage) return kFewestRowsPerPage;
  if (n < kDefaultOtusPerPage) return n;
  return previous;
}

std::int32_t PagesOf(std::int32_t n, std::int32_t rowsPerPage) {
  const std::int64_t pages = (static_cast<std::int64_t>(n) + rowsPerPage - 1) / rowsPerPage;
  return static_cast<std::int32_t>(std::max<std::int64_t>(pages, 1));
}

struct TTreeModuleState {
  std::shared_ptr<TTreeMxList> trees;
  std::unique_ptr<TTreePlt> plot;
};

TTreeModuleState& State() {
  static TTreeModuleState state;
  return state;
}

const std::array<TParamRec, 1> kParams = {
    InFileParam("O", "Input file", "Name of input file", prRequired),
};

// The interval an axis draws: its bounds, or the widened interval of an axis
// whose bounds are equal or not finite.
void DrawnInterval(const TbmAxisClass& axis, double& lo, double& hi) {
  if (std::isfinite(axis.Min) && std::isfinite(axis.Max) && axis.Min != axis.Max) {
    lo = axis.Min;
    hi = axis.Max;
    return;
  }
  const TbmWorldSpan span = axis.Span();
  lo = static_cast<double>(span.Lo);
  hi = static_cast<double>(span.Lo + span.Range);
}

// The lowest and highest joining level; 0 .. 1 for a tree with no join.
void LevelRange(const Tree_mx& tree, double& lo, double& hi) {
  lo = 9e200;
  hi = -9e200;
  for (std::int32_t i = 1; i <= tree.n() - 1; ++i) {
    lo = std::min(lo, tree.GetValue(i));
    hi = std::max(hi, tree.GetValue(i));
  }
  if (lo > hi) {
    lo = 0;
    hi = 1;
  }
}

}  // namespace

// ---- The plot client ----

TTreePlt::TTreePlt(std::shared_ptr<const TTreeMxList> trees, std::string windowName, std::int32_t helpContext)
    : TbmPlt2BC(trees ? trees->Count() : 0, helpContext, kWindowTitle),
      Trees_(std::move(trees)),
      WindowName_(std::move(windowName)) {}

void TTreePlt::SetUpPlot(Tbm2DPlot& plot) {
  LineStyle_ = plot.AddStyle(bmLineStyle, true);
  TextStyle_ = plot.AddStyle(bmTextStyle, false);
  auto& parts = plot.Parts();
  parts.YAxis.MajorCount = 0;
  parts.YAxis.MinorCount = 0;
  plot.SetYAxisTitle("          ");
  parts.ShowFrame = false;
  // The Y axis is drawn in the background colour, so it does not show.
  parts.YAxis.ScaleFont.color = parts.InnerMarginColor;
  parts.YAxis.AxisPen.color = parts.InnerMarginColor;
  plot.SetXAxisTitle("Coefficient");
  plot.Paging.Count = [this](int group) { return PageCountOf(group); };
  plot.Paging.Current = [this] { return Paging_.currentPage; };
  plot.Paging.Show = [this](int page) { Paging_.currentPage = page; };
}

// The pages the tree of the group has when drawn next: the rows per page
// stay for the tree drawn last and follow the rule for another.
std::int32_t TTreePlt::PageCountOf(std::int32_t group) const {
  if (!Trees_ || group < 1 || group > Trees_->Count()) return 1;
  const std::int32_t n = (*Trees_)[group - 1].n();
  const std::int32_t rows = group == Current ? Paging_.otusPerPage : RowsPerPageOfNewTree(n, Paging_.otusPerPage);
  return PagesOf(n, std::max(rows, 1));
}

void TTreePlt::DrawOn(Tbm2DPlot& plot) {
  if (!Trees_) return;
  const bool treeChanged = TakeGroup(plot);
  if (treeChanged) Paging_.currentPage = 1;
  auto& parts = plot.Parts();
  const Tree_mx* tree = Current >= 1 && Current <= Trees_->Count() ? &(*Trees_)[Current - 1] : nullptr;
  TTreePage page;
  if (tree != nullptr) {
    page = SelectPage(*tree, treeChanged);
    double lo = 0;
    double hi = 0;
    LevelRange(*tree, lo, hi);
    if (plot.XAutoscale()) plot.SetXRange(lo, hi);
    if (plot.YAutoscale()) plot.SetYRange(page.bottom, page.top);
  }
  const TbmDataPaint painting(plot);
  if (tree != nullptr) {
    double xmin = 0;
    double xmax = 0;
    DrawnInterval(parts.XAxis, xmin, xmax);
    DrawDendrogram(plot, *tree, page, xmin, xmax);
  }
}

// The rows per page (set again only when another tree is chosen), the page
// count, and the band of the current page, which is kept within the pages
// that exist.
TTreePage TTreePlt::SelectPage(const Tree_mx& tree, bool treeChanged) {
  TTreePaging& p = Paging_;
  p.nodeCount = tree.n();
  if (treeChanged) p.otusPerPage = RowsPerPageOfNewTree(p.nodeCount, p.otusPerPage);
  p.otusPerPage = std::max(p.otusPerPage, 1);
  p.pageCount = PagesOf(p.nodeCount, p.otusPerPage);
  const std::int32_t wanted = p.currentPage;
  p.currentPage = std::clamp(p.currentPage, 1, p.pageCount);
  if (p.currentPage != wanted && !treeChanged && OnPageMoved) OnPageMoved();
  Direction_ = tree.matrixType() == mtTreeDissimilarity ? -1.0 : 1.0;
  TTreePage page;
  page.top = p.nodeCount - static_cast<double>(p.currentPage - 1) * p.otusPerPage + 0.5;
  page.bottom = page.top - p.otusPerPage;
  return page;
}

// The dendrogram: leaves at one end of the coefficient axis (xmax for a
// similarity tree, xmin for a dissimilarity tree), row i at y = n - i + 1.
// Runs of rows between strict rises of the level are joined from the lowest
// level up; equal adjacent levels join at one vertical line.
void TTreePlt::DrawDendrogram(Tbm2DPlot& plot, const Tree_mx& tree, const TTreePage& page, double xmin, double xmax) {
  const double dir = Direction_;
  const std::int32_t n = tree.n();
  plot.SetTextAlignment(TextStyle_, dir == 1.0 ? 5 : 3);
  std::vector<double> L(static_cast<std::size_t>(n) + 1);
  std::vector<double> X(L.size());
  std::vector<double> Y(L.size());
  for (std::int32_t i = 1; i <= n - 1; ++i) L[i] = tree.GetValue(i);
  L[n] = dir == 1.0 ? xmin : xmax;
  const double x0 = dir == 1.0 ? xmax : xmin;

  const Label_mx noLabels(0);
  const Label_mx& labels = tree.Labels ? *tree.Labels : noLabels;
  for (std::int32_t i = 1; i <= n; ++i) {
    Y[i] = n - i + 1;
    X[i] = x0;
    if (page.bottom <= Y[i] && Y[i] <= page.top)
      plot.DrawText(TextStyle_, " " + labels.GetLabel(tree.GetPointer(i)) + " ", x0, Y[i]);
  }

  std::int32_t s = 1;
  std::int32_t e = 0;
  while (s <= n - 1) {
    std::int32_t b = s;
    e = 0;
    for (std::int32_t i = s; i <= n - 1; ++i) {
      if (L[i] * dir > L[i + 1] * dir || i == n - 1) {
        e = i + 1;
        break;
      }
      if (L[i] * dir < L[i + 1] * dir) b = i + 1;
    }
    const double lev = L[b];
    for (std::int32_t j = b; j <= e; ++j) {
      plot.DrawLine(LineStyle_, X[j], Y[j], lev, Y[j]);
      X[j] = lev;
    }
    plot.DrawLine(LineStyle_, lev, Y[b], lev, Y[e]);
    X[e] = lev;
    Y[e] = (Y[b] + Y[e]) / 2;
    const std::int32_t d = e - b;
    s += d;
    for (std::int32_t j = e - 1; j >= s; --j) {
      L[j] = L[j - d];
      X[j] = X[j - d];
      Y[j] = Y[j - d];
    }
  }
  // The root's stub reaches the end of the axis (a tree of one leaf has none).
  if (e > 0 && X[e] * dir > L[n] * dir) plot.DrawLine(LineStyle_, X[e], Y[e], L[n], Y[e]);
}

void TTreePlt::Options() {
  if (Window() == nullptr) return;
  TTreeOF options(*this);
  options.ShowModal();
}

std::unique_ptr<TPlotObject> OpenTreePlotWindow(const TTreePlotRequest& request) {
  auto plot = std::make_unique<TTreePlt>(request.results, request.windowName, request.helpContext);
  plot->Show();
  return plot;
}

// ---- The module ----

void TreeDescribe(TModuleRec& module) { DescribeAs(module, "Tree", "Plot tree", 520, TreeRun, kParams, TreeRelease); }

namespace {

// One data set: its header (listed), labels, and the tree, appended to the
// list; nothing when no matrix follows.
void ReadTree(rtl::TextReader& f, TTreeMxList& trees) {
  std::unique_ptr<rtl::StringList> comments;
  TMatrixHeader header;
  if (!ReadMatrixHeader(f, comments, header, true, {mtTreeDissimilarity, mtTreeSimilarity})) return;
  auto labels = std::make_shared<Label_mx>(header.rowLabelCode != lcNone ? header.rows : 0);
  auto tree = std::make_unique<Tree_mx>(header.type, header.rows);
  ReadTreeMatrix(*tree, f, header, labels.get());
  tree->Labels = std::move(labels);
  trees.Add(std::move(tree));
}

}  // namespace

void TreeReadTrees(rtl::TextReader& f, TTreeMxList& trees) {
  ForEachDataSet(f, [&] { ReadTree(f, trees); });
}

namespace {

void TreePlotTrees() {
  if (!State().trees || State().trees->Empty()) return;
  State().plot = std::make_unique<TTreePlt>(State().trees, kModuleWindowName, 1);
  State().plot->Show();
}

}  // namespace

void TreeRun(std::span<const TParamRec> params) {
  Progress("", 0);
  TreeClosePlot();
  const std::string name = params[0].fileName;
  ListInputParameters(name);
  ListingWriteLine("");
  TInputMatrixFile f;
  if (!OpenInputMatrixFile(f, name, "input tree")) return;
  State().trees = std::make_shared<TTreeMxList>();
  TreeReadTrees(*f, *State().trees);
  f.reset();
  TreePlotTrees();
  Progress("", 100);
}

void TreeClosePlot() { State().plot.reset(); }

void TreeRelease() {
  TreeClosePlot();
  State().trees.reset();
}

TTreePlt* TreePlot() { return State().plot.get(); }
