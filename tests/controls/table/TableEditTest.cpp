// The editing life cycle and the active-cell moves without a window: which
// events fire in which order, what a refused save keeps, editing on every
// arrival, and the setters that end an edit before they move the active cell.

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "TableTestSupport.h"

namespace {

using Trace = std::vector<std::string>;

std::string Event(const std::string& name, int a, int b) {
  return name + " " + std::to_string(a) + "," + std::to_string(b);
}

// A cell component that edits without a control: it says it has an edit
// window while editing, and records what the table asks of it.
class TraceCell : public TVirBaseTableCell {
 public:
  explicit TraceCell(Trace& trace) : trace_(trace) {}
  bool canSave = true;
  bool makesWindow = true;
  void* EditWindowHandle() override { return editing_ && makesWindow ? this : nullptr; }
  bool CanSaveEdit(bool) override { return canSave; }
  void BeginEdit(int rowNum, int colNum, plat::Rect, const TVirCellAttributes&, TVirTblEditorStyle,
                 TVirCellData) override {
    editing_ = true;
    trace_.push_back(Event("BeginEdit", rowNum, colNum));
  }
  void EndEdit(bool saveValue, TVirCellData data) override {
    editing_ = false;
    trace_.push_back(std::string("EndEdit ") + (saveValue ? "save" : "cancel") + " " +
                     std::string(data.begin(), data.end()));
  }

 private:
  Trace& trace_;
  bool editing_ = false;
};

// 20 rows of 30 and 5 columns of 50 in 300 x 200, row 0 and column 0
// locked; every cell is a trace cell; each cell's data is its "r:c"; the
// events are written to the trace.
struct EditBench {
  Trace trace;
  TraceCell cell{trace};
  TestTable table;
  std::map<std::pair<int, int>, std::vector<std::uint8_t>> data;

  EditBench() {
    table.SetColCount(5);
    table.SetRowLimit(20);
    for (int c = 0; c < 5; ++c) {
      table.Columns().Column(c)->SetWidth(50);
      table.Columns().Column(c)->SetDefaultCell(&cell);
    }
    table.OnGetCellData = [this](int r, int c, TVirCellDataPurpose) {
      const std::string s = std::to_string(r) + ":" + std::to_string(c);
      auto& bytes = data[{r, c}];
      bytes.assign(s.begin(), s.end());
      return TVirCellData(bytes);
    };
    table.OnActiveCellMoving = [this](std::uint16_t command, int& r, int& c) {
      trace.push_back(Event("Moving " + std::to_string(command), r, c));
      if (rewrite) rewrite(r, c);
    };
    table.OnActiveCellChanged = [this](int r, int c) { trace.push_back(Event("Changed", r, c)); };
    table.OnEndEdit = [this](TVirTableCellAncestor&, int r, int c, bool&) {
      trace.push_back(Event("OnEndEdit", r, c));
    };
    table.OnDoneEdit = [this](int r, int c) { trace.push_back(Event("DoneEdit", r, c)); };
    table.OnLeavingRow = [this](int r) { trace.push_back("LeavingRow " + std::to_string(r)); };
    table.OnLeavingColumn = [this](int c) { trace.push_back("LeavingColumn " + std::to_string(c)); };
    table.OnTopLeftCellChanged = [this](int r, int c) { trace.push_back(Event("TopLeft", r, c)); };
    table.window = false;
  }
  void Create() {
    table.Create();
    table.Focus();
    table.Pump();
  }

