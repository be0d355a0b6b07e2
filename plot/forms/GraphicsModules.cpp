#include "plot/forms/GraphicsModules.h"

#include "plot/forms/tree.h"
#include "shell/Modules.h"

void RegisterGraphicsModules() { RegisterModule(27, TreeDescribe); }

TPlotOpeners PlotWindowOpeners() { return {.tree = OpenTreePlotWindow}; }
