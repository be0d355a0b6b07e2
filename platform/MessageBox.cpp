#include "platform/MessageBox.h"

#include "platform/DisplayText.h"

namespace plat {

ModalResult MessageDlg(const std::string& text, MsgKind kind, MsgButtons buttons) {
  return Service<MessageBoxes>::Get().Show(EscapeUnexpected(text), kind, buttons);
}

void ShowErrorMessage(const std::string& text) { MessageDlg(text, MsgKind::Error, mbOK); }
void ShowWarningMessage(const std::string& text) { MessageDlg(text, MsgKind::Warning, mbOK); }
void ShowInformationMessage(const std::string& text) { MessageDlg(text, MsgKind::Information, mbOK); }

bool ShowMessageIfPossible(const std::string& text, MsgKind kind) {
  try {
    if (!Service<MessageBoxes>::Installed()) return false;
    MessageDlg(text, kind, mbOK);
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace plat
