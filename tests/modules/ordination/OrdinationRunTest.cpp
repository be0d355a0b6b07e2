// EIGEN, SVD and PROJ run as the dialog or the batch runner runs them: the
// plot buttons each run enables, the results kept for the plots, the files
// that the system's own readers take back, and the refusals.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "matrix/Constu.h"
#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "matrix/Matrixu.h"
#include "modules/ordination/eigen.h"
#include "modules/ordination/proj.h"
#include "modules/ordination/svd.h"
#include "rtl/TextFile.h"
#include "shell/ModuleRun.h"
#include "shell/PlotWindows.h"
#include "tests/matrix/core/ErrorText.h"
#include "tests/modules/ordination/OrdinationTestSupport.h"
#include "tests/shell/ShellTestSupport.h"
#include "tests/support/ModuleArgs.h"
#include "tests/support/RecordingPlotBar.h"
#include "tests/support/RecordingPlotOpeners.h"
#include "tests/support/ScopedHook.h"

namespace {

namespace fs = std::filesystem;

// Values of a run by parameter keyword: a file name, a number, a choice
// item or YES / NO for a check box.
using Args = testsupport::ModuleArgs;

class OrdinationRun : public ::testing::Test {
 protected:
  OrdinationRun() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = fs::path(MORVA_ARTEFACTS) / "ordination" / info->name();
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    for (const auto& entry : fs::directory_iterator(ordtest::Fixtures)) {
      if (entry.path().extension() == ".qmx") fs::copy_file(entry.path(), folder_ / entry.path().filename());
    }
  }
  ~OrdinationRun() override {
    EigenRelease();
    SvdRelease();
    ProjRelease();
  }

  std::string Path(const std::string& name) const { return (folder_ / name).string(); }

  void WriteFile(const std::string& name, const std::string& text) const {
    rtl::TextWriter f(Path(name));
    f.Write(text);
    f.Close();
  }

  // Runs the module with its defaults and the given values; file names are
  // taken in the test's folder.
  void Run(void (*describe)(TModuleRec&), const Args& args) {
    const auto path = [this](const std::string& name) { return Path(name); };
    testsupport::RunModule(describe, args, path, [this](std::span<const TParamRec>) {
      bar = testsupport::RecordingPlotBar();
      services.lines.clear();
    });
  }

  std::string RefusalOf(void (*describe)(TModuleRec&), const Args& args) {
    return ErrorText<E_Morvapc>([&] { Run(describe, args); });
  }

  bool Listed(const std::string& line) const {
    return std::find(services.lines.begin(), services.lines.end(), line) != services.lines.end();
  }

  shelltest::TempSettings settings;
  shelltest::RecordedServices services;
  testsupport::RecordingPlotBar bar;
  const testsupport::ScopedHook<TPlotButtonBar*> installedBar{SetPlotButtonBar, &bar};

 private:
  fs::path folder_;
};

std::vector<std::string> LabelsOf(const Label_mx& labels) {
  std::vector<std::string> texts;
  for (std::int32_t i = 1; i <= labels.n(); ++i) texts.push_back(labels.GetLabel(i));
  return texts;
}

TEST_F(OrdinationRun, EigenEnablesItsButtonsByTheDimensionsKept) {
  struct Case {
    const char* file;
    const char* dimensions;
    std::vector<int> buttons;
  };
  const Case cases[] = {
      {"eigen.qmx", "1", {}},     {"eigen.qmx", "2", {1}},       {"eigen.qmx", "3", {1, 2}},
      {"singular.qmx", "2", {1}}, {"identity.qmx", "5", {1, 2}},  // reduced to the order 3
  };
  for (const Case& c : cases) {
    Run(EigenDescribe, {{"O", c.file}, {"N", c.dimensions}});
    EXPECT_EQ(bar.enabled, c.buttons) << c.file << " N=" << c.dimensions;
    EXPECT_TRUE(bar.shown);
  }
  EXPECT_TRUE(Listed("Requested number of dimensions, 5 reduced to 3"));
}

