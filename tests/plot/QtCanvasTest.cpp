// The engine drawn through the toolkit's painter into an image: the picture
// is kept as a test artefact and compared with a stored one within a
// tolerance that absorbs small differences in font rendering.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <filesystem>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "PlotSample.h"
#include "platform/qt/Peer.h"
#include "platform/qt/QtCanvas.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

QImage MakeImage(int width, int height, int dotsPerMeter) {
  plat::qtbridge::EnsureApplication();
  QImage image(width, height, QImage::Format_RGB32);
  image.setDotsPerMeterX(dotsPerMeter);
  image.setDotsPerMeterY(dotsPerMeter);
  image.fill(Qt::black);
  return image;
}

constexpr int k96Dpi = 3780;  // dots per metre

// The sample plot painted into a 96-dpi image; the paint box stays for its layout.
struct RenderedSample {
  RenderedSample() : image(MakeImage(kWidth, kHeight, k96Dpi)), painter(&image), canvas(painter, image) {
    box = std::make_unique<Tbm2DPaintBox>(canvas, kWidth, kHeight);
    plotsample::Draw(*box, styles, kWidth, kHeight);
    painter.end();
  }
  QImage image;
  QPainter painter;
  plat::QtCanvas canvas;
  const TbmStyleList styles = plotsample::MakeStyles();
  std::unique_ptr<Tbm2DPaintBox> box;
};

// Share of pixels whose colour differs by more than a small amount in any channel.
double DifferingShare(const QImage& a, const QImage& b) {
  long differing = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y);
      const QRgb q = b.pixel(x, y);
      const int d =
          std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
      if (d > 48) ++differing;
    }
  return static_cast<double>(differing) / (a.width() * a.height());
}

TEST(PlotQtCanvas, FrameAxesLegendAndSymbolsMatchTheStoredImage) {
  RenderedSample sample;
  const QImage& image = sample.image;
  QDir().mkpath(MORVA_ARTEFACTS "/plot");
  ASSERT_TRUE(image.save(MORVA_ARTEFACTS "/plot/frame.png"));
  const char* stored = MORVA_FIXTURES "/plot/frame.png";
  if (std::getenv("MORVA_UPDATE_FIXTURES") != nullptr) {
    ASSERT_TRUE(image.save(stored));
  }
  QImage expected(stored);
  ASSERT_FALSE(expected.isNull()) << stored;
  expected = expected.convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(expected.size(), image.size());
  EXPECT_LT(DifferingShare(image, expected), 0.01);
}

TEST(PlotQtCanvas, PixelsWhereTheLayoutPutsThem) {
  RenderedSample sample;
  EXPECT_EQ(sample.canvas.DpiX(), 96);
  const QImage& image = sample.image;
  const Tbm2DPaintBox& box = *sample.box;
  const auto& plot = box.Parts().PlotArea.Rect;
  // The whole image is painted, the frame lies one pixel outside the plot,
  // and the plot area has its colour.
  EXPECT_EQ(image.pixel(0, 0), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(plot.left - 1, (plot.top + plot.bottom) / 2), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(plot.left + 2, plot.top + 2), qRgb(0xFF, 0xFF, 0xF0));
  // A filled square symbol (kind 1, fill green 0x008000) centred on its point.
  const int x = box.Parts().XAxis.ValueToDevice(1);
  const int y = box.Parts().YAxis.ValueToDevice(1.25);
  EXPECT_EQ(image.pixel(x, y), qRgb(0, 0x80, 0));
}

TEST(PlotQtCanvas, TextExtentsComeFromTheDevice) {
  QImage screen = MakeImage(10, 10, k96Dpi);
  QImage printer = MakeImage(10, 10, 23622);  // 600 dpi
  QPainter ps(&screen);
  QPainter pp(&printer);
  plat::QtCanvas a(ps, screen);
  plat::QtCanvas b(pp, printer);
  plat::Font font;
  font.name = plotsample::kFont;
  font.size = 12;
  a.SetFont(font);
  b.SetFont(font);
  EXPECT_EQ(b.DpiY(), 600);
  const plat::Size small = a.TextExtent("Scale 0.00");
  const plat::Size large = b.TextExtent("Scale 0.00");
  EXPECT_GT(small.cx, 0);
  EXPECT_NEAR(static_cast<double>(large.cy) / small.cy, 600.0 / 96, 0.5);
  EXPECT_NEAR(static_cast<double>(large.cx) / small.cx, 600.0 / 96, 0.5);
}

TEST(PlotQtCanvas, PrinterPageIsLaidOutAtThePrintersResolution) {
  plat::qtbridge::EnsureApplication();
  const QString path = MORVA_ARTEFACTS "/plot/printed.pdf";
  QDir().mkpath(MORVA_ARTEFACTS "/plot");
  QFile::remove(path);
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(path);
  printer.setResolution(600);
  printer.setPageOrientation(QPageLayout::Landscape);
  QPainter painter(&printer);
  plat::QtCanvas canvas(painter, printer);
  EXPECT_EQ(canvas.DpiX(), 600);
  EXPECT_EQ(canvas.DpiY(), 600);
  const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
  Tbm2DPaintBox box(canvas, 640, 480);
  box.Printing = true;
  const TbmStyleList styles = plotsample::MakeStyles();
  plotsample::Draw(box, styles, page.width(), page.height());
  EXPECT_FALSE(box.Degraded());
  // Lengths in hundredths of an inch become printer pixels: 5 -> 30, 8 -> 48.
  EXPECT_EQ(box.Parts().TopMargin.PixelSize, 30);
  EXPECT_EQ(box.Parts().XAxis.MajorPixels, 48);
  ASSERT_TRUE(painter.end());
  EXPECT_GT(std::filesystem::file_size(path.toStdString()), 1000u);
}

