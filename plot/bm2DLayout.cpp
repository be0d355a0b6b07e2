// The paint box's layout: the page scale, the sizes of margins, titles, axes
// and legend in pixels, and the places of the frame's parts for a client area
// or a printer page. Painting them is bm2DPaintBox.cpp's.

#include <algorithm>
#include <cmath>

#include "plot/bm2DPaintBox.h"
#include "plot/bmLegendRules.h"

namespace {

// The mean character width is measured over this text.
constexpr const char* kMeanWidthText = "XXXXXXX";
// Sample width of line and bar entries in the legend.
constexpr const char* kLegendSampleText = "XXXXXX";

void MoveHorizontally(plat::Rect& r, int d) {
  r.left += d;
  r.right += d;
}

void MoveVertically(plat::Rect& r, int d) {
  r.top += d;
  r.bottom += d;
}

bool PageUsable(double width, double height) {
  return std::isfinite(width) && std::isfinite(height) && width > 0 && height > 0;
}

}  // namespace

using bmlegend::CountsInLegend;
using bmlegend::IsVertical;
using bmlegend::StartsNewColumn;

double Tbm2DPaintBox::PageScale(int clientPixels, int resolution, double pageInches) const {
  const auto& p = *Parts_;
  if (Printing || !p.PrintPreview || !PageUsable(p.PageWidth, p.PageHeight)) return 1;
  return (static_cast<double>(clientPixels) / resolution) / pageInches;
}

double Tbm2DPaintBox::ScaleX() const { return PageScale(ClientWidth_, HRes_, Parts_->PageWidth); }

double Tbm2DPaintBox::ScaleY() const { return PageScale(ClientHeight_, VRes_, Parts_->PageHeight); }

void Tbm2DPaintBox::Layout(int width, int height) {
  AdjustAspect(width, height);
  SetUpPlot(width, height);
}

void Tbm2DPaintBox::AdjustAspect(int& width, int& height) {
  const auto& p = *Parts_;
  if (Printing || !p.PrintPreview || ClientHeight_ == 0 || !PageUsable(p.PageWidth, p.PageHeight)) return;
  const double ratio = p.PageWidth / p.PageHeight;
  const double hr = HRes_;
  const double vr = VRes_;
  if ((ClientWidth_ * (hr / vr) / ClientHeight_) / ratio > 1) {
    const int target = DeviceRound(ClientHeight_ / vr * ratio * hr);
    if (ClientWidth_ - target > 2) ClientWidth_ = target;
  } else {
    const int target = DeviceRound(ClientWidth_ / hr / ratio * vr);
    if (ClientHeight_ - target > 2) ClientHeight_ = target;
  }
  if (OnSetClientSize && (ClientWidth_ != width || ClientHeight_ != height))
    OnSetClientSize(ClientWidth_, ClientHeight_);
  width = ClientWidth_;
  height = ClientHeight_;
}

int Tbm2DPaintBox::FontPoints(int size) const { return DeviceRound(size * ScaleY() * 0.01 * 72); }

void Tbm2DPaintBox::UpdateHalfSizes(TbmSymbolClass& symbol) const {
  symbol.SetHalfSizes(ScaleX(), ScaleY(), HRes_, VRes_);
}

void Tbm2DPaintBox::ComputePixelSizes() {
  auto& p = *Parts_;
  const double sx = ScaleX();
  const double sy = ScaleY();
  for (TbmMargin* m : {&p.TopMargin, &p.BottomMargin}) m->PixelSize = DeviceRound(m->Size * sy * 0.01 * VRes_);
  for (TbmMargin* m : {&p.LeftMargin, &p.RightMargin}) m->PixelSize = DeviceRound(m->Size * sx * 0.01 * HRes_);
  for (TbmLabelClass* l : {&p.Title, &p.SubTitle, &p.XAxisTitle, &p.YAxisTitle}) l->Font.size = FontPoints(l->Size);
  p.Legend.Font.size = FontPoints(p.Legend.FontSize);
  // The X axis's tick lengths run vertically, but take the horizontal factor.
  for (TbmAxisClass* a : {&p.XAxis, &p.YAxis}) {
    const int res = a->IsXAxis ? VRes_ : HRes_;
    a->ScaleFont.size = FontPoints(a->ScaleFontSize);
    a->MajorPixels = DeviceRound(a->MajorLength * sx * 0.01 * res);
    a->MinorPixels = DeviceRound(a->MinorLength * sx * 0.01 * res);
  }
  UpdateHalfSizes(*CurSymbol_);
  UpdateHalfSizes(*CurLineSymbol_);
}

