// The matrix plot without a window: points, numbers, labels, vectors and
// graph edges on a recording canvas at positions worked by hand, the ranges,
// missing values, the groups, and the data checks the run makes.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FpTraps.h"
#include "PlotMatrices.h"
#include "RecordedPlot.h"
#include "matrix/Constu.h"
#include "plot/forms/mxplot.h"

namespace {

using plat::CanvasOp;
using plat::OpKind;
using plat::Point;

using plottest::GraphOf;
using plottest::kMissing;
using plottest::ListOf;
using plottest::MakeMatrix;

struct MxPlotOnRecorder {
  MxPlotOnRecorder(std::shared_ptr<const TRectMxList> data, std::shared_ptr<const TGraphMxList> graph, bool byRows,
                   int x = 1, int y = 2)
      : plot(canvas, 800, 600), client(data, std::move(graph), byRows, x, y, "TestMxPlotF", 1) {
    plot.SetGroupCount(data->Count());
    client.SetUpPlot(plot);
  }
  void Draw() {
    canvas.Clear();
    client.DrawOn(plot);
  }
  std::vector<CanvasOp> Ops(std::initializer_list<OpKind> kinds) const {
    return plottest::DataOps(canvas, plot, kinds);
  }
  std::vector<Point> SymbolCentres() const {
    std::vector<Point> centres;
    for (const CanvasOp& op : Ops({OpKind::Ellipse})) centres.push_back(plottest::SymbolCentre(op));
    return centres;
  }
  Point Device(double x, double y) const { return plottest::Device(plot, x, y); }

  plat::RecordingCanvas canvas{96, 96};
  Tbm2DPlot plot;
  TMxPlotPlt client;
};

// Four points by rows of a 4 x 3 matrix, at columns 1 and 2.
const std::vector<std::vector<double>> kFourByThree = {{1, 2, 9}, {3, 4, 9}, {2, 6, 9}, {5, 1, 9}};

TEST(MxPlotDraw, EachRowIsAPointAtColumnsXAndY) {
  MxPlotOnRecorder t(ListOf(MakeMatrix(kFourByThree)), nullptr, false);
  t.Draw();
  const auto& parts = t.plot.Parts();
  EXPECT_EQ(std::pair(parts.XAxis.Min, parts.XAxis.Max), std::pair(1.0, 5.0));
  EXPECT_EQ(std::pair(parts.YAxis.Min, parts.YAxis.Max), std::pair(1.0, 6.0));
  const std::vector<Point> expected = {t.Device(1, 2), t.Device(3, 4), t.Device(2, 6), t.Device(5, 1)};
  EXPECT_EQ(t.SymbolCentres(), expected);
  EXPECT_TRUE(t.Ops({OpKind::TextOut, OpKind::Line}).empty()) << "symbols only until the options choose more";
  EXPECT_EQ(parts.XAxisTitle.Text, "Var-1");
  EXPECT_EQ(parts.YAxisTitle.Text, "Var-2");
}

TEST(MxPlotDraw, ByRowsEachColumnIsAPointAtRowsXAndY) {
  MxPlotOnRecorder t(ListOf(MakeMatrix(kFourByThree, {"Length", "Width", "Depth", "Mass"})), nullptr, true, 4, 2);
  t.Draw();
  const std::vector<Point> expected = {t.Device(5, 3), t.Device(1, 4), t.Device(9, 9)};
  EXPECT_EQ(t.SymbolCentres(), expected);
  EXPECT_EQ(t.plot.Parts().XAxisTitle.Text, "Mass");
  EXPECT_EQ(t.plot.Parts().YAxisTitle.Text, "Width");
}

// Per point: its vector from the origin, its symbol, then its text, with the
// text above the point, to its right.
TEST(MxPlotDraw, VectorsSymbolsAndTextsComeInThatOrderPerPoint) {
  struct Case {
    std::int32_t mode;
    std::vector<std::string> texts;
  };
  for (const Case& c : {Case{pmNumber, {"1", "2", "3", "4"}}, Case{pmLabel, {"A", "B", "3", "4"}}}) {
    MxPlotOnRecorder t(ListOf(MakeMatrix(kFourByThree, {"A", "B"})), nullptr, false);
    t.client.SetPointMode(c.mode);
    t.client.SetShowVectors(true);
    t.Draw();
    const auto ops = t.Ops({OpKind::Line, OpKind::Ellipse, OpKind::TextOut});
    ASSERT_EQ(ops.size(), 12u);
    const double xs[] = {1, 3, 2, 5};
    const double ys[] = {2, 4, 6, 1};
    for (std::size_t k = 0; k < 4; ++k) {
      const Point at = t.Device(xs[k], ys[k]);
      EXPECT_EQ(ops[3 * k].kind, OpKind::Line);
      EXPECT_EQ(ops[3 * k].points, (std::vector<Point>{t.Device(0, 0), at}));
      EXPECT_EQ(plottest::SymbolCentre(ops[3 * k + 1]), at);
      EXPECT_EQ(ops[3 * k + 2].text, c.texts[k]);
      EXPECT_EQ(ops[3 * k + 2].points[0].x, at.x) << "starting at the point";
      EXPECT_LT(ops[3 * k + 2].points[0].y, at.y) << "above it";
    }
  }
}

// Edges join valid points 1 .. point count only: inner nodes (0 and
// negative), nodes beyond the points and points with a missing value draw
// nothing, and nothing is read outside the points.
TEST(MxPlotDraw, GraphEdgesJoinOnlyValidPointsOfThePlot) {
  std::vector<std::vector<double>> rows = kFourByThree;
  rows[3][0] = kMissing;  // point 4
  const auto graph = GraphOf(7, {{1, 2}, {2, -1}, {0, 3}, {3, 4}, {2, 7}, {-3, -2}, {1, 3}});
  MxPlotOnRecorder t(ListOf(MakeMatrix(rows)), graph, false);
  t.Draw();
  const auto lines = t.Ops({OpKind::Line});
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].points, (std::vector<Point>{t.Device(1, 2), t.Device(3, 4)}));
  EXPECT_EQ(lines[1].points, (std::vector<Point>{t.Device(1, 2), t.Device(2, 6)}));
  EXPECT_EQ(t.SymbolCentres().size(), 3u) << "the point with a missing value is not drawn";
  const auto& parts = t.plot.Parts();
  EXPECT_EQ(std::pair(parts.XAxis.Min, parts.XAxis.Max), std::pair(1.0, 3.0)) << "nor counted in the ranges";
  EXPECT_EQ(std::pair(parts.YAxis.Min, parts.YAxis.Max), std::pair(2.0, 6.0));
}

