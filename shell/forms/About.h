#pragma once
// TAboutF, "About Morvapc": the program's name and version and an OK button.
// The main window's, the listing's and the plot windows' "&About..." open it.

#include "platform/Form.h"

class TAboutF : public plat::Form {
 public:
  TAboutF();
};

// Shows the about window modal, made when no window "AboutF" exists.
void ShowAbout();
