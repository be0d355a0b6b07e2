#include "rtl/Convert.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "rtl/Exception.h"

namespace {

TEST(Convert, FloatToStrShortestGeneral) {
  EXPECT_EQ(rtl::FloatToStr(0.1), "0.1");
  EXPECT_EQ(rtl::FloatToStr(-2.5), "-2.5");
  EXPECT_EQ(rtl::FloatToStr(1.0 / 3.0), "0.333333333333333");
  EXPECT_EQ(rtl::FloatToStr(100), "100");
  EXPECT_EQ(rtl::FloatToStr(1e100), "1E100");
}

template <class T>
struct RealCase {
  const char* text;
  bool ok;
  T value;
};

template <class T, std::size_t N>
void ExpectReals(const RealCase<T> (&cases)[N], std::optional<T> (*parse)(std::string_view)) {
  for (const auto& c : cases) {
    auto v = parse(c.text);
    EXPECT_EQ(v.has_value(), c.ok) << "'" << c.text << "'";
    if (c.ok && v) {
      EXPECT_EQ(*v, c.value) << c.text;
    }
  }
}

TEST(Convert, StrToFloatIsStrict) {
  const RealCase<double> cases[] = {
      {"1.5", true, 1.5},      {" -2e3 ", true, -2000}, {"+.5", true, 0.5},   {"5.", true, 5},   {"1E-400", true, 0},
      {"0.000", true, 0},      {"1e400", false, 0},     {"-1e400", false, 0}, {"nan", false, 0}, {"inf", false, 0},
      {"-Infinity", false, 0}, {"0x1p3", false, 0},     {"1 5", false, 0},    {"1,5", false, 0}, {"", false, 0},
      {"  ", false, 0},        {"e5", false, 0},        {"1e", false, 0},     {".", false, 0},   {"--1", false, 0},
      {"1e+", false, 0},
  };
  ExpectReals(cases, rtl::TryStrToFloat);
  EXPECT_THROW(rtl::StrToFloat("nan"), rtl::EConvertError);
  try {
    rtl::StrToFloat("1x");
  } catch (const rtl::EConvertError& e) {
    EXPECT_STREQ(e.what(), "'1x' is not a valid floating point value");
  }
}

TEST(Convert, StrToExtendedReachesTheExtendedRange) {
  const RealCase<long double> cases[] = {
      {"0.1", true, 0.1L},     {" -1.1e4932 ", true, -1.1e4932L},
      {"1e400", true, 1e400L}, {"1.2e4932", false, 0},
      {"1e-5000", true, 0},    {"12345678901234567890", true, 12345678901234567890.0L},
      {"inf", false, 0},       {"1,5", false, 0},
      {"", false, 0},
  };
  ExpectReals(cases, rtl::TryStrToExtended);
}

TEST(Convert, StrToIntIsStrict) {
  EXPECT_EQ(rtl::StrToInt(" 42 "), 42);
  EXPECT_EQ(rtl::StrToInt("-2147483648"), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(rtl::StrToInt("+7"), 7);
  EXPECT_EQ(rtl::StrToInt64("9223372036854775807"), std::numeric_limits<int64_t>::max());
  for (const char* bad : {"2147483648", "1.0", "4 2", "0x10", "", "+-1", "1e3", "--1"})
    EXPECT_FALSE(rtl::TryStrToInt(bad).has_value()) << bad;
  try {
    rtl::StrToInt("abc");
  } catch (const rtl::EConvertError& e) {
    EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
  }
}

TEST(Convert, RoundHalvesToEvenTruncTowardZero) {
  struct {
    long double x;
    int64_t round, trunc;
  } cases[] = {{2.5L, 2, 2},    {3.5L, 4, 3},     {-2.5L, -2, -2},
               {-3.7L, -4, -3}, {0.49999L, 0, 0}, {1e15L, 1000000000000000, 1000000000000000}};
  for (const auto& c : cases) {
    EXPECT_EQ(rtl::Round(c.x), c.round) << static_cast<double>(c.x);
    EXPECT_EQ(rtl::Trunc(c.x), c.trunc) << static_cast<double>(c.x);
  }
  EXPECT_THROW(rtl::Round(1e19L), rtl::EInvalidOp);
  EXPECT_THROW(rtl::Trunc(std::nanl("")), rtl::EInvalidOp);
}

}  // namespace
