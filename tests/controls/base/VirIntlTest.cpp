#include "controls/base/VirIntl.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

TVirIntlSup Loaded(const char* profile) {
  TVirIntlSup intl;
  intl.LoadProfileSettings(plat::IniFile::FromText(profile));
  return intl;
}

// ---- masks from the settings ----

struct MaskCase {
  const char* name;
  const char* profile;
  bool twelveHour;
  const char* shortDate;
  const char* dateMask;
  const char* centuryMask;
  const char* timeMask;
  const char* secondsMask;
};

const MaskCase kMasks[] = {
    {"NoIntlSection", "", false, "MM/dd/yy", "MM/dd/yy", "MM/dd/yyyy", "Hh:mm", "Hh:mm:ss"},
    {"European", "[intl]\nsShortDate=dd.MM.yyyy\nsDate=.\nsDecimal=,\nsThousand=.\niTLZero=1\n", false, "dd/MM/yyyy",
     "dd/MM/yy", "dd/MM/yyyy", "hh:mm", "hh:mm:ss"},
    {"TwelveHour", "[intl]\niTLZero=0\nsTimeFormat=h:mm:ss tt\n", true, "MM/dd/yy", "MM/dd/yy", "MM/dd/yyyy",
     "Hh:mm tt", "Hh:mm:ss tt"},
    {"LongDesignator", "[intl]\ns1159=a.m.\ns2359=p.m.\niTLZero=1\nsTimeFormat=hh:mm AMPM\n", true, "MM/dd/yy",
     "MM/dd/yy", "MM/dd/yyyy", "hh:mm tttt", "hh:mm:ss tttt"},
    {"TwentyFourHour", "[intl]\niTLZero=1\nsTimeFormat=HH:mm:ss\n", false, "MM/dd/yy", "MM/dd/yy", "MM/dd/yyyy",
     "hh:mm", "hh:mm:ss"},
    {"SingleLetterRunsWiden", "[INTL]\nSSHORTDATE=M-d-yyyy\nsDate=-\n", false, "M/d/yyyy", "MM/dd/yy", "MM/dd/yyyy",
     "Hh:mm", "Hh:mm:ss"},
};

class Masks : public ::testing::TestWithParam<MaskCase> {};

TEST_P(Masks, FollowTheSettings) {
  const MaskCase& c = GetParam();
  TVirIntlSup intl = Loaded(c.profile);
  EXPECT_EQ(intl.Time12Hour, c.twelveHour);
  EXPECT_EQ(intl.ShortDate, c.shortDate);
  EXPECT_EQ(intl.InternationalDate(false), c.dateMask);
  EXPECT_EQ(intl.InternationalDate(true), c.centuryMask);
  EXPECT_EQ(intl.InternationalTime(false), c.timeMask);
  EXPECT_EQ(intl.InternationalTime(true), c.secondsMask);
}

