#include <cstdlib>

#include "plot/forms/GraphicsModules.h"
#include "shell/PlotWindows.h"
#include "tools/qmbrun/WindowedPart.h"

// Plot windows open offscreen unless the caller chose a platform: without a
// display the default one would end the program.
void AddWindowedPart() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform == nullptr || *platform == '\0') setenv("QT_QPA_PLATFORM", "offscreen", 1);
  RegisterGraphicsModules();
  InstallPlotOpeners(PlotWindowOpeners());
}
