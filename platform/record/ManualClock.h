#pragma once
// A clock and timer pump driven by hand: time stands still until Advance, which
// fires every timer that falls due on the way, in time order.

#include "platform/Clock.h"

#include <map>

namespace plat {

class ManualClock : public Clock, public TimerService {
 public:
  explicit ManualClock(std::uint32_t start = 0) : now_(start) {}

  std::uint32_t TickCount() override { return now_; }
  // Sleeping moves time on, firing the timers due on the way.
  void Sleep(std::uint32_t ms) override { Advance(ms); }
  TimerId Start(std::uint32_t intervalMs, std::function<void()> tick) override;
  void Stop(TimerId id) override;

  // Moves time on by `ms`, stopping at each due timer to fire it.
  void Advance(std::uint32_t ms);
  int RunningTimers() const { return static_cast<int>(timers_.size()); }
  // The interval of a running timer; 0 when it is not running.
  std::uint32_t IntervalOf(TimerId id) const;

 private:
  struct Timer {
    std::uint32_t interval;
    std::uint64_t due;
    std::function<void()> tick;
  };
  std::uint64_t elapsed_ = 0;  // time since start, without wrapping
  std::uint32_t now_;
  TimerId lastId_ = 0;
  std::map<TimerId, Timer> timers_;
};

// Installs a manual clock as both the clock and the timer service for a scope.
class ScopedManualClock {
 public:
  explicit ScopedManualClock(ManualClock& clock) : clock_(clock), timers_(clock) {}

 private:
  ScopedService<Clock> clock_;
  ScopedService<TimerService> timers_;
};

}  // namespace plat
