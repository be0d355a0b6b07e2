#pragma once
// Connects the matrix library's hooks to the shell at start-up: listing lines
// go to the listing, "DefaultDir" and "OverWrite" come from the configuration,
// the numerics' cancellation point is Progress, an existing output file is
// met with the given overwrite question, and one that is not written over
// stops a batch (a dialog's run notes it in the listing). Message boxes and
// the window list are the caller's (the windows, or a headless driver's
// doubles).

#include "shell/Ask_oaf.h"

class TListingModel;

void InstallShellServices(TListingModel& listing, TAskOafPrompt overwritePrompt);
