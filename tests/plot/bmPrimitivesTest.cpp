// Drawing primitives on the recording canvas: the eight symbols, the tiny
// symbols of the degraded layout, line styles, lines with symbols, bars,
// quadrilaterals, text alignment, and the clipping rules. The plot rectangle
// is (137, 48, 500, 428) and the axes run 0..363 and 0..380, so one world
// unit is one pixel: world (100, 100) is device (237, 328).

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "FpTraps.h"
#include "PlotFixture.h"
#include "rtl/Format.h"

namespace {

using plat::CanvasOp;
using plat::OpKind;

// An operation's geometry, without its drawing objects.
std::string Shape(const CanvasOp& op) {
  auto rect = [&] { return rtl::Format("(%d,%d,%d,%d)", op.rect.left, op.rect.top, op.rect.right, op.rect.bottom); };
  std::string pts;
  for (const auto& p : op.points) pts += rtl::Format("%s%d,%d", pts.empty() ? "" : " ", p.x, p.y);
  switch (op.kind) {
    case OpKind::Line: return "Line " + pts;
    case OpKind::Polygon: return "Polygon " + pts;
    case OpKind::Rectangle: return "Rectangle " + rect();
    case OpKind::Ellipse: return "Ellipse " + rect();
    case OpKind::SetClip: return "SetClip " + rect();
    case OpKind::RemoveClip: return "RemoveClip";
    case OpKind::TextOut: return "TextOut " + pts + " " + op.text;
    default: return plat::ToString(op);
  }
}

std::vector<std::string> Shapes(const plat::RecordingCanvas& c) {
  std::vector<std::string> out;
  for (const auto& op : c.Ops()) out.push_back(Shape(op));
  return out;
}

struct WorldPlot : PlotOnRecorder {
  explicit WorldPlot(int width = 640, int height = 480) : PlotOnRecorder(96, width, height) {
    parts().XAxis.SetMax(363);
    parts().YAxis.SetMax(380);
    // "   0 " to " 380 ": as wide as the default "1.00 ", so the plot keeps its place.
    parts().YAxis.ScaleDecimals = 0;
    parts().YAxis.ScaleWidth = 4;
    box->Layout(width, height);
    box->ClipToPlot();
    canvas.Clear();
  }
};

struct SymbolCase {
  std::uint8_t kind;
  std::vector<std::string> shapes;
};

const SymbolCase kSymbols[] = {
    {bmCircle, {"Ellipse (234,325,241,332)"}},
    {bmSquare, {"Rectangle (234,325,241,332)"}},
    {bmDiamond, {"Polygon 234,328 237,325 240,328 237,331"}},
    {bmUpTriangle, {"Polygon 234,331 237,325 240,331"}},
    {bmDnTriangle, {"Polygon 234,325 237,331 240,325"}},
    {bmCross, {"Rectangle (234,325,241,332)", "Line 234,325 241,332", "Line 240,325 233,332"}},
    {bmPlus, {"Rectangle (234,325,241,332)", "Line 234,328 241,328", "Line 237,325 237,332"}},
    {bmStar,
     {"Rectangle (234,325,241,332)", "Line 234,325 241,332", "Line 240,325 233,332", "Line 234,328 241,328",
      "Line 237,325 237,332"}},
};

TEST(PlotPrimitives, EverySymbolKindInWorldCoordinates) {
  for (const SymbolCase& c : kSymbols) {
    SCOPED_TRACE(bmSymbolNames[c.kind]);
    FpTraps traps;
    WorldPlot plot;
    TbmSymbolClass symbol;
    symbol.Kind = c.kind;
    symbol.Fill = {0x0000FF, plat::BrushStyle::Solid};
    symbol.Outline = {plat::clWhite, plat::PenStyle::Solid, 2};
    plot.box->SetCurrentSymbol(symbol);
    plot.box->DrawSymbolAt(100, 100);
    std::vector<std::string> expected{"RemoveClip"};
    expected.insert(expected.end(), c.shapes.begin(), c.shapes.end());
    expected.push_back("SetClip (137,48,501,429)");
    EXPECT_EQ(Shapes(plot.canvas), expected);
    const auto& ops = plot.canvas.Ops();
    EXPECT_EQ(ops[1].brush, symbol.Fill);
    // Cross, plus and star: a square without a visible outline, lines in the outline colour.
    const bool lined = c.kind >= bmCross;
    EXPECT_EQ(ops[1].pen.color, lined ? 0x0000FFu : plat::clWhite);
    for (std::size_t i = 2; i + 1 < ops.size(); ++i) EXPECT_EQ(ops[i].pen, symbol.Outline);
  }
}

TEST(PlotPrimitives, DegradedLayoutDrawsThreeByThreeSymbols) {
  FpTraps traps;
  PlotOnRecorder plot(96, 100, 80);  // plot rectangle (11, 11, 88, 68)
  ASSERT_TRUE(plot.box->Degraded());
  TbmSymbolClass symbol;
  symbol.Kind = bmSquare;
  symbol.Size = 50;
  plot.box->SetCurrentSymbol(symbol);
  plot.canvas.Clear();
  plot.box->DrawSymbolAt(0, 0);
  EXPECT_EQ(Shape(plot.canvas.Ops()[1]), "Rectangle (10,67,13,70)");
}

TEST(PlotPrimitives, SymbolHalfSizesFollowTheResolution) {
  struct {
    int dpi;
    int size;
    int half;
  } cases[] = {{96, 6, 3}, {96, 20, 10}, {300, 6, 9}, {600, 6, 18}, {150, 6, 4}};  // 4.5 rounds to even
  for (const auto& c : cases) {
    PlotOnRecorder plot(c.dpi, 640, 480);
    TbmSymbolClass symbol;
    symbol.Size = c.size;
    plot.box->SetCurrentSymbol(symbol);
    EXPECT_EQ(plot.box->CurrentSymbol().HalfWidth, c.half) << c.dpi << " dpi, size " << c.size;
    EXPECT_EQ(plot.box->CurrentSymbol().HalfHeight, c.half);
  }
}

struct ClipCase {
  const char* name;
  double x, y;
  bool whole;  // drawn with the clip removed
};

const ClipCase kClips[] = {
    {"at the axis maximum", 363, 380, true},
    {"at the axis minimum", 0, 0, true},
    {"just outside in X", 363.5, 100, false},
    {"just below in Y", 100, -0.25, false},
};

TEST(PlotPrimitives, SymbolsInsideTheRangesAreDrawnWholeOthersCut) {
  for (const ClipCase& c : kClips) {
    SCOPED_TRACE(c.name);
    FpTraps traps;
    WorldPlot plot;
    plot.box->DrawSymbolAt(c.x, c.y);
    const auto& ops = plot.canvas.Ops();
    ASSERT_EQ(ops.size(), c.whole ? 3u : 1u);
    EXPECT_EQ(ops.front().kind, c.whole ? OpKind::RemoveClip : OpKind::Ellipse);
    ASSERT_TRUE(plot.canvas.Clip().has_value());
    EXPECT_EQ(*plot.canvas.Clip(), (plat::Rect{137, 48, 501, 429}));
  }
}

TEST(PlotPrimitives, LinesInEveryStyleAreCutAtThePlot) {
  for (int code = 0; code < 3; ++code) {
    SCOPED_TRACE(bmLineStyleNames[code]);
    FpTraps traps;
    WorldPlot plot;
    TbmLineClass line;
    line.Pen = {0x008000, LineStyleOfCode(code), 1};
    plot.box->SetCurrentLine(line);
    plot.box->DrawLine(-10, 0, 363, 380);
    ASSERT_EQ(plot.canvas.Ops().size(), 1u);  // no change of clip
    const CanvasOp& op = plot.canvas.Ops()[0];
    EXPECT_EQ(Shape(op), "Line 127,428 500,48");
    EXPECT_EQ(op.pen, line.Pen);
    EXPECT_EQ(op.brush.style, plat::BrushStyle::Clear);
    EXPECT_EQ(CodeOfLineStyle(op.pen.style), code);
  }
}

TEST(PlotPrimitives, LineWithSymbolsKeepsOrDropsTheClip) {
  for (bool keepClip : {true, false}) {
    SCOPED_TRACE(keepClip ? "keep clip" : "drop clip");
    WorldPlot plot;
    TbmLineSymbolClass ls;
    ls.Kind = bmSquare;
    ls.HalfWidth = ls.HalfHeight = 2;
    ls.LinePen = {0x800000, plat::PenStyle::Dash, 1};
    ls.Draw(plot.canvas, 10, 20, 50, 60, false, keepClip);
    std::vector<std::string> expected{"Line 10,20 50,60", "Rectangle (8,18,13,23)"};
    if (!keepClip) expected.push_back("RemoveClip");
    expected.push_back("Rectangle (48,58,53,63)");
    EXPECT_EQ(Shapes(plot.canvas), expected);
    EXPECT_EQ(plot.canvas.Ops()[0].pen, ls.LinePen);
    EXPECT_EQ(plot.canvas.Clip().has_value(), keepClip);
  }
}

TEST(PlotPrimitives, BarsInEveryFillPutTheHatchOverTheBackground) {
  for (int code = 0; code < 4; ++code) {
    SCOPED_TRACE(bmFillStyleNames[code]);
    plat::RecordingCanvas canvas;
    TbmBarClass bar;
    bar.Hatch = {0x000080, FillStyleOfCode(code)};
    bar.Background = {0x00FFFF, plat::BrushStyle::Solid};
    bar.Outline = {0x808080, plat::PenStyle::Solid, 2};
    bar.Draw(canvas, 10, 20, 30, 40);
    ASSERT_EQ(canvas.Ops().size(), 2u);
    EXPECT_EQ(Shape(canvas.Ops()[0]), "Rectangle (10,20,31,41)");
    EXPECT_EQ(Shape(canvas.Ops()[1]), "Rectangle (10,20,31,41)");
    EXPECT_EQ(canvas.Ops()[0].brush, bar.Background);
    EXPECT_EQ(canvas.Ops()[1].brush, bar.Hatch);
    EXPECT_EQ(canvas.Ops()[1].pen, bar.Outline);
    EXPECT_EQ(CodeOfFillStyle(canvas.Ops()[1].brush.style), code);
  }
}

TEST(PlotPrimitives, QuadrilateralInWorldCoordinatesWithTheClipInForce) {
  FpTraps traps;
  WorldPlot plot;
  TbmQuadClass quad;
  quad.Hatch = {0x000000, plat::BrushStyle::DiagCross};
  plot.box->DrawQuadAt(quad, {0, 100, 100, 0}, {0, 0, 100, 100});
  const std::vector<std::string> expected(2, "Polygon 137,428 237,428 237,328 137,328");
  EXPECT_EQ(Shapes(plot.canvas), expected);
  EXPECT_EQ(plot.canvas.Ops()[0].brush, quad.Background);
  EXPECT_EQ(plot.canvas.Ops()[1].brush, quad.Hatch);
  EXPECT_EQ(plot.canvas.Ops()[1].pen, quad.Outline);
}

struct TextCase {
  std::uint8_t alignment;
  int left, top;
};

// "Hi" in 14 pt is 18 x 19 pixels; gaps of 5 and 10 hundredths are 2 and 5
// pixels (half the length).
const TextCase kTexts[] = {
    {0, 217, 304},                                // left of and above the point
    {2, 239, 304}, {4, 228, 319}, {5, 239, 319},  // default: right of the point, centred
    {6, 217, 333}, {8, 239, 333},                 // right of and below the point
};

TEST(PlotPrimitives, TextIsPlacedByItsAlignmentWithoutClipping) {
  for (const TextCase& c : kTexts) {
    SCOPED_TRACE(static_cast<int>(c.alignment));
    FpTraps traps;
    WorldPlot plot;
    TbmTextClass text;
    text.Alignment = c.alignment;
    text.HGap = 5;
    text.VGap = 10;
    plot.box->DrawTextAt(text, "Hi", 100, 100);
    EXPECT_EQ(Shapes(plot.canvas),
              (std::vector<std::string>{"RemoveClip", rtl::Format("TextOut %d,%d Hi", c.left, c.top),
                                        "SetClip (137,48,501,429)"}));
    EXPECT_EQ(plot.canvas.Ops()[1].font.size, 14);
    EXPECT_EQ(plot.canvas.Ops()[1].brush.style, plat::BrushStyle::Clear);
  }
}

TEST(PlotPrimitives, PointsThatAreNotFiniteDrawNothing) {
  FpTraps traps;
  WorldPlot plot;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  plot.box->DrawSymbolAt(nan, 1);
  plot.box->DrawSymbolAt(1, inf);
  plot.box->DrawLine(0, 0, inf, 1);
  plot.box->DrawTextAt(TbmTextClass{}, "x", nan, nan);
  plot.box->DrawQuadAt(TbmQuadClass{}, {0, 1, 1, nan}, {0, 0, 1, 1});
  EXPECT_TRUE(plot.canvas.Ops().empty());
}

TEST(PlotPrimitives, EveryPrimitiveLeavesPenBrushAndFontAsTheyWere) {
  const std::vector<std::pair<const char*, std::function<void(WorldPlot&)>>> draws = {
      {"symbol", [](WorldPlot& p) { p.box->DrawSymbolAt(1, 1); }},
      {"line", [](WorldPlot& p) { p.box->DrawLine(1, 1, 2, 2); }},
      {"text", [](WorldPlot& p) { p.box->DrawTextAt(TbmTextClass{}, "t", 1, 1); }},
      {"quad",
       [](WorldPlot& p) {
         p.box->DrawQuadAt(TbmQuadClass{}, {0, 1, 1, 0}, {0, 0, 1, 1});
       }},
      {"bar", [](WorldPlot& p) { TbmBarClass{}.Draw(p.canvas, 1, 1, 5, 5); }},
      {"line with symbols", [](WorldPlot& p) { TbmLineSymbolClass{}.Draw(p.canvas, 1, 1, 5, 5, false, true); }},
      {"star",
       [](WorldPlot& p) {
         TbmSymbolClass s;
         s.Kind = bmStar;
         s.DrawSymbol(p.canvas, 5, 5, false);
       }},
  };
  const plat::Pen pen{0x010203, plat::PenStyle::DashDotDot, 4};
  const plat::Brush brush{0x040506, plat::BrushStyle::Vertical};
  plat::Font font;
  font.name = "Mono";
  font.size = 33;
  for (const auto& [name, draw] : draws) {
    SCOPED_TRACE(name);
    WorldPlot plot;
    plot.canvas.SetPen(pen);
    plot.canvas.SetBrush(brush);
    plot.canvas.SetFont(font);
    draw(plot);
    EXPECT_FALSE(plot.canvas.Ops().empty());
    EXPECT_EQ(plot.canvas.GetPen(), pen);
    EXPECT_EQ(plot.canvas.GetBrush(), brush);
    EXPECT_EQ(plot.canvas.GetFont(), font);
  }
}

}  // namespace
