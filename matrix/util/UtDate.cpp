#include "matrix/util/UtDate.h"

#include <chrono>
#include <cmath>
#include <ctime>

namespace {

constexpr int MinYear = 1600;
constexpr int MaxYear = 3999;
constexpr int SecondsPerDay = 86400;

int DaysInMonth(int month, int year) {
  static constexpr int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12 || year < MinYear || year > MaxYear) return 0;
  return month == 2 && DateIsLeapYear(year) ? 29 : days[month - 1];
}

// The day number of a valid date of a four-digit year.
TStDate DayNumber(int day, int month, int year) {
  if (day < 1 || day > DaysInMonth(month, year)) return BadDate;
  if (year == MinYear && month <= 2) return month == 1 ? day - 1 : day + 30;
  int m = month - 3;
  if (month <= 2) {
    m = month + 9;
    --year;
  }
  const int y = year - MinYear;
  return (y / 100 * 146097) / 4 + (y % 100 * 1461) / 4 + (153 * m + 2) / 5 + day + 59;
}

struct LocalNow {
  std::tm tm;
  double secondsOfDay;
};

LocalNow Now() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  std::tm tm{};
  localtime_r(&seconds, &tm);
  return {tm, static_cast<double>(tm.tm_hour * 3600 + tm.tm_min * 60 + tm.tm_sec)};
}

}  // namespace

int DefaultYear = Now().tm.tm_year + 1900;
int DefaultMonth = Now().tm.tm_mon + 1;

int DateWidenYear(int year, int epoch) {
  if (year < 0 || year >= 100) return year;
  const int century = epoch / 100 * 100;
  return century + year + (year < epoch % 100 ? 100 : 0);
}

bool DateIsLeapYear(int year) { return year % 4 == 0 && year % 4000 != 0 && (year % 100 != 0 || year % 400 == 0); }

int DateDaysInMonth(int month, int year, int epoch) { return DaysInMonth(month, DateWidenYear(year, epoch)); }

bool DateIsValid(int day, int month, int year, int epoch) {
  return day >= 1 && day <= DateDaysInMonth(month, year, epoch);
}

TStDate DateFromDMY(int day, int month, int year, int epoch) {
  return DayNumber(day, month, DateWidenYear(year, epoch));
}

void DateToDMY(TStDate julian, int& day, int& month, int& year) {
  if (julian < 0) {
    day = month = year = 0;
    return;
  }
  if (julian <= 59) {
    year = MinYear;
    month = julian <= 30 ? 1 : 2;
    day = julian <= 30 ? julian + 1 : julian - 30;
    return;
  }
  // Days since 1 March 1600, in cycles of 400 years, then of 4 years; months from March.
  const std::int64_t n = julian - 60;
  const std::int64_t cycles = (4 * n + 3) / 146097;
  const std::int64_t inCycle = n - 146097 * cycles / 4;
  const std::int64_t years = (4 * inCycle + 3) / 1461;
  const std::int64_t inYear = inCycle - 1461 * years / 4;
  const std::int64_t m = (5 * inYear + 2) / 153;
  day = static_cast<int>(inYear - (153 * m + 2) / 5 + 1);
  month = static_cast<int>(m < 10 ? m + 3 : m - 9);
  year = static_cast<int>(MinYear + 100 * cycles + years + (m < 10 ? 0 : 1));
}

TStDate DateIncMonths(TStDate julian, int months, int years) {
  int day = 0;
  int month = 0;
  int year = 0;
  DateToDMY(julian, day, month, year);
  if (julian < 0) return BadDate;
  const std::int64_t total =
      static_cast<std::int64_t>(year) * 12 + (month - 1) + months + static_cast<std::int64_t>(years) * 12;
  if (total < static_cast<std::int64_t>(MinYear) * 12 || total > static_cast<std::int64_t>(MaxYear) * 12 + 11)
    return BadDate;
  year = static_cast<int>(total / 12);
  month = static_cast<int>(total % 12) + 1;
  const int last = DaysInMonth(month, year);
  return DayNumber(day < last ? day : last, month, year);
}

int DateDayOfWeek(TStDate julian) { return julian < 0 ? 7 : (julian + 6) % 7; }

int DateDayOfWeekDMY(int day, int month, int year, int epoch) {
  return DateDayOfWeek(DateFromDMY(day, month, year, epoch));
}

TStDate DateFromDateTime(double dateTime) {
  static const TStDate dayZero = DayNumber(30, 12, 1899);
  return dayZero + static_cast<TStDate>(std::trunc(dateTime));
}

TStDate DateToday() {
  const std::tm tm = Now().tm;
  return DayNumber(tm.tm_mday, tm.tm_mon + 1, tm.tm_year + 1900);
}

TStTime TimeFromHMS(int hours, int minutes, int seconds) {
  return ((hours % 24) * 3600 + minutes * 60 + seconds) % SecondsPerDay;
}

void TimeToHMS(TStTime t, int& hours, int& minutes, int& seconds) {
  if (t < 0 || t >= SecondsPerDay) {
    hours = minutes = seconds = 0;
    return;
  }
  hours = t / 3600;
  minutes = t % 3600 / 60;
  seconds = t % 60;
}

bool TimeIsValid(int hours, int minutes, int seconds) {
  return hours >= 0 && hours < 24 && minutes >= 0 && minutes < 60 && seconds >= 0 && seconds < 60;
}

TStTime TimeNow() { return static_cast<TStTime>(Now().secondsOfDay); }

TStTime TimeIncHMS(TStTime t, int hours, int minutes, int seconds) {
  return (t + TimeFromHMS(hours, minutes, seconds)) % SecondsPerDay;
}

TStTime TimeDecHMS(TStTime t, int hours, int minutes, int seconds) {
  const TStTime result = t - TimeFromHMS(hours % 24, minutes, seconds);
  return result < 0 ? result + SecondsPerDay : result;
}
