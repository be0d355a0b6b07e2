// CVA run as the dialog or the batch runner runs it: its error boxes and
// refusals, the canonical vectors read back in both orientations, the
// assignment of test specimens, the plot buttons and the kept results.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "matrix/Constu.h"
#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "modules/ordination/cva.h"
#include "shell/ModuleRun.h"
#include "shell/PlotWindows.h"
#include "tests/modules/clustering/ModuleRunSupport.h"
#include "tests/modules/ordination/OrdinationTestSupport.h"
#include "tests/support/RecordingPlotBar.h"
#include "tests/support/RecordingPlotOpeners.h"
#include "tests/support/ScopedHook.h"

namespace {

using moduletest::Args;

std::string Fixture(const std::string& name) { return (std::filesystem::path(MORVA_FIXTURES) / "cva" / name).string(); }

// The summary files of a fixture data set.
Args Computing(const std::string& set) {
  return {{"M", Fixture(set + "-means.qmx")}, {"V", Fixture(set + "-within.qmx")}, {"GS", Fixture(set + "-sizes.qmx")}};
}

Args With(Args args, const Args& more) {
  for (const auto& [keyword, value] : more) args[keyword] = value;
  return args;
}

std::vector<std::string> LabelsOf(const Label_mx& labels) {
  std::vector<std::string> texts;
  for (std::int32_t i = 1; i <= labels.n(); ++i) texts.push_back(labels.GetLabel(i));
  return texts;
}

// Equal but for the last of the 15 digits that a file keeps.
void ExpectSameValues(const Rect_mx& m, const Rect_mx& expected) {
  ASSERT_EQ(m.rows(), expected.rows());
  ASSERT_EQ(m.cols(), expected.cols());
  for (int i = 1; i <= m.rows(); ++i)
    for (int j = 1; j <= m.cols(); ++j) EXPECT_NEAR(m.getxij(i, j), expected.getxij(i, j), 1e-13);
}

class CvaModule : public moduletest::ModuleRunTest {
 protected:
  CvaModule() : ModuleRunTest(CvaDescribe) {}

  void RunCleared(const Args& args) {
    services.errors.clear();
    bar = testsupport::RecordingPlotBar();
    Run(args);
  }

  const Rect_mx& KeptScores() const { return (*CvaScoreResults())[0]; }

