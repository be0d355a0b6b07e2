#pragma once
// A plot that shows every part of the engine: titles, both axes with scale
// numbers and reference lines, a legend with every symbol kind, a line, a
// line with symbols and a bar, and data drawn with each style. Fonts are named
// explicitly so that the rendering is the same on every machine that has
// them.

#include <string>

#include "plot/bm2DPaintBox.h"

namespace plotsample {

inline constexpr const char* kFont = "Liberation Sans";
inline constexpr plat::Color kColours[8] = {0x000000, 0x000080, 0x008000, 0x008080,
                                            0x800000, 0x800080, 0x808000, 0x808080};

inline TbmStyleList MakeStyles() {
  TbmStyleList list;
  int id = 0;
  for (std::uint8_t kind = 0; kind < 8; ++kind) {
    TbmSymbolClass s;
    s.Kind = kind;
    s.Size = 10;
    s.Fill = {kColours[(kind + 1) % 8], plat::BrushStyle::Solid};
    if (kind >= bmCross) s.Outline.color = plat::clWhite;
    s.InLegend = true;
    list.push_back({++id, bmSymbolNames[kind], s});
  }
  TbmLineClass line;
  line.Pen = {0x000080, plat::PenStyle::Dash, 1};
  line.InLegend = true;
  list.push_back({++id, "Dashed line", line});
  TbmLineSymbolClass ls;
  ls.Kind = bmDiamond;
  ls.Size = 10;
  ls.Fill = {0x008000, plat::BrushStyle::Solid};
  ls.LinePen = {0x008000, plat::PenStyle::Solid, 2};
  ls.InLegend = true;
  list.push_back({++id, "Line+symbol", ls});
  TbmBarClass bar;
  bar.Hatch = {0x800000, plat::BrushStyle::DiagCross};
  bar.Background = {0x00FFFF, plat::BrushStyle::Solid};
  bar.InLegend = true;
  list.push_back({++id, "Bar", bar});
  return list;
}

// Lays out and paints the frame, then draws data with every style.
inline void Draw(Tbm2DPaintBox& box, const TbmStyleList& styles, int width, int height) {
  auto& p = box.Parts();
  for (plat::Font* f : {&p.Title.Font, &p.SubTitle.Font, &p.XAxisTitle.Font, &p.YAxisTitle.Font, &p.Legend.Font,
                        &p.XAxis.ScaleFont, &p.YAxis.ScaleFont})
    f->name = kFont;
  p.Title.Text = "Every symbol";
  p.SubTitle.Text = "frame, axes and legend";
  p.XAxisTitle.Text = "Axis 1";
  p.YAxisTitle.Text = "Axis 2";
  p.XAxis.SetMin(-1);
  p.XAxis.SetMax(8);
  p.YAxis.SetMin(0);
  p.YAxis.SetMax(4);
  p.XAxis.RefLineCount = 2;
  p.YAxis.RefLinePen = {0xC0C0C0, plat::PenStyle::Dot, 1};
  p.YAxis.RefLineCount = 3;
  p.PlotAreaColor = 0xF0FFFF;
  p.Legend.Styles = &styles;
  p.Legend.Display = true;
  box.Layout(width, height);
  box.PaintPlot();
  box.ClipToPlot();
  for (const TbmStyleEntry& e : styles) {
    if (const auto* s = std::get_if<TbmSymbolClass>(&e.Part)) {
      box.SetCurrentSymbol(*s);
      const double x = s->Kind;
      box.DrawSymbolAt(x, 1 + 0.25 * s->Kind);
      box.DrawSymbolAt(x, 3.5);
    } else if (const auto* l = std::get_if<TbmLineClass>(&e.Part)) {
      box.SetCurrentLine(*l);
      box.DrawLine(-1, 0, 9, 4.5);  // runs past the plot and is cut
    } else if (const auto* ls = std::get_if<TbmLineSymbolClass>(&e.Part)) {
      box.SetCurrentLineSymbol(*ls);
      const int x1 = p.XAxis.ValueToDevice(0), y1 = p.YAxis.ValueToDevice(0.5);
      const int x2 = p.XAxis.ValueToDevice(3), y2 = p.YAxis.ValueToDevice(0.5);
      box.CurrentLineSymbol().Draw(box.TargetCanvas(), x1, y1, x2, y2, false, true);
    } else if (const auto* b = std::get_if<TbmBarClass>(&e.Part)) {
      b->Draw(box.TargetCanvas(), p.XAxis.ValueToDevice(4.5), p.YAxis.ValueToDevice(1.5), p.XAxis.ValueToDevice(5.5),
              p.YAxis.ValueToDevice(0));
    }
  }
  TbmQuadClass quad;
  quad.Hatch = {0x000080, plat::BrushStyle::FDiagonal};
  quad.Background = {0xE0E0E0, plat::BrushStyle::Solid};
  box.DrawQuadAt(quad, {6, 7.5, 8.5, 6.5}, {0.2, 0.3, 1.2, 1.4});
  TbmTextClass text;
  text.Font.name = kFont;
  text.Alignment = 8;
  box.DrawTextAt(text, "text right and below", 0, 2.5);
  box.TargetCanvas().RemoveClip();
}

}  // namespace plotsample
