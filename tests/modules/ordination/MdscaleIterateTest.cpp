// The numerical core of multidimensional scaling against R: the monotone fit
// against isoreg(), the stress of a fixed configuration against a direct
// computation (dist, isoreg in the order of the dissimilarities, the two
// formulas), the gradient against finite differences of the stress, and the
// final stress of whole runs against MASS::isoMDS from the same start
// (references.R in tests/fixtures/mdscale made the numbers).

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "matrix/Constu.h"
#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "modules/ordination/mdscaleIterate.h"
#include "modules/ordination/mdscalePairs.h"
#include "rtl/TextFile.h"
#include "tests/matrix/core/ErrorText.h"
#include "tests/support/RecordedServices.h"

namespace {

namespace fs = std::filesystem;

const fs::path Fixtures = fs::path(MORVA_FIXTURES) / "mdscale";

std::vector<double> Numbers(std::istringstream& words, std::size_t count) {
  std::vector<double> v(count);
  for (double& x : v) words >> x;
  return v;
}

// ---- Monotone regression ----

struct IsoregCase {
  std::string name;
  std::vector<double> values;
  std::vector<double> fit;
};

std::vector<IsoregCase> IsoregCases() {
  std::ifstream in(Fixtures / "isoreg.txt");
  std::vector<IsoregCase> cases;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    IsoregCase c;
    std::size_t count = 0;
    words >> c.name >> count;
    c.values = Numbers(words, count);
    c.fit = Numbers(words, count);
    cases.push_back(std::move(c));
  }
  return cases;
}

TEST(MdscaleRegression, MonotoneFitEqualsIsoreg) {
  const std::vector<IsoregCase> cases = IsoregCases();
  ASSERT_GE(cases.size(), 3u);
  std::vector<std::int32_t> blocks;
  for (const IsoregCase& c : cases) {
    std::vector<double> v = c.values;
    MonotoneRegression(v, blocks);
    for (std::size_t m = 0; m < v.size(); ++m) EXPECT_NEAR(v[m], c.fit[m], 1e-12) << c.name << " [" << m + 1 << "]";
  }
}

TEST(MdscaleRegression, LinearFitTakesTheSlopeThroughTheOriginOrTheFloor) {
  struct Case {
    const char* name;
    std::vector<double> d;
    std::vector<double> delta;
    double slope;
  };
  const Case cases[] = {
      {"exact multiple", {2, 4, 6}, {1, 2, 3}, 2.0},
      {"least squares", {1, 3}, {1, 1}, 2.0},
      {"negative slope floored", {1, 2}, {-1, -2}, 0.01},
      {"zero slope kept", {1, -1}, {1, 1}, 0.0},
  };
  for (const Case& c : cases) {
    std::vector<double> v = c.d;
    LinearRegression(v, c.delta);
    for (std::size_t m = 0; m < v.size(); ++m) EXPECT_DOUBLE_EQ(v[m], c.slope * c.delta[m]) << c.name;
  }
}

TEST(MdscaleRegression, LinearFitOfDissimilaritiesThatAreAllZeroIsRefused) {
  std::vector<double> v = {1, 2, 3};
  const std::vector<double> zeros = {0, 0, 0};
  EXPECT_EQ(ErrorText<E_Morvapc>([&] { LinearRegression(v, zeros); }),
            "All dissimilarities are zero: no LINEAR regression can be fitted");
}

// ---- Stress and gradient of a fixed configuration ----

// The configuration, the pairs in the order of the lower triangle, their
// dissimilarities and R's stresses.
struct FixedProblem {
  TMdscaleConfiguration x{0, 0};
  TMdscalePairList list;
  std::map<std::string, double> stress;
};

FixedProblem LoadFixedProblem() {
  std::ifstream in(Fixtures / "stress.txt");
  FixedProblem p;
  std::string line;
  std::int32_t n = 0;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string name;
    words >> name;
    if (name == "n") {
      words >> n;
      p.x = TMdscaleConfiguration(n, 2);
    } else if (name == "x") {
      for (double& v : p.x.Values()) words >> v;
    } else if (name == "delta") {
      p.list.delta = Numbers(words, static_cast<std::size_t>(n) * (n - 1) / 2);
      for (std::int32_t i = 2; i <= n; ++i)
        for (std::int32_t j = 1; j < i; ++j)
          p.list.pairs.push_back({static_cast<std::uint16_t>(i), static_cast<std::uint16_t>(j)});
    } else {
      words >> p.stress[name];
    }
  }
  return p;
}

