#pragma once
// Puts every module this program is built with into the module table.

void RegisterBuiltModules();
