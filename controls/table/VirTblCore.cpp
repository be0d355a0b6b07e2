#include "controls/table/VirTblCore.h"

#include <algorithm>

#include "controls/table/VirTCStr.h"
#include "platform/SystemColors.h"

TVirTableCore::TVirTableCore()
    : columns_(TVirTableColumns::Create(this, 10)), colAxis_(std::make_unique<TVirColumnAxis>(*columns_)) {
  rows_.OnChanged = [this](int r1, int r2, TVirTblActions action) { RowsChanged(r1, r2, action); };
  columns_->SetOnChanged([this](int c1, int c2, TVirTblActions action) { ColumnsChanged(c1, c2, action); });
  colors_.OnChange = [this] { CellChanged(); };
  gridPenSet_.SetOnChange([this] { CellChanged(); });
  cells_.OnChanged = [this] { CellChanged(); };
}

TVirTableCore::~TVirTableCore() {
  // Let go of every cell while the table is whole; cells that are merely
  // attached lose their table in the base's destructor.
  destroying_ = true;
  SetLockedRowsCell(nullptr);
  columns_->SetOnChanged({});
  columns_->Clear();
  cells_.OnChanged = nullptr;
  cells_.Clear();
}

// ---- the cell protocol ----

void TVirTableCore::RegisterCell(TVirBaseTableCell& cell) {
  if (std::find(usedCells_.begin(), usedCells_.end(), &cell) == usedCells_.end()) usedCells_.push_back(&cell);
  cell.SetChangeCallback([this, &cell] {
    if (!Live()) return;
    // Only the cells this component paints change.
    AllowRedrawing(false);
    for (int rp = 0; rp < visibleRows_.Count(); ++rp)
      for (int cp = 0; cp < visibleCols_.Count(); ++cp) {
        const int r = visibleRows_[rp].Number, c = visibleCols_[cp].Number;
        if (CellComponent(r, c) == &cell) marked_.Add(r, c);
      }
    AllowRedrawing(true);
  });
}

void TVirTableCore::UnregisterCell(TVirBaseTableCell& cell) { std::erase(usedCells_, &cell); }

void TVirTableCore::ForgetCell(TVirBaseTableCell& cell) {
  columns_->ForgetCell(&cell);
  cells_.ForgetCell(&cell);
  if (lockedRowsCell_ == &cell) lockedRowsCell_ = nullptr;
  if (editCell_ == &cell) editCell_ = nullptr, editorShown_ = editorHidden_ = false;
  std::erase(usedCells_, &cell);
  CellChanged();
}

TVirBaseTableCell* TVirTableCore::CellComponent(int rowNum, int colNum) const {
  if (TVirBaseTableCell* own = cells_.GetCell(rowNum, colNum)) return own;
  if (rowNum < lockedRows_ && lockedRowsCell_ != nullptr) return lockedRowsCell_;
  return columns_->DefaultCell(colNum);
}

void TVirTableCore::ResolveCellAttributes(int rowNum, int colNum, TVirCellAttributes& attr) {
  const TVirCellStyle style = cells_.GetCellStyle(rowNum, colNum);
  attr.Access = style.Access != otxDefault ? style.Access : attr.Access != otxDefault ? attr.Access : access_;
  attr.Adjust = style.Adjust != otaDefault ? style.Adjust : attr.Adjust != otaDefault ? attr.Adjust : adjust_;
  if (style.Font) attr.Font = *style.Font;
  const bool active = rowNum == activeRow_ && colNum == activeCol_;
  const bool locked = rowNum < lockedRows_ || colNum < lockedCols_;
  auto use = [this, &attr](TVirTableColors::Item back, TVirTableColors::Item text) {
    attr.Color = colors_[back];
    attr.FontColor = colors_[text];
  };
  if (active && HasFocus()) {
    if (Editing() || (options_.Has(otoAlwaysEditing) && attr.Access == otxNormal))
      use(TVirTableColors::Editing, TVirTableColors::EditingText);
    else
      use(TVirTableColors::ActiveFocused, TVirTableColors::ActiveFocusedText);
  } else if (active) {
    use(TVirTableColors::ActiveUnfocused, TVirTableColors::ActiveUnfocusedText);
  } else if (options_.Has(otoBrowseRow) && rowNum == activeRow_) {
    if (HasFocus())
      use(TVirTableColors::ActiveFocused, TVirTableColors::ActiveFocusedText);
    else
      use(TVirTableColors::ActiveUnfocused, TVirTableColors::ActiveUnfocusedText);
  } else if (selection_.IsSelected(rowNum, colNum)) {
    use(TVirTableColors::Selected, TVirTableColors::SelectedText);
  } else {
    if (style.Font)
      attr.FontColor = style.Font->color;
    else if (locked)
      attr.FontColor = colors_[TVirTableColors::LockedText];
    if (style.Color != clStyleNotSet)
      attr.Color = style.Color;
    else if (locked)
      attr.Color = colors_[TVirTableColors::Locked];
  }
  if (OnGetCellAttributes && !Quiet()) OnGetCellAttributes(rowNum, colNum, attr);
}

