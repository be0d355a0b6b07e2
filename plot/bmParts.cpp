#include "plot/bmParts.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "rtl/Convert.h"
#include "rtl/Format.h"

const TbmPlotOptions bmPlotDefaults = {
    .MarginColor = plat::clWhite,
    .LineColor = plat::clBlack,
    .InnerMarginColor = plat::clWhite,
    .PlotAreaColor = plat::clWhite,
    .FrameColor = plat::clBlack,
    .FontColor = plat::clBlack,
    .MarginSize = 5,
    .MajorTickCount = 5,
    .RefLineCount = 0,
    .ScaleWidth = 0,
    .ScaleDecimals = 2,
    .FontName = "Times New Roman",
    .ShowFrame = true,
    .CenterPlot = true,
    .PreserveAspect = false,
    .TicksInside = false,
    .PrintPreview = false,
};

const char* const bmSymbolNames[8] = {"Circle",      "Square", "Diamond", "Up Triangle",
                                      "Dn Triangle", "Cross",  "Plus",    "Star"};
const char* const bmLineStyleNames[3] = {"Solid", "Dotted", "Dashed"};
const char* const bmFillStyleNames[4] = {"Solid", "Forward Diag.", "Back Diag.", "Cross Diag."};

plat::PenStyle LineStyleOfCode(int code) {
  switch (code) {
    case 1: return plat::PenStyle::Dot;
    case 2: return plat::PenStyle::Dash;
    default: return plat::PenStyle::Solid;
  }
}

int CodeOfLineStyle(plat::PenStyle style) {
  switch (style) {
    case plat::PenStyle::Dot: return 1;
    case plat::PenStyle::Dash: return 2;
    default: return 0;
  }
}

plat::BrushStyle FillStyleOfCode(int code) {
  switch (code) {
    case 1: return plat::BrushStyle::FDiagonal;
    case 2: return plat::BrushStyle::BDiagonal;
    case 3: return plat::BrushStyle::DiagCross;
    default: return plat::BrushStyle::Solid;
  }
}

int CodeOfFillStyle(plat::BrushStyle style) {
  switch (style) {
    case plat::BrushStyle::FDiagonal: return 1;
    case plat::BrushStyle::BDiagonal: return 2;
    case plat::BrushStyle::DiagCross: return 3;
    default: return 0;
  }
}

namespace {

plat::Font DefaultFont() {
  plat::Font f;
  f.name = bmPlotDefaults.FontName;
  f.color = bmPlotDefaults.FontColor;
  return f;
}

plat::Pen LinePen(plat::Color c) { return plat::Pen{c, plat::PenStyle::Solid, 1}; }

}  // namespace

TbmLabelClass::TbmLabelClass(std::string text) : Text(std::move(text)), Font(DefaultFont()) {}

TbmAxisClass::TbmAxisClass(bool isX) : IsXAxis(isX) {
  SetMin(0);
  SetMax(1);
  ResetDefaults();
}

void TbmAxisClass::ResetDefaults() {
  ScaleSuffix = IsXAxis ? "" : " ";
  Autoscale = true;
  ShowScale = true;
  ScaleWidth = bmPlotDefaults.ScaleWidth;
  ScaleDecimals = bmPlotDefaults.ScaleDecimals;
  ScaleFont = DefaultFont();
  ScaleFontSize = 17;
  TicksInside = bmPlotDefaults.TicksInside;
  MajorCount = bmPlotDefaults.MajorTickCount;
  MajorLength = 8;
  MinorCount = bmPlotDefaults.MajorTickCount - 1;
  MinorLength = 5;
  RefLineCount = bmPlotDefaults.RefLineCount;
  AxisPen = LinePen(bmPlotDefaults.LineColor);
  RefLinePen = LinePen(bmPlotDefaults.LineColor);
  Rect = {};
}

void TbmAxisClass::SetMin(double v) {
  Min = v;
  if (Min > Max) std::swap(Min, Max);
  Range = Max - Min;
}

void TbmAxisClass::SetMax(double v) {
  Max = v;
  if (Min > Max) std::swap(Min, Max);
  Range = Max - Min;
}

