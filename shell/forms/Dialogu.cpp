#include "shell/forms/Dialogu.h"

#include <algorithm>

#include "matrix/Constu.h"
#include "platform/CommonDialogs.h"
#include "controls/table/forms/VirTCEdt.h"
#include "platform/Desktop.h"
#include "shell/Config.h"
#include "shell/forms/Listingu.h"
#include "shell/forms/Pictures.h"
#include "shell/forms/WinPos.h"

namespace {

constexpr int kWidth = 430;
constexpr int kPromptWidth = 177;
constexpr int kArgumentWidth = 230;
constexpr int kRowHeight = 34;
// The heading row is as high as the others: its 20-point bold texts need it.
constexpr int kHeadingHeight = 34;
constexpr int kPanelHeight = 80;
// The grid's sunken edge on each side (its single border with the 3-D look).
constexpr int kGridEdge = 2;
// How much higher than its rows need a user may make the window.
constexpr int kResizeSlack = 4;
constexpr int kPlotButtonStep = 35;
constexpr int kPlotButtonSize = 28;
const char* const kHelpFile = "morva.hlp";
const std::string kFileFilter = "QMX files|*.QMX|All files|*.*";

TDialogF* theDialog = nullptr;

}  // namespace

TDialogF* DialogForm() { return theDialog; }

TDialogF::TDialogF(const TModuleRec& module) : plat::Form("DialogF"), model_(module) {
  RegisterShellPictures();
  theDialog = this;
  RestoreWindowPos(*this, Name());
  SetCaption(model_.Module().name);
  SetFont(plat::Font{"Arial", 9, plat::clBlack, 0});
  SetHelpContext(model_.Module().helpContext);
  controller_ = &AddComponent<TVirController>();
  BuildPanel();
  BuildTable();
  if (model_.Module().name == "Config") compute_->SetCaption("Ok");
  toolbar_->Hide();
  if (!model_.Module().buttons.empty()) BuildPlotBar();
  controller_->SetBtnCancel(close_);
  controller_->SetBtnHelp(help_);
  progress_ = std::make_unique<TPanelProgress>(*gauge_, *status_);
  SetDialogProgressView(progress_.get());
  SetPlotButtonBar(this);

  OnShow = [this] { FitHeight(true); };
  OnResize = [this] {
    if (!closing_) FitHeight(false);
  };
  OnActivate = [this] { table_->SetFocus(); };
  OnCloseQuery = [this](bool& canClose) { canClose = model_.CanClose(); };
  OnClose = [this](plat::CloseAction& action) {
    closing_ = true;
    Detach();
    SaveWindowPos(*this, Name());
    action = plat::CloseAction::Free;
  };
}

TDialogF::~TDialogF() { Detach(); }

// The dialog leaves when it closes (it is freed later): its module is
// released and the next dialog may take its place.
void TDialogF::Detach() {
  // The cells' data goes before the working copy it points into.
  if (!rows_.empty()) {
    table_->StopEditing(false);
    rows_.clear();
  }
  model_.Close();
  if (theDialog != this) return;
  theDialog = nullptr;
  SetDialogProgressView(nullptr);
  SetPlotButtonBar(nullptr);
}

void TDialogF::BuildPanel() {
  panel_ = &Add<plat::Panel>();
  panel_->SetBounds(0, 0, kWidth, kPanelHeight);
  panel_->SetAlign(plat::Align::Bottom);
  auto addButton = [this](plat::ButtonKind kind, const std::string& caption, const std::string& hint, int left) {
    auto& button = panel_->Add<plat::Button>();
    button.SetKind(kind);
    if (!caption.empty()) button.SetCaption(caption);
    button.SetHint(hint);
    button.SetShowHint(true);
    button.SetBounds(left, 8, 96, 30);
    return &button;
  };
  compute_ = addButton(plat::ButtonKind::OK, "Compute", "Run module|Execute this program module", 8);
  compute_->SetModalResult(plat::mrNone);
  compute_->OnClick = [this] { Compute(); };
  close_ = addButton(plat::ButtonKind::Close, {}, "Close|Close this window", 112);
  close_->OnClick = [this] { Close(); };
  help_ = addButton(plat::ButtonKind::Help, "Help", "Help|Display help for this module", 216);
  help_->OnClick = [this] { ShowHelp(); };
  cancel_ = addButton(plat::ButtonKind::Cancel, {}, "Stop|Try to stop computations", 8);
  cancel_->SetModalResult(plat::mrNone);
  cancel_->OnClick = [] { RequestAbort(); };
  cancel_->Hide();
  gauge_ = &AddRunGauge(*panel_, {320, 14, 420, 32});
  toolbar_ = &panel_->Add<plat::Panel>();
  toolbar_->SetBevels(plat::Bevel::None, plat::Bevel::None);
  toolbar_->SetBounds(0, 42, 4, 34);
  status_ = &AddStatusPanel(*panel_, {5, 50, kWidth - 8, 74});
  status_->SetAlign(plat::Align::Bottom);
}

