// Painting the frame: order of the parts, margins, titles, axes with ticks and
// scale numbers, reference lines, legend and frame, on the recording canvas.
// Positions are worked by hand for a 640 x 480 window at 96 dpi, whose plot
// rectangle is (137, 48, 500, 428) (see the layout tests).

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "FpTraps.h"
#include "PlotFixture.h"

namespace {

using plat::CanvasOp;
using plat::OpKind;
using plat::Point;
using plat::Rect;

std::vector<CanvasOp> Texts(const plat::RecordingCanvas& c) { return c.OpsOf(OpKind::TextOut); }

const CanvasOp* FindText(const plat::RecordingCanvas& c, const std::string& text) {
  const auto& ops = c.Ops();
  auto it = std::find_if(ops.begin(), ops.end(),
                         [&](const CanvasOp& op) { return op.kind == OpKind::TextOut && op.text == text; });
  return it == ops.end() ? nullptr : &*it;
}

std::vector<Point> TextPositions(const plat::RecordingCanvas& c, const std::vector<std::string>& texts) {
  std::vector<Point> out;
  for (const auto& t : texts) {
    const CanvasOp* op = FindText(c, t);
    out.push_back(op ? op->points[0] : Point{-1, -1});
  }
  return out;
}

bool HasLine(const plat::RecordingCanvas& c, Point a, Point b) {
  for (const CanvasOp& op : c.OpsOf(OpKind::Line))
    if (op.points[0] == a && op.points[1] == b) return true;
  return false;
}

struct Painted : PlotOnRecorder {
  Painted() : PlotOnRecorder(96, 640, 480) {}
  void Paint() {
    box->Layout(640, 480);
    canvas.Clear();
    FpTraps traps;
    box->PaintPlot();
  }
};

TEST(PlotPaint, BackgroundMarginsAndPlotAreaComeFirstFrameLast) {
  Painted plot;
  plot.parts().MarginColor = 0x0000FF;
  plot.parts().PlotAreaColor = 0x00FF00;
  plot.parts().InnerMarginColor = 0xFF0000;
  plot.Paint();
  const auto& ops = plot.canvas.Ops();
  ASSERT_GE(ops.size(), 7u);
  EXPECT_EQ(ops[0].kind, OpKind::Rectangle);
  EXPECT_EQ(ops[0].rect, (Rect{0, 0, 640, 480}));
  EXPECT_EQ(ops[0].brush.color, 0xFF0000u);
  EXPECT_EQ(ops[0].pen.color, 0xFF0000u);
  const Rect fills[] = {{0, 0, 641, 6}, {0, 474, 641, 481}, {0, 6, 6, 474}, {634, 6, 641, 474}, {137, 48, 501, 429}};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(ops[1 + i].kind, OpKind::FillRect) << i;
    EXPECT_EQ(ops[1 + i].rect, fills[i]) << i;
    EXPECT_EQ(ops[1 + i].brush.color, i < 4 ? 0x0000FFu : 0x00FF00u) << i;
  }
  const CanvasOp& frame = ops.back();
  EXPECT_EQ(frame.kind, OpKind::Rectangle);
  EXPECT_EQ(frame.rect, (Rect{136, 47, 501, 429}));
  EXPECT_EQ(frame.brush.style, plat::BrushStyle::Clear);
}

TEST(PlotPaint, MarginOfSizeZeroIsNotFilled) {
  Painted plot;
  plot.parts().TopMargin.Size = 0;
  plot.parts().LeftMargin.Size = 0;
  plot.Paint();
  EXPECT_EQ(plot.canvas.OpsOf(OpKind::FillRect).size(), 3u);  // bottom, right, plot area
}

TEST(PlotPaint, TitlesAreCentredOverThePlotAndTheYTitleRightAligned) {
  Painted plot;
  plot.Paint();
  const auto pos = TextPositions(plot.canvas, {"PLOT TITLE", "Plot Subtitle", "X Label", "Y Label"});
  EXPECT_EQ(pos[0], (Point{268, 6}));   // 137 + 181 - 100 / 2
  EXPECT_EQ(pos[1], (Point{260, 28}));  // 137 + 181 - 117 / 2
  EXPECT_EQ(pos[2], (Point{287, 454}));
  EXPECT_EQ(pos[3], (Point{15, 229}));  // 87 - 9 - 63, 48 + 190 - 9
  const auto texts = Texts(plot.canvas);
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts[0].text, "PLOT TITLE");
  EXPECT_EQ(texts[0].font.size, 16);
  EXPECT_EQ(texts[0].brush.style, plat::BrushStyle::Clear);
}

