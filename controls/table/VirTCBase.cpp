#include "controls/table/VirTCBase.h"

#include <algorithm>
#include <utility>

namespace {

// Every living cell component, in order of creation.
std::vector<TVirBaseTableCell*>& LivingCells() {
  static std::vector<TVirBaseTableCell*> cells;
  return cells;
}

}  // namespace

TVirTableAncestor::~TVirTableAncestor() {
  // The cells outlive their table: they lose it, as when the table component goes.
  for (TVirBaseTableCell* cell : std::vector<TVirBaseTableCell*>(attached_)) cell->Detach();
}

bool TakesCell(const TVirBaseTableCell* cell, const TVirTableAncestor* table) {
  return cell == nullptr || cell->UseCount() == 0 || cell->Table() == table;
}

bool ReplaceCellReference(TVirBaseTableCell*& slot, TVirBaseTableCell* cell, TVirTableAncestor* table) {
  if (cell == slot || !TakesCell(cell, table)) return false;
  if (cell != nullptr) {
    if (cell->UseCount() == 0) cell->SetTable(table);
    cell->AddRef();
  }
  TVirBaseTableCell* old = std::exchange(slot, cell);
  if (old != nullptr) old->Release();
  return true;
}

TVirBaseTableCell::TVirBaseTableCell() { LivingCells().push_back(this); }

TVirBaseTableCell::~TVirBaseTableCell() {
  SetTable(nullptr);
  std::erase(LivingCells(), this);
}

void TVirBaseTableCell::SetOwner(plat::WeakRef<plat::Control> form, std::function<std::string()> formName) {
  owner_ = std::move(form);
  ownerName_ = std::move(formName);
}

std::string TVirBaseTableCell::QualifiedName() const {
  const std::string form = OwnerForm() != nullptr && ownerName_ ? ownerName_() : std::string{};
  return form.empty() ? name_ : form + "." + name_;
}

std::vector<TVirBaseTableCell*> TVirBaseTableCell::CellsOwnedBy(const plat::Control* form) {
  std::vector<TVirBaseTableCell*> owned;
  if (form == nullptr) return owned;
  for (TVirBaseTableCell* cell : LivingCells())
    if (cell->OwnerForm() == form) owned.push_back(cell);
  return owned;
}

void TVirBaseTableCell::Detach() {
  if (table_ == nullptr) return;
  std::erase(table_->attached_, this);
  table_ = nullptr;
  useCount_ = 0;
  SetChangeCallback({});
}

void TVirBaseTableCell::SetTable(TVirTableAncestor* table) {
  if (table == table_) return;
  if (table_ != nullptr) {
    TVirTableAncestor* old = table_;
    old->ForgetCell(*this);
    Detach();
  }
  table_ = table;
  if (table_ != nullptr) table_->attached_.push_back(this);
  SetChangeCallback({});
  useCount_ = 0;
  RefreshTableDefaults();
}

void TVirBaseTableCell::AddRef() {
  if (++useCount_ == 1 && table_ != nullptr) table_->RegisterCell(*this);
}

void TVirBaseTableCell::Release() {
  if (useCount_ == 0) return;
  if (--useCount_ == 0 && table_ != nullptr) {
    table_->UnregisterCell(*this);
    Detach();
  }
}

bool TVirBaseTableCell::TableAnswers() const { return table_ != nullptr && table_->HandleAllocated(); }

bool TVirBaseTableCell::TableWantsEnter() const { return TableAnswers() && table_->Options().Has(otoEnterToArrow); }

bool TVirBaseTableCell::TableWantsTab() const { return TableAnswers() && table_->Options().Has(otoTabToArrow); }

int TVirBaseTableCell::FilterTableKey(int key, plat::ShiftState shift) {
  return TableAnswers() ? table_->FilterKey(key, shift) : 0;
}

void TVirBaseTableCell::SendKeyToTable(int key, plat::ShiftState shift) {
  if (TableAnswers()) table_->PostKeyDown(key, shift);
}

void TVirBaseTableCell::PostMessageToTable(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) {
  if (TableAnswers()) table_->PostTableMessage(msg, wParam, lParam);
}

