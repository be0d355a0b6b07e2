#include "controls/base/VirSFModel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "controls/base/StrRes.h"
#include "controls/base/VirEFIntl.h"
#include "controls/base/VirEFStep.h"
#include "controls/base/VirExcept.h"
#include "controls/base/VirStr.h"
#include "controls/base/VirUserData.h"
#include "rtl/Convert.h"
#include "rtl/Format.h"

namespace {

constexpr std::uint16_t kParameterInvalid = 34188;

struct TTypeShape {
  int maxLength;
  char mask;
};

// What setting a data type installs.
TTypeShape ShapeOf(TSimpleDataType type) {
  switch (type) {
    case sftString: return {15, 'X'};
    case sftChar: return {1, 'X'};
    case sftBoolean: return {1, 'B'};
    case sftYesNo: return {1, 'Y'};
    case sftLongInt: return {8, 'i'};
    case sftWord: return {5, '9'};
    case sftInteger: return {5, 'i'};
    case sftByte: return {3, '9'};
    case sftShortInt: return {4, 'i'};
    case sftComp: return {14, 'i'};
    default: return {14, '#'};  // the reals
  }
}

// A number in scientific notation `width` characters wide with a sign
// position: one digit, the point, the decimals that fit, "E", the exponent's
// sign and at least three digits; then trimmed, with the zeros (and a point
// left alone) before the "E" removed.
std::string ScientificText(long double value, int width) {
  const int decimals = std::max(width - 8, 0);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*Le", decimals, value);
  std::string text(buffer);
  const auto e = text.find('e');
  std::string mantissa = text.substr(0, e);
  const int exponent = std::stoi(text.substr(e + 1));
  if (mantissa.find('.') != std::string::npos) {
    while (mantissa.back() == '0') mantissa.pop_back();
    if (mantissa.back() == '.') mantissa.pop_back();
  }
  std::snprintf(buffer, sizeof buffer, "E%c%03d", exponent < 0 ? '-' : '+', std::abs(exponent));
  return mantissa + buffer;
}

}  // namespace

SimpleFieldModel::SimpleFieldModel(const EntryFieldIntl& intl) : EntryFieldModel(intl, TFieldKind::Simple) {}

TMaskContext SimpleFieldModel::MaskContext() const { return {Intl(), VirUserData()}; }

bool SimpleFieldModel::IntegerType() const { return IsIntegerDataType(DataType()) || DataType() == pftComp; }
bool SimpleFieldModel::RealType() const { return DataType() >= pftReal && DataType() <= pftSingle; }

// ---- Properties ------------------------------------------------------------------------

void SimpleFieldModel::SetDataType(int type) {
  if (type < sftString || type > sftComp) throw EVirException(GetLibraryString(kParameterInvalid));
  if (type == DataType()) return;
  const auto t = static_cast<TSimpleDataType>(type);
  AssignDataType(static_cast<TPictureDataType>(t));
  SetOptionRaw(TEntryOption::CaretToEnd, true);
  SetOptionRaw(TEntryOption::InsertPushes, true);
  const TTypeShape shape = ShapeOf(t);
  StoreMaxLength(shape.maxLength);
  StoreMask(std::string(1, shape.mask));
  StoreDecimalPlaces(0);
  // The text of another type is no value of this one.
  SetTextRaw({});
  valueLost_ = keepValue_ = false;
  if (!IsLoading()) AdjustOptions();
  RecreateWindow();
}

void SimpleFieldModel::SetPictureMask(char mask) {
  if (mask == PictureMask()) return;
  if (!IsPictureChar(mask)) throw EInvalidPictureMask(std::string(1, mask));
  SetMaskText(std::string(1, mask));
  RecreateWindow();
}

