#include "rtl/Random.h"

#include <gtest/gtest.h>

namespace {

TEST(Random, LinearCongruentialSequence) {
  rtl::SetRandSeed(0);
  // seed 1, then 1 * 134775813 + 1
  EXPECT_DOUBLE_EQ(rtl::Random(), 1.0 / 4294967296.0);
  EXPECT_EQ(rtl::RandSeed(), 1u);
  EXPECT_DOUBLE_EQ(rtl::Random(), 134775814.0 / 4294967296.0);
  rtl::SetRandSeed(0xFFFFFFFFu);
  rtl::Random();
  EXPECT_EQ(rtl::RandSeed(), static_cast<uint32_t>(0xFFFFFFFFull * 134775813ull + 1ull));
  rtl::SetRandSeed(12345);
  for (int i = 0; i < 1000; ++i) {
    int r = rtl::Random(10);
    ASSERT_GE(r, 0);
    ASSERT_LT(r, 10);
  }
  EXPECT_EQ(rtl::Random(0), 0);
}

TEST(Random, RandomizeSeedsFromTheInstalledTimeOfDay) {
  const rtl::TTimeOfDayClock previous = rtl::InstallRandomizeClock([] { return 45296789u; });  // 12:34:56.789
  rtl::Randomize();
  EXPECT_EQ(rtl::RandSeed(), 45296789u);
  rtl::InstallRandomizeClock(previous);
  rtl::Randomize();
  EXPECT_LT(rtl::RandSeed(), 86400000u) << "the system clock's time of day";
}

}  // namespace
