#include "controls/table/forms/VirTCEdt.h"

#include <algorithm>

// ---- the edit ----

TVirTCStringEdit::TVirTCStringEdit(plat::Control& parent, TVirTCCustomString& cell)
    : plat::Edit(parent), CellOwner(&cell) {}

// Movement keys leave for the table: the vertical ones always, Left and Right at the ends of the text.
void TVirTCStringEdit::KeyDown(int& key, plat::ShiftState shift) {
  const int keyClass = CellOwner->FilterTableKey(key, shift);
  const bool leaves = VerticalKey(key) || (CellOwner->AutoAdvanceLeftRight &&
                                           LeavesAtTextEnd(key, SelStart(), SelEnd(), static_cast<int>(Text().size())));
  PassKeyToTable(*CellOwner, keyClass == 2 || (keyClass == 1 && leaves), key, shift);
}

void TVirTCStringEdit::KeyPress(char32_t& ch) {
  if (TableCharacter(ch)) ch = 0;
}

void TVirTCStringEdit::KeyTyped(char32_t) {
  AdvanceWhenFull(*CellOwner, CellOwner->AutoAdvanceChar, CellOwner->MaxLength(), Text().size());
}

void TVirTCStringEdit::FocusArrived(plat::Control* losing) { PostEditorFocus(*CellOwner, true, losing); }

void TVirTCStringEdit::FocusDeparted(plat::Control* gaining) { PostEditorFocus(*CellOwner, false, gaining); }

// ---- the cell ----

void TVirTCCustomString::SetMaxLength(int length) { maxLength_ = std::clamp(length, 0, 0xFFFF); }

void TVirTCCustomString::BeginEdit(int, int, plat::Rect cellRect, const TVirCellAttributes& attr,
                                   TVirTblEditorStyle cellStyle, TVirCellData data) {
  TVirTCStringEdit* editor = StartEditor(cellRect, attr);
  if (editor == nullptr) return;
  // What the edit shows is what will be saved.
  const int limit = TypingLimit(data);
  editor->SetMaxLength(limit);
  editor->SetText(CellDataText(data, UseASCIIZStrings()).substr(0, static_cast<std::size_t>(limit)));
  editor->SetBorder(EditorBorder(cellStyle));
  editor->OnChange = OnChange;
  editor->OnDblClick = [this, editor] {
    if (OnBrowse) OnBrowse(*editor);
  };
  HandCellEvents(*this, *editor);
}

void TVirTCCustomString::SaveEditedValue(TVirCellData data) {
  if (TVirTCStringEdit* editor = EditorControl(); editor != nullptr && !data.empty())
    StoreCellText(data, editor->Text(), TypingLimit(data), UseASCIIZStrings());
}