TEST(PlotPaint, AxesWithMajorAndMinorTicksAndScaleNumbers) {
  Painted plot;
  plot.Paint();
  const auto& c = plot.canvas;
  EXPECT_TRUE(HasLine(c, {137, 429}, {500, 429}));  // X axis line
  EXPECT_TRUE(HasLine(c, {136, 48}, {136, 428}));   // Y axis line
  for (int x : {137, 228, 319, 409, 500}) EXPECT_TRUE(HasLine(c, {x, 429}, {x, 437})) << x;
  for (int x : {155, 173, 191, 210}) EXPECT_TRUE(HasLine(c, {x, 429}, {x, 434})) << x;
  for (int y : {428, 333, 238, 143, 48}) EXPECT_TRUE(HasLine(c, {136, y}, {128, y})) << y;
  // 1 + 5 + 16 lines per axis.
  EXPECT_EQ(c.OpsOf(OpKind::Line).size(), 44u);
  const auto x = TextPositions(c, {"0.00", "0.25", "0.50", "0.75", "1.00"});
  EXPECT_EQ(x, (std::vector<Point>{{121, 437}, {212, 437}, {303, 437}, {393, 437}, {484, 437}}));
  const auto y = TextPositions(c, {"0.00 ", "0.25 ", "0.50 ", "0.75 ", "1.00 "});
  EXPECT_EQ(y, (std::vector<Point>{{88, 420}, {88, 325}, {88, 230}, {88, 135}, {88, 40}}));
  EXPECT_EQ(FindText(c, "1.00 ")->font.size, 12);
}

TEST(PlotPaint, InwardTicksPointIntoThePlot) {
  Painted plot;
  plot.parts().XAxis.TicksInside = true;
  plot.parts().YAxis.TicksInside = true;
  plot.Paint();
  const auto& c = plot.canvas;
  // X strip top 429 as with outward ticks; the Y axis line moves in to 128,
  // so the plot starts at 129.
  EXPECT_TRUE(HasLine(c, {129, 429}, {129, 421}));
  EXPECT_TRUE(HasLine(c, {128, 428}, {136, 428}));
  EXPECT_EQ(FindText(c, "0.00")->points[0], (Point{113, 437}));  // 8 = half of "0"
  EXPECT_EQ(FindText(c, "0.00 ")->points[0], (Point{88, 420}));
}

TEST(PlotPaint, OneMajorTickSitsAtTheMiddleOfTheRange) {
  Painted plot;
  plot.parts().XAxis.SetMax(20);
  plot.parts().XAxis.SetMin(10);
  plot.parts().XAxis.MajorCount = 1;
  plot.Paint();
  const auto& c = plot.canvas;
  EXPECT_TRUE(HasLine(c, {319, 429}, {319, 437}));
  ASSERT_NE(FindText(c, "15.00"), nullptr);
  EXPECT_EQ(FindText(c, "15.00")->points[0], (Point{299, 437}));
  EXPECT_EQ(FindText(c, "10.00"), nullptr);
  // Minor ticks at 11..14 and 16..19.
  for (int x : {173, 210, 246, 282, 355, 391, 427, 464}) EXPECT_TRUE(HasLine(c, {x, 429}, {x, 434})) << x;
}

TEST(PlotPaint, IntervalLabelsLabelTheInside) {
  Painted plot;
  plot.parts().XAxis.IntervalLabels = true;
  plot.parts().YAxis.IntervalLabels = true;
  plot.Paint();
  const auto& c = plot.canvas;
  EXPECT_FALSE(HasLine(c, {137, 429}, {137, 437}));
  EXPECT_TRUE(HasLine(c, {228, 429}, {228, 437}));
  EXPECT_FALSE(HasLine(c, {500, 429}, {500, 437}));
  EXPECT_EQ(FindText(c, "0.00"), nullptr);
  EXPECT_EQ(FindText(c, "1.00"), nullptr);
  ASSERT_NE(FindText(c, "0.50"), nullptr);
  // Y numbers label the interval below their tick: "0.25 " at 0.125.
  EXPECT_EQ(FindText(c, "0.00 "), nullptr);
  ASSERT_NE(FindText(c, "0.25 "), nullptr);
  EXPECT_EQ(FindText(c, "0.25 ")->points[0], (Point{88, 372}));
  EXPECT_EQ(FindText(c, "1.00 ")->points[0], (Point{88, 88}));
}

TEST(PlotPaint, ReferenceLinesSpanTheOtherAxis) {
  Painted plot;
  plot.parts().XAxis.RefLineCount = 1;
  plot.parts().YAxis.RefLineCount = 3;
  plot.parts().YAxis.RefLinePen = {0x00FF00, plat::PenStyle::Dot, 1};
  plot.Paint();
  const auto& c = plot.canvas;
  EXPECT_TRUE(HasLine(c, {319, 428}, {319, 48}));
  for (int y : {333, 238, 143}) EXPECT_TRUE(HasLine(c, {137, y}, {500, y})) << y;
  const auto lines = c.OpsOf(OpKind::Line);
  EXPECT_EQ(
      std::count_if(lines.begin(), lines.end(), [](const CanvasOp& op) { return op.pen.style == plat::PenStyle::Dot; }),
      3);
}

