#include "controls/base/VirPFModel.h"

#include <algorithm>
#include <cmath>

#include "controls/base/StrRes.h"
#include "controls/base/VirEFIntl.h"
#include "controls/base/VirEFStep.h"
#include "controls/base/VirExcept.h"
#include "controls/base/VirStr.h"
#include "rtl/Convert.h"
#include "rtl/Format.h"

namespace {

constexpr std::uint16_t kParameterInvalid = 34188;
constexpr TStDate kLastDay = 876581;  // 3999-12-31
constexpr TStTime kLastSecond = 86399;
constexpr TStDate kPlatformZeroDate = 109571;  // 1899-12-30, the platform's date-time 0

std::string Trimmed(std::string_view t) { return TrimBlanks(t); }

}  // namespace

PictureFieldModel::PictureFieldModel(const EntryFieldIntl& intl)
    : EntryFieldModel(intl, TFieldKind::Picture), PictureBaseModel(intl, TFieldKind::Picture) {}

std::string PictureFieldModel::DefaultMask(TPictureDataType type, const EntryFieldIntl& intl) {
  switch (type) {
    case pftString: return std::string(15, 'X');
    case pftChar: return "X";
    case pftBoolean: return "B";
    case pftYesNo: return "Y";
    case pftLongInt:
    case pftComp: return std::string(10, 'i');
    case pftWord: return "99999";
    case pftInteger: return std::string(6, 'i');
    case pftByte: return "999";
    case pftShortInt: return "iiii";
    case pftReal:
    case pftExtended:
    case pftDouble:
    case pftSingle: return std::string(10, '#');
    case pftDate: return intl.RangeDateMask();
    case pftTime: return intl.RangeTimeMask();
  }
  return "X";
}

// ---- Properties ------------------------------------------------------------------------

void PictureFieldModel::SetDataType(int type) {
  if (type < 0 || type >= kDataTypeCount) throw EVirException(GetLibraryString(kParameterInvalid));
  if (type == DataType()) return;
  const auto t = static_cast<TPictureDataType>(type);
  AssignDataType(t);
  SetOptionRaw(TEntryOption::CaretToEnd, true);
  SetOptionRaw(TEntryOption::InsertPushes, true);
  pictureMask_ = DefaultMask(t, Intl());
  StoreMask(pictureMask_);
  StoreMaxLength(MaskLength());
  StoreDecimalPlaces(0);
  RebuildPicture();
  BuildTextFromMask();
  if (!IsLoading()) AdjustOptions();
  keepValue_ = false;
  RecreateWindow();
}

void PictureFieldModel::SetPictureMask(std::string_view mask) {
  if (mask.empty() || mask == pictureMask_) return;
  pictureMask_ = std::string(mask);
  SetMaskText(mask);
  RecreateWindow();
}

void PictureFieldModel::SetInitDateTime(bool on) {
  initDateTime_ = on;
  if (IsLoading()) return;
  const int t = DataType();
  if (t != pftDate && t != pftTime) return;
  if (!on) {
    BuildTextFromMask();
    RepaintField();
    return;
  }
  TValue value;
  value.integer = t == pftDate ? Clock.today() : Clock.now();
  SetValue(ValueBytes(value));
}

void PictureFieldModel::SetValueText(std::string_view text) {
  const int t = DataType();
  if (t != pftDate && t != pftTime) {
    EntryFieldModel::SetValueText(text);
    return;
  }
  TValue value;
  value.integer = -1;
  if (static_cast<int>(text.size()) == MaskLength()) {
    auto read = t == pftDate ? Intl().TextToDate(Mask(), text, EffectiveEpoch()) : Intl().TextToTime(Mask(), text);
    if (read) value.integer = *read;
  }
  SetValue(ValueBytes(value));
}