struct Variant {
  const char* name;  // as in stress.txt
  TMdscaleRegression regression;
  TMdscaleStress coefficient;
};
const Variant Variants[] = {
    {"MONO-STRESS1", TMdscaleRegression::Mono, TMdscaleStress::Stress1},
    {"MONO-STRESS2", TMdscaleRegression::Mono, TMdscaleStress::Stress2},
    {"LINEAR-STRESS1", TMdscaleRegression::Linear, TMdscaleStress::Stress1},
    {"LINEAR-STRESS2", TMdscaleRegression::Linear, TMdscaleStress::Stress2},
};

// The problem ready for one variant: MONO takes its pairs sorted.
struct Prepared {
  TMdscaleConfiguration x;
  TMdscalePairList list;
  TMdscaleSettings settings;
};

Prepared Prepare(const FixedProblem& p, const Variant& v) {
  Prepared q{p.x, p.list, {.regression = v.regression, .coefficient = v.coefficient}};
  if (v.regression == TMdscaleRegression::Mono) SortPairsByDissimilarity(q.list, p.x.n());
  return q;
}

double StressOf(const TMdscaleConfiguration& x, const Prepared& q) {
  std::vector<double> d(q.list.pairs.size());
  std::vector<double> dhat(d.size());
  std::vector<std::int32_t> blocks;
  const double mean = PairDistances(x, q.list.pairs, d);
  return FitAndStress(d, dhat, q.list.delta, mean, q.settings, blocks).stress;
}

TEST(MdscaleStress, StressOfAFixedConfigurationEqualsR) {
  const FixedProblem p = LoadFixedProblem();
  for (const Variant& v : Variants) {
    const Prepared q = Prepare(p, v);
    EXPECT_NEAR(StressOf(q.x, q), p.stress.at(v.name), 1e-12) << v.name;
  }
}

TEST(MdscaleStress, GradientEqualsFiniteDifferencesOfTheStress) {
  const FixedProblem p = LoadFixedProblem();
  for (const Variant& v : Variants) {
    Prepared q = Prepare(p, v);
    std::vector<double> d(q.list.pairs.size());
    std::vector<double> dhat(d.size());
    std::vector<std::int32_t> blocks;
    const double mean = PairDistances(q.x, q.list.pairs, d);
    const TStressTerms terms = FitAndStress(d, dhat, q.list.delta, mean, q.settings, blocks);
    std::vector<double> gradient(q.x.Values().size());
    AddStressGradient(q.x, q.list.pairs, d, dhat, terms, gradient);

    const double h = 1e-6;
    for (std::size_t e = 0; e < gradient.size(); ++e) {
      TMdscaleConfiguration plus = q.x;
      TMdscaleConfiguration minus = q.x;
      plus.Values()[e] += h;
      minus.Values()[e] -= h;
      const double slope = (StressOf(plus, q) - StressOf(minus, q)) / (2 * h);
      EXPECT_NEAR(gradient[e], -slope, 1e-6) << v.name << " element " << e;
    }
  }
}

TEST(MdscaleStress, Stress2WithEqualDistancesAndAnInexactFitIsRefused) {
  // Two equal distances, which LINEAR cannot fit to dissimilarities 1 and 2.
  const std::vector<double> d = {1.0, 1.0};
  std::vector<double> dhat(2);
  const std::vector<double> delta = {1.0, 2.0};
  std::vector<std::int32_t> blocks;
  const TMdscaleSettings settings{.regression = TMdscaleRegression::Linear, .coefficient = TMdscaleStress::Stress2};
  EXPECT_EQ(ErrorText<E_Morvapc>([&] { FitAndStress(d, dhat, delta, 1.0, settings, blocks); }),
            "Every distance in the configuration equals their mean: STRESS2 cannot be computed");
  // An exact fit has stress 0, whatever the spread.
  const TMdscaleSettings mono{.regression = TMdscaleRegression::Mono, .coefficient = TMdscaleStress::Stress2};
  EXPECT_EQ(FitAndStress(d, dhat, delta, 1.0, mono, blocks).stress, 0.0);
}

// ---- Step size and stop rules ----

