#pragma once
// The click, key, mouse and drag events that every control has, each naming
// the control as Sender, before the control's own handling of the same input
// (a key handler that sets the key or character to 0 keeps it from the
// control). OnClick comes with the left button's release over the control
// that took the press (a combo box's when the user picks an item), before
// OnMouseUp; OnDblClick before the press that the double click brings. A drag moves
// another control (the source) over the controls of its window: each asks
// OnDragOver whether it takes the source, the one under the release gets
// OnDragDrop, and the source hears OnEndDrag with that target (null when none
// took it).

#include "platform/Types.h"

#include <functional>

namespace plat {

class Control;

enum class DragState { Enter, Leave, Move };
// Manual: a drag starts only by BeginDrag; Automatic: a left press starts one.
enum class DragMode { Manual, Automatic };

struct ControlEvents {
  std::function<void(Control& sender)> OnClick;
  std::function<void(Control& sender)> OnDblClick;
  std::function<void(Control& sender, Control& source, int x, int y)> OnDragDrop;
  // `accept` comes in true; the control takes the source unless the handler clears it.
  std::function<void(Control& sender, Control& source, int x, int y, DragState state, bool& accept)> OnDragOver;
  std::function<void(Control& sender, Control* target, int x, int y)> OnEndDrag;
  std::function<void(Control& sender, int& key, ShiftState shift)> OnKeyDown;
  // The typed character, a Unicode code point.
  std::function<void(Control& sender, char32_t& key)> OnKeyPress;
  std::function<void(Control& sender, int& key, ShiftState shift)> OnKeyUp;
  std::function<void(Control& sender, MouseButton button, ShiftState shift, int x, int y)> OnMouseDown;
  std::function<void(Control& sender, ShiftState shift, int x, int y)> OnMouseMove;
  std::function<void(Control& sender, MouseButton button, ShiftState shift, int x, int y)> OnMouseUp;
};

}  // namespace plat