TEST_F(OrdinationRun, EigenKeepsTheLabelledVectorsOfEachDataSet) {
  Run(EigenDescribe, {{"O", "eigen.qmx"}, {"N", "2"}});
  const std::shared_ptr<const TRectMxList> kept = EigenResults();
  ASSERT_TRUE(kept);
  ASSERT_EQ(kept->Count(), 2);
  for (std::int32_t set = 0; set < 2; ++set) {
    const Rect_mx& m = (*kept)[set];
    EXPECT_EQ(m.rows(), 4);
    EXPECT_EQ(m.cols(), 2);
    EXPECT_EQ(LabelsOf(*m.FrLabels), (std::vector<std::string>{"Length", "Width", "Height", "Weight"}));
    EXPECT_EQ(LabelsOf(*m.FcLabels), (std::vector<std::string>{"Dim-1", "Dim-2"}));
  }
  ordtest::ExpectMatchesReference((*kept)[1], "cor.SQRT", 2);

  // A plot that shares the results keeps them after the module lets go.
  EigenRelease();
  EXPECT_FALSE(EigenResults());
  EXPECT_EQ((*kept)[0].rows(), 4);
}

// Each plot button opens its plot over the kept results through the opener
// the windowed part installs, with the points as rows.
TEST_F(OrdinationRun, PlotButtonsOpenTheirPlotsOverTheKeptResults) {
  const testsupport::RecordingPlotOpeners openers;
  const std::vector<TMatrixPlotRequest>& plots = openers.plots;
  const std::vector<TMatrix3DPlotRequest>& plots3D = openers.plots3D;
  EigenPlot2D();
  EXPECT_TRUE(plots.empty()) << "no run, no results, no plot";

  Run(EigenDescribe, {{"O", "eigen.qmx"}});
  Run(SvdDescribe, {{"O", "svd6x4.qmx"}});
  Run(ProjDescribe, {{"O", "points10.qmx"}, {"F", "factor1.qmx"}, {"PT", "ORTH"}});
  for (void (*button)() : {EigenPlot2D, SvdPlot2DLeft, SvdPlot2DRight, ProjPlot2D}) button();
  for (void (*button)() : {EigenPlot3D, SvdPlot3DLeft, SvdPlot3DRight, ProjPlot3D}) button();

  struct Expected {
    const char* window;
    std::shared_ptr<const TRectMxList> results;
  };
  const Expected expected2D[] = {{"EigenMxPlotF1", EigenResults()},
                                 {"SVDMxPlotF1", SvdLeftResults()},
                                 {"SVDMxPlotF2", SvdRightResults()},
                                 {"ProjMxPlotF1", ProjResults()}};
  const Expected expected3D[] = {{"EigenMod3DF2", EigenResults()},
                                 {"SVDMod3DF3", SvdLeftResults()},
                                 {"SVDMod3DF4", SvdRightResults()},
                                 {"ProjMod3DF2", ProjResults()}};
  ASSERT_EQ(plots.size(), 4u);
  ASSERT_EQ(plots3D.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(plots[i].windowName, expected2D[i].window);
    EXPECT_EQ(plots[i].results, expected2D[i].results) << expected2D[i].window;
    EXPECT_FALSE(plots[i].pointsAreColumns);
    EXPECT_EQ(std::pair(plots[i].x, plots[i].y), std::pair(1, 2));
    EXPECT_EQ(plots[i].helpContext, 1);
    EXPECT_EQ(plots3D[i].windowName, expected3D[i].window);
    EXPECT_EQ(plots3D[i].results, expected3D[i].results) << expected3D[i].window;
    EXPECT_FALSE(plots3D[i].pointsAreColumns);
    EXPECT_EQ(plots3D[i].z, 3);
    EXPECT_EQ(plots3D[i].alpha, 30);
    EXPECT_EQ(plots3D[i].beta, 30);
    EXPECT_EQ(plots3D[i].distance, 999);
  }
}

