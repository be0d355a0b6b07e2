#pragma once
// The parameter dialog's bar of plot buttons, recorded: which buttons a run
// enabled and whether it showed the bar.

#include <vector>

#include "shell/ModuleRun.h"

namespace testsupport {

class RecordingPlotBar : public TPlotButtonBar {
 public:
  void EnableButton(int button) override { enabled.push_back(button); }
  void ShowBar() override { shown = true; }

  std::vector<int> enabled;
  bool shown = false;
};

}  // namespace testsupport
