// The 3-D plot without a window: the projection against an independent
// matrix product and the closed forms, the normalised box, the order in which
// the scene is drawn on a recording canvas, points left out (missing values,
// behind the eye), graph edges, the viewing distance refused, and the data
// checks the run makes. Every drawing test runs with floating-point traps on.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "FpTraps.h"
#include "PlotMatrices.h"
#include "RecordedPlot.h"
#include "matrix/Constu.h"
#include "plot/forms/mod3d.h"

namespace {

using plat::CanvasOp;
using plat::OpKind;
using plat::Point;
using plottest::GraphOf;
using plottest::kMissing;
using plottest::ListOf;
using plottest::MakeMatrix;

// A plot of one data matrix, drawn as a window would draw it.
struct Mod3DOnRecorder {
  explicit Mod3DOnRecorder(const std::vector<std::vector<double>>& rows,
                           std::shared_ptr<const TGraphMxList> graph = nullptr, double alpha = 30, double beta = 30,
                           double rho = 999)
      : data(ListOf(MakeMatrix(rows))),
        plot(canvas, 800, 600),
        client(data, std::move(graph), false, 1, 2, 3, alpha, beta, rho, "TestMod3DF", 1) {
    plot.SetGroupCount(data->Count());
    client.SetUpPlot(plot);
  }
  void Draw() {
    canvas.Clear();
    FpTraps traps;
    client.DrawOn(plot);
  }
  // The scene as Draw computes it.
  TMod3DScene Scene() {
    FpTraps traps;
    return client.MakeScene((*data)[0]);
  }
  std::vector<CanvasOp> Ops(std::initializer_list<OpKind> kinds) const {
    return plottest::DataOps(canvas, plot, kinds);
  }
  Point Device(const TProjected& p) const { return plottest::Device(plot, p.x, p.y); }

  std::shared_ptr<const TRectMxList> data;
  plat::RecordingCanvas canvas{96, 96};
  Tbm2DPlot plot;
  TMod3DPlt client;
};

// Five points on three variables (rows are points): X, Y, Z in columns 1..3.
const std::vector<std::vector<double>> kFive = {{1, 2, 3}, {4, 0, 1}, {2, 5, 2}, {0, 1, 6}, {3, 3, 0}};

// ---- The projection ----

struct Reference {
  double a, b, c, alpha, beta, rho, x, y, depth, w;
};

std::vector<Reference> ReadReferences() {
  std::ifstream in(std::string(MORVA_FIXTURES) + "/mod3d/projection.txt");
  std::vector<Reference> refs;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    Reference r{};
    words >> r.a >> r.b >> r.c >> r.alpha >> r.beta >> r.rho >> r.x >> r.y >> r.depth >> r.w;
    refs.push_back(r);
  }
  return refs;
}

// Within 1e-12 of the value, or of the size of the terms it sums where
// they cancel.
void ExpectClose(double got, double expected, double termSize, const char* what, std::size_t line) {
  EXPECT_NEAR(got, expected, 1e-12 * std::max(std::abs(expected), termSize)) << what << " of reference " << line;
}