TEST(MdscaleStep, StepFollowsTheAveragesAndAtMostDoubles) {
  struct Case {
    const char* name;
    TMdscaleStep before;
    std::int32_t iteration;
    double cosine, stress, gradientSize, ratio;
    TMdscaleStep after;
  };
  // Hand calculations: C' = 0.66 cos + 0.34 C, A' = 0.66 |cos| + 0.34 A,
  // SRatAv' = exp(0.33333 ln SRat + 0.66667 ln SRatAv); then the step.
  const Case cases[] = {
      // Iteration 0: 25 S g.
      {"first", {0, 0, 0, 0.8}, 0, 0.5, 0.2, 3.0, 0.8, {15.0, 0.33, 0.33, 0.8}},
      // Nothing changes the averages: 1.3 / ((1 + 1) (1 + 0 - 0)) = 0.65.
      {"neutral", {2.0, 0, 0, 1.0}, 3, 0.0, 0.1, 1.0, 1.0, {1.3, 0, 0, 1.0}},
      // cos 1 from C = A = 1: 4^1 · 1.3 / 2 = 2.6 times, capped at 2.
      {"capped", {2.0, 1, 1, 1.0}, 3, 1.0, 0.1, 1.0, 1.0, {4.0, 1, 1, 1.0}},
      // SRat 0.25: SRatAv = exp(0.33333 ln 0.25) = 0.25^0.33333; good luck 0.5.
      {"good luck", {2.0, 0, 0, 1.0}, 3, 0.0, 0.1, 1.0, 0.25, {0.65, 0, 0, std::exp(0.33333 * std::log(0.25))}},
      // SRatAv above 1 damps by 1 + SRatAv^5.
      {"rising stress",
       {2.0, 0, 0, 1.5},
       3,
       0.0,
       0.1,
       1.0,
       1.5,
       {2.0 * 1.3 / (1 + std::pow(1.5, 5)), 0, 0, std::exp(0.33333 * std::log(1.5) + 0.66667 * std::log(1.5))}},
  };
  for (const Case& c : cases) {
    TMdscaleStep state = c.before;
    MdscaleStepSize(state, c.iteration, c.cosine, c.stress, c.gradientSize, c.ratio);
    EXPECT_NEAR(state.cosineAverage, c.after.cosineAverage, 1e-15) << c.name;
    EXPECT_NEAR(state.absoluteCosineAverage, c.after.absoluteCosineAverage, 1e-15) << c.name;
    EXPECT_NEAR(state.stressRatioAverage, c.after.stressRatioAverage, 1e-15) << c.name;
    EXPECT_NEAR(state.step, c.after.step, 1e-12) << c.name;
  }
}

TEST(MdscaleStop, RulesApplyInTheirOrder) {
  const TMdscaleSettings defaults{};  // MI 4, MS 0, MR 0, MG 0
  const TMdscaleSettings set{.maxIterations = 20, .minStress = 0.05, .maxStressRatio = 0.9, .minGradient = 0.001};
  struct Case {
    const char* name;
    const TMdscaleSettings& settings;
    std::int32_t iteration;
    double stress, gradientSize, ratio, ratioAverage;
    TMdscaleStop stop;
  };
  const Case cases[] = {
      {"exact fit at once", defaults, 0, 0.0, 0.0, 0.8, 0.8, TMdscaleStop::TooGoodToBeTrue},
      {"low stress early", set, 4, 0.04, 0.1, 0.95, 0.95, TMdscaleStop::TooGoodToBeTrue},
      {"early: nothing else applies", set, 4, 0.2, 0.0, 0.95, 0.95, TMdscaleStop::None},
      {"defaults end at 5 when stress falls", defaults, 5, 0.2, 0.1, 0.9, 0.9, TMdscaleStop::MinimumStressRatio},
      {"defaults: MI below 5 acts as 5", defaults, 5, 0.2, 0.1, 1.1, 0.9, TMdscaleStop::MaximumIterations},
      {"ratio in window, average not: go on", defaults, 9, 0.2, 0.1, 0.9, 1.1, TMdscaleStop::None},
      {"gradient first", set, 6, 0.01, 0.001, 0.95, 0.95, TMdscaleStop::MinimumGradient},
      {"ratio window MR..1", set, 6, 0.2, 0.1, 0.95, 0.99, TMdscaleStop::MinimumStressRatio},
      {"ratio outside window", set, 6, 0.2, 0.1, 0.8, 0.95, TMdscaleStop::None},
      {"satisfactory stress", set, 6, 0.05, 0.1, 0.8, 0.95, TMdscaleStop::SatisfactoryStress},
      {"ratio window skips the stress rule", set, 6, 0.05, 0.1, 0.95, 0.5, TMdscaleStop::None},
      {"maximum iterations", set, 20, 0.2, 0.1, 0.8, 0.95, TMdscaleStop::MaximumIterations},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MdscaleStopRule(c.settings, c.iteration, c.stress, c.gradientSize, c.ratio, c.ratioAverage), c.stop)
        << c.name;
  }
}

// ---- Whole runs ----

