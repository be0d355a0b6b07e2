#pragma once
// Caret keys over text with UTF-8 characters, for every control that edits a
// line: each case starts from a text, presses keys and types an x, and says
// what the text becomes. Windows-1252 text keeps one byte a character. The
// typed cases type letters of other keyboard layouts.

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

// Letters typed on keys of other layouts, with the toolkit's code for the
// letter or none (0): the letter goes in as UTF-8 unless the text is
// Windows-1252, so that the text keeps reading as it did.
struct TypedCase {
  const char* name;
  std::string text;
  const char* keys;  // as above, before the letter
  bool overtype;
  int toolkitKey;
  std::string letter;  // UTF-8
  std::string result;
};

constexpr int kKeyEacute = 0xC9, kKeyUdiaeresis = 0xDC;  // the toolkit's codes of é and ü

inline const TypedCase kTypedCases[] = {
    {"into an empty text", "", "", false, kKeyUdiaeresis, "\xC3\xBC", "\xC3\xBC"},
    {"into plain ASCII", "ab", "E", false, kKeyEacute, "\xC3\xA9", "ab\xC3\xA9"},
    {"a key with no code", "ab", "H", false, 0, "\xC3\xBC", "\xC3\xBC" "ab"},
    {"into UTF-8", "Z\xC3\xBCrich", "E", false, 0, "\xE2\x82\xAC", "Z\xC3\xBCrich\xE2\x82\xAC"},
    {"between UTF-8 letters", "\xC3\xA9t\xC3\xA9", "HR", false, kKeyEacute, "\xC3\xA9",
     "\xC3\xA9\xC3\xA9t\xC3\xA9"},
    {"into Windows-1252", "Z\xFCrich", "E", false, kKeyEacute, "\xC3\xA9", "Z\xFCrich\xE9"},
    {"the euro into Windows-1252", "Z\xFCrich", "H", false, 0, "\xE2\x82\xAC", "\x80Z\xFCrich"},
    {"over a UTF-8 letter", "Z\xC3\xBCrich", "HR", true, kKeyEacute, "\xC3\xA9", "Z\xC3\xA9rich"},
    {"over a Windows-1252 letter", "Z\xFCrich", "HRR", true, kKeyUdiaeresis, "\xC3\xBC", "Z\xFC\xFCich"},
    {"an ASCII letter over a UTF-8 one", "Z\xC3\xBCrich", "HR", true, 'U', "u", "Zurich"},
    // Letters that Windows-1252 lacks: whole into UTF-8, refused by Windows-1252, never a '?'.
    {"a Polish letter into plain ASCII", "Ab", "E", false, 0, "\xC5\x82", "Ab\xC5\x82"},
    {"a Greek letter into UTF-8", "Z\xC3\xBCrich", "H", false, 0, "\xCE\xB1", "\xCE\xB1Z\xC3\xBCrich"},
    {"a Cyrillic letter over a UTF-8 one", "Z\xC3\xBCrich", "HR", true, 0, "\xD0\x96", "Z\xD0\x96rich"},
    {"a character beyond the first plane", "a", "E", false, 0, "\xF0\x9F\x8C\xBF", "a\xF0\x9F\x8C\xBF"},
    {"a Polish letter refused by Windows-1252", "Z\xFCrich", "E", false, 0, "\xC5\x82", "Z\xFCrich"},
    {"a Greek letter refused over Windows-1252", "Z\xFCrich", "HR", true, 0, "\xCE\xB1", "Z\xFCrich"},
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

// Presses the keys of a typed case, then its letter's key (in overtype mode
// when it says so).
inline void TypeLetter(plat::Control& control, const TypedCase& c) {
  Press(control, c.keys);
  if (c.overtype) plat::input::PressKey(control, plat::vk::Insert);
  plat::input::PressLayoutKey(control, c.toolkitKey, c.letter);
  if (c.overtype) plat::input::PressKey(control, plat::vk::Insert);
}

}  // namespace utf8_keys
