#pragma once
// Shared helpers of the plot engine tests: a paint box on a recording canvas
// and a style list with one entry of every kind.

#include <memory>
#include <string>

#include "plot/bm2DPaintBox.h"
#include "platform/record/RecordingCanvas.h"

struct PlotOnRecorder {
  PlotOnRecorder(int dpi, int width, int height)
      : canvas(dpi, dpi), box(std::make_unique<Tbm2DPaintBox>(canvas, width, height)) {}
  TbmPlot2DPlotPartsClass& parts() { return box->Parts(); }
  plat::RecordingCanvas canvas;
  std::unique_ptr<Tbm2DPaintBox> box;
};

// Line "Line", symbol "Sym", line with symbol "LS", bar "Bar" in the legend;
// a text, a quadrilateral and a symbol left out of it.
inline TbmStyleList MakeLegendStyles() {
  TbmStyleList list;
  int id = 0;
  auto add = [&](TbmStylePart part, std::string text) { list.push_back({++id, std::move(text), std::move(part)}); };
  auto inLegend = [](auto part) {
    part.InLegend = true;
    return part;
  };
  add(inLegend(TbmLineClass{}), "Line");
  add(inLegend(TbmSymbolClass{}), "Sym");
  add(inLegend(TbmLineSymbolClass{}), "LS");
  add(inLegend(TbmBarClass{}), "Bar");
  add(TbmTextClass{}, "Text never counts");
  add(TbmQuadClass{}, "Quad never counts");
  add(TbmSymbolClass{}, "Not in legend");
  return list;
}