// An exact configuration stops at iteration 0 with the three lines.
TEST(MdscaleIterations, AnExactFitStopsAtOnce) {
  const testsupport::RecordedServices services;
  Rect_mx x(5, 2);
  const double coordinates[5][2] = {{0, 0}, {1, 0}, {0, 2}, {3, 1}, {2, 3}};
  for (std::int32_t i = 1; i <= 5; ++i)
    for (std::int32_t a = 1; a <= 2; ++a) x.putxij(i, a, coordinates[i - 1][a - 1]);
  TMdscalePairList list;
  for (std::int32_t i = 2; i <= 5; ++i) {
    for (std::int32_t j = 1; j < i; ++j) {
      list.pairs.push_back({static_cast<std::uint16_t>(i), static_cast<std::uint16_t>(j)});
      list.delta.push_back(
          std::hypot(coordinates[i - 1][0] - coordinates[j - 1][0], coordinates[i - 1][1] - coordinates[j - 1][1]));
    }
  }
  SortPairsByDissimilarity(list, 5);
  std::vector<double> d(list.pairs.size());
  std::vector<double> dhat(d.size());
  MdscaleIterate(x, list.pairs, d, dhat, list.delta, {});
  const std::vector<std::string> expected = {
      "Iteration Stress  SRat  SRatAv  SfGr     Step",
      "    0      0.000  0.800  0.800  0.0000  0.0000",
      "",
      "Satisfactory stress was reached in only 0 iterations.",
      "This may be too good to be true!  Please double-check the results",
      "and the parameters used.",
      "",
      "Final STRESS1 =  0.00000",
  };
  EXPECT_EQ(services.lines, expected);
  // Centred, with a sum of squares of n.
  double squares = 0;
  for (std::int32_t a = 1; a <= 2; ++a) {
    double sum = 0;
    for (std::int32_t i = 1; i <= 5; ++i) {
      sum += x.getxij(i, a);
      squares += x.getxij(i, a) * x.getxij(i, a);
    }
    EXPECT_NEAR(sum, 0, 1e-12);
  }
  EXPECT_NEAR(squares, 5, 1e-12);
  for (std::size_t m = 0; m < d.size(); ++m) EXPECT_DOUBLE_EQ(d[m], dhat[m]);
}

// The points and start of one problem of isomds-nN.qmx.
struct IsomdsProblem {
  std::int32_t n = 0;
  std::unique_ptr<Rect_mx> points;
  std::unique_ptr<Rect_mx> start;
};

IsomdsProblem LoadIsomdsProblem(std::int32_t n) {
  rtl::TextReader f((Fixtures / ("isomds-n" + std::to_string(n) + ".qmx")).string());
  IsomdsProblem p{n, nullptr, nullptr};
  for (std::unique_ptr<Rect_mx>* m : {&p.points, &p.start}) {
    std::unique_ptr<rtl::StringList> comments;
    TMatrixHeader header;
    ReadMatrixHeader(f, comments, header, false, {mtRectangular});
    *m = std::make_unique<Rect_mx>(header.rows, header.cols);
    Read(**m, f, true, {}, {});
  }
  return p;
}

std::map<std::int32_t, double> IsomdsStresses() {
  std::ifstream in(Fixtures / "isomds.txt");
  std::map<std::int32_t, double> stresses;
  std::int32_t n = 0;
  double stress = 0;
  while (in >> n >> stress) stresses[n] = stress;
  return stresses;
}

TEST(MdscaleIterations, FinalStressIsWithinAHundredthOfIsoMDSFromTheSameStart) {
  const std::map<std::int32_t, double> references = IsomdsStresses();
  ASSERT_EQ(references.size(), 5u);
  for (const auto& [n, reference] : references) {
    const IsomdsProblem p = LoadIsomdsProblem(n);
    TMdscalePairList list;
    for (std::int32_t i = 2; i <= n; ++i) {
      for (std::int32_t j = 1; j < i; ++j) {
        double squares = 0;
        for (std::int32_t a = 1; a <= p.points->cols(); ++a)
          squares += std::pow(p.points->getxij(i, a) - p.points->getxij(j, a), 2);
        list.pairs.push_back({static_cast<std::uint16_t>(i), static_cast<std::uint16_t>(j)});
        list.delta.push_back(std::sqrt(squares));
      }
    }
    SortPairsByDissimilarity(list, n);
    Rect_mx x(n, 2);
    p.start->CopyTo(x);
    std::vector<double> d(list.pairs.size());
    std::vector<double> dhat(d.size());
    const TMdscaleSettings settings{.maxIterations = 200, .maxStressRatio = 0.999};
    {
      const testsupport::RecordedServices quiet;
      MdscaleIterate(x, list.pairs, d, dhat, list.delta, settings);
    }
    const double stress = StressTerms(d, dhat, 0).stress;
    EXPECT_NEAR(stress, reference, 0.01) << n << " points";
  }
}

}  // namespace
