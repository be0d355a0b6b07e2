// The mouse on the table: clicks that activate, edit and select cells,
// drag-select, and the row and column resizes and moves that start on the
// grab places of the heading rows and columns.

#include <algorithm>
#include <cstdlib>

#include "controls/table/VirTblCore.h"

namespace {

bool IsColumnMode(TVirMouseMode mode) { return mode == TVirMouseMode::ColResize || mode == TVirMouseMode::ColMove; }

// The end of the locked entries of a visible list (0 when none shows).
int LockedEnd(const TVirVisibleList& visible, int locked) {
  int end = 0;
  for (int pos = 0; pos < visible.Count() && visible[pos].Number < locked; ++pos) end = visible.EndOf(pos);
  return end;
}

// The entry whose trailing edge lies within reach of `at`, first in screen order; -1 when none.
int EdgeNear(const TVirVisibleList& visible, int at) {
  for (int pos = 0; pos < visible.Count(); ++pos)
    if (std::abs(at - visible.EndOf(pos)) <= kGrabReach) return pos;
  return -1;
}

}  // namespace

// ---- grab places and the cursor ----

TVirGrabPlace TVirTableCore::GrabPlaceAt(int x, int y) const {
  if (x < 0 || y < 0 || x >= GridWidth() || y >= GridHeight()) return {};
  const bool inHeadRows = y < LockedEnd(visibleRows_, lockedRows_);
  const bool inHeadCols = x < LockedEnd(visibleCols_, lockedCols_);
  // Resize lines first, rows before columns where the headings meet.
  if (inHeadCols && !options_.Has(otoNoRowResizing))
    if (const int pos = EdgeNear(visibleRows_, y); pos >= 0)
      return {TVirMouseMode::RowResizeReady, visibleRows_[pos].Number};
  if (inHeadRows && !options_.Has(otoNoColResizing))
    if (const int pos = EdgeNear(visibleCols_, x); pos >= 0)
      return {TVirMouseMode::ColResizeReady, visibleCols_[pos].Number};
  if (inHeadRows && options_.Has(otoAllowColMoves))
    if (const int pos = visibleCols_.PositionAt(x); pos >= 0 && visibleCols_[pos].Number >= lockedCols_)
      return {TVirMouseMode::ColMoveReady, visibleCols_[pos].Number};
  if (inHeadCols && options_.Has(otoAllowRowMoves))
    if (const int pos = visibleRows_.PositionAt(y); pos >= 0 && visibleRows_[pos].Number >= lockedRows_)
      return {TVirMouseMode::RowMoveReady, visibleRows_[pos].Number};
  return {};
}

void TVirTableCore::ShowGrabCursor(int x, int y) {
  const TVirGrabPlace place = HasFocus() && !Editing() ? GrabPlaceAt(x, y) : TVirGrabPlace{};
  mouseMode_ = place.mode;
  grabNumber_ = place.number;
  switch (place.mode) {
    case TVirMouseMode::ColResizeReady: return HostSetCursor(plat::CursorShape::SizeWE);
    case TVirMouseMode::RowResizeReady: return HostSetCursor(plat::CursorShape::SizeNS);
    case TVirMouseMode::ColMoveReady: return HostSetCursor(plat::CursorShape::ColMove);
    case TVirMouseMode::RowMoveReady: return HostSetCursor(plat::CursorShape::RowMove);
    default: return HostSetCursor(plat::CursorShape::Default);
  }
}

// ---- button down ----

void TVirTableCore::TableMouseDown(plat::ShiftState shift, int x, int y) {
  const bool hadFocus = HasFocus() && !HostFocusCameWithClick();
  if (!HasFocus()) HostFocusTable();
  switch (mouseMode_) {
    case TVirMouseMode::ColResizeReady:
    case TVirMouseMode::RowResizeReady: return StartResize(x, y);
    case TVirMouseMode::ColMoveReady:
    case TVirMouseMode::RowMoveReady: return StartMove();
    default: break;
  }
  int rowNum, colNum;
  const int hit = HitTest(x, y, rowNum, colNum);
  if (hit == 3 || !HasFocus()) return;
  if (options_.Has(otoNoSelection)) return ClickWithoutSelection(shift, x, y, hit, rowNum, colNum, hadFocus);
  if (hit == 0) return ClickCell(shift, x, y, rowNum, colNum, hadFocus);
  if (hit == 1) return ClickLockedCell(rowNum, colNum);
  ClickBeyondCells(rowNum, colNum);
}

