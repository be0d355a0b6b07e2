#include "platform/qt/QtCanvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QImage>
#include <QList>
#include <QPolygon>

#include "platform/Clipboard.h"
#include "platform/qt/Peer.h"

namespace plat {

namespace {

Qt::PenStyle ToQtPenStyle(const Pen& pen) {
  if (pen.style == PenStyle::Clear) return Qt::NoPen;
  if (pen.width > 1) return Qt::SolidLine;
  switch (pen.style) {
    case PenStyle::Dash: return Qt::DashLine;
    case PenStyle::Dot: return Qt::DotLine;
    case PenStyle::DashDot: return Qt::DashDotLine;
    case PenStyle::DashDotDot: return Qt::DashDotDotLine;
    default: return Qt::SolidLine;
  }
}

Qt::BrushStyle ToQtBrushStyle(BrushStyle style) {
  switch (style) {
    case BrushStyle::Clear: return Qt::NoBrush;
    case BrushStyle::Horizontal: return Qt::HorPattern;
    case BrushStyle::Vertical: return Qt::VerPattern;
    case BrushStyle::FDiagonal: return Qt::FDiagPattern;
    case BrushStyle::BDiagonal: return Qt::BDiagPattern;
    case BrushStyle::Cross: return Qt::CrossPattern;
    case BrushStyle::DiagCross: return Qt::DiagCrossPattern;
    default: return Qt::SolidPattern;
  }
}

// Dash patterns and hatches are drawn in the screen's pixels: on a device of
// finer resolution they grow with it, or a printed dashed line comes out solid.
constexpr double kScreenDpi = 96.0;
constexpr int kHatchTile = 8;  // the side of a hatch's repeat, in screen pixels
// A pen grown to this many device pixels or more is drawn as a wide line; a
// thinner one keeps the screen's rule of one pixel.
constexpr double kWidenedPen = 1.5;

QBrush ToQBrush(const Brush& brush, double patternScale) {
  QBrush q(qtbridge::ToQColor(brush.color), ToQtBrushStyle(brush.style));
  const bool hatched = q.style() != Qt::NoBrush && q.style() != Qt::SolidPattern;
  if (!hatched || patternScale == 1.0) return q;
  // The hatch's tile grown to the device: every device, printers too, repeats a tile in its own pixels.
  QImage tile(kHatchTile, kHatchTile, QImage::Format_ARGB32_Premultiplied);
  tile.fill(Qt::transparent);
  QPainter painter(&tile);
  painter.fillRect(tile.rect(), q);
  painter.end();
  const int side = static_cast<int>(std::lround(kHatchTile * patternScale));
  return QBrush(tile.scaled(side, side, Qt::IgnoreAspectRatio, Qt::FastTransformation));
}

void ScaleDashes(QPen& q, double patternScale) {
  if (q.style() == Qt::SolidLine || q.style() == Qt::NoPen || patternScale == 1.0) return;
  QList<qreal> pattern = q.dashPattern();
  for (qreal& length : pattern) length *= patternScale;
  q.setDashPattern(pattern);
}

QPolygon ToQPolygon(const std::vector<Point>& points) {
  QPolygon polygon;
  for (const Point& p : points) polygon << QPoint(p.x, p.y);
  return polygon;
}

// The pixels of a segment as the platform sets them: from its start, stepping
// along the longer axis, up to but without its end, whatever its direction.
// (The toolkit's own thin lines leave out the lower or right end instead.)
void AddSegmentPixels(Point from, Point to, QPolygon& pixels) {
  const int dx = std::abs(to.x - from.x);
  const int dy = -std::abs(to.y - from.y);
  const int sx = from.x < to.x ? 1 : -1;
  const int sy = from.y < to.y ? 1 : -1;
  int err = dx + dy;
  for (Point p = from; p != to;) {
    pixels << QPoint(p.x, p.y);
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      p.x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      p.y += sy;
    }
  }
}

// The rectangle of pixels r.left .. r.right - 1 and r.top .. r.bottom - 1.
QRect PixelRect(const Rect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }

}  // namespace

QtCanvas::QtCanvas(QPainter& painter, QPaintDevice& device) : painter_(painter), device_(device) {
  painter_.setRenderHint(QPainter::Antialiasing, false);
  painter_.setBackgroundMode(Qt::TransparentMode);
}

int QtCanvas::DpiX() const { return device_.logicalDpiX(); }
int QtCanvas::DpiY() const { return device_.logicalDpiY(); }
double QtCanvas::PatternScale() const { return device_.logicalDpiX() / kScreenDpi; }

// A pen's width is in screen pixels too: on a finer device (a printer, a
// picture saved at a page's resolution) it grows with the device, so that a
// line comes out as wide as it shows; a line one device pixel wide is lost in
// print.
double QtCanvas::DeviceWidth() const { return std::max(GetPen().width, 1) * std::max(PatternScale(), 1.0); }

