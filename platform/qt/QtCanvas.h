#pragma once
// The canvas over the toolkit's painter: a widget in its paint event, an image
// or a printer page. The painter stays the caller's; the canvas only draws
// with it. Pen widths, dash patterns and hatches are in screen pixels, grown
// on a finer device (a printer page), so that a plot prints as it shows. Pens
// wider than one pixel draw solid, whatever their style. The focus rectangle
// inverts pixels, which needs a raster device (a widget or an image).

#include <QPainter>
#include <QPaintDevice>

#include "platform/Canvas.h"

namespace plat {

class QtCanvas : public Canvas {
 public:
  QtCanvas(QPainter& painter, QPaintDevice& device);

  int DpiX() const override;
  int DpiY() const override;
  Size TextExtent(std::string_view text) const override;
  TextMetrics GetTextMetrics() const override;

  void Line(int x1, int y1, int x2, int y2) override;
  void Polyline(const std::vector<Point>& points) override;
  void Polygon(const std::vector<Point>& points) override;
  void Rectangle(const Rect& r) override;
  void Ellipse(const Rect& r) override;
  void FillRect(const Rect& r) override;
  void TextOut(int x, int y, std::string_view text) override;
  void TextRect(const Rect& r, int x, int y, std::string_view text) override;
  void TextOutCells(int x, int y, std::string_view text, int cellWidth) override;
  void SetClipRect(const Rect& r) override;
  void RemoveClip() override;
  Rect ClipBox() const override;
  void DrawTextCentred(const Rect& r, std::string_view text) override;
  void SetPixel(int x, int y, Color color) override;
  void DrawFocusRect(const Rect& r) override;
  void CopyTransparent(int x, int y, const RasterImage& image, const Rect& source, Color transparent) override;

 private:
  // The pen, with its mode.
  void UsePen();
  // Drawing that the pen mode does not concern (fills, text) copies.
  void UsePlainMode();
  void UseBrush();
  void UseFont() const;
  // Device pixels per screen pixel, for pen widths, dash patterns and hatches.
  double PatternScale() const;
  // The pen's width in device pixels, and whether it is grown past the screen's pixel.
  double DeviceWidth() const;
  bool Widened() const;
  // Solid lines of one device pixel, set pixel by pixel by the platform's rule.
  bool ThinSolidPen() const;
  void StrokePixels(const std::vector<Point>& points, bool closed);

  QPainter& painter_;
  QPaintDevice& device_;
};

}  // namespace plat
