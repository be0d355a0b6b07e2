#pragma once
// Format: printf-like patterns with the platform's conventions.
//
//   %[-][width][.precision]type   with width and precision taken from the
//   arguments when given as '*'.
//   d  signed integer (precision = minimum digits)     u  unsigned integer
//   x  upper-case hexadecimal                          s  text (precision = maximum length)
//   f  fixed, precision decimals (default 2)           n  as f, with thousands separators
//   e  scientific: precision significant digits (default 15), "E", sign, 3+ exponent digits
//   g  general: the shorter of fixed and scientific, up to precision (default 15) digits
//   %% a percent sign
//
// Text widths and lengths count characters (rtl/TextChars.h), never cutting
// one. Numbers round half away from zero on their 18-digit decimal expansion, and
// '.' is always the decimal point. A pattern that asks for an argument that is
// missing or of the wrong kind raises rtl::EConvertError; it never reads past
// the arguments (patterns come from user settings).

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

#include "rtl/Exception.h"

namespace rtl {

class FormatArg {
 public:
  enum class Kind { Int, UInt, Float, Text };

  template <class T>
  requires(std::is_integral_v<T>&& std::is_signed_v<T> && !std::is_same_v<T, char>) FormatArg(T v)
      : kind_(Kind::Int), i_(v) {}
  template <class T>
  requires(std::is_integral_v<T>&& std::is_unsigned_v<T> && !std::is_same_v<T, bool>) FormatArg(T v)
      : kind_(Kind::UInt), u_(v) {}
  FormatArg(double v) : kind_(Kind::Float), f_(v) {}
  FormatArg(long double v) : kind_(Kind::Float), f_(static_cast<double>(v)) {}
  FormatArg(float v) : kind_(Kind::Float), f_(v) {}
  FormatArg(char c) : kind_(Kind::Text), s_(&text1_, 1), text1_(c) {}
  FormatArg(const char* s) : kind_(Kind::Text), s_(s) {}
  FormatArg(std::string_view s) : kind_(Kind::Text), s_(s) {}
  FormatArg(const std::string& s) : kind_(Kind::Text), s_(s) {}
  FormatArg(const FormatArg& o) : kind_(o.kind_), i_(o.i_), u_(o.u_), f_(o.f_), s_(o.s_), text1_(o.text1_) {
    if (o.s_.data() == &o.text1_) s_ = std::string_view(&text1_, 1);
  }
  FormatArg& operator=(const FormatArg&) = delete;

  Kind kind() const { return kind_; }
  std::int64_t AsInt() const { return i_; }
  std::uint64_t AsUInt() const { return u_; }
  double AsFloat() const { return f_; }
  std::string_view AsText() const { return s_; }

 private:
  Kind kind_;
  std::int64_t i_ = 0;
  std::uint64_t u_ = 0;
  double f_ = 0;
  std::string_view s_;
  char text1_ = 0;
};

// Formats the arguments by the pattern; appends to out.
void FormatTo(std::string& out, std::string_view pattern, std::initializer_list<FormatArg> args);

inline std::string FormatList(std::string_view pattern, std::initializer_list<FormatArg> args) {
  std::string out;
  FormatTo(out, pattern, args);
  return out;
}

template <class... A>
std::string Format(std::string_view pattern, const A&... args) {
  return FormatList(pattern, {FormatArg(args)...});
}

// The text of a float in the platform's general form with the given
// significant digits (FloatToStr uses 15): no trailing zeros, "E" and a
// minimal exponent when scientific ("1E20", "1.5E-10"), "INF", "-INF", "NAN".
std::string FloatToStrGeneral(double value, int precision);

// Fixed notation of an extended with `decimals` digits after the point, as
// "%.*f" writes a double: every integer digit, halves away from zero on the
// 18-digit decimal expansion; "INF", "-INF", "NAN" for the special values.
std::string FloatToStrFixed(long double value, int decimals);

// "INF", "-INF" or "NAN" for a value that is not finite.
std::string NonFiniteText(double value);

// A float that is not finite formatted while the rule is NonFinite::Refused:
// Label() is the pattern's text before the conversion, its blanks closed up
// and a final '=' or ':' dropped ("X2" for "X2     = %10.4f"), empty when the
// pattern has none.
class ENonFiniteValue : public Exception {
 public:
  ENonFiniteValue(std::string label, double value)
      : Exception((label.empty() ? std::string("A value") : label) + " is " + NonFiniteText(value)),
        label_(std::move(label)),
        value_(value) {}
  const std::string& Label() const noexcept { return label_; }
  double Value() const noexcept { return value_; }

 private:
  std::string label_;
  double value_;
};

// What Format, FloatToStrGeneral and FloatToStrFixed do with a float that is
// not finite: write "INF", "-INF" or "NAN", or raise ENonFiniteValue.
enum class NonFinite { Written, Refused };

// Sets the rule for this thread while it lives, then puts back the one before.
// A module run refuses (a number nobody can read back is never written);
// windows drawing inside a run write them again.
class NonFiniteRule {
 public:
  explicit NonFiniteRule(NonFinite rule);
  ~NonFiniteRule();
  NonFiniteRule(const NonFiniteRule&) = delete;
  NonFiniteRule& operator=(const NonFiniteRule&) = delete;

 private:
  bool previous_;
};

}  // namespace rtl
