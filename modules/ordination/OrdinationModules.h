#pragma once
// Registers the ordination modules: EIGEN, PROJ and SVD.

void RegisterOrdinationModules();
