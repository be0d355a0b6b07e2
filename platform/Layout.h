#pragma once
// Aligned children: a control aligned to an edge of its parent takes the whole
// width (or height) there, keeps its own height (or width) even when the space
// left is smaller, and that strip is removed from the space left; a
// client-aligned control fills what remains (nothing when nothing remains).

#include "platform/Canvas.h"

#include <string>
#include <vector>

namespace plat {

enum class Align { None, Top, Bottom, Left, Right, Client };

struct AlignItem {
  Align align = Align::None;
  Rect bounds;  // current bounds in; arranged bounds out (only for aligned items)
};

// Arranges the items inside `client`: all top-aligned ones first, then bottom,
// left, right and client, each group in list order, as the platform does.
void ArrangeAligned(const Rect& client, std::vector<AlignItem>& items);

// The two halves of a hint "short|long": the short one is the tooltip, the long
// one goes to the status bar. A hint without '|' is both.
std::string GetShortHint(const std::string& hint);
std::string GetLongHint(const std::string& hint);

}  // namespace plat
