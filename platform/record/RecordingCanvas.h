#pragma once
// A canvas for tests: it draws nothing and records every drawing operation
// with the pen, brush and font in force at that moment.
//
// Text metrics are fixed so that layouts can be worked out by hand: a font of
// s points is Round(s x dpiY / 72) pixels high (at least 1), and every
// character, blanks included, is half that height wide (integer division, at
// least 1). A text's extent is (characters x character width, height).

#include <optional>
#include <string>
#include <vector>

#include "platform/Canvas.h"

namespace plat {

enum class OpKind {
  Line,
  Polyline,
  Polygon,
  Rectangle,
  Ellipse,
  FillRect,
  TextOut,
  TextRect,
  SetClip,
  RemoveClip,
  TextCentred,
  Pixel,
  FocusRect,
  Picture
};

struct CanvasOp {
  OpKind kind = OpKind::Line;
  std::vector<Point> points;  // Line: the two ends; Polyline, Polygon: the points; Pixel: the pixel;
                              // Picture: the top-left corner of the part copied
  Rect rect;                  // Rectangle, Ellipse, FillRect, TextRect, SetClip, TextCentred, FocusRect;
                              // Picture: where the part goes
  Color color = clBlack;      // Pixel; Picture: the transparent colour
  std::string text;           // TextOut, TextRect (the position is points[0]), TextCentred
  Pen pen;
  Brush brush;
  Font font;
};

// One line of text per operation, for readable test failures.
std::string ToString(const CanvasOp& op);

class RecordingCanvas : public Canvas {
 public:
  explicit RecordingCanvas(int dpiX = 96, int dpiY = 96);

  int DpiX() const override { return dpiX_; }
  int DpiY() const override { return dpiY_; }
  Size TextExtent(std::string_view text) const override;

  void Line(int x1, int y1, int x2, int y2) override;
  void Polyline(const std::vector<Point>& points) override;
  void Polygon(const std::vector<Point>& points) override;
  void Rectangle(const Rect& r) override;
  void Ellipse(const Rect& r) override;
  void FillRect(const Rect& r) override;
  void TextOut(int x, int y, std::string_view text) override;
  void TextRect(const Rect& r, int x, int y, std::string_view text) override;
  void SetClipRect(const Rect& r) override;
  void RemoveClip() override;
  Rect ClipBox() const override { return clip_ ? *clip_ : Canvas::ClipBox(); }
  void DrawTextCentred(const Rect& r, std::string_view text) override;
  void SetPixel(int x, int y, Color color) override;
  void DrawFocusRect(const Rect& r) override;
  void CopyTransparent(int x, int y, const RasterImage& image, const Rect& source, Color transparent) override;

  // Pixel height and character width of a font of the given points here.
  int FontHeight(int points) const;
  int CharWidth(int points) const;

  const std::vector<CanvasOp>& Ops() const { return ops_; }
  std::vector<CanvasOp> OpsOf(OpKind kind) const;
  void Clear() { ops_.clear(); }
  // The clip in force, if any.
  const std::optional<Rect>& Clip() const { return clip_; }
  // All operations, one per line.
  std::string Dump() const;

 private:
  CanvasOp& Record(OpKind kind);

  int dpiX_;
  int dpiY_;
  std::vector<CanvasOp> ops_;
  std::optional<Rect> clip_;
};

}  // namespace plat