void TVirTableCore::ClickCell(plat::ShiftState shift, int x, int y, int rowNum, int colNum, bool hadFocus) {
  if (Editing() && editCell_ != nullptr) HostFocusEditor(*editCell_);
  const bool ctrl = (shift & plat::ssCtrl) != 0;
  bool editRequested = false;
  AllowRedrawing(false);
  if (DoActiveCellMoving(kMouseMoveCommand, rowNum, colNum)) {
    if ((shift & plat::ssShift) != 0) {
      ExtendSelection(rowNum, colNum, ctrl);
    } else {
      if (rowNum == activeRow_ && colNum == activeCol_ && !ctrl && hadFocus) {
        PostStartEditAndClick(shift, x, y);
        editRequested = true;
      }
      RestartSelection(rowNum, colNum, ctrl);
    }
    MoveActiveCellTo(rowNum, colNum);
  }
  AllowRedrawing(true);
  if (options_.Has(otoMouseDragSelect) && !editRequested) mouseMode_ = TVirMouseMode::DragSelect;
}

void TVirTableCore::ClickLockedCell(int rowNum, int colNum) {
  if (!StopEditing(true)) return;
  const bool inRowHeads = rowNum >= lockedRows_ && colNum < lockedCols_;
  const bool inColHeads = colNum >= lockedCols_ && rowNum < lockedRows_;
  const bool inCorner = rowNum < lockedRows_ && colNum < lockedCols_;
  AllowRedrawing(false);
  if (options_.Has(otoRowSelection) && inRowHeads) SelectWholeRow(rowNum);
  if (options_.Has(otoColSelection) && inColHeads) SelectWholeColumn(colNum);
  if (options_.Has(otoRowSelection) && options_.Has(otoColSelection) && inCorner) SelectEverything();
  AllowRedrawing(true);
  if (Browsing() && OnLockedCellClick && !Quiet()) OnLockedCellClick(rowNum, colNum);
}

void TVirTableCore::ClickBeyondCells(int rowNum, int colNum) {
  if (!StopEditing(true)) return;
  if (rowNum < 0) rowNum = std::max(PreviousVisible(rowAxis_, RowLimit(), lockedRows_), lockedRows_);
  if (colNum < 0) colNum = std::max(PreviousVisible(*colAxis_, ColCount(), lockedCols_), lockedCols_);
  AllowRedrawing(false);
  if (DoActiveCellMoving(kMouseMoveCommand, rowNum, colNum)) {
    RestartSelection(rowNum, colNum, false);
    MoveActiveCellTo(rowNum, colNum);
  }
  AllowRedrawing(true);
}

void TVirTableCore::ClickWithoutSelection(plat::ShiftState shift, int x, int y, int hit, int rowNum, int colNum,
                                          bool hadFocus) {
  if (hit == 1) {
    if (Browsing() && OnLockedCellClick && !Quiet()) OnLockedCellClick(rowNum, colNum);
    return;
  }
  if (hit != 0) return;
  if (Editing() && editCell_ != nullptr) HostFocusEditor(*editCell_);
  AllowRedrawing(false);
  if (DoActiveCellMoving(kMouseMoveCommand, rowNum, colNum)) {
    if (rowNum == activeRow_ && colNum == activeCol_ && !options_.Has(otoAlwaysEditing) && hadFocus)
      PostStartEditAndClick(shift, x, y);
    MoveActiveCellTo(rowNum, colNum);
  }
  AllowRedrawing(true);
  // Once more, so that the click reaches the edit control that the move opens.
  PostForwardClick(shift, x, y);
}

void TVirTableCore::TableDoubleClick(plat::ShiftState shift, int x, int y) {
  int rowNum, colNum;
  if (HitTest(x, y, rowNum, colNum) == 0) PostStartEditAndClick(shift, x, y);
}

// ---- moves and release ----

void TVirTableCore::TableMouseLeft() {
  switch (mouseMode_) {
    case TVirMouseMode::ColResizeReady:
    case TVirMouseMode::RowResizeReady:
    case TVirMouseMode::ColMoveReady:
    case TVirMouseMode::RowMoveReady:
      mouseMode_ = TVirMouseMode::None;
      grabNumber_ = -1;
      return HostSetCursor(plat::CursorShape::Default);
    default: return;  // a drag in progress goes on; its release ends it
  }
}

