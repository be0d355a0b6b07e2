// The grid in a window driven offscreen like a user, through real key and
// mouse events: keys and commands, editing with a cell whose edit control
// takes typed text, clicks and selection, drag-select, resizing and moving
// columns, stored cell names across forms, and showcase pictures.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "controls/base/VirFiler.h"
#include "controls/table/VirTCStr.h"
#include "controls/table/forms/VirTable.h"
#include "platform/BitmapCanvas.h"
#include "platform/Snapshot.h"
#include "platform/StdControls.h"
#include "rtl/Cp1252.h"
#include "tests/platform/QtTestSupport.h"

namespace {

using platform_test::WindowTest;
namespace vk = plat::vk;
using Cell = std::pair<int, int>;

// An edit control of the library's kind: typed characters go into its text;
// the keys that belong to the table go to the table.
class TestEditor : public plat::CustomControl {
 public:
  TestEditor(plat::Control& parent, TVirBaseTableCell& cell) : plat::CustomControl(parent), cell_(cell) {}
  std::string text;
  int clicks = 0;

 protected:
  void KeyDown(int& key, plat::ShiftState shift) override {
    if (cell_.FilterTableKey(key, shift) == 0) return;
    cell_.SendKeyToTable(key, shift);
    key = 0;
  }
  void KeyPress(char32_t& ch) override {
    if (ch >= 32) text += rtl::CodePointToUtf8(ch);
  }
  void MouseDown(plat::MouseButton, plat::ShiftState, int, int) override { ++clicks; }
  void Paint(plat::Canvas& canvas) override {
    canvas.SetBrush({plat::clWhite, plat::BrushStyle::Solid});
    canvas.FillRect({0, 0, ClientWidth(), ClientHeight()});
    canvas.TextOut(3, 3, text);
  }

 private:
  TVirBaseTableCell& cell_;
};

// A text cell that edits its text (a length-prefixed string) in a TestEditor.
class TestEditCell : public TVirTCBaseString {
 public:
  bool canSave = true;
  TestEditor* Editor() const { return editor_; }
  plat::Control* EditControl() override { return editor_; }
  void* EditWindowHandle() override { return editing_ ? editor_ : nullptr; }
  bool CanSaveEdit(bool saveValue) override { return !saveValue || canSave; }
  void BeginEdit(int, int, plat::Rect, const TVirCellAttributes&, TVirTblEditorStyle, TVirCellData data) override {
    if (editor_ == nullptr) editor_ = &dynamic_cast<plat::Control*>(Table())->Add<TestEditor>(*this);
    editor_->text = CellDataText(data, false);
    editor_->Hide();
    editing_ = true;
  }
  void HideEditor() override { editor_->Hide(); }
  void MoveEditor(plat::Rect r) override {
    editor_->SetBounds(r.left, r.top, r.Width(), r.Height());
    editor_->Show();
  }
  void EndEdit(bool saveValue, TVirCellData data) override {
    if (saveValue && !data.empty()) {
      const std::size_t n = std::min(editor_->text.size(), data.size() - 1);
      data[0] = static_cast<std::uint8_t>(n);
      std::copy_n(editor_->text.begin(), n, data.begin() + 1);
    }
    editor_->Hide();
    editing_ = false;
  }

 private:
  TestEditor* editor_ = nullptr;
  bool editing_ = false;
};

// Cell texts as the owner of a grid keeps them: 256-byte length-prefixed strings.
class CellTexts {
 public:
  void Set(int r, int c, const std::string& text) {
    auto& bytes = texts_[{r, c}];
    bytes.assign(256, 0);
    bytes[0] = static_cast<std::uint8_t>(text.size());
    std::copy(text.begin(), text.end(), bytes.begin() + 1);
  }
  std::string Get(int r, int c) { return CellDataText(texts_[{r, c}], false); }
  void Serve(TVirTableCore& table) {
    table.OnGetCellData = [this](int r, int c, TVirCellDataPurpose) {
      auto it = texts_.find({r, c});
      return it == texts_.end() ? TVirCellData{} : TVirCellData(it->second);
    };
  }

