#include "plot/forms/GraphicsModules.h"

#include "plot/forms/mod3d.h"
#include "plot/forms/mxcomp.h"
#include "plot/forms/mxplot.h"
#include "plot/forms/tree.h"
#include "shell/Modules.h"

void RegisterGraphicsModules() {
  RegisterModule(24, MxPlotDescribe);
  RegisterModule(25, Mod3DDescribe);
  RegisterModule(26, MxCompDescribe);
  RegisterModule(27, TreeDescribe);
}

TPlotOpeners PlotWindowOpeners() {
  return {.tree = OpenTreePlotWindow, .matrix = OpenMatrixPlotWindow, .matrix3D = OpenMatrix3DPlotWindow};
}
