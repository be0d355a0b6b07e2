// What every editing cell hands its edit control when an edit starts: the
// component events (click, key, mouse, drag, focus), which then name the edit
// control as Sender, and the frame that OnSizeCellEditor asks for; the combo
// box's owner-drawn lists; the entry-field cells' stored range limits. Driven
// offscreen through real key and mouse events.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "CellGridSupport.h"
#include "controls/table/forms/VirTCBox.h"
#include "controls/table/forms/VirTCCBx.h"
#include "controls/table/forms/VirTCEdt.h"
#include "controls/table/forms/VirTCNum.h"
#include "controls/table/forms/VirTCPic.h"
#include "controls/table/forms/VirTCSim.h"
#include "platform/Snapshot.h"
#include "platform/SystemColors.h"

namespace {

namespace vk = plat::vk;

enum class Kind { String, Combo, CheckBox, Numeric };

const char* NameOf(Kind kind) {
  switch (kind) {
    case Kind::String: return "string cell";
    case Kind::Combo: return "combo-box cell";
    case Kind::CheckBox: return "check-box cell";
    default: return "numeric cell";
  }
}

// The frame an edit control shows, whatever kind of control it is.
plat::EditBorder FrameOf(plat::Control& editor) {
  if (auto* edit = dynamic_cast<plat::Edit*>(&editor)) return edit->Border();
  if (auto* box = dynamic_cast<plat::ComboBox*>(&editor)) return box->Border();
  return dynamic_cast<plat::CustomControl&>(editor).Frame();
}

class CellHandlers : public CellGrid {
 protected:
  void SetUp() override {
    MakeGrid(6, 4);
    text.SetMaxLength(20);
    combo.SetStyle(csDropDown);
    combo.SetItems({"one", "two", "three"});
    combo.SetMaxLength(20);
    numeric = std::make_unique<TVirTCNumericField>(*table);
    numeric->SetDataType(nftLongInt);
  }

  // The cell of a kind in column 1, with data in row 1.
  TVirBaseTableCell& Use(Kind kind) {
    TVirBaseTableCell* cell = nullptr;
    switch (kind) {
      case Kind::String:
        cell = &text;
        SetText({1, 1}, "abc");
        break;
      case Kind::Combo: {
        cell = &combo;
        auto& bytes = data[{1, 1}];
        bytes.assign(combo.Layout().Size(), 0);
        SetComboDataIndex(bytes, 0);
        break;
      }
      case Kind::CheckBox:
        cell = &box;
        SetValue<std::uint8_t>({1, 1}, 0);
        break;
      case Kind::Numeric:
        cell = numeric.get();
        SetValue<std::int32_t>({1, 1}, 5);
        break;
    }
    table->Columns().Column(1)->SetDefaultCell(cell);
    return *cell;
  }

  // Every component event of the cell writes its name to the log, and
  // whether it named the edit control as Sender.
  void Record(TVirBaseTableCell& cell) {
    auto note = [this, &cell](const char* name, plat::Control& sender) {
      log.push_back(name);
      if (&sender != cell.EditControl()) wrongSender.push_back(name);
    };
    plat::ControlEvents& e = cell.Events;
    e.OnClick = [note](plat::Control& s) { note("Click", s); };
    e.OnDblClick = [note](plat::Control& s) { note("DblClick", s); };
    e.OnKeyDown = [note](plat::Control& s, int&, plat::ShiftState) { note("KeyDown", s); };
    e.OnKeyPress = [note](plat::Control& s, char32_t&) { note("KeyPress", s); };
    e.OnKeyUp = [note](plat::Control& s, int&, plat::ShiftState) { note("KeyUp", s); };
    e.OnMouseDown = [note](plat::Control& s, plat::MouseButton, plat::ShiftState, int, int) { note("MouseDown", s); };
    e.OnMouseMove = [note](plat::Control& s, plat::ShiftState, int, int) { note("MouseMove", s); };
    e.OnMouseUp = [note](plat::Control& s, plat::MouseButton, plat::ShiftState, int, int) { note("MouseUp", s); };
    cell.OnEnter = [this] { log.push_back("Enter"); };
    cell.OnExit = [this] { log.push_back("Exit"); };
  }

