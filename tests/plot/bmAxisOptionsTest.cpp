// The axis dialog's rules without its window: the range read from both edits
// and set once, Cancel putting back exactly what the backups hold, the limits
// of the pen widths, and the controls an axis with interval labels leaves
// usable.

#include <gtest/gtest.h>

#include <string>

#include "matrix/Constu.h"
#include "plot/bmAxisOptions.h"

namespace {

class AxisOptions : public ::testing::Test {
 protected:
  TbmAxisOptions Options() {
    return TbmAxisOptions(parts.XAxisTitle, parts.XAxis, [this] { ++applied; });
  }

  TbmPlot2DPlotPartsClass parts;
  int applied = 0;
};

struct RangeCase {
  const char* name;
  double min, max;  // the axis's bounds before
  int decimals;
  const char* minText;
  const char* maxText;
  double wantMin, wantMax;
  int wantApplied;
  const char* wantError;  // empty: none
};

TEST_F(AxisOptions, RangeIsReadFromBothEditsAndSetOnce) {
  const RangeCase cases[] = {
      {"minimum above the maximum swaps them", 0, 1, 2, "5", "1.00", 1, 5, 1, ""},
      {"both typed below the range are ordered once, not set in turn", 0, 1, 2, "-5", "-10", -10, -5, 1, ""},
      {"a maximum below the minimum swaps them", 2, 4, 2, "2.00", "1", 1, 2, 1, ""},
      {"blanks around a number are taken", 0, 1, 2, "  0.25 ", " 0.75", 0.25, 0.75, 1, ""},
      {"untouched edits keep bounds finer than the decimals shown", 0.001, 0.004, 2, "0.00", "0.00", 0.001, 0.004, 0,
       ""},
      {"the same values typed again change nothing", 0, 1, 2, "0", "1", 0, 1, 0, ""},
      {"minimum equal to the maximum is refused", 0, 1, 2, "0.5", "0.5", 0, 1, 0,
       "The axis minimum must differ from the axis maximum"},
      {"a minimum typed equal to the maximum is refused", 0, 1, 2, "1", "1.00", 0, 1, 0,
       "The axis minimum must differ from the axis maximum"},
      {"a minimum that is no number is refused", 0, 1, 2, "abc", "2", 0, 1, 0, "Invalid value for axis minimum"},
      {"a maximum that is no number is refused", 0, 1, 2, "-1", "1e", 0, 1, 0, "Invalid value for axis maximum"},
      {"an empty maximum is refused", 0, 1, 2, "0.00", "", 0, 1, 0, "Invalid value for axis maximum"},
  };
  for (const RangeCase& c : cases) {
    SCOPED_TRACE(c.name);
    applied = 0;
    parts.XAxis.Min = c.min;
    parts.XAxis.Max = c.max;
    parts.XAxis.Range = c.max - c.min;
    parts.XAxis.ScaleDecimals = c.decimals;
    TbmAxisOptions options = Options();
    std::string error;
    try {
      options.SetRange(c.minText, c.maxText);
    } catch (const E_Morvapc& e) {
      error = e.Message();
    }
    EXPECT_EQ(error, c.wantError);
    EXPECT_EQ(parts.XAxis.Min, c.wantMin);
    EXPECT_EQ(parts.XAxis.Max, c.wantMax);
    EXPECT_EQ(parts.XAxis.Range, c.wantMax - c.wantMin);
    EXPECT_EQ(applied, c.wantApplied);
  }
}

TEST_F(AxisOptions, RangeEditsShowTheBoundsWithTheScaleWidthAndDecimals) {
  struct {
    int width, decimals;
    double value;
    const char* text;
  } cases[] = {{0, 2, 0.5, "0.50"}, {8, 2, 0.5, "    0.50"}, {0, 0, 2.4, "2"}, {6, 3, -1.25, "-1.250"}};
  for (const auto& c : cases) {
    parts.XAxis.ScaleWidth = c.width;
    parts.XAxis.ScaleDecimals = c.decimals;
    EXPECT_EQ(Options().RangeText(c.value), c.text);
  }
}

TEST_F(AxisOptions, AutoscaleUncheckedTakesTheEditsCheckedLeavesThemAlone) {
  TbmAxisOptions options = Options();
  // Checking ignores whatever the edits hold.
  options.SetAutoscale(true, "junk", "junk");
  EXPECT_TRUE(parts.XAxis.Autoscale);
  EXPECT_EQ(applied, 1);

  options.SetAutoscale(false, "-3", "7");
  EXPECT_FALSE(parts.XAxis.Autoscale);
  EXPECT_EQ(parts.XAxis.Min, -3);
  EXPECT_EQ(parts.XAxis.Max, 7);
  EXPECT_EQ(applied, 2) << "one replot for the box and the range together";

  // An unreadable edit: the error reaches the user and the range stays.
  EXPECT_THROW(options.SetAutoscale(false, "x", "7"), E_Morvapc);
  EXPECT_EQ(parts.XAxis.Min, -3);
  EXPECT_EQ(parts.XAxis.Max, 7);
  EXPECT_EQ(applied, 2);
}

// Every field the dialog can change, changed.
void ChangeEverything(TbmAxisOptions& options, TbmPlot2DPlotPartsClass& parts) {
  options.SetTitleText("Distance");
  options.SetTitleFont({"Courier", 3, 0x0000FF, 1}, 24);
  options.SetScaleFont({"Courier", 3, 0xFF0000, 2}, 36);
  options.SetScaleWidth(9);
  options.SetScaleDecimals(5);
  options.SetMajorCount(11);
  options.SetMinorCount(0);
  options.SetTicksInside(true);
  options.SetRefLineCount(3);
  options.SetAxisPenWidth(4);
  options.SetAxisPenStyle(2);
  options.SetAxisPenColor(0x008000);
  options.SetRefLinePenWidth(6);
  options.SetRefLinePenStyle(1);
  options.SetRefLinePenColor(0x800000);
  options.SetAutoscale(false, "-2", "8");
  auto& axis = parts.XAxis;
  axis.MajorLength = 20;
  axis.MajorPixels = 9;
  axis.MinorLength = 11;
  axis.MinorPixels = 7;
  axis.Rect = {1, 2, 3, 4};
  axis.ShowScale = false;
  parts.XAxisTitle.Rect = {5, 6, 7, 8};
}

TEST_F(AxisOptions, CancelPutsBackWhatTheBackupsHoldAndOkKeepsEverything) {
  const TbmAxisClass axisBefore = parts.XAxis;
  const TbmLabelClass titleBefore = parts.XAxisTitle;
  {
    TbmAxisOptions options = Options();
    ChangeEverything(options, parts);
    applied = 0;
    options.Close(false);
  }
  EXPECT_EQ(applied, 1);
  const TbmAxisClass& a = parts.XAxis;
  const TbmAxisClass& b = axisBefore;
  EXPECT_EQ(parts.XAxisTitle.Text, titleBefore.Text);
  EXPECT_EQ(parts.XAxisTitle.Font, titleBefore.Font);
  EXPECT_EQ(parts.XAxisTitle.Size, titleBefore.Size);
  EXPECT_EQ(parts.XAxisTitle.Rect, titleBefore.Rect);
  EXPECT_EQ(a.ScaleWidth, b.ScaleWidth);
  EXPECT_EQ(a.ScaleDecimals, b.ScaleDecimals);
  EXPECT_EQ(a.ScaleFont, b.ScaleFont);
  EXPECT_EQ(a.TicksInside, b.TicksInside);
  EXPECT_EQ(a.MajorCount, b.MajorCount);
  EXPECT_EQ(a.MajorLength, b.MajorLength);
  EXPECT_EQ(a.MajorPixels, b.MajorPixels);
  EXPECT_EQ(a.MinorCount, b.MinorCount);
  EXPECT_EQ(a.MinorLength, b.MinorLength);
  EXPECT_EQ(a.MinorPixels, b.MinorPixels);
  EXPECT_EQ(a.RefLineCount, b.RefLineCount);
  EXPECT_EQ(a.AxisPen, b.AxisPen);
  EXPECT_EQ(a.RefLinePen, b.RefLinePen);
  EXPECT_EQ(a.Min, b.Min);
  EXPECT_EQ(a.Max, b.Max);
  EXPECT_EQ(a.Range, b.Max - b.Min);
  EXPECT_EQ(a.Rect, b.Rect);
  // Not in the backup: they stay as changed.
  EXPECT_FALSE(a.Autoscale);
  EXPECT_FALSE(a.ShowScale);
  EXPECT_EQ(a.ScaleFontSize, 36);

  applied = 0;
  {
    TbmAxisOptions options = Options();
    ChangeEverything(options, parts);
    applied = 0;
    options.Close(true);
  }
  EXPECT_EQ(applied, 1);
  EXPECT_EQ(parts.XAxisTitle.Text, "Distance");
  EXPECT_EQ(parts.XAxisTitle.Size, 24);
  EXPECT_EQ(parts.XAxis.MajorCount, 11);
  EXPECT_EQ(parts.XAxis.AxisPen, (plat::Pen{0x008000, plat::PenStyle::Dash, 4}));
  EXPECT_EQ(parts.XAxis.RefLinePen, (plat::Pen{0x800000, plat::PenStyle::Dot, 6}));
  EXPECT_EQ(parts.XAxis.Min, -2);
  EXPECT_EQ(parts.XAxis.Max, 8);
}

TEST_F(AxisOptions, EachChangeAppliesOnceAndValuesOutOfLimitsAreNotTaken) {
  TbmAxisOptions options = Options();
  const plat::Pen pen = parts.XAxis.AxisPen;
  for (int width : {0, 9, -1}) {
    options.SetAxisPenWidth(width);
    options.SetRefLinePenWidth(width);
  }
  EXPECT_EQ(parts.XAxis.AxisPen, pen);
  EXPECT_EQ(applied, 0);
  options.SetAxisPenWidth(8);
  options.SetRefLinePenWidth(1);
  EXPECT_EQ(parts.XAxis.AxisPen.width, 8);
  EXPECT_EQ(parts.XAxis.RefLinePen.width, 1);
  EXPECT_EQ(applied, 2);

  // The title applies only when its text changed.
  options.SetTitleText(parts.XAxisTitle.Text);
  EXPECT_EQ(applied, 2);
  options.SetTitleText("Other");
  EXPECT_EQ(applied, 3);

  // Style codes: 1 dotted, 2 dashed, anything else solid.
  const struct {
    int code;
    plat::PenStyle style;
  } styles[] = {{0, plat::PenStyle::Solid},
                {1, plat::PenStyle::Dot},
                {2, plat::PenStyle::Dash},
                {-1, plat::PenStyle::Solid},
                {3, plat::PenStyle::Solid}};
  for (const auto& s : styles) {
    options.SetAxisPenStyle(s.code);
    EXPECT_EQ(parts.XAxis.AxisPen.style, s.style) << s.code;
  }
}

TEST(AxisControls, IntervalLabelsLeaveOnlyWhatTheAxisStillHas) {
  const struct {
    const char* name;
    bool isX, intervalLabels;
    TbmAxisControlsEnabled want;
  } cases[] = {
      {"X axis with scale numbers", true, false, {true, true, true}},
      {"Y axis with scale numbers", false, false, {true, true, true}},
      {"X axis with interval labels keeps the major tick length and side", true, true, {false, true, false}},
      {"Y axis with interval labels", false, true, {false, false, false}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TbmAxisClass axis(c.isX);
    axis.IntervalLabels = c.intervalLabels;
    const TbmAxisControlsEnabled got = AxisControlsEnabled(axis);
    EXPECT_EQ(got.ScaleAndTickCounts, c.want.ScaleAndTickCounts);
    EXPECT_EQ(got.MajorLengthAndInside, c.want.MajorLengthAndInside);
    EXPECT_EQ(got.MinorLengthRefLinesRange, c.want.MinorLengthRefLinesRange);
  }
}

}  // namespace
