#include "controls/base/VirPBModel.h"

#include <algorithm>

#include "controls/base/VirEFIntl.h"
#include "controls/base/VirUserData.h"

PictureBaseModel::PictureBaseModel(const EntryFieldIntl& intl, TFieldKind kind) : EntryFieldModel(intl, kind) {
  RebuildPicture();
  BuildTextFromMask();
}

TMaskContext PictureBaseModel::MaskContext() const { return {Intl(), UserData()}; }

const TVirUserData& PictureBaseModel::UserData() const { return VirUserData(); }

TMergeOptions PictureBaseModel::MergeOptions() const {
  TMergeOptions options;
  options.numericField = Kind() == TFieldKind::Numeric;
  options.realType = RealType();
  options.rightJustify = Option(TEntryOption::RightJustify);
  return options;
}

void PictureBaseModel::RebuildPicture() {
  picture_ = TPictureMask(Mask(), MaxLength());
  FitTextToPicture();
}

// The edit text stays as long as the mask's positions: a longer one is cut, a
// shorter one gets the mask's blank positions.
void PictureBaseModel::FitTextToPicture() {
  const std::string& text = GetText();
  if (static_cast<int>(text.size()) == picture_.Length()) return;
  std::string fitted = BlankText(picture_, MaskContext());
  std::copy_n(text.begin(), std::min(text.size(), fitted.size()), fitted.begin());
  SetTextRaw(fitted);
}

void PictureBaseModel::BuildTextFromMask() {
  SetTextRaw(BlankText(picture_, MaskContext()));
  valueLost_ = false;
}

std::string PictureBaseModel::StrippedText() const { return StripText(GetText(), picture_, MaskContext()); }

std::string PictureBaseModel::NumberText() const {
  std::string value = StrippedText();
  std::erase(value, ' ');
  return value;
}

void PictureBaseModel::MergeText(std::string_view value) {
  SetTextRaw(MergeValueWithMask(value, picture_, MergeOptions(), MaskContext()).text);
  valueLost_ = false;
}

void PictureBaseModel::MergeNumber(std::string_view value) {
  TMergeResult merged = MergeValueWithMask(value, picture_, MergeOptions(), MaskContext());
  valueLost_ = merged.lostCharacters;
  if (valueLost_) {
    for (int i = 0; i < picture_.Length(); ++i) {
      if (!picture_.IsLiteral(i)) merged.text[static_cast<std::size_t>(i)] = '*';
    }
  }
  SetTextRaw(merged.text);
}

void PictureBaseModel::SetMaskText(std::string_view mask) {
  std::string copy(mask.substr(0, kBufferSize - 1));
  if (Kind() != TFieldKind::Numeric) {
    for (char letter : {'p', 'g'}) {
      const auto at = copy.find(letter);
      if (at != std::string::npos) copy.erase(at, 1);
    }
  }
  StoreMask(copy);
  if (!IsLoading() && (MaxLength() < MaskLength() || (Kind() == TFieldKind::Numeric && MaxLength() != MaskLength())))
    StoreMaxLength(MaskLength());
  RebuildPicture();
  BuildTextFromMask();
  bool literals = false;
  for (int i = 0; i < picture_.Length(); ++i) literals = literals || picture_.Flag(i) != mpPicture;
  if (literals) {
    SetOptionRaw(TEntryOption::TrimBlanks, false);
    SetOptionRaw(TEntryOption::RightJustify, false);
  }
}

// ---- Conversion -------------------------------------------------------------------------

void PictureBaseModel::PrepareForConversion() {
  if (stripped_ || picture_.FloatCount() == 0) return;
  stripped_ = true;
  if (picture_.Digits() != TDigitBase::Decimal) return;
  std::string text = GetText();
  const auto first = static_cast<std::size_t>(picture_.FirstEditPosition());
  const std::string left = Intl().CurrencyLeft();
  const std::string currency =
      left.substr(0, std::min<std::size_t>(static_cast<std::size_t>(picture_.DollarCount()), left.size()));
  if (!currency.empty()) {
    const auto at = text.find(currency);
    if (at != std::string::npos) {
      text.erase(at, currency.size());
      text.insert(first, currency.size(), ' ');
    }
  }
  const char separator = Intl().ThousandsChar();
  for (int i = picture_.LastPicturePosition(); i >= static_cast<int>(first); --i) {
    if (separator != 0 && text[static_cast<std::size_t>(i)] == separator) {
      text.erase(static_cast<std::size_t>(i), 1);
      text.insert(first, 1, ' ');
      ++i;  // the characters left of the removed one moved right by one
    }
  }
  SetTextRaw(text);
}

