#pragma once
// FOURIER (module 4): Fourier description of closed outlines. Each object of
// the input (a row, or a column with "By rows?" off) is an outline, a row of
// elliptic coefficients or a set of radii; each becomes one row of the result:
// elliptic Fourier coefficients in 2-D or 3-D, the outline points given back
// by such coefficients, or the Fourier coefficients of the radii. Its two plot
// buttons have nothing to plot.

#include <span>

#include "shell/Modules.h"

void FourierDescribe(TModuleRec& module);
void FourierRun(std::span<const TParamRec> params);
void FourierRelease();
