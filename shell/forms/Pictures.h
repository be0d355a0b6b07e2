#pragma once
// The analysis program's pictures, drawn by resources/SHELLPICTURES.py and
// built into the program as bitmap resources: the faces of the main window's
// tool buttons and of the dialog's plot buttons ("2DPlot", "3DPlot", "Tree"),
// the splash window's picture and the program's icon.

namespace shellpictures {

constexpr const char* kEditFile = "EDITFILE";
constexpr const char* kListing = "LISTING";
constexpr const char* kBatch = "BATCH";
constexpr const char* kExit = "EXIT";
constexpr const char* kHelp = "HELP";
constexpr const char* kSplash = "SPLASH";
constexpr const char* kIcon = "MORVAPC";

}  // namespace shellpictures

// Makes the pictures findable by name; calling it again does nothing.
void RegisterShellPictures();  // generated from the bitmaps of resources/
