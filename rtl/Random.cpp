#include "rtl/Random.h"

#include <chrono>
#include <utility>

namespace rtl {
namespace {

std::uint32_t seed = 0;

std::uint32_t Next() {
  seed = seed * 134775813u + 1u;
  return seed;
}

TTimeOfDayClock& RandomizeClock() {
  static TTimeOfDayClock clock;
  return clock;
}

std::uint32_t SystemTimeOfDayMs() {
  using namespace std::chrono;
  const auto sinceEpoch = duration_cast<milliseconds>(system_clock::now().time_since_epoch());
  return static_cast<std::uint32_t>(sinceEpoch.count() % (24LL * 60 * 60 * 1000));
}

}  // namespace

std::uint32_t RandSeed() { return seed; }
void SetRandSeed(std::uint32_t s) { seed = s; }

double Random() { return Next() / 4294967296.0; }

std::int32_t Random(std::int32_t range) {
  if (range <= 0) return 0;
  return static_cast<std::int32_t>((static_cast<std::uint64_t>(Next()) * static_cast<std::uint32_t>(range)) >> 32);
}

void Randomize() { seed = RandomizeClock() ? RandomizeClock()() : SystemTimeOfDayMs(); }

TTimeOfDayClock InstallRandomizeClock(TTimeOfDayClock clock) {
  return std::exchange(RandomizeClock(), std::move(clock));
}

}  // namespace rtl
