#pragma once
// TSplashF, the window shown while the program starts, and the rule of how
// long it stays: until the whole-second count of the monotonic clock reaches
// the second it was shown in plus 4 (so between just over 3 and 4 seconds).

#include <cstdint>

#include "platform/Form.h"

class TSplashF : public plat::Form {
 public:
  // Shown and painted at once; the start is taken from the platform's clock.
  TSplashF();

  std::uint32_t StartTick() const { return startTick_; }
  // True once the deadline has passed.
  bool Due() const;
  // Waits for the deadline, handling window messages meanwhile, then closes.
  void WaitAndClose();

 private:
  std::uint32_t startTick_;
};

// Milliseconds from a start tick to the splash deadline: to the end of the
// start's second plus 3 more.
std::uint32_t SplashDuration(std::uint32_t startTick);
