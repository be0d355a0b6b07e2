#include "plot/forms/bm2DForm.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <utility>

#include "matrix/Constu.h"
#include "platform/CommonDialogs.h"
#include "platform/Desktop.h"
#include "platform/Guard.h"
#include "platform/Modality.h"
#include "platform/Snapshot.h"
#include "platform/emf/EmfCanvas.h"
#include "plot/forms/bmAxisDlg.h"
#include "plot/forms/bmMainOptionsDlg.h"
#include "plot/forms/bmMeaDlg.h"
#include "plot/forms/bmStyleDlgs.h"
#include "rtl/Convert.h"
#include "rtl/ScopeGuard.h"
#include "shell/Config.h"

namespace {

constexpr const char* kHelpFile = "morva.hlp";
constexpr const char* kMetafileCreator = "Morvapc";
constexpr const char* kMetafileDescription = "saved plot";
constexpr int kGroupPanelHeight = 38;
constexpr int kGroupSpinWidth = 44;
constexpr std::uint32_t kPaintErrorMessage = 0x7F20;

// A file for the metafile that goes to the clipboard, removed when done.
class TemporaryFile {
 public:
  TemporaryFile() {
    static std::atomic<int> counter{0};
    path_ = (std::filesystem::temp_directory_path() /
             ("morva-plot-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".emf"))
                .string();
  }
  ~TemporaryFile() {
    std::error_code ec;
    std::filesystem::remove(path_, ec);
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// Runs a library's writing of a file's bytes to the file's temporary path;
// its errors name the file itself.
template <class Write>
void WriteBeside(const rtl::AtomicFile& file, Write write) {
  try {
    write(file.TemporaryPath());
  } catch (const rtl::EInOutError& error) {
    throw rtl::EInOutError("Error writing file " + file.Target(), error.Reason());
  }
}

// A saved picture takes the place of whatever has its name: a link is
// replaced, never the file it leads to.
rtl::AtomicFile PictureFile(const std::string& name) {
  return rtl::AtomicFile(name, rtl::AtomicFile::Mode::Create, rtl::AtomicFile::Link::Replace);
}

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!in.eof() && in.fail()) throw rtl::EInOutError("Cannot read " + path);
  return bytes;
}

}  // namespace

// ---- Paint box ----

TbmPaintBoxControl::TbmPaintBoxControl(plat::Control& parent, Tbm2DForm& form)
    : plat::CustomControl(parent), Form_(form) {
  SetName("bm2DPaintBox");
  SetAlign(plat::Align::Client);
}

void TbmPaintBoxControl::Paint(plat::Canvas& canvas) { Form_.Plot().PaintScreen(canvas); }

void TbmPaintBoxControl::MouseUp(plat::MouseButton button, plat::ShiftState, int, int) {
  if (button == plat::MouseButton::Right) Form_.ShowOptions();
}

void TbmPaintBoxControl::DblClick() { Form_.ShowOptions(); }

void TbmPaintBoxControl::Resized() { Form_.Plot().Resize(ClientWidth(), ClientHeight()); }

// ---- Window ----

std::function<void()>& Tbm2DForm::AboutHandler() {
  static std::function<void()> handler;
  return handler;
}

Tbm2DForm& Tbm2DForm::Execute(std::function<void()> drawCallback, std::function<void()> optionsCallback, int groupCount,
                              int helpContext) {
  Tbm2DForm& form = plat::CreateForm<Tbm2DForm>();
  form.SetHelpContext(helpContext);
  form.Initialising_ = true;
  form.Plot().DrawCallback = std::move(drawCallback);
  form.Plot().OptionsCallback = std::move(optionsCallback);
  form.Plot().ClearStyles();
  form.Plot().SetGroupCount(groupCount);
  if (groupCount <= 1) {
    form.ByGroupPanel_->Hide();
  } else {
    form.ByGroupSpin_->SetRange(1, groupCount);
    form.ByGroupSpin_->SetValue(1);
    form.ByGroupPanel_->Show();
  }
  form.Initialising_ = false;
  return form;
}

Tbm2DForm::Tbm2DForm() : plat::Form("bm2DForm") {
  SetCaption("bm2DForm");
  SetFont({"Arial", 9, plat::clBlack, 0});
  SetClientSize(kInitialWidth, kInitialHeight);
  Measure_ = std::make_unique<plat::BitmapCanvas>(1, 1);
  Plot_ = std::make_unique<Tbm2DPlot>(Measure_->GetCanvas(), kInitialWidth, kInitialHeight);
  // The error box cannot open inside a paint: it is shown once the paint is over.
  Plot_->OnPaintError = [this](const std::string& message) {
    PendingError_ = message;
    PostMessage(kPaintErrorMessage);
  };
  BuildGroupPanel();
  PaintBoxControl_ = &Add<TbmPaintBoxControl>(*this);
  // Print preview gives the paint box the page's proportions: the window follows.
  Plot_->PaintBox().OnSetClientSize = [this](int width, int height) {
    SetClientSize(width, height + (ByGroupPanel_->Visible() ? kGroupPanelHeight : 0));
  };
  BuildMenu();
  OnClose = [this](plat::CloseAction& action) {
    CloseAxisDialog();
    action = plat::CloseAction::Free;
  };
  OnResize = [this] { PlaceGroupSpin(); };
  OnShow = [this] { Plot_->Resize(PaintBoxControl_->ClientWidth(), PaintBoxControl_->ClientHeight()); };
}

Tbm2DForm::~Tbm2DForm() {
  CloseAxisDialog();
  Plot_->ClearStyles();
}

void Tbm2DForm::HandleMessage(const plat::Message& message) {
  if (message.msg == kPaintErrorMessage) {
    plat::ShowException(rtl::Exception(PendingError_));
    return;
  }
  plat::Form::HandleMessage(message);
}

void Tbm2DForm::BuildGroupPanel() {
  ByGroupPanel_ = &Add<plat::Panel>();
  ByGroupPanel_->SetName("bmID_ByGroupPanel");
  ByGroupPanel_->SetAlign(plat::Align::Bottom);
  ByGroupPanel_->SetBounds(0, 0, kInitialWidth, kGroupPanelHeight);
  ByGroupLabel_ = &ByGroupPanel_->Add<plat::Label>("Matrix: ");
  ByGroupLabel_->SetName("bmID_ByGroupLabel");
  ByGroupLabel_->SetAlignment(plat::TextAlign::Right);
  ByGroupSpin_ = &ByGroupPanel_->Add<plat::SpinEdit>();
  ByGroupSpin_->SetName("bmID_ByGroupSpin");
  ByGroupSpin_->SetEditorEnabled(false);
  ByGroupSpin_->OnChange = [this] {
    Plot_->SetGroupValue(ByGroupSpin_->Value());
    if (!Initialising_) Replot();
  };
  PlaceGroupSpin();
}

// The spin centred in the panel, the label ending 2 pixels left of it.
void Tbm2DForm::PlaceGroupSpin() {
  const int width = ByGroupPanel_->Width();
  const int left = width / 2 + (kGroupSpinWidth + 2) / 2 - kGroupSpinWidth;
  const int spinHeight = 24;
  const int top = (kGroupPanelHeight - spinHeight) / 2;
  ByGroupSpin_->SetBounds(left, top, kGroupSpinWidth, spinHeight);
  const int labelWidth = 60;
  ByGroupLabel_->SetBounds(left - 2 - labelWidth, top + 4, labelWidth, spinHeight - 8);
}

void Tbm2DForm::BuildMenu() {
  plat::MenuItem& menu = Menu();
  plat::MenuItem& file = menu.Add("&File");
  file.Add("Save metafile ...", {}, [this] { SaveMetafile(); });
  file.Add("Printer Set&up...", {}, [this] { PrinterSetup(); });
  PreviewItem_ = &file.Add("Print Pre&view", {}, [this] { TogglePrintPreview(); });
  file.Add(
      "&Print", {}, [this] { PrintPlot(); }, plat::scCtrl | 'P');
  file.Add("-");
  file.Add(
      "C&lose", {}, [this] { Close(); }, plat::scCtrl | (plat::vk::F1 + 3));
  plat::MenuItem& edit = menu.Add("&Edit");
  edit.Add("&Copy bitmap", {}, [this] { CopyBitmap(); });
  edit.Add("Copy metafile", {}, [this] { MakeMetafile(); });
  menu.Add("&Options").Add("&Plot Options...", {}, [this] { ShowOptions(); });
  plat::MenuItem& help = menu.Add("&Help");
  help.Add("&Contents", {}, [] { plat::ShowHelp(kHelpFile, plat::HelpCommand::Context, 1); });
  help.Add("&Topic search...", {}, [] { plat::ShowHelp(kHelpFile, plat::HelpCommand::Search); });
  help.Add("-");
  help.Add("&About...", {}, [] {
    if (AboutHandler()) AboutHandler()();
  });
}

void Tbm2DForm::Replot() {
  Plot_->LayoutScreen();
  PaintBoxControl_->Invalidate();
  if (OnReplot) OnReplot();
}

// An option dialog's change shows at once, so that what the plot chose (an
// autoscaled range) can be read back right after.
void Tbm2DForm::ReplotNow() {
  Replot();
  PaintBoxControl_->Repaint();
}

void Tbm2DForm::DetachClient() {
  Plot_->DrawCallback = nullptr;
  Plot_->OptionsCallback = nullptr;
  Plot_->Paging = {};
}

void Tbm2DForm::ShowOptions() {
  if (Plot_->OptionsCallback) Plot_->OptionsCallback();
}

// The options window steps aside while the style's dialog runs. The font
// dialog of a text style replots itself when confirmed; the other dialogs
// replot only when OK changed the style.
void Tbm2DForm::EditStyle(plat::Form& optionsWindow, plat::Control& button, int identifier,
                          const std::string& caption) {
  TbmStyleEntry* entry = Plot_->FindStyle(identifier);
  if (entry == nullptr) return;
  StepAside(optionsWindow, button, [&] {
    if (entry->Kind() == bmTextStyle) {
      EditTextStyle(identifier);
      return;
    }
    const plat::Canvas& screen = Plot_->PaintBox().OwnCanvas();
    if (RunStyleDialog(*entry, caption, Plot_->Parts().PlotAreaColor, screen.DpiX(), screen.DpiY())) Replot();
  });
}

// One axis dialog at a time: a second one replaces the first, which closes as
// cancelled. The dialog frees itself; the reference is cleared when it closes.
// It does not wait, but it keeps the modal options window's hold on the other
// windows while that hides, so this window cannot close under the options
// window meanwhile.
void Tbm2DForm::AxisDialogs(plat::Form& owner, int which) {
  CloseAxisDialog();
  auto& parts = Plot_->Parts();
  const bool x = which == 0;
  TbmAxisDlg& dialog = plat::CreateForm<TbmAxisDlg>(
      owner, [this] { ReplotNow(); }, x ? parts.XAxisTitle : parts.YAxisTitle, x ? parts.XAxis : parts.YAxis,
      x ? "X Axis" : "Y Axis");
  dialog.OnClosed = [this] { AxisDlg_ = {}; };
  AxisDlg_ = &dialog;
  if (owner.IsModal()) {
    plat::ShowBlocking(dialog);
  } else {
    dialog.ShowForm();
  }
}

void Tbm2DForm::CloseAxisDialog() {
  if (TbmAxisDlg* dialog = std::exchange(AxisDlg_, {}).Get()) dialog->Close();
}

// The dialog is freed here, once: closing only hides it.
void Tbm2DForm::MainOptions(plat::Form& owner) {
  TbmMainPlot2DOptionsDlg dialog(owner, Plot_->Parts(), [this] { Replot(); });
  dialog.ShowModal();
}

void Tbm2DForm::PrintPlot() {
  plat::PrintRequest request;
  if (!plat::CommonDialogs().Print(request)) return;
  Plot_->Print(plat::ThePrinter(), Caption());
  PaintBoxControl_->Invalidate();
}

void Tbm2DForm::TogglePrintPreview() {
  PreviewItem_->SetChecked(!PreviewItem_->Checked());
  UpdatePreview();
}

void Tbm2DForm::PrinterSetup() {
  plat::CommonDialogs().PrinterSetup();
  UpdatePreview();
}

// The preview shows the printer's page: its size and orientation, or none
// when the item is not checked. A page of no size counts as no printer.
void Tbm2DForm::UpdatePreview() {
  auto& parts = Plot_->Parts();
  if (PreviewItem_->Checked()) {
    GetPrinterResolution();
    if (PrinterPageWidth <= 0 || PrinterPageHeight <= 0) throw E_Morvapc("No printer found.");
    parts.PageWidth = PrinterPageWidth * 0.01;
    parts.PageHeight = PrinterPageHeight * 0.01;
    parts.PageOrientation = static_cast<std::uint8_t>(PrinterOrientation);
    parts.PrintPreview = true;
  } else {
    parts.PageWidth = 0;
    parts.PageHeight = 0;
    parts.PageOrientation = 1;
    parts.PrintPreview = false;
  }
  Replot();
}

void Tbm2DForm::CopyBitmap() {
  plat::ClipboardContent content;
  content.bitmap = plat::GrabImage(*PaintBoxControl_);
  plat::TheClipboard().Set(content);
}

void Tbm2DForm::WriteMetafile(const std::string& path) {
  const int width = PaintBoxControl_->ClientWidth();
  const int height = PaintBoxControl_->ClientHeight();
  plat::EmfCanvas metafile(Measure_->GetCanvas(), path, width, height, kMetafileCreator, kMetafileDescription);
  Plot_->PaintDevice(metafile);
  metafile.Close();
  PaintBoxControl_->Invalidate();
}

// A bitmap goes beside the metafile, for the programs that paste no metafile.
void Tbm2DForm::MakeMetafile() {
  TemporaryFile file;
  WriteMetafile(file.Path());
  plat::ClipboardContent content;
  content.metafile = ReadBytes(file.Path());
  content.bitmap = plat::GrabImage(*PaintBoxControl_);
  plat::TheClipboard().Set(content);
}

void Tbm2DForm::SaveMetafile() {
  plat::FileDialogRequest request;
  request.title = "Save plot as metafile";
  request.filter = "metafiles (*.EMF)|*.EMF";
  request.defaultExt = "EMF";
  request.fileName = "*.EMF";
  request.options = plat::ofOverwritePrompt | plat::ofHideReadOnly | plat::ofPathMustExist;
  std::string directory = Config().defaultDir;
  NormalizeDirectory(directory);
  request.initialDir = directory;
  if (!plat::CommonDialogs().SaveFile(request)) return;
  directory = std::filesystem::path(request.fileName).parent_path().string();
  NormalizeDirectory(directory);
  Config().defaultDir = directory;
  rtl::AtomicFile file = PictureFile(request.fileName);
  WriteBeside(file, [this](const std::string& path) { WriteMetafile(path); });
  file.Commit();
}

namespace {

// A page's printable part in inches.
struct TPageInches {
  double width = 0;
  double height = 0;
};

// The printable part of the platform's default page, turned as the plot prints.
TPageInches DefaultPageInches(plat::Orientation orientation) {
  const std::unique_ptr<plat::Printer> printer = plat::MakePdfFilePrinter({});
  printer->SetOrientation(orientation);
  return {static_cast<double>(printer->PageWidth()) / printer->DpiX(),
          static_cast<double>(printer->PageHeight()) / printer->DpiY()};
}

const char* ExtensionOf(TbmPageFile kind) {
  switch (kind) {
    case TbmPageFile::Png: return ".png";
    case TbmPageFile::Emf: return ".emf";
    case TbmPageFile::Pdf: break;
  }
  return ".pdf";
}

// The file of one page: "-<group>" when there are several groups, "-p<page>"
// when the group has several pages.
std::string PageFileName(const std::string& base, const TbmPageNumber& number, TbmPageFile kind) {
  std::string name = base;
  if (number.groupCount > 1) name += "-" + std::to_string(number.group);
  if (number.pageCount > 1) name += "-p" + std::to_string(number.page);
  return name + ExtensionOf(kind);
}

// A picture file a page, as large as a printed page: PNG at a resolution
// that keeps text legible, metafiles at the screen's resolution. Each page is
// written beside its file and left there for the caller to put in place.
class TPageFiles : public TbmPageSink {
 public:
  TPageFiles(std::string base, TbmPageFile kind, plat::Canvas& screen, TPageInches page)
      : base_(std::move(base)), kind_(kind), screen_(screen), page_(page) {}

