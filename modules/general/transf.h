#pragma once
// TRANSF (module 23): carries out a text of transformation codes on every
// matrix of a file, of any of the eight matrix types.

#include <span>

#include "shell/Modules.h"

void TransfDescribe(TModuleRec& module);
void TransfRun(std::span<const TParamRec> params);
void TransfRelease();