void TDialogF::BuildTable() {
  const auto params = model_.Params().Params();
  table_ = &Add<TVirTable>();
  table_->SetAlign(plat::Align::Client);
  table_->SetColCount(2);
  table_->Columns().Column(0)->SetWidth(kPromptWidth);
  table_->Columns().Column(1)->SetWidth(kArgumentWidth);
  table_->Rows().SetDefaultHeight(kRowHeight);
  table_->SetRowLimit(model_.Params().Count() + 1);
  table_->Rows().SetRowHeight(0, kHeadingHeight);
  table_->SetLockedRows(1);
  table_->SetLockedCols(1);
  TVirTblOptionSet options = table_->Options();
  options.Include(otoAlwaysEditing);
  options.Include(otoNoRowResizing);
  options.Include(otoNoColResizing);
  table_->SetOptions(options);

  heading_ = std::make_unique<TVirTCColHead>();
  heading_->SetShowLetters(false);
  heading_->SetHeadings({"Parameters:", "Arguments:"});
  heading_->SetFont(plat::Font{"Arial", 20, plat::clBlack, plat::fsBold});
  table_->SetLockedRowsCell(heading_.get());
  promptCell_ = std::make_unique<TVirTCBaseString>();
  table_->Columns().Column(0)->SetDefaultCell(promptCell_.get());

  rows_.reserve(params.size());
  cells_.resize(params.size());
  for (std::size_t i = 0; i < params.size(); ++i) {
    const int row = static_cast<int>(i) + 1;
    rows_.emplace_back(params[i]);
    cells_[i] =
        MakeParamCell(*table_, row, params[i], model_.TableRecord(row),
                      [this](int browseRow, bool save, TVirTCStringEdit& edit) { BrowseFile(browseRow, save, edit); });
    SetCellOwner(*cells_[i], *this);
    table_->Cells().SetCell(row, 1, cells_[i].get());
  }
  table_->OnGetCellData = [this](int row, int col, TVirCellDataPurpose) -> TVirCellData {
    if (row < 1 || row > static_cast<int>(rows_.size())) return {};
    auto& data = rows_[static_cast<std::size_t>(row - 1)];
    if (col == 0) return data.Prompt();
    if (col == 1) return data.Value();
    return {};
  };
  table_->OnGetCellAttributes = [](int /*row*/, int col, TVirCellAttributes& attr) {
    if (col == 0) attr.Font.style |= plat::fsBold;
  };
  table_->SetActiveCell(1, 1);
}

void TDialogF::BuildPlotBar() {
  const auto buttons = model_.Module().buttons;
  toolbar_->SetBounds(0, 42, PlotBarWidth(), 34);
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    auto& button = toolbar_->Add<plat::SpeedButton>();
    button.SetBounds(static_cast<int>(i) * kPlotButtonStep + 5, 3, kPlotButtonSize, kPlotButtonSize);
    button.SetEnabled(false);
    button.SetHint(buttons[i].hint);
    button.SetShowHint(true);
    button.SetGlyphResource(buttons[i].glyph);
    button.OnClick = [this, &button] { PlotButtonClick(button); };
    plotButtons_.push_back(&button);
  }
}

int TDialogF::PlotBarWidth() const { return static_cast<int>(model_.Module().buttons.size()) * kPlotButtonStep + 4; }

TVirBaseTableCell* TDialogF::CellAt(int row) const {
  if (row < 1 || row > static_cast<int>(cells_.size())) return nullptr;
  return cells_[static_cast<std::size_t>(row - 1)].get();
}

