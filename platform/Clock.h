#pragma once
// The millisecond tick count and the platform's timers. Both are services, so a
// test can drive time by hand (platform/record/ManualClock.h).

#include "platform/Service.h"

#include <cstdint>
#include <functional>

namespace plat {

class Clock {
 public:
  static constexpr const char* kServiceName = "clock";
  virtual ~Clock() = default;
  // Milliseconds since some fixed start, wrapping at 2^32 like the platform's tick count.
  virtual std::uint32_t TickCount() = 0;
  // Lets `ms` milliseconds pass; the machine's clock sleeps, a test clock moves on.
  virtual void Sleep(std::uint32_t ms);
};

// The installed clock, or the machine's monotonic clock when none is installed.
std::uint32_t TickCount();
// Sleeps on the installed clock, or on the machine's when none is installed.
void Sleep(std::uint32_t ms);

// Periodic timers. A timer fires its callback every `intervalMs` milliseconds
// from the event loop until it is stopped.
class TimerService {
 public:
  static constexpr const char* kServiceName = "timers";
  using TimerId = std::uint32_t;
  virtual ~TimerService() = default;
  // Returns a non-zero id; 0 when no timer is available.
  virtual TimerId Start(std::uint32_t intervalMs, std::function<void()> tick) = 0;
  virtual void Stop(TimerId id) = 0;
};

}  // namespace plat
