#include "platform/Canvas.h"

#include <algorithm>

#include "platform/Clipboard.h"

namespace plat {

AcceleratedText StripAccelerators(std::string_view text) {
  AcceleratedText result;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) {
      ++i;
      if (text[i] != '&' && result.accelerator == std::string::npos) result.accelerator = result.shown.size();
    } else if (text[i] == '&') {
      continue;  // a trailing '&' marks nothing
    }
    result.shown += text[i];
  }
  return result;
}

// Canvases without a text layout of their own write the title with TextRect and
// underline the accelerator on the bottom row of the text.
void Canvas::DrawTextCentred(const Rect& r, std::string_view text) {
  const AcceleratedText title = StripAccelerators(text);
  const int x = r.left + (r.Width() - TextWidth(title.shown)) / 2;
  TextRect(r, x, r.top, title.shown);
  if (title.accelerator == std::string::npos) return;
  const std::string_view shown = title.shown;
  const int start = x + TextWidth(shown.substr(0, title.accelerator));
  const int end = start + TextWidth(shown.substr(title.accelerator, 1));
  const int y = r.top + TextHeight(shown) - 1;
  if (y >= r.bottom) return;
  CanvasStateSaver saver(*this);
  SetPen({GetFont().color, PenStyle::Solid, 1});
  Line(std::max(start, r.left), y, std::min(end, r.right), y);
}

void Canvas::SetPixel(int x, int y, Color color) {
  CanvasStateSaver saver(*this);
  SetBrush({color, BrushStyle::Solid});
  FillRect({x, y, x + 1, y + 1});
}

Rect CutToPicture(const Rect& source, int width, int height) {
  Rect r{std::max(source.left, 0), std::max(source.top, 0), std::min(source.right, width),
         std::min(source.bottom, height)};
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  return r;
}

void Canvas::CopyTransparent(int x, int y, const RasterImage& image, const Rect& source, Color transparent) {
  const Rect part = CutToPicture(source, image.width, image.height);
  if (image.pixels.size() < static_cast<std::size_t>(image.width) * static_cast<std::size_t>(std::max(image.height, 0)))
    return;
  for (int sy = part.top; sy < part.bottom; ++sy)
    for (int sx = part.left; sx < part.right; ++sx) {
      const Color c = ColorOfPixel(image.pixels[static_cast<std::size_t>(sy * image.width + sx)]);
      if (c != transparent) SetPixel(x + sx - source.left, y + sy - source.top, c);
    }
}

// Canvases that cannot invert draw the outline dotted in the pen's colour.
void Canvas::DrawFocusRect(const Rect& r) {
  if (r.right <= r.left || r.bottom <= r.top) return;
  CanvasStateSaver saver(*this);
  SetPen({GetPen().color, PenStyle::Dot, 1});
  Polyline(
      {{r.left, r.top}, {r.right - 1, r.top}, {r.right - 1, r.bottom - 1}, {r.left, r.bottom - 1}, {r.left, r.top}});
}

}  // namespace plat
