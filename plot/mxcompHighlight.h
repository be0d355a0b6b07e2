#pragma once
// The matrix comparison plot's highlighted object as its options window
// picks it: a list of "-none-" and the objects, stepped by a spinner.

#include <cstdint>
#include <string>
#include <vector>

#include "matrix/Matrixob.h"

// "-none-", then the label of each of the n objects (its number when the
// list holds no labels).
std::vector<std::string> HighlightItems(const Label_mx& labels, std::int32_t n);
// One spinner step of the highlight, an index of that list: +1 up to the
// last item, -1 down to "-none-" (0); 0 leaves it.
std::int32_t StepHighlight(std::int32_t highlight, std::int32_t itemCount, int direction);
