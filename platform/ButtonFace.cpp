#include "platform/ButtonFace.h"

#include "platform/SystemColors.h"

namespace plat {

void DrawButtonFace(Canvas& canvas, const Rect& r, bool pressed) {
  if (r.Width() <= 0 || r.Height() <= 0) return;
  CanvasStateSaver saved(canvas);
  canvas.SetBrush({ColorToRGB(clBtnFace), BrushStyle::Solid});
  canvas.FillRect(r);
  const int right = r.right - 1, bottom = r.bottom - 1;
  // An edge along the top and left, and one along the bottom and right, `inset` pixels in.
  auto edges = [&](int inset, Color topLeft, Color bottomRight) {
    canvas.SetPen({ColorToRGB(topLeft)});
    canvas.Polyline(
        {{r.left + inset, bottom - inset}, {r.left + inset, r.top + inset}, {right - inset, r.top + inset}});
    canvas.SetPen({ColorToRGB(bottomRight)});
    canvas.Polyline(
        {{r.left + inset, bottom - inset}, {right - inset, bottom - inset}, {right - inset, r.top + inset - 1}});
  };
  if (pressed) {
    edges(0, clBtnShadow, clBtnShadow);
  } else {
    edges(0, clBtnHighlight, cl3DDkShadow);
    edges(1, clBtnFace, clBtnShadow);
  }
}

}  // namespace plat
