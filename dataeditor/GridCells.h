#pragma once
// The texts the editor's grid shows: the working copy of the shown matrix,
// kept apart from any window so that the editing rules run without one.
// Column and row numbers count from 0; row 0 and column 0 hold the headings.
// The window's grid keeps no texts of its own: it reads them here, so that a
// matrix of millions of cells costs one number a cell and its texts.

#include <cstdint>
#include <string_view>
#include <vector>

#include "dataeditor/CellTexts.h"

class TGridCells {
 public:
  int ColCount() const { return cols_; }
  int RowCount() const { return rows_; }
  // Growing adds empty cells; shrinking drops the ones beyond.
  void SetColCount(int count);
  void SetRowCount(int count);
  void SetSize(int cols, int rows) {
    SetColCount(cols);
    SetRowCount(rows);
  }
  // Drops every cell and text: an empty grid of the given size.
  void Reset(int cols, int rows);

  // Cells outside the grid read as empty; writing them does nothing. A text
  // read stays valid until the next Reset.
  std::string_view Cell(int col, int row) const;
  void SetCell(int col, int row, std::string_view text);
  // The longest text of a column (in bytes), the first of equal ones.
  std::string_view LongestInColumn(int col) const;

  // Moves row `from` onto row `to` (every column), leaving `from` as it was.
  void CopyRow(int from, int to);
  void CopyCol(int from, int to);
  void ClearRow(int row);
  void ClearCol(int col);
  // Carries row `from` to the place of row `to`, the rows between shifting by
  // one towards `from`'s old place; the same for a column. Nothing happens
  // when either lies outside the grid.
  void MoveRow(int from, int to);
  void MoveCol(int from, int to);

 private:
  bool Inside(int col, int row) const { return col >= 0 && row >= 0 && col < cols_ && row < rows_; }
  std::size_t IndexOf(int col, int row) const {
    return static_cast<std::size_t>(row) * static_cast<std::size_t>(cols_) + static_cast<std::size_t>(col);
  }

  int cols_ = 0;
  int rows_ = 0;
  std::vector<TCellTexts::Ref> cells_;  // row by row
  TCellTexts texts_;
};
