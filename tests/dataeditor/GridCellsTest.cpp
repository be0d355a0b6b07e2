// The grid texts of the shown matrix: a row or column carried to another place.

#include <gtest/gtest.h>

#include <string>

#include "dataeditor/GridCells.h"

namespace {

// A 4 x 3 grid whose cells read "col,row".
TGridCells Numbered() {
  TGridCells g;
  g.Reset(4, 3);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 4; ++c) g.SetCell(c, r, std::to_string(c) + "," + std::to_string(r));
  return g;
}

// The texts of every cell, row by row, separated by blanks.
std::string All(const TGridCells& g) {
  std::string all;
  for (int r = 0; r < g.RowCount(); ++r)
    for (int c = 0; c < g.ColCount(); ++c) all += std::string(all.empty() ? "" : " ") + std::string(g.Cell(c, r));
  return all;
}

TEST(GridCells, MovesCarryOneLineAndShiftTheOnesBetween) {
  const struct {
    bool rows;
    int from, to;
    const char* expected;
  } cases[] = {
      {true, 0, 2, "0,1 1,1 2,1 3,1 0,2 1,2 2,2 3,2 0,0 1,0 2,0 3,0"},
      {true, 2, 0, "0,2 1,2 2,2 3,2 0,0 1,0 2,0 3,0 0,1 1,1 2,1 3,1"},
      {true, 1, 2, "0,0 1,0 2,0 3,0 0,2 1,2 2,2 3,2 0,1 1,1 2,1 3,1"},
      {false, 0, 3, "1,0 2,0 3,0 0,0 1,1 2,1 3,1 0,1 1,2 2,2 3,2 0,2"},
      {false, 3, 1, "0,0 3,0 1,0 2,0 0,1 3,1 1,1 2,1 0,2 3,2 1,2 2,2"},
      {true, 1, 1, "0,0 1,0 2,0 3,0 0,1 1,1 2,1 3,1 0,2 1,2 2,2 3,2"},
      {true, 1, 3, "0,0 1,0 2,0 3,0 0,1 1,1 2,1 3,1 0,2 1,2 2,2 3,2"},
      {false, -1, 2, "0,0 1,0 2,0 3,0 0,1 1,1 2,1 3,1 0,2 1,2 2,2 3,2"},
      {false, 2, 4, "0,0 1,0 2,0 3,0 0,1 1,1 2,1 3,1 0,2 1,2 2,2 3,2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.rows ? "row " : "column ") + std::to_string(c.from) + " to " + std::to_string(c.to));
    TGridCells g = Numbered();
    if (c.rows) {
      g.MoveRow(c.from, c.to);
    } else {
      g.MoveCol(c.from, c.to);
    }
    EXPECT_EQ(All(g), c.expected);
  }
}

}  // namespace
