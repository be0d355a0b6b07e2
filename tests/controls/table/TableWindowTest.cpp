// The grid in a window, driven offscreen like a user: the focus coming and
// going by Tab, dragging the scroll bar's thumb, resizing the window, and a
// showcase picture.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "controls/table/VirTCStr.h"
#include "controls/table/forms/VirTable.h"
#include "platform/Input.h"
#include "platform/Snapshot.h"
#include "platform/StdControls.h"
#include "platform/SystemColors.h"
#include "tests/platform/QtTestSupport.h"

namespace {

using platform_test::WindowTest;

// Cell texts kept as the owner of a grid keeps them: length-prefixed strings.
class CellTexts {
 public:
  void Set(int r, int c, const std::string& text) {
    auto& bytes = texts_[{r, c}];
    bytes.assign(1, static_cast<std::uint8_t>(text.size()));
    bytes.insert(bytes.end(), text.begin(), text.end());
  }
  void Serve(TVirTableCore& table) {
    table.OnGetCellData = [this](int r, int c, TVirCellDataPurpose) {
      auto it = texts_.find({r, c});
      return it == texts_.end() ? TVirCellData{} : TVirCellData(it->second);
    };
  }

 private:
  std::map<std::pair<int, int>, std::vector<std::uint8_t>> texts_;
};

std::uint32_t PixelAt(const plat::RasterImage& image, int x, int y) {
  return image.pixels[static_cast<std::size_t>(y * image.width + x)] & 0xFFFFFF;
}

// 0x00BBGGRR as the picture's 0x00RRGGBB.
std::uint32_t AsPixel(plat::Color c) {
  const plat::Color rgb = plat::ColorToRGB(c);
  return static_cast<std::uint32_t>((plat::RedOf(rgb) << 16) | (plat::GreenOf(rgb) << 8) | plat::BlueOf(rgb));
}

class TableWindow : public WindowTest {
 protected:
  void SetUp() override {
    plat::CustomControl::SetCaretBlinkTime(0);
    form = &plat::CreateForm<plat::Form>("GridF");
    form->SetBounds(40, 40, 420, 320);
    form->AddComponent<TVirController>();
    before = &form->Add<plat::Edit>();
    before->SetBounds(0, 0, 100, 24);
    table = &form->Add<TVirTable>();
    table->SetBounds(0, 30, 300, 200);
    after = &form->Add<plat::Edit>();
    after->SetBounds(0, 240, 100, 24);
    text.SetAdjust(otaCenterLeft);
    heading.SetAdjust(otaCenter);
    table->SetLockedRowsCell(&heading);
    table->SetColCount(5);
    for (int c = 0; c < 5; ++c) {
      table->Columns().Column(c)->SetWidth(60);
      if (c > 0) table->Columns().Column(c)->SetDefaultCell(&text);
    }
    table->SetRowLimit(100);
    for (int r = 1; r < 100; ++r)
      for (int c = 1; c < 5; ++c) texts.Set(r, c, std::to_string(r) + ":" + std::to_string(c));
    texts.Serve(*table);
  }
  void Show() {
    form->ShowForm();
    plat::input::Flush();
  }

