#include "platform/Snapshot.h"

#include "platform/qt/Peer.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cstdlib>

namespace plat {

namespace {

RasterImage ImageOf(QWidget& widget) {
  QImage image = widget.grab().toImage().convertToFormat(QImage::Format_ARGB32);
  RasterImage out;
  out.width = image.width();
  out.height = image.height();
  out.pixels.reserve(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height));
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) out.pixels.push_back(image.pixel(x, y));
  }
  return out;
}

}  // namespace

RasterImage GrabImage(Control& control) { return ImageOf(*control.Peer().widget); }

RasterImage GrabDropDownList(ComboBox& box) {
  QAbstractItemView* list = static_cast<QComboBox*>(box.Peer().widget.data())->view();
  if (list == nullptr || !list->isVisible()) return {};
  return ImageOf(*list->viewport());
}

bool SaveSnapshot(Control& control, const std::string& pngPath) {
  QString path = QString::fromStdString(pngPath);
  QDir().mkpath(QFileInfo(path).absolutePath());
  return control.Peer().widget->grab().save(path, "PNG");
}

bool SaveDisplayedWindow(std::uintptr_t windowId, const std::string& pngPath) {
  qtbridge::EnsureApplication();
  QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return false;
  const QPixmap shown = screen->grabWindow(static_cast<WId>(windowId));
  if (shown.isNull()) return false;
  QString path = QString::fromStdString(pngPath);
  QDir().mkpath(QFileInfo(path).absolutePath());
  return shown.save(path, "PNG");
}

ImageDifference CompareImages(const std::string& pngA, const std::string& pngB) {
  ImageDifference diff;
  QImage a(QString::fromStdString(pngA));
  QImage b(QString::fromStdString(pngB));
  if (a.isNull() || b.isNull()) return diff;
  diff.loaded = true;
  diff.sameSize = a.size() == b.size();
  if (!diff.sameSize) return diff;
  a = a.convertToFormat(QImage::Format_RGB32);
  b = b.convertToFormat(QImage::Format_RGB32);
  double total = 0;
  long changed = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      QRgb p = a.pixel(x, y);
      QRgb q = b.pixel(x, y);
      int dr = std::abs(qRed(p) - qRed(q)), dg = std::abs(qGreen(p) - qGreen(q)), db = std::abs(qBlue(p) - qBlue(q));
      total += dr + dg + db;
      if (dr > 64 || dg > 64 || db > 64) ++changed;
    }
  }
  double pixels = static_cast<double>(a.width()) * a.height();
  diff.meanDelta = pixels > 0 ? total / (3 * pixels) : 0;
  diff.changedShare = pixels > 0 ? changed / pixels : 0;
  return diff;
}

}  // namespace plat