TEST(PlotPaint, ConstantDataGetsAWidenedAxis) {
  Painted plot;
  plot.parts().XAxis.Min = plot.parts().XAxis.Max = 5;  // equal levels
  plot.parts().XAxis.Range = 0;
  plot.parts().YAxis.Min = plot.parts().YAxis.Max = 0;
  plot.parts().YAxis.Range = 0;
  plot.parts().XAxis.RefLineCount = 1;
  plot.Paint();
  const auto& c = plot.canvas;
  for (const char* t : {"4.50", "4.75", "5.00", "5.25", "5.50", "-1.00 ", "0.00 ", "1.00 "})
    EXPECT_NE(FindText(c, t), nullptr) << t;
  EXPECT_EQ(FindText(c, "5.00")->points[0].x, 319 - 16);
  EXPECT_TRUE(HasLine(c, {319, 428}, {319, 48}));
}

TEST(PlotPaint, DegradedLayoutPaintsOnlyAThinFrame) {
  PlotOnRecorder plot(96, 100, 80);
  plot.parts().FramePen = {0x0000FF, plat::PenStyle::Dash, 3};
  plot.canvas.Clear();
  {
    FpTraps traps;
    plot.box->PaintPlot();
  }
  const auto& c = plot.canvas;
  EXPECT_TRUE(c.OpsOf(OpKind::TextOut).empty());
  EXPECT_TRUE(c.OpsOf(OpKind::Line).empty());
  const CanvasOp& frame = c.Ops().back();
  EXPECT_EQ(frame.kind, OpKind::Rectangle);
  EXPECT_EQ(frame.rect, (Rect{10, 10, 89, 69}));
  EXPECT_EQ(frame.pen, (plat::Pen{0x0000FF, plat::PenStyle::Solid, 1}));
}

TEST(PlotPaint, NoFrameWhenItIsSwitchedOff) {
  Painted plot;
  plot.parts().ShowFrame = false;
  plot.Paint();
  EXPECT_EQ(plot.canvas.OpsOf(OpKind::Rectangle).size(), 1u);  // the background
}

TEST(PlotPaint, LegendShowsASampleAndTextPerEntry) {
  const TbmStyleList styles = MakeLegendStyles();
  Painted plot;
  auto& lg = plot.parts().Legend;
  lg.Styles = &styles;
  lg.Display = true;
  lg.Background = true;
  plot.parts().PlotAreaColor = 0xEEEEEE;
  plot.Paint();
  const auto& c = plot.canvas;
  // Legend (500, 48, 599, 428); entries start c / 2 = 4 pixels in, rows of 19.
  const auto fills = c.OpsOf(OpKind::FillRect);
  EXPECT_TRUE(std::any_of(fills.begin(), fills.end(), [](const CanvasOp& op) {
    return op.rect == Rect{500, 48, 600, 429} && op.brush.color == 0xEEEEEEu;
  }));
  const auto pos = TextPositions(c, {"Line", "Sym", "LS", "Bar"});
  EXPECT_EQ(pos, (std::vector<Point>{{558, 48}, {558, 67}, {558, 86}, {558, 105}}));
  EXPECT_EQ(FindText(c, "Text never counts"), nullptr);
  EXPECT_EQ(FindText(c, "Not in legend"), nullptr);
  EXPECT_TRUE(HasLine(c, {513, 57}, {549, 57}));  // the line sample
  const auto ellipses = c.OpsOf(OpKind::Ellipse);
  // The symbol centred in its sample, and the line with symbol's two ends.
  ASSERT_EQ(ellipses.size(), 3u);
  EXPECT_EQ(ellipses[0].rect, (Rect{528, 73, 535, 80}));
  EXPECT_EQ(ellipses[1].rect, (Rect{513, 92, 520, 99}));
  EXPECT_EQ(ellipses[2].rect, (Rect{543, 92, 550, 99}));
  // The bar: background and hatch over the sample, a third of the text height up and down.
  const auto rects = c.OpsOf(OpKind::Rectangle);
  EXPECT_TRUE(std::any_of(rects.begin(), rects.end(), [](const CanvasOp& op) {
    return op.rect == Rect{513, 108, 550, 121} && op.brush.style == plat::BrushStyle::FDiagonal;
  }));
}

TEST(PlotPaint, PaintingLeavesPenBrushAndFontAsTheyWere) {
  const TbmStyleList styles = MakeLegendStyles();
  Painted plot;
  plot.parts().Legend.Styles = &styles;
  plot.parts().Legend.Display = true;
  const plat::Pen pen{0x112233, plat::PenStyle::DashDot, 2};
  const plat::Brush brush{0x445566, plat::BrushStyle::Cross};
  plat::Font font;
  font.name = "Courier";
  plot.canvas.SetPen(pen);
  plot.canvas.SetBrush(brush);
  plot.canvas.SetFont(font);
  plot.Paint();
  EXPECT_EQ(plot.canvas.GetPen(), pen);
  EXPECT_EQ(plot.canvas.GetBrush(), brush);
  EXPECT_EQ(plot.canvas.GetFont(), font);
}

TEST(PlotPaint, PrinterPageIsFilledWhole) {
  PlotOnRecorder plot(600, 640, 480);
  plot.box->Printing = true;
  plot.box->Layout(6600, 5100);
  plot.canvas.Clear();
  plot.box->PaintPlot();
  EXPECT_EQ(plot.canvas.Ops()[0].rect, (Rect{0, 0, 6600, 5100}));
}

}  // namespace
