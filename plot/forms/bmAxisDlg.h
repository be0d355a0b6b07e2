#pragma once
// The axis dialog: edits one axis of a plot and that axis's title, applying
// every change at once; Cancel (or the close box) puts back what it changed.
// It is modeless: it hides the form that opened it, shows it again when it
// closes and then frees itself. The rules are TbmAxisOptions'.

#include <functional>
#include <string>

#include "platform/Form.h"
#include "platform/Lifetime.h"
#include "platform/StdControls.h"
#include "plot/bmAxisOptions.h"

class TbmAxisDlg : public plat::Form {
 public:
  static constexpr int kHelpContext = 2031;

  TbmAxisDlg(plat::Form& owner, std::function<void()> apply, TbmLabelClass& title, TbmAxisClass& axis,
             const std::string& caption);
  ~TbmAxisDlg() override;

  // Runs once the dialog has closed, before it is freed.
  std::function<void()> OnClosed;

  plat::Edit& LabelEdit() { return *LabelEdit_; }
  plat::Button& LabelFontBtn() { return *LabelFontBtn_; }
  plat::Button& ScaleFontBtn() { return *ScaleFontBtn_; }
  plat::SpinEdit& ScaleWidthSpin() { return *ScaleWidthSpin_; }
  plat::SpinEdit& ScaleDecimalsSpin() { return *ScaleDecimalsSpin_; }
  plat::SpinEdit& MajTickSpin() { return *MajTickSpin_; }
  plat::SpinEdit& MinTickSpin() { return *MinTickSpin_; }
  plat::Button& MajTickLengthBtn() { return *MajTickLengthBtn_; }
  plat::Button& MinTickLengthBtn() { return *MinTickLengthBtn_; }
  plat::CheckBox& TicksInsideCheck() { return *TicksInsideCheck_; }
  plat::SpinEdit& AxisWidthSpin() { return *AxisWidthSpin_; }
  plat::Button& AxisColorBtn() { return *AxisColorBtn_; }
  plat::ComboBox& AxisStyleCombo() { return *AxisStyleCombo_; }
  plat::GroupBox& ReferenceLineGroup() { return *ReferenceLineGroup_; }
  plat::SpinEdit& ReferenceLineWidthSpin() { return *ReferenceLineWidthSpin_; }
  plat::Button& ReferenceLineColorBtn() { return *ReferenceLineColorBtn_; }
  plat::ComboBox& ReferenceLineStyleCombo() { return *ReferenceLineStyleCombo_; }
  plat::SpinEdit& NReferenceLinesSpin() { return *NReferenceLinesSpin_; }
  plat::GroupBox& RangeGroup() { return *RangeGroup_; }
  plat::Edit& MinEdit() { return *MinEdit_; }
  plat::Edit& MaxEdit() { return *MaxEdit_; }
  plat::CheckBox& AutoscaleCheck() { return *AutoscaleCheck_; }
  plat::Button& OkBtn() { return *OkBtn_; }
  plat::Button& CancelBtn() { return *CancelBtn_; }
  plat::Button& HelpBtn() { return *HelpBtn_; }

 private:
  // A label left of a control, both placed on one row of `parent`.
  plat::Label& AddLabel(plat::Control& parent, const std::string& caption, int left, int top);
  plat::SpinEdit& AddSpin(plat::Control& parent, const std::string& name, const std::string& hint, int left, int top,
                          int low, int high, std::function<void(int)> change);
  plat::Button& AddButton(plat::Control& parent, const std::string& name, const std::string& caption,
                          const std::string& hint, int left, int top, std::function<void()> click);
  plat::ComboBox& AddStyleCombo(plat::Control& parent, const std::string& name, const std::string& hint, int left,
                                int top, std::function<void(int)> change);
  void BuildScale();
  void BuildAxisGroup();
  void BuildReferenceLineGroup();
  void BuildRangeGroup();
  void BuildButtons();
  void PlaceOver(plat::Form& owner);
  void LoadControls();
  void DisableForIntervalLabels();
  // The range edits show the axis's bounds.
  void ShowRange();
  // A change handler's work, skipped while the controls are being loaded.
  void Change(const std::function<void()>& work);
  void EditFont(plat::Font font, int size, const std::function<void(const plat::Font&, int)>& take);
  void MeasureTicks(plat::Button& button, const std::string& caption, int& length);
  void EditColor(plat::Color color, const std::function<void(plat::Color)>& take);
  void TypedInRange();
  void RangeEditLeft();
  void AutoscaleClicked();
  void OkClicked();
  void FormClose(plat::CloseAction& action);

  TbmAxisOptions Options_;
  plat::WeakRef<plat::Form> Owner_;
  bool OkPressed_ = false;
  bool Filling_ = false;

  plat::Edit* LabelEdit_ = nullptr;
  plat::Button* LabelFontBtn_ = nullptr;
  plat::Button* ScaleFontBtn_ = nullptr;
  plat::Label* ScaleWidthLabel_ = nullptr;
  plat::SpinEdit* ScaleWidthSpin_ = nullptr;
  plat::Label* ScaleDecimalsLabel_ = nullptr;
  plat::SpinEdit* ScaleDecimalsSpin_ = nullptr;
  plat::Label* MajTickLabel_ = nullptr;
  plat::SpinEdit* MajTickSpin_ = nullptr;
  plat::Label* MinTickLabel_ = nullptr;
  plat::SpinEdit* MinTickSpin_ = nullptr;
  plat::Button* MajTickLengthBtn_ = nullptr;
  plat::Button* MinTickLengthBtn_ = nullptr;
  plat::CheckBox* TicksInsideCheck_ = nullptr;
  plat::SpinEdit* AxisWidthSpin_ = nullptr;
  plat::Button* AxisColorBtn_ = nullptr;
  plat::ComboBox* AxisStyleCombo_ = nullptr;
  plat::GroupBox* ReferenceLineGroup_ = nullptr;
  plat::Label* ReferenceLineWidthLabel_ = nullptr;
  plat::SpinEdit* ReferenceLineWidthSpin_ = nullptr;
  plat::Button* ReferenceLineColorBtn_ = nullptr;
  plat::Label* ReferenceLineStyleLabel_ = nullptr;
  plat::ComboBox* ReferenceLineStyleCombo_ = nullptr;
  plat::Label* NReferenceLinesLabel_ = nullptr;
  plat::SpinEdit* NReferenceLinesSpin_ = nullptr;
  plat::GroupBox* RangeGroup_ = nullptr;
  plat::Label* MinLabel_ = nullptr;
  plat::Edit* MinEdit_ = nullptr;
  plat::Label* MaxLabel_ = nullptr;
  plat::Edit* MaxEdit_ = nullptr;
  plat::CheckBox* AutoscaleCheck_ = nullptr;
  plat::Button* OkBtn_ = nullptr;
  plat::Button* CancelBtn_ = nullptr;
  plat::Button* HelpBtn_ = nullptr;
};
