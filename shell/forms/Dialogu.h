#pragma once
// TDialogF, the parameter dialog: one row per parameter of its module (the
// prompt and the argument in a typed cell of the table grid), the buttons
// Compute, Close, Help and Cancel, the plot-button bar, a status panel and a
// progress gauge. Its logic (own descriptor and working copy, required
// fields, the run and the release) is TDialogModel's.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "controls/base/forms/VirBase.h"
#include "controls/table/VirTCStr.h"
#include "controls/table/forms/VirTable.h"
#include "platform/Form.h"
#include "platform/StdControls.h"
#include "shell/ModuleRun.h"
#include "shell/ParamDialog.h"
#include "shell/Progress.h"
#include "shell/forms/FormParts.h"
#include "shell/forms/ParamCells.h"

class TVirTCStringEdit;

class TDialogF : public plat::Form, private TDialogView, private TPlotButtonBar {
 public:
  // The dialog of a described module, with its own copy of the descriptor.
  explicit TDialogF(const TModuleRec& module);
  ~TDialogF() override;

  TDialogModel& Model() { return model_; }
  TVirTable& Table() { return *table_; }
  plat::Button& ComputeBtn() { return *compute_; }
  plat::Button& CloseBtn() { return *close_; }
  plat::Button& HelpBtn() { return *help_; }
  plat::Button& CancelBtn() { return *cancel_; }
  plat::Panel& StatusPanel() { return *status_; }
  plat::ProgressGauge& Gauge() { return *gauge_; }
  plat::Panel& Toolbar() { return *toolbar_; }
  // Plot button i (1 to the module's count).
  plat::SpeedButton& PlotButton(int i) { return *plotButtons_.at(static_cast<std::size_t>(i - 1)); }
  int PlotButtonCount() const { return static_cast<int>(plotButtons_.size()); }
  // The cell of a parameter row (1 to count); null where none edits.
  TVirBaseTableCell* CellAt(int row) const;

  // Ends editing and runs the module (Compute's click).
  void Compute();
  void ShowHelp();
  // The status panel's text.
  void SetStatus(const std::string& text) { progress_->SetStatus(text); }

 private:
  void BuildTable();
  void BuildPanel();
  void BuildPlotBar();
  // The client height that shows the heading and every parameter row above the panel.
  int FullHeight() const;
  // On opening the window takes its full height; a resize may lower it, never raise it beyond.
  void FitHeight(bool opening);
  void ShowFieldFault(const TFieldFault& fault);
  void PlotButtonClick(plat::SpeedButton& button);
  void BrowseFile(int row, bool save, TVirTCStringEdit& edit);
  void Detach();
  int PlotBarWidth() const;

  // TDialogView
  void ShowListing() override;
  void RunStarted() override;
  void RunEnded() override;
  // TPlotButtonBar
  void EnableButton(int button) override;
  void ShowBar() override;

  TDialogModel model_;
  TVirController* controller_;
  TVirTable* table_;
  std::unique_ptr<TVirTCColHead> heading_;
  std::unique_ptr<TVirTCBaseString> promptCell_;
  std::vector<TParamRowData> rows_;
  std::vector<std::unique_ptr<TVirBaseTableCell>> cells_;
  plat::Panel* panel_;
  plat::Button* compute_;
  plat::Button* close_;
  plat::Button* help_;
  plat::Button* cancel_;
  plat::ProgressGauge* gauge_;
  plat::Panel* status_;
  plat::Panel* toolbar_;
  std::vector<plat::SpeedButton*> plotButtons_;
  std::unique_ptr<TPanelProgress> progress_;
  bool closing_ = false;
};

// The open parameter dialog; null when none is open.
TDialogF* DialogForm();
