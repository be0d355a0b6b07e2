#pragma once
// The face of a push button in the desktop's colours, drawn with the canvas
// alone: raised at rest (light top and left edges, dark bottom and right
// ones), sunken while pressed.

#include "platform/Canvas.h"

namespace plat {

void DrawButtonFace(Canvas& canvas, const Rect& r, bool pressed);

}  // namespace plat