// ---- properties ----

void TVirTableCore::SetRowLimit(int value) {
  if (value == RowLimit() || value <= lockedRows_) return;
  if (activeRow_ >= value) EndEditForNewRange();
  AllowRedrawing(false);
  rows_.SetLimit(value);
  selection_.SetRowCount(value);
  activeRow_ = std::min(activeRow_, value - 1);
  topRow_ = std::min(topRow_, value - 1);
  SetMarkedRows(std::min(markedRows_.first, value - 1), std::min(markedRows_.last, value - 1));
  RelayoutAndRepaint();
  UpdateScrollBars();
  AllowRedrawing(true);
}

void TVirTableCore::SetColCount(int value) {
  if (value == ColCount() || value <= lockedCols_) return;
  if (activeCol_ >= value) EndEditForNewRange();
  AllowRedrawing(false);
  columns_->SetCount(value);
  selection_.SetColCount(value);
  activeCol_ = std::min(activeCol_, value - 1);
  leftCol_ = std::min(leftCol_, value - 1);
  SetMarkedCols(std::min(markedCols_.first, value - 1), std::min(markedCols_.last, value - 1));
  RelayoutAndRepaint();
  AllowRedrawing(true);
}

void TVirTableCore::SetLockedRows(int value) {
  if (value == lockedRows_ || value < 0 || value >= RowLimit()) return;
  if (!HandleAllocated()) {
    lockedRows_ = value;
    return;
  }
  if (activeRow_ < value) EndEditForNewRange();
  AllowRedrawing(false);
  lockedRows_ = value;
  topRow_ = std::max(topRow_, value);
  activeRow_ = std::max(activeRow_, value);
  RelayoutAndRepaint();
  AllowRedrawing(true);
}

void TVirTableCore::SetLockedCols(int value) {
  if (value == lockedCols_ || value < 0 || value >= ColCount()) return;
  if (!HandleAllocated()) {
    lockedCols_ = value;
    return;
  }
  if (activeCol_ < value) EndEditForNewRange();
  AllowRedrawing(false);
  lockedCols_ = value;
  leftCol_ = std::max(leftCol_, value);
  activeCol_ = std::max(activeCol_, value);
  RelayoutAndRepaint();
  AllowRedrawing(true);
}

void TVirTableCore::SetMarkedCols(int first, int last) {
  const int count = ColCount();
  markedCols_.first = std::clamp(std::min(first, last), 0, count - 1);
  markedCols_.last = std::clamp(std::max(first, last), 0, count - 1);
}

void TVirTableCore::SetMarkedRows(int first, int last) {
  const int count = RowLimit();
  markedRows_.first = std::clamp(std::min(first, last), 0, count - 1);
  markedRows_.last = std::clamp(std::max(first, last), 0, count - 1);
}

void TVirTableCore::SetAccess(TVirTblAccess access) {
  if (access == otxDefault) access = otxNormal;
  if (access == access_) return;
  access_ = access;
  RelayoutAndRepaint();
}

void TVirTableCore::SetAdjust(TVirTblAdjust adjust) {
  if (adjust == otaDefault) adjust = otaCenterLeft;
  if (adjust == adjust_) return;
  adjust_ = adjust;
  RelayoutAndRepaint();
}

void TVirTableCore::SetColor(plat::Color color) {
  if (color == color_) return;
  color_ = color;
  for (TVirBaseTableCell* cell : std::vector<TVirBaseTableCell*>(usedCells_)) cell->RefreshTableDefaults();
  CellChanged();
}

void TVirTableCore::SetFont(const plat::Font& font) {
  if (font == font_) return;
  font_ = font;
  for (TVirBaseTableCell* cell : std::vector<TVirBaseTableCell*>(usedCells_)) cell->RefreshTableDefaults();
  CellChanged();
}

