#include "controls/table/VirTblSel.h"

#include <algorithm>

// ---- cells to repaint ----

void TVirCellArray::Add(int rowNum, int colNum) {
  if (rowNum < 0 || colNum < 0) return;
  const std::pair<int, int> cell{rowNum, colNum};
  // Painting adds cells row by row, so most additions append.
  if (cells_.empty() || cells_.back() < cell) return cells_.push_back(cell);
  auto it = std::lower_bound(cells_.begin(), cells_.end(), cell);
  if (it == cells_.end() || *it != cell) cells_.insert(it, cell);
}

bool TVirCellArray::Remove(int rowNum, int colNum) {
  auto it = std::lower_bound(cells_.begin(), cells_.end(), std::pair{rowNum, colNum});
  if (it == cells_.end() || *it != std::pair{rowNum, colNum}) return false;
  cells_.erase(it);
  return true;
}

std::pair<int, int> TVirCellArray::CellAt(int index) const {
  return index >= 0 && index < Count() ? cells_[static_cast<std::size_t>(index)] : std::pair{0, 0};
}

bool TVirCellArray::Contains(int rowNum, int colNum) const {
  return std::binary_search(cells_.begin(), cells_.end(), std::pair{rowNum, colNum});
}

void TVirCellArray::Clear() {
  cells_.clear();
  unusedArea_ = false;
}

void TVirCellArray::Merge(const TVirCellArray& other) {
  std::vector<std::pair<int, int>> merged;
  merged.reserve(cells_.size() + other.cells_.size());
  std::set_union(cells_.begin(), cells_.end(), other.cells_.begin(), other.cells_.end(), std::back_inserter(merged));
  cells_ = std::move(merged);
  unusedArea_ = unusedArea_ || other.unusedArea_;
}

// ---- selection ----

TVirSelectionList::TVirSelectionList(int colCount, int rowCount)
    : columns_(static_cast<std::size_t>(std::max(colCount, 0))), rowCount_(std::max(rowCount, 0)) {}

void TVirSelectionList::SetRanges(std::vector<Range>& ranges, std::vector<Range> next) {
  if (ranges.empty() && !next.empty()) ++columnsWithRanges_;
  if (!ranges.empty() && next.empty()) --columnsWithRanges_;
  ranges = std::move(next);
}

void TVirSelectionList::SetColCount(int count) {
  if (count < 0) return;
  for (std::size_t c = static_cast<std::size_t>(count); c < columns_.size(); ++c) SetRanges(columns_[c], {});
  columns_.resize(static_cast<std::size_t>(count));
  if (!pending_.empty && pending_.LastCol() >= count) pending_.empty = true;
}

void TVirSelectionList::SetRowCount(int count) {
  if (count < 0) return;
  rowCount_ = count;
  for (auto& ranges : columns_) {
    std::vector<Range> kept;
    for (Range r : ranges)
      if (r.first < count) kept.push_back({r.first, std::min(r.last, count - 1)});
    SetRanges(ranges, std::move(kept));
  }
  if (!pending_.empty && pending_.LastRow() >= count) pending_.empty = true;
}

void TVirSelectionList::Clear() {
  for (auto& ranges : columns_) SetRanges(ranges, {});
  pending_.empty = true;
}

void TVirSelectionList::SelectAll() {
  pending_.empty = true;
  if (rowCount_ == 0) return;
  for (auto& ranges : columns_) SetRanges(ranges, {{0, rowCount_ - 1}});
}

bool TVirSelectionList::InBounds(int rowNum, int colNum) const {
  return rowNum >= 0 && rowNum < rowCount_ && colNum >= 0 && colNum < ColCount();
}

void TVirSelectionList::Commit() {
  if (pending_.empty) return;
  pending_.empty = true;
  ApplyRect(pending_.FirstRow(), pending_.FirstCol(), pending_.LastRow(), pending_.LastCol(), pending_.select);
}

void TVirSelectionList::StartRange(int rowNum, int colNum, bool keep) {
  if (!InBounds(rowNum, colNum)) return;
  if (keep)
    Commit();
  else
    Clear();
  pending_ = {rowNum, colNum, rowNum, colNum, true, true};
}

void TVirSelectionList::ExtendRange(int rowNum, int colNum, bool select) {
  if (!InBounds(rowNum, colNum)) return;
  pending_.cornerRow = rowNum;
  pending_.cornerCol = colNum;
  pending_.select = select;
  pending_.empty = rowNum == pending_.anchorRow && colNum == pending_.anchorCol;
}

bool TVirSelectionList::IsSelected(int rowNum, int colNum) const {
  if (!InBounds(rowNum, colNum)) return false;
  if (!pending_.empty && rowNum >= pending_.FirstRow() && rowNum <= pending_.LastRow() &&
      colNum >= pending_.FirstCol() && colNum <= pending_.LastCol())
    return pending_.select;
  const auto& ranges = columns_[static_cast<std::size_t>(colNum)];
  auto it =
      std::upper_bound(ranges.begin(), ranges.end(), rowNum, [](int row, const Range& r) { return row < r.first; });
  return it != ranges.begin() && std::prev(it)->last >= rowNum;
}

bool TVirSelectionList::HasSelection() const { return !pending_.empty || columnsWithRanges_ > 0; }

void TVirSelectionList::SelectRect(int rowNum1, int colNum1, int rowNum2, int colNum2) {
  if (InBounds(rowNum1, colNum1) && InBounds(rowNum2, colNum2)) ApplyRect(rowNum1, colNum1, rowNum2, colNum2, true);
}

void TVirSelectionList::DeselectRect(int rowNum1, int colNum1, int rowNum2, int colNum2) {
  if (InBounds(rowNum1, colNum1) && InBounds(rowNum2, colNum2)) ApplyRect(rowNum1, colNum1, rowNum2, colNum2, false);
}

void TVirSelectionList::ApplyRect(int rowNum1, int colNum1, int rowNum2, int colNum2, bool select) {
  const int first = std::min(rowNum1, rowNum2), last = std::max(rowNum1, rowNum2);
  for (int c = std::min(colNum1, colNum2); c <= std::max(colNum1, colNum2); ++c) {
    auto& ranges = columns_[static_cast<std::size_t>(c)];
    std::vector<Range> next;
    if (select) {
      // Merge [first, last] with every range it touches or overlaps.
      Range joined{first, last};
      bool placed = false;
      for (Range r : ranges) {
        if (r.last + 1 < joined.first) {
          next.push_back(r);
        } else if (r.first > joined.last + 1) {
          if (!placed) next.push_back(joined), placed = true;
          next.push_back(r);
        } else {
          joined = {std::min(joined.first, r.first), std::max(joined.last, r.last)};
        }
      }
      if (!placed) next.push_back(joined);
    } else {
      // Cut [first, last] out of every range.
      for (Range r : ranges) {
        if (r.last < first || r.first > last) {
          next.push_back(r);
          continue;
        }
        if (r.first < first) next.push_back({r.first, first - 1});
        if (r.last > last) next.push_back({last + 1, r.last});
      }
    }
    SetRanges(ranges, std::move(next));
  }
}

void TVirSelectionList::Iterate(const std::function<bool(int, int, int)>& visitor) {
  Commit();
  for (int c = 0; c < ColCount(); ++c)
    for (Range r : columns_[static_cast<std::size_t>(c)])
      if (!visitor(r.first, c, r.last)) return;
}
