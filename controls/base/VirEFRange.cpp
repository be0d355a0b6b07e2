#include "controls/base/VirEFRange.h"

#include <cmath>
#include <span>

#include "controls/base/VirEFIntl.h"
#include "controls/base/VirStr.h"
#include "rtl/Convert.h"
#include "rtl/Format.h"

namespace {

constexpr std::int32_t kLastDay = 876581;  // 3999-12-31
constexpr std::int32_t kLastSecond = 86399;

// The bounds the real types accept (their fixed range texts).
long double RealTypeBound(int dataType) {
  switch (dataType) {
    case pftReal: return 1.7e38L;
    case pftExtended: return 1.1e4932L;
    case pftDouble: return 1.7e308L;
    case pftSingle: return 3.4e38L;
    default:  // pftComp
      return 9.2e18L;
  }
}

int IntegerTypeSize(int dataType) { return DataSizeOf(static_cast<std::uint8_t>(dataType), 0, false, {}); }

std::string_view Trim(std::string_view t) {
  while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
  while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
  return t;
}

template <std::size_t N>
std::span<std::uint8_t, N> First(TRangeLimit& limit) {
  return std::span<std::uint8_t, 10>(limit).first<N>();
}
template <std::size_t N>
std::span<const std::uint8_t, N> First(const TRangeLimit& limit) {
  return std::span<const std::uint8_t, 10>(limit).first<N>();
}

int BitsPerDigit(TDigitBase base) {
  switch (base) {
    case TDigitBase::Hex: return 4;
    case TDigitBase::Octal: return 3;
    default: return 1;
  }
}

int DigitsPerByte(TDigitBase base) {
  switch (base) {
    case TDigitBase::Hex: return 2;
    case TDigitBase::Octal: return 3;
    default: return 8;
  }
}

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return 99;
}

// The integer's bytes as a little-endian bit pattern, sign-extended for the
// signed types.
std::int64_t LoadInteger(const TRangeLimit& limit, int dataType) {
  switch (dataType) {
    case pftLongInt: return LoadLE<std::int32_t>(First<4>(limit));
    case pftWord: return LoadLE<std::uint16_t>(First<2>(limit));
    case pftInteger: return LoadLE<std::int16_t>(First<2>(limit));
    case pftByte: return limit[0];
    case pftComp: return LoadLE<std::int64_t>(First<8>(limit));
    default:  // pftShortInt
      return static_cast<std::int8_t>(limit[0]);
  }
}

TRangeLimit StoreInteger(std::int64_t value, int dataType) {
  TRangeLimit limit{};
  auto bits = static_cast<std::uint64_t>(value);
  for (int i = 0; i < IntegerTypeSize(dataType); ++i, bits >>= 8) limit[i] = static_cast<std::uint8_t>(bits & 0xFF);
  return limit;
}

TRangeLimit StoreInt32(std::int32_t value) {
  TRangeLimit limit{};
  StoreLE(value, First<4>(limit));
  return limit;
}

TRangeLimit StoreExtendedLimit(long double value) {
  TRangeLimit limit{};
  StoreExtended(value, First<10>(limit));
  return limit;
}

// Digits of a hexadecimal, octal or binary text as the bit pattern of the
// type's bytes, read back as the type's value; more bits than the type has
// are refused.
std::optional<std::int64_t> ReadDigits(std::string_view t, int dataType, TDigitBase base) {
  if (base == TDigitBase::Hex && !t.empty() && t.front() == '$') t.remove_prefix(1);
  const int bits = 8 * IntegerTypeSize(dataType);
  const int radix = 1 << BitsPerDigit(base);
  std::uint64_t value = 0;
  for (char c : t) {
    int d = DigitValue(c);
    if (d >= radix) return std::nullopt;
    // A digit more would carry bits beyond the type (64 for comp).
    if (value >> (bits - BitsPerDigit(base))) return std::nullopt;
    value = value * radix + d;
  }
  if (base == TDigitBase::Hex && t.empty()) return std::nullopt;  // a lone '$'
  return LoadInteger(StoreInteger(static_cast<std::int64_t>(value), dataType), dataType);
}

