#pragma once
// Dates as day numbers and times as seconds of the day.
//
// A day number counts days from 1 January 1600 (day 0); -1 stands for an
// invalid date. Valid years are 1600 to 3999. A year below 100 is widened by
// an epoch year: the epoch's century is added, plus 100 when the two digits
// are below the epoch's own last two (with epoch 1980, 5 is 2005 and 85 1985).
// A time counts seconds since midnight, 0 .. 86399.

#include <cstdint>

using TStDate = std::int32_t;
using TStTime = std::int32_t;

inline constexpr TStDate BadDate = -1;

// Today's year and month, stored at start-up as defaults for date fields.
extern int DefaultYear;
extern int DefaultMonth;

// Divisible by 4, not by 4000, and either not by 100 or by 400.
bool DateIsLeapYear(int year);
// 28 .. 31; 0 for a month outside 1 .. 12 or a year outside 1600 .. 3999.
int DateDaysInMonth(int month, int year, int epoch);
bool DateIsValid(int day, int month, int year, int epoch);
// The century window: a year 0 .. 99 becomes the epoch's century plus the
// year, plus 100 more when the epoch's last two digits are above the year;
// other years stay as they are.
int DateWidenYear(int year, int epoch);

TStDate DateFromDMY(int day, int month, int year, int epoch);
// BadDate gives 0, 0, 0.
void DateToDMY(TStDate julian, int& day, int& month, int& year);
// The date that many months and years later (either may be negative), the day
// of month clipped to the new month's last day; BadDate when out of range.
TStDate DateIncMonths(TStDate julian, int months, int years);

// 0 Sunday .. 6 Saturday; 7 for an invalid date.
int DateDayOfWeek(TStDate julian);
int DateDayOfWeekDMY(int day, int month, int year, int epoch);

// The platform's date-time: days since 30 December 1899, the time of day as
// the fraction.
TStDate DateFromDateTime(double dateTime);
TStDate DateToday();

// ((h mod 24) * 3600 + m * 60 + s) mod 86400; negative arguments can give a
// negative (invalid) time.
TStTime TimeFromHMS(int hours, int minutes, int seconds);
// An invalid time gives 0, 0, 0.
void TimeToHMS(TStTime t, int& hours, int& minutes, int& seconds);
bool TimeIsValid(int hours, int minutes, int seconds);
TStTime TimeNow();
TStTime TimeIncHMS(TStTime t, int hours, int minutes, int seconds);
TStTime TimeDecHMS(TStTime t, int hours, int minutes, int seconds);
