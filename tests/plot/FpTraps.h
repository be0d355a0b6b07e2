#pragma once
// Turns on the floating-point traps for division by zero and invalid
// operations while it lives, so that such an operation in the code under test
// stops the test program instead of passing unnoticed.

#include <cfenv>

class FpTraps {
 public:
  FpTraps() {
    std::feclearexcept(FE_ALL_EXCEPT);
    previous_ = feenableexcept(FE_DIVBYZERO | FE_INVALID);
  }
  ~FpTraps() {
    fedisableexcept(FE_ALL_EXCEPT);
    feenableexcept(previous_);
  }
  FpTraps(const FpTraps&) = delete;
  FpTraps& operator=(const FpTraps&) = delete;

 private:
  int previous_ = 0;
};
