#pragma once
// What the editing cells share about their edit controls: the table they are
// made in, how they are dressed for the cell being edited, and how they go.

#include "controls/table/VirTCBase.h"
#include "platform/Control.h"
#include "platform/StdControls.h"

// The table of a cell as the control it is; null when it has none or it is not one.
plat::Control* TableControl(const TVirBaseTableCell& cell);
// The platform's frame for a cell editor's style.
plat::EditBorder EditorBorder(TVirTblEditorStyle style);
// Gives an edit control the look of the cell being edited (colour, font and
// font colour), the cell's rectangle, hint, and no Tab stop; it stays hidden
// until the table places it.
void DressEditor(plat::Control& editor, const TVirBaseTableCell& cell, plat::Rect bounds,
                 const TVirCellAttributes& attr);

// Hands the cell's component events (its Events, OnEnter and OnExit) to the
// edit control made for an edit, the last step of every cell's BeginEdit.
void HandCellEvents(const TVirBaseTableCell& cell, plat::Control& editor);

// Posts an edit control's focus notice to its cell's table: the focus came
// from `other` (`in`) or went to it, with `lParam` (the field's last error).
void PostEditorFocus(TVirBaseTableCell& cell, bool in, plat::Control* other, std::intptr_t lParam = 0);
// Passes a key of an edit control on to the table and marks it handled, when `toTable`.
void PassKeyToTable(TVirBaseTableCell& cell, bool toTable, int& key, plat::ShiftState shift);
// Auto-advance on typing: once the text has reached a limit above 0, a Right goes to the table.
void AdvanceWhenFull(TVirBaseTableCell& cell, bool autoAdvanceChar, int limit, std::size_t textLength);
// PgUp, PgDn, Up and Down.
bool VerticalKey(int key);

// Places an edit control on the cell's rectangle and shows it at once.
void ShowEditorAt(plat::Control& editor, plat::Rect bounds);

// Frees the edit control a cell made, when it still exists, and forgets it.
template <class T>
void FreeEditorControl(plat::WeakRef<T>& ref) {
  T* editor = ref.Get();
  ref = nullptr;
  if (editor == nullptr) return;
  editor->Hide();
  if (plat::Control* parent = editor->Parent()) parent->RemoveChild(*editor);
}

// A cell whose edit control (of class Editor) is
// made in its table when editing starts and freed when it ends; the edit
// control goes with its table when that goes first.
template <class Base, class Editor>
class TVirTCEditingCell : public Base {
 public:
  ~TVirTCEditingCell() override { FreeEditorControl(editor_); }

  plat::Control* EditControl() override { return editor_.Get(); }
  void* EditWindowHandle() override { return editor_.Get(); }
  void HideEditor() override {
    if (Editor* editor = editor_.Get()) editor->Hide();
  }
  void MoveEditor(plat::Rect cellRect) override {
    if (Editor* editor = editor_.Get()) ShowEditorAt(*editor, EditorBounds(cellRect));
  }
  // Saves when asked to (and given data), then frees the edit control.
  void EndEdit(bool saveValue, TVirCellData data) override {
    if (saveValue && !data.empty()) this->SaveEditedValue(data);
    FreeEditorControl(editor_);
  }

 protected:
  Editor* EditorControl() const { return editor_.Get(); }
  // Makes the edit control in the table.
  virtual Editor& CreateEditor(plat::Control& owner) = 0;
  // The edit control's place over a cell's rectangle.
  virtual plat::Rect EditorBounds(plat::Rect cellRect) const { return cellRect; }
  // The first steps of BeginEdit: a new edit control, dressed for the cell and
  // hidden; null when the cell has no table to show it in.
  Editor* StartEditor(plat::Rect cellRect, const TVirCellAttributes& attr) {
    FreeEditorControl(editor_);
    plat::Control* table = TableControl(*this);
    if (table == nullptr) return nullptr;
    Editor& editor = CreateEditor(*table);
    editor_ = &editor;
    DressEditor(editor, *this, EditorBounds(cellRect), attr);
    return &editor;
  }

 private:
  plat::WeakRef<Editor> editor_;
};
