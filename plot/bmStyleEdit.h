#pragma once
// Editing one drawing style (a line, a symbol, a line with symbols, a bar or a
// quadrilateral) in its style dialog, without the dialog.
//
// A style dialog works on a private copy of the style part: its controls
// change the copy, its preview shows the copy, and only OK writes the copy
// back to the part. Which fields travel between part and copy is the kind's
// copy rule; the rest of the part (legend flags, the bar's two integers)
// never changes here.

#include "platform/Canvas.h"
#include "plot/bmParts.h"

// Copy rules, used both ways: working copy <- part when the dialog opens,
// part <- working copy on OK.
//   line: the pen;
//   symbol: kind, size, pixel half sizes, fill brush, outline pen;
//   line with symbol: the symbol's fields and the line pen;
//   bar: the first flag, hatch and background brushes, outline pen;
//   quadrilateral: hatch and background brushes, outline pen.
void CopyStyleLook(TbmLineClass& to, const TbmLineClass& from);
void CopyStyleLook(TbmSymbolClass& to, const TbmSymbolClass& from);
void CopyStyleLook(TbmLineSymbolClass& to, const TbmLineSymbolClass& from);
void CopyStyleLook(TbmBarClass& to, const TbmBarClass& from);
void CopyStyleLook(TbmQuadClass& to, const TbmQuadClass& from);

// Whether two parts agree in the fields of the copy rule; the pixel half
// sizes are left out, as they follow from the size and the device.
bool SameStyleLook(const TbmLineClass& a, const TbmLineClass& b);
bool SameStyleLook(const TbmSymbolClass& a, const TbmSymbolClass& b);
bool SameStyleLook(const TbmLineSymbolClass& a, const TbmLineSymbolClass& b);
bool SameStyleLook(const TbmBarClass& a, const TbmBarClass& b);
bool SameStyleLook(const TbmQuadClass& a, const TbmQuadClass& b);

// The pen width spins' limits.
inline constexpr int bmStylePenWidthMin = 1;
inline constexpr int bmStylePenWidthMax = 8;

// The symbol kind chosen by the symbol list's index: 0..7, anything else a circle.
std::uint8_t SymbolKindOfIndex(int index);

// The previews: the box of width x height pixels filled with the background
// colour, then samples of the style drawn with the plot's own primitives.
//   line: one line across the vertical middle, from x = 1 to width - 1;
//   line with symbol: two samples, from a quarter to a half and from a half
//     to three quarters of the width, across the vertical middle;
//   symbol: three symbols at a quarter, a half and three quarters of the width;
//   bar: three bars of rising length, standing side by side when the bar's
//     first flag is clear and lying one under another when it is set;
//   quadrilateral: one quadrilateral inside the box.
void PaintStylePreview(plat::Canvas& canvas, plat::Size box, const TbmLineClass& line, plat::Color background);
void PaintStylePreview(plat::Canvas& canvas, plat::Size box, const TbmLineSymbolClass& lineSymbol,
                       plat::Color background);
void PaintStylePreview(plat::Canvas& canvas, plat::Size box, const TbmSymbolClass& symbol, plat::Color background);
void PaintStylePreview(plat::Canvas& canvas, plat::Size box, const TbmBarClass& bar, plat::Color background);
void PaintStylePreview(plat::Canvas& canvas, plat::Size box, const TbmQuadClass& quad, plat::Color background);

// The editing state of one style dialog: the part, its working copy, the
// preview background and whether OK was pressed.
template <class Part>
class TbmStyleEdit {
 public:
  TbmStyleEdit(Part& part, plat::Color background) : Part_(part), Background_(background) {
    CopyStyleLook(Working_, part);
  }
  TbmStyleEdit(const TbmStyleEdit&) = delete;
  TbmStyleEdit& operator=(const TbmStyleEdit&) = delete;

  Part& Working() { return Working_; }
  const Part& Working() const { return Working_; }
  plat::Color Background() const { return Background_; }
  void PaintPreview(plat::Canvas& canvas, plat::Size box) const {
    PaintStylePreview(canvas, box, Working_, Background_);
  }

  // OK was pressed: the copy goes back to the part when the dialog closes.
  void Accept() { OkPressed_ = true; }
  bool OkPressed() const { return OkPressed_; }
  // The dialog closes. After OK the part takes the copy; true when that
  // changed how the part looks. Without OK the part stays as it was.
  bool Close() {
    if (!OkPressed_) return false;
    const bool changed = !SameStyleLook(Part_, Working_);
    CopyStyleLook(Part_, Working_);
    return changed;
  }

 private:
  Part& Part_;
  Part Working_;
  plat::Color Background_;
  bool OkPressed_ = false;
};
