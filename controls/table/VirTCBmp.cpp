#include "controls/table/VirTCBmp.h"

#include <algorithm>
#include <cstring>

namespace {

bool AdjustedLeft(TVirTblAdjust a) { return a == otaTopLeft || a == otaCenterLeft || a == otaBottomLeft; }
bool AdjustedRight(TVirTblAdjust a) { return a == otaTopRight || a == otaCenterRight || a == otaBottomRight; }
bool AdjustedTop(TVirTblAdjust a) { return a == otaTopLeft || a == otaTopCenter || a == otaTopRight; }
bool AdjustedBottom(TVirTblAdjust a) { return a == otaBottomLeft || a == otaBottomCenter || a == otaBottomRight; }

// The offset of a drawn length within a cell's length: at the margin, against the far margin, or centred.
int Offset(bool nearSide, bool farSide, int cellLength, int drawn, int margin) {
  if (nearSide) return margin;
  if (farSide) return cellLength - drawn - margin;
  return (cellLength - drawn) / 2;
}

}  // namespace

TVirGlyphPlacement PlaceGlyph(const TVirBitmapRecord& record, plat::Rect cellRect, int margin, TVirTblAdjust adjust) {
  TVirGlyphPlacement placement;
  if (record.Bitmap == nullptr || record.Index < 0) return placement;
  const int bitmapWidth = record.Bitmap->width, bitmapHeight = record.Bitmap->height;
  int index = record.Index;
  int glyphWidth = bitmapWidth;
  if (record.Count > 1) {
    glyphWidth = bitmapWidth / record.Count;
    if (index >= record.Count) index = 0;
  } else {
    index = 0;
  }
  const int cellWidth = cellRect.Width(), cellHeight = cellRect.Height();
  const int drawnWidth = std::min(glyphWidth, cellWidth - 2 * margin);
  const int drawnHeight = std::min(bitmapHeight, cellHeight - 2 * margin);
  if (drawnWidth <= 0 || drawnHeight <= 0) return placement;
  placement.source = {index * glyphWidth, 0, index * glyphWidth + drawnWidth, drawnHeight};
  placement.at = {cellRect.left + Offset(AdjustedLeft(adjust), AdjustedRight(adjust), cellWidth, drawnWidth, margin),
                  cellRect.top + Offset(AdjustedTop(adjust), AdjustedBottom(adjust), cellHeight, drawnHeight, margin)};
  return placement;
}

void TVirTCBaseBitMap::PaintCell(plat::Canvas& canvas, plat::Rect cellRect, int, int, const TVirCellAttributes& attr,
                                 TVirCellData data) {
  TVirBitmapRecord record;
  const bool given = data.size() == sizeof record;
  if (given) std::memcpy(static_cast<void*>(&record), data.data(), sizeof record);
  PaintBitmap(canvas, cellRect, attr, given ? &record : nullptr);
}

void TVirTCBaseBitMap::PaintBitmap(plat::Canvas& canvas, plat::Rect cellRect, const TVirCellAttributes& attr,
                                   const TVirBitmapRecord* record) {
  TVirBaseTableCell::PaintCell(canvas, cellRect, 0, 0, attr, {});
  if (record == nullptr || attr.Access == otxInvisible) return;
  const TVirGlyphPlacement placement = PlaceGlyph(*record, cellRect, Margin(), attr.Adjust);
  if (placement.Empty()) return;
  const plat::RasterImage& bitmap = *record->Bitmap;
  const std::size_t bottomLeft = static_cast<std::size_t>(bitmap.height - 1) * static_cast<std::size_t>(bitmap.width) +
                                 static_cast<std::size_t>(placement.source.left);
  if (bottomLeft >= bitmap.pixels.size()) return;
  canvas.CopyTransparent(placement.at.x, placement.at.y, bitmap, placement.source,
                         plat::ColorOfPixel(bitmap.pixels[bottomLeft]));
}