TEST_F(OrdinationRun, EigenWritesAnEigenvalueFileTheReaderTakesBack) {
  Run(EigenDescribe, {{"O", "eigen.qmx"}, {"VAL", "values.qmx"}, {"R", "vectors.qmx"}});
  rtl::TextReader f(Path("values.qmx"));
  for (const char* tag : {"cov", "cor"}) {
    std::unique_ptr<rtl::StringList> comments;
    TMatrixHeader header;
    ASSERT_NO_THROW(ReadMatrixHeader(f, comments, header, false, {mtDiagonal})) << tag;
    EXPECT_EQ(header.rows, 4);
    EXPECT_EQ(header.cols, 4);
    vect_mx values(4);
    Read(values, f);
    for (int i = 1; i <= 4; ++i) EXPECT_NEAR(values.Get(i), ordtest::Refs().At(std::string(tag) + ".values", i), 1e-12);
  }
}

TEST_F(OrdinationRun, EigenAndSvdRefuseMissingValues) {
  WriteFile("missing.qmx", "3 2 2 1 -9\n1\n0.5 1\n");
  WriteFile("missing1.qmx", "1 2 2 1 -9\n1 2\n3 -9\n");
  EXPECT_EQ(RefusalOf(EigenDescribe, {{"O", "missing.qmx"}}), "Cannot process matrices with missing values.");
  EXPECT_EQ(RefusalOf(SvdDescribe, {{"O", "missing1.qmx"}}), "Cannot process matrices with missing values.");
}

TEST_F(OrdinationRun, SvdKeepsBothVectorSetsAndEnablesButtonsByTheReducedDimensions) {
  Run(SvdDescribe, {{"O", "svd2x5.qmx"}, {"N", "3"}});
  // Reduced to 2 by the first data set and kept for the second.
  EXPECT_EQ(bar.enabled, (std::vector<int>{1, 2}));
  const auto left = SvdLeftResults(), right = SvdRightResults();
  ASSERT_EQ(left->Count(), 2);
  EXPECT_EQ((*left)[0].rows(), 2);
  EXPECT_EQ((*right)[0].rows(), 5);
  EXPECT_EQ((*left)[1].rows(), 6);
  EXPECT_EQ((*left)[1].cols(), 2);
  // Rows without labels are named by their numbers.
  EXPECT_FALSE((*left)[0].FrLabels->HasStorage());
  EXPECT_EQ((*left)[0].FrLabels->GetLabel(2), "2");
  EXPECT_EQ(LabelsOf(*(*left)[1].FrLabels), (std::vector<std::string>{"R1", "R2", "R3", "R4", "R5", "R6"}));
  EXPECT_EQ(LabelsOf(*(*right)[1].FcLabels), (std::vector<std::string>{"Dim1", "Dim2"}));

  Run(SvdDescribe, {{"O", "svd6x4.qmx"}, {"N", "3"}});
  EXPECT_EQ(bar.enabled, (std::vector<int>{1, 2, 3, 4}));
  Run(SvdDescribe, {{"O", "svd6x4.qmx"}, {"N", "1"}});
  EXPECT_EQ(bar.enabled, (std::vector<int>{}));
}

TEST_F(OrdinationRun, SvdNamesTheIterationLimitItWasGiven) {
  EXPECT_EQ(ErrorText<E_Morvapc_Algebra>([&] {
              Run(SvdDescribe, {{"O", "svd6x4.qmx"}, {"MI", "1"}});
            }),
            "no convergence in 1 SVDCMP iterations");
}

TEST_F(OrdinationRun, ProjEnablesItsButtonsByTheColumnsOfItsResult) {
  struct Case {
    const char* method;
    const char* factors;
    std::vector<int> buttons;
  };
  const Case cases[] = {
      {"MULT", "factors.qmx", {1}},     // two factors
      {"PROJ", "factor1.qmx", {}},      // one factor
      {"ORTH", "factor1.qmx", {1, 2}},  // four variables
  };
  for (const Case& c : cases) {
    Run(ProjDescribe, {{"O", "points10.qmx"}, {"F", c.factors}, {"PT", c.method}});
    EXPECT_EQ(bar.enabled, c.buttons) << c.method;
    const auto kept = ProjResults();
    ASSERT_EQ(kept->Count(), 1);
    EXPECT_EQ((*kept)[0].rows(), 10) << "points are rows";
  }
}