INSTANTIATE_TEST_SUITE_P(IntlSup, Masks, ::testing::ValuesIn(kMasks),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(IntlSup, EuropeanSettingsShowTheirSeparators) {
  TVirIntlSup intl = Loaded("[intl]\nsShortDate=dd.MM.yyyy\nsDate=.\nsDecimal=,\nsThousand=.\nsTime=.\n");
  EXPECT_EQ(intl.DecimalChar, ',');
  EXPECT_EQ(intl.ThousandsChar, '.');
  TStDate date = DateFromDMY(10, 12, 2026, 1900);
  EXPECT_EQ(intl.DateToDateString(intl.InternationalDate(true), date, false), "10.12.2026");
  EXPECT_EQ(intl.DateStringToDate("dd/MM/yyyy", "10.12.2026", 1900), date);
  EXPECT_EQ(intl.TimeToTimeString("hh:mm", 9 * 3600 + 5 * 60, false), "09.05");
}

TEST(IntlSup, TheClockComesFromTheSettingsFileWithTheOtherSettings) {
  const std::filesystem::path folder = std::filesystem::path(MORVA_ARTEFACTS) / "controls" / "intl-settings";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  const char* old = std::getenv("XDG_CONFIG_HOME");
  const std::string saved = old != nullptr ? old : "";
  setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
  plat::WriteProfileString("morva.ini", "intl", "sTimeFormat", "h:mm:ss tt");
  plat::WriteProfileString("morva.ini", "intl", "s2359", "pm");
  TVirIntlSup intl;
  intl.LoadProfileSettings();
  if (old != nullptr) {
    setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  } else {
    unsetenv("XDG_CONFIG_HOME");
  }
  EXPECT_TRUE(intl.Time12Hour);
  EXPECT_EQ(intl.TimeToTimeString(intl.InternationalTime(false), 13 * 3600 + 5 * 60, false), " 1:05 pm");
}

TEST(IntlSup, DefaultsBeforeAndWithoutTheProfile) {
  TVirIntlSup before;
  TVirIntlSup without = Loaded("[other]\nsDecimal=,\n");
  for (const TVirIntlSup* intl : {&before, &without}) {
    EXPECT_EQ(intl->DecimalChar, '.');
    EXPECT_EQ(intl->ThousandsChar, ',');
    EXPECT_EQ(intl->DateSepChar, '/');
    EXPECT_EQ(intl->CurrencyLtStr, "$");
    EXPECT_EQ(intl->CurrencyDigits, 2);
    EXPECT_EQ(intl->LongDate, "wwwwwwwww, nnnnnnnnn dd, yyyy");
    EXPECT_EQ(std::string({intl->TrueChar, intl->FalseChar, intl->YesChar, intl->NoChar}), "TFYN");
  }
  EXPECT_EQ(without.TimeSepChar, ':');
  EXPECT_EQ(without.AMString, "AM");
  EXPECT_EQ(without.PMString, "PM");
}

TEST(IntlSup, AnEmptySeparatorTakesItsDefault) {
  TVirIntlSup intl = Loaded("[intl]\nsDecimal=\nsThousand=\nsDate=\nsTime=\nsList=\nsCurrency=\ns1159=\n");
  EXPECT_EQ(intl.DecimalChar, '.');
  EXPECT_EQ(intl.ThousandsChar, ',');
  EXPECT_EQ(intl.DateSepChar, '/');
  EXPECT_EQ(intl.TimeSepChar, ':');
  EXPECT_EQ(intl.ListChar, ',');
  EXPECT_EQ(intl.CurrencyLtStr, "$");
  EXPECT_EQ(intl.AMString, "AM");
}

TEST(IntlSup, CurrencyForms) {
  struct Case {
    const char* profile;
    const char* left;
    const char* right;
  };
  const Case cases[] = {{"[intl]\nsCurrency=DM\niCurrency=3\n", "DM", " DM"},
                        {"[intl]\nsCurrency=kr\niCurrency=2\n", "kr", "kr "},
                        {"[intl]\nsCurrency=EUR\niCurrency=1\n", "EUR", "EUR"},
                        {"[intl]\nsCurrency=Fr.SFr\niCurrency=3\n", "Fr.SF", " Fr.S"}};
  for (const Case& c : cases) {
    TVirIntlSup intl = Loaded(c.profile);
    EXPECT_EQ(intl.CurrencyLtStr, c.left) << c.profile;
    EXPECT_EQ(intl.CurrencyRtStr, c.right) << c.profile;
  }
}

// ---- long dates ----

struct LongDateCase {
  const char* name;
  const char* format;
  const char* mask;
  std::array<std::string, 3> literals;
  const char* packed;  // 10 December 2026, a Thursday
};

const LongDateCase kLongDates[] = {
    {"Default", "dddd, MMMM dd, yyyy", "wwwwwwwww, nnnnnnnnn dd, yyyy", {}, "Thursday, December 10, 2026"},
    {"QuotedCommaAndBlank",
     "dddd', 'MMMM dd yyyy",
     "wwwwwwwwwffnnnnnnnnn dd yyyy",
     {", ", "", ""},
     "Thursday, December 10 2026"},
    {"Abbreviations", "ddd dd MMM yyyy", "www dd nnn yyyy", {}, "Thu 10 Dec 2026"},
    {"ThreeLiterals",
     "'Le 'dddd' 'dd' de 'MMMM",
     "fffwwwwwwwwwgddhhhhnnnnnnnnn",
     {"Le ", " ", " de "},
     "Le Thursday 10 de December"},
    {"UnclosedQuoteRunsToTheEnd", "dd 'abc", "dd fff", {"abc", "", ""}, "10 abc"},
};

class LongDates : public ::testing::TestWithParam<LongDateCase> {};

TEST_P(LongDates, LiteralsAndNamesBecomeMaskLetters) {
  const LongDateCase& c = GetParam();
  TVirIntlSup intl = Loaded((std::string("[intl]\nsLongDate=") + c.format + "\n").c_str());
  EXPECT_EQ(intl.LongDate, c.mask);
  EXPECT_EQ(intl.LongDateLiterals, c.literals);
  EXPECT_EQ(intl.DateToDateString(intl.LongDate, DateFromDMY(10, 12, 2026, 1900), true), c.packed);
}

INSTANTIATE_TEST_SUITE_P(IntlSup, LongDates, ::testing::ValuesIn(kLongDates),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(IntlSup, ALongLiteralMarksOnlyTheCharactersItKeeps) {
  TVirIntlSup intl = Loaded("[intl]\nsLongDate=dd 'de la semaine' yyyy\n");
  EXPECT_EQ(intl.LongDate, "dd fffff yyyy");
  EXPECT_EQ(intl.LongDateLiterals[0], "de la");
  TStDate date = DateFromDMY(3, 1, 2000, 1900);
  EXPECT_EQ(intl.DateToDateString(intl.LongDate, date, false), "03 de la 2000");
  // A mask with more literal letters than its text shows blanks, never more.
  EXPECT_EQ(intl.DateToDateString("dd fffffff", date, false), "03 de la  ");
}

// ---- dates ----

TEST(IntlSup, CenturyWindow) {
  struct Case {
    int epoch;
    const char* text;
    int year;
  };
  const Case cases[] = {{1950, "01/01/49", 2049}, {1950, "01/01/50", 1950},  {1900, "01/01/00", 1900},
                        {1900, "01/01/99", 1999}, {2000, "01/01/05", 2005},  {1980, "01/01/79", 2079},
                        {1980, "01/01/80", 1980}, {1950, "01/01/1849", 1849}};
  TVirIntlSup intl;
  for (const Case& c : cases) {
    std::string mask = std::string(c.text).size() == 8 ? "mm/dd/yy" : "mm/dd/yyyy";
    EXPECT_EQ(intl.DateStringToDate(mask, c.text, c.epoch), DateFromDMY(1, 1, c.year, 1900))
        << c.epoch << " " << c.text;
  }
}

TEST(IntlSup, DateTextCases) {
  struct Case {
    const char* mask;
    const char* text;
    int day, month, year;  // 0: the bad date
  };
  const Case cases[] = {
      {"nnnnnnnnn dd, yyyy", "December  10, 2026", 10, 12, 2026},
      {"nnn dd yyyy", "dec 10 2026", 10, 12, 2026},
      {"nnn dd yyyy", "Dez 10 2026", 0, 0, 0},  // no such month name
      {"MM/dd/yyyy", " 2/29/2023", 0, 0, 0},    // no such day
      {"MM/dd/yyyy", " 2/29/2024", 29, 2, 2024},
      {"MM/dd/yyyy", "2/29/2024", 0, 0, 0},       // text and mask differ in length
      {"MM/dd/yyyy", "1x/01/2024", 0, 0, 0},      // not a number
      {"MM/dd/yyyy", "12/  /2024", 1, 12, 2024},  // an empty day is the first
      {"dd/MM/yyyy", "31/12/3999", 31, 12, 3999},
      {"dd/MM/yyyy", "01/01/4000", 0, 0, 0},
  };
  TVirIntlSup intl;
  for (const Case& c : cases) {
    TStDate expected = c.day == 0 ? BadDate : DateFromDMY(c.day, c.month, c.year, 1900);
    EXPECT_EQ(intl.DateStringToDate(c.mask, c.text, 1900), expected) << c.mask << " " << c.text;
  }
  EXPECT_TRUE(intl.DateStringIsBlank("MM/dd/yy", "  /  /  "));
  EXPECT_FALSE(intl.DateStringIsBlank("MM/dd/yy", "  / 1/  "));
  EXPECT_EQ(intl.DateToDateString("MM/dd/yy", BadDate, false), "  /  /  ");
  EXPECT_EQ(intl.DateToDateString("wwwwwwwww, MM/dd/yy", DateFromDMY(4, 7, 1776, 1900), false), "Thursday ,  7/04/76");
  EXPECT_EQ(intl.DateToDateString("wwwwwwwww, MM/dd/yy", DateFromDMY(4, 7, 1776, 1900), true), "Thursday, 7/04/76");
}

// Every date of 1600 to 3999, to text and back, against the calendar that
// Python's datetime gives (tests/fixtures/controls/base/make_dates.py).
TEST(IntlSup, EveryDateToTextAndBack) {
  std::ifstream years(std::string(MORVA_FIXTURES) + "/controls/base/years.txt");
  ASSERT_TRUE(years) << "missing years.txt";
  std::string line;
  std::getline(years, line);  // the heading
  TVirIntlSup intl;
  static constexpr int kMonthDays[12] = {31, 0, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  int yearsChecked = 0;
  TStDate expectedNext = 0;
  for (int year, first, february, weekday; years >> year >> first >> february >> weekday; ++yearsChecked) {
    ASSERT_EQ(first, expectedNext) << year;
    ASSERT_EQ(DateDayOfWeek(first), weekday) << year;
    TStDate date = first;
    for (int month = 1; month <= 12; ++month) {
      int days = month == 2 ? february : kMonthDays[month - 1];
      for (int day = 1; day <= days; ++day, ++date) {
        char zeros[40], blanks[40];
        std::snprintf(zeros, sizeof zeros, "%02d/%02d/%04d", month, day, year);
        std::snprintf(blanks, sizeof blanks, "%2d/%02d/%04d", month, day, year);
        ASSERT_EQ(intl.DateToDateString("mm/dd/yyyy", date, false), zeros) << date;
        ASSERT_EQ(intl.DateToDateString("MM/dd/yyyy", date, false), blanks) << date;
        ASSERT_EQ(intl.DateStringToDate("mm/dd/yyyy", zeros, 1900), date) << zeros;
        ASSERT_EQ(intl.DateStringToDate("MM/dd/yyyy", blanks, 1900), date) << blanks;
      }
    }
    expectedNext = date;
  }
  EXPECT_EQ(yearsChecked, 2400);
  EXPECT_EQ(expectedNext, 876582);
}

// ---- times ----

struct TimeCase {
  const char* name;
  const char* mask;
  TStTime time;
  const char* am;
  const char* pm;
  bool pack;
  const char* text;
};

const TimeCase kTimes[] = {
    {"Midnight24", "hh:mm:ss", 0, "", "", false, "00:00:00"},
    {"MidnightIsTwelve", "Hh:mm tt", 0, "AM", "PM", false, "12:00 AM"},
    {"AfternoonSubtracts12", "Hh:mm tt", 13 * 3600 + 5 * 60, "AM", "PM", false, " 1:05 PM"},
    {"NoonIsEvening", "Hh:mm tt", 12 * 3600, "AM", "PM", false, "12:00 PM"},
    {"PackRemovesBlankPadding", "Hh:mm tt", 13 * 3600 + 5 * 60, "AM", "PM", true, "1:05 PM"},
    {"ShortDesignator", "hh:mm tt", 9 * 3600, "a", "p", false, "09:00 a "},
    {"PackedShortDesignator", "hh:mm tt", 9 * 3600, "a", "p", true, "09:00 a"},
    {"WithoutDesignatorTexts", "hh:mm tt", 13 * 3600, "", "", false, "13:00   "},
    {"PackedWithoutDesignator", "hh:mm tt", 13 * 3600, "", "", true, "13:00"},
    {"BadTimeIsBlank", "hh:mm:ss", BadTime, "", "", false, "  :  :  "},
    {"BadTimeBlankDesignator", "hh:mm tt", BadTime, "AM", "PM", false, "  :     "},
    {"UpperCaseSecondsPad", "hh:mm:SS", 7, "", "", false, "00:00: 7"},
};

class Times : public ::testing::TestWithParam<TimeCase> {};

TEST_P(Times, ToText) {
  const TimeCase& c = GetParam();
  TVirIntlSup intl;
  EXPECT_EQ(intl.TimeToTimeString(c.mask, c.time, c.am, c.pm, c.pack), c.text);
}

INSTANTIATE_TEST_SUITE_P(IntlSup, Times, ::testing::ValuesIn(kTimes),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(IntlSup, TextToTime) {
  struct Case {
    const char* mask;
    const char* text;
    TStTime time;
  };
  const Case cases[] = {
      {"Hh:mm tt", " 1:05 PM", 13 * 3600 + 5 * 60},
      {"Hh:mm tt", "12:00 AM", 0},
      {"Hh:mm tt", "12:30 pm", 12 * 3600 + 1800},
      {"Hh:mm tt", " 9:15 a ", 9 * 3600 + 900},
      {"hh:mm:ss", "23:59:59", 86399},
      {"hh:mm:ss", "09:05:  ", 9 * 3600 + 300},
      {"hh:mm:ss", "24:00:00", BadTime},
      {"hh:mm:ss", "  :  :  ", BadTime},
      {"hh:mm:ss", "1a:00:00", BadTime},
      {"hh:mm", "09:05:00", BadTime},
  };
  TVirIntlSup intl;
  for (const Case& c : cases) EXPECT_EQ(intl.TimeStringToTime(c.mask, c.text), c.time) << c.mask << " " << c.text;
}

}  // namespace
