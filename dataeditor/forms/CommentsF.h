#pragma once
// The comments window: a memo over the comment lines of the shown matrix, with
// a Close button kept centred at the bottom.

#include <functional>
#include <string>
#include <vector>

#include "platform/Form.h"
#include "platform/StdControls.h"

class TCommentsF : public plat::Form {
 public:
  static constexpr int kHelpContext = 124;
  TCommentsF();

  // Shows the lines without counting them as an edit.
  void SetLines(const std::vector<std::string>& lines);
  std::vector<std::string> Lines() const { return memo_->Lines(); }

  // The user changed the text.
  std::function<void(const std::vector<std::string>& lines)> OnLinesEdited;
  // The window was closed by its button or its close box.
  std::function<void()> OnClosed;

  plat::Memo& MemoControl() { return *memo_; }

 private:
  void CentreCloseButton();
  plat::Memo* memo_ = nullptr;
  plat::Panel* bottom_ = nullptr;
  plat::Button* close_ = nullptr;
  bool settingLines_ = false;
};
