#pragma once
// The drawing surface of a plot window: owns the plot parts, lays them out for
// a device size, paints the frame (margins, titles, axes, legend, frame) and
// draws data in world coordinates with its current styles.
//
// Screen, printer and metafile run the same code; only the target canvas, its
// resolution and the size laid out for change.

#include <functional>
#include <memory>
#include <string>

#include "plot/bmParts.h"

class Tbm2DPaintBox {
 public:
  // Makes `ownCanvas` the target and lays out once for the given size.
  Tbm2DPaintBox(plat::Canvas& ownCanvas, int width, int height);

  TbmPlot2DPlotPartsClass& Parts() { return *Parts_; }
  const TbmPlot2DPlotPartsClass& Parts() const { return *Parts_; }

  // Target canvas and its resolution.
  void SelectCanvas(plat::Canvas& canvas);
  plat::Canvas& TargetCanvas() const { return *Canvas_; }
  plat::Canvas& OwnCanvas() const { return *OwnCanvas_; }
  int HorzResolution() const { return HRes_; }
  int VertResolution() const { return VRes_; }

  bool Printing = false;
  bool Degraded() const { return Degraded_; }

  // Called by AdjustAspect to resize the window's client area.
  std::function<void(int width, int height)> OnSetClientSize;

  // The paint box's own size (the window's client area).
  void SetClientSize(int width, int height);
  int ClientWidth() const { return ClientWidth_; }
  // The area last laid out: the window's client area, or the printed page.
  plat::Rect LaidOutArea() const { return {0, 0, LayoutWidth_, LayoutHeight_}; }
  int ClientHeight() const { return ClientHeight_; }

  // AdjustAspect then SetUpPlot.
  void Layout(int width, int height);
  // On the screen with print preview on: shrinks the client area to the page's
  // proportions; width and height become the (new) client size.
  void AdjustAspect(int& width, int& height);
  // Computes every part rectangle for a device of width x height pixels.
  void SetUpPlot(int width, int height);

  // Page scale factors of print preview (1 when printing or not previewing).
  double ScaleX() const;
  double ScaleY() const;

  // Painting the frame.
  void FormPaint() { PaintPlot(); }
  void PaintPlot();
  void DrawAxis(const TbmAxisClass& axis);
  void DrawReferenceLines(const TbmAxisClass& axis, const TbmAxisClass& otherAxis);
  void setupLegend();
  void fillLegend();
  // Whether the legend takes part in the layout: shown, switched on by the
  // client and with at least one entry.
  bool LegendActive() const;

  // Current styles, copied from registered ones before drawing.
  void SetCurrentLine(const TbmLineClass& line);
  void SetCurrentSymbol(const TbmSymbolClass& symbol);
  void SetCurrentLineSymbol(const TbmLineSymbolClass& lineSymbol);
  void SetCurrentBar(const TbmBarClass& bar);
  const TbmLineClass& CurrentLine() const { return *CurLine_; }
  const TbmSymbolClass& CurrentSymbol() const { return *CurSymbol_; }
  const TbmLineSymbolClass& CurrentLineSymbol() const { return *CurLineSymbol_; }
  const TbmBarClass& CurrentBar() const { return *CurBar_; }

  // Drawing in world coordinates.
  void DrawLine(double x1, double y1, double x2, double y2);
  void DrawSymbolAt(double x, double y);
  void DrawTextAt(const TbmTextClass& text, const std::string& s, double x, double y);
  void DrawQuadAt(const TbmQuadClass& quad, const double (&xs)[4], const double (&ys)[4]);

  // Clip to the plot rectangle (left, top, right + 1, bottom + 1).
  void ClipToPlot();
  // The symbol's pixel half sizes for the target canvas and page scale.
  void UpdateHalfSizes(TbmSymbolClass& symbol) const;

 private:
  double PageScale(int clientPixels, int resolution, double pageInches) const;
  void ComputePixelSizes();
  void LayoutMargins(int width, int height);
  void LayoutTitlesAndAxes();
  void CentrePlot();
  void PlaceLegend();
  void FitOrDegrade(int width, int height);
  void LayoutDegraded(int width, int height);
  void PreserveAspect();
  int FontPoints(int size) const;
  int TextHeightIn(const plat::Font& font, const std::string& text) const;
  int TextWidthIn(const plat::Font& font, const std::string& text) const;
  int WidestScaleText(const TbmAxisClass& axis) const;
  void DrawTick(const TbmAxisClass& axis, long double v, int length);
  void DrawScaleNumber(const TbmAxisClass& axis, long double value, long double at, plat::Size measured);
  void DrawCentredLabel(const TbmLabelClass& label);
  void DrawLegendEntry(const TbmStyleEntry& entry, int x, int top);

  std::unique_ptr<TbmPlot2DPlotPartsClass> Parts_;
  std::unique_ptr<TbmLineClass> CurLine_;
  std::unique_ptr<TbmSymbolClass> CurSymbol_;
  std::unique_ptr<TbmLineSymbolClass> CurLineSymbol_;
  std::unique_ptr<TbmBarClass> CurBar_;
  plat::Canvas* OwnCanvas_;
  plat::Canvas* Canvas_;
  int HRes_ = 96;
  int VRes_ = 96;
  bool Degraded_ = true;
  int ClientWidth_ = 0;
  int ClientHeight_ = 0;
  int LayoutWidth_ = 0;  // the device size last laid out for
  int LayoutHeight_ = 0;
  int LegendColumns_ = 0;    // vertical list: columns; rows across: entries per row
  int LegendCharWidth_ = 0;  // the legend font's mean character width
};
