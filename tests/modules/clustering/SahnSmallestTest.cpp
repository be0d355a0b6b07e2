// The smallest values kept for each cluster of SAHN's working matrix: when
// they claim to know a minimum they must be right, and they must admit not
// knowing it once the values they held are gone.

#include <gtest/gtest.h>

#include <iterator>
#include <map>
#include <random>
#include <string>

#include "modules/clustering/sahnSmallest.h"

namespace {

constexpr auto kHeld = static_cast<std::int32_t>(TSahnSmallest::kHeld);

// Offers cluster 1 the values 1, 2, ... of clusters 101, 102, ...
void OfferAscending(TSahnSmallest& smallest, std::int32_t count) {
  for (std::int32_t v = 1; v <= count; ++v) smallest.Offer(1, v, 100 + v);
}

TEST(SahnSmallest, KnowWhenThereIsNoValueAndTheSmallestOfMany) {
  TSahnSmallest smallest(3);  // sets 0 .. 2
  const auto empty = smallest.Minimum(1);
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->value, kSahnNoValue);

  for (std::int32_t v = kHeld + 5; v >= 1; --v) smallest.Offer(2, v, 100 + v);
  const auto full = smallest.Minimum(2);
  ASSERT_TRUE(full);
  EXPECT_EQ(full->value, 1);
  EXPECT_EQ(full->otu, 101);
  EXPECT_FALSE(full->tied);
}

TEST(SahnSmallest, NoLongerKnowTheMinimumOnceTheHeldValuesAreGone) {
  TSahnSmallest smallest(2);
  OfferAscending(smallest, kHeld + 1);  // value kHeld + 1 is not held
  // The clusters holding 1 .. kHeld - 1 are joined into clusters far away.
  for (std::int32_t v = 1; v < kHeld; ++v) {
    smallest.Remove(1, 100 + v);
    smallest.Offer(1, 1000 + v, 100 + v);
  }
  auto minimum = smallest.Minimum(1);
  ASSERT_TRUE(minimum);
  EXPECT_EQ(minimum->value, kHeld);

  // Now the value kHeld + 1, never held, is the smallest.
  smallest.Remove(1, 100 + kHeld);
  EXPECT_FALSE(smallest.Minimum(1));

  // Offering the values whole makes the minimum known again.
  smallest.Clear(1);
  for (std::int32_t v = 1; v < kHeld; ++v) smallest.Offer(1, 1000 + v, 100 + v);
  smallest.Offer(1, kHeld + 1, 101 + kHeld);
  minimum = smallest.Minimum(1);
  ASSERT_TRUE(minimum);
  EXPECT_EQ(minimum->otu, 101 + kHeld);
}

TEST(SahnSmallest, ReportTiesAtTheSmallestValue) {
  TSahnSmallest smallest(2);
  smallest.Offer(1, 3, 7);
  smallest.Offer(1, 2, 8);
  smallest.Offer(1, 2, 9);
  const auto minimum = smallest.Minimum(1);
  ASSERT_TRUE(minimum);
  EXPECT_EQ(minimum->value, 2);
  EXPECT_TRUE(minimum->tied);
}

// Values as joins treat them: they change, mostly upwards, and clusters
// leave; when the minimum is no longer known the values are offered again
// whole. Checked against a plain map of the values, some with few
// distinct values so that ties are common.
TEST(SahnSmallest, AgreeWithEveryValueWheneverTheyKnowTheMinimum) {
  std::mt19937 random(20261210);
  for (const std::uint32_t distinct : {3u, 40u, 1000u}) {
    const auto randomValue = [&] { return static_cast<double>(random() % distinct) / 8; };
    TSahnSmallest smallest(2);
    std::map<std::int32_t, double> live;
    const auto offerWhole = [&] {
      smallest.Clear(1);
      for (const auto& [otu, value] : live) smallest.Offer(1, value, otu);
    };
    std::int32_t next = 2;
    std::int32_t known = 0;
    std::int32_t unknown = 0;
    for (std::int32_t step = 0; step < 20000; ++step) {
      if (live.size() < 40) {
        while (live.size() < 300) live[next++] = randomValue();
        offerWhole();
      }
      auto picked = live.begin();
      std::advance(picked, random() % live.size());
      const std::int32_t s = picked->first;
      const std::uint32_t operation = random() % 10;
      smallest.Remove(1, s);
      if (operation < 7) {
        const double changed = operation < 6 ? picked->second + randomValue() : randomValue();
        smallest.Offer(1, changed, s);
        picked->second = changed;
      } else {
        live.erase(picked);
      }
      TSahnNearest expected;
      for (const auto& [otu, value] : live) expected.Take(value, otu);
      const auto minimum = smallest.Minimum(1);
      if (!minimum) {
        ++unknown;
        offerWhole();
        continue;
      }
      ++known;
      const std::string where = "distinct " + std::to_string(distinct) + ", step " + std::to_string(step);
      ASSERT_EQ(minimum->value, expected.value) << where;
      ASSERT_EQ(minimum->tied, expected.tied) << where;
      if (!expected.tied) {
        ASSERT_EQ(minimum->otu, expected.otu) << where;
      }
    }
    EXPECT_GT(known, 0) << "distinct " << distinct;
    EXPECT_GT(unknown, 0) << "distinct " << distinct;
  }
}

}  // namespace