 private:
  std::map<Cell, std::vector<std::uint8_t>> texts_;
};

// 8 columns of 50 (column 0 locked) and 40 rows of 30 (row 0 locked) in a
// table whose client area is 340 x 180; row and column headings; the cells
// edit their "r:c" texts.
class GridInput : public WindowTest {
 protected:
  void SetUp() override {
    plat::CustomControl::SetCaretBlinkTime(0);
    form = &plat::CreateForm<plat::Form>("GridF");
    form->SetBounds(40, 40, 460, 360);
    form->AddComponent<TVirController>();
    before = &form->Add<plat::Edit>();
    before->SetBounds(0, 0, 100, 24);
    table = &form->Add<TVirTable>();
    table->SetBounds(0, 30, 340, 180);
    heading.SetAdjust(otaCenter);
    table->SetLockedRowsCell(&heading);
    table->SetColCount(8);
    table->SetRowLimit(40);
    for (int c = 0; c < 8; ++c) {
      table->Columns().Column(c)->SetWidth(50);
      table->Columns().Column(c)->SetDefaultCell(c == 0 ? static_cast<TVirBaseTableCell*>(&rowHeads) : &cell);
    }
    for (int r = 1; r < 40; ++r) {
      texts.Set(r, 0, std::to_string(r));
      for (int c = 1; c < 8; ++c) texts.Set(r, c, std::to_string(r) + ":" + std::to_string(c));
    }
    texts.Serve(*table);
    table->OnActiveCellMoving = [this](std::uint16_t command, int& r, int& c) { moving.push_back({command, r, c}); };
    form->ShowForm();
    plat::input::Flush();
    // Client area of exactly 340 x 180: the bars take their room.
    table->SetBounds(0, 30, 340 + 340 - table->ClientWidth(), 180 + 180 - table->ClientHeight());
    table->SetFocus();
    plat::input::Flush();
    moving.clear();
  }
  void Key(int key, plat::ShiftState shift = 0, const std::string& text = {}) {
    plat::input::PressKey(*table, key, shift, text);
    plat::input::Flush();
  }
  Cell Active() const { return {table->ActiveRow(), table->ActiveCol()}; }
  // The centre of a cell on screen.
  plat::Point At(int r, int c) const {
    const plat::Rect rect = table->CellRect(r, c);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  }
  void ClickCell(int r, int c, plat::ShiftState shift = 0) {
    const plat::Point p = At(r, c);
    plat::input::MouseDown(*table, plat::MouseButton::Left, p.x, p.y, shift);
    plat::input::MouseUp(*table, plat::MouseButton::Left, p.x, p.y, shift);
    plat::input::Flush();
  }
  std::vector<Cell> Selected() {
    std::vector<Cell> cells;
    for (int r = 0; r < table->RowLimit(); ++r)
      for (int c = 0; c < table->ColCount(); ++c)
        if (table->Selection().IsSelected(r, c)) cells.push_back({r, c});
    return cells;
  }
  static std::vector<Cell> Block(int r1, int c1, int r2, int c2) {
    std::vector<Cell> cells;
    for (int r = r1; r <= r2; ++r)
      for (int c = c1; c <= c2; ++c) cells.push_back({r, c});
    return cells;
  }

