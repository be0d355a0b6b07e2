#pragma once
// TVirCustomTable: the table grid as a windowed control of the library. It
// binds the windowless table (TVirTableCore) to its window: paint requests,
// size changes, the focus and the scroll bars come from the platform's custom
// control; the table paints, scrolls and places its scroll bars through it.

#include "controls/base/forms/VirBase.h"
#include "controls/table/VirTblCore.h"

class TVirCustomTable : public TVirBase, public TVirTableCore {
 public:
  // 300 x 100, taking the focus by Tab.
  explicit TVirCustomTable(plat::Control& parent);
  ~TVirCustomTable() override;

  // The window counts as made from the table's own creation steps on.
  bool HandleAllocated() const override { return creating_ || TVirBase::HandleAllocated(); }
  // The table's font and colour are also the window's.
  void SetFont(const plat::Font& font);
  void SetColor(plat::Color color);
  // A single border when made (the sunken edge with Ctl3D); a change makes the window again.
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle style);

  void DefineProperties(TVirFiler& filer) override { DefineTableProperties(filer); }
  void HandleMessage(const plat::Message& message) override;

 protected:
  void CreateWnd() override;
  void Paint(plat::Canvas& canvas) override;
  void Resized() override;
  void MouseLeave() override;
  TBorderStyle WindowBorder() const override { return borderStyle_; }
  void FocusGained(plat::Control* losing) override;
  void FocusLost(plat::Control* gaining) override;
  void Scrolled(plat::ScrollBarKind bar, plat::ScrollCode code, int pos) override;
  void KeyDown(int& key, plat::ShiftState shift) override;
  void KeyPress(char32_t& ch) override;
  void MouseDown(plat::MouseButton button, plat::ShiftState shift, int x, int y) override;
  void MouseMove(plat::ShiftState shift, int x, int y) override;
  void MouseUp(plat::MouseButton button, plat::ShiftState shift, int x, int y) override;

  int HostClientWidth() const override { return ClientWidth(); }
  int HostClientHeight() const override { return ClientHeight(); }
  bool HostFocused() const override { return Focused(); }
  void HostPaint(const std::function<void(plat::Canvas&)>& paint) override { PaintNow(paint); }
  void HostScroll(int dx, int dy, plat::Rect area) override { ScrollArea(dx, dy, area); }
  void HostUpdate() override { UpdateNow(); }
  void HostSetScrollBar(plat::ScrollBarKind bar, TVirScrollBarValues values) override;
  void HostFocusTable() override { SetFocus(); }
  void HostWantTabs(bool want) override { SetWantTabs(want); }
  void HostPostMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) override {
    PostMessage(msg, wParam, lParam);
  }
  TVirCommandProcessor* HostCommands() override;
  void HostSetCursor(plat::CursorShape shape) override { SetCursor(shape); }
  void HostFocusEditor(TVirBaseTableCell& cell) override;
  bool HostEditorFocused() const override;
  void HostForwardKey(TVirBaseTableCell& cell, const TVirForwardedKey& key) override;
  void HostForwardClick(TVirBaseTableCell& cell, plat::ShiftState shift, int x, int y) override;
  TVirCellDirectory HostCellDirectory() override;
  bool HostLoading() const override { return Loading(); }
  bool HostFocusCameWithClick() const override { return focusJustCame_; }

 private:
  // The edit control as a control of the library's kind, which takes keys and clicks; null otherwise.
  plat::CustomControl* FocusedEditControl(TVirBaseTableCell& cell);
  // Moves the focus to the control before the table, as Shift+Tab would.
  void FocusPreviousControl();

  TBorderStyle borderStyle_ = TBorderStyle::bsSingle;
  bool creating_ = false;
  bool focusJustCame_ = false;  // until the event that brought the focus has been handled
};

// Makes `form` the owner of a cell component: stored tables name the cell after it.
void SetCellOwner(TVirBaseTableCell& cell, plat::Control& form);

// The grid as forms use it.
class TVirTable : public TVirCustomTable {
 public:
  using TVirCustomTable::TVirCustomTable;
};
