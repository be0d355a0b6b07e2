#pragma once
// The options window of a tree plot: titles and their fonts, the labels'
// font, the branches' lines, the page shown and the OTUs a page shows, the
// X-axis dialog and the main plot options. Every change acts on the open plot
// at once.

#include "plot/forms/plotOptionsForm.h"
#include "plot/forms/tree.h"

class TTreeOF : public TPlotOptionsForm {
 public:
  explicit TTreeOF(TTreePlt& plot);
  ~TTreeOF() override;

  // Shows the current page and the OTUs per page in their edits.
  void ShowPage();

  // The handlers of the page controls.
  void PageSpinDownClick();
  void PageSpinUpClick();
  void perPageSpinDownClick();
  void perPageSpinUpClick();
  void PageEditExit();
  void perPageEditExit();

  plat::Edit& PageEdit() { return *PageEdit_; }
  plat::Edit& PerPageEdit() { return *perPageEdit_; }
  plat::SpinButton& PageSpin() { return *PageSpin_; }
  plat::SpinButton& PerPageSpin() { return *perPageSpin_; }
  plat::Button& LabelFontBtn() { return *LabelFontBtn_; }
  plat::Button& TreeLinesBtn() { return *TreeLinesBtn_; }
  plat::Button& XAxisBtn() { return *Button2_; }
  plat::Button& GeneralBtn() { return *Button4_; }

 private:
  // A labelled edit, left by `onExit`, with its spin button beside it.
  plat::Edit& AddPager(plat::Control& box, const std::string& caption, const std::string& hint, int left,
                       int labelWidth, plat::SpinButton*& spin, std::function<void()> onExit,
                       std::function<void()> onUp, std::function<void()> onDown);
  // Replots after a step or a typed value was taken, and shows the page.
  void Changed(bool taken);

  TTreePlt& Tree_;
  plat::Edit* PageEdit_ = nullptr;
  plat::Edit* perPageEdit_ = nullptr;
  plat::SpinButton* PageSpin_ = nullptr;
  plat::SpinButton* perPageSpin_ = nullptr;
  plat::Button* LabelFontBtn_ = nullptr;
  plat::Button* TreeLinesBtn_ = nullptr;
  plat::Button* Button2_ = nullptr;
  plat::Button* Button4_ = nullptr;
};
