#include "rtl/Format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>

#include "rtl/Exception.h"
#include "rtl/ScopeGuard.h"
#include "rtl/TextChars.h"

namespace rtl {
namespace {

constexpr int kMaxDigits = 18;  // decimal digits the platform keeps of a float
constexpr int kDefaultSignificant = 15;

// A finite float as sign, digits d1 d2 ... dn and exponent: value = 0.d1d2...dn * 10^exponent.
// No digits means zero.
struct Decimal {
  bool negative = false;
  int exponent = 0;
  int count = 0;
  char digits[kMaxDigits + 2];
};

// Doubles widen exactly, so one conversion serves both float types.
Decimal ToDecimal(long double v) {
  Decimal d;
  d.negative = std::signbit(v);
  if (v == 0) return d;
  char buf[40];
  auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific, kMaxDigits - 1);
  *r.ptr = 0;
  // buf: "d.ddddddddddddddddde[+-]xx"
  d.digits[0] = buf[0];
  std::memcpy(d.digits + 1, buf + 2, kMaxDigits - 1);
  d.count = kMaxDigits;
  d.exponent = std::atoi(buf + kMaxDigits + 2) + 1;
  while (d.count > 0 && d.digits[d.count - 1] == '0') --d.count;
  return d;
}

// Keeps `keep` digits, rounding half away from zero; keep <= 0 may round up to a single 1.
void RoundDigits(Decimal& d, int keep) {
  if (keep >= d.count) return;
  if (keep < 0) {
    d.count = 0;
    return;
  }
  bool up = d.digits[keep] >= '5';
  d.count = keep;
  if (up) {
    int i = keep - 1;
    while (i >= 0 && d.digits[i] == '9') --i;
    if (i < 0) {
      d.digits[0] = '1';
      d.count = 1;
      ++d.exponent;
      return;
    }
    ++d.digits[i];
    d.count = i + 1;
  }
  while (d.count > 0 && d.digits[d.count - 1] == '0') --d.count;
}

char DigitAt(const Decimal& d, int i) { return i < d.count ? d.digits[i] : '0'; }

// Whether formatting a float that is not finite raises (NonFiniteRule).
thread_local bool refuseNonFinite = false;

// The label of a conversion: the literal text before it, blanks closed up,
// without a final '=' or ':'.
std::string LabelOf(std::string_view literal) {
  std::string label;
  for (const char c : literal) {
    const bool blank = c == ' ' || c == '\t' || c == '\r' || c == '\n';
    if (!blank) {
      label += c;
    } else if (!label.empty() && label.back() != ' ') {
      label += ' ';
    }
  }
  while (!label.empty() && (label.back() == ' ' || label.back() == '=' || label.back() == ':')) label.pop_back();
  return label;
}

void AppendSpecial(std::string& s, long double v, std::string_view literal = {}) {
  if (refuseNonFinite) throw ENonFiniteValue(LabelOf(literal), static_cast<double>(v));
  s += NonFiniteText(static_cast<double>(v));
}

// Fixed notation with `decimals` digits after the point; thousands separators on request.
void AppendFixed(std::string& s, long double v, int decimals, bool thousands) {
  if (!std::isfinite(v)) return AppendSpecial(s, v);
  Decimal d = ToDecimal(v);
  RoundDigits(d, d.exponent + decimals);
  if (d.count == 0) d.exponent = 0;
  if (d.count > 0 && d.negative) s += '-';
  if (d.exponent <= 0) {
    s += '0';
  } else {
    for (int i = 0; i < d.exponent; ++i) {
      if (thousands && i > 0 && (d.exponent - i) % 3 == 0) s += ',';
      s += DigitAt(d, i);
    }
  }
  if (decimals > 0) {
    s += '.';
    for (int k = 0; k < decimals; ++k) {
      int i = d.exponent + k;  // negative while before the first digit
      s += i < 0 ? '0' : DigitAt(d, i);
    }
  }
}

void AppendExponent(std::string& s, int exponent, bool plusSign, int minDigits) {
  s += 'E';
  if (exponent < 0) {
    s += '-';
    exponent = -exponent;
  } else if (plusSign) {
    s += '+';
  }
  char buf[12];
  int n = std::snprintf(buf, sizeof buf, "%d", exponent);
  for (int k = n; k < minDigits; ++k) s += '0';
  s.append(buf, n);
}

// Scientific notation with `significant` digits, "E", sign and at least three exponent digits.
void AppendScientific(std::string& s, double v, int significant) {
  if (!std::isfinite(v)) return AppendSpecial(s, v);
  Decimal d = ToDecimal(v);
  RoundDigits(d, significant);
  if (d.negative && d.count > 0) s += '-';
  s += DigitAt(d, 0);
  if (significant > 1) {
    s += '.';
    for (int i = 1; i < significant; ++i) s += DigitAt(d, i);
  }
  AppendExponent(s, d.count == 0 ? 0 : d.exponent - 1, true, 3);
}

void AppendGeneral(std::string& s, double v, int significant) {
  if (!std::isfinite(v)) return AppendSpecial(s, v);
  Decimal d = ToDecimal(v);
  RoundDigits(d, significant);
  if (d.count == 0) {
    s += '0';
    return;
  }
  if (d.negative) s += '-';
  bool fixed = d.exponent <= significant && d.exponent >= -4;  // |v| >= 0.00001
  if (fixed) {
    if (d.exponent <= 0) {
      s += "0.";
      s.append(-d.exponent, '0');
      s.append(d.digits, d.count);
    } else {
      for (int i = 0; i < d.exponent; ++i) s += DigitAt(d, i);
      if (d.count > d.exponent) {
        s += '.';
        s.append(d.digits + d.exponent, d.count - d.exponent);
      }
    }
  } else {
    s += d.digits[0];
    if (d.count > 1) {
      s += '.';
      s.append(d.digits + 1, d.count - 1);
    }
    AppendExponent(s, d.exponent - 1, false, 0);
  }
}

void AppendUnsigned(std::string& s, std::uint64_t v, int minDigits, bool hex) {
  char buf[24];
  int n = std::snprintf(buf, sizeof buf, hex ? "%llX" : "%llu", static_cast<unsigned long long>(v));
  for (int k = n; k < minDigits; ++k) s += '0';
  s.append(buf, n);
}

class Formatter {
 public:
  Formatter(std::string& out, std::string_view pattern, std::initializer_list<FormatArg> args)
      : out_(out), pattern_(pattern), args_(args.begin()), argCount_(args.size()) {}

