#pragma once
// The random numbers of the transformation codes RANDU and RANDN: a
// subtractive generator of 55 entries (lags 55 and 24, modulus 1e9) giving
// uniform deviates in [0, 1), seeded on its first draw, and the polar
// Box-Muller method giving standard normal deviates, one pair at a time.
// One state for the whole program: successive runs continue one sequence.

#include <cstdint>
#include <functional>
#include <utility>

// The next uniform deviate, a multiple of 1e-9 in [0, 1).
double RanduDeviate();

// The next standard normal deviate: the first of each pair draws a new pair
// of uniform deviates, the second returns the other value of that pair.
double RandnDeviate();

// One accepted pair of the polar method from the uniform deviates that
// uniform draws: first the value RandnDeviate returns at once, then the one
// it saves.
std::pair<double, double> PolarNormalPair(const std::function<double()>& uniform);

// Where the generator's seed spread (an integer in 0 .. 31415) comes from at
// the first draw. By default the platform's generator is reseeded from the
// clock and gives it; returns the source it replaces.
using TSeedSpreadSource = std::function<std::int32_t()>;
TSeedSpreadSource InstallSeedSpreadSource(TSeedSpreadSource source);

// Back to the state at program start: the next uniform draw seeds anew and
// the next normal draw starts a pair.
void RestartRandomDeviates();
