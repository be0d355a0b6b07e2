#include "tools/qmbrun/WindowedPart.h"

const bool kWithWindows = false;

void AddWindowedPart() {}

int OpenPlotWindows() { return 0; }

std::vector<std::string> SavePlotWindows(const std::string&, const std::string&, TPlotFileFormat) { return {}; }
