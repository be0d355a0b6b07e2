#pragma once
// Puts every analysis module this program is built with into the module
// table. The graphics modules come with the windowed part
// (RegisterGraphicsModules in plot/forms/GraphicsModules.h).

void RegisterBuiltModules();
