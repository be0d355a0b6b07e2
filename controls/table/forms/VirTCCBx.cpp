#include "controls/table/forms/VirTCCBx.h"

#include <algorithm>

#include "controls/table/VirTblCore.h"
#include "controls/table/forms/VirTCEditors.h"
#include "platform/BitmapFile.h"
#include "platform/SystemColors.h"

void RegisterTableResources();  // generated from the bitmaps of resources/

namespace {

// The drop-down arrow that every combo-box cell shares, loaded with the first
// cell and freed with the last.
struct SharedArrow {
  plat::RasterImage image;
  int uses = 0;
};

SharedArrow& Arrow() {
  static SharedArrow arrow;
  return arrow;
}

void TakeArrow() {
  SharedArrow& arrow = Arrow();
  if (arrow.uses++ > 0) return;
  RegisterTableResources();
  arrow.image = plat::LoadBitmapResource("VIRTCCOMBOARROW").value_or(plat::RasterImage{});
}

void ReleaseArrow() {
  SharedArrow& arrow = Arrow();
  if (--arrow.uses == 0) arrow.image = {};
}

plat::ComboStyle PlatformStyle(TComboBoxStyle style) {
  switch (style) {
    case csDropDown: return plat::ComboStyle::DropDown;
    case csSimple: return plat::ComboStyle::Simple;
    case csOwnerDrawFixed: return plat::ComboStyle::OwnerDrawFixed;
    case csOwnerDrawVariable: return plat::ComboStyle::OwnerDrawVariable;
    default: return plat::ComboStyle::DropDownList;
  }
}

const TVirComboItems& NoItems() {
  static const TVirComboItems none;
  return none;
}

constexpr int kEditorHeight = 24;

}  // namespace

// ---- the combo box ----

TVirTCComboBoxEdit::TVirTCComboBoxEdit(plat::Control& parent, TVirTCCustomComboBox& cell)
    : plat::ComboBox(parent, PlatformStyle(cell.Style())), CellOwner(&cell) {}

// Up, Down, PgUp and PgDn change the item; Left and Right leave a list at once, an edit part at its ends.
void TVirTCComboBoxEdit::KeyDown(int& key, plat::ShiftState shift) {
  const int keyClass = CellOwner->FilterTableKey(key, shift);
  const bool side = key == plat::vk::Left || key == plat::vk::Right;
  const bool leaves =
      side && (!HasEditPart() || (CellOwner->AutoAdvanceLeftRight &&
                                  LeavesAtTextEnd(key, SelStart(), SelEnd(), static_cast<int>(Text().size()))));
  PassKeyToTable(*CellOwner, keyClass == 2 || (keyClass == 1 && leaves), key, shift);
}

void TVirTCComboBoxEdit::KeyPress(char32_t& ch) {
  if (HasEditPart() && TableCharacter(ch)) ch = 0;
}

void TVirTCComboBoxEdit::KeyTyped(char32_t) {
  AdvanceWhenFull(*CellOwner, CellOwner->AutoAdvanceChar, CellOwner->MaxLength(), Text().size());
}

void TVirTCComboBoxEdit::FocusArrived(plat::Control* losing) { PostEditorFocus(*CellOwner, true, losing); }

// ---- the cell ----

TVirTCCustomComboBox::TVirTCCustomComboBox() {
  AcceptActivationClick = true;
  TakeArrow();
}

TVirTCCustomComboBox::~TVirTCCustomComboBox() { ReleaseArrow(); }

int TVirTCCustomComboBox::ButtonWidth() { return Arrow().image.width + 11; }

void TVirTCCustomComboBox::SetItems(const TVirComboItems& items) {
  items_ = items;
  if (sorted_) std::sort(items_.begin(), items_.end());
  Changed();
}

void TVirTCCustomComboBox::SetMaxLength(int length) { maxLength_ = std::clamp(length, 0, 0xFFFF); }

void TVirTCCustomComboBox::SetSorted(bool on) {
  if (on == sorted_) return;
  sorted_ = on;
  if (on) std::sort(items_.begin(), items_.end());
  Changed();
}

const TVirComboItems& TVirTCCustomComboBox::ItemsOf(const TVirCellData& data) const {
  if (!layout_.runTimeItems) return items_;
  const TVirComboItems* items = ComboDataItems(data, layout_);
  return items != nullptr ? *items : NoItems();
}

// ---- painting ----