  void Run() {
    size_t i = 0;
    while (i < pattern_.size()) {
      size_t pct = pattern_.find('%', i);
      if (pct == std::string_view::npos) {
        out_.append(pattern_.substr(i));
        return;
      }
      literal_ = pattern_.substr(i, pct - i);
      out_.append(literal_);
      i = Spec(pct + 1);
    }
  }

 private:
  [[noreturn]] void Fail() const {
    throw EConvertError("Format '" + std::string(pattern_) + "' invalid or incompatible with argument");
  }

  const FormatArg& NextArg() {
    if (next_ >= argCount_) Fail();
    return args_[next_++];
  }

  // Reads a number or '*' at position i; returns -1 when neither is there.
  int Number(size_t& i) {
    if (i < pattern_.size() && pattern_[i] == '*') {
      ++i;
      const FormatArg& a = NextArg();
      if (a.kind() == FormatArg::Kind::Int) {
        if (a.AsInt() < 0 || a.AsInt() > kMaxWidth) Fail();
        return static_cast<int>(a.AsInt());
      }
      if (a.kind() == FormatArg::Kind::UInt) {
        if (a.AsUInt() > kMaxWidth) Fail();
        return static_cast<int>(a.AsUInt());
      }
      Fail();
    }
    int n = -1;
    while (i < pattern_.size() && pattern_[i] >= '0' && pattern_[i] <= '9') {
      n = (n < 0 ? 0 : n * 10) + (pattern_[i] - '0');
      if (n > kMaxWidth) Fail();
      ++i;
    }
    return n;
  }

  // Formats one conversion that starts after '%'; returns the index after it.
  size_t Spec(size_t i) {
    if (i < pattern_.size() && pattern_[i] == '%') {
      out_ += '%';
      return i + 1;
    }
    bool left = false;
    if (i < pattern_.size() && pattern_[i] == '-') {
      left = true;
      ++i;
    }
    int width = Number(i);
    int precision = -1;
    if (i < pattern_.size() && pattern_[i] == '.') {
      ++i;
      precision = Number(i);
      if (precision < 0) precision = 0;
    }
    if (i >= pattern_.size()) Fail();
    char type = pattern_[i] | 0x20;  // types are case-insensitive
    size_t start = out_.size();
    textExtra_ = 0;
    Convert(type, precision);
    Pad(start, width, left);
    return i + 1;
  }

