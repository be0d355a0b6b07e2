// The thin-plate spline computations against base R (solve(L), eigen, the
// scores and the affine uniform component; references.R beside the fixtures)
// and against NumPy/SciPy's Procrustes fits (procrustes.py), their refusals,
// and TPSWTS run as the batch runner runs it: the three layouts of a
// reference, its refusals, and its result files read back.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "modules/general/tps.h"
#include "modules/general/tpswts.h"
#include "rtl/Format.h"
#include "tests/modules/general/GeneralTestSupport.h"
#include "tests/support/RecordingPlotBar.h"
#include "tests/support/ScopedHook.h"

namespace {

namespace fs = std::filesystem;

constexpr double kExact = 1e-12;
constexpr double kPrinted = 1e-6;

const fs::path Fixtures = fs::path(MORVA_FIXTURES) / "tpswts";

const testsupport::ReferenceTable& R() {
  static const testsupport::ReferenceTable refs(Fixtures / "references.txt");
  return refs;
}
const testsupport::ReferenceTable& Procrustes() {
  static const testsupport::ReferenceTable refs(Fixtures / "procrustes.txt");
  return refs;
}

// A matrix file of the fixtures as a matrix.
std::unique_ptr<Rect_mx> FixtureMatrix(const std::string& name) {
  const gentest::TReadBack file = gentest::ReadBackAll(Fixtures / name).front();
  auto matrix = std::make_unique<Rect_mx>(file.header.rows, file.header.cols);
  Rect_mx& m = *matrix;
  for (int i = 1; i <= m.rows(); ++i)
    for (int j = 1; j <= m.cols(); ++j)
      m.putxij(i, j, file.values[static_cast<std::size_t>((i - 1) * m.cols() + j - 1)]);
  return matrix;
}

// Objects by landmark-major coordinates as (objects, landmarks, dims).
std::unique_ptr<rect_mx3> Landmarks(const std::unique_ptr<Rect_mx>& rows, int dims) {
  auto x = std::make_unique<rect_mx3>(rows->rows(), rows->cols() / dims, dims);
  rows->CopyTo(*x);
  return x;
}

std::unique_ptr<Rect_mx> Matrix(int rows, int cols, const std::vector<double>& values) {
  auto m = std::make_unique<Rect_mx>(rows, cols);
  for (int k = 0; k < rows * cols; ++k) m->putxij(k / cols + 1, k % cols + 1, values[static_cast<std::size_t>(k)]);
  return m;
}

void ExpectMatrix(const Rect_mx& actual, const testsupport::ReferenceTable& refs, const std::string& name,
                  double tolerance, int cols = 0) {
  ASSERT_EQ(actual.rows(), refs.Rows(name)) << name;
  const int n = cols > 0 ? cols : refs.Cols(name);
  for (int i = 1; i <= actual.rows(); ++i)
    for (int j = 1; j <= n; ++j)
      EXPECT_NEAR(actual.getxij(i, j), refs.At(name, i, j), tolerance) << name << " " << i << "," << j;
}

// The square's corners (0,0), (1,0), (1,1), (0,1) as coordinates by landmarks.
std::unique_ptr<Rect_mx> Square() { return Matrix(2, 4, {0, 1, 1, 0, 0, 0, 1, 1}); }

class TpsCompute : public ::testing::Test {
 protected:
  shelltest::TempSettings settings;
  shelltest::RecordedServices services;
};

TEST_F(TpsCompute, UnitSquareGivesItsBendingEnergyWarpAndScores) {
  const TTpsSpline spline = TpsBendingEnergy({}, *Square());
  ExpectMatrix(*spline.inverse, R(), "square.be", kExact);
  for (int i = 1; i <= 4; ++i) {
    for (int j = 1; j <= 4; ++j) {
      EXPECT_NEAR(spline.inverse->getxij(i, j), (i + j) % 2 == 0 ? 0.180337 : -0.180337, kPrinted) << i << "," << j;
    }
  }
  EXPECT_NEAR(spline.energies->Get(1), R().At("square.energy", 1), kExact);
  EXPECT_NEAR(spline.energies->Get(1), 0.721348, kPrinted);
  for (int l = 1; l <= 4; ++l) EXPECT_NEAR(spline.warps->getxij(l, 1), l % 2 == 1 ? 0.5 : -0.5, kExact);

  struct Case {
    std::vector<double> objects;  // landmark-major, one object a row
    double alpha;
    std::vector<double> scores;  // warp 1 x and y of each object
    double tolerance;
  };
  const std::vector<double> moved = {0.1, 0, 1, 0, 1, 1, 0, 1};
  const std::vector<double> same = {0, 0, 1, 0, 1, 1, 0, 1};
  std::vector<double> four;
  for (int k = 0; k < 4; ++k) four.insert(four.end(), moved.begin(), moved.end());
  const Case cases[] = {
      {same, 0, {0, 0}, kExact},
      {moved, 0, {R().At("square.moved.a0", 1, 1), 0}, kExact},
      {moved, 0, {0.05, 0}, kPrinted},
      {moved, 1, {R().At("square.moved.a1", 1, 1), 0}, kExact},
      {moved, 1, {0.058870, 0}, kPrinted},
      {four, 0, {0.025, 0, 0.025, 0, 0.025, 0, 0.025, 0}, kExact},  // four objects: half each
  };
  for (const Case& c : cases) {
    const int n = static_cast<int>(c.objects.size()) / 8;
    const TTpsResult result = TpsWeightMatrix({.alpha = c.alpha}, *Landmarks(Matrix(n, 8, c.objects), 2), *Square());
    ASSERT_EQ(result.weights->cols(), 2);
    for (int i = 1; i <= n; ++i) {
      for (int d = 1; d <= 2; ++d) {
        EXPECT_NEAR(result.weights->get(i, 1, d), c.scores[static_cast<std::size_t>(2 * (i - 1) + d - 1)], c.tolerance)
            << "alpha " << c.alpha << " object " << i;
      }
    }
  }
}

TEST_F(TpsCompute, SplinesAndScoresEqualRs) {
  struct Case {
    const char* set;
    int dims;
    std::vector<double> alphas;
  };
  const Case cases[] = {{"land2", 2, {0, 1, -1.5}}, {"land3", 3, {0, 1}}};
  for (const Case& c : cases) {
    const std::string set = c.set;
    const std::unique_ptr<Rect_mx> fixture = FixtureMatrix(set + "-ref-coords.qmx");
    const Rect_mx& reference = *fixture;
    const std::unique_ptr<rect_mx3> x = Landmarks(FixtureMatrix(set + ".qmx"), c.dims);
    const int k = reference.cols() - c.dims - 1;
    const TTpsSpline spline = TpsBendingEnergy({.dimensions = c.dims}, reference);
    Rect_mx be(reference.cols(), reference.cols());
    spline.inverse->CopyTo(be);
    if (c.dims == 3) be.Scale(-1);
    ExpectMatrix(be, R(), set + ".be", kExact);
    for (int j = 1; j <= k; ++j) EXPECT_NEAR(spline.energies->Get(j), R().At(set + ".energies", j), kExact) << set;
    ExpectMatrix(*spline.warps, R(), set + ".warps", kExact, k);
    for (const double alpha : c.alphas) {
      const TTpsResult result = TpsWeightMatrix({.dimensions = c.dims, .alpha = alpha}, *x, reference);
      ExpectMatrix(*result.weights, R(),
                   set + ".scores.a" + (alpha == -1.5 ? std::string("-1.5") : std::to_string(static_cast<int>(alpha))),
                   kExact);
    }
  }
}

TEST_F(TpsCompute, UniformComponentsEqualRAndNumpy) {
  const std::unique_ptr<Rect_mx> fixture = FixtureMatrix("land2-ref-coords.qmx");
  const Rect_mx& reference = *fixture;
  const std::unique_ptr<rect_mx3> landmarks = Landmarks(FixtureMatrix("land2.qmx"), 2);
  const rect_mx3& x = *landmarks;
  const int k = reference.cols() - 3;
  struct Case {
    TTpsAffine affine;
    const testsupport::ReferenceTable& refs;
    const char* name;
  };
  const Case cases[] = {{TTpsAffine::IncludeXY, R(), "land2.uniformXY"},
                        {TTpsAffine::IncludeU, Procrustes(), "land2.uniformU"}};
  for (const Case& c : cases) {
    const TTpsResult result = TpsWeightMatrix({.affine = c.affine, .alpha = 1}, x, reference);
    ASSERT_EQ(result.weights->m2(), k + 1);
    for (int i = 1; i <= x.rows(); ++i) {
      for (int d = 1; d <= 2; ++d)
        EXPECT_NEAR(result.weights->get(i, k + 1, d), c.refs.At(c.name, i, d), kExact) << c.name;
      // The partial warps before it are the plain ones.
      EXPECT_NEAR(result.weights->get(i, 1, 1), R().At("land2.scores.a1", i, 1), kExact);
    }
  }

  // The steps of INCLUDEU: the aligned reference and the fitted specimens.
  Rect_mx aligned(2, reference.cols());
  reference.CopyTo(aligned);
  const TTpsAxes axes = TpsAlignReference(aligned, false);
  EXPECT_NEAR(axes.alpha, Procrustes().At("land2.axes", 1, 1), kExact);
  EXPECT_NEAR(axes.beta, Procrustes().At("land2.axes", 1, 2), kExact);
  for (int l = 1; l <= aligned.cols(); ++l)
    for (int d = 1; d <= 2; ++d)
      EXPECT_NEAR(aligned.getxij(d, l), Procrustes().At("land2.aligned", 1, 2 * (l - 1) + d), kExact);
  const std::unique_ptr<rect_mx3> fitted = Landmarks(FixtureMatrix("land2.qmx"), 2);
  TpsFitSpecimens(*fitted, aligned);
  ExpectMatrix(*fitted, Procrustes(), "land2.fits", kExact);
}

// A translation leaves no uniform part from the spline; an object similar to
// the reference (moved, turned and scaled) none by Procrustes.
TEST_F(TpsCompute, SimilarObjectsHaveNoUniformComponent) {
  const std::unique_ptr<Rect_mx> fixture = FixtureMatrix("land2-ref-coords.qmx");
  const Rect_mx& reference = *fixture;
  const int p = reference.cols();
  const double turn = 0.7, scale = 1.8;
  auto objects = std::make_unique<Rect_mx>(2, 2 * p);
  for (int l = 1; l <= p; ++l) {
    const double x = reference.getxij(1, l), y = reference.getxij(2, l);
    objects->putxij(1, 2 * l - 1, x + 3);
    objects->putxij(1, 2 * l, y - 2);
    objects->putxij(2, 2 * l - 1, scale * (std::cos(turn) * x - std::sin(turn) * y) + 1);
    objects->putxij(2, 2 * l, scale * (std::sin(turn) * x + std::cos(turn) * y) - 4);
  }
  const std::unique_ptr<rect_mx3> x = Landmarks(objects, 2);
  const TTpsResult spline = TpsWeightMatrix({.affine = TTpsAffine::IncludeXY}, *x, reference);
  EXPECT_NEAR(spline.weights->get(1, p - 2, 1), 0, kExact);
  EXPECT_NEAR(spline.weights->get(1, p - 2, 2), 0, kExact);
  const TTpsResult procrustes = TpsWeightMatrix({.affine = TTpsAffine::IncludeU}, *x, reference);
  for (int i = 1; i <= 2; ++i)
    for (int d = 1; d <= 2; ++d) EXPECT_NEAR(procrustes.weights->get(i, p - 2, d), 0, kExact);
}

TEST_F(TpsCompute, AffineSummaryOfMapsAndRoundings) {
  struct Case {
    double b11, b12, b21, b22;
    double anisotropy, tangent, size;
  };
  const Case cases[] = {
      {1, 0, 0, 1, 1, 99, 1},                            // the identity: no direction
      {2, 0, 0, 1, std::sqrt(2.0), 99, std::sqrt(2.0)},  // stretched along x
      {1, 0, 0, 3, std::sqrt(3.0), 0, std::sqrt(3.0)},   // stretched along y
      {1, 2, 2, 4, 99, 0.5, 0},                          // rank one: no second axis
  };
  for (const Case& c : cases) {
    const TTpsAffineSummary s = TpsAffineSummary(c.b11, c.b12, c.b21, c.b22);
    EXPECT_NEAR(s.anisotropy, c.anisotropy, kExact) << c.b11 << " " << c.b12 << " " << c.b21 << " " << c.b22;
    EXPECT_NEAR(s.tangent, c.tangent, kExact) << c.b11 << " " << c.b12 << " " << c.b21 << " " << c.b22;
    EXPECT_NEAR(s.size, c.size, kExact) << c.b11 << " " << c.b12 << " " << c.b21 << " " << c.b22;
  }
  // Rank one maps (column 2 = m times column 1) where S - lambda1 rounds
  // below 0: no second axis, and every square root has a value.
  for (const auto& [a, b, m] : {std::array<double, 3>{5.2, 0.2, 0.9}, std::array<double, 3>{5.2, 1.3, 1.8},
                                std::array<double, 3>{3, 9.6, 1.5}}) {
    const TTpsAffineSummary s = TpsAffineSummary(a, a * m, b, b * m);
    EXPECT_EQ(s.anisotropy, 99) << a << " " << b << " " << m;
    EXPECT_NEAR(s.tangent, 1 / m, 1e-9) << a << " " << b << " " << m;
    EXPECT_EQ(s.size, 0) << a << " " << b << " " << m;
  }
}

TEST_F(TpsCompute, RefusesReferencesWithoutASpline) {
  struct Case {
    int dims;
    std::unique_ptr<Rect_mx> reference;
    const char* message;
    bool listed;  // "Problem in calculation - matrix is singular" comes first
  };
  const Case cases[] = {
      {2, Matrix(2, 3, {0, 1, 0, 0, 0, 1}), "The reference has 3 landmarks: 2-dimensional data need at least 4", false},
      {3, Matrix(3, 4, {0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}),
       "The reference has 4 landmarks: 3-dimensional data need at least 5", false},
      {2, Matrix(2, 5, {0, 1, 1, 0, 1, 0, 0, 1, 1, 0}), "Reference landmarks 2 and 5 coincide", false},
      {2, Matrix(2, 5, {0, 1, 2, 3.5, 7, 1, 1.3, 1.6, 2.05, 3.1}), "Matrix is singular", true},  // on one line
      // on the plane z = 1 + 0.5 x - 0.25 y
      {3, Matrix(3, 6, {0, 1, 0, 1, 2, 0.5, 0, 0, 1, 1, 3, 0.25, 1, 1.5, 0.75, 1.25, 1.25, 1.1875}),
       "Matrix is singular", true},
  };
  for (const Case& c : cases) {
    services.lines.clear();
    EXPECT_EQ(ErrorText<E_Morvapc>([&] { TpsBendingEnergy({.dimensions = c.dims}, *c.reference); }), c.message);
    const bool listed =
        !services.lines.empty() && services.lines.back() == "Problem in calculation - matrix is singular";
    EXPECT_EQ(listed, c.listed) << c.message;
  }

  // A matrix with a row of zeros.
  const std::unique_ptr<Rect_mx> zeros = Matrix(2, 2, {1, 2, 0, 0});
  ivect_mx index(2);
  EXPECT_EQ(ErrorText<E_Morvapc>([&] { TpsLUDecompose(*zeros, 2, index); }), "Matrix is singular");

  // Alpha other than 0 needs a positive bending energy for every warp that has one.
  const std::unique_ptr<Rect_mx> square = Square();
  TTpsSpline spline = TpsBendingEnergy({}, *square);
  spline.energies->Put(1, 0);
  const std::unique_ptr<rect_mx3> x = Landmarks(Matrix(1, 8, {0.1, 0, 1, 0, 1, 1, 0, 1}), 2);
  rect_mx3 weights(1, 1, 2);
  EXPECT_EQ(ErrorText<E_Morvapc>([&] { TpsPartialWarpScores(*x, *square, spline, 0.5, weights); }),
            "The bending energy of principal warp 1 of the reference is not positive: alpha must be 0 for it");
  TpsPartialWarpScores(*x, *square, spline, 0, weights);
  EXPECT_NEAR(weights.get(1, 1, 1), 0.05, kExact);
}

// ---- The module ----

class TpswtsModule : public gentest::ModuleRun {
 protected:
  TpswtsModule() {
    for (const auto& entry : fs::directory_iterator(Fixtures)) {
      if (entry.path().extension() == ".qmx") fs::copy_file(entry.path(), Path(entry.path().filename().string()));
    }
  }

