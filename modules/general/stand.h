#pragma once
// STAND (module 1): standardises the variables (rows or columns) of a data
// matrix: each value less a location of its variable, divided by a scale of
// it, plus a constant. Variables without variation are listed and left out.

#include <cstdint>
#include <span>
#include <vector>

#include "matrix/Matrixob.h"
#include "shell/Modules.h"

void StandDescribe(TModuleRec& module);
void StandRun(std::span<const TParamRec> params);
void StandRelease();

// The items of the subtract and divide choices, in their order.
enum class TStandSubtract { Mean, Nothing, Min };
enum class TStandDivide { Std, One, SqrtSS, SqrtSY2, Range, Max, SqrtSY, SumY };

// What became of a variable: standardised, invariant (at most one value, or
// no variation), or left out because its divisor is 0 or has no square root.
enum class TStandOutcome { Standardized, Invariant, NoDivisor };

// The statistics of a variable before the transformation.
struct TStandVariable {
  std::int32_t n = 0;
  double mean = 0;  // the missing value when n = 0
  double sd = 0;
  double min = 9e200;
  double max = -9e200;
  TStandOutcome outcome = TStandOutcome::Standardized;
};

struct TStandOptions {
  TStandSubtract subtract = TStandSubtract::Mean;
  TStandDivide divide = TStandDivide::Std;
  double constant = 0;
  bool hasMissing = false;  // values equal to missingValue are skipped and kept
  double missingValue = 0;
};

// Standardises the rows of x (the variables) in place and returns their
// statistics; the rows of variables not standardised are left as they were.
std::vector<TStandVariable> StandStatistics(Rect_mx& x, const TStandOptions& options);