  plat::Form* form = nullptr;
  plat::Edit* before = nullptr;
  TVirTable* table = nullptr;
  plat::Edit* after = nullptr;
  TVirTCBaseString text;
  TVirTCColHead heading;
  CellTexts texts;
};

TEST_F(TableWindow, TabMovesTheFocusInAndOutAndTheActiveCellFollows) {
  table->Colors().Set(TVirTableColors::ActiveUnfocused, plat::RGB(200, 200, 0));
  for (TVirGridPen* pen : {&table->GridPenSet().CellWhenFocused, &table->GridPenSet().CellWhenUnfocused})
    pen->SetStyle(plat::PenStyle::Solid);
  table->GridPenSet().CellWhenFocused.SetNormalColor(plat::clRed);
  table->GridPenSet().CellWhenUnfocused.SetNormalColor(plat::clNavy);
  Show();
  before->SetFocus();
  plat::input::Flush();
  // The active cell (1, 1) is (60, 30, 120, 60) of the client area, inside
  // the 2-pixel sunken border; its frame runs inside the grid lines.
  auto look = [this] {
    const plat::RasterImage image = plat::GrabImage(*table);
    return std::pair{PixelAt(image, 102, 47), PixelAt(image, 62, 47)};
  };
  EXPECT_EQ(look(), std::pair(AsPixel(plat::RGB(200, 200, 0)), AsPixel(plat::clNavy)));
  plat::input::PressKey(*before, plat::vk::Tab);
  plat::input::Flush();
  EXPECT_TRUE(table->Focused());
  EXPECT_EQ(look(), std::pair(AsPixel(plat::clHighlight), AsPixel(plat::clRed)));
  plat::input::PressKey(*table, plat::vk::Tab);
  plat::input::Flush();
  EXPECT_TRUE(after->Focused());
  EXPECT_EQ(look(), std::pair(AsPixel(plat::RGB(200, 200, 0)), AsPixel(plat::clNavy)));
  // With otoTabToArrow the table keeps Tab.
  table->SetOptions({otoTabToArrow});
  table->SetFocus();
  plat::input::PressKey(*table, plat::vk::Tab);
  plat::input::Flush();
  EXPECT_TRUE(table->Focused());
}

TEST_F(TableWindow, DraggingTheThumbKeepsTheTopRowInRange) {
  Show();
  ASSERT_TRUE(table->ScrollBarVisible(plat::ScrollBarKind::Vertical));
  // A long thumb, so that a press just below the top arrow takes it.
  table->SetScrollPage(plat::ScrollBarKind::Vertical, 60);
  const int x = table->Width() - 6, bottom = table->ClientHeight() - 4;
  for (bool track : {false, true}) {
    SCOPED_TRACE(track ? "with thumb tracking" : "without thumb tracking");
    table->SetOptions(track ? TVirTblOptionSet{otoThumbTrack} : TVirTblOptionSet{});
    table->SetTopRow(1);
    plat::input::MouseDown(*table, plat::MouseButton::Left, x, 22);
    plat::input::MouseMove(*table, x, bottom / 2, plat::ssLeft);
    if (track)
      EXPECT_GT(table->TopRow(), 1);
    else
      EXPECT_EQ(table->TopRow(), 1);
    plat::input::MouseMove(*table, x, bottom + 200, plat::ssLeft);
    plat::input::MouseUp(*table, plat::MouseButton::Left, x, bottom + 200);
    plat::input::Flush();
    EXPECT_EQ(table->TopRow(), table->LargestTopRow());
    EXPECT_EQ(table->VisibleRows()[table->VisibleRows().Count() - 1].Number, 99);
  }
}

TEST_F(TableWindow, ResizingKeepsTheTopRowInRange) {
  Show();
  table->SetTopRow(99);
  const int largest = table->LargestTopRow();
  EXPECT_EQ(table->TopRow(), largest);
  table->SetBounds(0, 30, 300, 260);
  plat::input::Flush();
  EXPECT_LT(table->LargestTopRow(), largest);
  EXPECT_EQ(table->TopRow(), table->LargestTopRow());
  // Wide enough for every column: nothing scrolls sideways and the bar goes.
  table->SetBounds(0, 30, 400, 260);
  plat::input::Flush();
  EXPECT_EQ(table->LeftCol(), 1);
  EXPECT_FALSE(table->ScrollBarVisible(plat::ScrollBarKind::Horizontal));
}

// BorderStyle bsSingle draws a black line, replaced by the sunken edge with
// Ctl3D; bsNone draws none. The cells start inside the border.
TEST_F(TableWindow, TheBorderFollowsBorderStyleAndCtl3D) {
  struct Case {
    TBorderStyle style;
    bool ctl3D;
    plat::EditBorder frame;
    int width;
    plat::Color corner;
  };
  const Case cases[] = {
      {TBorderStyle::bsNone, true, plat::EditBorder::None, 0, 0},
      {TBorderStyle::bsSingle, true, plat::EditBorder::Lowered3D, 2, plat::clBtnShadow},
      {TBorderStyle::bsSingle, false, plat::EditBorder::Single, 1, plat::clWindowFrame},
  };
  EXPECT_EQ(table->BorderStyle(), TBorderStyle::bsSingle);
  EXPECT_TRUE(table->Ctl3D());
  Show();
  int unframedWidth = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.width);
    table->SetBorderStyle(c.style);
    table->SetCtl3D(c.ctl3D);
    plat::input::Flush();
    EXPECT_EQ(table->Frame(), c.frame);
    if (c.width == 0) unframedWidth = table->ClientWidth();
    EXPECT_EQ(table->ClientWidth(), unframedWidth - 2 * c.width);
    if (c.width > 0) {
      EXPECT_EQ(PixelAt(plat::GrabImage(*table), 0, 0), AsPixel(c.corner));
    }
    // The heading cell of column 1 is where the layout puts it, inside the border.
    const plat::Rect cell = table->CellRect(2, 2);
    plat::input::Click(*table, cell.left + 3, cell.top + 3);
    plat::input::Flush();
    EXPECT_EQ(table->ActiveRow(), 2);
    EXPECT_EQ(table->ActiveCol(), 2);
    table->SetActiveCell(1, 1);
  }
}

