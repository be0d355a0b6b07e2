#pragma once
// The main plot options dialog ("Plot options"): margins, background
// colours, centring, axis aspect, frame and legend of a plot. Its controls
// only pass the user's changes to the rules in plot/bmMainOptions.h, which
// change the parts at once and redraw; Cancel puts the backup back.
//
// The dialog hides the form that opened it and shows it again when it
// closes. It is shown modally and freed by whoever made it.

#include <functional>
#include <string>

#include "platform/Form.h"
#include "platform/StdControls.h"
#include "plot/bmMainOptions.h"

class TbmMainPlot2DOptionsDlg : public plat::Form {
 public:
  static constexpr int kHelpContext = 2036;

  // Centred over `callingForm`, which it hides, and kept on the screen.
  TbmMainPlot2DOptionsDlg(plat::Form& callingForm, TbmPlot2DPlotPartsClass& parts, std::function<void()> apply);

  const TbmMainPlotOptions& Options() const { return options_; }

  plat::Button& MarginButton(TbmMarginSide side);
  plat::Button& ColorButton(TbmPlotColor which);
  plat::CheckBox& PreserveAspectCheck() { return *preserveAspect_; }
  plat::CheckBox& CenterCheck() { return *center_; }
  plat::CheckBox& FrameShowCheck() { return *frameShow_; }
  plat::SpinEdit& FrameWidthSpin() { return *frameWidth_; }
  plat::ComboBox& FrameStyleCombo() { return *frameStyle_; }
  plat::GroupBox& LegendGroup() { return *legendGroup_; }
  plat::CheckBox& LegendShowCheck() { return *legendShow_; }
  plat::RadioButton& LegendPlacementRadio(int placement);
  plat::Button& LegendFontButton() { return *legendFont_; }
  plat::Button& OkButton() { return *ok_; }
  plat::Button& CancelButton() { return *cancel_; }
  plat::Button& HelpButton() { return *help_; }

 private:
  plat::Button& AddButton(plat::Control& parent, const std::string& name, const std::string& caption,
                          const std::string& hint, int left, int top, int width);
  void BuildMargins();
  void BuildColors();
  void BuildAxes();
  void BuildFrame();
  void BuildLegend();
  void BuildButtons();
  void LoadControls();
  void PlaceOver(const plat::Form& callingForm);
  void MeasureMargin(TbmMarginSide side, const std::string& caption);
  void ChooseColor(TbmPlotColor which);
  void ChooseLegendFont();

  plat::Form& callingForm_;
  TbmMainPlotOptions options_;
  plat::Button* margins_[4] = {};
  plat::Button* colors_[4] = {};
  plat::CheckBox* preserveAspect_ = nullptr;
  plat::CheckBox* center_ = nullptr;
  plat::CheckBox* frameShow_ = nullptr;
  plat::SpinEdit* frameWidth_ = nullptr;
  plat::ComboBox* frameStyle_ = nullptr;
  plat::GroupBox* legendGroup_ = nullptr;
  plat::CheckBox* legendShow_ = nullptr;
  plat::RadioButton* legendPlacement_[4] = {};
  plat::Button* legendFont_ = nullptr;
  plat::Button* ok_ = nullptr;
  plat::Button* cancel_ = nullptr;
  plat::Button* help_ = nullptr;
};

// The font dialog on a font whose size is kept apart in hundredths of an
// inch: the dialog shows it in points and the chosen font and size are taken
// back when confirmed, unless the size is too large to keep. True when taken.
bool ChooseFontAndSize(plat::Font& font, int& size);
