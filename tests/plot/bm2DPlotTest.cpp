// The plot without its window: the style registry and its automatic looks,
// drawing with unknown or mismatched styles, the data group, errors found while
// painting, printing and painting another device.

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "platform/record/RecordingCanvas.h"
#include "platform/record/RecordingPrinter.h"
#include "plot/bm2DPlot.h"

namespace {

using plat::OpKind;

constexpr plat::Color kMaroon = 0x000080;
constexpr plat::Color kGreen = 0x008000;

struct PlotFixture : ::testing::Test {
  plat::RecordingCanvas screen{96, 96};
  Tbm2DPlot plot{screen, 400, 300};
};

using StyleRegistry = PlotFixture;

TEST_F(StyleRegistry, IdentifiersCountFromOneInRegistrationOrder) {
  EXPECT_EQ(plot.AddStyle(bmTextStyle, false), 1);
  EXPECT_EQ(plot.AddStyle(bmLineStyle, true), 2);
  EXPECT_EQ(plot.AddStyle(bmQuadStyle, false), 3);
  EXPECT_EQ(plot.StyleCount(bmLineStyle), 1);
  plot.ClearStyles();
  EXPECT_EQ(plot.AddStyle(bmBarStyle, true), 1);
  EXPECT_EQ(plot.StyleCount(bmLineStyle), 0);
}

TEST_F(StyleRegistry, AutomaticLinesStepThroughStylesThenColours) {
  struct Row {
    plat::PenStyle style;
    plat::Color color;
  };
  const std::vector<Row> expected = {{plat::PenStyle::Solid, plat::clBlack}, {plat::PenStyle::Dot, plat::clBlack},
                                     {plat::PenStyle::Dash, plat::clBlack},  {plat::PenStyle::Solid, kMaroon},
                                     {plat::PenStyle::Dot, kMaroon},         {plat::PenStyle::Dash, kMaroon},
                                     {plat::PenStyle::Solid, kGreen}};
  for (std::size_t n = 0; n < expected.size(); ++n) {
    const auto& line = std::get<TbmLineClass>(plot.FindStyle(plot.AddStyle(bmLineStyle, true))->Part);
    EXPECT_EQ(line.Pen.style, expected[n].style) << n;
    EXPECT_EQ(line.Pen.color, expected[n].color) << n;
  }
}

// Symbols and lines with symbols draw their looks from one sequence.
TEST_F(StyleRegistry, AutomaticSymbolsShareOneSequenceWithLinesWithSymbols) {
  std::vector<int> ids;
  for (int m = 0; m < 14; ++m) ids.push_back(plot.AddStyle(m % 2 == 0 ? bmSymbolStyle : bmLineSymbolStyle, true));
  auto symbol = [&](int m) -> const TbmSymbolClass& {
    const TbmStyleEntry& e = *plot.FindStyle(ids[static_cast<std::size_t>(m)]);
    if (e.Kind() == bmSymbolStyle) return std::get<TbmSymbolClass>(e.Part);
    return std::get<TbmLineSymbolClass>(e.Part);
  };
  EXPECT_EQ(symbol(0).Kind, bmCircle);
  EXPECT_EQ(symbol(0).Fill.color, plat::clWhite) << "black fill becomes white";
  EXPECT_EQ(symbol(5).Kind, bmCross);
  EXPECT_EQ(symbol(5).Outline.color, plat::clBlack) << "a white cross keeps its outline";
  EXPECT_EQ(symbol(8).Kind, bmCircle);
  EXPECT_EQ(symbol(8).Fill.color, kMaroon);
  EXPECT_EQ(symbol(13).Kind, bmCross);
  EXPECT_EQ(symbol(13).Outline.color, plat::clWhite) << "lines of a filled cross are white";

  // Lines with symbols: the line style counts lines with symbols only; the
  // line takes the fill colour, black for a white fill.
  const auto& first = std::get<TbmLineSymbolClass>(plot.FindStyle(ids[1])->Part);
  const auto& second = std::get<TbmLineSymbolClass>(plot.FindStyle(ids[3])->Part);
  const auto& fifth = std::get<TbmLineSymbolClass>(plot.FindStyle(ids[9])->Part);
  EXPECT_EQ(first.LinePen.style, plat::PenStyle::Solid);
  EXPECT_EQ(first.LinePen.color, plat::clBlack);
  EXPECT_EQ(second.LinePen.style, plat::PenStyle::Dot);
  EXPECT_EQ(fifth.LinePen.color, kMaroon);
}

TEST_F(StyleRegistry, AutomaticBarsStepThroughHatchesThenColours) {
  const std::vector<plat::BrushStyle> hatches = {plat::BrushStyle::FDiagonal, plat::BrushStyle::BDiagonal,
                                                 plat::BrushStyle::DiagCross, plat::BrushStyle::Solid,
                                                 plat::BrushStyle::FDiagonal};
  for (std::size_t n = 0; n < hatches.size(); ++n) {
    const auto& bar = std::get<TbmBarClass>(plot.FindStyle(plot.AddStyle(bmBarStyle, true))->Part);
    EXPECT_EQ(bar.Hatch.style, hatches[n]) << n;
    EXPECT_EQ(bar.Hatch.color, n < 4 ? plat::clBlack : kMaroon) << n;
  }
}

TEST_F(StyleRegistry, TextsAndQuadrilateralsKeepTheirDefaultsEvenWhenAskedForAutomaticLooks) {
  const auto& text = std::get<TbmTextClass>(plot.FindStyle(plot.AddStyle(bmTextStyle, true))->Part);
  EXPECT_EQ(text.Alignment, 5);
  const auto& quad = std::get<TbmQuadClass>(plot.FindStyle(plot.AddStyle(bmQuadStyle, true))->Part);
  EXPECT_EQ(quad.Hatch, TbmQuadClass().Hatch);
}

// An identifier that is not registered (the registry may be empty) is not
// found: lines use the paint box's current style, texts and quads draw nothing.
TEST_F(StyleRegistry, UnknownOrMismatchedIdentifiersNeverReadPastTheRegistry) {
  EXPECT_EQ(plot.FindStyle(1), nullptr);
  plot.BeginDataPaint();
  screen.Clear();
  plot.DrawLine(7, 0.2, 0.2, 0.8, 0.8);
  plot.DrawText(7, "x", 0.5, 0.5);
  plot.DrawQuad(7, 0, 0, 1, 0, 1, 1, 0, 1);
  const double xs[] = {0.5};
  plot.DrawSymbols(1, xs, xs, 7);
  EXPECT_EQ(screen.OpsOf(OpKind::Line).size(), 1u);
  EXPECT_EQ(screen.OpsOf(OpKind::Line)[0].pen, plot.PaintBox().CurrentLine().Pen);
  EXPECT_TRUE(screen.OpsOf(OpKind::TextOut).empty());
  EXPECT_TRUE(screen.OpsOf(OpKind::Polygon).empty());
  EXPECT_EQ(screen.OpsOf(OpKind::Ellipse).size(), 1u) << "the current symbol";

  const int dotted = plot.AddStyle(bmLineStyle, true);
  plot.AddStyle(bmLineStyle, true);
  const int text = plot.AddStyle(bmTextStyle, false);
  plot.DrawLine(dotted + 1, 0, 0, 1, 1);  // sets the dotted style current
  screen.Clear();
  plot.DrawLine(text, 0, 0, 1, 1);  // a text style: the current line is used
  plot.DrawLine(99, 0, 0, 1, 1);    // past the last identifier: the same
  for (const auto& op : screen.OpsOf(OpKind::Line)) EXPECT_EQ(op.pen.style, plat::PenStyle::Dot);
  plot.EndDataPaint();
}

TEST_F(PlotFixture, WithoutAChoiceOfGroupsTheGroupIsOne) {
  for (int count : {0, 1}) {
    plot.SetGroupCount(count);
    plot.SetGroupValue(3);
    EXPECT_EQ(plot.ByGroupValue(), 1) << count;
  }
  plot.SetGroupCount(3);
  plot.SetGroupValue(3);
  EXPECT_EQ(plot.ByGroupValue(), 3);
  plot.SetGroupValue(9);
  EXPECT_EQ(plot.ByGroupValue(), 3);
}

TEST_F(PlotFixture, DataPaintClipsToThePlotAndGivesTheWholeWindowBack) {
  plot.BeginDataPaint();
  const auto& r = plot.Parts().PlotArea.Rect;
  EXPECT_EQ(screen.Clip(), (plat::Rect{r.left, r.top, r.right + 1, r.bottom + 1}));
  plot.EndDataPaint();
  EXPECT_EQ(screen.Clip(), (plat::Rect{0, 0, 400, 300}));
}

// A draw that fails on every paint is reported once, not on every repaint.
TEST_F(PlotFixture, ErrorFoundWhilePaintingIsReportedOnce) {
  std::vector<std::string> reported;
  plot.OnPaintError = [&](const std::string& m) { reported.push_back(m); };
  bool fail = true;
  plot.DrawCallback = [&] {
    plot.BeginDataPaint();
    if (fail) throw std::runtime_error("No points to plot");
    plot.EndDataPaint();
  };
  for (int i = 0; i < 3; ++i) plot.PaintScreen(screen);
  EXPECT_EQ(reported, std::vector<std::string>{"No points to plot"});
  fail = false;
  plot.PaintScreen(screen);
  fail = true;
  plot.PaintScreen(screen);
  EXPECT_EQ(reported.size(), 2u) << "the error comes back after a good paint";
  EXPECT_EQ(&plot.PaintBox().TargetCanvas(), &screen);
}

struct PrintFixture : PlotFixture {
  plat::RecordingPrinter printer;
  PrintFixture() {
    plot.DrawCallback = [this] {
      plot.BeginDataPaint();
      plot.DrawLine(0, 0, 0, 1, 1);
      plot.EndDataPaint();
    };
  }
};

TEST_F(PrintFixture, PrintingLaysOutThePageInLandscapeAndReturnsToTheScreen) {
  const plat::Rect screenPlot = plot.Parts().PlotArea.Rect;
  plot.Print(printer, "Tree plot");
  EXPECT_EQ(printer.Log(), (std::vector<std::string>{"begin Tree plot", "end"}));
  EXPECT_EQ(printer.GetOrientation(), plat::Orientation::Landscape);
  ASSERT_EQ(printer.Pages().size(), 1u);
  const auto& page = *printer.Pages()[0];
  EXPECT_FALSE(page.OpsOf(OpKind::Line).empty());
  EXPECT_GT(plot.Parts().PlotArea.Rect.right, 0);
  EXPECT_EQ(plot.Parts().PlotArea.Rect, screenPlot);
  EXPECT_FALSE(plot.PaintBox().Printing);
  EXPECT_EQ(&plot.PaintBox().TargetCanvas(), &screen);
}

// A failure while painting the page closes the print job instead of leaving it open.
TEST_F(PrintFixture, FailedPrintAbortsTheJob) {
  plot.DrawCallback = [] { throw std::runtime_error("disk full"); };
  EXPECT_THROW(plot.Print(printer, "Tree plot"), std::runtime_error);
  EXPECT_EQ(printer.Log(), (std::vector<std::string>{"begin Tree plot", "abort"}));
  EXPECT_FALSE(printer.Printing());
  EXPECT_FALSE(plot.PaintBox().Printing);
  EXPECT_EQ(&plot.PaintBox().TargetCanvas(), &screen);
}

TEST_F(PrintFixture, CancelledDocumentPrintsNothing) {
  printer.CancelNextDocument();
  plot.Print(printer, "Tree plot");
  EXPECT_TRUE(printer.Pages().empty() || printer.Pages()[0]->Ops().empty());
  EXPECT_FALSE(plot.PaintBox().Printing);
}

TEST_F(PrintFixture, AnotherDeviceIsPaintedAtTheWindowSizeThenTheScreenComesBack) {
  const plat::Rect screenPlot = plot.Parts().PlotArea.Rect;
  plat::RecordingCanvas device(192, 192);
  plot.PaintDevice(device);
  EXPECT_FALSE(device.OpsOf(OpKind::Line).empty());
  const auto fills = device.OpsOf(OpKind::Rectangle);
  ASSERT_FALSE(fills.empty());
  EXPECT_EQ(fills[0].rect, (plat::Rect{0, 0, 400, 300})) << "the background covers the device";
  EXPECT_TRUE(screen.Ops().empty()) << "nothing reaches the screen meanwhile";
  EXPECT_EQ(plot.Parts().PlotArea.Rect, screenPlot);
  EXPECT_EQ(&plot.PaintBox().TargetCanvas(), &screen);
}

}  // namespace
