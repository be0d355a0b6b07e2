#include "plot/forms/bmMeaDlg.h"

#include "platform/Desktop.h"
#include "plot/bmMeasure.h"
#include "plot/optionRules.h"
#include "rtl/ScopeGuard.h"

namespace {

constexpr int kClientWidth = 264;
constexpr int kClientHeight = 78;

}  // namespace

TMeaDlg::TMeaDlg() : plat::Form("MeaDlg") {
  SetBorderStyle(plat::BorderStyle::Dialog);
  SetHelpContext(kHelpContext);
  SetClientSize(kClientWidth, kClientHeight);

  Add<plat::Label>("Value:").SetBounds(8, 12, 48, 20);
  valueEdit_ = &Add<plat::Edit>();
  valueEdit_->SetName("bmID_ValueEdit");
  valueEdit_->SetBounds(60, 8, 100, 24);
  valueEdit_->SetHint("Size value");
  valueEdit_->SetShowHint(true);

  Add<plat::Label>("Units:").SetBounds(8, 46, 48, 20);
  unitsCombo_ = &Add<plat::ComboBox>(plat::ComboStyle::DropDownList);
  unitsCombo_->SetName("bmID_UnitsCombo");
  unitsCombo_->SetBounds(60, 42, 100, 24);
  unitsCombo_->SetHint("Size units");
  unitsCombo_->SetShowHint(true);

  ok_ = &Add<plat::Button>("&OK");
  ok_->SetName("IDOK");
  ok_->SetBounds(176, 8, 80, 26);
  ok_->SetDefault(true);
  ok_->SetHint("Accept size value");
  ok_->SetShowHint(true);
  ok_->OnClick = [this] { OkClick(); };

  cancel_ = &Add<plat::Button>("&Cancel");
  cancel_->SetName("IDCANCEL");
  cancel_->SetBounds(176, 42, 80, 26);
  cancel_->SetCancel(true);
  cancel_->SetHint("Cancel size changes");
  cancel_->SetShowHint(true);
  cancel_->OnClick = [this] { Close(); };

  CentreOnPointer(*this);
}

void TMeaDlg::SetUp(int value, int units) {
  value_ = value;
  units_ = units;
  std::vector<std::string> names(std::begin(bmMeasureUnitNames), std::end(bmMeasureUnitNames));
  unitsCombo_->SetItems(names);
  unitsCombo_->SetItemIndex(units);
  valueEdit_->SetText(MeasureText(value, units));
}

// A value that is no number or does not fit raises the error the user sees; the dialog stays open.
void TMeaDlg::OkClick() {
  const int units = unitsCombo_->ItemIndex();
  value_ = MeasureFromText(valueEdit_->Text(), units, value_);
  units_ = units;
  SetModalResult(plat::mrOk);
}

bool MeasureDialog(const std::string& caption, int& length) {
  TMeaDlg dialog;
  dialog.SetCaption(caption);
  dialog.SetUp(length, SharedMeasureUnits());
  dialog.ShowModal();
  return TakeMeasure(length, dialog.Value(), dialog.Units());
}

namespace {

// Places the dialog with its centre at the point given, whole on the screen.
void CentreOn(plat::Form& dialog, plat::Point centre) {
  const int left = centre.x - dialog.Width() / 2;
  const int top = centre.y - dialog.Height() / 2;
  const plat::Rect placed = KeepOnScreen({left, top, left + dialog.Width(), top + dialog.Height()}, plat::ScreenWidth(),
                                         plat::ScreenHeight());
  dialog.SetBounds(placed.left, placed.top, placed.Width(), placed.Height());
}

}  // namespace

void CentreOnPointer(plat::Form& dialog) { CentreOn(dialog, plat::CursorPos()); }

void CentreOver(plat::Form& dialog, const plat::Form& over) {
  const plat::Rect bounds = over.Bounds();
  CentreOn(dialog, {bounds.left + bounds.Width() / 2, bounds.top + bounds.Height() / 2});
}

void StepAside(plat::Form& optionsWindow, plat::Control& button, const std::function<void()>& run) {
  plat::SetCursorPos(button.ClientToScreen({button.Width() / 2, button.Height() / 2}));
  optionsWindow.Hide();
  const rtl::ScopeExit showAgain([&optionsWindow] { optionsWindow.Show(); });
  run();
}

bool MeasureStep(plat::Form& optionsDialog, plat::Control& button, const std::string& caption, int& length,
                 const std::function<void()>& apply) {
  bool changed = false;
  StepAside(optionsDialog, button, [&] {
    changed = MeasureDialog(caption, length);
    if (changed && apply) apply();
  });
  return changed;
}