void PictureBaseModel::RemergeStripped() {
  if (!stripped_) return;
  stripped_ = false;
  MergeNumber(NumberText());
  RepaintField();
}

void PictureBaseModel::ShiftDigits() {
  if (picture_.DecimalPos() < 0) return;
  std::string text = GetText();
  AlignIntegerPart(text, picture_);
  AlignFraction(text, picture_);
  SetTextRaw(text);
}

// ---- Focus and validation ------------------------------------------------------------------

bool PictureBaseModel::Validate(bool report) {
  if (Kind() == TFieldKind::Picture && picture_.Holds('.') && Modified() && IsFocused()) ShiftDigits();
  return EntryFieldModel::Validate(report);
}

void PictureBaseModel::FocusEntered() {
  RebuildPicture();
  EntryFieldModel::FocusEntered();
}

void PictureBaseModel::FocusLeft(bool toSameForm, bool toSpecialControl) {
  if (Kind() == TFieldKind::Picture && picture_.Holds('.') && Modified() && IsFocused()) ShiftDigits();
  EntryFieldModel::FocusLeft(toSameForm, toSpecialControl);
  RemergeStripped();
}

void PictureBaseModel::WindowCreated() {
  RebuildPicture();
  EntryFieldModel::WindowCreated();
  if (picture_.Holds('.') && RealType()) StoreDecimalPlaces(0);
}

// ---- Caret --------------------------------------------------------------------------------------

void PictureBaseModel::MoveCaretToStart() {
  SetCaretRaw(picture_.FirstEditPosition());
  SetFirstVisible(0);
}

void PictureBaseModel::MoveCaretToEnd() {
  const std::string& text = GetText();
  int caret = picture_.FirstEditPosition();
  for (int i = picture_.Length() - 1; i >= 0; --i) {
    if (!picture_.IsLiteral(i) && text[static_cast<std::size_t>(i)] != ' ') {
      caret = i + 1;
      break;
    }
  }
  while (caret <= picture_.LastPicturePosition() && picture_.IsLiteral(caret)) ++caret;
  SetCaretRaw(caret);
}

void PictureBaseModel::SetCaretPos(int pos) {
  if (!IsFocused()) return;
  const int first = picture_.FirstEditPosition();
  const int last = picture_.LastPicturePosition();
  if (pos < first) {
    pos = first;
  } else if (pos <= last) {
    while (pos > first && picture_.IsLiteral(pos)) --pos;
  } else {
    pos = last + 1;
  }
  SetCaretRaw(pos);
  UpdateCaret();
}

// ---- Display and options ------------------------------------------------------------------------

bool PictureBaseModel::IsEmpty() const {
  const std::string& text = GetText();
  for (int i = 0; i < picture_.Length() && i < static_cast<int>(text.size()); ++i) {
    if (!picture_.IsLiteral(i) && text[static_cast<std::size_t>(i)] != ' ') return false;
  }
  return true;
}

std::string PictureBaseModel::GetDisplayString() const {
  std::string display = EntryFieldModel::GetDisplayString();
  if (Option(TEntryOption::Uninitialized) && !IsFocused())
    return std::string(static_cast<std::size_t>(MaxLength()), ' ');
  const bool password = Option(TEntryOption::PasswordMode);
  if (!password && PadChar() == ' ') return display;
  const std::string& text = GetText();
  const int n = std::min<int>(picture_.Length(), static_cast<int>(display.size()));
  auto pad = [&](int i) {
    if (text[static_cast<std::size_t>(i)] == ' ') {
      display[static_cast<std::size_t>(i)] = PadChar();
      return true;
    }
    return false;
  };
  if (Kind() == TFieldKind::Numeric) {
    for (int i = 0; i < n; ++i) {
      if (!picture_.IsLiteral(i) && !pad(i)) break;
    }
  } else {
    for (int i = n - 1; i >= 0; --i) {
      if (!picture_.IsLiteral(i) && !pad(i)) break;
    }
  }
  if (password) {
    for (int i = 0; i < n; ++i) {
      if (!picture_.IsLiteral(i) && text[static_cast<std::size_t>(i)] != ' ')
        display[static_cast<std::size_t>(i)] = PasswordChar();
    }
  }
  return display;
}

void PictureBaseModel::AdjustOptions() {
  EntryFieldModel::AdjustOptions();
  if (Kind() != TFieldKind::Picture || DataType() != pftString) return;
  for (int i = 0; i < picture_.Length(); ++i) {
    if (picture_.Flag(i) != mpPicture) {
      SetOptionRaw(TEntryOption::RightJustify, false);
      SetOptionRaw(TEntryOption::TrimBlanks, false);
      return;
    }
  }
}
