#include "controls/editor/forms/VirNbk.h"

#include "controls/base/VirExcept.h"
#include "controls/editor/VirNbkPaint.h"
#include "platform/Fonts.h"
#include "platform/SystemColors.h"

namespace {

// Whether `control` is `ancestor` or lies inside it.
bool LiesOn(const plat::Control* control, const plat::Control& ancestor) {
  for (; control != nullptr; control = control->Parent())
    if (control == &ancestor) return true;
  return false;
}

// The first control inside `parent`, in creation order and depth first, that can take the focus.
plat::Control* FirstFocusable(const plat::Control& parent) {
  for (plat::Control* child : parent.Children()) {
    if (child->CanFocus()) return child;
    if (plat::Control* inner = FirstFocusable(*child)) return inner;
  }
  return nullptr;
}

}  // namespace

TVirNotebookPage::TVirNotebookPage(plat::Control& notebook) : plat::Panel(notebook) {
  SetBevels(plat::Bevel::None, plat::Bevel::None);
  Hide();
}

TVirNotebook::TVirNotebook(plat::Control& parent)
    : TVirBase(parent), TNotebookModel(static_cast<TNotebookView&>(*this)) {
  SetBounds(0, 0, 220, 185);
  SetColor(plat::clBtnFace);
  SetHighlightColor(plat::clBtnHighlight);
  SetShadowColor(plat::clBtnShadow);
  SetTextShadowColor(plat::clBtnShadow);
  TNotebookModel::SetFont(GetFont());
  for (const char* caption : {"&First", "&Second", "&Third"}) InsertPage(caption, PageCount());
  SetPageIndex(0);
}

// The pages go while the control is whole: their windows leave it first.
TVirNotebook::~TVirNotebook() { ClearPages(); }

TVirNotebookPage& TVirNotebook::InsertPage(const std::string& caption, int index) {
  return static_cast<TVirNotebookPage&>(TNotebookModel::InsertPage(caption, index));
}

TVirNotebookPage& TVirNotebook::PageAt(int index) const {
  return static_cast<TVirNotebookPage&>(TNotebookModel::PageAt(index));
}

void TVirNotebook::SuspendRedraw() { redrawSuspended_ = true; }

void TVirNotebook::ResumeRedraw() {
  redrawSuspended_ = false;
  Invalidate();
  Repaint();
}

void TVirNotebook::SetFont(const plat::Font& font) {
  plat::Control::SetFont(font);
  try {
    TNotebookModel::SetFont(font);
  } catch (const EInvalidTabFont&) {
    plat::Control::SetFont(TNotebookModel::Font());  // renamed to a font that can be turned
    throw;
  }
}

void TVirNotebook::SetColor(plat::Color color) {
  TNotebookModel::SetColor(color);
  plat::Control::SetColor(plat::ColorToRGB(color));
  for (int i = 0; i < PageCount(); ++i) PageAt(i).plat::Control::SetColor(plat::ColorToRGB(color));
}

void TVirNotebook::SetShowHint(bool show) {
  showHint_ = show;
  plat::Control::SetShowHint(show);
  for (int i = 0; i < PageCount(); ++i) PageAt(i).SetShowHint(show);
}

// --- The window -------------------------------------------------------------------------

void TVirNotebook::CreateWnd() {
  TVirBase::CreateWnd();
  Relayout();
}

void TVirNotebook::Paint(plat::Canvas& canvas) {
  TNbkPaintContext context;
  context.parentColor = Parent() ? Parent()->GetColor() : plat::ColorToRGB(plat::clBtnFace);
  context.focused = Focused();
  context.toRGB = plat::ColorToRGB;
  if (OnDrawTab) {
    context.onDrawTab = [this, &canvas](int index, const std::string& title, const plat::Rect& r, bool enabled,
                                        bool active) { OnDrawTab(this, canvas, index, title, r, enabled, active); };
  }
  TNbkPainter(*this, canvas, std::move(context)).Paint();
}

// Keys come as commands of the controller's tables: the movement commands
// choose a page, user commands go to OnUserCommand, and every command is consumed.
void TVirNotebook::KeyDown(int& key, plat::ShiftState shift) {
  const std::uint16_t command = EntryCommands().Translate(key, shift);
  if (command == ccNone) return;
  key = 0;
  if (command >= ccUserFirst) {
    UserCommand(command);
    return;
  }
  switch (command) {
    case ccRight: MoveByKey(TNbkKey::Right); break;
    case ccLeft: MoveByKey(TNbkKey::Left); break;
    case ccHome: MoveByKey(TNbkKey::Home); break;
    case ccEnd: MoveByKey(TNbkKey::End); break;
    case ccUp: MoveByKey(TNbkKey::Up); break;
    case ccDown: MoveByKey(TNbkKey::Down); break;
    default: break;
  }
}

