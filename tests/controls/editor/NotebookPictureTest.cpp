// The notebooks of the analysis program painted on the toolkit's canvas, in
// its fonts, and compared with stored pictures: the main window's module
// notebook (three rows on top) and the listing's notebook (tabs on the
// right, titles turned), each flat and 3-D. Empty page windows show the
// notebook's colour, as the page windows paint it.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "NotebookTestSupport.h"
#include "controls/editor/VirNbkPaint.h"
#include "platform/BitmapCanvas.h"
#include "platform/Form.h"
#include "platform/Snapshot.h"

namespace {

constexpr plat::Color kFace = plat::RGB(192, 192, 192);

struct Picture {
  const char* name;
  TTabOrientation orientation;
  TButtonStyle style;
};

class NotebookPictures : public ::testing::TestWithParam<Picture> {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "test_notebook_qt";
    static char* argv[] = {name, nullptr};
    plat::InitApplication(argc, argv);
  }
};

// The main window's module notebook: five pages in three rows of 205-pixel
// tabs 22 high, bold 15-pixel titles; the listing's: 303 wide, three
// sections, the active title bold.
void Build(TNotebookModel& nb, RecordingNotebookView& view, TTabOrientation orientation, TButtonStyle style) {
  const plat::Font normal{"Liberation Sans", 11, plat::clBlack, plat::fsBold};
  nb.SetColor(kFace);
  nb.SetHighlightColor(plat::clWhite);
  nb.SetShadowColor(plat::RGB(128, 128, 128));
  nb.SetStyle(style);
  if (orientation == toTop) {
    view.size = {427, 160};
    FillNotebook(nb, view, {"&General", "&Similarity", "&Clustering", "&Ordination", "G&raphics"});
    nb.SetFont(normal);
    nb.SetActiveTabFont(normal);
    nb.SetTabHeight(22);
    nb.SetTabWidth(205);
    nb.SetTabRowCount(3);
    nb.SetPageIndex(4);
  } else {
    view.size = {303, 240};
    FillNotebook(nb, view, {"Version", "S&AHN-1", "TREE-2"});
    nb.SetFont(plat::Font{"Liberation Sans", 9, plat::clBlack, 0});
    nb.SetActiveTabFont(plat::Font{"Liberation Sans", 9, plat::clBlack, plat::fsBold});
    nb.SetTabOrientation(toRight);
    nb.SetPageIndex(1);
    nb.PageAt(2).SetPageEnabled(false);
  }
}

TEST_P(NotebookPictures, LookLikeTheStoredPictures) {
  const Picture& picture = GetParam();
  RecordingNotebookView view;
  TNotebookModel nb(view);
  Build(nb, view, picture.orientation, picture.style);
  nb.Relayout();

  plat::BitmapCanvas bitmap(view.size.cx, view.size.cy);
  plat::Canvas& canvas = bitmap.GetCanvas();
  canvas.SetPen({kFace, plat::PenStyle::Solid, 1});
  canvas.SetBrush({kFace, plat::BrushStyle::Solid});
  canvas.FillRect(nb.PageBounds());
  TNbkPainter(nb, canvas, {kFace, true, {}, {}}).Paint();

  const std::string file = std::string("notebook-") + picture.name + ".png";
  const std::string made = std::string(MORVA_ARTEFACTS) + "/controls/" + file;
  const std::string stored = std::string(MORVA_FIXTURES) + "/controls/editor/" + file;
  std::filesystem::create_directories(std::string(MORVA_ARTEFACTS) + "/controls");
  ASSERT_TRUE(bitmap.SavePng(made));
  ASSERT_TRUE(std::filesystem::exists(stored)) << "no stored picture; look at " << made << " and copy it there";
  const plat::ImageDifference diff = plat::CompareImages(made, stored);
  ASSERT_TRUE(diff.loaded);
  ASSERT_TRUE(diff.sameSize);
  // Glyphs may differ a little between font builds; outlines and frames may not.
  EXPECT_LT(diff.meanDelta, 4.0);
  EXPECT_LT(diff.changedShare, 0.03);
}

// The new notebook's page frame, pixel by pixel, on the toolkit's canvas: lines
// leave out their last point and rectangles their right and bottom edges.
TEST_F(NotebookPictures, NewNotebookFrameFollowsThePixelRules) {
  RecordingNotebookView view;
  TNotebookModel nb(view);
  nb.SetColor(kFace);
  nb.SetHighlightColor(plat::clWhite);
  nb.SetShadowColor(plat::RGB(128, 128, 128));
  nb.SetStyle(bsWin31);
  FillNotebook(nb, view, {"&First", "&Second", "&Third"});
  plat::BitmapCanvas bitmap(220, 185);
  TNbkPainter(nb, bitmap.GetCanvas(), {plat::RGB(0, 128, 128), false, {}, {}}).Paint();
  const plat::RasterImage image = bitmap.Image();
  const auto at = [&](int x, int y) { return image.pixels[static_cast<std::size_t>(y * image.width + x)] & 0xFFFFFF; };
  struct Expected {
    int x, y;
    std::uint32_t rgb;
  };
  for (const Expected& e : std::vector<Expected>{{0, 184, 0x000000},
                                                 {195, 184, 0x000000},
                                                 {195, 21, 0x000000},
                                                 {100, 20, 0x000000},
                                                 {65, 19, 0x000000},  // the tab's right edge
                                                 {30, 20, 0xC0C0C0},  // the opening
                                                 {30, 22, 0xC0C0C0},
                                                 {1, 100, 0xFFFFFF},
                                                 {194, 100, 0x808080},
                                                 {193, 182, 0x808080},
                                                 {196, 50, 0x008080},  // beyond the strip
                                                 {219, 184, 0x008080},
                                                 {0, 0, 0x008080}})  // a corner
    EXPECT_EQ(at(e.x, e.y), e.rgb) << e.x << "," << e.y;
}

INSTANTIATE_TEST_SUITE_P(Paint, NotebookPictures,
                         ::testing::Values(Picture{"main-flat", toTop, bsWin31}, Picture{"main-3d", toTop, bsNew},
                                           Picture{"listing-flat", toRight, bsWin31},
                                           Picture{"listing-3d", toRight, bsNew}),
                         [](const auto& test) {
                           std::string name = test.param.name;
                           name[name.find('-')] = '_';
                           return name;
                         });

}  // namespace
