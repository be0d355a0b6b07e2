#pragma once
// The spinner's rules without its window: where it sits beside the control it
// is attached to (and where that control goes when the spinner moves), its
// two halves and which one a point hits, and when a held button fires again.
//
// The halves: a vertical spinner is up above the row H div 2 and down from it
// on; a horizontal one is left before the column W div 2 and right from it on.
// A press and the tracking of the held button use the same halves.
//
// The repeat: the press fires at once; each later click comes
// max(0, 500 - Acceleration * 10 * n) ms after the one before, n counting the
// clicks so far. The count stops growing once the delay is 0, so a held
// button never stops firing.

#include <cstdint>

#include "platform/Canvas.h"

enum TPosition : std::uint8_t { scRight, scLeft, scTop, scBottom };
enum TSpinOrientation : std::uint8_t { soVertical, soHorizontal };
enum TButtonStyle : std::uint8_t { bsAutoDetect, bsWin31, bsNew };

// Where the pointer is: outside the spinner, over it but on no half (or the
// spinner disabled), or over one of the halves.
enum TSpinState : std::uint8_t { spOutside = 0, spNormal = 1, spUp = 2, spDown = 3, spLeft = 4, spRight = 5 };

constexpr bool IsSpinHalf(TSpinState state) { return state >= spUp && state <= spRight; }

// The spinner's bounds beside a control with `separation` pixels between:
// right or left of it with its top and height (the spinner's own width),
// above or below it with its left and width (the spinner's own height).
plat::Rect SpinnerBeside(const plat::Rect& control, const plat::Rect& spinner, TPosition position, int separation);
// The control's bounds when the spinner moved and drags it along: right of
// the spinner its left, top and height follow; left of it its left; above or
// below it its top and width.
plat::Rect ControlBeside(const plat::Rect& spinner, const plat::Rect& control, TPosition position, int separation);

// The first half (up, or right) and the second half (down, or left) of a
// spinner width by height pixels, in its client coordinates.
struct TSpinRegions {
  plat::Rect first;
  plat::Rect second;
};
TSpinRegions SpinRegions(int width, int height, TSpinOrientation orientation);
// The state for a point of the client area.
TSpinState SpinStateAt(int x, int y, int width, int height, TSpinOrientation orientation, bool enabled);

// The clock of the repeated clicks, in milliseconds of the tick count.
class TSpinRepeat {
 public:
  static constexpr int kFirstDelay = 500;

  // A press: the first click is due at once.
  void Start(std::uint32_t now);
  bool Due(std::uint32_t now) const { return static_cast<std::int32_t>(now - next_) >= 0; }
  // A click fired at `now`: the next one is due after Delay().
  void Fired(std::uint32_t now);
  // Milliseconds until the next click (0 when it is due).
  std::uint32_t Wait(std::uint32_t now) const;
  // The delay after the clicks counted so far.
  int Delay() const;
  void SetAcceleration(int acceleration) { acceleration_ = acceleration; }
  int Count() const { return count_; }

 private:
  int acceleration_ = 5;
  int count_ = 0;
  std::uint32_t next_ = 0;
};
