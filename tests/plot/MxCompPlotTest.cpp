// The matrix comparison plot without a window: the matching entries of X and
// Y on a recording canvas at positions worked by hand, the highlighted
// object's pairs drawn first in each row, diagonals, missing entries, the
// groups, and a row of more than 2000 points.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FpTraps.h"
#include "RecordedPlot.h"
#include "matrix/Constu.h"
#include "matrix/MatrixFiles.h"
#include "plot/forms/mxcomp.h"

namespace {

using plat::CanvasOp;
using plat::OpKind;
using plat::Point;

// A matrix of order n from its lower triangle, row by row, diagonal included;
// missing value -1.
std::unique_ptr<Sym_mx> MakeSym(std::int32_t n, const std::vector<double>& lower) {
  auto m = std::make_unique<Sym_mx>(mtDissimilarity, n, 1, -1);
  std::size_t k = 0;
  for (std::int32_t i = 1; i <= n; ++i) {
    for (std::int32_t j = 1; j <= i; ++j) m->putxij(i, j, lower.at(k++));
  }
  return m;
}

// Row i of X holds 10 i + j, of Y 100 i + j (diagonal 0 in both): each
// point's place tells which pair it is.
const std::vector<double> kX = {0, 21, 0, 31, 32, 0, 41, 42, 43, 0};
const std::vector<double> kY = {0, 201, 0, 301, 302, 0, 401, 402, 403, 0};

struct MxCompOnRecorder {
  explicit MxCompOnRecorder(std::shared_ptr<const TMxCompData> data) : plot(canvas, 800, 600), client(data, 1) {
    plot.SetGroupCount(data->Count());
    client.SetUpPlot(plot);
  }
  void Draw() {
    canvas.Clear();
    client.DrawOn(plot);
  }
  // The symbols in drawing order: the points style draws circles, the
  // highlight style squares.
  std::vector<std::pair<OpKind, Point>> Symbols() const {
    std::vector<std::pair<OpKind, Point>> symbols;
    for (const CanvasOp& op : plottest::DataOps(canvas, plot, {OpKind::Ellipse, OpKind::Rectangle}))
      symbols.emplace_back(op.kind, plottest::SymbolCentre(op));
    return symbols;
  }
  std::pair<OpKind, Point> Ordinary(double x, double y) const {
    return {OpKind::Ellipse, plottest::Device(plot, x, y)};
  }
  std::pair<OpKind, Point> Highlighted(double x, double y) const {
    return {OpKind::Rectangle, plottest::Device(plot, x, y)};
  }

