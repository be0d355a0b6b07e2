#pragma once
// The simple field without its window: an entry field whose whole text
// follows one picture character (every position is checked and case-converted
// by it) and whose value has one of fourteen data types, Date and Time aside.
//
// It adds the data type with the MaxLength and picture character each type
// installs, the transfer and check of each type, stepping, the value kept
// across a re-created window, and two editors: a text editor for strings and
// numbers, and a one-character editor for Char, Boolean and YesNo
// (VirSFEdit.cpp).
//
// Integers (comp too, in 64 bits) are written in decimal, or in the digits of
// their bytes under a 'K', 'O' or 'b' mask; reals in fixed notation with
// DecimalPlaces decimals, in scientific notation when that does not fit. A
// value whose text is longer than MaxLength even so is never shown as another
// number: the field shows '*' in every position and its check fails with
// efeOutOfRange until the text is edited.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "controls/base/VirEFModel.h"
#include "controls/base/VirPBMask.h"

enum TSimpleDataType : std::uint8_t {
  sftString,
  sftChar,
  sftBoolean,
  sftYesNo,
  sftLongInt,
  sftWord,
  sftInteger,
  sftByte,
  sftShortInt,
  sftReal,
  sftExtended,
  sftDouble,
  sftSingle,
  sftComp,
};

class SimpleFieldModel : public virtual EntryFieldModel {
 public:
  // The field classes initialise the shared base; this passes it on.
  explicit SimpleFieldModel(const EntryFieldIntl& intl);

  TSimpleDataType SimpleDataType() const { return static_cast<TSimpleDataType>(DataType()); }
  // A type above sftComp raises EVirException "Parameter value is invalid".
  void SetDataType(int type);
  char PictureMask() const { return Mask().empty() ? 'X' : Mask()[0]; }
  // A character that is no picture character raises EInvalidPictureMask.
  void SetPictureMask(char mask);
  // The field holds a value too long for it (shown as '*').
  bool ValueLost() const { return valueLost_; }
  // The data type first, then the options, lengths and characters, the
  // picture character and the range limits through their texts.
  void Assign(const SimpleFieldModel& source);

  void WindowCreated() override;

 protected:
  void ExecuteEditCommand(TEditMsg& msg, std::uint16_t command) override;
  std::string GetDisplayString() const override;
  std::uint16_t ValidateValue() override;
  void TransferValueOut(std::span<std::uint8_t> data) override;
  void TransferValueIn(std::span<const std::uint8_t> data) override;
  void IncreaseValueBy(bool wrap, double delta) override;

 private:
  bool IntegerType() const;
  bool RealType() const;
  bool NumberType() const { return IntegerType() || RealType(); }
  // The number in the text; nothing when it does not read.
  std::optional<TFieldValue> ReadNumber() const;
  TFieldValue ReadValue() const;
  void WriteValue(const TFieldValue& value);
  std::string RealText(long double value) const;
  void ShowText(std::string text);
  std::uint16_t CheckText();
  TMaskContext MaskContext() const;

  // ---- The editors (VirSFEdit.cpp)
  bool StartCommand(std::uint16_t command);
  void TextEditor(TEditMsg& msg, std::uint16_t command);
  void CharEditor(TEditMsg& msg, std::uint16_t command);
  void FinishCommand(const TCommandStart& start, bool keepSelection, bool modified);
  // The typed or pasted character as the position at `pos` takes it.
  bool AcceptChar(char& c, int pos, bool typed) const;
  bool TypeChar(char32_t c);
  // Puts `typed` in at the caret, pushing characters out at the end of a full
  // text when InsertPushes is set; false, the text unchanged, when it finds no room.
  bool InsertAtCaret(const std::string& typed);
  bool Paste(std::string_view text);
  void DeleteRange(int from, int to);
  bool DeleteSelection();
  void MoveExtending(int oldCaret, int caret);
  void MouseCommand(const TEditMsg& msg, std::uint16_t command);
  bool LastAutoAdvance(int target, std::uint16_t command) { return AutoAdvance(target, command, MaxLength() - 1); }

  bool literalMode_ = false;
  bool valueLost_ = false;
  bool keepValue_ = false;  // a window made again keeps the value
};
