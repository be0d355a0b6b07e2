// Drawing primitives: symbols, lines with symbols, bars, quadrilaterals and
// texts in device coordinates, and the paint box's drawing in world
// coordinates with its current styles. Every primitive leaves the canvas's
// pen, brush and font as it found them.

#include <cmath>

#include "plot/bm2DPaintBox.h"
#include "plot/bmParts.h"

namespace {

// The resolution of the screen, whose pixels lines are as wide as.
constexpr double kScreenDpi = 96.0;

void DrawCrossLines(plat::Canvas& c, int X, int Y, int hx, int hy) {
  c.Line(X - hx, Y - hy, X + hx + 1, Y + hy + 1);
  c.Line(X + hx, Y - hy, X - hx - 1, Y + hy + 1);
}

void DrawPlusLines(plat::Canvas& c, int X, int Y, int hx, int hy) {
  c.Line(X - hx, Y, X + hx + 1, Y);
  c.Line(X, Y - hy, X, Y + hy + 1);
}

void CopySymbolLook(TbmSymbolClass& to, const TbmSymbolClass& from) {
  to.Kind = from.Kind;
  to.Size = from.Size;
  to.Fill = from.Fill;
  to.Outline = from.Outline;
}

// Points that are not finite have no place on the plot and are not drawn.
bool PointIsFinite(double x, double y) { return std::isfinite(x) && std::isfinite(y); }

}  // namespace

void TbmSymbolClass::DrawSymbol(plat::Canvas& canvas, int X, int Y, bool tiny) const {
  plat::CanvasStateSaver saved(canvas);
  const int hx = tiny ? 1 : HalfWidth;
  const int hy = tiny ? 1 : HalfHeight;
  const plat::Rect square{X - hx, Y - hy, X + hx + 1, Y + hy + 1};
  canvas.SetBrush(Fill);
  canvas.SetPen(Outline);
  switch (Kind) {
    case bmSquare: canvas.Rectangle(square); return;
    case bmDiamond: canvas.Polygon({{X - hx, Y}, {X, Y - hy}, {X + hx, Y}, {X, Y + hy}}); return;
    case bmUpTriangle: canvas.Polygon({{X - hx, Y + hy}, {X, Y - hy}, {X + hx, Y + hy}}); return;
    case bmDnTriangle: canvas.Polygon({{X - hx, Y - hy}, {X, Y + hy}, {X + hx, Y - hy}}); return;
    case bmCross:
    case bmPlus:
    case bmStar: {
      // A square in the fill colour without a visible outline, then the lines.
      plat::Pen background = Outline;
      background.color = Fill.color;
      canvas.SetPen(background);
      canvas.Rectangle(square);
      canvas.SetPen(Outline);
      if (Kind != bmPlus) DrawCrossLines(canvas, X, Y, hx, hy);
      if (Kind != bmCross) DrawPlusLines(canvas, X, Y, hx, hy);
      return;
    }
    default: canvas.Ellipse(square); return;
  }
}

void TbmLineSymbolClass::Draw(plat::Canvas& canvas, int X1, int Y1, int X2, int Y2, bool tiny, bool keepClip) const {
  plat::CanvasStateSaver saved(canvas);
  canvas.SetBrush(bmClearBrush);
  canvas.SetPen(LinePen);
  canvas.Line(X1, Y1, X2, Y2);
  DrawSymbol(canvas, X1, Y1, tiny);
  if (!keepClip) canvas.RemoveClip();
  DrawSymbol(canvas, X2, Y2, tiny);
}

void TbmBarClass::Draw(plat::Canvas& canvas, int left, int top, int right, int bottom) const {
  plat::CanvasStateSaver saved(canvas);
  const plat::Rect r{left, top, right + 1, bottom + 1};
  canvas.SetPen(Outline);
  canvas.SetBrush(Background);
  canvas.Rectangle(r);
  canvas.SetBrush(Hatch);
  canvas.Rectangle(r);
}

void TbmQuadClass::Draw(plat::Canvas& canvas, plat::Point P1, plat::Point P2, plat::Point P3, plat::Point P4) const {
  plat::CanvasStateSaver saved(canvas);
  const std::vector<plat::Point> corners{P1, P2, P3, P4};
  canvas.SetPen(Outline);
  canvas.SetBrush(Background);
  canvas.Polygon(corners);
  canvas.SetBrush(Hatch);
  canvas.Polygon(corners);
}