TEST(MxPlotDraw, AllPointsOnOneXValueGiveARangeOfOneTenThousandth) {
  MxPlotOnRecorder t(ListOf(MakeMatrix({{2, 1}, {2, 3}, {2, 5}})), nullptr, false);
  {
    FpTraps traps;
    t.Draw();
  }
  EXPECT_EQ(t.plot.Parts().XAxis.Min, 2.0);
  EXPECT_EQ(t.plot.Parts().XAxis.Max, 2.0001);
  EXPECT_EQ(t.SymbolCentres().size(), 3u);
}

// One graph serves every data set; another data set resets both axes to
// autoscale and sets the axis titles again.
TEST(MxPlotDraw, GroupsShareOneGraphAndAnotherGroupAutoscalesAgain) {
  std::vector<std::unique_ptr<Rect_mx>> matrices;
  matrices.push_back(MakeMatrix(kFourByThree));
  matrices.push_back(MakeMatrix({{10, 20}, {30, 40}, {20, 60}}, {}, {"P", "Q"}));
  MxPlotOnRecorder t(ListOf(std::move(matrices)), GraphOf(4, {{1, 3}}), false);
  t.Draw();
  t.plot.Parts().XAxis.Autoscale = false;
  t.plot.SetXRange(0, 100);
  t.Draw();
  EXPECT_EQ(t.plot.Parts().XAxis.Max, 100.0) << "an axis set by hand stays while the group does";
  t.plot.SetGroupValue(2);
  t.Draw();
  EXPECT_EQ(t.client.CurrentGroup(), 2);
  EXPECT_TRUE(t.plot.XAutoscale());
  EXPECT_EQ(std::pair(t.plot.Parts().XAxis.Min, t.plot.Parts().XAxis.Max), std::pair(10.0, 30.0));
  EXPECT_EQ(t.plot.Parts().XAxisTitle.Text, "P");
  const auto lines = t.Ops({OpKind::Line});
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].points, (std::vector<Point>{t.Device(10, 20), t.Device(20, 60)}));
}

// ---- The checks of the data ----

struct CheckCase {
  const char* name;
  std::vector<std::vector<double>> rows;
  bool byRows;
  std::int32_t x, y;
  const char* message;
};

class MxPlotCheck : public ::testing::TestWithParam<CheckCase> {};

TEST_P(MxPlotCheck, RefusesDataThatCannotBePlotted) {
  const CheckCase& c = GetParam();
  const auto m = MakeMatrix(c.rows);
  try {
    MxPlotCheckData(*m, c.byRows, c.x, c.y);
    ADD_FAILURE() << "no error";
  } catch (const E_Morvapc& error) {
    EXPECT_STREQ(error.what(), c.message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Data, MxPlotCheck,
    ::testing::Values(
        CheckCase{"OneVariable", {{1}, {2}}, false, 1, 2, "Need at least two variables to plot."},
        CheckCase{"OneRowByRows", {{1, 2, 3}}, true, 1, 2, "Need at least two variables to plot."},
        CheckCase{"AbscissaBeyond", kFourByThree, false, 4, 2, "Abscissa (4) is not one of the 3 variables"},
        CheckCase{"OrdinateBeyondByRows", kFourByThree, true, 1, 5, "Ordinate (5) is not one of the 4 variables"},
        CheckCase{"AbscissaZero", kFourByThree, false, 0, 2, "Abscissa (0) is not one of the 3 variables"},
        CheckCase{"NoValidPoint", {{kMissing, 1}, {2, kMissing}}, false, 1, 2, "No points to plot"}),
    [](const auto& param) { return std::string(param.param.name); });

// The plot reports the same check when it draws, before any drawing.
TEST(MxPlotDraw, VariableBeyondTheDataIsReportedNotAnIndexError) {
  MxPlotOnRecorder t(ListOf(MakeMatrix(kFourByThree)), nullptr, false, 1, 7);
  EXPECT_THROW(t.Draw(), E_Morvapc);
  EXPECT_TRUE(t.Ops({OpKind::Ellipse}).empty());
}

}  // namespace
