// CPCA run as the dialog or the batch runner runs it: its refusals, what the
// files hold after one, the cancel while the covariances are computed, the
// plot buttons, the kept components and the outputs the reader takes back.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "matrix/Constu.h"
#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "matrix/Matrixu.h"
#include "modules/ordination/cpca.h"
#include "shell/ModuleRun.h"
#include "shell/PlotWindows.h"
#include "tests/matrix/core/ErrorText.h"
#include "tests/modules/clustering/ModuleRunSupport.h"
#include "tests/support/RecordingPlotBar.h"
#include "tests/support/RecordingPlotOpeners.h"
#include "tests/support/ScopedHook.h"

namespace {

using moduletest::Args;

std::string Fixture(const std::string& name) {
  return (std::filesystem::path(MORVA_FIXTURES) / "cpca" / name).string();
}

std::vector<std::string> LabelsOf(const Label_mx& labels) {
  std::vector<std::string> texts;
  for (std::int32_t i = 1; i <= labels.n(); ++i) texts.push_back(labels.GetLabel(i));
  return texts;
}

class CpcaModule : public moduletest::ModuleRunTest {
 protected:
  CpcaModule() : ModuleRunTest(CpcaDescribe) {}

  // The matrices of a file this run wrote, each as the reader takes it back.
  std::vector<TMatrixHeader> HeadersOf(const std::string& name, TMatrixTypeSet types) const {
    rtl::TextReader f(Path(name));
    std::vector<TMatrixHeader> headers;
    while (!f.SeekEof()) {
      std::unique_ptr<rtl::StringList> comments;
      TMatrixHeader header;
      ReadMatrixHeader(f, comments, header, false, types);
      if (header.rowLabelCode == lcBlock) SkipItems(f, header.rows);
      Rect_mx m(header.rows, header.cols);
      if (header.type == mtSimilarity) {
        ReadRecords(m, f);
      } else {
        Read(m, f, true, {nullptr, lcNone, false}, {nullptr, header.colLabelCode, false});
      }
      headers.push_back(header);
    }
    return headers;
  }

