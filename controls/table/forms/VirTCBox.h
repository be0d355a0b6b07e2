#pragma once
// TVirTCCheckBox: the glyph cell for two check states (unchecked, checked) or,
// with AllowGrayed, three (and grayed). Its data is one byte, the state, which
// is also the glyph shown: glyph 0 of the strip unchecked, 1 checked, 2 grayed.

#include "controls/table/forms/VirTCGly.h"

class TVirTCCustomCheckBox : public TVirTCCustomGlyph {
 public:
  TVirTCCustomCheckBox();

  bool AllowGrayed() const { return allowGrayed_; }
  void SetAllowGrayed(bool on);
  // Only a set of three glyphs.
  bool AcceptsGlyphs(const TVirCellGlyphs& glyphs) const override { return glyphs.GlyphCount() == 3; }

  void PaintCell(plat::Canvas& canvas, plat::Rect cellRect, int rowNum, int colNum, const TVirCellAttributes& attr,
                 TVirCellData data) override;
  void SaveEditedValue(TVirCellData data) override;
  void BeginEdit(int rowNum, int colNum, plat::Rect cellRect, const TVirCellAttributes& attr,
                 TVirTblEditorStyle cellStyle, TVirCellData data) override;
  void EndEdit(bool saveValue, TVirCellData data) override;

 private:
  // Keeps two or three glyphs in use, whatever changed the set.
  void GlyphsChanged();
  // The glyph layer works on the state widened to an index.
  TVirCellData StateBuffer(const TVirCellData& data);
  void StoreState(TVirCellData data) const;

  bool allowGrayed_ = false;
  std::int32_t state_ = 0;
};

class TVirTCCheckBox : public TVirTCCustomCheckBox {};
