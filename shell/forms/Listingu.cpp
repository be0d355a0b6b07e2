#include "shell/forms/Listingu.h"

#include <algorithm>
#include <filesystem>
#include <functional>

#include "platform/Desktop.h"
#include "platform/Guard.h"
#include "platform/Printer.h"
#include "platform/StdControls.h"
#include "rtl/ScopeGuard.h"
#include "shell/Config.h"
#include "shell/Progress.h"
#include "shell/forms/About.h"
#include "shell/forms/FormParts.h"
#include "shell/forms/GetInt.h"
#include "shell/forms/Version.h"
#include "shell/forms/WinPos.h"

namespace {

const plat::Font kFormFont{"Liberation Sans", 9, plat::clBlack, 0};
const plat::Font kTabFont{"Arial", 9, plat::clBlack, 0};
const plat::Font kActiveTabFont{"Arial", 9, plat::clBlack, plat::fsBold};
// The font dialog's font: Courier New, 15 pixels high.
const plat::Font kListingFont{"Courier New", 11, plat::clBlack, 0};
const std::string kFilter = "TXT files|*.TXT|All files|*.*";
const char* const kHelpFile = "morva.hlp";
constexpr int kLeastTabWidth = 20;

TListingF* theListing = nullptr;

void UseFont(TVirEditor& editor, const plat::Font& font) {
  editor.FixedFont().SetName(font.name);
  editor.FixedFont().SetSize(font.size);
  editor.FixedFont().SetStyle(font.style);
}

}  // namespace

TListingF* ListingForm() { return theListing; }

TListingF::TListingF() : plat::Form("ListingF"), model_(VersionText()), font_(kListingFont) {
  theListing = this;
  SetCaption("Report listing");
  SetFont(kFormFont);
  SetClientSize(560, 420);
  controller_ = &AddComponent<TVirController>();
  BuildMenus();
  notebook_ = &Add<TVirNotebook>();
  notebook_->SetBounds(0, 0, 560, 420);
  notebook_->SetAlign(plat::Align::Client);
  notebook_->SetTabOrientation(toRight);
  notebook_->SetTabWidth(80);
  notebook_->SetFont(kTabFont);
  notebook_->SetActiveTabFont(kActiveTabFont);
  notebook_->ClearPages();
  BuildVersionPage();
  // A notebook emptied shows no page until one is selected.
  notebook_->SetPageIndex(0);
  notebook_->OnPageChanged = [this](plat::Control*, int index) {
    model_.SelectPage(index);
    LayOut();
  };
  OnResize = [this] { LayOut(); };
  model_.SetTextSource([this](const std::string& caption, bool wordWrap) { return AddSectionPage(caption, wordWrap); });
  OnClose = [this](plat::CloseAction& action) {
    SaveWindowPos(*this, Name());
    action = plat::CloseAction::Hide;
  };
}

TListingF::~TListingF() {
  model_.SetTextSource({});
  if (theListing == this) theListing = nullptr;
}

