#pragma once
// TVirTCBaseEntryField: the base of the cells that edit typed values with the
// library's entry fields (the picture, simple and numeric cells). A cell owns
// two fields of its family's class for its whole life: the edit control, shown
// over the active cell while it is edited, and a paint field, never shown,
// that turns each painted cell's value into its display text. The cell's data
// is the field's binary value, GetDataSize bytes; the size is fixed when an
// edit starts, and no more than the owner's data holds is ever copied.
//
// The fields are made in the control the cell is given (the table that shows
// it); when that control goes first, the cell carries on without fields, as a
// cell without an edit control does.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "controls/base/forms/VirEF.h"
#include "controls/table/VirTCStr.h"
#include "controls/table/forms/VirTCEditors.h"

class TVirTCBaseEntryField : public TVirTCBaseString {
 public:
  ~TVirTCBaseEntryField() override;

  // The two fields; null when there are none.
  TVirBaseEntryField* EditField() const { return edit_.Get(); }
  TVirBaseEntryField* PaintField() const { return paint_.Get(); }

  // The fields' options: those that change how a value looks (PasswordMode,
  // RightAlign, RightJustify, TrimBlanks) are set on both fields, the others
  // on the edit control. False without an edit control.
  bool Option(TEntryOption option) const;
  void SetOption(TEntryOption option, bool on);
  // Set on both fields.
  int MaxLength() const;
  void SetMaxLength(int length);
  int DecimalPlaces() const;
  void SetDecimalPlaces(int places);
  char PadChar() const;
  void SetPadChar(char c);
  char PasswordChar() const;
  void SetPasswordChar(char c);
  int Epoch() const;
  void SetEpoch(int year);
  // Set on the edit control.
  int TextMargin() const;
  void SetTextMargin(int margin);
  plat::Color ControlCharColor() const;
  void SetControlCharColor(plat::Color color);
  // The range limits as texts of the field's data type; empty without an edit control.
  std::string RangeHi() const;
  std::string RangeLo() const;
  void SetRangeHi(std::string_view text);
  void SetRangeLo(std::string_view text);
  // "RangeHigh" and "RangeLow", stored through the edit control as the field stores its own.
  void DefineProperties(TVirFiler& filer) override;

  plat::Control* EditControl() override { return edit_.Get(); }
  void* EditWindowHandle() override { return edit_.Get(); }
  void HideEditor() override;
  void MoveEditor(plat::Rect cellRect) override;
  // The value's display text, painted as the string cell base paints a text.
  void PaintCell(plat::Canvas& canvas, plat::Rect cellRect, int rowNum, int colNum, const TVirCellAttributes& attr,
                 TVirCellData data) override;
  // Saving: refused while the form has an error report pending, else the
  // field's check. Not saving: the field puts its text back.
  bool CanSaveEdit(bool saveValue) override;
  void SaveEditedValue(TVirCellData data) override;
  void BeginEdit(int rowNum, int colNum, plat::Rect cellRect, const TVirCellAttributes& attr,
                 TVirTblEditorStyle cellStyle, TVirCellData data) override;
  void EndEdit(bool saveValue, TVirCellData data) override;

  // Handed to the edit control when editing starts, with the component events of the cell base.
  std::function<void(EntryFieldModel&)> OnChange;
  std::function<void(EntryFieldModel&, std::uint16_t code, const std::string& message)> OnError;
  std::function<void(EntryFieldModel&, std::uint16_t command)> OnUserCommand;
  std::function<void(EntryFieldModel&, std::uint16_t& code)> OnUserValidation;

  // ---- what the edit controls of the family call ----
  // A key pressed in the edit control: true when it went to the table. Up,
  // Down, PgUp and PgDn leave only a value that checks; Esc puts the text back first.
  bool RouteKeyDown(TVirBaseEntryField& field, int& key, plat::ShiftState shift);
  // Auto-advance past either end of the field moves the table's active cell.
  void AdvanceTable(bool forward) { SendKeyToTable(forward ? plat::vk::Right : plat::vk::Left, 0); }

