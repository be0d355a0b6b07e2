#include "plot/bmMainOptions.h"

#include <utility>

namespace {

void RestoreLabel(const TbmLabelClass& from, TbmLabelClass& to) {
  to.Text = from.Text;
  to.Font = from.Font;
  to.Size = from.Size;
}

void RestoreAxis(const TbmAxisClass& from, TbmAxisClass& to) {
  to.ShowScale = from.ShowScale;
  to.ScaleWidth = from.ScaleWidth;
  to.ScaleDecimals = from.ScaleDecimals;
  to.ScaleFont = from.ScaleFont;
  to.ScaleFontSize = from.ScaleFontSize;
  to.TicksInside = from.TicksInside;
  to.MajorCount = from.MajorCount;
  to.MajorLength = from.MajorLength;
  to.MinorCount = from.MinorCount;
  to.MinorLength = from.MinorLength;
  to.RefLineCount = from.RefLineCount;
  to.RefLinePen = from.RefLinePen;
  to.AxisPen = from.AxisPen;
}

void RestoreLegend(const TbmLegendClass& from, TbmLegendClass& to) {
  to.Show = from.Show;
  to.Font = from.Font;
  to.FontSize = from.FontSize;
  to.Placement = from.Placement;
  to.EntryCount = from.EntryCount;
  to.Background = from.Background;
}

}  // namespace

void RestoreMainOptionsBackup(const TbmPlot2DPlotPartsClass& from, TbmPlot2DPlotPartsClass& to) {
  to.MarginColor = from.MarginColor;
  to.InnerMarginColor = from.InnerMarginColor;
  to.PlotAreaColor = from.PlotAreaColor;
  to.FramePen = from.FramePen;
  to.CenterPlot = from.CenterPlot;
  to.ShowFrame = from.ShowFrame;
  to.TopMargin = from.TopMargin;
  to.BottomMargin = from.BottomMargin;
  to.LeftMargin = from.LeftMargin;
  to.RightMargin = from.RightMargin;
  RestoreLabel(from.Title, to.Title);
  RestoreLabel(from.SubTitle, to.SubTitle);
  RestoreLabel(from.XAxisTitle, to.XAxisTitle);
  RestoreLabel(from.YAxisTitle, to.YAxisTitle);
  RestoreAxis(from.XAxis, to.XAxis);
  RestoreAxis(from.YAxis, to.YAxis);
  RestoreLegend(from.Legend, to.Legend);
  to.PrintPreview = from.PrintPreview;
  to.PageWidth = from.PageWidth;
  to.PageHeight = from.PageHeight;
  to.PageOrientation = from.PageOrientation;
}

TbmMainPlotOptions::TbmMainPlotOptions(TbmPlot2DPlotPartsClass& parts, std::function<void()> apply)
    : parts_(parts), backup_(parts), apply_(std::move(apply)) {}

int TbmMainPlotOptions::FrameStyleIndex() const { return CodeOfLineStyle(parts_.FramePen.style); }

template <class F>
void TbmMainPlotOptions::Change(F change) {
  if (Loading) return;
  change();
  Apply();
}

void TbmMainPlotOptions::Apply() {
  if (apply_) apply_();
}

void TbmMainPlotOptions::SetCenter(bool center) {
  Change([&] { parts_.CenterPlot = center; });
}

void TbmMainPlotOptions::SetShowFrame(bool show) {
  Change([&] { parts_.ShowFrame = show; });
}

void TbmMainPlotOptions::SetPreserveAspect(bool preserve) {
  Change([&] { parts_.PreserveAspect = preserve; });
}

void TbmMainPlotOptions::SetFrameWidth(int width) {
  if (width < kMinFrameWidth || width > kMaxFrameWidth) return;
  Change([&] { parts_.FramePen.width = width; });
}

void TbmMainPlotOptions::SetFrameStyle(int index) {
  Change([&] { parts_.FramePen.style = LineStyleOfCode(index); });
}

void TbmMainPlotOptions::SetLegendShow(bool show) {
  Change([&] { parts_.Legend.Show = show; });
}

void TbmMainPlotOptions::SetLegendPlacement(int placement) {
  if (placement == parts_.Legend.Placement) return;
  Change([&] { parts_.Legend.Placement = static_cast<std::uint8_t>(placement); });
}

plat::Color TbmMainPlotOptions::ColorOf(TbmPlotColor which) const {
  switch (which) {
    case TbmPlotColor::Margin: return parts_.MarginColor;
    case TbmPlotColor::PlotArea: return parts_.PlotAreaColor;
    case TbmPlotColor::InnerMargin: return parts_.InnerMarginColor;
    case TbmPlotColor::Frame: break;
  }
  return parts_.FramePen.color;
}

void TbmMainPlotOptions::SetColor(TbmPlotColor which, plat::Color color) {
  Change([&] {
    switch (which) {
      case TbmPlotColor::Margin: parts_.MarginColor = color; break;
      case TbmPlotColor::PlotArea: parts_.PlotAreaColor = color; break;
      case TbmPlotColor::InnerMargin: parts_.InnerMarginColor = color; break;
      case TbmPlotColor::Frame: parts_.FramePen.color = color; break;
    }
  });
}

void TbmMainPlotOptions::SetLegendFont(const plat::Font& font, int size) {
  Change([&] {
    parts_.Legend.Font = font;
    parts_.Legend.FontSize = size;
  });
}

int& TbmMainPlotOptions::MarginSize(TbmMarginSide side) {
  switch (side) {
    case TbmMarginSide::Top: return parts_.TopMargin.Size;
    case TbmMarginSide::Left: return parts_.LeftMargin.Size;
    case TbmMarginSide::Bottom: return parts_.BottomMargin.Size;
    case TbmMarginSide::Right: break;
  }
  return parts_.RightMargin.Size;
}

void TbmMainPlotOptions::Close() {
  if (!okPressed_) RestoreMainOptionsBackup(backup_, parts_);
  Apply();
}
