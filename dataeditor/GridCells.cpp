#include "dataeditor/GridCells.h"

#include <algorithm>

void TGridCells::SetColCount(int count) {
  count = std::max(count, 0);
  if (count == cols_) return;
  std::vector<TCellTexts::Ref> cells(static_cast<std::size_t>(rows_) * static_cast<std::size_t>(count));
  const int kept = std::min(count, cols_);
  for (int r = 0; r < rows_; ++r)
    std::copy_n(cells_.begin() + static_cast<std::ptrdiff_t>(IndexOf(0, r)), kept,
                cells.begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(r) * count));
  cells_ = std::move(cells);
  cols_ = count;
}

void TGridCells::SetRowCount(int count) {
  const bool shrinking = count < rows_;
  rows_ = std::max(count, 0);
  cells_.resize(static_cast<std::size_t>(rows_) * static_cast<std::size_t>(cols_));
  if (shrinking) cells_.shrink_to_fit();
}

void TGridCells::Reset(int cols, int rows) {
  cells_ = {};
  texts_ = {};
  cols_ = rows_ = 0;
  SetSize(cols, rows);
}

std::string_view TGridCells::Cell(int col, int row) const {
  return Inside(col, row) ? texts_.Get(cells_[IndexOf(col, row)]) : std::string_view();
}

void TGridCells::SetCell(int col, int row, std::string_view text) {
  if (Inside(col, row)) cells_[IndexOf(col, row)] = texts_.Add(text);
}

std::string_view TGridCells::LongestInColumn(int col) const {
  std::string_view longest;
  for (int r = 0; r < rows_; ++r) {
    std::string_view text = Cell(col, r);
    if (text.size() > longest.size()) longest = text;
  }
  return longest;
}

void TGridCells::CopyRow(int from, int to) {
  if (!Inside(0, from) || !Inside(0, to)) return;
  std::copy_n(cells_.begin() + static_cast<std::ptrdiff_t>(IndexOf(0, from)), cols_,
              cells_.begin() + static_cast<std::ptrdiff_t>(IndexOf(0, to)));
}

void TGridCells::CopyCol(int from, int to) {
  if (!Inside(from, 0) || !Inside(to, 0)) return;
  for (int r = 0; r < rows_; ++r) cells_[IndexOf(to, r)] = cells_[IndexOf(from, r)];
}

void TGridCells::ClearRow(int row) {
  if (Inside(0, row)) std::fill_n(cells_.begin() + static_cast<std::ptrdiff_t>(IndexOf(0, row)), cols_, 0);
}

void TGridCells::ClearCol(int col) {
  if (!Inside(col, 0)) return;
  for (int r = 0; r < rows_; ++r) cells_[IndexOf(col, r)] = 0;
}

namespace {

// Carries the item at `from` to `to` in a run of items whose starts `at` gives.
template <typename At>
void Carry(const At& at, int from, int to) {
  if (from < to) {
    std::rotate(at(from), at(from + 1), at(to + 1));
  } else {
    std::rotate(at(to), at(from), at(from + 1));
  }
}

}  // namespace

void TGridCells::MoveRow(int from, int to) {
  if (!Inside(0, from) || !Inside(0, to) || from == to) return;
  Carry([&](int row) { return cells_.begin() + static_cast<std::ptrdiff_t>(IndexOf(0, row)); }, from, to);
}

void TGridCells::MoveCol(int from, int to) {
  if (!Inside(from, 0) || !Inside(to, 0) || from == to) return;
  for (int r = 0; r < rows_; ++r)
    Carry([&](int col) { return cells_.begin() + static_cast<std::ptrdiff_t>(IndexOf(col, r)); }, from, to);
}
