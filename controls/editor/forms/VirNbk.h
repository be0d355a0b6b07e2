#pragma once
// The tabbed notebook control: pages (windows that hold the page's controls),
// one shown at a time, and a strip of tabs along the top or the right edge in
// one or more rows. The rules live in TNotebookModel, the painting in
// TNbkPainter; this control binds them to its window, its keys (through the
// controller's command processor), the mouse, the focus and Alt + letter.
//
// A new notebook is 220 by 185 pixels with the pages "&First", "&Second" and
// "&Third", the first one shown.

#include <functional>
#include <string>

#include "controls/base/forms/VirBase.h"
#include "controls/editor/VirNbkModel.h"
#include "platform/StdControls.h"

// One page: a plain window in the notebook's colour, parent of the page's
// controls. Its caption is the tab's title.
class TVirNotebookPage : public plat::Panel, public TNbkPage {
 public:
  explicit TVirNotebookPage(plat::Control& notebook);

  std::string Caption() const override { return PageCaption(); }
  void SetCaption(const std::string& caption) override { SetPageCaption(caption); }
};

class TVirNotebook : public TVirBase, private TNotebookView, public TNotebookModel {
 public:
  explicit TVirNotebook(plat::Control& parent);
  ~TVirNotebook() override;

  // The notebook draws its 3-D look itself, from the model's Ctl3D (off when made).
  using TNotebookModel::Ctl3D;
  using TNotebookModel::SetCtl3D;

  // The pages as the control's own page windows.
  TVirNotebookPage& InsertPage(const std::string& caption, int index);
  TVirNotebookPage& PageAt(int index) const;
  TPageAccess& Pages() { return pages_; }

  // Between the two, nothing of the notebook is painted; resuming repaints it.
  void SuspendRedraw();
  void ResumeRedraw();

  // The font of the titles (and of the control), its colour and hint display;
  // the colour and the hint display pass on to the pages.
  void SetFont(const plat::Font& font);
  void SetColor(plat::Color color);
  void SetShowHint(bool show);
  using TVirPersistent::Loading;

  // Owner drawing of a tab's title on the notebook's canvas, in `r`, the inside of the tab.
  std::function<void(plat::Control* sender, plat::Canvas& canvas, int index, const std::string& title,
                     const plat::Rect& r, bool enabled, bool active)>
      OnDrawTab;
  std::function<void(plat::Control* sender, int index)> OnMouseOverTab;
  std::function<void(plat::Control* sender, int index, bool& allowChange)> OnPageChange;
  std::function<void(plat::Control* sender, int index)> OnPageChanged;
  std::function<void(plat::Control* sender, int index)> OnTabClick;
  std::function<void(plat::Control* sender, int command)> OnUserCommand;

 protected:
  void CreateWnd() override;
  void Paint(plat::Canvas& canvas) override;
  void KeyDown(int& key, plat::ShiftState shift) override;
  void MouseDown(plat::MouseButton button, plat::ShiftState shift, int x, int y) override;
  void MouseMove(plat::ShiftState shift, int x, int y) override;
  void FocusGained(plat::Control* losing) override;
  void FocusLost(plat::Control* gaining) override;
  void Resized() override;
  bool DialogChar(char ch) override;

 private:
  // What the notebook's rules ask of its window.
  std::unique_ptr<TNbkPage> CreatePage() override;
  void ShowPage(TNbkPage& page) override;
  void HidePage(TNbkPage& page) override;
  void PlacePage(TNbkPage& page, const plat::Rect& bounds) override;
  void LeavePage(TNbkPage& page) override;
  bool FocusFirstControlOn(TNbkPage& page) override;
  plat::Size NotebookSize() const override;
  bool Aligned() const override;
  bool TakesAccelerators() const override;
  bool HasFocus() const override;
  bool CanTakeFocus() const override;
  void TakeFocus() override;
  void RepaintAll() override;
  void RepaintNow(const plat::Rect& area) override;
  void EchoHelpContext(int context) override;
  void EchoHint(const std::string& hint) override;
  bool IsOutlineFont(const plat::Font& font) const override;
  void PageChanging(int index, bool& allow) override;
  void PageChanged(int index) override;
  void TabClicked(int index) override;
  void MouseOverTab(int index) override;
  void UserCommand(int command) override;

  void RepaintActiveTab();

  TPageAccess pages_{*this};
  bool redrawSuspended_ = false;
  bool showHint_ = true;
};
