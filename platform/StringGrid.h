#pragma once
// A grid of texts: fixed rows and columns at the top and left (headings), the
// rest selectable and, with goEditing, edited in place. The grid holds no object
// per cell: it asks for the texts of the cells it paints, either from its owner
// (SetCellSource) or from the few texts set with SetCell. With goRowMoving a row
// is dragged elsewhere by its cell in a fixed column, with goColMoving a column by
// its cell in a fixed row.
//
// Keys move as in a spreadsheet, the in-place editor's text stored first: Enter
// and Down go to the cell below, Up to the one above, and with goTabs Tab to the
// next cell of the row, or the first of the next row, Shift+Tab back alike.
// Cells that cannot be selected are passed over; where no cell can be reached
// the current one stays. Implemented in platform/qt/.

#include "platform/Canvas.h"
#include "platform/Control.h"

#include <cstdint>
#include <functional>
#include <string>

namespace plat {

using GridOptions = std::uint16_t;
constexpr GridOptions goEditing = 1, goTabs = 2, goAlwaysShowEditor = 4, goRangeSelect = 8, goColSizing = 16,
                      goRowSizing = 32, goRowMoving = 64, goColMoving = 128, goRowSelect = 256;

class StringGrid : public Control {
 public:
  explicit StringGrid(Control& parent);

  int ColCount() const;
  int RowCount() const;
  // Growing keeps the cells; shrinking drops the ones beyond.
  void SetColCount(int count);
  void SetRowCount(int count);
  int FixedCols() const { return fixedCols_; }
  int FixedRows() const { return fixedRows_; }
  void SetFixedCols(int count);
  void SetFixedRows(int count);

  // Cells outside the grid read as empty; writing them does nothing.
  std::string Cell(int col, int row) const;
  void SetCell(int col, int row, const std::string& text);

  // The owner keeps the texts: the grid reads every cell from the source, SetCell
  // writes nothing, and an edit reaches the owner through OnSetEditText alone.
  using CellSource = std::function<std::string(int col, int row)>;
  void SetCellSource(CellSource source);
  // The source's texts changed: the grid shows them again.
  void CellsChanged();
  // What the cell's tooltip shows: its whole text, however narrow the column.
  std::string CellHint(int col, int row) const;
  // Widens a column so that the text shows whole; never below the default width.
  void FitColWidthTo(int col, const std::string& text);

  // Where the cell shows, in the control's client coordinates (empty when it is not shown).
  Rect CellRect(int col, int row) const;

  int ColWidth(int col) const;
  void SetColWidth(int col, int width);
  int RowHeight(int row) const;
  void SetRowHeight(int row, int height);
  void SetDefaultColWidth(int width);
  void SetDefaultRowHeight(int height);
  int DefaultRowHeight() const;

  void SetOptions(GridOptions options);
  GridOptions Options() const { return options_; }

  // The current cell.
  int Col() const;
  int Row() const;
  void SetCurrent(int col, int row);
  bool EditorMode() const;
  void SetEditorMode(bool editing);

  // Asked before a cell becomes current, and of the cells a key passes over;
  // set canSelect to false to refuse.
  std::function<void(int col, int row, bool& canSelect)> OnSelectCell;
  // Asked before the user leaves the current cell (col, row) for another; set
  // canLeave to false to stay on it.
  std::function<void(int col, int row, bool& canLeave)> OnLeaveCell;
  // The in-place editor opens on a cell.
  std::function<void(int col, int row)> OnStartEdit;
  // The in-place editor's text was stored in its cell: at every change while typing.
  std::function<void(int col, int row, const std::string& text)> OnSetEditText;
  // The user dragged row `from` to the place of row `to`: the rows between moved
  // by one towards `from`'s old place, with their heights, and the current cell
  // stayed on the text it was on. A grid without a source has moved its texts;
  // an owner with one moves its own. Columns likewise, with their widths.
  std::function<void(int from, int to)> OnRowMoved;
  std::function<void(int from, int to)> OnColumnMoved;

 private:
  void RefreshFixed();
  void CurrentChanged(int col, int row, int oldCol, int oldRow);
  int fixedCols_ = 1;
  int fixedRows_ = 1;
  GridOptions options_ = 0;
};

}  // namespace plat
