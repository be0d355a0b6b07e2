#include "rtl/Random.h"

#include <chrono>

namespace rtl {
namespace {

std::uint32_t seed = 0;

std::uint32_t Next() {
  seed = seed * 134775813u + 1u;
  return seed;
}

}  // namespace

std::uint32_t RandSeed() { return seed; }
void SetRandSeed(std::uint32_t s) { seed = s; }

double Random() { return Next() / 4294967296.0; }

std::int32_t Random(std::int32_t range) {
  if (range <= 0) return 0;
  return static_cast<std::int32_t>((static_cast<std::uint64_t>(Next()) * static_cast<std::uint32_t>(range)) >> 32);
}

void Randomize() {
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch());
  seed = static_cast<std::uint32_t>(ms.count());
}

}  // namespace rtl
