#pragma once
// International settings for the entry-field tests: the defaults ('.', ',',
// "$", 'T', 'F', 'Y', 'N'), and dates and times written as "D<day number>" and "T<seconds>" under
// masks the tests can recognise. The readers note the mask and epoch they were
// given.

#include <string>

#include "controls/base/VirEFIntl.h"
#include "rtl/Convert.h"

class FakeIntl : public EntryFieldIntl {
 public:
  char DecimalChar() const override { return decimal; }
  char ThousandsChar() const override { return thousands; }
  char TrueChar() const override { return 'T'; }
  char FalseChar() const override { return 'F'; }
  char YesChar() const override { return 'Y'; }
  char NoChar() const override { return 'N'; }
  std::string CurrencyLeft() const override { return currencyLeft; }
  std::string CurrencyRight() const override { return currencyRight; }
  std::string RangeDateMask() const override { return "MM/dd/yyyy"; }
  std::string RangeTimeMask() const override { return "hh:mm:ss"; }

  std::string DateToText(std::string_view mask, std::int32_t day) const override {
    lastMask = std::string(mask);
    return "D" + std::to_string(day);
  }
  std::optional<std::int32_t> TextToDate(std::string_view mask, std::string_view text, int epoch) const override {
    lastMask = std::string(mask);
    lastEpoch = epoch;
    return Read('D', text);
  }
  std::string TimeToText(std::string_view mask, std::int32_t seconds) const override {
    lastMask = std::string(mask);
    return "T" + std::to_string(seconds);
  }
  std::optional<std::int32_t> TextToTime(std::string_view mask, std::string_view text) const override {
    lastMask = std::string(mask);
    return Read('T', text);
  }

  char decimal = '.';
  char thousands = ',';
  std::string currencyLeft = "$";
  std::string currencyRight;
  mutable std::string lastMask;
  mutable int lastEpoch = -1;

 private:
  static std::optional<std::int32_t> Read(char tag, std::string_view text) {
    if (text.empty() || text[0] != tag) return std::nullopt;
    return rtl::TryStrToInt(text.substr(1));
  }
};
