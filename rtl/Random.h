#pragma once
// The process-wide uniform random generator of the platform's run-time:
// seed := seed * 134775813 + 1 (mod 2^32), value = seed / 2^32 in [0, 1).
// The seed is 0 at program start.

#include <cstdint>
#include <functional>

namespace rtl {

std::uint32_t RandSeed();
void SetRandSeed(std::uint32_t seed);

// Next value in [0, 1).
double Random();
// Next integer in [0, range) for range > 0; 0 otherwise.
std::int32_t Random(std::int32_t range);

// Seeds from the clock, as the platform's Randomize does: the milliseconds
// of the UTC time of day, ((hour * 60 + minute) * 60 + second) * 1000 + ms.
void Randomize();

// The clock Randomize reads: milliseconds since midnight UTC. Tests and
// reproducible runs install their own; an empty one is the system clock.
// Returns the clock it replaces.
using TTimeOfDayClock = std::function<std::uint32_t()>;
TTimeOfDayClock InstallRandomizeClock(TTimeOfDayClock clock);

}  // namespace rtl
