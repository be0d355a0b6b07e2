#include "controls/base/VirIntl.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "controls/base/StrRes.h"
#include "rtl/Convert.h"
#include "rtl/StringList.h"
#include "rtl/TextFile.h"

namespace {

constexpr std::size_t kShortTextLength = 5;  // currency strings, designators, long-date literals
constexpr std::size_t kShortDateLength = 29;
constexpr std::size_t kLongDateLength = 39;
constexpr std::size_t kFullNameLength = 9;  // "Wednesday", "September"
constexpr std::uint16_t kYesChar = 34368, kNoChar = 34369, kTrueChar = 34370, kFalseChar = 34371;
constexpr char kLiteralLetters[3] = {'f', 'g', 'h'};

const std::array<std::string, 12> kMonths = {"January", "February", "March",     "April",   "May",      "June",
                                             "July",    "August",   "September", "October", "November", "December"};
const std::array<std::string, 7> kWeekdays = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                              "Thursday", "Friday", "Saturday"};

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }
bool IsUpper(char c) { return std::isupper(static_cast<unsigned char>(c)) != 0; }

// The first run of `letter` (either case) in the mask.
struct Run {
  std::size_t start = 0;
  std::size_t length = 0;
  explicit operator bool() const { return length > 0; }
};

Run FindRun(std::string_view mask, char letter) {
  std::size_t i = 0;
  while (i < mask.size() && Lower(mask[i]) != letter) ++i;
  Run run{i, 0};
  while (i < mask.size() && Lower(mask[i]) == letter) {
    ++i;
    ++run.length;
  }
  return run;
}

// Writes `text` into the run, cut to its length and padded with blanks.
void FillText(std::string& result, Run run, std::string_view text) {
  for (std::size_t k = 0; k < run.length; ++k) result[run.start + k] = k < text.size() ? text[k] : ' ';
}

// Writes the last run.length digits of the number into the run; leading zeros
// under upper-case letters become blanks (the last digit always shows).
void FillNumber(std::string& result, std::string_view mask, Run run, int value) {
  std::string digits(run.length, '0');
  for (std::size_t k = run.length; k-- > 0 && value > 0; value /= 10) digits[k] = static_cast<char>('0' + value % 10);
  for (std::size_t k = 0; k + 1 < run.length && digits[k] == '0' && IsUpper(mask[run.start + k]); ++k) digits[k] = ' ';
  FillText(result, run, digits);
}

// The text's non-blank characters under the run.
std::string Field(std::string_view text, Run run) {
  std::string field;
  for (std::size_t k = 0; k < run.length; ++k) {
    if (text[run.start + k] != ' ') field += text[run.start + k];
  }
  return field;
}

// A field as a number: `empty` when it is empty, -1 when it is no number.
int NumberField(std::string_view text, Run run, int empty) {
  if (!run) return empty;
  std::string field = Field(text, run);
  if (field.empty()) return empty;
  if (!std::all_of(field.begin(), field.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })) {
    return -1;
  }
  return rtl::TryStrToInt(field).value_or(-1);
}

// Removes blanks under the letters that pack, and a blank designator with one blank before it.
std::string Pack(std::string_view mask, const std::string& text) {
  static constexpr std::string_view kPacking = "WDHMNSnw";
  Run designator = FindRun(mask, 't');
  bool designatorBlank = designator && Field(text, designator).empty();
  std::string packed;
  for (std::size_t i = 0; i < text.size(); ++i) {
    bool blank = text[i] == ' ';
    if (blank && kPacking.find(mask[i]) != std::string_view::npos) continue;
    if (blank && mask[i] == 't') continue;
    if (blank && designatorBlank && i + 1 == designator.start) continue;
    packed += text[i];
  }
  return packed;
}

// A profile key's text: nothing when the key is missing or empty.
std::optional<std::string> ProfileText(const plat::IniFile& profile, const char* key) {
  std::optional<std::string> text = profile.Read("intl", key);
  if (text && text->empty()) return std::nullopt;
  return text;
}

