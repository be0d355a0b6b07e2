#pragma once
// The plot model: the parts a two-dimensional plot is laid out from (margin
// bands, titles, axes, legend, frame, plot area) and the drawing styles clients
// draw their data with.
//
// Lengths kept in parts (margins, tick lengths, symbol and font sizes) are
// hundredths of an inch; the paint box turns them into pixels and points for
// the canvas it draws on. Part rectangles are device rectangles with all four
// edges inclusive.

#include <cstdint>
#include <list>
#include <string>
#include <variant>

#include "platform/Canvas.h"

// Compiled-in defaults that the parts are created and restored from.
struct TbmPlotOptions {
  plat::Color MarginColor;
  plat::Color LineColor;  // axis and reference-line pens
  plat::Color InnerMarginColor;
  plat::Color PlotAreaColor;
  plat::Color FrameColor;
  plat::Color FontColor;
  int MarginSize;
  int MajorTickCount;
  int RefLineCount;
  int ScaleWidth;
  int ScaleDecimals;
  const char* FontName;
  bool ShowFrame;
  bool CenterPlot;
  bool PreserveAspect;
  bool TicksInside;
  bool PrintPreview;
};

extern const TbmPlotOptions bmPlotDefaults;

// The brush texts and outlines are drawn with: nothing filled.
inline constexpr plat::Brush bmClearBrush{plat::clBlack, plat::BrushStyle::Clear};

// Names of the symbol kinds, line styles and fill styles, indexed by code.
extern const char* const bmSymbolNames[8];
extern const char* const bmLineStyleNames[3];
extern const char* const bmFillStyleNames[4];

enum TbmSymbolKind : std::uint8_t {
  bmCircle,
  bmSquare,
  bmDiamond,
  bmUpTriangle,
  bmDnTriangle,
  bmCross,
  bmPlus,
  bmStar
};

// Pen style for a line-style code (0 solid, 1 dotted, 2 dashed) and back.
plat::PenStyle LineStyleOfCode(int code);
int CodeOfLineStyle(plat::PenStyle style);
// Brush style for a fill code (0 solid, 1 forward, 2 backward, 3 diagonal cross) and back.
plat::BrushStyle FillStyleOfCode(int code);
int CodeOfFillStyle(plat::BrushStyle style);

struct TbmMargin {
  int Size = 5;  // 1/100 inch
  int PixelSize = 0;
  plat::Rect Rect;
};

// A text part: title, subtitle and the two axis titles.
class TbmLabelClass {
 public:
  explicit TbmLabelClass(std::string text);
  std::string Text;
  plat::Font Font;
  int Size = 0;  // 1/100 inch
  plat::Rect Rect;
};

// A world interval as the paint box maps it: never empty, always finite.
struct TbmWorldSpan {
  long double Lo;
  long double Range;  // non-zero; negative for an axis whose bounds were stored reversed
};

class TbmAxisClass {
 public:
  explicit TbmAxisClass(bool isX);

  void ResetDefaults();
  // Store a bound; the two are swapped when the minimum ends above the maximum.
  void SetMin(double v);
  void SetMax(double v);

  // The interval the axis draws and maps over. A zero or non-finite range is
  // widened here, and only here, so no layout or mapping divides by zero.
  TbmWorldSpan Span() const;
  // World value to device coordinate along the axis rectangle (nothing is
  // clamped to the axis; NaN maps to the minimum's edge).
  int ValueToDevice(long double v) const;
  // True when v lies within the drawn interval, bounds included.
  bool Contains(double v) const;
  // The scale number of a value: fixed-point with the axis decimals, padded
  // on the left to the axis width, then the suffix.
  std::string ScaleText(long double v) const;

  bool IsXAxis;
  bool IntervalLabels = false;
  std::string ScaleSuffix;
  bool Autoscale = true;
  bool ShowScale = true;
  int ScaleWidth = 0;
  int ScaleDecimals = 2;
  plat::Font ScaleFont;
  int ScaleFontSize = 17;
  bool TicksInside = false;
  int MajorCount = 5;
  int MajorLength = 8;
  int MajorPixels = 0;
  int MinorCount = 4;
  int MinorLength = 5;
  int MinorPixels = 0;
  int RefLineCount = 0;
  plat::Pen RefLinePen;
  double Min = 0;
  double Max = 1;
  double Range = 1;
  plat::Pen AxisPen;
  plat::Rect Rect;
};

// Drawing styles. Pixel half sizes of symbols are derived from the size by
// the paint box for the canvas in use.
class TbmLineClass {
 public:
  plat::Pen Pen;
  bool InLegend = false;
  bool Flag2 = false;
};

class TbmSymbolClass {
 public:
  TbmSymbolClass();
  // The symbol centred on (X, Y); tiny draws it 3 x 3 pixels.
  void DrawSymbol(plat::Canvas& canvas, int X, int Y, bool tiny) const;
  // The pixel half sizes for a device of that resolution at page scales sx, sy.
  void SetHalfSizes(double sx, double sy, int dpiX, int dpiY);