  plat::RecordingCanvas canvas{96, 96};
  Tbm2DPlot plot;
  TMxCompPlt client;
};

std::shared_ptr<TMxCompData> DataOf(const std::vector<double>& x, const std::vector<double>& y, std::int32_t n = 4) {
  auto data = std::make_shared<TMxCompData>();
  data->Add(MakeSym(n, x), MakeSym(n, y));
  return data;
}

TEST(MxCompPlotDraw, EachPairOfTheLowerTriangleIsAPointXAgainstY) {
  MxCompOnRecorder t(DataOf(kX, kY));
  t.Draw();
  const auto& parts = t.plot.Parts();
  EXPECT_EQ(std::pair(parts.XAxis.Min, parts.XAxis.Max), std::pair(21.0, 43.0));
  EXPECT_EQ(std::pair(parts.YAxis.Min, parts.YAxis.Max), std::pair(201.0, 403.0));
  const std::vector<std::pair<OpKind, Point>> expected = {
      t.Ordinary(21, 201), t.Ordinary(31, 301), t.Ordinary(32, 302),
      t.Ordinary(41, 401), t.Ordinary(42, 402), t.Ordinary(43, 403),
  };
  EXPECT_EQ(t.Symbols(), expected);
}

// Highlight 3 picks (3, 1), (3, 2) and (4, 3): in each row they come before
// the row's ordinary points, in the highlight style; with diagonals (3, 3)
// too, and the diagonal entries enter the ranges.
TEST(MxCompPlotDraw, HighlightedPairsComeFirstInEachRow) {
  MxCompOnRecorder t(DataOf(kX, kY));
  t.client.SetHighlight(3);
  t.Draw();
  std::vector<std::pair<OpKind, Point>> expected = {
      t.Ordinary(21, 201),    t.Highlighted(31, 301), t.Highlighted(32, 302),
      t.Highlighted(43, 403), t.Ordinary(41, 401),    t.Ordinary(42, 402),
  };
  EXPECT_EQ(t.Symbols(), expected);

  t.client.SetDiagonals(true);
  t.Draw();
  EXPECT_EQ(t.plot.Parts().XAxis.Min, 0.0);
  EXPECT_EQ(t.plot.Parts().YAxis.Min, 0.0);
  // Rows 1 and 2 end with their diagonal entries; row 3 has only highlighted pairs.
  expected = {t.Ordinary(0, 0),       t.Ordinary(21, 201), t.Ordinary(0, 0),       t.Highlighted(31, 301),
              t.Highlighted(32, 302), t.Highlighted(0, 0), t.Highlighted(43, 403), t.Ordinary(41, 401),
              t.Ordinary(42, 402),    t.Ordinary(0, 0)};
  EXPECT_EQ(t.Symbols(), expected);
}

TEST(MxCompPlotDraw, PairsMissingInEitherMatrixAreLeftOut) {
  std::vector<double> x = kX;
  std::vector<double> y = kY;
  x[3] = -1;  // X(3, 1)
  y[8] = -1;  // Y(4, 3)
  MxCompOnRecorder t(DataOf(x, y));
  t.Draw();
  const std::vector<std::pair<OpKind, Point>> expected = {t.Ordinary(21, 201), t.Ordinary(32, 302), t.Ordinary(41, 401),
                                                          t.Ordinary(42, 402)};
  EXPECT_EQ(t.Symbols(), expected);
  EXPECT_EQ(t.plot.Parts().XAxis.Max, 42.0);
}

TEST(MxCompPlotDraw, NoPairToDrawIsReported) {
  MxCompOnRecorder t(DataOf(std::vector<double>(10, -1), kY));
  EXPECT_THROW(t.Draw(), E_Morvapc);
  EXPECT_TRUE(t.Symbols().empty());
}

// Constant values give each axis a range of one value; the engine widens it.
TEST(MxCompPlotDraw, ConstantMatricesPlotWithoutDividingByZero) {
  MxCompOnRecorder t(DataOf({0, 5, 0, 5, 5, 0, 5, 5, 5, 0}, {0, 2, 0, 2, 2, 0, 2, 2, 2, 0}));
  FpTraps traps;
  t.Draw();
  EXPECT_EQ(t.Symbols().size(), 6u);
}

TEST(MxCompPlotDraw, AnotherDataSetAutoscalesAgainAndTakesItsLabels) {
  auto data = DataOf(kX, kY);
  data->Add(MakeSym(4, {0, 1, 0, 2, 3, 0, 4, 5, 6, 0}), MakeSym(4, kY));
  data->X[1].Labels = std::make_shared<Label_mx>(4);
  data->X[1].Labels->SetDefaultLabels("Obj");
  MxCompOnRecorder t(data);
  t.Draw();
  t.plot.Parts().XAxis.Autoscale = false;
  t.plot.SetGroupValue(2);
  t.Draw();
  EXPECT_TRUE(t.plot.XAutoscale());
  EXPECT_EQ(std::pair(t.plot.Parts().XAxis.Min, t.plot.Parts().XAxis.Max), std::pair(1.0, 6.0));
  ASSERT_NE(t.client.Labels(), nullptr);
  EXPECT_EQ(t.client.Labels()->GetLabel(2), "Obj2");
  EXPECT_EQ(t.client.ObjectCount(), 4);
}

// A row of more than 2000 points is drawn whole, in one call.
TEST(MxCompPlotDraw, RowsOfMoreThanTwoThousandPointsAreDrawn) {
  const std::int32_t n = 2050;
  auto x = std::make_unique<Sym_mx>(mtDissimilarity, n, 1, -1);
  auto y = std::make_unique<Sym_mx>(mtDissimilarity, n);
  x->Fill(-1);
  for (std::int32_t j = 1; j < n; ++j) {
    x->putxij(n, j, j);
    y->putxij(n, j, 2.0 * j);
  }
  auto data = std::make_shared<TMxCompData>();
  data->Add(std::move(x), std::move(y));
  MxCompOnRecorder t(data);
  t.Draw();
  const auto symbols = t.Symbols();
  ASSERT_EQ(symbols.size(), static_cast<std::size_t>(n - 1));
  EXPECT_EQ(symbols.back(), t.Ordinary(n - 1, 2.0 * (n - 1)));
}

}  // namespace
