#pragma once
// TVirTCBaseBitMap: the base of the cells that paint one glyph of a strip of
// equal-width glyphs (the glyph and check-box cells), placed in the cell by
// its adjustment and copied with the glyph's bottom-left pixel as the
// transparent colour.

#include "controls/table/VirTCBase.h"
#include "platform/Clipboard.h"

// What a glyph cell hands to the bitmap layer.
struct TVirBitmapRecord {
  const plat::RasterImage* Bitmap = nullptr;  // the glyph strip
  int Count = 1;                              // glyphs in the strip
  int ActiveCount = 1;                        // glyphs in use
  int Index = -1;                             // the glyph to paint; negative paints none
};

// Where a glyph of a strip goes in a cell: the part of the strip copied and
// the top-left corner in the cell. Empty (no part) when nothing is drawn: a
// negative index, or a cell too small for any of the glyph within its margins.
struct TVirGlyphPlacement {
  plat::Rect source;
  plat::Point at;
  bool Empty() const { return source.right <= source.left || source.bottom <= source.top; }
};
TVirGlyphPlacement PlaceGlyph(const TVirBitmapRecord& record, plat::Rect cellRect, int margin, TVirTblAdjust adjust);

class TVirTCBaseBitMap : public TVirBaseTableCell {
 public:
  // The data is a TVirBitmapRecord's bytes.
  void PaintCell(plat::Canvas& canvas, plat::Rect cellRect, int rowNum, int colNum, const TVirCellAttributes& attr,
                 TVirCellData data) override;

 protected:
  // The background, then the record's glyph (nothing more for no record or an invisible cell).
  void PaintBitmap(plat::Canvas& canvas, plat::Rect cellRect, const TVirCellAttributes& attr,
                   const TVirBitmapRecord* record);
};