  std::uint8_t Kind = bmCircle;
  int HalfWidth = 0;
  int HalfHeight = 0;
  int Size = 6;  // 1/100 inch
  plat::Brush Fill;
  plat::Pen Outline;
  bool InLegend = false;
  bool Flag2 = false;
};

class TbmLineSymbolClass : public TbmSymbolClass {
 public:
  // The segment in the line pen, a symbol at (X1, Y1); unless keepClip the
  // clip is removed; then a symbol at (X2, Y2).
  void Draw(plat::Canvas& canvas, int X1, int Y1, int X2, int Y2, bool tiny, bool keepClip) const;

  plat::Pen LinePen;
};

class TbmBarClass {
 public:
  TbmBarClass();
  // The rectangle (left, top, right + 1, bottom + 1) in the background brush,
  // then again in the hatch brush, outlined with the outline pen.
  void Draw(plat::Canvas& canvas, int left, int top, int right, int bottom) const;

  int Value1 = 0;
  int Value2 = 0;
  plat::Brush Hatch;
  plat::Brush Background;
  plat::Pen Outline;
  bool Flag1 = false;  // sample arrangement in the style dialog's preview
  bool InLegend = false;
  bool Flag3 = false;
};

class TbmTextClass {
 public:
  TbmTextClass();
  // The text placed by the alignment grid around (X, Y); sx and sy are the
  // page scale factors (1 unless previewing on the screen).
  void Draw(plat::Canvas& canvas, int X, int Y, const std::string& text, double sx, double sy) const;

  plat::Font Font;
  int Size = 19;               // 1/100 inch
  std::uint8_t Alignment = 5;  // a div 3: above, centred, below; a mod 3: left, centred, right
  bool Flag = false;
  int HGap = 0;  // 1/100 inch
  int VGap = 0;
};

class TbmQuadClass {
 public:
  TbmQuadClass();
  void Draw(plat::Canvas& canvas, plat::Point P1, plat::Point P2, plat::Point P3, plat::Point P4) const;

  plat::Brush Hatch;
  plat::Brush Background;
  plat::Pen Outline;
};

// A registered drawing style: the kind is the index of the part's alternative
// (0 line, 1 symbol, 2 line with symbol, 3 bar, 4 text, 5 quadrilateral).
using TbmStylePart =
    std::variant<TbmLineClass, TbmSymbolClass, TbmLineSymbolClass, TbmBarClass, TbmTextClass, TbmQuadClass>;

struct TbmStyleEntry {
  int Id = 0;
  std::string LegendText;
  TbmStylePart Part;
  int Kind() const { return static_cast<int>(Part.index()); }
};

using TbmStyleList = std::list<TbmStyleEntry>;

enum TbmLegendPlacement : std::uint8_t { bmLegendTop, bmLegendBottom, bmLegendRight, bmLegendLeft };

class TbmLegendClass {
 public:
  TbmLegendClass();

  plat::Rect Rect;
  bool Show = true;
  plat::Font Font;
  int FontSize = 19;
  std::uint8_t Placement = bmLegendRight;
  int EntryCount = 0;
  int SampleWidth = 0;
  int EntryWidth = 0;
  int RowHeight = 0;
  int TotalRowHeight = 0;
  const TbmStyleList* Styles = nullptr;  // the plot window's registry; not owned
  bool Display = false;
  bool Background = false;
};

class TbmPlot2DPlotPartsClass {
 public:
  TbmPlot2DPlotPartsClass();
  // Colours, flags, margins, label sizes, frame pen, preview page and both
  // axes back to the defaults; texts, axis ranges and the legend are kept.
  void RestoreDefaults();

  plat::Color MarginColor;
  plat::Color InnerMarginColor;
  plat::Color PlotAreaColor;
  bool CenterPlot;
  bool ShowFrame;
  bool PreserveAspect;
  TbmMargin TopMargin, BottomMargin, LeftMargin, RightMargin;
  TbmLabelClass Title{"PLOT TITLE"};
  TbmLabelClass SubTitle{"Plot Subtitle"};
  TbmLabelClass XAxisTitle{"X Label"};
  TbmLabelClass YAxisTitle{"Y Label"};
  TbmAxisClass XAxis{true};
  TbmAxisClass YAxis{false};
  plat::Pen FramePen;
  TbmMargin InnerMargin;
  TbmMargin PlotArea;  // its rectangle is the plot rectangle data are drawn into
  TbmLegendClass Legend;
  bool PrintPreview = false;
  double PageWidth = 0;  // inches
  double PageHeight = 0;
  std::uint8_t PageOrientation = 1;  // 0 portrait, 1 landscape
};

// Round to a device coordinate: halves to even, kept within +-1e8 so far-away
// world values cannot overflow the canvases' arithmetic; NaN gives 0.
int DeviceRound(long double v);

// Degrees to radians in extended precision.
long double DegToRad(long double x);
