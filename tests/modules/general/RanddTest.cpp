// The random numbers of RANDU and RANDN: the uniform sequence of two seed
// spreads against an independent re-implementation (randd.py beside the
// fixture), the distribution of many uniform and normal deviates, and the
// polar method's pairs.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <map>
#include <vector>

#include "modules/general/randd.h"
#include "rtl/Random.h"
#include "tests/modules/general/GeneralTestSupport.h"
#include "tests/support/ScopedHook.h"

namespace {

// Draws from the generator seeded with the given spread as at program start.
class SeededDeviates {
 public:
  explicit SeededDeviates(std::int32_t spread) : hook_(InstallSeedSpreadSource, [spread] { return spread; }) {
    RestartRandomDeviates();
  }
  ~SeededDeviates() { RestartRandomDeviates(); }

 private:
  testsupport::ScopedHook<TSeedSpreadSource> hook_;
};

TEST(Randd, UniformDeviatesOfTwoSeedSpreadsEqualTheIndependentSequence) {
  std::map<std::int32_t, std::vector<std::int64_t>> expected;
  std::ifstream in(gentest::Fixtures / "randd.txt");
  std::int32_t spread = 0, k = 0;
  std::int64_t mj = 0;
  while (in >> spread >> k >> mj) expected[spread].push_back(mj);
  ASSERT_EQ(expected.size(), 2u);
  for (const auto& [seedSpread, sequence] : expected) {
    ASSERT_EQ(sequence.size(), 1000u);
    const SeededDeviates seeded(seedSpread);
    for (std::size_t i = 0; i < sequence.size(); ++i) {
      const double u = RanduDeviate();
      ASSERT_EQ(u, static_cast<double>(sequence[i]) / 1e9) << "spread " << seedSpread << " deviate " << i + 1;
      ASSERT_GE(u, 0.0);
      ASSERT_LT(u, 1.0);
    }
  }
}

// The first seeding takes its spread from the platform generator: the same
// platform seed, the same sequence.
TEST(Randd, TheSeedSpreadComesFromThePlatformGenerator) {
  const auto draw = [](std::uint32_t platformSeed) {
    const testsupport::ScopedHook<TSeedSpreadSource> hook(InstallSeedSpreadSource, [platformSeed] {
      rtl::SetRandSeed(platformSeed);
      return rtl::Random(31416);
    });
    RestartRandomDeviates();
    std::vector<double> u;
    for (int k = 0; k < 5; ++k) u.push_back(RanduDeviate());
    RestartRandomDeviates();
    return u;
  };
  EXPECT_EQ(draw(12345), draw(12345));
  EXPECT_NE(draw(12345), draw(54321));
}

// The largest gap between the empirical distribution of the sorted sample and
// the expected one.
template <class Cdf>
double LargestGap(std::vector<double> sample, Cdf cdf) {
  std::sort(sample.begin(), sample.end());
  const double n = static_cast<double>(sample.size());
  double gap = 0;
  for (std::size_t i = 0; i < sample.size(); ++i) {
    const double f = cdf(sample[i]);
    gap = std::max({gap, std::fabs(f - static_cast<double>(i) / n), std::fabs(static_cast<double>(i + 1) / n - f)});
  }
  return gap;
}

TEST(Randd, ManyDeviatesFollowTheirDistributions) {
  constexpr int kCount = 100000;
  const double critical = 1.628 / std::sqrt(static_cast<double>(kCount));  // the 1% point of the largest gap
  const SeededDeviates seeded(2718);
  std::vector<double> uniform(kCount), normal(kCount);
  std::generate(uniform.begin(), uniform.end(), RanduDeviate);
  std::generate(normal.begin(), normal.end(), RandnDeviate);
  EXPECT_LT(LargestGap(uniform, [](double u) { return u; }), critical);
  EXPECT_LT(LargestGap(normal, [](double z) { return 0.5 * std::erfc(-z / std::sqrt(2.0)); }), critical);
}

TEST(Randd, NormalDeviatesComeInPairsOfOneAcceptedDraw) {
  struct Case {
    std::vector<double> uniforms;
    double w1, w2;  // the accepted pair
    std::size_t used;
  };
  const Case cases[] = {
      {{0.75, 0.5}, 0.5, 0.0, 2},
      // (0, 0) has no value, (0.8, 0.8) lies outside the circle, (0, -1) on it.
      {{0.5, 0.5, 0.9, 0.9, 0.5, 0.0, 0.25, 0.375}, -0.5, -0.25, 8},
  };
  for (const Case& c : cases) {
    std::size_t used = 0;
    const auto [first, second] = PolarNormalPair([&] { return c.uniforms.at(used++); });
    const double r = c.w1 * c.w1 + c.w2 * c.w2;
    const double fac = std::sqrt(-2 * std::log(r) / r);
    EXPECT_EQ(used, c.used);
    EXPECT_DOUBLE_EQ(first, c.w2 * fac);
    EXPECT_DOUBLE_EQ(second, c.w1 * fac);
  }

  // The second deviate of a pair draws no uniform deviate.
  std::vector<double> fromPairs, fromUniforms;
  {
    const SeededDeviates seeded(99);
    for (int k = 0; k < 6; ++k) fromPairs.push_back(RandnDeviate());
  }
  {
    const SeededDeviates seeded(99);
    for (int k = 0; k < 3; ++k) {
      const auto [first, second] = PolarNormalPair(RanduDeviate);
      fromUniforms.push_back(first);
      fromUniforms.push_back(second);
    }
  }
  EXPECT_EQ(fromPairs, fromUniforms);
}

}  // namespace
