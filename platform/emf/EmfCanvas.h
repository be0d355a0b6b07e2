#pragma once
// A canvas that writes an enhanced metafile (".EMF") through libEMF, so that a
// saved plot opens in other programs.
//
// As with the platform's metafile canvases, a reference canvas (the screen)
// supplies the resolution and the text metrics. One device pixel is
// 320 / 1024 millimetres, the reference device of libEMF; the frame in the
// header covers the width x height pixels given at creation.
//
// libEMF writes no clipping records, so the canvas marks each change of clip
// in the record stream and puts the clipping records in their place when the
// file is closed.

#include <memory>
#include <string>
#include <string_view>

#include "platform/Canvas.h"

namespace plat {

class EmfCanvas : public Canvas {
 public:
  // Starts the metafile; the header's description is creator, NUL, title,
  // NUL, NUL. A file that cannot be created raises rtl::EInOutError with the
  // system's reason.
  EmfCanvas(Canvas& reference, const std::string& path, int width, int height, std::string_view creator,
            std::string_view title);
  ~EmfCanvas() override;
  EmfCanvas(const EmfCanvas&) = delete;
  EmfCanvas& operator=(const EmfCanvas&) = delete;

  // Finishes the file, whole or not at all. A failed write raises
  // rtl::EInOutError naming the file with the system's reason, and leaves no
  // file behind. Drawing after Close does nothing. Dropped without Close (or
  // after a failure) the canvas writes nothing and throws nothing.
  void Close();

  int DpiX() const override;
  int DpiY() const override;
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

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  Canvas& reference_;
};

}  // namespace plat
