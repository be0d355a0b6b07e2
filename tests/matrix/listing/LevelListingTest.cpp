// The scale of the level listing and the text dendrogram itself.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "matrix/MatrixuLevels.h"
#include "tests/support/RecordedServices.h"

namespace {

using testsupport::RecordedServices;

struct ScaleCase {
  const char* name;
  double xmin, xmax;
  double low, high, step;
};

class NiceScaleTable : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(NiceScaleTable, PicksRoundLimitsAndStep) {
  const ScaleCase& c = GetParam();
  double low = -99, high = -99, step = -99;
  bool failed = true;
  NiceScale(7, c.xmin, c.xmax, low, high, step, failed);
  EXPECT_FALSE(failed);
  EXPECT_NEAR(low, c.low, 1e-12);
  EXPECT_NEAR(high, c.high, 1e-12);
  EXPECT_NEAR(step, c.step, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(Ranges, NiceScaleTable,
                         ::testing::Values(ScaleCase{"FractionRange", 0.2, 0.9, 0, 0.96, 0.16},
                                           ScaleCase{"EqualPositiveWidensDownToZero", 3, 3, 0, 3, 0.5},
                                           ScaleCase{"EqualNegativeWidensUpToZero", -3, -3, -3, 0, 0.5},
                                           ScaleCase{"WideRange", 0.1234, 17.5, 0, 18, 3},
                                           ScaleCase{"LastIntervalSteppedUp", 1, 100, 0, 120, 20},
                                           ScaleCase{"GoldenTreeLevels", 0.57, 3.71, 0, 4.8, 0.8}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(NiceScale, FailsWithoutTouchingTheLimitsForARangeItCannotScale) {
  constexpr double inf = std::numeric_limits<double>::infinity();
  const double nan = std::nan("");
  const struct {
    std::int32_t count;
    double xmin, xmax;
  } cases[] = {{7, 2, 1}, {1, 0, 1}, {7, 0, inf}, {7, -inf, 0}, {7, nan, 1}, {7, 0, nan}};
  for (const auto& c : cases) {
    double low = 5, high = 6, step = 7;
    bool failed = false;
    NiceScale(c.count, c.xmin, c.xmax, low, high, step, failed);
    EXPECT_TRUE(failed) << c.count << " " << c.xmin << " " << c.xmax;
    EXPECT_EQ(low, 5);
    EXPECT_EQ(high, 6);
    EXPECT_EQ(step, 7);
  }
}

// A tree of the given (pointer, level) nodes; the last node's level is unused.
struct TreeFixture {
  Tree_mx tree;
  Label_mx labels;

  TreeFixture(std::vector<std::int32_t> pointers, std::vector<double> levels, std::vector<std::string> names)
      : tree(5, static_cast<std::int32_t>(pointers.size())), labels(static_cast<std::int32_t>(names.size())) {
    for (std::size_t k = 0; k < pointers.size(); ++k) {
      tree.PutNode(pointers[k], static_cast<std::int32_t>(k + 1), k < levels.size() ? levels[k] : 0.0);
    }
    for (std::size_t k = 0; k < names.size(); ++k) labels.PutLabel(static_cast<std::int32_t>(k + 1), names[k]);
  }
  std::vector<std::string> List() {
    RecordedServices listing;
    ListLevels(tree.n(), tree, labels);
    return listing.lines;
  }
};

TEST(ListLevels, DrawsStrokesFromTheRightEdgeToEachLevel) {
  TreeFixture f({2, 1, 3, 4}, {1.23, 3.71, 0.57}, {"Alpha", "Beta", "Gamma", "Delta"});
  const std::vector<std::string> expected = {
      "",
      " 4.800     4.000     3.200     2.400     1.600     0.800     0.000",
      " |---------|---------|---------|---------|---------|---------|       Level",
      "                                             .----------------Beta   1.230",
      "              .------------------------------L----------------Alpha  3.710",
      "              |                                      .--------Gamma  0.570",
      " -------------L--------------------------------------L--------Delta -----",
      "",
  };
  EXPECT_EQ(f.List(), expected);
}

TEST(ListLevels, PlacesLevelsAtTheEndsOfTheScale) {
  // All levels 3: the scale is widened down to 0 (0 .. 3 by 0.5), and a
  // level at the high end is drawn at column 1.
  TreeFixture high({1, 2, 3}, {3, 3}, {"A", "B", "C"});
  const std::vector<std::string> lines = high.List();
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[1], " 3.000     2.500     2.000     1.500     1.000     0.500     0.000");
  EXPECT_EQ(lines[3], " ." + std::string(60, '-') + "A  3.000");
  EXPECT_EQ(lines[4], " ." + std::string(60, '-') + "B  3.000");
  EXPECT_EQ(lines[5], " L" + std::string(60, '-') + "C -----");

  // A level at the low end is drawn at column 60.
  TreeFixture ends({1, 2, 3}, {0, 3}, {"A", "B", "C"});
  const std::vector<std::string> drawn = ends.List();
  EXPECT_EQ(drawn[1], " 3.000     2.500     2.000     1.500     1.000     0.500     0.000");
  EXPECT_EQ(drawn[3], std::string(60, ' ') + ".-A  0.000");
  EXPECT_EQ(drawn[4], " ." + std::string(58, '-') + "L-B  3.000");
}

TEST(ListLevels, ListsATwoNodeTreeAsOneObjectLineAndTheLastLine) {
  TreeFixture f({2, 1}, {0.5}, {"Left", "Right"});
  const std::vector<std::string> lines = f.List();
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[3].substr(lines[3].size() - 13), "-Right  0.500");
  EXPECT_EQ(lines[4].substr(lines[4].size() - 11), "Left  -----");
}

TEST(ListLevels, RefusesALevelThatIsNoFiniteNumberInsteadOfLooping) {
  for (const double bad :
       {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(), std::nan("")}) {
    TreeFixture f({1, 2, 3}, {1, bad}, {"A", "B", "C"});
    try {
      f.List();
      ADD_FAILURE() << "no error for " << bad;
    } catch (const E_Morvapc& e) {
      EXPECT_NE(std::string(e.what()).find("The level of tree node 2 is not a finite number"), std::string::npos)
          << e.what();
    }
  }
}

}  // namespace
