#pragma once
// What qmbrun adds when it is built with windows: the graphics modules and
// the plot windows of the plot buttons. Built without windows, nothing.

void AddWindowedPart();
