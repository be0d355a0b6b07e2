#pragma once
// The border style of the library's windowed controls, and the frame their
// window shows for it.

#include "platform/Types.h"

enum class TBorderStyle { bsNone, bsSingle };

// bsSingle gives a plain line, which the sunken 3-D edge replaces when Ctl3D is on.
inline plat::EditBorder FrameOf(TBorderStyle style, bool ctl3D) {
  if (style == TBorderStyle::bsNone) return plat::EditBorder::None;
  return ctl3D ? plat::EditBorder::Lowered3D : plat::EditBorder::Single;
}