void QtCanvas::UsePen() {
  const Pen& pen = GetPen();
  QPen q(qtbridge::ToQColor(pen.color));
  q.setStyle(ToQtPenStyle(pen));
  q.setCapStyle(Qt::FlatCap);
  q.setJoinStyle(Qt::MiterJoin);
  if (!Widened()) {
    q.setWidth(std::max(pen.width, 1));
    ScaleDashes(q, PatternScale());
  } else {
    // The toolkit's dash patterns are in pen widths: they grow with the pen.
    q.setWidthF(DeviceWidth());
    // Square ends close the corners where a horizontal and a vertical line meet.
    if (q.style() == Qt::SolidLine) q.setCapStyle(Qt::SquareCap);
  }
  painter_.setPen(q);
  const bool xorMode = pen.mode == PenMode::Xor;
  painter_.setCompositionMode(xorMode ? QPainter::RasterOp_SourceXorDestination : QPainter::CompositionMode_SourceOver);
  // A patterned XOR pen puts white into its gaps, so that a black pattern shows.
  painter_.setBackground(Qt::white);
  painter_.setBackgroundMode(xorMode && q.style() != Qt::SolidLine ? Qt::OpaqueMode : Qt::TransparentMode);
}

void QtCanvas::UsePlainMode() {
  painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter_.setBackgroundMode(Qt::TransparentMode);
}

void QtCanvas::UseBrush() { painter_.setBrush(ToQBrush(GetBrush(), PatternScale())); }

void QtCanvas::UseFont() const { painter_.setFont(QFont(qtbridge::ToQFont(GetFont()), &device_)); }

Size QtCanvas::TextExtent(std::string_view text) const {
  const QFontMetrics metrics(qtbridge::ToQFont(GetFont()), &device_);
  return {metrics.horizontalAdvance(qtbridge::ToQt(std::string(text))), metrics.height()};
}

TextMetrics QtCanvas::GetTextMetrics() const {
  const QFontMetrics metrics(qtbridge::ToQFont(GetFont()), &device_);
  return {metrics.height(), std::max(0, metrics.leading()), std::max(1, metrics.averageCharWidth())};
}

// Thin solid lines are set pixel by pixel by the platform's rule; wider and
// patterned ones are the toolkit's.
bool QtCanvas::ThinSolidPen() const { return GetPen().style == PenStyle::Solid && DeviceWidth() < kWidenedPen; }

bool QtCanvas::Widened() const { return PatternScale() > 1.0 && DeviceWidth() >= kWidenedPen; }

void QtCanvas::StrokePixels(const std::vector<Point>& points, bool closed) {
  QPolygon pixels;
  for (std::size_t i = 1; i < points.size(); ++i) AddSegmentPixels(points[i - 1], points[i], pixels);
  if (closed && points.size() > 1) AddSegmentPixels(points.back(), points.front(), pixels);
  painter_.save();
  painter_.setPen(QPen(qtbridge::ToQColor(GetPen().color), 1));
  painter_.drawPoints(pixels);
  painter_.restore();
}

void QtCanvas::Line(int x1, int y1, int x2, int y2) { Polyline({{x1, y1}, {x2, y2}}); }

void QtCanvas::Polyline(const std::vector<Point>& points) {
  if (ThinSolidPen()) {
    StrokePixels(points, false);
    return;
  }
  UsePen();
  painter_.drawPolyline(ToQPolygon(points));
}

void QtCanvas::Polygon(const std::vector<Point>& points) {
  if (!ThinSolidPen()) {
    UsePen();
    UseBrush();
    painter_.drawPolygon(ToQPolygon(points));
    return;
  }
  painter_.setPen(Qt::NoPen);
  UseBrush();
  painter_.drawPolygon(ToQPolygon(points));
  StrokePixels(points, true);
}

void QtCanvas::Rectangle(const Rect& r) {
  if (GetPen().style == PenStyle::Clear) {
    FillRect(r);
    return;
  }
  UsePen();
  UseBrush();
  // The outline runs on the outermost pixels of the rectangle.
  painter_.drawRect(QRect(r.left, r.top, r.Width() - 1, r.Height() - 1));
}

void QtCanvas::Ellipse(const Rect& r) {
  UsePen();
  UseBrush();
  painter_.drawEllipse(QRect(r.left, r.top, r.Width() - 1, r.Height() - 1));
}

void QtCanvas::FillRect(const Rect& r) {
  if (GetBrush().style == BrushStyle::Clear) return;
  UsePlainMode();
  painter_.fillRect(PixelRect(r), ToQBrush(GetBrush(), PatternScale()));
}

void QtCanvas::TextOut(int x, int y, std::string_view text) {
  const Size extent = TextExtent(text);
  UsePlainMode();
  // A font at an angle turns the text, and its cell, about the text's top-left corner.
  painter_.save();
  painter_.translate(x, y);
  if (GetFont().angle != 0) painter_.rotate(-GetFont().angle / 10.0);
  if (GetBrush().style != BrushStyle::Clear)
    painter_.fillRect(QRect(0, 0, extent.cx, extent.cy), qtbridge::ToQColor(GetBrush().color));
  UseFont();
  painter_.setPen(qtbridge::ToQColor(GetFont().color));
  const QFontMetrics metrics(painter_.font(), &device_);
  painter_.drawText(QPoint(0, metrics.ascent()), qtbridge::ToQt(std::string(text)));
  painter_.restore();
}

