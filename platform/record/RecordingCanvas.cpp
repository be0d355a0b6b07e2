#include "platform/record/RecordingCanvas.h"

#include <algorithm>

#include "platform/Clipboard.h"
#include "rtl/Convert.h"
#include "rtl/Format.h"

namespace plat {

namespace {

const char* KindName(OpKind kind) {
  switch (kind) {
    case OpKind::Line: return "Line";
    case OpKind::Polyline: return "Polyline";
    case OpKind::Polygon: return "Polygon";
    case OpKind::Rectangle: return "Rectangle";
    case OpKind::Ellipse: return "Ellipse";
    case OpKind::FillRect: return "FillRect";
    case OpKind::TextOut: return "TextOut";
    case OpKind::TextRect: return "TextRect";
    case OpKind::SetClip: return "SetClip";
    case OpKind::RemoveClip: return "RemoveClip";
    case OpKind::TextCentred: return "TextCentred";
    case OpKind::Pixel: return "Pixel";
    case OpKind::FocusRect: return "FocusRect";
    case OpKind::Picture: return "Picture";
  }
  return "?";
}

std::string RectText(const Rect& r) { return rtl::Format("(%d,%d,%d,%d)", r.left, r.top, r.right, r.bottom); }

}  // namespace

std::string ToString(const CanvasOp& op) {
  std::string s = KindName(op.kind);
  for (const Point& p : op.points) s += rtl::Format(" (%d,%d)", p.x, p.y);
  if (op.kind == OpKind::Rectangle || op.kind == OpKind::Ellipse || op.kind == OpKind::FillRect ||
      op.kind == OpKind::TextRect || op.kind == OpKind::SetClip || op.kind == OpKind::TextCentred ||
      op.kind == OpKind::FocusRect || op.kind == OpKind::Picture)
    s += " " + RectText(op.rect);
  if (op.kind == OpKind::Pixel || op.kind == OpKind::Picture) s += rtl::Format(" color=%x", op.color);
  if (!op.text.empty()) s += " \"" + op.text + "\"";
  if (op.font.angle != 0) s += rtl::Format(" angle=%d", op.font.angle);
  s +=
      rtl::Format(" pen=%x/%d/%d brush=%x/%d font=%s/%d/%x", op.pen.color, static_cast<int>(op.pen.style), op.pen.width,
                  op.brush.color, static_cast<int>(op.brush.style), op.font.name, op.font.size, op.font.color);
  return s;
}

RecordingCanvas::RecordingCanvas(int dpiX, int dpiY) : dpiX_(dpiX), dpiY_(dpiY) {}

int RecordingCanvas::FontHeight(int points) const {
  return std::max<int>(1, static_cast<int>(rtl::Round(static_cast<long double>(points) * dpiY_ / 72)));
}

int RecordingCanvas::CharWidth(int points) const { return std::max(1, FontHeight(points) / 2); }

Size RecordingCanvas::TextExtent(std::string_view text) const {
  const int points = GetFont().size;
  return {static_cast<int>(text.size()) * CharWidth(points), FontHeight(points)};
}

CanvasOp& RecordingCanvas::Record(OpKind kind) {
  CanvasOp& op = ops_.emplace_back();
  op.kind = kind;
  op.pen = GetPen();
  op.brush = GetBrush();
  op.font = GetFont();
  return op;
}

void RecordingCanvas::Line(int x1, int y1, int x2, int y2) { Record(OpKind::Line).points = {{x1, y1}, {x2, y2}}; }
void RecordingCanvas::Polyline(const std::vector<Point>& points) { Record(OpKind::Polyline).points = points; }
void RecordingCanvas::Polygon(const std::vector<Point>& points) { Record(OpKind::Polygon).points = points; }
void RecordingCanvas::Rectangle(const Rect& r) { Record(OpKind::Rectangle).rect = r; }
void RecordingCanvas::Ellipse(const Rect& r) { Record(OpKind::Ellipse).rect = r; }
void RecordingCanvas::FillRect(const Rect& r) { Record(OpKind::FillRect).rect = r; }

void RecordingCanvas::TextOut(int x, int y, std::string_view text) {
  CanvasOp& op = Record(OpKind::TextOut);
  op.points = {{x, y}};
  op.text = std::string(text);
}

void RecordingCanvas::TextRect(const Rect& r, int x, int y, std::string_view text) {
  CanvasOp& op = Record(OpKind::TextRect);
  op.rect = r;
  op.points = {{x, y}};
  op.text = std::string(text);
}

void RecordingCanvas::SetClipRect(const Rect& r) {
  Record(OpKind::SetClip).rect = r;
  clip_ = r;
}

void RecordingCanvas::RemoveClip() {
  Record(OpKind::RemoveClip);
  clip_.reset();
}

void RecordingCanvas::DrawTextCentred(const Rect& r, std::string_view text) {
  CanvasOp& op = Record(OpKind::TextCentred);
  op.rect = r;
  op.text = std::string(text);
}

void RecordingCanvas::SetPixel(int x, int y, Color color) {
  CanvasOp& op = Record(OpKind::Pixel);
  op.points = {{x, y}};
  op.color = color;
}

void RecordingCanvas::DrawFocusRect(const Rect& r) { Record(OpKind::FocusRect).rect = r; }

void RecordingCanvas::CopyTransparent(int x, int y, const RasterImage& image, const Rect& source, Color transparent) {
  const Rect part = CutToPicture(source, image.width, image.height);
  if (part.right <= part.left || part.bottom <= part.top) return;
  CanvasOp& op = Record(OpKind::Picture);
  op.points = {{part.left, part.top}};
  const int left = x + part.left - source.left, top = y + part.top - source.top;
  op.rect = {left, top, left + part.Width(), top + part.Height()};
  op.color = transparent;
}

std::vector<CanvasOp> RecordingCanvas::OpsOf(OpKind kind) const {
  std::vector<CanvasOp> out;
  std::copy_if(ops_.begin(), ops_.end(), std::back_inserter(out),
               [kind](const CanvasOp& op) { return op.kind == kind; });
  return out;
}

std::string RecordingCanvas::Dump() const {
  std::string s;
  for (const CanvasOp& op : ops_) s += ToString(op) + "\n";
  return s;
}

}  // namespace plat