void TVirBaseTableCell::FetchTableColor() {
  colorPending_ = true;
  if (!TableAnswers()) return;
  color_ = table_->Color();
  colorPending_ = false;
}

void TVirBaseTableCell::FetchTableFont() {
  fontPending_ = true;
  if (!TableAnswers()) return;
  font_ = table_->Font();
  fontPending_ = false;
}

void TVirBaseTableCell::RefreshTableDefaults() {
  if (table_ == nullptr) return;
  if (tableFont_) FetchTableFont();
  if (tableColor_) FetchTableColor();
}

plat::Color TVirBaseTableCell::Color() {
  if (tableColor_ && colorPending_) FetchTableColor();
  return color_;
}

void TVirBaseTableCell::SetColor(plat::Color color) {
  const bool changed = color != color_ || tableColor_;
  color_ = color;
  tableColor_ = false;
  if (changed) Changed();
}

const plat::Font& TVirBaseTableCell::Font() {
  if (tableFont_ && fontPending_) FetchTableFont();
  return font_;
}

void TVirBaseTableCell::SetFont(const plat::Font& font) {
  const bool changed = !(font == font_) || tableFont_;
  font_ = font;
  tableFont_ = false;
  if (changed) Changed();
}

void TVirBaseTableCell::SetTableColor(bool on) {
  if (on == tableColor_) return;
  tableColor_ = on;
  if (on) FetchTableColor();
  Changed();
}

void TVirBaseTableCell::SetTableFont(bool on) {
  if (on == tableFont_) return;
  tableFont_ = on;
  if (on) FetchTableFont();
  Changed();
}

void TVirBaseTableCell::SetAccess(TVirTblAccess access) { SetAndNotify(access_, access); }
void TVirBaseTableCell::SetAdjust(TVirTblAdjust adjust) { SetAndNotify(adjust_, adjust); }
void TVirBaseTableCell::SetTextHiColor(plat::Color color) { SetAndNotify(textHiColor_, color); }
void TVirBaseTableCell::SetTextStyle(TVirTextStyle style) { SetAndNotify(textStyle_, style); }

void TVirBaseTableCell::SetMargin(int margin) {
  if (margin >= 0) SetAndNotify(margin_, margin);
}

void TVirBaseTableCell::ScaleFont(int m, int d) {
  if (tableFont_ || d <= 0) return;
  font_.size = MulDiv(font_.size, m, d);
  Changed();
}

void TVirBaseTableCell::PaintCell(plat::Canvas& canvas, plat::Rect cellRect, int, int, const TVirCellAttributes& attr,
                                  TVirCellData) {
  canvas.SetBrush({plat::ColorToRGB(attr.Color), plat::BrushStyle::Solid});
  canvas.FillRect(cellRect);
}

bool TVirBaseTableCell::OwnerDrawCell(plat::Canvas& canvas, plat::Rect cellRect, int rowNum, int colNum,
                                      const TVirCellAttributes& attr, TVirCellData data) {
  bool doneIt = false;
  if (OnOwnerDraw) OnOwnerDraw(*this, canvas, cellRect, rowNum, colNum, attr, data, doneIt);
  return doneIt;
}

void TVirBaseTableCell::DrawCell(plat::Canvas& canvas, plat::Rect cellRect, int rowNum, int colNum,
                                 const TVirCellAttributes& attr, TVirCellData data) {
  if (!OwnerDrawCell(canvas, cellRect, rowNum, colNum, attr, data))
    PaintCell(canvas, cellRect, rowNum, colNum, attr, data);
}

void TVirBaseTableCell::ResolveCellAttributes(int rowNum, int colNum, TVirCellAttributes& attr) {
  attr.Access = access_;
  attr.Adjust = adjust_;
  attr.Color = Color();
  attr.Font = Font();
  attr.FontColor = attr.Font.color;
  attr.FontHiColor = textHiColor_;
  attr.TextStyle = textStyle_;
  if (table_ != nullptr) table_->ResolveCellAttributes(rowNum, colNum, attr);
  if (attr.Access == otxDefault) attr.Access = otxNormal;
  if (attr.Adjust == otaDefault) attr.Adjust = otaCenterLeft;
  if (attr.Color == clStyleNotSet) attr.Color = plat::clBtnFace;
}
