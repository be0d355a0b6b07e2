#include "rtl/Format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "rtl/Exception.h"

namespace {

struct FloatCase {
  const char* pattern;
  double value;
  const char* expected;
};

class FormatFloat : public testing::TestWithParam<FloatCase> {};

TEST_P(FormatFloat, MatchesPlatform) {
  const FloatCase& c = GetParam();
  EXPECT_EQ(rtl::Format(c.pattern, c.value), c.expected) << c.pattern << " " << c.value;
}

INSTANTIATE_TEST_SUITE_P(
    Examples, FormatFloat,
    testing::Values(FloatCase{"%e", -12.34, "-1.23400000000000E+001"}, FloatCase{"%8.4f", -12.34, "-12.3400"},
                    FloatCase{"%f", 2.5, "2.50"},
                    FloatCase{"%.4e", 1234.5, "1.235E+003"},  // 4 significant digits, half rounds up
                    FloatCase{"%e", 0.0, "0.00000000000000E+000"}, FloatCase{"%e", 1e-300, "1.00000000000000E-300"},
                    FloatCase{"%.1e", 9.96, "1E+001"}, FloatCase{"%.2e", 9.96, "1.0E+001"},
                    FloatCase{"%12.4e", 0.5, "  5.000E-001"}, FloatCase{"%-12.4e|", 0.5, "5.000E-001  |"},
                    FloatCase{"%.0f", 2.5, "3"},  // platform rounds decimal halves away from zero
                    FloatCase{"%.2f", 0.125, "0.13"},
                    FloatCase{"%.2f", 1.005, "1.00"},  // 1.005 is 1.00499999... in binary
                    FloatCase{"%.3f", 0.0001, "0.000"}, FloatCase{"%.3f", -0.0001, "0.000"},
                    FloatCase{"%.3f", 0.0005, "0.001"}, FloatCase{"%.2f", 999.999, "1000.00"},
                    FloatCase{"%10.2f", 1e15, "1000000000000000.00"}, FloatCase{"%.4f", 123456.789, "123456.7890"},
                    FloatCase{"%n", 1234567.891, "1,234,567.89"}, FloatCase{"%.0n", 999.5, "1,000"},
                    FloatCase{"%g", 0.1, "0.1"}, FloatCase{"%g", 1e20, "1E20"}, FloatCase{"%g", 1.5e-10, "1.5E-10"},
                    FloatCase{"%g", 0.00001, "0.00001"}, FloatCase{"%g", 123456789012345.0, "123456789012345"},
                    FloatCase{"%g", 1234567890123456.0, "1.23456789012346E15"}, FloatCase{"%.3g", 2.0 / 3.0, "0.667"},
                    FloatCase{"%g", -0.0, "0"}, FloatCase{"%8.4f", std::numeric_limits<double>::infinity(), "     INF"},
                    FloatCase{"%e", -std::numeric_limits<double>::infinity(), "-INF"},
                    FloatCase{"%f", std::numeric_limits<double>::quiet_NaN(), "NAN"}));

TEST(Format, FixedExtendedKeepsEveryIntegerDigit) {
  struct {
    long double value;
    int decimals;
    std::string expected;
  } const cases[] = {
      {2.5L, 0, "3"},
      {-0.125L, 2, "-0.13"},
      {0.1L, 20, "0.10000000000000000000"},  // 18 significant digits, then zeros
      {1.7e308L, 0, "17" + std::string(307, '0')},
      {-1.1e4932L, 1, "-11" + std::string(4931, '0') + ".0"},
      {0.0L, 3, "0.000"},
      {std::numeric_limits<long double>::infinity(), 2, "INF"},
  };
  for (const auto& c : cases) EXPECT_EQ(rtl::FloatToStrFixed(c.value, c.decimals), c.expected) << c.expected.size();
}

TEST(Format, IntegersTextAndWidths) {
  EXPECT_EQ(rtl::Format("%*d", 5, 42), "   42");
  EXPECT_EQ(rtl::Format("%-5d|", 42), "42   |");
  EXPECT_EQ(rtl::Format("%.4d", -7), "-0007");
  EXPECT_EQ(rtl::Format("%d", std::numeric_limits<long long>::min()), "-9223372036854775808");
  EXPECT_EQ(rtl::Format("%u", 4000000000u), "4000000000");
  EXPECT_EQ(rtl::Format("%x", 255), "FF");
  EXPECT_EQ(rtl::Format("%x", -1), "FFFFFFFF");
  EXPECT_EQ(rtl::Format("%s and %s", "a", std::string("b")), "a and b");
  EXPECT_EQ(rtl::Format("%.3s", "abcdef"), "abc");
  EXPECT_EQ(rtl::Format("%10s|%-4s|", "right", "l"), "     right|l   |");
  EXPECT_EQ(rtl::Format("%s", 'c'), "c");
  EXPECT_EQ(rtl::Format("100%%"), "100%");
  EXPECT_EQ(rtl::Format("%*.*f", 8, 3, 3.14159), "   3.142");
  EXPECT_EQ(rtl::Format("%E", 1.0), "1.00000000000000E+000");
}

TEST(Format, BadPatternsRaiseInsteadOfReading) {
  const char* bad[] = {"%d", "%s %s", "%", "%8.", "%q", "%*d"};
  for (const char* p : bad) EXPECT_THROW(rtl::Format(p, "x"), rtl::EConvertError) << p;
  EXPECT_THROW(rtl::Format("%d", 1.5), rtl::EConvertError);
  EXPECT_THROW(rtl::Format("%f", 1), rtl::EConvertError);
  EXPECT_THROW(rtl::Format("%s", 1), rtl::EConvertError);
  EXPECT_THROW(rtl::Format("%*d", -3, 1), rtl::EConvertError);
  EXPECT_THROW(rtl::Format("%999999999d", 1), rtl::EConvertError);
  try {
    rtl::Format("%8.4q", 1.0);
    FAIL();
  } catch (const rtl::EConvertError& e) {
    EXPECT_STREQ(e.what(), "Format '%8.4q' invalid or incompatible with argument");
  }
}

// Under a refusal, a float that is not finite raises, labelled by the
// pattern's text before it; an allowance lifts the refusal while it lives.
TEST(Format, RefusesNonFiniteValuesWhileARefusalLives) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(rtl::Format("X2 = %10.4f", -inf), "X2 =       -INF");
  struct Case {
    const char* pattern;
    double value;
    const char* label;
    const char* message;
  };
  const Case cases[] = {
      {"X2              = %10.4f df", -inf, "X2", "X2 is -INF"},
      {"%3d %e", inf, "", "A value is INF"},
      {"Trace of matrix:\t%g", std::nan(""), "Trace of matrix", "Trace of matrix is NAN"},
  };
  const rtl::NonFiniteRule refusal(rtl::NonFinite::Refused);
  for (const Case& c : cases) {
    try {
      if (std::string_view(c.pattern).starts_with("%3d")) {
        rtl::Format(c.pattern, 7, c.value);
      } else {
        rtl::Format(c.pattern, c.value);
      }
      ADD_FAILURE() << c.pattern;
    } catch (const rtl::ENonFiniteValue& e) {
      EXPECT_EQ(e.Label(), c.label) << c.pattern;
      EXPECT_STREQ(e.what(), c.message) << c.pattern;
    }
  }
  EXPECT_THROW(rtl::FloatToStrGeneral(inf, 15), rtl::ENonFiniteValue);
  EXPECT_EQ(rtl::Format("%10.4f", 1.5), "    1.5000");
  {
    const rtl::NonFiniteRule allowed(rtl::NonFinite::Written);
    EXPECT_EQ(rtl::Format("%e", inf), "INF");
  }
  EXPECT_THROW(rtl::Format("%e", inf), rtl::ENonFiniteValue);
}

TEST(Format, AgreesWithPrintfAwayFromDecimalTies) {
  // Values whose 18-digit expansion has no tie: the result must equal printf's.
  double x = 0.7390851332151607;
  for (int i = 0; i < 2000; ++i) {
    x = std::ldexp(std::cos(x * 1000.0) + 1.1, (i % 60) - 30);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.6f", x);
    EXPECT_EQ(rtl::Format("%.6f", x), buf) << x;
  }
}

}  // namespace
