#pragma once
// Printed and saved plots as a reader sees them: a printer that records what
// is drawn on each page while the real printer draws it, the PDF file
// rendered into grey pictures by poppler's pdftoppm, and a check that the
// picture is dark wherever the recorded drawing put a line.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/Printer.h"
#include "platform/record/RecordingCanvas.h"

namespace printtest {

// Draws on the target canvas and records the same drawing.
class TeeCanvas : public plat::Canvas {
 public:
  TeeCanvas(plat::Canvas& target, int dpiX, int dpiY) : target_(target), record_(dpiX, dpiY) {}

  const plat::RecordingCanvas& Record() const { return record_; }

  int DpiX() const override { return target_.DpiX(); }
  int DpiY() const override { return target_.DpiY(); }
  plat::Size TextExtent(std::string_view text) const override {
    target_.SetFont(GetFont());
    return target_.TextExtent(text);
  }
  plat::TextMetrics GetTextMetrics() const override {
    target_.SetFont(GetFont());
    return target_.GetTextMetrics();
  }
  plat::Rect ClipBox() const override { return target_.ClipBox(); }

  void Line(int x1, int y1, int x2, int y2) override {
    Both([&](Canvas& c) { c.Line(x1, y1, x2, y2); });
  }
  void Polyline(const std::vector<plat::Point>& p) override {
    Both([&](Canvas& c) { c.Polyline(p); });
  }
  void Polygon(const std::vector<plat::Point>& p) override {
    Both([&](Canvas& c) { c.Polygon(p); });
  }
  void Rectangle(const plat::Rect& r) override {
    Both([&](Canvas& c) { c.Rectangle(r); });
  }
  void Ellipse(const plat::Rect& r) override {
    Both([&](Canvas& c) { c.Ellipse(r); });
  }
  void FillRect(const plat::Rect& r) override {
    Both([&](Canvas& c) { c.FillRect(r); });
  }
  void TextOut(int x, int y, std::string_view t) override {
    Both([&](Canvas& c) { c.TextOut(x, y, t); });
  }
  void TextRect(const plat::Rect& r, int x, int y, std::string_view t) override {
    Both([&](Canvas& c) { c.TextRect(r, x, y, t); });
  }
  void DrawTextCentred(const plat::Rect& r, std::string_view t) override {
    Both([&](Canvas& c) { c.DrawTextCentred(r, t); });
  }
  void SetClipRect(const plat::Rect& r) override {
    Both([&](Canvas& c) { c.SetClipRect(r); });
  }
  void RemoveClip() override {
    Both([&](Canvas& c) { c.RemoveClip(); });
  }

 private:
  template <class Draw>
  void Both(Draw draw) {
    for (Canvas* canvas : {&target_, static_cast<Canvas*>(&record_)}) {
      canvas->SetPen(GetPen());
      canvas->SetBrush(GetBrush());
      canvas->SetFont(GetFont());
      draw(*canvas);
    }
  }

  plat::Canvas& target_;
  plat::RecordingCanvas record_;
};

// A printer that prints through another and records each page's drawing.
class TeePrinter : public plat::Printer {
 public:
  explicit TeePrinter(plat::Printer& printer) : printer_(printer) {}

  // The pages of the last document, in the printer's pixels.
  const std::vector<std::unique_ptr<TeeCanvas>>& Pages() const { return pages_; }

  bool Available() override { return printer_.Available(); }
  bool PrintsToFile() override { return printer_.PrintsToFile(); }
  int PageWidthMM() override { return printer_.PageWidthMM(); }
  int PageHeightMM() override { return printer_.PageHeightMM(); }
  int PageWidth() override { return printer_.PageWidth(); }
  int PageHeight() override { return printer_.PageHeight(); }
  int DpiX() override { return printer_.DpiX(); }
  int DpiY() override { return printer_.DpiY(); }
  plat::Orientation GetOrientation() override { return printer_.GetOrientation(); }
  void SetOrientation(plat::Orientation o) override { printer_.SetOrientation(o); }
  bool BeginDoc(const std::string& title) override {
    pages_.clear();
    fresh_ = true;
    return printer_.BeginDoc(title);
  }
  plat::Canvas& PageCanvas() override {
    if (fresh_) pages_.push_back(std::make_unique<TeeCanvas>(printer_.PageCanvas(), DpiX(), DpiY()));
    fresh_ = false;
    return *pages_.back();
  }
  void NewPage() override {
    printer_.NewPage();
    fresh_ = true;
  }
  void EndDoc() override { printer_.EndDoc(); }
  void Abort() override { printer_.Abort(); }
  bool Printing() override { return printer_.Printing(); }

