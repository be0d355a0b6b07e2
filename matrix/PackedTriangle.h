#pragma once
// The one indexing of a packed lower triangle: the cells (i, j), j <= i,
// stored row by row from row 1.

#include <cstddef>
#include <cstdint>

// The place, counted from 0, of cell (i, j) of a lower triangle with its
// diagonal; i and j count from 1 and may come in either order. A strict lower
// triangle (without its diagonal) keeps cell (h, l), l < h, where this one
// keeps cell (h - 1, l).
constexpr std::size_t PackedIndex(std::int64_t i, std::int64_t j) {
  const auto hi = static_cast<std::size_t>(i > j ? i : j);
  const auto lo = static_cast<std::size_t>(i > j ? j : i);
  return hi * (hi - 1) / 2 + lo - 1;
}
