#pragma once
// Lines of a typical listing for the editor benchmarks.

#include <cstdint>
#include <cstdio>
#include <string>

// A matrix of eleven columns printed with "%8.4f": a heading of column
// numbers, rows of eight values and their continuation lines of three, and an
// empty line after every twenty rows.
inline std::string ListingLine(std::int64_t i) {
  constexpr std::int64_t kBlock = 42;
  const std::int64_t row = i % kBlock;
  char buffer[128];
  std::string line;
  if (row == 0) {
    line = "     ";
    for (int column = 1; column <= 8; ++column) {
      std::snprintf(buffer, sizeof buffer, "%8d ", column);
      line += buffer;
    }
  } else if (row < kBlock - 1) {
    const bool continuation = row % 2 == 0;
    if (continuation) {
      line = "     ";
    } else {
      std::snprintf(buffer, sizeof buffer, "%4d ", static_cast<int>(row / 2 + 1));
      line = buffer;
    }
    for (int value = 0; value < (continuation ? 3 : 8); ++value) {
      std::snprintf(buffer, sizeof buffer, "%8.4f ",
                    static_cast<double>((i * 7919 + value * 104729) % 200000) / 10000.0 - 10.0);
      line += buffer;
    }
  }
  return line;
}