void PictureFieldModel::Assign(const PictureFieldModel& source) {
  using O = TEntryOption;
  SetDataType(source.DataType());
  for (O o : {O::AutoAdvanceChar, O::AutoAdvanceLeftRight, O::AutoAdvanceUpDown, O::AutoSelect, O::BeepOnError,
              O::CaretToEnd, O::ForceInsert, O::ForceOvertype, O::InputRequired, O::InsertPushes, O::PasswordMode,
              O::ReadOnly, O::RightJustify, O::SoftValidation, O::StripLiterals, O::TrimBlanks, O::Uninitialized})
    SetOption(o, source.Option(o));
  SetDecimalPlaces(source.DecimalPlaces());
  SetEpoch(source.Epoch());
  SetMaxLength(source.MaxLength());
  SetPadChar(source.PadChar());
  SetPasswordChar(source.PasswordChar());
  SetTextMargin(source.TextMargin());
  SetZeroDisplay(source.ZeroDisplay());
  SetZeroDisplayValue(source.ZeroDisplayValue());
  SetPictureMask(source.PictureMask());
  SetRangeHi(source.GetRangeHi());
  SetRangeLo(source.GetRangeLo());
}

// ---- Window creation and focus ---------------------------------------------------------------

void PictureFieldModel::WindowCreated() {
  // Loading today (or now) below marks the value as kept: decide before.
  const bool keep = keepValue_;
  std::vector<std::uint8_t> kept;
  if (keep) {
    kept.resize(std::max<std::size_t>(GetDataSize(), 1));
    TransferValueOut(kept);
  }
  PictureBaseModel::WindowCreated();
  BuildTextFromMask();
  const auto t = DataType();
  if (t == pftString) {
    SetRangeLow(DefaultRangeLow(t));
    SetRangeHigh(DefaultRangeHigh(t));
  }
  ResetEqualRange();
  if (!keep && initDateTime_ && (t == pftDate || t == pftTime)) {
    TValue now;
    now.integer = t == pftDate ? Clock.today() : Clock.now();
    TransferValueIn(ValueBytes(now));
  }
  if (keep) TransferValueIn(kept);
  keepValue_ = true;
}

void PictureFieldModel::FocusEntered() {
  PictureBaseModel::FocusEntered();
  movingEnd_ = SelEnd();
}

// ---- Values and their bytes -------------------------------------------------------------------

std::optional<PictureFieldModel::TValue> PictureFieldModel::ReadText() const {
  const int t = DataType();
  TValue value;
  if (t == pftChar || t == pftBoolean || t == pftYesNo) {
    const std::string stripped = StrippedText();
    const char first = stripped.empty() ? ' ' : stripped[0];
    if (t == pftChar)
      value.integer = static_cast<unsigned char>(first);
    else
      value.integer = UpCaseChar(first) == (t == pftBoolean ? Intl().TrueChar() : Intl().YesChar());
    return value;
  }
  if (IsIntegerDataType(t)) {
    auto v = ReadIntegerValue(NumberText(), t, Picture().Digits());
    if (!v) return std::nullopt;
    value.integer = *v;
    return value;
  }
  if (IsRealDataType(t)) {
    const std::string text = NumberText();
    auto v = rtl::TryStrToExtended(RepairRealText(text.empty() ? std::string_view("0") : text, Intl().DecimalChar()));
    if (!v) return std::nullopt;
    value.real = *v;
    return value;
  }
  if (t == pftDate || t == pftTime) {
    if (IsEmpty()) return TValue{-1, 0};  // a blank text is no date, not the current month
    auto v =
        t == pftDate ? Intl().TextToDate(Mask(), GetText(), EffectiveEpoch()) : Intl().TextToTime(Mask(), GetText());
    if (!v) return std::nullopt;
    value.integer = *v;
    return value;
  }
  return std::nullopt;
}

std::string PictureFieldModel::DateText(TStDate date) const {
  if (date >= 0 && Mask().find("yyyy") == std::string::npos) {
    int day = 0, month = 0, year = 0;
    DateToDMY(date, day, month, year);
    const int epoch = EffectiveEpoch();
    if (year < epoch || year > epoch + 99) {
      if (date != 0 && date != kPlatformZeroDate) throw EInvalidDateForMask();
      date = BadDate;
    }
  }
  return Intl().DateToText(Mask(), date);
}

