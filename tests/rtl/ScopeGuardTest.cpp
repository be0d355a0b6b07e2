#include "rtl/ScopeGuard.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

// Leaves a scope holding both guards, by return or by the given exception.
struct Outcome {
  int exitRuns = 0;
  int failRuns = 0;
};

Outcome Leave(bool throwing, bool dismiss) {
  Outcome outcome;
  try {
    rtl::ScopeExit exit([&] { ++outcome.exitRuns; });
    rtl::ScopeFail fail([&] { ++outcome.failRuns; });
    if (dismiss) {
      exit.Dismiss();
      fail.Dismiss();
    }
    if (throwing) throw std::runtime_error("work failed");
  } catch (const std::runtime_error&) {
  }
  return outcome;
}

TEST(ScopeGuard, RunsItsCleanUpAsTheScopeEnds) {
  struct Case {
    const char* name;
    bool throwing;
    bool dismiss;
    int exitRuns;
    int failRuns;
  };
  const Case cases[] = {
      {"normal exit: only the exit guard", false, false, 1, 0},
      {"exception: both guards", true, false, 1, 1},
      {"dismissed, normal exit: neither", false, true, 0, 0},
      {"dismissed, exception: neither", true, true, 0, 0},
  };
  for (const Case& c : cases) {
    const Outcome outcome = Leave(c.throwing, c.dismiss);
    EXPECT_EQ(outcome.exitRuns, c.exitRuns) << c.name;
    EXPECT_EQ(outcome.failRuns, c.failRuns) << c.name;
  }
}

TEST(ScopeGuard, ACleanUpThatFailsDuringAnErrorLeavesTheFirstErrorToGoOn) {
  try {
    rtl::ScopeExit exit([] { throw std::logic_error("clean-up failed"); });
    throw std::runtime_error("work failed");
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), "work failed");
  }
}

TEST(ScopeGuard, ACleanUpThatFailsAfterNormalWorkReportsItsError) {
  EXPECT_THROW({ rtl::ScopeExit exit([] { throw std::logic_error("clean-up failed"); }); }, std::logic_error);
}

}  // namespace
