#pragma once
// The stepping rules that the entry fields share (the increment and decrement
// commands, the arrows with ArrowIncDec, and the spinner).
//
// A number at or beyond its limit in the step's direction goes round to the
// other limit with Wrap and stays without it; otherwise the step is added and
// the result kept within the limits. Integers add in 64 bits (saturating), so
// no sum wraps round before it is clamped. A character moves by one code in
// the direction of the step's sign until its field accepts one, trying each
// code at most once.

#include <cstdint>
#include <functional>
#include <optional>

#include "controls/base/VirEFRange.h"

// Nothing when the value stays as it is.
std::optional<std::int64_t> StepInteger(std::int64_t value, std::int64_t low, std::int64_t high, bool wrap,
                                        double delta);
std::optional<long double> StepReal(long double value, long double low, long double high, bool wrap, double delta);
// `low` .. `high` are character codes; equal limits mean 1 .. 255. `accepts`
// says whether the field takes a character as it stands.
std::optional<int> StepCharCode(int code, int low, int high, bool wrap, double delta,
                                const std::function<bool(char)>& accepts);

// A number of an integer type, comp or a real type stepped within the field's
// limits (comp's limits are reals within the 64-bit range); a real keeps the
// width of its type. Nothing when it stays as it is.
std::optional<TFieldValue> StepNumber(TPictureDataType type, const TFieldValue& value, const TRangeLimit& low,
                                      const TRangeLimit& high, bool wrap, double delta);
// The number lies within the limits, both included.
bool NumberWithinLimits(TPictureDataType type, const TFieldValue& value, const TRangeLimit& low,
                        const TRangeLimit& high);
