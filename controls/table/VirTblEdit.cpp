// The table's editing life cycle, the moves of the active cell with the
// events around them, the selection that moves make, and the table's posted
// messages.

#include <algorithm>

#include "controls/table/VirTblCore.h"
#include "rtl/ScopeGuard.h"

namespace {

// A click's point as the posted message carries it: X in the low half, Y in the high half.
std::intptr_t PackPoint(int x, int y) {
  return static_cast<std::intptr_t>(static_cast<std::uint32_t>(static_cast<std::uint16_t>(x)) |
                                    static_cast<std::uint32_t>(static_cast<std::uint16_t>(y)) << 16);
}

int LowWord(std::intptr_t value) { return static_cast<std::int16_t>(value & 0xFFFF); }
int HighWord(std::intptr_t value) { return static_cast<std::int16_t>((value >> 16) & 0xFFFF); }

}  // namespace

// ---- editing ----

bool TVirTableCore::StartEditing() {
  if (Editing()) return true;
  bool allowIt = !Quiet();
  if (OnBeginEdit && !Quiet()) OnBeginEdit(activeRow_, activeCol_, allowIt);
  if (!allowIt) return false;
  AllowRedrawing(false);
  // Every way out releases the hold; the release shows the edit control.
  const rtl::ScopeExit release([this] { AllowRedrawing(true); });
  ShowCell(activeRow_, activeCol_);
  TVirBaseTableCell* cell = CellComponent(activeRow_, activeCol_);
  if (cell == nullptr) return false;
  TVirCellAttributes attr;
  attr.Font = font_;
  cell->ResolveCellAttributes(activeRow_, activeCol_, attr);
  if (attr.Access != otxNormal) return false;
  plat::Rect rect = CellRect(activeRow_, activeCol_);
  TVirTblEditorStyle style = tesNone;
  if (OnSizeCellEditor) OnSizeCellEditor(activeRow_, activeCol_, rect, style);
  DoEnteringColumn(activeCol_);
  DoEnteringRow(activeRow_);
  const TVirCellData data = CellData(activeRow_, activeCol_, cdpForEdit);
  editCell_ = cell;
  editorHidden_ = true;
  attr.Color = colors_[TVirTableColors::Editing];
  attr.FontColor = colors_[TVirTableColors::EditingText];
  cell->BeginEdit(activeRow_, activeCol_, rect, attr, style, data);
  if (editCell_ == cell && cell->EditWindowHandle() != nullptr) return true;
  editCell_ = nullptr;
  editorHidden_ = editorShown_ = false;
  return false;
}

bool TVirTableCore::StopEditing(bool saveValue) {
  if (!Editing()) return true;
  if (editCell_ != nullptr && !editCell_->CanSaveEdit(saveValue)) return false;
  bool allowIt = !Quiet();
  if (OnEndEdit && !Quiet() && editCell_ != nullptr) OnEndEdit(*editCell_, activeRow_, activeCol_, allowIt);
  if (!allowIt) return false;
  const plat::Rect rect = editorRect_;
  const bool hadFocus = HostEditorFocused() || HasFocus();
  AllowRedrawing(false);
  DoEnteringColumn(activeCol_);
  DoEnteringRow(activeRow_);
  const TVirCellData data = CellData(activeRow_, activeCol_, cdpForSave);
  TVirCellRange range;
  MarkRange(range, CellRangeOfRect(rect, range));
  ReleaseEditor(saveValue, data);
  if (OnDoneEdit && !Quiet()) OnDoneEdit(activeRow_, activeCol_);
  if (!options_.Has(otoAlwaysEditing)) MarkActiveCell();
  if (hadFocus) HostFocusTable();
  AllowRedrawing(true);
  return true;
}

void TVirTableCore::ReleaseEditor(bool saveValue, TVirCellData data) {
  TVirBaseTableCell* cell = std::exchange(editCell_, nullptr);
  editorShown_ = editorHidden_ = false;
  if (cell != nullptr) cell->EndEdit(saveValue, data);
}

void TVirTableCore::EndEditForNewRange() {
  if (StopEditing(true) || StopEditing(false)) return;
  // Neither saved nor cancelled: the edit is dropped, so that no value goes into another cell.
  AllowRedrawing(false);
  ReleaseEditor(false, {});
  MarkActiveCell();
  AllowRedrawing(true);
}

// ---- moving the active cell ----

void TVirTableCore::MoveActiveCell(std::uint16_t command, int rowNum, int colNum) {
  if (!DoActiveCellMoving(command, rowNum, colNum)) return;
  if (extend_)
    ExtendSelection(rowNum, colNum, true);
  else
    RestartSelection(rowNum, colNum, false);
  MoveActiveCellTo(rowNum, colNum);
}

bool TVirTableCore::DoActiveCellMoving(std::uint16_t command, int& rowNum, int& colNum) {
  // Before the window exists the move is only stored, without events.
  if (OnActiveCellMoving && Live()) OnActiveCellMoving(command, rowNum, colNum);
  if (!Editing() || (rowNum == activeRow_ && colNum == activeCol_)) return true;
  if (StopEditing(true)) return true;
  rowNum = activeRow_;
  colNum = activeCol_;
  return false;
}

