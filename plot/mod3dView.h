#pragma once
// The 3-D plot's view as its options window edits it: alpha and beta (the
// turns about the vertical and the horizontal axis, degrees) and the viewing
// distance rho, shown and read by their edits and stepped by their spin
// buttons.

#include <string>

// A view value as its edit shows it ("%7.2f").
std::string ViewValueText(double value);
// A view edit's text as a number, blanks around it ignored; a text that is
// no number raises rtl::EConvertError. Any number is taken: an angle of 720
// stays 720.
double ReadViewValue(const std::string& text);
// One spin step of an angle: one degree up or down, then a full turn back
// once the angle reaches 360 going up or -360 going down.
double StepViewAngle(double degrees, bool up);
// One spin step of the viewing distance: one up without bound, one down to
// no less than kLeastSteppedDistance.
constexpr double kLeastSteppedDistance = 0.01;
double StepViewingDistance(double rho, bool up);
