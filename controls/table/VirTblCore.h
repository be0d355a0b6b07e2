#pragma once
// TVirTableCore: the table grid without its window. It owns the model (rows,
// columns, colours, grid pens, the per-cell store, the selection), lays rows
// and columns out, resolves the table's half of each cell's look, batches
// repainting under a nested hold, paints cells, grid lines, the active cell's
// frame and the unused area, and keeps the scroll position (VirTblCore.cpp).
// It lets one cell at a time be edited by its cell component and moves the
// active cell with the events around both (VirTblEdit.cpp), turns keys into
// commands (VirTblKeys.cpp), handles clicks, drag-select and the resizing and
// moving of rows and columns (VirTblMouse.cpp), and stores its rows, columns
// and cell names (VirTblStream.cpp).
//
// The window it is shown in is reached only through the Host... operations,
// which the windowed table implements over its control; tests implement them
// over a recording canvas. Without a window (HandleAllocated false) nothing
// paints and the scroll position is only stored.

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/base/VirCmd.h"
#include "controls/base/VirFiler.h"
#include "controls/table/VirTCBase.h"
#include "controls/table/VirTblCells.h"
#include "controls/table/VirTblLayout.h"
#include "controls/table/VirTblModel.h"
#include "controls/table/VirTblSel.h"
#include "platform/Desktop.h"
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

// The table's private messages, posted to its own window.
constexpr std::uint32_t kTblMsgStartEdit = 0x4950;       // start editing the active cell
constexpr std::uint32_t kTblMsgForwardClick = 0x4951;    // pass the click that opened an edit to the edit control
constexpr std::uint32_t kTblMsgForwardKey = 0x4952;      // pass the key that opened an edit to the edit control
constexpr std::uint32_t kTblMsgEditorFocusIn = 0x4953;   // from an edit control; ignored
constexpr std::uint32_t kTblMsgEditorFocusOut = 0x4954;  // from an edit control; ignored
constexpr std::uint32_t kTblMsgResolveNames = 0x4959;    // resolve the stored cell names
constexpr std::uint32_t kTblMsgKeyDown = 0x495A;         // a key an edit control passed on

// The command value of the active-cell moves that the mouse makes.
constexpr std::uint16_t kMouseMoveCommand = 250;

// The smallest width (height) a mouse resize gives, and the half-width of the band around an edge that grabs it.
constexpr int kMinMouseSize = 6;
constexpr int kGrabReach = 2;

// A key that typed on a browsed cell, to reach the edit control once editing has started.
struct TVirForwardedKey {
  int key = 0;
  plat::ShiftState shift = 0;
  std::string text;
};

// What the mouse is doing with the table, besides clicking on cells.
enum class TVirMouseMode : std::uint8_t {
  None,
  DragSelect,
  ColResizeReady,  // the cursor shows a grab place; a press starts the action
  RowResizeReady,
  ColMoveReady,
  RowMoveReady,
  ColResize,
  RowResize,
  ColMove,
  RowMove
};

// What lies under the mouse for resizing or moving.
struct TVirGrabPlace {
  TVirMouseMode mode = TVirMouseMode::None;  // one of the ...Ready modes, or None
  int number = -1;                           // the row or column
  friend bool operator==(const TVirGrabPlace&, const TVirGrabPlace&) = default;
};

