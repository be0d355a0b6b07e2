#pragma once
// TPSWTS (module 5): thin-plate spline weights of landmark data. Each data
// set of the input (objects by landmark coordinates) is paired with the next
// reference configuration of a second file; the module writes the partial
// warp scores of every object (with two columns of the uniform component on
// request) and the principal warps of the reference. Its two plot buttons
// have nothing to plot.

#include <span>

#include "shell/Modules.h"

void TpswtsDescribe(TModuleRec& module);
void TpswtsRun(std::span<const TParamRec> params);
void TpswtsRelease();

// The detail listings of the computation (principal warps, the alignment of
// the reference, the uniform tables); off unless switched on. Returns the
// previous setting.
bool SetTpswtsDetailListing(bool on);
