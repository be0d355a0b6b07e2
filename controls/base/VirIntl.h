#pragma once
// International conventions of the component library: decimal and thousands
// characters, currency, date and time formats, true/false and yes/no
// characters, read from section [intl] of "morva.ini" (each missing or empty
// key keeps its default). The entry fields build their default picture masks
// from them and convert dates and times between values and text through masks.
//
// Date and time masks, letter by letter: m/M month number (minute after an
// hour in a time mask), n/N month name, d/D day, y year (2 or 4 positions),
// w/W weekday name, h/H hour, s/S second, t the morning or evening designator,
// f, g, h in a long date the first, second and third literal text, '/' the
// date separator and ':' the time separator; every other character stands as
// it is. A field is the first run of its letter in either case; a number under
// upper-case letters is padded with blanks, under lower-case ones with zeros.
// Month and weekday names are English.

#include <array>
#include <string>
#include <string_view>

#include "matrix/util/UtDate.h"
#include "platform/IniFile.h"

inline constexpr TStTime BadTime = -1;

class TVirIntlSup {
 public:
  // The defaults that hold before any profile is read.
  TVirIntlSup();

  // Reads section [intl] of "morva.ini" (in the settings folder); without the
  // file or the section every key takes its default.
  void LoadProfileSettings();
  void LoadProfileSettings(const plat::IniFile& profile);

  char DecimalChar = '.';
  char ThousandsChar = ',';
  int CurrencyDigits = 2;
  char ListChar = ',';
  std::string Country;
  std::string CurrencyLtStr = "$";  // at most 5 characters
  std::string CurrencyRtStr;        // at most 5 characters
  int CurrencyForm = 0;
  int NegCurrencyForm = 0;
  bool TLZero = false;      // hours shown with a leading zero
  // A 12-hour clock, which adds the designator to time masks: the time format
  // "sTimeFormat" ends in a designator ("h:mm:ss tt", "h:mm AMPM"); without
  // one the clock has 24 hours.
  bool Time12Hour = false;
  char TimeSepChar = ':';
  char DateSepChar = '/';
  std::string AMString = "AM";  // at most 5 characters
  std::string PMString = "PM";
  std::string ShortDate = "MM/dd/yy";  // date separators stored as '/'
  std::string LongDate;                // the long-date mask, literals marked f, g, h
  std::array<std::string, 3> LongDateLiterals;
  char TrueChar = 'T';
  char FalseChar = 'F';
  char YesChar = 'Y';
  char NoChar = 'N';

  // The short date with its day and month runs 2 positions wide and its year
  // run 2, or 4 with forceCentury.
  std::string InternationalDate(bool forceCentury) const;
  // "hh:mm:ss" ('H' first without a leading zero), without ":ss" unless
  // showSeconds, and with a 12-hour clock a blank and as many 't' as the longer
  // designator has characters.
  std::string InternationalTime(bool showSeconds) const;

  // The date through the mask; the bad date leaves its fields blank. With
  // pack, blanks left by short names and blank-padded numbers are removed.
  std::string DateToDateString(std::string_view mask, TStDate date, bool pack) const;
  // The date in the text under the mask (same length): month (default the
  // current one), day (default 1) and year (default the current one, two digits
  // widened by the epoch); BadDate when they are no valid date.
  TStDate DateStringToDate(std::string_view mask, std::string_view text, int epoch) const;
  // True when the month, day and year fields of the text are all empty.
  bool DateStringIsBlank(std::string_view mask, std::string_view text) const;
  // The time (seconds since midnight, or BadTime) through the mask.
  std::string TimeToTimeString(std::string_view mask, TStTime time, bool pack) const;
  std::string TimeToTimeString(std::string_view mask, TStTime time, std::string_view am, std::string_view pm,
                               bool pack) const;
  // The time in the text under the mask: hours, minutes and seconds (empty
  // ones 0; all empty is BadTime), a designator run that holds the evening
  // text moves hours below 12 to the afternoon and the morning text takes 12
  // to 0; BadTime when they are no valid time.
  TStTime TimeStringToTime(std::string_view mask, std::string_view text) const;

 private:
  std::string ReplaceSeparators(std::string_view mask, std::string text) const;
};

// The library's international settings, read from the profile on first use.
TVirIntlSup& VirIntlSup();

// English month (1..12) and weekday (0 Sunday .. 6) names.
const std::string& MonthName(int month);
const std::string& WeekdayName(int weekday);
