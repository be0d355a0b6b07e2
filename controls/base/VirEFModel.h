#pragma once
// The entry field without its window: the state and rules that every entry
// control shares (the picture, simple and numeric fields and the cells'
// editors derive from it through the windowed field).
//
// It holds the type byte, the options with their setter rules, the edit text
// with caret, scroll and selection, the range limits, and the flags of
// editing, focus and validation. Values move in and out through the value
// protocol as byte views (VirEFData.h). The field classes supply the data
// type's editor and check (ExecuteEditCommand, ValidateValue) and the value
// conversion (TransferValueOut, TransferValueIn).
//
// What needs a window, the form or its controller is reached through the
// protected hooks below (painting, the caret, the clipboard, posted reports)
// and through EntryFieldController; without them the field works on its own,
// which is how the tests drive it.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "controls/base/VirCmd.h"
#include "rtl/Cp1252.h"
#include "controls/base/VirEFData.h"
#include "controls/base/VirEFRange.h"
#include "platform/Lifetime.h"

class EntryFieldIntl;
class EntryFieldModel;

// The field's own command codes besides the library's (VirCmd.h): the mouse
// on the focused field. A user command reaches the editor as ccBadSequence
// (254), which does nothing.
namespace efc {
inline constexpr std::uint16_t MouseDown = 250;    // left button pressed
inline constexpr std::uint16_t MouseMove = 251;    // mouse moved with the button down
inline constexpr std::uint16_t DoubleClick = 253;  // double click
inline constexpr std::uint16_t Handled = ccBadSequence;
}  // namespace efc

// Validation codes; 0 is valid. Codes from 32768 up are the application's own,
// reported with the text it stored in the controller.
enum : std::uint16_t {
  efeOutOfRange = 256,
  efeInvalidForType = 257,
  efeRequired = 258,
  efeInvalidDate = 259,
  efeInvalidTime = 260,
  efeNoBlanks = 261,
  efeEmptyOrFull = 262,
};
inline constexpr std::uint16_t kApplicationErrorCodes = 32768;

// The text reported for a code: the entry errors' own texts, the stored text
// for the application's codes, and "Entry Error" for any other.
std::string EntryErrorText(std::uint16_t code, std::string_view storedText);

// True for the commands a read-only field refuses.
bool RefusedWhenReadOnly(std::uint16_t command);
// The six commands that extend the selection.
bool ExtendsSelection(std::uint16_t command);
// The commands after which an editor keeps the selection instead of
// collapsing it to the caret: the extend commands, ccRestore, a drag, a
// double click and a Shift-click.
bool KeepsSelection(std::uint16_t command, bool shift);

enum TZeroDisplay : std::uint8_t { zdShow, zdHide, zdHideUntilModified };

// The published Boolean options.
enum class TEntryOption : std::uint8_t {
  ArrowIncDec,
  AutoAdvanceChar,
  AutoAdvanceLeftRight,
  AutoAdvanceUpDown,
  AutoSelect,
  AutoSize,
  BeepOnError,
  CaretToEnd,
  ForceInsert,
  ForceOvertype,
  InputRequired,
  InsertPushes,
  PasswordMode,
  ReadOnly,
  RightAlign,
  RightJustify,
  SoftValidation,
  StripLiterals,
  TrimBlanks,
  Uninitialized,
};

// What a field needs of its form's controller: the form-wide error report
// state and insert mode, the epoch, and the error handler.
class EntryFieldController {
 public:
  virtual ~EntryFieldController() = default;
  virtual bool ErrorPending() const = 0;
  virtual void SetErrorPending(bool pending) = 0;
  virtual std::string ErrorText() const = 0;
  virtual void SetErrorText(const std::string& text) = 0;
  virtual bool InsertMode() const = 0;
  virtual void SetInsertMode(bool insert) = 0;
  virtual int Epoch() const = 0;
  // The controller's own error handler (its OnError, or an error box).
  virtual void HandleError(EntryFieldModel& sender, std::uint16_t code, const std::string& text) = 0;
};

// One command's argument: the character of Char, the text of ccPaste, the
// client position of the mouse commands.
struct TEditMsg {
  char32_t ch = 0;  // a Unicode code point
  std::string_view text;
  int x = 0;
  int y = 0;
  bool shift = false;  // Shift held with a mouse command
  bool fromKeyboard = false;
};

// Which items of the field's context menu are enabled.
struct TContextMenuState {
  bool restore = false;
  bool cut = false;
  bool copy = false;
  bool paste = false;
  bool del = false;
  bool selectAll = false;
  bool operator==(const TContextMenuState&) const = default;
};