void TVirNotebook::MouseDown(plat::MouseButton button, plat::ShiftState, int x, int y) {
  if (button == plat::MouseButton::Left) LeftClick(x, y);
}

void TVirNotebook::MouseMove(plat::ShiftState, int x, int y) { MouseMoved(x, y); }

void TVirNotebook::FocusGained(plat::Control* losing) {
  TVirBase::FocusGained(losing);
  RepaintActiveTab();
}

void TVirNotebook::FocusLost(plat::Control* gaining) {
  TVirBase::FocusLost(gaining);
  RepaintActiveTab();
}

void TVirNotebook::Resized() {
  Relayout();
  RepaintAll();
}

bool TVirNotebook::DialogChar(char ch) { return SelectByAccelerator(ch); }

void TVirNotebook::RepaintActiveTab() {
  if (PageIndex() >= 0) RepaintNow(TabPaintArea(PageIndex()));
}

// --- What the rules ask of the window ------------------------------------------------------

std::unique_ptr<TNbkPage> TVirNotebook::CreatePage() {
  auto page = std::make_unique<TVirNotebookPage>(*this);
  page->plat::Control::SetColor(plat::ColorToRGB(Color()));
  page->SetTabTextColor(plat::clBtnText);
  page->SetShowHint(showHint_);
  return page;
}

void TVirNotebook::ShowPage(TNbkPage& page) { static_cast<TVirNotebookPage&>(page).Show(); }

void TVirNotebook::HidePage(TNbkPage& page) { static_cast<TVirNotebookPage&>(page).Hide(); }

void TVirNotebook::PlacePage(TNbkPage& page, const plat::Rect& b) {
  static_cast<TVirNotebookPage&>(page).SetBounds(b.left, b.top, b.Width(), b.Height());
}

// The focus leaves a page that goes out of sight for the notebook itself.
void TVirNotebook::LeavePage(TNbkPage& page) {
  plat::Form* form = ParentForm();
  if (form != nullptr && LiesOn(form->ActiveControl(), static_cast<TVirNotebookPage&>(page))) SetFocus();
}

bool TVirNotebook::FocusFirstControlOn(TNbkPage& page) {
  plat::Control* first = FirstFocusable(static_cast<TVirNotebookPage&>(page));
  if (first == nullptr) return false;
  first->SetFocus();
  return true;
}

plat::Size TVirNotebook::NotebookSize() const { return {ClientWidth(), ClientHeight()}; }
bool TVirNotebook::Aligned() const { return GetAlign() != plat::Align::None; }
bool TVirNotebook::TakesAccelerators() const { return Visible() && Enabled(); }
bool TVirNotebook::HasFocus() const { return Focused(); }
bool TVirNotebook::CanTakeFocus() const { return CanFocus(); }
void TVirNotebook::TakeFocus() { SetFocus(); }

void TVirNotebook::RepaintAll() {
  if (!redrawSuspended_) Invalidate();
}

void TVirNotebook::RepaintNow(const plat::Rect& area) {
  if (!redrawSuspended_) InvalidateRect(area);
}

void TVirNotebook::EchoHelpContext(int context) { SetHelpContext(context); }
void TVirNotebook::EchoHint(const std::string& hint) { SetHint(hint); }
bool TVirNotebook::IsOutlineFont(const plat::Font& font) const { return plat::IsOutlineFont(font); }

void TVirNotebook::PageChanging(int index, bool& allow) {
  if (OnPageChange) OnPageChange(this, index, allow);
}

void TVirNotebook::PageChanged(int index) {
  if (OnPageChanged) OnPageChanged(this, index);
}

void TVirNotebook::TabClicked(int index) {
  if (OnTabClick) OnTabClick(this, index);
}

void TVirNotebook::MouseOverTab(int index) {
  if (OnMouseOverTab) OnMouseOverTab(this, index);
}

void TVirNotebook::UserCommand(int command) {
  if (OnUserCommand) OnUserCommand(this, command);
}