void QtCanvas::TextOutCells(int x, int y, std::string_view text, int cellWidth) {
  if (text.empty()) return;
  UsePlainMode();
  QFont font(qtbridge::ToQFont(GetFont()), &device_);
  const QString qtext = qtbridge::ToQt(std::string(text));
  const QFontMetricsF metrics(font, &device_);
  // Letter spacing stretches or squeezes each advance to the cell width.
  font.setLetterSpacing(QFont::AbsoluteSpacing, cellWidth - metrics.horizontalAdvance(qtext) / qtext.size());
  if (GetBrush().style != BrushStyle::Clear) {
    painter_.fillRect(QRect(x, y, cellWidth * qtext.size(), qRound(metrics.height())),
                      qtbridge::ToQColor(GetBrush().color));
  }
  painter_.setFont(font);
  painter_.setPen(qtbridge::ToQColor(GetFont().color));
  painter_.drawText(QPointF(x, y + metrics.ascent()), qtext);
}

void QtCanvas::TextRect(const Rect& r, int x, int y, std::string_view text) {
  UsePlainMode();
  painter_.save();
  painter_.setClipRect(PixelRect(r), painter_.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
  if (GetBrush().style != BrushStyle::Clear) painter_.fillRect(PixelRect(r), qtbridge::ToQColor(GetBrush().color));
  const Brush brush = GetBrush();
  SetBrush({brush.color, BrushStyle::Clear});
  TextOut(x, y, text);
  SetBrush(brush);
  painter_.restore();
}

void QtCanvas::DrawTextCentred(const Rect& r, std::string_view text) {
  painter_.save();
  const QRect box = PixelRect(r);
  painter_.setClipRect(box, painter_.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
  UseFont();
  const int flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine | Qt::TextShowMnemonic;
  const QString title = qtbridge::ToQt(std::string(text));
  if (GetBrush().style != BrushStyle::Clear)
    painter_.fillRect(painter_.boundingRect(box, flags, title), qtbridge::ToQColor(GetBrush().color));
  painter_.setPen(qtbridge::ToQColor(GetFont().color));
  painter_.drawText(box, flags, title);
  painter_.restore();
}

void QtCanvas::SetPixel(int x, int y, Color color) { painter_.fillRect(QRect(x, y, 1, 1), qtbridge::ToQColor(color)); }

void QtCanvas::CopyTransparent(int x, int y, const RasterImage& image, const Rect& source, Color transparent) {
  const Rect part = CutToPicture(source, image.width, image.height);
  if (part.right <= part.left || part.bottom <= part.top) return;
  if (image.pixels.size() < static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height)) return;
  QImage copy(part.Width(), part.Height(), QImage::Format_ARGB32);
  for (int sy = part.top; sy < part.bottom; ++sy)
    for (int sx = part.left; sx < part.right; ++sx) {
      const std::uint32_t pixel = image.pixels[static_cast<std::size_t>(sy * image.width + sx)];
      copy.setPixel(sx - part.left, sy - part.top, ColorOfPixel(pixel) == transparent ? 0u : (pixel | 0xFF000000u));
    }
  painter_.drawImage(QPoint(x + part.left - source.left, y + part.top - source.top), copy);
}

// Every other pixel of the outline, starting at the top-left corner, is inverted once.
void QtCanvas::DrawFocusRect(const Rect& r) {
  if (r.right <= r.left || r.bottom <= r.top) return;
  painter_.save();
  painter_.setCompositionMode(QPainter::RasterOp_NotDestination);
  const auto dot = [&](int x, int y) {
    if (((x - r.left) + (y - r.top)) % 2 == 0) painter_.fillRect(QRect(x, y, 1, 1), Qt::black);
  };
  const int right = r.right - 1;
  const int bottom = r.bottom - 1;
  for (int x = r.left; x <= right; ++x) {
    dot(x, r.top);
    if (bottom > r.top) dot(x, bottom);
  }
  for (int y = r.top + 1; y < bottom; ++y) {
    dot(r.left, y);
    if (right > r.left) dot(right, y);
  }
  painter_.restore();
}

void QtCanvas::SetClipRect(const Rect& r) { painter_.setClipRect(PixelRect(r)); }

void QtCanvas::RemoveClip() { painter_.setClipping(false); }

Rect QtCanvas::ClipBox() const {
  const QRect surface(0, 0, device_.width(), device_.height());
  const QRect box = painter_.hasClipping() ? painter_.clipBoundingRect().toAlignedRect() & surface : surface;
  return {box.left(), box.top(), box.left() + box.width(), box.top() + box.height()};
}

namespace qtbridge {

std::unique_ptr<Canvas> MakePainterCanvas(QPainter& painter, QPaintDevice& device) {
  return std::make_unique<QtCanvas>(painter, device);
}

}  // namespace qtbridge

}  // namespace plat
