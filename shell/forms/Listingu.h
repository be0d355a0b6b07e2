#pragma once
// TListingF, "Report listing": the listing's notebook. Page 0 shows the
// program's name and version; every other page holds one section of the
// listing model in an editor control over that section's paragraph list, so
// what a run writes shows at once and what the user edits is what is saved
// and printed.

#include <cstdint>
#include <functional>
#include <string>

#include "controls/base/forms/VirBase.h"
#include "controls/editor/forms/VirEdit.h"
#include "controls/editor/forms/VirNbk.h"
#include "platform/CommonDialogs.h"
#include "platform/Form.h"
#include "shell/Listing.h"

class TListingF : public plat::Form {
 public:
  TListingF();
  ~TListingF() override;

  TListingModel& Model() { return model_; }
  TVirNotebook& Notebook() { return *notebook_; }
  // The editor of a section page; null on the Version page.
  TVirEditor* EditorAt(int page) const;
  TVirEditor* CurrentEditor() const { return EditorAt(notebook_->PageIndex()); }
  const plat::Font& ListingFont() const { return font_; }

  // The menu commands.
  void LoadNotebook();
  void SaveNotebook();
  void ClearNotebook();
  void PrintNotebook();
  void SaveCurrentSection();
  void DeleteCurrentSection();
  void PrintCurrentSection();
  void ChooseListingFont();
  void ChooseIndent();
  // Shown, with its placement restored, when it is not visible.
  void ShowListing();
  // The keyboard focus to the current section's editor.
  void FocusCurrentPage();

 private:
  void BuildMenus();
  void BuildVersionPage();
  std::shared_ptr<TParaList> AddSectionPage(const std::string& caption, bool wordWrap);
  void SectionsChanged();
  void LayOut();
  bool ListingFile(plat::FileDialogRequest& request, bool save);
  void SaveAs(const std::function<void(const std::string&)>& save);
  void PrintLines(const std::vector<std::string>& lines);
  // The listing's sections change only while no module runs.
  bool Idle() const;

  TVirController* controller_;
  TVirNotebook* notebook_;
  TListingModel model_;
  plat::Font font_;
  bool placed_ = false;
};

// The program's listing window; null before it is made.
TListingF* ListingForm();