void PictureFieldModel::WriteValue(const TValue& value) {
  const int t = DataType();
  switch (t) {
    case pftChar: MergeText(std::string(1, static_cast<char>(value.integer))); return;
    case pftBoolean: MergeText(std::string(1, value.integer ? Intl().TrueChar() : Intl().FalseChar())); return;
    case pftYesNo: MergeText(std::string(1, value.integer ? Intl().YesChar() : Intl().NoChar())); return;
    case pftDate: SetTextRaw(DateText(static_cast<TStDate>(value.integer))); break;
    case pftTime: SetTextRaw(Intl().TimeToText(Mask(), static_cast<TStTime>(value.integer))); break;
    default:
      if (IsIntegerDataType(t)) {
        MergeNumber(IntegerValueText(value.integer, t, Picture().Digits()));
        return;
      }
      if (IsRealDataType(t)) {
        const int dot = Picture().DecimalPos();
        int decimals = DecimalPlaces();
        if (dot >= 0) {
          decimals = 0;
          for (int i = dot + 1; i < Picture().Length() && !Picture().IsLiteral(i); ++i) ++decimals;
        }
        std::string text = rtl::FloatToStrFixed(value.real, decimals);
        if (DecimalPlaces() != 0 && text.find('.') != std::string::npos) {
          while (text.back() == '0') text.pop_back();
          if (text.back() == '.') text.pop_back();
        }
        MergeNumber(Trimmed(text));
      }
      return;
  }
  ClearValueLost();
  RebuildPicture();
}

// ---- Transfer -----------------------------------------------------------------------------------

void PictureFieldModel::TransferValueOut(std::span<std::uint8_t> data) {
  if (DataType() == pftString) {
    std::string value;
    if (!(Option(TEntryOption::TrimBlanks) && IsEmpty())) {
      if (Option(TEntryOption::StripLiterals)) {
        for (int i = 0; i < Picture().Length(); ++i) {
          if (!Picture().IsLiteral(i)) value += GetText()[static_cast<std::size_t>(i)];
        }
      } else {
        value = GetText();
      }
      if (Option(TEntryOption::TrimBlanks)) value = Trimmed(value);
    }
    std::fill(data.begin(), data.end(), 0);
    std::copy_n(value.begin(), std::min(value.size(), data.size() - 1), data.begin());
    return;
  }
  TValue value;
  if (DataType() == pftDate || DataType() == pftTime) value.integer = -1;
  if (auto read = ReadText()) value = *read;
  const std::vector<std::uint8_t> bytes = ValueBytes(value);
  std::copy_n(bytes.begin(), std::min(bytes.size(), data.size()), data.begin());
  RemergeStripped();
}

void PictureFieldModel::TransferValueIn(std::span<const std::uint8_t> data) {
  if (DataType() == pftString) {
    const auto end = std::find(data.begin(), data.end(), 0);
    const std::string value(data.begin(), end);
    if (static_cast<int>(value.size()) == MaxLength()) {
      SetTextRaw(value);
      ClearValueLost();
    } else {
      MergeText(value);
    }
  } else {
    WriteValue(LoadFieldValue(DataType(), data));
  }
  ClearStrippedMark();
  // A value loaded before the window exists survives its creation.
  keepValue_ = true;
  ValueLoaded(false);
}

// ---- Check --------------------------------------------------------------------------------------

