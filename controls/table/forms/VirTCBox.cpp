#include "controls/table/forms/VirTCBox.h"

TVirTCCustomCheckBox::TVirTCCustomCheckBox() {
  if (CellGlyphs().ActiveGlyphCount() == 3) CellGlyphs().SetActiveGlyphCount(2);
  CellGlyphs().OnChange = [this] { GlyphsChanged(); };
}

void TVirTCCustomCheckBox::GlyphsChanged() {
  TVirCellGlyphs& glyphs = CellGlyphs();
  auto callback = std::move(glyphs.OnChange);
  glyphs.OnChange = nullptr;
  glyphs.SetActiveGlyphCount(allowGrayed_ ? 3 : 2);
  glyphs.OnChange = std::move(callback);
  Changed();
}

void TVirTCCustomCheckBox::SetAllowGrayed(bool on) {
  if (on == allowGrayed_) return;
  allowGrayed_ = on;
  GlyphsChanged();
}

void TVirTCCustomCheckBox::PaintCell(plat::Canvas& canvas, plat::Rect cellRect, int, int,
                                     const TVirCellAttributes& attr, TVirCellData data) {
  PaintGlyph(canvas, cellRect, attr, data.empty() ? -1 : data[0]);
}

TVirCellData TVirTCCustomCheckBox::StateBuffer(const TVirCellData& data) {
  if (data.empty()) return {};
  state_ = data[0];
  return TVirCellData(reinterpret_cast<std::uint8_t*>(&state_), sizeof state_);
}

void TVirTCCustomCheckBox::StoreState(TVirCellData data) const {
  if (!data.empty()) data[0] = static_cast<std::uint8_t>(state_ & 0xFF);
}

void TVirTCCustomCheckBox::BeginEdit(int rowNum, int colNum, plat::Rect cellRect, const TVirCellAttributes& attr,
                                     TVirTblEditorStyle cellStyle, TVirCellData data) {
  TVirTCCustomGlyph::BeginEdit(rowNum, colNum, cellRect, attr, cellStyle, StateBuffer(data));
}

void TVirTCCustomCheckBox::SaveEditedValue(TVirCellData data) {
  if (data.empty()) return;
  TVirTCCustomGlyph::SaveEditedValue(StateBuffer(data));
  StoreState(data);
}

void TVirTCCustomCheckBox::EndEdit(bool saveValue, TVirCellData data) {
  if (saveValue && !data.empty()) SaveEditedValue(data);
  TVirTCCustomGlyph::EndEdit(false, {});
}