std::optional<TRangeLimit> ReadInteger(std::string_view text, int dataType, TDigitBase base) {
  auto v = ReadIntegerValue(text, dataType, base);
  TIntegerBounds b = IntegerTypeBounds(dataType);
  if (!v || *v < b.low || *v > b.high) return std::nullopt;
  return StoreInteger(*v, dataType);
}

std::optional<TRangeLimit> ReadReal(std::string_view text, int dataType) {
  auto v = rtl::TryStrToExtended(text);
  if (!v) return std::nullopt;
  if (dataType == pftReal) {
    // Compared as 6-byte reals, so the default limit (1.7e38 rounded to the
    // type) reads back from its own text.
    TRangeLimit limit{}, bound{};
    if (!StoreReal48(*v, First<6>(limit))) return std::nullopt;
    StoreReal48(RealTypeBound(pftReal), First<6>(bound));
    if (std::fabs(LoadReal48(First<6>(limit))) > LoadReal48(First<6>(bound))) return std::nullopt;
    return limit;
  }
  if (std::fabs(*v) > RealTypeBound(dataType)) return std::nullopt;
  return StoreExtendedLimit(*v);
}

std::optional<TRangeLimit> ReadChar(std::string_view text) {
  TRangeLimit limit{};
  if (text.size() > 1 && text.front() == '#') {
    auto code = rtl::TryStrToInt(text.substr(1));
    if (!code || *code < 0 || *code > 255) return std::nullopt;
    limit[0] = static_cast<std::uint8_t>(*code);
  } else if (!text.empty()) {
    limit[0] = static_cast<std::uint8_t>(text.front());
  }
  return limit;
}

std::optional<TRangeLimit> ReadDayOrTime(std::string_view text, const TRangeFormat& f) {
  if (f.intl == nullptr) return std::nullopt;
  bool date = f.dataType == pftDate;
  auto v = date ? f.intl->TextToDate(f.intl->RangeDateMask(), text, f.epoch)
                : f.intl->TextToTime(f.intl->RangeTimeMask(), text);
  if (!v || *v < 0 || *v > (date ? kLastDay : kLastSecond)) return std::nullopt;
  return StoreInt32(*v);
}

}  // namespace

TDigitBase DigitBaseOfMask(std::string_view mask) {
  if (mask.find('K') != std::string_view::npos) return TDigitBase::Hex;
  if (mask.find('O') != std::string_view::npos) return TDigitBase::Octal;
  if (mask.find('b') != std::string_view::npos) return TDigitBase::Binary;
  return TDigitBase::Decimal;
}

std::optional<std::int64_t> ReadIntegerValue(std::string_view text, int dataType, TDigitBase base) {
  std::string_view t = Trim(text);
  if (t.empty()) return 0;
  if (base != TDigitBase::Decimal) return ReadDigits(t, dataType, base);
  return rtl::TryStrToInt64(t);
}

std::optional<TFieldValue> ReadNumberText(std::string_view text, int dataType, TDigitBase base, char decimalChar) {
  TFieldValue value;
  if (IsIntegerDataType(dataType) || dataType == pftComp) {
    auto v = ReadIntegerValue(text, dataType, base);
    if (!v) return std::nullopt;
    value.integer = *v;
    value.real = static_cast<long double>(*v);  // comp travels as a real
    return value;
  }
  std::string_view t = Trim(text);
  auto v = rtl::TryStrToExtended(RepairRealText(t.empty() ? std::string_view("0") : t, decimalChar));
  if (!v) return std::nullopt;
  value.real = *v;
  return value;
}

std::string IntegerValueText(std::int64_t value, int dataType, TDigitBase base) {
  if (base == TDigitBase::Decimal) return rtl::IntToStr(value);
  const int bits = 8 * IntegerTypeSize(dataType);
  const int count = DigitsPerByte(base) * IntegerTypeSize(dataType);
  const int per = BitsPerDigit(base);
  const std::uint64_t all = bits >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << bits) - 1;
  auto pattern = static_cast<std::uint64_t>(value) & all;
  std::string s(count, '0');
  for (int i = count - 1; i >= 0 && pattern != 0; --i, pattern >>= per)
    s[i] = "0123456789ABCDEF"[pattern & ((1u << per) - 1)];
  return s;
}

