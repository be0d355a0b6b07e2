#pragma once
// TVirTableCore: the table grid without its window. It owns the model (rows,
// columns, colours, grid pens, the per-cell store, the selection), lays rows
// and columns out, resolves the table's half of each cell's look, batches
// repainting under a nested hold, paints cells, grid lines, the active cell's
// frame and the unused area, and keeps the scroll position.
//
// The window it is shown in is reached only through the Host... operations,
// which the windowed table implements over its control; tests implement them
// over a recording canvas. Without a window (HandleAllocated false) nothing
// paints and the scroll position is only stored.

#include <functional>
#include <memory>
#include <vector>

#include "controls/table/VirTCBase.h"
#include "controls/table/VirTblCells.h"
#include "controls/table/VirTblLayout.h"
#include "controls/table/VirTblModel.h"
#include "controls/table/VirTblSel.h"
#include "platform/Types.h"

enum class TVirScrollBars { ssNone, ssHorizontal, ssVertical, ssBoth };

// A range of positions in the visible-row and visible-column lists.
struct TVirCellRange {
  int FirstCol = -1;
  int FirstRow = -1;
  int LastCol = -1;
  int LastRow = -1;
  friend bool operator==(const TVirCellRange&, const TVirCellRange&) = default;
};

class TVirTableCore : public TVirTableAncestor {
 public:
  TVirTableCore();
  ~TVirTableCore() override;

  // ---- the cell protocol ----
  TVirTblOptionSet Options() const override { return options_; }
  plat::Color Color() const override { return color_; }
  const plat::Font& Font() const override { return font_; }
  int LockedCols() const override { return lockedCols_; }
  int LockedRows() const override { return lockedRows_; }
  int ActiveCol() const override { return activeCol_; }
  int ActiveRow() const override { return activeRow_; }
  void ForgetCell(TVirBaseTableCell& cell) override;
  void ResolveCellAttributes(int rowNum, int colNum, TVirCellAttributes& attr) override;
  void RegisterCell(TVirBaseTableCell& cell) override;
  void UnregisterCell(TVirBaseTableCell& cell) override;
  const std::vector<TVirBaseTableCell*>& UsedCells() const { return usedCells_; }

  // ---- the model ----
  TVirTableRows& Rows() { return rows_; }
  TVirTableColumns& Columns() { return *columns_; }
  TVirTableColors& Colors() { return colors_; }
  TVirGridPenSet& GridPenSet() { return gridPenSet_; }
  TVirTableCells& Cells() { return cells_; }
  TVirSelectionList& Selection() { return selection_; }
  // The cell component of a cell: its own, else for a locked row
  // LockedRowsCell, else the column's DefaultCell.
  TVirBaseTableCell* CellComponent(int rowNum, int colNum) const;

