#pragma once
// OUTPUT (module 2): prints every matrix of a file into the listing in pages
// of a chosen width, optionally with its rows and columns in the order that
// order matrices give.

#include <span>

#include "shell/Modules.h"

void OutputDescribe(TModuleRec& module);
void OutputRun(std::span<const TParamRec> params);
void OutputRelease();
