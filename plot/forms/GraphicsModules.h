#pragma once
// The windowed part of the module table: the graphics modules and the plot
// windows that the other modules' plot buttons open.

#include "shell/PlotWindows.h"

// Puts the graphics modules this program is built with into the module table.
void RegisterGraphicsModules();

// The openers of the plot windows built into this program, for
// InstallPlotOpeners.
TPlotOpeners PlotWindowOpeners();