// Where a stored "form.cell" name can be looked for.
struct TVirCellDirectory {
  std::string formName;  // the form that holds the table
  // A cell component of that form by name, or null.
  std::function<TVirBaseTableCell*(const std::string& cellName)> inOwnForm;
  // A cell component of an open form of exactly that name, or null.
  std::function<TVirBaseTableCell*(const std::string& formName, const std::string& cellName)> inOpenForm;
};
// The owner part of a stored name matches the table's form under its own name,
// and under that name cut before its last "_" (a second instance "DialogF_2").
bool OwnerPartMatchesForm(const std::string& ownerPart, const std::string& formName);
// The cell a stored name stands for: among the table's form's cells when the
// owner part matches it (`openForms` false), among the open forms of exactly
// that name (`openForms` true); null when none.
TVirBaseTableCell* ResolveStoredCellName(const std::string& stored, const TVirCellDirectory& directory, bool openForms);

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
  int FilterKey(int key, plat::ShiftState shift) override;
  void PostKeyDown(int key, plat::ShiftState shift) override;
  void PostTableMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) override {
    HostPostMessage(msg, wParam, lParam);
  }
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
  // Moves the active cell through OnActiveCellMoving (command 0), which may
  // change or refuse the target; an edit that cannot be saved keeps it.
  void SetActiveCell(int rowNum, int colNum) { MoveActiveCell(ccNone, rowNum, colNum); }
  void SetActiveRow(int rowNum) { SetActiveCell(rowNum, activeCol_); }
  void SetActiveCol(int colNum) { SetActiveCell(activeRow_, colNum); }
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
  // The marked column and row ranges: first <= last, inside the counts.
  std::pair<int, int> MarkedCols() const { return {markedCols_.first, markedCols_.last}; }
  std::pair<int, int> MarkedRows() const { return {markedRows_.first, markedRows_.last}; }
  void SetMarkedCols(int first, int last);
  void SetMarkedRows(int first, int last);

  // ---- editing ----
  // Starts editing the active cell with its cell component; true when editing
  // (also when editing already).
  bool StartEditing();
  // Ends the edit, saving the value when `saveValue`; true when not editing
  // afterwards, false when the cell or OnEndEdit refused.
  bool StopEditing(bool saveValue);
  bool Editing() const { return editorShown_ || editorHidden_; }
  bool EditorShown() const { return editorShown_; }
  TVirBaseTableCell* EditCell() const { return editCell_; }
  // Neither editing nor dragging with the mouse.
  bool Browsing() const { return !Editing() && mouseMode_ == TVirMouseMode::None; }

  // ---- keys and commands ----
  // A key pressed in the table (after OnKeyDown): translated and carried out.
  void TableKeyDown(int key, plat::ShiftState shift, const std::string& text);
  // The text the last key typed, when it arrives after the key (it goes with
  // the key to the edit control).
  void TableKeyTyped(char32_t ch);
  // Carries out one movement command; other codes do nothing.
  virtual void DoCommand(std::uint16_t command);
  // The posted messages of the table, delivered.
  void HandleTableMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam);

  // ---- the mouse ----
  void TableMouseDown(plat::ShiftState shift, int x, int y);
  void TableDoubleClick(plat::ShiftState shift, int x, int y);
  void TableMouseMove(plat::ShiftState shift, int x, int y);
  void TableMouseUp(plat::ShiftState shift, int x, int y);
  // The mouse left the window: a readied resize or move is dropped (browsing again).
  void TableMouseLeft();
  TVirMouseMode MouseMode() const { return mouseMode_; }
  // The resize line or move place under a point; None in the scrolling area.
  TVirGrabPlace GrabPlaceAt(int x, int y) const;
  // The resize line at `position` (X for a column, Y for a row), XORed in;
  // drawn twice at one place it leaves the canvas as it was.
  void DrawResizeLine(plat::Canvas& canvas, bool column, int position) const;
  // The move marker at a position of the visible columns (rows), XORed in.
  void DrawMoveMarker(plat::Canvas& canvas, bool column, int sourcePos, int targetPos) const;

  // ---- stored properties: "RowData", "ColData", "CellData" ----
  // The windowed table's DefineProperties hands its filer on to this.
  void DefineTableProperties(TVirFiler& filer);
  // Names read from a stream and not yet resolved.
  int PendingCellNames() const { return static_cast<int>(pendingCells_.size() + pendingColumnCells_.size()); }

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
  void FocusChanged(bool gained);
  // Scrolls one line (action 0 back, 1 forward) or one page (2 back, 3
  // forward), vertically or horizontally; nothing while an edit cannot be saved.
  void ScrollAction(bool horizontal, int action);
  // A scroll-bar thumb: the final position, or a drag while otoThumbTrack is set.
  void ThumbMoved(plat::ScrollBarKind bar, plat::ScrollCode code, int pos);
  // Scales row heights, column widths and the cells' own fonts by M/D.
  void Scale(int m, int d);

  // ---- events ----
  std::function<void(int rowNum, int colNum)> OnActiveCellChanged;
  std::function<void(std::uint16_t command, int& rowNum, int& colNum)> OnActiveCellMoving;
  std::function<void(int rowNum, int colNum, bool& allowIt)> OnBeginEdit;
  std::function<void()> OnClipboardCopy;
  std::function<void()> OnClipboardCut;
  std::function<void()> OnClipboardPaste;
  std::function<void(int rowNum, int colNum)> OnDoneEdit;
  std::function<void(TVirTableCellAncestor& cell, int rowNum, int colNum, bool& allowIt)> OnEndEdit;
  std::function<void(int colNum)> OnLeavingColumn;
  std::function<void(int rowNum)> OnLeavingRow;
  std::function<void(int rowNum, int colNum)> OnLockedCellClick;
  std::function<void(std::uint16_t command)> OnUserCommand;
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
  // Posts one of the table's messages to its own window.
  virtual void HostPostMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) = 0;
  // The command processor of the form's controller; null without one.
  virtual TVirCommandProcessor* HostCommands() { return nullptr; }
  virtual void HostSetCursor(plat::CursorShape /*shape*/) {}
  // Hands the edit control (given the focus) the key or the click that opened the edit.
  virtual void HostForwardKey(TVirBaseTableCell& /*cell*/, const TVirForwardedKey& /*key*/) {}
  virtual void HostForwardClick(TVirBaseTableCell& /*cell*/, plat::ShiftState /*shift*/, int /*x*/, int /*y*/) {}
  // The forms and cells that stored cell names resolve among.
  virtual TVirCellDirectory HostCellDirectory() { return {}; }
  // The table's stored properties are being read.
  virtual bool HostLoading() const { return false; }
  // The focus came to the table with the mouse press being handled.
  virtual bool HostFocusCameWithClick() const { return false; }

  // While destroying the table (or loading its stored properties,
  // HostLoading), no event fires and nothing re-lays out.
  bool destroying_ = false;

  // ---- edit state (the editing operations drive it) ----
  TVirBaseTableCell* editCell_ = nullptr;
  bool editorShown_ = false;
  bool editorHidden_ = false;
  plat::Rect editorRect_;  // where the edit control was last placed

 private:
  bool Quiet() const { return destroying_ || HostLoading(); }
  bool Live() const { return !Quiet() && HandleAllocated(); }
  int GridWidth() const { return HandleAllocated() ? HostClientWidth() : 0; }
  int GridHeight() const { return HandleAllocated() ? HostClientHeight() : 0; }
  // The table's focus mark: the table, or its edit control while editing, has the focus.
  bool HasFocus() const { return HandleAllocated() && (HostFocused() || (Editing() && HostEditorFocused())); }
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

  // ---- moving the active cell (VirTblEdit.cpp) ----
  void MoveActiveCell(std::uint16_t command, int rowNum, int colNum);
  // OnActiveCellMoving, then the end of an edit in progress; false when the
  // edit could not be saved (the target is then the active cell).
  bool DoActiveCellMoving(std::uint16_t command, int& rowNum, int& colNum);
  // The move itself, after the event and the selection.
  void MoveActiveCellTo(int rowNum, int colNum);
  // Ends an edit before the active cell is pulled into a new range: saved
  // when the cell allows it, else dropped.
  void EndEditForNewRange();
  // Ends the cell's edit and forgets it, without events.
  void ReleaseEditor(bool saveValue, TVirCellData data);

  // ---- selection ----
  // The selection restarts at the cell (clamped to the scrolling area).
  void RestartSelection(int rowNum, int colNum, bool keep);
  // The rectangle from the anchor to the cell selects (or deselects).
  void ExtendSelection(int rowNum, int colNum, bool keep);
  // Marks the visible cells whose selection `change` turns.
  void MarkSelectionChange(const std::function<void()>& change);
  void SelectWholeRow(int rowNum);
  void SelectWholeColumn(int colNum);
  void SelectEverything();

  // ---- commands (VirTblKeys.cpp) ----
  std::uint16_t TranslateKey(int key, plat::ShiftState shift);
  void CarryOut(std::uint16_t command);
  void MoveByCommand(std::uint16_t command, int rowNum, int colNum);
  void PageCommand(std::uint16_t command);
  int LastFullRow() const;

  // ---- the mouse (VirTblMouse.cpp) ----
  void ClickCell(plat::ShiftState shift, int x, int y, int rowNum, int colNum, bool hadFocus);
  void ClickLockedCell(int rowNum, int colNum);
  void ClickBeyondCells(int rowNum, int colNum);
  void ClickWithoutSelection(plat::ShiftState shift, int x, int y, int hit, int rowNum, int colNum, bool hadFocus);
  void PostStartEditAndClick(plat::ShiftState shift, int x, int y);
  void PostForwardClick(plat::ShiftState shift, int x, int y);
  void DragSelectTo(plat::ShiftState shift, int x, int y);
  void ShowGrabCursor(int x, int y);
  // Starts the resize or move the cursor readied (`columnMode` or `rowMode`):
  // the grabbed one's position on screen, or -1 (and no drag) when it is off screen.
  int TakeGrab(TVirMouseMode columnMode, TVirMouseMode rowMode);
  void StartResize(int x, int y);
  void StartMove();
  void EndResize();
  void EndMove();
  void MoveColumn(int source, int target);
  void MoveRow(int source, int target);
  // Draws the resize line or the move marker where it stands now (again, to remove it).
  void ToggleDragMark();
  // A line in `pen` across the whole client height (a column's) or width (a row's).
  void LineAcross(plat::Canvas& canvas, const plat::Pen& pen, bool column, int at) const;
  void PaintDragMark(plat::Canvas& canvas) const;

  // ---- streaming (VirTblStream.cpp) ----
  void WriteRowData(TVirWriter& writer) const;
  void ReadRowData(TVirReader& reader);
  void WriteColData(TVirWriter& writer) const;
  void ReadColData(TVirReader& reader);
  void WriteCellData(TVirWriter& writer) const;
  void ReadCellData(TVirReader& reader);
  void ResolveCellNames();

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

  struct MarkedRange {
    int first = 0;
    int last = 0;
  };
  MarkedRange markedCols_, markedRows_;

  bool extend_ = false;  // the move extends the selection
  int anchorRow_ = 1, anchorCol_ = 1;
  bool selectMode_ = true;  // the rectangle from the anchor selects (else deselects)
  std::deque<TVirForwardedKey> forwardedKeys_;
  bool keyForwarded_ = false;  // the last key was queued to reach the edit control

  TVirMouseMode mouseMode_ = TVirMouseMode::None;
  int grabNumber_ = -1;  // the row or column a resize or move concerns
  int leadingEdge_ = 0;  // of the row or column being resized
  int linePos_ = 0;      // the resize line
  int moveSource_ = 0;   // positions in the visible rows or columns
  int moveTarget_ = 0;
  bool dragMarkShown_ = false;

  std::vector<std::string> pendingCells_;                        // "CellData" names
  std::vector<std::pair<int, std::string>> pendingColumnCells_;  // "ColData" names by column
};
