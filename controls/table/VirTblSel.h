#pragma once
// Lists of cells: the sorted, duplicate-free list of cells waiting to be
// repainted (TVirCellArray) and the selection (TVirSelectionList).

#include <functional>
#include <optional>
#include <utility>
#include <vector>

// Sorted (row, column) pairs, plus a flag that the unused area needs repainting too.
class TVirCellArray {
 public:
  // No duplicates; out-of-range numbers (below 0) are ignored.
  void Add(int rowNum, int colNum);
  // False when absent.
  bool Remove(int rowNum, int colNum);
  int Count() const { return static_cast<int>(cells_.size()); }
  // The pair at Index, (0, 0) out of range.
  std::pair<int, int> CellAt(int index) const;
  bool Contains(int rowNum, int colNum) const;
  void MarkUnusedArea() { unusedArea_ = true; }
  bool UnusedAreaMarked() const { return unusedArea_; }
  void Clear();
  bool IsEmpty() const { return cells_.empty() && !unusedArea_; }
  // The union of both lists (and of their flags).
  void Merge(const TVirCellArray& other);

 private:
  std::vector<std::pair<int, int>> cells_;
  bool unusedArea_ = false;
};

// The selected cells: per column a sorted list of disjoint row ranges, plus a
// pending rectangle that an extending move is drawing.
class TVirSelectionList {
 public:
  struct Range {
    int first;
    int last;
    friend bool operator==(const Range&, const Range&) = default;
  };

  TVirSelectionList(int colCount = 10, int rowCount = 10);

  int ColCount() const { return static_cast<int>(columns_.size()); }
  int RowCount() const { return rowCount_; }
  // Negative values are ignored; dropped columns and rows lose their ranges.
  void SetColCount(int count);
  void SetRowCount(int count);
  void Clear();
  void SelectAll();
  // Without Keep the selection is cleared; with Keep the pending rectangle is
  // committed. The cell becomes anchor and moving corner.
  void StartRange(int rowNum, int colNum, bool keep);
  // Moves the corner; the rectangle selects or deselects.
  void ExtendRange(int rowNum, int colNum, bool select);
  bool IsSelected(int rowNum, int colNum) const;
  bool HasSelection() const;
  // Corners in any order; a rectangle reaching outside the counts is ignored.
  void SelectRect(int rowNum1, int colNum1, int rowNum2, int colNum2);
  void DeselectRect(int rowNum1, int colNum1, int rowNum2, int colNum2);
  // Commits the pending rectangle, then calls Visitor(first row, column, last
  // row) for each range, columns ascending, until it returns false.
  void Iterate(const std::function<bool(int, int, int)>& visitor);
  // The number of columns that hold ranges.
  int ColumnsWithRanges() const { return columnsWithRanges_; }
  const std::vector<Range>& RangesOf(int colNum) const { return columns_[static_cast<std::size_t>(colNum)]; }

 private:
  struct Pending {
    int anchorRow = 0, anchorCol = 0, cornerRow = 0, cornerCol = 0;
    bool select = true;
    bool empty = true;
    int FirstRow() const { return std::min(anchorRow, cornerRow); }
    int LastRow() const { return std::max(anchorRow, cornerRow); }
    int FirstCol() const { return std::min(anchorCol, cornerCol); }
    int LastCol() const { return std::max(anchorCol, cornerCol); }
  };
  bool InBounds(int rowNum, int colNum) const;
  void Commit();
  void ApplyRect(int rowNum1, int colNum1, int rowNum2, int colNum2, bool select);
  void SetRanges(std::vector<Range>& ranges, std::vector<Range> next);

  std::vector<std::vector<Range>> columns_;  // empty: no range list
  int rowCount_;
  int columnsWithRanges_ = 0;
  Pending pending_;
};
