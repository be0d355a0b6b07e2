#pragma once
// TMxCompOF, the matrix comparison plot's options window: a modal panel
// whose every change goes into the plot at once and draws it again. The
// titles, the points' symbol and whether the diagonal entries are plotted,
// the object whose pairs are highlighted (picked in a list or stepped with
// the component library's spinner, from "-none-" to the last label) with
// their symbol, and the axes and main options.

#include "controls/base/forms/VirSC.h"
#include "plot/forms/mxcomp.h"
#include "plot/forms/plotOptionsForm.h"

class TMxCompOF : public TPlotOptionsForm {
 public:
  explicit TMxCompOF(TMxCompPlt& plot);
  ~TMxCompOF() override;

  plat::ComboBox& HighLightCB() { return *highlightCB_; }
  TVirSpinner& HighLightSpin() { return *highlightSpin_; }
  plat::CheckBox& DiagonalsCB() { return *diagonalsCB_; }

 private:
  void AddPoints(int left, int top);
  void AddHighlight(int left, int top);
  void AddOptions(int left, int top);
  void ShowFields();
  void StepHighlight(TSpinState state);

  TMxCompPlt& plot_;
  TVirController* controller_ = nullptr;
  plat::CheckBox* diagonalsCB_ = nullptr;
  plat::GroupBox* highlightBox_ = nullptr;
  plat::ComboBox* highlightCB_ = nullptr;
  TVirSpinner* highlightSpin_ = nullptr;
};
