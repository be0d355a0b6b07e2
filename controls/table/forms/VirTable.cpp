#include "controls/table/forms/VirTable.h"

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

void TVirCustomTable::FocusGained(plat::Control* losing) {
  TVirBase::FocusGained(losing);
  FocusChanged();
}

void TVirCustomTable::FocusLost(plat::Control* gaining) {
  TVirBase::FocusLost(gaining);
  FocusChanged();
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