void SimpleFieldModel::Assign(const SimpleFieldModel& source) {
  using O = TEntryOption;
  SetDataType(source.DataType());
  for (O o : {O::AutoAdvanceChar, O::AutoAdvanceLeftRight, O::AutoAdvanceUpDown, O::AutoSelect, O::AutoSize,
              O::BeepOnError, O::CaretToEnd, O::ForceInsert, O::ForceOvertype, O::InputRequired, O::InsertPushes,
              O::PasswordMode, O::ReadOnly, O::SoftValidation, O::TrimBlanks, O::Uninitialized})
    SetOption(o, source.Option(o));
  SetDecimalPlaces(source.DecimalPlaces());
  SetMaxLength(source.MaxLength());
  SetPadChar(source.PadChar());
  SetPasswordChar(source.PasswordChar());
  SetPictureMask(source.PictureMask());
  SetTextMargin(source.TextMargin());
  SetZeroDisplay(source.ZeroDisplay());
  SetZeroDisplayValue(source.ZeroDisplayValue());
  if (DataType() == pftChar || NumberType()) {  // the types that have a range
    SetRangeHi(source.GetRangeHi());
    SetRangeLo(source.GetRangeLo());
  }
}

void SimpleFieldModel::WindowCreated() {
  // A window made again keeps the value (a value shown as lost stays so).
  const bool keep = keepValue_ && !valueLost_;
  const std::vector<std::uint8_t> kept = keep ? ValueCopy() : std::vector<std::uint8_t>();
  EntryFieldModel::WindowCreated();
  ResetEqualRange();
  if (keep) TransferValueIn(kept);
  keepValue_ = true;
}

// ---- Text and value -----------------------------------------------------------------------

std::optional<TFieldValue> SimpleFieldModel::ReadNumber() const {
  return ReadNumberText(GetText(), DataType(), DigitBaseOfMask(Mask()), Intl().DecimalChar());
}

TFieldValue SimpleFieldModel::ReadValue() const {
  const char first = GetText().empty() ? ' ' : GetText()[0];
  TFieldValue value;
  switch (DataType()) {
    case pftChar: value.integer = static_cast<unsigned char>(first); break;
    case pftBoolean: value.integer = UpCaseChar(first) == Intl().TrueChar(); break;
    case pftYesNo: value.integer = UpCaseChar(first) == Intl().YesChar(); break;
    default:
      if (auto number = ReadNumber()) value = *number;
      break;
  }
  return value;
}

std::string SimpleFieldModel::RealText(long double value) const {
  if (PictureMask() != 'E') {
    std::string fixed = TrimBlanks(rtl::FloatToStrFixed(value, DecimalPlaces()));
    if (fixed.find('.') != std::string::npos) {
      while (fixed.back() == '0') fixed.pop_back();
      if (fixed.back() == '.') fixed.pop_back();
    }
    if (static_cast<int>(fixed.size()) <= MaxLength()) return fixed;
  }
  const int places = DecimalPlaces();
  return ScientificText(value, places != 0 && places + 9 < MaxLength() ? places + 9 : MaxLength());
}

void SimpleFieldModel::ShowText(std::string text) {
  valueLost_ = static_cast<int>(text.size()) > MaxLength();
  if (valueLost_) text.assign(static_cast<std::size_t>(MaxLength()), '*');
  SetTextRaw(std::move(text));
}

void SimpleFieldModel::WriteValue(const TFieldValue& value) {
  const int t = DataType();
  switch (t) {
    case pftChar: ShowText(std::string(1, static_cast<char>(value.integer))); return;
    case pftBoolean: ShowText(std::string(1, value.integer ? Intl().TrueChar() : Intl().FalseChar())); return;
    case pftYesNo: ShowText(std::string(1, value.integer ? Intl().YesChar() : Intl().NoChar())); return;
    default: break;
  }
  if (IntegerType()) {
    const std::int64_t v = t == pftComp ? static_cast<std::int64_t>(value.real) : value.integer;
    ShowText(IntegerValueText(v, t, DigitBaseOfMask(Mask())));
    return;
  }
  std::string text = RealText(value.real);
  std::replace(text.begin(), text.end(), '.', Intl().DecimalChar());
  ShowText(std::move(text));
}

void SimpleFieldModel::TransferValueOut(std::span<std::uint8_t> data) {
  if (DataType() == pftString) {
    const std::string& text = GetText();
    std::fill(data.begin(), data.end(), 0);
    std::copy_n(text.begin(), std::min(text.size(), data.size() - 1), data.begin());
    return;
  }
  StoreFieldValue(DataType(), ReadValue(), data);
}