TEST(Mod3DProjection, EqualsAnIndependentMatrixProductAndTheClosedForms) {
  const std::vector<Reference> refs = ReadReferences();
  ASSERT_EQ(refs.size(), 60u) << "projection.txt, made by projection.py";
  for (std::size_t k = 0; k < refs.size(); ++k) {
    const Reference& r = refs[k];
    TMod3DPlt client(nullptr, nullptr, false, 1, 2, 3, r.alpha, r.beta, r.rho, "F", 1);
    client.SetupView();
    const TProjected p = client.Project({r.a, r.b, r.c});
    ASSERT_TRUE(p.visible);
    const double terms = (std::abs(r.a) + std::abs(r.b) + std::abs(r.c)) / r.w;
    ExpectClose(p.x, r.x, terms, "x", k);
    ExpectClose(p.y, r.y, terms, "y", k);
    ExpectClose(p.depth, r.depth, terms, "depth", k);
    ExpectClose(p.w, r.w, terms + r.rho, "w", k);

    // X' = a ca - c sa; Y' = a sa sb + b cb + c ca sb; D' = a sa cb - b sb + c ca cb; w = D' / rho + rho.
    const double ca = std::cos(r.alpha * std::numbers::pi / 180), sa = std::sin(r.alpha * std::numbers::pi / 180);
    const double cb = std::cos(r.beta * std::numbers::pi / 180), sb = std::sin(r.beta * std::numbers::pi / 180);
    const double x = r.a * ca - r.c * sa;
    const double y = r.a * sa * sb + r.b * cb + r.c * ca * sb;
    const double d = r.a * sa * cb - r.b * sb + r.c * ca * cb;
    const double w = d / r.rho + r.rho;
    ExpectClose(p.w, w, terms + r.rho, "closed w", k);
    ExpectClose(p.x, x / w, terms, "closed x", k);
    ExpectClose(p.y, y / w, terms, "closed y", k);
    ExpectClose(p.depth, d / w, terms, "closed depth", k);
  }
}

TEST(Mod3DProjection, AlphaAndBetaZeroPutAToTheRightAndBUpward) {
  TMod3DPlt client(nullptr, nullptr, false, 1, 2, 3, 0, 0, 10, "F", 1);
  client.SetupView();
  const TViewMatrix identity = {{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 10}}};
  EXPECT_EQ(client.View(), identity);
  const TProjected a = client.Project({1, 0, 0});
  const TProjected b = client.Project({0, 1, 0});
  const TProjected c = client.Project({0, 0, 1});
  EXPECT_GT(a.x, 0);
  EXPECT_EQ(a.y, 0);
  EXPECT_EQ(b.x, 0);
  EXPECT_GT(b.y, 0);
  EXPECT_EQ(std::pair(c.x, c.y), std::pair(0.0, 0.0)) << "c is pure depth";
  EXPECT_GT(c.depth, 0);
  EXPECT_DOUBLE_EQ(a.x, 1 / 10.0);
}

