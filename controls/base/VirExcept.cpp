#include "controls/base/VirExcept.h"

#include "controls/base/VirEFRange.h"
#include "rtl/Format.h"

namespace {

constexpr std::uint16_t kInvalidPictureMask = 34202;
constexpr std::uint16_t kIntegerRange = 34203;
constexpr std::uint16_t kDateRange = 34209;
constexpr std::uint16_t kTimeRange = 34210;
constexpr std::uint16_t kInvalidRange = 34211;

std::string RangeMessage(int dataType, std::string_view dateTimeMask) {
  if (IsIntegerDataType(dataType)) {
    TIntegerBounds b = IntegerTypeBounds(dataType);
    return rtl::Format(GetLibraryString(kIntegerRange), b.low, b.high);
  }
  if (IsRealDataType(dataType)) {  // Real, Extended, Double, Single, Comp take 34204..34208
    return GetLibraryString(static_cast<std::uint16_t>(kIntegerRange + 1 + dataType - pftReal));
  }
  if (dataType == pftDate) return rtl::Format(GetLibraryString(kDateRange), dateTimeMask);
  if (dataType == pftTime) return rtl::Format(GetLibraryString(kTimeRange), dateTimeMask);
  return GetLibraryString(kInvalidRange);
}

}  // namespace

EInvalidPictureMask::EInvalidPictureMask(std::string_view mask)
    : EEntryFieldError(rtl::Format(GetLibraryString(kInvalidPictureMask), mask)) {}

EInvalidRangeValue::EInvalidRangeValue(int dataType, std::string_view dateTimeMask)
    : EEntryFieldError(RangeMessage(dataType, dateTimeMask)) {}
