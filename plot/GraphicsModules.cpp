#include "plot/GraphicsModules.h"

#include "plot/tree.h"
#include "shell/Modules.h"

void RegisterGraphicsModules() { RegisterModule(27, TreeDescribe); }

TPlotOpeners PlotWindowOpeners() { return {.tree = OpenTreePlotWindow}; }
