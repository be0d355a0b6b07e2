#include "tools/qmbrun/WindowedPart.h"

void AddWindowedPart() {}
