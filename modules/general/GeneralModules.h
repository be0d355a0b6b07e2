#pragma once
// Registers the general modules: STAND, OUTPUT, DCENTER and TRANSF.

void RegisterGeneralModules();