  gentest::TReadBack Weights(const gentest::Args& options) {
    gentest::Args args = options;
    args["W"] = "w.qmx";
    Run(TpswtsDescribe, args);
    return ReadBack("w.qmx");
  }

  testsupport::RecordingPlotBar bar;
  const testsupport::ScopedHook<TPlotButtonBar*> installedBar{SetPlotButtonBar, &bar};
};

TEST_F(TpswtsModule, EveryLayoutOfTheReferenceGivesRsScores) {
  struct Case {
    const char* input;
    const char* landmarkRows;
    const char* reference;
  };
  const Case cases[] = {
      {"land2.qmx", "NO", "land2-ref-coords.qmx"},       {"land2.qmx", "NO", "land2-ref-landmarks.qmx"},
      {"land2.qmx", "NO", "land2-ref-row.qmx"},          {"land2-t.qmx", "YES", "land2-ref-coords.qmx"},
      {"land2-t.qmx", "YES", "land2-ref-landmarks.qmx"}, {"land2-t.qmx", "YES", "land2-ref-row.qmx"},
  };
  for (const Case& c : cases) {
    const gentest::TReadBack w = Weights({{"O", c.input}, {"D", c.landmarkRows}, {"REF", c.reference}, {"A", "-1.5"}});
    ASSERT_EQ(w.header.rows, 5) << c.reference;
    ASSERT_EQ(w.header.cols, 10) << c.reference;
    EXPECT_EQ(w.rowLabels, (std::vector<std::string>{"spec1", "spec2", "spec3", "spec4", "spec5"}));
    EXPECT_EQ(w.colLabels, (std::vector<std::string>{"1x", "1y", "2x", "2y", "3x", "3y", "4x", "4y", "5x", "5y"}));
    for (int i = 1; i <= 5; ++i)
      for (int j = 1; j <= 10; ++j)
        EXPECT_NEAR(w.values[static_cast<std::size_t>((i - 1) * 10 + j - 1)], R().At("land2.scores.a-1.5", i, j),
                    kExact)
            << c.input << " " << c.reference;
  }
  EXPECT_TRUE(bar.enabled.empty());
  EXPECT_FALSE(bar.shown);
}

TEST_F(TpswtsModule, ThreeDimensionsWithPrincipalWarpsAndLabels) {
  gentest::TReadBack w = Weights({{"O", "land3.qmx"}, {"DIM", "3"}, {"REF", "land3-ref-row.qmx"}, {"PW", "pw.qmx"}});
  EXPECT_EQ(w.header.cols, 9);
  EXPECT_EQ(w.colLabels, (std::vector<std::string>{"1x", "1y", "1z", "2x", "2y", "2z", "3x", "3y", "3z"}));
  EXPECT_NEAR(w.values[0], R().At("land3.scores.a0", 1, 1), kExact);
  const gentest::TReadBack pw = ReadBack("pw.qmx");
  EXPECT_EQ(pw.header.rows, 7);
  EXPECT_EQ(pw.header.cols, 7);
  EXPECT_TRUE(pw.rowLabels.empty());
  EXPECT_TRUE(pw.colLabels.empty());
  for (int l = 1; l <= 7; ++l)
    EXPECT_NEAR(pw.values[static_cast<std::size_t>((l - 1) * 7)], R().At("land3.warps", l, 1), kExact);

  w = Weights({{"O", "land2.qmx"}, {"REF", "land2-ref-coords.qmx"}, {"AFF", "INCLUDEU"}});
  EXPECT_EQ(w.header.cols, 12);
  EXPECT_EQ(w.colLabels[10], "Ux");
  EXPECT_EQ(w.colLabels[11], "Uy");
  EXPECT_NEAR(w.values[10], Procrustes().At("land2.uniformU", 1, 1), kExact);
}

TEST_F(TpswtsModule, RefusesInputsAndReferencesItCannotPair) {
  struct Case {
    gentest::Args args;
    const char* message;
  };
  WriteFile("missing.qmx", "1 1 8 1 -9\n0 0 1 0 1 -9 0 1\n");
  WriteFile("odd.qmx", "1 1 7 0\n0 0 1 0 1 1 0\n");
  WriteFile("square.qmx", "1 1 8 0\n0 0 1 0 1 1 0 1\n");
  WriteFile("ref-missing.qmx", "1 2 4 1 -9\n0 1 1 0\n0 0 1 -9\n");
  WriteFile("ref-row.qmx", "1 1 6 0\n0 0 1 0 1 1\n");
  WriteFile("ref-coords.qmx", "1 2 3 0\n0 1 1\n0 0 1\n");
  WriteFile("ref-landmarks.qmx", "1 4 3 0\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n");
  WriteFile("ref-wrong.qmx", "1 3 7 0\n1 2 3 4 5 6 7\n1 2 3 4 5 6 7\n1 2 3 4 5 6 7\n");
  WriteFile("ref-square.qmx", "1 2 4 0\n0 1 1 0\n0 0 1 1\n");
  WriteFile("tri.qmx", "1 1 12 0\n0 0 0 1 0 0 1 1 0 0 1 1\n");
  WriteFile("ref-tri.qmx", "1 3 4 0\n0 1 1 0\n0 0 1 1\n0 0 0 1\n");
  WriteFile("two.qmx", "1 1 4 0\n0 0 1 0\n");
  WriteFile("ref-two.qmx", "1 2 2 0\n0 1\n0 0\n");
  const Case cases[] = {
      {{{"O", "missing.qmx"}, {"REF", "ref-square.qmx"}}, "Sorry, no missing data allowed"},
      {{{"O", "square.qmx"}, {"REF", "ref-missing.qmx"}}, "Sorry, no missing data allowed"},
      {{{"O", "odd.qmx"}, {"REF", "ref-square.qmx"}},
       "Number of coordinates is not a multiple of number of dimensions"},
      {{{"O", "square.qmx"}, {"REF", "ref-row.qmx"}},
       "Number of columns in reference matrix is not equal to landmarks x dimensions."},
      {{{"O", "square.qmx"}, {"REF", "ref-coords.qmx"}},
       "Number of columns in reference matrix is not equal to number of landmarks."},
      {{{"O", "square.qmx"}, {"REF", "ref-landmarks.qmx"}},
       "Number of columns in reference matrix is not equal to number of dimensions."},
      {{{"O", "square.qmx"}, {"REF", "ref-wrong.qmx"}}, "Dimensions of reference matrix (3,7) are not correct."},
      {{{"O", "tri.qmx"}, {"DIM", "3"}, {"REF", "ref-tri.qmx"}, {"AFF", "INCLUDEXY"}},
       "INCLUDEXY option only valid for 2-dimensional data"},
      {{{"O", "tri.qmx"}, {"DIM", "3"}, {"REF", "ref-tri.qmx"}, {"AFF", "INCLUDEU"}},
       "INCLUDEU option only valid at present for 2-dimensional data"},
      {{{"O", "two.qmx"}, {"REF", "ref-two.qmx"}}, "The reference has 2 landmarks: 2-dimensional data need at least 4"},
      {{{"O", "square.qmx"}}, "Input file name is blank for reference matrix"},
  };
  for (const Case& c : cases) EXPECT_EQ(RefusalOf(TpswtsDescribe, c.args), c.message) << c.message;

  // The uniform options are refused in 3-D before any file is opened.
  gentest::Args args = {{"O", "tri.qmx"}, {"DIM", "3"}, {"REF", "ref-tri.qmx"}, {"AFF", "INCLUDEU"}, {"W", "w.qmx"}};
  EXPECT_EQ(RefusalOf(TpswtsDescribe, args), "INCLUDEU option only valid at present for 2-dimensional data");
  EXPECT_FALSE(fs::exists(Path("w.qmx")));
}

// An input data set without a reference data set is counted, not processed.
TEST_F(TpswtsModule, InputDataSetsWithoutAReferenceAreCounted) {
  WriteFile("sets.qmx", "1 1 8 0\n0.1 0 1 0 1 1 0 1\n1 1 8 0\n0 0 1 0 1 1 0 1\n\"last\n1 1 8 0\n0 0 1 0 1 1 0 1\n");
  WriteFile("ref-square.qmx", "1 2 4 0\n0 1 1 0\n0 0 1 1\n");
  Run(TpswtsDescribe, {{"O", "sets.qmx"}, {"REF", "ref-square.qmx"}, {"W", "w.qmx"}});
  EXPECT_FALSE(Listed("---- next dataset ----"));
  EXPECT_TRUE(Listed("Warning: 2 data set(s) of the input file had no reference data set and were not processed"));
  const std::vector<gentest::TReadBack> sets = gentest::ReadBackAll(Path("w.qmx"));
  ASSERT_EQ(sets.size(), 1u);
  EXPECT_NEAR(sets[0].values[0], 0.05, kExact);
}

TEST_F(TpswtsModule, DetailListingsOnlyWhenSwitchedOn) {
  const gentest::Args args = {{"O", "land2.qmx"}, {"REF", "land2-ref-coords.qmx"}, {"AFF", "INCLUDEU"}};
  Run(TpswtsDescribe, args);
  EXPECT_FALSE(Listed("Normalized principal warps:"));
  EXPECT_FALSE(Listed("Linearized Procrustes estimate of uniform component"));
  EXPECT_TRUE(Listed("Bending energies for each principal warp:"));
  EXPECT_TRUE(Listed("Centering, scaling, and rotating reference to it principal axes:"));

  const bool was = SetTpswtsDetailListing(true);
  Run(TpswtsDescribe, args);
  SetTpswtsDetailListing(was);
  for (const char* line :
       {"Normalized principal warps:", "(rows are landmarks, columns are principal warps)",
        "Eigenvectors of initial reference:", "Linearized Procrustes estimate of uniform component"}) {
    EXPECT_TRUE(Listed(line)) << line;
  }
  EXPECT_TRUE(Listed(rtl::Format("%5d %10.6f %10.6f", 1, Procrustes().At("land2.uniformU", 1, 1),
                                 Procrustes().At("land2.uniformU", 1, 2))));

  Run(TpswtsDescribe, {{"O", "land2.qmx"}, {"REF", "land2-ref-coords.qmx"}, {"AFF", "INCLUDEXY"}});
  EXPECT_FALSE(Listed("Uniform component from spline:"));
  SetTpswtsDetailListing(true);
  Run(TpswtsDescribe, {{"O", "land2.qmx"}, {"REF", "land2-ref-coords.qmx"}, {"AFF", "INCLUDEXY"}});
  SetTpswtsDetailListing(was);
  EXPECT_TRUE(Listed("Uniform component from spline:"));
}

}  // namespace
