#include "controls/base/VirEFRange.h"

#include <gtest/gtest.h>

#include <optional>
#include <span>
#include <string>

#include "FakeIntl.h"
#include "controls/base/VirIntl.h"

namespace {

TRangeFormat Fmt(TPictureDataType t, TDigitBase digits = TDigitBase::Decimal, int decimals = 0) {
  TRangeFormat f;
  f.dataType = t;
  f.digits = digits;
  f.decimals = decimals;
  return f;
}

constexpr std::nullopt_t kRefused = std::nullopt;

struct TextCase {
  const char* what;
  TPictureDataType type;
  TDigitBase digits;
  const char* text;
  std::optional<std::string> readsBackAs;  // the text of the limit read, or kRefused
};

void CheckTexts(std::span<const TextCase> cases) {
  for (const auto& c : cases) {
    auto limit = ReadRangeText(c.text, Fmt(c.type, c.digits));
    if (!c.readsBackAs) {
      EXPECT_FALSE(limit.has_value()) << c.what;
    } else {
      ASSERT_TRUE(limit.has_value()) << c.what;
      EXPECT_EQ(RangeText(*limit, Fmt(c.type, c.digits)), *c.readsBackAs) << c.what;
    }
  }
}

constexpr auto Dec = TDigitBase::Decimal;
constexpr auto Hex = TDigitBase::Hex;
constexpr auto Oct = TDigitBase::Octal;
constexpr auto Bin = TDigitBase::Binary;

TEST(EntryFieldRange, IntegerTextsInEveryRadix) {
  const TextCase cases[] = {
      {"word top", pftWord, Dec, "65535", "65535"},
      {"word one past", pftWord, Dec, "65536", kRefused},
      {"word negative", pftWord, Dec, "-1", kRefused},
      {"longint bottom read directly", pftLongInt, Dec, "-2147483648", "-2147483648"},
      {"longint one below", pftLongInt, Dec, "-2147483649", kRefused},
      {"shortint bottom", pftShortInt, Dec, "-128", "-128"},
      {"shortint below", pftShortInt, Dec, "-129", kRefused},
      {"integer trimmed", pftInteger, Dec, "  -12 ", "-12"},
      {"empty is 0", pftByte, Dec, "", "0"},
      {"blank is 0", pftLongInt, Dec, "   ", "0"},
      {"not an integer", pftLongInt, Dec, "1.5", kRefused},
      {"hex byte", pftByte, Hex, "ff", "FF"},
      {"hex with $", pftByte, Hex, "$FF", "FF"},
      {"hex leading zeros", pftWord, Hex, "1f", "001F"},
      {"hex too wide", pftByte, Hex, "1FF", kRefused},
      {"hex longint bits", pftLongInt, Hex, "80000000", "80000000"},
      {"hex signed integer", pftInteger, Hex, "FFFF", "FFFF"},
      {"hex lone $", pftByte, Hex, "$", kRefused},
      {"hex bad digit", pftByte, Hex, "G", kRefused},
      {"octal byte", pftByte, Oct, "377", "377"},
      {"octal byte too big", pftByte, Oct, "400", kRefused},
      {"octal word", pftWord, Oct, "177777", "177777"},
      {"octal longint: 12 digits", pftLongInt, Oct, "17777777777", "017777777777"},
      {"octal bad digit", pftByte, Oct, "8", kRefused},
      {"binary byte", pftByte, Bin, "101", "00000101"},
      {"binary bad digit", pftByte, Bin, "2", kRefused},
      {"binary longint", pftLongInt, Bin, "10000000000000000000000000000000", "1" + std::string(31, '0')},
      {"digits of a negative value", pftShortInt, Hex, "80", "80"},
  };
  CheckTexts(cases);
  // Hex and decimal digits of one limit agree.
  auto minusOne = ReadRangeText("-1", Fmt(pftLongInt));
  ASSERT_TRUE(minusOne);
  EXPECT_EQ(RangeText(*minusOne, Fmt(pftLongInt, Hex)), "FFFFFFFF");
  EXPECT_EQ(RangeText(*minusOne, Fmt(pftLongInt, Oct)), "037777777777");
  EXPECT_EQ(RangeText(*minusOne, Fmt(pftLongInt, Bin)), std::string(32, '1'));
}

TEST(EntryFieldRange, RealTextsWithinTheTypesBounds) {
  const TextCase cases[] = {
      {"real bound", pftReal, Dec, "1.7e38", "170000000000001566000000000000000000000"},
      {"real beyond the bound", pftReal, Dec, "1.7001e38", kRefused},
      {"real beyond the type", pftReal, Dec, "1e39", kRefused},
      {"real small", pftReal, Dec, "-2.5", "-3"},
      {"double bound, every digit", pftDouble, Dec, "-1.7e308", "-17" + std::string(307, '0')},
      {"double beyond", pftDouble, Dec, "1.8e308", kRefused},
      {"single beyond", pftSingle, Dec, "3.5e38", kRefused},
      {"comp beyond", pftComp, Dec, "9.3e18", kRefused},
      {"comp bound", pftComp, Dec, "9.2e18", "9200000000000000000"},
      {"extended beyond", pftExtended, Dec, "1.2e4932", kRefused},
      {"not a number", pftDouble, Dec, "abc", kRefused},
      {"comma", pftDouble, Dec, "1,5", kRefused},
  };
  CheckTexts(cases);
  // The field's decimals, halves away from zero.
  auto v = ReadRangeText("0.125", Fmt(pftDouble));
  ASSERT_TRUE(v);
  EXPECT_EQ(RangeText(*v, Fmt(pftDouble, Dec, 2)), "0.13");
  EXPECT_EQ(RangeText(*v, Fmt(pftDouble, Dec, 4)), "0.1250");
}

TEST(EntryFieldRange, CharacterTexts) {
  const TextCase cases[] = {
      {"a character", pftChar, Dec, "x", "x"},          {"first character only", pftChar, Dec, "xyz", "x"},
      {"code after #", pftChar, Dec, "#65", "A"},       {"# alone", pftChar, Dec, "#", "#"},
      {"code too big", pftChar, Dec, "#300", kRefused}, {"code not a number", pftChar, Dec, "#A", kRefused},
      {"empty is character 0", pftChar, Dec, "", ""},
  };
  CheckTexts(cases);
}

TEST(EntryFieldRange, TypesWithoutARangeRefuseEveryText) {
  for (auto t : {pftString, pftBoolean, pftYesNo}) {
    EXPECT_FALSE(ReadRangeText("1", Fmt(t))) << int(t);
    EXPECT_EQ(RangeText(TRangeLimit{}, Fmt(t)), "") << int(t);
  }
}

TEST(EntryFieldRange, DatesAndTimesGoThroughTheInternationalMasks) {
  FakeIntl intl;
  TRangeFormat date = Fmt(pftDate);
  date.intl = &intl;
  date.epoch = 1950;
  auto limit = ReadRangeText("D876581", date);
  ASSERT_TRUE(limit);
  EXPECT_EQ(intl.lastMask, "MM/dd/yyyy");
  EXPECT_EQ(intl.lastEpoch, 1950);
  EXPECT_EQ(RangeText(*limit, date), "D876581");
  EXPECT_FALSE(ReadRangeText("D876582", date)) << "after 3999-12-31";
  EXPECT_FALSE(ReadRangeText("D-1", date)) << "a bad date";
  EXPECT_FALSE(ReadRangeText("junk", date));

  TRangeFormat time = Fmt(pftTime);
  time.intl = &intl;
  limit = ReadRangeText("T86399", time);
  ASSERT_TRUE(limit);
  EXPECT_EQ(intl.lastMask, "hh:mm:ss");
  EXPECT_EQ(RangeText(*limit, time), "T86399");
  EXPECT_FALSE(ReadRangeText("T86400", time));

  time.intl = nullptr;
  EXPECT_FALSE(ReadRangeText("T1", time)) << "no international settings";
}

TEST(EntryFieldRange, DatesAndTimesThroughTheLibrarysSettings) {
  TVirIntlSup settings;
  settings.ShortDate = "MM/dd/yyyy";
  IntlSupEntryFields intl(settings);
  EXPECT_EQ(intl.RangeDateMask(), "MM/dd/yyyy");
  TRangeFormat date = Fmt(pftDate);
  date.intl = &intl;
  EXPECT_EQ(ReadRangeText("12/31/3999", date), DefaultRangeHigh(pftDate));
  EXPECT_EQ(RangeText(DefaultRangeHigh(pftDate), date), "12/31/3999");
  EXPECT_EQ(ReadRangeText(RangeText(DefaultRangeLow(pftDate), date), date), DefaultRangeLow(pftDate));
  EXPECT_FALSE(ReadRangeText("02/30/2000", date));

  TRangeFormat time = Fmt(pftTime);
  time.intl = &intl;
  EXPECT_EQ(RangeText(DefaultRangeHigh(pftTime), time), "23:59:59");
  EXPECT_EQ(ReadRangeText("23:59:59", time), DefaultRangeHigh(pftTime));
  EXPECT_FALSE(ReadRangeText("24:00:00", time));

  // A two-digit year takes its century from the epoch.
  settings.ShortDate = "MM/dd/yy";
  date.epoch = 1950;
  auto limit = ReadRangeText("01/01/49", date);
  ASSERT_TRUE(limit);
  TRangeFormat fourDigits = date;
  settings.ShortDate = "MM/dd/yyyy";
  EXPECT_EQ(RangeText(*limit, fourDigits), " 1/01/2049");
}

TEST(EntryFieldRange, DefaultRangesAndTheirTexts) {
  FakeIntl intl;
  struct {
    TPictureDataType type;
    std::string low;
    std::string high;
  } const cases[] = {
      {pftChar, " ", " "},
      {pftLongInt, "-2147483648", "2147483647"},
      {pftWord, "0", "65535"},
      {pftInteger, "-32768", "32767"},
      {pftByte, "0", "255"},
      {pftShortInt, "-128", "127"},
      {pftReal, "-170000000000001566000000000000000000000", "170000000000001566000000000000000000000"},
      {pftExtended, "-11" + std::string(4931, '0'), "11" + std::string(4931, '0')},
      {pftDouble, "-17" + std::string(307, '0'), "17" + std::string(307, '0')},
      {pftSingle, "-34" + std::string(37, '0'), "34" + std::string(37, '0')},
      {pftComp, "-9200000000000000000", "9200000000000000000"},
      {pftDate, "D0", "D876581"},
      {pftTime, "T0", "T86399"},
  };
  for (const auto& c : cases) {
    TRangeFormat f = Fmt(c.type);
    f.intl = &intl;
    TRangeLimit low = DefaultRangeLow(c.type), high = DefaultRangeHigh(c.type);
    EXPECT_EQ(RangeText(low, f), c.low) << int(c.type);
    EXPECT_EQ(RangeText(high, f), c.high) << int(c.type);
    // Each default limit reads back from its own text, byte for byte.
    EXPECT_EQ(ReadRangeText(c.low, f), low) << int(c.type);
    EXPECT_EQ(ReadRangeText(c.high, f), high) << int(c.type);
  }
  // The 6-byte real limits are the bytes FF 67 3C 9E C9 7F and ... FF.
  EXPECT_EQ(DefaultRangeHigh(pftReal), (TRangeLimit{0xFF, 0x67, 0x3C, 0x9E, 0xC9, 0x7F}));
  EXPECT_EQ(DefaultRangeLow(pftReal), (TRangeLimit{0xFF, 0x67, 0x3C, 0x9E, 0xC9, 0xFF}));
  for (auto t : {pftString, pftBoolean, pftYesNo}) {
    EXPECT_EQ(DefaultRangeLow(t), TRangeLimit{});
    EXPECT_EQ(DefaultRangeHigh(t), TRangeLimit{});
  }
}

TEST(EntryFieldRange, LimitsNarrowToValues) {
  struct {
    const char* text;
    TPictureDataType type;
    TRangeLimit value;
  } const cases[] = {
      {"0.1", pftDouble, {0x9A, 0x99, 0x99, 0x99, 0x99, 0x99, 0xB9, 0x3F}},
      {"0.1", pftSingle, {0xCD, 0xCC, 0xCC, 0x3D}},
      {"2.5", pftComp, {2}},  // to the nearest, ties to even
      {"3.5", pftComp, {4}},
      {"-1", pftComp, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
      {"300", pftWord, {0x2C, 0x01}},
  };
  for (const auto& c : cases) {
    auto limit = ReadRangeText(c.text, Fmt(c.type));
    ASSERT_TRUE(limit) << c.text;
    EXPECT_EQ(RangeLimitToValue(*limit, c.type), c.value) << c.text << " " << int(c.type);
  }
}

TEST(EntryFieldRange, MaskChoosesTheDigits) {
  struct {
    const char* mask;
    TDigitBase digits;
  } const cases[] = {{"iiii", Dec}, {"KKKK", Hex}, {"OOO", Oct}, {"bbbbbbbb", Bin}, {"X", Dec}, {"99.99", Dec}};
  for (const auto& c : cases) EXPECT_EQ(DigitBaseOfMask(c.mask), c.digits) << c.mask;
}

}  // namespace
