#pragma once
// Registers the ordination modules that are built.

void RegisterOrdinationModules();