  Page BeginPage(const TbmPageNumber& number) override {
    const bool png = kind_ == TbmPageFile::Png;
    file_ = std::make_unique<rtl::AtomicFile>(PictureFile(PageFileName(base_, number, kind_)));
    const int dpi = png ? kPictureDpi : screen_.DpiX();
    const int width = static_cast<int>(std::lround(page_.width * dpi));
    const int height = static_cast<int>(std::lround(page_.height * dpi));
    if (png) {
      bitmap_ = std::make_unique<plat::BitmapCanvas>(width, height, dpi);
      return {bitmap_->GetCanvas(), width, height};
    }
    WriteBeside(*file_, [&](const std::string& path) {
      metafile_ =
          std::make_unique<plat::EmfCanvas>(screen_, path, width, height, kMetafileCreator, kMetafileDescription);
    });
    return {*metafile_, width, height};
  }

  void EndPage() override {
    WriteBeside(*file_, [this](const std::string& path) {
      if (bitmap_) bitmap_->SavePng(path);
      if (metafile_) metafile_->Close();
    });
    bitmap_.reset();
    metafile_.reset();
    files_.push_back(std::move(*file_));
    file_.reset();
  }

  std::vector<rtl::AtomicFile>& Files() { return files_; }

 private:
  static constexpr int kPictureDpi = 150;
  std::string base_;
  TbmPageFile kind_;
  plat::Canvas& screen_;
  TPageInches page_;
  std::unique_ptr<rtl::AtomicFile> file_;
  std::unique_ptr<plat::BitmapCanvas> bitmap_;
  std::unique_ptr<plat::EmfCanvas> metafile_;
  std::vector<rtl::AtomicFile> files_;
};

}  // namespace

std::vector<std::string> Tbm2DForm::PageFiles(const std::string& base, TbmPageFile kind) const {
  if (kind == TbmPageFile::Pdf) return {base + ExtensionOf(kind)};
  std::vector<std::string> names;
  for (const TbmPageNumber& number : Plot_->EveryPage()) names.push_back(PageFileName(base, number, kind));
  return names;
}

std::vector<rtl::AtomicFile> Tbm2DForm::SavePages(const std::string& base, TbmPageFile kind) {
  if (kind == TbmPageFile::Pdf) {
    std::vector<rtl::AtomicFile> files;
    files.push_back(PictureFile(PageFiles(base, kind).front()));
    WriteBeside(files.back(),
                [&](const std::string& path) { Plot_->PrintEveryPage(*plat::MakePdfFilePrinter(path), Caption()); });
    return files;
  }
  TPageFiles files(base, kind, Measure_->GetCanvas(), DefaultPageInches(Plot_->PageOrientation()));
  Plot_->PaintEveryPage(files);
  return std::move(files.Files());
}

bool Tbm2DForm::FontDialog(plat::Font& font, int& size) {
  if (!ChooseFontAndSize(font, size)) return false;
  Replot();
  return true;
}

bool Tbm2DForm::EditTextStyle(int identifier) {
  TbmStyleEntry* entry = Plot_->FindStyle(identifier);
  if (entry == nullptr || entry->Kind() != bmTextStyle) return false;
  auto& text = std::get<TbmTextClass>(entry->Part);
  return FontDialog(text.Font, text.Size);
}

void Tbm2DForm::TitleFontDialog() {
  auto& title = Plot_->Parts().Title;
  FontDialog(title.Font, title.Size);
}

void Tbm2DForm::SubTitleFontDialog() {
  auto& subTitle = Plot_->Parts().SubTitle;
  FontDialog(subTitle.Font, subTitle.Size);
}
