// The notebook control on a form, driven offscreen by keys and the mouse, and
// the analysis program's two notebooks saved as pictures.

#include "controls/editor/forms/VirNbk.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "NotebookTestSupport.h"
#include "controls/base/VirExcept.h"
#include "controls/editor/VirNbkPaint.h"
#include "platform/BitmapCanvas.h"
#include "platform/Snapshot.h"
#include "platform/StdControls.h"
#include "rtl/Format.h"
#include "tests/platform/QtTestSupport.h"

namespace {

using namespace plat;
using platform_test::WindowTest;
using Log = std::vector<std::string>;

const Font kTitles{"Liberation Sans", 9, clBlack, 0};

class NotebookWindow : public WindowTest {
 protected:
  void SetUp() override {
    form = &CreateForm<Form>("NotebookF");
    form->SetClientSize(240, 200);
    form->AddComponent<TVirController>();
    nb = &form->Add<TVirNotebook>();
    nb->SetBounds(8, 8, 220, 185);
    nb->SetStyle(bsWin31);
    nb->SetFont(kTitles);
    nb->SetActiveTabFont(Font{"Liberation Sans", 9, clBlack, fsBold});
    nb->OnPageChange = [this](Control*, int index, bool& allow) {
      log.push_back(rtl::Format("change %d", index));
      allow = index != refused;
    };
    nb->OnPageChanged = [this](Control*, int index) { log.push_back(rtl::Format("changed %d", index)); };
    nb->OnTabClick = [this](Control*, int index) { log.push_back(rtl::Format("click %d", index)); };
    nb->OnMouseOverTab = [this](Control*, int index) { log.push_back(rtl::Format("over %d", index)); };
    edit = &nb->PageAt(0).Add<Edit>();
    edit->SetBounds(10, 10, 100, 24);
    button = &nb->PageAt(2).Add<Button>("Go");
    button->SetBounds(10, 10, 80, 24);
    form->ShowForm();
    nb->Repaint();  // the tabs are placed when painted
    nb->SetFocus();
    input::Flush();
    log.clear();
  }
  void Key(int key) {
    input::PressKey(*nb, key);
    input::Flush();
  }

