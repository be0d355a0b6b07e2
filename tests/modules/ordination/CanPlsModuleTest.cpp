// CANPLS run as the dialog or the batch runner runs it: its refusals, the
// dimensions adjusted to the sets, a PLS component without variance, the
// residual's own keyword, the kept vectors and the plot buttons.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "matrix/Constu.h"
#include "modules/ordination/canpls.h"
#include "shell/ModuleRun.h"
#include "shell/PlotWindows.h"
#include "tests/modules/clustering/ModuleRunSupport.h"
#include "tests/support/RecordingPlotBar.h"
#include "tests/support/RecordingPlotOpeners.h"
#include "tests/support/ScopedHook.h"

namespace {

using moduletest::Args;

std::string Fixture(const std::string& name) {
  return (std::filesystem::path(MORVA_FIXTURES) / "canpls" / name).string();
}

class CanPlsModule : public moduletest::ModuleRunTest {
 protected:
  CanPlsModule() : ModuleRunTest(CanPlsDescribe) {}

  void RunCleared(const Args& args) {
    bar = testsupport::RecordingPlotBar();
    Run(args);
  }

  testsupport::RecordingPlotBar bar;
  const testsupport::ScopedHook<TPlotButtonBar*> installedBar{SetPlotButtonBar, &bar};
};

TEST_F(CanPlsModule, RefusesWhatItCannotAnalyse) {
  const std::string missing = Write("missing.qmx", "3 2 2 1 -9\n1\n-9 1\n");
  const std::string rectangular = Write("rect.qmx", "1 2 2 0\n1 0\n0 1\n");
  struct Case {
    const char* name;
    Args args;
    std::string message;
  };
  const Case cases[] = {
      {"missing values", {{"O", missing}, {"S", std::string("1")}}, "Sorry, no missing data allowed"},
      {"a rectangular matrix",
       {{"O", rectangular}, {"S", std::string("1")}},
       "Wrong type of input matrix (1) must be: 3.\nMatrix header on line 1 of input file."},
      {"the default text of blanks", {{"O", Fixture("seven.qmx")}}, "No variables in first set"},
      {"every variable in set 1", {{"O", Fixture("seven.qmx")}, {"S", std::string("")}}, "No variables in sectond set"},
      {"a variable past the last", {{"O", Fixture("seven.qmx")}, {"S", std::string("2-9")}}, "index (9) out of range"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectRefused(c.args, c.message);
  }
}

// K is set to the smaller set; the reduced K stays for the next data sets,
// and the plot buttons follow it.
TEST_F(CanPlsModule, DimensionsFollowTheSetsAndEnableTheButtons) {
  struct Case {
    const char* name;
    std::string set1;
    double k;
    std::string line;  // listed when K changes
    std::int32_t kept;
    std::vector<int> buttons;
  };
  const Case cases[] = {
      {"K as asked", "1-3", 3, "", 3, {1, 2, 3, 4}},
      {"K reduced to a set of two", "1 2", 5, "Number of dimensions reduced to 2", 2, {1, 2}},
      {"one dimension", "4-", 1, "", 1, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RunCleared({{"O", Fixture("two.qmx")}, {"S", c.set1}, {"K", c.k}});
    EXPECT_EQ(bar.enabled, c.buttons);
    if (!c.line.empty()) {
      EXPECT_EQ(std::count(services.lines.begin(), services.lines.end(), c.line), 1);
    }
    ASSERT_EQ(CanPlsLeftResults()->Count(), 2);
    for (int set = 0; set < 2; ++set) {
      EXPECT_EQ((*CanPlsLeftResults())[set].cols(), c.kept);
      EXPECT_EQ((*CanPlsRightResults())[set].cols(), c.kept);
    }
  }
}

// Set 1 labels its left vectors, set 2 its right ones; without file labels
// the variables' numbers do.
TEST_F(CanPlsModule, KeptVectorsCarryTheirSetsLabels) {
  RunCleared({{"O", Fixture("two.qmx")}, {"S", std::string("2 5")}, {"M", std::string("CanCor")}});
  const Rect_mx& left = (*CanPlsLeftResults())[0];
  const Rect_mx& right = (*CanPlsRightResults())[1];
  EXPECT_EQ(left.FrLabels->GetLabel(1), "Width");
  EXPECT_EQ(left.FrLabels->GetLabel(2), "Height");
  EXPECT_EQ(left.FcLabels->GetLabel(2), "2");
  EXPECT_EQ(right.rows(), 4);
  EXPECT_EQ(right.FrLabels->GetLabel(1), "1");
  EXPECT_EQ(right.FrLabels->GetLabel(4), "6");
}

// Variable 1 has no variance and no covariance: its PLS component has
// variance 0 and correlates 0 with everything; the cross block of zeros has
// no covariance to share out, so its percentages are 0.
TEST_F(CanPlsModule, ComponentWithoutVarianceCorrelatesZero) {
  const std::string z = Write("z.qmx", "3 3 3 0\n0\n0 1\n0 0.5 1\n");
  Run({{"O", z}, {"S", std::string("1")}, {"K", 1.0}, {"LC", Path("z.lc")}});
  EXPECT_TRUE(Listed("    1   0.0000")) << "correlation of the pair";
  EXPECT_TRUE(Listed("  1   0.0000   0.0000   0.0000   0.0000"));
  EXPECT_EQ(ReadFile("z.lc"), "\" CANPLS: input=" + Path("z.qmx") +
                                  " sets:1\r\n1 3  1L 0\r\n1 \r\n0.00000000000000E+000 \r\n"
                                  "0.00000000000000E+000 \r\n0.00000000000000E+000 \r\n");
}

// The residual has a keyword of its own, so RC and RES name two files.
TEST_F(CanPlsModule, RightCorrelationsAndResidualGoToTheirOwnFiles) {
  Run({{"O", Fixture("seven.qmx")}, {"S", std::string("1-3")}, {"RC", Path("x.rc")}, {"RES", Path("x.res")}});
  EXPECT_NE(ReadFile("x.rc").find("\r\n1 7L 2L 0\r\n"), std::string::npos);
  EXPECT_NE(ReadFile("x.res").find("\r\n3 7L 7  0\r\n"), std::string::npos);
}

TEST_F(CanPlsModule, PlotButtonsOpenTheirPlotsOverTheKeptVectors) {
  testsupport::RecordingPlotOpeners recorded;
  RunCleared({{"O", Fixture("seven.qmx")}, {"S", std::string("1-3")}, {"K", 3.0}});
  for (void (*button)() : {CanPlsPlot2DLeft, CanPlsPlot2DRight, CanPlsPlot3DLeft, CanPlsPlot3DRight}) button();
  ASSERT_EQ(recorded.plots.size(), 2u);
  ASSERT_EQ(recorded.plots3D.size(), 2u);
  EXPECT_EQ(recorded.plots[0].windowName, "CanPlsMxPlotF1");
  EXPECT_EQ(recorded.plots[1].windowName, "CanPlsMxPlotF2");
  EXPECT_EQ(recorded.plots3D[0].windowName, "CanPlsMod3DF3");
  EXPECT_EQ(recorded.plots3D[1].windowName, "CanPlsMod3DF4");
  EXPECT_EQ(recorded.plots[0].results, CanPlsLeftResults());
  EXPECT_EQ(recorded.plots[1].results, CanPlsRightResults());
  EXPECT_EQ(recorded.plots3D[0].results, CanPlsLeftResults());
  EXPECT_EQ(recorded.plots3D[1].results, CanPlsRightResults());
  EXPECT_FALSE(recorded.plots[0].pointsAreColumns);
  EXPECT_EQ(recorded.plots3D[1].z, 3);

  // A new run starts new lists; the plots keep the old ones.
  const std::shared_ptr<const TRectMxList> shown = recorded.plots[0].results;
  RunCleared({{"O", Fixture("seven.qmx")}, {"S", std::string("1-3")}});
  EXPECT_NE(CanPlsLeftResults(), shown);
  EXPECT_EQ(shown->Count(), 1);
}

}  // namespace
