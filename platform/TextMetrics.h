#pragma once
// Sizes of texts as a control shows them, for layouts that fit their texts.

#include <string>

namespace plat {

class Control;

// Width in pixels of the text in the control's font.
int TextWidthIn(const Control& control, const std::string& text);

}  // namespace plat