char ProfileChar(const plat::IniFile& profile, const char* key, char fallback) {
  std::optional<std::string> text = ProfileText(profile, key);
  return text ? (*text)[0] : fallback;
}

std::string ProfileString(const plat::IniFile& profile, const char* key, const char* fallback, std::size_t limit) {
  return ProfileText(profile, key).value_or(fallback).substr(0, limit);
}

int ProfileInt(const plat::IniFile& profile, const char* key, int fallback) {
  std::optional<std::string> text = ProfileText(profile, key);
  return text ? rtl::TryStrToInt(*text).value_or(fallback) : fallback;
}

// A time format ends in the morning or evening designator when its last letter
// is the platform's 't' ("tt") or the 'M' of the runtime's "AMPM" form.
bool EndsInDesignator(std::string_view format) {
  const std::string_view trimmed = rtl::Trim(format);
  return !trimmed.empty() && (trimmed.back() == 't' || trimmed.back() == 'M');
}

char CatalogueChar(std::uint16_t id, char fallback) {
  std::string text = GetLibraryString(id);
  return text.empty() ? fallback : text[0];
}

// The long-date format as a mask: quoted literals (up to three) taken out into
// `literals`, their places marked with one 'f', 'g' or 'h' per kept character;
// runs of "ddd" become 'w' letters and runs of "MMM" 'n' letters, as many as a
// full name needs for four or more, three for an abbreviation.
std::string LongDateMask(std::string_view format, std::array<std::string, 3>& literals) {
  std::string mask;
  int literal = 0;
  for (std::size_t i = 0; i < format.size();) {
    char c = format[i];
    if (c == '\'' && literal < 3) {
      std::size_t close = format.find('\'', i + 1);
      if (close == std::string_view::npos) close = format.size();
      std::string text(format.substr(i + 1, close - i - 1));
      text.resize(std::min(text.size(), kShortTextLength));
      literals[static_cast<std::size_t>(literal)] = text;
      mask.append(text.size(), kLiteralLetters[literal]);
      ++literal;
      i = close + 1;
      continue;
    }
    std::size_t run = 1;
    while (i + run < format.size() && format[i + run] == c) ++run;
    if ((c == 'd' || c == 'M') && run >= 3) {
      mask.append(run == 3 ? 3 : kFullNameLength, c == 'd' ? 'w' : 'n');
    } else {
      mask.append(run, c);
    }
    i += run;
  }
  return mask.substr(0, kLongDateLength);
}

}  // namespace

const std::string& MonthName(int month) { return kMonths.at(static_cast<std::size_t>(month - 1)); }
const std::string& WeekdayName(int weekday) { return kWeekdays.at(static_cast<std::size_t>(weekday)); }

TVirIntlSup::TVirIntlSup()
    : TrueChar(CatalogueChar(kTrueChar, 'T')),
      FalseChar(CatalogueChar(kFalseChar, 'F')),
      YesChar(CatalogueChar(kYesChar, 'Y')),
      NoChar(CatalogueChar(kNoChar, 'N')) {
  LongDate = LongDateMask("dddd, MMMM dd, yyyy", LongDateLiterals);
}

void TVirIntlSup::LoadProfileSettings() {
  try {
    LoadProfileSettings(plat::ReadProfileFile("morva.ini"));
  } catch (const rtl::EInOutError&) {
    // A settings file that cannot be read: every key keeps its default.
    LoadProfileSettings(plat::IniFile::FromText({}));
  }
}