std::int64_t IntegerOfLimit(const TRangeLimit& limit, int dataType) { return LoadInteger(limit, dataType); }

long double RealOfLimit(const TRangeLimit& limit, int dataType) {
  return dataType == pftReal ? LoadReal48(First<6>(limit)) : LoadExtended(First<10>(limit));
}

TIntegerBounds IntegerTypeBounds(int dataType) {
  switch (dataType) {
    case pftLongInt: return {-2147483648LL, 2147483647LL};
    case pftWord: return {0, 65535};
    case pftInteger: return {-32768, 32767};
    case pftByte: return {0, 255};
    case pftShortInt: return {-128, 127};
    default: return {0, 0};
  }
}

std::optional<TRangeLimit> ReadRangeText(std::string_view text, const TRangeFormat& format) {
  const int t = format.dataType;
  if (t == pftChar) return ReadChar(text);
  if (IsIntegerDataType(t)) return ReadInteger(text, t, format.digits);
  if (IsRealDataType(t)) return ReadReal(text, t);
  if (t == pftDate || t == pftTime) return ReadDayOrTime(text, format);
  return std::nullopt;
}

std::string RangeText(const TRangeLimit& limit, const TRangeFormat& format) {
  const int t = format.dataType;
  if (t == pftChar) return limit[0] == 0 ? std::string() : std::string(1, static_cast<char>(limit[0]));
  if (IsIntegerDataType(t)) return IntegerValueText(LoadInteger(limit, t), t, format.digits);
  if (IsRealDataType(t)) return rtl::FloatToStrFixed(RealOfLimit(limit, t), format.decimals);
  if ((t == pftDate || t == pftTime) && format.intl != nullptr) {
    auto v = LoadLE<std::int32_t>(First<4>(limit));
    return t == pftDate ? format.intl->DateToText(format.intl->RangeDateMask(), v)
                        : format.intl->TimeToText(format.intl->RangeTimeMask(), v);
  }
  return {};
}

namespace {

TRangeLimit DefaultLimit(TPictureDataType dataType, bool high) {
  const int sign = high ? 1 : -1;
  switch (dataType) {
    case pftChar: {
      TRangeLimit limit{};
      limit[0] = ' ';  // equal limits switch the character check off
      return limit;
    }
    case pftReal: {
      TRangeLimit limit{};
      StoreReal48(sign * RealTypeBound(pftReal), First<6>(limit));
      return limit;
    }
    case pftExtended:
    case pftDouble:
    case pftSingle:
    case pftComp: return StoreExtendedLimit(sign * RealTypeBound(dataType));
    case pftDate: return StoreInt32(high ? kLastDay : 0);
    case pftTime: return StoreInt32(high ? kLastSecond : 0);
    default:
      if (IsIntegerDataType(dataType)) {
        TIntegerBounds b = IntegerTypeBounds(dataType);
        return StoreInteger(high ? b.high : b.low, dataType);
      }
      return TRangeLimit{};
  }
}

}  // namespace

TRangeLimit DefaultRangeLow(TPictureDataType dataType) { return DefaultLimit(dataType, false); }
TRangeLimit DefaultRangeHigh(TPictureDataType dataType) { return DefaultLimit(dataType, true); }

TRangeLimit RangeLimitToValue(const TRangeLimit& limit, TPictureDataType dataType) {
  TRangeLimit value{};
  long double v = LoadExtended(First<10>(limit));
  switch (dataType) {
    case pftDouble: StoreDouble(static_cast<double>(v), First<8>(value)); return value;
    case pftSingle: StoreSingle(static_cast<float>(v), First<4>(value)); return value;
    case pftComp: StoreLE(static_cast<std::int64_t>(std::nearbyint(v)), First<8>(value)); return value;
    default: return limit;
  }
}
