#include "platform/Layout.h"

#include <algorithm>

namespace plat {

void ArrangeAligned(const Rect& client, std::vector<AlignItem>& items) {
  Rect rest = client;
  for (Align pass : {Align::Top, Align::Bottom, Align::Left, Align::Right, Align::Client}) {
    for (auto& item : items) {
      if (item.align != pass) continue;
      Rect& b = item.bounds;
      int h = b.Height();
      int w = b.Width();
      switch (pass) {
        case Align::Top:
          b = {rest.left, rest.top, rest.right, rest.top + h};
          rest.top += h;
          break;
        case Align::Bottom:
          b = {rest.left, rest.bottom - h, rest.right, rest.bottom};
          rest.bottom -= h;
          break;
        case Align::Left:
          b = {rest.left, rest.top, rest.left + w, rest.bottom};
          rest.left += w;
          break;
        case Align::Right:
          b = {rest.right - w, rest.top, rest.right, rest.bottom};
          rest.right -= w;
          break;
        default: b = {rest.left, rest.top, std::max(rest.left, rest.right), std::max(rest.top, rest.bottom)}; break;
      }
    }
  }
}

std::string GetShortHint(const std::string& hint) { return hint.substr(0, hint.find('|')); }

std::string GetLongHint(const std::string& hint) {
  auto bar = hint.find('|');
  return bar == std::string::npos ? hint : hint.substr(bar + 1);
}

}  // namespace plat
