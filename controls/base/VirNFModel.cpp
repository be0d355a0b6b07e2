#include "controls/base/VirNFModel.h"

#include <algorithm>
#include <vector>

#include "controls/base/StrRes.h"
#include "controls/base/VirEFIntl.h"
#include "controls/base/VirEFStep.h"
#include "controls/base/VirExcept.h"
#include "controls/base/VirStr.h"
#include "rtl/Format.h"

namespace {

constexpr std::uint16_t kParameterInvalid = 34188;

bool SelectsAll(std::uint16_t command) { return ExtendsSelection(command) || command == efc::DoubleClick; }

}  // namespace

NumericFieldModel::NumericFieldModel(const EntryFieldIntl& intl)
    : EntryFieldModel(intl, TFieldKind::Numeric), PictureBaseModel(intl, TFieldKind::Numeric) {
  AssignDataType(pftLongInt);
  pictureMask_ = std::string(10, '#');
  SetMaskText(pictureMask_);
}

std::string NumericFieldModel::DefaultMask(TNumericDataType type) {
  switch (type) {
    case nftLongInt:
    case nftComp: return std::string(10, 'i');
    case nftWord: return "99999";
    case nftInteger: return std::string(6, 'i');
    case nftByte: return "999";
    case nftShortInt: return "iiii";
    default: return std::string(10, '#');
  }
}

// ---- Properties ----------------------------------------------------------------------------

void NumericFieldModel::SetDataType(int type) {
  if (type < nftLongInt || type > nftComp) throw EVirException(GetLibraryString(kParameterInvalid));
  if (type == NumericDataType()) return;
  AssignDataType(static_cast<TPictureDataType>(pftLongInt + type));
  StoreDecimalPlaces(0);
  pictureMask_ = DefaultMask(static_cast<TNumericDataType>(type));
  SetMaskText(pictureMask_);
  keepValue_ = false;
  if (!IsLoading()) AdjustOptions();
  RecreateWindow();
}

void NumericFieldModel::SetPictureMask(std::string_view mask) {
  if (mask.empty() || mask == pictureMask_) return;
  pictureMask_ = std::string(mask);
  SetMaskText(mask);
  RecreateWindow();
}

void NumericFieldModel::SetMaskText(std::string_view mask) {
  PictureBaseModel::SetMaskText(mask);
  // 'p' and 'g' are shown around the text, not held in it.
  const int shown = (Mask().find('p') != std::string::npos ? 1 : 0) + (Mask().find('g') != std::string::npos ? 1 : 0);
  StoreMaxLength(std::max(MaskLength() - shown, 1));
  RebuildPicture();
  BuildTextFromMask();
  buffer_.clear();
  negative_ = false;
  CountPositions();
}

void NumericFieldModel::CountPositions() {
  const TPictureMask& p = Picture();
  const int dot = p.DecimalPos();
  const int end = dot >= 0 ? dot : p.Length();
  integers_ = 0;
  for (int i = 0; i < end; ++i) integers_ += p.Flag(i) == mpPicture ? 1 : 0;
  decimals_ = 0;
  if (dot >= 0) {
    for (int i = dot + 1; i < p.Length(); ++i) decimals_ += p.Flag(i) == mpPicture ? 1 : 0;
  } else {
    decimals_ = DecimalPlaces();
  }
  total_ = decimals_ > 0 ? integers_ + decimals_ + 1 : integers_;
}

void NumericFieldModel::Assign(const NumericFieldModel& source) {
  using O = TEntryOption;
  SetDataType(source.NumericDataType());
  SetPictureMask(source.PictureMask());
  for (O o : {O::AutoAdvanceChar, O::AutoAdvanceLeftRight, O::AutoAdvanceUpDown, O::AutoSelect, O::AutoSize,
              O::BeepOnError, O::CaretToEnd, O::InputRequired, O::ReadOnly, O::SoftValidation, O::Uninitialized})
    SetOption(o, source.Option(o));
  SetPadChar(source.PadChar());
  SetRangeHi(source.GetRangeHi());
  SetRangeLo(source.GetRangeLo());
  SetTextMargin(source.TextMargin());
  SetZeroDisplay(source.ZeroDisplay());
  SetZeroDisplayValue(source.ZeroDisplayValue());
}