 protected:
  // The family member's constructor makes both fields with CreateEditor and hands them over.
  void AdoptFields(TVirBaseEntryField& edit, TVirBaseEntryField& paint);
  // The value buffer of the edit in progress.
  const std::vector<std::uint8_t>& ValueBuffer() const { return value_; }

 private:
  // A property of the edit control, or `none` without one.
  template <class T, class Get>
  T FromEdit(T none, Get get) const;
  // Sets a property on the edit control and, with `paintToo`, on the paint field.
  template <class Set>
  void ToFields(bool paintToo, Set set);

  plat::WeakRef<TVirBaseEntryField> edit_;
  plat::WeakRef<TVirBaseEntryField> paint_;
  std::vector<std::uint8_t> value_;  // GetDataSize bytes as the edit started
};

// The edit control of a family member: a field of class Field that hands the
// keys that belong to the table on, and whose auto-advance moves the table.
template <class Field>
class TVirTCFieldEdit : public Field {
 public:
  TVirTCFieldEdit(plat::Control& parent, TVirTCBaseEntryField& cell);
  TVirTCBaseEntryField* CellOwner;

  void MoveToNextControl() override { CellOwner->AdvanceTable(true); }
  void MoveToPrevControl() override { CellOwner->AdvanceTable(false); }

 protected:
  void KeyDown(int& key, plat::ShiftState shift) override {
    if (!CellOwner->RouteKeyDown(*this, key, shift)) Field::KeyDown(key, shift);
  }
  void KeyPress(char32_t& ch) override {
    if (ch != '\t') Field::KeyPress(ch);
  }
  void FocusGained(plat::Control* losing) override {
    Field::FocusGained(losing);
    PostEditorFocus(*CellOwner, true, losing);
  }
  void FocusLost(plat::Control* gaining) override {
    Field::FocusLost(gaining);
    PostEditorFocus(*CellOwner, false, gaining, this->LastError());
  }
};

// A family member: the cell of one field class, whose data type and picture
// mask are set on both fields; `DefaultMask` is the mask read without an edit control.
template <class Field, class DataTypeT, class MaskT>
class TVirTCFieldCell : public TVirTCBaseEntryField {
 public:
  using EditClass = TVirTCFieldEdit<Field>;

  // The fields are made in `owner`, the table that shows the cell.
  explicit TVirTCFieldCell(plat::Control& owner) { AdoptFields(CreateEditor(owner), CreateEditor(owner)); }

  EditClass* Edit() const { return static_cast<EditClass*>(EditField()); }
  EditClass* Paint() const { return static_cast<EditClass*>(PaintField()); }
  DataTypeT DataType() const { return Edit() != nullptr ? TypeOf(*Edit()) : DataTypeT{}; }
  void SetDataType(DataTypeT type) {
    for (EditClass* field : {Edit(), Paint()})
      if (field != nullptr) field->SetDataType(type);
  }
  MaskT PictureMask() const { return Edit() != nullptr ? MaskT(Edit()->PictureMask()) : DefaultMask(); }
  void SetPictureMask(const MaskT& mask) {
    for (EditClass* field : {Edit(), Paint()})
      if (field != nullptr) field->SetPictureMask(mask);
  }

 protected:
  virtual MaskT DefaultMask() const = 0;
  // The field's data type in the family's own numbering.
  virtual DataTypeT TypeOf(const EditClass& field) const = 0;
  EditClass& CreateEditor(plat::Control& owner) {
    EditClass& field = owner.Add<EditClass>(*this);
    field.Hide();
    field.SetOption(TEntryOption::AutoSize, false);  // the cell gives it its size
    field.SetBorderStyle(TBorderStyle::bsNone);       // until an edit asks for one (BeginEdit)
    return field;
  }
};