TbmWorldSpan TbmAxisClass::Span() const {
  const long double lo = Min;
  const long double range = static_cast<long double>(Max) - lo;
  if (std::isfinite(lo) && std::isfinite(range) && range != 0) return {lo, range};
  // Constant data or a degenerate bound: centre the interval on the finite
  // bound, a tenth of its size to each side (one unit each side around 0).
  long double centre = std::isfinite(Min) ? lo : std::isfinite(Max) ? static_cast<long double>(Max) : 0.0L;
  long double half = std::fabs(centre) * 0.1L;
  if (half == 0) half = 1;
  return {centre - half, 2 * half};
}

int TbmAxisClass::ValueToDevice(long double v) const {
  const TbmWorldSpan s = Span();
  // The fraction is bounded first so that an infinite value times an empty
  // axis cannot make a NaN.
  const long double t = std::isnan(v) ? 0.0L : std::clamp((v - s.Lo) / s.Range, -1.0e8L, 1.0e8L);
  if (IsXAxis) return DeviceRound(t * (Rect.right - Rect.left)) + Rect.left;
  return Rect.bottom - DeviceRound(t * (Rect.bottom - Rect.top));
}

bool TbmAxisClass::Contains(double v) const {
  if (std::isnan(v)) return false;
  const TbmWorldSpan s = Span();
  const long double a = s.Lo;
  const long double b = s.Lo + s.Range;
  return std::min(a, b) <= v && v <= std::max(a, b);
}

std::string TbmAxisClass::ScaleText(long double v) const {
  const int decimals = std::clamp(ScaleDecimals, 0, 18);
  const int width = std::clamp(ScaleWidth, 0, 255);
  return rtl::Format("%*.*f", width, decimals, v) + ScaleSuffix;
}

TbmSymbolClass::TbmSymbolClass() : Fill{plat::clWhite, plat::BrushStyle::Solid}, Outline(LinePen(plat::clBlack)) {}

void TbmSymbolClass::SetHalfSizes(double sx, double sy, int dpiX, int dpiY) {
  HalfWidth = DeviceRound(Size * sx * 0.01 * dpiX * 0.5);
  HalfHeight = DeviceRound(Size * sy * 0.01 * dpiY * 0.5);
}

TbmBarClass::TbmBarClass()
    : Hatch{plat::clBlack, plat::BrushStyle::FDiagonal},
      Background{plat::clWhite, plat::BrushStyle::Solid},
      Outline(LinePen(plat::clBlack)) {}

TbmTextClass::TbmTextClass() : Font(DefaultFont()) {}

TbmQuadClass::TbmQuadClass()
    : Hatch{plat::clGray, plat::BrushStyle::Solid},
      Background{plat::clGray, plat::BrushStyle::Solid},
      Outline(LinePen(plat::clBlack)) {}

TbmLegendClass::TbmLegendClass() : Font(DefaultFont()) {}

TbmPlot2DPlotPartsClass::TbmPlot2DPlotPartsClass() {
  RestoreDefaults();
  Legend.FontSize = SubTitle.Size;
}

void TbmPlot2DPlotPartsClass::RestoreDefaults() {
  CenterPlot = bmPlotDefaults.CenterPlot;
  ShowFrame = bmPlotDefaults.ShowFrame;
  PreserveAspect = bmPlotDefaults.PreserveAspect;
  for (TbmMargin* m : {&TopMargin, &BottomMargin, &LeftMargin, &RightMargin, &InnerMargin, &PlotArea})
    m->Size = bmPlotDefaults.MarginSize;
  Title.Size = 22;
  SubTitle.Size = 19;
  XAxisTitle.Size = 19;
  YAxisTitle.Size = 19;
  FramePen = LinePen(bmPlotDefaults.FrameColor);
  MarginColor = bmPlotDefaults.MarginColor;
  InnerMarginColor = bmPlotDefaults.InnerMarginColor;
  PlotAreaColor = bmPlotDefaults.PlotAreaColor;
  PrintPreview = bmPlotDefaults.PrintPreview;
  PageWidth = 0;
  PageHeight = 0;
  PageOrientation = 1;
  XAxis.ResetDefaults();
  YAxis.ResetDefaults();
}

int DeviceRound(long double v) {
  constexpr long double kDeviceLimit = 1.0e8L;
  if (std::isnan(v)) return 0;
  return static_cast<int>(rtl::Round(std::clamp(v, -kDeviceLimit, kDeviceLimit)));
}

long double DegToRad(long double x) { return x * std::numbers::pi_v<long double> / 180.0L; }