void TVirTableCore::MoveActiveCellTo(int rowNum, int colNum) {
  rowNum = ApplyRangeRules(rowAxis_, lockedRows_, rowNum, 0);
  colNum = ApplyRangeRules(*colAxis_, lockedCols_, colNum, 0);
  if (rowNum == activeRow_ && colNum == activeCol_) return;
  if (!HandleAllocated() || visibleRows_.Count() == 0 || visibleCols_.Count() == 0) {
    activeRow_ = rowNum;
    activeCol_ = colNum;
    return;
  }
  AllowRedrawing(false);
  // The headings of the old and the new row and column show which is active.
  if (rowNum != activeRow_) {
    for (int c = 0; c < lockedCols_; ++c) InvalidateCell(activeRow_, c), InvalidateCell(rowNum, c);
    if (OnLeavingRow && !Quiet()) OnLeavingRow(activeRow_);
  }
  if (colNum != activeCol_) {
    for (int r = 0; r < lockedRows_; ++r) InvalidateCell(r, activeCol_), InvalidateCell(r, colNum);
    if (OnLeavingColumn && !Quiet()) OnLeavingColumn(activeCol_);
  }
  if (options_.Has(otoBrowseRow)) MarkRow(activeRow_);
  MarkActiveCell();
  activeRow_ = rowNum;
  activeCol_ = colNum;
  ShowCell(rowNum, colNum);
  if (options_.Has(otoAlwaysEditing))
    HostPostMessage(kTblMsgStartEdit, 0, 0);
  else
    MarkActiveCell();
  AllowRedrawing(true);
  UpdateScrollBars();
  if (OnActiveCellChanged && !Quiet()) OnActiveCellChanged(activeRow_, activeCol_);
}

// ---- selection ----

void TVirTableCore::MarkSelectionChange(const std::function<void()>& change) {
  std::vector<bool> before;
  for (int rp = 0; rp < visibleRows_.Count(); ++rp)
    for (int cp = 0; cp < visibleCols_.Count(); ++cp)
      before.push_back(selection_.IsSelected(visibleRows_[rp].Number, visibleCols_[cp].Number));
  change();
  std::size_t i = 0;
  for (int rp = 0; rp < visibleRows_.Count(); ++rp)
    for (int cp = 0; cp < visibleCols_.Count(); ++cp, ++i) {
      const int r = visibleRows_[rp].Number, c = visibleCols_[cp].Number;
      if (selection_.IsSelected(r, c) != before[i]) marked_.Add(r, c);
    }
}

void TVirTableCore::RestartSelection(int rowNum, int colNum, bool keep) {
  anchorRow_ = std::clamp(rowNum, lockedRows_, std::max(lockedRows_, RowLimit() - 1));
  anchorCol_ =
      options_.Has(otoBrowseRow) ? lockedCols_ : std::clamp(colNum, lockedCols_, std::max(lockedCols_, ColCount() - 1));
  MarkSelectionChange([&] {
    if (!keep) {
      selection_.StartRange(anchorRow_, anchorCol_, false);
      selectMode_ = true;
      return;
    }
    // The anchor cell turns, and so does the rectangle drawn from it.
    selectMode_ = !selection_.IsSelected(anchorRow_, anchorCol_);
    selection_.StartRange(anchorRow_, anchorCol_, true);
    if (selectMode_)
      selection_.SelectRect(anchorRow_, anchorCol_, anchorRow_, anchorCol_);
    else
      selection_.DeselectRect(anchorRow_, anchorCol_, anchorRow_, anchorCol_);
  });
}

void TVirTableCore::ExtendSelection(int rowNum, int colNum, bool keep) {
  if (options_.Has(otoBrowseRow)) colNum = ColCount() - 1;
  MarkSelectionChange([&] {
    if (!keep) {
      selection_.StartRange(anchorRow_, anchorCol_, false);
      selectMode_ = true;
    }
    selection_.ExtendRange(rowNum, colNum, selectMode_);
  });
  MarkActiveCell();
}

void TVirTableCore::SelectWholeRow(int rowNum) {
  MarkSelectionChange([&] {
    selection_.Clear();
    selection_.SelectRect(rowNum, lockedCols_, rowNum, ColCount() - 1);
  });
}

void TVirTableCore::SelectWholeColumn(int colNum) {
  MarkSelectionChange([&] {
    selection_.Clear();
    selection_.SelectRect(lockedRows_, colNum, RowLimit() - 1, colNum);
  });
}

void TVirTableCore::SelectEverything() {
  selection_.SelectAll();
  MarkAllCells();
}

// ---- posted messages ----

void TVirTableCore::PostKeyDown(int key, plat::ShiftState shift) {
  HostPostMessage(kTblMsgKeyDown, static_cast<std::uintptr_t>(key), shift);
}

void TVirTableCore::PostStartEditAndClick(plat::ShiftState shift, int x, int y) {
  HostPostMessage(kTblMsgStartEdit, 0, 0);
  PostForwardClick(shift, x, y);
}

void TVirTableCore::PostForwardClick(plat::ShiftState shift, int x, int y) {
  HostPostMessage(kTblMsgForwardClick, shift, PackPoint(x, y));
}

void TVirTableCore::HandleTableMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) {
  switch (msg) {
    case kTblMsgStartEdit:
      if (!StartEditing()) {
        AllowRedrawing(false);
        MarkActiveCell();
        AllowRedrawing(true);
      }
      return;
    case kTblMsgForwardClick:
      if (Editing() && editCell_ != nullptr && editCell_->AcceptActivationClick)
        HostForwardClick(*editCell_, static_cast<plat::ShiftState>(wParam), LowWord(lParam), HighWord(lParam));
      return;
    case kTblMsgForwardKey: {
      if (forwardedKeys_.empty()) return;
      const TVirForwardedKey key = forwardedKeys_.front();
      forwardedKeys_.pop_front();
      if (Editing() && editCell_ != nullptr) HostForwardKey(*editCell_, key);
      return;
    }
    case kTblMsgKeyDown: TableKeyDown(static_cast<int>(wParam), static_cast<plat::ShiftState>(lParam), {}); return;
    case kTblMsgResolveNames: ResolveCellNames(); return;
    default: return;  // the edit controls' focus notices among them
  }
}
