// The rules behind the measure dialog and the main plot options dialog,
// without windows: lengths shown and typed in inches, millimetres and points,
// the units shared between measure dialogs, font sizes from points, and the
// main options' live changes with Cancel putting back exactly the backup.

#include <gtest/gtest.h>

#include <string>

#include "matrix/Constu.h"
#include "plot/bmMainOptions.h"
#include "plot/bmMeasure.h"

namespace {

// Each test starts from the units the program starts with.
class MeasureRules : public ::testing::Test {
 protected:
  void SetUp() override { SharedMeasureUnits() = bmInches; }
  void TearDown() override { SharedMeasureUnits() = bmInches; }
};

TEST_F(MeasureRules, ShowsALengthInEachUnits) {
  struct Case {
    int length;
    int units;
    const char* shown;
  } const cases[] = {
      {50, bmInches, "0.50"},  {50, bmMillimeters, "13"}, {50, bmPoints, "36"},         {5, bmInches, "0.05"},
      {8, bmMillimeters, "2"}, {0, bmPoints, "0"},        {1000, bmMillimeters, "254"}, {50, -1, "50"},
      {50, 3, "50"},  // no units chosen: the stored integer
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MeasureText(c.length, c.units), c.shown) << c.length << " in units " << c.units;
  }
}

TEST_F(MeasureRules, TakesATypedValueAsHundredthsOfAnInch) {
  struct Case {
    const char* typed;
    int units;
    int stored;
  } const cases[] = {
      {"10", bmMillimeters, 39},  // Round(10 / 25.4 * 100) = Round(39.37)
      {"0.5", bmInches, 50},
      {"0.125", bmInches, 12},  // 12.5: halves to even
      {"36", bmPoints, 50},
      {"0", bmInches, 0},
      {"21474836.47", bmInches, 2147483647},  // the largest length kept
      {"7", -1, 33},                          // no units chosen: the length stays
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MeasureFromText(c.typed, c.units, 33), c.stored) << c.typed << " in units " << c.units;
  }
}

TEST_F(MeasureRules, RefusesWhatIsNoLengthWithTheFieldsMessage) {
  struct Case {
    const char* typed;
    int units;
  } const cases[] = {
      {"abc", bmInches},         {"", bmPoints},
      {"-0.01", bmInches},       {"-3", bmMillimeters},
      {"21474836.48", bmInches},  // rounds past the largest length
      {"1e300", bmPoints},       {"545500000", bmMillimeters},
  };
  for (const Case& c : cases) {
    try {
      MeasureFromText(c.typed, c.units, 33);
      ADD_FAILURE() << "'" << c.typed << "' was taken";
    } catch (const E_Morvapc& e) {
      EXPECT_STREQ(e.what(), "Invalid value for value") << c.typed;
    }
  }
}

TEST_F(MeasureRules, TheUnitsAreSharedOnlyWhenTheLengthChanged) {
  int length = 50;
  EXPECT_FALSE(TakeMeasure(length, 50, bmMillimeters));
  EXPECT_EQ(SharedMeasureUnits(), bmInches) << "the value was left as it was";
  EXPECT_TRUE(TakeMeasure(length, 39, bmMillimeters));
  EXPECT_EQ(length, 39);
  EXPECT_EQ(SharedMeasureUnits(), bmMillimeters);
  EXPECT_FALSE(TakeMeasure(length, 39, bmPoints));
  EXPECT_EQ(SharedMeasureUnits(), bmMillimeters);
}