// ---- Window, focus and caret ---------------------------------------------------------------------

void NumericFieldModel::WindowCreated() {
  // A window made again keeps the value (a value shown as lost stays so).
  const bool keep = keepValue_ && !ValueLost();
  const std::vector<std::uint8_t> kept = keep ? ValueCopy() : std::vector<std::uint8_t>();
  PictureBaseModel::WindowCreated();
  buffer_.clear();
  negative_ = false;
  CountPositions();
  ResetEqualRange();
  if (keep) TransferValueIn(kept);
  keepValue_ = true;
}

void NumericFieldModel::MoveCaretToEnd() {
  SetCaretRaw(Picture().LastPicturePosition() + 1);
  SetFirstVisible(0);
}

void NumericFieldModel::FocusEntered() {
  PictureBaseModel::FocusEntered();
  ReloadBuffer();
  MoveCaretToEnd();
  UpdateCaret();
}

void NumericFieldModel::FocusLeft(bool toSameForm, bool toSpecialControl) {
  PictureBaseModel::FocusLeft(toSameForm, toSpecialControl);
  // The typing goes on when the user comes back from another program.
  if (toSameForm) {
    buffer_.clear();
    negative_ = false;
  }
}

// ---- Digit buffer and text ----------------------------------------------------------------------

void NumericFieldModel::ReloadBuffer() {
  buffer_.clear();
  negative_ = false;
  if (ValueLost()) return;  // '*' holds no digits
  std::string number = NumberText();
  if (!number.empty() && number.front() == '-') {
    negative_ = true;
    number.erase(0, 1);
  }
  if (number == "0") number.clear();
  buffer_ = number;
}

void NumericFieldModel::RebuildText() {
  std::string number = buffer_.empty() ? "0" : buffer_;
  if (number.front() == '.') number.insert(0, 1, '0');
  if (negative_) number.insert(0, 1, '-');
  MergeNumber(number);
  if (Picture().DecimalPos() < 0 || ValueLost()) return;
  // Decimals not typed yet stay hidden: the text moves right by as many positions.
  const auto dot = buffer_.find('.');
  const int typed = dot == std::string::npos ? 0 : static_cast<int>(buffer_.size() - dot - 1);
  const int hidden = std::clamp(dot == std::string::npos ? decimals_ + 1 : decimals_ - typed, 0, MaxLength());
  std::string text = GetText();
  text.erase(text.size() - static_cast<std::size_t>(hidden));
  text.insert(0, static_cast<std::size_t>(hidden), ' ');
  SetTextRaw(std::move(text));
}

void NumericFieldModel::ClearValue() {
  buffer_.clear();
  negative_ = false;
  SetSelectionRaw(CaretPos(), CaretPos());
}

int NumericFieldModel::DigitsInUse() const {
  const auto dot = buffer_.find('.');
  return (negative_ ? 1 : 0) + static_cast<int>(dot == std::string::npos ? buffer_.size() : dot);
}

bool NumericFieldModel::BufferTakes(char c) {
  if (c == ' ') return false;
  if (c == '.') {
    if (Picture().DecimalPos() < 0 || DotTyped()) return false;
    buffer_ += c;
    return true;
  }
  if (c == '-') {
    if (negative_) {
      negative_ = false;
      return true;
    }
    // The sign takes an integer position.
    if (DigitsInUse() >= integers_ || static_cast<int>(buffer_.size()) >= total_) return false;
    negative_ = true;
    return true;
  }
  if (SignAndLength() >= total_) {
    if (total_ != 1) return false;
    buffer_ = std::string(1, c);  // a one-position field takes the new digit
    return true;
  }
  if (c == '0' && buffer_.empty()) return true;  // shown, not kept: the next digit replaces it
  const auto dot = buffer_.find('.');
  if (decimals_ > 0 && dot == std::string::npos && DigitsInUse() >= integers_) return false;
  // No more decimals than the mask shows: an extra one would not show.
  if (dot != std::string::npos && static_cast<int>(buffer_.size() - dot - 1) >= decimals_) return false;
  buffer_ += c;
  return true;
}