void TVirIntlSup::LoadProfileSettings(const plat::IniFile& profile) {
  DecimalChar = ProfileChar(profile, "sDecimal", '.');
  ThousandsChar = ProfileChar(profile, "sThousand", ',');
  CurrencyDigits = ProfileInt(profile, "iCurrDigits", 2);
  ListChar = ProfileChar(profile, "sList", ',');
  Country = ProfileString(profile, "sCountry", "", std::string::npos);
  CurrencyForm = ProfileInt(profile, "iCurrency", 0);
  NegCurrencyForm = ProfileInt(profile, "iNegCurr", 0);
  std::string currency = ProfileString(profile, "sCurrency", "$", kShortTextLength);
  CurrencyLtStr = currency;
  // Forms 2 and 3 separate the currency from the number by a blank, behind or in front of it.
  CurrencyRtStr = CurrencyForm == 2 ? currency + " " : CurrencyForm == 3 ? " " + currency : currency;
  CurrencyRtStr.resize(std::min(CurrencyRtStr.size(), kShortTextLength));
  TLZero = ProfileInt(profile, "iTLZero", 0) != 0;
  Time12Hour = EndsInDesignator(ProfileString(profile, "sTimeFormat", "", std::string::npos));
  TimeSepChar = ProfileChar(profile, "sTime", ':');
  DateSepChar = ProfileChar(profile, "sDate", '/');
  AMString = ProfileString(profile, "s1159", "AM", kShortTextLength);
  PMString = ProfileString(profile, "s2359", "PM", kShortTextLength);
  ShortDate = ProfileString(profile, "sShortDate", "MM/dd/yy", kShortDateLength);
  std::replace(ShortDate.begin(), ShortDate.end(), DateSepChar, '/');
  LongDateLiterals = {};
  LongDate =
      LongDateMask(ProfileString(profile, "sLongDate", "dddd, MMMM dd, yyyy", std::string::npos), LongDateLiterals);
}

std::string TVirIntlSup::InternationalDate(bool forceCentury) const {
  std::string mask;
  for (std::size_t i = 0; i < ShortDate.size();) {
    char c = ShortDate[i];
    std::size_t run = 1;
    while (i + run < ShortDate.size() && ShortDate[i + run] == c) ++run;
    char letter = Lower(c);
    if (letter == 'd' || letter == 'm') {
      mask.append(2, c);
    } else if (letter == 'y') {
      mask.append(forceCentury ? 4 : 2, c);
    } else {
      mask.append(run, c);
    }
    i += run;
  }
  return mask;
}

std::string TVirIntlSup::InternationalTime(bool showSeconds) const {
  std::string mask = showSeconds ? "hh:mm:ss" : "hh:mm";
  if (!TLZero) mask[0] = 'H';
  if (Time12Hour) mask += " " + std::string(std::max(AMString.size(), PMString.size()), 't');
  return mask;
}

std::string TVirIntlSup::ReplaceSeparators(std::string_view mask, std::string text) const {
  for (std::size_t i = 0; i < mask.size(); ++i) {
    if (mask[i] == '/') text[i] = DateSepChar;
    if (mask[i] == ':') text[i] = TimeSepChar;
  }
  return text;
}

std::string TVirIntlSup::DateToDateString(std::string_view mask, TStDate date, bool pack) const {
  std::string result(mask);
  int day = 0, month = 0, year = 0;
  DateToDMY(date, day, month, year);
  bool valid = date != BadDate && month != 0;
  Run monthRun = FindRun(mask, 'm'), nameRun = FindRun(mask, 'n'), dayRun = FindRun(mask, 'd');
  Run yearRun = FindRun(mask, 'y'), weekdayRun = FindRun(mask, 'w');
  for (Run run : {monthRun, nameRun, dayRun, yearRun, weekdayRun}) FillText(result, run, "");
  if (valid) {
    if (monthRun) FillNumber(result, mask, monthRun, month);
    if (nameRun) FillText(result, nameRun, MonthName(month));
    if (dayRun) FillNumber(result, mask, dayRun, day);
    if (yearRun) FillNumber(result, mask, yearRun, yearRun.length >= 4 ? year : year % 100);
    if (weekdayRun) FillText(result, weekdayRun, WeekdayName(DateDayOfWeek(date)));
  }
  for (std::size_t k = 0; k < 3; ++k) {
    if (Run run = FindRun(mask, kLiteralLetters[k])) FillText(result, run, LongDateLiterals[k]);
  }
  result = ReplaceSeparators(mask, result);
  return pack ? Pack(mask, result) : result;
}

