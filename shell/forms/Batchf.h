#pragma once
// TbatchF, "Batch mode": loads a batch file, takes up to nine batch
// parameters and drives the batch runner, showing the line it executes, the
// progress and the status. While the batch waits after a graphics module, Run
// reads "Next"; the wait sleeps in the event loop.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Form.h"
#include "platform/StdControls.h"
#include "shell/Batchu.h"
#include "shell/Progress.h"
#include "shell/forms/FormParts.h"

class TbatchF : public plat::Form, private TBatchView {
 public:
  explicit TbatchF(TListingModel& listing);
  ~TbatchF() override;

  TBatchRunner& Runner() { return runner_; }
  plat::Button& LoadBtn() { return *load_; }
  plat::Button& RunBtn() { return *run_; }
  plat::Button& CancelBtn() { return *cancel_; }
  plat::Edit& ParamsEdit() { return *params_; }
  plat::Label& FileLabel() { return *fileLabel_; }
  plat::Panel& ExecPanel() { return *execPanel_; }
  plat::Label& LineNumber() { return *lineNumber_; }
  plat::Label& LineText() { return *lineText_; }
  plat::Panel& StatusPanel() { return *status_; }
  plat::ProgressGauge& Gauge() { return *gauge_; }

  // The buttons' actions.
  void LoadFile();
  void Load(const std::string& fileName);
  void RunOrNext();
  void CancelOrClose();

 private:
  // TBatchView
  void RunStarted() override;
  void ExecutingLine(int number, int fileLine, const std::string& line) override;
  void WaitStarted() override;
  void WaitEnded() override;
  void RunEnded() override;
  void ShowError(const std::string& text) override;
  void ShowWarning(const std::string& text) override;
  // The message with the line of the command that ended the batch.
  std::string NamedAfterLine(const std::string& text) const;

  TBatchRunner runner_;
  plat::Button* load_;
  plat::Button* run_;
  plat::Button* cancel_;
  plat::Label* fileLabel_;
  plat::Edit* params_;
  plat::Panel* execPanel_;
  plat::Label* lineNumber_;
  plat::Label* lineText_;
  plat::ProgressGauge* gauge_;
  plat::Panel* status_;
  std::unique_ptr<TPanelProgress> progress_;
  std::string runHint_;
  int fileLine_ = 0;  // the running command's line in the batch file; 0 before the first
  std::string command_;
};
