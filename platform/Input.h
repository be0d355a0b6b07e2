#pragma once
// Synthetic user input for tests: real key and mouse events sent through the
// toolkit to a control, as the user's would arrive. Implemented in platform/qt/.

#include "platform/Control.h"
#include "platform/Types.h"

#include <string>
#include <vector>

namespace plat::input {

// A key pressed and released on the control (or the part of it that takes keys),
// with the text it types (UTF-8 when valid, else Windows-1252).
void PressKey(Control& control, int key, ShiftState shift = 0, const std::string& text = {});
// A key pressed and released on the control as the window system reports a
// key of a US keyboard: the toolkit's key is the symbol the key types (Shift+1
// is '!'), the text is what the key types with its modifiers (Ctrl+A types
// code 1, Ctrl+1 types '1'), and the scan code is the key's place.
void PressKeyOnKeyboard(Control& control, int key, ShiftState shift = 0);
// A key of another keyboard layout that types `text` (one UTF-8 character):
// `toolkitKey` is the toolkit's key as the window system reports it, its code
// for the letter (Qt::Key_Udiaeresis for ü) or 0 where it has none.
void PressLayoutKey(Control& control, int toolkitKey, const std::string& text);
// Types each character of `text` as its own key (a UTF-8 character's bytes together).
void TypeText(Control& control, const std::string& text);
// Mouse events at (x, y) in the control's client coordinates; -1 means its centre.
// A move holds the buttons that `shift` names (ssLeft, ssRight, ssMiddle); from
// a press to its release, moves with a button held and the release go to the
// part of the control that took the press, as with the platform's mouse capture.
void MouseDown(Control& control, MouseButton button = MouseButton::Left, int x = -1, int y = -1, ShiftState shift = 0);
void MouseMove(Control& control, int x, int y, ShiftState shift = 0);
void MouseUp(Control& control, MouseButton button = MouseButton::Left, int x = -1, int y = -1, ShiftState shift = 0);
void Click(Control& control, int x = -1, int y = -1);
// The left button pressed at one point, the mouse moved with it held to another, and released there.
void Drag(Control& control, int fromX, int fromY, int toX, int toY);
void DoubleClick(Control& control, int x = -1, int y = -1);
// The mouse comes over the control (its hint becomes the application's hint).
void Hover(Control& control);
// The mouse leaves the control.
void Leave(Control& control);
// The pop-up menu shown now: its items' captions and whether each is enabled
// (empty when no pop-up menu is open), and the choice of one of them by its
// caption without '&' (false, and the menu closed, when it has no such enabled
// item). Tests post these to run while the menu waits for the user.
struct PopupItem {
  std::string caption;
  bool enabled = false;
  friend bool operator==(const PopupItem&, const PopupItem&) = default;
};
std::vector<PopupItem> PopupMenuItems();
bool ChoosePopupItem(const std::string& caption);
// Handles the events and posted messages waiting now.
void Flush();

}  // namespace plat::input