TStDate TVirIntlSup::DateStringToDate(std::string_view mask, std::string_view text, int epoch) const {
  if (mask.size() != text.size()) return BadDate;
  int month;
  if (Run nameRun = FindRun(mask, 'n')) {
    std::string name = Field(text, nameRun);
    month = name.empty() ? DefaultMonth : -1;
    for (int m = 1; m <= 12 && !name.empty(); ++m) {
      const std::string& full = MonthName(m);
      if (rtl::SameText(name, full) || rtl::SameText(name, full.substr(0, nameRun.length))) month = m;
    }
  } else {
    month = NumberField(text, FindRun(mask, 'm'), DefaultMonth);
  }
  int day = NumberField(text, FindRun(mask, 'd'), 1);
  int year = NumberField(text, FindRun(mask, 'y'), DefaultYear);
  if (month < 0 || day < 0 || year < 0) return BadDate;
  return DateFromDMY(day, month, year, epoch);
}

bool TVirIntlSup::DateStringIsBlank(std::string_view mask, std::string_view text) const {
  if (mask.size() != text.size()) return false;
  Run month = FindRun(mask, 'n');
  if (!month) month = FindRun(mask, 'm');
  for (Run run : {month, FindRun(mask, 'd'), FindRun(mask, 'y')}) {
    if (!Field(text, run).empty()) return false;
  }
  return true;
}

std::string TVirIntlSup::TimeToTimeString(std::string_view mask, TStTime time, bool pack) const {
  return TimeToTimeString(mask, time, AMString, PMString, pack);
}

std::string TVirIntlSup::TimeToTimeString(std::string_view mask, TStTime time, std::string_view am, std::string_view pm,
                                          bool pack) const {
  std::string result(mask);
  bool valid = time >= 0 && time < 86400;
  int hours = 0, minutes = 0, seconds = 0;
  TimeToHMS(time, hours, minutes, seconds);
  Run designatorRun = FindRun(mask, 't');
  std::string_view designator;
  if (designatorRun && valid) {
    designator = hours < 12 ? am : pm;
    if (!am.empty() && !pm.empty()) {
      if (hours == 0) hours = 12;
      if (hours > 12) hours -= 12;
    }
  }
  Run hourRun = FindRun(mask, 'h'), minuteRun = FindRun(mask, 'm'), secondRun = FindRun(mask, 's');
  for (Run run : {hourRun, minuteRun, secondRun, designatorRun}) FillText(result, run, "");
  if (valid) {
    if (hourRun) FillNumber(result, mask, hourRun, hours);
    if (minuteRun) FillNumber(result, mask, minuteRun, minutes);
    if (secondRun) FillNumber(result, mask, secondRun, seconds);
    if (designatorRun) FillText(result, designatorRun, designator);
  }
  result = ReplaceSeparators(mask, result);
  return pack ? Pack(mask, result) : result;
}

TStTime TVirIntlSup::TimeStringToTime(std::string_view mask, std::string_view text) const {
  if (mask.size() != text.size()) return BadTime;
  Run hourRun = FindRun(mask, 'h'), minuteRun = FindRun(mask, 'm'), secondRun = FindRun(mask, 's');
  if (Field(text, hourRun).empty() && Field(text, minuteRun).empty() && Field(text, secondRun).empty()) {
    return BadTime;
  }
  int hours = NumberField(text, hourRun, 0);
  int minutes = NumberField(text, minuteRun, 0);
  int seconds = NumberField(text, secondRun, 0);
  if (Run designatorRun = FindRun(mask, 't')) {
    std::string designator = Field(text, designatorRun);
    auto matches = [&](const std::string& word) {
      return !designator.empty() && !word.empty() &&
             rtl::SameText(designator, std::string_view(word).substr(0, designator.size()));
    };
    if (matches(PMString) && !matches(AMString) && hours >= 0 && hours < 12) hours += 12;
    if (matches(AMString) && !matches(PMString) && hours == 12) hours = 0;
  }
  if (!TimeIsValid(hours, minutes, seconds)) return BadTime;
  return TimeFromHMS(hours, minutes, seconds);
}

TVirIntlSup& VirIntlSup() {
  static TVirIntlSup intl = [] {
    TVirIntlSup settings;
    settings.LoadProfileSettings();
    return settings;
  }();
  return intl;
}