  void Convert(char type, int precision) {
    const FormatArg& a = NextArg();
    using K = FormatArg::Kind;
    if (a.kind() == K::Float && !std::isfinite(a.AsFloat()) &&
        (type == 'f' || type == 'n' || type == 'e' || type == 'g'))
      return AppendSpecial(out_, a.AsFloat(), literal_);
    switch (type) {
      case 'd':
        if (a.kind() == K::Int) {
          std::int64_t v = a.AsInt();
          if (v < 0) out_ += '-';
          AppendUnsigned(out_, v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v), precision,
                         false);
          return;
        }
        [[fallthrough]];
      case 'u':
        if (a.kind() == K::UInt) return AppendUnsigned(out_, a.AsUInt(), precision, false);
        if (a.kind() == K::Int && type == 'u')
          return AppendUnsigned(out_, static_cast<std::uint32_t>(a.AsInt()), precision, false);
        Fail();
      case 'x':
        if (a.kind() == K::UInt) return AppendUnsigned(out_, a.AsUInt(), precision, true);
        if (a.kind() == K::Int) {
          std::uint64_t v = static_cast<std::uint64_t>(a.AsInt());
          if (a.AsInt() >= INT32_MIN && a.AsInt() <= UINT32_MAX) v &= 0xFFFFFFFFu;
          return AppendUnsigned(out_, v, precision, true);
        }
        Fail();
      case 's':
        if (a.kind() != K::Text) Fail();
        {
          std::string_view t = a.AsText();
          if (precision >= 0) t = t.substr(0, CharactersLength(t, static_cast<size_t>(precision)));
          out_.append(t);
          textExtra_ = t.size() - CharacterCount(t);
        }
        return;
      case 'f':
      case 'n':
        if (a.kind() != K::Float) Fail();
        return AppendFixed(out_, a.AsFloat(), precision < 0 ? 2 : std::min(precision, kMaxDigits), type == 'n');
      case 'e':
        if (a.kind() != K::Float) Fail();
        return AppendScientific(out_, a.AsFloat(), Significant(precision));
      case 'g':
        if (a.kind() != K::Float) Fail();
        return AppendGeneral(out_, a.AsFloat(), Significant(precision));
      default: Fail();
    }
  }

  static int Significant(int precision) {
    if (precision < 0 || precision > kMaxDigits) return kDefaultSignificant;
    return precision == 0 ? 1 : precision;
  }

  // Widths count characters: a UTF-8 letter is one column, not two or three.
  void Pad(size_t start, int width, bool left) {
    size_t len = out_.size() - start - textExtra_;
    if (width < 0 || len >= static_cast<size_t>(width)) return;
    size_t fill = width - len;
    if (left)
      out_.append(fill, ' ');
    else
      out_.insert(start, fill, ' ');
  }

  static constexpr int kMaxWidth = 1 << 16;

  std::string& out_;
  std::string_view pattern_;
  const FormatArg* args_;
  size_t argCount_;
  size_t next_ = 0;
  size_t textExtra_ = 0;  // bytes beyond one per character of the text just converted
  std::string_view literal_;  // the pattern's text before the conversion going on
};

}  // namespace

NonFiniteRule::NonFiniteRule(NonFinite rule) : previous_(std::exchange(refuseNonFinite, rule == NonFinite::Refused)) {}
NonFiniteRule::~NonFiniteRule() { refuseNonFinite = previous_; }

std::string NonFiniteText(double value) {
  if (std::isnan(value)) return "NAN";
  return value < 0 ? "-INF" : "INF";
}

void FormatTo(std::string& out, std::string_view pattern, std::initializer_list<FormatArg> args) {
  const size_t before = out.size();
  const rtl::ScopeFail cut([&] { out.resize(before); });
  Formatter(out, pattern, args).Run();
}

std::string FloatToStrFixed(long double value, int decimals) {
  std::string s;
  AppendFixed(s, value, std::max(decimals, 0), false);
  return s;
}

std::string FloatToStrGeneral(double value, int precision) {
  std::string s;
  AppendGeneral(s, value, precision);
  return s;
}

}  // namespace rtl