TEST_F(MeasureRules, FontSizesGoBetweenPointsAndHundredthsOfAnInch) {
  EXPECT_EQ(FontPointsOfSize(22), 16);
  EXPECT_EQ(FontPointsOfSize(19), 14);
  struct Case {
    int points;
    std::optional<int> size;
  } const cases[] = {
      {16, 22},
      {14, 19},
      {-12, 17},
      {0, 0},
      {1546188226, 2147483647},  // the largest size kept
      {1546188227, std::nullopt},
      {2147483647, std::nullopt},
      {-2147483647 - 1, std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(FontSizeOfPoints(c.points), c.size) << c.points << " points";
}

// ---- Main options ----

// Options over a parts object, counting the redraws the changes ask for.
struct LiveOptions {
  LiveOptions() { parts.Legend.EntryCount = 2; }
  TbmMainPlotOptions& Open() {
    options = std::make_unique<TbmMainPlotOptions>(parts, [this] { ++applied; });
    return *options;
  }
  TbmPlot2DPlotPartsClass parts;
  std::unique_ptr<TbmMainPlotOptions> options;
  int applied = 0;
};

// Changes every field the backup holds, and some it does not hold.
void ChangeEverything(TbmPlot2DPlotPartsClass& p) {
  p.MarginColor = 0x0000FF;
  p.InnerMarginColor = 0x00FF00;
  p.PlotAreaColor = 0xFF0000;
  p.FramePen = {0x123456, plat::PenStyle::Dash, 3};
  p.CenterPlot = false;
  p.ShowFrame = false;
  p.TopMargin.Size = 40;
  p.BottomMargin.Size = 41;
  p.LeftMargin.Size = 42;
  p.RightMargin.Size = 43;
  for (TbmLabelClass* label : {&p.Title, &p.SubTitle, &p.XAxisTitle, &p.YAxisTitle}) {
    label->Text += " changed";
    label->Font.name = "Courier";
    label->Size += 7;
  }
  for (TbmAxisClass* axis : {&p.XAxis, &p.YAxis}) {
    axis->ShowScale = false;
    axis->ScaleWidth = 9;
    axis->ScaleDecimals = 4;
    axis->ScaleFont.name = "Courier";
    axis->ScaleFontSize = 30;
    axis->TicksInside = true;
    axis->MajorCount = 2;
    axis->MajorLength = 20;
    axis->MinorCount = 1;
    axis->MinorLength = 11;
    axis->RefLineCount = 3;
    axis->RefLinePen.color = 0x00AAAA;
    axis->AxisPen.width = 4;
  }
  p.Legend.Show = false;
  p.Legend.Font.name = "Courier";
  p.Legend.FontSize = 33;
  p.Legend.Placement = bmLegendLeft;
  p.Legend.EntryCount = 9;
  p.Legend.Background = true;
  p.PrintPreview = true;
  p.PageWidth = 8.5;
  p.PageHeight = 11;
  p.PageOrientation = 0;
}

TEST(MainOptionsRules, CancelPutsBackExactlyWhatTheBackupHolds) {
  LiveOptions live;
  live.parts.XAxis.Max = 10;
  const TbmPlot2DPlotPartsClass before = live.parts;
  TbmMainPlotOptions& options = live.Open();
  ChangeEverything(live.parts);
  // Outside the backup: these stay as changed.
  live.parts.PreserveAspect = true;
  live.parts.XAxis.Autoscale = false;
  live.parts.XAxis.Min = -4;
  live.parts.YAxis.Max = 7;
  live.parts.InnerMargin.Size = 12;
  options.Close();

  TbmPlot2DPlotPartsClass expected = before;
  expected.PreserveAspect = true;
  expected.XAxis.Autoscale = false;
  expected.XAxis.Min = -4;
  expected.YAxis.Max = 7;
  expected.InnerMargin.Size = 12;
  const auto& p = live.parts;
  EXPECT_EQ(p.MarginColor, expected.MarginColor);
  EXPECT_EQ(p.InnerMarginColor, expected.InnerMarginColor);
  EXPECT_EQ(p.PlotAreaColor, expected.PlotAreaColor);
  EXPECT_EQ(p.FramePen, expected.FramePen);
  EXPECT_EQ(p.CenterPlot, expected.CenterPlot);
  EXPECT_EQ(p.ShowFrame, expected.ShowFrame);
  EXPECT_EQ(p.PreserveAspect, expected.PreserveAspect);
  for (auto margin : {&TbmPlot2DPlotPartsClass::TopMargin, &TbmPlot2DPlotPartsClass::BottomMargin,
                      &TbmPlot2DPlotPartsClass::LeftMargin, &TbmPlot2DPlotPartsClass::RightMargin,
                      &TbmPlot2DPlotPartsClass::InnerMargin}) {
    EXPECT_EQ((p.*margin).Size, (expected.*margin).Size);
  }
  for (auto label : {&TbmPlot2DPlotPartsClass::Title, &TbmPlot2DPlotPartsClass::SubTitle,
                     &TbmPlot2DPlotPartsClass::XAxisTitle, &TbmPlot2DPlotPartsClass::YAxisTitle}) {
    EXPECT_EQ((p.*label).Text, (expected.*label).Text);
    EXPECT_EQ((p.*label).Font, (expected.*label).Font);
    EXPECT_EQ((p.*label).Size, (expected.*label).Size);
  }
  for (auto axis : {&TbmPlot2DPlotPartsClass::XAxis, &TbmPlot2DPlotPartsClass::YAxis}) {
    const TbmAxisClass& a = p.*axis;
    const TbmAxisClass& e = expected.*axis;
    EXPECT_EQ(a.ShowScale, e.ShowScale);
    EXPECT_EQ(a.ScaleWidth, e.ScaleWidth);
    EXPECT_EQ(a.ScaleDecimals, e.ScaleDecimals);
    EXPECT_EQ(a.ScaleFont, e.ScaleFont);
    EXPECT_EQ(a.ScaleFontSize, e.ScaleFontSize);
    EXPECT_EQ(a.TicksInside, e.TicksInside);
    EXPECT_EQ(a.MajorCount, e.MajorCount);
    EXPECT_EQ(a.MajorLength, e.MajorLength);
    EXPECT_EQ(a.MinorCount, e.MinorCount);
    EXPECT_EQ(a.MinorLength, e.MinorLength);
    EXPECT_EQ(a.RefLineCount, e.RefLineCount);
    EXPECT_EQ(a.RefLinePen, e.RefLinePen);
    EXPECT_EQ(a.AxisPen, e.AxisPen);
    EXPECT_EQ(a.Autoscale, e.Autoscale);
    EXPECT_EQ(a.Min, e.Min);
    EXPECT_EQ(a.Max, e.Max);
  }
  EXPECT_EQ(p.Legend.Show, expected.Legend.Show);
  EXPECT_EQ(p.Legend.Font, expected.Legend.Font);
  EXPECT_EQ(p.Legend.FontSize, expected.Legend.FontSize);
  EXPECT_EQ(p.Legend.Placement, expected.Legend.Placement);
  EXPECT_EQ(p.Legend.EntryCount, expected.Legend.EntryCount);
  EXPECT_EQ(p.Legend.Background, expected.Legend.Background);
  EXPECT_EQ(p.PrintPreview, expected.PrintPreview);
  EXPECT_EQ(p.PageWidth, expected.PageWidth);
  EXPECT_EQ(p.PageHeight, expected.PageHeight);
  EXPECT_EQ(p.PageOrientation, expected.PageOrientation);
  EXPECT_EQ(live.applied, 1) << "closing redraws once";
}

TEST(MainOptionsRules, OkKeepsTheChanges) {
  LiveOptions live;
  TbmMainPlotOptions& options = live.Open();
  options.SetCenter(false);
  options.SetColor(TbmPlotColor::PlotArea, 0x00FFFF);
  options.MarginSize(TbmMarginSide::Left) = 77;
  options.PressOk();
  options.Close();
  EXPECT_FALSE(live.parts.CenterPlot);
  EXPECT_EQ(live.parts.PlotAreaColor, 0x00FFFFu);
  EXPECT_EQ(live.parts.LeftMargin.Size, 77);
  EXPECT_EQ(live.applied, 3);
}

TEST(MainOptionsRules, EachControlChangesItsPartAndRedrawsOnce) {
  using Parts = TbmPlot2DPlotPartsClass;
  struct Case {
    const char* control;
    void (*change)(TbmMainPlotOptions&);
    bool (*changed)(const Parts&);
  } const cases[] = {
      {"center", [](TbmMainPlotOptions& o) { o.SetCenter(false); }, [](const Parts& p) { return !p.CenterPlot; }},
      {"frame shown", [](TbmMainPlotOptions& o) { o.SetShowFrame(false); },
       [](const Parts& p) { return !p.ShowFrame; }},
      {"preserve aspect", [](TbmMainPlotOptions& o) { o.SetPreserveAspect(true); },
       [](const Parts& p) { return p.PreserveAspect; }},
      {"frame width", [](TbmMainPlotOptions& o) { o.SetFrameWidth(8); },
       [](const Parts& p) { return p.FramePen.width == 8; }},
      {"frame dotted", [](TbmMainPlotOptions& o) { o.SetFrameStyle(1); },
       [](const Parts& p) { return p.FramePen.style == plat::PenStyle::Dot; }},
      {"frame dashed", [](TbmMainPlotOptions& o) { o.SetFrameStyle(2); },
       [](const Parts& p) { return p.FramePen.style == plat::PenStyle::Dash; }},
      {"legend shown", [](TbmMainPlotOptions& o) { o.SetLegendShow(false); },
       [](const Parts& p) { return !p.Legend.Show; }},
      {"legend placement", [](TbmMainPlotOptions& o) { o.SetLegendPlacement(bmLegendTop); },
       [](const Parts& p) { return p.Legend.Placement == bmLegendTop; }},
      {"margin colour", [](TbmMainPlotOptions& o) { o.SetColor(TbmPlotColor::Margin, 0x0000AA); },
       [](const Parts& p) { return p.MarginColor == 0x0000AAu; }},
      {"inner margin colour", [](TbmMainPlotOptions& o) { o.SetColor(TbmPlotColor::InnerMargin, 0x0000AA); },
       [](const Parts& p) { return p.InnerMarginColor == 0x0000AAu; }},
      {"frame colour", [](TbmMainPlotOptions& o) { o.SetColor(TbmPlotColor::Frame, 0x0000AA); },
       [](const Parts& p) { return p.FramePen.color == 0x0000AAu; }},
      {"legend font",
       [](TbmMainPlotOptions& o) {
         o.SetLegendFont({"Courier", 8, 0, 0, 0}, 25);
       },
       [](const Parts& p) { return p.Legend.Font.name == "Courier" && p.Legend.FontSize == 25; }},
  };
  for (const Case& c : cases) {
    LiveOptions live;
    TbmMainPlotOptions& options = live.Open();
    options.Loading = true;
    c.change(options);
    EXPECT_FALSE(c.changed(live.parts)) << c.control << " changed while the controls were loading";
    EXPECT_EQ(live.applied, 0) << c.control;
    options.Loading = false;
    c.change(options);
    EXPECT_TRUE(c.changed(live.parts)) << c.control;
    EXPECT_EQ(live.applied, 1) << c.control;
  }
}

TEST(MainOptionsRules, FrameWidthsOutsideTheSpinsLimitsAndTheSamePlacementChangeNothing) {
  LiveOptions live;
  TbmMainPlotOptions& options = live.Open();
  for (int width : {0, -1, 9, 100}) options.SetFrameWidth(width);
  EXPECT_EQ(live.parts.FramePen.width, 1);
  options.SetLegendPlacement(bmLegendRight);
  EXPECT_EQ(live.applied, 0);
  options.SetFrameWidth(1);
  EXPECT_EQ(live.applied, 1);
}

TEST(MainOptionsRules, TheControlsStartFromTheParts) {
  LiveOptions live;
  EXPECT_TRUE(live.Open().LegendEnabled());
  live.parts.Legend.EntryCount = 0;
  EXPECT_FALSE(live.Open().LegendEnabled()) << "the last legend layout counted no entries";
  struct Case {
    plat::PenStyle style;
    int index;
  } const cases[] = {
      {plat::PenStyle::Solid, 0}, {plat::PenStyle::Dot, 1}, {plat::PenStyle::Dash, 2}, {plat::PenStyle::Clear, 0}};
  for (const Case& c : cases) {
    live.parts.FramePen.style = c.style;
    EXPECT_EQ(live.Open().FrameStyleIndex(), c.index);
  }
}

}  // namespace
