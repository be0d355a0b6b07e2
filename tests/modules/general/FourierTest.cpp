// FOURIER's computations against exact values (the unit square) and against
// an independent NumPy computation (references.py beside the fixtures), and
// the module run as the batch runner runs it: its checks and refusals, the
// harmonics it caps for the rest of a run, the sizes it standardises, and its
// result files read back.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

#include "modules/general/fourier.h"
#include "modules/general/fourierCompute.h"
#include "rtl/Format.h"
#include "tests/modules/general/GeneralTestSupport.h"
#include "tests/support/RecordingPlotBar.h"
#include "tests/support/ScopedHook.h"

namespace {

constexpr double kExact = 1e-12;
constexpr double kPrinted = 1e-6;
constexpr double kPi = std::numbers::pi;

const testsupport::ReferenceTable& Refs() {
  static const testsupport::ReferenceTable refs(std::filesystem::path(MORVA_FIXTURES) / "fourier" / "references.txt");
  return refs;
}

std::vector<double> Row(const std::string& name, int i) {
  std::vector<double> row;
  for (int j = 1; j <= Refs().Cols(name); ++j) row.push_back(Refs().At(name, i, j));
  return row;
}

// A fit as one row: the constant terms, then the harmonics.
std::vector<double> Flat(const TEllipticFourier& fit) {
  std::vector<double> row = fit.constants;
  for (const std::vector<double>& h : fit.harmonics) row.insert(row.end(), h.begin(), h.end());
  return row;
}

void ExpectNear(const std::vector<double>& actual, const std::vector<double>& expected, double tolerance,
                const std::string& what) {
  ASSERT_EQ(actual.size(), expected.size()) << what;
  for (std::size_t k = 0; k < actual.size(); ++k) EXPECT_NEAR(actual[k], expected[k], tolerance) << what << " " << k;
}

const std::vector<double> kSquare = {0, 0, 1, 0, 1, 1, 0, 1};

TEST(FourierAngles, ArcTangentAndNormalisationFollowTheirQuadrants) {
  struct Case {
    double y, x, angle;
  };
  const Case cases[] = {
      {0, 0, -kPi / 2}, {1, 0, kPi / 2},      {-1, 0, -kPi / 2},      {1, 1, kPi / 4},
      {0, -1, kPi},     {1, -1, 3 * kPi / 4}, {-1, -1, -3 * kPi / 4}, {-1, 1, -kPi / 4},
  };
  for (const Case& c : cases) EXPECT_NEAR(FourierArcTan2(c.y, c.x), c.angle, kExact) << c.y << " " << c.x;

  const double angles[][2] = {
      {0, 0}, {kPi + 0.5, 0.5 - kPi}, {-kPi - 0.5, kPi - 0.5}, {7 * kPi, kPi}, {-9.5 * kPi, -1.5 * kPi + 2 * kPi}};
  for (const auto& a : angles) {
    double angle = a[0];
    FourierNormalizeAngle(angle);
    EXPECT_NEAR(angle, a[1], kExact) << a[0];
  }
}

TEST(FourierElliptic, UnitSquareGivesItsExactCoefficients) {
  const double k = 4 / (kPi * kPi);
  const TEllipticFourier fit = FourierEFA(kSquare, 2, 2);
  EXPECT_NEAR(fit.length, 4, kExact);
  const std::vector<double> exact = {0.5, 0.5, -k, k, -k, -k, 0, 0, 0, 0};
  ExpectNear(Flat(fit), exact, kExact, "exact");
  const std::vector<double> printed = {0.5, 0.5, -0.405285, 0.405285, -0.405285, -0.405285, 0, 0, 0, 0};
  ExpectNear(Flat(fit), printed, kPrinted, "printed");

  // ELLIP1 and BOTH: the first harmonic becomes the unit circle started on
  // its axis; its start (theta) is that of atan2(0, 0) = -pi/2 and its
  // orientation pi, so the centre (1/2, 1/2) turns to -(1/2, 1/2) / E.
  TEllipticFourier normalized = fit;
  const TFirstHarmonic first = FourierFirstHarmonic(fit);
  EXPECT_NEAR(first.radius, k * std::sqrt(2.0), kExact);
  EXPECT_NEAR(first.theta, -kPi / 4, kExact);
  EXPECT_NEAR(std::cos(first.psi), -1, kExact);  // pi or -pi, as the rounding of its sine falls
  FourierNormalize(normalized, first.psi, first.theta, first.radius);
  const double centre = -0.5 / (k * std::sqrt(2.0));
  ExpectNear(Flat(normalized), {centre, centre, 1, 0, 0, 1, 0, 0, 0, 0}, kExact, "ELLIP1 BOTH");
}

TEST(FourierElliptic, RandomOutlinesEqualNumpy) {
  for (int i = 1; i <= Refs().Rows("outline2"); ++i) {
    TEllipticFourier fit = FourierEFA(Row("outline2", i), 2, 5);
    ExpectNear(Flat(fit), Row("efa2", i), kExact, "efa2 " + std::to_string(i));
    const TFirstHarmonic first = FourierFirstHarmonic(fit);
    FourierNormalize(fit, first.psi, first.theta, first.radius);
    ExpectNear(Flat(fit), Row("efa2.ellip1.both", i), kExact, "efa2.ellip1.both " + std::to_string(i));
  }
  for (int i = 1; i <= Refs().Rows("outline3"); ++i) {
    ExpectNear(Flat(FourierEFA(Row("outline3", i), 3, 4)), Row("efa3", i), kExact, "efa3 " + std::to_string(i));
  }
}

TEST(FourierElliptic, RepeatedAndCoincidingPoints) {
  // A repeated point adds a step of length 0: nothing changes.
  const std::vector<double> repeated = {0, 0, 1, 0, 1, 0, 1, 1, 0, 1};
  ExpectNear(Flat(FourierEFA(repeated, 2, 3)), Flat(FourierEFA(kSquare, 2, 3)), kExact, "repeated");
  // An outline of one place has length 0, zero harmonics and that place as
  // its constant terms, in 2-D and in 3-D.
  ExpectNear(Flat(FourierEFA(std::vector<double>{2, 3, 2, 3, 2, 3}, 2, 2)), {2, 3, 0, 0, 0, 0, 0, 0, 0, 0}, 0, "2-D");
  ExpectNear(Flat(FourierEFA(std::vector<double>{2, 3, 4, 2, 3, 4}, 3, 1)), {2, 3, 4, 0, 0, 0, 0, 0, 0}, 0, "3-D");
}

TEST(FourierElliptic, InverseGivesTheOutlineBack) {
  // Regular 40-gons, flat and tilted out of the plane: their vertices lie at
  // equal arc lengths, where the inverse series is evaluated.
  const int H = 400, P = 40;
  for (const int dims : {2, 3}) {
    std::vector<double> outline;
    for (int p = 0; p < P; ++p) {
      const double t = 2 * kPi * p / P;
      outline.insert(outline.end(), {3 + 2 * std::cos(t), -1 + 2 * std::sin(t) * (dims == 3 ? 0.6 : 1)});
      if (dims == 3) outline.push_back(0.5 + 2 * std::sin(t) * 0.8);
    }
    // The series of a polygon meets each corner to within O(1/H).
    const std::vector<double> back = FourierInverseEFA(Flat(FourierEFA(outline, dims, H)), dims, H, P);
    ExpectNear(back, outline, 5e-4, "round trip in " + std::to_string(dims) + "-D");
  }
}

TEST(FourierEqualSpaced, RadiiEqualNumpyFft) {
  for (int r = 1; r <= 3; ++r) {
    const std::string name = std::to_string(r);
    for (const bool rotate : {false, true}) {
      std::vector<double> row;
      for (const TRadiusHarmonic& h : FourierEqualSpaced(Row("radii" + name, 1), 6, rotate)) {
        row.insert(row.end(), {h.A, h.B});
        EXPECT_NEAR(h.amplitude, std::hypot(h.A, h.B), kExact);
      }
      const std::string reference = "foureq" + name + (rotate ? ".rotate" : "");
      ExpectNear(row, Row(reference, 1), kExact, reference);
    }
  }
  // Equal radii r: A0 = 2r at 90 degrees, every other harmonic 0.
  const std::vector<TRadiusHarmonic> round = FourierEqualSpaced(std::vector<double>(9, 1.5), 2, false);
  EXPECT_NEAR(round[0].phase, kPi / 2, kExact);
  for (std::size_t n = 0; n < round.size(); ++n) {
    EXPECT_NEAR(round[n].B, 0, kExact);
    EXPECT_NEAR(round[n].A, n == 0 ? 3 : 0, kExact);
  }
}

TEST(FourierSize, AreaAndPerimeterOfOutlinesAndRadii) {
  EXPECT_DOUBLE_EQ(FourierOutlineArea(kSquare), 1);
  const std::vector<double> clockwise = {0, 0, 0, 1, 1, 1, 1, 0};
  EXPECT_DOUBLE_EQ(FourierOutlineArea(clockwise), 1);
  EXPECT_DOUBLE_EQ(FourierOutlinePerimeter(kSquare), 4);
  // Radii 1 at four angles draw a square of side sqrt(2).
  const std::vector<double> diamond = FourierRadiiPolygon(std::vector<double>(4, 1));
  EXPECT_NEAR(FourierOutlineArea(diamond), 2, kExact);
  EXPECT_NEAR(FourierOutlinePerimeter(diamond), 4 * std::sqrt(2.0), kExact);
}

// ---- The module ----

class FourierModule : public gentest::ModuleRun {
 protected:
  gentest::TReadBack Fourier(const std::string& input, const gentest::Args& options) {
    gentest::Args args = options;
    args["O"] = input;
    args["R"] = "out.qmx";
    Run(FourierDescribe, args);
    return ReadBack("out.qmx");
  }