  TVirTCString text;
  TVirTCComboBox combo;
  TVirTCCheckBox box;
  std::unique_ptr<TVirTCNumericField> numeric;
  std::vector<std::string> log;
  std::vector<std::string> wrongSender;
};

TEST_F(CellHandlers, EveryCellKindHandsItsComponentEventsToItsEditControl) {
  const std::vector<std::string> common{"Enter", "KeyDown", "KeyPress", "KeyUp", "MouseMove", "MouseDown"};
  const struct {
    Kind kind;
    std::vector<std::string> afterPress;  // the release, then a double click
  } cases[] = {
      {Kind::String, {"Click", "MouseUp", "MouseDown", "Click", "MouseUp", "DblClick", "MouseDown"}},
      // A combo box clicks when an item is picked (below), not on a release.
      {Kind::Combo, {"MouseUp", "MouseDown", "MouseUp", "DblClick", "MouseDown"}},
      // The glyph editor takes no double clicks: the second press is a plain one.
      {Kind::CheckBox, {"Click", "MouseUp", "MouseDown", "Click", "MouseUp", "MouseDown"}},
      {Kind::Numeric, {"Click", "MouseUp", "MouseDown", "Click", "MouseUp", "DblClick", "MouseDown"}},
  };
  Show();
  for (const auto& c : cases) {
    SCOPED_TRACE(NameOf(c.kind));
    TVirBaseTableCell& cell = Use(c.kind);
    Record(cell);
    log.clear();
    wrongSender.clear();
    EditCell(1, 1);
    ASSERT_NE(cell.EditControl(), nullptr);
    plat::Control& editor = *cell.EditControl();
    Key('A', 0, "a");
    plat::input::MouseMove(editor, 3, 3);
    plat::input::Click(editor, 3, 3);
    plat::input::DoubleClick(editor, 3, 3);
    plat::input::Flush();
    std::vector<std::string> expected = common;
    expected.insert(expected.end(), c.afterPress.begin(), c.afterPress.end());
    // The double click's release.
    expected.push_back("MouseUp");
    if (c.kind == Kind::CheckBox) expected.insert(expected.end() - 1, "Click");
    if (c.kind == Kind::Combo) {
      Key(vk::Down);  // picks the next item, as a click in the list would
      expected.insert(expected.end(), {"KeyDown", "Click", "KeyUp"});
    }
    table->StopEditing(false);
    table->SetFocus();
    plat::input::Flush();
    expected.push_back("Exit");
    EXPECT_EQ(log, expected);
    EXPECT_TRUE(wrongSender.empty()) << wrongSender.front();
    cell.Events = {};
    cell.OnEnter = nullptr;
    cell.OnExit = nullptr;
  }
}

TEST_F(CellHandlers, AKeyHandlerThatTakesAKeyKeepsItFromTheEditAndTheTable) {
  for (Kind kind : {Kind::String, Kind::Numeric}) {
    SCOPED_TRACE(NameOf(kind));
    TVirBaseTableCell& cell = Use(kind);
    cell.Events.OnKeyPress = [](plat::Control&, char32_t& ch) {
      if (ch == '7') ch = 0;
    };
    cell.Events.OnKeyDown = [](plat::Control&, int& key, plat::ShiftState) {
      if (key == vk::Down) key = 0;
    };
    Show();
    EditCell(1, 1);
    plat::Control& editor = *cell.EditControl();
    editor.SetCaption("");
    Type("172");
    std::string typed = editor.Caption();
    std::erase(typed, ' ');  // a numeric field shows its text right-justified
    EXPECT_EQ(typed, "12");
    Key(vk::Down);
    EXPECT_TRUE(table->Editing());
    EXPECT_EQ(Active(), Cell(1, 1));
    cell.Events = {};
    table->StopEditing(false);
  }
}

TEST_F(CellHandlers, DragsReachTheEditControlAsTargetAndAsSource) {
  // Over the table's empty lower part: a bin that takes whatever is dropped
  // on it, and a label that drags itself on a press.
  auto& bin = form->Add<plat::Panel>("bin");
  bin.SetBounds(300, 250, 80, 20);
  std::vector<std::string> binLog;
  bin.Events.OnDragOver = [](plat::Control&, plat::Control&, int, int, plat::DragState, bool&) {};
  bin.Events.OnDragDrop = [&binLog](plat::Control&, plat::Control&, int, int) { binLog.push_back("dropped"); };
  auto& tag = form->Add<plat::Label>("tag");
  tag.SetBounds(400, 250, 60, 20);  // a press on it, then the mouse over the edit control
  tag.SetDragMode(plat::DragMode::Automatic);
  for (Kind kind : {Kind::String, Kind::Combo, Kind::CheckBox, Kind::Numeric}) {
    SCOPED_TRACE(NameOf(kind));
    TVirBaseTableCell& cell = Use(kind);
    std::vector<std::string> seen;
    plat::Control* source = nullptr;
    plat::Control* target = nullptr;
    cell.Events.OnDragOver = [&](plat::Control& sender, plat::Control& from, int, int, plat::DragState state,
                                 bool& accept) {
      if (&sender != cell.EditControl()) seen.push_back("wrong sender");
      source = &from;
      if (state == plat::DragState::Enter) seen.push_back("over");
      accept = true;
    };
    cell.Events.OnDragDrop = [&](plat::Control& sender, plat::Control& from, int, int) {
      if (&sender == cell.EditControl() && &from == &tag) seen.push_back("dropped here");
    };
    // The edit control drags itself when pressed with Ctrl.
    cell.Events.OnMouseDown = [](plat::Control& sender, plat::MouseButton, plat::ShiftState shift, int, int) {
      if ((shift & plat::ssCtrl) != 0) sender.BeginDrag(false);
    };
    cell.Events.OnEndDrag = [&](plat::Control& sender, plat::Control* to, int, int) {
      if (&sender == cell.EditControl()) target = to;
    };
    Show();
    EditCell(1, 1);
    plat::Control& editor = *cell.EditControl();
    const plat::Rect e = editor.Bounds();
    // The label dragged onto the edit control.
    plat::input::MouseDown(tag, plat::MouseButton::Left, 5, 5);
    plat::input::MouseMove(editor, 4, 4, plat::ssLeft);
    plat::input::MouseUp(editor, plat::MouseButton::Left, 4, 4);
    plat::input::Flush();
    EXPECT_EQ(seen, (std::vector<std::string>{"over", "dropped here"}));
    EXPECT_EQ(source, &tag);
    // The edit control dragged onto the bin.
    binLog.clear();
    plat::input::MouseDown(editor, plat::MouseButton::Left, 4, 4, plat::ssCtrl);
    plat::input::MouseMove(editor, 320 - e.left, 260 - e.top, plat::ssLeft | plat::ssCtrl);
    plat::input::MouseUp(editor, plat::MouseButton::Left, 320 - e.left, 260 - e.top, plat::ssCtrl);
    plat::input::Flush();
    EXPECT_EQ(target, &bin);
    EXPECT_EQ(binLog, (std::vector<std::string>{"dropped"}));
    EXPECT_EQ(plat::Control::DragSource(), nullptr);
    // Dropped where nothing takes it (the table has no OnDragOver): the drag ends without a target.
    plat::input::MouseDown(editor, plat::MouseButton::Left, 4, 4, plat::ssCtrl);
    plat::input::MouseMove(editor, 200 - e.left, 260 - e.top, plat::ssLeft | plat::ssCtrl);
    plat::input::MouseUp(editor, plat::MouseButton::Left, 200 - e.left, 260 - e.top, plat::ssCtrl);
    plat::input::Flush();
    EXPECT_EQ(target, nullptr);
    EXPECT_EQ(binLog.size(), 1u);
    cell.Events = {};
    table->StopEditing(false);
  }
}

TEST_F(CellHandlers, TheEditorTakesTheFrameThatOnSizeCellEditorAsksFor) {
  const struct {
    Kind kind;
    TVirTblEditorStyle style;
    plat::EditBorder frame;
  } cases[] = {
      {Kind::String, tesNone, plat::EditBorder::None},
      {Kind::String, tesBorder, plat::EditBorder::Single},
      {Kind::String, tes3D, plat::EditBorder::Lowered3D},
      {Kind::Numeric, tesNone, plat::EditBorder::None},
      {Kind::Numeric, tesBorder, plat::EditBorder::Single},
      {Kind::Numeric, tes3D, plat::EditBorder::Lowered3D},
      // A combo box and a glyph editor know only the 3-D look.
      {Kind::Combo, tesBorder, plat::EditBorder::None},
      {Kind::Combo, tes3D, plat::EditBorder::Lowered3D},
      {Kind::CheckBox, tesBorder, plat::EditBorder::None},
      {Kind::CheckBox, tes3D, plat::EditBorder::Lowered3D},
  };
  Show();
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(NameOf(c.kind)) + " style " + std::to_string(c.style));
    TVirBaseTableCell& cell = Use(c.kind);
    table->OnSizeCellEditor = [&c](int, int, plat::Rect&, TVirTblEditorStyle& style) { style = c.style; };
    EditCell(1, 1);
    ASSERT_NE(cell.EditControl(), nullptr);
    EXPECT_EQ(FrameOf(*cell.EditControl()), c.frame);
    table->StopEditing(false);
  }
}

