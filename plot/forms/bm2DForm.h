#pragma once
// The window every plot is shown in: a paint box filling the window, a bottom
// panel with the spin that picks the data group, and menus for printing, print
// preview, copying a bitmap or a metafile, saving a metafile, the plot's
// options, help and closing. Clients draw through Plot() (see bm2DPlot.h).
// The window is modeless and frees itself when the user closes it.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/BitmapCanvas.h"
#include "platform/CustomControl.h"
#include "platform/Form.h"
#include "platform/Lifetime.h"
#include "platform/StdControls.h"
#include "plot/bm2DPlot.h"
#include "rtl/AtomicFile.h"

class Tbm2DForm;
class TbmAxisDlg;

// The kinds of file a plot window's pages can be saved as.
enum class TbmPageFile { Pdf, Png, Emf };

// The paint box's window: paints and forwards double clicks and right-button releases.
class TbmPaintBoxControl : public plat::CustomControl {
 public:
  TbmPaintBoxControl(plat::Control& parent, Tbm2DForm& form);

 protected:
  void Paint(plat::Canvas& canvas) override;
  void MouseUp(plat::MouseButton button, plat::ShiftState shift, int x, int y) override;
  void DblClick() override;
  void Resized() override;

 private:
  Tbm2DForm& Form_;
};

class Tbm2DForm : public plat::Form {
 public:
  // The client area's initial size.
  static constexpr int kInitialWidth = 435;
  static constexpr int kInitialHeight = 300;

  // Makes the window, owned by the application, for a client's callbacks.
  static Tbm2DForm& Execute(std::function<void()> drawCallback, std::function<void()> optionsCallback, int groupCount,
                            int helpContext);

  Tbm2DForm();
  ~Tbm2DForm() override;
  void HandleMessage(const plat::Message& message) override;

  Tbm2DPlot& Plot() { return *Plot_; }
  // The current data group: 1 without a choice, else the spin's value.
  int ByGroupValue() const { return Plot_->ByGroupValue(); }
  // Lays out for the paint box's size and repaints.
  void Replot();
  // Replot, and the window paints before it returns.
  void ReplotNow();
  // Runs after every Replot (a window that follows the plot's changes).
  std::function<void()> OnReplot;
  // Lets go of the client: its callbacks are not called any more.
  void DetachClient();

  // Menu actions.
  void PrintPlot();
  void TogglePrintPreview();
  void PrinterSetup();
  void CopyBitmap();
  void MakeMetafile();
  void SaveMetafile();
  void ShowOptions();

  // Saves every page the window can show (each page of each data group)
  // without asking anyone, each laid out on the platform's default page as
  // "Print" lays it out: a PDF document of them all ("<base>.pdf"), or a
  // picture file per page, PNG at 150 pixels per inch or a metafile
  // ("<base>.png", "<base>.emf"; "-<group>" added when there are several
  // groups, "-p<page>" when a group has several pages). Every file is written
  // beside its name and returned to be put in place (Commit) together with
  // the others, or dropped; a file that takes a name, even a link, is then
  // replaced. A file that cannot be written raises rtl::EInOutError naming it
  // with the system's reason, and nothing is left of the others.
  std::vector<rtl::AtomicFile> SavePages(const std::string& base, TbmPageFile kind);
  // The names of the files SavePages writes, in its order.
  std::vector<std::string> PageFiles(const std::string& base, TbmPageFile kind) const;

  // What the options windows' buttons open. EditStyle hides the options
  // window, runs the dialog that fits the style's kind (text styles: the font
  // dialog) with the caption given, replots when the style changed and shows
  // the options window again. AxisDialogs opens the modeless axis dialog on
  // the X axis (which 0) or the Y axis (which 1); MainOptions runs the main
  // plot options dialog modally. Each dialog replots after every change.
  void EditStyle(plat::Form& optionsWindow, plat::Control& button, int identifier, const std::string& caption);
  void AxisDialogs(plat::Form& owner, int which);
  void MainOptions(plat::Form& owner);
  // The axis dialog open now; null once it has closed.
  TbmAxisDlg* AxisDialog() const { return AxisDlg_.Get(); }

  // The font dialog on a text style or the title and subtitle fonts; true when confirmed.
  bool EditTextStyle(int identifier);
  void TitleFontDialog();
  void SubTitleFontDialog();

  // Where the About item goes (the application's about window); nothing without one.
  static std::function<void()>& AboutHandler();

  TbmPaintBoxControl& PaintBoxControl() { return *PaintBoxControl_; }
  plat::Panel& ByGroupPanel() { return *ByGroupPanel_; }
  plat::SpinEdit& ByGroupSpin() { return *ByGroupSpin_; }
  plat::MenuItem& PreviewItem() { return *PreviewItem_; }

 private:
  void BuildMenu();
  void BuildGroupPanel();
  void PlaceGroupSpin();
  void UpdatePreview();
  void WriteMetafile(const std::string& path);
  bool FontDialog(plat::Font& font, int& size);
  void CloseAxisDialog();

  std::unique_ptr<plat::BitmapCanvas> Measure_;  // measures text while nothing paints
  std::unique_ptr<Tbm2DPlot> Plot_;
  TbmPaintBoxControl* PaintBoxControl_ = nullptr;
  plat::Panel* ByGroupPanel_ = nullptr;
  plat::Label* ByGroupLabel_ = nullptr;
  plat::SpinEdit* ByGroupSpin_ = nullptr;
  plat::MenuItem* PreviewItem_ = nullptr;
  bool Initialising_ = false;
  std::string PendingError_;
  plat::WeakRef<TbmAxisDlg> AxisDlg_;
};