int Tbm2DPaintBox::TextHeightIn(const plat::Font& font, const std::string& text) const {
  Canvas_->SetFont(font);
  return Canvas_->TextHeight(text);
}

int Tbm2DPaintBox::TextWidthIn(const plat::Font& font, const std::string& text) const {
  Canvas_->SetFont(font);
  return Canvas_->TextWidth(text);
}

int Tbm2DPaintBox::WidestScaleText(const TbmAxisClass& axis) const {
  const TbmWorldSpan s = axis.Span();
  return std::max(TextWidthIn(axis.ScaleFont, axis.ScaleText(s.Lo)),
                  TextWidthIn(axis.ScaleFont, axis.ScaleText(s.Lo + s.Range)));
}

void Tbm2DPaintBox::SetUpPlot(int width, int height) {
  const plat::Font savedFont = Canvas_->GetFont();
  LayoutWidth_ = width;
  LayoutHeight_ = height;
  ComputePixelSizes();
  Parts_->Legend.EntryCount = 0;
  Parts_->Legend.Rect = {};
  LayoutMargins(width, height);
  LayoutTitlesAndAxes();
  if (Parts_->Legend.Show && Parts_->Legend.Display && IsVertical(Parts_->Legend)) setupLegend();
  if (Parts_->CenterPlot) CentrePlot();
  if (Parts_->Legend.Show && Parts_->Legend.Display && !IsVertical(Parts_->Legend)) setupLegend();
  PlaceLegend();
  auto& p = *Parts_;
  for (plat::Rect* r : {&p.Title.Rect, &p.SubTitle.Rect, &p.XAxisTitle.Rect, &p.XAxis.Rect}) {
    r->left = p.PlotArea.Rect.left;
    r->right = p.PlotArea.Rect.right;
  }
  FitOrDegrade(width, height);
  PreserveAspect();
  Canvas_->SetFont(savedFont);
}

void Tbm2DPaintBox::LayoutMargins(int width, int height) {
  auto& p = *Parts_;
  p.TopMargin.Rect = {0, 0, width, p.TopMargin.PixelSize};
  p.BottomMargin.Rect = {0, height - p.BottomMargin.PixelSize - 1, width, height};
  const int top = p.TopMargin.Rect.bottom + 1;
  const int bottom = p.BottomMargin.Rect.top - 1;
  p.LeftMargin.Rect = {0, top, p.LeftMargin.PixelSize, bottom};
  p.RightMargin.Rect = {width - p.RightMargin.PixelSize - 1, top, width, bottom};
}

