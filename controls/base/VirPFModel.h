#pragma once
// The picture field without its window: an entry field whose text follows a
// picture mask and whose value has one of the sixteen data types.
//
// It adds the data type with its default mask and range, the user's mask,
// the transfer and the check of each type, stepping, the value kept across a
// re-created window (but not across a change of type), and the two editors:
// one for single-character types (Char, Boolean, YesNo) and the mask editor
// for the others (VirPFEdit.cpp). Today's date and the time of day come from
// Clock, which tests replace.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "controls/base/VirPBModel.h"
#include "matrix/util/UtDate.h"

// Where today's date and the time of day come from.
struct TFieldClock {
  std::function<TStDate()> today = DateToday;
  std::function<TStTime()> now = TimeNow;
};

class PictureFieldModel : public virtual PictureBaseModel {
 public:
  // The field classes initialise the shared bases; this passes them on.
  explicit PictureFieldModel(const EntryFieldIntl& intl);

  // A type above pftTime raises EVirException "Parameter value is invalid".
  void SetDataType(int type);
  const std::string& PictureMask() const { return pictureMask_; }
  // An empty mask or the same one does nothing.
  void SetPictureMask(std::string_view mask);
  bool InitDateTime() const { return initDateTime_; }
  void SetInitDateTime(bool on);
  // The end of the selection that extending and the mouse move.
  int MovingEnd() const { return movingEnd_; }

  void SetValueText(std::string_view text) override;
  // The data type first, then the options, colours' owners aside, the mask
  // and the range limits through their texts.
  void Assign(const PictureFieldModel& source);

  void FocusEntered() override;
  void WindowCreated() override;

  TFieldClock Clock;

  // The default mask of a data type under the international settings.
  static std::string DefaultMask(TPictureDataType type, const EntryFieldIntl& intl);

 protected:
  void ExecuteEditCommand(TEditMsg& msg, std::uint16_t command) override;
  std::uint16_t ValidateValue() override;
  void TransferValueOut(std::span<std::uint8_t> data) override;
  void TransferValueIn(std::span<const std::uint8_t> data) override;
  void IncreaseValueBy(bool wrap, double delta) override;

 private:
  // A value read from the text or about to be written to it.
  using TValue = TFieldValue;
  std::optional<TValue> ReadText() const;
  void WriteValue(const TValue& value);
  std::vector<std::uint8_t> ValueBytes(const TValue& value) const { return FieldValueBytes(DataType(), value); }
  std::string DateText(TStDate date) const;
  std::uint16_t CheckText();

  // Stepping by type.
  void StepChar(bool wrap, double delta);
  void StepInteger(bool wrap, double delta);
  void StepReal(bool wrap, double delta);
  void StepDate(bool wrap, double delta);
  void StepTime(bool wrap, double delta);
  char UnitAtCaret() const;

  // ---- The editors (VirPFEdit.cpp)
  void MaskEditor(TEditMsg& msg, std::uint16_t command);
  void CharEditor(TEditMsg& msg, std::uint16_t command);
  // After a command: the character flags end and the selection collapses to
  // the caret, except after the commands that keep it (true).
  bool SettleSelection(std::uint16_t command, bool shift);
  void FinishCommand(const TCommandStart& start, bool keptSelection);
  int LastPicturePosition() const { return Picture().LastPicturePosition(); }
  int EndOfEnteredText() const;
  int RunStart(int caret) const;
  int RunEnd(int caret) const;
  // Auto-advance past the picture positions.
  bool CaretMoveRule(int target, std::uint16_t command) { return AutoAdvance(target, command, LastPicturePosition()); }
  void ExtendTo(int movingEnd);
  void CaretToMovingEnd(bool rightOffLiterals);
  int SkipLiteralsRight(int pos) const;
  int SkipLiteralsLeft(int pos) const;
  bool AcceptTyped(char& c, int pos, bool literalMode) const;
  void DeleteSelection();
  void DeleteInRun(int pos, int count);
  bool InsertAt(char c, int pos, bool beep);
  void TypeChar(TEditMsg& msg);
  void Paste(std::string_view text);
  void CompleteDateTime(std::uint16_t command);
  void WordLeft();
  void WordRight();
  void MouseCommand(const TEditMsg& msg, std::uint16_t command, bool shift);
  bool DecimalBeforeLast() const;
  void AlignOnDecimalChar();

  std::string pictureMask_ = "X";
  bool initDateTime_ = false;
  bool keepValue_ = false;
  int movingEnd_ = 0;
  bool literalMode_ = false;
};
