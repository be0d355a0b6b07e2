#include "platform/record/ManualClock.h"

#include <algorithm>

namespace plat {

TimerService::TimerId ManualClock::Start(std::uint32_t intervalMs, std::function<void()> tick) {
  TimerId id = ++lastId_;
  std::uint32_t interval = std::max<std::uint32_t>(intervalMs, 1);
  timers_[id] = Timer{interval, elapsed_ + interval, std::move(tick)};
  return id;
}

void ManualClock::Stop(TimerId id) { timers_.erase(id); }

std::uint32_t ManualClock::IntervalOf(TimerId id) const {
  auto it = timers_.find(id);
  return it == timers_.end() ? 0 : it->second.interval;
}

void ManualClock::Advance(std::uint32_t ms) {
  const std::uint64_t end = elapsed_ + ms;
  for (;;) {
    // The earliest timer due by the end; ties go to the older timer.
    auto next = timers_.end();
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
      if (it->second.due <= end && (next == timers_.end() || it->second.due < next->second.due)) next = it;
    }
    if (next == timers_.end()) break;
    now_ += static_cast<std::uint32_t>(next->second.due - elapsed_);
    elapsed_ = next->second.due;
    next->second.due += next->second.interval;
    auto tick = next->second.tick;  // the tick may stop or start timers
    tick();
  }
  now_ += static_cast<std::uint32_t>(end - elapsed_);
  elapsed_ = end;
}

}  // namespace plat
