#include "rtl/Convert.h"

#include <charconv>
#include <cmath>

#include "rtl/Exception.h"
#include "rtl/Format.h"

namespace rtl {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view t) {
  while (!t.empty() && IsBlank(t.front())) t.remove_prefix(1);
  while (!t.empty() && IsBlank(t.back())) t.remove_suffix(1);
  return t;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Accepts [sign] digits [. digits] [e [sign] digits] with at least one mantissa digit.
bool IsDecimalReal(std::string_view t) {
  size_t i = 0, n = t.size();
  if (i < n && (t[i] == '+' || t[i] == '-')) ++i;
  size_t mantissa = 0;
  while (i < n && IsDigit(t[i])) ++i, ++mantissa;
  if (i < n && t[i] == '.') {
    ++i;
    while (i < n && IsDigit(t[i])) ++i, ++mantissa;
  }
  if (mantissa == 0) return false;
  if (i < n && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < n && (t[i] == '+' || t[i] == '-')) ++i;
    size_t exp = 0;
    while (i < n && IsDigit(t[i])) ++i, ++exp;
    if (exp == 0) return false;
  }
  return i == n;
}

// True when a decimal text that from_chars found out of range is too large (not too small).
bool IsOverflow(std::string_view t) {
  long long exp = 0;
  size_t e = t.find_first_of("eE");
  if (e != std::string_view::npos) {
    std::string_view x = t.substr(e + 1);
    if (!x.empty() && x[0] == '+') x.remove_prefix(1);
    auto r = std::from_chars(x.data(), x.data() + x.size(), exp);
    if (r.ec != std::errc()) return x.empty() || x[0] != '-';
    t = t.substr(0, e);
  }
  // position of the first significant digit relative to the point
  long long pos = 0;
  size_t point = t.find('.');
  size_t intLen = point == std::string_view::npos ? t.size() : point;
  size_t first = t.find_first_of("123456789");
  if (first == std::string_view::npos) return false;
  pos = first < intLen ? static_cast<long long>(intLen - first) : -static_cast<long long>(first - intLen - 1);
  return pos + exp > 0;
}

template <class T>
std::optional<T> ParseInt(std::string_view text) {
  std::string_view t = TrimBlanks(text);
  if (!t.empty() && t[0] == '+') {
    t.remove_prefix(1);
    if (!t.empty() && (t[0] == '-' || t[0] == '+')) return std::nullopt;
  }
  T v{};
  auto r = std::from_chars(t.data(), t.data() + t.size(), v);
  if (t.empty() || r.ec != std::errc() || r.ptr != t.data() + t.size()) return std::nullopt;
  return v;
}

template <class T>
std::optional<T> ParseReal(std::string_view text) {
  std::string_view t = TrimBlanks(text);
  if (!IsDecimalReal(t)) return std::nullopt;
  if (t[0] == '+') t.remove_prefix(1);
  T v = 0;
  auto r = std::from_chars(t.data(), t.data() + t.size(), v, std::chars_format::general);
  if (r.ec == std::errc::result_out_of_range) {
    if (IsOverflow(t)) return std::nullopt;
    return t[0] == '-' ? -T(0) : T(0);  // underflow
  }
  if (r.ec != std::errc() || r.ptr != t.data() + t.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

[[noreturn]] void NotInteger(std::string_view text) {
  throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
}

}  // namespace

std::string FloatToStr(double value) { return FloatToStrGeneral(value, 15); }

std::string IntToStr(std::int64_t value) { return std::to_string(value); }

std::optional<std::int32_t> TryStrToInt(std::string_view text) { return ParseInt<std::int32_t>(text); }
std::optional<std::int64_t> TryStrToInt64(std::string_view text) { return ParseInt<std::int64_t>(text); }

std::int32_t StrToInt(std::string_view text) {
  auto v = TryStrToInt(text);
  if (!v) NotInteger(text);
  return *v;
}

std::int64_t StrToInt64(std::string_view text) {
  auto v = TryStrToInt64(text);
  if (!v) NotInteger(text);
  return *v;
}

std::optional<double> TryStrToFloat(std::string_view text) { return ParseReal<double>(text); }

std::optional<long double> TryStrToExtended(std::string_view text) { return ParseReal<long double>(text); }

double StrToFloat(std::string_view text) {
  auto v = TryStrToFloat(text);
  if (!v) throw EConvertError("'" + std::string(text) + "' is not a valid floating point value");
  return *v;
}

namespace {
constexpr long double kInt64Limit = 9223372036854775808.0L;  // 2^63
std::int64_t CheckedInt(long double v) {
  if (!(v >= -kInt64Limit && v < kInt64Limit)) throw EInvalidOp();
  return static_cast<std::int64_t>(v);
}
}  // namespace

std::int64_t Round(long double value) { return CheckedInt(std::nearbyint(value)); }

std::int64_t Trunc(long double value) { return CheckedInt(std::trunc(value)); }

}  // namespace rtl
