#pragma once
// A notebook model over a view double that records what the model asks of
// the window, and answers with a size, a focus state and a page-change policy
// that each test sets.

#include <functional>
#include <string>
#include <vector>

#include "controls/editor/VirNbkModel.h"

class RecordingNotebookView : public TNotebookView {
 public:
  plat::Size size{220, 185};
  bool aligned = false;
  bool focused = false;
  bool canFocus = true;
  bool pageControlTakesFocus = false;
  // Fonts that are not outline fonts, by name.
  std::vector<std::string> bitmapFonts;
  // Decides OnPageChange; allows every change when empty.
  std::function<bool(int)> allowChange;
  // Runs in OnPageChanged.
  std::function<void(int)> afterChange;

  // What happened, one entry per call: "show 1", "hide 0", "changing 2", ...
  std::vector<std::string> log;
  std::vector<int> clicks;
  std::vector<int> overTabs;
  int repaintsAll = 0;
  std::vector<plat::Rect> repaintedAreas;
  int helpContext = 0;
  std::string hint;

  std::unique_ptr<TNbkPage> CreatePage() override;
  void ShowPage(TNbkPage& page) override { log.push_back("show " + page.PageCaption()); }
  void HidePage(TNbkPage& page) override { log.push_back("hide " + page.PageCaption()); }
  void ReleasePageWindow(TNbkPage& page) override { log.push_back("release " + page.PageCaption()); }
  void PlacePage(TNbkPage& page, const plat::Rect& bounds) override;
  void LeavePage(TNbkPage& page) override { log.push_back("leave " + page.PageCaption()); }
  bool FocusFirstControlOn(TNbkPage& page) override;

  plat::Size NotebookSize() const override { return size; }
  bool Aligned() const override { return aligned; }
  bool HasFocus() const override { return focused; }
  bool CanTakeFocus() const override { return canFocus; }
  void TakeFocus() override;
  void RepaintAll() override { ++repaintsAll; }
  void RepaintNow(const plat::Rect& area) override { repaintedAreas.push_back(area); }
  void EchoHelpContext(int context) override { helpContext = context; }
  void EchoHint(const std::string& text) override { hint = text; }
  bool IsOutlineFont(const plat::Font& font) const override;

  void PageChanging(int index, bool& allow) override;
  void PageChanged(int index) override;
  void TabClicked(int index) override { clicks.push_back(index); }
  void MouseOverTab(int index) override { overTabs.push_back(index); }

  // The entries of the log that start with `prefix`.
  std::vector<std::string> Entries(const std::string& prefix) const;
};

// `captions` as the pages of a notebook whose first page is active, the log cleared.
void FillNotebook(TNotebookModel& notebook, RecordingNotebookView& view, const std::vector<std::string>& captions);
