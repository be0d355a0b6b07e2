// The pixel rules of the toolkit canvas, drawn into a picture in memory.

#include "platform/BitmapCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "QtTestSupport.h"

namespace {

using namespace plat;

constexpr std::uint32_t kWhite = 0xFFFFFFFF;

class CanvasPixels : public platform_test::WindowTest {
 protected:
  BitmapCanvas bitmap{40, 40};
  Canvas& canvas = bitmap.GetCanvas();

  std::uint32_t At(const RasterImage& image, int x, int y) const {
    return image.pixels[static_cast<std::size_t>(y * image.width + x)];
  }
  // The smallest rectangle (right and bottom exclusive) holding every pixel that is not white.
  Rect Ink() {
    const RasterImage image = bitmap.Image();
    Rect r{image.width, image.height, 0, 0};
    for (int y = 0; y < image.height; ++y)
      for (int x = 0; x < image.width; ++x)
        if (At(image, x, y) != kWhite)
          r = {std::min(r.left, x), std::min(r.top, y), std::max(r.right, x + 1), std::max(r.bottom, y + 1)};
    return r;
  }
};

TEST_F(CanvasPixels, LinesLeaveOutTheirLastPointAndRectanglesAreHalfOpen) {
  canvas.SetPen({clBlack, PenStyle::Solid, 1});
  canvas.Line(2, 3, 9, 3);
  EXPECT_EQ(Ink(), (Rect{2, 3, 9, 4}));
  BitmapCanvas other(40, 40);
  other.GetCanvas().SetPen({clBlack, PenStyle::Solid, 1});
  other.GetCanvas().SetBrush({clBlack, BrushStyle::Solid});
  other.GetCanvas().Rectangle({5, 6, 12, 10});
  const RasterImage image = other.Image();
  EXPECT_NE(At(image, 11, 9), kWhite);
  EXPECT_EQ(At(image, 12, 9), kWhite);
  EXPECT_EQ(At(image, 11, 10), kWhite);
}

// From the start, without the end, whichever way the line runs.
TEST_F(CanvasPixels, LinesInEveryDirectionKeepTheirStartAndLeaveOutTheirEnd) {
  struct Case {
    Point from, to;
    Point first, last;  // the pixels at the two ends that are set
  };
  for (const Case& c : std::vector<Case>{{{2, 3}, {9, 3}, {2, 3}, {8, 3}},
                                         {{9, 3}, {2, 3}, {9, 3}, {3, 3}},
                                         {{4, 10}, {4, 3}, {4, 10}, {4, 4}},
                                         {{6, 5}, {2, 9}, {6, 5}, {3, 8}},
                                         {{2, 9}, {6, 5}, {2, 9}, {5, 6}}}) {
    BitmapCanvas b(16, 16);
    b.GetCanvas().SetPen({clBlack, PenStyle::Solid, 1});
    b.GetCanvas().Line(c.from.x, c.from.y, c.to.x, c.to.y);
    const RasterImage image = b.Image();
    EXPECT_NE(At(image, c.first.x, c.first.y), kWhite) << c.from.x << "," << c.from.y;
    EXPECT_NE(At(image, c.last.x, c.last.y), kWhite) << c.from.x << "," << c.from.y;
    EXPECT_EQ(At(image, c.to.x, c.to.y), kWhite) << c.from.x << "," << c.from.y;
  }
}

TEST_F(CanvasPixels, PolygonsOutlineEveryCorner) {
  canvas.SetPen({clBlack, PenStyle::Solid, 1});
  canvas.SetBrush({clBlack, BrushStyle::Solid});
  canvas.Polygon({{10, 10}, {13, 10}, {10, 13}});
  EXPECT_EQ(Ink(), (Rect{10, 10, 14, 14}));
  const RasterImage image = bitmap.Image();
  EXPECT_NE(At(image, 13, 10), kWhite);
  EXPECT_NE(At(image, 10, 13), kWhite);
  EXPECT_EQ(At(image, 12, 12), kWhite);
}

TEST_F(CanvasPixels, SetPixelSetsOnePixelInItsColour) {
  canvas.SetPixel(7, 8, RGB(255, 0, 0));
  EXPECT_EQ(Ink(), (Rect{7, 8, 8, 9}));
  EXPECT_EQ(At(bitmap.Image(), 7, 8), 0xFFFF0000u);
}

TEST_F(CanvasPixels, FocusRectangleIsDottedAndUndoneByDrawingItAgain) {
  canvas.SetBrush({RGB(0, 0, 255), BrushStyle::Solid});
  canvas.FillRect({0, 0, 40, 40});
  const RasterImage before = bitmap.Image();
  canvas.DrawFocusRect({4, 4, 20, 12});
  const RasterImage once = bitmap.Image();
  EXPECT_EQ(At(once, 4, 4), 0xFFFFFF00u);  // blue inverted
  EXPECT_EQ(At(once, 5, 4), 0xFF0000FFu);  // the gap of the dots
  EXPECT_EQ(At(once, 6, 4), 0xFFFFFF00u);
  EXPECT_EQ(At(once, 19, 5), 0xFFFFFF00u);  // right edge, (19 - 4) + (5 - 4) even
  EXPECT_EQ(At(once, 10, 8), 0xFF0000FFu);  // inside untouched
  EXPECT_EQ(At(once, 20, 4), 0xFF0000FFu);  // right and bottom exclusive
  EXPECT_EQ(At(once, 4, 12), 0xFF0000FFu);
  canvas.DrawFocusRect({4, 4, 20, 12});
  EXPECT_EQ(bitmap.Image().pixels, before.pixels);
}

TEST_F(CanvasPixels, TextTurnedDownwardsCoversTheColumnsLeftOfItsReferencePoint) {
  canvas.SetFont(Font{"Liberation Sans", 10, clBlack, 0, 2700});
  canvas.SetBrush({clBlack, BrushStyle::Clear});
  const Size extent = canvas.TextExtent("Wy");
  canvas.TextOut(30, 5, "Wy");
  const Rect ink = Ink();
  EXPECT_GE(ink.left, 30 - extent.cy);
  EXPECT_LE(ink.right, 30);
  EXPECT_GE(ink.top, 5);
  EXPECT_LE(ink.bottom, 5 + extent.cx);
  EXPECT_GT(ink.Height(), ink.Width());  // runs along y
}

TEST_F(CanvasPixels, OpaqueTextFillsItsCellsAndTransparentTextDoesNot) {
  canvas.SetFont(Font{"Liberation Sans", 10, clBlack, 0});
  const Size extent = canvas.TextExtent("i");
  canvas.SetBrush({clBlack, BrushStyle::Clear});
  canvas.TextOut(2, 2, "i");
  EXPECT_EQ(At(bitmap.Image(), 2, 2), kWhite);
  canvas.SetBrush({RGB(0, 255, 0), BrushStyle::Solid});
  canvas.TextOut(2, 2, "i");
  EXPECT_EQ(Ink(), (Rect{2, 2, 2 + extent.cx, 2 + extent.cy}));
}

TEST_F(CanvasPixels, CentredTitleIsCutToItsRectangleAndUnderlinesItsAccelerator) {
  canvas.SetFont(Font{"Liberation Sans", 10, clBlack, 0});
  canvas.SetBrush({clBlack, BrushStyle::Clear});
  canvas.DrawTextCentred({0, 0, 40, 30}, "II");
  const Rect plain = Ink();
  EXPECT_NEAR((plain.left + plain.right) / 2.0, 20, 2);  // centred across
  EXPECT_LT(plain.top, 6);                               // at the top

  BitmapCanvas marked(40, 40);
  marked.GetCanvas().SetFont(Font{"Liberation Sans", 10, clBlack, 0});
  marked.GetCanvas().SetBrush({clBlack, BrushStyle::Clear});
  marked.GetCanvas().DrawTextCentred({0, 0, 40, 30}, "&II");
  EXPECT_NE(marked.Image().pixels, bitmap.Image().pixels);  // the same letters, one underlined

  BitmapCanvas cut(40, 40);
  cut.GetCanvas().SetFont(Font{"Liberation Sans", 10, clBlack, 0});
  cut.GetCanvas().SetBrush({clBlack, BrushStyle::Clear});
  cut.GetCanvas().DrawTextCentred({10, 2, 20, 6}, "WWWWWW");
  const RasterImage image = cut.Image();
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x)
      if (At(image, x, y) != kWhite) {
        EXPECT_TRUE(x >= 10 && x < 20 && y >= 2 && y < 6) << x << "," << y;
      }
}

struct AccelCase {
  const char* name;
  const char* text;
  const char* shown;
  std::size_t accelerator;
};

class Accelerators : public ::testing::TestWithParam<AccelCase> {};

TEST_P(Accelerators, AreTakenOutOfTheShownText) {
  const AcceleratedText t = StripAccelerators(GetParam().text);
  EXPECT_EQ(t.shown, GetParam().shown);
  EXPECT_EQ(t.accelerator, GetParam().accelerator);
}

INSTANTIATE_TEST_SUITE_P(Canvas, Accelerators,
                         ::testing::Values(AccelCase{"plain", "First", "First", std::string::npos},
                                           AccelCase{"first", "&First", "First", 0},
                                           AccelCase{"inner", "G&raphics", "Graphics", 1},
                                           AccelCase{"doubled", "A&&B", "A&B", std::string::npos},
                                           AccelCase{"doubled_then_marked", "&&&x", "&x", 1},
                                           AccelCase{"second_mark_shown_unmarked", "&a&b", "ab", 0},
                                           AccelCase{"trailing", "ab&", "ab", std::string::npos},
                                           AccelCase{"empty", "", "", std::string::npos}),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
