#pragma once
// The process-wide uniform random generator of the platform's run-time:
// seed := seed * 134775813 + 1 (mod 2^32), value = seed / 2^32 in [0, 1).
// The seed is 0 at program start.

#include <cstdint>

namespace rtl {

std::uint32_t RandSeed();
void SetRandSeed(std::uint32_t seed);

// Next value in [0, 1).
double Random();
// Next integer in [0, range) for range > 0; 0 otherwise.
std::int32_t Random(std::int32_t range);

// Seeds from the clock, as the platform's Randomize does.
void Randomize();

}  // namespace rtl