// A run of the display string painted in one way.
struct TPaintRun {
  enum Kind : std::uint8_t { Text, ControlChar, Selected };
  int first = 0;  // index into the display string
  int count = 0;
  Kind kind = Text;
  bool operator==(const TPaintRun&) const = default;
};

enum class TPaintState : std::uint8_t { Normal, Error, Disabled };

class EntryFieldModel {
 public:
  static constexpr int kBufferSize = 256;  // the edit buffer: at most 255 characters

  EntryFieldModel(const EntryFieldIntl& intl, TFieldKind kind);
  virtual ~EntryFieldModel();
  EntryFieldModel(const EntryFieldModel&) = delete;
  EntryFieldModel& operator=(const EntryFieldModel&) = delete;

  // ---- Type and kind
  std::uint8_t TypeByte() const { return typeByte_; }
  TPictureDataType DataType() const { return static_cast<TPictureDataType>(typeByte_ & kDataTypeBits); }
  TFieldKind Kind() const { return kind_; }

  // ---- Options and properties. The setters ignore values out of their
  // range; those that change what the field shows repaint it.
  bool Option(TEntryOption option) const;
  void SetOption(TEntryOption option, bool on);
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int length);  // 1..255, not below the mask's length
  int TextMargin() const { return textMargin_; }
  void SetTextMargin(int margin);  // 2 and more
  int Epoch() const { return epoch_; }
  void SetEpoch(int year);  // 0 or 1600..3999
  // Epoch when set, else the controller's, else 0.
  int EffectiveEpoch() const;
  TZeroDisplay ZeroDisplay() const { return zeroDisplay_; }
  void SetZeroDisplay(TZeroDisplay mode);
  double ZeroDisplayValue() const { return zeroDisplayValue_; }
  void SetZeroDisplayValue(double value);
  char PadChar() const { return padChar_; }
  void SetPadChar(char c);
  char PasswordChar() const { return passwordChar_; }
  void SetPasswordChar(char c);  // #0 also turns PasswordMode off
  int DecimalPlaces() const { return decimalPlaces_; }
  void SetDecimalPlaces(int places);
  const std::string& Mask() const { return mask_; }
  int MaskLength() const { return static_cast<int>(mask_.size()); }
  // While loading, the setters store without their cross rules and a bad
  // range text leaves the limit as it was.
  virtual bool IsLoading() const { return loading_; }
  void SetLoading(bool loading) { loading_ = loading; }

  // ---- Value protocol
  std::uint16_t GetDataSize() const;
  // Validates the text and, when valid, puts the value into data. Returns the
  // validation code (0 = valid). A data type outside 0..15 or a view smaller
  // than GetDataSize raises EVirException "Parameter value is invalid".
  std::uint16_t ValidateAndGetValue(std::span<std::uint8_t> data);
  // Loads a value; ignored while the field's own OnUserValidation runs.
  void SetValue(std::span<const std::uint8_t> data);
  // Loads a value given as text (ignored during the field's own user
  // validation); a text that does not convert raises EEntryFieldError.
  virtual void SetValueText(std::string_view text);
  bool ValidateEntry();
  std::string GetDisplayText() const;
  // Range limits: the raw 10 bytes (streamed as they are) and as text.
  const TRangeLimit& RangeHigh() const { return rangeHigh_; }
  const TRangeLimit& RangeLow() const { return rangeLow_; }
  void SetRangeHigh(const TRangeLimit& limit) { rangeHigh_ = limit; }
  void SetRangeLow(const TRangeLimit& limit) { rangeLow_ = limit; }
  std::string GetRangeHi() const;
  std::string GetRangeLo() const;
  // A text that does not convert raises EInvalidRangeValue (not while loading).
  void SetRangeHi(std::string_view text);
  void SetRangeLo(std::string_view text);
  // The spinner's entry: steps the value, clears the selection, repaints.
  void IncreaseValue(bool wrap, double delta);
  void DecreaseValue(bool wrap, double delta);
  // Only while focused: Delta times right, or -Delta times left.
  void MoveCaret(int delta);

  // ---- Text, caret and selection
  const std::string& GetText() const { return text_; }
  void SetText(std::string_view text);  // cut to MaxLength
  int CaretPos() const { return caretPos_; }
  int FirstVisible() const { return firstVisible_; }
  int SelStart() const { return selStart_; }
  int SelEnd() const { return selEnd_; }
  int SelectionLength() const { return selEnd_ - selStart_; }
  // End below start is ignored; both are clamped to the text; on a numeric
  // field any selection widens to the whole text.
  void SetSelection(int start, int end);
  // Only while focused; the caret is kept within the text.
  virtual void SetCaretPos(int pos);
  bool Modified() const { return modified_; }
  bool ModifiedOnce() const { return modifiedOnce_; }
  // The edit messages: selection and modified flag.
  std::uint32_t EmGetSel(std::uint32_t* start = nullptr, std::uint32_t* end = nullptr) const;
  void EmSetSel(std::uint32_t start, std::uint32_t end);
  bool EmGetModify() const { return modified_; }
  void EmSetModify(bool modified);

  // ---- Commands and keys
  // The one way a command reaches the data type's editor.
  void ExecuteCommand(TEditMsg& msg, std::uint16_t command);
  // A key translated to a command. False when it is no command for the field
  // (the platform handles the key).
  bool KeyCommand(std::uint16_t command);
  // The same for a key pressed with Alt; a keypad digit arms the next
  // character, so that an Alt+keypad code reaches the field.
  bool SysKeyCommand(std::uint16_t command, bool keypadDigit);
  // A typed character; it is executed when the key before armed it.
  void CharTyped(char32_t c);
  void CutToClipboard();                      // copy the selection, then ccCut
  void CopyToClipboard();                     // copy the selection, then ccCopy
  void PasteFromClipboard();                  // ccPaste with the clipboard's text, when there is some
  void ClearSelection();                      // ccCut without the clipboard
  void SetWindowText(std::string_view text);  // select all, then paste the text
  // The selected text as the clipboard gets it: the display string, with
  // control characters of the text copied as themselves.
  std::string SelectionForClipboard() const;
  TContextMenuState ContextMenuState(bool clipboardHasText) const;
  // Puts back the text the field had when it took the focus.
  void Restore();
  void SelectAll() { EmSetSel(0, 65535); }

  // ---- Mouse
  // The left button: on an unfocused field it marks the click and asks for
  // the focus; on the focused field it is a command for the editor.
  void LeftButtonDown(int x, int y, bool shift = false);
  void MouseDragged(int x, int y, bool captured, bool buttonDown);
  void LeftButtonDoubleClick(int x, int y);

  // ---- Focus
  bool IsFocused() const { return focused_; }
  // True from a failed validation until the field has the focus back.
  bool ReturningAfterError() const { return returnAfterError_; }
  virtual void FocusEntered();
  // The focus moves to another control of this form (or elsewhere), which
  // may be one that must not trigger validation (cancel, help, restore).
  virtual void FocusLeft(bool toSameForm, bool toSpecialControl);
  bool InsertMode() const { return insertMode_; }
  void SetInsertMode(bool insert);

  // ---- Validation and reports
  std::uint16_t LastError() const { return lastError_; }
  bool InError() const { return inError_; }
  // The focus-exit check: true when the focus may leave.
  virtual bool Validate(bool report);
  // The on-demand check; returns the code.
  std::uint16_t ValidateContents(bool report);
  // The posted report of a code: its text, then DoOnError.
  void ReportError(std::uint16_t code);

  // ---- Display and painting
  // The caret's x after placing the scroll for it (only while focused);
  // widths come from the caller's font.
  int PlaceCaretAndScroll(const std::function<int(std::string_view)>& width, int clientWidth);
  // Where the display string starts (left-aligned, right-aligned or numeric).
  int TextOrigin(const std::function<int(std::string_view)>& width, int clientWidth) const;
  bool RightAligned() const { return rightAligned_; }
  std::vector<TPaintRun> PaintRuns() const;
  TPaintState PaintState() const;

  // The window's creation steps that concern the model.
  virtual void WindowCreated();
  // Height of a field with AutoSize: the font's character height and a
  // border allowance of 8 border lines with the 3-D look, else 6.
  static int AutoSizeHeight(int charHeight, bool ctl3D) { return charHeight + (ctl3D ? 8 : 6); }

  // ---- Events
  std::function<void(EntryFieldModel&)> OnChange;
  std::function<void(EntryFieldModel&, std::uint16_t code, const std::string& message)> OnError;
  std::function<void(EntryFieldModel&, std::uint16_t command)> OnUserCommand;
  std::function<void(EntryFieldModel&, std::uint16_t& code)> OnUserValidation;

 protected:
  // ---- The field classes' operations
  virtual void MoveCaretToEnd();
  virtual void MoveCaretToStart();
  virtual void ExecuteEditCommand(TEditMsg& msg, std::uint16_t command) = 0;
  virtual int FirstEditPosition() const { return 0; }
  virtual bool IsEmpty() const;
  virtual std::string GetDisplayString() const;
  virtual bool IsReadOnly() const { return Option(TEntryOption::ReadOnly); }
  virtual void AdjustOptions();
  virtual void PlaceCaretOnEnter();
  virtual std::uint16_t ValidateValue() = 0;
  // The value moved out of the field into data (at least GetDataSize bytes),
  // and data moved into the field's text; the latter ends with ValueLoaded.
  virtual void TransferValueOut(std::span<std::uint8_t> data) = 0;
  virtual void TransferValueIn(std::span<const std::uint8_t> data) = 0;
  virtual void IncreaseValueBy(bool wrap, double delta) = 0;
  // Copies a new mask (up to 255 characters), keeping the value.
  virtual void SetMaskText(std::string_view mask);
  // MaxLength took a new value.
  virtual void MaxLengthChanged() {}

  // ---- What the field classes call
  // The base step after a value load.
  void ValueLoaded(bool fromKeyboard);
  // The editor changed the text: both modified flags, then OnChange.
  void TextEdited();
  void SetTextRaw(std::string text);
  void SetCaretRaw(int pos);
  void SetSelectionRaw(int start, int end);
  void SetFirstVisible(int first) { firstVisible_ = first; }
  // The mask and MaxLength stored as they are, for the field classes' own rules.
  void StoreMask(std::string_view mask) { mask_ = std::string(mask.substr(0, kBufferSize - 1)); }
  void StoreMaxLength(int length) { maxLength_ = std::clamp(length, 1, kBufferSize - 1); }
  void StoreDecimalPlaces(int places) { decimalPlaces_ = places; }
  void SetOptionRaw(TEntryOption option, bool on);
  // Sets the data type, its default range, and the options it allows.
  void AssignDataType(TPictureDataType type);
  // The limits are equal as values of the type (the first byte of the
  // character types, the 32 bits of the integers, the real value of the reals).
  bool RangeLimitsEqual() const;
  // Auto-advance for a caret move to `target`: before the first edit position
  // the previous control (AutoAdvanceLeftRight), beyond `last` the next one
  // (AutoAdvanceChar for a typed character, else AutoAdvanceLeftRight). True
  // when the focus moves.
  bool AutoAdvance(int target, std::uint16_t command, int last);
  // The start of the word at pos over the whole text: leftwards over blanks
  // (and positions past the end), then while the character before is not blank.
  int WordStartAt(int pos) const;
  // Past the word at pos and the blanks after it, not beyond the text.
  int WordEndAt(int pos) const;
  // The character whose middle lies right of a client x; a point left of the
  // field scrolls the text back by the characters it passes.
  int CharacterUnderMouse(int x);
  // ccUp or ccDown with AutoAdvanceUpDown: the focus moves to the previous or
  // next control (true).
  bool AdvanceUpDown(std::uint16_t command);
  // The moves of a one-character editor: Left, Right and the word moves only
  // auto-advance (beyond `last`), Up and Down too unless AutoAdvanceUpDown
  // moves the focus. False for any other command.
  bool OneCharacterMove(std::uint16_t command, int last);
  // ccUp or ccDown in a text editor: AdvanceUpDown, else with ArrowIncDec on
  // a writable field the value steps by 1. None leaves the arrow to move the
  // caret as Left or Right.
  enum class TArrowAction : std::uint8_t { None, Advanced, Stepped };
  TArrowAction ArrowUpDown(std::uint16_t command);
  // What an editing command started from, to tell what it changed.
  struct TCommandStart {
    std::string text;
    int caret = 0;
    int selStart = 0;
    int selEnd = 0;
  };
  TCommandStart CommandStart() const { return {text_, caretPos_, selStart_, selEnd_}; }
  // The value in bytes, before a window is made again; and the range limits
  // of the type when they are equal (a window made again).
  std::vector<std::uint8_t> ValueCopy();
  void ResetEqualRange();
  // A typed character as the Windows-1252 byte the masks work in; 0, which
  // every mask refuses, when the code page lacks it.
  static char TypedByte(char32_t c) { return rtl::Cp1252ByteOf(c).value_or('\0'); }
  // The reaction to a refused character or a full field: a beep with BeepOnError.
  void ErrorReaction() {
    if (Option(TEntryOption::BeepOnError)) Beep();
  }
  // Arms the next typed character (a key that is no command).
  void ArmCharacter() { charFollows_ = charAllowed_ = true; }
  bool CharacterAllowed() const { return charAllowed_; }
  // The next typed character reaches the editor (follows), which acts on it
  // only when it is allowed.
  void SetCharacterFlags(bool follows, bool allowed) {
    charFollows_ = follows;
    charAllowed_ = allowed;
  }
  void DoOnChange();
  void DoOnError(std::uint16_t code, const std::string& message);
  void DoOnUserCommand(std::uint16_t command);
  void DoOnUserValidation(std::uint16_t& code);
  bool InSetValue() const { return inSetValue_; }
  bool InValidateAndGetValue() const { return inValidateAndGetValue_; }
  bool Validating() const { return validating_; }
  const std::optional<std::string>& RestoreCopy() const { return restoreCopy_; }
  const EntryFieldIntl& Intl() const { return *intl_; }
  TRangeFormat RangeFormat() const;

  // ---- Hooks to the window, the form and the platform; a field without a
  // window does nothing.
  virtual EntryFieldController* FieldController() const { return nullptr; }
  virtual bool IsFieldEnabled() const { return true; }
  virtual bool IsFieldVisible() const { return true; }
  virtual void RepaintField() {}
  virtual void UpdateCaret() {}     // re-place the caret and the scroll
  virtual void RecreateWindow() {}  // the window is made again
  virtual void AdjustHeight() {}    // the AutoSize rule
  virtual void Beep() {}
  virtual void TakeFocus() {}
  // The focus to the next or previous control of the form, after the current event.
  virtual void MoveToNextControl() {}
  virtual void MoveToPrevControl() {}
  // Widths in the field's font, and its client width; without a window every
  // character is 8 pixels wide.
  virtual int FieldTextWidth(std::string_view text) const { return 8 * static_cast<int>(text.size()); }
  virtual int FieldAverageCharWidth() const { return 8; }
  virtual int FieldClientWidth() const { return 8 * kBufferSize; }
  virtual void PutClipboardText(std::string_view) {}
  virtual std::optional<std::string> GetClipboardText() { return std::nullopt; }
  virtual void PostReport(std::uint16_t /*code*/) {}  // report later (to this field)
  virtual void PostRefocus() {}                       // give the focus back later (through the controller)
  virtual void PostPreEdit() {}
  virtual void PostPostEdit() {}

 private:
  bool RequiredButMissing() const;
  void SetRangeText(TRangeLimit& limit, std::string_view text);
  void CheckValueView(std::size_t size) const;
  void ClampCaretAndSelection();
  void CopySelectionToClipboard();
  void RefreshOptions();

  const EntryFieldIntl* intl_;
  TFieldKind kind_;
  std::uint8_t typeByte_;
  std::uint32_t options_;
  int maxLength_ = 15;
  int textMargin_ = 2;
  int epoch_ = 0;
  TZeroDisplay zeroDisplay_ = zdShow;
  double zeroDisplayValue_ = 0;
  char padChar_ = ' ';
  char passwordChar_ = '*';
  int decimalPlaces_ = 0;
  std::string mask_ = "X";
  bool loading_ = false;

  std::string text_;
  std::optional<std::string> restoreCopy_;
  TRangeLimit rangeHigh_{};
  TRangeLimit rangeLow_{};
  std::uint16_t lastError_ = 0;
  int caretPos_ = 0;
  int firstVisible_ = 0;
  int selStart_ = 0;
  int selEnd_ = 0;
  bool rightAligned_ = false;

  // State flags.
  bool modified_ = false;
  bool modifiedOnce_ = false;
  bool inError_ = false;
  bool validating_ = false;
  bool focused_ = false;
  bool quietFocusChange_ = false;
  // A failed check and its report: the failure stands (leaving the field does
  // not check it again) until the report has run; the field comes back to the
  // focus once, with its text as the user left it.
  bool lastValidationFailed_ = false;
  bool returnAfterError_ = false;
  plat::Lifetime lifetime_;  // a report's box may outlive the field
  bool enteredWhileReportPending_ = false;
  bool inSetValue_ = false;
  bool inValidateAndGetValue_ = false;
  bool inUserValidation_ = false;
  bool mouseDownBeforeFocus_ = false;
  bool insertMode_ = true;
  bool charFollows_ = false;
  bool charAllowed_ = false;
};
