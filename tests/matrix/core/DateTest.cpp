#include <gtest/gtest.h>

#include <ctime>
#include <fstream>
#include <sstream>
#include <string>

#include "matrix/util/UtDate.h"

namespace {

// Day numbers and weekdays of sample dates from 1600 to 3999, made by
// tests/fixtures/matrix/make_dates.py from an independent calendar.
TEST(Dates, AgreeWithAnIndependentCalendar) {
  std::ifstream table(MORVA_FIXTURES "/matrix/dates.txt");
  ASSERT_TRUE(table) << "missing fixture dates.txt";
  std::string line;
  int rows = 0;
  while (std::getline(table, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    int day = 0, month = 0, year = 0, number = 0, weekday = 0;
    ASSERT_TRUE(fields >> day >> month >> year >> number >> weekday) << line;
    ++rows;
    EXPECT_EQ(DateFromDMY(day, month, year, 1980), number) << line;
    EXPECT_EQ(DateDayOfWeek(number), weekday) << line;
    int d = 0, m = 0, y = 0;
    DateToDMY(number, d, m, y);
    EXPECT_EQ(d * 1000000 + m * 10000 + y, day * 1000000 + month * 10000 + year) << line;
  }
  EXPECT_GT(rows, 2000);
}

TEST(Dates, ValidityAndLeapYears) {
  struct Case {
    int day, month, year;
    TStDate number;
  };
  const Case cases[] = {
      {1, 1, 1600, 0},       {29, 2, 1600, 59},      {1, 3, 1600, 60},       {29, 2, 1900, BadDate},
      {29, 2, 2000, 146156}, {31, 12, 3999, 876581}, {1, 1, 4000, BadDate},  {31, 12, 1599, BadDate},
      {0, 1, 2000, BadDate}, {32, 1, 2000, BadDate}, {1, 13, 2000, BadDate}, {31, 4, 2001, BadDate},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DateFromDMY(c.day, c.month, c.year, 1980), c.number) << c.day << "." << c.month << "." << c.year;

  EXPECT_TRUE(DateIsLeapYear(2000));
  EXPECT_FALSE(DateIsLeapYear(1900));
  EXPECT_FALSE(DateIsLeapYear(4000));
  EXPECT_TRUE(DateIsLeapYear(2004));
  EXPECT_EQ(DateDaysInMonth(2, 2000, 1980), 29);
  EXPECT_EQ(DateDaysInMonth(13, 2000, 1980), 0);
  EXPECT_EQ(DateDaysInMonth(1, 4000, 1980), 0);
  EXPECT_FALSE(DateIsValid(29, 2, 2001, 1980));
}

TEST(Dates, TwoDigitYearsWidenByTheEpoch) {
  struct Case {
    int year, epoch, widened;
  };
  const Case cases[] = {{5, 1980, 2005}, {5, 2010, 2105}, {79, 1980, 2079}, {80, 1980, 1980}, {99, 1980, 1999}};
  for (const Case& c : cases)
    EXPECT_EQ(DateFromDMY(1, 1, c.year, c.epoch), DateFromDMY(1, 1, c.widened, 0)) << c.year << "/" << c.epoch;
  EXPECT_EQ(DateDaysInMonth(2, 0, 1980), 29) << "00 with epoch 1980 is the leap year 2000";
}

TEST(Dates, InvalidDayNumbers) {
  int d = 1, m = 1, y = 1;
  DateToDMY(BadDate, d, m, y);
  EXPECT_EQ(d + m + y, 0);
  EXPECT_EQ(DateDayOfWeek(BadDate), 7);
  EXPECT_EQ(DateDayOfWeek(0), 6) << "1 January 1600 was a Saturday";
  EXPECT_EQ(DateDayOfWeekDMY(10, 12, 2026, 1980), 4);
  EXPECT_EQ(DateIncMonths(BadDate, 1, 0), BadDate);
}

TEST(Dates, IncMonthsClipsToTheLastDay) {
  struct Case {
    int day, month, year, months, years;
    int toDay, toMonth, toYear;
  };
  const Case cases[] = {
      {31, 1, 2001, 1, 0, 28, 2, 2001},    {31, 1, 2000, 1, 0, 29, 2, 2000}, {15, 11, 2000, 3, 0, 15, 2, 2001},
      {31, 3, 2001, -1, 0, 28, 2, 2001},   {29, 2, 2000, 0, 1, 28, 2, 2001}, {1, 1, 2000, -12, -1, 1, 1, 1998},
      {15, 6, 1999, 0, 2000, 15, 6, 3999},
  };
  for (const Case& c : cases) {
    const TStDate got = DateIncMonths(DateFromDMY(c.day, c.month, c.year, 0), c.months, c.years);
    EXPECT_EQ(got, DateFromDMY(c.toDay, c.toMonth, c.toYear, 0)) << c.day << "." << c.month << "." << c.year;
  }
  EXPECT_EQ(DateIncMonths(DateFromDMY(1, 1, 1600, 0), -1, 0), BadDate);
  EXPECT_EQ(DateIncMonths(DateFromDMY(1, 12, 3999, 0), 1, 0), BadDate);
}

TEST(Dates, PlatformDateTimeAndToday) {
  EXPECT_EQ(DateFromDateTime(0.0), DateFromDMY(30, 12, 1899, 0));
  EXPECT_EQ(DateFromDateTime(36526.75), DateFromDMY(1, 1, 2000, 0));
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  const TStDate today = DateToday();
  EXPECT_LE(today - DateFromDMY(tm.tm_mday, tm.tm_mon + 1, tm.tm_year + 1900, 0), 1);
  EXPECT_GE(DefaultYear, 2024);
  EXPECT_TRUE(DefaultMonth >= 1 && DefaultMonth <= 12);
}

TEST(Times, SecondsOfTheDay) {
  struct Case {
    int h, m, s;
    TStTime t;
  };
  const Case cases[] = {{0, 0, 0, 0}, {23, 59, 59, 86399}, {25, 0, 0, 3600}, {0, 0, 86400, 0}, {0, -1, 0, -60}};
  for (const Case& c : cases) EXPECT_EQ(TimeFromHMS(c.h, c.m, c.s), c.t) << c.h << ":" << c.m << ":" << c.s;

  int h = 0, m = 0, s = 0;
  TimeToHMS(45296, h, m, s);
  EXPECT_EQ(h * 10000 + m * 100 + s, 123456);
  TimeToHMS(-60, h, m, s);
  EXPECT_EQ(h + m + s, 0);
  TimeToHMS(86400, h, m, s);
  EXPECT_EQ(h + m + s, 0);

  EXPECT_TRUE(TimeIsValid(23, 59, 59));
  EXPECT_FALSE(TimeIsValid(24, 0, 0));
  EXPECT_FALSE(TimeIsValid(0, 60, 0));
  EXPECT_FALSE(TimeIsValid(0, 0, -1));

  EXPECT_EQ(TimeIncHMS(86000, 0, 10, 0), 200) << "wraps past midnight";
  EXPECT_EQ(TimeDecHMS(100, 0, 2, 0), 86380) << "wraps below midnight";
  EXPECT_EQ(TimeDecHMS(7200, 25, 0, 0), 3600) << "hours count modulo 24";
  const TStTime now = TimeNow();
  EXPECT_TRUE(now >= 0 && now < 86400);
}

}  // namespace
