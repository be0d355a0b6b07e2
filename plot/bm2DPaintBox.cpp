// The paint box: its canvas, and the painting of the frame (backgrounds, titles,
// axes, reference lines, legend) at the places that bm2DLayout.cpp computes.

#include "plot/bm2DPaintBox.h"

#include <algorithm>
#include <cmath>

#include "plot/bmLegendRules.h"

namespace {

// Part rectangles are inclusive; the canvas's are not.
plat::Rect Exclusive(const plat::Rect& r) { return {r.left, r.top, r.right + 1, r.bottom + 1}; }

void FillPart(plat::Canvas& canvas, const plat::Rect& r, plat::Color color) {
  canvas.SetBrush({color, plat::BrushStyle::Solid});
  canvas.FillRect(Exclusive(r));
}

}  // namespace

using bmlegend::CountsInLegend;
using bmlegend::IsVertical;
using bmlegend::StartsNewColumn;

Tbm2DPaintBox::Tbm2DPaintBox(plat::Canvas& ownCanvas, int width, int height)
    : Parts_(std::make_unique<TbmPlot2DPlotPartsClass>()),
      CurLine_(std::make_unique<TbmLineClass>()),
      CurSymbol_(std::make_unique<TbmSymbolClass>()),
      CurLineSymbol_(std::make_unique<TbmLineSymbolClass>()),
      CurBar_(std::make_unique<TbmBarClass>()),
      OwnCanvas_(&ownCanvas),
      Canvas_(&ownCanvas),
      ClientWidth_(width),
      ClientHeight_(height) {
  SelectCanvas(ownCanvas);
  SetUpPlot(width, height);
}

void Tbm2DPaintBox::SelectCanvas(plat::Canvas& canvas) {
  Canvas_ = &canvas;
  // A device that reports no resolution is taken as a screen.
  HRes_ = canvas.DpiX() > 0 ? canvas.DpiX() : 96;
  VRes_ = canvas.DpiY() > 0 ? canvas.DpiY() : 96;
}

void Tbm2DPaintBox::SetClientSize(int width, int height) {
  ClientWidth_ = width;
  ClientHeight_ = height;
}

// ---- The frame ----

void Tbm2DPaintBox::PaintPlot() {
  plat::Canvas& c = *Canvas_;
  plat::CanvasStateSaver saved(c);
  auto& p = *Parts_;
  // The whole area laid out (the printer page when printing), not only the window.
  c.SetBrush({p.InnerMarginColor, plat::BrushStyle::Solid});
  c.SetPen({p.InnerMarginColor, plat::PenStyle::Solid, 1});
  c.Rectangle({0, 0, LayoutWidth_, LayoutHeight_});
  if (p.TopMargin.Size > 0) FillPart(c, p.TopMargin.Rect, p.MarginColor);
  FillPart(c, p.BottomMargin.Rect, p.MarginColor);
  if (p.LeftMargin.Size > 0) FillPart(c, p.LeftMargin.Rect, p.MarginColor);
  FillPart(c, p.RightMargin.Rect, p.MarginColor);
  FillPart(c, p.PlotArea.Rect, p.PlotAreaColor);

  const auto& plot = p.PlotArea.Rect;
  const plat::Rect frame{plot.left - 1, plot.top - 1, plot.right + 1, plot.bottom + 1};
  if (Degraded_) {
    if (p.ShowFrame) {
      c.SetPen({p.FramePen.color, plat::PenStyle::Solid, 1});
      c.SetBrush(bmClearBrush);
      c.Rectangle(frame);
    }
    return;
  }
  DrawCentredLabel(p.Title);
  DrawCentredLabel(p.SubTitle);
  DrawCentredLabel(p.XAxisTitle);
  DrawReferenceLines(p.XAxis, p.YAxis);
  DrawReferenceLines(p.YAxis, p.XAxis);
  DrawAxis(p.XAxis);
  {
    const auto& yt = p.YAxisTitle;
    c.SetBrush(bmClearBrush);
    c.SetFont(yt.Font);
    const plat::Size text = c.TextExtent(yt.Text);
    c.TextOut(yt.Rect.right - c.TextWidth("X") - text.cx,
              yt.Rect.top + (yt.Rect.bottom - yt.Rect.top) / 2 - text.cy / 2, yt.Text);
  }
  DrawAxis(p.YAxis);
  if (LegendActive()) fillLegend();
  if (p.ShowFrame) {
    c.SetPen(p.FramePen);
    c.SetBrush(bmClearBrush);
    c.Rectangle(frame);
  }
}

