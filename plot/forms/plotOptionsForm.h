#pragma once
// What the plots' options windows share: the window itself (a fixed dialog
// owned by the plot's window, kept whole on the screen), its "&Titles" box
// with the plot's title and subtitle and their font buttons, the "&OK" and
// "&Help" buttons, and the titles taken from their edits when an edit is left
// or the window closes. Every change acts on the open plot at once; there is
// no undo.

#include <functional>
#include <string>

#include "platform/Form.h"
#include "platform/StdControls.h"
#include "plot/forms/bmPlt2BC.h"

class TPlotOptionsForm : public plat::Form {
 public:
  // The help contexts of the window and of its "General..." button.
  static constexpr int kHelpContext = 22;
  static constexpr int kGeneralHelpContext = 21;

  ~TPlotOptionsForm() override;

  // The titles' edits and handlers (published for the form's controls and tests).
  plat::Edit& TitleEdit() { return *TitleEdit_; }
  plat::Edit& SubTitleEdit() { return *SubTitleEdit_; }
  plat::Button& TitleFontsBtn() { return *TitleFontsBtn_; }
  plat::Button& SubtitleFontsBtn() { return *SubtitleFontsBtn_; }
  plat::Button& OkButton() { return *IDOK_; }
  plat::Button& HelpButton() { return *DlgHelp_; }
  void TitleEditExit();
  void SubTitleEditExit();

 protected:
  // A window of the name, caption and client size given over the plot, whose
  // window must be open; the titles box is made at the top, OK and Help at
  // `buttonsTop`.
  TPlotOptionsForm(TbmPlt2BC& plot, const std::string& name, const std::string& caption, int clientWidth,
                   int clientHeight, int buttonsTop);

  // Moves the window, once made, to be whole on the screen.
  void KeepWindowOnScreen();

  TbmPlt2BC& Client() { return Plot_; }
  Tbm2DForm& Window() { return *Plot_.Window(); }
  void Replot() { Window().Replot(); }

  // Controls made on `parent` at (left, top) with the width and height given.
  plat::GroupBox& AddGroup(plat::Control& parent, const std::string& caption, int left, int top, int width, int height);
  plat::Button& AddButton(plat::Control& parent, const std::string& caption, const std::string& hint, int left, int top,
                          int width, std::function<void()> onClick);
  plat::Label& AddLabel(plat::Control& parent, const std::string& caption, int left, int top, int width);
  plat::Edit& AddEdit(plat::Control& parent, const std::string& hint, int left, int top, int width);

  // The buttons that open the plot window's dialogs: the axis dialog of the
  // X axis (0) or the Y axis (1), the main plot options, a style's dialog.
  plat::Button& AddAxisButton(plat::Control& parent, const std::string& caption, const std::string& hint, int which,
                              int left, int top, int width);
  plat::Button& AddGeneralButton(plat::Control& parent, int left, int top, int width);
  plat::Button& AddStyleButton(plat::Control& parent, const std::string& caption, const std::string& hint,
                               std::int32_t identifier, const std::string& styleCaption, int left, int top, int width);

 private:
  // A row of the titles box: the label and its edit, showing `text` and left by `onExit`.
  plat::Edit& AddTitleRow(plat::Control& box, const std::string& caption, const std::string& hint, int top,
                          const std::string& text, std::function<void()> onExit);

  TbmPlt2BC& Plot_;
  plat::Edit* TitleEdit_ = nullptr;
  plat::Edit* SubTitleEdit_ = nullptr;
  plat::Button* TitleFontsBtn_ = nullptr;
  plat::Button* SubtitleFontsBtn_ = nullptr;
  plat::Button* IDOK_ = nullptr;
  plat::Button* DlgHelp_ = nullptr;
};