void TbmTextClass::Draw(plat::Canvas& canvas, int X, int Y, const std::string& text, double sx, double sy) const {
  plat::CanvasStateSaver saved(canvas);
  plat::Font font = Font;
  font.size = DeviceRound(Size * sy * 0.01 * 72);
  canvas.SetFont(font);
  canvas.SetBrush(bmClearBrush);
  const int gx = DeviceRound(HGap * sx * 0.01 * canvas.DpiX() * 0.5);
  const int gy = DeviceRound(VGap * sy * 0.01 * canvas.DpiY() * 0.5);
  const plat::Size extent = canvas.TextExtent(text);
  const int a = Alignment <= 8 ? Alignment : 5;
  int top = Y - extent.cy / 2;
  if (a / 3 == 0) top = Y - extent.cy - gy;
  if (a / 3 == 2) top = Y + gy;
  int left = X - extent.cx / 2;
  if (a % 3 == 0) left = X - extent.cx - gx;
  if (a % 3 == 2) left = X + gx;
  canvas.TextOut(left, top, text);
}

// ---- The paint box's current styles and world-coordinate drawing ----

void Tbm2DPaintBox::SetCurrentLine(const TbmLineClass& line) { CurLine_->Pen = line.Pen; }

void Tbm2DPaintBox::SetCurrentSymbol(const TbmSymbolClass& symbol) {
  CopySymbolLook(*CurSymbol_, symbol);
  UpdateHalfSizes(*CurSymbol_);
}

void Tbm2DPaintBox::SetCurrentLineSymbol(const TbmLineSymbolClass& lineSymbol) {
  CopySymbolLook(*CurLineSymbol_, lineSymbol);
  CurLineSymbol_->LinePen = lineSymbol.LinePen;
  UpdateHalfSizes(*CurLineSymbol_);
}

void Tbm2DPaintBox::SetCurrentBar(const TbmBarClass& bar) {
  CurBar_->Value1 = bar.Value1;
  CurBar_->Value2 = bar.Value2;
  CurBar_->Hatch = bar.Hatch;
  CurBar_->Background = bar.Background;
  CurBar_->Outline = bar.Outline;
  CurBar_->Flag1 = bar.Flag1;
}

// The plot with its edge pixels. A device finer than the screen draws lines
// as wide as a screen pixel (see the platform's canvas): the clip takes in
// the whole width of a line on the edge.
void Tbm2DPaintBox::ClipToPlot() {
  const auto& r = Parts_->PlotArea.Rect;
  const auto halfLine = [](int resolution) {
    return std::max(0, static_cast<int>(std::ceil(resolution / (2.0 * kScreenDpi) - 1)));
  };
  const int h = halfLine(HRes_);
  const int v = halfLine(VRes_);
  Canvas_->SetClipRect({r.left - h, r.top - v, r.right + 1 + h, r.bottom + 1 + v});
}

void Tbm2DPaintBox::DrawLine(double x1, double y1, double x2, double y2) {
  if (!PointIsFinite(x1, y1) || !PointIsFinite(x2, y2)) return;
  plat::CanvasStateSaver saved(*Canvas_);
  Canvas_->SetPen(CurLine_->Pen);
  Canvas_->SetBrush(bmClearBrush);
  const auto& p = *Parts_;
  Canvas_->Line(p.XAxis.ValueToDevice(x1), p.YAxis.ValueToDevice(y1), p.XAxis.ValueToDevice(x2),
                p.YAxis.ValueToDevice(y2));
}

void Tbm2DPaintBox::DrawSymbolAt(double x, double y) {
  if (!PointIsFinite(x, y)) return;
  const auto& p = *Parts_;
  // A point within the axis ranges is drawn whole, even where the symbol
  // reaches past the plot rectangle; others are cut at the frame.
  const bool inRange = p.XAxis.Contains(x) && p.YAxis.Contains(y);
  if (inRange) Canvas_->RemoveClip();
  CurSymbol_->DrawSymbol(*Canvas_, p.XAxis.ValueToDevice(x), p.YAxis.ValueToDevice(y), Degraded_);
  if (inRange) ClipToPlot();
}

void Tbm2DPaintBox::DrawTextAt(const TbmTextClass& text, const std::string& s, double x, double y) {
  if (!PointIsFinite(x, y)) return;
  const auto& p = *Parts_;
  Canvas_->RemoveClip();
  text.Draw(*Canvas_, p.XAxis.ValueToDevice(x), p.YAxis.ValueToDevice(y), s, ScaleX(), ScaleY());
  ClipToPlot();
}

void Tbm2DPaintBox::DrawQuadAt(const TbmQuadClass& quad, const double (&xs)[4], const double (&ys)[4]) {
  plat::Point corners[4];
  const auto& p = *Parts_;
  for (int i = 0; i < 4; ++i) {
    if (!PointIsFinite(xs[i], ys[i])) return;
    corners[i] = {p.XAxis.ValueToDevice(xs[i]), p.YAxis.ValueToDevice(ys[i])};
  }
  quad.Draw(*Canvas_, corners[0], corners[1], corners[2], corners[3]);
}