void Tbm2DPaintBox::DrawCentredLabel(const TbmLabelClass& label) {
  plat::Canvas& c = *Canvas_;
  c.SetBrush(bmClearBrush);
  c.SetFont(label.Font);
  const int x = label.Rect.left + (label.Rect.right - label.Rect.left) / 2 - c.TextWidth(label.Text) / 2;
  c.TextOut(x, label.Rect.top, label.Text);
}

void Tbm2DPaintBox::DrawReferenceLines(const TbmAxisClass& axis, const TbmAxisClass& otherAxis) {
  const int n = axis.RefLineCount;
  if (n <= 0) return;
  plat::Canvas& c = *Canvas_;
  plat::CanvasStateSaver saved(c);
  c.SetPen(axis.RefLinePen);
  const TbmWorldSpan s = axis.Span();
  const TbmWorldSpan o = otherAxis.Span();
  const int from = otherAxis.ValueToDevice(o.Lo);
  const int to = otherAxis.ValueToDevice(o.Lo + o.Range);
  for (int k = 1; k <= n; ++k) {
    const int at = axis.ValueToDevice(s.Lo + k * s.Range / (n + 1));
    if (axis.IsXAxis)
      c.Line(at, from, at, to);
    else
      c.Line(from, at, to, at);
  }
}

void Tbm2DPaintBox::DrawTick(const TbmAxisClass& axis, long double v, int length) {
  const int at = axis.ValueToDevice(v);
  const int dir = axis.TicksInside ? -1 : 1;
  if (axis.IsXAxis)
    Canvas_->Line(at, axis.Rect.top, at, axis.Rect.top + dir * length);
  else
    Canvas_->Line(axis.Rect.right, at, axis.Rect.right - dir * length, at);
}

void Tbm2DPaintBox::DrawScaleNumber(const TbmAxisClass& axis, long double value, long double at, plat::Size measured) {
  plat::Canvas& c = *Canvas_;
  const std::string text = axis.ScaleText(value);
  const int pos = axis.ValueToDevice(at);
  if (axis.IsXAxis) {
    const int below = axis.TicksInside ? c.TextHeight("0") / 2 : std::max(axis.MajorPixels, measured.cy / 2);
    c.TextOut(pos - c.TextWidth(text) / 2, axis.Rect.top + below, text);
  } else {
    const int x = axis.Rect.right - measured.cx - (axis.TicksInside ? 0 : axis.MajorPixels);
    c.TextOut(x, pos - measured.cy / 2, text);
  }
}

void Tbm2DPaintBox::DrawAxis(const TbmAxisClass& axis) {
  plat::Canvas& c = *Canvas_;
  plat::CanvasStateSaver saved(c);
  const auto& r = axis.Rect;
  c.SetPen(axis.AxisPen);
  if (axis.IsXAxis)
    c.Line(r.left, r.top, r.right, r.top);
  else
    c.Line(r.right, r.top, r.right, r.bottom);
  const int n = axis.MajorCount;
  const int m = std::max(0, axis.MinorCount);
  if (n < 1) return;
  c.SetFont(axis.ScaleFont);
  c.SetBrush(bmClearBrush);
  const TbmWorldSpan s = axis.Span();
  const plat::Size lo = c.TextExtent(axis.ScaleText(s.Lo));
  const plat::Size hi = c.TextExtent(axis.ScaleText(s.Lo + s.Range));
  const plat::Size measured{std::max(lo.cx, hi.cx), std::max(lo.cy, hi.cy)};

  if (n == 1) {
    const long double mid = s.Lo + s.Range / 2;
    DrawTick(axis, mid, axis.MajorPixels);
    if (axis.ShowScale) DrawScaleNumber(axis, mid, mid, measured);
    const long double d = (s.Range / 2) / (m + 1);
    for (int k = 1; k <= m; ++k) {
      DrawTick(axis, s.Lo + k * d, axis.MinorPixels);
      DrawTick(axis, mid + k * d, axis.MinorPixels);
    }
    return;
  }
  const long double step = s.Range / (n - 1);
  const long double minorStep = step / (m + 1);
  for (int i = 0; i < n; ++i) {
    const long double v = s.Lo + i * step;
    const bool interior = i > 0 && i < n - 1;
    if (!(axis.IsXAxis && axis.IntervalLabels) || interior) DrawTick(axis, v, axis.MajorPixels);
    if (axis.ShowScale) {
      if (!axis.IntervalLabels)
        DrawScaleNumber(axis, v, v, measured);
      else if (axis.IsXAxis && interior)
        DrawScaleNumber(axis, v, v, measured);
      else if (!axis.IsXAxis && i > 0)
        DrawScaleNumber(axis, v, v - step / 2, measured);
    }
    if (i < n - 1)
      for (int k = 1; k <= m; ++k) DrawTick(axis, v + k * minorStep, axis.MinorPixels);
  }
}