// The rows end one pixel above the grid's bottom edge: rows that fill it
// exactly leave the grid one row to scroll, and so a scroll bar.
int TDialogF::FullHeight() const {
  const int rows = kHeadingHeight + model_.Params().Count() * table_->Rows().DefaultHeight() + 1;
  return rows + 2 * kGridEdge + kPanelHeight;
}

// Every row shows when the window opens, whatever height it was left at, so
// no scroll bar hides a parameter. A user may make the window lower, and up
// to a few pixels higher, than that.
void TDialogF::FitHeight(bool opening) {
  const int full = FullHeight();
  SetClientSize(kWidth, opening ? full : std::min(ClientHeight(), full + kResizeSlack));
}

void TDialogF::Compute() {
  table_->StopEditing(true);
  for (std::size_t i = 0; i < rows_.size(); ++i) rows_[i].Store(model_.Params().Params()[i]);
  if (const auto fault = model_.CheckFields()) {
    ShowFieldFault(*fault);
    return;
  }
  TListingF* listing = ListingForm();
  if (listing == nullptr) return;
  model_.Compute(listing->Model(), *this);
}

void TDialogF::ShowFieldFault(const TFieldFault& fault) {
  table_->SetActiveCell(fault.row, 1);
  table_->StartEditing();
  if (fault.row < table_->TopRow()) table_->SetTopRow(fault.row);
  SetStatus(fault.message);
  table_->SetFocus();
}

void TDialogF::ShowHelp() { plat::ShowHelp(kHelpFile, plat::HelpCommand::Context, HelpContext()); }

void TDialogF::ShowListing() {
  if (TListingF* listing = ListingForm()) listing->ShowListing();
}

void TDialogF::RunStarted() {
  compute_->Hide();
  close_->Hide();
  help_->Hide();
  cancel_->Show();
  toolbar_->SetEnabled(false);
  panel_->Repaint();
}

void TDialogF::RunEnded() {
  compute_->Show();
  close_->Show();
  help_->Show();
  cancel_->Hide();
  gauge_->Hide();
  toolbar_->SetEnabled(true);
  status_->SetAlign(plat::Align::None);
  const int left = PlotButtonCount() * kPlotButtonStep + 5;
  status_->SetBounds(left, status_->Top(), panel_->Width() - left - 8, status_->Height());
  if (!IsGraphicsModule(model_.Module().number)) {
    if (TListingF* listing = ListingForm()) listing->FocusCurrentPage();
  }
}

void TDialogF::EnableButton(int button) {
  if (button >= 1 && button <= PlotButtonCount()) PlotButton(button).SetEnabled(true);
}

void TDialogF::ShowBar() { toolbar_->Show(); }

// The first button with the clicked one's hint runs its slot's plot routine.
void TDialogF::PlotButtonClick(plat::SpeedButton& button) {
  if (model_.Running()) return;
  const auto buttons = model_.Module().buttons;
  for (std::size_t i = 0; i < plotButtons_.size(); ++i) {
    if (plotButtons_[i]->Hint() == button.Hint()) {
      if (buttons[i].plot != nullptr) buttons[i].plot();
      return;
    }
  }
}

void TDialogF::BrowseFile(int row, bool save, TVirTCStringEdit& edit) {
  auto& param = model_.Params().Params()[static_cast<std::size_t>(row - 1)];
  plat::FileDialogRequest request =
      DataFileRequest(save ? "Select output file" : "Select input file", "QMX", kFileFilter,
                      save ? plat::FileDialogOptions{0} : plat::ofFileMustExist | plat::ofPathMustExist);
  request.fileName = edit.Text();
  const bool picked = save ? plat::CommonDialogs().SaveFile(request) : plat::CommonDialogs().OpenFile(request);
  if (!picked) return;
  if (auto tooLong = FileNameTooLong(param.prompt, request.fileName)) {
    SetStatus(*tooLong);
    return;
  }
  TakeDataDirectoryOf(request.fileName);
  param.fileName = request.fileName;
  rows_[static_cast<std::size_t>(row - 1)].Load(param);
  edit.SetText(request.fileName);
  table_->InvalidateCell(row, 1);
}