 private:
  plat::Printer& printer_;
  std::vector<std::unique_ptr<TeeCanvas>> pages_;
  bool fresh_ = true;
};

// A grey picture, 0 black to 255 white.
struct GreyPicture {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> pixels;
  bool Dark(int x, int y) const {
    return x >= 0 && y >= 0 && x < width && y < height && pixels[static_cast<std::size_t>(y) * width + x] < 128;
  }
};

// A binary PGM file ("P5", 8 bits) as pdftoppm writes it.
inline GreyPicture ReadPgm(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::string magic;
  int maxValue = 0;
  GreyPicture picture;
  in >> magic >> picture.width >> picture.height >> maxValue;
  in.get();
  if (magic != "P5" || maxValue != 255) return {};
  picture.pixels.resize(static_cast<std::size_t>(picture.width) * picture.height);
  in.read(reinterpret_cast<char*>(picture.pixels.data()), static_cast<std::streamsize>(picture.pixels.size()));
  return in ? picture : GreyPicture{};
}

// The pages of a PDF file rendered at `dpi` by pdftoppm, in page order; a
// PNG of each is kept beside the file for people to look at.
inline std::vector<GreyPicture> RenderPdf(const std::filesystem::path& pdf, int dpi) {
  namespace fs = std::filesystem;
  const fs::path folder = pdf.parent_path() / (pdf.stem().string() + "-" + std::to_string(dpi) + "dpi");
  fs::remove_all(folder);
  fs::create_directories(folder);
  const std::string render =
      "pdftoppm -r " + std::to_string(dpi) + " '" + pdf.string() + "' '" + (folder / "page").string() + "'";
  const std::string quiet = " >/dev/null 2>&1";
  if (std::system((render + " -gray" + quiet).c_str()) != 0) {
    ADD_FAILURE() << "pdftoppm could not render " << pdf << " (scripts/setup installs poppler-utils)";
    return {};
  }
  std::system((render + " -png" + quiet).c_str());
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.path().extension() == ".pgm") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  std::vector<GreyPicture> pages;
  for (const fs::path& file : files) pages.push_back(ReadPgm(file));
  return pages;
}

// What the rendered page shows of the lines the recorded page drew in a dark
// solid pen, within the clip in force then: the share of the places along
// them where the picture is dark, and the share of the places along
// horizontal lines where the dark line is more than one pixel thick.
struct LinesShown {
  int places = 0;
  double found = 0;
  double thick = 0;
};

// `page` was drawn at `printerDpi` on a printable area of pageWidth x
// pageHeight printer pixels, centred on the paper as the picture shows it.
inline LinesShown CheckLines(const plat::RecordingCanvas& page, int printerDpi, int pageWidth, int pageHeight,
                             const GreyPicture& picture, int dpi) {
  const double scale = static_cast<double>(dpi) / printerDpi;
  const double left = (picture.width - pageWidth * scale) / 2;
  const double top = (picture.height - pageHeight * scale) / 2;
  const auto dark = [&](int x, int y) {
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if (picture.Dark(x + dx, y + dy)) return true;
    return false;
  };
  const auto thickness = [&](int x, int y) {
    int at = y;
    for (int dy : {0, -1, 1})
      if (picture.Dark(x, y + dy)) at = y + dy;
    int up = at;
    int down = at;
    while (picture.Dark(x, up - 1)) --up;
    while (picture.Dark(x, down + 1)) ++down;
    return picture.Dark(x, at) ? down - up + 1 : 0;
  };
  LinesShown shown;
  int found = 0;
  int horizontal = 0;
  int thick = 0;
  constexpr int kAll = plat::Canvas::kUnbounded;
  const plat::Rect noClip{-kAll, -kAll, kAll, kAll};
  plat::Rect clip = noClip;
  for (const plat::CanvasOp& op : page.Ops()) {
    if (op.kind == plat::OpKind::SetClip) clip = op.rect;
    if (op.kind == plat::OpKind::RemoveClip) clip = noClip;
    if (op.kind != plat::OpKind::Line && op.kind != plat::OpKind::Polyline) continue;
    const plat::Color c = op.pen.color;
    const bool darkPen = plat::RedOf(c) + plat::GreenOf(c) + plat::BlueOf(c) < 3 * 100;
    if (op.pen.style != plat::PenStyle::Solid || !darkPen) continue;
    for (std::size_t i = 1; i < op.points.size(); ++i) {
      const plat::Point a = op.points[i - 1];
      const plat::Point b = op.points[i];
      const double length = std::hypot(b.x - a.x, b.y - a.y) * scale;
      // Places every three pixels, away from the ends, where lines meet others.
      for (double along = 3; along <= length - 3; along += 3) {
        const double t = along / length;
        const double x = a.x + t * (b.x - a.x);
        const double y = a.y + t * (b.y - a.y);
        if (x < clip.left || x >= clip.right || y < clip.top || y >= clip.bottom) continue;
        const int px = static_cast<int>(std::lround(left + x * scale));
        const int py = static_cast<int>(std::lround(top + y * scale));
        ++shown.places;
        if (dark(px, py)) ++found;
        if (a.y == b.y) {
          ++horizontal;
          if (thickness(px, py) > 1) ++thick;
        }
      }
    }
  }
  shown.found = shown.places > 0 ? static_cast<double>(found) / shown.places : 0;
  shown.thick = horizontal > 0 ? static_cast<double>(thick) / horizontal : 0;
  return shown;
}

}  // namespace printtest
