#include "plot/bmMeasure.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "matrix/Constu.h"
#include "rtl/Convert.h"
#include "rtl/Format.h"

const char* const bmMeasureUnitNames[3] = {"Inches", "Millimeters", "Points"};

namespace {

constexpr long double kMmPerInch = 25.4L;
constexpr long double kPointsPerInch = 72.0L;
// A rounded value at or above this no longer fits the 32-bit length.
constexpr long double kBeyondLength = std::numeric_limits<std::int32_t>::max() + 0.5L;

// The length in the units (known ones only), and a value in the units as hundredths of an inch.
long double InUnits(int length, int units) {
  switch (units) {
    case bmInches: return length * 0.01L;
    case bmMillimeters: return length * kMmPerInch * 0.01L;
    default: return length * kPointsPerInch * 0.01L;
  }
}

long double FromUnits(long double value, int units) {
  switch (units) {
    case bmInches: return value * 100;
    case bmMillimeters: return value / kMmPerInch * 100;
    default: return value / kPointsPerInch * 100;
  }
}

bool KnownUnits(int units) { return units >= bmInches && units <= bmPoints; }

}  // namespace

int& SharedMeasureUnits() {
  static int units = bmInches;
  return units;
}

std::string MeasureText(int length, int units) {
  if (!KnownUnits(units)) return rtl::IntToStr(length);
  return rtl::FloatToStrFixed(InUnits(length, units), units == bmInches ? 2 : 0);
}

int MeasureFromText(std::string_view text, int units, int length) {
  double typed = 0;
  EditToReal(text, "value", typed);
  if (!KnownUnits(units)) return length;
  const long double hundredths = FromUnits(typed, units);
  if (!(typed >= 0) || !(hundredths < kBeyondLength)) throw E_Morvapc("Invalid value for value");
  return static_cast<int>(rtl::Round(hundredths));
}

bool TakeMeasure(int& length, int measured, int units) {
  if (measured == length) return false;
  length = measured;
  SharedMeasureUnits() = units;
  return true;
}

int FontPointsOfSize(int size) { return static_cast<int>(rtl::Round(size * kPointsPerInch * 0.01L)); }

std::optional<int> FontSizeOfPoints(int points) {
  const long double size = std::fabs(points * 100.0L / kPointsPerInch);
  if (!(size < kBeyondLength)) return std::nullopt;
  return static_cast<int>(rtl::Round(size));
}
