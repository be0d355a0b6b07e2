#include "dataeditor/GridCells.h"

#include <algorithm>

void TGridCells::SetColCount(int count) {
  cols_ = std::max(count, 0);
  for (auto& row : cells_) row.resize(static_cast<std::size_t>(cols_));
}

void TGridCells::SetRowCount(int count) {
  const auto emptyRow = std::vector<std::string>(static_cast<std::size_t>(cols_));
  cells_.resize(static_cast<std::size_t>(std::max(count, 0)), emptyRow);
}

const std::string& TGridCells::Cell(int col, int row) const {
  static const std::string empty;
  if (col < 0 || row < 0 || col >= cols_ || row >= RowCount()) return empty;
  return cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
}

void TGridCells::SetCell(int col, int row, std::string text) {
  if (col < 0 || row < 0 || col >= cols_ || row >= RowCount()) return;
  cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)] = std::move(text);
}

void TGridCells::CopyRow(int from, int to) {
  for (int c = 0; c < cols_; ++c) SetCell(c, to, Cell(c, from));
}

void TGridCells::CopyCol(int from, int to) {
  for (int r = 0; r < RowCount(); ++r) SetCell(to, r, Cell(from, r));
}

void TGridCells::ClearRow(int row) {
  for (int c = 0; c < cols_; ++c) SetCell(c, row, {});
}

void TGridCells::ClearCol(int col) {
  for (int r = 0; r < RowCount(); ++r) SetCell(col, r, {});
}
