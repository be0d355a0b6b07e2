#pragma once
// Task_oafF, "File exists!": asks whether to append to an output file that
// exists, overwrite it or try another name. Its modal result is oafAppend,
// oafOverwrite or oafCancel (shell/Ask_oaf.h).

#include <string>
#include <vector>

#include "platform/Form.h"
#include "platform/StdControls.h"

class Task_oafF : public plat::Form {
 public:
  Task_oafF();

  // The file name shown; set before showing.
  plat::Edit& FileText() { return *fileText_; }
  plat::Button& AppendBtn() { return *append_; }
  plat::Button& OverwriteBtn() { return *overwrite_; }
  plat::Button& CancelBtn() { return *cancel_; }
  // The name as shown, whole, and the label that shows it (a long one on several lines).
  const std::string& ShownName() const { return shownName_; }
  plat::Label& FileLabel() { return *fileLabel_; }
  plat::Label& ExistsLabel() { return *exists_; }

 private:
  void LayOutName();

  plat::Edit* fileText_;
  plat::Label* fileLabel_;
  plat::Label* exists_;
  plat::Button* append_;
  plat::Button* overwrite_;
  plat::Button* cancel_;
  std::string shownName_;
  std::vector<std::string> nameLines_;
};

// The overwrite question as the matrix files ask it: the window, modal.
plat::ModalResult ShowOverwriteQuestion(const std::string& fullName);