  struct Moving {
    std::uint16_t command;
    int row, col;
    friend bool operator==(const Moving&, const Moving&) = default;
  };
  plat::Form* form = nullptr;
  plat::Edit* before = nullptr;
  TVirTable* table = nullptr;
  TVirTCColHead heading;
  TVirTCBaseString rowHeads;
  TestEditCell cell;
  CellTexts texts;
  std::vector<Moving> moving;
};

// ---- keys ----

TEST_F(GridInput, TabWithTabToArrowStopsAtTheLastColumn) {
  table->SetOptions({otoTabToArrow});
  table->SetActiveCell(2, 6);
  Key(vk::Tab);
  EXPECT_EQ(Active(), Cell(2, 7));
  moving.clear();
  Key(vk::Tab);
  EXPECT_EQ(Active(), Cell(2, 7));
  EXPECT_EQ(moving, (std::vector<Moving>{{ccRight, 2, 7}}));
  EXPECT_TRUE(table->Focused());
  Key(vk::Tab, plat::ssShift);
  EXPECT_EQ(Active(), Cell(2, 6));
}

TEST_F(GridInput, ALetterTypedOnABrowsedCellStartsAnEditAndArrivesInIt) {
  table->SetActiveCell(2, 3);
  Key('K', plat::ssShift, "K");
  ASSERT_TRUE(table->Editing());
  ASSERT_NE(cell.Editor(), nullptr);
  EXPECT_EQ(cell.Editor()->text, "2:3K");
  EXPECT_TRUE(cell.Editor()->Focused());
  plat::input::TypeText(*cell.Editor(), "ey");
  plat::input::PressKey(*cell.Editor(), vk::Down);
  plat::input::Flush();
  // Down belongs to the table: the edit is saved and the active cell moves.
  EXPECT_EQ(texts.Get(2, 3), "2:3Key");
  EXPECT_EQ(Active(), Cell(3, 3));
  EXPECT_TRUE(table->Focused());
}

TEST_F(GridInput, EscEndsAnEditWithoutSavingAndF2WithSaving) {
  const struct {
    const char* name;
    int key;
    std::string kept;
  } cases[] = {{"Esc", vk::Escape, "2:2"}, {"F2", vk::F1 + 1, "2:2x"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    texts.Set(2, 2, "2:2");
    table->SetActiveCell(2, 2);
    Key(vk::F1 + 1);  // F2 on a browsed cell opens the edit
    ASSERT_TRUE(table->Editing());
    plat::input::TypeText(*cell.Editor(), "x");
    plat::input::PressKey(*cell.Editor(), c.key);
    plat::input::Flush();
    EXPECT_FALSE(table->Editing());
    EXPECT_EQ(texts.Get(2, 2), c.kept);
    EXPECT_EQ(Active(), Cell(2, 2));
  }
}

TEST_F(GridInput, PageCommandsAtBothEnds) {
  struct Case {
    const char* name;
    Cell start;
    int top;
    int key;
    plat::ShiftState shift;
    Cell active;
    std::vector<Moving> events;
  };
  const int largest = table->LargestTopRow();
  const std::vector<Case> cases = {
      {"PgUp with the first row on top moves up to the top row", {4, 2}, 1, vk::Prior, 0, {1, 2}, {{ccPrevPage, 1, 2}}},
      {"PgUp on the top row with nothing before it does nothing", {1, 2}, 1, vk::Prior, 0, {1, 2}, {}},
      {"PgDn where the view cannot scroll keeps the active row",
       {38, 2},
       largest,
       vk::Next,
       0,
       {38, 2},
       {{ccNextPage, 38, 2}}},
      {"PgDn from the top shows the next page", {2, 2}, 1, vk::Next, 0, {6, 2}, {{ccNextPage, 6, 2}}},
      {"Ctrl+End on the last row moves nothing",
       {39, 2},
       largest,
       vk::End,
       plat::ssCtrl,
       {39, 2},
       {{ccLastPage, 39, 2}}},
      // Column 6 shown last becomes the left column, as far as the view can scroll (to column 3).
      {"Ctrl+Right shows the next page of columns", {2, 1}, 1, vk::Right, plat::ssCtrl, {2, 3}, {{ccPageRight, 2, 3}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    table->SetTopRow(1);
    table->SetLeftCol(1);
    table->SetActiveCell(c.start.first, c.start.second);
    table->SetTopRow(c.top);
    moving.clear();
    Key(c.key, c.shift);
    EXPECT_EQ(Active(), c.active);
    EXPECT_EQ(moving, c.events);
  }
}

TEST_F(GridInput, ExtendCommandsSelectUnlessNoSelection) {
  for (bool noSelection : {false, true}) {
    SCOPED_TRACE(noSelection ? "otoNoSelection" : "selecting");
    table->SetOptions(noSelection ? TVirTblOptionSet{otoNoSelection} : TVirTblOptionSet{});
    table->SetActiveCell(2, 2);
    Key(vk::Down, plat::ssShift);
    Key(vk::Down, plat::ssShift);
    Key(vk::Right, plat::ssShift);
    EXPECT_EQ(Active(), Cell(4, 3));
    EXPECT_EQ(Selected(), noSelection ? std::vector<Cell>{} : Block(2, 2, 4, 3));
    // A plain move drops the selection.
    Key(vk::Left);
    EXPECT_EQ(Selected(), std::vector<Cell>{});
  }
}

TEST_F(GridInput, CommandTargetsSkipHiddenRowsAndColumns) {
  for (int r : {1, 3, 39}) table->Rows().SetRowStyle(r, {-1, true});
  for (int c : {1, 3, 7}) table->Columns().Column(c)->SetHidden(true);
  struct Case {
    const char* name;
    Cell start;
    int key;
    plat::ShiftState shift;
    Cell target;
  };
  const std::vector<Case> cases = {
      {"Down over a hidden row", {2, 2}, vk::Down, 0, {4, 2}},
      {"Up over a hidden row", {4, 2}, vk::Up, 0, {2, 2}},
      {"Up at the first visible row", {2, 2}, vk::Up, 0, {2, 2}},
      {"Right over a hidden column", {2, 2}, vk::Right, 0, {2, 4}},
      {"Left at the first visible column", {2, 2}, vk::Left, 0, {2, 2}},
      {"End: the last visible column", {2, 2}, vk::End, 0, {2, 6}},
      {"Home: the first visible column", {2, 5}, vk::Home, 0, {2, 2}},
      {"Ctrl+Home: the first visible row", {8, 5}, vk::Home, plat::ssCtrl, {2, 5}},
      {"Ctrl+End: the last visible row", {2, 5}, vk::End, plat::ssCtrl, {38, 5}},
      {"Ctrl+Up: the first visible cell", {8, 5}, vk::Up, plat::ssCtrl, {2, 2}},
      {"Ctrl+Down: the last visible cell", {2, 2}, vk::Down, plat::ssCtrl, {38, 6}},
      {"Shift+Ctrl+Right does nothing in a table", {2, 2}, vk::Right, plat::ssShift | plat::ssCtrl, {2, 2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    table->SetActiveCell(c.start.first, c.start.second);
    ASSERT_EQ(Active(), c.start);
    Key(c.key, c.shift);
    EXPECT_EQ(Active(), c.target);
  }
}

// ---- the mouse ----

TEST_F(GridInput, ClicksActivateAndAClickOnTheActiveCellEdits) {
  cell.AcceptActivationClick = true;
  ClickCell(3, 2);
  EXPECT_EQ(Active(), Cell(3, 2));
  EXPECT_EQ(moving, (std::vector<Moving>{{kMouseMoveCommand, 3, 2}}));
  EXPECT_FALSE(table->Editing());
  ClickCell(3, 2);
  ASSERT_TRUE(table->Editing());
  EXPECT_TRUE(cell.Editor()->Focused());
  // The click that opened the edit reached the edit control.
  EXPECT_EQ(cell.Editor()->clicks, 1);
  // A click elsewhere ends the edit and moves there.
  ClickCell(5, 4);
  EXPECT_FALSE(table->Editing());
  EXPECT_EQ(Active(), Cell(5, 4));
}

TEST_F(GridInput, ADoubleClickEditsAndShiftTabLeavesTheTable) {
  const plat::Point p = At(4, 3);
  plat::input::DoubleClick(*table, p.x, p.y);
  plat::input::Flush();
  ASSERT_TRUE(table->Editing());
  EXPECT_EQ(Active(), Cell(4, 3));
  EXPECT_TRUE(cell.Editor()->Focused());
  // Out of the edit control backwards: the focus goes to the control before the table.
  plat::input::PressKey(*cell.Editor(), vk::Tab, plat::ssShift);
  plat::input::Flush();
  EXPECT_TRUE(before->Focused());
  EXPECT_TRUE(table->Editing());
}

TEST_F(GridInput, AClickThatBringsTheFocusDoesNotEdit) {
  before->SetFocus();
  plat::input::Flush();
  ClickCell(1, 1);
  EXPECT_TRUE(table->Focused());
  EXPECT_FALSE(table->Editing());
}

TEST_F(GridInput, ShiftAndCtrlClicksSelect) {
  ClickCell(2, 2);
  ClickCell(4, 3, plat::ssShift);
  EXPECT_EQ(Selected(), Block(2, 2, 4, 3));
  // Ctrl keeps what is selected and turns the cell clicked.
  ClickCell(5, 1, plat::ssCtrl);
  std::vector<Cell> expected = Block(2, 2, 4, 3);
  expected.push_back({5, 1});
  EXPECT_EQ(Selected(), expected);
  ClickCell(3, 2, plat::ssCtrl);
  std::erase(expected, Cell(3, 2));
  EXPECT_EQ(Selected(), expected);
  // Shift alone selects from the anchor afresh.
  ClickCell(4, 2, plat::ssShift);
  EXPECT_EQ(Selected(), Block(3, 2, 4, 2));
}

TEST_F(GridInput, HeadingClicksSelectARowAColumnOrEverything) {
  table->SetOptions({otoRowSelection, otoColSelection});
  std::vector<Cell> lockedClicks;
  table->OnLockedCellClick = [&](int r, int c) { lockedClicks.push_back({r, c}); };
  ClickCell(3, 0);
  EXPECT_EQ(Selected(), Block(3, 1, 3, 7));
  ClickCell(0, 2);
  EXPECT_EQ(Selected(), Block(1, 2, 39, 2));
  ClickCell(0, 0);
  EXPECT_EQ(Selected().size(), 40u * 8u);
  EXPECT_EQ(lockedClicks, (std::vector<Cell>{{3, 0}, {0, 2}, {0, 0}}));
}

TEST_F(GridInput, DragSelectScrollsOneRowPerMoveAndStopsAtTheLastRow) {
  table->SetOptions({otoMouseDragSelect});
  const plat::Point p = At(2, 2);
  plat::input::MouseDown(*table, plat::MouseButton::Left, p.x, p.y);
  plat::input::MouseMove(*table, p.x, At(4, 2).y, plat::ssLeft);
  EXPECT_EQ(Active(), Cell(4, 2));
  EXPECT_EQ(table->TopRow(), 1);
  // Below the window: one row further and one row of scrolling per move.
  std::vector<int> tops;
  for (int i = 0; i < 40; ++i) {
    plat::input::MouseMove(*table, p.x, 400, plat::ssLeft);
    tops.push_back(table->TopRow());
  }
  plat::input::MouseUp(*table, plat::MouseButton::Left, p.x, 400);
  plat::input::Flush();
  for (std::size_t i = 1; i < tops.size(); ++i) EXPECT_LE(tops[i] - tops[i - 1], 1);
  EXPECT_EQ(tops[1] - tops[0], 1);
  EXPECT_EQ(Active(), Cell(39, 2));
  EXPECT_EQ(table->TopRow(), 35);  // the last row shows in full at the bottom
  EXPECT_EQ(table->CellRect(39, 2).bottom, table->ClientHeight());
  EXPECT_EQ(Selected(), Block(2, 2, 39, 2));
  EXPECT_EQ(table->MouseMode(), TVirMouseMode::None);
}

TEST_F(GridInput, ResizingAColumnGivesAtLeastSixPixels) {
  table->Columns().Column(2)->SetWidth(5);
  const int left = table->CellRect(1, 2).left;
  // Over the heading row, 3 pixels past the column's left edge: its grab band.
  plat::input::MouseMove(*table, left + 3, 10);
  ASSERT_EQ(table->MouseMode(), TVirMouseMode::ColResizeReady);
  plat::input::MouseDown(*table, plat::MouseButton::Left, left + 3, 10);
  plat::input::MouseUp(*table, plat::MouseButton::Left, left + 3, 10);
  EXPECT_EQ(table->Columns().Column(2)->Width(), 6);
  const struct {
    const char* name;
    std::vector<int> moves;  // past the left edge
    int width;
  } cases[] = {{"3 past the edge leaves the line where it was", {20, 3}, 20}, {"40 gives 40", {3, 40}, 40}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const int edge = table->CellRect(1, 2).right;
    plat::input::MouseMove(*table, edge, 10);
    ASSERT_EQ(table->MouseMode(), TVirMouseMode::ColResizeReady);
    plat::input::MouseDown(*table, plat::MouseButton::Left, edge, 10);
    for (int x : c.moves) plat::input::MouseMove(*table, left + x, 10, plat::ssLeft);
    plat::input::MouseUp(*table, plat::MouseButton::Left, left + c.moves.back(), 10);
    EXPECT_EQ(table->Columns().Column(2)->Width(), c.width);
    EXPECT_EQ(table->MouseMode(), TVirMouseMode::None);
  }
}

TEST_F(GridInput, GrabPlacesAndTheirPrecedence) {
  table->SetOptions({otoAllowColMoves, otoAllowRowMoves});
  struct Case {
    const char* name;
    int x, y;
    TVirGrabPlace place;
  };
  const std::vector<Case> cases = {
      {"a column edge in the heading row", 100, 10, {TVirMouseMode::ColResizeReady, 1}},
      {"2 pixels left of it", 98, 10, {TVirMouseMode::ColResizeReady, 1}},
      {"a row edge in the heading column", 25, 60, {TVirMouseMode::RowResizeReady, 1}},
      {"where the headings meet, the row edge first", 48, 29, {TVirMouseMode::RowResizeReady, 0}},
      {"a column's heading, away from its edges", 125, 10, {TVirMouseMode::ColMoveReady, 2}},
      {"a row's heading", 25, 75, {TVirMouseMode::RowMoveReady, 2}},
      {"the corner heading moves nothing", 25, 15, {}},
      {"no grab places among the cells", 100, 75, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(table->GrabPlaceAt(c.x, c.y), c.place);
  }
  table->SetOptions({otoNoColResizing});
  EXPECT_EQ(table->GrabPlaceAt(100, 10), TVirGrabPlace{});
}

TEST_F(GridInput, DraggingColumn2OntoColumn5ExchangesNeighbours) {
  table->SetOptions({otoAllowColMoves});
  std::vector<std::pair<int, int>> swaps;
  table->OnColumnsChanged = [&](int c1, int c2, TVirTblActions action) {
    if (action == tbaSwapped) swaps.push_back({c1, c2});
  };
  table->Columns().Column(2)->SetWidth(51);  // column 2 can be told apart afterwards
  table->SetActiveCell(3, 4);
  const int y = 15;
  plat::input::MouseMove(*table, At(1, 2).x, y);
  ASSERT_EQ(table->MouseMode(), TVirMouseMode::ColMoveReady);
  plat::input::MouseDown(*table, plat::MouseButton::Left, At(1, 2).x, y);
  plat::input::MouseMove(*table, At(1, 4).x, y, plat::ssLeft);
  plat::input::MouseMove(*table, At(1, 5).x, y, plat::ssLeft);
  plat::input::MouseUp(*table, plat::MouseButton::Left, At(1, 5).x, y);
  plat::input::Flush();
  EXPECT_EQ(swaps, (std::vector<std::pair<int, int>>{{2, 3}, {3, 4}, {4, 5}}));
  EXPECT_EQ(table->Columns().Column(5)->Width(), 51);
  EXPECT_EQ(Active(), Cell(3, 3));
}

TEST_F(GridInput, DraggingRow2OntoRow4ExchangesNeighbours) {
  table->SetOptions({otoAllowRowMoves});
  std::vector<std::pair<int, int>> swaps;
  table->OnRowsChanged = [&](int r1, int r2, TVirTblActions action) {
    if (action == tbaSwapped) swaps.push_back({r1, r2});
  };
  table->SetActiveCell(2, 3);
  const int x = 25;
  plat::input::MouseMove(*table, x, At(2, 1).y);
  ASSERT_EQ(table->MouseMode(), TVirMouseMode::RowMoveReady);
  plat::input::MouseDown(*table, plat::MouseButton::Left, x, At(2, 1).y);
  plat::input::MouseMove(*table, x, At(4, 1).y, plat::ssLeft);
  plat::input::MouseUp(*table, plat::MouseButton::Left, x, At(4, 1).y);
  plat::input::Flush();
  EXPECT_EQ(swaps, (std::vector<std::pair<int, int>>{{2, 3}, {3, 4}}));
  EXPECT_EQ(Active(), Cell(4, 3));
}

TEST_F(GridInput, TheXorLineDrawnTwiceLeavesTheCanvasAsItWas) {
  plat::BitmapCanvas bitmap(120, 80);
  plat::Canvas& canvas = bitmap.GetCanvas();
  for (int i = 0; i < 6; ++i) {
    canvas.SetBrush({plat::RGB(40 * i, 255 - 40 * i, 128), plat::BrushStyle::Solid});
    canvas.FillRect({i * 20, 0, i * 20 + 20, 80});
  }
  const plat::RasterImage original = bitmap.Image();
  const std::vector<std::pair<const char*, std::function<void()>>> marks = {
      {"column resize line", [&] { table->DrawResizeLine(canvas, true, 33); }},
      {"row resize line", [&] { table->DrawResizeLine(canvas, false, 41); }},
      {"column move marker", [&] { table->DrawMoveMarker(canvas, true, 2, 1); }},
  };
  for (const auto& [name, draw] : marks) {
    SCOPED_TRACE(name);
    draw();
    EXPECT_NE(bitmap.Image().pixels, original.pixels);
    draw();
    EXPECT_EQ(bitmap.Image().pixels, original.pixels);
  }
}

// ---- stored cell names ----

TEST_F(GridInput, StoredCellNamesResolveOnASecondInstanceOfTheForm) {
  TVirWriter colData;
  colData.WriteString("ColData");
  colData.WriteListBegin();
  for (auto [width, name] : {std::pair{177, "DialogF.VirTCString1"}, {230, "DialogF.VirTCSimpleField1"}}) {
    colData.WriteInteger(width);
    colData.WriteBoolean(false);
    colData.WriteBoolean(true);
    colData.WriteString(name);
  }
  colData.WriteListEnd();
  for (const char* formName : {"DialogF_2", "Other"}) {
    SCOPED_TRACE(formName);
    plat::Form& dialog = plat::CreateForm<plat::Form>(formName);
    dialog.AddComponent<TVirController>();
    TVirTCBaseString string1, simple1;
    string1.SetName("VirTCString1");
    simple1.SetName("VirTCSimpleField1");
    SetCellOwner(string1, dialog);
    SetCellOwner(simple1, dialog);
    TVirTable& grid = dialog.Add<TVirTable>();
    ReadProperties(grid, colData.Bytes());
    dialog.ShowForm();
    plat::input::Flush();
    const bool resolves = std::string(formName) == "DialogF_2";
    EXPECT_EQ(grid.Columns().DefaultCell(0), resolves ? &string1 : nullptr);
    EXPECT_EQ(grid.Columns().DefaultCell(1), resolves ? &simple1 : nullptr);
    EXPECT_EQ(grid.Columns().Column(1)->Width(), 230);
    // Written again, the names are those of the form they belong to now.
    if (resolves) {
      const std::vector<std::uint8_t> bytes = WriteProperties(grid);
      const std::string written(bytes.begin(), bytes.end());
      EXPECT_NE(written.find("DialogF_2.VirTCString1"), std::string::npos);
    }
    dialog.Release();
    plat::input::Flush();
  }
}

// ---- pictures ----

TEST_F(GridInput, ShowcaseMidResizeAndAfterDragSelection) {
  const std::string folder = std::string(MORVA_ARTEFACTS) + "/controls/table/";
  const int edge = table->CellRect(1, 3).right;
  plat::input::MouseMove(*table, edge, 10);
  plat::input::MouseDown(*table, plat::MouseButton::Left, edge, 10);
  plat::input::MouseMove(*table, edge + 40, 10, plat::ssLeft);
  ASSERT_TRUE(plat::SaveSnapshot(*form, folder + "resizing.png"));
  plat::input::MouseUp(*table, plat::MouseButton::Left, edge + 40, 10);
  EXPECT_EQ(table->Columns().Column(3)->Width(), 90);

  table->SetOptions({otoMouseDragSelect});
  const plat::Point from = At(2, 2), to = At(4, 4);
  plat::input::MouseDown(*table, plat::MouseButton::Left, from.x, from.y);
  plat::input::MouseMove(*table, to.x, to.y, plat::ssLeft);
  plat::input::MouseUp(*table, plat::MouseButton::Left, to.x, to.y);
  plat::input::Flush();
  EXPECT_EQ(Selected(), Block(2, 2, 4, 4));
  ASSERT_TRUE(plat::SaveSnapshot(*form, folder + "drag-selected.png"));
  EXPECT_TRUE(std::filesystem::exists(folder + "drag-selected.png"));
}

}  // namespace