TEST_F(OrdinationRun, ProjReusesOneFactorMatrixForEveryDataSet) {
  Run(ProjDescribe, {{"O", "points.qmx"}, {"F", "factors.qmx"}, {"PT", "MULT"}});
  const auto kept = ProjResults();
  ASSERT_EQ(kept->Count(), 3);
  EXPECT_EQ((*kept)[0].rows(), 5);
  EXPECT_EQ((*kept)[1].rows(), 10);
  EXPECT_EQ((*kept)[2].rows(), 5);
  // The second data set holds all ten objects: its products are R's.
  ordtest::ExpectMatchesReference((*kept)[1], "proj.mult", 2);
  EXPECT_EQ(std::count(services.lines.begin(), services.lines.end(), "Factor matrix:" + Path("factors.qmx")), 1);
}

TEST_F(OrdinationRun, ProjTakesOtusAsColumnsWhenAsked) {
  for (const char* method : {"MULT", "ORTH"}) {
    Run(ProjDescribe, {{"O", "points10.qmx"}, {"F", "factors.qmx"}, {"PT", method}});
    const auto byRows = ProjResults();
    Run(ProjDescribe, {{"O", "columns10.qmx"}, {"D", "NO"}, {"F", "factors.qmx"}, {"PT", method}});
    const Rect_mx& m = (*ProjResults())[0];
    ASSERT_EQ(m.rows(), 10) << method;
    for (int o = 1; o <= 10; ++o)
      for (int j = 1; j <= m.cols(); ++j) EXPECT_EQ(m.getxij(o, j), (*byRows)[0].getxij(o, j)) << method;
    EXPECT_EQ(LabelsOf(*m.FrLabels), LabelsOf(*(*byRows)[0].FrLabels)) << method;
  }
}

TEST_F(OrdinationRun, ProjTestsItsInputs) {
  WriteFile("empty.qmx", "\n");
  WriteFile("zero.qmx", "1 4 1 0\n0\n0\n0\n0\n");
  WriteFile("three.qmx", "1 3 1 0\n1\n1\n1\n");
  struct Case {
    const char* name;
    Args args;
    std::string message;
  };
  // Two data sets of four and three variables, each with its factors; one
  // vector of four eigenvalues, which does not fit the second.
  WriteFile("sets.qmx",
            "1 5 4 0\n1 2 3 4\n2 1 4 3\n3 5 1 2\n4 4 2 2\n5 2 3 1\n1 5 3 0\n1 2 3\n2 1 4\n3 5 1\n4 4 2\n5 2 3\n");
  WriteFile("setfactors.qmx", "1 4 1 0\n1\n0\n0\n0\n1 3 1 0\n0\n1\n0\n");
  const Case cases[] = {
      {"no factor matrix at all",
       {{"O", "points10.qmx"}, {"F", "empty.qmx"}},
       "No factor matrix found in file: " + Path("empty.qmx")},
      {"factors of other variables",
       {{"O", "points10.qmx"}, {"F", "three.qmx"}},
       "Number of variables in data (4) does not match number of variables in factor matrix (3)"},
      {"eigenvalues of other variables",
       {{"O", "points10.qmx"}, {"F", "factors.qmx"}, {"PT", "ORTH"}, {"E", "three.qmx"}},
       "Eigenvalue matrix the wrong size (3) must have as many elements as variables (4) in order to test residuals."},
      {"no eigenvalues at all",
       {{"O", "points10.qmx"}, {"F", "factors.qmx"}, {"E", "empty.qmx"}},
       "No eigenvalue matrix found in file: " + Path("empty.qmx")},
      {"eigenvalues kept from a data set of other variables",
       {{"O", "sets.qmx"}, {"F", "setfactors.qmx"}, {"E", "lambda.qmx"}},
       "Eigenvalue matrix the wrong size (4) must have as many elements as variables (3) in order to test residuals."},
      {"one factor of zero length",
       {{"O", "points10.qmx"}, {"F", "zero.qmx"}, {"PT", "ORTH"}},
       "Determinant is too small -- factors may be redundant"},
  };
  for (const Case& c : cases) EXPECT_EQ(RefusalOf(ProjDescribe, c.args), c.message) << c.name;
}

// The listing from the outlier table on.
std::vector<std::string> OutlierTable(const std::vector<std::string>& lines) {
  const auto start = std::find(lines.begin(), lines.end(), "Analysis of outliers based on 2 dimensions");
  return {start, lines.end()};
}

