#pragma once
// The program entry of the analysis program after the toolkit is up: the
// splash, the title and the services, the main window and the listing
// window, four-digit years, and the event loop.

class TMORVAF;

// Makes the program's windows and services; returns the main window. The
// splash shows from the start until its deadline.
TMORVAF& StartMorvapc();
// StartMorvapc, then the event loop until the main window closes.
int RunMorvapc();