void Tbm2DPaintBox::fillLegend() {
  const auto& lg = Parts_->Legend;
  if (lg.Styles == nullptr) return;
  plat::Canvas& c = *Canvas_;
  plat::CanvasStateSaver saved(c);
  FillPart(c, lg.Rect, lg.Background ? Parts_->PlotAreaColor : Parts_->InnerMarginColor);
  const int startX = lg.Rect.left + LegendCharWidth_ / 2;
  const auto& plot = Parts_->PlotArea.Rect;
  const int plotHeight = plot.bottom - plot.top;
  int x = startX;
  int y = lg.Rect.top;
  int used = 0;  // height used in this column, or entries in this row
  for (const TbmStyleEntry& entry : *lg.Styles) {
    if (!CountsInLegend(entry)) continue;
    if (IsVertical(lg)) {
      if (StartsNewColumn(used, lg.RowHeight, plotHeight)) {
        x += lg.EntryWidth;
        y = lg.Rect.top;
        used = 0;
      }
      DrawLegendEntry(entry, x, y);
      y += lg.RowHeight;
      used += lg.RowHeight;
    } else {
      if (used == LegendColumns_) {
        x = startX;
        y += lg.RowHeight;
        used = 0;
      }
      DrawLegendEntry(entry, x, y);
      c.SetFont(lg.Font);
      x += lg.SampleWidth + c.TextWidth(entry.LegendText);
      ++used;
    }
  }
}

void Tbm2DPaintBox::DrawLegendEntry(const TbmStyleEntry& entry, int x, int top) {
  plat::Canvas& c = *Canvas_;
  const auto& lg = Parts_->Legend;
  const int cw = LegendCharWidth_;
  const int mid = top + lg.RowHeight / 2;
  const int left = x + cw;
  const int right = x + lg.SampleWidth - cw;
  if (const auto* line = std::get_if<TbmLineClass>(&entry.Part)) {
    c.SetPen(line->Pen);
    c.Line(left, mid, right, mid);
  } else if (const auto* symbol = std::get_if<TbmSymbolClass>(&entry.Part)) {
    TbmSymbolClass scaled = *symbol;
    UpdateHalfSizes(scaled);
    scaled.DrawSymbol(c, x + lg.SampleWidth / 2, mid, false);
  } else if (const auto* lineSymbol = std::get_if<TbmLineSymbolClass>(&entry.Part)) {
    TbmLineSymbolClass scaled = *lineSymbol;
    UpdateHalfSizes(scaled);
    scaled.Draw(c, left + scaled.HalfWidth, mid, right - scaled.HalfWidth, mid, false, true);
  } else if (const auto* bar = std::get_if<TbmBarClass>(&entry.Part)) {
    c.SetFont(lg.Font);
    const int third = c.TextHeight("X") / 3;
    bar->Draw(c, left, mid - third, right, mid + third);
  }
  c.SetFont(lg.Font);
  c.SetBrush(bmClearBrush);
  c.TextOut(x + lg.SampleWidth, mid - c.TextHeight(entry.LegendText) / 2, entry.LegendText);
}
