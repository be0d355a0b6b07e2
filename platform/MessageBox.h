#pragma once
// Message boxes: error, warning, information and confirmation, with a set of
// buttons; the answer is a modal result (mrOk, mrYes, ...).

#include "platform/Service.h"
#include "platform/Types.h"

#include <string>

namespace plat {

class MessageBoxes {
 public:
  static constexpr const char* kServiceName = "message boxes";
  virtual ~MessageBoxes() = default;
  // Shows `text` with the application's title as caption; returns the button pressed,
  // or mrCancel when the box is closed without one.
  virtual ModalResult Show(const std::string& text, MsgKind kind, MsgButtons buttons) = 0;
};

// The installed message boxes, as the forms call them.
ModalResult MessageDlg(const std::string& text, MsgKind kind, MsgButtons buttons);
void ShowErrorMessage(const std::string& text);
void ShowWarningMessage(const std::string& text);
void ShowInformationMessage(const std::string& text);

// Shows the text in a box of that kind with an OK button when message boxes
// are installed; false when none is, or the box itself failed, so that the
// caller says it another way (on the console).
bool ShowMessageIfPossible(const std::string& text, MsgKind kind);

}  // namespace plat
