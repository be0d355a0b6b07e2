// What the table paints, on a recording canvas: the painting hold, which cells
// paint after a change, the colours each cell gets and the scroll repaint.

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "TableTestSupport.h"
#include "controls/table/VirTCStr.h"

namespace {

using Cell = std::pair<int, int>;

// 4 columns of 50 (column 0 locked) and 5 rows of 30 (row 0 locked) in 300 x
// 200; every cell is a text cell whose data is "r:c", and the data requests
// made for painting are counted per cell.
struct PaintFixture : ::testing::Test {
  std::map<Cell, int> paints;
  std::map<Cell, std::vector<std::uint8_t>> data;
  TestTable table;
  TVirTCBaseString text;
  TVirTCBaseString column2;

  void SetUp() override {
    table.SetColCount(4);
    table.SetRowLimit(5);
    for (int c = 0; c < 4; ++c) {
      table.Columns().Column(c)->SetWidth(50);
      table.Columns().Column(c)->SetDefaultCell(c == 2 ? &column2 : &text);
    }
    table.OnGetCellData = [this](int r, int c, TVirCellDataPurpose) {
      ++paints[{r, c}];
      const std::string s = std::to_string(r) + ":" + std::to_string(c);
      auto& bytes = data[{r, c}];
      bytes.assign(1, static_cast<std::uint8_t>(s.size()));
      bytes.insert(bytes.end(), s.begin(), s.end());
      return TVirCellData(bytes);
    };
    table.WindowCreated();
    table.PaintAll();
    Reset();
  }
  void Reset() {
    paints.clear();
    table.canvas.Clear();
  }
  std::set<Cell> Painted() const {
    std::set<Cell> cells;
    for (auto [cell, n] : paints) {
      EXPECT_EQ(n, 1) << "cell " << cell.first << "," << cell.second << " painted " << n << " times";
      cells.insert(cell);
    }
    return cells;
  }
  // The colour the cell's background was filled with last.
  plat::Color FillOf(int r, int c) {
    const plat::Rect cell = table.CellRect(r, c);
    plat::Color color = 0xFFFFFFFF;
    for (const auto& op : table.canvas.OpsOf(plat::OpKind::FillRect))
      if (op.rect.left == cell.left + (c == 0 ? 1 : 0) && op.rect.top == cell.top + (r == 0 ? 1 : 0) &&
          op.rect.Width() > 2 && op.rect.Height() > 2)
        color = op.brush.color;
    return color;
  }
};

TEST_F(PaintFixture, NothingPaintsWhileHeldAndEachMarkedCellOnceAtTheRelease) {
  table.AllowRedrawing(false);
  table.AllowRedrawing(false);
  table.InvalidateCell(2, 2);
  table.InvalidateCell(3, 1);
  table.InvalidateCell(2, 2);
  table.InvalidateCell(9, 9);  // not on screen: not listed
  table.PaintAll();            // a paint request while held is dropped
  table.AllowRedrawing(true);
  EXPECT_TRUE(table.canvas.Ops().empty());
  EXPECT_TRUE(paints.empty());
  table.AllowRedrawing(true);
  // The active cell (1, 1) is marked by the hold itself.
  EXPECT_EQ(Painted(), (std::set<Cell>{{1, 1}, {2, 2}, {3, 1}}));
  EXPECT_TRUE(table.MarkedCells().IsEmpty());
}

TEST_F(PaintFixture, ACellComponentsColourChangeRepaintsOnlyItsCells) {
  column2.SetColor(plat::RGB(10, 200, 30));
  std::set<Cell> expected;
  for (int r = 0; r < 5; ++r) expected.insert({r, 2});
  expected.insert({1, 1});  // the active cell, marked by every hold
  EXPECT_EQ(Painted(), expected);
  EXPECT_EQ(FillOf(3, 2), plat::RGB(10, 200, 30));
}

TEST_F(PaintFixture, BrowseRowColoursTheWholeActiveRow) {
  table.focused = true;
  table.SetOptions({otoBrowseRow});
  table.SetActiveCell(2, 3);
  Reset();
  table.PaintAll();
  const plat::Color active = plat::ColorToRGB(plat::clHighlight);
  for (int c = 1; c < 4; ++c) EXPECT_EQ(FillOf(2, c), active) << "column " << c;
  EXPECT_NE(FillOf(3, 2), active);
  EXPECT_NE(FillOf(1, 1), active);
}

TEST_F(PaintFixture, AttributePrecedence) {
  const plat::Color styleColor = plat::RGB(1, 2, 3), cellColor = plat::RGB(200, 100, 50);
  text.SetColor(cellColor);
  table.Cells().SetCellStyle(3, 1, {otxDefault, otaDefault, styleColor, std::nullopt, nullptr});
  plat::Font styleFont;
  styleFont.color = plat::RGB(9, 9, 9);
  table.Cells().SetCellStyle(3, 3, {otxReadOnly, otaTopRight, clStyleNotSet, styleFont, nullptr});
  table.Selection().SelectRect(3, 1, 4, 3);
  struct Case {
    const char* what;
    bool focused;
    TVirTblOptionSet options;
    int row, col;
    plat::Color color;
    plat::Color fontColor;
  };
  const Case cases[] = {
      {"active, focused, always editing", true, {otoAlwaysEditing}, 1, 1, plat::clBtnFace, plat::clWindowText},
      {"active and focused", true, {}, 1, 1, plat::clHighlight, plat::clHighlightText},
      {"active without the focus", false, {}, 1, 1, plat::clHighlight, plat::clHighlightText},
      {"browse row without the focus", false, {otoBrowseRow}, 1, 3, plat::clHighlight, plat::clHighlightText},
      {"selected over a style", true, {}, 3, 1, plat::clHighlight, plat::clHighlightText},
      {"a style colour", true, {}, 2, 1, cellColor, plat::clBlack},
      {"a locked cell takes the locked colours", true, {}, 2, 0, plat::clBtnFace, plat::clWindowText},
      {"a heading cell", true, {}, 0, 2, plat::clBtnFace, plat::clWindowText},
  };
  for (const Case& c : cases) {
    table.focused = c.focused;
    table.SetOptions(c.options);
    TVirCellAttributes attr;
    table.CellComponent(c.row, c.col)->ResolveCellAttributes(c.row, c.col, attr);
    EXPECT_EQ(attr.Color, c.color) << c.what;
    EXPECT_EQ(attr.FontColor, c.fontColor) << c.what;
  }
  table.SetOptions({});
  table.Selection().Clear();
  TVirCellAttributes attr;
  text.ResolveCellAttributes(3, 1, attr);
  EXPECT_EQ(attr.Color, styleColor);
  text.ResolveCellAttributes(3, 3, attr);
  EXPECT_EQ(attr.FontColor, plat::RGB(9, 9, 9));
  EXPECT_EQ(attr.Access, otxReadOnly);
  EXPECT_EQ(attr.Adjust, otaTopRight);
  text.ResolveCellAttributes(3, 2, attr);
  EXPECT_EQ(attr.Access, otxNormal);
  EXPECT_EQ(attr.Adjust, otaCenterLeft);
  // The owner's handler has the last word.
  table.OnGetCellAttributes = [](int, int, TVirCellAttributes& a) { a.Color = plat::clWhite; };
  text.ResolveCellAttributes(3, 1, attr);
  EXPECT_EQ(attr.Color, plat::clWhite);
}

TEST_F(PaintFixture, TheUnusedAreaAndTheActiveFrame) {
  table.PaintAll();
  // Right of the last column over the full height, below the last row up to the last column.
  std::vector<plat::Rect> unused;
  for (const auto& op : table.canvas.OpsOf(plat::OpKind::FillRect))
    if (op.brush.color == plat::ColorToRGB(plat::clWindow)) unused.push_back(op.rect);
  EXPECT_EQ(unused, (std::vector<plat::Rect>{{200, 0, 300, 200}, {0, 150, 200, 200}}));
  // The unfocused frame of the active cell (1, 1): dashed black lines inside its grid lines.
  std::vector<plat::CanvasOp> frame;
  for (const auto& op : table.canvas.OpsOf(plat::OpKind::Line))
    if (op.pen.style == plat::PenStyle::Dash) frame.push_back(op);
  ASSERT_EQ(frame.size(), 4u);
  EXPECT_EQ(frame[0].points, (std::vector<plat::Point>{{50, 30}, {50, 59}}));
  EXPECT_EQ(frame[3].points, (std::vector<plat::Point>{{50, 58}, {99, 58}}));
}

TEST_F(PaintFixture, ScrollingMovesTheWindowAndPaintsOnlyTheUncoveredRows) {
  table.SetRowLimit(30);
  Reset();
  table.SetTopRow(3);
  ASSERT_EQ(table.scrolls.size(), 1u);
  EXPECT_EQ(table.scrolls[0].dy, -60);
  EXPECT_EQ(table.scrolls[0].area, (plat::Rect{0, 30, 300, 200}));
  // Rows 3..8 are shown now: 3, 4 and 5 were on screen whole before.
  std::set<int> rows;
  for (const Cell& cell : Painted()) rows.insert(cell.first);
  EXPECT_EQ(rows, (std::set<int>{6, 7, 8}));
  // A jump shares no row: the whole scrolling area paints.
  Reset();
  table.SetTopRow(20);
  EXPECT_EQ(table.scrolls.size(), 1u);
  rows.clear();
  for (const Cell& cell : Painted()) rows.insert(cell.first);
  EXPECT_EQ(rows, (std::set<int>{20, 21, 22, 23, 24, 25}));
}

TEST_F(PaintFixture, TextStylesAndPlacement) {
  column2.SetTextStyle(tsRaised);
  column2.SetAdjust(otaBottomRight);
  Reset();
  table.PaintAll();
  std::vector<plat::CanvasOp> texts;
  for (const auto& op : table.canvas.OpsOf(plat::OpKind::TextRect))
    if (op.text == "2:2") texts.push_back(op);
  ASSERT_EQ(texts.size(), 2u);
  // Cell (2, 2) is (100, 60, 150, 90), (100, 60, 149, 89) without its grid lines; margin 4
  // leaves (102, 62, 147, 87). "2:2" in an 8-point font is 3 x 5 pixels wide and 11 high.
  EXPECT_EQ(texts[1].points[0], (plat::Point{147 - 15, 87 - 11}));
  EXPECT_EQ(texts[0].points[0], (plat::Point{147 - 15 - 1, 87 - 11 - 1}));
  EXPECT_EQ(texts[0].font.color, plat::ColorToRGB(plat::clBtnHighlight));
  EXPECT_EQ(texts[1].brush.style, plat::BrushStyle::Clear);
}

}  // namespace
