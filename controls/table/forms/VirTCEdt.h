#pragma once
// TVirTCString: the cell component for plain text. It paints with the string
// cell base and edits the active cell in a single-line edit of the platform
// (TVirTCStringEdit), made when editing starts and freed when it ends. Its data
// is a length-prefixed string (at most 255 characters) or, with
// UseASCIIZStrings, a zero-terminated one; the edit lets as many characters be
// typed as will be saved.

#include <functional>

#include "controls/table/VirTCRules.h"
#include "controls/table/VirTCStr.h"
#include "controls/table/forms/VirTCEditors.h"
#include "platform/StdControls.h"

class TVirTCCustomString;

// The edit of a string cell: the keys that belong to the table go to it.
class TVirTCStringEdit : public plat::Edit {
 public:
  TVirTCStringEdit(plat::Control& parent, TVirTCCustomString& cell);
  TVirTCCustomString* CellOwner;

 protected:
  void KeyDown(int& key, plat::ShiftState shift) override;
  void KeyPress(char32_t& ch) override;
  void KeyTyped(char32_t ch) override;
  void FocusArrived(plat::Control* losing) override;
  void FocusDeparted(plat::Control* gaining) override;
};

class TVirTCCustomString : public TVirTCEditingCell<TVirTCBaseString, TVirTCStringEdit> {
 public:
  // The length to which a saved text is cut (a Word; 0 in a new cell).
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int length);
  bool AutoAdvanceChar = false;
  bool AutoAdvanceLeftRight = false;

  void SaveEditedValue(TVirCellData data) override;
  void BeginEdit(int rowNum, int colNum, plat::Rect cellRect, const TVirCellAttributes& attr,
                 TVirTblEditorStyle cellStyle, TVirCellData data) override;

  // Handed to the edit control when editing starts, with the component events of the cell base.
  std::function<void()> OnChange;
  // The browse event: a double click in the edit control, which is the sender
  // (its text can be read and replaced); after the cell's OnDblClick.
  std::function<void(TVirTCStringEdit& sender)> OnBrowse;

 protected:
  TVirTCStringEdit& CreateEditor(plat::Control& owner) override { return owner.Add<TVirTCStringEdit>(*this); }

 private:
  int TypingLimit(const TVirCellData& data) const { return TextTypingLimit(maxLength_, UseASCIIZStrings(), data); }

  int maxLength_ = 0;
};

class TVirTCString : public TVirTCCustomString {};
