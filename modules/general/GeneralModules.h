#pragma once
// Registers the general modules: STAND, OUTPUT, DCENTER, FOURIER, TPSWTS and TRANSF.

void RegisterGeneralModules();