  Form* form = nullptr;
  TVirNotebook* nb = nullptr;
  Edit* edit = nullptr;
  Button* button = nullptr;
  int refused = -1;
  Log log;
};

TEST_F(NotebookWindow, ANewNotebookShowsItsFirstOfThreePages) {
  EXPECT_EQ(nb->PageCount(), 3);
  EXPECT_EQ(nb->Pages().Get(1), "&Second");
  EXPECT_EQ(nb->PageIndex(), 0);
  EXPECT_TRUE(nb->PageAt(0).Visible());
  EXPECT_FALSE(nb->PageAt(1).Visible());
  EXPECT_EQ(nb->PageAt(0).Bounds(), (Rect{3, 23, 193, 183}));
  EXPECT_EQ(nb->TabRectAt(2), (Rect{130, 0, 195, 20}));
}

TEST_F(NotebookWindow, ArrowsHomeAndEndMoveThroughUsablePages) {
  nb->PageAt(1).SetPageEnabled(false);
  Key(vk::Right);  // skips the disabled page
  EXPECT_EQ(nb->PageIndex(), 2);
  Key(vk::Right);  // wraps round
  EXPECT_EQ(nb->PageIndex(), 0);
  Key(vk::Left);
  EXPECT_EQ(nb->PageIndex(), 2);
  Key(vk::Home);
  EXPECT_EQ(nb->PageIndex(), 0);
  Key(vk::End);
  EXPECT_EQ(nb->PageIndex(), 2);
  EXPECT_TRUE(nb->PageAt(2).Visible());
  EXPECT_FALSE(nb->PageAt(0).Visible());
  EXPECT_EQ(log, (Log{"change 2", "changed 2", "change 0", "changed 0", "change 2", "changed 2", "change 0",
                      "changed 0", "change 2", "changed 2"}));
}

TEST_F(NotebookWindow, ARefusedChangeKeepsThePage) {
  refused = 1;
  Key(vk::Right);
  EXPECT_EQ(nb->PageIndex(), 0);
  EXPECT_TRUE(nb->PageAt(0).Visible());
  EXPECT_FALSE(nb->PageAt(1).Visible());
  EXPECT_EQ(log, (Log{"change 1"}));
}

TEST_F(NotebookWindow, AltLetterChoosesThePageOfThatAccelerator) {
  edit->SetFocus();
  input::Flush();
  input::PressKey(*edit, 'S', ssAlt, "s");
  input::Flush();
  EXPECT_EQ(nb->PageIndex(), 1);
  EXPECT_EQ(edit->Text(), "");  // the key went to the notebook, not to the field
  EXPECT_TRUE(nb->Focused());   // no control on the page: the notebook has the focus
  input::PressKey(*nb, 'T', ssAlt, "t");
  input::Flush();
  EXPECT_EQ(nb->PageIndex(), 2);
  EXPECT_TRUE(button->Focused());  // the first control of the page
  EXPECT_EQ(log, (Log{"change 1", "changed 1", "click 1", "change 2", "changed 2", "click 2"}));
}

TEST_F(NotebookWindow, ClickingATabSwitchesToItsPageAndReports) {
  input::Click(*nb, 100, 10);
  input::Flush();
  EXPECT_EQ(nb->PageIndex(), 1);
  input::Click(*nb, 100, 10);  // the active tab: only reported
  input::Flush();
  input::Click(*nb, 150, 10);
  input::Flush();
  EXPECT_EQ(nb->PageIndex(), 2);
  EXPECT_TRUE(button->Focused());
  input::Click(*nb, 210, 10);  // beyond the tabs
  input::Flush();
  EXPECT_EQ(log, (Log{"change 1", "changed 1", "click 1", "click 1", "change 2", "changed 2", "click 2"}));
}

TEST_F(NotebookWindow, HoveringATabReportsIt) {
  input::MouseMove(*nb, 20, 5);
  input::MouseMove(*nb, 140, 15);
  input::MouseMove(*nb, 140, 60);  // over the page: no tab
  EXPECT_EQ(log, (Log{"over 0", "over 2"}));
}

TEST_F(NotebookWindow, PagesComeAndGoAtRunTime) {
  nb->SetTabOrientation(toRight);
  nb->SetPageIndex(2);
  TVirNotebookPage& added = nb->InsertPage("Added", 0);
  EXPECT_EQ(nb->PageIndex(), 3);
  EXPECT_FALSE(added.Visible());
  nb->SuspendRedraw();
  nb->DeletePage(3);  // the shown page: the next usable one, wrapping round
  nb->DeletePage(2);
  nb->ResumeRedraw();
  input::Flush();
  EXPECT_EQ(nb->PageCount(), 2);
  EXPECT_EQ(nb->PageIndex(), 0);
  EXPECT_TRUE(nb->PageAt(0).Visible());
  EXPECT_THROW(nb->SetPageIndex(2), EInvalidPageIndex);
}

// The new notebook's page frame, pixel by pixel, on the toolkit's canvas: lines
// leave out their last point and rectangles their right and bottom edges.
class NotebookRaster : public WindowTest {};

TEST_F(NotebookRaster, ThePainterFollowsThePixelRulesOfTheToolkitCanvas) {
  constexpr Color kFace = RGB(192, 192, 192);
  RecordingNotebookView view;
  TNotebookModel nb(view);
  nb.SetColor(kFace);
  nb.SetHighlightColor(clWhite);
  nb.SetShadowColor(RGB(128, 128, 128));
  nb.SetStyle(bsWin31);
  FillNotebook(nb, view, {"&First", "&Second", "&Third"});
  BitmapCanvas bitmap(220, 185);
  TNbkPainter(nb, bitmap.GetCanvas(), {RGB(0, 128, 128), false, {}, {}}).Paint();
  const RasterImage image = bitmap.Image();
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

// --- Pictures -------------------------------------------------------------------------------

struct Picture {
  const char* name;
  TTabOrientation orientation;
  TButtonStyle style;
};

class NotebookPictures : public WindowTest, public ::testing::WithParamInterface<Picture> {};

// The main window's module notebook: five pages in three rows of 205-pixel
// tabs 22 high, bold 15-pixel titles, "Graphics" shown. The listing's: 303
// wide, tabs on the right, the active title bold, a disabled section.
TEST_P(NotebookPictures, LookLikeTheStoredPictures) {
  const Picture& picture = GetParam();
  Form& f = CreateForm<Form>("PictureF");
  f.AddComponent<TVirController>();
  auto& nb = f.Add<TVirNotebook>();
  nb.SetStyle(picture.style);
  if (picture.orientation == toTop) {
    f.SetClientSize(427, 160);
    nb.SetBounds(0, 0, 427, 160);
    const Font bold{"Liberation Sans", 11, clBlack, fsBold};
    nb.SetFont(bold);
    nb.SetActiveTabFont(bold);
    nb.Pages().Clear();
    for (const char* caption : {"&General", "&Similarity", "&Clustering", "&Ordination", "G&raphics"})
      nb.Pages().Add(caption);
    nb.SetTabHeight(22);
    nb.SetTabWidth(205);
    nb.SetTabRowCount(3);
    nb.SetPageIndex(4);
  } else {
    f.SetClientSize(303, 240);
    nb.SetBounds(0, 0, 303, 240);
    nb.SetFont(Font{"Liberation Sans", 9, clBlack, 0});
    nb.SetActiveTabFont(Font{"Liberation Sans", 9, clBlack, fsBold});
    nb.Pages().Clear();
    for (const char* caption : {"Version", "S&AHN-1", "TREE-2"}) nb.Pages().Add(caption);
    nb.SetTabOrientation(toRight);
    nb.SetPageIndex(1);
    nb.PageAt(2).SetPageEnabled(false);
  }
  f.ShowForm();
  nb.SetFocus();
  input::Flush();

  const std::string file = std::string("notebook-") + picture.name + ".png";
  const std::string made = std::string(MORVA_ARTEFACTS) + "/controls/editor/" + file;
  const std::string stored = std::string(MORVA_FIXTURES) + "/controls/editor/" + file;
  std::filesystem::create_directories(std::filesystem::path(made).parent_path());
  ASSERT_TRUE(SaveSnapshot(nb, made));
  ASSERT_TRUE(std::filesystem::exists(stored)) << "no stored picture; look at " << made << " and copy it there";
  const ImageDifference diff = CompareImages(made, stored);
  ASSERT_TRUE(diff.loaded);
  ASSERT_TRUE(diff.sameSize);
  // Glyphs may differ a little between font builds; outlines and frames may not.
  EXPECT_LT(diff.meanDelta, 4.0);
  EXPECT_LT(diff.changedShare, 0.03);
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