void Tbm2DPaintBox::LayoutTitlesAndAxes() {
  auto& p = *Parts_;
  const int left = p.LeftMargin.Rect.right + 1;
  const int right = p.RightMargin.Rect.left - 1;

  auto& title = p.Title.Rect;
  title = {left, p.TopMargin.Rect.bottom + 1, right, 0};
  title.bottom = title.top + TextHeightIn(p.Title.Font, p.Title.Text);
  auto& sub = p.SubTitle.Rect;
  sub = {left, title.bottom + 1, right, 0};
  sub.bottom = sub.top + TextHeightIn(p.SubTitle.Font, p.SubTitle.Text);

  auto& xt = p.XAxisTitle.Rect;
  xt = {left, 0, right, p.BottomMargin.Rect.top - 1};
  xt.top = xt.bottom - TextHeightIn(p.XAxisTitle.Font, p.XAxisTitle.Text);

  TbmAxisClass& xa = p.XAxis;
  xa.Rect = {left, xt.top - 1, right, xt.top - 1};
  if (!xa.TicksInside) {
    if (xa.MajorCount >= 1)
      xa.Rect.top -= xa.MajorPixels;
    else if (xa.MinorCount > 0)
      xa.Rect.top -= xa.MinorPixels;
  }
  if (xa.ShowScale && xa.MajorCount >= 1) {
    const int th = TextHeightIn(xa.ScaleFont, "0");
    xa.Rect.top -= th;
    if (!xa.TicksInside)
      xa.Rect.top -= std::max(0, th / 2 - xa.MajorPixels);
    else
      xa.Rect.top -= th / 2;
  }

  auto& yt = p.YAxisTitle.Rect;
  yt = {left, sub.bottom + 1, left, xa.Rect.top - 1};
  yt.right = left + TextWidthIn(p.YAxisTitle.Font, p.YAxisTitle.Text) + TextWidthIn(p.YAxisTitle.Font, "XX");

  TbmAxisClass& ya = p.YAxis;
  ya.Rect = {yt.right + 1, yt.top, yt.right + 1, yt.bottom};
  if (!ya.TicksInside) {
    if (ya.MajorCount > 0)
      ya.Rect.right += ya.MajorPixels;
    else if (ya.MinorCount > 0)
      ya.Rect.right += ya.MinorPixels;
  }
  if (ya.ShowScale) ya.Rect.right += WidestScaleText(ya);

  p.PlotArea.Rect = {ya.Rect.right + 1, sub.bottom + 1, right, xa.Rect.top - 1};
}

void Tbm2DPaintBox::CentrePlot() {
  auto& p = *Parts_;
  auto& plot = p.PlotArea.Rect;
  const int L = p.YAxis.Rect.right - p.YAxisTitle.Rect.left;
  const int bandLeft = p.RightMargin.Rect.left;
  const bool side = LegendActive() && IsVertical(p.Legend);
  const int W = side ? p.Legend.Rect.Width() : 0;
  if (!side) {
    plot.right = bandLeft - 4 - L;
  } else if (p.Legend.Placement == bmLegendRight) {
    if (L < W) {
      const int shift = W - L;
      p.YAxisTitle.Rect.right += shift;
      MoveHorizontally(p.YAxis.Rect, shift);
      plot.left += shift;
    } else {
      plot.right = bandLeft - 4 - (L - W);
    }
  } else {
    plot.right = bandLeft - 4 - L - W;
  }
}

void Tbm2DPaintBox::PlaceLegend() {
  auto& p = *Parts_;
  auto& plot = p.PlotArea.Rect;
  auto& lg = p.Legend.Rect;
  if (LegendActive()) {
    const int W = lg.Width();
    const int H = lg.Height();
    switch (p.Legend.Placement) {
      case bmLegendTop:
        lg = {plot.left, plot.top, plot.right, plot.top + H};
        plot.top = p.YAxisTitle.Rect.top = p.YAxis.Rect.top = lg.bottom + 1;
        break;
      case bmLegendBottom:
        lg = {plot.left, p.XAxisTitle.Rect.bottom - H, plot.right, p.XAxisTitle.Rect.bottom};
        MoveVertically(p.XAxisTitle.Rect, -(H + 1));
        MoveVertically(p.XAxis.Rect, -(H + 1));
        plot.bottom = p.YAxis.Rect.bottom = p.YAxisTitle.Rect.bottom = p.XAxis.Rect.top - 1;
        break;
      case bmLegendRight:
        lg = {plot.right - W, plot.top, plot.right, plot.bottom};
        plot.right = lg.left - 1;
        break;
      default:
        lg = {p.YAxisTitle.Rect.left, plot.top, p.YAxisTitle.Rect.left + W, plot.bottom};
        MoveHorizontally(p.YAxisTitle.Rect, W + 1);
        MoveHorizontally(p.YAxis.Rect, W + 1);
        plot.left += W + 1;
        break;
    }
  }
  p.InnerMargin.Rect = {plot.right + 1, plot.top, p.RightMargin.Rect.left - 1, plot.bottom};
}

