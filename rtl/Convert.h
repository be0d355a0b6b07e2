#pragma once
// Numbers to text and back, strictly, with '.' as the decimal point whatever the locale.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rtl {

// Shortest general form with 15 significant digits: "0.1", "1E20", "-2.5E-10".
std::string FloatToStr(double value);
std::string IntToStr(std::int64_t value);

// Text to integer: optional blanks around, a sign, decimal digits. Anything else,
// or a value out of range, gives nothing (Try...) or rtl::EConvertError
// "'<text>' is not a valid integer value".
std::optional<std::int32_t> TryStrToInt(std::string_view text);
std::optional<std::int64_t> TryStrToInt64(std::string_view text);
std::int32_t StrToInt(std::string_view text);
std::int64_t StrToInt64(std::string_view text);

// Text to real: optional blanks around, a sign, digits with an optional point,
// an optional exponent. "inf", "nan", hexadecimal and overflow are refused:
// rtl::EConvertError "'<text>' is not a valid floating point value".
std::optional<double> TryStrToFloat(std::string_view text);
double StrToFloat(std::string_view text);
// The same for an extended (80-bit) real, with the extended type's range.
std::optional<long double> TryStrToExtended(std::string_view text);

// Round to the nearest integer, halves to even; Trunc cuts toward zero.
// A value out of the 64-bit range or NaN raises rtl::EInvalidOp.
std::int64_t Round(long double value);
std::int64_t Trunc(long double value);

}  // namespace rtl
