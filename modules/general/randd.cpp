#include "modules/general/randd.h"

#include <array>
#include <cmath>
#include <utility>

#include "rtl/Random.h"

namespace {

constexpr std::int32_t kModulus = 1000000000;
constexpr std::int32_t kSeedConstant = 161803398;
constexpr std::int32_t kSeedSpread = 31416;

std::int32_t ClockSeedSpread() {
  rtl::Randomize();
  return rtl::Random(kSeedSpread);
}

struct TRanddState {
  std::array<std::int32_t, 56> table{};  // entries 1 .. 55
  std::int32_t inext = 0;
  std::int32_t inextp = 0;
  bool needsSeed = true;
  bool needsPair = true;
  double savedNormal = 0;
  TSeedSpreadSource seedSpread = ClockSeedSpread;
};

TRanddState& State() {
  static TRanddState state;
  return state;
}

std::int32_t Wrapped(std::int32_t value) { return value < 0 ? value + kModulus : value; }

void Seed(TRanddState& s) {
  s.needsSeed = false;
  std::int32_t mj = (kSeedConstant + s.seedSpread()) % kModulus;
  s.table[55] = mj;
  std::int32_t mk = 1;
  for (std::int32_t i = 1; i <= 54; ++i) {
    const std::int32_t ii = (21 * i) % 55;
    s.table[static_cast<std::size_t>(ii)] = mk;
    mk = Wrapped(mj - mk);
    mj = s.table[static_cast<std::size_t>(ii)];
  }
  for (int round = 0; round < 4; ++round) {
    for (std::int32_t i = 1; i <= 55; ++i) {
      auto& entry = s.table[static_cast<std::size_t>(i)];
      entry = Wrapped(entry - s.table[static_cast<std::size_t>(1 + (i + 30) % 55)]);
    }
  }
  s.inext = 0;
  s.inextp = 31;
}

}  // namespace

double RanduDeviate() {
  TRanddState& s = State();
  if (s.needsSeed) Seed(s);
  if (++s.inext == 56) s.inext = 1;
  if (++s.inextp == 56) s.inextp = 1;
  const std::int32_t mj =
      Wrapped(s.table[static_cast<std::size_t>(s.inext)] - s.table[static_cast<std::size_t>(s.inextp)]);
  s.table[static_cast<std::size_t>(s.inext)] = mj;
  return static_cast<double>(mj) / kModulus;  // the multiple of 1e-9 nearest mj / 1e9
}

std::pair<double, double> PolarNormalPair(const std::function<double()>& uniform) {
  // The pair (0, 0) is drawn again as well: ln(r) / r has no value at r = 0.
  double w1 = 0, w2 = 0, r = 0;
  do {
    w1 = 2 * uniform() - 1;
    w2 = 2 * uniform() - 1;
    r = w1 * w1 + w2 * w2;
  } while (r >= 1 || r == 0);
  const double fac = std::sqrt(-2 * std::log(r) / r);
  return {w2 * fac, w1 * fac};
}

double RandnDeviate() {
  TRanddState& s = State();
  if (!s.needsPair) {
    s.needsPair = true;
    return s.savedNormal;
  }
  const auto [first, second] = PolarNormalPair(RanduDeviate);
  s.savedNormal = second;
  s.needsPair = false;
  return first;
}

TSeedSpreadSource InstallSeedSpreadSource(TSeedSpreadSource source) {
  return std::exchange(State().seedSpread, source ? std::move(source) : TSeedSpreadSource(ClockSeedSpread));
}

void RestartRandomDeviates() {
  TRanddState& s = State();
  s.needsSeed = true;
  s.needsPair = true;
}
