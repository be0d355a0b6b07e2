#include "controls/base/VirSCModel.h"

#include <algorithm>

plat::Rect SpinnerBeside(const plat::Rect& control, const plat::Rect& spinner, TPosition position, int separation) {
  const int w = spinner.Width(), h = spinner.Height();
  switch (position) {
    case scRight: return {control.right + separation, control.top, control.right + separation + w, control.bottom};
    case scLeft: return {control.left - w - separation, control.top, control.left - separation, control.bottom};
    case scTop: return {control.left, control.top - h - separation, control.right, control.top - separation};
    default:  // scBottom
      return {control.left, control.bottom + separation, control.right, control.bottom + separation + h};
  }
}

plat::Rect ControlBeside(const plat::Rect& spinner, const plat::Rect& control, TPosition position, int separation) {
  const int w = control.Width(), h = control.Height();
  plat::Rect r = control;
  switch (position) {
    case scRight:
      r.left = spinner.left - w - separation;
      r.right = r.left + w;
      r.top = spinner.top;
      r.bottom = spinner.bottom;
      break;
    case scLeft:
      r.left = spinner.right + separation;
      r.right = r.left + w;
      break;
    case scTop:
      r.top = spinner.bottom + separation;
      r.bottom = r.top + h;
      r.right = r.left + spinner.Width();
      break;
    default:  // scBottom
      r.top = spinner.top - h - separation;
      r.bottom = r.top + h;
      r.right = r.left + spinner.Width();
      break;
  }
  return r;
}

TSpinRegions SpinRegions(int width, int height, TSpinOrientation orientation) {
  if (orientation == soVertical) return {{0, 0, width, height / 2}, {0, height / 2, width, height}};
  return {{width / 2, 0, width, height}, {0, 0, width / 2, height}};
}

TSpinState SpinStateAt(int x, int y, int width, int height, TSpinOrientation orientation, bool enabled) {
  if (x < 0 || y < 0 || x >= width || y >= height) return spOutside;
  if (!enabled) return spNormal;
  const TSpinRegions halves = SpinRegions(width, height, orientation);
  auto inside = [x, y](const plat::Rect& r) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; };
  const bool vertical = orientation == soVertical;
  if (inside(halves.first)) return vertical ? spUp : spRight;
  if (inside(halves.second)) return vertical ? spDown : spLeft;
  return spNormal;
}

void TSpinRepeat::Start(std::uint32_t now) {
  count_ = 0;
  next_ = now - 1;
}

int TSpinRepeat::Delay() const { return std::max(0, kFirstDelay - acceleration_ * 10 * count_); }

void TSpinRepeat::Fired(std::uint32_t now) {
  next_ = now + static_cast<std::uint32_t>(Delay());
  // The count saturates where the smallest acceleration reaches a delay of 0.
  if (Delay() > 0 && count_ < kFirstDelay / 10) ++count_;
}

std::uint32_t TSpinRepeat::Wait(std::uint32_t now) const { return Due(now) ? 0 : next_ - now; }