void TVirTableCore::SetColorUnused(plat::Color color) {
  if (color == colorUnused_) return;
  colorUnused_ = color;
  AllowRedrawing(false);
  marked_.MarkUnusedArea();
  AllowRedrawing(true);
}

void TVirTableCore::SetOptions(TVirTblOptionSet options) {
  if (options == options_) return;
  options_ = options;
  if (HandleAllocated()) HostWantTabs(options_.Has(otoTabToArrow));
  RelayoutAndRepaint();
}

void TVirTableCore::SetLockedRowsCell(TVirBaseTableCell* cell) {
  if (ReplaceCellReference(lockedRowsCell_, cell, this)) CellChanged();
}

void TVirTableCore::SetScrollBars(TVirScrollBars bars) {
  if (bars == scrollBars_) return;
  scrollBars_ = bars;
  UpdateScrollBars();
}

// ---- layout ----

void TVirTableCore::LayoutRows() { visibleRows_.Layout(rowAxis_, lockedRows_, topRow_, GridHeight()); }

void TVirTableCore::LayoutCols() { visibleCols_.Layout(*colAxis_, lockedCols_, leftCol_, GridWidth()); }

void TVirTableCore::UpdateVerticalRange() {
  if (RowLimit() <= lockedRows_) return;
  largestTopRow_ = LargestFirst(rowAxis_, lockedRows_, GridHeight());
  if (topRow_ > largestTopRow_) {
    topRow_ = largestTopRow_;
    LayoutRows();
  }
}

void TVirTableCore::UpdateHorizontalRange() {
  if (ColCount() <= lockedCols_) return;
  largestLeftCol_ = LargestFirst(*colAxis_, lockedCols_, GridWidth());
  if (leftCol_ > largestLeftCol_) {
    leftCol_ = largestLeftCol_;
    LayoutCols();
  }
}

void TVirTableCore::UpdateScrollBars() {
  if (hold_ > 0 || !HandleAllocated()) {
    scrollBarsPending_ = true;
    return;
  }
  scrollBarsPending_ = false;
  // A bar that is not present gets an empty range.
  const bool horizontal = scrollBars_ == TVirScrollBars::ssHorizontal || scrollBars_ == TVirScrollBars::ssBoth;
  const bool vertical = scrollBars_ == TVirScrollBars::ssVertical || scrollBars_ == TVirScrollBars::ssBoth;
  HostSetScrollBar(
      plat::ScrollBarKind::Horizontal,
      horizontal ? HorizontalScrollValues(*colAxis_, lockedCols_, largestLeftCol_, leftCol_) : TVirScrollBarValues{});
  HostSetScrollBar(
      plat::ScrollBarKind::Vertical,
      vertical ? VerticalScrollValues(RowLimit(), lockedRows_, largestTopRow_, topRow_) : TVirScrollBarValues{});
}

void TVirTableCore::RelayoutAndRepaint() {
  if (Live()) Relayout();
}

void TVirTableCore::Relayout() {
  AllowRedrawing(false);
  LayoutCols();
  LayoutRows();
  UpdateHorizontalRange();
  UpdateVerticalRange();
  MarkAllCells();
  UpdateScrollBars();
  AllowRedrawing(true);
}

void TVirTableCore::CellChanged() { RelayoutAndRepaint(); }

void TVirTableCore::RowsChanged(int rowNum1, int rowNum2, TVirTblActions action) {
  if (action == tbaAdded) cells_.InsertRow(rowNum1);
  if (action == tbaRemoved) cells_.DeleteRow(rowNum1);
  if (action == tbaSwapped) cells_.ExchangeRows(rowNum1, rowNum2);
  if (OnRowsChanged && !Quiet()) OnRowsChanged(rowNum1, rowNum2, action);
  RelayoutAndRepaint();
}

void TVirTableCore::ColumnsChanged(int colNum1, int colNum2, TVirTblActions action) {
  if (action == tbaAdded) cells_.InsertCol(colNum1);
  if (action == tbaRemoved) cells_.DeleteCol(colNum1);
  if (action == tbaSwapped) cells_.ExchangeCols(colNum1, colNum2);
  if (!Quiet()) {
    for (TVirBaseTableCell* cell : usedCells_)
      if (auto* heading = dynamic_cast<TVirTCColHead*>(cell)) heading->ColumnsChanged(colNum1, colNum2, action);
    if (OnColumnsChanged) OnColumnsChanged(colNum1, colNum2, action);
  }
  RelayoutAndRepaint();
}

