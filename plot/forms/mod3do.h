#pragma once
// TMod3dOF, the 3-D plot's options window: a modal panel whose every change
// goes into the plot at once and draws it again, so closing it keeps them
// all. The variables, the aspect, the point labels, the graph, the view
// (alpha, beta and the viewing distance, typed or stepped), what is shown of
// the points and the base, and the styles of each part.
//
// The label buttons open on "None" whatever the plot's label mode. A typed
// view value is taken as it is, but a viewing distance of 0 or less is
// refused (an error box) and the plot keeps its distance; a refused text
// gives way to the value kept.

#include "plot/forms/mod3d.h"
#include "plot/forms/plotOptionsForm.h"

class TVirController;

class TMod3dOF : public TPlotOptionsForm {
 public:
  explicit TMod3dOF(TMod3DPlt& plot);
  ~TMod3dOF() override;

  // The view's edits and spin buttons: alpha, beta and rho.
  enum TViewValue { vvAlpha, vvBeta, vvRho };
  plat::Edit& ViewEdit(TViewValue value) { return *view_[value].edit; }
  plat::SpinButton& ViewSpin(TViewValue value) { return *view_[value].spin; }

 private:
  struct ViewControl {
    plat::Edit* edit = nullptr;
    plat::SpinButton* spin = nullptr;
  };

  void AddVariables(int left, int top);
  void AddOptions(int left, int top);
  void AddPointLabels(int left, int top);
  void AddGraph(int left, int top);
  void AddView(int left, int top);
  void AddPoints(int left, int top);
  void AddBase(int left, int top);
  // A check box of a group that shows one of the plot's flags, sets it and replots.
  plat::CheckBox& AddFlag(plat::Control& box, const char* name, const std::string& caption, const std::string& hint,
                          bool TMod3DSettings::*flag, int left, int top, int width);
  // The labelled edit and spin button of a view value.
  void AddViewValue(plat::Control& box, TViewValue value, const char* name, const std::string& hint, int left);
  void ShowFields();

  double ValueOf(TViewValue value) const;
  // Alpha and beta take any number; the distance only a positive one.
  void SetValue(TViewValue value, double number);
  void TakeTypedValue(TViewValue value);
  void Step(TViewValue value, bool up);

  TMod3DPlt& plot_;
  TVirController* controller_ = nullptr;
  plat::ComboBox* variables_[3] = {};
  plat::GroupBox* graphGroup_ = nullptr;
  ViewControl view_[3];
};