  // ---- properties ----
  int RowLimit() const { return rows_.Limit(); }
  void SetRowLimit(int value);
  int ColCount() const { return columns_->Count(); }
  void SetColCount(int value);
  void SetLockedRows(int value);
  void SetLockedCols(int value);
  int TopRow() const { return topRow_; }
  void SetTopRow(int value) { SetTopLeftCell(value, leftCol_); }
  int LeftCol() const { return leftCol_; }
  void SetLeftCol(int value) { SetTopLeftCell(topRow_, value); }
  // Moves the active cell within range (skipping hidden rows and columns),
  // repaints the old and the new one and brings the new one into view.
  void SetActiveCell(int rowNum, int colNum);
  TVirTblAccess Access() const { return access_; }
  void SetAccess(TVirTblAccess access);
  TVirTblAdjust Adjust() const { return adjust_; }
  void SetAdjust(TVirTblAdjust adjust);
  void SetColor(plat::Color color);
  plat::Color ColorUnused() const { return colorUnused_; }
  void SetColorUnused(plat::Color color);
  void SetFont(const plat::Font& font);
  void SetOptions(TVirTblOptionSet options);
  TVirBaseTableCell* LockedRowsCell() const { return lockedRowsCell_; }
  void SetLockedRowsCell(TVirBaseTableCell* cell);
  TVirScrollBars ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TVirScrollBars bars);
  int LargestTopRow() const { return largestTopRow_; }
  int LargestLeftCol() const { return largestLeftCol_; }
  const TVirVisibleList& VisibleRows() const { return visibleRows_; }
  const TVirVisibleList& VisibleCols() const { return visibleCols_; }

  // ---- layout and painting ----
  // False holds painting (nested); true releases one level; the cells marked
  // meanwhile paint once at the outermost release.
  void AllowRedrawing(bool allow);
  bool PaintingHeld() const { return hold_ > 0; }
  void InvalidateCell(int rowNum, int colNum);
  void MarkRow(int rowNum);
  void MarkAllCells();
  const TVirCellArray& MarkedCells() const { return marked_; }
  // Hit class of a point: 0 ordinary cell, 1 locked cell, 2 beyond the cells,
  // 3 outside the window; -1 beyond the last row (column), -2 before the first.
  int HitTest(int x, int y, int& rowNum, int& colNum) const;
  // 0: the rectangle lies on cells; 1: it reaches beyond them; 2: it starts beyond them.
  int CellRangeOfRect(plat::Rect rect, TVirCellRange& range) const;
  // The rectangle of an on-screen cell, or an empty one.
  plat::Rect CellRect(int rowNum, int colNum) const;
  void SetTopLeftCell(int rowNum, int colNum);
  // Scrolls the row and column into view.
  void ShowCell(int rowNum, int colNum);

  // ---- what the window hands on ----
  // The window's paint request for a clip box.
  void WindowPaint(plat::Canvas& canvas, plat::Rect clip);
  // The window exists now (lay out, place the scroll bars).
  void WindowCreated();
  void WindowResized();
  // The focus arrived or left.
  void FocusChanged();
  // Scrolls one line (action 0 back, 1 forward) or one page (2 back, 3
  // forward), vertically or horizontally; nothing while an edit cannot be saved.
  void ScrollAction(bool horizontal, int action);
  // A scroll-bar thumb: the final position, or a drag while otoThumbTrack is set.
  void ThumbMoved(plat::ScrollBarKind bar, plat::ScrollCode code, int pos);
  // Scales row heights, column widths and the cells' own fonts by M/D.
  void Scale(int m, int d);

  // ---- events ----
  std::function<TVirCellData(int rowNum, int colNum, TVirCellDataPurpose purpose)> OnGetCellData;
  std::function<void(int rowNum, int colNum, TVirCellAttributes& attr)> OnGetCellAttributes;
  std::function<void(int rowNum)> OnEnteringRow;
  std::function<void(int colNum)> OnEnteringColumn;
  std::function<void(int& rowNum, int& colNum)> OnTopLeftCellChanging;
  std::function<void(int rowNum, int colNum)> OnTopLeftCellChanged;
  std::function<void()> OnPaintUnusedArea;
  std::function<void(int rowNum, int colNum, plat::Rect& cellRect, TVirTblEditorStyle& style)> OnSizeCellEditor;
  std::function<void(int rowNum1, int rowNum2, TVirTblActions action)> OnRowsChanged;
  std::function<void(int colNum1, int colNum2, TVirTblActions action)> OnColumnsChanged;

 protected:
  // ---- the window, as the windowed table provides it ----
  virtual int HostClientWidth() const = 0;
  virtual int HostClientHeight() const = 0;
  virtual bool HostFocused() const = 0;
  // Runs `paint` on a canvas of the window now, outside a paint request.
  virtual void HostPaint(const std::function<void(plat::Canvas&)>& paint) = 0;
  // Moves the pixels of `area` by (dx, dy); what becomes uncovered comes back
  // as a paint request (WindowPaint), at the latest on HostUpdate.
  virtual void HostScroll(int dx, int dy, plat::Rect area) = 0;
  // Delivers the waiting paint requests now.
  virtual void HostUpdate() = 0;
  // The range and position of a scroll bar; an empty range (Max not above Min) for one that is not present.
  virtual void HostSetScrollBar(plat::ScrollBarKind bar, TVirScrollBarValues values) = 0;
  // Focus moves between the table and a cell's edit control.
  virtual void HostFocusEditor(TVirBaseTableCell& /*cell*/) {}
  virtual void HostFocusTable() {}
  virtual bool HostEditorFocused() const { return false; }
  // Whether Tab reaches the table as a key (otoTabToArrow) instead of moving the focus.
  virtual void HostWantTabs(bool /*want*/) {}

  // While loading stored properties or destroying the table, no event fires
  // and nothing re-lays out.
  bool loading_ = false;
  bool destroying_ = false;

  // ---- edit state (the editing operations drive it) ----
  TVirBaseTableCell* editCell_ = nullptr;
  bool editorShown_ = false;
  bool editorHidden_ = false;
  bool Editing() const { return editorShown_ || editorHidden_; }

 private:
  bool Quiet() const { return loading_ || destroying_; }
  bool Live() const { return !Quiet() && HandleAllocated(); }
  int GridWidth() const { return HandleAllocated() ? HostClientWidth() : 0; }
  int GridHeight() const { return HandleAllocated() ? HostClientHeight() : 0; }
  bool HasFocus() const { return HandleAllocated() && HostFocused(); }
  void LayoutRows();
  void LayoutCols();
  // Re-computes the largest top row (left column) and pulls TopRow (LeftCol) back to it.
  void UpdateVerticalRange();
  void UpdateHorizontalRange();
  void UpdateScrollBars();
  // Lays rows and columns out again and repaints everything, inside one hold.
  void Relayout();
  // The same, unless loading, destroying or without a window.
  void RelayoutAndRepaint();
  void MarkRange(const TVirCellRange& range, int result);
  void MarkActiveCell();
  void PaintMarked(plat::Canvas& canvas);
  void PaintCell(plat::Canvas& canvas, int rowPos, int colPos);
  void PaintGridLines(plat::Canvas& canvas, plat::Rect cell, const TVirGridPen& pen, plat::Color background);
  void PaintActiveFrame(plat::Canvas& canvas);
  void PaintUnusedArea(plat::Canvas& canvas);
  const TVirGridPen& GridPenOf(int rowNum, int colNum) const;
  plat::Rect InnerRect(plat::Rect cell, const TVirGridPen& pen) const;
  void DoEnteringRow(int rowNum);
  void DoEnteringColumn(int colNum);
  TVirCellData CellData(int rowNum, int colNum, TVirCellDataPurpose purpose);
  void HideEditorForHold();
  void ShowEditorAfterRelease();
  void RowsChanged(int rowNum1, int rowNum2, TVirTblActions action);
  void ColumnsChanged(int colNum1, int colNum2, TVirTblActions action);
  void CellChanged();
  void ScrollRowsTo(int rowNum);
  void ScrollColsTo(int colNum);
  // Applies the largest values and the range rules to a top-left cell.
  void ClampTopLeft(int& rowNum, int& colNum) const;

  TVirTableRows rows_;
  std::unique_ptr<TVirTableColumns> columns_;
  TVirRowAxis rowAxis_{rows_};
  std::unique_ptr<TVirColumnAxis> colAxis_;
  TVirTableColors colors_;
  TVirGridPenSet gridPenSet_;
  TVirTableCells cells_{this};
  TVirCellArray marked_;
  TVirSelectionList selection_{10, 10};
  std::vector<TVirBaseTableCell*> usedCells_;

  int lockedRows_ = 1, topRow_ = 1, activeRow_ = 1;
  int lockedCols_ = 1, leftCol_ = 1, activeCol_ = 1;
  TVirTblAccess access_ = otxNormal;
  TVirTblAdjust adjust_ = otaCenterLeft;
  plat::Color color_ = plat::clBtnFace;
  plat::Color colorUnused_ = plat::clWindow;
  plat::Font font_;
  TVirTblOptionSet options_;
  TVirBaseTableCell* lockedRowsCell_ = nullptr;
  TVirScrollBars scrollBars_ = TVirScrollBars::ssBoth;

  TVirVisibleList visibleRows_;
  TVirVisibleList visibleCols_;
  int largestTopRow_ = 1;
  int largestLeftCol_ = 1;
  int hold_ = 0;
  bool scrollBarsPending_ = false;
  bool scrollMark_ = false;  // the window contents moved inside this hold
  int lastEnteredRow_ = -1;
  int lastEnteredCol_ = -1;
};
