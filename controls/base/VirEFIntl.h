#pragma once
// What the entry fields use of the international settings: the true, false,
// yes and no characters, the decimal and thousands characters, the currency
// strings, and the date and time masks with their conversions. The library's international settings (VirIntl.h) supply
// them through LibraryEntryFieldIntl; tests may put their own in a field's place.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class EntryFieldIntl {
 public:
  virtual ~EntryFieldIntl() = default;
  virtual char DecimalChar() const = 0;
  virtual char ThousandsChar() const = 0;
  virtual char TrueChar() const = 0;
  virtual char FalseChar() const = 0;
  virtual char YesChar() const = 0;
  virtual char NoChar() const = 0;
  // The currency string shown left of an amount, and the one shown right of it.
  virtual std::string CurrencyLeft() const = 0;
  virtual std::string CurrencyRight() const = 0;

  // The masks that range texts and the picture fields' dates and times use:
  // the international date mask (a four-digit year when the short date format
  // holds "yyyy") and the time mask.
  virtual std::string RangeDateMask() const = 0;
  virtual std::string RangeTimeMask() const = 0;

  // Day numbers count from 1600-01-01, times are seconds since midnight. The
  // readers give nothing for a text that is not a valid date or time; two-digit
  // years take their century from the epoch.
  virtual std::string DateToText(std::string_view mask, std::int32_t day) const = 0;
  virtual std::optional<std::int32_t> TextToDate(std::string_view mask, std::string_view text, int epoch) const = 0;
  virtual std::string TimeToText(std::string_view mask, std::int32_t seconds) const = 0;
  virtual std::optional<std::int32_t> TextToTime(std::string_view mask, std::string_view text) const = 0;
};

class TVirIntlSup;

// The entry fields' view of a TVirIntlSup: range dates in the short date mask
// (a four-digit year when the short date format holds "yyyy"), range times
// with seconds.
class IntlSupEntryFields : public EntryFieldIntl {
 public:
  explicit IntlSupEntryFields(const TVirIntlSup& intl) : intl_(intl) {}
  char DecimalChar() const override;
  char ThousandsChar() const override;
  char TrueChar() const override;
  char FalseChar() const override;
  char YesChar() const override;
  char NoChar() const override;
  std::string CurrencyLeft() const override;
  std::string CurrencyRight() const override;
  std::string RangeDateMask() const override;
  std::string RangeTimeMask() const override;
  std::string DateToText(std::string_view mask, std::int32_t day) const override;
  std::optional<std::int32_t> TextToDate(std::string_view mask, std::string_view text, int epoch) const override;
  std::string TimeToText(std::string_view mask, std::int32_t seconds) const override;
  std::optional<std::int32_t> TextToTime(std::string_view mask, std::string_view text) const override;

 private:
  const TVirIntlSup& intl_;
};

// The library's international settings, as the entry fields see them.
const EntryFieldIntl& LibraryEntryFieldIntl();
