#include "plot/forms/mxcomp.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "matrix/Constu.h"
#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "plot/forms/mxcompo.h"
#include "plot/plotData.h"
#include "rtl/Format.h"
#include "shell/ModuleRun.h"
#include "shell/Progress.h"

namespace {

constexpr const char* kWindowTitle = "Matrix comparison";
constexpr const char* kWindowName = "MxCompF";
constexpr double kNoMinimum = 9e200;
constexpr double kNoMaximum = -9e200;

enum : std::int32_t { pX, pY, pNormalize, pPermutations };
const std::array<TParamRec, 4> kParams = {
    InFileParam("X", "Input file 1", "Name of input file 1", prRequired),
    InFileParam("Y", "Input file 2", "Name of input file 2", prRequired),
    CheckParam("N", "Normalize Mantel stat?", "Check if should be normalized", true),
    IntegerParam("NP", "Number of permutations", "Number of random permutations", 0, "0", "9999", "#####"),
};

struct TMxCompState {
  std::shared_ptr<TMxCompData> data;
  std::unique_ptr<TMxCompPlt> plot;
};

TMxCompState& State() {
  static TMxCompState state;
  return state;
}

}  // namespace

// ---- The plot client ----

TMxCompPlt::TMxCompPlt(std::shared_ptr<const TMxCompData> data, std::int32_t helpContext)
    : TbmPlt2BC(data ? data->Count() : 0, helpContext, kWindowTitle), Data_(std::move(data)) {}

void TMxCompPlt::Show() { ShowNamed(kWindowName); }

void TMxCompPlt::Options() {
  if (Window() == nullptr) return;
  TMxCompOF options(*this);
  options.ShowModal();
}

void TMxCompPlt::SetUpPlot(Tbm2DPlot& plot) {
  PointsStyle_ = plot.AddStyle(bmSymbolStyle, true);
  HighlightStyle_ = plot.AddStyle(bmSymbolStyle, true);
  Highlight_ = 0;
}

// The pairs (i, j), j <= i, with the diagonal only when asked for, that hold a
// value in both matrices; by rows, each row's highlighted pairs drawn at once
// and its other pairs together at the row's end.
void TMxCompPlt::DrawOn(Tbm2DPlot& plot) {
  if (!Data_) return;
  TakeGroup(plot);
  const std::int32_t g = Current;
  if (g < 1 || g > Data_->Count()) return;
  const auto at = g - 1;
  const Sym_mx& X = Data_->X[at];
  const Sym_mx& Y = Data_->Y[at];
  const TEntryMask& xValid = Data_->XValid[static_cast<std::size_t>(at)];
  const TEntryMask& yValid = Data_->YValid[static_cast<std::size_t>(at)];
  Labels_ = X.Labels;
  ObjectCount_ = X.n();
  const std::int32_t n = X.n();
  const auto forEachPair = [&](std::int32_t i, auto&& visit) {
    const std::int32_t last = Diagonals_ ? i : i - 1;
    for (std::int32_t j = 1; j <= last; ++j) {
      if (xValid(i, j) && yValid(i, j)) visit(j, X.getxij(i, j), Y.getxij(i, j));
    }
  };

  std::int64_t count = 0;
  double minX = kNoMinimum, maxX = kNoMaximum, minY = kNoMinimum, maxY = kNoMaximum;
  for (std::int32_t i = 1; i <= n; ++i) {
    forEachPair(i, [&](std::int32_t, double x, double y) {
      ++count;
      minX = std::min(minX, x);
      maxX = std::max(maxX, x);
      minY = std::min(minY, y);
      maxY = std::max(maxY, y);
    });
  }
  if (count == 0) throw E_Morvapc("No points to plot");
  if (plot.XAutoscale()) plot.SetXRange(minX, maxX);
  if (plot.YAutoscale()) plot.SetYRange(minY, maxY);

  const TbmDataPaint painting(plot);
  std::vector<double> xs;
  std::vector<double> ys;
  xs.reserve(static_cast<std::size_t>(n));
  ys.reserve(static_cast<std::size_t>(n));
  for (std::int32_t i = 1; i <= n; ++i) {
    xs.clear();
    ys.clear();
    forEachPair(i, [&](std::int32_t j, double x, double y) {
      if (i == Highlight_ || j == Highlight_) {
        plot.DrawSymbols(1, &x, &y, HighlightStyle_);
      } else {
        xs.push_back(x);
        ys.push_back(y);
      }
    });
    plot.DrawSymbols(static_cast<int>(xs.size()), xs.data(), ys.data(), PointsStyle_);
  }
}