std::uint16_t PictureFieldModel::CheckText() {
  const int t = DataType();
  const bool writeBack = IsFocused() && !InValidateAndGetValue();
  if (t == pftString) {
    if (writeBack && Option(TEntryOption::TrimBlanks)) {
      const std::size_t before = Trimmed(GetText()).size();
      MergeText(Trimmed(GetText()));
      if (Trimmed(GetText()).size() != before) RepaintField();
    }
    return 0;
  }
  const std::string stripped = StrippedText();
  const char first = UpCaseChar(stripped.empty() ? ' ' : stripped[0]);
  std::optional<TValue> value = ReadText();
  std::uint16_t code = 0;
  switch (t) {
    case pftChar: {
      const auto c = static_cast<std::uint8_t>(stripped.empty() ? 0 : stripped[0]);
      if (RangeLow()[0] != RangeHigh()[0] && (c < RangeLow()[0] || c > RangeHigh()[0])) code = efeOutOfRange;
      break;
    }
    case pftBoolean:
      if (first != Intl().TrueChar() && first != Intl().FalseChar()) code = efeOutOfRange;
      break;
    case pftYesNo:
      if (first != Intl().YesChar() && first != Intl().NoChar()) code = efeOutOfRange;
      break;
    case pftDate:
    case pftTime: {
      if (IsEmpty()) {
        value = TValue{-1, 0};
        break;
      }
      if (!value) return t == pftDate ? efeInvalidDate : efeInvalidTime;
      const auto hi = LoadLE<std::int32_t>(std::span<const std::uint8_t, 10>(RangeHigh()).first<4>());
      const auto lo = LoadLE<std::int32_t>(std::span<const std::uint8_t, 10>(RangeLow()).first<4>());
      if (hi != 0 && (value->integer < lo || value->integer > hi)) code = efeOutOfRange;
      break;
    }
    default:
      if (!value) return efeInvalidForType;
      if (IsIntegerDataType(t)) {
        if (value->integer < IntegerOfLimit(RangeLow(), t) || value->integer > IntegerOfLimit(RangeHigh(), t))
          code = efeOutOfRange;
      } else if (value->real < RealOfLimit(RangeLow(), t) || value->real > RealOfLimit(RangeHigh(), t)) {
        code = efeOutOfRange;
      }
      break;
  }
  if (code == 0 && writeBack && value) {
    WriteValue(*value);
    ClearStrippedMark();
    RepaintField();
  }
  return code;
}

std::uint16_t PictureFieldModel::ValidateValue() {
  std::uint16_t code = ValueLost() ? std::uint16_t{efeOutOfRange} : CheckText();
  RemergeStripped();
  DoOnUserValidation(code);
  return code;
}

// ---- Stepping -----------------------------------------------------------------------------------

void PictureFieldModel::IncreaseValueBy(bool wrap, double delta) {
  if (!IsFocused()) return;
  const std::string before = GetText();
  switch (DataType()) {
    case pftString: return;
    case pftChar: StepChar(wrap, delta); break;
    case pftBoolean:
    case pftYesNo: {
      auto value = ReadText();
      value->integer = !value->integer;
      WriteValue(*value);
      break;
    }
    case pftDate: StepDate(wrap, delta); break;
    case pftTime: StepTime(wrap, delta); break;
    default:
      if (IsIntegerDataType(DataType()))
        StepInteger(wrap, delta);
      else
        StepReal(wrap, delta);
      break;
  }
  if (GetText() != before) {
    PrepareForConversion();
    TextEdited();
    RepaintField();
  }
  UpdateCaret();
}

void PictureFieldModel::StepChar(bool wrap, double delta) {
  const std::string stripped = StrippedText();
  const int code = static_cast<unsigned char>(stripped.empty() ? ' ' : stripped[0]);
  const char pictureChar = Picture().At(Picture().FirstEditPosition());
  const TMaskContext context = MaskContext();
  auto stepped = StepCharCode(code, RangeLow()[0], RangeHigh()[0], wrap, delta, [&](char c) {
    return ForceCase(pictureChar, c, ' ', context) == c && CharIsOK(pictureChar, c, false, ' ', context);
  });
  if (!stepped) return;
  TValue value;
  value.integer = *stepped;
  WriteValue(value);
}

void PictureFieldModel::StepInteger(bool wrap, double delta) {
  const int t = DataType();
  auto value = ReadText();
  if (!value) return;
  auto stepped =
      ::StepInteger(value->integer, IntegerOfLimit(RangeLow(), t), IntegerOfLimit(RangeHigh(), t), wrap, delta);
  if (!stepped) return;
  value->integer = *stepped;
  WriteValue(*value);
}

