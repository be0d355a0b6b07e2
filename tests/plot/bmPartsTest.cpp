// The plot model: defaults, restoring them, axis bounds, the world span that
// never divides by zero, world-to-device mapping and scale numbers.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "FpTraps.h"
#include "plot/bmParts.h"

namespace {

TEST(PlotParts, NewPartsCarryTheDefaults) {
  TbmPlot2DPlotPartsClass p;
  EXPECT_EQ(p.Title.Text, "PLOT TITLE");
  EXPECT_EQ(p.SubTitle.Text, "Plot Subtitle");
  EXPECT_EQ(p.XAxisTitle.Text, "X Label");
  EXPECT_EQ(p.YAxisTitle.Text, "Y Label");
  EXPECT_EQ(p.Title.Size, 22);
  EXPECT_EQ(p.SubTitle.Size, 19);
  EXPECT_EQ(p.Legend.FontSize, 19);
  EXPECT_EQ(p.Legend.Placement, bmLegendRight);
  EXPECT_TRUE(p.Legend.Show);
  EXPECT_FALSE(p.Legend.Display);
  EXPECT_EQ(p.Title.Font.name, "Times New Roman");
  EXPECT_TRUE(p.CenterPlot);
  EXPECT_TRUE(p.ShowFrame);
  EXPECT_FALSE(p.PreserveAspect);
  EXPECT_EQ(p.TopMargin.Size, 5);
  // Page 0 x 0, landscape, preview off: printing without a preview goes landscape.
  EXPECT_EQ(p.PageWidth, 0);
  EXPECT_EQ(p.PageHeight, 0);
  EXPECT_EQ(p.PageOrientation, 1);
  EXPECT_FALSE(p.PrintPreview);
}

TEST(PlotParts, AxisDefaultsDifferOnlyInTheSuffix) {
  TbmPlot2DPlotPartsClass p;
  EXPECT_EQ(p.XAxis.ScaleSuffix, "");
  EXPECT_EQ(p.YAxis.ScaleSuffix, " ");
  for (const TbmAxisClass* a : {&p.XAxis, &p.YAxis}) {
    EXPECT_EQ(a->Min, 0);
    EXPECT_EQ(a->Max, 1);
    EXPECT_EQ(a->Range, 1);
    EXPECT_EQ(a->MajorCount, 5);
    EXPECT_EQ(a->MinorCount, 4);
    EXPECT_EQ(a->MajorLength, 8);
    EXPECT_EQ(a->MinorLength, 5);
    EXPECT_EQ(a->ScaleFontSize, 17);
    EXPECT_EQ(a->ScaleDecimals, 2);
    EXPECT_TRUE(a->Autoscale);
    EXPECT_TRUE(a->ShowScale);
  }
}

TEST(PlotParts, StyleDefaults) {
  TbmSymbolClass symbol;
  EXPECT_EQ(symbol.Kind, bmCircle);
  EXPECT_EQ(symbol.Size, 6);
  EXPECT_EQ(symbol.Fill.color, plat::clWhite);
  EXPECT_EQ(symbol.Outline.color, plat::clBlack);
  TbmBarClass bar;
  EXPECT_EQ(bar.Hatch, (plat::Brush{plat::clBlack, plat::BrushStyle::FDiagonal}));
  EXPECT_EQ(bar.Background, (plat::Brush{plat::clWhite, plat::BrushStyle::Solid}));
  TbmQuadClass quad;
  EXPECT_EQ(quad.Hatch, (plat::Brush{0x808080, plat::BrushStyle::Solid}));
  EXPECT_EQ(quad.Background, quad.Hatch);
  TbmTextClass text;
  EXPECT_EQ(text.Size, 19);
  EXPECT_EQ(text.Alignment, 5);
  EXPECT_STREQ(bmSymbolNames[7], "Star");
  EXPECT_STREQ(bmFillStyleNames[1], "Forward Diag.");
}

TEST(PlotParts, RestoreDefaultsKeepsTextsRangesAndLegend) {
  TbmPlot2DPlotPartsClass p;
  p.Title.Text = "Mine";
  p.Title.Size = 40;
  p.XAxis.SetMax(50);
  p.XAxis.MajorCount = 9;
  p.YAxis.ScaleSuffix = "%";
  p.TopMargin.Size = 80;
  p.PlotAreaColor = 0x123456;
  p.PreserveAspect = true;
  p.PrintPreview = true;
  p.PageWidth = 11;
  p.Legend.Placement = bmLegendTop;
  p.RestoreDefaults();
  EXPECT_EQ(p.Title.Text, "Mine");
  EXPECT_EQ(p.Title.Size, 22);
  EXPECT_EQ(p.XAxis.Max, 50);
  EXPECT_EQ(p.XAxis.MajorCount, 5);
  EXPECT_EQ(p.YAxis.ScaleSuffix, " ");
  EXPECT_EQ(p.TopMargin.Size, 5);
  EXPECT_EQ(p.PlotAreaColor, plat::clWhite);
  EXPECT_FALSE(p.PreserveAspect);
  EXPECT_FALSE(p.PrintPreview);
  EXPECT_EQ(p.PageWidth, 0);
  EXPECT_EQ(p.Legend.Placement, bmLegendTop);
}

TEST(PlotAxis, SetMinAndSetMaxSwapCrossedBounds) {
  TbmAxisClass a(true);
  a.SetMin(5);  // maximum is 1
  EXPECT_EQ(a.Min, 1);
  EXPECT_EQ(a.Max, 5);
  EXPECT_EQ(a.Range, 4);
  a.SetMax(-3);
  EXPECT_EQ(a.Min, -3);
  EXPECT_EQ(a.Max, 1);
  EXPECT_EQ(a.Range, 4);
}

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct SpanCase {
  const char* name;
  double min, max;
  long double lo, hi;
};

// Zero and non-finite ranges are widened around the finite bound; a proper
// range, reversed ones included, is kept as it is.
const SpanCase kSpanCases[] = {
    {"proper", 2, 7, 2, 7},
    {"reversed", 7, 2, 7, 2},
    {"equal positive", 5, 5, 4.5L, 5.5L},
    {"equal negative", -20, -20, -22, -18},
    {"equal zero", 0, 0, -1, 1},
    {"infinite max", 3, kInf, 2.7L, 3.3L},
    {"nan min", kNaN, 10, 9, 11},
    {"both nan", kNaN, kNaN, -1, 1},
    {"range beyond double", -1.5e308, 1.5e308, -1.5e308L, 1.5e308L},
};

TEST(PlotAxis, SpanIsNeverEmptyNorInfinite) {
  FpTraps traps;
  for (const SpanCase& c : kSpanCases) {
    SCOPED_TRACE(c.name);
    TbmAxisClass a(true);
    a.Min = c.min;  // as the window's range setters store them
    a.Max = c.max;
    a.Range = c.max - c.min;
    const TbmWorldSpan s = a.Span();
    EXPECT_NEAR(static_cast<double>(s.Lo), static_cast<double>(c.lo), std::fabs(static_cast<double>(c.lo)) * 1e-12);
    EXPECT_NEAR(static_cast<double>(s.Lo + s.Range), static_cast<double>(c.hi),
                std::fabs(static_cast<double>(c.hi)) * 1e-12);
  }
}

TEST(PlotAxis, ValueToDeviceMapsAlongTheAxisWithoutClamping) {
  FpTraps traps;
  TbmAxisClass x(true);
  x.SetMax(10);
  x.Rect = {100, 0, 300, 0};
  TbmAxisClass y(false);
  y.SetMax(10);
  y.Rect = {0, 50, 0, 250};
  struct {
    double v;
    int x, y;
  } cases[] = {{0, 100, 250}, {10, 300, 50}, {5, 200, 150}, {-5, 0, 350}, {2.5, 150, 200}, {0.25, 105, 245}};
  for (const auto& c : cases) {
    EXPECT_EQ(x.ValueToDevice(c.v), c.x) << c.v;
    EXPECT_EQ(y.ValueToDevice(c.v), c.y) << c.v;
  }
  // Values far away or not finite stay within the device range.
  EXPECT_EQ(x.ValueToDevice(kInf), 100'000'100);
  EXPECT_EQ(x.ValueToDevice(-1e300), -99'999'900);
  EXPECT_EQ(x.ValueToDevice(kNaN), 100);
}

TEST(PlotAxis, ZeroRangeMapsTheValueToTheMiddle) {
  FpTraps traps;
  TbmAxisClass x(true);
  x.Min = x.Max = 5;
  x.Range = 0;
  x.Rect = {100, 0, 300, 0};
  EXPECT_EQ(x.ValueToDevice(5), 200);
  // An empty axis rectangle with an infinite value makes no NaN.
  x.Rect = {100, 0, 100, 0};
  EXPECT_EQ(x.ValueToDevice(kInf), 100);
}

TEST(PlotAxis, ScaleTextUsesDecimalsWidthAndSuffix) {
  TbmAxisClass y(false);
  EXPECT_EQ(y.ScaleText(1), "1.00 ");
  TbmAxisClass x(true);
  EXPECT_EQ(x.ScaleText(-2.5), "-2.50");
  x.ScaleDecimals = 0;
  x.ScaleWidth = 5;
  EXPECT_EQ(x.ScaleText(1234.6), " 1235");
  x.ScaleDecimals = 3;
  x.ScaleWidth = 0;
  EXPECT_EQ(x.ScaleText(12345.5), "12345.500");  // no thousands separator
}

TEST(PlotParts, DegToRad) {
  EXPECT_NEAR(static_cast<double>(DegToRad(180)), M_PI, 1e-15);
  EXPECT_NEAR(static_cast<double>(DegToRad(-90)), -M_PI / 2, 1e-15);
}

}  // namespace
