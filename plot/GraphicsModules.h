#pragma once
// Puts the graphics modules this program is built with into the module table.

void RegisterGraphicsModules();
