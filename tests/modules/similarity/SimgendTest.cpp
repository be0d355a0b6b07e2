// SIMGEND's distances against references computed by independent tools (or
// by formula where no tool has them), and the module's rules for edge cases:
// identical populations, J&C's 9999, ArcCos at 1, negative frequencies.

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "SimTestSupport.h"
#include "matrix/MatrixIO.h"
#include "modules/similarity/simgend.h"

namespace {

using simtest::LoadDataSet;
using simtest::LoadReferences;

// The loci array and sample sizes of genetic.qmx (loci.qmx, nsizes.qmx).
std::unique_ptr<ivect_mx> Loci() {
  const int loci[] = {1, 1, 1, 2, 2, 3, 3, 3, 3};
  auto v = std::make_unique<ivect_mx>(9);
  for (int k = 1; k <= 9; ++k) v->Put(k, loci[k - 1]);
  return v;
}
std::unique_ptr<vect_mx> SampleSizes() {
  const double sizes[] = {10, 12, 8, 10, 15};
  auto v = std::make_unique<vect_mx>(5);
  for (int i = 1; i <= 5; ++i) v->Put(i, sizes[i - 1]);
  return v;
}

struct RefCase {
  TSimgendCode code;
  const char* ref;
  std::function<double(double)> convert;
};

TEST(SimgendReference, EveryDistanceMatchesAdegenetOrItsFormula) {
  const TOtuData data = LoadDataSet("genetic.qmx", 1, true);
  const auto refs = LoadReferences("genetic.qmx", 1);
  const auto loci = Loci();
  const auto sizes = SampleSizes();
  constexpr int L = 3;
  const auto same = [](double v) { return v; };
  const RefCase cases[] = {
      {sgNEI72, "nei", same},
      // adegenet's Edwards distance is sqrt(1 - sum sqrt(xy) / L): CHORD is 4 L d^2.
      {sgCHORD, "edwards", [](double d) { return 4 * L * d * d; }},
      // adegenet's Rogers distance averages sqrt(sum (x - y)^2 / 2) over loci: ROGERS is that / sqrt(2).
      {sgROGERS, "rogers", [](double d) { return d / std::sqrt(2.0); }},
      {sgPREVOSTI, "prevosti", same},
      {sgBS, "B&S", same},
      {sgNEIUB, "NEI-UB", same},
      {sgHILLIS, "HILLIS", same},
      {sgHILLISUB, "HILLIS-UB", same},
      {sgARC, "ARC", same},
      {sgROGERSW, "ROGERS-W", same},
  };
  for (const RefCase& c : cases) {
    SCOPED_TRACE(c.ref);
    const TSimgendComputer computer(*data.matrix, c.code, L, sizes.get(), loci.get());
    for (int i = 2; i <= data.n(); ++i) {
      for (int j = 1; j < i; ++j) {
        EXPECT_NEAR(computer.Distance(i, j).value, c.convert(refs.at(c.ref).At(i, j)), simtest::Tolerance)
            << i << "," << j;
      }
    }
  }
}

TEST(SimgendReference, JukesCantorMatchesApeOnSequences) {
  const TOtuData data = LoadDataSet("sequences.qmx", 1, true);
  const auto refs = LoadReferences("sequences.qmx", 1);
  const auto& jc = refs.at("JC69");
  const TSimgendComputer computer(*data.matrix, sgJC, 0, nullptr, nullptr);
  for (int i = 2; i <= data.n(); ++i) {
    for (int j = 1; j < i; ++j) EXPECT_NEAR(computer.Distance(i, j).value, jc.At(i, j), simtest::Tolerance);
  }
}

// Populations as columns of p alleles.
std::unique_ptr<Rect_mx> Populations(const std::vector<std::vector<double>>& otus, int missCode = 0) {
  const auto p = static_cast<std::int32_t>(otus[0].size());
  auto m =
      std::make_unique<Rect_mx>(p, static_cast<std::int32_t>(otus.size()), missCode, missCode ? -1.0 : NoMissingValue);
  for (std::size_t i = 0; i < otus.size(); ++i) {
    for (std::int32_t k = 1; k <= p; ++k) m->putxij(k, static_cast<std::int32_t>(i + 1), otus[i][k - 1]);
  }
  return m;
}

TEST(SimgendPair, IdenticalPopulationsAreAtDistance0) {
  const auto data = Populations({{0.2, 0.8, 0.5, 0.5}, {0.2, 0.8, 0.5, 0.5}});
  ivect_mx loci(4);
  for (int k = 1; k <= 4; ++k) loci.Put(k, (k + 1) / 2);
  for (TSimgendCode code : {sgNEI72, sgROGERSW, sgPREVOSTI, sgROGERS, sgHILLIS, sgARC, sgCHORD, sgBS}) {
    EXPECT_NEAR(TSimgendComputer(*data, code, 2, nullptr, &loci).Distance(2, 1).value, 0, 1e-15) << code;
  }
  // CHORD is 4 (L - sum of the frequencies): with L = 3 instead of the 2 loci, 4.
  EXPECT_NEAR(TSimgendComputer(*data, sgCHORD, 3, nullptr, &loci).Distance(2, 1).value, 4, 1e-15);
  EXPECT_EQ(ArcCos(1), 0);
  EXPECT_EQ(ArcCos(1 + 1e-15L), 0) << "a sum of roots rounded above 1";
}

TEST(SimgendPair, JukesCantorStores9999WhenTooManyStatesDiffer) {
  struct Case {
    std::vector<double> x, y;
    double expected;
  };
  const Case cases[] = {
      {{1, 2, 3, 4}, {1, 2, 3, 4}, 0},                                     // f = 1
      {{1, 2, 3, 4}, {1, 3, 4, 1}, 9999},                                  // f = 0.25
      {{1, 2, 3, 4}, {2, 3, 4, 1}, 9999},                                  // f = 0
      {{1, 2, 3, 4}, {1, 2, 4, 1}, 0.75 * std::log(3.0 / (4 * 0.5 - 1))},  // f = 0.5
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(TSimgendComputer(*Populations({c.x, c.y}), sgJC, 0, nullptr, nullptr).Distance(2, 1).value, c.expected,
                1e-15);
  }
  // Every pair value missing: the share is undefined, stored as 9999 too.
  const auto missing = Populations({{-1, 1}, {2, -1}}, 1);
  EXPECT_EQ(TSimgendComputer(*missing, sgJC, 0, nullptr, nullptr).Distance(2, 1).value, 9999);
}

TEST(SimgendPair, MissingValuesDropAllelesAndLociPairwise) {
  // Locus 2 of the pair is wholly missing: ROGERS and PREVOSTI count one locus.
  const auto data = Populations({{0.4, 0.6, -1, -1}, {0.5, 0.5, 0.3, 0.7}}, 1);
  ivect_mx loci(4);
  for (int k = 1; k <= 4; ++k) loci.Put(k, (k + 1) / 2);
  const TSimgendDistance prevosti = TSimgendComputer(*data, sgPREVOSTI, 0, nullptr, &loci).Distance(2, 1);
  EXPECT_EQ(prevosti.loci, 1);
  EXPECT_NEAR(prevosti.value, 0.2 / 2, 1e-15);
  EXPECT_NEAR(TSimgendComputer(*data, sgROGERS, 0, nullptr, &loci).Distance(2, 1).value, std::sqrt(0.02) / 2, 1e-15);
  // No locus at all in common: ROGERS stores 0 like PREVOSTI.
  const auto none = Populations({{0.4, 0.6, -1, -1}, {-1, -1, 0.3, 0.7}}, 1);
  EXPECT_EQ(TSimgendComputer(*none, sgROGERS, 0, nullptr, &loci).Distance(2, 1).value, 0);
  EXPECT_EQ(TSimgendComputer(*none, sgPREVOSTI, 0, nullptr, &loci).Distance(2, 1).value, 0);
}

TEST(SimgendPair, UnbiasedDistancesStayFiniteForSmallSamples) {
  // With one individual each and L = 3, 2 N Sxx - L is negative for the first
  // population: the product under the root is negative and the identity is
  // taken as 0 (for HILLIS-UB the first population's loci give 0 products).
  const auto data = Populations({{0.5, 0.5, 0.5, 0.5}, {1, 0, 1, 0}});
  vect_mx sizes(2);
  sizes.Put(1, 1);
  sizes.Put(2, 1);
  ivect_mx loci(4);
  for (int k = 1; k <= 4; ++k) loci.Put(k, (k + 1) / 2);
  for (TSimgendCode code : {sgNEIUB, sgHILLISUB}) {
    const double d = TSimgendComputer(*data, code, 3, &sizes, &loci).Distance(2, 1).value;
    EXPECT_TRUE(std::isfinite(d)) << code;
    EXPECT_EQ(d, 0) << code;
  }
}

TEST(SimgendFrequencies, ANegativeFrequencyNamesThePopulationAndAllele) {
  const auto data = Populations({{0.5, 0.5}, {1.2, -0.2}});
  Label_mx labels(2);
  labels.PutLabel(1, "North");
  labels.PutLabel(2, "South");
  try {
    SimgendCheckFrequencies(*data, labels);
    FAIL() << "no error";
  } catch (const E_Morvapc& e) {
    EXPECT_STREQ(e.what(), "Negative allele frequency (-0.2) of population South, allele 2");
  }
  // A missing value marked by a negative number is no frequency.
  EXPECT_NO_THROW(SimgendCheckFrequencies(*Populations({{0.5, -1}, {1, 0}}, 1), labels));
}

TEST(SimgendCodes, TheAlphabeticalChoiceMapsToTheComputationsCodes) {
  const TSimgendCode expected[] = {sgARC,   sgBS,    sgCHORD,    sgHILLIS, sgHILLISUB, sgJC,
                                   sgNEI72, sgNEIUB, sgPREVOSTI, sgROGERS, sgROGERSW};
  for (int choice = 1; choice <= SimgendCoeffCount; ++choice) {
    EXPECT_EQ(SimgendCodeOfChoice(choice), expected[choice - 1]);
  }
  EXPECT_THROW(SimgendCodeOfChoice(12), E_Morvapc_Internal);
}

}  // namespace
