#include "shell/forms/Morva.h"

#include <functional>
#include <vector>

#include "matrix/Constu.h"
#include "platform/CommonDialogs.h"
#include "platform/Desktop.h"
#include "platform/Lifetime.h"
#include "shell/Config.h"
#include "shell/Modules.h"
#include "shell/Profile2.h"
#include "shell/Progress.h"
#include "shell/forms/About.h"
#include "shell/forms/Batchf.h"
#include "shell/forms/Dialogu.h"
#include "shell/forms/FormParts.h"
#include "shell/forms/Listingu.h"
#include "shell/forms/Pictures.h"
#include "shell/forms/Splash.h"
#include "shell/forms/WinPos.h"

namespace {

const char* const kHelpFile = "morva.hlp";
// Room for the module notebook's three rows of two 205-pixel tabs, and three
// rows of module buttons under them.
constexpr int kClientWidth = 434;
constexpr int kClientHeight = 300;

struct TModuleButton {
  const char* caption;
  std::int32_t number;
  std::int32_t helpContext;
  const char* hint;
};

struct TModulePage {
  const char* caption;
  const char* hint;
  bool longHintOnly;  // the buttons' text is their long hint alone
  std::vector<TModuleButton> buttons;
};

const std::vector<TModulePage>& ModulePages() {
  static const std::vector<TModulePage> pages = {
      {"&General",
       "Misc. modules",
       true,
       {{"Dcenter", 3, 507, "Double-center symm. matrix"},
        {"Output", 2, 513, "Display matrices"},
        {"Fourier", 4, 509, "Fourier analysis"},
        {"Stand", 1, 520, "Standardize matrix"},
        {"TPSwts", 5, 522, "Thin-plate spline weight matrix"},
        {"Transf", 23, 523, "Transformation of matrix elements"}}},
      {"&Similarity",
       "Similarity and dissimilarity modules",
       false,
       {{"PoolVCV", 19, 514, "Pool covariance matrices"},
        {"SimGend", 20, 517, "Dis/Similarity for genetic data"},
        {"SimInt", 21, 518, "Dis/Similarity for interval data"},
        {"SimQual", 22, 519, "Dis/Similarity for qualitative data"}}},
      {"&Clustering",
       "Cluster analysis",
       false,
       {{"Consen", 14, 502, "Consensus trees and indices"},
        {"Coph", 15, 503, "Cophenetic (ultrametric) values"},
        {"MST", 16, 511, "Minimum-length spanning trees"},
        {"NJoin", 17, 512, "Neighbor-joing clustering"},
        {"SAHN", 18, 516, "SAHN clustering"}}},
      {"&Ordination",
       "Ordination modules",
       false,
       {{"CanCor/PLS", 6, 501, "Canonical correlation & PLS analyses"},
        {"CVA", 9, 506, "Canonical variates analysis"},
        {"Common PCA", 7, 505, "Common PCA"},
        {"Corresp. Anal.", 8, 504, "Correspondence analysis"},
        {"Projection", 12, 515, "Project points onto vectors"},
        {"MD Scale", 11, 510, "Multidimensional scaling analysis"},
        {"Eigen", 10, 508, "Eigenvalues & eigenvectors"},
        {"SVD", 13, 521, "Singular value decomposition"}}},
      {"G&raphics",
       "Graphics modules",
       false,
       {{"3D plot", 25, 542, "3D scatter plot"},
        {"2D plot", 24, 547, "2D scatter plot"},
        {"MxComp", 26, 545, "Matrix comparison & Mantel test"},
        {"Tree plot", 27, 565, "Plot dendrograms"}}},
  };
  return pages;
}

TProfile2 SettingsProfile() {
  TProfile2 profile;
  profile.FileName = std::string(SettingsFileName);
  return profile;
}

}  // namespace

std::string FourDigitYears(std::string_view shortDate) {
  std::string format(shortDate);
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != 'y' && format[i] != 'Y') continue;
    std::size_t end = i;
    while (end < format.size() && (format[end] == 'y' || format[end] == 'Y')) ++end;
    if (end - i == 2) format.insert(i, format.substr(i, 2));
    break;
  }
  return format;
}

void StartEditor(const std::string& editor, const std::string& fileName) {
  if (!plat::StartProgram(editor, fileName)) ShowErrorMessage("Unable to open  editor\n(" + editor + ")");
}

