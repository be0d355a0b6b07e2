#include "dataeditor/forms/MveditF.h"

#include <algorithm>

#include "dataeditor/forms/MveditAboutF.h"
#include "platform/Desktop.h"
#include "platform/Guard.h"
#include "platform/TextMetrics.h"

namespace {

const std::vector<std::string> kTypeNames{
    "Rectangular",          "Symmetric (dissimilarity)", "Symmetric (similarity)", "Diagonal",
    "Tree (dissimilarity)", "Tree (similarity)",         "Graph (dissimilarity)",  "Graph (similarity)"};
const char* const kHelpFile = "morva.hlp";
const plat::Font kFormFont{"Liberation Sans", 9, plat::clBlack, 0};

// The controls of the top panel are laid out from left to right, each as wide as its text.
constexpr int kGap = 8;
constexpr int kTop = 6;
constexpr int kHeight = 24;
// Room for a frame, a drop-down arrow or spin buttons beside a control's text.
constexpr int kEditFrame = 14;
constexpr int kArrowRoom = 36;
// The widest count an edit shows: a matrix holds at most kMaxMatrixCells cells.
const char* const kWidestCount = "00000000";
constexpr int kDefaultClientWidth = 640;
constexpr int kDefaultClientHeight = 420;

// Places a label as wide as its caption at `left`, and returns where the next control goes.
int AddLabel(plat::Control& parent, const std::string& caption, int left) {
  auto& label = parent.Add<plat::Label>(caption);
  const int width = plat::TextWidthIn(label, caption) + 4;
  label.SetBounds(left, kTop + 3, width, 18);
  return left + width;
}

int WidestText(const plat::Control& control, const std::vector<std::string>& texts) {
  int widest = 0;
  for (const auto& text : texts) widest = std::max(widest, plat::TextWidthIn(control, text));
  return widest;
}

}  // namespace

TMveditF::TMveditF() : plat::Form("MveditF") {
  SetCaption(model_.View.caption);
  SetHelpContext(kHelpContext);
  SetFont(kFormFont);
  BuildMenus();
  const int panelWidth = BuildTopPanel();
  BuildButtonPanel();
  BuildGrid();
  SetClientSize(std::max(kDefaultClientWidth, panelWidth), kDefaultClientHeight);
  OnCloseQuery = [this](bool& canClose) {
    canClose = false;
    Do([&] { canClose = model_.CloseQuery(); });
  };
  ApplyFont();
  Refresh();
}

TMveditF::~TMveditF() = default;

void TMveditF::Start(const std::vector<std::string>& args) {
  Do([&] { model_.Start(args); });
}

int TMveditF::BuildTopPanel() {
  auto& panel = Add<plat::Panel>();
  panel.SetBounds(0, 0, kDefaultClientWidth, 36);
  panel.SetAlign(plat::Align::Top);
  int left = 6;
  typeCB_ = &panel.Add<plat::ComboBox>(plat::ComboStyle::DropDownList);
  typeCB_->SetItems(kTypeNames);
  const int typeWidth = WidestText(*typeCB_, kTypeNames) + kArrowRoom;
  typeCB_->SetBounds(left, kTop, typeWidth, kHeight);
  left += typeWidth + kGap;
  typeCB_->OnChange = [this] {
    if (!refreshing_) Do([this] { model_.TypeChanged(typeCB_->ItemIndex()); });
  };

  auto addEdit = [&](const std::string& caption, std::string TMveditControls::*text,
                     void (TMveditModel::*exit)(const std::string&)) {
    left = AddLabel(panel, caption, left);
    auto& edit = panel.Add<plat::Edit>();
    const int width = plat::TextWidthIn(edit, kWidestCount) + kEditFrame;
    edit.SetBounds(left, kTop, width, kHeight);
    left += width + kGap;
    edit.OnChange = [this, &edit, text] {
      if (!refreshing_) model_.View.*text = edit.Text();
    };
    edit.OnExit = [this, text, exit] { Do([this, text, exit] { (model_.*exit)(model_.View.*text); }); };
    return &edit;
  };
  rowsEdit_ = addEdit("No. rows.:", &TMveditControls::rowsText, &TMveditModel::RowsEditExit);
  colsEdit_ = addEdit("No. cols:", &TMveditControls::colsText, &TMveditModel::ColsEditExit);
  missingEdit_ = addEdit("Missing:", &TMveditControls::missingText, &TMveditModel::MissingEditExit);

  left = AddLabel(panel, "Matrix:", left);
  spin_ = &panel.Add<plat::SpinEdit>();
  const int spinWidth = plat::TextWidthIn(*spin_, "0000") + kArrowRoom;
  spin_->SetBounds(left, kTop, spinWidth, kHeight);
  left += spinWidth + kGap;
  spin_->SetHint("Matrix displayed");
  spin_->OnChange = [this] {
    if (!refreshing_) Do([this] { model_.SpinChanged(spin_->Value()); });
  };
  saved_ = &panel.Add<plat::Label>("*");
  saved_->SetFont(plat::Font{"Liberation Sans", 14, plat::RGB(200, 0, 0), plat::fsBold});
  saved_->SetBounds(left, kTop, 20, kHeight);
  saved_->SetHint("Changes not saved.");
  saved_->SetShowHint(true);
  return left + 20 + 6;
}

