#pragma once
// The options window of a matrix plot: titles and their fonts, the variables
// along X and Y (which name the axes), the symbol, the axis dialogs and the
// main plot options, what the points show and its font, the graph and the
// vectors with their lines. Every change acts on the open plot at once.

#include "plot/forms/mxplot.h"
#include "plot/forms/plotOptionsForm.h"

class TMxPlotOF : public TPlotOptionsForm {
 public:
  explicit TMxPlotOF(TMxPlotPlt& plot);
  ~TMxPlotOF() override;

  // Fills the controls from the plot.
  void ShowFields();

  // The handlers of the controls that change the plot here.
  void bmID_XChange();
  void bmID_YChange();
  void PointModeClick(std::int32_t mode);
  void ShowGraphCBClick();
  void ShowVectorsCBClick();

  plat::ComboBox& XCombo() { return *bmID_X_; }
  plat::ComboBox& YCombo() { return *bmID_Y_; }
  plat::Button& SymbolBtn() { return *bmID_SymbolBtn_; }
  plat::Button& XAxisBtn() { return *Button2_; }
  plat::Button& YAxisBtn() { return *Button1_; }
  plat::Button& GeneralBtn() { return *Button4_; }
  plat::RadioButton& PointsLabelRB() { return *PointsLabelRB_; }
  plat::RadioButton& PointsNumberRB() { return *PointsNumberRB_; }
  plat::RadioButton& PointsNoneRB() { return *PointsNoneRB_; }
  plat::Button& PointsFontBtn() { return *PointsFontBtn_; }
  plat::GroupBox& GraphGroup() { return *GraphGroup_; }
  plat::CheckBox& ShowGraphCB() { return *ShowGraphCB_; }
  plat::Button& GraphLineBtn() { return *GraphLineBtn_; }
  plat::CheckBox& ShowVectorsCB() { return *ShowVectorsCB_; }
  plat::Button& VectorLinesBtn() { return *VectorLinesBtn_; }

 private:
  plat::ComboBox& AddVariableList(plat::Control& parent, const std::string& caption, const std::string& hint, int left,
                                  std::function<void()> onChange);
  plat::RadioButton& AddPointMode(plat::Control& parent, const std::string& caption, const std::string& hint,
                                  std::int32_t mode, int top);
  plat::CheckBox& AddShowBox(plat::Control& parent, const std::string& hint, std::function<void()> onClick);

  TMxPlotPlt& MxPlot_;
  plat::ComboBox* bmID_X_ = nullptr;
  plat::ComboBox* bmID_Y_ = nullptr;
  plat::Button* bmID_SymbolBtn_ = nullptr;
  plat::Button* Button1_ = nullptr;
  plat::Button* Button2_ = nullptr;
  plat::Button* Button4_ = nullptr;
  plat::RadioButton* PointsLabelRB_ = nullptr;
  plat::RadioButton* PointsNumberRB_ = nullptr;
  plat::RadioButton* PointsNoneRB_ = nullptr;
  plat::Button* PointsFontBtn_ = nullptr;
  plat::GroupBox* GraphGroup_ = nullptr;
  plat::CheckBox* ShowGraphCB_ = nullptr;
  plat::Button* GraphLineBtn_ = nullptr;
  plat::CheckBox* ShowVectorsCB_ = nullptr;
  plat::Button* VectorLinesBtn_ = nullptr;
};
