#pragma once
// Parts the program's windows share: the progress of a run shown in a gauge
// and a status panel, and the file dialogs that start in the data directory.

#include <cstdint>
#include <string>

#include "platform/CommonDialogs.h"
#include "platform/StdControls.h"
#include "shell/Progress.h"

// A run's progress in a window's gauge and status panel.
class TPanelProgress : public TProgressView {
 public:
  TPanelProgress(plat::ProgressGauge& gauge, plat::Panel& status) : gauge_(gauge), status_(status) {}
  void SetStatus(const std::string& text) override;
  void StartGauge() override;
  void SetGauge(std::int32_t percent) override;
  void StopGauge() override;

 private:
  plat::ProgressGauge& gauge_;
  plat::Panel& status_;
};

// A lime progress gauge, hidden, and a status panel (lowered, text on the
// left), made on `parent` at the given bounds.
plat::ProgressGauge& AddRunGauge(plat::Control& parent, const plat::Rect& bounds);
plat::Panel& AddStatusPanel(plat::Control& parent, const plat::Rect& bounds);

// A file dialog's request that starts in the configured data directory.
plat::FileDialogRequest DataFileRequest(const std::string& title, const std::string& defaultExt,
                                        const std::string& filter, plat::FileDialogOptions options = 0);