void TVirTableCore::TableMouseMove(plat::ShiftState shift, int x, int y) {
  switch (mouseMode_) {
    case TVirMouseMode::DragSelect: return DragSelectTo(shift, x, y);
    case TVirMouseMode::ColResize:
    case TVirMouseMode::RowResize: {
      const int at = mouseMode_ == TVirMouseMode::ColResize ? x : y;
      ToggleDragMark();
      if (at >= leadingEdge_ + kMinMouseSize) linePos_ = at;
      ToggleDragMark();
      return;
    }
    case TVirMouseMode::ColMove:
    case TVirMouseMode::RowMove: {
      int rowNum, colNum;
      HitTest(x, y, rowNum, colNum);
      const bool columns = mouseMode_ == TVirMouseMode::ColMove;
      const int number = columns ? colNum : rowNum;
      if (number < (columns ? lockedCols_ : lockedRows_)) return;
      const int pos = (columns ? visibleCols_ : visibleRows_).PositionOf(number);
      if (pos < 0 || pos == moveTarget_) return;
      ToggleDragMark();
      moveTarget_ = pos;
      ToggleDragMark();
      return;
    }
    default: return ShowGrabCursor(x, y);
  }
}

void TVirTableCore::TableMouseUp(plat::ShiftState, int, int) {
  switch (mouseMode_) {
    case TVirMouseMode::DragSelect: mouseMode_ = TVirMouseMode::None; return;
    case TVirMouseMode::ColResize:
    case TVirMouseMode::RowResize: return EndResize();
    case TVirMouseMode::ColMove:
    case TVirMouseMode::RowMove: return EndMove();
    default: return;
  }
}

void TVirTableCore::DragSelectTo(plat::ShiftState shift, int x, int y) {
  int rowNum, colNum;
  const int hit = HitTest(x, y, rowNum, colNum);
  auto before = [](int found, int active) { return found >= 0 ? found : active; };
  if (hit >= 2) {
    if (rowNum == -2) rowNum = before(PreviousVisible(rowAxis_, activeRow_, lockedRows_), activeRow_);
    if (rowNum == -1 && visibleRows_.Count() > 0) {
      const int lastShown = visibleRows_[visibleRows_.Count() - 1].Number;
      rowNum = std::min(before(NextVisible(rowAxis_, lastShown), lastShown), RowLimit() - 1);
    }
    if (colNum == -2) colNum = before(PreviousVisible(*colAxis_, activeCol_, lockedCols_), activeCol_);
    if (colNum == -1 && visibleCols_.Count() > 0) {
      const int lastShown = visibleCols_[visibleCols_.Count() - 1].Number;
      colNum = std::min(before(NextVisible(*colAxis_, lastShown), lastShown), ColCount() - 1);
    }
  } else if (hit == 1) {
    if (rowNum < lockedRows_) rowNum = before(PreviousVisible(rowAxis_, activeRow_, lockedRows_), activeRow_);
    if (colNum < lockedCols_) colNum = before(PreviousVisible(*colAxis_, activeCol_, lockedCols_), activeCol_);
  }
  if (rowNum < 0 || colNum < 0) return;
  if (OnActiveCellMoving && !Quiet()) OnActiveCellMoving(kMouseMoveCommand, rowNum, colNum);
  if (rowNum == activeRow_ && colNum == activeCol_) return;
  AllowRedrawing(false);
  // Past the bottom (right) edge the view scrolls by one row (column) per move.
  if (visibleRows_.Count() > 0 && rowNum > visibleRows_[visibleRows_.Count() - 1].Number)
    if (const int next = NextVisible(rowAxis_, topRow_); next >= 0) SetTopRow(next);
  if (visibleCols_.Count() > 0 && colNum > visibleCols_[visibleCols_.Count() - 1].Number)
    if (const int next = NextVisible(*colAxis_, leftCol_); next >= 0) SetLeftCol(next);
  ExtendSelection(rowNum, colNum, (shift & plat::ssCtrl) != 0);
  MoveActiveCellTo(rowNum, colNum);
  AllowRedrawing(true);
}

// ---- resizing ----

int TVirTableCore::TakeGrab(TVirMouseMode columnMode, TVirMouseMode rowMode) {
  const bool columns = mouseMode_ == TVirMouseMode::ColResizeReady || mouseMode_ == TVirMouseMode::ColMoveReady;
  const int pos = (columns ? visibleCols_ : visibleRows_).PositionOf(grabNumber_);
  mouseMode_ = pos < 0 ? TVirMouseMode::None : columns ? columnMode : rowMode;
  return pos;
}

void TVirTableCore::StartResize(int x, int y) {
  const int pos = TakeGrab(TVirMouseMode::ColResize, TVirMouseMode::RowResize);
  if (pos < 0) return;
  const bool columns = mouseMode_ == TVirMouseMode::ColResize;
  leadingEdge_ = (columns ? visibleCols_ : visibleRows_)[pos].Offset;
  const int at = columns ? x : y;
  linePos_ = at >= leadingEdge_ + kMinMouseSize ? at : leadingEdge_ + kMinMouseSize;
  ToggleDragMark();
}

