#pragma once
// The mask-driven entry field without its window: the base of the picture
// field (and of the numeric field), whose edit text always follows a picture
// mask (VirPBMask.h) position by position.
//
// It keeps the mask laid over MaxLength positions, converts between the edit
// text and a plain value text (strip and merge), aligns decimals, places the
// caret off literals and shows pad and password characters. A value that the
// mask cannot show is never shown as another number: its picture positions
// show '*' and the check fails with efeOutOfRange until the text is edited.

#include <string>
#include <string_view>

#include "controls/base/VirEFModel.h"
#include "controls/base/VirPBMask.h"

class TVirUserData;

class PictureBaseModel : public virtual EntryFieldModel {
 public:
  PictureBaseModel(const EntryFieldIntl& intl, TFieldKind kind);

  const TPictureMask& Picture() const { return picture_; }
  // The edit text as a plain value text, and a value text laid into the mask.
  std::string StrippedText() const;
  void MergeText(std::string_view value);
  // The field holds a value its mask could not show.
  bool ValueLost() const { return valueLost_; }

  bool Validate(bool report) override;
  void SetCaretPos(int pos) override;
  void FocusEntered() override;
  void FocusLeft(bool toSameForm, bool toSpecialControl) override;
  void WindowCreated() override;

 protected:
  void MoveCaretToEnd() override;
  void MoveCaretToStart() override;
  int FirstEditPosition() const override { return picture_.FirstEditPosition(); }
  bool IsEmpty() const override;
  std::string GetDisplayString() const override;
  void AdjustOptions() override;
  void SetMaskText(std::string_view mask) override;
  void MaxLengthChanged() override { RebuildPicture(); }

  // Before a number is read from a mask with floating positions: the
  // currency and thousands separators leave the text (blanks entering at the
  // first edit position) and the text is marked; the mark makes the next
  // RemergeStripped lay the value out again.
  virtual void PrepareForConversion();
  bool StrippedMark() const { return stripped_; }
  void ClearStrippedMark() { stripped_ = false; }
  void RemergeStripped();

  // A number's value text laid into the mask; when some of it finds no
  // position the picture positions show '*' and the value counts as lost.
  void MergeNumber(std::string_view value);
  void ClearValueLost() { valueLost_ = false; }
  // The text from the mask: literals in place, picture positions blank.
  void BuildTextFromMask();
  // Decimal alignment of both parts, when the mask holds '.'.
  void ShiftDigits();
  void RebuildPicture();
  // The real types and comp (their merge drops trailing zeros of a long value).
  bool RealType() const { return IsRealDataType(DataType()); }
  // The stripped text as a number reads it: without blanks.
  std::string NumberText() const;
  TMaskContext MaskContext() const;
  TMergeOptions MergeOptions() const;
  const TVirUserData& UserData() const;

 private:
  void FitTextToPicture();

  TPictureMask picture_;
  bool stripped_ = false;
  bool valueLost_ = false;
};