void TVirTableCore::Scale(int m, int d) {
  if (m <= 0 || d <= 0) return;
  AllowRedrawing(false);
  for (TVirBaseTableCell* cell : std::vector<TVirBaseTableCell*>(usedCells_)) cell->ScaleFont(m, d);
  rows_.Rescale(m, d);
  for (int c = 0; c < ColCount(); ++c) {
    TVirTableColumn* column = columns_->Column(c);
    column->SetWidth(std::max(1, MulDiv(column->Width(), m, d)));
  }
  AllowRedrawing(true);
}

// ---- hit testing ----

int TVirTableCore::HitTest(int x, int y, int& rowNum, int& colNum) const {
  rowNum = colNum = -1;
  const int width = GridWidth(), height = GridHeight();
  int hit = x < 0 || y < 0 || x >= width || y >= height ? 3 : 0;
  if (y >= 0 && y < std::min(height, visibleRows_.End())) rowNum = visibleRows_[visibleRows_.PositionAt(y)].Number;
  if (x >= 0 && x < std::min(width, visibleCols_.End())) colNum = visibleCols_[visibleCols_.PositionAt(x)].Number;
  if (hit == 0) {
    if (rowNum < 0 || colNum < 0)
      hit = 2;
    else if (rowNum < lockedRows_ || colNum < lockedCols_)
      hit = 1;
  }
  if (hit >= 2) {
    if (rowNum == -1 && y < 0) rowNum = -2;
    if (colNum == -1 && x < 0) colNum = -2;
  }
  return hit;
}

int TVirTableCore::CellRangeOfRect(plat::Rect rect, TVirCellRange& range) const {
  range = {};
  int rowNum, colNum;
  if (HitTest(rect.left, rect.top, rowNum, colNum) == 2 || visibleRows_.Count() == 0 || visibleCols_.Count() == 0)
    return 2;
  // A corner outside the window starts at the first visible position.
  range.FirstCol = colNum >= 0 ? visibleCols_.PositionOf(colNum) : 0;
  range.FirstRow = rowNum >= 0 ? visibleRows_.PositionOf(rowNum) : 0;
  const int hit = HitTest(rect.right, rect.bottom, rowNum, colNum);
  auto last = [](const TVirVisibleList& list, int number) {
    return number >= 0 ? list.PositionOf(number) : number == -2 ? 0 : list.Count() - 1;
  };
  range.LastCol = last(visibleCols_, colNum);
  range.LastRow = last(visibleRows_, rowNum);
  return hit >= 2 ? 1 : 0;
}

plat::Rect TVirTableCore::CellRect(int rowNum, int colNum) const {
  const int rp = visibleRows_.PositionOf(rowNum), cp = visibleCols_.PositionOf(colNum);
  if (rp < 0 || cp < 0) return {};
  return {visibleCols_[cp].Offset, visibleRows_[rp].Offset, visibleCols_.EndOf(cp), visibleRows_.EndOf(rp)};
}

// ---- marking and the painting hold ----

void TVirTableCore::InvalidateCell(int rowNum, int colNum) {
  if (visibleRows_.PositionOf(rowNum) >= 0 && visibleCols_.PositionOf(colNum) >= 0) marked_.Add(rowNum, colNum);
}

void TVirTableCore::MarkRow(int rowNum) {
  if (visibleRows_.PositionOf(rowNum) < 0) return;
  for (int cp = 0; cp < visibleCols_.Count(); ++cp) marked_.Add(rowNum, visibleCols_[cp].Number);
}

void TVirTableCore::MarkActiveCell() { InvalidateCell(activeRow_, activeCol_); }

void TVirTableCore::MarkRange(const TVirCellRange& range, int result) {
  if (result == 2) return;
  for (int rp = range.FirstRow; rp <= range.LastRow; ++rp)
    for (int cp = range.FirstCol; cp <= range.LastCol; ++cp)
      marked_.Add(visibleRows_[rp].Number, visibleCols_[cp].Number);
  if (result != 0) marked_.MarkUnusedArea();
}

void TVirTableCore::MarkAllCells() {
  for (int rp = 0; rp < visibleRows_.Count(); ++rp) MarkRow(visibleRows_[rp].Number);
  marked_.MarkUnusedArea();
}

