#include "platform/BitmapCanvas.h"
#include "platform/Fonts.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "QtTestSupport.h"

namespace {

using namespace plat;

class FontSystemTest : public platform_test::WindowTest {};

TEST_F(FontSystemTest, FixedPitchFamiliesAreSortedAndTakeSubstitutedNames) {
  const std::vector<std::string> names = FixedPitchFamilies();
  ASSERT_FALSE(names.empty());
  EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
  // Served by a metric-compatible fixed face on the machines we build on.
  EXPECT_NE(std::find(names.begin(), names.end(), "Courier New"), names.end());
  EXPECT_EQ(std::find(names.begin(), names.end(), "Liberation Sans"), names.end());
}

TEST_F(FontSystemTest, TheDesktopsTrueTypeFontsAreOutlineFonts) {
  EXPECT_TRUE(IsOutlineFont(Font{"Liberation Sans", 10, clBlack, fsBold}));
  EXPECT_TRUE(IsOutlineFont(Font{"Liberation Mono", 8, clBlack, 0}));
}

// The columns of pixels from x0 on that hold any ink.
std::vector<int> InkedColumns(const RasterImage& image, int x0, int x1) {
  std::vector<int> columns;
  for (int x = x0; x < x1; ++x) {
    for (int y = 0; y < image.height; ++y) {
      if ((image.pixels[static_cast<std::size_t>(y * image.width + x)] & 0xFFFFFF) != 0xFFFFFF) {
        columns.push_back(x - x0);
        break;
      }
    }
  }
  return columns;
}

TEST_F(FontSystemTest, FixedTextKeepsEveryCharacterInItsCell) {
  for (int size : {8, 10, 13}) {
    BitmapCanvas bitmap(400, 40);
    Canvas& canvas = bitmap.GetCanvas();
    canvas.SetFont(Font{"Courier New", size, clBlack, 0});
    canvas.SetBrush({clWhite, BrushStyle::Clear});
    const TextMetrics metrics = canvas.GetTextMetrics();
    EXPECT_NEAR(metrics.aveCharWidth, canvas.TextWidth("W"), 1) << size;
    EXPECT_EQ(metrics.height, canvas.TextHeight("x"));
    EXPECT_GE(metrics.externalLeading, 0);
    const int cell = metrics.aveCharWidth;
    // The 30th character of a run lands where a lone one drawn in that cell does.
    canvas.TextOutCells(0, 0, std::string(29, '.') + "W", cell);
    canvas.TextOutCells(29 * cell, 20, "W", cell);
    const RasterImage image = bitmap.Image();
    RasterImage top = image, bottom = image;
    top.height = 20;
    bottom.pixels.erase(bottom.pixels.begin(), bottom.pixels.begin() + 20 * image.width);
    bottom.height = 20;
    EXPECT_EQ(InkedColumns(top, 29 * cell, 30 * cell), InkedColumns(bottom, 29 * cell, 30 * cell)) << size;
  }
}

}  // namespace

namespace {

TEST_F(FontSystemTest, ClipBoxIsTheClipWithinTheSurface) {
  plat::BitmapCanvas bitmap(100, 60);
  plat::Canvas& canvas = bitmap.GetCanvas();
  EXPECT_EQ(canvas.ClipBox(), (plat::Rect{0, 0, 100, 60}));
  canvas.SetClipRect({10, 20, 30, 200});
  EXPECT_EQ(canvas.ClipBox(), (plat::Rect{10, 20, 30, 60}));
  canvas.RemoveClip();
  EXPECT_EQ(canvas.ClipBox(), (plat::Rect{0, 0, 100, 60}));
}

}  // namespace