// The runs of one colour along a row or a column of the image, from its start, in pixels.
std::vector<int> Runs(const QImage& image, bool alongRow, int at) {
  std::vector<int> runs;
  const int length = alongRow ? image.width() : image.height();
  QRgb previous = 0;
  for (int i = 0; i < length; ++i) {
    const QRgb pixel = alongRow ? image.pixel(i, at) : image.pixel(at, i);
    if (runs.empty() || pixel != previous) runs.push_back(0);
    ++runs.back();
    previous = pixel;
  }
  return runs;
}

// A dashed line and a hatched square, one inch each, on a white image of that resolution.
QImage DashAndHatch(int dpi) {
  QImage image = MakeImage(2 * dpi, dpi, static_cast<int>(std::lround(dpi / 0.0254)));
  image.fill(Qt::white);
  QPainter painter(&image);
  plat::QtCanvas canvas(painter, image);
  canvas.SetPen({plat::clBlack, plat::PenStyle::Dash, 1});
  canvas.Line(0, dpi / 2, dpi, dpi / 2);
  canvas.SetBrush({plat::clBlack, plat::BrushStyle::Horizontal});
  canvas.FillRect({dpi, 0, 2 * dpi, dpi});
  painter.end();
  return image;
}

// Dashes and hatches keep their size in inches: at a printer's 600 dpi they
// are as long as on a 96-dpi screen, not six times finer (which prints solid).
TEST(PlotQtCanvas, DashesAndHatchesKeepTheirSizeOnAFinerDevice) {
  const QImage screen = DashAndHatch(96);
  const QImage printer = DashAndHatch(600);
  const std::vector<int> screenDashes = Runs(screen, true, 48);
  const std::vector<int> printerDashes = Runs(printer, true, 300);
  const std::vector<int> screenHatch = Runs(screen, false, 144);
  const std::vector<int> printerHatch = Runs(printer, false, 900);
  ASSERT_GE(screenDashes.size(), 3u);
  ASSERT_GE(screenHatch.size(), 3u);
  ASSERT_GE(printerDashes.size(), 2u);
  ASSERT_GE(printerHatch.size(), 3u);
  const double scale = 600.0 / 96;
  // The first dash, the gap after it, and the distance from one hatch line to the next.
  EXPECT_NEAR(printerDashes[0], screenDashes[0] * scale, scale);
  EXPECT_NEAR(printerDashes[1], screenDashes[1] * scale, scale);
  EXPECT_NEAR(printerHatch[1] + printerHatch[2], (screenHatch[1] + screenHatch[2]) * scale, scale);
}

// A PDF file's text with its streams inflated after it: the objects' dictionaries and the drawing operators.
std::string PdfText(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray pdf = file.readAll();
  std::string operators = pdf.toStdString();
  for (qsizetype at = pdf.indexOf("stream\n"); at >= 0; at = pdf.indexOf("stream\n", at)) {
    at += 7;
    const qsizetype end = pdf.indexOf("endstream", at);
    if (end < 0) break;
    // The toolkit inflates a stream behind the size it expects; a generous one will do.
    const QByteArray stream = pdf.mid(at, end - at);
    const bool deflated = stream.startsWith('\x78');
    operators += (deflated ? qUncompress(QByteArray::fromHex("00100000") + stream) : stream).toStdString();
    at = end + 9;
  }
  return operators;
}

// The numbers after `key` in `text`, up to the next word.
std::vector<double> NumbersAfter(const std::string& text, const std::string& key) {
  std::vector<double> numbers;
  const std::size_t at = text.find(key);
  if (at == std::string::npos) return numbers;
  std::istringstream in(text.substr(at + key.size(), 80));
  for (double number; in >> number;) numbers.push_back(number);
  return numbers;
}

// Printed at 600 dpi, a dashed line and a hatch keep the screen's sizes:
// dashes of 4 and gaps of 2 screen pixels, a hatch repeating every 8.
TEST(PlotQtCanvas, PrintedDashesAndHatchesKeepTheScreensSizes) {
  plat::qtbridge::EnsureApplication();
  const QString path = MORVA_ARTEFACTS "/plot/dashes.pdf";
  QDir().mkpath(MORVA_ARTEFACTS "/plot");
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(path);
  printer.setResolution(600);
  QPainter painter(&printer);
  plat::QtCanvas canvas(painter, printer);
  canvas.SetPen({plat::clBlack, plat::PenStyle::Dash, 1});
  canvas.Line(0, 300, 600, 300);
  canvas.SetBrush({plat::clBlack, plat::BrushStyle::Horizontal});
  canvas.FillRect({600, 0, 1200, 600});
  ASSERT_TRUE(painter.end());
  const std::string operators = PdfText(path);
  // In printer pixels, 600 / 96 times the screen's: the dash array, then the hatch tile's step.
  const std::size_t dash = operators.find("]0  d");
  ASSERT_NE(dash, std::string::npos);
  const std::size_t open = operators.rfind('[', dash);
  std::istringstream dashes(operators.substr(open + 1, dash - open - 1));
  std::vector<double> lengths;
  for (double length; dashes >> length;) lengths.push_back(length);
  EXPECT_EQ(lengths, (std::vector<double>{25, 12.5}));
  EXPECT_EQ(NumbersAfter(operators, "/XStep"), std::vector<double>{50});
}

}  // namespace