  testsupport::RecordingPlotBar bar;
  const testsupport::ScopedHook<TPlotButtonBar*> installedBar{SetPlotButtonBar, &bar};
};

TEST_F(CpcaModule, RefusesInputsItCannotFit) {
  const std::string raw = Fixture("groups.qmx"), shared = Fixture("shared.qmx"), row = Fixture("sizes-row.qmx");
  const std::string missing = Write("missing.qmx", "1 2 4 1 -9\n1 2 3 4\n2 3 -9 5\n");
  const std::string few = Write("few.qmx", "1 3 3 0\n1 2 3\n2 1 3\n3 3 1\n");
  const std::string twoVariables =
      Write("two.qmx", "1 3 5 0\n1 2 3 4 5\n2 1 3 5 4\n3 3 1 2 2\n1 2 5 0\n1 2 3 4 5\n2 1 3 5 4\n");
  const std::string oneGroup = Write("one.qmx", "1 2 5 0\n1 2 3 4 5\n2 1 3 5 4\n");
  const std::string covMissing = Write("covmissing.qmx", "3 2 2 1 -9\n1\n0.5 1\n");
  const std::string covSizes = Write("covsizes.qmx", "3 2 2 0\n1\n0.5 1\n3 3 3 0\n1\n0 1\n0 0 1\n");
  const std::string oneCov = Write("onecov.qmx", "3 2 2 0\n1\n0.5 1\n");
  const std::string oneSize = Write("onesize.qmx", "1 1 1 0\n20\n");
  const std::string sizesMissing = Write("sm.qmx", "1 1 3 1 -9\n20 -9 30\n");
  const std::string square = Write("square.qmx", "1 2 2 0\n20 25\n30 35\n");
  const std::string shortRow = Write("shortrow.qmx", "1 1 2 0\n20 25\n");
  const std::string shortColumn = Write("shortcol.qmx", "1 2 1 0\n20\n25\n");
  const std::string shortDiagonal = Write("shortdiag.qmx", "4 2 2 0\n20 25\n");
  const std::string smallRow = Write("smallrow.qmx", "1 1 3 0\n20 4.9 30\n");
  const std::string smallDiagonal = Write("smalldiag.qmx", "4 3 3 0\n20 25 4\n");
  struct Case {
    const char* name;
    Args args;
    std::string message;
  };
  const std::string larger = " must be larger than the number of variables";
  const std::string greater = " must be greater than the number of variables";
  const std::string length = "Length of list of sample sizes does not match number of groups";
  const Case cases[] = {
      {"no input", {}, "Must provide either raw data or covariance matrices"},
      {"raw data and sizes", {{"O", raw}, {"GS", row}}, "Do not provide samples sizes with raw data"},
      {"raw data and covariances", {{"O", raw}, {"S", shared}}, "Do not provide covariance matrices with raw data"},
      {"all three", {{"O", raw}, {"S", shared}, {"GS", row}}, "Do not provide samples sizes with raw data"},
      {"covariances without sizes", {{"S", shared}}, "Sample sizes are required if covariance matrices are used."},
      {"missing data values", {{"O", missing}, {"D", false}}, "No missing values allowed in data."},
      {"no more objects than variables", {{"O", few}}, "Sample size (3) for group 1" + larger},
      {"groups of other variables", {{"O", twoVariables}}, "Numbers of variables not the same as in previous matrix"},
      {"one group of data", {{"O", oneGroup}}, "Must have at least two groups"},
      {"missing covariances", {{"S", covMissing}, {"GS", row}}, "Sorry, no missing data allowed"},
      {"covariances of other variables",
       {{"S", covSizes}, {"GS", row}},
       "Number of variables not the same as in previous matrix"},
      {"one covariance matrix", {{"S", oneCov}, {"GS", oneSize}}, "Must have at least two groups"},
      {"missing sizes", {{"S", shared}, {"GS", sizesMissing}}, "No missing values allowed in sample size array"},
      {"a square of sizes", {{"S", shared}, {"GS", square}}, "List of sample sizes should be a 1xn or nx1 matrix"},
      {"a row too short", {{"S", shared}, {"GS", shortRow}}, length},
      {"a column too short", {{"S", shared}, {"GS", shortColumn}}, length},
      {"a diagonal too short", {{"S", shared}, {"GS", shortDiagonal}}, length},
      {"a size in a row cut to 4", {{"S", shared}, {"GS", smallRow}}, "Sample size (4) for group 2" + greater},
      {"a size in a diagonal", {{"S", shared}, {"GS", smallDiagonal}}, "Sample size (4) for group 3" + greater},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectRefused(c.args, c.message);
  }
}

// Each group's comments go to the outputs as it is read: a refusal of the
// second group's size leaves both groups' comments there.
TEST_F(CpcaModule, ARefusalLeavesNoOutputs) {
  const std::string data = Write("data.qmx",
                                 "\"First group\n1 2 4 0\n1 2 3 4\n2 1 4 3\n"
                                 "\"Second group\n1 2 2 0\n1 2\n2 1\n");
  ExpectRefused({{"O", data}, {"B", Path("b.qmx")}, {"LAM", Path("lam.qmx")}},
                "Sample size (2) for group 2 must be larger than the number of variables");
  EXPECT_FALSE(std::filesystem::exists(Path("b.qmx")));
  EXPECT_FALSE(std::filesystem::exists(Path("lam.qmx")));
}

// Cancel is obeyed as soon as the covariance loop sees it: no half-made
// matrix reaches the next group or the fit.
TEST_F(CpcaModule, CancelInTheCovarianceLoopEndsTheRunAtOnce) {
  const testsupport::ScopedHook cancelled(InstallAbortCheck, [] { throw E_Morvapc_UserAbort(); });
  EXPECT_EQ(ErrorText<E_Morvapc_UserAbort>([&] { Run({{"O", Fixture("groups.qmx")}}); }), "User abort");
  EXPECT_TRUE(Listed("Group: 1, n = 12"));
  EXPECT_FALSE(Listed("Group: 2, n = 15"));
}

TEST_F(CpcaModule, KeepsTheFirstComponentsAndEnablesButtonsByTheirNumber) {
  struct Case {
    double dimensions;
    std::int32_t kept;
    std::vector<int> buttons;
  };
  const Case cases[] = {{1, 1, {}}, {2, 2, {1}}, {3, 3, {1, 2}}, {5, 3, {1, 2}}};
  for (const Case& c : cases) {
    const std::string lambdas = "lam" + std::to_string(static_cast<int>(c.dimensions)) + ".qmx";
    Run({{"O", Fixture("groups.qmx")}, {"N", c.dimensions}, {"LAM", Path(lambdas)}});
    SCOPED_TRACE(c.dimensions);
    EXPECT_EQ(bar.enabled, c.buttons);
    bar.enabled.clear();
    const auto kept = CpcaResults();
    ASSERT_EQ(kept->Count(), 1);
    const Rect_mx& b = (*kept)[0];
    EXPECT_EQ(b.rows(), 3);
    EXPECT_EQ(b.cols(), c.kept);
    EXPECT_EQ(LabelsOf(*b.FrLabels), (std::vector<std::string>{"Length", "Width", "Depth"}));
    EXPECT_EQ(b.FcLabels->GetLabel(c.kept), "Dim-" + std::to_string(c.kept));
    const std::vector<TMatrixHeader> lam = HeadersOf(lambdas, {mtRectangular});
    ASSERT_EQ(lam.size(), 1u);
    EXPECT_EQ(lam[0].rows, 3);
    EXPECT_EQ(lam[0].cols, c.kept);
  }
  EXPECT_TRUE(Listed("Number of dimensions reduced to 3"));
}

// The same groups read either way round, and the same sizes in each of their
// three forms, give the same components.
TEST_F(CpcaModule, EveryFormOfTheInputGivesTheSameComponents) {
  const auto components = [this](const Args& args) {
    Run(args);
    const Rect_mx& b = (*CpcaResults())[0];
    std::vector<double> values;
    for (int i = 1; i <= b.rows(); ++i)
      for (int j = 1; j <= b.cols(); ++j) values.push_back(b.getxij(i, j));
    return values;
  };
  EXPECT_EQ(components({{"O", Fixture("groups.qmx")}}), components({{"O", Fixture("groups-t.qmx")}, {"D", false}}));
  const auto byRow = components({{"S", Fixture("shared.qmx")}, {"GS", Fixture("sizes-row.qmx")}});
  EXPECT_EQ(byRow, components({{"S", Fixture("shared.qmx")}, {"GS", Fixture("sizes-col.qmx")}}));
  EXPECT_EQ(byRow, components({{"S", Fixture("shared.qmx")}, {"GS", Fixture("sizes-diag.qmx")}}));
}

TEST_F(CpcaModule, WritesFilesTheReaderTakesBack) {
  Run({{"S", Fixture("shared.qmx")},
       {"GS", Fixture("sizes-diag.qmx")},
       {"N", 2.0},
       {"B", Path("b.qmx")},
       {"LAM", Path("lam.qmx")},
       {"COV", Path("cov.qmx")}});
  const std::vector<TMatrixHeader> b = HeadersOf("b.qmx", {mtRectangular});
  ASSERT_EQ(b.size(), 1u);
  EXPECT_EQ(std::pair(b[0].rows, b[0].cols), std::pair(4, 4));
  EXPECT_EQ(b[0].rowLabelCode, lcBlock);
  const std::vector<TMatrixHeader> cov = HeadersOf("cov.qmx", {mtSimilarity});
  ASSERT_EQ(cov.size(), 3u);
  EXPECT_EQ(cov[2].rows, 4);
  const std::vector<TMatrixHeader> lam = HeadersOf("lam.qmx", {mtRectangular});
  ASSERT_EQ(lam.size(), 1u);
  EXPECT_EQ(std::pair(lam[0].rows, lam[0].cols), std::pair(3, 2));
}

TEST_F(CpcaModule, PlotButtonsOpenTheirPlotsOverTheKeptComponents) {
  testsupport::RecordingPlotOpeners recorded;
  const auto& plots = recorded.plots;
  const auto& plots3D = recorded.plots3D;
  CpcaPlot2D();
  EXPECT_TRUE(plots.empty()) << "no run, no results, no plot";

  Run({{"O", Fixture("groups.qmx")}});
  CpcaPlot2D();
  CpcaPlot3D();
  ASSERT_EQ(plots.size(), 1u);
  ASSERT_EQ(plots3D.size(), 1u);
  EXPECT_EQ(plots[0].windowName, "CPCAMxPlotF1");
  EXPECT_EQ(plots3D[0].windowName, "CPCAMod3DF2");
  EXPECT_EQ(plots[0].results, CpcaResults());
  EXPECT_EQ(plots3D[0].results, CpcaResults());
  EXPECT_FALSE(plots[0].pointsAreColumns);
  EXPECT_FALSE(plots3D[0].pointsAreColumns);
}

}  // namespace
