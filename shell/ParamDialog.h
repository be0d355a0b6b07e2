#pragma once
// The parameter dialog's logic apart from its window: the dialog keeps a copy
// of the descriptor of its own module and its own working copy of that
// module's parameters, checks the required fields, runs the module and
// releases it. The window (shell/forms/Dialogu.h) binds the working copy to
// its grid and forwards its buttons.

#include <cstdint>
#include <optional>
#include <string>

#include "shell/Modules.h"

class TListingModel;

// What the dialog's window shows of a run.
class TDialogView {
 public:
  virtual ~TDialogView() = default;
  // The listing gets the run's section and comes into view when hidden.
  virtual void ShowListing() {}
  // Compute, Close and Help give way to Cancel; the plot buttons are disabled.
  virtual void RunStarted() {}
  // Compute, Close and Help come back; the plot buttons as the run left them.
  virtual void RunEnded() {}
};

// A required field left empty, or a file name too long: its row (counted from
// 1) and the message for the status panel.
struct TFieldFault {
  std::int32_t row = 0;
  std::string message;
};

// A file name longer than the longest path the system opens: the status
// panel's message naming the row's prompt; none for a name that fits.
std::optional<std::string> FileNameTooLong(const std::string& prompt, const std::string& fileName);

enum class TComputeEnd {
  Completed,  // the run routine returned
  Failed,     // an E_Morvapc ended it; its text was shown in an error box
  Aborted,    // Cancel ended it; "User abort" was shown in a warning box
  Refused,    // nothing ran: a required field is empty, or a module or batch runs
};

class TDialogModel {
 public:
  // A dialog over a described module: its own copy of the descriptor and a
  // fresh working copy of the module's parameters.
  explicit TDialogModel(const TModuleRec& module);

  const TModuleRec& Module() const { return module_; }
  TWorkingParams& Params() { return params_; }
  const TWorkingParams& Params() const { return params_; }
  // The module's own table record of a row (counted from 1): limits and masks.
  const TParamRec& TableRecord(std::int32_t row) const;

  // The first required text or file field that is empty: " Field must not be
  // blank in row %d" (text), " Input field must not be blank for %s" and
  // " Output field must not be blank for %s" (files, with the prompt); or the
  // first file name that is too long (FileNameTooLong).
  std::optional<TFieldFault> CheckFields() const;

  // Runs the module on the working copy, unless a field fault or another run
  // refuses it: a new listing section named after the module, busy set and
  // abort cleared, the run routine. A user abort and an E_Morvapc are shown in
  // their message boxes; any other error leaves Compute once the dialog is
  // idle again. The end of a run cannot raise: the gauge goes, busy and a
  // Cancel pressed too late are cleared, and the view's buttons come back on
  // every path.
  TComputeEnd Compute(TListingModel& listing, TDialogView& view);
  bool Running() const { return running_; }

  // The dialog may close only while it is not running.
  bool CanClose() const { return !running_; }
  // The close: the release routine of the dialog's own module (once), and the
  // working copy freed.
  void Close();

 private:
  TModuleRec module_;
  TWorkingParams params_;
  bool running_ = false;
  bool closed_ = false;
};