  std::function<void(int&, int&)> rewrite;
};

struct EditCase {
  const char* name;
  TVirTblOptionSet options;
  std::function<void(EditBench&)> before;  // with the window, before the trace starts
  std::function<void(EditBench&)> act;
  Trace expected;
  std::pair<int, int> active;
  bool editing;
};

TEST(TableEdit, EventTraces) {
  const std::vector<EditCase> cases = {
      {"a move while editing ends the edit, saving into the edited cell, then leaves row and column",
       {},
       [](EditBench& f) { ASSERT_TRUE(f.table.StartEditing()); },
       [](EditBench& f) { f.table.SetActiveCell(3, 2); },
       {"Moving 0 3,2", "OnEndEdit 1,1", "EndEdit save 1:1", "DoneEdit 1,1", "LeavingRow 1", "LeavingColumn 1",
        "Changed 3,2"},
       {3, 2},
       false},
      {"a save the cell refuses keeps the active cell and the edit",
       {},
       [](EditBench& f) {
         ASSERT_TRUE(f.table.StartEditing());
         f.cell.canSave = false;
       },
       [](EditBench& f) { f.table.SetActiveCell(3, 2); },
       {"Moving 0 3,2"},
       {1, 1},
       true},
      {"with otoAlwaysEditing every arrival starts an edit through the posted message",
       {otoAlwaysEditing},
       [](EditBench& f) { ASSERT_TRUE(f.table.Editing()); },
       [](EditBench& f) {
         f.table.SetActiveCell(2, 1);
         f.trace.push_back("(delivered)");
         f.table.Pump();
       },
       {"Moving 0 2,1", "OnEndEdit 1,1", "EndEdit save 1:1", "DoneEdit 1,1", "LeavingRow 1", "Changed 2,1",
        "(delivered)", "BeginEdit 2,1"},
       {2, 1},
       true},
      {"OnActiveCellMoving may rewrite the target",
       {},
       [](EditBench& f) { f.rewrite = [](int& r, int&) { r = 4; }; },
       [](EditBench& f) { f.table.SetActiveCell(3, 2); },
       {"Moving 0 3,2", "LeavingRow 1", "LeavingColumn 1", "Changed 4,2"},
       {4, 2},
       false},
      {"a rewrite to the active cell keeps the edit open",
       {},
       [](EditBench& f) {
         ASSERT_TRUE(f.table.StartEditing());
         f.rewrite = [](int& r, int& c) { r = 1, c = 1; };
       },
       [](EditBench& f) { f.table.SetActiveCell(3, 2); },
       {"Moving 0 3,2"},
       {1, 1},
       true},
      {"StopEditing without an edit fires nothing",
       {},
       [](EditBench&) {},
       [](EditBench& f) { EXPECT_TRUE(f.table.StopEditing(true)); },
       {},
       {1, 1},
       false},
  };
  for (const EditCase& c : cases) {
    SCOPED_TRACE(c.name);
    EditBench fresh;
    fresh.table.SetOptions(c.options);
    fresh.Create();
    c.before(fresh);
    fresh.table.Pump();
    fresh.trace.clear();
    c.act(fresh);
    EXPECT_EQ(fresh.trace, c.expected);
    EXPECT_EQ(std::pair(fresh.table.ActiveRow(), fresh.table.ActiveCol()), c.active);
    EXPECT_EQ(fresh.table.Editing(), c.editing);
    EXPECT_FALSE(fresh.table.PaintingHeld());
  }
}

TEST(TableEdit, NoEventsBeforeTheWindowExistsAndTheyFireWhenItIsMade) {
  EditBench f;
  auto& table = f.table;
  auto& trace = f.trace;
  table.SetActiveRow(3);
  table.SetTopRow(2);
  EXPECT_TRUE(trace.empty());
  EXPECT_EQ(table.ActiveRow(), 3);
  table.Create();
  EXPECT_EQ(trace.back(), "Changed 3,1");
  EXPECT_NE(std::find(trace.begin(), trace.end(), "TopLeft 2,1"), trace.end());
}

TEST(TableEdit, EveryWayOutOfStartEditingReleasesThePaintingHold) {
  EditBench f;
  auto& table = f.table;
  auto& trace = f.trace;
  TraceCell readOnly{trace};
  readOnly.SetAccess(otxReadOnly);
  TraceCell windowless{trace};
  windowless.makesWindow = false;
  const std::vector<std::pair<const char*, TVirBaseTableCell*>> cases = {
      {"no cell component", nullptr}, {"a read-only cell", &readOnly}, {"an edit without a window", &windowless}};
  f.Create();
  for (const auto& [name, component] : cases) {
    SCOPED_TRACE(name);
    table.Cells().SetCell(1, 1, component);
    if (component == nullptr) table.Columns().Column(1)->SetDefaultCell(nullptr);
    EXPECT_FALSE(table.StartEditing());
    EXPECT_FALSE(table.Editing());
    EXPECT_FALSE(table.PaintingHeld());
    EXPECT_TRUE(table.Browsing());
    table.Cells().SetCell(1, 1, nullptr);
  }
}

// Each setter takes the active cell into a new range; the edit in it ends
// first, saving into the cell that was edited (or dropping the value when the
// cell refuses), never into the cell the active cell lands on.
TEST(TableEdit, SettersEndTheEditBeforeTheyMoveTheActiveCell) {
  struct Case {
    const char* name;
    std::pair<int, int> start;
    std::function<void(TestTable&)> set;
    bool canSave;
    std::string saved;
    std::pair<int, int> active;
  };
  const std::vector<Case> cases = {
      {"RowLimit below the active row",
       {8, 2},
       [](TestTable& t) { t.SetRowLimit(5); },
       true,
       "EndEdit save 8:2",
       {4, 2}},
      {"ColCount below the active column",
       {2, 4},
       [](TestTable& t) { t.SetColCount(3); },
       true,
       "EndEdit save 2:4",
       {2, 2}},
      {"LockedRows above the active row",
       {1, 2},
       [](TestTable& t) { t.SetLockedRows(3); },
       true,
       "EndEdit save 1:2",
       {3, 2}},
      {"LockedCols above the active column",
       {2, 1},
       [](TestTable& t) { t.SetLockedCols(2); },
       true,
       "EndEdit save 2:1",
       {2, 2}},
      {"a refused save is dropped", {8, 2}, [](TestTable& t) { t.SetRowLimit(5); }, false, "EndEdit cancel ", {4, 2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EditBench f;
    f.Create();
    f.table.SetActiveCell(c.start.first, c.start.second);
    ASSERT_TRUE(f.table.StartEditing());
    f.cell.canSave = c.canSave;
    f.trace.clear();
    c.set(f.table);
    std::vector<std::string> ends;
    for (const std::string& e : f.trace)
      if (e.rfind("EndEdit", 0) == 0) ends.push_back(e);
    EXPECT_EQ(ends, std::vector<std::string>{c.saved});
    EXPECT_FALSE(f.table.Editing());
    EXPECT_EQ(std::pair(f.table.ActiveRow(), f.table.ActiveCol()), c.active);
  }
}

TEST(TableEdit, RowLimitRules) {
  EditBench f;
  auto& table = f.table;
  f.Create();
  table.SetActiveCell(8, 1);
  table.SetRowLimit(1);  // not above LockedRows: ignored
  EXPECT_EQ(table.RowLimit(), 20);
  table.SetRowLimit(6);
  EXPECT_EQ(table.ActiveRow(), 5);
  EXPECT_LE(table.TopRow(), 5);
}

}  // namespace

namespace {

TEST(TableKeys, FilterKeyTellsTheEditControlWhichKeysBelongToTheTable) {
  struct Case {
    const char* name;
    TVirTblOptionSet options;
    int key;
    plat::ShiftState shift;
    int answer;
  };
  const std::vector<Case> cases = {
      {"an arrow moves", {}, plat::vk::Down, 0, 1},
      {"Ctrl+Home moves", {}, plat::vk::Home, plat::ssCtrl, 1},
      {"a letter stays in the field", {}, 'A', 0, 0},
      {"Delete stays in the field", {}, plat::vk::Delete, 0, 0},
      {"Tab stays without otoTabToArrow", {}, plat::vk::Tab, 0, 0},
      {"Tab goes with otoTabToArrow", {otoTabToArrow}, plat::vk::Tab, 0, 2},
      {"Enter goes with otoEnterToArrow", {otoEnterToArrow}, plat::vk::Return, 0, 2},
      {"Esc goes", {}, plat::vk::Escape, 0, 2},
      {"F2 goes", {}, plat::vk::F1 + 1, 0, 2},
  };
  EditBench f;
  f.Create();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    f.table.SetOptions(c.options);
    EXPECT_EQ(f.cell.FilterTableKey(c.key, c.shift), c.answer);
  }
  // A movement binding wins over the Tab answer.
  f.table.SetOptions({otoTabToArrow});
  f.table.commands.AddCommand("Grid", {plat::vk::Tab, 0, 0, 0, ccRight});
  EXPECT_EQ(f.cell.FilterTableKey(plat::vk::Tab, 0), 1);
}

TEST(TableKeys, ClipboardAndUserCommandsBecomeEvents) {
  EditBench f;
  f.Create();
  std::vector<std::string> events;
  f.table.OnClipboardCopy = [&] { events.push_back("copy"); };
  f.table.OnClipboardCut = [&] { events.push_back("cut"); };
  f.table.OnClipboardPaste = [&] { events.push_back("paste"); };
  f.table.OnUserCommand = [&](std::uint16_t command) { events.push_back("user " + std::to_string(command)); };
  f.table.commands.AddCommand("Grid", {'U', kssCtrl, 0, 0, 300});
  for (int key : {'C', 'X', 'V', 'U'}) f.table.TableKeyDown(key, plat::ssCtrl, {});
  EXPECT_EQ(events, (std::vector<std::string>{"copy", "cut", "paste", "user 300"}));
  EXPECT_EQ(std::pair(f.table.ActiveRow(), f.table.ActiveCol()), std::pair(1, 1));
}

}  // namespace
