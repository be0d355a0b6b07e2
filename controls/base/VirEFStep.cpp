#include "controls/base/VirEFStep.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

template <class T>
std::optional<T> Step(T value, T low, T high, bool wrap, double delta, T (*add)(T, double)) {
  if (delta < 0 && value <= low) {
    if (!wrap) return std::nullopt;
    value = high;
  } else if (delta > 0 && value >= high) {
    if (!wrap) return std::nullopt;
    value = low;
  } else {
    value = add(value, delta);
  }
  return std::clamp(value, low, high);
}

std::int64_t AddInteger(std::int64_t value, double delta) {
  // The step truncated to an integer, within 64 bits; the sum saturates.
  constexpr double kBound = 9.2e18;
  const auto step = static_cast<std::int64_t>(std::clamp(std::trunc(delta), -kBound, kBound));
  std::int64_t sum = 0;
  if (__builtin_add_overflow(value, step, &sum))
    return step > 0 ? std::numeric_limits<std::int64_t>::max() : std::numeric_limits<std::int64_t>::min();
  return sum;
}

long double AddReal(long double value, double delta) { return value + delta; }

}  // namespace

std::optional<std::int64_t> StepInteger(std::int64_t value, std::int64_t low, std::int64_t high, bool wrap,
                                        double delta) {
  return Step<std::int64_t>(value, low, high, wrap, delta, AddInteger);
}

std::optional<long double> StepReal(long double value, long double low, long double high, bool wrap, double delta) {
  return Step<long double>(value, low, high, wrap, delta, AddReal);
}

std::optional<int> StepCharCode(int code, int low, int high, bool wrap, double delta,
                                const std::function<bool(char)>& accepts) {
  if (low == high) low = 1, high = 255;
  const int direction = delta < 0 ? -1 : 1;
  if ((direction < 0 && code == low) || (direction > 0 && code == high)) {
    if (!wrap) return std::nullopt;
  }
  // At most one round of the code space: a field that takes no code within
  // the limits keeps its character.
  for (int tries = 0; tries < 256; ++tries) {
    code = (code + direction + 256) % 256;
    if (code < low || code > high) {
      if (!wrap) return std::nullopt;
      code = direction > 0 ? low : high;
    }
    if (accepts(static_cast<char>(code))) return code;
  }
  return std::nullopt;
}

std::optional<TFieldValue> StepNumber(TPictureDataType type, const TFieldValue& value, const TRangeLimit& low,
                                      const TRangeLimit& high, bool wrap, double delta) {
  if (IsIntegerDataType(type) || type == pftComp) {
    auto bound = [type](const TRangeLimit& limit) {
      return type == pftComp ? static_cast<std::int64_t>(RealOfLimit(limit, type)) : IntegerOfLimit(limit, type);
    };
    auto stepped = StepInteger(value.integer, bound(low), bound(high), wrap, delta);
    if (!stepped) return std::nullopt;
    return TFieldValue{*stepped, static_cast<long double>(*stepped)};
  }
  auto stepped = StepReal(value.real, RealOfLimit(low, type), RealOfLimit(high, type), wrap, delta);
  if (!stepped) return std::nullopt;
  return TFieldValue{0, InTypeWidth(type, *stepped)};
}

bool NumberWithinLimits(TPictureDataType type, const TFieldValue& value, const TRangeLimit& low,
                        const TRangeLimit& high) {
  if (IsIntegerDataType(type))
    return value.integer >= IntegerOfLimit(low, type) && value.integer <= IntegerOfLimit(high, type);
  return value.real >= RealOfLimit(low, type) && value.real <= RealOfLimit(high, type);
}