void TVirTableCore::AllowRedrawing(bool allow) {
  if (!allow) {
    if (hold_++ > 0 || !HandleAllocated()) return;
    if (options_.Has(otoBrowseRow)) MarkRow(activeRow_);
    if (editorShown_)
      HideEditorForHold();
    else if (!options_.Has(otoBrowseRow))
      MarkActiveCell();
    return;
  }
  if (hold_ == 0 || --hold_ > 0) return;
  if (scrollBarsPending_) UpdateScrollBars();
  if (!HandleAllocated()) {
    marked_.Clear();
    return;
  }
  if (options_.Has(otoBrowseRow)) MarkRow(activeRow_);
  const bool activeMarked = marked_.Contains(activeRow_, activeCol_);
  if (!marked_.IsEmpty()) HostPaint([this](plat::Canvas& canvas) { PaintMarked(canvas); });
  if (Editing() && editorHidden_ && visibleRows_.PositionOf(activeRow_) >= 0 &&
      visibleCols_.PositionOf(activeCol_) >= 0)
    ShowEditorAfterRelease();
  else if (!Editing() && !activeMarked)
    HostPaint([this](plat::Canvas& canvas) { PaintActiveFrame(canvas); });
}

void TVirTableCore::HideEditorForHold() {
  TVirCellRange range;
  MarkRange(range, CellRangeOfRect(CellRect(activeRow_, activeCol_), range));
  const bool editorHadFocus = HostEditorFocused();
  if (editCell_ != nullptr) editCell_->HideEditor();
  editorShown_ = false;
  editorHidden_ = true;
  if (editorHadFocus) HostFocusTable();
}

void TVirTableCore::ShowEditorAfterRelease() {
  plat::Rect rect = CellRect(activeRow_, activeCol_);
  TVirTblEditorStyle style = tesNone;
  if (OnSizeCellEditor) OnSizeCellEditor(activeRow_, activeCol_, rect, style);
  const bool tableHadFocus = HasFocus();
  editorRect_ = rect;
  if (editCell_ != nullptr) editCell_->MoveEditor(rect);
  editorShown_ = true;
  editorHidden_ = false;
  if (tableHadFocus && editCell_ != nullptr) HostFocusEditor(*editCell_);
}

// ---- scroll position ----

void TVirTableCore::ClampTopLeft(int& rowNum, int& colNum) const {
  rowNum = ApplyRangeRules(rowAxis_, lockedRows_, std::min(rowNum, largestTopRow_), 0);
  colNum = ApplyRangeRules(*colAxis_, lockedCols_, std::min(colNum, largestLeftCol_), 0);
}

void TVirTableCore::SetTopLeftCell(int rowNum, int colNum) {
  ClampTopLeft(rowNum, colNum);
  if (OnTopLeftCellChanging && !Quiet()) {
    OnTopLeftCellChanging(rowNum, colNum);
    // What the handler chose obeys the same rules.
    ClampTopLeft(rowNum, colNum);
  }
  if (!HandleAllocated()) {
    topRow_ = rowNum;
    leftCol_ = colNum;
    return;
  }
  if (rowNum == topRow_ && colNum == leftCol_) return;
  AllowRedrawing(false);
  if (rowNum != topRow_) ScrollRowsTo(rowNum);
  if (colNum != leftCol_) ScrollColsTo(colNum);
  if (options_.Has(otoBrowseRow)) MarkRow(activeRow_);
  scrollMark_ = true;
  HostUpdate();
  scrollMark_ = false;
  AllowRedrawing(true);
  UpdateScrollBars();
  if (OnTopLeftCellChanged && !Quiet()) OnTopLeftCellChanged(rowNum, colNum);
}

void TVirTableCore::ScrollRowsTo(int rowNum) {
  const TVirVisibleList before = visibleRows_;
  topRow_ = rowNum;
  LayoutRows();
  const TVirScrollMove move = ScrollMoveBetween(before, visibleRows_, lockedRows_, GridHeight());
  const int firstScrolling = visibleRows_.PositionOf(topRow_);
  const int scrollingFrom = firstScrolling >= 0 ? visibleRows_[firstScrolling].Offset : visibleRows_.End();
  if (move.shared) HostScroll(0, move.delta, {0, scrollingFrom, GridWidth(), GridHeight()});
  for (int rp = 0; rp < visibleRows_.Count(); ++rp)
    if (visibleRows_[rp].Number >= lockedRows_ &&
        (!move.shared || std::find(move.exposed.begin(), move.exposed.end(), rp) != move.exposed.end()))
      MarkRow(visibleRows_[rp].Number);
  marked_.MarkUnusedArea();
}