  int Count(const std::string& line) const {
    return static_cast<int>(std::count(services.lines.begin(), services.lines.end(), line));
  }

  testsupport::RecordingPlotBar bar;
  const testsupport::ScopedHook<TPlotButtonBar*> installedBar{SetPlotButtonBar, &bar};
};

TEST_F(FourierModule, RefusesWhatItCannotCompute) {
  struct Case {
    const char* input;
    gentest::Args args;
    const char* message;
  };
  const char* const square = "1 1 8 0\n0 0 1 0 1 1 0 1\n";
  const char* const twelve = "1 1 12 0\n0 0 0 1 0 0 1 1 0 0 1 0\n";
  const Case cases[] = {
      {"1 1 8 1 -9\n0 0 1 0 1 -9 0 1\n", {}, "No missing values are allowed"},
      {"1 1 7 0\n0 0 1 0 1 1 0\n", {}, "Number of values for each object must be an even number"},
      {"1 1 8 0\n0 0 1 0 1 1 0 1\n",
       {{"M", "EFOUR3"}, {"S", "NONE"}},
       "Number of values for each object must be a multiple of 3"},
      {"1 1 17 0\n1 2 3 4 5 6 7 8 9 1 2 3 4 5 6 7 8\n",
       {{"M", "IEFOUR"}, {"S", "NONE"}},
       "Improper number of coefficients"},
      {"1 1 10 0\n1 2 3 4 5 6 7 8 9 1\n", {{"M", "IEFOUR3"}, {"S", "NONE"}}, "Improper number of coefficients"},
      {"1 1 1 0\n5\n", {{"M", "FOUREQ"}}, "No harmonics to be computed"},
      {twelve,
       {{"M", "EFOUR3"}, {"S", "NONE"}, {"OR", "ROTATE"}},
       "Orientation option not valid for 3D elliptic Fourier"},
      {twelve, {{"M", "EFOUR3"}}, "Size option not valid for 3D elliptic Fourier"},
      {"1 1 6 0\n0 0 1 0 0 1\n",
       {{"M", "IEFOUR"}, {"S", "NONE"}, {"OR", "START"}},
       "Orientation option not valid for inverse elliptic Fourier"},
      {"1 1 6 0\n0 0 1 0 0 1\n",
       {{"M", "IEFOUR"}, {"S", "PERIM"}},
       "Size option not valid for inverse elliptic Fourier"},
      {"1 1 9 0\n0 0 0 1 0 0 1 0 0\n",
       {{"M", "IEFOUR3"}, {"S", "NONE"}, {"OR", "BOTH"}},
       "Orientation option not valid for inverse 3D elliptic Fourier"},
      {"1 1 9 0\n0 0 0 1 0 0 1 0 0\n",
       {{"M", "IEFOUR3"}, {"S", "ELLIP1"}},
       "Size option not valid for inverse 3D elliptic Fourier"},
      {square, {{"M", "FOUREQ"}, {"OR", "START"}}, "Orientation option not valid for equal-spaced Fourier"},
      {square, {{"M", "FOUREQ"}, {"OR", "BOTH"}}, "Orientation option not valid for equal-spaced Fourier"},
      {square, {{"M", "FOUREQ"}, {"S", "ELLIP1"}}, "Size option not valid for equal-spaced Fourier"},
      {"1 2L 6 0\nround flat\n0 0 1 0 0 1\n0 0 0 0 0 0\n",
       {{"S", "ELLIP1"}},
       "The first harmonic of outline flat has no extent: it cannot be standardized by ELLIP1"},
      // A square traced twice has no first harmonic.
      {"1 1 16 0\n0 0 1 0 1 1 0 1 0 0 1 0 1 1 0 1\n",
       {{"S", "ELLIP1"}},
       "The first harmonic of outline no. 1 has no extent: it cannot be standardized by ELLIP1"},
  };
  for (const Case& c : cases) {
    WriteFile("in.qmx", c.input);
    gentest::Args args = c.args;
    args["O"] = "in.qmx";
    args["R"] = "out.qmx";
    EXPECT_EQ(RefusalOf(FourierDescribe, args), c.message) << c.input;
  }
}

// A data set refused for its options leaves nothing of it in the result
// file: the data sets before it stay a whole matrix file.
TEST_F(FourierModule, ARefusedDataSetWritesNothing) {
  WriteFile("one.qmx", "1 1 6 0\n0 0 0 1 0 0\n");
  EXPECT_EQ(RefusalOf(FourierDescribe, {{"O", "one.qmx"}, {"M", "EFOUR3"}, {"R", "out.qmx"}}),
            "Size option not valid for 3D elliptic Fourier");
  EXPECT_FALSE(std::filesystem::exists(Path("out.qmx")));

  WriteFile("two.qmx", "1 1 12 0\n0 0 0 1 0 0 1 1 0 0 1 0\n1 1 8 0\n0 0 1 0 1 1 0 1\n");
  EXPECT_EQ(RefusalOf(FourierDescribe, {{"O", "two.qmx"}, {"M", "EFOUR3"}, {"S", "NONE"}, {"R", "out.qmx"}}),
            "Number of values for each object must be a multiple of 3");
  EXPECT_FALSE(std::filesystem::exists(Path("out.qmx"))) << "nor the data sets before the refused one";
}

// N is lowered to what the first data set allows and stays so for the next.
TEST_F(FourierModule, HarmonicsCappedForTheRestOfTheRun) {
  WriteFile("sets.qmx", "1 1 6 0\n0 0 1 0 0 1\n1 2L 10 0\nA B\n0 0 2 0 2 1 1 2 0 1\n0 0 1 0 1 1 1 1 0 1\n");
  Run(FourierDescribe, {{"O", "sets.qmx"}, {"S", "NONE"}, {"R", "out.qmx"}});
  EXPECT_EQ(Count("3 is the highest harmonic that can be computed"), 1);
  EXPECT_EQ(Count("Outline no. 1"), 1);  // only in the data set of two objects
  EXPECT_EQ(Count("Outline no. 2"), 1);
  EXPECT_TRUE(Listed("Results stored as a matrix with 1 row and 14 columns"));
  EXPECT_TRUE(Listed("Results stored as a matrix with 2 rows and 14 columns"));
  const std::vector<gentest::TReadBack> sets = gentest::ReadBackAll(Path("out.qmx"));
  ASSERT_EQ(sets.size(), 2u);
  EXPECT_EQ(sets[0].colLabels, (std::vector<std::string>{"A0", "C0", "A1", "B1", "C1", "D1", "A2", "B2", "C2", "D2",
                                                         "A3", "B3", "C3", "D3"}));
  EXPECT_TRUE(sets[0].rowLabels.empty());
  EXPECT_EQ(sets[1].rowLabels, (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(sets[1].header.cols, 14);
  // A plain run leaves the plot buttons as they were: disabled.
  EXPECT_TRUE(bar.enabled.empty());
  EXPECT_FALSE(bar.shown);
}

TEST_F(FourierModule, ResultRowsOfEachMethodReadBack) {
  const double k = 4 / (kPi * kPi);
  // Objects as columns: the square and the same square twice as large.
  WriteFile("cols.qmx", "1 8 2 0\n0 0\n0 0\n1 2\n0 0\n1 2\n1 2\n0 0\n1 2\n");
  gentest::TReadBack out = Fourier("cols.qmx", {{"D", "NO"}, {"N", "1"}, {"S", "NONE"}});
  ExpectNear(out.values, {0.5, 0.5, -k, k, -k, -k, 1, 1, -2 * k, 2 * k, -2 * k, -2 * k}, kExact, "EFOUR");
  // Scaled to unit area both give the first.
  out = Fourier("cols.qmx", {{"D", "NO"}, {"N", "1"}});
  ExpectNear(out.values, {0.5, 0.5, -k, k, -k, -k, 0.5, 0.5, -k, k, -k, -k}, kExact, "EFOUR AREA");
  out = Fourier("cols.qmx", {{"D", "NO"}, {"N", "1"}, {"S", "PERIM"}});
  ExpectNear(out.values, {0.125, 0.125, -k / 4, k / 4, -k / 4, -k / 4, 0.125, 0.125, -k / 4, k / 4, -k / 4, -k / 4},
             kExact, "EFOUR PERIM");

  // The square's coefficients give its corners back.
  WriteFile("coef.qmx", rtl::Format("1 1 6 0\n0.5 0.5 %.17g %.17g %.17g %.17g\n", -k, k, -k, -k));
  out = Fourier("coef.qmx", {{"M", "IEFOUR"}, {"S", "NONE"}, {"N", "2"}});
  EXPECT_EQ(out.colLabels, (std::vector<std::string>{"X1", "Y1", "X2", "Y2"}));
  ExpectNear(out.values, {0.5 - k, 0.5 - k, 0.5 + k, 0.5 + k}, kExact, "IEFOUR");
  EXPECT_TRUE(Listed("2 pairs of x,y-coordinates will be generated"));

  // 18 values hold four harmonics; N = 50 points are made, not capped. With
  // 17 values the line is listed before the refusal.
  WriteFile("coef18.qmx", "1 1 18 0\n0 0 1 0 0 1 0 0 0 0 0 0 0 0 0 0 0 0\n");
  out = Fourier("coef18.qmx", {{"M", "IEFOUR"}, {"S", "NONE"}, {"N", "50"}});
  EXPECT_EQ(out.header.cols, 100);
  WriteFile("coef17.qmx", "1 1 17 0\n0 0 1 0 0 1 0 0 0 0 0 0 0 0 0 0 0\n");
  EXPECT_EQ(RefusalOf(FourierDescribe, {{"O", "coef17.qmx"}, {"M", "IEFOUR"}, {"S", "NONE"}, {"N", "50"}}),
            "Improper number of coefficients");
  EXPECT_TRUE(Listed("50 pairs of x,y-coordinates will be generated"));

  WriteFile("coef3.qmx", "1 1 9 0\n1 2 3 1 0 0 1 0 0\n");
  out = Fourier("coef3.qmx", {{"M", "IEFOUR3"}, {"S", "NONE"}, {"N", "4"}});
  ExpectNear(out.values, {2, 2, 3, 1, 3, 3, 0, 2, 3, 1, 1, 3}, kExact, "IEFOUR3");
  EXPECT_EQ(out.colLabels.back(), "Z4");

  // An outline of no area is scaled by 0.
  WriteFile("flat.qmx", "1 1 6 0\n1 1 2 2 3 3\n");
  out = Fourier("flat.qmx", {{"N", "1"}});
  ExpectNear(out.values, {0, 0, 0, 0, 0, 0}, 0, "AREA of a line");

  // 12 values: N = 9 becomes 6 (half the values, not a third), W = 39.
  WriteFile("tri.qmx", "1 1 12 0\n0 0 0 1 0 0 1 1 1 0 1 0\n");
  out = Fourier("tri.qmx", {{"M", "EFOUR3"}, {"S", "NONE"}, {"N", "9"}});
  EXPECT_EQ(out.header.cols, 39);
  EXPECT_EQ(out.colLabels[2], "E0");
  EXPECT_EQ(out.colLabels[8], "F1");
}

// FOUREQ: AREA and PERIM measure the polygon the radii draw at their angles
// and rescale every radius, and ROTATE keeps A the sine coefficient.
TEST_F(FourierModule, EqualSpacedRadiiStandardizedAndRotated) {
  // Five equal radii draw a regular pentagon of area 5/2 r² sin(72°).
  WriteFile("round.qmx", "1 1 5 0\n2 2 2 2 2\n");
  gentest::TReadBack out = Fourier("round.qmx", {{"M", "FOUREQ"}, {"N", "2"}});
  const double area = 2.5 * 4 * std::sin(2 * kPi / 5);
  ExpectNear(out.values, {4 / std::sqrt(area), 0, 0, 0, 0, 0}, kExact, "AREA");
  const double perimeter = 5 * 2 * 2 * std::sin(kPi / 5);
  out = Fourier("round.qmx", {{"M", "FOUREQ"}, {"N", "2"}, {"S", "PERIM"}});
  ExpectNear(out.values, {4 / perimeter, 0, 0, 0, 0, 0}, kExact, "PERIM");
  EXPECT_EQ(out.colLabels, (std::vector<std::string>{"A0", "B0", "A1", "B1", "A2", "B2"}));

  // r = 3 + cos(theta - 1): under ROTATE the first harmonic turns to phase 0,
  // A1 = 0 and B1 = its amplitude, and A0 keeps twice the mean radius.
  std::string radii = "1 1 8 0\n";
  for (int k = 0; k < 8; ++k) radii += rtl::Format("%.17g ", 3 + std::cos(k * kPi / 4 - 1));
  WriteFile("shifted.qmx", radii + "\n");
  out = Fourier("shifted.qmx", {{"M", "FOUREQ"}, {"N", "2"}, {"S", "NONE"}, {"OR", "ROTATE"}});
  ExpectNear(out.values, {6, 0, 0, 1, 0, 0}, kExact, "ROTATE");
}

}  // namespace
