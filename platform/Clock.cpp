#include "platform/Clock.h"

#include <chrono>

namespace plat {

std::uint32_t TickCount() {
  if (Service<Clock>::Installed()) return Service<Clock>::Get().TickCount();
  auto since = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

}  // namespace plat
