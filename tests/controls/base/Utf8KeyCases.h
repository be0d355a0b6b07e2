#pragma once
// Caret keys over text with UTF-8 characters, for every control that edits a
// line: each case starts from a text, presses keys and types an x, and says
// what the text becomes. Windows-1252 text keeps one byte a character.

#include <string>

#include "platform/Input.h"
#include "platform/Types.h"
#include "rtl/TextChars.h"

namespace utf8_keys {

struct Case {
  const char* name;
  std::string text;
  const char* keys;  // H Home, E End, L Left, R Right, B Backspace, D Delete, S Shift+Left
  std::string typed;
  std::string result;
  int column;  // the caret's column (1-based, in characters) at the end
};

inline const Case kCases[] = {
    {"Right passes a two-byte letter", "Z\xC3\xBCrich", "HRR", "x", "Z\xC3\xBCxrich", 4},
    {"Left passes a four-byte character", "a\xF0\x9F\x8C\xBF", "EL", "x", "ax\xF0\x9F\x8C\xBF", 3},
    {"Backspace takes a whole letter", "Z\xC3\xBCrich", "HRRB", "", "Zrich", 2},
    {"Delete takes a whole character", "\xE2\x82\xAC" "5", "HD", "", "5", 1},
    {"a selection of one character", "\xC3\xA9t\xC3\xA9", "ESB", "", "\xC3\xA9t", 3},
    {"Windows-1252: a byte a character", "Z\xFCrich", "HRR", "x", "Z\xFCxrich", 4},
};

// Presses the keys of a case on the control.
inline void Press(plat::Control& control, const char* keys) {
  namespace vk = plat::vk;
  for (const char* k = keys; *k != 0; ++k) {
    switch (*k) {
      case 'H': plat::input::PressKey(control, vk::Home); break;
      case 'E': plat::input::PressKey(control, vk::End); break;
      case 'L': plat::input::PressKey(control, vk::Left); break;
      case 'R': plat::input::PressKey(control, vk::Right); break;
      case 'B': plat::input::PressKey(control, vk::Back, 0, "\b"); break;
      case 'D': plat::input::PressKey(control, vk::Delete); break;
      case 'S': plat::input::PressKey(control, vk::Left, plat::ssShift); break;
    }
  }
}

}  // namespace utf8_keys