void Tbm2DPaintBox::FitOrDegrade(int width, int height) {
  auto& p = *Parts_;
  const auto& plot = p.PlotArea.Rect;
  const int plotHeight = plot.bottom - plot.top;
  const int plotWidth = plot.right - plot.left;
  const int v = (p.BottomMargin.Rect.top - p.TopMargin.Rect.bottom) - plotHeight;
  const int twiceH = (p.RightMargin.Rect.left - p.LeftMargin.Rect.right) - plotWidth;
  if (v <= plotHeight && twiceH <= 2 * plotWidth) {
    Degraded_ = false;
    return;
  }
  LayoutDegraded(width, height);
}

void Tbm2DPaintBox::LayoutDegraded(int width, int height) {
  constexpr int kBand = 5;
  constexpr int kInside = kBand + 1;  // first pixel inside the top and left bands
  auto& p = *Parts_;
  p.TopMargin.Rect = {0, 0, width, kBand};
  p.BottomMargin.Rect = {0, height - kBand - 1, width, height};
  const int bottom = p.BottomMargin.Rect.top - 1;
  p.LeftMargin.Rect = {0, kInside, kBand, bottom};
  p.RightMargin.Rect = {width - kBand - 1, kInside, width, bottom};
  const int right = p.RightMargin.Rect.left - 1;
  p.Title.Rect = {kInside, kInside, right, kInside + kBand - 1};
  p.SubTitle.Rect = p.Title.Rect;
  p.XAxisTitle.Rect = {kInside, bottom - kBand + 1, right, bottom};
  const int plotTop = p.Title.Rect.bottom + 1;
  const int plotBottom = p.XAxisTitle.Rect.top - 1;
  p.YAxisTitle.Rect = {kInside, plotTop, kInside + kBand - 1, plotBottom};
  p.InnerMargin.Rect = {right - kBand + 1, plotTop, right, plotBottom};
  auto& plot = p.PlotArea.Rect;
  plot = {p.YAxisTitle.Rect.right + 1, plotTop, p.InnerMargin.Rect.left - 1, plotBottom};
  p.XAxis.Rect = {plot.left, plot.bottom, plot.right, plot.bottom};
  p.YAxis.Rect = {plot.left, plot.top, plot.left, plot.bottom};
  p.Legend.Rect = {};
  Degraded_ = true;
}

void Tbm2DPaintBox::PreserveAspect() {
  auto& p = *Parts_;
  if (!p.PreserveAspect) return;
  auto& plot = p.PlotArea.Rect;
  const TbmWorldSpan xs = p.XAxis.Span();
  const TbmWorldSpan ys = p.YAxis.Span();
  // Both ranges must be positive for a ratio; anything else keeps the plot as laid out.
  const long double rd = (xs.Range > 0 && ys.Range > 0) ? xs.Range / ys.Range : 1.0L;
  const long double hr = HRes_;
  const long double vr = VRes_;
  const long double plotWidth = plot.right - plot.left;
  const long double plotHeight = plot.bottom - plot.top;
  const long double axisWidth = p.XAxis.Rect.right - p.XAxis.Rect.left;
  const long double rs = plotHeight < 1 ? 1.0L : (axisWidth / hr) / (plotHeight / vr);
  int dx = 0;
  int dy = 0;
  if (rs > rd)
    dx = DeviceRound((plotWidth - plotHeight / vr * rd * hr) * 0.5L);
  else
    dy = DeviceRound((plotHeight - plotWidth / hr / rd * vr) * 0.5L);

  plot = {plot.left + dx, plot.top + dy, plot.right - dx, plot.bottom - dy};
  for (plat::Rect* r : {&p.Title.Rect, &p.SubTitle.Rect}) {
    *r = {r->left + dx, r->top + dy, r->right - dx, r->bottom + dy};
  }
  for (plat::Rect* r : {&p.XAxisTitle.Rect, &p.XAxis.Rect}) {
    *r = {r->left + dx, r->top - dy, r->right - dx, r->bottom - dy};
  }
  for (plat::Rect* r : {&p.YAxisTitle.Rect, &p.YAxis.Rect}) {
    *r = {r->left + dx, r->top + dy, r->right + dx, r->bottom - dy};
  }
  MoveHorizontally(p.InnerMargin.Rect, -dx);
  p.TopMargin.Rect.bottom += dy;
  p.BottomMargin.Rect.top -= dy;
  p.LeftMargin.Rect.right += dx;
  p.RightMargin.Rect.left -= dx;
}

