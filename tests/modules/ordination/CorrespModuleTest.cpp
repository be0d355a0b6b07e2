// CORRESP run as the dialog or the batch runner runs it: its refusals, the
// dimensions reduced to what a table has, a table without inertia, the kept
// coordinates of the file's rows and columns and the plot buttons.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "matrix/Constu.h"
#include "modules/ordination/corresp.h"
#include "modules/ordination/correspCompute.h"
#include "shell/Config.h"
#include "shell/ModuleRun.h"
#include "shell/PlotWindows.h"
#include "tests/modules/clustering/ModuleRunSupport.h"
#include "tests/modules/ordination/OrdinationTestSupport.h"
#include "tests/support/RecordingPlotBar.h"
#include "tests/support/RecordingPlotOpeners.h"
#include "tests/support/ScopedHook.h"

namespace {

using moduletest::Args;

std::string Fixture(const std::string& name) {
  return (std::filesystem::path(MORVA_FIXTURES) / "corresp" / name).string();
}

class CorrespModule : public moduletest::ModuleRunTest {
 protected:
  CorrespModule() : ModuleRunTest(CorrespDescribe) {}

  void RunCleared(const Args& args) {
    bar = testsupport::RecordingPlotBar();
    Run(args);
  }

  testsupport::RecordingPlotBar bar;
  const testsupport::ScopedHook<TPlotButtonBar*> installedBar{SetPlotButtonBar, &bar};
};

// The refusals come before anything is computed; the outputs keep their
// headers.
TEST_F(CorrespModule, RefusesTablesItCannotAnalyse) {
  const std::string missing = Write("missing.qmx", "1 2 2 1 -9\n1 2\n-9 4\n");
  const std::string zeros = Write("zeros.qmx", "1 2 3 0\n0 0 0\n0 0 0\n");
  const std::string negative = Write("negative.qmx", "1 3 2 0\n1 2\n3 4\n5 -6\n");
  ExpectRefused({{"O", missing}}, "Missing values not permitted in input matrix");
  ExpectRefused({{"O", zeros}, {"RF", Path("zeros.rf")}}, "Total of table must be positive");
  EXPECT_FALSE(std::filesystem::exists(Path("zeros.rf"))) << "a refused run leaves no output";
  ExpectRefused({{"O", negative}}, "Negative entry in row 3, column 2");
}

TEST_F(CorrespModule, DimensionsAreReducedForTheRunAndEnableTheButtons) {
  struct Case {
    const char* name;
    std::string table;
    double n;
    std::string line;  // listed when N is reduced
    std::int32_t kept;
    std::vector<int> buttons;
  };
  const Case cases[] = {
      {"three dimensions of four rows", "plain.qmx", 4, "No. dimensions too large, reduced to: 3", 3, {1, 2, 3, 4}},
      {"two of three rows", "small.qmx", 4, "No. dimensions too large, reduced to: 2", 2, {1, 2}},
      {"one as asked", "turned.qmx", 1, "", 1, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RunCleared({{"O", Fixture(c.table)}, {"N", c.n}});
    EXPECT_EQ(bar.enabled, c.buttons);
    if (!c.line.empty()) {
      EXPECT_TRUE(Listed(c.line));
    }
    EXPECT_EQ((*CorrespRowResults())[0].cols(), c.kept);
    EXPECT_EQ((*CorrespColumnResults())[0].cols(), c.kept);
  }
}

// Rows proportional to each other: the trace is 0 and so are the percentages.
TEST_F(CorrespModule, TableWithoutInertiaListsPercentagesOfZero) {
  const std::string flat = Write("flat.qmx", "1 2 3 0\n1 2 3\n2 4 6\n");
  Run({{"O", flat}});
  EXPECT_TRUE(Listed("  1   0.0000         0.00         0.00"));
  EXPECT_TRUE(Listed("X2              =      0.000 df =     2 Prob =   1.0000"));
}

// The kept coordinates are the file's rows and columns, whichever side the
// analysis took as its rows, with their labels or numbers.
TEST_F(CorrespModule, KeepsTheFileRowsAndColumnsWithTheirLabels) {
  RunCleared({{"O", Fixture("turned.qmx")}, {"N", 2.0}});
  const Rect_mx& rows = (*CorrespRowResults())[0];
  const Rect_mx& cols = (*CorrespColumnResults())[0];
  EXPECT_EQ(rows.rows(), 6);
  EXPECT_EQ(cols.rows(), 4);
  EXPECT_EQ(rows.FrLabels->GetLabel(6), "XT");
  EXPECT_EQ(cols.FrLabels->GetLabel(4), "4");
  EXPECT_EQ(rows.FcLabels->GetLabel(2), "Dim-2");
  EXPECT_TRUE(Listed("Column variables:")) << "the smaller side first";
}

// Both sides' files (coordinates, absolute contributions and squared
// correlations) hold the computed values to the digits of the configured file
// format, whichever side is the smaller: nothing the user asked to keep is
// rounded away.
TEST_F(CorrespModule, FilesHoldTheComputedValuesToTheFileFormatsPrecision) {
  struct Format {
    const char* format;
    double relative;  // half a unit of the last digit written, relative to the value
    double absolute;  // or absolute
  };
  const Format formats[] = {{"e", 6e-15, 0}, {"14.10f", 0, 6e-11}};
  struct RestoredConfig {
    const TConfigRecord saved = Config();
    ~RestoredConfig() { Config() = saved; }
  } restored;
  for (const char* table : {"plain.qmx", "turned.qmx"}) {
    // The analysis the files must hold, computed here on the table turned
    // as the module turns it.
    bool turned = false;
    {
      const std::unique_ptr<Rect_mx> head = ordtest::LoadRectangular(Fixture(table), 1);
      turned = head->rows() > head->cols();
    }
    const std::unique_ptr<Rect_mx> x = ordtest::LoadRectangular(Fixture(table), 1, turned);
    const TCorrespResult r = CorrespCompute(*x, 2, turned);
    struct Side {
      const char* stem;  // "r" for the file's rows, "c" for its columns
      const Rect_mx& coordinates;
      const std::vector<double>& masses;
      const std::vector<double>& distances;
    };
    const Side working{turned ? "c" : "r", *r.rows, r.rowMass, r.rowDistance};
    const Side other{turned ? "r" : "c", *r.columns, r.columnMass, r.columnDistance};
    for (const Format& f : formats) {
      SCOPED_TRACE(std::string(table) + " in " + f.format);
      Config().fileFormat = f.format;
      const std::string out = std::string(table) + "." + f.format + ".";
      Run({{"O", Fixture(table)},
           {"N", 2.0},
           {"RF", Path(out + "rf")},
           {"CF", Path(out + "cf")},
           {"RA", Path(out + "ra")},
           {"CA", Path(out + "ca")},
           {"RC", Path(out + "rc")},
           {"CC", Path(out + "cc")}});
      for (const Side* side : {&working, &other}) {
        const std::string stem = out + side->stem;
        const std::unique_ptr<Rect_mx> factors = ordtest::LoadRectangular(Path(stem + "f"), 1);
        const std::unique_ptr<Rect_mx> contributions = ordtest::LoadRectangular(Path(stem + "a"), 1);
        const std::unique_ptr<Rect_mx> correlations = ordtest::LoadRectangular(Path(stem + "c"), 1);
        ASSERT_EQ(factors->rows(), side->coordinates.rows());
        ASSERT_EQ(factors->cols(), 2);
        for (std::int32_t i = 1; i <= factors->rows(); ++i) {
          const auto at = static_cast<std::size_t>(i - 1);
          for (std::int32_t a = 1; a <= 2; ++a) {
            const double v = side->coordinates.getxij(i, a);
            const double expected[] = {
                v, AbsoluteContribution(side->masses[at], v, r.eigenvalues[static_cast<std::size_t>(a - 1)]),
                SquaredCorrelation(v, side->distances[at])};
            const double written[] = {factors->getxij(i, a), contributions->getxij(i, a), correlations->getxij(i, a)};
            for (int w = 0; w < 3; ++w) {
              EXPECT_NEAR(written[w], expected[w], f.absolute + f.relative * std::abs(expected[w]))
                  << stem << " file " << w << " (" << i << ", " << a << ")";
            }
          }
        }
      }
    }
  }
}

TEST_F(CorrespModule, PlotButtonsOpenTheirPlotsOverTheKeptCoordinates) {
  testsupport::RecordingPlotOpeners recorded;
  RunCleared({{"O", Fixture("plain.qmx")}, {"N", 3.0}});
  for (void (*button)() : {CorrespPlot2DRows, CorrespPlot2DColumns, CorrespPlot3DRows, CorrespPlot3DColumns}) button();
  ASSERT_EQ(recorded.plots.size(), 2u);
  ASSERT_EQ(recorded.plots3D.size(), 2u);
  EXPECT_EQ(recorded.plots[0].windowName, "CorrespMxPlotF1");
  EXPECT_EQ(recorded.plots[1].windowName, "CorrespMxPlotF2");
  EXPECT_EQ(recorded.plots3D[0].windowName, "CorrespMod3DF3");
  EXPECT_EQ(recorded.plots3D[1].windowName, "CorrespMod3DF4");
  EXPECT_EQ(recorded.plots[0].results, CorrespRowResults());
  EXPECT_EQ(recorded.plots[1].results, CorrespColumnResults());
  EXPECT_EQ(recorded.plots3D[0].results, CorrespRowResults());
  EXPECT_EQ(recorded.plots3D[1].results, CorrespColumnResults());
  EXPECT_FALSE(recorded.plots[1].pointsAreColumns);
  EXPECT_EQ(recorded.plots[0].x, 1);
  EXPECT_EQ(recorded.plots[0].y, 2);
}

}  // namespace
