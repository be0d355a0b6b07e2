// SahnClusterWithTieCheck against the plain step-by-step clustering of
// SahnPlainOrder.h, on random matrices full of ties: for every method, tie
// tolerance and sign of the working values both must join in the same order,
// at bit-identical levels, and agree on the tie flag.

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "modules/clustering/sahnClustering.h"
#include "tests/modules/clustering/SahnPlainOrder.h"
#include "tests/modules/clustering/SahnTestSupport.h"

namespace {

using namespace sahntest;

struct MethodRow {
  const char* name;
  TSahnMethod method;
  double beta;
};

const MethodRow kMethods[] = {
    {"COMPLETE", TSahnMethod::Complete, 0.0},    {"FLEXI beta -0.25", TSahnMethod::Flexi, -0.25},
    {"FLEXI beta 0.5", TSahnMethod::Flexi, 0.5}, {"SINGLE", TSahnMethod::Single, 0.0},
    {"UPGMA", TSahnMethod::Upgma, 0.0},          {"UPGMC", TSahnMethod::Upgmc, 0.0},
    {"WPGMA", TSahnMethod::Wpgma, 0.0},          {"WPGMC", TSahnMethod::Wpgmc, 0.0},
    {"WPGMS", TSahnMethod::Wpgms, 0.0},
};

// None; two positive ones, under which close values count as tied in the
// first search (0.125 is the step of the values); a negative one, under which
// nothing does.
const double kTolerances[] = {0.0, 0.125, 0.3, -0.125};

enum class Values {
  Eighths,      // multiples of 1/8 in 0 .. 3: many ties
  FewDistinct,  // two or three multiples of 1/8: most pairs tie
  TieFree,      // continuous values: ties only within a tolerance
};
const char* const kValueNames[] = {"eighths", "few distinct", "tie-free"};

struct Setting {
  MethodRow method;
  double tol;
  bool similarities;  // negated working values, as for a similarity matrix

  TSahnOptions Options() const { return {method.method, method.beta, tol}; }
};

std::vector<Setting> AllSettings() {
  std::vector<Setting> settings;
  for (const MethodRow& method : kMethods) {
    for (double tol : kTolerances) {
      for (bool similarities : {false, true}) settings.push_back({method, tol, similarities});
    }
  }
  return settings;
}

// A matrix of working values drawn from its own seed, so that a failing one
// can be made again from the seed alone.
SymMatrix RandomMatrix(std::uint64_t seed, std::int32_t n, Values values, bool similarities) {
  std::mt19937_64 random(seed);
  std::uniform_int_distribution<int> eighth(0, 24);
  std::uniform_real_distribution<double> real(0.0, 3.0);
  std::vector<double> pool;
  if (values == Values::FewDistinct) {
    const int count = std::uniform_int_distribution<int>(2, 3)(random);
    for (int k = 0; k < count; ++k) pool.push_back(eighth(random) / 8.0);
  }
  std::uniform_int_distribution<std::size_t> fromPool(0, pool.empty() ? 0 : pool.size() - 1);
  SymMatrix d(similarities ? 3 : 2, n);
  d->Fill(0);
  for (std::int32_t i = 2; i <= n; ++i) {
    for (std::int32_t j = 1; j < i; ++j) {
      double x = 0;
      switch (values) {
        case Values::Eighths: x = eighth(random) / 8.0; break;
        case Values::FewDistinct: x = pool[fromPool(random)]; break;
        case Values::TieFree: x = real(random); break;
      }
      d->putxij(i, j, similarities ? -x : x);
    }
  }
  return d;
}

// Clusters one random matrix both ways and compares the results.
void ExpectSameAsPlainOrder(const Setting& setting, Values values, std::uint64_t seed, std::int32_t n) {
  const SymMatrix d = RandomMatrix(seed, n, values, setting.similarities);
  std::ostringstream what;
  what << setting.method.name << ", TOL " << setting.tol << (setting.similarities ? ", similarities" : "") << ", "
       << kValueNames[static_cast<int>(values)] << ", seed " << seed << ", n " << n;
  const PlainOrderResult expected = SahnPlainOrder(d, setting.Options());
  SymMatrix work = Copy(d);
  bool tie = !expected.tie;
  const TSahnDendrogram actual = SahnClusterWithTieCheck(work, setting.Options(), tie);
  EXPECT_EQ(actual.order, expected.tree.order) << what.str();
  EXPECT_EQ(actual.levels, expected.tree.levels) << what.str();
  EXPECT_EQ(tie, expected.tie) << what.str();
}

TEST(SahnPlainOrder, SmallMatricesJoinInThePlainOrder) {
  std::mt19937_64 seeds(20260314);
  std::uniform_int_distribution<std::int32_t> size(2, 40);
  for (const Setting& setting : AllSettings()) {
    for (int set = 0; set < 60; ++set) {
      const std::uint64_t seed = seeds();
      ExpectSameAsPlainOrder(setting, static_cast<Values>(set % 3), seed, size(seeds));
      if (HasFailure()) return;
    }
  }
}

TEST(SahnPlainOrder, LongRunsOfJoinsFollowThePlainOrder) {
  std::mt19937_64 seeds(20260315);
  std::uniform_int_distribution<std::int32_t> size(200, 400);
  std::uniform_int_distribution<std::size_t> tolerance(0, std::size(kTolerances) - 1);
  std::bernoulli_distribution similarities(0.5);
  for (const MethodRow& method : kMethods) {
    for (Values values : {Values::Eighths, Values::FewDistinct, Values::TieFree}) {
      const Setting setting{method, kTolerances[tolerance(seeds)], similarities(seeds)};
      const std::uint64_t seed = seeds();
      ExpectSameAsPlainOrder(setting, values, seed, size(seeds));
      if (HasFailure()) return;
    }
  }
}

}  // namespace
