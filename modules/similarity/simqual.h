#pragma once
// SIMQUAL, module 22: one of 16 association coefficients between the OTUs of
// a data matrix of qualitative characters, written as a similarity matrix.
//
// Coefficients 1 to 5 count matches (m) and mismatches (u) over any states;
// 6 to 16 take two-state data and count the 2 x 2 table of the positive and
// negative codes (a: both +, b: + -, c: - +, d: both -). Missing values are
// deleted pairwise. A coefficient that cannot be computed is stored as 9999.

#include <cstdint>
#include <span>

#include "modules/similarity/simdata.h"
#include "shell/Modules.h"

enum TSimqualCoeff : std::int32_t {
  sqSM = 1,
  sqUN1,
  sqRT,
  sqUN3,
  sqH,
  sqJ,
  sqRR,
  sqDICE,
  sqUN2,
  sqK1,
  sqK2,
  sqUN4,
  sqO,
  sqUN5,
  sqY,
  sqPHI,
};
inline constexpr std::int32_t SimqualCoeffCount = 16;
// Stored for a coefficient that cannot be computed.
inline constexpr double SimqualUndefined = 9999;

struct TSimqualCounts {
  double m = 0, u = 0;                // matches, mismatches
  double a = 0, b = 0, c = 0, d = 0;  // the 2 x 2 table
};

// True for the two-state coefficients (6 to 16).
bool SimqualTwoState(TSimqualCoeff coeff);

// The coefficient from the counts of a pair; diagonal selects the value fixed
// for i = j where the coefficient has one.
double SimqualValue(TSimqualCoeff coeff, const TSimqualCounts& counts, bool diagonal);

// The counts of OTUs i and j over the characters present in both. For a
// two-state coefficient a value that is neither code raises E_Morvapc
// "Value in data matrix (<value>) not + - codes or missing".
TSimqualCounts SimqualCount(const TOtuTable& table, std::int32_t i, std::int32_t j, TSimqualCoeff coeff, double plus,
                            double minus);

// A real value as the platform's default real text: 23 characters, a blank
// or minus sign, one digit, a point, 14 decimals, "E", the exponent's sign
// and 4 digits.
std::string DefaultRealText(double value);

void SimqualDescribe(TModuleRec& module);
void SimqualRun(std::span<const TParamRec> params);
void SimqualRelease();
