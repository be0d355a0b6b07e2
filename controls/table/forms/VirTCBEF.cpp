#include "controls/table/forms/VirTCBEF.h"

#include <algorithm>

#include "controls/table/forms/VirTCEditors.h"

namespace {

// The options that change how a value looks go to the paint field too.
bool LookOption(TEntryOption option) {
  return option == TEntryOption::PasswordMode || option == TEntryOption::RightAlign ||
         option == TEntryOption::RightJustify || option == TEntryOption::TrimBlanks;
}

// The controller of the form that holds the table; null when none.
TVirController* TableController(const TVirBaseTableCell& cell) {
  auto* table = dynamic_cast<TVirBase*>(TableControl(cell));
  return table != nullptr ? table->Controller() : nullptr;
}

}  // namespace

TVirTCBaseEntryField::~TVirTCBaseEntryField() {
  FreeEditorControl(edit_);
  FreeEditorControl(paint_);
}

void TVirTCBaseEntryField::AdoptFields(TVirBaseEntryField& edit, TVirBaseEntryField& paint) {
  edit_ = &edit;
  paint_ = &paint;
}

template <class T, class Get>
T TVirTCBaseEntryField::FromEdit(T none, Get get) const {
  const TVirBaseEntryField* edit = edit_.Get();
  return edit != nullptr ? get(*edit) : none;
}

template <class Set>
void TVirTCBaseEntryField::ToFields(bool paintToo, Set set) {
  if (TVirBaseEntryField* edit = edit_.Get()) set(*edit);
  if (TVirBaseEntryField* paint = paint_.Get(); paint != nullptr && paintToo) set(*paint);
}

bool TVirTCBaseEntryField::Option(TEntryOption option) const {
  const TVirBaseEntryField* edit = edit_.Get();
  return edit != nullptr && edit->Option(option);
}

void TVirTCBaseEntryField::SetOption(TEntryOption option, bool on) {
  if (TVirBaseEntryField* edit = edit_.Get()) edit->SetOption(option, on);
  if (TVirBaseEntryField* paint = paint_.Get(); paint != nullptr && LookOption(option)) paint->SetOption(option, on);
}

int TVirTCBaseEntryField::MaxLength() const {
  return FromEdit(0, [](const TVirBaseEntryField& f) { return f.MaxLength(); });
}
void TVirTCBaseEntryField::SetMaxLength(int length) {
  ToFields(true, [&](TVirBaseEntryField& f) { f.SetMaxLength(length); });
}
int TVirTCBaseEntryField::DecimalPlaces() const {
  return FromEdit(0, [](const TVirBaseEntryField& f) { return f.DecimalPlaces(); });
}
void TVirTCBaseEntryField::SetDecimalPlaces(int places) {
  ToFields(true, [&](TVirBaseEntryField& f) { f.SetDecimalPlaces(places); });
}
char TVirTCBaseEntryField::PadChar() const {
  return FromEdit('\0', [](const TVirBaseEntryField& f) { return f.PadChar(); });
}
void TVirTCBaseEntryField::SetPadChar(char c) {
  ToFields(true, [&](TVirBaseEntryField& f) { f.SetPadChar(c); });
}
char TVirTCBaseEntryField::PasswordChar() const {
  return FromEdit('\0', [](const TVirBaseEntryField& f) { return f.PasswordChar(); });
}
void TVirTCBaseEntryField::SetPasswordChar(char c) {
  ToFields(true, [&](TVirBaseEntryField& f) { f.SetPasswordChar(c); });
}
int TVirTCBaseEntryField::Epoch() const {
  return FromEdit(0, [](const TVirBaseEntryField& f) { return f.Epoch(); });
}
void TVirTCBaseEntryField::SetEpoch(int year) {
  ToFields(true, [&](TVirBaseEntryField& f) { f.SetEpoch(year); });
}
int TVirTCBaseEntryField::TextMargin() const {
  return FromEdit(0, [](const TVirBaseEntryField& f) { return f.TextMargin(); });
}
void TVirTCBaseEntryField::SetTextMargin(int margin) {
  ToFields(false, [&](TVirBaseEntryField& f) { f.SetTextMargin(margin); });
}

plat::Color TVirTCBaseEntryField::ControlCharColor() const {
  const TVirBaseEntryField* edit = edit_.Get();
  return edit != nullptr ? edit->ControlCharColor() : 0;
}

void TVirTCBaseEntryField::SetControlCharColor(plat::Color color) {
  if (TVirBaseEntryField* edit = edit_.Get()) edit->SetControlCharColor(color);
}

