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

 protected:
  void CreateWnd() override;
  void Paint(plat::Canvas& canvas) override;
  void Resized() override;
  void FocusGained(plat::Control* losing) override;
  void FocusLost(plat::Control* gaining) override;
  void Scrolled(plat::ScrollBarKind bar, plat::ScrollCode code, int pos) override;

  int HostClientWidth() const override { return ClientWidth(); }
  int HostClientHeight() const override { return ClientHeight(); }
  bool HostFocused() const override { return Focused(); }
  void HostPaint(const std::function<void(plat::Canvas&)>& paint) override { PaintNow(paint); }
  void HostScroll(int dx, int dy, plat::Rect area) override { ScrollArea(dx, dy, area); }
  void HostUpdate() override { UpdateNow(); }
  void HostSetScrollBar(plat::ScrollBarKind bar, TVirScrollBarValues values) override;
  void HostFocusTable() override { SetFocus(); }
  void HostWantTabs(bool want) override { SetWantTabs(want); }

 private:
  bool creating_ = false;
};

// The grid as forms use it.
class TVirTable : public TVirCustomTable {
 public:
  using TVirCustomTable::TVirCustomTable;
};
