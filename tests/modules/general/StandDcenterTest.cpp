// STAND and DCENTER run as the batch runner runs them: their results against
// R (scale, vegan::decostand, a double-centring of -0.5 d²), the variables
// STAND leaves out with its warning, and the refusals.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "modules/general/dcenter.h"
#include "modules/general/stand.h"
#include "shell/Listing.h"
#include "shell/ParamDialog.h"
#include "tests/modules/general/GeneralTestSupport.h"

namespace {

constexpr double kTolerance = 1e-12;

const char* const kInvariantWarning =
    "Invariant characters were deleted.  The output matrix will not be the same size as the input matrix.";

class StandRun : public gentest::ModuleRun {
 protected:
  gentest::TReadBack Stand(const gentest::Args& options) {
    gentest::Args args = options;
    args.emplace("O", "stand.qmx");
    args["R"] = "out.qmx";
    Run(StandDescribe, args);
    return ReadBack("out.qmx");
  }
};

TEST_F(StandRun, StandardizedDataEqualRsScaleAndDecostand) {
  struct Case {
    const char* reference;
    const char* byRows;
    const char* subtract;
    const char* divide;
    const char* constant;
    double added;
  };
  const Case cases[] = {
      {"scale.cols", "NO", "YBAR", "STD", "0", 0},
      {"scale.cols", "NO", "YBAR", "STD", "10", 10},
      {"scale.rows", "YES", "YBAR", "STD", "0", 0},
      {"range.cols", "NO", "MIN", "RANGE", "0", 0},
      {"max.cols", "NO", "", "MAX", "0", 0},
      {"total.rows", "YES", "", "SUMY", "0", 0},
      {"normalize.rows", "YES", "", "SQRT(SY2)", "0", 0},
  };
  const testsupport::ReferenceTable& refs = gentest::Refs();
  for (const Case& c : cases) {
    const gentest::TReadBack out = Stand({{"D", c.byRows}, {"A", c.subtract}, {"B", c.divide}, {"C", c.constant}});
    ASSERT_EQ(out.header.rows, 6) << c.reference;
    ASSERT_EQ(out.header.cols, 4) << c.reference;
    EXPECT_EQ(out.rowLabels, (std::vector<std::string>{"A", "B", "C", "D", "E", "F"}));
    EXPECT_EQ(out.colLabels, (std::vector<std::string>{"Length", "Width", "Height", "Weight"}));
    for (int i = 1; i <= 6; ++i)
      for (int j = 1; j <= 4; ++j)
        EXPECT_NEAR(out.values[static_cast<std::size_t>((i - 1) * 4 + j - 1)], refs.At(c.reference, i, j) + c.added,
                    kTolerance)
            << c.reference << " (" << i << ", " << j << ")";
    EXPECT_TRUE(services.warnings.empty());
  }
}

TEST_F(StandRun, StatisticsOfEachVariableBeforeTheTransformation) {
  Rect_mx x(2, 4);
  const double values[] = {1, 2, -9, 5, 3, 3, 3, 3};
  for (int k = 0; k < 8; ++k) x.putxij(k / 4 + 1, k % 4 + 1, values[k]);
  const std::vector<TStandVariable> stats = StandStatistics(x, {.subtract = TStandSubtract::Min,
                                                                .divide = TStandDivide::One,
                                                                .constant = 2,
                                                                .hasMissing = true,
                                                                .missingValue = -9});
  ASSERT_EQ(stats.size(), 2u);
  EXPECT_EQ(stats[0].n, 3);
  EXPECT_DOUBLE_EQ(stats[0].mean, 8.0 / 3);
  EXPECT_DOUBLE_EQ(stats[0].sd, std::sqrt(13.0 / 3));
  EXPECT_EQ(stats[0].min, 1);
  EXPECT_EQ(stats[0].max, 5);
  EXPECT_EQ(stats[0].outcome, TStandOutcome::Standardized);
  EXPECT_EQ(stats[1].outcome, TStandOutcome::Invariant);
  // (y - min) / 1 + 2 on the values present; the missing value and the
  // invariant variable stay as they were.
  const double expected[] = {2, 3, -9, 6, 3, 3, 3, 3};
  for (int k = 0; k < 8; ++k) EXPECT_EQ(x.getxij(k / 4 + 1, k % 4 + 1), expected[k]) << k;
}

TEST_F(StandRun, VariablesThatCannotBeStandardizedAreLeftOutWithAWarningNamingWhy) {
  const auto undivided = [](const std::string& lead, const char* divide) {
    return lead + " that cannot be divided by " + divide +
           " were deleted.  The output matrix will not be the same size as the input matrix.";
  };
  struct Case {
    const char* input;
    const char* divide;
    const char* listed;  // the line of a variable left out
    int cols;
    std::string warning;
  };
  const Case cases[] = {
      {"1 3 2 0\n1 5\n2 5\n3 5\n", "STD", "  2    5.0000 - invariant -", 1, kInvariantWarning},
      {"1 3 2 1 -9\n1 -9\n2 4\n3 -9\n", "STD", "  2    4.0000 - invariant -", 1, kInvariantWarning},
      {"1 3 2 0\n1 -1\n2 -2\n3 0\n", "MAX", "  2   -1.0000 - cannot divide by MAX -", 1, undivided("Variables", "MAX")},
      {"1 3 2 0\n1 -1\n2 -2\n3 0\n", "SQRT(SY)", "  2   -1.0000 - cannot divide by SQRT(SY) -", 1,
       undivided("Variables", "SQRT(SY)")},
      {"1 3 2 0\n1 -1\n2 -2\n3 3\n", "SUMY", "  2    0.0000 - cannot divide by SUMY -", 1,
       undivided("Variables", "SUMY")},
      // A constant variable and one whose sum is 0: both reasons.
      {"1 3 3 0\n1 5 -1\n2 5 -2\n3 5 3\n", "SUMY", "  2    5.0000 - invariant -", 1,
       undivided("Invariant characters and variables", "SUMY")},
  };
  for (const Case& c : cases) {
    WriteFile("in.qmx", c.input);
    Run(StandDescribe, {{"O", "in.qmx"}, {"D", "NO"}, {"B", c.divide}, {"R", "out.qmx"}});
    EXPECT_TRUE(Listed(c.listed)) << c.divide;
    EXPECT_EQ(services.warnings, std::vector<std::string>{c.warning}) << c.divide;
    EXPECT_EQ(ReadBack("out.qmx").header.cols, c.cols) << c.divide;
  }
  WriteFile("in.qmx", "1 2 2 0\n1 5\n1 5\n");
  EXPECT_EQ(RefusalOf(StandDescribe, {{"O", "in.qmx"}, {"D", "NO"}, {"R", "out.qmx"}}),
            "All variables deleted, nothing to output");
}

// The missing cells of the input stay missing, with the input's code and value.
TEST_F(StandRun, MissingCellsReadBackAsMissing) {
  WriteFile("in.qmx", "1 3 3 1 -99\n1 -99 3\n4 5 -99\n7 8 9\n");
  Run(StandDescribe, {{"O", "in.qmx"}, {"D", "NO"}, {"R", "out.qmx"}});
  const gentest::TReadBack out = ReadBack("out.qmx");
  EXPECT_EQ(out.header.missingCode, 1);
  EXPECT_EQ(out.header.missingValue, -99);
  EXPECT_EQ(out.MissingCells(), (std::vector<std::size_t>{1, 5}));
}

// A run from the parameter dialog over two data sets that stops at the
// second: the error box shows, no output is left, and the listing, which said
// the first set was stored, ends with the output that was not written and why.
TEST_F(StandRun, AStopAtALaterDataSetEndsTheListingWithWhatWasNotWritten) {
  WriteFile("two.qmx", "1 2 2 0\r\n1 2\r\n3 5\r\n1 2 2 0\r\n1 2\r\nzz 4\r\n");
  const std::string output = Path("two-std.qmx").string();
  TListingModel listing("2.02c");
  listing.InstallAsListingSink();
  TModuleRec module;
  StandDescribe(module);
  TDialogModel dialog(module);
  for (TParamRec& param : dialog.Params().Params()) {
    if (param.keyword == "O") param.fileName = Path("two.qmx").string();
    if (param.keyword == "R") param.fileName = output;
  }
  TDialogView view;
  EXPECT_EQ(dialog.Compute(listing, view), TComputeEnd::Failed);
  dialog.Close();

  const std::string reason = "Problem in reading value: zz on data line 6 in input file.";
  EXPECT_EQ(services.errors, std::vector<std::string>{reason});
  EXPECT_FALSE(std::filesystem::exists(output));
  std::string text = listing.SectionFileText(listing.PageCount() - 1, "\n");
  text.erase(text.find_last_not_of('\n') + 1);
  EXPECT_TRUE(text.ends_with("Standardized matrix stored in file: " + output +
                             "\n\n---- next dataset ----\n\ntype=1, size=2 by 2, nc=none  (rectangular)\n\n"
                             "Run stopped: " +
                             reason + "\nOutput file not written: " + output))
      << text;
}

class DcenterRun : public gentest::ModuleRun {};

TEST_F(DcenterRun, DoubleCentredMatricesEqualRs) {
  struct Case {
    const char* input;
    const char* square;
    const char* reference;
  };
  const Case cases[] = {
      {"distances.qmx", "YES", "dcenter.squared"},
      {"distances.qmx", "NO", "dcenter.plain"},
      {"similarities.qmx", "YES", "dcenter.similarity"},
      {"similarities.qmx", "NO", "dcenter.similarity"},
  };
  const testsupport::ReferenceTable& refs = gentest::Refs();
  for (const Case& c : cases) {
    Run(DcenterDescribe, {{"O", c.input}, {"S", c.square}, {"R", "out.qmx"}});
    const gentest::TReadBack out = ReadBack("out.qmx");
    EXPECT_EQ(out.header.type, mtSimilarity);
    ASSERT_EQ(out.header.rows, 5);
    std::size_t k = 0;
    for (int i = 1; i <= 5; ++i)
      for (int j = 1; j <= i; ++j, ++k)
        EXPECT_NEAR(out.values[k], refs.At(c.reference, i, j), kTolerance)
            << c.reference << " (" << i << ", " << j << ")";
  }
}

TEST_F(DcenterRun, OneByOneGivesZeroAndMissingValuesAreRefused) {
  WriteFile("one.qmx", "2 1 1 0\n3\n");
  Run(DcenterDescribe, {{"O", "one.qmx"}, {"R", "out.qmx"}});
  EXPECT_EQ(ReadBack("out.qmx").values, std::vector<double>{0});
  Run(DcenterDescribe, {{"O", "one.qmx"}});
  EXPECT_TRUE(Listed("Double-centered matrix stored in file: "));

  WriteFile("missing.qmx", "2 2 2 1 -1\n0\n-1 0\n");
  EXPECT_EQ(RefusalOf(DcenterDescribe, {{"O", "missing.qmx"}}), "Sorry, no missing data allowed");
}

}  // namespace