void TVirTCCustomComboBox::PaintCell(plat::Canvas& canvas, plat::Rect cellRect, int rowNum, int colNum,
                                     const TVirCellAttributes& attr, TVirCellData data) {
  if (attr.Access == otxInvisible) {
    TVirTCBaseString::PaintCell(canvas, cellRect, rowNum, colNum, attr, {});
    return;
  }
  std::string text;
  if (!data.empty())
    text = ComboPaintText(ComboDataIndex(data), ItemsOf(data), HasEditPart(), ComboDataText(data, layout_));
  const TVirTableAncestor* table = Table();
  const bool active = table != nullptr && table->ActiveRow() == rowNum && table->ActiveCol() == colNum;
  if (showButton_ && !active) {
    PaintText(canvas, cellRect, attr, text);
    return;
  }
  plat::Rect textRect = cellRect;
  textRect.right = cellRect.right - ButtonWidth();
  PaintText(canvas, textRect, attr, text);
  const plat::Rect strip{textRect.right, cellRect.top, cellRect.right, cellRect.bottom};
  if (showButton_) {
    PaintButton(canvas, {strip.left, strip.top + 1, strip.right - 1, strip.bottom - 1});
    return;
  }
  // A flat triangle in the font's colour on the cell's colour.
  const plat::CanvasStateSaver saver(canvas);
  canvas.SetBrush({plat::ColorToRGB(attr.Color), plat::BrushStyle::Solid});
  canvas.FillRect(strip);
  const int side = std::min(strip.Width(), strip.Height()) / 3;
  const int x = strip.left + (strip.Width() - side) / 2, y = strip.top + (strip.Height() - side) / 2;
  const plat::Color ink = plat::ColorToRGB(attr.FontColor);
  canvas.SetPen({ink, plat::PenStyle::Solid, 1});
  canvas.SetBrush({ink, plat::BrushStyle::Solid});
  canvas.Polygon({{x, y}, {x + side, y}, {x + side / 2, y + side}});
}

void TVirTCCustomComboBox::PaintButton(plat::Canvas& canvas, plat::Rect b) const {
  const plat::CanvasStateSaver saver(canvas);
  canvas.SetPen({plat::clBlack, plat::PenStyle::Solid, 1});
  canvas.SetBrush({plat::ColorToRGB(plat::clBtnFace), plat::BrushStyle::Solid});
  canvas.Rectangle(b);
  // Raised twice: light along the inner top and left, shadow along the inner bottom and right.
  for (int in = 1; in <= 2; ++in) {
    const int left = b.left + in, top = b.top + in, right = b.right - 1 - in, bottom = b.bottom - 1 - in;
    canvas.SetPen({plat::ColorToRGB(plat::clBtnHighlight), plat::PenStyle::Solid, 1});
    canvas.Polyline({{left, bottom}, {left, top}, {right + 1, top}});
    canvas.SetPen({plat::ColorToRGB(plat::clBtnShadow), plat::PenStyle::Solid, 1});
    canvas.Polyline({{left, bottom}, {right, bottom}, {right, top - 1}});
  }
  const plat::RasterImage& arrow = Arrow().image;
  canvas.CopyTransparent(b.left + 5, b.top + (b.Height() - arrow.height) / 2, arrow, {0, 0, arrow.width, arrow.height},
                         plat::clSilver);
}

// ---- editing ----

plat::Rect TVirTCCustomComboBox::EditorBounds(plat::Rect cellRect) const {
  plat::Rect r = cellRect;
  if (threeD_) r = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
  return {r.left, r.top, r.right, r.top + kEditorHeight};
}

void TVirTCCustomComboBox::BeginEdit(int, int, plat::Rect cellRect, const TVirCellAttributes& attr,
                                     TVirTblEditorStyle cellStyle, TVirCellData data) {
  threeD_ = cellStyle == tes3D;
  TVirTCComboBoxEdit* box = StartEditor(cellRect, attr);
  if (box == nullptr) return;
  TVirTCComboBoxEdit& editor = *box;
  editor.SetBorder(threeD_ ? plat::EditBorder::Lowered3D : plat::EditBorder::None);
  editor.SetMaxLength(TextLimit());
  editor.SetDropDownCount(DropDownCount);
  // A list that comes with the data keeps its order, so the index means the same item.
  editor.SetItems(ItemsOf(data));
  editor.SetItemIndex(data.empty() ? -1 : ComboDataIndex(data));
  if (!data.empty() && editor.ItemIndex() < 0 && HasEditPart())
    editor.SetText(ComboDataText(data, layout_).substr(0, static_cast<std::size_t>(TextLimit())));
  editor.OnChange = OnChange;
  editor.OnDropDown = OnDropDown;
  editor.OnDrawItem = OnDrawItem;
  editor.OnMeasureItem = OnMeasureItem;
  HandCellEvents(*this, editor);
}

void TVirTCCustomComboBox::SaveEditedValue(TVirCellData data) {
  TVirTCComboBoxEdit* editor = EditorControl();
  if (editor == nullptr || data.empty()) return;
  const std::int32_t index = editor->ItemIndex();
  SetComboDataIndex(data, index);
  if (!HasEditPart() && !SaveStringValue) return;
  const TVirComboItems& items = ItemsOf(data);
  const bool chosen = index >= 0 && index < static_cast<std::int32_t>(items.size());
  SetComboDataText(data, layout_, chosen ? items[static_cast<std::size_t>(index)] : editor->Text(), TextLimit());
}
