#include "controls/table/forms/VirTable.h"

#include <algorithm>
#include <vector>

#include "platform/Form.h"

namespace {

bool IsWithin(const plat::Control* control, const plat::Control* ancestor) {
  for (; control != nullptr; control = control->Parent())
    if (control == ancestor) return true;
  return false;
}

bool FocusWithin(const plat::Control& control) {
  if (control.Focused()) return true;
  return std::any_of(control.Children().begin(), control.Children().end(),
                     [](const plat::Control* child) { return FocusWithin(*child); });
}

// The controls that can take the focus, in the order Tab visits them, leaving out the insides of `skip`.
void FocusOrder(plat::Control& control, const plat::Control* skip, std::vector<plat::Control*>& order) {
  for (plat::Control* child : control.Children()) {
    if (child->CanFocus()) order.push_back(child);
    if (child != skip) FocusOrder(*child, skip, order);
  }
}

TVirBaseTableCell* FindCell(const plat::Control* form, const std::string& cellName) {
  for (TVirBaseTableCell* cell : TVirBaseTableCell::CellsOwnedBy(form))
    if (cell->Name() == cellName) return cell;
  return nullptr;
}

}  // namespace

TVirCustomTable::TVirCustomTable(plat::Control& parent) : TVirBase(parent) { SetBounds(0, 0, 300, 100); }

TVirCustomTable::~TVirCustomTable() {
  // The window goes first: from here on the table neither paints nor fires events.
  destroying_ = true;
}

void TVirCustomTable::SetFont(const plat::Font& font) {
  TVirBase::SetFont(font);
  TVirTableCore::SetFont(font);
}

void TVirCustomTable::SetColor(plat::Color color) {
  TVirBase::SetColor(color);
  TVirTableCore::SetColor(color);
}

void TVirCustomTable::SetBorderStyle(TBorderStyle style) {
  if (style == borderStyle_) return;
  borderStyle_ = style;
  if (TVirBase::HandleAllocated()) RecreateWnd();
}

void TVirCustomTable::CreateWnd() {
  TVirBase::CreateWnd();
  creating_ = true;
  try {
    WindowCreated();
  } catch (...) {
    creating_ = false;
    throw;
  }
  creating_ = false;
}

void TVirCustomTable::Paint(plat::Canvas& canvas) { WindowPaint(canvas, PaintBox()); }

void TVirCustomTable::Resized() { WindowResized(); }

namespace {
constexpr std::uint32_t kMsgFocusSettled = 0x495B;  // the event that brought the focus is over
}  // namespace

void TVirCustomTable::FocusGained(plat::Control* losing) {
  TVirBase::FocusGained(losing);
  // The platform gives the focus before it hands on the press that brought it.
  focusJustCame_ = true;
  PostMessage(kMsgFocusSettled);
  if (EditorShown() && EditCell() != nullptr) {
    plat::Control* editor = EditCell()->EditControl();
    // Shift+Tab out of the edit control leaves the table.
    if (editor != nullptr && IsWithin(losing, editor))
      FocusPreviousControl();
    else
      HostFocusEditor(*EditCell());
    return;
  }
  FocusChanged(true);
}

void TVirCustomTable::FocusLost(plat::Control* gaining) {
  TVirBase::FocusLost(gaining);
  FocusChanged(false);
}

void TVirCustomTable::FocusPreviousControl() {
  plat::Form* form = ParentForm();
  if (form == nullptr) return;
  std::vector<plat::Control*> order;
  FocusOrder(*form, this, order);
  const auto self = std::find(order.begin(), order.end(), this);
  if (self == order.end() || order.size() < 2) return;
  plat::Control* previous = self == order.begin() ? order.back() : *std::prev(self);
  previous->SetFocus();
}

void TVirCustomTable::HandleMessage(const plat::Message& message) {
  TVirBase::HandleMessage(message);
  if (message.msg == kMsgFocusSettled) focusJustCame_ = false;
  HandleTableMessage(message.msg, message.wParam, message.lParam);
}

void TVirCustomTable::KeyDown(int& key, plat::ShiftState shift) {
  TableKeyDown(key, shift, {});
  key = 0;
}

void TVirCustomTable::KeyPress(char32_t& ch) { TableKeyTyped(ch); }

void TVirCustomTable::MouseDown(plat::MouseButton button, plat::ShiftState shift, int x, int y) {
  if (button != plat::MouseButton::Left) return;
  if ((shift & plat::ssDouble) != 0)
    TableDoubleClick(shift, x, y);
  else
    TableMouseDown(shift, x, y);
}

