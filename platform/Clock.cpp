#include "platform/Clock.h"

#include <chrono>
#include <thread>

namespace plat {

std::uint32_t TickCount() {
  if (Service<Clock>::Installed()) return Service<Clock>::Get().TickCount();
  auto since = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

void Clock::Sleep(std::uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void Sleep(std::uint32_t ms) {
  if (Service<Clock>::Installed()) {
    Service<Clock>::Get().Sleep(ms);
  } else {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }
}

}  // namespace plat