void TListingF::BuildMenus() {
  auto& file = Menu().Add("&File");
  auto& notebook = file.Add("Notebook");
  notebook.Add("Load...", "Append a saved notebook", [this] { LoadNotebook(); });
  notebook.Add("Save...", "Save notebook", [this] { SaveNotebook(); });
  notebook.Add("Clear", "Clear contents of notebook", [this] { ClearNotebook(); });
  notebook.Add("Print...", "Print notebook", [this] { PrintNotebook(); });
  auto& section = file.Add("Current section");
  section.Add("Save...", "Save current section of notebook", [this] { SaveCurrentSection(); });
  section.Add("Delete", "Delete current section of notebook", [this] { DeleteCurrentSection(); });
  section.Add("Print...", "Print current section of notebook", [this] { PrintCurrentSection(); });
  file.Add("E&xit", {}, [this] { Close(); });

  auto& edit = Menu().Add("Edit");
  auto withEditor = [this](void (TVirEditor::*action)()) {
    return [this, action] {
      if (TVirEditor* editor = CurrentEditor()) (editor->*action)();
    };
  };
  edit.Add("Select all", "Select entire section", [this] {
    if (TVirEditor* editor = CurrentEditor()) editor->SelectAllText(true);
  });
  edit.Add("Cut", "Cut selected text", withEditor(&TVirEditor::CutToClipboard));
  edit.Add("Copy", "Copy selected text", withEditor(&TVirEditor::CopyToClipboard));
  edit.Add("Paste", "Paste text from clipboad into current section", withEditor(&TVirEditor::PasteFromClipboard));

  auto& options = Menu().Add("Options");
  options.Add("Indent", "Size of left indent when printing", [this] { ChooseIndent(); });
  options.Add("Font...", "Select font", [this] { ChooseListingFont(); });

  auto& help = Menu().Add("Help");
  help.Add("Contents", {}, [] { plat::ShowHelp(kHelpFile, plat::HelpCommand::Contents); });
  help.Add("Search...", {}, [] { plat::ShowHelp(kHelpFile, plat::HelpCommand::Search); });
  help.Add("&About...", {}, [] { ShowAbout(); });
}

void TListingF::BuildVersionPage() {
  auto& page = notebook_->InsertPage("Version", 0);
  auto& name = page.Add<plat::Label>("Morvapc");
  name.SetFont(plat::Font{"Liberation Sans", 24, plat::RGB(0, 0, 128), plat::fsBold});
  name.SetBounds(30, 40, 300, 44);
  auto& version = page.Add<plat::Label>("Version " + VersionText());
  version.SetFont(plat::Font{"Liberation Sans", 12, plat::clBlack, plat::fsBold});
  version.SetBounds(30, 100, 300, 24);
}

// The page of a new section, at the end and selected, with its editor; the
// section keeps its text in the editor's paragraph list.
std::shared_ptr<TParaList> TListingF::AddSectionPage(const std::string& caption, bool wordWrap) {
  auto& page = notebook_->InsertPage(caption, notebook_->PageCount());
  auto& editor = page.Add<TVirEditor>();
  UseFont(editor, font_);
  editor.SetScrollBarsAlways(true);
  editor.SetWordWrap(wordWrap);
  editor.SetAlign(plat::Align::Client);
  notebook_->SetPageIndex(notebook_->PageCount() - 1);
  notebook_->SetTabRowCount(TabRowsFor(notebook_->PageCount()));
  LayOut();
  return std::shared_ptr<TParaList>(std::shared_ptr<TParaList>(), &editor.Paragraphs());
}

TVirEditor* TListingF::EditorAt(int page) const {
  if (page < 1 || page >= notebook_->PageCount()) return nullptr;
  for (plat::Control* child : notebook_->PageAt(page).Children()) {
    if (auto* editor = dynamic_cast<TVirEditor*>(child)) return editor;
  }
  return nullptr;
}

void TListingF::SectionsChanged() {
  notebook_->SetTabRowCount(model_.TabRows());
  model_.SelectPage(notebook_->PageIndex());
  notebook_->Invalidate();
}

bool TListingF::Idle() const { return !ModuleActive(); }

bool TListingF::ListingFile(plat::FileDialogRequest& request, bool save) {
  request = DataFileRequest(request.title, "TXT", kFilter, save ? plat::ofOverwritePrompt : plat::ofFileMustExist);
  request.fileName = "*.txt";
  return save ? plat::CommonDialogs().SaveFile(request) : plat::CommonDialogs().OpenFile(request);
}

void TListingF::LoadNotebook() {
  if (!Idle()) return;
  plat::FileDialogRequest request;
  request.title = "Reload notebook file";
  if (!ListingFile(request, false)) return;
  TakeDataDirectoryOf(request.fileName);
  const rtl::ScopeExit changed([this] { SectionsChanged(); });
  model_.Load(request.fileName);
}

void TListingF::SaveNotebook() {
  SaveAs([this](const std::string& fileName) { model_.Save(fileName); });
}