void SimpleFieldModel::TransferValueIn(std::span<const std::uint8_t> data) {
  if (DataType() == pftString) {
    const auto end = std::find(data.begin(), data.end(), 0);
    std::string text(data.begin(), end);
    if (static_cast<int>(text.size()) > MaxLength()) text.resize(static_cast<std::size_t>(MaxLength()));
    const TMaskContext context = MaskContext();
    for (std::size_t i = 0; i < text.size(); ++i)
      text[i] = ForceCase(PictureMask(), text[i], i == 0 ? ' ' : text[i - 1], context);
    SetTextRaw(std::move(text));
    valueLost_ = false;
  } else {
    WriteValue(LoadFieldValue(DataType(), data));
  }
  keepValue_ = true;
  ValueLoaded(false);
}

// ---- Display ----------------------------------------------------------------------------------

std::string SimpleFieldModel::GetDisplayString() const {
  std::string display = EntryFieldModel::GetDisplayString();
  if (display.empty()) return display;
  if (Option(TEntryOption::Uninitialized) && !IsFocused()) return std::string(display.size(), ' ');
  if (Option(TEntryOption::PasswordMode)) display.assign(display.size(), PasswordChar());
  if (PadChar() != ' ' && static_cast<int>(display.size()) < MaxLength())
    display.resize(static_cast<std::size_t>(MaxLength()), PadChar());
  return display;
}

// ---- Check --------------------------------------------------------------------------------------

std::uint16_t SimpleFieldModel::CheckText() {
  const int t = DataType();
  const bool writeBack = IsFocused() && !InValidateAndGetValue();
  const char first = GetText().empty() ? ' ' : GetText()[0];
  switch (t) {
    case pftString:
      if (writeBack && Option(TEntryOption::TrimBlanks)) {
        std::string trimmed = TrimBlanks(GetText());
        if (trimmed.size() != GetText().size()) {
          SetTextRaw(std::move(trimmed));
          RepaintField();
        }
      }
      return 0;
    case pftChar: {
      const auto c = static_cast<std::uint8_t>(first);
      if (RangeLow()[0] != RangeHigh()[0] && (c < RangeLow()[0] || c > RangeHigh()[0])) return efeOutOfRange;
      return 0;
    }
    case pftBoolean: {
      const char u = UpCaseChar(first);
      return u == Intl().TrueChar() || u == Intl().FalseChar() ? 0 : efeInvalidForType;
    }
    case pftYesNo: {
      const char u = UpCaseChar(first);
      return u == Intl().YesChar() || u == Intl().NoChar() ? 0 : efeInvalidForType;
    }
    default: break;
  }
  std::optional<TFieldValue> value = ReadNumber();
  if (!value) return efeInvalidForType;
  const bool inRange = NumberWithinLimits(DataType(), *value, RangeLow(), RangeHigh());
  if (!inRange) return efeOutOfRange;
  if (writeBack) {
    WriteValue(*value);
    RepaintField();
  }
  return 0;
}

std::uint16_t SimpleFieldModel::ValidateValue() {
  std::uint16_t code = valueLost_ ? std::uint16_t{efeOutOfRange} : CheckText();
  DoOnUserValidation(code);
  return code;
}

// ---- Stepping ----------------------------------------------------------------------------------

void SimpleFieldModel::IncreaseValueBy(bool wrap, double delta) {
  if (!IsFocused()) return;
  const int t = DataType();
  const std::string before = GetText();
  if (t == pftChar) {
    const char mask = PictureMask();
    const TMaskContext context = MaskContext();
    const char first = before.empty() ? ' ' : before[0];
    auto code = StepCharCode(
        static_cast<unsigned char>(first), RangeLow()[0], RangeHigh()[0], wrap, delta,
        [&](char c) { return ForceCase(mask, c, ' ', context) == c && CharIsOK(mask, c, false, ' ', context); });
    if (code) WriteValue({*code, 0});
  } else if (t == pftBoolean || t == pftYesNo) {
    TFieldValue value = ReadValue();
    value.integer = !value.integer;
    WriteValue(value);
  } else if (NumberType()) {
    auto value = ReadNumber();
    if (!value) return;
    if (auto stepped = StepNumber(DataType(), *value, RangeLow(), RangeHigh(), wrap, delta)) WriteValue(*stepped);
  }
  if (GetText() != before) {
    TextEdited();
    RepaintField();
  }
  PlaceCaretOnEnter();
  UpdateCaret();
}
