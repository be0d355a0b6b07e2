#include "modules/clustering/tiedTreeSearch.h"

std::int64_t PairKey(std::int32_t a, std::int32_t b) {
  const std::int64_t h = std::max(a, b);
  const std::int64_t l = std::min(a, b);
  return (h - 1) * (h - 2) / 2 + l;
}
