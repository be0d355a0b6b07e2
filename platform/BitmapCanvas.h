#pragma once
// A canvas that draws into a picture in memory, white at the start: for
// measuring text where no window paints, for copying a plot as a bitmap and
// for saving what was drawn as a PNG file. Implemented in platform/qt/.

#include "platform/Canvas.h"
#include "platform/Clipboard.h"

#include <memory>
#include <string>

namespace plat {

class BitmapCanvas {
 public:
  // A picture of width x height pixels at `dpi` pixels per inch.
  BitmapCanvas(int width, int height, int dpi = 96);
  ~BitmapCanvas();
  BitmapCanvas(const BitmapCanvas&) = delete;
  BitmapCanvas& operator=(const BitmapCanvas&) = delete;

  Canvas& GetCanvas();
  // What has been drawn so far.
  RasterImage Image();
  // Writes the picture as a PNG file, whole or not at all; rtl::EInOutError
  // with the system's reason when it cannot be written.
  void SavePng(const std::string& path);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace plat
