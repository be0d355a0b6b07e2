#pragma once
// The texts the editor's grid shows: the working copy of the shown matrix,
// kept apart from any window so that the editing rules run without one.
// Column and row numbers count from 0; row 0 and column 0 hold the headings.

#include <string>
#include <vector>

class TGridCells {
 public:
  int ColCount() const { return cols_; }
  int RowCount() const { return static_cast<int>(cells_.size()); }
  // Growing adds empty cells; shrinking drops the ones beyond.
  void SetColCount(int count);
  void SetRowCount(int count);
  void SetSize(int cols, int rows) {
    SetColCount(cols);
    SetRowCount(rows);
  }

  // Cells outside the grid read as empty; writing them does nothing.
  const std::string& Cell(int col, int row) const;
  void SetCell(int col, int row, std::string text);

  // Moves row `from` onto row `to` (every column), leaving `from` as it was.
  void CopyRow(int from, int to);
  void CopyCol(int from, int to);
  void ClearRow(int row);
  void ClearCol(int col);

 private:
  int cols_ = 0;
  std::vector<std::vector<std::string>> cells_;  // [row][col]
};
