#pragma once
// Lengths as the measure dialog shows and takes them: a value in inches,
// millimetres or points over a length kept in hundredths of an inch, and the
// units last chosen, which every measure dialog of the program offers first.
// Font sizes go between the font dialog's points and hundredths of an inch.

#include <optional>
#include <string>
#include <string_view>

enum TbmMeasureUnits : int { bmInches, bmMillimeters, bmPoints };

// The units' names in the order of their index.
extern const char* const bmMeasureUnitNames[3];

// The units last chosen in a measure dialog that changed its length (inches at start).
int& SharedMeasureUnits();

// The length as the dialog shows it: inches with two decimals, millimetres
// and points with none; any other units index shows the integer itself.
std::string MeasureText(int length, int units);

// The length typed in `text` in the given units, in hundredths of an inch;
// any other units index gives `length` back unchanged. A text that is no
// number, a negative value and one too large for the stored length raise
// E_Morvapc "Invalid value for value".
int MeasureFromText(std::string_view text, int units, int length);

// What a measure dialog brings back: `length` takes the measured value when
// it differs, and then the dialog's units become the shared ones. True when
// the length changed.
bool TakeMeasure(int& length, int measured, int units);

// A font size kept in hundredths of an inch as the font dialog's points.
int FontPointsOfSize(int size);
// The font dialog's points as a font size: |Round(points * 100 / 72)|; none
// when that is too large to keep.
std::optional<int> FontSizeOfPoints(int points);