void TVirTableCore::EndResize() {
  if (dragMarkShown_) ToggleDragMark();
  const bool columns = mouseMode_ == TVirMouseMode::ColResize;
  mouseMode_ = TVirMouseMode::None;
  const int size = std::max(linePos_, leadingEdge_ + kMinMouseSize) - leadingEdge_;
  AllowRedrawing(false);
  if (columns)
    columns_->Column(grabNumber_)->SetWidth(size);
  else
    rows_.SetRowHeight(grabNumber_, size);
  MarkAllCells();
  AllowRedrawing(true);
}

void TVirTableCore::LineAcross(plat::Canvas& canvas, const plat::Pen& pen, bool column, int at) const {
  const plat::CanvasStateSaver saver(canvas);
  canvas.SetPen(pen);
  if (column)
    canvas.Line(at, 0, at, GridHeight());
  else
    canvas.Line(0, at, GridWidth(), at);
}

void TVirTableCore::DrawResizeLine(plat::Canvas& canvas, bool column, int position) const {
  LineAcross(canvas, {plat::clBlack, plat::PenStyle::Dot, 1, plat::PenMode::Xor}, column, position);
}

// ---- moving rows and columns ----

void TVirTableCore::StartMove() {
  const int pos = TakeGrab(TVirMouseMode::ColMove, TVirMouseMode::RowMove);
  if (pos < 0) return;
  moveSource_ = moveTarget_ = pos;
  ToggleDragMark();
}

void TVirTableCore::EndMove() {
  if (dragMarkShown_) ToggleDragMark();
  const bool columns = mouseMode_ == TVirMouseMode::ColMove;
  mouseMode_ = TVirMouseMode::None;
  if (moveTarget_ == moveSource_) return;
  const TVirVisibleList& visible = columns ? visibleCols_ : visibleRows_;
  const int source = visible[moveSource_].Number, target = visible[moveTarget_].Number;
  if (columns)
    MoveColumn(source, target);
  else
    MoveRow(source, target);
}

namespace {

// Carries `source` to `target` one neighbour exchange at a time, so that
// everything following the rows (columns) sees each step; returns where the
// active one goes: with the moved one, or one step against the move.
template <class Exchange>
int CarryOver(int source, int target, int active, const TVirTableAxis& axis, int locked, Exchange exchange) {
  if (target < source)
    for (int n = source; n > target; --n) exchange(n - 1, n);
  else
    for (int n = source; n < target; ++n) exchange(n, n + 1);
  if (active == source) return target;
  if (target < source && active >= target && active < source) return std::max(NextVisible(axis, active), active);
  if (target > source && active > source && active <= target)
    return std::max(PreviousVisible(axis, active, locked), locked);
  return active;
}

}  // namespace

void TVirTableCore::MoveColumn(int source, int target) {
  AllowRedrawing(false);
  const int active =
      CarryOver(source, target, activeCol_, *colAxis_, lockedCols_, [this](int a, int b) { columns_->Exchange(a, b); });
  SetActiveCol(active);
  AllowRedrawing(true);
}

void TVirTableCore::MoveRow(int source, int target) {
  AllowRedrawing(false);
  const int active =
      CarryOver(source, target, activeRow_, rowAxis_, lockedRows_, [this](int a, int b) { rows_.Exchange(a, b); });
  SetActiveRow(active);
  AllowRedrawing(true);
}

void TVirTableCore::DrawMoveMarker(plat::Canvas& canvas, bool column, int sourcePos, int targetPos) const {
  const TVirVisibleList& visible = column ? visibleCols_ : visibleRows_;
  if (targetPos < 0 || targetPos >= visible.Count()) return;
  const int at = targetPos > sourcePos ? visible.EndOf(targetPos) : visible[targetPos].Offset;
  LineAcross(canvas, {plat::clWhite, plat::PenStyle::Solid, 3, plat::PenMode::Xor}, column, at);
}

void TVirTableCore::PaintDragMark(plat::Canvas& canvas) const {
  switch (mouseMode_) {
    case TVirMouseMode::ColResize:
    case TVirMouseMode::RowResize: return DrawResizeLine(canvas, IsColumnMode(mouseMode_), linePos_);
    case TVirMouseMode::ColMove:
    case TVirMouseMode::RowMove: return DrawMoveMarker(canvas, IsColumnMode(mouseMode_), moveSource_, moveTarget_);
    default: return;
  }
}

void TVirTableCore::ToggleDragMark() {
  HostPaint([this](plat::Canvas& canvas) { PaintDragMark(canvas); });
  dragMarkShown_ = !dragMarkShown_;
}