void TVirTableCore::ScrollColsTo(int colNum) {
  const TVirVisibleList before = visibleCols_;
  leftCol_ = colNum;
  LayoutCols();
  const TVirScrollMove move = ScrollMoveBetween(before, visibleCols_, lockedCols_, GridWidth());
  const int firstScrolling = visibleCols_.PositionOf(leftCol_);
  const int scrollingFrom = firstScrolling >= 0 ? visibleCols_[firstScrolling].Offset : visibleCols_.End();
  if (move.shared) HostScroll(move.delta, 0, {scrollingFrom, 0, GridWidth(), GridHeight()});
  for (int cp = 0; cp < visibleCols_.Count(); ++cp) {
    const int c = visibleCols_[cp].Number;
    if (c < lockedCols_ ||
        (move.shared && std::find(move.exposed.begin(), move.exposed.end(), cp) == move.exposed.end()))
      continue;
    for (int rp = 0; rp < visibleRows_.Count(); ++rp) marked_.Add(visibleRows_[rp].Number, c);
  }
  marked_.MarkUnusedArea();
}

void TVirTableCore::ShowCell(int rowNum, int colNum) {
  const int top = FirstToShow(rowAxis_, lockedRows_, topRow_, largestTopRow_, rowNum, visibleRows_, GridHeight());
  const int left = FirstToShow(*colAxis_, lockedCols_, leftCol_, largestLeftCol_, colNum, visibleCols_, GridWidth());
  if (top != topRow_ || left != leftCol_) SetTopLeftCell(top, left);
}

void TVirTableCore::ScrollAction(bool horizontal, int action) {
  if (Editing() && editCell_ != nullptr && !editCell_->CanSaveEdit(true)) return;
  const TVirTableAxis& axis = horizontal ? static_cast<const TVirTableAxis&>(*colAxis_) : rowAxis_;
  const TVirVisibleList& visible = horizontal ? visibleCols_ : visibleRows_;
  const int locked = horizontal ? lockedCols_ : lockedRows_;
  const int first = horizontal ? leftCol_ : topRow_;
  int target = first;
  switch (action) {
    case 0: target = PreviousVisible(axis, first, locked); break;
    case 1: target = NextVisible(axis, first); break;
    case 2: target = PageBackFirst(axis, locked, first, horizontal ? GridWidth() : GridHeight()); break;
    case 3:
      target = visible.Count() > 0 ? visible[visible.Count() - 1].Number : first;
      if (target <= first) target = NextVisible(axis, first);
      break;
    default: return;
  }
  if (target < 0 || target == first) return;
  if (horizontal)
    SetLeftCol(target);
  else
    SetTopRow(target);
}

void TVirTableCore::ThumbMoved(plat::ScrollBarKind bar, plat::ScrollCode code, int pos) {
  if (code == plat::ScrollCode::ThumbTrack && !options_.Has(otoThumbTrack)) return;
  if (code != plat::ScrollCode::ThumbTrack && code != plat::ScrollCode::ThumbPosition) return;
  if (bar == plat::ScrollBarKind::Vertical)
    SetTopRow(VerticalThumbRow(RowLimit(), lockedRows_, largestTopRow_, pos));
  else
    SetLeftCol(HorizontalThumbColumn(*colAxis_, lockedCols_, pos));
}

// ---- the window ----

void TVirTableCore::WindowCreated() {
  HostPostMessage(kTblMsgResolveNames, 0, 0);
  HostWantTabs(options_.Has(otoTabToArrow));
  AllowRedrawing(false);
  Relayout();
  // The position set before the window existed, now in range.
  SetLeftCol(leftCol_);
  SetTopRow(topRow_);
  SetActiveCol(activeCol_);
  SetActiveRow(activeRow_);
  Relayout();
  AllowRedrawing(true);
  UpdateScrollBars();
  if (!Quiet()) {
    if (OnTopLeftCellChanged) OnTopLeftCellChanged(topRow_, leftCol_);
    if (OnActiveCellChanged) OnActiveCellChanged(activeRow_, activeCol_);
  }
  if (options_.Has(otoAlwaysEditing)) HostPostMessage(kTblMsgStartEdit, 0, 0);
}

