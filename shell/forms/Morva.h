#pragma once
// TMORVAF, the main window "Morvapc": a tool bar, the module notebook whose
// buttons open the parameter dialog of their module, the menus and the status
// bar. It owns the settings' life cycle: the configuration and its page are
// read when it is made and written when it closes.

#include <cstdint>
#include <string>
#include <string_view>

#include "controls/base/forms/VirBase.h"
#include "controls/editor/forms/VirNbk.h"
#include "platform/Form.h"
#include "platform/StdControls.h"

class TSplashF;

class TMORVAF : public plat::Form {
 public:
  // Made while the splash shows; keeps it up until its deadline, then closes it.
  explicit TMORVAF(TSplashF* splash = nullptr);
  ~TMORVAF() override;

  TVirNotebook& Notebook() { return *notebook_; }
  plat::StatusBar& StatusBar() { return *status_; }
  // The module button of a module number; null when no page holds one.
  plat::Button* ModuleButton(std::int32_t number) const;

  // Opens the parameter dialog of a module (replacing an open one), unless a
  // module or a batch runs.
  void RunModule(std::int32_t number, std::int32_t helpContext);
  // The menu commands.
  void EditDataFile();
  void ViewListing();
  void RunBatchFile();

 private:
  void BuildMenus();
  void BuildSpeedPanel();
  void BuildNotebook();
  void ShowHint();
  void WriteSettings();
  void CloseOtherWindows();

  TVirController* controller_;
  TVirNotebook* notebook_;
  plat::StatusBar* status_;
};

// The short date format with a two-letter year widened to four ("m/d/yy"
// becomes "m/d/yyyy"); any other format stays as it is.
std::string FourDigitYears(std::string_view shortDate);

// Starts the configured editor on a file: its program found beside this one
// or on the path, the file one argument, no shell. A program that cannot be
// found or started gives the "Unable to open  editor" error box.
void StartEditor(const std::string& editor, const std::string& fileName);
