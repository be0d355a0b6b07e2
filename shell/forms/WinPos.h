#pragma once
// Window placements kept in section "WinPos" of "morva.ini" under each
// window's name: restored when a window is made and saved when it closes.

#include <string_view>

#include "platform/Form.h"

// Applies the placement saved under the name; a missing or unusable one
// (its right edge not right of its left) changes nothing.
void RestoreWindowPos(plat::Form& form, std::string_view windowName);
// Saves the window's placement under the name. A main window shown normally
// while the application is minimised is saved as minimised.
void SaveWindowPos(plat::Form& form, std::string_view windowName);