void TVirTableCore::WindowResized() {
  if (HandleAllocated()) Relayout();
}

void TVirTableCore::FocusChanged(bool gained) {
  // While the edit control is shown it has the focus, or passes it on.
  if (gained ? Editing() : editorShown_) return;
  AllowRedrawing(false);
  MarkActiveCell();
  AllowRedrawing(true);
}

void TVirTableCore::WindowPaint(plat::Canvas& canvas, plat::Rect clip) {
  TVirCellRange range;
  if (hold_ > 0) {
    // Only what a scroll inside this hold uncovered is taken, for the release.
    if (!scrollMark_) return;
    scrollMark_ = false;
    MarkRange(range, CellRangeOfRect(clip, range));
    return;
  }
  const int result = CellRangeOfRect(clip, range);
  if (editorShown_ && result == 0 && range.FirstRow == range.LastRow && range.FirstCol == range.LastCol &&
      visibleRows_[range.FirstRow].Number == activeRow_ && visibleCols_[range.FirstCol].Number == activeCol_)
    return;
  if (result != 2)
    for (int rp = range.FirstRow; rp <= range.LastRow; ++rp)
      for (int cp = range.FirstCol; cp <= range.LastCol; ++cp) PaintCell(canvas, rp, cp);
  if (result != 0) PaintUnusedArea(canvas);
  // What the paint covered of a resize line or move marker comes back.
  if (dragMarkShown_) PaintDragMark(canvas);
}

// ---- painting ----

const TVirGridPen& TVirTableCore::GridPenOf(int rowNum, int colNum) const {
  return rowNum < lockedRows_ || colNum < lockedCols_ ? gridPenSet_.LockedGrid : gridPenSet_.NormalGrid;
}

plat::Rect TVirTableCore::InnerRect(plat::Rect cell, const TVirGridPen& pen) const {
  switch (pen.Effect()) {
    case geVertical: --cell.right; break;
    case geHorizontal: --cell.bottom; break;
    case geBoth: --cell.right, --cell.bottom; break;
    case ge3D: ++cell.left, ++cell.top, --cell.right, --cell.bottom; break;
    case geNone: break;
  }
  return cell;
}

void TVirTableCore::DoEnteringRow(int rowNum) {
  if (rowNum == lastEnteredRow_) return;
  lastEnteredRow_ = rowNum;
  if (OnEnteringRow && !Quiet()) OnEnteringRow(rowNum);
}

void TVirTableCore::DoEnteringColumn(int colNum) {
  if (colNum == lastEnteredCol_) return;
  lastEnteredCol_ = colNum;
  if (OnEnteringColumn && !Quiet()) OnEnteringColumn(colNum);
}

TVirCellData TVirTableCore::CellData(int rowNum, int colNum, TVirCellDataPurpose purpose) {
  if (!OnGetCellData || !HandleAllocated() || Quiet()) return {};
  return OnGetCellData(rowNum, colNum, purpose);
}

namespace {

void Strip(plat::Canvas& canvas, plat::Rect r, plat::Color background) {
  canvas.SetBrush({background, plat::BrushStyle::Solid});
  canvas.FillRect(r);
}

}  // namespace

void TVirTableCore::PaintGridLines(plat::Canvas& canvas, plat::Rect cell, const TVirGridPen& pen,
                                   plat::Color background) {
  const TGridEffect effect = pen.Effect();
  if (effect == geNone) return;
  const plat::Color back = plat::ColorToRGB(background);
  const plat::Pen dark{plat::ColorToRGB(pen.NormalColor()), pen.Style(), 1};
  const plat::Pen light{plat::ColorToRGB(pen.SecondColor()), pen.Style(), 1};
  const int l = cell.left, t = cell.top, r = cell.right - 1, b = cell.bottom - 1;
  if (effect == geVertical || effect == geBoth || effect == ge3D) {
    Strip(canvas, {r, t, r + 1, b + 1}, back);
    canvas.SetPen(dark);
    canvas.Line(r, t, r, b + 1);
  }
  if (effect == geHorizontal || effect == geBoth || effect == ge3D) {
    Strip(canvas, {l, b, r + 1, b + 1}, back);
    canvas.SetPen(dark);
    canvas.Line(l, b, r + 1, b);
  }
  if (effect == ge3D) {
    Strip(canvas, {l, t, r, t + 1}, back);
    Strip(canvas, {l, t, l + 1, b}, back);
    canvas.SetPen(light);
    canvas.Line(l, t, r, t);
    canvas.Line(l, t, l, b);
  }
}