void TListingF::SaveCurrentSection() {
  if (model_.CurrentSection() == nullptr) return;
  SaveAs([this](const std::string& fileName) { model_.SaveCurrentSection(fileName); });
}

// The save dialog; the chosen file's folder becomes the data directory.
void TListingF::SaveAs(const std::function<void(const std::string&)>& save) {
  plat::FileDialogRequest request;
  request.title = "Save notebook file";
  if (!ListingFile(request, true)) return;
  TakeDataDirectoryOf(request.fileName);
  save(request.fileName);
}

void TListingF::ClearNotebook() {
  if (!Idle()) return;
  notebook_->SetPageIndex(0);
  model_.Clear();
  for (int page = notebook_->PageCount() - 1; page >= 1; --page) notebook_->DeletePage(page);
  SectionsChanged();
}

void TListingF::DeleteCurrentSection() {
  const int page = notebook_->PageIndex();
  if (!Idle() || page < 1) return;
  model_.SelectPage(page);
  model_.DeleteCurrentSection();
  notebook_->DeletePage(page);
  SectionsChanged();
}

void TListingF::PrintLines(const std::vector<std::string>& lines) {
  plat::PrintRequest request;
  if (!plat::CommonDialogs().Print(request)) return;
  plat::Printer& printer = plat::ThePrinter();
  if (!printer.BeginDoc("Report listing")) return;
  const rtl::ScopeFail abort([&] { printer.Abort(); });
  plat::Canvas* canvas = &printer.PageCanvas();
  canvas->SetFont(font_);
  const int lineHeight = std::max(1, canvas->TextExtent("Xg").cy);
  int y = 0;
  for (const std::string& line : lines) {
    if (y + lineHeight > printer.PageHeight()) {
      printer.NewPage();
      canvas = &printer.PageCanvas();
      canvas->SetFont(font_);
      y = 0;
    }
    canvas->TextOut(0, y, line);
    y += lineHeight;
  }
  printer.EndDoc();
}

void TListingF::PrintNotebook() { PrintLines(model_.PrintLines(Config().listingIndent)); }

void TListingF::PrintCurrentSection() {
  if (model_.CurrentSection() == nullptr) return;
  PrintLines(model_.PrintCurrentSectionLines(Config().listingIndent));
}

void TListingF::ChooseListingFont() {
  plat::Font font = font_;
  // Reports line their columns up in blanks: only fixed-pitch fonts keep them in line.
  if (!plat::CommonDialogs().ChooseFont(font, plat::fdFixedPitchOnly)) return;
  font_ = font;
  for (int page = 1; page < notebook_->PageCount(); ++page) {
    if (TVirEditor* editor = EditorAt(page)) UseFont(*editor, font_);
  }
}

void TListingF::ChooseIndent() {
  TGIntWrap prompt;
  prompt.Caption = "Indent value";
  prompt.Min = MinListingIndent;
  prompt.Max = MaxListingIndent;
  prompt.Value = Config().listingIndent;
  prompt.Left = Left() + Width() / 3;
  prompt.Top = Top() + Height() / 3;
  prompt.Execute(*this);
  Config().listingIndent = prompt.Value;
}

void TListingF::ShowListing() {
  if (!placed_) {
    RestoreWindowPos(*this, Name());
    placed_ = true;
  }
  if (!Visible()) ShowForm();
  LayOut();
}

// The notebook fills the window and each page's editor its page. A page is as
// long as its row of tabs, so the tabs share the window's height.
void TListingF::LayOut() {
  Realign();
  const int rows = std::max(1, notebook_->RowCount());
  const int perRow = std::max(1, (notebook_->PageCount() + rows - 1) / rows);
  notebook_->SetTabWidth(std::max(kLeastTabWidth, (notebook_->ClientHeight() - 1) / perRow));
  for (int page = 0; page < notebook_->PageCount(); ++page) notebook_->PageAt(page).Realign();
}

void TListingF::FocusCurrentPage() {
  if (TVirEditor* editor = CurrentEditor(); editor != nullptr && Visible()) editor->SetFocus();
}
