#pragma once
// What the analysis program installs at start-up so its modules and windows
// meet: the shared services over the windows (listing, message boxes, the
// window list, the printer's page), the overwrite question, the message pump
// and the plot windows with their "&About...".

class TListingModel;

void InstallProgramServices(TListingModel& listing);

// The printer's page as the shared services report it: the installed
// printer's, or none when it cannot be opened.
void InstallPrinterServices();
