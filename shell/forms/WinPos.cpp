#include "shell/forms/WinPos.h"

#include <string>

#include "shell/Config.h"
#include "shell/Profile2.h"

namespace {

constexpr int kShowNormal = 1;
constexpr int kShowMinimized = 2;

TProfile2 SettingsProfile() {
  TProfile2 profile;
  profile.FileName = std::string(SettingsFileName);
  return profile;
}

}  // namespace

void RestoreWindowPos(plat::Form& form, std::string_view windowName) {
  TProfile2 profile = SettingsProfile();
  const auto saved = ReadWindowPlacement(profile, windowName);
  if (!saved) return;
  plat::WindowPlacement placement;
  placement.flags = saved->flags;
  placement.showCmd = saved->showCmd;
  placement.minPosition = {saved->minX, saved->minY};
  placement.maxPosition = {saved->maxX, saved->maxY};
  placement.normal = {saved->left, saved->top, saved->right, saved->bottom};
  form.SetPlacement(placement);
}

void SaveWindowPos(plat::Form& form, std::string_view windowName) {
  const plat::WindowPlacement placement = form.GetPlacement();
  TWindowPlacement saved;
  saved.flags = placement.flags;
  saved.showCmd = placement.showCmd;
  if (saved.showCmd == kShowNormal && &form == plat::MainForm() && plat::ApplicationMinimized()) {
    saved.showCmd = kShowMinimized;
  }
  saved.minX = placement.minPosition.x;
  saved.minY = placement.minPosition.y;
  saved.maxX = placement.maxPosition.x;
  saved.maxY = placement.maxPosition.y;
  saved.left = placement.normal.left;
  saved.top = placement.normal.top;
  saved.right = placement.normal.right;
  saved.bottom = placement.normal.bottom;
  TProfile2 profile = SettingsProfile();
  WriteWindowPlacement(profile, windowName, saved);
}
