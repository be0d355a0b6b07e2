#include "controls/base/VirEFIntl.h"

#include "controls/base/VirIntl.h"

char IntlSupEntryFields::DecimalChar() const { return intl_.DecimalChar; }
char IntlSupEntryFields::ThousandsChar() const { return intl_.ThousandsChar; }
char IntlSupEntryFields::TrueChar() const { return intl_.TrueChar; }
char IntlSupEntryFields::FalseChar() const { return intl_.FalseChar; }
char IntlSupEntryFields::YesChar() const { return intl_.YesChar; }
char IntlSupEntryFields::NoChar() const { return intl_.NoChar; }
std::string IntlSupEntryFields::CurrencyLeft() const { return intl_.CurrencyLtStr; }
std::string IntlSupEntryFields::CurrencyRight() const { return intl_.CurrencyRtStr; }

std::string IntlSupEntryFields::RangeDateMask() const {
  return intl_.InternationalDate(intl_.ShortDate.find("yyyy") != std::string::npos);
}

std::string IntlSupEntryFields::RangeTimeMask() const { return intl_.InternationalTime(true); }

std::string IntlSupEntryFields::DateToText(std::string_view mask, std::int32_t day) const {
  return intl_.DateToDateString(mask, day, false);
}

std::optional<std::int32_t> IntlSupEntryFields::TextToDate(std::string_view mask, std::string_view text,
                                                           int epoch) const {
  TStDate day = intl_.DateStringToDate(mask, text, epoch);
  if (day == BadDate) return std::nullopt;
  return day;
}

std::string IntlSupEntryFields::TimeToText(std::string_view mask, std::int32_t seconds) const {
  return intl_.TimeToTimeString(mask, seconds, false);
}

std::optional<std::int32_t> IntlSupEntryFields::TextToTime(std::string_view mask, std::string_view text) const {
  TStTime seconds = intl_.TimeStringToTime(mask, text);
  if (seconds == BadTime) return std::nullopt;
  return seconds;
}

const EntryFieldIntl& LibraryEntryFieldIntl() {
  static const IntlSupEntryFields fields(VirIntlSup());
  return fields;
}