void TMveditF::BuildButtonPanel() {
  auto& panel = Add<plat::Panel>();
  panel.SetBounds(0, 36, 640, 34);
  panel.SetAlign(plat::Align::Top);
  auto addLabs = [&](const std::string& caption, int left, void (TMveditModel::*set)(bool)) {
    auto& button = panel.Add<plat::SpeedButton>();
    button.SetCaption(caption);
    button.SetBounds(left, 4, 70, 26);
    button.SetGroupIndex(1);
    button.SetAllowAllUp(true);
    button.OnClick = [this, &button, set] {
      if (refreshing_) return;
      Do([this, &button, set] { (model_.*set)(button.Down()); });
      grid_->SetFocus();
    };
    return &button;
  };
  colLabs_ = addLabs("Col.Labs", 6, &TMveditModel::SetColLabelsEditable);
  rowLabs_ = addLabs("Row Labs", 80, &TMveditModel::SetRowLabelsEditable);
  insRow_ = &panel.Add<plat::Button>("Ins. row");
  insRow_->SetBounds(160, 4, 70, 26);
  insRow_->SetHint("Insert a blank row above current row");
  insRow_->OnClick = [this] { Do([this] { model_.InsertRow(grid_->Row()); }); };
  delRow_ = &panel.Add<plat::Button>("Del. row");
  delRow_->SetBounds(234, 4, 70, 26);
  delRow_->SetHint("Delete current row");
  delRow_->OnClick = [this] { Do([this] { model_.DeleteRow(grid_->Row()); }); };
  commentsButton_ = &panel.Add<plat::Button>("Comments");
  commentsButton_->SetBounds(308, 4, 80, 26);
  commentsButton_->SetHint("Matrix comment lines");
  commentsButton_->OnClick = [this] { Do([this] { model_.ShowComments(); }); };
  closeButton_ = &panel.Add<plat::Button>();
  closeButton_->SetKind(plat::ButtonKind::Close);
  closeButton_->SetBounds(392, 4, 80, 26);
}

void TMveditF::BuildGrid() {
  grid_ = &Add<plat::StringGrid>();
  grid_->SetAlign(plat::Align::Client);
  grid_->SetDefaultColWidth(66);
  // The grid shows the model's texts where they are.
  grid_->SetCellSource([this](int col, int row) { return std::string(model_.Grid.Cell(col, row)); });
  grid_->OnSelectCell = [this](int col, int row, bool& canSelect) { canSelect = model_.CanSelectCell(col, row); };
  // A value that is no number is reported as the user leaves its cell, who
  // stays on it to mend it; moves the window makes itself are not checked.
  grid_->OnLeaveCell = [this](int col, int row, bool& canLeave) {
    if (refreshing_) return;
    canLeave = false;
    plat::RunGuarded([&] {
      model_.CheckValueCell(col, row);
      canLeave = true;
    });
  };
  grid_->OnStartEdit = [this](int col, int row) { model_.StartEdit(col, row); };
  grid_->OnSetEditText = [this](int col, int row, const std::string& text) {
    if (!refreshing_) Do([&] { model_.SetEditText(col, row, text); });
  };
  grid_->OnRowMoved = [this](int from, int to) { Do([=, this] { model_.RowMoved(from, to); }); };
  grid_->OnColumnMoved = [this](int from, int to) { Do([=, this] { model_.ColumnMoved(from, to); }); };
}

