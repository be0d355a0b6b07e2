#pragma once
// A form that stands in for a modal form: a dialog that a modal window opens
// while it hides itself shows without a loop of its own, yet keeps the user
// from the other windows as the hidden modal window did. Implemented in
// platform/qt/.

#include "platform/Form.h"

namespace plat {

// Shows the form and returns at once; until it hides, the other windows take
// no input, as under a modal form.
void ShowBlocking(Form& form);

// True while a form shown modally or blocking, other than this one, keeps the
// user's input from it.
bool InputBlocked(const Form& form);

}  // namespace plat