void TVirCustomTable::MouseMove(plat::ShiftState shift, int x, int y) { TableMouseMove(shift, x, y); }

void TVirCustomTable::MouseLeave() { TableMouseLeft(); }

void TVirCustomTable::MouseUp(plat::MouseButton button, plat::ShiftState shift, int x, int y) {
  if (button == plat::MouseButton::Left) TableMouseUp(shift, x, y);
}

TVirCommandProcessor* TVirCustomTable::HostCommands() {
  TVirController* controller = Controller();
  return controller != nullptr ? &controller->EntryCommands() : nullptr;
}

void TVirCustomTable::HostFocusEditor(TVirBaseTableCell& cell) {
  plat::Control* editor = cell.EditControl();
  if (editor != nullptr && editor->CanFocus() && !editor->Focused()) editor->SetFocus();
}

bool TVirCustomTable::HostEditorFocused() const {
  plat::Control* editor = EditCell() != nullptr ? EditCell()->EditControl() : nullptr;
  return editor != nullptr && FocusWithin(*editor);
}

plat::CustomControl* TVirCustomTable::FocusedEditControl(TVirBaseTableCell& cell) {
  HostFocusEditor(cell);
  return dynamic_cast<plat::CustomControl*>(cell.EditControl());
}

void TVirCustomTable::HostForwardKey(TVirBaseTableCell& cell, const TVirForwardedKey& key) {
  if (plat::CustomControl* custom = FocusedEditControl(cell))
    custom->DispatchKeyDown(key.key, key.shift, key.text);
  else if (plat::Control* editor = cell.EditControl())
    editor->DeliverKey(key.key, key.shift, key.text);
}

void TVirCustomTable::HostForwardClick(TVirBaseTableCell& cell, plat::ShiftState shift, int x, int y) {
  plat::CustomControl* custom = FocusedEditControl(cell);
  plat::Control* editor = cell.EditControl();
  if (editor == nullptr) return;
  // From the table's client area to the edit control's.
  const plat::Point screen = ClientToScreen({x, y}), origin = editor->ClientToScreen({0, 0});
  if (custom != nullptr)
    custom->DispatchMouseDown(plat::MouseButton::Left, shift, screen.x - origin.x, screen.y - origin.y, false);
  else
    editor->DeliverMouseDown(screen.x - origin.x, screen.y - origin.y, shift);
}

void SetCellOwner(TVirBaseTableCell& cell, plat::Control& form) {
  const plat::WeakRef<plat::Control> owner(&form);
  cell.SetOwner(owner, [owner] {
    const plat::Control* alive = owner.Get();
    return alive != nullptr ? alive->Name() : std::string{};
  });
}

TVirCellDirectory TVirCustomTable::HostCellDirectory() {
  plat::Form* form = ParentForm();
  TVirCellDirectory directory;
  directory.formName = form != nullptr ? form->Name() : std::string{};
  directory.inOwnForm = [form](const std::string& cellName) { return FindCell(form, cellName); };
  directory.inOpenForm = [](const std::string& formName, const std::string& cellName) -> TVirBaseTableCell* {
    for (plat::Form* open : plat::Forms())
      if (open->Name() == formName)
        if (TVirBaseTableCell* cell = FindCell(open, cellName)) return cell;
    return nullptr;
  };
  return directory;
}

void TVirCustomTable::Scrolled(plat::ScrollBarKind bar, plat::ScrollCode code, int pos) {
  if (!Focused() && CanFocus()) SetFocus();
  const bool horizontal = bar == plat::ScrollBarKind::Horizontal;
  switch (code) {
    case plat::ScrollCode::LineUp: return ScrollAction(horizontal, 0);
    case plat::ScrollCode::LineDown: return ScrollAction(horizontal, 1);
    case plat::ScrollCode::PageUp: return ScrollAction(horizontal, 2);
    case plat::ScrollCode::PageDown: return ScrollAction(horizontal, 3);
    case plat::ScrollCode::ThumbPosition:
    case plat::ScrollCode::ThumbTrack:
      if (Editing() && editCell_ != nullptr && !editCell_->CanSaveEdit(true)) return;
      return ThumbMoved(bar, code, pos);
    default: return;
  }
}

void TVirCustomTable::HostSetScrollBar(plat::ScrollBarKind bar, TVirScrollBarValues values) {
  SetScrollRange(bar, values.Min, values.Max);
  SetScrollPos(bar, values.Pos);
  // As the platform's bars, one with nothing to scroll goes away.
  ShowScrollBar(bar, values.Max > values.Min);
}