void PictureFieldModel::StepReal(bool wrap, double delta) {
  const int t = DataType();
  auto value = ReadText();
  if (!value) return;
  auto stepped = ::StepReal(value->real, RealOfLimit(RangeLow(), t), RealOfLimit(RangeHigh(), t), wrap, delta);
  if (!stepped) return;
  value->real = InTypeWidth(DataType(), *stepped);
  WriteValue(*value);
}

char PictureFieldModel::UnitAtCaret() const {
  int pos = std::min(CaretPos(), Picture().Length() - 1);
  if (pos > 0 && (CaretPos() >= Picture().Length() || Picture().IsLiteral(pos))) --pos;
  return Picture().At(pos);
}

void PictureFieldModel::StepDate(bool wrap, double delta) {
  auto value = ReadText();
  if (!value || value->integer < 0) return;
  const char unit = UnitAtCaret();
  const bool days = unit == 'D' || unit == 'd';
  const bool months = unit == 'M' || unit == 'm' || unit == 'N' || unit == 'n';
  const bool years = unit == 'y';
  if (!days && !months && !years) return;
  const auto step = static_cast<int>(std::trunc(delta));
  const auto date = static_cast<TStDate>(value->integer);
  auto hi32 = LoadLE<std::int32_t>(std::span<const std::uint8_t, 10>(RangeHigh()).first<4>());
  auto lo32 = LoadLE<std::int32_t>(std::span<const std::uint8_t, 10>(RangeLow()).first<4>());
  const TStDate lo = hi32 == 0 ? 0 : lo32, hi = hi32 == 0 ? kLastDay : hi32;
  TStDate result = days ? date + step : months ? DateIncMonths(date, step, 0) : DateIncMonths(date, 0, step);
  int day = 0, month = 0, year = 0;
  DateToDMY(date, day, month, year);
  // The date's own day (and month, for a year step) in the limit's month and
  // year, the day lowered until the date is valid.
  auto within = [&](TStDate limit) {
    int ld = 0, lm = 0, ly = 0;
    DateToDMY(limit, ld, lm, ly);
    const int m = months ? lm : month;
    int d = day;
    while (d > 1 && !DateIsValid(d, m, ly, 0)) --d;
    return DateFromDMY(d, m, ly, 0);
  };
  if (result == BadDate || result < lo) {
    if (!wrap) return;
    if (days) {
      result = hi;
    } else {
      result = within(hi);
      while (result != BadDate && result > hi)
        result = months ? DateIncMonths(result, -1, 0) : DateIncMonths(result, 0, -1);
    }
  } else if (result > hi) {
    if (!wrap) return;
    if (days) {
      result = lo;
    } else {
      result = within(lo);
      while (result != BadDate && result < lo)
        result = months ? DateIncMonths(result, 1, 0) : DateIncMonths(result, 0, 1);
    }
  }
  if (result == BadDate) return;
  value->integer = result;
  WriteValue(*value);
}

void PictureFieldModel::StepTime(bool wrap, double delta) {
  auto value = ReadText();
  if (!value || value->integer < 0) return;
  const char unit = UnitAtCaret();
  int h = 0, m = 0, s = 0;
  const int amount = static_cast<int>(std::fabs(std::trunc(delta)));
  switch (unit) {
    case 'H':
    case 'h': h = amount; break;
    case 'M':
    case 'm': m = amount; break;
    case 'S':
    case 's': s = amount; break;
    case 't': h = 12 * amount; break;
    default: return;
  }
  const auto time = static_cast<TStTime>(value->integer);
  auto hi32 = LoadLE<std::int32_t>(std::span<const std::uint8_t, 10>(RangeHigh()).first<4>());
  auto lo32 = LoadLE<std::int32_t>(std::span<const std::uint8_t, 10>(RangeLow()).first<4>());
  const TStTime lo = hi32 == 0 ? 0 : lo32, hi = hi32 == 0 ? kLastSecond : hi32;
  TStTime result = 0;
  if (delta < 0) {
    result = TimeDecHMS(time, h, m, s);
    if ((result > time || result < lo) && !wrap) return;
  } else {
    result = TimeIncHMS(time, h, m, s);
    if ((result < time || result > hi) && !wrap) return;
  }
  value->integer = result;
  WriteValue(*value);
}