void TMveditF::BuildMenus() {
  auto& menu = Menu();
  auto command = [this](void (TMveditModel::*run)()) { return [this, run] { Do([this, run] { (model_.*run)(); }); }; };
  auto& file = menu.Add("&File");
  file.Add("New &matrix", "", command(&TMveditModel::NewMatrix));
  file.Add("New &file", "Start a new empty file", command(&TMveditModel::NewFile));
  file.Add("&Open file...", "", command(&TMveditModel::OpenFile));
  auto& excel = file.Add("&Import Excel");
  excel.Add("using DDE ...", "", command(&TMveditModel::ImportOverLink));
  excel.Add("using OLE ...", "", command(&TMveditModel::ImportWorkbook));
  file.Add("&Save file", "", [this] { Do([this] { model_.SaveFileCommand(); }); });
  file.Add("Save file &as...", "", [this] { Do([this] { model_.SaveFileAsCommand(); }); });
  file.Add("-");
  file.Add("E&xit", "", [this] { Close(); });

  auto& edit = menu.Add("&Edit");
  edit.Add("Edit row labels", "", [this] {
    rowLabs_->SetDown(!rowLabs_->Down());
    Do([this] { model_.SetRowLabelsEditable(rowLabs_->Down()); });
  });
  auto& colLabels = edit.Add("Edit column labels", "", [this] {
    colLabs_->SetDown(!colLabs_->Down());
    Do([this] { model_.SetColLabelsEditable(colLabs_->Down()); });
  });
  edit.Add("Insert row", "", [this] { Do([this] { model_.InsertRow(grid_->Row()); }); });
  auto& insertColumn = edit.Add("Insert column", "", [this] { Do([this] { model_.InsertColumn(grid_->Col()); }); });
  deleteRowMenu_ = &edit.Add("Delete row", "", [this] { Do([this] { model_.DeleteRow(grid_->Row()); }); });
  deleteColumnMenu_ = &edit.Add("Delete column", "", [this] { Do([this] { model_.DeleteColumn(grid_->Col()); }); });
  columnMenus_ = {&colLabels, &insertColumn, deleteColumnMenu_};
  edit.Add("Delete matrix", "", command(&TMveditModel::DeleteMatrix));
  edit.Add("Check matrix", "", [this] { Do([this] { model_.CheckMatrix(); }); });

  auto& options = menu.Add("&Options");
  options.Add("Alt. editor...", "", command(&TMveditModel::ChooseAltEditor));
  options.Add("Font ...", "", [this] {
    Do([this] {
      if (model_.ChooseFont()) ApplyFont();
    });
  });

  auto& help = menu.Add("&Help");
  help.Add("&Contents", "", [] { plat::ShowHelp(kHelpFile, plat::HelpCommand::Context, 1); });
  help.Add("&Search topic...", "", [] { plat::ShowHelp(kHelpFile, plat::HelpCommand::Search); });
  help.Add("&About...", "", [this] { ShowMveditAbout(model_.VersionText); });
}

TCommentsF& TMveditF::CommentsWindow() {
  if (!comments_) {
    comments_ = std::make_unique<TCommentsF>();
    comments_->OnLinesEdited = [this](const std::vector<std::string>& lines) {
      Do([&] { model_.CommentsEdited(lines); });
    };
    comments_->OnClosed = [this] { Do([this] { model_.CloseComments(); }); };
  }
  return *comments_;
}

void TMveditF::Do(const std::function<void()>& command) {
  plat::RunGuarded(command);
  Refresh();
}

void TMveditF::ApplyFont() {
  grid_->SetFont(plat::Font{model_.FontFace, model_.FontSize, plat::clBlack, 0});
  FitColumns();
}

void TMveditF::ShowGridShape() {
  const TGridCells& cells = model_.Grid;
  grid_->SetColCount(cells.ColCount());
  grid_->SetRowCount(cells.RowCount());
  grid_->CellsChanged();
  shownRevision_ = model_.GridRevision;
}

// Each column as wide as its longest text, so that values such as
// 3.53836475741151E+000 show whole with their exponents.
void TMveditF::FitColumns() {
  const TGridCells& cells = model_.Grid;
  for (int c = 0; c < cells.ColCount() && c < grid_->ColCount(); ++c)
    grid_->FitColWidthTo(c, std::string(cells.LongestInColumn(c)));
  fittedMatrix_ = model_.MatrixShown;
}

void TMveditF::Refresh() {
  if (refreshing_) return;
  refreshing_ = true;
  const TMveditControls& v = model_.View;
  SetCaption(v.caption);
  if (typeCB_->ItemIndex() != v.typeIndex) typeCB_->SetItemIndex(v.typeIndex);
  if (rowsEdit_->Text() != v.rowsText) rowsEdit_->SetText(v.rowsText);
  if (colsEdit_->Text() != v.colsText) colsEdit_->SetText(v.colsText);
  if (missingEdit_->Text() != v.missingText) missingEdit_->SetText(v.missingText);
  colsEdit_->SetEnabled(v.colsEditEnabled);
  spin_->SetRange(1, v.spinMax);
  if (spin_->Value() != v.spinValue) spin_->SetValue(v.spinValue);
  spin_->SetEnabled(v.spinEnabled);
  saved_->SetVisible(v.savedShown);
  colLabs_->SetDown(v.colLabsDown);
  rowLabs_->SetDown(v.rowLabsDown);
  delRow_->SetEnabled(v.delRowEnabled);
  deleteRowMenu_->SetEnabled(v.delRowEnabled);
  for (auto* item : columnMenus_) item->SetEnabled(v.colMenusEnabled);
  deleteColumnMenu_->SetEnabled(v.colMenusEnabled && v.delColEnabled);
  if (shownRevision_ != model_.GridRevision) ShowGridShape();
  if (fittedMatrix_ != model_.MatrixShown) FitColumns();
  grid_->SetFixedRows(v.fixedRows);
  grid_->SetFixedCols(v.fixedCols);
  plat::GridOptions options =
      plat::goEditing | plat::goTabs | plat::goAlwaysShowEditor | plat::goRangeSelect | plat::goColSizing;
  if (v.rowColMoving) options |= plat::goRowMoving | plat::goColMoving;
  grid_->SetOptions(options);
  if (v.commentsVisible) {
    TCommentsF& comments = CommentsWindow();
    comments.SetLines(v.commentsLines);
    if (!comments.Visible()) comments.ShowForm();
  } else if (comments_ && comments_->Visible()) {
    comments_->Hide();
  }
  refreshing_ = false;
}