std::string TVirTCBaseEntryField::RangeHi() const {
  return FromEdit(std::string{}, [](const TVirBaseEntryField& f) { return f.GetRangeHi(); });
}
std::string TVirTCBaseEntryField::RangeLo() const {
  return FromEdit(std::string{}, [](const TVirBaseEntryField& f) { return f.GetRangeLo(); });
}
void TVirTCBaseEntryField::SetRangeHi(std::string_view text) {
  ToFields(false, [&](TVirBaseEntryField& f) { f.SetRangeHi(text); });
}
void TVirTCBaseEntryField::SetRangeLo(std::string_view text) {
  ToFields(false, [&](TVirBaseEntryField& f) { f.SetRangeLo(text); });
}

void TVirTCBaseEntryField::DefineProperties(TVirFiler& filer) {
  if (TVirBaseEntryField* edit = edit_.Get()) edit->DefineProperties(filer);
}

// ---- painting ----

void TVirTCBaseEntryField::PaintCell(plat::Canvas& canvas, plat::Rect cellRect, int rowNum, int colNum,
                                     const TVirCellAttributes& attr, TVirCellData data) {
  TVirBaseEntryField* paint = paint_.Get();
  // Data too short for a value paints as no data: nothing is read past it.
  if (paint == nullptr || data.empty() || data.size() < paint->GetDataSize()) {
    TVirTCBaseString::PaintCell(canvas, cellRect, rowNum, colNum, attr, {});
    return;
  }
  if (paint->Controller() == nullptr) paint->SetController(TableController(*this));
  paint->Hide();
  paint->SetValue(data);
  PaintText(canvas, cellRect, attr, paint->GetDisplayText());
}

// ---- editing ----

void TVirTCBaseEntryField::HideEditor() {
  if (TVirBaseEntryField* edit = edit_.Get()) edit->Hide();
}

void TVirTCBaseEntryField::MoveEditor(plat::Rect cellRect) {
  TVirBaseEntryField* edit = edit_.Get();
  if (edit == nullptr) return;
  ShowEditorAt(*edit, cellRect);
}

bool TVirTCBaseEntryField::CanSaveEdit(bool saveValue) {
  TVirBaseEntryField* edit = edit_.Get();
  if (edit == nullptr) return true;
  if (!saveValue) {
    edit->RestoreClick();
    return true;
  }
  const TVirController* controller = edit->Controller();
  if (controller != nullptr && controller->ErrorPending()) return false;
  return edit->ValidateEntry();
}

void TVirTCBaseEntryField::SaveEditedValue(TVirCellData data) {
  TVirBaseEntryField* edit = edit_.Get();
  if (edit == nullptr || data.empty()) return;
  // The field may have changed type since the edit started: it validates into
  // a buffer of its present size, and only the size the edit started with
  // (and no more than the owner's data) is copied on.
  std::vector<std::uint8_t> now(std::max<std::size_t>(edit->GetDataSize(), value_.size()), 0);
  if (edit->ValidateAndGetValue(now) == 0) std::copy_n(now.begin(), value_.size(), value_.begin());
  std::copy_n(value_.begin(), std::min(value_.size(), data.size()), data.begin());
}

void TVirTCBaseEntryField::BeginEdit(int, int, plat::Rect cellRect, const TVirCellAttributes& attr,
                                     TVirTblEditorStyle cellStyle, TVirCellData data) {
  TVirBaseEntryField* edit = edit_.Get();
  if (edit == nullptr) return;
  value_.assign(edit->GetDataSize(), 0);
  std::copy_n(data.begin(), std::min(value_.size(), data.size()), value_.begin());
  DressEditor(*edit, *this, cellRect, attr);
  // The frame the table asks for becomes the field's border style and 3-D
  // look, which a window made again keeps.
  const plat::EditBorder frame = EditorBorder(cellStyle);
  edit->SetBorderStyle(frame == plat::EditBorder::None ? TBorderStyle::bsNone : TBorderStyle::bsSingle);
  if (frame != plat::EditBorder::None) edit->SetCtl3D(frame == plat::EditBorder::Lowered3D);
  edit->SetWantTabs(TableWantsTab());
  if (edit->Controller() == nullptr) edit->SetController(TableController(*this));
  edit->SetValue(value_);
  edit->OnChange = OnChange;
  edit->OnError = OnError;
  edit->OnUserCommand = OnUserCommand;
  edit->OnUserValidation = OnUserValidation;
  HandCellEvents(*this, *edit);
}

void TVirTCBaseEntryField::EndEdit(bool saveValue, TVirCellData data) {
  if (saveValue && !data.empty()) SaveEditedValue(data);
  value_.clear();
  HideEditor();
}

bool TVirTCBaseEntryField::RouteKeyDown(TVirBaseEntryField& field, int& key, plat::ShiftState shift) {
  switch (FilterTableKey(key, shift)) {
    case 1:
      if (!VerticalKey(key) || !field.ValidateEntry()) return false;
      break;
    case 2:
      if (key == plat::vk::Escape) field.RestoreClick();
      break;
    default: return false;
  }
  PassKeyToTable(*this, true, key, shift);
  return true;
}
