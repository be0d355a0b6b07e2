// Cell components with their table: use counts and registration, the per-cell
// store, fetching the table's colour and font, text placement, heading letters
// and headings that follow their columns.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TableTestSupport.h"
#include "controls/table/VirTCStr.h"

namespace {

TEST(CellUse, CountsRegistrationAndLeavingTheTable) {
  TestTable table;
  TVirTCBaseString cell;
  table.Cells().SetCell(1, 1, &cell);
  table.Cells().SetCell(2, 1, &cell);
  EXPECT_EQ(cell.UseCount(), 2);
  EXPECT_EQ(cell.Table(), &table);
  EXPECT_EQ(table.UsedCells(), (std::vector<TVirBaseTableCell*>{&cell}));
  // The cell already in the record changes nothing.
  table.Cells().SetCell(2, 1, &cell);
  EXPECT_EQ(cell.UseCount(), 2);
  table.Cells().SetCell(1, 1, nullptr);
  EXPECT_EQ(cell.Table(), &table);
  table.Cells().SetCell(2, 1, nullptr);
  EXPECT_EQ(cell.UseCount(), 0);
  EXPECT_EQ(cell.Table(), nullptr);
  EXPECT_TRUE(table.UsedCells().empty());
  // Records whose only setting was the cell are gone.
  EXPECT_EQ(table.Cells().RecordCount(), 0);
}

TEST(CellUse, ACellOfAnotherTableIsIgnored) {
  TestTable table, other;
  TVirTCBaseString cell;
  other.Columns().Column(2)->SetDefaultCell(&cell);
  table.Cells().SetCell(1, 1, &cell);
  table.Columns().Column(1)->SetDefaultCell(&cell);
  table.SetLockedRowsCell(&cell);
  EXPECT_EQ(table.Cells().GetCell(1, 1), nullptr);
  EXPECT_EQ(table.Columns().DefaultCell(1), nullptr);
  EXPECT_EQ(table.LockedRowsCell(), nullptr);
  EXPECT_EQ(cell.UseCount(), 1);
}

TEST(CellUse, MovingOrDestroyingACellLeavesNoReferenceWithOrWithoutAWindow) {
  for (bool window : {false, true}) {
    TestTable table, other;
    table.window = window;
    auto cell = std::make_unique<TVirTCBaseString>();
    table.Cells().SetCell(3, 2, cell.get());
    table.Columns().Column(1)->SetDefaultCell(cell.get());
    table.SetLockedRowsCell(cell.get());
    cell->SetTable(&other);
    EXPECT_EQ(table.Cells().GetCell(3, 2), nullptr) << window;
    EXPECT_EQ(table.Columns().DefaultCell(1), nullptr) << window;
    EXPECT_EQ(table.LockedRowsCell(), nullptr) << window;
    EXPECT_EQ(cell->UseCount(), 0);
    other.Cells().SetCell(1, 1, cell.get());
    cell.reset();
    EXPECT_EQ(other.Cells().GetCell(1, 1), nullptr) << window;
    EXPECT_TRUE(other.UsedCells().empty());
  }
}

TEST(CellUse, ATableGoingFirstLeavesItsCellsWithoutTable) {
  TVirTCBaseString cell;
  {
    TestTable table;
    table.Cells().SetCell(1, 1, &cell);
  }
  EXPECT_EQ(cell.Table(), nullptr);
  EXPECT_EQ(cell.UseCount(), 0);
}

TEST(CellStore, RowsAndColumnsFrom320000HaveNoRecord) {
  TestTable table;
  TVirTCBaseString cell;
  table.Cells().SetCell(5, 5, &cell);
  table.Cells().SetCell(320000, 1, &cell);
  table.Cells().SetCell(1, 400000, &cell);
  EXPECT_EQ(table.Cells().GetCell(320000, 1), nullptr);
  EXPECT_EQ(table.Cells().GetCell(1, 400000), nullptr);
  EXPECT_EQ(table.Cells().GetCellStyle(999999, 1).Cell, nullptr);
  EXPECT_EQ(cell.UseCount(), 1);
}

TEST(CellStore, RecordsFollowTheirRowsAndColumns) {
  TestTable table;
  TVirTCBaseString a, b;
  table.Cells().SetCell(2, 3, &a);
  table.Cells().SetCell(4, 1, &b);
  table.Cells().InsertRow(3);
  EXPECT_EQ(table.Cells().GetCell(5, 1), &b);
  table.Cells().ExchangeCols(1, 3);
  EXPECT_EQ(table.Cells().GetCell(2, 1), &a);
  EXPECT_EQ(table.Cells().GetCell(5, 3), &b);
  table.Cells().DeleteCol(1);  // a's record goes with its column
  EXPECT_EQ(a.UseCount(), 0);
  EXPECT_EQ(table.Cells().GetCell(5, 2), &b);
  table.Cells().DeleteRow(0);
  EXPECT_EQ(table.Cells().GetCell(4, 2), &b);
  EXPECT_EQ(table.Cells().RecordCount(), 1);
  // The table's own column changes shift the store the same way.
  table.Columns().Delete(0);
  EXPECT_EQ(table.Cells().GetCell(4, 1), &b);
}

TEST(CellDefaults, TheTablesColourAndFontWaitForItsWindow) {
  TestTable table;
  table.window = false;
  plat::Font big;
  big.size = 20;
  table.SetFont(big);
  table.SetColor(plat::RGB(5, 6, 7));
  TVirTCBaseString cell;
  table.Columns().Column(1)->SetDefaultCell(&cell);
  EXPECT_EQ(cell.Font().size, 8);  // pending: the cell keeps its own
  EXPECT_EQ(cell.Color(), plat::clBtnFace);
  table.window = true;
  EXPECT_EQ(cell.Font().size, 20);
  EXPECT_EQ(cell.Color(), plat::RGB(5, 6, 7));
  int changes = 0;
  cell.SetChangeCallback([&changes] { ++changes; });
  cell.SetHint("no repaint");
  EXPECT_EQ(changes, 0);
  cell.SetColor(plat::RGB(1, 1, 1));
  EXPECT_FALSE(cell.TableColor());
  cell.SetMargin(-1);
  EXPECT_EQ(cell.Margin(), 4);
  cell.SetTableColor(true);
  EXPECT_EQ(cell.Color(), plat::RGB(5, 6, 7));
  EXPECT_EQ(changes, 2);
}

TEST(CellText, DataNeverReadsPastItsBytes) {
  std::vector<std::uint8_t> prefixed = {200, 'a', 'b', 'c'};
  EXPECT_EQ(CellDataText(prefixed, false), "abc");
  std::vector<std::uint8_t> unterminated = {'x', 'y'};
  EXPECT_EQ(CellDataText(unterminated, true), "xy");
  std::vector<std::uint8_t> terminated = {'x', 0, 'y'};
  EXPECT_EQ(CellDataText(terminated, true), "x");
  EXPECT_EQ(CellDataText({}, false), "");
}

TEST(CellText, Placement) {
  plat::RecordingCanvas canvas;  // 8 points: characters 5 wide, 11 high
  const plat::Rect r{10, 20, 60, 70};
  struct Case {
    const char* what;
    std::string text;
    TVirTblAdjust adjust;
    bool wrap;
    std::vector<TextPlacement> placed;
  };
  const Case cases[] = {
      {"centre", "abcd", otaCenter, false, {{"abcd", {25, 39}}}},
      {"bottom right", "abcd", otaBottomRight, false, {{"abcd", {40, 59}}}},
      {"too wide on the right falls back to the left of its row",
       "abcdefghijkl",
       otaBottomRight,
       false,
       {{"abcdefghijkl", {10, 59}}}},
      {"too wide in the top centre", "abcdefghijkl", otaTopCenter, false, {{"abcdefghijkl", {10, 20}}}},
      {"word wrap from the top", "ab cd efghi", otaCenterRight, true, {{"ab cd", {35, 20}}, {"efghi", {35, 31}}}},
      {"a line that fits exactly stays whole", "ab cd efgh", otaTopLeft, true, {{"ab cd efgh", {10, 20}}}},
      {"a word wider than the cell stays whole",
       "abcdefghijkl x",
       otaTopLeft,
       true,
       {{"abcdefghijkl", {10, 20}}, {"x", {10, 31}}}},
  };
  for (const Case& c : cases) {
    const auto placed = PlaceCellText(canvas, r, c.text, c.adjust, c.wrap);
    ASSERT_EQ(placed.size(), c.placed.size()) << c.what;
    for (std::size_t i = 0; i < placed.size(); ++i) {
      EXPECT_EQ(placed[i].line, c.placed[i].line) << c.what;
      EXPECT_EQ(placed[i].at, c.placed[i].at) << c.what;
    }
  }
}

TEST(ColumnHeadings, Letters) {
  struct Case {
    int n;
    const char* letters;
  };
  for (Case c :
       {Case{1, "A"}, {26, "Z"}, {27, "AA"}, {52, "AZ"}, {53, "BA"}, {702, "ZZ"}, {703, "AAA"}, {0, ""}, {-4, ""}})
    EXPECT_EQ(ColumnLetters(c.n), c.letters) << c.n;
}

TEST(ColumnHeadings, LettersCountFromTheFirstScrollingColumn) {
  TestTable table;
  TVirTCColHead heading;
  table.SetLockedRowsCell(&heading);
  table.SetColCount(30);
  for (int c = 0; c < 30; ++c) table.Columns().Column(c)->SetWidth(10);
  table.width = 400;
  table.WindowCreated();
  table.canvas.Clear();
  table.PaintAll();
  std::vector<std::string> texts;
  for (const auto& op : table.canvas.OpsOf(plat::OpKind::TextRect)) texts.push_back(op.text);
  ASSERT_EQ(texts.size(), 29u);  // nothing over column 0
  EXPECT_EQ(texts[0], "A");
  EXPECT_EQ(texts[25], "Z");
  EXPECT_EQ(texts[26], "AA");
}

TEST(ColumnHeadings, HeadingsFollowColumnChanges) {
  TestTable table;
  TVirTCColHead heading;
  heading.SetShowLetters(false);
  heading.SetHeadings({"a", "b", "c"});
  table.SetLockedRowsCell(&heading);
  struct Step {
    const char* what;
    std::function<void()> change;
    std::vector<std::string> headings;
  };
  const Step steps[] = {
      {"a column added at the end of the list", [&] { table.SetColCount(11); }, {"a", "b", "c"}},
      {"a column removed", [&] { table.Columns().Delete(1); }, {"a", "c"}},
      {"a swap past the end first grows the list", [&] { table.Columns().Exchange(0, 4); }, {"", "c", "", "", "a"}},
  };
  for (const Step& s : steps) {
    s.change();
    EXPECT_EQ(heading.Headings(), s.headings) << s.what;
  }
  heading.ColumnsChanged(5, 0, tbaAdded);
  heading.ColumnsChanged(1, 0, tbaAdded);
  EXPECT_EQ(heading.Headings(), (std::vector<std::string>{"", "", "c", "", "", "a", ""}));
}

TEST(ColumnHeadings, TheActiveColumnMark) {
  TestTable table;
  TVirTCColHead heading;
  heading.SetShowActiveCol(true);
  table.SetLockedRowsCell(&heading);
  table.WindowCreated();
  table.canvas.Clear();
  table.PaintAll();
  const auto polygons = table.canvas.OpsOf(plat::OpKind::Polygon);
  ASSERT_EQ(polygons.size(), 1u);
  // Column 1 is (150, 0, 300, 30), (150, 1, 299, 29) inside its 3-D grid lines;
  // s = 28 div 3 = 9, centred left of the default adjustment: x = 150 + 4, y = 1 + (28 - 9) div 2.
  EXPECT_EQ(polygons[0].points, (std::vector<plat::Point>{{155, 10}, {164, 10}, {159, 19}}));
}

}  // namespace
