#pragma once
// TVirTCCustomGlyph: the cell component that paints one glyph of its glyph set
// (CellGlyphs), the one its data's 32-bit index names, and edits it in a
// glyph editor (TVirTCGlyphEdit) that steps through the glyphs on Space,
// Backspace and clicks.

#include <cstdint>
#include <functional>

#include "controls/table/VirGlyphs.h"
#include "controls/table/VirTCBmp.h"
#include "controls/table/forms/VirTCEditors.h"
#include "platform/CustomControl.h"

class TVirTCCustomGlyph;

class TVirTCGlyphEdit : public plat::CustomControl {
 public:
  TVirTCGlyphEdit(plat::Control& parent, TVirTCCustomGlyph& cell);
  TVirTCCustomGlyph* CellOwner;
  int GlyphIndex() const { return glyphIndex_; }
  // The index rule (ClampGlyphIndex); a change repaints at once.
  void SetGlyphIndex(int index);
  // The cell being edited and its look.
  int RowNum = 0;
  int ColNum = 0;
  TVirCellAttributes CellAttr;

 protected:
  void Paint(plat::Canvas& canvas) override;
  void KeyDown(int& key, plat::ShiftState shift) override;
  void MouseDown(plat::MouseButton button, plat::ShiftState shift, int x, int y) override;
  void FocusGained(plat::Control* losing) override;
  void FocusLost(plat::Control* gaining) override;

 private:
  int glyphIndex_ = 0;
};

class TVirTCCustomGlyph : public TVirTCEditingCell<TVirTCBaseBitMap, TVirTCGlyphEdit> {
 public:
  TVirTCCustomGlyph();
  ~TVirTCCustomGlyph() override;

  TVirCellGlyphs& CellGlyphs() { return glyphs_; }
  // Takes a copy of the set when the cell accepts it; otherwise the old set stays.
  void SetCellGlyphs(const TVirCellGlyphs& glyphs);
  // A glyph cell accepts any set.
  virtual bool AcceptsGlyphs(const TVirCellGlyphs& /*glyphs*/) const { return true; }

  // The data is the glyph index (32-bit).
  void PaintCell(plat::Canvas& canvas, plat::Rect cellRect, int rowNum, int colNum, const TVirCellAttributes& attr,
                 TVirCellData data) override;
  void SaveEditedValue(TVirCellData data) override;
  void BeginEdit(int rowNum, int colNum, plat::Rect cellRect, const TVirCellAttributes& attr,
                 TVirTblEditorStyle cellStyle, TVirCellData data) override;

 protected:
  // The background and the glyph of `index` (clamped to the active glyphs; negative paints none).
  void PaintGlyph(plat::Canvas& canvas, plat::Rect cellRect, const TVirCellAttributes& attr, int index);
  TVirTCGlyphEdit& CreateEditor(plat::Control& owner) override { return owner.Add<TVirTCGlyphEdit>(*this); }

 private:
  TVirCellGlyphs glyphs_;
};

// The 32-bit glyph index of a cell's data; `none` when the data cannot hold one.
std::int32_t GlyphDataIndex(const TVirCellData& data, std::int32_t none);