// A distance that is not a positive number would divide by zero or mirror
// the scene: the constructor refuses it, and so does the setter, keeping the
// distance it had.
TEST(Mod3DProjection, ViewingDistanceMustBeAPositiveNumber) {
  for (double rho : {0.0, -1.0, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
    EXPECT_THROW(TMod3DPlt(nullptr, nullptr, false, 1, 2, 3, 30, 30, rho, "F", 1), E_Morvapc) << rho;
    TMod3DPlt client(nullptr, nullptr, false, 1, 2, 3, 30, 30, 5, "F", 1);
    EXPECT_FALSE(client.SetRho(rho)) << rho;
    EXPECT_EQ(client.Rho(), 5.0);
  }
  TMod3DPlt client(nullptr, nullptr, false, 1, 2, 3, 30, 30, 5, "F", 1);
  EXPECT_TRUE(client.SetRho(0.01));
  EXPECT_EQ(client.Rho(), 0.01);
}

// ---- Normalising ----

TEST(Mod3DNormalize, WithoutPreserveAspectEveryValidPointLiesInTheUnitBox) {
  std::vector<std::vector<double>> rows = {{12, -4, 100}, {-7, 30, 250}, {3, 3, 3}, {kMissing, 1e6, 0}, {0, 0, 70}};
  Mod3DOnRecorder t(rows);
  t.client.Settings().preserveAspect = false;
  const TMod3DScene scene = t.Scene();
  EXPECT_EQ(scene.validCount, 4);
  double lo[3] = {1, 1, 1}, hi[3] = {-1, -1, -1};
  for (std::int32_t k = 1; k <= scene.n; ++k) {
    if (!scene.valid[k]) continue;
    const T3DPoint& p = scene.points[k];
    const double v[3] = {p.a, p.b, p.c};
    for (int i = 0; i < 3; ++i) {
      lo[i] = std::min(lo[i], v[i]);
      hi[i] = std::max(hi[i], v[i]);
    }
  }
  // a is X (column 1), b is Z (column 3), c is Y (column 2); the ends are reached.
  EXPECT_EQ(std::vector<double>(lo, lo + 3), (std::vector<double>{-0.5, -0.5, -0.3}));
  EXPECT_EQ(std::vector<double>(hi, hi + 3), (std::vector<double>{0.5, 0.5, 0.7}));
  EXPECT_EQ(scene.box.minC, -0.3);
  EXPECT_EQ(scene.box.maxC, 0.7);
  EXPECT_EQ(scene.points[3].a, 10.0 / 19 - 0.5);
}

TEST(Mod3DNormalize, PreserveAspectShiftsAndKeepsTheUnits) {
  struct Case {
    const char* name;
    std::vector<std::vector<double>> rows;  // X, Y, Z
    std::vector<T3DPoint> expected;         // a, b, c of each point
    TMod3DBox box;
  };
  const Case cases[] = {
      // a and b by their midpoints (3, 15), c by 0.7 * 0 + 0.3 * 10.
      {"Spread", {{1, 0, 10}, {5, 10, 20}}, {{-2, -5, -3}, {2, 5, 7}}, {-2, 2, -5, 5, -3, 7}},
      // A range of one value gets a width of 1e-5 in the data's units.
      {"OneValue", {{4, 0, 10}, {4, 10, 20}}, {{0, -5, -3}, {0, 5, 7}}, {0, 1e-5, -5, 5, -3, 7}},
  };
  for (const Case& c : cases) {
    Mod3DOnRecorder t(c.rows);
    const TMod3DScene scene = t.Scene();
    for (std::size_t k = 0; k < c.expected.size(); ++k) {
      const T3DPoint& p = scene.points[k + 1];
      EXPECT_EQ(p.a, c.expected[k].a) << c.name << k;
      EXPECT_EQ(p.b, c.expected[k].b) << c.name << k;
      EXPECT_EQ(p.c, c.expected[k].c) << c.name << k;
    }
    const TMod3DBox& b = scene.box;
    EXPECT_EQ((std::vector<double>{b.minA, b.maxA, b.minB, b.maxB, b.minC, b.maxC}),
              (std::vector<double>{c.box.minA, c.box.maxA, c.box.minB, c.box.maxB, c.box.minC, c.box.maxC}))
        << c.name;
  }
}

// ---- The scene on a recording canvas ----

// The quadrilateral's two polygons and the Z axis, and where they come in
// the drawing: before the points when the base lies behind them (beta > 0
// looks down on it), after them otherwise.
TEST(Mod3DScene, BaseAndZAxisComeBeforeOrAfterThePointsByTheBaseFirstFlag) {
  for (double beta : {30.0, -30.0}) {
    Mod3DOnRecorder t(kFive, nullptr, 30, beta, 999);
    auto& quad = std::get<TbmQuadClass>(t.plot.FindStyle(t.client.BaseStyle())->Part);
    quad.Outline.color = 0x0000FF;
    t.Draw();
    const TMod3DScene scene = t.Scene();
    EXPECT_EQ(scene.baseFirst, beta > 0);
    const auto ops = t.Ops({OpKind::Polygon, OpKind::Line, OpKind::Ellipse});
    ASSERT_EQ(ops.size(), 3u + 2 * 5);
    const std::size_t first = scene.baseFirst ? 0 : 10;
    std::vector<Point> corners;
    for (const TProjected& q : scene.base) corners.push_back(t.Device(q));
    EXPECT_EQ(ops[first].kind, OpKind::Polygon);
    EXPECT_EQ(ops[first].points, corners);
    EXPECT_EQ(ops[first + 1].kind, OpKind::Polygon);
    EXPECT_EQ(ops[first + 2].kind, OpKind::Line);
    EXPECT_EQ(ops[first + 2].points, (std::vector<Point>{t.Device(scene.base[0]), t.Device(scene.top)}));
    EXPECT_EQ(ops[first + 2].pen.color, 0x0000FFu) << "the Z axis in the base region's outline";
  }
}

// Points from the last to the first, so the first ends on top: per point its
// label, its wire down to its foot, its symbol, then its vector.
TEST(Mod3DScene, PointsAreDrawnFromTheLastToTheFirst) {
  Mod3DOnRecorder t(kFive);
  t.client.Settings().labelMode = lmNumber;
  t.client.Settings().showVectors = true;
  t.client.Settings().showBase = false;
  t.Draw();
  const TMod3DScene scene = t.Scene();
  const auto ops = t.Ops({OpKind::TextOut, OpKind::Line, OpKind::Ellipse});
  ASSERT_EQ(ops.size(), 4u * 5);
  for (std::int32_t k = 5; k >= 1; --k) {
    const std::size_t at = 4 * static_cast<std::size_t>(5 - k);
    const Point point = t.Device(scene.at[k]);
    EXPECT_EQ(ops[at].text, std::to_string(k));
    EXPECT_EQ(ops[at + 1].points, (std::vector<Point>{point, t.Device(scene.foot[k])})) << "wire of " << k;
    EXPECT_EQ(plottest::SymbolCentre(ops[at + 2]), point) << k;
    EXPECT_EQ(ops[at + 3].points, (std::vector<Point>{t.Device(scene.origin), point})) << "vector of " << k;
  }
  const auto& parts = t.plot.Parts();
  EXPECT_EQ(std::pair(parts.XAxis.Min, parts.XAxis.Max), std::pair(scene.minX, scene.maxX));
  EXPECT_EQ(std::pair(parts.YAxis.Min, parts.YAxis.Max), std::pair(scene.minY, scene.maxY));
}

// A point with a missing value draws no label, wire, symbol or vector, and no
// edge that touches it; edges join valid points 1 .. n only, so a graph's
// inner nodes (0 and negative, as NJOIN writes them) and nodes beyond the
// points draw nothing and nothing is read outside the points.
TEST(Mod3DScene, MissingPointDropsEverythingOfItAndEdgesJoinOnlyValidPoints) {
  std::vector<std::vector<double>> rows = kFive;
  rows[1][2] = kMissing;  // point 2
  const auto graph = GraphOf(9, {{1, 2}, {2, -1}, {0, 3}, {3, 4}, {5, 9}, {-3, -2}, {1, 5}, {2, 3}});
  Mod3DOnRecorder t(rows, graph);
  t.client.Settings().labelMode = lmLabel;
  t.client.Settings().showVectors = true;
  t.client.Settings().showBase = false;
  t.Draw();
  const TMod3DScene scene = t.Scene();
  std::vector<std::string> texts;
  for (const CanvasOp& op : t.Ops({OpKind::TextOut})) texts.push_back(op.text);
  EXPECT_EQ(texts, (std::vector<std::string>{"5", "4", "3", "1"})) << "no labels: the numbers";
  EXPECT_EQ(t.Ops({OpKind::Ellipse}).size(), 4u);
  const auto lines = t.Ops({OpKind::Line});
  ASSERT_EQ(lines.size(), 4u * 2 + 2) << "wires and vectors of four points, two edges";
  EXPECT_EQ(lines[8].points, (std::vector<Point>{t.Device(scene.at[3]), t.Device(scene.at[4])}));
  EXPECT_EQ(lines[9].points, (std::vector<Point>{t.Device(scene.at[1]), t.Device(scene.at[5])}));
}

TEST(Mod3DScene, WithoutTheBaseThereIsNoZAxisEither) {
  Mod3DOnRecorder t(kFive);
  t.client.Settings().showBase = false;
  t.client.Settings().showZAxis = true;
  t.client.Settings().showWires = false;
  t.Draw();
  EXPECT_TRUE(t.Ops({OpKind::Polygon, OpKind::Line}).empty());
  EXPECT_EQ(t.Ops({OpKind::Ellipse}).size(), 5u);
  t.client.Settings().showBase = true;
  t.client.Settings().showZAxis = false;
  t.Draw();
  EXPECT_EQ(t.Ops({OpKind::Polygon}).size(), 2u);
  EXPECT_TRUE(t.Ops({OpKind::Line}).empty()) << "the base without its axis";
}

// With preserve aspect the data keep their units: seen from a short distance
// a point may lie behind the eye (w <= 0). It is left out with its wire, as
// is the base region whose corner lies there, and nothing divides by zero.
TEST(Mod3DScene, PointsAtOrBehindTheEyeAreLeftOut) {
  // X, Y, Z: c (the Y column) becomes -3 and 7 after the shift by 3.
  const std::vector<std::vector<double>> rows = {{0, 0, 0}, {1, 10, 1}, {2, 5, 1}};
  Mod3DOnRecorder t(rows, nullptr, 0, 0, 1);
  t.client.Settings().showVectors = true;
  t.Draw();
  const TMod3DScene scene = t.Scene();
  EXPECT_FALSE(scene.at[1].visible) << "w = -3 / 1 + 1";
  EXPECT_TRUE(scene.at[2].visible);
  EXPECT_TRUE(scene.at[3].visible);
  EXPECT_FALSE(scene.base[0].visible);
  EXPECT_EQ(t.Ops({OpKind::Ellipse}).size(), 2u);
  EXPECT_TRUE(t.Ops({OpKind::Polygon}).empty());
  // The feet of points 2 and 3 and the origin lie in front: their wires and vectors.
  EXPECT_EQ(t.Ops({OpKind::Line}).size(), 4u);
}

// A data set without a valid point is refused before anything is projected
// (its ranges would stay at +-9e200).
TEST(Mod3DScene, NoValidPointDrawsNothing) {
  const std::vector<std::vector<double>> rows = {{kMissing, 1, 2}, {1, kMissing, 2}};
  Mod3DOnRecorder t(rows);
  EXPECT_THROW(t.Draw(), E_Morvapc);
  EXPECT_TRUE(t.Ops({OpKind::Polygon, OpKind::Line, OpKind::Ellipse}).empty());
  EXPECT_THROW(t.Scene(), E_Morvapc);
}

// ---- The checks of the data ----

struct CheckCase {
  const char* name;
  std::vector<std::vector<double>> rows;
  bool pointsAreColumns;
  std::int32_t x, y, z;
  const char* message;
};

class Mod3DCheck : public ::testing::TestWithParam<CheckCase> {};

TEST_P(Mod3DCheck, RefusesDataThatCannotBePlotted) {
  const CheckCase& c = GetParam();
  const auto m = MakeMatrix(c.rows);
  try {
    Mod3DCheckData(*m, c.pointsAreColumns, c.x, c.y, c.z);
    ADD_FAILURE() << "no error";
  } catch (const E_Morvapc& error) {
    EXPECT_STREQ(error.what(), c.message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Data, Mod3DCheck,
    ::testing::Values(
        CheckCase{"TwoVariables", {{1, 2}, {3, 4}}, false, 1, 2, 3, "Must have at least 3 variables"},
        CheckCase{"TwoRowsByColumns", {{1, 2, 3}, {4, 5, 6}}, true, 1, 2, 3, "Must have at least 3 variables"},
        CheckCase{"XBeyond", kFive, false, 4, 2, 3, "X (4) is not one of the 3 variables"},
        CheckCase{"YZero", kFive, false, 1, 0, 3, "Y (0) is not one of the 3 variables"},
        CheckCase{"ZBeyondByColumns", kFive, true, 1, 2, 6, "Z (6) is not one of the 5 variables"},
        CheckCase{"NoValidPoint", {{kMissing, 1, 2}, {1, 2, kMissing}}, false, 1, 2, 3, "No points to plot"}),
    [](const auto& param) { return std::string(param.param.name); });

}  // namespace
