#pragma once
// What qmbrun adds when it is built with windows: the graphics modules, the
// plot windows of the plot buttons, and saving what the plot windows show.
// Built without windows, none of these: no module opens a window there.

#include <string>
#include <vector>

#include "tools/qmbrun/QmbrunOptions.h"

// True when this qmbrun is built with windows.
extern const bool kWithWindows;

// Puts the graphics modules into the module table and the plot windows behind
// the plot buttons; the toolkit's own diagnostics stay off standard error.
void AddWindowedPart();

// The number of plot windows open now.
int OpenPlotWindows();

// Saves the pages of every open plot window in the folder (made when it is
// missing), named after stem ("<stem>.pdf"; "<stem>-window2.pdf" for a
// second window), and returns the files' names. An existing file is written
// over only as the rule of output files allows (E_Morvapc otherwise, before
// anything is written). The files appear together or not at all: a file or
// the folder that cannot be written raises rtl::EInOutError with the system's
// reason, and none is left.
std::vector<std::string> SavePlotWindows(const std::string& folder, const std::string& stem, TPlotFileFormat format);