bool NumericFieldModel::TakeChar(char c) {
  const char decimal = Intl().DecimalChar();
  if (c == '.' && decimal != '.') return false;
  if (c == decimal) c = '.';
  const TPictureMask& p = Picture();
  if (!CharIsOK(p.RulingChar(p.LastPicturePosition()), c, true, ' ', MaskContext())) return false;
  return BufferTakes(c);
}

// A typed character; true when it was taken.
bool NumericFieldModel::TypeChar(char c) {
  if (!CharacterAllowed()) return false;
  SetCharacterFlags(false, false);
  if (SelectionLength() > 0 && static_cast<unsigned char>(c) >= 32) ClearValue();
  if (SignAndLength() > total_) {
    if (!Advance(1, ccChar)) ErrorReaction();
    return false;
  }
  if (!TakeChar(c)) {
    ErrorReaction();
    return false;
  }
  if (c != '-' && SignAndLength() == total_) Advance(1, ccChar);
  return true;
}

// Pasted characters as typed ones, "(12)" read as -12 under a 'p' mask; a
// selection is replaced, as typing replaces it. Blanks and line ends around
// the number are left out. The paste is taken whole or not at all: a
// character the field refuses, or more than it holds, refuses it with the
// error reaction, and the value stays as it was.
bool NumericFieldModel::PasteText(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  text = first == std::string_view::npos ? std::string_view{} : text.substr(first);
  text = text.substr(0, text.find_last_not_of(" \t\r\n") + 1);
  const std::string keptBuffer = buffer_;
  const bool keptNegative = negative_;
  if (SelectionLength() > 0) ClearValue();
  const bool parentheses = Mask().find('p') != std::string::npos && text.find(')') != std::string_view::npos;
  bool taken = true;
  for (char c : text) {
    if (parentheses && (c == '(' || c == ')')) {
      if (c == ')') continue;
      c = '-';
    }
    if (c == '-' && negative_) continue;
    if (SignAndLength() > total_ || !TakeChar(c)) {
      taken = false;
      break;
    }
  }
  if (taken) return !text.empty();
  buffer_ = keptBuffer;
  negative_ = keptNegative;
  ErrorReaction();
  return false;
}

// ---- Editing commands ----------------------------------------------------------------------------

void NumericFieldModel::ExecuteEditCommand(TEditMsg& msg, std::uint16_t command) {
  if (command == ccNotCommand) {
    ArmCharacter();
    return;
  }
  const std::string startBuffer = buffer_;
  const bool startNegative = negative_;
  const int startSelStart = SelStart(), startSelEnd = SelEnd();
  SetCharacterFlags(false, CharacterAllowed());
  const bool selection = SelectionLength() > 0;
  bool taken = false;
  bool edit = true;  // stepping and restoring write the text themselves
  switch (command) {
    case ccChar: taken = TypeChar(TypedByte(msg.ch)); break;
    case ccBack:
    case ccDel:
      if (selection) {
        ClearValue();
      } else if (!buffer_.empty()) {
        buffer_.pop_back();
        if (buffer_ == "0") buffer_.clear();
      } else {
        negative_ = false;
      }
      break;
    case ccCut:
    case ccDelWord:
      if (selection) ClearValue();
      break;
    case ccDelLine: ClearValue(); break;
    case ccUp:
    case ccDown:
      switch (ArrowUpDown(command)) {
        case TArrowAction::None: Advance(command == ccUp ? -1 : 1, command); break;
        case TArrowAction::Stepped: edit = false; break;
        default: break;
      }
      break;
    case ccLeft:
    case ccWordLeft: Advance(-1, command); break;
    case ccRight:
    case ccWordRight: Advance(1, command); break;
    case ccPaste: taken = PasteText(msg.text); break;
    case ccIns: SetInsertMode(!InsertMode()); break;
    case ccRestore:
      Restore();
      ReloadBuffer();
      edit = false;
      break;
    case ccInc:
    case ccDec:
      command == ccInc ? IncreaseValue(true, 1) : DecreaseValue(true, 1);
      edit = false;
      break;
    case efc::MouseDown: SetSelectionRaw(CaretPos(), CaretPos()); break;
    case ccHome:
    case ccEnd:
    case ccCopy:
    case ccCtrlChar:
    case ccBadSequence:
    case ccPartialSequence: break;
    default:
      if (!SelectsAll(command)) {
        SetCharacterFlags(true, CharacterAllowed());
        return;  // not processed: left to the base
      }
      break;
  }
  SetCharacterFlags(false, false);
  if (SelectsAll(command))
    SetSelectionRaw(0, static_cast<int>(GetText().size()));
  else if (command != ccRestore && command != efc::MouseDown)
    SetSelectionRaw(CaretPos(), CaretPos());
  const bool changed = edit && (taken || buffer_ != startBuffer || negative_ != startNegative);
  if (changed) {
    RebuildText();
    TextEdited();
  }
  MoveCaretToEnd();
  UpdateCaret();
  if (changed || SelStart() != startSelStart || SelEnd() != startSelEnd) RepaintField();
}

