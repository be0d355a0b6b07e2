#include "controls/base/VirExcept.h"

#include "rtl/Format.h"

namespace {

constexpr std::uint16_t kInvalidPictureMask = 34202;
constexpr std::uint16_t kIntegerRange = 34203;
constexpr std::uint16_t kDateRange = 34209;
constexpr std::uint16_t kTimeRange = 34210;
constexpr std::uint16_t kInvalidRange = 34211;

struct IntegerBounds {
  std::int64_t low;
  std::int64_t high;
};

// Bounds of the integer data types 4 (LongInt) to 8 (ShortInt).
constexpr IntegerBounds kIntegerBounds[] = {
    {-2147483648LL, 2147483647LL}, {0, 65535}, {-32768, 32767}, {0, 255}, {-128, 127},
};
constexpr int kFirstIntegerType = 4;
constexpr int kFirstRealType = 9;  // Real, Extended, Double, Single, Comp take 34204..34208
constexpr int kDateType = 14;
constexpr int kTimeType = 15;

std::string RangeMessage(int dataType, std::string_view dateTimeMask) {
  if (dataType >= kFirstIntegerType && dataType < kFirstRealType) {
    const IntegerBounds& b = kIntegerBounds[dataType - kFirstIntegerType];
    return rtl::Format(GetLibraryString(kIntegerRange), b.low, b.high);
  }
  if (dataType >= kFirstRealType && dataType < kDateType) {
    return GetLibraryString(static_cast<std::uint16_t>(kIntegerRange + 1 + dataType - kFirstRealType));
  }
  if (dataType == kDateType) return rtl::Format(GetLibraryString(kDateRange), dateTimeMask);
  if (dataType == kTimeType) return rtl::Format(GetLibraryString(kTimeRange), dateTimeMask);
  return GetLibraryString(kInvalidRange);
}

}  // namespace

EInvalidPictureMask::EInvalidPictureMask(std::string_view mask)
    : EEntryFieldError(rtl::Format(GetLibraryString(kInvalidPictureMask), mask)) {}

EInvalidRangeValue::EInvalidRangeValue(int dataType, std::string_view dateTimeMask)
    : EEntryFieldError(RangeMessage(dataType, dateTimeMask)) {}
