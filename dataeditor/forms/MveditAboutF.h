#pragma once
// The about window of the data editor: the program's icon, name and version.

#include <string>

#include "platform/Form.h"

class TMveditAboutF : public plat::Form {
 public:
  static constexpr int kHelpContext = 7;
  explicit TMveditAboutF(const std::string& versionText);
};

// Shows the about window without blocking the main window; it is made on first use.
void ShowMveditAbout(const std::string& versionText);
