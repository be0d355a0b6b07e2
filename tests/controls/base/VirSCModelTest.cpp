#include "controls/base/VirSCModel.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(SpinnerPlacement, BesideTheControlOnEachSide) {
  const plat::Rect control{100, 50, 180, 71};  // 80 by 21
  const plat::Rect spinner{0, 0, 16, 25};
  struct Case {
    TPosition position;
    plat::Rect placed;
  };
  const Case cases[] = {
      {scRight, {181, 50, 197, 71}},
      {scLeft, {83, 50, 99, 71}},
      {scTop, {100, 24, 180, 49}},
      {scBottom, {100, 72, 180, 97}},
  };
  for (const Case& c : cases) EXPECT_EQ(SpinnerBeside(control, spinner, c.position, 1), c.placed) << int(c.position);
}

TEST(SpinnerPlacement, TheControlFollowsTheSpinner) {
  const plat::Rect control{100, 50, 180, 71};
  const plat::Rect spinner{200, 60, 216, 90};
  struct Case {
    TPosition position;
    plat::Rect moved;
  };
  const Case cases[] = {
      {scRight, {118, 60, 198, 90}},   // left of it, with its top and height
      {scLeft, {218, 50, 298, 71}},    // right of it, the left alone
      {scTop, {100, 92, 116, 113}},    // below it, its width
      {scBottom, {100, 37, 116, 58}},  // above it, its width
  };
  for (const Case& c : cases) EXPECT_EQ(ControlBeside(spinner, control, c.position, 2), c.moved) << int(c.position);
}

TEST(SpinnerHalves, PressAndTrackingShareTheHalves) {
  struct Case {
    TSpinOrientation orientation;
    int x;
    int y;
    TSpinState state;
  };
  // 16 by 25: the row 12 (25 div 2) belongs to the lower half; 25 by 16 likewise the column 12.
  const Case cases[] = {
      {soVertical, 8, 0, spUp},         {soVertical, 8, 11, spUp},      {soVertical, 8, 12, spDown},
      {soVertical, 15, 24, spDown},     {soVertical, 16, 5, spOutside}, {soVertical, 3, -1, spOutside},
      {soHorizontal, 11, 8, spLeft},    {soHorizontal, 12, 8, spRight}, {soHorizontal, 24, 15, spRight},
      {soHorizontal, 25, 8, spOutside},
  };
  for (const Case& c : cases) {
    const bool vertical = c.orientation == soVertical;
    EXPECT_EQ(SpinStateAt(c.x, c.y, vertical ? 16 : 25, vertical ? 25 : 16, c.orientation, true), c.state)
        << c.x << "," << c.y;
  }
  EXPECT_EQ(SpinStateAt(8, 3, 16, 25, soVertical, false), spNormal) << "disabled";
  const TSpinRegions v = SpinRegions(16, 25, soVertical);
  EXPECT_EQ(v.first, (plat::Rect{0, 0, 16, 12}));
  EXPECT_EQ(v.second, (plat::Rect{0, 12, 16, 25}));
  const TSpinRegions h = SpinRegions(25, 16, soHorizontal);
  EXPECT_EQ(h.first, (plat::Rect{12, 0, 25, 16}));
  EXPECT_EQ(h.second, (plat::Rect{0, 0, 12, 16}));
}

// The times of the first clicks of a button held from `start`.
std::vector<std::uint32_t> ClickTimes(int acceleration, std::uint32_t start, int clicks) {
  TSpinRepeat repeat;
  repeat.SetAcceleration(acceleration);
  repeat.Start(start);
  std::vector<std::uint32_t> times;
  std::uint32_t now = start;
  while (static_cast<int>(times.size()) < clicks) {
    if (!repeat.Due(now)) {
      ++now;
      continue;
    }
    times.push_back(now - start);
    repeat.Fired(now);
  }
  return times;
}

TEST(SpinnerRepeat, DelaysShrinkByTheAcceleration) {
  EXPECT_EQ(ClickTimes(5, 1000, 5), (std::vector<std::uint32_t>{0, 500, 950, 1350, 1700}));
  EXPECT_EQ(ClickTimes(0, 1000, 4), (std::vector<std::uint32_t>{0, 500, 1000, 1500}));
  EXPECT_EQ(ClickTimes(10, 1000, 9), (std::vector<std::uint32_t>{0, 500, 900, 1200, 1400, 1500, 1500, 1500, 1500}))
      << "no delay after five repeats";
  EXPECT_EQ(ClickTimes(5, 0xFFFFFF00u, 3), (std::vector<std::uint32_t>{0, 500, 950})) << "across the tick's wrap";
}

TEST(SpinnerRepeat, AHeldButtonNeverStopsFiring) {
  for (int acceleration : {1, 5, 10}) {
    TSpinRepeat repeat;
    repeat.SetAcceleration(acceleration);
    repeat.Start(0);
    std::uint32_t now = 0;
    for (int i = 0; i < 100000; ++i) {
      ASSERT_LE(repeat.Wait(now), 500u) << acceleration;
      now += repeat.Wait(now);
      repeat.Fired(now);
    }
    EXPECT_EQ(repeat.Delay(), 0) << acceleration;
    EXPECT_TRUE(repeat.Due(now)) << "the next click is due at once";
  }
}

}  // namespace