  testsupport::RecordingPlotBar bar;
  const testsupport::ScopedHook<TPlotButtonBar*> installedBar{SetPlotButtonBar, &bar};
};

// Each error box fails the run: its text is raised for the caller to show
// once, and the run leaves no output.
TEST_F(CvaModule, ErrorBoxesFailTheRun) {
  const std::string twoVariables = Write("two.qmx", "1 2 2 0\n1 2\n3 4\n");
  const std::string missing = Write("missing.qmx", "1 3 1 1 -9\n1\n-9\n2\n");
  struct Case {
    const char* name;
    Args args;
    std::string message;
  };
  const Args four = Computing("four");
  const Case cases[] = {
      {"no means", {{"GS", Fixture("four-sizes.qmx")}}, "Matrix of group means is required"},
      {"no sizes", {{"M", Fixture("four-means.qmx")}}, "Diagonal matrix of group sample sizes is required"},
      {"neither matrix nor vectors",
       {{"M", Fixture("four-means.qmx")}, {"GS", Fixture("four-sizes.qmx")}},
       "Canonical vectors are required"},
      {"a within matrix of other variables",
       With(four, {{"V", Fixture("five-within.qmx")}, {"CV", Path("cv.qmx")}, {"CS", Path("cs.qmx")}}),
       "Number of variables in VCV matrix does not match those in group means"},
      {"vectors of other variables",
       {{"M", Fixture("four-means.qmx")}, {"GS", Fixture("four-sizes.qmx")}, {"CV", twoVariables}},
       "Number of variables in canonical vectors (2) does not match those in group means (3)"},
      {"test data of other variables", With(four, {{"TD", twoVariables}}),
       "Number of variables in test data (2) does not match those in group means (3)"},
      {"test data with missing values", With(four, {{"TD", missing}}), "No missing data allowed"},
      {"a cutoff above every root", With(four, {{"CO", 5.0}}),
       "No canonical roots above the cut-off value: there are no canonical variates"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    services.errors.clear();
    ExpectRefused(c.args, c.message);
    EXPECT_TRUE(services.errors.empty()) << "held for the caller's box";
  }
  EXPECT_FALSE(std::filesystem::exists(Path("cv.qmx")));
  EXPECT_FALSE(std::filesystem::exists(Path("cs.qmx")));
}

TEST_F(CvaModule, RefusesTooFewGroupsOrDegreesOfFreedom) {
  const std::string oneGroup = Write("one.qmx", "1 3 1 0\n1\n2\n3\n");
  const std::string small = Write("small.qmx", "4 4 4 0\n1 1 1 1\n");
  ExpectRefused({{"M", oneGroup}, {"V", Fixture("four-within.qmx")}, {"GS", Fixture("four-sizes.qmx")}},
                "Must have at least two groups");
  ExpectRefused(With(Computing("four"), {{"GS", small}, {"CV", Path("cv.qmx")}}),
                "Must have sufficient samples sizes\nso that degrees of freedom within\nare greater than zero");
  EXPECT_FALSE(std::filesystem::exists(Path("cv.qmx"))) << "a refused run leaves no output";
}

// Means of no variables once ran on to an eigen-analysis of order 0, which
// wrote past its working vectors.
TEST_F(CvaModule, RefusesMeansOfNoVariables) {
  ExpectRefused({{"M", Write("none.qmx", "1 4 0 0\n\n\n\n\n")},
                 {"D", false},
                 {"V", Write("none-within.qmx", "3 0 0 0\n")},
                 {"GS", Fixture("four-sizes.qmx")}},
                "Input matrix is empty: 4 rows by 0 columns");
}

// The canonical vectors lie in their file as D says, as the variables lie in
// the means: a computing run writes them so and a run given them reads them
// so, whatever their shape. Two variables of three groups give square vectors,
// which a rule by shape would read the wrong way round in one of the layouts.
TEST_F(CvaModule, GivenVectorsLieAsDSaysWhateverTheirShape) {
  const std::string sizes = Write("sizes.qmx", "4 3 3 0\n5 5 5\n");
  const std::string within2 = Write("within2.qmx", "3 2 2 0\n1\n0.25 1\n");
  const std::string within3 = Write("within3.qmx", "3 3 3 0\n1\n0.25 1\n0.1 0.2 1\n");
  struct Case {
    const char* name;
    std::string means;
    std::string within;
    bool byRows;
    std::string vectors;
    std::int32_t fileRows, fileCols;  // of the vectors' file
  };
  const Case cases[] = {
      {"square, variables as rows", Write("m2.qmx", "1 2 3 0\n0 2 4\n0 0 1\n"), within2, true, Path("cv2.qmx"), 2, 2},
      {"square, variables as columns", Write("m2-t.qmx", "1 3 2 0\n0 0\n2 0\n4 1\n"), within2, false, Path("cv2-t.qmx"),
       2, 2},
      {"three variables as rows", Write("m3.qmx", "1 3 3 0\n0 2 4\n0 0 1\n1 3 2\n"), within3, true, Path("cv3.qmx"), 3,
       2},
      {"three variables as columns", Write("m3-t.qmx", "1 3 3 0\n0 0 1\n2 0 3\n4 1 2\n"), within3, false,
       Path("cv3-t.qmx"), 2, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RunCleared({{"M", c.means}, {"D", c.byRows}, {"V", c.within}, {"GS", sizes}, {"CV", c.vectors}});
    const std::shared_ptr<const TRectMxList> computed = CvaScoreResults();
    ASSERT_EQ(KeptScores().cols(), 2);
    const std::unique_ptr<Rect_mx> written = ordtest::LoadRectangular(c.vectors, 1);
    EXPECT_EQ(written->rows(), c.fileRows);
    EXPECT_EQ(written->cols(), c.fileCols);

    RunCleared({{"M", c.means}, {"D", c.byRows}, {"GS", sizes}, {"CV", c.vectors}});
    ExpectSameValues(KeptScores(), (*computed)[0]);
    EXPECT_EQ(bar.enabled, (std::vector<int>{1, 2}));
  }

  // The two square files are each other's transposes, and not symmetric, so
  // either read the other way round would give other scores.
  const std::unique_ptr<Rect_mx> rows = ordtest::LoadRectangular(Path("cv2.qmx"), 1);
  const std::unique_ptr<Rect_mx> columns = ordtest::LoadRectangular(Path("cv2-t.qmx"), 1, true);
  ExpectSameValues(*columns, *rows);
  EXPECT_GT(std::abs(rows->getxij(1, 2) - rows->getxij(2, 1)), 1e-3);

  // Vectors laid out the other way are refused by their variable count.
  ExpectRefused({{"M", cases[3].means}, {"D", false}, {"GS", sizes}, {"CV", cases[2].vectors}},
                "Number of variables in canonical vectors (2) does not match those in group means (3)");
}

// Given vectors that keep the means' coordinates: a specimen at (1, 0) lies
// as near group 2 at (0, 0) as group 5 at (2, 0) and goes to group 2.
TEST_F(CvaModule, AssignsEachSpecimenToTheFirstOfTheNearestGroups) {
  const std::string means = Write("means.qmx", "1 2 5 0\n3 0 -3 0 2\n3 0 0 4 0\n");
  const std::string sizes = Write("sizes.qmx", "4 5 5 0\n4 4 4 4 4\n");
  const std::string identity = Write("identity.qmx", "1 2 2 0\n1 0\n0 1\n");
  const std::string test = Write("test.qmx", "1 2 2 0\n1 0\n0 3.5\n1 2 1 0\n2.5\n0\n");
  RunCleared({{"M", means}, {"GS", sizes}, {"CV", identity}, {"TD", test}});
  const std::vector<std::string>& lines = services.lines;
  const auto at = [&lines](const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) - lines.begin();
  };
  EXPECT_LT(at("Test group: 1"), at("         1        1.00000         2"));
  EXPECT_LT(at("         2        0.50000         4"), at("Test group: 2"));
  EXPECT_LT(at("Test group: 2"), at("         1        0.50000         5"));
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "Numbers of specimens assigned to each original group:"), 2);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "   0    1    0    1    0 "), 1);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "Note: the apparent accuracy of identification is highly"), 1);
}

