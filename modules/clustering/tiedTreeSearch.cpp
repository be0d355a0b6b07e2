#include "modules/clustering/tiedTreeSearch.h"

#include "matrix/PackedTriangle.h"

std::int64_t PairKey(std::int32_t a, std::int32_t b) {
  // The pairs of the strict lower triangle, numbered from 1.
  return static_cast<std::int64_t>(PackedIndex(std::max(a, b) - 1, std::min(a, b))) + 1;
}