TEST_F(OrdinationRun, ProjTakesTheEigenvalueFilesThatEigenAndSvdWrite) {
  // Each module's diagonal file (SVD's with labels) tests the outliers as a
  // column of the same values does.
  struct Case {
    const char* name;
    void (*describe)(TModuleRec&);
    Args args;
  };
  const Case cases[] = {
      {"EIGEN", EigenDescribe, {{"O", "eigen.qmx"}, {"VAL", "values.qmx"}}},
      {"SVD", SvdDescribe, {{"O", "svd6x4.qmx"}, {"VAL", "values.qmx"}}},
  };
  for (const Case& c : cases) {
    Run(c.describe, c.args);
    rtl::TextReader f(Path("values.qmx"));
    std::unique_ptr<rtl::StringList> comments;
    TMatrixHeader header;
    ReadMatrixHeader(f, comments, header, false, {mtDiagonal});
    ASSERT_EQ(header.rows, 4) << c.name;
    if (header.rowLabelCode != lcNone) SkipItems(f, header.rows);
    vect_mx values(4);
    Read(values, f);
    std::string column = "1 4 1 0\n";
    for (int i = 1; i <= 4; ++i) {
      char text[32];
      std::snprintf(text, sizeof text, "%.17g\n", values.Get(i));
      column += text;
    }
    WriteFile("column.qmx", column);

    Run(ProjDescribe, {{"O", "points10.qmx"}, {"F", "factors.qmx"}, {"E", "column.qmx"}});
    const std::vector<std::string> expected = OutlierTable(services.lines);
    ASSERT_EQ(expected.size(), 14u) << c.name;
    Run(ProjDescribe, {{"O", "points10.qmx"}, {"F", "factors.qmx"}, {"E", "values.qmx"}});
    EXPECT_EQ(OutlierTable(services.lines), expected) << c.name;
  }
}

TEST_F(OrdinationRun, ProjTestsOutliersOnlyWithMorePointsThanVariablesAndNoMoreFactorsThanVariables) {
  Run(ProjDescribe, {{"O", "points4.qmx"}, {"F", "factors.qmx"}, {"E", "lambda.qmx"}});
  EXPECT_EQ(services.warnings,
            (std::vector<std::string>{"There must be more points than variables in order to test for outliers"}));
  EXPECT_FALSE(Listed("Analysis of outliers based on 2 dimensions"));

  // Three factors of two variables, with both eigenvalues.
  WriteFile("two.qmx", "1 5 2 0\n1 2\n2 1\n3 5\n4 4\n5 2\n");
  WriteFile("f3.qmx", "1 2 3 0\n1 0 1\n0 1 1\n");
  WriteFile("l2.qmx", "1 2 1 0\n3\n1\n");
  services.warnings.clear();
  Run(ProjDescribe, {{"O", "two.qmx"}, {"F", "f3.qmx"}, {"E", "l2.qmx"}});
  EXPECT_TRUE(services.warnings.empty());
  EXPECT_TRUE(Listed("Note: more factors than variables, so no analysis of outliers."));
}

TEST_F(OrdinationRun, ProjOrthWithEigenvaluesTestsOnlyWhatLiesBeyondTheFactors) {
  // Eigenvalues beyond the two factors that are 0: Q is listed with a note.
  WriteFile("l00.qmx", "1 4 1 0\n2\n1\n0\n0\n");
  Run(ProjDescribe, {{"O", "points10.qmx"}, {"F", "factors.qmx"}, {"PT", "ORTH"}, {"E", "l00.qmx"}});
  EXPECT_TRUE(Listed("  OTU            Q"));
  EXPECT_TRUE(Listed("Note: no eigenvalue beyond the factors is above 0, so the residuals cannot be tested."));

  Run(ProjDescribe, {{"O", "points10.qmx"}, {"F", "factors.qmx"}, {"PT", "ORTH"}, {"E", "lambda.qmx"}});
  EXPECT_TRUE(Listed("  OTU            Q       ND"));
  EXPECT_TRUE(Listed("Note: ND values above 1.645 are significant at the 5% level."));
}

}  // namespace
