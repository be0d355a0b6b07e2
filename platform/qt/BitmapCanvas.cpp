#include "platform/BitmapCanvas.h"

#include <algorithm>
#include <cmath>

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QPainter>

#include "platform/qt/QtCanvas.h"
#include "rtl/Exception.h"
#include "rtl/TextFile.h"

namespace plat {

namespace {
constexpr double kMetresPerInch = 0.0254;
}

struct BitmapCanvas::Impl {
  Impl(int width, int height, int dpi)
      : image(std::max(width, 1), std::max(height, 1), QImage::Format_ARGB32), canvas(Begin(dpi), image) {}

  QPainter& Begin(int dpi) {
    const int dotsPerMetre = static_cast<int>(std::lround(std::max(dpi, 1) / kMetresPerInch));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    image.fill(Qt::white);
    painter.begin(&image);
    return painter;
  }
  // The painter ends while the picture is read, then goes on drawing.
  template <class F>
  auto Read(F read) {
    painter.end();
    auto result = read(image);
    painter.begin(&image);
    return result;
  }

  QImage image;
  QPainter painter;
  QtCanvas canvas;
};

BitmapCanvas::BitmapCanvas(int width, int height, int dpi) : impl_(std::make_unique<Impl>(width, height, dpi)) {}
BitmapCanvas::~BitmapCanvas() = default;

Canvas& BitmapCanvas::GetCanvas() { return impl_->canvas; }

RasterImage BitmapCanvas::Image() {
  return impl_->Read([](const QImage& image) {
    RasterImage result;
    result.width = image.width();
    result.height = image.height();
    result.pixels.reserve(static_cast<std::size_t>(result.width) * static_cast<std::size_t>(result.height));
    for (int y = 0; y < image.height(); ++y) {
      const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
      result.pixels.insert(result.pixels.end(), line, line + image.width());
    }
    return result;
  });
}

// Encoded in memory, then written with checked writes: the toolkit's own
// file writing does not report a full disk.
void BitmapCanvas::SavePng(const std::string& path) {
  rtl::TextWriter file(path);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!impl_->Read([&buffer](const QImage& image) { return image.save(&buffer, "PNG"); }))
    throw rtl::EInOutError("Cannot write file " + path);
  file.Write(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  file.Close();
}

}  // namespace plat