bool Tbm2DPaintBox::LegendActive() const {
  const auto& lg = Parts_->Legend;
  return lg.Show && lg.Display && lg.EntryCount > 0;
}

void Tbm2DPaintBox::setupLegend() {
  auto& lg = Parts_->Legend;
  lg.EntryCount = lg.SampleWidth = lg.EntryWidth = lg.RowHeight = lg.TotalRowHeight = 0;
  lg.Rect = {};
  LegendColumns_ = 0;
  if (lg.Styles == nullptr) return;
  plat::Canvas& c = *Canvas_;
  const plat::Font savedFont = c.GetFont();
  c.SetFont(lg.Font);
  LegendCharWidth_ = c.TextWidth(kMeanWidthText) / 7;
  const int h = c.TextHeight("X");
  const int sampleTextWidth = c.TextWidth(kLegendSampleText);
  int widestText = 0;
  int rowHeight = h;
  for (const TbmStyleEntry& entry : *lg.Styles) {
    if (!CountsInLegend(entry)) continue;
    ++lg.EntryCount;
    widestText = std::max(widestText, c.TextWidth(entry.LegendText));
    rowHeight = std::max(rowHeight, c.TextHeight(entry.LegendText));
    int sample = sampleTextWidth;
    if (const auto* s = std::get_if<TbmSymbolClass>(&entry.Part)) {
      TbmSymbolClass scaled = *s;
      UpdateHalfSizes(scaled);
      sample = 4 * scaled.HalfWidth + 3 * LegendCharWidth_;
      rowHeight = std::max(rowHeight, 3 * scaled.HalfHeight);
    } else if (const auto* ls = std::get_if<TbmLineSymbolClass>(&entry.Part)) {
      TbmSymbolClass scaled = *ls;
      UpdateHalfSizes(scaled);
      sample = 6 * scaled.HalfWidth + 3 * LegendCharWidth_;
      rowHeight = std::max(rowHeight, 3 * scaled.HalfHeight);
    }
    lg.SampleWidth = std::max(lg.SampleWidth, sample);
  }
  c.SetFont(savedFont);
  if (lg.EntryCount == 0) return;
  lg.RowHeight = rowHeight;
  lg.TotalRowHeight = lg.EntryCount * rowHeight;
  lg.EntryWidth = lg.SampleWidth + widestText;

  const auto& plot = Parts_->PlotArea.Rect;
  if (IsVertical(lg)) {
    const int plotHeight = plot.bottom - plot.top;
    int columnHeight = 0;
    LegendColumns_ = 1;
    for (int i = 0; i < lg.EntryCount; ++i) {
      if (StartsNewColumn(columnHeight, rowHeight, plotHeight)) {
        ++LegendColumns_;
        columnHeight = 0;
      }
      columnHeight += rowHeight;
    }
    lg.Rect = {0, 0, LegendColumns_ * lg.EntryWidth + LegendCharWidth_, plot.bottom - plot.top};
  } else {
    // At least one entry per row, even when one entry is wider than the plot.
    LegendColumns_ = std::max(1, (plot.right - plot.left) / std::max(1, lg.EntryWidth));
    const int rows = (lg.EntryCount + LegendColumns_ - 1) / LegendColumns_;
    lg.Rect = {0, 0, plot.right - plot.left, rows * rowHeight};
  }
}
