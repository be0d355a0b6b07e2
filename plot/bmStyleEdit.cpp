#include "plot/bmStyleEdit.h"

#include <tuple>

namespace {

void CopySymbolFields(TbmSymbolClass& to, const TbmSymbolClass& from) {
  to.Kind = from.Kind;
  to.Size = from.Size;
  to.HalfWidth = from.HalfWidth;
  to.HalfHeight = from.HalfHeight;
  to.Fill = from.Fill;
  to.Outline = from.Outline;
}

auto SymbolLook(const TbmSymbolClass& s) { return std::tie(s.Kind, s.Size, s.Fill, s.Outline); }

// The background of every preview: the whole box in the background colour.
void FillPreview(plat::Canvas& canvas, plat::Size box, plat::Color background) {
  canvas.SetBrush({background, plat::BrushStyle::Solid});
  canvas.FillRect({0, 0, box.cx, box.cy});
}

}  // namespace

void CopyStyleLook(TbmLineClass& to, const TbmLineClass& from) { to.Pen = from.Pen; }

void CopyStyleLook(TbmSymbolClass& to, const TbmSymbolClass& from) { CopySymbolFields(to, from); }

void CopyStyleLook(TbmLineSymbolClass& to, const TbmLineSymbolClass& from) {
  CopySymbolFields(to, from);
  to.LinePen = from.LinePen;
}

void CopyStyleLook(TbmBarClass& to, const TbmBarClass& from) {
  to.Flag1 = from.Flag1;
  to.Hatch = from.Hatch;
  to.Background = from.Background;
  to.Outline = from.Outline;
}

void CopyStyleLook(TbmQuadClass& to, const TbmQuadClass& from) {
  to.Hatch = from.Hatch;
  to.Background = from.Background;
  to.Outline = from.Outline;
}

bool SameStyleLook(const TbmLineClass& a, const TbmLineClass& b) { return a.Pen == b.Pen; }

bool SameStyleLook(const TbmSymbolClass& a, const TbmSymbolClass& b) { return SymbolLook(a) == SymbolLook(b); }

bool SameStyleLook(const TbmLineSymbolClass& a, const TbmLineSymbolClass& b) {
  return SymbolLook(a) == SymbolLook(b) && a.LinePen == b.LinePen;
}

bool SameStyleLook(const TbmBarClass& a, const TbmBarClass& b) {
  return std::tie(a.Flag1, a.Hatch, a.Background, a.Outline) == std::tie(b.Flag1, b.Hatch, b.Background, b.Outline);
}

bool SameStyleLook(const TbmQuadClass& a, const TbmQuadClass& b) {
  return std::tie(a.Hatch, a.Background, a.Outline) == std::tie(b.Hatch, b.Background, b.Outline);
}

std::uint8_t SymbolKindOfIndex(int index) {
  return index >= bmCircle && index <= bmStar ? static_cast<std::uint8_t>(index) : std::uint8_t{bmCircle};
}

void PaintStylePreview(plat::Canvas& canvas, plat::Size box, const TbmLineClass& line, plat::Color background) {
  plat::CanvasStateSaver saved(canvas);
  FillPreview(canvas, box, background);
  canvas.SetPen(line.Pen);
  canvas.Line(1, box.cy / 2, box.cx - 1, box.cy / 2);
}

void PaintStylePreview(plat::Canvas& canvas, plat::Size box, const TbmLineSymbolClass& lineSymbol,
                       plat::Color background) {
  plat::CanvasStateSaver saved(canvas);
  FillPreview(canvas, box, background);
  const int middle = box.cy / 2;
  lineSymbol.Draw(canvas, box.cx / 4, middle, box.cx / 2, middle, false, true);
  lineSymbol.Draw(canvas, box.cx / 2, middle, box.cx * 3 / 4, middle, false, true);
}

void PaintStylePreview(plat::Canvas& canvas, plat::Size box, const TbmSymbolClass& symbol, plat::Color background) {
  plat::CanvasStateSaver saved(canvas);
  FillPreview(canvas, box, background);
  for (const int x : {box.cx / 4, box.cx / 2, box.cx * 3 / 4}) symbol.DrawSymbol(canvas, x, box.cy / 2, false);
}

void PaintStylePreview(plat::Canvas& canvas, plat::Size box, const TbmBarClass& bar, plat::Color background) {
  plat::CanvasStateSaver saved(canvas);
  FillPreview(canvas, box, background);
  // Bars k = 1..3 of length k thirds of two thirds of the box, one seventh of it thick.
  for (int k = 1; k <= 3; ++k) {
    const int slot = 2 * k - 1;
    if (bar.Flag1) {
      const int left = box.cx / 6;
      bar.Draw(canvas, left, box.cy * slot / 7, left + box.cx * 2 * k / 9, box.cy * (slot + 1) / 7 - 1);
    } else {
      const int bottom = box.cy - box.cy / 6;
      bar.Draw(canvas, box.cx * slot / 7, bottom - box.cy * 2 * k / 9, box.cx * (slot + 1) / 7 - 1, bottom);
    }
  }
}

void PaintStylePreview(plat::Canvas& canvas, plat::Size box, const TbmQuadClass& quad, plat::Color background) {
  plat::CanvasStateSaver saved(canvas);
  FillPreview(canvas, box, background);
  const int top = box.cy / 4;
  const int bottom = box.cy * 3 / 4;
  quad.Draw(canvas, {box.cx / 6, bottom}, {box.cx / 3, top}, {box.cx * 5 / 6, top}, {box.cx * 2 / 3, bottom});
}
