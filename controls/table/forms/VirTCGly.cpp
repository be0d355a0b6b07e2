#include "controls/table/forms/VirTCGly.h"

#include <cstring>

#include "controls/table/VirTCRules.h"

std::int32_t GlyphDataIndex(const TVirCellData& data, std::int32_t none) {
  std::int32_t index = none;
  if (data.size() >= sizeof index) std::memcpy(&index, data.data(), sizeof index);
  return index;
}

// ---- the editor ----

TVirTCGlyphEdit::TVirTCGlyphEdit(plat::Control& parent, TVirTCCustomGlyph& cell)
    : plat::CustomControl(parent), CellOwner(&cell) {
  SetDoubleClicks(false);  // every click steps
}

void TVirTCGlyphEdit::SetGlyphIndex(int index) {
  index = ClampGlyphIndex(index, CellOwner->CellGlyphs().ActiveGlyphCount());
  if (index == glyphIndex_) return;
  glyphIndex_ = index;
  if (HandleAllocated()) Repaint();
}

void TVirTCGlyphEdit::Paint(plat::Canvas& canvas) {
  std::int32_t index = glyphIndex_;
  CellOwner->DrawCell(canvas, {0, 0, ClientWidth(), ClientHeight()}, RowNum, ColNum, CellAttr,
                      TVirCellData(reinterpret_cast<std::uint8_t*>(&index), sizeof index));
}

void TVirTCGlyphEdit::KeyDown(int& key, plat::ShiftState shift) {
  const int keyClass = CellOwner->FilterTableKey(key, shift);
  if ((keyClass == 1 && key != plat::vk::Space) || keyClass == 2) {
    CellOwner->SendKeyToTable(key, shift);
    key = 0;
    return;
  }
  plat::CustomControl::KeyDown(key, shift);
  const int active = CellOwner->CellGlyphs().ActiveGlyphCount();
  if (key == plat::vk::Space) SetGlyphIndex(NextGlyphIndex(glyphIndex_, active));
  if (key == plat::vk::Back) SetGlyphIndex(PreviousGlyphIndex(glyphIndex_, active));
}

// Double clicks are single clicks here: every press steps.
void TVirTCGlyphEdit::MouseDown(plat::MouseButton button, plat::ShiftState shift, int x, int y) {
  if (button == plat::MouseButton::Left)
    SetGlyphIndex(NextGlyphIndex(glyphIndex_, CellOwner->CellGlyphs().ActiveGlyphCount()));
  plat::CustomControl::MouseDown(button, shift, x, y);
}

void TVirTCGlyphEdit::FocusGained(plat::Control* losing) {
  plat::CustomControl::FocusGained(losing);
  PostEditorFocus(*CellOwner, true, losing);
}

void TVirTCGlyphEdit::FocusLost(plat::Control* gaining) {
  plat::CustomControl::FocusLost(gaining);
  PostEditorFocus(*CellOwner, false, gaining);
}

// ---- the cell ----

TVirTCCustomGlyph::TVirTCCustomGlyph() {
  AcceptActivationClick = true;
  glyphs_.OnChange = [this] { Changed(); };
}

TVirTCCustomGlyph::~TVirTCCustomGlyph() { glyphs_.OnChange = nullptr; }

void TVirTCCustomGlyph::SetCellGlyphs(const TVirCellGlyphs& glyphs) {
  if (AcceptsGlyphs(glyphs)) glyphs_.Assign(glyphs);
}

void TVirTCCustomGlyph::PaintGlyph(plat::Canvas& canvas, plat::Rect cellRect, const TVirCellAttributes& attr,
                                   int index) {
  const int active = glyphs_.ActiveGlyphCount();
  if (index >= active) index = active - 1;
  const TVirBitmapRecord record{&glyphs_.BitMap(), glyphs_.GlyphCount(), active, index < 0 ? -1 : index};
  PaintBitmap(canvas, cellRect, attr, &record);
}

void TVirTCCustomGlyph::PaintCell(plat::Canvas& canvas, plat::Rect cellRect, int, int, const TVirCellAttributes& attr,
                                  TVirCellData data) {
  PaintGlyph(canvas, cellRect, attr, GlyphDataIndex(data, -1));
}

void TVirTCCustomGlyph::BeginEdit(int rowNum, int colNum, plat::Rect cellRect, const TVirCellAttributes& attr,
                                  TVirTblEditorStyle cellStyle, TVirCellData data) {
  TVirTCGlyphEdit* made = StartEditor(cellRect, attr);
  if (made == nullptr) return;
  TVirTCGlyphEdit& editor = *made;
  editor.SetGlyphIndex(GlyphDataIndex(data, 0));
  editor.RowNum = rowNum;
  editor.ColNum = colNum;
  editor.CellAttr = attr;
  editor.SetWantTabs(TableWantsTab());
  editor.SetFrame(cellStyle == tes3D ? plat::EditBorder::Lowered3D : plat::EditBorder::None);
  HandCellEvents(*this, editor);
}

void TVirTCCustomGlyph::SaveEditedValue(TVirCellData data) {
  const TVirTCGlyphEdit* editor = EditorControl();
  if (editor == nullptr || data.size() < sizeof(std::int32_t)) return;
  const std::int32_t index = editor->GlyphIndex();
  std::memcpy(data.data(), &index, sizeof index);
}
