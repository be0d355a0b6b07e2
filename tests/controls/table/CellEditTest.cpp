// The editing cells in a table on a form, driven offscreen through real key
// and mouse events: the string cell's typing limit, keys and browse event, the
// combo-box cell's keys, list and saved record, the check-box cell's states,
// and the entry-field cell's value buffer, checks and keys.

#include <gtest/gtest.h>

#include <memory>

#include "CellGridSupport.h"
#include "controls/table/forms/VirTCBox.h"
#include "controls/table/forms/VirTCCBx.h"
#include "controls/table/forms/VirTCEdt.h"
#include "controls/table/forms/VirTCPic.h"
#include "platform/record/RecordingCanvas.h"
#include "rtl/StringList.h"

namespace {

namespace vk = plat::vk;

class CellEdit : public CellGrid {
 protected:
  void SetUp() override { MakeGrid(6, 4); }
  template <class T>
  void UseInColumns(T& cell) {
    for (int c = 1; c < 4; ++c) table->Columns().Column(c)->SetDefaultCell(&cell);
  }
  template <class Editor>
  Editor& EditorOf(TVirBaseTableCell& cell) {
    auto* editor = dynamic_cast<Editor*>(cell.EditControl());
    EXPECT_NE(editor, nullptr);
    return *editor;
  }
};

// ---- string cell ----

TEST_F(CellEdit, AStringCellShowsAndTakesNoMoreThanItSaves) {
  TVirTCString cell;
  UseInColumns(cell);
  SetText({1, 1}, "abcdefgh");
  SetText({2, 1}, "kept?");
  Show();
  cell.SetMaxLength(5);
  EditCell(1, 1);
  auto& edit = EditorOf<TVirTCStringEdit>(cell);
  EXPECT_TRUE(edit.Focused());
  EXPECT_EQ(edit.Text(), "abcde");
  Type("xy");
  EXPECT_EQ(edit.Text(), "abcde");
  Key(vk::Down);
  EXPECT_EQ(Text({1, 1}), "abcde");
  EXPECT_EQ(Active(), Cell(2, 1));
  EXPECT_EQ(cell.EditControl(), nullptr);  // the edit goes with the edit
  // A cell whose MaxLength was never set lets nothing be typed and saves an empty text.
  cell.SetMaxLength(0);
  EditCell(2, 1);
  Type("abc");
  EXPECT_EQ(EditorOf<TVirTCStringEdit>(cell).Text(), "");
  Key(vk::Up);
  EXPECT_EQ(Text({2, 1}), "");
}

TEST_F(CellEdit, LeftAndRightLeaveAStringCellOnlyAtTheEndsOfItsText) {
  TVirTCString cell;
  cell.SetMaxLength(10);
  cell.AutoAdvanceLeftRight = true;
  UseInColumns(cell);
  Show();
  const struct {
    const char* name;
    int selStart, selEnd, key;
    Cell active;
  } cases[] = {
      {"Right inside the text only moves the caret", 1, 1, vk::Right, {2, 2}},
      {"Right at the end moves to the next cell", 3, 3, vk::Right, {2, 3}},
      {"Right with the whole text selected moves", 0, 3, vk::Right, {2, 3}},
      {"Right with a selection past 0 stays", 1, 3, vk::Right, {2, 2}},
      {"Left at 0 moves to the previous cell", 0, 0, vk::Left, {2, 1}},
      {"Left at 0 with a selection stays", 0, 2, vk::Left, {2, 2}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    for (int col = 1; col < 4; ++col) SetText({2, col}, "abc");
    EditCell(2, 2);
    EditorOf<TVirTCStringEdit>(cell).SetSelection(c.selStart, c.selEnd);
    Key(c.key);
    EXPECT_EQ(Active(), c.active);
    table->StopEditing(false);
  }
  // Enter typed in the edit inserts nothing.
  EditCell(2, 2);
  Key(vk::Return, 0, "\r");
  if (table->Editing()) {
    EXPECT_EQ(EditorOf<TVirTCStringEdit>(cell).Text(), "abc");
  }
}

TEST_F(CellEdit, TypingTheLastCharacterAdvancesWithAutoAdvanceChar) {
  TVirTCString cell;
  cell.SetMaxLength(3);
  cell.AutoAdvanceChar = true;
  UseInColumns(cell);
  SetText({1, 1}, "");
  SetText({1, 2}, "next");
  Show();
  EditCell(1, 1);
  Type("ab");
  EXPECT_EQ(Active(), Cell(1, 1));
  Type("c");
  EXPECT_EQ(Active(), Cell(1, 2));
  EXPECT_EQ(Text({1, 1}), "abc");
}

TEST_F(CellEdit, ADoubleClickInTheEditBrowses) {
  TVirTCString cell;
  cell.SetMaxLength(128);
  std::string seen;
  cell.OnBrowse = [&seen](TVirTCStringEdit& sender) {
    seen = sender.Text();
    sender.SetText("/data/chosen.qmx");
  };
  UseInColumns(cell);
  SetText({1, 1}, "old.qmx");
  Show();
  EditCell(1, 1);
  plat::input::DoubleClick(EditorOf<TVirTCStringEdit>(cell));
  plat::input::Flush();
  EXPECT_EQ(seen, "old.qmx");
  Key(vk::Down);
  EXPECT_EQ(Text({1, 1}), "/data/chosen.qmx");
}

// ---- combo-box cell ----

class ComboEdit : public CellEdit {
 protected:
  void SetUp() override {
    CellEdit::SetUp();
    combo.SetStyle(csDropDownList);
    combo.SetShowButton(false);
    combo.SetUseRunTimeItems(true);
    combo.SetMaxLength(14);
    UseInColumns(combo);
  }
  void SetChoice(Cell at, std::int32_t index, const TVirComboItems* list, const std::string& text = {}) {
    auto& bytes = data[at];
    bytes.assign(combo.Layout().Size(), 0);
    SetComboDataIndex(bytes, index);
    SetComboDataItems(bytes, combo.Layout(), list);
    SetComboDataText(bytes, combo.Layout(), text, 255);
  }
  TVirTCComboBoxEdit& Box() { return EditorOf<TVirTCComboBoxEdit>(combo); }

  TVirTCComboBox combo;
  const TVirComboItems items{"zeta", "alpha", "mid"};
};

TEST_F(ComboEdit, UpAndDownChangeTheItemAndLeftRightLeaveAList) {
  combo.SetSorted(true);  // a run-time list keeps its order all the same
  SetChoice({1, 1}, 0, &items, "untouched");
  Show();
  EditCell(1, 1);
  EXPECT_EQ(Box().Items(), items);
  EXPECT_EQ(Box().Text(), "zeta");
  Key(vk::Down);
  EXPECT_EQ(Box().Text(), "alpha");
  Key(vk::Down);
  Key(vk::Up);
  EXPECT_EQ(Box().ItemIndex(), 1);
  EXPECT_EQ(Active(), Cell(1, 1));
  Key(vk::Right);
  EXPECT_EQ(Active(), Cell(1, 2));
  // A list style without SaveStringValue writes only the index.
  EXPECT_EQ(ComboDataIndex(data[{1, 1}]), 1);
  EXPECT_EQ(ComboDataText(data[{1, 1}], combo.Layout()), "untouched");
  EXPECT_EQ(ComboDataItems(data[{1, 1}], combo.Layout()), &items);
}

TEST_F(ComboEdit, SaveStringValueWritesTheChosenItemCut) {
  combo.SaveStringValue = true;
  combo.SetMaxLength(3);
  SetChoice({1, 1}, 2, &items);
  Show();
  EditCell(1, 1);
  Key(vk::Up);
  table->StopEditing(true);
  EXPECT_EQ(ComboDataIndex(data[{1, 1}]), 1);
  EXPECT_EQ(ComboDataText(data[{1, 1}], combo.Layout()), "alp");
}

TEST_F(ComboEdit, ANilRunTimeListCountsAsEmpty) {
  SetChoice({2, 1}, 3, nullptr);
  Show();
  table->InvalidateCell(2, 1);
  plat::input::Flush();
  EditCell(2, 1);
  EXPECT_TRUE(Box().Items().empty());
  table->StopEditing(true);
  EXPECT_EQ(ComboDataIndex(data[{2, 1}]), -1);
}

TEST_F(ComboEdit, TheListDropsDownByKeyboardAndByMouse) {
  SetChoice({1, 1}, 0, &items);
  Show();
  EditCell(1, 1);
  Key(vk::F1 + 3);  // F4
  EXPECT_TRUE(Box().DroppedDown());
  Key(vk::Down);
  Key(vk::Return, 0, "\r");
  EXPECT_FALSE(Box().DroppedDown());
  EXPECT_EQ(Box().ItemIndex(), 1);
  EXPECT_EQ(Active(), Cell(1, 1));
  table->StopEditing(true);
  EXPECT_EQ(ComboDataIndex(data[{1, 1}]), 1);
  // A click on the active cell opens the edit and drops the list down.
  plat::input::Flush();
  ClickCell(1, 1);
  ASSERT_TRUE(table->Editing());
  EXPECT_TRUE(Box().DroppedDown());
  Box().SetDroppedDown(false);
}

TEST_F(ComboEdit, AnEditStyleBoxTypesWhatItSavesAndLeavesAtItsEnds) {
  combo.SetStyle(csDropDown);
  combo.SetUseRunTimeItems(false);
  combo.SetItems({"one", "two"});
  combo.SetMaxLength(6);
  combo.AutoAdvanceLeftRight = true;
  SetChoice({1, 2}, -1, nullptr, "free text");
  Show();
  EditCell(1, 2);
  EXPECT_EQ(Box().Text(), "free t");  // what is shown is what will be saved
  Type("xyz");
  EXPECT_EQ(Box().Text(), "free t");
  table->StopEditing(true);
  EXPECT_EQ(ComboDataText(data[{1, 2}], combo.Layout()), "free t");
  EXPECT_EQ(ComboDataIndex(data[{1, 2}]), -1);
  const struct {
    const char* name;
    bool autoAdvance;
    std::vector<int> keys;
    Cell active;
  } cases[] = {
      {"Left at the end of the text stays", true, {vk::Left}, {1, 2}},
      {"Left at its start leaves", true, {vk::Home, vk::Left}, {1, 1}},
      {"Left at its start stays without AutoAdvanceLeftRight", false, {vk::Home, vk::Left}, {1, 2}},
      {"Up and Down never leave", true, {vk::Down, vk::Up}, {1, 2}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    combo.AutoAdvanceLeftRight = c.autoAdvance;
    EditCell(1, 2);
    for (int key : c.keys) Key(key);
    EXPECT_EQ(Active(), c.active);
    table->StopEditing(false);
  }
}

TEST_F(ComboEdit, OnlyTheActiveCellShowsTheButton) {
  combo.SetShowButton(true);
  SetChoice({1, 1}, 1, &items);
  SetChoice({2, 1}, 5, &items);
  Show();
  table->SetActiveCell(1, 1);
  const plat::Rect rect{0, 0, 100, 30};
  TVirCellAttributes attr;
  attr.Access = otxNormal;
  attr.Adjust = otaCenterLeft;
  const struct {
    const char* name;
    Cell at;
    bool button;
    std::string text;
  } cases[] = {{"the active cell", {1, 1}, true, "alpha"}, {"item 5 of 3, not active", {2, 1}, false, ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    plat::RecordingCanvas canvas;
    combo.PaintCell(canvas, rect, c.at.first, c.at.second, attr, data[c.at]);
    EXPECT_EQ(canvas.OpsOf(plat::OpKind::Picture).size(), c.button ? 1u : 0u);
    const auto texts = canvas.OpsOf(plat::OpKind::TextRect);
    EXPECT_EQ(texts.empty() ? std::string{} : texts.front().text, c.text);
  }
  // Without the button every cell has the flat triangle.
  combo.SetShowButton(false);
  plat::RecordingCanvas canvas;
  combo.PaintCell(canvas, rect, 2, 1, attr, data[{2, 1}]);
  ASSERT_EQ(canvas.OpsOf(plat::OpKind::Polygon).size(), 1u);
  const int w = TVirTCCustomComboBox::ButtonWidth(), side = std::min(w, 30) / 3;
  const int x = 100 - w + (w - side) / 2, y = (30 - side) / 2;
  EXPECT_EQ(canvas.OpsOf(plat::OpKind::Polygon)[0].points,
            (std::vector<plat::Point>{{x, y}, {x + side, y}, {x + side / 2, y + side}}));
}

// ---- check-box cell ----

TEST_F(CellEdit, ACheckBoxStepsOnSpaceBackspaceAndClicks) {
  TVirTCCheckBox box;
  UseInColumns(box);
  for (int r = 1; r < 4; ++r) SetValue<std::uint8_t>({r, 1}, 0);
  SetValue<std::uint8_t>({2, 1}, 2);
  Show();
  auto glyph = [&] { return EditorOf<TVirTCGlyphEdit>(box).GlyphIndex(); };
  EditCell(1, 1);
  std::vector<int> seen;
  for (int i = 0; i < 3; ++i) {
    Key(vk::Space, 0, " ");
    seen.push_back(glyph());
  }
  EXPECT_EQ(seen, (std::vector<int>{1, 0, 1}));
  Key(vk::Down);
  EXPECT_EQ(Value<std::uint8_t>({1, 1}), 1);
  // State 2 without AllowGrayed starts at 1.
  EditCell(2, 1);
  EXPECT_EQ(glyph(), 1);
  table->StopEditing(false);
  box.SetAllowGrayed(true);
  EXPECT_EQ(box.CellGlyphs().ActiveGlyphCount(), 3);
  EditCell(3, 1);
  seen.clear();
  for (int i = 0; i < 3; ++i) {
    Key(vk::Space, 0, " ");
    seen.push_back(glyph());
  }
  Key(vk::Back, 0, "\b");
  seen.push_back(glyph());
  plat::input::Click(EditorOf<TVirTCGlyphEdit>(box));
  plat::input::Flush();
  seen.push_back(glyph());
  EXPECT_EQ(seen, (std::vector<int>{1, 2, 0, 2, 0}));
  table->StopEditing(true);
  EXPECT_EQ(Value<std::uint8_t>({3, 1}), 0);
}

TEST_F(CellEdit, ACheckBoxPaintsItsStateClampedAndTakesOnlyThreeGlyphSets) {
  TVirTCCheckBox box;
  const plat::Rect rect{0, 0, 60, 30};
  TVirCellAttributes attr;
  attr.Access = otxNormal;
  const struct {
    const char* name;
    std::vector<std::uint8_t> state;
    TVirTblAdjust adjust;
    int glyphLeft;  // -1: no glyph
    int x;
  } cases[] = {
      {"state 1 centred", {1}, otaCenter, 14, 23},
      {"state 1 at the margin", {1}, otaCenterLeft, 14, 4},
      {"state 2 without AllowGrayed paints the checked glyph", {2}, otaCenter, 14, 23},
      {"nil data paints only the background", {}, otaCenter, -1, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    plat::RecordingCanvas canvas;
    attr.Adjust = c.adjust;
    std::vector<std::uint8_t> state = c.state;
    box.PaintCell(canvas, rect, 1, 1, attr, state);
    const auto pictures = canvas.OpsOf(plat::OpKind::Picture);
    ASSERT_EQ(pictures.size(), c.glyphLeft < 0 ? 0u : 1u);
    if (c.glyphLeft < 0) continue;
    EXPECT_EQ(pictures[0].points[0].x, c.glyphLeft);
    EXPECT_EQ(pictures[0].rect.left, c.x);
  }
  TVirCellGlyphs two;
  const plat::RasterImage strip{28, 14, std::vector<std::uint32_t>(28 * 14, 0xFF000000)};
  two.SetBitMap(&strip);
  box.SetCellGlyphs(two);
  EXPECT_TRUE(box.CellGlyphs().IsDefault());
  EXPECT_EQ(box.CellGlyphs().GlyphCount(), 3);
}

// ---- entry-field cell ----

TEST_F(CellEdit, AnEntryFieldCellExchangesExactlyItsValueSize) {
  auto cell = std::make_unique<TVirTCPictureField>(*table);
  cell->SetDataType(pftDouble);
  cell->SetPictureMask("#####.#####");
  EXPECT_EQ(cell->EditField()->GetDataSize(), 8);
  UseInColumns(*cell);
  SetValue<double>({1, 1}, 2.5);
  Show();
  EditCell(1, 1);
  ASSERT_TRUE(table->Editing());
  cell->EditField()->SetCaption("7.25");
  table->StopEditing(true);
  EXPECT_DOUBLE_EQ(Value<double>({1, 1}), 7.25);
  EXPECT_EQ(data[Cell(1, 1)].size(), 8u);
}

TEST_F(CellEdit, ADataTypeChangeMidEditCannotOverrunTheOwnersData) {
  auto cell = std::make_unique<TVirTCPictureField>(*table);
  cell->SetDataType(pftLongInt);
  table->Cells().SetCell(1, 1, cell.get());
  // Exactly four bytes on the heap: a write past them is caught.
  auto owner = std::make_unique<std::uint8_t[]>(4);
  const std::int32_t seven = 7;
  std::memcpy(owner.get(), &seven, 4);
  table->OnGetCellData = [&owner](int r, int c, TVirCellDataPurpose) {
    return r == 1 && c == 1 ? TVirCellData(owner.get(), 4) : TVirCellData{};
  };
  Show();
  EditCell(1, 1);
  ASSERT_TRUE(table->Editing());
  cell->SetDataType(pftDouble);
  cell->EditField()->SetCaption("12345.5");
  // Only the four bytes the edit started with are written (a write past them fails the run).
  EXPECT_TRUE(table->StopEditing(true));
}

TEST_F(CellEdit, AnOutOfRangeValueKeepsTheCellAndEscPutsTheTextBack) {
  auto cell = std::make_unique<TVirTCPictureField>(*table);
  cell->SetDataType(pftLongInt);
  cell->SetRangeLo("0");
  cell->SetRangeHi("20");
  UseInColumns(*cell);
  SetValue<std::int32_t>({2, 1}, 5);
  Show();
  EditCell(2, 1);
  ASSERT_TRUE(table->Editing());
  const std::string shown = cell->EditField()->GetText();
  cell->EditField()->SetCaption("25");
  Key(vk::Down);
  EXPECT_EQ(Active(), Cell(2, 1));
  EXPECT_TRUE(table->Editing());
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].code, efeOutOfRange);
  // While the report is pending nothing saves; Esc puts the text back and ends the edit.
  Key(vk::Escape);
  EXPECT_FALSE(table->Editing());
  EXPECT_EQ(cell->EditField()->GetText(), shown);
  EXPECT_EQ(Value<std::int32_t>({2, 1}), 5);
  EXPECT_EQ(errors.size(), 1u);
}

TEST_F(CellEdit, AnEntryFieldCellPaintsItsValueAndNoTextWithoutData) {
  auto cell = std::make_unique<TVirTCPictureField>(*table);
  cell->SetDataType(pftLongInt);
  UseInColumns(*cell);
  Show();
  TVirCellAttributes attr;
  attr.Access = otxNormal;
  attr.Adjust = otaCenterLeft;
  std::int32_t value = 42;
  std::int16_t tooShort = 42;
  const struct {
    const char* name;
    TVirCellData data;
    std::string text;
  } cases[] = {
      {"a value", TVirCellData(reinterpret_cast<std::uint8_t*>(&value), sizeof value), "42"},
      {"nil data", {}, ""},
      {"data too short for the value", TVirCellData(reinterpret_cast<std::uint8_t*>(&tooShort), sizeof tooShort), ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    plat::RecordingCanvas canvas;
    cell->PaintCell(canvas, {0, 0, 120, 30}, 1, 1, attr, c.data);
    const auto texts = canvas.OpsOf(plat::OpKind::TextRect);
    std::string shown;
    for (const auto& op : texts) shown += op.text;
    EXPECT_EQ(rtl::Trim(shown), c.text);
  }
}

TEST_F(CellEdit, AutoAdvancePastTheEndOfAFieldMovesOneColumnRight) {
  auto cell = std::make_unique<TVirTCPictureField>(*table);
  cell->SetDataType(pftLongInt);
  cell->SetPictureMask("ii");
  cell->SetMaxLength(2);
  cell->SetOption(TEntryOption::AutoAdvanceChar, true);
  UseInColumns(*cell);
  SetValue<std::int32_t>({1, 1}, 3);
  SetValue<std::int32_t>({1, 2}, 4);
  Show();
  EditCell(1, 1);
  Type("1");
  EXPECT_EQ(Active(), Cell(1, 1));
  Type("7");
  EXPECT_EQ(Active(), Cell(1, 2));
  EXPECT_EQ(Value<std::int32_t>({1, 1}), 17);
}

}  // namespace
