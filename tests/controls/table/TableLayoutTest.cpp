// The grid's geometry: visible rows and columns, the largest top row, the range
// rules, bringing a row into view, hit testing, cell ranges and scroll bars.

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "TableTestSupport.h"
#include "controls/table/VirTblLayout.h"

namespace {

// Sizes of a handful of rows, some hidden.
class ListAxis : public TVirTableAxis {
 public:
  ListAxis(std::vector<int> extents, std::set<int> hidden = {}) : extents_(std::move(extents)), hidden_(hidden) {}
  int Count() const override { return static_cast<int>(extents_.size()); }
  int Extent(int n) const override { return extents_[static_cast<std::size_t>(n)]; }
  bool IsHidden(int n) const override { return hidden_.count(n) == 1; }

 private:
  std::vector<int> extents_;
  std::set<int> hidden_;
};

TEST(TableLayout, LargestFirstRow) {
  struct Case {
    const char* what;
    ListAxis axis;
    int locked;
    int client;
    int largest;
  };
  const Case cases[] = {
      {"three 100-pixel columns in exactly 300 pixels", ListAxis({100, 100, 100}), 0, 300, 1},
      {"in 301 pixels everything fits", ListAxis({100, 100, 100}), 0, 301, 0},
      {"a locked row takes its room first", ListAxis({20, 30, 30, 30, 30}), 1, 100, 3},
      {"hidden rows take no room", ListAxis({20, 30, 30, 30, 30}, {2, 3}), 1, 100, 1},
      {"the last row is taken even when taller than the client", ListAxis({20, 30, 500}), 1, 100, 2},
      {"a hidden last row is skipped", ListAxis({20, 30, 30, 30}, {3}), 1, 100, 1},
      {"every scrolling row hidden", ListAxis({20, 30, 30}, {1, 2}), 1, 100, 1},
      {"locked rows taller than the client", ListAxis({300, 30, 30}), 1, 100, 2},
  };
  for (const Case& c : cases) EXPECT_EQ(LargestFirst(c.axis, c.locked, c.client), c.largest) << c.what;
}

TEST(TableLayout, RangeRules) {
  // Rows 0..7, row 0 locked, rows 2, 3 and 7 hidden.
  const ListAxis axis({10, 10, 10, 10, 10, 10, 10, 10}, {2, 3, 7});
  struct Case {
    int n, direction, expected;
  };
  const Case cases[] = {
      {4, 0, 4}, {2, 0, 4},  {7, 0, 6},  {0, 0, 1},  {9, 0, 1}, {-1, 0, 1}, {1, 1, 4},
      {6, 1, 6}, {4, -1, 1}, {1, -1, 1}, {2, -1, 1}, {5, 1, 6}, {3, 1, 4},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ApplyRangeRules(axis, 1, c.n, c.direction), c.expected) << c.n << " direction " << c.direction;
  const ListAxis allHidden({10, 10, 10}, {1, 2});
  EXPECT_EQ(ApplyRangeRules(allHidden, 1, 2, 0), 2);
  EXPECT_EQ(ApplyRangeRules(allHidden, 1, 1, 1), 1);
}

TEST(TableLayout, BringingARowIntoView) {
  const int client = 100;
  struct Case {
    const char* what;
    ListAxis axis;
    int first;
    int target;
    int expected;
  };
  const Case cases[] = {
      {"a row on screen that fits stays", ListAxis({20, 30, 30, 30, 30, 30}), 1, 2, 1},
      {"a row cut by the edge: rows leave the top until it fits", ListAxis({20, 30, 30, 30, 30, 30}), 1, 3, 2},
      {"a row off screen becomes the top row", ListAxis({20, 30, 30, 30, 30, 30}), 1, 5, 5},
      {"a row taller than the scrolling area ends on top", ListAxis({20, 30, 30, 200, 30}), 1, 3, 3},
      {"a locked row changes nothing", ListAxis({20, 30, 30, 30, 30}), 2, 0, 2},
  };
  for (const Case& c : cases) {
    TVirVisibleList visible;
    visible.Layout(c.axis, 1, c.first, client);
    const int largest = LargestFirst(c.axis, 1, client);
    EXPECT_EQ(FirstToShow(c.axis, 1, c.first, largest, c.target, visible, client), c.expected) << c.what;
  }
}

TEST(TableLayout, OnePageBack) {
  // A locked row of 20 and rows of 30 in 100 pixels: three rows after the locked one.
  struct Case {
    const char* what;
    ListAxis axis;
    int first;
    int expected;
  };
  const Case cases[] = {
      {"the old top row ends up last", ListAxis({20, 30, 30, 30, 30, 30, 30, 30}), 6, 4},
      {"rows run out: the first scrolling row", ListAxis({20, 30, 30, 30, 30}), 2, 1},
      {"nothing before the top row", ListAxis({20, 30, 30, 30}), 1, 1},
      {"hidden rows are passed over", ListAxis({20, 30, 30, 30, 30, 30, 30, 30}, {4, 5}), 6, 2},
      {"a tall row: the row before the top", ListAxis({20, 30, 200, 30, 30}), 3, 2},
  };
  for (const Case& c : cases) EXPECT_EQ(PageBackFirst(c.axis, 1, c.first, 100), c.expected) << c.what;
}

TEST(TableLayout, VerticalScrollMappingOnBothSidesOf16384Rows) {
  struct Case {
    int rowLimit, largest, topRow;
    TVirScrollBarValues values;
    int thumb, thumbRow;
  };
  const Case cases[] = {
      {16383, 16370, 200, {1, 16370, 200}, 16370, 16370},
      {16383, 16370, 1, {1, 16370, 1}, 5, 5},
      // f = 16384 div 1024 + 1 = 17; maximum 16370 div 16 = 1023.
      {16384, 16370, 170, {1, 1023, 10}, 10, 170},
      {16384, 16370, 16370, {1, 1023, 1023}, 1023, 16370},
      {16384, 16370, 1, {1, 1023, 1}, 1, 1},
      // f = 20; maximum 19985 div 20 = 999, whose thumb stands for the largest top row.
      {20000, 19985, 19985, {1, 999, 999}, 999, 19985},
      {20000, 19985, 400, {1, 999, 20}, 20, 400},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(VerticalScrollValues(c.rowLimit, 1, c.largest, c.topRow), c.values) << c.rowLimit << "/" << c.topRow;
    EXPECT_EQ(VerticalThumbRow(c.rowLimit, 1, c.largest, c.thumb), c.thumbRow) << c.rowLimit << "/" << c.thumb;
  }
}

TEST(TableLayout, HorizontalScrollValuesCountVisibleColumns) {
  const ListAxis columns({50, 50, 50, 50, 50, 50}, {2});
  // Largest left column 4: visible scrolling columns 1, 3, 4.
  EXPECT_EQ(HorizontalScrollValues(columns, 1, 4, 3), (TVirScrollBarValues{0, 2, 1}));
  EXPECT_EQ(HorizontalThumbColumn(columns, 1, 0), 1);
  EXPECT_EQ(HorizontalThumbColumn(columns, 1, 1), 3);
  EXPECT_EQ(HorizontalThumbColumn(columns, 1, 2), 4);
}

// A 300 x 200 window over 4 columns of 50 and 5 rows of 30: the cells end at
// (200, 150).
struct SmallTable : ::testing::Test {
  TestTable table;
  void SetUp() override {
    table.SetColCount(4);
    table.SetRowLimit(5);
    for (int c = 0; c < 4; ++c) table.Columns().Column(c)->SetWidth(50);
    table.WindowCreated();
  }
};

TEST_F(SmallTable, HitTestTriples) {
  struct Case {
    const char* what;
    int x, y;
    int hit, row, col;
  };
  const Case cases[] = {
      {"an ordinary cell", 105, 35, 0, 1, 2},
      {"a heading cell", 105, 5, 1, 0, 2},
      {"a locked column", 5, 65, 1, 2, 0},
      {"right of the last column at row 4", 250, 125, 2, 4, -1},
      {"below the last row", 105, 170, 2, -1, 2},
      {"above the window over column 2", 105, -5, 3, -2, 2},
      {"left of the window at row 1", -3, 35, 3, 1, -2},
      {"right of the window at row 3", 320, 95, 3, 3, -1},
  };
  for (const Case& c : cases) {
    int row = 99, col = 99;
    EXPECT_EQ(table.HitTest(c.x, c.y, row, col), c.hit) << c.what;
    EXPECT_EQ(row, c.row) << c.what;
    EXPECT_EQ(col, c.col) << c.what;
  }
}

TEST_F(SmallTable, CellRangesOfRectangles) {
  struct Case {
    const char* what;
    plat::Rect rect;
    int result;
    TVirCellRange range;
  };
  const Case cases[] = {
      {"the whole client area reaches beyond the cells", {0, 0, 300, 200}, 1, {0, 0, 3, 4}},
      {"inside the cells", {55, 35, 149, 89}, 0, {1, 1, 2, 2}},
      {"a cell starting at the right and bottom edges is included", {50, 30, 100, 60}, 0, {1, 1, 2, 2}},
      {"starting beyond the cells", {250, 10, 290, 40}, 2, {-1, -1, -1, -1}},
      {"a corner above the window starts at the first row", {60, -10, 120, 50}, 0, {1, 0, 2, 1}},
  };
  for (const Case& c : cases) {
    TVirCellRange range;
    EXPECT_EQ(table.CellRangeOfRect(c.rect, range), c.result) << c.what;
    EXPECT_EQ(range, c.range) << c.what;
  }
}

TEST(TableLayoutWindow, ThreeColumnsFillingTheClientScrollByOne) {
  TestTable table;
  table.SetLockedCols(0);
  table.SetColCount(3);
  for (int c = 0; c < 3; ++c) table.Columns().Column(c)->SetWidth(100);
  table.WindowCreated();
  EXPECT_EQ(table.LargestLeftCol(), 1);
  table.SetLeftCol(2);
  EXPECT_EQ(table.LeftCol(), 1);
  EXPECT_EQ(table.bars[plat::ScrollBarKind::Horizontal], (TVirScrollBarValues{0, 1, 1}));
}

TEST(TableLayoutWindow, TopRowStaysInRange) {
  TestTable table;  // rows of 30 in 200 pixels: 6 rows fit after the heading row
  table.SetRowLimit(20);
  table.WindowCreated();
  EXPECT_EQ(table.LargestTopRow(), 15);
  table.SetTopRow(50);
  EXPECT_EQ(table.TopRow(), 15);
  EXPECT_EQ(table.VisibleRows()[table.VisibleRows().Count() - 1].Number, 19);
  // A handler that asks for more than the range allows is held to it.
  table.OnTopLeftCellChanging = [](int& row, int& col) { row = 40, col = -3; };
  table.SetTopRow(3);
  EXPECT_EQ(table.TopRow(), 15);
  EXPECT_EQ(table.LeftCol(), 1);
  table.OnTopLeftCellChanging = nullptr;
  // A taller window brings the top row back to the new largest.
  table.height = 400;
  table.WindowResized();
  EXPECT_EQ(table.LargestTopRow(), 8);
  EXPECT_EQ(table.TopRow(), 8);
  EXPECT_EQ(table.bars[plat::ScrollBarKind::Vertical], (TVirScrollBarValues{1, 8, 8}));
  // Line and page actions of the scroll bar.
  struct Step {
    int action, topRow;
  };
  for (Step s : {Step{0, 7}, {2, 1}, {3, 8}, {1, 8}, {0, 7}, {0, 6}}) {  // never past the largest top row
    table.ScrollAction(false, s.action);
    EXPECT_EQ(table.TopRow(), s.topRow) << "action " << s.action;
  }
  // Without scroll bars the view still follows the active cell.
  table.SetScrollBars(TVirScrollBars::ssNone);
  table.height = 200;
  table.WindowResized();
  table.SetTopRow(1);
  table.SetActiveCell(12, 9);
  EXPECT_EQ(table.TopRow(), 12);  // a row off screen becomes the top row
  EXPECT_GT(table.LeftCol(), 1);
}

}  // namespace
