#pragma once
// TVirBaseEntryField: the single-line typed entry field on the platform's
// custom control, base of the picture, simple and numeric fields.
//
// The rules live in EntryFieldModel (VirEFModel.h); this class gives them a
// window: keys become commands through the form controller's processor, the
// clipboard and the pop-up menu are the platform's, the reports and the
// refocus after a failed validation are posted messages (dropped when the
// field dies first), and the field paints its display string with the caret
// pair of the library.

#include <optional>
#include <string>
#include <string_view>

#include "controls/base/VirColors.h"
#include "controls/base/VirEFIntl.h"
#include "controls/base/VirEFModel.h"
#include "controls/base/forms/VirBase.h"
#include "controls/base/forms/VirCaret.h"
#include "platform/BitmapCanvas.h"

class TVirBaseEntryField : public TVirBase, public virtual EntryFieldModel {
 public:
  // With the library's international settings, or with the given ones.
  TVirBaseEntryField(plat::Control& parent, TFieldKind kind)
      : TVirBaseEntryField(parent, LibraryEntryFieldIntl(), kind) {}
  TVirBaseEntryField(plat::Control& parent, const EntryFieldIntl& intl, TFieldKind kind);
  ~TVirBaseEntryField() override;

  // The model's caret position and the platform's system caret both stay reachable.
  using EntryFieldModel::SetCaretPos;
  using plat::CustomControl::SetCaretPos;

  TVirColors& DisabledColors() { return disabledColors_; }
  TVirColors& ErrorColors() { return errorColors_; }
  TVirColors& HighlightColors() { return highlightColors_; }
  const TVirColors& ErrorColors() const { return errorColors_; }
  const TVirColors& HighlightColors() const { return highlightColors_; }
  plat::Color ControlCharColor() const { return controlCharColor_; }
  void SetControlCharColor(plat::Color color) { controlCharColor_ = color; }
  TVirCaretPair& Carets() { return carets_; }
  // A single border when made; a change makes the window again (the value stays).
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle style);
  // The border style and the colour of another field, for the fields' Assign.
  void AssignBorderAndColor(const TVirBaseEntryField& source);

  // The focus to the next or previous control of the form, after the current event.
  void MoveToNextControl() override;
  void MoveToPrevControl() override;

  // The context menu's actions.
  void RestoreClick();
  void CutClick() { CutToClipboard(); }
  void CopyClick() { CopyToClipboard(); }
  void PasteClick() { PasteFromClipboard(); }
  void DeleteClick() { ClearSelection(); }
  void SelectAllClick() { SelectAll(); }

  // The window text: the edit text; setting it replaces the whole text as a paste would.
  std::string Caption() const override { return GetText(); }
  void SetCaption(const std::string& caption) override { SetWindowText(caption); }

  bool IsLoading() const override { return Loading() || EntryFieldModel::IsLoading(); }
  // "RangeHigh" and "RangeLow": the raw 10 bytes of the limits.
  void DefineProperties(TVirFiler& filer) override;
  void HandleMessage(const plat::Message& message) override;

 protected:
  void CreateWnd() override;
  void Paint(plat::Canvas& canvas) override;
  void KeyDown(int& key, plat::ShiftState shift) override;
  void KeyPress(char32_t& ch) override;
  void MouseDown(plat::MouseButton button, plat::ShiftState shift, int x, int y) override;
  void MouseMove(plat::ShiftState shift, int x, int y) override;
  void MouseUp(plat::MouseButton button, plat::ShiftState shift, int x, int y) override;
  void DblClick() override;
  void FocusGained(plat::Control* losing) override;
  void FocusLost(plat::Control* gaining) override;
  void Resized() override;
  TBorderStyle WindowBorder() const override { return borderStyle_; }

  // The model's reach into the window, the form and the platform.
  EntryFieldController* FieldController() const override;
  bool IsFieldEnabled() const override { return Enabled(); }
  bool IsFieldVisible() const override { return Visible(); }
  void RepaintField() override { Invalidate(); }
  void UpdateCaret() override;
  void RecreateWindow() override;
  void AdjustHeight() override;
  void Beep() override;
  void TakeFocus() override;
  void PutClipboardText(std::string_view text) override;
  std::optional<std::string> GetClipboardText() override;
  void PostReport(std::uint16_t code) override;
  void PostRefocus() override;
  void PostPreEdit() override;
  void PostPostEdit() override;
  int FieldTextWidth(std::string_view text) const override { return TextWidthOf(text); }
  int FieldAverageCharWidth() const override;
  int FieldClientWidth() const override { return ClientWidth(); }

  // "DataType" (in the family's own numbering) and "PictureMask", stored
  // ahead of the range limits: a form loads the type first, then the mask
  // (masks and ranges follow the type), then the limits.
  void DefineTypeAndMask(TVirFiler& filer, const std::function<int()>& type, const std::function<void(int)>& setType,
                         const std::function<std::string()>& mask,
                         const std::function<void(const std::string&)>& setMask);

  // The width of a text in the field's font.
  int TextWidthOf(std::string_view text) const;
  // The text position whose character boundary lies nearest to a client x.
  int PositionAtX(int x) const;
  // Where the text stands: its top in client pixels and the font's height.
  int TextTop() const;
  int CharHeight() const;

 private:
  class ControllerLink;

  void ShowContextMenu(int x, int y);
  void PaintText(plat::Canvas& canvas);

  TVirColors disabledColors_;
  TVirColors errorColors_;
  TVirColors highlightColors_;
  plat::Color controlCharColor_;
  TBorderStyle borderStyle_ = TBorderStyle::bsSingle;
  TVirCaretPair carets_;
  std::unique_ptr<ControllerLink> link_;
  mutable plat::BitmapCanvas measure_{1, 1};
  plat::Control* lastLosing_ = nullptr;
  plat::Control* lastGaining_ = nullptr;
  plat::Point lastClick_{};
};
