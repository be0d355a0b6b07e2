#include "plot/mod3dView.h"

#include "rtl/Convert.h"
#include "rtl/Format.h"

namespace {

constexpr double kFullTurn = 360;

}  // namespace

std::string ViewValueText(double value) { return rtl::Format("%7.2f", value); }

double ReadViewValue(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return rtl::StrToFloat(text);
  return rtl::StrToFloat(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

double StepViewAngle(double degrees, bool up) {
  if (up) {
    degrees += 1;
    if (degrees >= kFullTurn) degrees -= kFullTurn;
  } else {
    degrees -= 1;
    if (degrees <= -kFullTurn) degrees += kFullTurn;
  }
  return degrees;
}

double StepViewingDistance(double rho, bool up) {
  if (up) return rho + 1;
  rho -= 1;
  return rho < kLeastSteppedDistance ? kLeastSteppedDistance : rho;
}