// A picture of the table while each kind of cell is edited with the 3-D look;
// the numeric cell's field shows the sunken edge around its client area, which
// holds the right-justified value clear of the edge.
TEST_F(CellHandlers, Showcase3DEditors) {
  const std::string folder = std::string(MORVA_ARTEFACTS) + "/controls/table/";
  std::filesystem::create_directories(folder);
  table->OnSizeCellEditor = [](int, int, plat::Rect&, TVirTblEditorStyle& style) { style = tes3D; };
  Show();
  for (Kind kind : {Kind::String, Kind::Combo, Kind::CheckBox, Kind::Numeric}) {
    SCOPED_TRACE(NameOf(kind));
    TVirBaseTableCell& cell = Use(kind);
    EditCell(1, 1);
    ASSERT_NE(cell.EditControl(), nullptr);
    const std::string name = std::string("cell-editor-3d-") + (kind == Kind::String     ? "string"
                                                               : kind == Kind::Combo    ? "combo"
                                                               : kind == Kind::CheckBox ? "checkbox"
                                                                                        : "numeric");
    ASSERT_TRUE(plat::SaveSnapshot(*form, folder + name + ".png"));
    if (auto* field = dynamic_cast<plat::CustomControl*>(cell.EditControl())) {
      const plat::RasterImage image = plat::GrabImage(*field);
      auto at = [&image](int x, int y) { return image.pixels[static_cast<std::size_t>(y * image.width + x)] & 0xFFFFFF; };
      EXPECT_EQ(at(0, 0), plat::ColorToRGB(plat::clBtnShadow) & 0xFFFFFF);
      EXPECT_EQ(at(1, 1), plat::ColorToRGB(plat::cl3DDkShadow) & 0xFFFFFF);
      EXPECT_EQ(at(image.width - 1, image.height - 1), plat::ColorToRGB(plat::clBtnHighlight) & 0xFFFFFF);
      if (kind == Kind::Numeric) {
        EXPECT_EQ(at(image.width - 3, 2), plat::ColorToRGB(plat::clWindow) & 0xFFFFFF) << "no second border inside";
      }
    }
    table->StopEditing(false);
  }
}

