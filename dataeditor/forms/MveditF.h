#pragma once
// The data editor's main window: binds the platform's controls to TMveditModel.
// Every user action runs one model command, guarded so that an error shows in
// the application's error box, and then the controls show the model again.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dataeditor/forms/CommentsF.h"
#include "dataeditor/MveditModel.h"
#include "platform/Form.h"
#include "platform/StdControls.h"
#include "platform/StringGrid.h"

class TMveditF : public plat::Form {
 public:
  static constexpr int kHelpContext = 123;
  TMveditF();
  ~TMveditF() override;

  // Opens the file named by the only argument, or starts a new matrix.
  void Start(const std::vector<std::string>& args);

  TMveditModel& Model() { return model_; }
  plat::StringGrid& DataGrid() { return *grid_; }
  plat::ComboBox& TypeCB() { return *typeCB_; }
  plat::Edit& RowsEdit() { return *rowsEdit_; }
  plat::Edit& ColsEdit() { return *colsEdit_; }
  plat::Edit& MissingEdit() { return *missingEdit_; }
  plat::SpinEdit& MatrixNumSpin() { return *spin_; }
  plat::Control& SavedMark() { return *saved_; }
  plat::Button& CommentsButton() { return *commentsButton_; }
  plat::Button& CloseButton() { return *closeButton_; }
  TCommentsF& CommentsWindow();

  // Shows the model in the controls.
  void Refresh();

 private:
  // Returns the width the panel's controls take.
  int BuildTopPanel();
  void BuildButtonPanel();
  void BuildGrid();
  void BuildMenus();
  // Runs a model command guarded, then shows the model.
  void Do(const std::function<void()>& command);
  void ApplyFont();
  // The grid takes the model's size and shows its texts again.
  void ShowGridShape();
  void FitColumns();

  TMveditModel model_;
  std::unique_ptr<TCommentsF> comments_;
  plat::ComboBox* typeCB_ = nullptr;
  plat::Edit* rowsEdit_ = nullptr;
  plat::Edit* colsEdit_ = nullptr;
  plat::Edit* missingEdit_ = nullptr;
  plat::SpinEdit* spin_ = nullptr;
  plat::Button* commentsButton_ = nullptr;
  plat::Button* closeButton_ = nullptr;
  plat::Label* saved_ = nullptr;
  plat::SpeedButton* colLabs_ = nullptr;
  plat::SpeedButton* rowLabs_ = nullptr;
  plat::Button* insRow_ = nullptr;
  plat::Button* delRow_ = nullptr;
  plat::StringGrid* grid_ = nullptr;
  std::vector<plat::MenuItem*> columnMenus_;
  plat::MenuItem* deleteRowMenu_ = nullptr;
  plat::MenuItem* deleteColumnMenu_ = nullptr;
  int shownRevision_ = -1;
  int fittedMatrix_ = -1;
  // Set while the controls are being filled from the model: their change events are not the user's.
  bool refreshing_ = false;
};