// ---- The module ----

void MxCompDescribe(TModuleRec& module) {
  DescribeAs(module, "MxComp", "Matrix comparison", 520, MxCompRun, kParams, MxCompRelease);
}

namespace {

// The next symmetric matrix of a file with its labels; null when no matrix
// follows, but the first must be there. list: its header and comments go to
// the listing.
std::unique_ptr<Sym_mx> ReadSymmetric(rtl::TextReader& f, bool first, bool list) {
  std::unique_ptr<rtl::StringList> comments;
  TMatrixHeader header;
  if (!ReadDataSetHeader(f, first, comments, header, list, {mtDissimilarity, mtSimilarity})) return nullptr;
  const std::int32_t n = header.rows;
  auto labels = std::make_shared<Label_mx>(header.rowLabelCode != lcNone ? n : 0);
  ReadLabels(*labels, f);
  auto m = std::make_unique<Sym_mx>(header.type, n, header.missingCode, header.missingValue);
  Read(*m, f);
  m->Labels = std::move(labels);
  return m;
}

// The X file's matrices from here on, read without listing them.
std::int32_t CountRemaining(rtl::TextReader& f) {
  std::int32_t count = 0;
  while (ReadSymmetric(f, false, false)) ++count;
  return count;
}

void MxCompDriver(rtl::TextReader& fx, rtl::TextReader& fy, bool normalize, std::int32_t np) {
  TMxCompData& data = *State().data;
  ForEachDataSet(fx, [&] {
    auto x = ReadSymmetric(fx, data.Count() == 0, true);
    if (!x) return;
    auto y = ReadSymmetric(fy, false, true);
    if (!y) {
      const std::int32_t xCount = data.Count() + 1 + CountRemaining(fx);
      throw E_Morvapc(rtl::Format("Number of X (%d) and Y (%d)%s matrices not equal.", xCount, data.Count(), "\n"));
    }
    if (y->n() != x->n()) throw E_Morvapc("Y matrix not the same size as the X");
    data.Add(std::move(x), std::move(y));
    const std::int32_t last = data.Count() - 1;
    MxCompCompute({data.X[last], data.Y[last], data.XValid.back(), data.YValid.back()}, normalize, np);
  });
  State().plot = std::make_unique<TMxCompPlt>(State().data, 1);
  State().plot->Show();
}

}  // namespace

void MxCompRun(std::span<const TParamRec> params) {
  Progress("", 0);
  MxCompRelease();
  const std::string xName = params[pX].fileName;
  const std::string yName = params[pY].fileName;
  const bool normalize = params[pNormalize].check;
  const std::int32_t np = params[pPermutations].integer;
  ListingWriteLine("Input parameters");
  ListingWriteLine("Read X input from file: " + xName);
  ListingWriteLine("Read Y input from file: " + yName);
  if (normalize) ListingWriteLine("Mantel statistic will be normalized.");
  if (np > 0) ListingWriteLine(rtl::Format("%d random permutations will be performed.", np));
  ListingWriteLine("");
  TInputMatrixFile fx;
  TInputMatrixFile fy;
  if (!OpenInputMatrixFile(fx, xName, "X input")) return;
  if (!OpenInputMatrixFile(fy, yName, "Y input")) return;
  State().data = std::make_shared<TMxCompData>();
  MxCompDriver(*fx, *fy, normalize, np);
  Progress("", 100);
}

void MxCompClosePlot() { State().plot.reset(); }

void MxCompRelease() {
  MxCompClosePlot();
  State().data.reset();
}

TMxCompPlt* MxCompPlot() { return State().plot.get(); }

std::shared_ptr<const TMxCompData> MxCompKept() { return State().data; }
