#include "shell/ShellServices.h"

#include <utility>

#include "matrix/Matrixu.h"
#include "shell/Config.h"
#include "shell/Listing.h"
#include "shell/Progress.h"

void InstallShellServices(TListingModel& listing, TAskOafPrompt overwritePrompt) {
  listing.InstallAsListingSink();
  InstallConfigHooks();
  InstallOverwritePrompt(std::move(overwritePrompt));
  InstallAbortCheck([] { Progress("", -2); });
}
