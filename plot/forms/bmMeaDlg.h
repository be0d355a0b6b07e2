#pragma once
// The measure dialog: one length (a margin, a tick length, a symbol size)
// typed as a value in inches, millimetres or points, and the measure step
// that the options dialogs' length buttons run it with. The rules of the
// units are in plot/bmMeasure.h.

#include <functional>
#include <string>

#include "platform/Form.h"
#include "platform/StdControls.h"

class TMeaDlg : public plat::Form {
 public:
  static constexpr int kHelpContext = 2035;

  // Made centred on the mouse pointer and kept on the screen.
  TMeaDlg();

  // Shows `value` (hundredths of an inch) in the units of index `units`.
  void SetUp(int value, int units);
  // The length and units after OK; as set up after Cancel.
  int Value() const { return value_; }
  int Units() const { return units_; }

  plat::Edit& ValueEdit() { return *valueEdit_; }
  plat::ComboBox& UnitsCombo() { return *unitsCombo_; }
  plat::Button& OkButton() { return *ok_; }
  plat::Button& CancelButton() { return *cancel_; }

 private:
  void OkClick();

  plat::Edit* valueEdit_ = nullptr;
  plat::ComboBox* unitsCombo_ = nullptr;
  plat::Button* ok_ = nullptr;
  plat::Button* cancel_ = nullptr;
  int value_ = 0;
  int units_ = 0;
};

// Runs a measure dialog captioned `caption` on `length`, offering the units
// last chosen. True when the length changed; the dialog's units are then the
// ones offered next time.
bool MeasureDialog(const std::string& caption, int& length);

// Places a dialog, once made, centred on the mouse pointer and whole on the screen.
void CentreOnPointer(plat::Form& dialog);
// Places a dialog centred over another window and whole on the screen.
void CentreOver(plat::Form& dialog, const plat::Form& over);

// What an options window's button that opens a dialog does around it: the
// mouse pointer goes to the button's centre, the window hides while `run`
// runs the dialog and shows again after it, however `run` ends.
void StepAside(plat::Form& optionsWindow, plat::Control& button, const std::function<void()>& run);

// A length button of an options dialog: the mouse pointer goes to the
// button's centre, the options dialog hides while the measure dialog runs
// and shows again after it; `apply` runs when the length changed.
bool MeasureStep(plat::Form& optionsDialog, plat::Control& button, const std::string& caption, int& length,
                 const std::function<void()>& apply);
