#pragma once
// The numeric field without its window: an entry field for a number laid out
// by a numeric picture mask (digit positions, a decimal point, thousands
// separators, currency, and 'p' or 'g' for how a negative amount shows).
//
// The user never moves a caret through the text: typed digits are collected
// in a digit buffer (digits and at most one '.', the sign kept apart) and the
// text is rebuilt from it after every change, so that new digits enter at the
// right and push the earlier ones to the left, as on a calculator. Decimals
// not yet typed stay hidden. The mask counts D (decimal places), I (integer
// positions) and T (all positions, the point included) limit what the buffer
// takes. Integers (comp too, in 64 bits) and reals move in and out through
// the mask's strip and merge; a value the mask cannot show is never shown as
// another number (the picture base shows '*' and the check fails).

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "controls/base/VirPBModel.h"

enum TNumericDataType : std::uint8_t {
  nftLongInt,
  nftWord,
  nftInteger,
  nftByte,
  nftShortInt,
  nftReal,
  nftExtended,
  nftDouble,
  nftSingle,
  nftComp,
};

class NumericFieldModel : public virtual PictureBaseModel {
 public:
  // The field classes initialise the shared bases; this passes them on.
  explicit NumericFieldModel(const EntryFieldIntl& intl);

  TNumericDataType NumericDataType() const { return static_cast<TNumericDataType>(DataType() - pftLongInt); }
  // A type above nftComp raises EVirException "Parameter value is invalid".
  void SetDataType(int type);
  const std::string& PictureMask() const { return pictureMask_; }
  // An empty mask or the same one does nothing.
  void SetPictureMask(std::string_view mask);
  // The data type and mask first, then the options and the range limits
  // through their texts.
  void Assign(const NumericFieldModel& source);
  // The mask a data type installs.
  static std::string DefaultMask(TNumericDataType type);

  // What has been typed: digits and at most one '.', and the sign.
  const std::string& DigitBuffer() const { return buffer_; }
  bool Negative() const { return negative_; }
  int DecimalCount() const { return decimals_; }
  int IntegerCount() const { return integers_; }
  int TotalCount() const { return total_; }

  // The caret stays after the last picture position.
  void SetCaretPos(int) override {}
  void FocusEntered() override;
  void FocusLeft(bool toSameForm, bool toSpecialControl) override;
  void WindowCreated() override;

 protected:
  void MoveCaretToEnd() override;
  void MoveCaretToStart() override { MoveCaretToEnd(); }
  void ExecuteEditCommand(TEditMsg& msg, std::uint16_t command) override;
  std::string GetDisplayString() const override;
  std::uint16_t ValidateValue() override;
  void TransferValueOut(std::span<std::uint8_t> data) override;
  void TransferValueIn(std::span<const std::uint8_t> data) override;
  void IncreaseValueBy(bool wrap, double delta) override;
  void SetMaskText(std::string_view mask) override;

 private:
  void CountPositions();
  std::optional<TFieldValue> ReadNumber() const;
  // The value laid into the mask; a focused field takes it into its buffer.
  void WriteNumber(const TFieldValue& value);
  void ReloadBuffer();
  void RebuildText();
  void ClearValue();
  bool DotTyped() const { return buffer_.find('.') != std::string::npos; }
  int SignAndLength() const { return (negative_ ? 1 : 0) + static_cast<int>(buffer_.size()); }
  int DigitsInUse() const;
  // One character through the decimal rule, the mask and the buffer's rules.
  bool TakeChar(char c);
  bool BufferTakes(char c);
  bool TypeChar(char c);
  bool PasteText(std::string_view text);
  bool Advance(int target, std::uint16_t command) { return AutoAdvance(target, command, 0); }

  std::string pictureMask_;
  std::string buffer_;
  bool negative_ = false;
  int decimals_ = 0;  // D
  int integers_ = 0;  // I
  int total_ = 0;     // T
  bool keepValue_ = false;
};