// ---- Display -----------------------------------------------------------------------------------------

std::string NumericFieldModel::GetDisplayString() const {
  std::string display = PictureBaseModel::GetDisplayString();
  if (Option(TEntryOption::Uninitialized) && !IsFocused()) return display;
  const std::string& text = GetText();
  const auto minus = std::min(text.find('-'), display.size());
  const bool negative = minus < display.size();
  auto put = [&display](std::size_t pos, char c) {
    if (display.size() <= pos) display.resize(pos + 1, ' ');
    display[pos] = c;
  };
  // 'p': a negative amount between parentheses.
  if (const auto p = Mask().find('p'); p != std::string::npos) {
    if (negative) display[minus] = '(';
    put(p, negative ? ')' : ' ');
  }
  // 'g': the sign at its own position, the digits keeping their columns.
  if (const auto g = Mask().find('g'); g != std::string::npos) {
    if (negative) {
      int first = 0;
      while (first < Picture().Length() && Picture().IsLiteral(first)) ++first;
      display.erase(minus, 1);
      display.insert(std::min(static_cast<std::size_t>(first), display.size()), 1, ' ');
    }
    put(g, negative ? '-' : ' ');
  }
  return TrimBlanks(display);
}

// ---- Values ----------------------------------------------------------------------------------------------

std::optional<TFieldValue> NumericFieldModel::ReadNumber() const {
  return ReadNumberText(NumberText(), DataType(), Picture().Digits(), '.');
}

void NumericFieldModel::WriteNumber(const TFieldValue& value) {
  const TPictureDataType t = DataType();
  std::string text;
  if (IsIntegerDataType(t) || t == pftComp) {
    text =
        IntegerValueText(t == pftComp ? static_cast<std::int64_t>(value.real) : value.integer, t, Picture().Digits());
  } else {
    text = TrimBlanks(rtl::FloatToStrFixed(value.real, decimals_));
    if (DecimalPlaces() != 0 && text.find('.') != std::string::npos) {
      while (text.back() == '0') text.pop_back();
      if (text.back() == '.') text.pop_back();
    }
  }
  MergeNumber(text);
  if (IsFocused()) ReloadBuffer();
}

void NumericFieldModel::TransferValueOut(std::span<std::uint8_t> data) {
  StoreFieldValue(DataType(), ReadNumber().value_or(TFieldValue{}), data);
}

void NumericFieldModel::TransferValueIn(std::span<const std::uint8_t> data) {
  WriteNumber(LoadFieldValue(DataType(), data));
  keepValue_ = true;
  ValueLoaded(false);
}

std::uint16_t NumericFieldModel::ValidateValue() {
  std::uint16_t code = 0;
  if (ValueLost()) {
    code = efeOutOfRange;
  } else if (auto value = ReadNumber(); !value) {
    code = efeInvalidForType;
  } else if (!NumberWithinLimits(DataType(), *value, RangeLow(), RangeHigh())) {
    code = efeOutOfRange;
  } else if (IsFocused() && !InValidateAndGetValue()) {
    WriteNumber(*value);  // written again in the mask's layout
    RepaintField();
  }
  DoOnUserValidation(code);
  return code;
}

void NumericFieldModel::IncreaseValueBy(bool wrap, double delta) {
  if (!IsFocused()) return;
  auto value = ReadNumber();
  if (!value) return;
  auto stepped = StepNumber(DataType(), *value, RangeLow(), RangeHigh(), wrap, delta);
  if (!stepped) return;
  const std::string before = GetText();
  WriteNumber(*stepped);
  if (GetText() != before) {
    TextEdited();
    RepaintField();
  }
  UpdateCaret();
}
