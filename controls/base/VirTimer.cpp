#include "controls/base/VirTimer.h"

#include <algorithm>

#include "controls/base/StrRes.h"
#include "controls/base/VirExcept.h"

namespace {

constexpr std::int32_t kNoInterval = 65535;
constexpr std::int32_t kShortestInterval = 55;  // the platform timer's resolution
constexpr std::int32_t kEarlyTolerance = 27;    // half of it: a trigger that close to due fires now
constexpr std::uint16_t kInvalidTriggerHandle = 34191;

}  // namespace

TVirTimerPool::~TVirTimerPool() { StopTimer(); }

TVirTimerPool::Trigger* TVirTimerPool::Find(std::int32_t handle) {
  auto it = std::find_if(triggers_.begin(), triggers_.end(), [&](const Trigger& t) { return t.handle == handle; });
  return it == triggers_.end() ? nullptr : &*it;
}

bool TVirTimerPool::Exists(std::int32_t handle) const {
  return std::any_of(triggers_.begin(), triggers_.end(), [&](const Trigger& t) { return t.handle == handle; });
}

std::int32_t TVirTimerPool::Add(TTriggerEvent event, std::uint16_t interval, bool repeat) {
  std::uint32_t now = plat::TickCount();
  ++lastHandle_;
  triggers_.push_back(Trigger{true, lastHandle_, now, interval, now, std::move(event), repeat});
  Changed();
  return lastHandle_;
}

void TVirTimerPool::Remove(std::int32_t handle) {
  auto it = std::find_if(triggers_.begin(), triggers_.end(), [&](const Trigger& t) { return t.handle == handle; });
  if (it == triggers_.end()) return;
  triggers_.erase(it);
  Changed();
}

void TVirTimerPool::SetEnabled(std::int32_t handle, bool enabled) {
  Trigger* trigger = Find(handle);
  if (trigger == nullptr) throw EVirException(GetLibraryString(kInvalidTriggerHandle));
  if (trigger->enabled == enabled) return;
  trigger->enabled = enabled;
  if (enabled) trigger->lastFired = plat::TickCount();
  Changed();
}

// Recounts the enabled triggers and sets the platform timer to what they need.
void TVirTimerPool::Changed() {
  enabledCount_ =
      static_cast<int>(std::count_if(triggers_.begin(), triggers_.end(), [](const Trigger& t) { return t.enabled; }));
  interval_ = Recalc();
  ResetTimer();
}

std::uint16_t TVirTimerPool::Recalc() {
  std::uint32_t now = plat::TickCount();
  std::int32_t result = kNoInterval;
  bool any = false;
  for (const Trigger& t : triggers_) {
    if (!t.enabled) continue;
    any = true;
    std::int32_t left = t.interval - static_cast<std::int32_t>(now - t.lastFired);
    result = std::min({result, static_cast<std::int32_t>(t.interval), left});
  }
  if (!any) return 0;
  result = std::max(result, kShortestInterval);
  if (result < kNoInterval) {
    // Shrink to a divisor of every interval, but never below the shortest.
    bool again = true;
    while (again && result > kShortestInterval) {
      again = false;
      for (const Trigger& t : triggers_) {
        if (!t.enabled) continue;
        std::int32_t remainder = t.interval % result;
        if (remainder != 0) {
          result = std::max(result - remainder, kShortestInterval);
          again = true;
          break;
        }
      }
    }
  }
  return static_cast<std::uint16_t>(result);
}

void TVirTimerPool::StopTimer() {
  if (timerId_ != 0 && plat::Service<plat::TimerService>::Installed() &&
      &plat::Service<plat::TimerService>::Get() == timerService_) {
    timerService_->Stop(timerId_);
  }
  timerId_ = 0;
  timerService_ = nullptr;
}

void TVirTimerPool::ResetTimer() {
  StopTimer();
  if (interval_ == 0 || enabledCount_ == 0) return;
  plat::TimerService& service = plat::Service<plat::TimerService>::Get();
  std::weak_ptr<char> alive = alive_;
  timerId_ = service.Start(interval_, [this, alive] {
    if (!alive.expired()) TimerTick();
  });
  if (timerId_ == 0) throw ENoTimersAvailable();
  timerService_ = &service;
}

void TVirTimerPool::TimerTick() {
  std::uint32_t now = plat::TickCount();
  std::vector<std::int32_t> handles;
  for (const Trigger& t : triggers_) handles.push_back(t.handle);
  std::weak_ptr<char> alive = alive_;
  for (std::int32_t handle : handles) {
    // A handler may have removed this trigger, or the pool itself.
    if (alive.expired()) return;
    Trigger* t = Find(handle);
    if (t == nullptr || !t->enabled) continue;
    if (static_cast<std::int64_t>(now - t->lastFired) < static_cast<std::int64_t>(t->interval) - kEarlyTolerance) {
      continue;
    }
    t->lastFired = now;
    TTriggerEvent event = t->event;
    std::uint16_t interval = t->interval;
    std::uint32_t elapsed = now - t->added;
    if (!t->repeat) Remove(handle);
    if (event) event(*this, handle, interval, elapsed);
    if (!alive.expired() && OnAllTriggers) OnAllTriggers(*this, handle, interval, elapsed);
  }
}