TMORVAF::TMORVAF(TSplashF* splash) : plat::Form("morvaF") {
  RegisterShellPictures();
  SetCaption("Morvapc");
  SetHelpContext(139);
  SetFont(plat::Font{"Liberation Sans", 9, plat::clBlack, 0});
  SetClientSize(kClientWidth, kClientHeight);
  controller_ = &AddComponent<TVirController>();
  BuildMenus();
  BuildSpeedPanel();
  status_ = &Add<plat::StatusBar>();
  status_->SetBounds(0, kClientHeight - 28, kClientWidth, 28);
  status_->SetAlign(plat::Align::Bottom);
  BuildNotebook();
  plat::SetOnHint([this] { ShowHint(); });

  RestoreWindowPos(*this, Name());
  TProfile2 profile = SettingsProfile();
  ReadConfig(profile);
  const std::int32_t page = ReadMainWindowPage(profile);
  notebook_->SetPageIndex(page >= 0 && page < notebook_->PageCount() ? page : 0);

  OnCloseQuery = [](bool& canClose) {
    canClose = !ModuleActive();
    if (RunFlags().batchRunning) {
      ShowWarningMessage("A batch is running: press Cancel in the batch window to stop it, then exit.");
    }
    if (!canClose) return;
    if (TDialogF* dialog = DialogForm()) {
      canClose = dialog->Model().CanClose();
      if (canClose) dialog->Close();
    }
  };
  OnClose = [this](plat::CloseAction& action) {
    WriteSettings();
    CloseOtherWindows();
    action = plat::CloseAction::Free;
  };
  if (splash != nullptr) splash->WaitAndClose();
}

TMORVAF::~TMORVAF() { plat::SetOnHint({}); }

void TMORVAF::BuildMenus() {
  auto& file = Menu().Add("&File");
  file.Add("&Edit data file...", "Edit a data file", [this] { EditDataFile(); });
  file.Add("&View listing...", "Open listing window", [this] { ViewListing(); });
  file.Add("&Print setup...", "Printer setup", [] { plat::CommonDialogs().PrinterSetup(); });
  file.Add("Run batch file...", "Run a batch file", [this] { RunBatchFile(); });
  file.Add("e&Xit", "Exit Morvapc", [this] { Close(); });
  auto& options = Menu().Add("Options");
  options.Add("Configuration...", "Edit configuration parameters", [this] { RunModule(ConfigModule, 12); });
  options.Add("Restore defaults", "Reset parameters", [] { RestoreDefaults(); });
  auto& help = Menu().Add("&Help");
  help.Add("Contents", "Display contents page of help file",
           [] { plat::ShowHelp(kHelpFile, plat::HelpCommand::Contents); });
  help.Add("Topic search", "Search help file", [] { plat::ShowHelp(kHelpFile, plat::HelpCommand::Search); });
  help.Add("&About...", "Version information", [] { ShowAbout(); });
}

// The tool buttons show their pictures; their captions are the short hints.
void TMORVAF::BuildSpeedPanel() {
  auto& panel = Add<plat::Panel>();
  panel.SetBounds(0, 0, kClientWidth, 38);
  panel.SetAlign(plat::Align::Top);
  struct TTool {
    const char* picture;
    const char* hint;
    std::function<void()> action;
  };
  const TTool tools[] = {
      {shellpictures::kEditFile, "Edit|Edit an Morvapc file", [this] { EditDataFile(); }},
      {shellpictures::kListing, "View listing|View listing notebook", [this] { ViewListing(); }},
      {shellpictures::kBatch, "Run batch file|Execute an Morvapc batch file", [this] { RunBatchFile(); }},
      {shellpictures::kExit, "Exit|Exit Morvapc", [this] { Close(); }},
      {shellpictures::kHelp, "Help|Help contents", [] { plat::ShowHelp(kHelpFile, plat::HelpCommand::Contents); }},
  };
  int left = 4;
  for (const TTool& tool : tools) {
    auto& button = panel.Add<plat::SpeedButton>();
    button.SetGlyphResource(tool.picture);
    button.SetHint(tool.hint);
    button.SetShowHint(true);
    button.SetBounds(left, 3, 32, 32);
    left += 34;
    button.OnClick = tool.action;
  }
}

