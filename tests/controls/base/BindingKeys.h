#pragma once
// A binding of a command table pressed as the user presses it: its key (and
// the second key of a sequence) from the keyboard, as the window system
// reports them.

#include <cstdint>

#include "controls/base/VirCmd.h"
#include "platform/Input.h"

namespace binding_keys {

inline plat::ShiftState ShiftOf(std::uint8_t tableShift) {
  plat::ShiftState shift = 0;
  if (tableShift & kssShift) shift |= plat::ssShift;
  if (tableShift & kssCtrl) shift |= plat::ssCtrl;
  if (tableShift & kssAlt) shift |= plat::ssAlt;
  return shift;  // kssNoneOrCtrl: no modifier
}

inline void Press(plat::Control& control, const TVirCmdRec& binding) {
  plat::input::PressKeyOnKeyboard(control, binding.Key1, ShiftOf(binding.SS1));
  if (binding.Key2 != 0) plat::input::PressKeyOnKeyboard(control, binding.Key2, ShiftOf(binding.SS2));
}

}  // namespace binding_keys
