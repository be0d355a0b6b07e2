#include "shell/ShellServices.h"

#include <utility>

#include "matrix/MatrixFiles.h"
#include "matrix/Matrixu.h"
#include "shell/Config.h"
#include "shell/Listing.h"
#include "shell/Progress.h"

namespace {

// An existing output file that "OverWrite" F or the user's Cancel refused: a
// batch stops at it, naming the file, so that no later command reads the old
// file for a new one; a run from the dialog ends quietly, and its listing
// says what was not written.
void OutputNotWritten(const std::string& fullName) {
  if (RunFlags().batchRunning) throw E_Morvapc("Output file exists and was not written: " + fullName);
  ListingWriteLine("Output file not written: " + fullName);
}

void InstallOutputRefusal() {
  TMatrixFileHooks hooks = InstallMatrixFileHooks({});
  hooks.outputRefused = OutputNotWritten;
  InstallMatrixFileHooks(std::move(hooks));
}

}  // namespace

void InstallShellServices(TListingModel& listing, TAskOafPrompt overwritePrompt) {
  listing.InstallAsListingSink();
  InstallConfigHooks();
  InstallOverwritePrompt(std::move(overwritePrompt));
  InstallOutputRefusal();
  InstallAbortCheck([] { Progress("", -2); });
}
