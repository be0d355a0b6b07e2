#include "modules/clustering/sahnSmallest.h"

#include <algorithm>

TSahnNearest SahnNearer(const TSahnNearest& a, const TSahnNearest& b) {
  if (a.value < b.value) return a;
  if (b.value < a.value) return b;
  return {a.value, a.otu, true};
}

TSahnSmallest::TSahnSmallest(std::int32_t count)
    : header_(static_cast<std::size_t>(count)), held_(static_cast<std::size_t>(count)) {}

std::optional<TSahnNearest> TSahnSmallest::Minimum(std::int32_t c) const {
  const THeader& header = header_[Ix(c)];
  if (header.count == 0) {
    if (header.floor < kSahnNoValue) return std::nullopt;
    return TSahnNearest{};
  }
  const THeldValues& held = held_[Ix(c)];
  if (!(held.value[0] < header.floor)) return std::nullopt;
  return TSahnNearest{held.value[0], held.otu[0], header.count > 1 && held.value[0] == held.value[1]};
}

// A full set lets its largest value go below the floor to make room.
void TSahnSmallest::Hold(THeader& header, THeldValues& held, double v, std::int32_t s) {
  if (header.count == kHeld) {
    header.floor = std::min(header.floor, held.value[kHeld - 1]);
    --header.count;
    header.stale = true;
  }
  std::size_t at = header.count;
  for (; at > 0 && v < held.value[at - 1]; --at) {
    held.value[at] = held.value[at - 1];
    held.otu[at] = held.otu[at - 1];
  }
  held.value[at] = v;
  held.otu[at] = s;
  ++header.count;
  header.mask.set(Bit(s));
  if (header.count == kHeld) header.admits = held.value[kHeld - 1];
}

// The bits of values let go to make room stay in the mask until a removal
// looks for a cluster in vain; then the mask is made exact again.
void TSahnSmallest::LetGo(THeader& header, THeldValues& held, std::int32_t s) {
  std::size_t at = 0;
  while (at < header.count && held.otu[at] != s) ++at;
  if (at < header.count) {
    --header.count;
    for (; at < header.count; ++at) {
      held.value[at] = held.value[at + 1];
      held.otu[at] = held.otu[at + 1];
    }
    header.admits = kUnbounded;
  } else if (!header.stale) {
    return;
  }
  header.mask.reset();
  for (std::size_t h = 0; h < header.count; ++h) header.mask.set(Bit(held.otu[h]));
  header.stale = false;
}
