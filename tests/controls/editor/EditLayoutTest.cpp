#include <gtest/gtest.h>

#include "EditorTestSupport.h"
#include "controls/editor/EditLayout.h"

namespace {

struct VertCase {
  std::string name;
  std::int32_t lines, rows;
  bool always;
  TVertScale expected;
};

class VerticalScaleTest : public ::testing::TestWithParam<VertCase> {};

TEST_P(VerticalScaleTest, ScaleAndMaximum) {
  const VertCase& c = GetParam();
  EXPECT_EQ(VerticalScale(c.lines, c.rows, c.always), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, VerticalScaleTest,
                         ::testing::Values(
                             // 100000 - 19 = 99981 scrollable lines: 2 * (99981 div 32768) = 6, 99981 div 6 = 16663.
                             VertCase{"HundredThousandLinesInTwentyRows", 100000, 20, false, {6, 16663}},
                             VertCase{"LastUnscaledRange", 32786, 20, false, {1, 32767}},
                             VertCase{"FirstScaledRange", 32787, 20, false, {2, 16384}},
                             VertCase{"AllLinesFit", 5, 20, false, {1, 0}},
                             VertCase{"ThreeLinesWithBarsAlways", 3, 20, true, {1, 2}},
                             VertCase{"OneRowWindow", 10, 1, false, {1, 10}}),
                         CaseName());

TEST(VerticalRangeTest, BarComesAndGoes) {
  EXPECT_EQ(VerticalRange(100, 20, 1, false, false), (TScrollRange{0, 0, 0}));
  EXPECT_EQ(VerticalRange(20, 20, 1, true, false), (TScrollRange{1, 1, 1}));
  EXPECT_EQ(VerticalRange(3, 20, 1, true, true), (TScrollRange{1, 2, 1}));
  EXPECT_EQ(VerticalRange(21, 20, 2, true, false), (TScrollRange{1, 2, 2}));
  EXPECT_EQ(VerticalRange(100000, 20, 600, true, false), (TScrollRange{1, 16663, 100}));
}

TEST(VerticalRangeTest, ThumbPositionsGiveLines) {
  struct Case {
    std::int32_t pos, line;
  };
  for (const Case c : {Case{0, 1}, Case{1, 1}, Case{2, 12}, Case{100, 600}, Case{16662, 99972}, Case{16663, 99981},
                       Case{20000, 99981}}) {
    EXPECT_EQ(LineOfThumb(c.pos, 100000, 20, false), c.line) << c.pos;
  }
  // A short text: the last position shows the last page.
  EXPECT_EQ(LineOfThumb(2, 30, 20, false), 2);
  EXPECT_EQ(LineOfThumb(11, 30, 20, false), 11);
  EXPECT_EQ(LineOfThumb(1, 3, 20, true), 1);
  EXPECT_EQ(LineOfThumb(2, 3, 20, true), 1);
}

TEST(HorizontalRangeTest, WidthCappedAndHiddenWhenItFits) {
  EXPECT_EQ(HorizontalRange(32767, 80, 5, true, false), (TScrollRange{0, 512, 5}));
  EXPECT_EQ(HorizontalRange(80, 80, 0, true, false), (TScrollRange{0, 0, 0}));
  EXPECT_EQ(HorizontalRange(80, 80, 0, true, true), (TScrollRange{0, 80, 0}));
  EXPECT_EQ(HorizontalRange(0, 80, 0, true, true), (TScrollRange{0, 1, 0}));
  EXPECT_EQ(HorizontalRange(100, 80, 3, false, true), (TScrollRange{0, 0, 0}));
}

TEST(WindowMeasureTest, RowsColumnsAndWrapColumnNeverBelowOne) {
  EXPECT_EQ(VisibleColumns(800, 15, 5, 8), 97);
  EXPECT_EQ(VisibleColumns(10, 15, 5, 8), 1);
  EXPECT_EQ(VisibleRows(600, 16), 37);
  EXPECT_EQ(VisibleRows(3, 16), 1);
  EXPECT_EQ(WindowWrapColumn(97), 95);
  EXPECT_EQ(WindowWrapColumn(2), 1);
  EXPECT_EQ(WindowWrapColumn(1), 1);
}

TEST(TrackingIntervalTest, FasterFurtherOutNeverBelowOneMillisecond) {
  EXPECT_EQ(TrackingInterval(17, 0), 51u);
  EXPECT_EQ(TrackingInterval(17, 20), 31u);
  EXPECT_EQ(TrackingInterval(17, 51), 1u);
  EXPECT_EQ(TrackingInterval(17, 500), 1u);
  EXPECT_EQ(TrackingInterval(17, -5), 51u);
}

}  // namespace
