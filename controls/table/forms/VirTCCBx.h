#pragma once
// TVirTCComboBox: the cell component for a choice from a list. It paints the
// chosen item's text with a drop-down button on the active cell (or a flat
// triangle on every cell without ShowButton) and edits in a combo box of the
// platform (TVirTCComboBoxEdit), made when editing starts and freed when it
// ends. Its data is the record of VirTCRules.h: the chosen item, with
// UseRunTimeItems the owner's list of items, and a length-prefixed text.

#include <functional>
#include <string>
#include <vector>

#include "controls/table/VirTCRules.h"
#include "controls/table/VirTCStr.h"
#include "controls/table/forms/VirTCEditors.h"
#include "platform/StdControls.h"

enum TComboBoxStyle : std::uint8_t { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

class TVirTCCustomComboBox;

// The combo box of a combo-box cell: the keys that belong to the table go to it.
class TVirTCComboBoxEdit : public plat::ComboBox {
 public:
  // In the cell's Style.
  TVirTCComboBoxEdit(plat::Control& parent, TVirTCCustomComboBox& cell);
  TVirTCCustomComboBox* CellOwner;

 protected:
  void KeyDown(int& key, plat::ShiftState shift) override;
  void KeyPress(char32_t& ch) override;
  void KeyTyped(char32_t ch) override;
  void FocusArrived(plat::Control* losing) override;
};

class TVirTCCustomComboBox : public TVirTCEditingCell<TVirTCBaseString, TVirTCComboBoxEdit> {
 public:
  TVirTCCustomComboBox();
  ~TVirTCCustomComboBox() override;

  const TVirComboItems& Items() const { return items_; }
  // Copies the list, sorted when Sorted.
  void SetItems(const TVirComboItems& items);
  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle style) { SetAndNotify(style_, style); }
  bool HasEditPart() const { return style_ == csDropDown || style_ == csSimple; }
  int DropDownCount = 8;
  // The edit text's limit and the length to which saved texts are cut (a Word; 0 in a new cell).
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int length);
  // Sorts Items; a list that comes with the data keeps its order.
  bool Sorted() const { return sorted_; }
  void SetSorted(bool on);
  bool ShowButton() const { return showButton_; }
  void SetShowButton(bool on) { SetAndNotify(showButton_, on); }
  bool SaveStringValue = false;
  bool UseRunTimeItems() const { return layout_.runTimeItems; }
  void SetUseRunTimeItems(bool on) { SetAndNotify(layout_.runTimeItems, on); }
  const TVirComboLayout& Layout() const { return layout_; }
  bool AutoAdvanceChar = false;
  bool AutoAdvanceLeftRight = false;
  // The width of the drop-down button: the arrow's width and 11 pixels.
  static int ButtonWidth();

  void PaintCell(plat::Canvas& canvas, plat::Rect cellRect, int rowNum, int colNum, const TVirCellAttributes& attr,
                 TVirCellData data) override;
  void SaveEditedValue(TVirCellData data) override;
  void BeginEdit(int rowNum, int colNum, plat::Rect cellRect, const TVirCellAttributes& attr,
                 TVirTblEditorStyle cellStyle, TVirCellData data) override;

  // Handed to the combo box when editing starts, with the component events of the cell base.
  std::function<void()> OnChange;
  std::function<void()> OnDropDown;
  // Owner-drawn lists (csOwnerDrawFixed, csOwnerDrawVariable): draw an item,
  // and (csOwnerDrawVariable) tell an item's height.
  plat::DrawItemEvent OnDrawItem;
  plat::MeasureItemEvent OnMeasureItem;

 protected:
  TVirTCComboBoxEdit& CreateEditor(plat::Control& owner) override { return owner.Add<TVirTCComboBoxEdit>(*this); }
  // Shrunk by a pixel each side with the 3-D look, 24 pixels high.
  plat::Rect EditorBounds(plat::Rect cellRect) const override;

 private:
  // The items of a cell: the data's list with run-time items (none for a null list), else Items.
  const TVirComboItems& ItemsOf(const TVirCellData& data) const;
  int TextLimit() const { return TextTypingLimit(maxLength_, false, {}); }
  void PaintButton(plat::Canvas& canvas, plat::Rect button) const;

  TVirComboItems items_;
  TComboBoxStyle style_ = csDropDown;
  int maxLength_ = 0;
  bool sorted_ = false;
  bool showButton_ = true;
  TVirComboLayout layout_;
  bool threeD_ = false;  // the combo box being edited has the 3-D look
};

class TVirTCComboBox : public TVirTCCustomComboBox {};
