#pragma once
// What a plot client drew on a recording canvas: the operations between
// BeginDataPaint's clip to the plot and EndDataPaint's, and the device
// point of a world point.

#include <algorithm>
#include <initializer_list>
#include <vector>

#include "platform/record/RecordingCanvas.h"
#include "plot/bm2DPlot.h"

namespace plottest {

// The operations of the kinds given drawn between the data paint's clips.
inline std::vector<plat::CanvasOp> DataOps(const plat::RecordingCanvas& canvas, const Tbm2DPlot& plot,
                                           std::initializer_list<plat::OpKind> kinds) {
  const auto& r = plot.Parts().PlotArea.Rect;
  const plat::Rect plotClip{r.left, r.top, r.right + 1, r.bottom + 1};
  std::vector<plat::CanvasOp> result;
  bool inData = false;
  for (const plat::CanvasOp& op : canvas.Ops()) {
    if (op.kind == plat::OpKind::SetClip) {
      if (op.rect == plotClip)
        inData = true;
      else if (inData)
        break;
    }
    if (inData && std::find(kinds.begin(), kinds.end(), op.kind) != kinds.end()) result.push_back(op);
  }
  return result;
}

inline plat::Point Device(const Tbm2DPlot& plot, double x, double y) {
  const auto& parts = plot.Parts();
  return {parts.XAxis.ValueToDevice(x), parts.YAxis.ValueToDevice(y)};
}

// The centre of a symbol drawn as a circle, square or polygon.
inline plat::Point SymbolCentre(const plat::CanvasOp& op) {
  if (op.kind == plat::OpKind::Ellipse || op.kind == plat::OpKind::Rectangle)
    return {(op.rect.left + op.rect.right - 1) / 2, (op.rect.top + op.rect.bottom - 1) / 2};
  int left = op.points.at(0).x, right = left, top = op.points.at(0).y, bottom = top;
  for (const plat::Point& p : op.points) {
    left = std::min(left, p.x);
    right = std::max(right, p.x);
    top = std::min(top, p.y);
    bottom = std::max(bottom, p.y);
  }
  return {(left + right) / 2, (top + bottom) / 2};
}

}  // namespace plottest