void TVirTableCore::PaintActiveFrame(plat::Canvas& canvas) {
  if (Editing()) return;
  const plat::Rect cell = CellRect(activeRow_, activeCol_);
  if (cell.Width() <= 0 || cell.Height() <= 0) return;
  const plat::Rect f = InnerRect(cell, GridPenOf(activeRow_, activeCol_));
  const TVirGridPen& pen = HasFocus() ? gridPenSet_.CellWhenFocused : gridPenSet_.CellWhenUnfocused;
  const plat::Pen normal{plat::ColorToRGB(pen.NormalColor()), pen.Style(), 1};
  const plat::Pen shadow{plat::ColorToRGB(pen.SecondColor()), pen.Style(), 1};
  const int l = f.left, t = f.top, r = f.right - 1, b = f.bottom - 1;
  const TGridEffect effect = pen.Effect();
  canvas.SetPen(normal);
  if (effect == geVertical || effect == geBoth || effect == ge3D) canvas.Line(l, t, l, b + 1);
  if (effect == geHorizontal || effect == geBoth || effect == ge3D) canvas.Line(l, t, r + 1, t);
  if (effect == ge3D) canvas.SetPen(shadow);
  if (effect == geVertical || effect == geBoth || effect == ge3D) canvas.Line(r, t, r, b + 1);
  if (effect == geHorizontal || effect == geBoth || effect == ge3D) canvas.Line(l, b, r + 1, b);
}

void TVirTableCore::PaintCell(plat::Canvas& canvas, int rowPos, int colPos) {
  const int rowNum = visibleRows_[rowPos].Number, colNum = visibleCols_[colPos].Number;
  const plat::Rect cell{visibleCols_[colPos].Offset, visibleRows_[rowPos].Offset, visibleCols_.EndOf(colPos),
                        visibleRows_.EndOf(rowPos)};
  DoEnteringRow(rowNum);
  DoEnteringColumn(colNum);
  const TVirGridPen& pen = GridPenOf(rowNum, colNum);
  const plat::Rect inner = InnerRect(cell, pen);
  const bool active = rowNum == activeRow_ && colNum == activeCol_;
  TVirCellAttributes attr;
  attr.Font = font_;
  attr.Color = color_;
  TVirBaseTableCell* component = CellComponent(rowNum, colNum);
  if (active && editorShown_) {
    // The edit control covers the cell.
    ResolveCellAttributes(rowNum, colNum, attr);
  } else if (component != nullptr) {
    const TVirCellData data = CellData(rowNum, colNum, cdpForPaint);
    component->ResolveCellAttributes(rowNum, colNum, attr);
    plat::CanvasStateSaver saver(canvas);
    component->DrawCell(canvas, inner, rowNum, colNum, attr, data);
  } else {
    ResolveCellAttributes(rowNum, colNum, attr);
    if (attr.Color == clStyleNotSet) attr.Color = plat::clBtnFace;
    canvas.SetBrush({plat::ColorToRGB(attr.Color), plat::BrushStyle::Solid});
    canvas.FillRect(inner);
  }
  PaintGridLines(canvas, cell, pen, attr.Color);
  if (active) PaintActiveFrame(canvas);
}

void TVirTableCore::PaintUnusedArea(plat::Canvas& canvas) {
  if (OnPaintUnusedArea && !Quiet()) return OnPaintUnusedArea();
  const int width = GridWidth(), height = GridHeight();
  const int right = std::min(visibleCols_.End(), width), bottom = std::min(visibleRows_.End(), height);
  canvas.SetBrush({plat::ColorToRGB(colorUnused_), plat::BrushStyle::Solid});
  if (right < width) canvas.FillRect({right, 0, width, height});
  if (bottom < height) canvas.FillRect({0, bottom, right, height});
}

void TVirTableCore::PaintMarked(plat::Canvas& canvas) {
  for (int i = 0; i < marked_.Count(); ++i) {
    const auto [rowNum, colNum] = marked_.CellAt(i);
    const int rp = visibleRows_.PositionOf(rowNum), cp = visibleCols_.PositionOf(colNum);
    if (rp >= 0 && cp >= 0) PaintCell(canvas, rp, cp);
  }
  if (marked_.UnusedAreaMarked()) PaintUnusedArea(canvas);
  marked_.Clear();
}