// The table's own key, mouse and double-click events run before its handling:
// a key the handler takes (key 0) moves nothing.
TEST_F(TableWindow, KeyMouseAndDoubleClickEventsComeFirst) {
  std::vector<std::string> trace;
  table->Events.OnKeyDown = [&](plat::Control&, int& key, plat::ShiftState) {
    trace.push_back("key " + std::to_string(key) + " at row " + std::to_string(table->ActiveRow()));
    if (key == plat::vk::Up) key = 0;
  };
  table->Events.OnMouseDown = [&](plat::Control&, plat::MouseButton, plat::ShiftState, int, int) {
    trace.push_back("mouse at row " + std::to_string(table->ActiveRow()));
  };
  table->Events.OnDblClick = [&](plat::Control&) { trace.push_back("double at row " + std::to_string(table->ActiveRow())); };
  Show();
  table->SetFocus();
  plat::input::Flush();
  plat::input::PressKey(*table, plat::vk::Down);
  plat::input::PressKey(*table, plat::vk::Up);
  EXPECT_EQ(table->ActiveRow(), 2) << "Up was taken by the handler";
  const plat::Rect cell = table->CellRect(4, 1);
  plat::input::DoubleClick(*table, cell.left + 3, cell.top + 3);
  plat::input::Flush();
  EXPECT_EQ(trace, (std::vector<std::string>{"key 40 at row 1", "key 38 at row 2", "mouse at row 2",
                                             "double at row 4", "mouse at row 4"}));
}

// A column's resize line readies a resize; the mouse leaving the window
// returns the table to browsing, with its own cursor.
TEST_F(TableWindow, TheMouseLeavingDropsAReadiedResize) {
  Show();
  table->SetFocus();
  plat::input::Flush();
  const int edge = table->VisibleCols().EndOf(1);
  plat::input::MouseMove(*table, edge, 5);
  ASSERT_EQ(table->MouseMode(), TVirMouseMode::ColResizeReady);
  EXPECT_FALSE(table->Browsing());
  plat::input::Leave(*table);
  EXPECT_EQ(table->MouseMode(), TVirMouseMode::None);
  EXPECT_TRUE(table->Browsing());
  // A press after coming back is an ordinary click, no resize.
  const plat::Rect cell = table->CellRect(3, 2);
  plat::input::Click(*table, cell.left + 3, cell.top + 3);
  EXPECT_EQ(table->Columns().Column(1)->Width(), 60);
  EXPECT_EQ(table->ActiveRow(), 3);
}

TEST_F(TableWindow, Showcase) {
  // Row headings in the locked column, flat, raised and lowered text, a hidden
  // column and a selection, under a heading row of letters.
  TVirTCBaseString rowHeads, raised, lowered;
  for (TVirTCBaseString* cell : {&text, &rowHeads, &raised, &lowered}) cell->SetAdjust(otaCenter);
  raised.SetTextStyle(tsRaised);
  lowered.SetTextStyle(tsLowered);
  table->SetColCount(6);
  table->Columns().Column(0)->SetDefaultCell(&rowHeads);
  table->Columns().Column(2)->SetDefaultCell(&raised);
  table->Columns().Column(3)->SetDefaultCell(&lowered);
  table->Columns().Column(4)->SetHidden(true);
  table->Columns().Column(5)->SetDefaultCell(&text);
  table->Columns().Column(5)->SetWidth(60);
  for (int r = 1; r < 100; ++r) {
    texts.Set(r, 0, "Row " + std::to_string(r));
    texts.Set(r, 5, std::to_string(r * 5));
  }
  table->SetBounds(0, 30, 320, 200);
  table->Selection().SelectRect(2, 2, 4, 3);
  Show();
  table->SetFocus();
  table->SetActiveCell(3, 1);
  plat::input::Flush();
  EXPECT_EQ(table->VisibleCols().PositionOf(4), -1);
  const std::string path = std::string(MORVA_ARTEFACTS) + "/controls/table/showcase.png";
  ASSERT_TRUE(plat::SaveSnapshot(*form, path));
  EXPECT_TRUE(std::filesystem::exists(path));
}

}  // namespace
