// Layout of the plot parts for a device size. Expected rectangles are worked
// by hand from the layout rules and the recording canvas's fixed metrics
// (a font of s points is Round(s x dpi / 72) pixels high, characters half
// that wide). Fonts: title 22 -> 16 pt, other titles and the legend
// 19 -> 14 pt, scale numbers 17 -> 12 pt.

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "FpTraps.h"
#include "PlotFixture.h"

namespace {

using plat::Rect;

constexpr double kInfinity = std::numeric_limits<double>::infinity();

struct LayoutCase {
  const char* name;
  int dpi, width, height;
  Rect top, bottom, left, right, title, subtitle, xTitle, xAxis, yTitle, yAxis, plot;
};

// 96 dpi: margins 5 px, ticks 8 and 5 px, heights 21/19/16, char widths 10/9/8.
// 300 dpi: margins 15, ticks 24/15, heights 67/58/50, widths 33/29/25.
// 600 dpi: margins 30, ticks 48/30, heights 133/117/100, widths 66/58/50.
const LayoutCase kLayouts[] = {
    {"screen 96 dpi",
     96,
     640,
     480,
     {0, 0, 640, 5},
     {0, 474, 640, 480},
     {0, 6, 5, 473},
     {634, 6, 640, 473},
     {137, 6, 500, 27},
     {137, 28, 500, 47},
     {137, 454, 500, 473},
     {137, 429, 500, 453},
     {6, 48, 87, 428},
     {88, 48, 136, 428},
     {137, 48, 500, 428}},
    {"printer 300 dpi",
     300,
     3300,
     2550,
     {0, 0, 3300, 15},
     {0, 2534, 3300, 2550},
     {0, 16, 15, 2533},
     {3284, 16, 3300, 2533},
     {428, 16, 2869, 83},
     {428, 84, 2869, 142},
     {428, 2475, 2869, 2533},
     {428, 2399, 2869, 2474},
     {16, 143, 277, 2398},
     {278, 143, 427, 2398},
     {428, 143, 2869, 2398}},
    {"printer 600 dpi",
     600,
     6600,
     5100,
     {0, 0, 6600, 30},
     {0, 5069, 6600, 5100},
     {0, 31, 30, 5068},
     {6569, 31, 6600, 5068},
     {853, 31, 5744, 164},
     {853, 165, 5744, 282},
     {853, 4951, 5744, 5068},
     {853, 4800, 5744, 4950},
     {31, 283, 553, 4799},
     {554, 283, 852, 4799},
     {853, 283, 5744, 4799}},
};

TEST(PlotLayout, PartsAtScreenAndPrinterResolutions) {
  for (const LayoutCase& c : kLayouts) {
    SCOPED_TRACE(c.name);
    FpTraps traps;
    PlotOnRecorder plot(c.dpi, c.width, c.height);
    const auto& p = plot.parts();
    EXPECT_FALSE(plot.box->Degraded());
    EXPECT_EQ(p.TopMargin.Rect, c.top);
    EXPECT_EQ(p.BottomMargin.Rect, c.bottom);
    EXPECT_EQ(p.LeftMargin.Rect, c.left);
    EXPECT_EQ(p.RightMargin.Rect, c.right);
    EXPECT_EQ(p.Title.Rect, c.title);
    EXPECT_EQ(p.SubTitle.Rect, c.subtitle);
    EXPECT_EQ(p.XAxisTitle.Rect, c.xTitle);
    EXPECT_EQ(p.XAxis.Rect, c.xAxis);
    EXPECT_EQ(p.YAxisTitle.Rect, c.yTitle);
    EXPECT_EQ(p.YAxis.Rect, c.yAxis);
    EXPECT_EQ(p.PlotArea.Rect, c.plot);
  }
}

TEST(PlotLayout, LayoutLeavesTheCanvasFontAsItWas) {
  PlotOnRecorder plot(96, 640, 480);
  plat::Font font;
  font.name = "Courier";
  font.size = 31;
  plot.canvas.SetFont(font);
  plot.box->Layout(640, 480);
  EXPECT_EQ(plot.canvas.GetFont(), font);
}

struct AxisStripCase {
  const char* name;
  bool ticksInside;
  int majorCount;
  bool showScale;
  int xAxisTop;    // the X axis line stays at 453
  int yAxisRight;  // the Y axis strip starts at 88
};

// Scale numbers are 16 px high and the widest Y number "1.00 " is 40 px
// (the suffix blank included); the major tick is 8 px, the minor 5 px.
const AxisStripCase kAxisStrips[] = {
    {"outward ticks with scale", false, 5, true, 429, 136},
    {"inward ticks with scale", true, 5, true, 429, 128},
    {"outward ticks without scale", false, 5, false, 445, 96},
    {"no major ticks: minor length", false, 0, true, 448, 133},
    {"inward, no major ticks", true, 0, false, 453, 88},
};

TEST(PlotLayout, AxisStripsFollowTicksAndScale) {
  FpTraps traps;
  for (const AxisStripCase& c : kAxisStrips) {
    SCOPED_TRACE(c.name);
    PlotOnRecorder plot(96, 640, 480);
    for (TbmAxisClass* a : {&plot.parts().XAxis, &plot.parts().YAxis}) {
      a->TicksInside = c.ticksInside;
      a->MajorCount = c.majorCount;
      a->ShowScale = c.showScale;
    }
    plot.box->Layout(640, 480);
    EXPECT_EQ(plot.parts().XAxis.Rect.top, c.xAxisTop);
    EXPECT_EQ(plot.parts().XAxis.Rect.bottom, 453);
    EXPECT_EQ(plot.parts().YAxis.Rect.left, 88);
    EXPECT_EQ(plot.parts().YAxis.Rect.right, c.yAxisRight);
  }
}

TEST(PlotLayout, WithoutCentringThePlotTakesTheWidth) {
  PlotOnRecorder plot(96, 640, 480);
  plot.parts().CenterPlot = false;
  plot.box->Layout(640, 480);
  EXPECT_EQ(plot.parts().PlotArea.Rect, (Rect{137, 48, 633, 428}));
  EXPECT_EQ(plot.parts().Title.Rect, (Rect{137, 6, 633, 27}));
}

struct LegendCase {
  const char* name;
  std::uint8_t placement;
  Rect legend, plot, yAxis, xAxis;
};

// Legend font 14 pt: text height 19, mean character width c = 9. Symbol half
// size 3 px; samples: symbol 4*3+3c = 39, line with symbol 6*3+3c = 45, line
// and bar the width of "XXXXXX" = 54. Widest text "Line" 36: entry width 90,
// row height 19, four entries. A vertical legend is 90 + c = 99 wide; one
// row across the 523-pixel plot of an 800 x 480 window holds 5 entries.
const LegendCase kLegends[] = {
    {"right", bmLegendRight, {660, 48, 759, 428}, {137, 48, 659, 428}, {88, 48, 136, 428}, {137, 429, 659, 453}},
    {"left", bmLegendLeft, {6, 48, 105, 428}, {237, 48, 561, 428}, {188, 48, 236, 428}, {237, 429, 561, 453}},
    {"top", bmLegendTop, {137, 48, 660, 67}, {137, 68, 660, 428}, {88, 68, 136, 428}, {137, 429, 660, 453}},
    {"bottom", bmLegendBottom, {137, 454, 660, 473}, {137, 48, 660, 408}, {88, 48, 136, 408}, {137, 409, 660, 433}},
};

TEST(PlotLayout, LegendPlacements) {
  const TbmStyleList styles = MakeLegendStyles();
  for (const LegendCase& c : kLegends) {
    SCOPED_TRACE(c.name);
    FpTraps traps;
    PlotOnRecorder plot(96, 800, 480);
    auto& lg = plot.parts().Legend;
    lg.Styles = &styles;
    lg.Display = true;
    lg.Placement = c.placement;
    plot.box->Layout(800, 480);
    EXPECT_EQ(lg.EntryCount, 4);
    EXPECT_EQ(lg.SampleWidth, 54);
    EXPECT_EQ(lg.EntryWidth, 90);
    EXPECT_EQ(lg.RowHeight, 19);
    EXPECT_EQ(lg.TotalRowHeight, 76);
    EXPECT_EQ(lg.Rect, c.legend);
    EXPECT_EQ(plot.parts().PlotArea.Rect, c.plot);
    EXPECT_EQ(plot.parts().YAxis.Rect, c.yAxis);
    EXPECT_EQ(plot.parts().XAxis.Rect, c.xAxis);
  }
}

TEST(PlotLayout, LegendIsLeftOutUnlessShownSwitchedOnAndNotEmpty) {
  const TbmStyleList styles = MakeLegendStyles();
  TbmStyleList uncounted;
  uncounted.push_back({1, "text", TbmTextClass{}});
  struct {
    const char* name;
    bool show, display;
    const TbmStyleList* list;
  } cases[] = {{"hidden", false, true, &styles},
               {"not switched on", true, false, &styles},
               {"no list", true, true, nullptr},
               {"no counted entry", true, true, &uncounted}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FpTraps traps;
    for (std::uint8_t placement : {bmLegendTop, bmLegendBottom, bmLegendRight, bmLegendLeft}) {
      PlotOnRecorder plot(96, 640, 480);
      auto& lg = plot.parts().Legend;
      lg.Show = c.show;
      lg.Display = c.display;
      lg.Styles = c.list;
      lg.Placement = placement;
      plot.box->Layout(640, 480);
      EXPECT_EQ(plot.parts().PlotArea.Rect, (Rect{137, 48, 500, 428}));
      EXPECT_FALSE(plot.box->LegendActive());
    }
  }
}

TEST(PlotLayout, VerticalLegendStartsNewColumnsWhenThePlotIsShort) {
  FpTraps traps;
  TbmStyleList styles;
  for (int i = 1; i <= 12; ++i) {
    TbmLineClass line;
    line.InLegend = true;
    styles.push_back({i, "L", line});
  }
  PlotOnRecorder plot(96, 640, 300);
  auto& lg = plot.parts().Legend;
  lg.Styles = &styles;
  lg.Display = true;
  plot.box->Layout(640, 300);
  // Plot height 248 - 48 = 200 holds 10 rows of 19: two columns of 54 + 9.
  EXPECT_EQ(lg.EntryWidth, 63);
  EXPECT_EQ(lg.Rect.Width(), 2 * 63 + 9);
}

TEST(PlotLayout, LegendRowWiderThanThePlotHoldsOneEntryPerRow) {
  FpTraps traps;
  TbmStyleList styles = MakeLegendStyles();
  std::get<TbmLineClass>(styles.front().Part).InLegend = true;
  styles.front().LegendText = std::string(60, 'W');  // 540 px of text, plot 363 px
  PlotOnRecorder plot(96, 640, 480);
  auto& lg = plot.parts().Legend;
  lg.Styles = &styles;
  lg.Display = true;
  lg.Placement = bmLegendTop;
  plot.box->Layout(640, 480);
  EXPECT_GT(lg.EntryWidth, 363);
  EXPECT_EQ(lg.Rect, (Rect{137, 48, 500, 48 + 4 * 19}));
}

TEST(PlotLayout, TooSmallWindowDegradesToAThinFrame) {
  FpTraps traps;
  PlotOnRecorder plot(96, 100, 80);
  EXPECT_TRUE(plot.box->Degraded());
  const auto& p = plot.parts();
  EXPECT_EQ(p.TopMargin.Rect, (Rect{0, 0, 100, 5}));
  EXPECT_EQ(p.BottomMargin.Rect, (Rect{0, 74, 100, 80}));
  EXPECT_EQ(p.RightMargin.Rect, (Rect{94, 6, 100, 73}));
  EXPECT_EQ(p.Title.Rect, (Rect{6, 6, 93, 10}));
  EXPECT_EQ(p.XAxisTitle.Rect, (Rect{6, 69, 93, 73}));
  EXPECT_EQ(p.YAxisTitle.Rect, (Rect{6, 11, 10, 68}));
  EXPECT_EQ(p.PlotArea.Rect, (Rect{11, 11, 88, 68}));
  EXPECT_EQ(p.XAxis.Rect, (Rect{11, 68, 88, 68}));
  EXPECT_EQ(p.YAxis.Rect, (Rect{11, 11, 11, 68}));
  // Growing the window again gives the full layout back.
  plot.box->Layout(640, 480);
  EXPECT_FALSE(plot.box->Degraded());
}

TEST(PlotLayout, ANewPaintBoxIsDegradedUntilALayoutFits) {
  PlotOnRecorder plot(96, 0, 0);
  EXPECT_TRUE(plot.box->Degraded());
}

struct AspectCase {
  const char* name;
  double xMax, yMax;
  int width, height;
};

// Equal scale: one world unit has the same length on both axes, and the plot
// stays centred where it was laid out.
const AspectCase kAspects[] = {
    {"X range 10, Y range 5, square plot", 10, 5, 677, 500},
    {"X range 1, Y range 4, wide plot", 1, 4, 640, 480},
    {"X range 100, Y range 1, tall plot", 100, 1, 500, 900},
};

TEST(PlotLayout, PreserveAspectGivesEqualScale) {
  for (const AspectCase& c : kAspects) {
    SCOPED_TRACE(c.name);
    FpTraps traps;
    PlotOnRecorder plot(96, c.width, c.height);
    auto& p = plot.parts();
    p.XAxis.SetMax(c.xMax);
    p.YAxis.SetMax(c.yMax);
    plot.box->Layout(c.width, c.height);
    const Rect before = p.PlotArea.Rect;
    p.PreserveAspect = true;
    plot.box->Layout(c.width, c.height);
    const Rect& after = p.PlotArea.Rect;
    const double w = after.right - after.left;
    const double h = after.bottom - after.top;
    EXPECT_NEAR(w / h, c.xMax / c.yMax, 2.0 * (c.xMax / c.yMax) / std::min(w, h));
    EXPECT_EQ(after.left - before.left, before.right - after.right);
    EXPECT_EQ(after.top - before.top, before.bottom - after.bottom);
    EXPECT_EQ(p.XAxis.Rect.left, after.left);
    EXPECT_EQ(p.XAxis.Rect.right, after.right);
    EXPECT_EQ(p.YAxis.Rect.right + 1, after.left);
    EXPECT_EQ(p.XAxis.Rect.top, after.bottom + 1);
  }
}

TEST(PlotLayout, SquarePlotWithRangesTenAndFiveBecomesTwiceAsWideAsHigh) {
  FpTraps traps;
  PlotOnRecorder plot(96, 677, 500);
  auto& p = plot.parts();
  p.XAxis.SetMax(10);
  p.YAxis.SetMax(5);
  plot.box->Layout(677, 500);
  ASSERT_EQ(p.PlotArea.Rect.right - p.PlotArea.Rect.left, p.PlotArea.Rect.bottom - p.PlotArea.Rect.top);
  const int side = p.PlotArea.Rect.right - p.PlotArea.Rect.left;
  p.PreserveAspect = true;
  plot.box->Layout(677, 500);
  // A 400-pixel square: dy = Round(400 / 4) at each end.
  ASSERT_EQ(side, 400);
  const int dy = 100;
  EXPECT_EQ(p.PlotArea.Rect.bottom - p.PlotArea.Rect.top, side - 2 * dy);
  EXPECT_EQ(p.PlotArea.Rect.right - p.PlotArea.Rect.left, side);
}

// Ranges that would divide by zero or make no ratio: equal levels, a reversed
// X range from the window's setters, constant data on both axes.
TEST(PlotLayout, PreserveAspectSurvivesDegenerateRanges) {
  struct {
    const char* name;
    double xMin, xMax, yMin, yMax;
  } cases[] = {{"equal Y levels", 0, 10, 3, 3},
               {"equal X levels", 4, 4, 0, 1},
               {"X range below zero", 10, 0, 0, 5},
               {"infinite X", 0, kInfinity, 0, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FpTraps traps;
    PlotOnRecorder plot(96, 640, 480);
    auto& p = plot.parts();
    p.PreserveAspect = true;
    p.XAxis.Min = c.xMin;
    p.XAxis.Max = c.xMax;
    p.YAxis.Min = c.yMin;
    p.YAxis.Max = c.yMax;
    plot.box->Layout(640, 480);
    EXPECT_LE(p.PlotArea.Rect.left, p.PlotArea.Rect.right);
    EXPECT_LE(p.PlotArea.Rect.top, p.PlotArea.Rect.bottom);
  }
}

struct PreviewCase {
  const char* name;
  double pageWidth, pageHeight;
  int width, height;
  int newWidth, newHeight;
  bool resized;
};

// A landscape page 11 x 8.5 inches at 96 dpi: a 400-pixel-wide window is
// 309 pixels high at the page's ratio.
const PreviewCase kPreviews[] = {
    {"taller window reduced in height", 11, 8.5, 400, 400, 400, 309, true},
    {"difference of 3 pixels reduced", 11, 8.5, 400, 312, 400, 309, true},
    {"difference of 2 pixels left alone", 11, 8.5, 400, 311, 400, 311, false},
    {"wider window reduced in width", 11, 8.5, 600, 309, 400, 309, true},
    {"page of size 0 leaves the window", 0, 0, 400, 400, 400, 400, false},
    {"page without height leaves the window", 11, 0, 400, 400, 400, 400, false},
};

TEST(PlotLayout, PrintPreviewFitsTheWindowToThePage) {
  for (const PreviewCase& c : kPreviews) {
    SCOPED_TRACE(c.name);
    FpTraps traps;
    PlotOnRecorder plot(96, c.width, c.height);
    auto& p = plot.parts();
    p.PrintPreview = true;
    p.PageWidth = c.pageWidth;
    p.PageHeight = c.pageHeight;
    bool resized = false;
    plot.box->OnSetClientSize = [&](int, int) { resized = true; };
    plot.box->Layout(c.width, c.height);
    EXPECT_EQ(resized, c.resized);
    EXPECT_EQ(plot.box->ClientWidth(), c.newWidth);
    EXPECT_EQ(plot.box->ClientHeight(), c.newHeight);
  }
}

TEST(PlotLayout, PrintPreviewScalesLengthsToThePage) {
  FpTraps traps;
  // A 528 x 408 window shows an 11 x 8.5 inch page at half size (48 of 96 dpi).
  PlotOnRecorder plot(96, 528, 408);
  auto& p = plot.parts();
  p.PrintPreview = true;
  p.PageWidth = 11;
  p.PageHeight = 8.5;
  plot.box->Layout(528, 408);
  EXPECT_DOUBLE_EQ(plot.box->ScaleX(), 0.5);
  EXPECT_DOUBLE_EQ(plot.box->ScaleY(), 0.5);
  EXPECT_EQ(p.TopMargin.PixelSize, 2);  // Round(5 x 0.5 x 0.01 x 96) = Round(2.4)
  EXPECT_EQ(p.Title.Font.size, 8);      // Round(22 x 0.5 x 0.72) = Round(7.92)
  EXPECT_EQ(p.XAxis.MajorPixels, 4);    // Round(8 x 0.5 x 0.96) = Round(3.84)
  // Printing turns the page scale off.
  plot.box->Printing = true;
  plot.box->Layout(1056, 816);
  EXPECT_DOUBLE_EQ(plot.box->ScaleX(), 1);
  EXPECT_EQ(p.Title.Font.size, 16);
}

}  // namespace