TEST_F(CvaModule, KeepsScoresAndRegressionsAndEnablesButtonsByTheirDimensions) {
  struct Case {
    const char* name;
    Args args;
    std::int32_t dimensions;
    std::vector<int> buttons;
  };
  const Case cases[] = {
      {"four groups of three variables", Computing("four"), 3, {1, 2, 3, 4}},
      {"five groups of two variables", Computing("five"), 2, {1, 2}},
      {"three groups of one variable", Computing("one"), 1, {}},
      {"a cutoff above the smallest root", With(Computing("four"), {{"CO", 0.1}}), 2, {1, 2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RunCleared(c.args);
    EXPECT_EQ(bar.enabled, c.buttons);
    const Rect_mx& scores = KeptScores();
    const Rect_mx& regressions = (*CvaRegressionResults())[0];
    EXPECT_EQ(scores.cols(), c.dimensions);
    EXPECT_EQ(regressions.rows(), c.dimensions);
    EXPECT_EQ(scores.FcLabels->GetLabel(c.dimensions), "Dim-" + std::to_string(c.dimensions));
    EXPECT_EQ(regressions.FrLabels->GetLabel(c.dimensions), "Dim-" + std::to_string(c.dimensions));
  }
  RunCleared(Computing("four"));
  EXPECT_EQ(LabelsOf(*KeptScores().FrLabels), (std::vector<std::string>{"G1", "G2", "G3", "G4"}));
  EXPECT_EQ(LabelsOf(*(*CvaRegressionResults())[0].FcLabels), (std::vector<std::string>{"Length", "Width", "Depth"}));
}

TEST_F(CvaModule, WritesFilesTheReaderTakesBack) {
  RunCleared(With(Computing("four"),
                  {{"CV", Path("cv.qmx")}, {"VV", Path("vv.qmx")}, {"CS", Path("cs.qmx")}, {"GD", Path("gd.qmx")}}));
  struct Case {
    const char* file;
    TMatrixTypeSet types;
    int rows, cols, rowLabels, colLabels;
  };
  const Case cases[] = {
      {"cv.qmx", {mtRectangular}, 3, 3, lcBlock, lcNone},
      {"vv.qmx", {mtRectangular}, 3, 3, lcNone, lcBlock},
      {"cs.qmx", {mtRectangular}, 4, 3, lcNone, lcNone},
      {"gd.qmx", {mtDissimilarity}, 4, 4, lcNone, lcNone},
  };
  for (const Case& c : cases) {
    rtl::TextReader f(Path(c.file));
    std::unique_ptr<rtl::StringList> comments;
    TMatrixHeader header;
    ASSERT_NO_THROW(ReadMatrixHeader(f, comments, header, false, c.types)) << c.file;
    EXPECT_EQ(header.rows, c.rows) << c.file;
    EXPECT_EQ(header.cols, c.cols) << c.file;
    EXPECT_EQ(header.rowLabelCode, c.rowLabels) << c.file;
    EXPECT_EQ(header.colLabelCode, c.colLabels) << c.file;
    if (header.type == mtDissimilarity) {
      Sym_mx d(mtDissimilarity, header.rows);
      EXPECT_NO_THROW(Read(d, f)) << c.file;
    } else {
      Rect_mx m(header.rows, header.cols);
      EXPECT_NO_THROW(Read(m, f, true, {nullptr, header.rowLabelCode, false}, {nullptr, header.colLabelCode, false}))
          << c.file;
    }
    EXPECT_TRUE(f.SeekEof()) << c.file;
  }
}

// The scores plots take the groups as points, the regressions plots the
// variables (the regressions' columns).
TEST_F(CvaModule, PlotButtonsOpenTheirPlotsOverTheKeptResults) {
  testsupport::RecordingPlotOpeners recorded;
  const auto& plots = recorded.plots;
  const auto& plots3D = recorded.plots3D;
  RunCleared(Computing("four"));
  for (void (*button)() : {CvaPlotScores2D, CvaPlotCovVectors2D, CvaPlotScores3D, CvaPlotCovVectors3D}) button();
  ASSERT_EQ(plots.size(), 2u);
  ASSERT_EQ(plots3D.size(), 2u);
  EXPECT_EQ(plots[0].windowName, "CVAMxPlotF1");
  EXPECT_EQ(plots[1].windowName, "CVAMxPlotF2");
  EXPECT_EQ(plots3D[0].windowName, "CVAMod3DF3");
  EXPECT_EQ(plots3D[1].windowName, "CVAMod3DF4");
  EXPECT_EQ(plots[0].results, CvaScoreResults());
  EXPECT_EQ(plots[1].results, CvaRegressionResults());
  EXPECT_EQ(plots3D[0].results, CvaScoreResults());
  EXPECT_EQ(plots3D[1].results, CvaRegressionResults());
  EXPECT_FALSE(plots[0].pointsAreColumns);
  EXPECT_TRUE(plots[1].pointsAreColumns);
  EXPECT_FALSE(plots3D[0].pointsAreColumns);
  EXPECT_TRUE(plots3D[1].pointsAreColumns);
}

}  // namespace
