// Sets of up to 512 OTU numbers, held to std::bitset<512> under random
// operations at the problem sizes around the boundary of the two halves.

#include <gtest/gtest.h>

#include <bitset>
#include <random>
#include <string>
#include <vector>

#include "matrix/Constu.h"
#include "modules/clustering/largeSet.h"
#include "tests/support/RecordedServices.h"

namespace {

using Bits = std::bitset<512>;

struct Pair {
  TLargeSet set;
  Bits bits;
};

Pair RandomPair(std::mt19937& random, std::int32_t n, double density) {
  std::bernoulli_distribution take(density);
  Pair p;
  for (std::int32_t x = 0; x <= n; ++x) {
    if (take(random)) {
      SetInclude(x, p.set);
      p.bits.set(static_cast<std::size_t>(x));
    }
  }
  return p;
}

void ExpectSame(const TLargeSet& set, const Bits& bits, std::int32_t n, const std::string& what) {
  ASSERT_EQ(SetCount(set), static_cast<std::int32_t>(bits.count())) << what;
  for (std::int32_t x = 0; x <= n; ++x) {
    ASSERT_EQ(SetMember(x, set), bits.test(static_cast<std::size_t>(x))) << what << " element " << x;
  }
}

class LargeSetSizes : public ::testing::TestWithParam<std::int32_t> {};

TEST_P(LargeSetSizes, MatchBitsetUnderRandomOperations) {
  const std::int32_t n = GetParam();
  SetInitSize(n);
  std::mt19937 random(static_cast<std::mt19937::result_type>(n));
  for (int round = 0; round < 200; ++round) {
    const double density = (round % 4 + 1) * 0.2;
    const Pair a = RandomPair(random, n, density);
    Pair b = RandomPair(random, n, 1.0 - density);
    if (round % 5 == 0) b = a;  // equal sets
    if (round % 5 == 1) {       // a subset of b
      b.set = SetUnion(b.set, a.set);
      b.bits |= a.bits;
    }
    ExpectSame(SetUnion(a.set, b.set), a.bits | b.bits, n, "union");
    ExpectSame(SetIntersection(a.set, b.set), a.bits & b.bits, n, "intersection");
    ExpectSame(SetDifference(a.set, b.set), a.bits & ~b.bits, n, "difference");
    EXPECT_EQ(SetEqual(a.set, b.set), a.bits == b.bits);
    EXPECT_EQ(SetSubset(a.set, b.set), (a.bits & ~b.bits).none());
    EXPECT_EQ(SetSubset(b.set, a.set), (b.bits & ~a.bits).none());
    std::vector<std::int32_t> expected;
    for (std::int32_t x = 0; x <= n; ++x) {
      if (a.bits.test(static_cast<std::size_t>(x))) expected.push_back(x);
    }
    EXPECT_EQ(SetElements(a.set), expected);
    TLargeSet cleared = a.set;
    SetClear(cleared);
    EXPECT_EQ(SetCount(cleared), 0);
  }
  SetInitSize(511);
}

INSTANTIATE_TEST_SUITE_P(AroundTheHalves, LargeSetSizes, ::testing::Values(1, 255, 256, 300, 500, 511));

TEST(LargeSet, SecondHalfIsInUseFrom256) {
  const TLargeSet set = SetUnion(SetSingleton(3), SetSingleton(256));
  SetInitSize(255);
  EXPECT_EQ(SetCount(set), 1);
  EXPECT_TRUE(SetEqual(set, SetSingleton(3)));
  SetInitSize(256);
  EXPECT_EQ(SetCount(set), 2);
  EXPECT_FALSE(SetEqual(set, SetSingleton(3)));
  SetInitSize(511);
}

TEST(LargeSet, ElementsOnBothSidesOfTheHalvesCountOnce) {
  SetInitSize(300);
  TLargeSet set;
  for (std::int32_t x : {0, 8, 255, 256, 264, 300}) SetInclude(x, set);
  EXPECT_EQ(SetCount(set), 6);
  EXPECT_EQ(SetElements(set), (std::vector<std::int32_t>{0, 8, 255, 256, 264, 300}));
  EXPECT_FALSE(SetMember(44, set));
  SetInitSize(511);
}

TEST(LargeSet, ElementsOutsideTheRangeAreRefused) {
  for (std::int32_t x : {-1, 512, 100000}) {
    TLargeSet set;
    EXPECT_THROW(SetSingleton(x), E_Morvapc_Internal) << x;
    EXPECT_THROW(SetMember(x, set), E_Morvapc_Internal) << x;
    EXPECT_THROW(SetInclude(x, set), E_Morvapc_Internal) << x;
  }
  EXPECT_THROW(SetInitSize(512), E_Morvapc_Internal);
}

TEST(LargeSet, ListingOfFewElements) {
  SetInitSize(10);
  TLargeSet set;
  for (std::int32_t x : {1, 2, 3}) SetInclude(x, set);
  testsupport::RecordedServices services;
  SetList(set);
  EXPECT_EQ(services.lines, std::vector<std::string>{"[1,2,3]"});
  EXPECT_EQ(SetListLines(kEmptyLargeSet), std::vector<std::string>{"[]"});
  SetInitSize(511);
}

TEST(LargeSet, ListingOfFiveHundredElementsWraps) {
  SetInitSize(500);
  TLargeSet set;
  std::string expected = "[";
  for (std::int32_t x = 1; x <= 500; ++x) {
    SetInclude(x, set);
    expected += std::to_string(x) + (x < 500 ? "," : "]");
  }
  const std::vector<std::string> lines = SetListLines(set);
  ASSERT_GT(lines.size(), 30U);
  std::string joined;
  for (std::size_t k = 0; k < lines.size(); ++k) {
    EXPECT_LE(lines[k].size(), 62U) << k;
    if (k > 0) {
      ASSERT_EQ(lines[k][0], ' ') << k;
      EXPECT_GT(lines[k - 1].size(), 57U) << k;
    }
    joined += k > 0 ? lines[k].substr(1) : lines[k];
  }
  EXPECT_EQ(joined, expected);
  SetInitSize(511);
}

}  // namespace
