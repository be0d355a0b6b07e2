#pragma once
// Range limits of the entry fields and their texts.
//
// A limit is 10 bytes. Integer types, dates, times and characters hold it in
// their own value layout, the 6-byte real as a 6-byte real, and Extended,
// Double, Single and Comp as an extended. String, Boolean and YesNo have no
// range. The same conversion reads a value typed as text (SetValueText).

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "controls/base/VirEFData.h"

class EntryFieldIntl;

using TRangeLimit = std::array<std::uint8_t, 10>;

// How the integer types write their digits: decimal, or the value's bytes as
// hexadecimal (2 digits a byte), octal (3) or binary (8) when the mask uses
// 'K', 'O' or 'b'.
enum class TDigitBase : std::uint8_t { Decimal, Hex, Octal, Binary };
TDigitBase DigitBaseOfMask(std::string_view mask);

struct TIntegerBounds {
  std::int64_t low;
  std::int64_t high;
};
// The bounds of the integer types (LongInt .. ShortInt).
TIntegerBounds IntegerTypeBounds(int dataType);

// An integer text, trimmed (an empty one is 0): decimal, or the digits of the
// type's bytes (hexadecimal with an optional '$', octal or binary) read as
// the type's value. Nothing when it does not read.
std::optional<std::int64_t> ReadIntegerValue(std::string_view text, int dataType, TDigitBase base);
// A number typed for an integer type, comp or a real type: integers (comp in
// 64 bits) as ReadIntegerValue reads them, setting both parts of the value;
// reals trimmed, with the decimal character read as '.', an empty text being
// 0. Nothing when the text does not read.
std::optional<TFieldValue> ReadNumberText(std::string_view text, int dataType, TDigitBase base, char decimalChar);
// The value in decimal, or with all the digits of the type's bytes.
std::string IntegerValueText(std::int64_t value, int dataType, TDigitBase base);
// A limit of an integer type, and of a real type (the 6-byte real or the extended).
std::int64_t IntegerOfLimit(const TRangeLimit& limit, int dataType);
long double RealOfLimit(const TRangeLimit& limit, int dataType);

// What a range text depends on besides the limit.
struct TRangeFormat {
  TPictureDataType dataType = pftString;
  TDigitBase digits = TDigitBase::Decimal;
  int decimals = 0;                      // of the real types
  int epoch = 0;                         // the field's effective epoch, for two-digit years
  const EntryFieldIntl* intl = nullptr;  // dates and times only
};

// Text to a limit: a character, or '#' and its code; integers trimmed, an
// empty text being 0, in decimal or the mask's digits, within the type's
// bounds; reals read as an extended within the type's bounds; dates and times
// through the international masks. Nothing when the text does not convert or
// the type has no range.
std::optional<TRangeLimit> ReadRangeText(std::string_view text, const TRangeFormat& format);

// A limit as text: integers in decimal or with all the digits of their bytes,
// reals in fixed notation with the field's decimals, dates and times through
// the international masks, a character as itself.
std::string RangeText(const TRangeLimit& limit, const TRangeFormat& format);

// The limits a field takes when its data type is assigned.
TRangeLimit DefaultRangeLow(TPictureDataType dataType);
TRangeLimit DefaultRangeHigh(TPictureDataType dataType);

// A limit turned into a value of the type: Double, Single and Comp are
// narrowed from the extended (to the nearest value); the other types are
// their limit already.
TRangeLimit RangeLimitToValue(const TRangeLimit& limit, TPictureDataType dataType);