void TMORVAF::BuildNotebook() {
  notebook_ = &Add<TVirNotebook>();
  notebook_->SetBounds(0, 38, kClientWidth, kClientHeight - 38 - 28);
  notebook_->SetAlign(plat::Align::Client);
  notebook_->SetFont(plat::Font{"Arial", 11, plat::clBlack, plat::fsBold});
  notebook_->SetActiveTabFont(plat::Font{"Arial", 11, plat::clBlack, plat::fsBold});
  notebook_->SetTabHeight(22);
  notebook_->SetTabWidth(205);
  notebook_->SetShowHint(false);
  notebook_->ClearPages();
  const auto& pages = ModulePages();
  for (std::size_t p = 0; p < pages.size(); ++p) {
    auto& page = notebook_->InsertPage(pages[p].caption, static_cast<int>(p));
    page.SetPageHint(pages[p].hint);
    int i = 0;
    for (const TModuleButton& entry : pages[p].buttons) {
      auto& button = page.Add<plat::Button>(entry.caption);
      button.SetTag(entry.number);
      button.SetHelpContext(entry.helpContext);
      button.SetHint(pages[p].longHintOnly ? std::string("|") + entry.hint : std::string(entry.hint));
      button.SetShowHint(true);
      button.SetBounds(12 + (i % 3) * 128, 14 + (i / 3) * 42, 120, 34);
      button.OnClick = [this, &button] { RunModule(button.Tag(), button.HelpContext()); };
      ++i;
    }
  }
  notebook_->SetTabRowCount(3);
  // The notebook's own hints are off: the tab under the mouse shows its page's hint below it.
  notebook_->OnMouseOverTab = [this](plat::Control*, int index) {
    if (index >= 0 && index < notebook_->PageCount()) {
      notebook_->ShowHintBelow(notebook_->PageHintAt(index), notebook_->TabRectAt(index));
    }
  };
}

plat::Button* TMORVAF::ModuleButton(std::int32_t number) const {
  for (int p = 0; p < notebook_->PageCount(); ++p) {
    for (plat::Control* child : notebook_->PageAt(p).Children()) {
      if (auto* button = dynamic_cast<plat::Button*>(child); button != nullptr && button->Tag() == number) {
        return button;
      }
    }
  }
  return nullptr;
}

void TMORVAF::RunModule(std::int32_t number, std::int32_t helpContext) {
  if (ModuleActive()) return;
  if (TDialogF* open = DialogForm()) {
    open->Close();
    if (DialogForm() == open) return;
  }
  TModuleRec module;
  module.number = number;
  try {
    DescribeModule(number, module);
  } catch (const E_Morvapc& notBuilt) {
    ShowErrorMessage(notBuilt.what());
    return;
  }
  auto& dialog = plat::CreateForm<TDialogF>(module);
  dialog.ShowForm();
  dialog.SetHelpContext(helpContext);
  dialog.Table().SetFocus();
}

void TMORVAF::EditDataFile() {
  plat::FileDialogRequest request = DataFileRequest("Select file to edit", "QMX", "Morva files|*.QMX|All files|*.*");
  if (!plat::CommonDialogs().OpenFile(request)) return;
  StartEditor(Config().editor, request.fileName);
}

void TMORVAF::ViewListing() {
  if (TListingF* listing = ListingForm()) listing->ShowListing();
}

void TMORVAF::RunBatchFile() {
  if (ModuleActive()) return;
  TListingF* listing = ListingForm();
  if (listing == nullptr) return;
  plat::Form* batch = plat::FindForm("BatchF");
  if (batch == nullptr) batch = &plat::CreateForm<TbatchF>(listing->Model());
  batch->ShowForm();
}

void TMORVAF::ShowHint() {
  const std::string& hint = plat::ApplicationHint();
  plat::Form* active = plat::ActiveForm();
  if (active != nullptr && active != this) {
    status_->SetSimpleText({});
    if (TDialogF* dialog = DialogForm(); dialog != nullptr && active == dialog) dialog->SetStatus(hint);
    return;
  }
  status_->SetSimpleText(" " + hint);
}

// Exit ends the program: the batch window, the listing and the plots close
// as their own close boxes would close them, keeping their placements.
void TMORVAF::CloseOtherWindows() {
  std::vector<plat::WeakRef<plat::Form>> others;
  for (plat::Form* form : plat::Forms()) {
    if (form != this && form->Visible()) others.emplace_back(form);
  }
  for (const auto& form : others) {
    if (form) form->Close();
  }
}

void TMORVAF::WriteSettings() {
  SaveWindowPos(*this, Name());
  TProfile2 profile = SettingsProfile();
  WriteConfig(profile);
  WriteMainWindowPage(profile, notebook_->PageIndex());
}
