// The steps of two options windows without a window: the 3-D view values
// shown, read and stepped, and the matrix comparison's highlight list and
// its steps.

#include <gtest/gtest.h>

#include "matrix/Matrixob.h"
#include "plot/mod3dView.h"
#include "plot/mxcompHighlight.h"
#include "rtl/Convert.h"

namespace {

TEST(OptionSteps, ViewAnglesStepByOneDegreeAndTurnBackAtAFullTurn) {
  struct Case {
    double from;
    bool up;
    double to;
  };
  const Case cases[] = {
      {359.5, true, 0.5},  {-359.5, false, -0.5}, {-359, false, 0}, {359, true, 0}, {358, true, 359},
      {-358, false, -359}, {30, false, 29},       {0, true, 1},     {0, false, -1}, {720, true, 361},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(StepViewAngle(c.from, c.up), c.to) << c.from << (c.up ? " up" : " down");
}

TEST(OptionSteps, TheViewingDistanceStepsDownToAHundredthAtLeast) {
  struct Case {
    double from;
    bool up;
    double to;
  };
  const Case cases[] = {
      {0.5, false, 0.01}, {1, false, 0.01}, {2.5, false, 1.5}, {999, false, 998}, {999, true, 1000}, {0.01, true, 1.01},
  };
  for (const Case& c : cases)
    EXPECT_DOUBLE_EQ(StepViewingDistance(c.from, c.up), c.to) << c.from << (c.up ? " up" : " down");
}

TEST(OptionSteps, ViewValuesShowWithTwoDecimalsInSevenAndReadBack) {
  EXPECT_EQ(ViewValueText(30), "  30.00");
  EXPECT_EQ(ViewValueText(-359.5), "-359.50");
  EXPECT_EQ(ViewValueText(999), " 999.00");
  EXPECT_EQ(ViewValueText(12345.678), "12345.68");
  EXPECT_DOUBLE_EQ(ReadViewValue("  30.00"), 30);
  EXPECT_DOUBLE_EQ(ReadViewValue("720"), 720);
  EXPECT_DOUBLE_EQ(ReadViewValue("-0.5 "), -0.5);
  for (const char* text : {"", "   ", "abc", "1,5", "30 deg"})
    EXPECT_THROW(ReadViewValue(text), rtl::EConvertError) << '"' << text << '"';
}

TEST(OptionSteps, TheHighlightListStartsWithNoneThenEveryObject) {
  Label_mx labels(3);
  labels.PutLabel(1, "Ant");
  labels.PutLabel(2, "Bee");
  labels.PutLabel(3, "Cicada");
  EXPECT_EQ(HighlightItems(labels, 3), (std::vector<std::string>{"-none-", "Ant", "Bee", "Cicada"}));
  EXPECT_EQ(HighlightItems(Label_mx(0), 2), (std::vector<std::string>{"-none-", "1", "2"}));
  EXPECT_EQ(HighlightItems(Label_mx(0), 0), (std::vector<std::string>{"-none-"}));
}

TEST(OptionSteps, TheHighlightStepsStopAtNoneAndAtTheLastLabel) {
  struct Case {
    const char* name;
    std::int32_t from;
    int direction;
    std::int32_t to;
  };
  const std::int32_t items = 4;  // "-none-" and three objects
  const Case cases[] = {
      {"down stops at -none-", 0, -1, 0}, {"up stops at the last label", 3, 1, 3}, {"up from -none-", 0, 1, 1},
      {"down to -none-", 1, -1, 0},       {"neither half leaves it", 2, 0, 2},
  };
  for (const Case& c : cases) EXPECT_EQ(StepHighlight(c.from, items, c.direction), c.to) << c.name;
  EXPECT_EQ(StepHighlight(0, 1, 1), 0) << "a list of -none- alone";
}

}  // namespace