// ---- owner-drawn combo-box lists ----

TEST_F(CellHandlers, AnOwnerDrawnComboBoxDrawsAndMeasuresItsItemsThroughTheCell) {
  // Item i is filled with its own colour; variable items are 16 + 8 i pixels high.
  const plat::Color colours[] = {0x0000FF, 0x00FF00, 0xFF0000};  // red, green, blue
  const std::uint32_t pixels[] = {0xFF0000, 0x00FF00, 0x0000FF};
  const struct {
    const char* name;
    TComboBoxStyle style;
    std::vector<int> heights;  // of the three items in the dropped-down list; 0: all alike
  } cases[] = {
      {"fixed", csOwnerDrawFixed, {}},
      {"variable", csOwnerDrawVariable, {16, 24, 32}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    combo.SetStyle(c.style);
    std::vector<int> drawn;
    bool senderOk = true;
    combo.OnDrawItem = [&](plat::Control& sender, plat::Canvas& canvas, int index, plat::Rect rect,
                           plat::DrawItemState) {
      senderOk = senderOk && &sender == combo.EditControl();
      drawn.push_back(index);
      canvas.SetBrush({plat::ColorToRGB(colours[index % 3]), plat::BrushStyle::Solid});
      canvas.FillRect(rect);
    };
    combo.OnMeasureItem = [&](plat::Control& sender, int index, int& height) {
      senderOk = senderOk && &sender == combo.EditControl();
      height = 16 + 8 * index;
    };
    TVirBaseTableCell& cell = Use(Kind::Combo);
    SetComboDataIndex(data[{1, 1}], 1);
    Show();
    EditCell(1, 1);
    auto& editor = dynamic_cast<TVirTCComboBoxEdit&>(*cell.EditControl());
    // The closed box shows the chosen item as the cell draws it.
    const plat::RasterImage closed = plat::GrabImage(editor);
    const std::uint32_t middle =
        closed.pixels[static_cast<std::size_t>(closed.height / 2 * closed.width + 8)] & 0xFFFFFF;
    EXPECT_EQ(middle, pixels[1]);
    editor.SetDroppedDown(true);
    plat::input::Flush();
    const plat::RasterImage list = plat::GrabDropDownList(editor);
    ASSERT_GT(list.height, 0);
    // The height of each colour's band down the list's left edge.
    std::vector<int> bands(3, 0);
    for (int y = 0; y < list.height; ++y) {
      const std::uint32_t px = list.pixels[static_cast<std::size_t>(y * list.width + 4)] & 0xFFFFFF;
      for (int i = 0; i < 3; ++i)
        if (px == pixels[i]) ++bands[i];
    }
    if (c.heights.empty()) {
      EXPECT_GT(bands[0], 0);
      EXPECT_EQ(bands[0], bands[1]);
      EXPECT_EQ(bands[1], bands[2]);
    } else {
      EXPECT_EQ(bands, c.heights);
    }
    EXPECT_TRUE(senderOk);
    editor.SetDroppedDown(false);
    table->StopEditing(false);
    combo.OnDrawItem = nullptr;
    combo.OnMeasureItem = nullptr;
  }
}

// ---- stored range limits ----

// Makes an entry-field cell of one class and data type (and picture mask) in a table.
template <class CellClass, class TypeT>
std::function<std::unique_ptr<TVirTCBaseEntryField>(plat::Control&)> FieldCell(TypeT type,
                                                                                 const std::string& mask = {}) {
  return [type, mask](plat::Control& owner) {
    auto cell = std::make_unique<CellClass>(owner);
    cell->SetDataType(type);
    if constexpr (std::is_same_v<CellClass, TVirTCPictureField>) cell->SetPictureMask(mask);
    return std::unique_ptr<TVirTCBaseEntryField>(std::move(cell));
  };
}

TEST_F(CellHandlers, RangeLimitsAreStoredWithTheCellAndReadBack) {
  const struct {
    const char* name;
    std::function<std::unique_ptr<TVirTCBaseEntryField>(plat::Control&)> make;
    std::string lo, hi;
  } cases[] = {
      {"numeric long integer", FieldCell<TVirTCNumericField>(nftLongInt), "-5", "120"},
      {"picture double", FieldCell<TVirTCPictureField>(pftDouble, "####.##"), "0.5", "99.75"},
      {"simple long integer", FieldCell<TVirTCSimpleField>(sftLongInt), "1", "9"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto stored = c.make(*table);
    stored->SetRangeLo(c.lo);
    stored->SetRangeHi(c.hi);
    TVirBaseTableCell& asCell = *stored;  // stored as any cell component is
    const std::vector<std::uint8_t> bytes = WriteProperties(asCell);
    auto loaded = c.make(*table);
    ReadProperties(*loaded, bytes);
    EXPECT_EQ(loaded->RangeLo(), stored->RangeLo());
    EXPECT_EQ(loaded->RangeHi(), stored->RangeHi());
    EXPECT_NE(loaded->RangeHi(), "");
  }
  // A plain cell stores nothing, and a stream it does not know is refused.
  TVirTCString plain;
  EXPECT_TRUE(WriteProperties(plain).empty());
  auto field = std::make_unique<TVirTCNumericField>(*table);
  EXPECT_THROW(ReadProperties(plain, WriteProperties(*field)), EFilerError);
}

}  // namespace
