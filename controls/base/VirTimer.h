#pragma once
// The timer pool: many triggers, each with its own interval, served by one
// platform timer whose interval is a common divisor of theirs (at least 55 ms).
// A trigger fires its event when its interval has passed since its last firing
// (27 ms early counts as on time); a trigger without repeat fires once and is
// removed. The pool's platform timer runs only while a trigger is enabled.
//
// Handlers may add and remove triggers, their own included; a trigger removed
// during a tick is not fired afterwards.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/Clock.h"

// Sender is the pool; elapsed is the time since the trigger was added.
class TVirTimerPool;
using TTriggerEvent =
    std::function<void(TVirTimerPool& sender, std::int32_t handle, std::uint16_t interval, std::uint32_t elapsed)>;

class TVirTimerPool {
 public:
  TVirTimerPool() = default;
  ~TVirTimerPool();
  TVirTimerPool(const TVirTimerPool&) = delete;
  TVirTimerPool& operator=(const TVirTimerPool&) = delete;

  // Adds an enabled trigger and returns its handle (never 0).
  std::int32_t Add(TTriggerEvent event, std::uint16_t interval, bool repeat = true);
  // Removes a trigger; an unknown handle is ignored.
  void Remove(std::int32_t handle);
  // EVirException "Invalid trigger handle" for an unknown handle.
  void SetEnabled(std::int32_t handle, bool enabled);
  bool Exists(std::int32_t handle) const;
  int Count() const { return static_cast<int>(triggers_.size()); }
  int EnabledCount() const { return enabledCount_; }
  // The platform timer's interval now; 0 when it is off.
  std::uint16_t TimerInterval() const { return interval_; }

  // Runs for every trigger that fires, after the trigger's own event.
  TTriggerEvent OnAllTriggers;

  // One tick of the platform timer: fires the triggers that are due.
  void TimerTick();
  // The interval the enabled triggers need now; 0 when none is enabled.
  std::uint16_t Recalc();
  // Stops the platform timer and starts it again at the current interval while
  // a trigger is enabled; ENoTimersAvailable when the platform has no timer.
  void ResetTimer();

 private:
  struct Trigger {
    bool enabled = true;
    std::int32_t handle = 0;
    std::uint32_t added = 0;
    std::uint16_t interval = 0;
    std::uint32_t lastFired = 0;
    TTriggerEvent event;
    bool repeat = true;
  };
  Trigger* Find(std::int32_t handle);
  void Changed();
  void StopTimer();

  std::vector<Trigger> triggers_;
  std::int32_t lastHandle_ = 0;
  int enabledCount_ = 0;
  std::uint16_t interval_ = 0;
  plat::TimerService* timerService_ = nullptr;  // the service that runs timerId_
  plat::TimerService::TimerId timerId_ = 0;
  std::shared_ptr<char> alive_ = std::make_shared<char>(0);
};
