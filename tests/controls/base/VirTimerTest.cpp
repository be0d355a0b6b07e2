#include "controls/base/VirTimer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/base/VirExcept.h"
#include "platform/record/ManualClock.h"

namespace {

class TimerPool : public ::testing::Test {
 protected:
  plat::ManualClock clock{1000};
  plat::ScopedManualClock installed{clock};
  TVirTimerPool pool;
  std::vector<std::string> log;

  TTriggerEvent Logger(const std::string& name) {
    return [this, name](TVirTimerPool&, std::int32_t, std::uint16_t, std::uint32_t elapsed) {
      log.push_back(name + "@" + std::to_string(elapsed));
    };
  }
};

struct RecalcCase {
  const char* name;
  std::vector<std::uint16_t> intervals;
  std::uint16_t expected;
};

// For fresh triggers the interval is the greatest common divisor, raised to 55.
const RecalcCase kRecalc[] = {
    {"RemainderBelowTheFloor", {100, 250}, 55},
    {"Multiple", {100, 300}, 100},
    {"Divisor", {210, 350}, 70},
    {"LongOnes", {700, 1000}, 100},
    {"JustAbove", {112, 168}, 56},
    {"ShortOne", {20}, 55},
    {"One", {400}, 400},
};

class Recalc : public TimerPool, public ::testing::WithParamInterface<RecalcCase> {};

TEST_P(Recalc, FindsACommonIntervalOfAtLeast55) {
  for (std::uint16_t interval : GetParam().intervals) pool.Add({}, interval);
  EXPECT_EQ(pool.Recalc(), GetParam().expected);
  EXPECT_EQ(pool.TimerInterval(), GetParam().expected);
  EXPECT_EQ(clock.RunningTimers(), 1);
}

INSTANTIATE_TEST_SUITE_P(TimerPool, Recalc, ::testing::ValuesIn(kRecalc),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(TimerPool, RecalcStartsFromTheTimeLeftOfAnElapsedTrigger) {
  pool.Add({}, 300);
  clock.Advance(150);  // 150 ms left, and 300 is a multiple of it
  EXPECT_EQ(pool.Recalc(), 150);
  pool.Add({}, 0);  // a zero interval asks for the floor
  EXPECT_EQ(pool.Recalc(), 55);
}

TEST_F(TimerPool, NoEnabledTriggerStopsTheTimer) {
  std::int32_t a = pool.Add({}, 100);
  EXPECT_EQ(clock.RunningTimers(), 1);
  pool.SetEnabled(a, false);
  EXPECT_EQ(pool.TimerInterval(), 0);
  EXPECT_EQ(clock.RunningTimers(), 0);
  pool.SetEnabled(a, true);
  EXPECT_EQ(clock.RunningTimers(), 1);
  EXPECT_THROW(pool.SetEnabled(a + 1, true), EVirException);
  try {
    pool.SetEnabled(a + 1, true);
  } catch (const EVirException& e) {
    EXPECT_STREQ(e.what(), "Invalid trigger handle");
  }
}

TEST_F(TimerPool, ARepeatingTriggerFiresEveryIntervalWithTheTimeSinceItWasAdded) {
  pool.Add(Logger("a"), 100);
  pool.OnAllTriggers = Logger("all");
  clock.Advance(300);
  EXPECT_EQ(log, (std::vector<std::string>{"a@100", "all@100", "a@200", "all@200", "a@300", "all@300"}));
}

TEST_F(TimerPool, AOneShotTriggerFiresOnceAndTheTimerStops) {
  std::int32_t once = pool.Add(Logger("once"), 100, false);
  clock.Advance(1000);
  EXPECT_EQ(log, (std::vector<std::string>{"once@100"}));
  EXPECT_FALSE(pool.Exists(once));
  EXPECT_EQ(pool.Count(), 0);
  EXPECT_EQ(clock.RunningTimers(), 0);
}

TEST_F(TimerPool, TriggersShareTheTimerAndFireWithin27MsOfDue) {
  pool.Add(Logger("a"), 100);
  pool.Add(Logger("b"), 250);
  ASSERT_EQ(pool.TimerInterval(), 55);
  clock.Advance(560);
  // Ticks every 55 ms: a is due from 73 ms after its last firing, b from 223.
  EXPECT_EQ(log, (std::vector<std::string>{"a@110", "a@220", "b@275", "a@330", "a@440", "a@550", "b@550"}));
}

TEST_F(TimerPool, IntervalsBelow27MsFire) {
  pool.Add(Logger("fast"), 10);
  clock.Advance(110);
  EXPECT_EQ(log, (std::vector<std::string>{"fast@55", "fast@110"}));
}

TEST_F(TimerPool, HandlersMayRemoveAndAddTriggers) {
  std::int32_t victim = 0;
  std::int32_t self = 0;
  std::int32_t added = 0;
  self = pool.Add(
      [&](TVirTimerPool& p, std::int32_t handle, std::uint16_t, std::uint32_t) {
        log.push_back("remover");
        EXPECT_EQ(handle, self);
        p.Remove(victim);  // due in this tick too, after this one
        p.Remove(self);
        added = p.Add(Logger("added"), 100);
      },
      100);
  victim = pool.Add(Logger("victim"), 100);
  clock.Advance(200);
  EXPECT_EQ(log, (std::vector<std::string>{"remover", "added@100"}));
  EXPECT_FALSE(pool.Exists(self));
  EXPECT_FALSE(pool.Exists(victim));
  EXPECT_TRUE(pool.Exists(added));
}

TEST_F(TimerPool, AHandlerMayDestroyThePool) {
  auto owned = std::make_unique<TVirTimerPool>();
  owned->Add([&](TVirTimerPool&, std::int32_t, std::uint16_t, std::uint32_t) { owned.reset(); }, 100);
  owned->Add(Logger("never"), 100);
  owned->OnAllTriggers = Logger("never all");
  clock.Advance(200);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(owned, nullptr);
}

TEST(TimerPoolWithoutTimers, RaisesNoTimersAvailable) {
  struct NoTimers : plat::TimerService {
    TimerId Start(std::uint32_t, std::function<void()>) override { return 0; }
    void Stop(TimerId) override {}
  } none;
  plat::ScopedService<plat::TimerService> installed(none);
  TVirTimerPool pool;
  try {
    pool.Add({}, 100);
    FAIL() << "no error";
  } catch (const ENoTimersAvailable& e) {
    EXPECT_STREQ(e.what(), "No Window's timers are available");
  }
}

}  // namespace
