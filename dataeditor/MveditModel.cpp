#include "dataeditor/MveditModel.h"

#include <algorithm>
#include <filesystem>
#include <functional>

#include "dataeditor/EdReader.h"
#include "dataeditor/EdWriter.h"
#include "dataeditor/SheetImport.h"
#include "dataeditor/WorkbookSheet.h"
#include "matrix/Constu.h"
#include "platform/CommonDialogs.h"
#include "platform/Desktop.h"
#include "platform/DisplayText.h"
#include "platform/MessageBox.h"
#include "rtl/Convert.h"
#include "rtl/Exception.h"
#include "rtl/Format.h"
#include "rtl/ScopeGuard.h"
#include "shell/Profile2.h"

namespace fs = std::filesystem;

namespace {

// The version shown in the caption, taken from between the asterisks.
std::string VersionFromLiteral() {
  const std::string literal = "Version *1.07b*";
  auto first = literal.find('*');
  return literal.substr(first + 1, literal.rfind('*') - first - 1);
}

const char* const kMatrixFilter = "Morva files|*.QMX|All files|*.*";
const char* const kWorkbookFilter = "Excel files|*.XLS;*.XLSX;*.ODS";
// Programs on this system carry no extension of their own.
const char* const kProgramFilter = "Programs|*|Exec. files|*.EXE;*.COM;*.BAT";
// Started on a file that does not load when no alternative editor is set.
const char* const kDefaultAltEditor = "xdg-open";
const char* const kDefaultProgramDir = "/usr/bin";

TProfile2 Settings(const char* entry) {
  TProfile2 profile;
  profile.FileName = "morva.ini";
  profile.Section = "Mvedit";
  profile.Entry = entry;
  return profile;
}

std::string ReadSetting(const char* entry, const std::string& defaultText) {
  TProfile2 profile = Settings(entry);
  profile.DefaultText = defaultText;
  return profile.Text();
}

// The settings are a convenience: one that cannot be written is reported, and
// the command that wrote it (a save, an open, closing the window) goes on.
void WriteSetting(const char* entry, const std::string& text) {
  try {
    Settings(entry).SetText(text);
  } catch (const rtl::EInOutError& e) {
    plat::ShowErrorMessage(e.what());
  }
}

std::string Trimmed(std::string_view s) { return std::string(rtl::Trim(s)); }

// The hourglass while a long step runs.
class HourGlass {
 public:
  HourGlass() { plat::SetScreenCursor(plat::CursorShape::HourGlass); }
  ~HourGlass() { plat::SetScreenCursor(plat::CursorShape::Default); }
  HourGlass(const HourGlass&) = delete;
  HourGlass& operator=(const HourGlass&) = delete;
};

// Every cell a matrix keeps, by type: labels, headings and values.
void ForEachModelCell(int type, int rows, int cols, const std::function<void(int r, int c)>& visit) {
  if (IsSymmetricType(type)) {
    for (int r = 1; r <= rows; ++r)
      for (int c = 0; c <= r; ++c) visit(r, c);
    return;
  }
  int lastRow = GridRowsOf(type, rows, cols) - 1;
  int lastCol = GridColumnsOf(type, cols) - 1;
  for (int r = 0; r <= lastRow; ++r)
    for (int c = 0; c <= lastCol; ++c) visit(r, c);
}

// The value cells of a matrix, row by row (no labels or headings).
void ForEachValueCell(int type, int rows, int cols, const std::function<bool(int r, int c)>& visit) {
  const TMatrixShape shape{type, rows, cols};
  for (int r = 1; r <= ValueRowCount(shape); ++r) {
    const int lastCol = LastValueColumn(shape, r);
    for (int c = 1; c <= lastCol; ++c)
      if (!visit(r, c)) return;
  }
}

}  // namespace

TMveditModel::TMveditModel() : VersionText(VersionFromLiteral()) {
  View.caption = "Mvedit " + VersionText;
  ShowSizes();
  ClearGrid(Rows, Cols);
  AltEditor = ReadSetting("AltEditor", "");
  FontFace = ReadSetting("FontFace", "Courier New");
  FontSize = rtl::TryStrToInt(ReadSetting("FontSize", "8")).value_or(8);
  if (FontSize <= 0) FontSize = 8;
  Directory = ReadSetting("Directory", "");
}

void TMveditModel::Start(const std::vector<std::string>& args) {
  std::error_code ec;
  if (args.size() == 1 && fs::is_regular_file(args[0], ec)) {
    try {
      LoadFile(args[0]);
      return;
    } catch (const std::exception&) {
      // A file given at start that does not load gives a new matrix.
    }
  }
  NewMatrix();
}

// --- Flags and controls ------------------------------------------------------

void TMveditModel::MarkMatrixChanged() {
  MatrixChanged = true;
  MatrixChecked = false;
  MarkFileSaved(false);
}

void TMveditModel::MarkFileSaved(bool saved) {
  FileChanged = !saved;
  View.savedShown = !saved;
}

void TMveditModel::ShowSizes() {
  View.rowsText = std::to_string(Rows);
  View.colsText = std::to_string(Cols);
  View.typeIndex = MatType - 1;
}

void TMveditModel::ShapeEdited(bool markChanged) {
  ShowSizes();
  if (markChanged) MarkMatrixChanged();
  ApplyFixedCells();
  UpdateRowButtons();
  GridChanged();
}

void TMveditModel::UpdateRowButtons() {
  int rowCount = IsGraphType(MatType) ? Grid.RowCount() - 1 : Rows;
  View.delRowEnabled = rowCount > 1;
  View.delColEnabled = MatType == mtRectangular && Cols > 1;
}

// The controls a matrix type enables: moving rows and columns, the column count, the column menus.
void TMveditModel::ShowTypeControls() {
  View.rowColMoving = MatType == mtRectangular;
  View.colsEditEnabled = MatType == mtRectangular || IsGraphType(MatType);
  View.colMenusEnabled = MatType == mtRectangular;
}

void TMveditModel::ApplyFixedCells() {
  View.fixedRows = Grid.RowCount() > 1 && !View.colLabsDown ? 1 : 0;
  View.fixedCols = Grid.ColCount() > 1 && !View.rowLabsDown ? 1 : 0;
}

// --- Matrix list -----------------------------------------------------------

void TMveditModel::ShowMatrix(int k) {
  HourGlass busy;
  const TMatrixStr& m = *MatrixList.at(static_cast<std::size_t>(k - 1));
  MatType = m.MatType;
  Rows = m.Rows;
  Cols = m.Cols;
  MissingCode = m.MissingCode;
  MissingText = m.MissingText;
  View.commentsVisible = false;
  Comments = m.Comments ? *m.Comments : rtl::StringList();
  ShowSizes();
  View.missingText = MissingText;

  Grid.Reset(GridColumnsOf(MatType, Cols), GridRowsOf(MatType, Rows, Cols));
  ForEachModelCell(MatType, Rows, Cols, [&](int r, int c) { Grid.SetCell(c, r, m.GetCell(r, c)); });
  // A symmetric matrix's column headings are its row labels.
  if (IsSymmetricType(MatType))
    for (int r = 1; r <= Rows; ++r) Grid.SetCell(r, 0, m.GetCell(r, 0));
  Grid.SetCell(0, 0, "Rows\\Cols");

  ShowTypeControls();
  ApplyFixedCells();
  MatrixChanged = false;
  BlankMatrix = m.Untouched;
  View.spinMax = static_cast<int>(MatrixList.size());
  View.spinEnabled = MatrixList.size() > 1;
  View.spinValue = k;
  UpdateRowButtons();
  GridChanged();
  ++MatrixShown;
}

void TMveditModel::StoreMatrix(int k) {
  if (View.commentsVisible) {
    Comments.Clear();
    for (const auto& line : View.commentsLines) Comments.Add(line);
  }
  auto m = std::make_unique<TMatrixStr>(MatType, Rows, Cols, MissingCode, MissingText,
                                        Comments.Empty() ? nullptr : &Comments);
  ForEachModelCell(MatType, Rows, Cols, [&](int r, int c) { m->SetCell(r, c, Grid.Cell(c, r)); });
  m->Untouched = BlankMatrix;
  if (k >= 1 && k <= static_cast<int>(MatrixList.size())) {
    MatrixList[static_cast<std::size_t>(k - 1)] = std::move(m);
  } else {
    MatrixList.push_back(std::move(m));
  }
  MatrixChanged = false;
}

void TMveditModel::ClearGrid(int rows, int cols) {
  RowLabelCode = 1;
  ColLabelFlag = true;
  FileName.clear();
  Comments.Clear();
  MatrixChecked = true;
  MatType = 1;
  BlankMatrix = true;
  for (int r = 0; r <= rows; ++r)
    for (int c = 0; c <= cols; ++c) Grid.SetCell(c, r, {});
  GridChanged();
}

void TMveditModel::DeleteCurrentMatrix() {
  if (CurrentMatrix >= 1 && CurrentMatrix <= static_cast<int>(MatrixList.size()))
    MatrixList.erase(MatrixList.begin() + (CurrentMatrix - 1));
  if (CurrentMatrix > static_cast<int>(MatrixList.size())) {
    CurrentMatrix = std::max(CurrentMatrix - 1, 0);
    View.spinMax = std::max(CurrentMatrix, 1);
    View.spinValue = View.spinMax;
    View.spinEnabled = CurrentMatrix > 1;
  }
}

// --- Files -------------------------------------------------------------------

void TMveditModel::LoadFile(const std::string& name) {
  HourGlass busy;
  rtl::TextReader f(name);
  // Everything is read before anything of the open file is replaced.
  auto matrices = ReadEditorMatrices(f);
  MatrixList = std::move(matrices);
  FileName = name;
  View.commentsVisible = false;
  CurrentMatrix = 1;
  ShowMatrix(1);
  BlankMatrix = false;
  MatrixChanged = false;
  MatrixChecked = false;
  MarkFileSaved(true);
  View.caption = "Mvedit " + VersionText + " : " + name;
}

bool TMveditModel::HasMatricesToSave() const {
  return std::any_of(MatrixList.begin(), MatrixList.end(), [](const auto& m) { return !m->Untouched; });
}

bool TMveditModel::SaveFile(const std::string& name) {
  HourGlass busy;
  std::vector<const TMatrixStr*> matrices;
  for (const auto& m : MatrixList)
    if (!m->Untouched) matrices.push_back(m.get());
  if (matrices.empty()) throw E_Morvapc("No matrices to save.");
  try {
    ReplaceFileWithLines(name, EditorFileLines(matrices));
  } catch (const E_Morvapc& e) {
    plat::ShowErrorMessage(e.what());
    return false;
  } catch (const rtl::EInOutError& e) {
    plat::ShowErrorMessage(e.what());
    return false;
  }
  MarkFileSaved(true);
  return true;
}

bool TMveditModel::SaveFileAs() {
  if (!HasMatricesToSave()) throw E_Morvapc("No matrices to save.");
  if (!CheckMatrix()) return false;
  plat::FileDialogRequest request;
  request.filter = kMatrixFilter;
  request.defaultExt = "QMX";
  request.options = plat::ofOverwritePrompt | plat::ofHideReadOnly | plat::ofShowHelp | plat::ofPathMustExist;
  if (!FileName.empty()) {
    request.fileName = FileName;
  } else {
    request.initialDir = StartFolder();
    request.fileName = "*.QMX";
  }
  if (!plat::CommonDialogs().SaveFile(request)) return false;
  const std::string chosen = request.fileName;
  RememberDirectoryOf(chosen);
  if (!SaveFile(chosen)) return false;
  FileName = chosen;
  View.caption = "Mvedit " + VersionText + " : " + FileName;
  return true;
}

bool TMveditModel::CheckMatrix() {
  // An untouched new matrix is not written, so it need not pass.
  if (BlankMatrix || MatrixChecked) return true;
  MissingEditExit(View.missingText);
  bool fill = false;
  bool passed = true;
  ForEachValueCell(MatType, Rows, Cols, [&](int r, int c) {
    CheckValueCell(c, r);
    if (!Trimmed(Grid.Cell(c, r)).empty()) return true;
    if (!fill) {
      std::string question =
          rtl::Format("Empty cell found at (row %d, col %d),\nfill all empty cells with\nmissing value code?", r, c);
      if (plat::MessageDlg(question, plat::MsgKind::Confirmation, plat::mbYes | plat::mbCancel) != plat::mrYes) {
        passed = false;
        return false;
      }
      if (MissingText.empty()) {
        plat::ShowInformationMessage("Missing value code must be set.");
        passed = false;
        return false;
      }
      fill = true;
      MarkMatrixChanged();
      GridChanged();
    }
    Grid.SetCell(c, r, MissingText);
    return true;
  });
  if (!passed) return false;
  MatrixChecked = true;
  if (fill) StoreMatrix(CurrentMatrix);
  return true;
}

// --- Window commands -------------------------------------------------------

bool TMveditModel::ConfirmKeepMatrix(bool forgetOnNo) {
  if (!MatrixChanged) return true;
  plat::ModalResult answer = plat::MessageDlg("Keep changes to current matrix?", plat::MsgKind::Warning,
                                              plat::mbYes | plat::mbNo | plat::mbCancel);
  if (answer == plat::mrYes) {
    StoreMatrix(CurrentMatrix);
  } else if (answer == plat::mrNo) {
    if (forgetOnNo) MatrixChanged = false;
  } else {
    return false;
  }
  return true;
}

bool TMveditModel::ConfirmSaveChanges() {
  if (!FileChanged) return true;
  plat::ModalResult answer =
      plat::MessageDlg("Save changes to file?", plat::MsgKind::Confirmation, plat::mbYes | plat::mbNo | plat::mbCancel);
  if (answer == plat::mrNo) return true;
  if (answer != plat::mrYes) return false;
  return SaveFileCommand();
}

void TMveditModel::NewMatrix() {
  if (!ConfirmKeepMatrix(true)) return;
  View.caption = "Mvedit " + VersionText;
  const int type = MatType;
  auto m = std::make_unique<TMatrixStr>(type, Rows, Cols, MissingCode, MissingText, nullptr);
  ClearGrid(Rows, Cols);
  const auto& headings = FixedHeadings(type);
  if (headings.empty()) {
    for (int k = 1; k <= m->Cols; ++k) m->SetCell(0, k, "C" + std::to_string(k));
  } else {
    for (std::size_t k = 0; k < headings.size(); ++k) m->SetCell(0, static_cast<int>(k) + 1, headings[k]);
  }
  for (int k = 1; k <= m->Rows; ++k) m->SetCell(k, 0, "R" + std::to_string(k));
  m->Untouched = true;
  MatrixList.push_back(std::move(m));
  CurrentMatrix = static_cast<int>(MatrixList.size());
  MatrixChanged = false;
  MatrixChecked = true;
  ShowMatrix(CurrentMatrix);
}

void TMveditModel::NewFile() {
  if (!ConfirmSaveChanges()) return;
  MatrixList.clear();
  CurrentMatrix = 1;
  FileName.clear();
  // The edits of the dropped file are gone with it.
  MatrixChanged = false;
  MarkFileSaved(true);
  NewMatrix();
}

void TMveditModel::RememberDirectoryOf(const std::string& fileName) {
  Directory = fs::path(fileName).parent_path().string();
  NormalizeDirectory(Directory);
  WriteSetting("Directory", Directory);
}

std::string TMveditModel::StartFolder() const {
  std::error_code ec;
  std::string folder = FileName.empty() ? Directory : fs::path(FileName).parent_path().string();
  if (folder.empty() || !fs::is_directory(folder, ec)) folder = fs::current_path(ec).string();
  NormalizeDirectory(folder);
  return folder;
}

void TMveditModel::StartAltEditor(const std::string& fileName) {
  const std::string command = AltEditor.empty() ? kDefaultAltEditor : AltEditor;
  if (!plat::StartProgram(command, fileName))
    plat::ShowErrorMessage("Unable to open alternative editor\n(" + command + ")");
}

void TMveditModel::OpenFile() {
  if (!ConfirmKeepMatrix(false) || !ConfirmSaveChanges()) return;
  plat::FileDialogRequest request;
  request.title = "Load data file...";
  request.filter = kMatrixFilter;
  request.defaultExt = "QMX";
  request.initialDir = StartFolder();
  request.options = plat::ofHideReadOnly | plat::ofShowHelp | plat::ofPathMustExist | plat::ofFileMustExist;
  if (!plat::CommonDialogs().OpenFile(request)) return;
  const std::string chosen = request.fileName;
  RememberDirectoryOf(chosen);
  try {
    LoadFile(chosen);
  } catch (const E_Morvapc& e) {
    plat::ShowErrorMessage(e.what());
    StartAltEditor(chosen);
  }
}

bool TMveditModel::SaveFileCommand() {
  if (MatrixChanged) StoreMatrix(CurrentMatrix);
  if (FileName.empty()) return SaveFileAs();
  return CheckMatrix() && SaveFile(FileName);
}

bool TMveditModel::SaveFileAsCommand() {
  if (MatrixChanged) StoreMatrix(CurrentMatrix);
  return SaveFileAs();
}

bool TMveditModel::CloseQuery() {
  WriteSetting("FontFace", FontFace);
  WriteSetting("FontSize", std::to_string(FontSize));
  return ConfirmSaveChanges();
}

void TMveditModel::DeleteMatrix() {
  bool wasUntouched = CurrentMatrix >= 1 && CurrentMatrix <= static_cast<int>(MatrixList.size()) &&
                      MatrixList[static_cast<std::size_t>(CurrentMatrix - 1)]->Untouched;
  DeleteCurrentMatrix();
  // The grid's edits belonged to the deleted matrix.
  MatrixChanged = false;
  if (!wasUntouched) MarkFileSaved(false);
  if (MatrixList.empty()) {
    NewMatrix();
  } else {
    ShowMatrix(CurrentMatrix);
  }
}

void TMveditModel::SpinChanged(int value) {
  if (!View.spinEnabled || value == CurrentMatrix || value < 1 || value > static_cast<int>(MatrixList.size())) return;
  if (MatrixChanged) StoreMatrix(CurrentMatrix);
  CurrentMatrix = value;
  ShowMatrix(CurrentMatrix);
}

void TMveditModel::TypeChanged(int index) {
  const int type = index + 1;
  if (type == MatType || type < mtRectangular || type > mtGraphSimilarity) return;
  if (SameLayout(type, MatType)) {
    MatType = type;
    View.typeIndex = index;
    MarkMatrixChanged();
    return;
  }
  if (plat::MessageDlg("Changing the matrix shape can lose data,\nare you sure?", plat::MsgKind::Confirmation,
                       plat::mbOK | plat::mbCancel) != plat::mrOk) {
    View.typeIndex = MatType - 1;
    return;
  }
  const TMatrixShape shape = ShapeOfType({MatType, Rows, Cols}, type);
  CheckMatrixSize(shape.type, shape.rows, shape.cols);
  MatType = shape.type;
  Rows = shape.rows;
  Cols = shape.cols;
  MatrixList.at(static_cast<std::size_t>(CurrentMatrix - 1)) =
      std::make_unique<TMatrixStr>(MatType, Rows, Cols, MissingCode, MissingText, nullptr);
  Grid.SetSize(GridColumnsOf(MatType, Cols), GridRowsOf(MatType, Rows, Cols));
  ShowTypeControls();
  if (MatType == mtRectangular) {
    for (int k = 1; k <= Cols; ++k) Grid.SetCell(k, 0, "C" + std::to_string(k));
  } else {
    if (IsSymmetricType(MatType)) {
      for (int r = 1; r <= Rows; ++r)
        for (int c = r + 1; c <= Cols; ++c) Grid.SetCell(c, r, {});
      for (int k = 1; k <= Cols; ++k)
        if (Grid.Cell(k, 0).empty()) Grid.SetCell(k, 0, "V" + std::to_string(k));
    }
    const auto& headings = FixedHeadings(MatType);
    for (std::size_t k = 0; k < headings.size(); ++k) Grid.SetCell(static_cast<int>(k) + 1, 0, headings[k]);
    for (int k = 1; k <= Rows; ++k)
      if (Grid.Cell(0, k).empty()) Grid.SetCell(0, k, "V" + std::to_string(k));
  }
  ShapeEdited(true);
}

// --- Sizes -------------------------------------------------------------------

int TMveditModel::ParseSizeEdit(const std::string& text, std::string& editText, int current) {
  auto value = rtl::TryStrToInt(Trimmed(text));
  if (!value) {
    editText = std::to_string(current);
    return rtl::StrToInt(Trimmed(text));  // raises the number-conversion error with its text
  }
  if (*value <= 0) {
    editText = "1";
    return 1;
  }
  return *value;
}

void TMveditModel::CheckEditedSize(int rows, int cols, std::string& editText, int current) {
  const rtl::ScopeFail putBack([&] { editText = std::to_string(current); });
  CheckMatrixSize(MatType, rows, cols);
}

bool TMveditModel::ConfirmShrink(const char* question, std::string& editText, int current) {
  if (plat::MessageDlg(question, plat::MsgKind::Confirmation, plat::mbOK | plat::mbCancel) == plat::mrOk) return true;
  editText = std::to_string(current);
  return false;
}

void TMveditModel::RowsEditExit(const std::string& text) {
  const int n = ParseSizeEdit(text, View.rowsText, Rows);
  if (n == Rows) return;
  const int cols = ShapeWithRows({MatType, Rows, Cols}, n).cols;
  CheckEditedSize(n, cols, View.rowsText, Rows);
  if (IsGraphType(MatType)) {
    // Node labels beyond the new count leave the matrix, and the grid keeps room for every edge.
    if (n < Rows) {
      if (!ConfirmShrink("Deleting rows can lose data,\nare you sure?", View.rowsText, Rows)) return;
      for (int k = n + 1; k <= Rows; ++k) Grid.SetCell(0, k, {});
    }
    Grid.SetRowCount(std::max(n, Cols) + 1);
  } else {
    if (n < Rows && !BlankMatrix && !ConfirmShrink("Deleting rows can lose data,\nare you sure?", View.rowsText, Rows))
      return;
    Grid.SetRowCount(n + 1);
    if (IsSymmetricType(MatType)) Grid.SetColCount(n + 1);
    for (int k = Rows + 1; k <= n; ++k) {
      Grid.SetCell(0, k, "R" + std::to_string(k));
      if (IsSymmetricType(MatType)) Grid.SetCell(k, 0, "R" + std::to_string(k));
    }
  }
  Rows = n;
  Cols = cols;
  ShapeEdited(!BlankMatrix);
}

void TMveditModel::ColsEditExit(const std::string& text) {
  if (!View.colsEditEnabled) return;
  const int n = ParseSizeEdit(text, View.colsText, Cols);
  if (n == Cols) return;
  CheckEditedSize(Rows, n, View.colsText, Cols);
  if (IsGraphType(MatType)) {
    if (n < Cols) {
      if (!BlankMatrix &&
          !ConfirmShrink("Deleting edges in a graph can lose data,\nare you sure?", View.colsText, Cols))
        return;
      for (int e = n + 1; e <= Cols; ++e)
        for (int c = 1; c <= 3; ++c) Grid.SetCell(c, e, {});
    }
    Grid.SetRowCount(std::max(Rows, n) + 1);
  } else {
    if (n < Cols && !BlankMatrix &&
        !ConfirmShrink("Deleting columns can lose data,\nare you sure?", View.colsText, Cols))
      return;
    Grid.SetColCount(n + 1);
    for (int k = Cols + 1; k <= n; ++k) Grid.SetCell(k, 0, "V" + std::to_string(k));
  }
  Cols = n;
  ShapeEdited(!BlankMatrix);
}

void TMveditModel::MissingEditExit(const std::string& text) {
  const std::string value = Trimmed(text);
  if (value == MissingText) return;
  if (!value.empty() && !rtl::TryStrToInt(value)) {
    View.missingText = MissingText;
    throw E_Morvapc("Bad code given for missing values: " + value);
  }
  MissingText = value;
  if (value.empty()) {
    MissingCode = 0;
  } else if (MissingCode == 0) {
    MissingCode = 1;
  }
  View.missingText = MissingText;
  if (!BlankMatrix) MarkMatrixChanged();
}

// --- Rows and columns --------------------------------------------------------

void TMveditModel::ShiftRowsDown(int at) {
  for (int r = Grid.RowCount() - 1; r > at; --r) Grid.CopyRow(r - 1, r);
  Grid.ClearRow(at);
  // In a symmetric matrix the new row is also a new column.
  if (IsSymmetricType(MatType)) ShiftColsRight(at);
}

void TMveditModel::ShiftRowsUp(int at) {
  for (int r = at; r + 1 < Grid.RowCount(); ++r) Grid.CopyRow(r + 1, r);
  Grid.ClearRow(Grid.RowCount() - 1);
  if (IsSymmetricType(MatType)) ShiftColsLeft(at);
}

void TMveditModel::ShiftColsRight(int at) {
  for (int c = Grid.ColCount() - 1; c > at; --c) Grid.CopyCol(c - 1, c);
  Grid.ClearCol(at);
}

void TMveditModel::ShiftColsLeft(int at) {
  for (int c = at; c + 1 < Grid.ColCount(); ++c) Grid.CopyCol(c + 1, c);
  Grid.ClearCol(Grid.ColCount() - 1);
}

void TMveditModel::InsertRow(int row) {
  const int at = std::clamp(row, 1, Grid.RowCount());
  const TMatrixShape shape = ShapeAfterRowInsert({MatType, Rows, Cols}, at);
  CheckMatrixSize(MatType, shape.rows, shape.cols);
  Rows = shape.rows;
  Cols = shape.cols;
  Grid.SetRowCount(GridRowsOf(MatType, Rows, Cols));
  if (IsSymmetricType(MatType)) Grid.SetColCount(Rows + 1);
  ShiftRowsDown(at);
  ShapeEdited(true);
}

void TMveditModel::DeleteRow(int row) {
  if (!View.delRowEnabled) return;
  const int at = std::clamp(row, 1, Grid.RowCount() - 1);
  const TMatrixShape shape = ShapeAfterRowDelete({MatType, Rows, Cols}, at);
  Rows = shape.rows;
  Cols = shape.cols;
  ShiftRowsUp(at);
  Grid.SetRowCount(GridRowsOf(MatType, Rows, Cols));
  if (IsSymmetricType(MatType)) Grid.SetColCount(Rows + 1);
  ShapeEdited(true);
}

void TMveditModel::InsertColumn(int col) {
  if (!View.colMenusEnabled) return;
  CheckMatrixSize(MatType, Rows, Cols + 1);
  const int at = std::clamp(col, 1, Grid.ColCount());
  ++Cols;
  Grid.SetColCount(Cols + 1);
  ShiftColsRight(at);
  ShapeEdited(true);
}

void TMveditModel::DeleteColumn(int col) {
  if (!View.colMenusEnabled || Cols <= 1) return;
  const int at = std::clamp(col, 1, Grid.ColCount() - 1);
  ShiftColsLeft(at);
  --Cols;
  Grid.SetColCount(Cols + 1);
  ShapeEdited(true);
}

void TMveditModel::GridLinesMoved() {
  BlankMatrix = false;
  MarkMatrixChanged();
  GridChanged();
}

// Only a rectangular matrix lets its rows and columns move; the headings stay where they are.
void TMveditModel::RowMoved(int from, int to) {
  if (!View.rowColMoving || from == to || std::min(from, to) < 1 || std::max(from, to) > Rows) return;
  Grid.MoveRow(from, to);
  GridLinesMoved();
}

void TMveditModel::ColumnMoved(int from, int to) {
  if (!View.rowColMoving || from == to || std::min(from, to) < 1 || std::max(from, to) > Cols) return;
  Grid.MoveCol(from, to);
  GridLinesMoved();
}

void TMveditModel::SetRowLabelsEditable(bool down) {
  View.rowLabsDown = down;
  ApplyFixedCells();
}

void TMveditModel::SetColLabelsEditable(bool down) {
  View.colLabsDown = down;
  ApplyFixedCells();
}

// --- Options -----------------------------------------------------------------

void TMveditModel::ChooseAltEditor() {
  plat::FileDialogRequest request;
  request.title = "Select program as alternative editor";
  request.filter = kProgramFilter;
  request.options = plat::ofHideReadOnly | plat::ofPathMustExist;
  if (AltEditor.empty()) {
    request.initialDir = kDefaultProgramDir;
  } else {
    fs::path current(AltEditor);
    request.initialDir = current.parent_path().string();
    request.fileName = current.filename().string();
  }
  if (!plat::CommonDialogs().OpenFile(request)) return;
  AltEditor = request.fileName;
  WriteSetting("AltEditor", AltEditor);
}

bool TMveditModel::ChooseFont() {
  plat::Font font;
  font.name = FontFace;
  font.size = FontSize;
  if (!plat::CommonDialogs().ChooseFont(font)) return false;
  FontFace = font.name;
  FontSize = font.size;
  return true;
}

// --- Spreadsheet import --------------------------------------------------------

void TMveditModel::ImportWorkbook() {
  ImportMatrix([](const std::string& path) {
    auto sheet = OpenWorkbookSheet(path);
    return ImportSheet(*sheet, kWorkbookImportRules);
  });
}

void TMveditModel::ImportOverLink() {
  plat::ShowInformationMessage(
      "No spreadsheet program answers the DDE link on this system.\n"
      "Use \"using OLE ...\" to import a workbook file.");
}

void TMveditModel::ImportMatrix(const TSheetImporter& import) {
  const bool shown = CurrentMatrix >= 1 && CurrentMatrix <= static_cast<int>(MatrixList.size());
  // An untouched new matrix makes room for the import without a question.
  bool replace = shown && BlankMatrix;
  if (shown && !BlankMatrix) {
    const plat::ModalResult overwrite = plat::MessageDlg("Overwrite current matrix?", plat::MsgKind::Warning,
                                                         plat::mbYes | plat::mbNo | plat::mbCancel);
    if (overwrite == plat::mrCancel) return;
    replace = overwrite == plat::mrYes;
    // The shown matrix goes; only Cancel here matters.
    if (replace && MatrixChanged &&
        plat::MessageDlg("Keep changes to current matrix?", plat::MsgKind::Warning,
                         plat::mbYes | plat::mbNo | plat::mbCancel) == plat::mrCancel)
      return;
  }
  plat::FileDialogRequest request;
  request.title = "Open Excel file";
  request.filter = kWorkbookFilter;
  request.defaultExt = "XLS";
  request.initialDir = StartFolder();
  request.options = plat::ofHideReadOnly | plat::ofPathMustExist | plat::ofFileMustExist;
  if (!plat::CommonDialogs().OpenFile(request)) return;
  const std::string chosen = request.fileName;
  RememberDirectoryOf(chosen);

  std::unique_ptr<TMatrixStr> imported;
  {
    HourGlass busy;
    imported = import(chosen);
  }
  if (replace) {
    MatrixList[static_cast<std::size_t>(CurrentMatrix - 1)] = std::move(imported);
  } else {
    if (shown && MatrixChanged) StoreMatrix(CurrentMatrix);
    MatrixList.push_back(std::move(imported));
    CurrentMatrix = static_cast<int>(MatrixList.size());
  }
  ShowMatrix(CurrentMatrix);
  MatrixChecked = false;
  MarkFileSaved(false);
}

void TMveditModel::CheckValueCell(int col, int row) const {
  if (!IsValueCell({MatType, Rows, Cols}, row, col)) return;
  const std::string text = Trimmed(Grid.Cell(col, row));
  if (!text.empty() && !rtl::TryStrToFloat(text))
    throw E_Morvapc(rtl::Format("Invalid numeric value in cell (row %d, col %d)", row, col));
}

// --- Grid editing ----------------------------------------------------------

bool TMveditModel::CanSelectCell(int col, int row) const {
  if (row == 0 || col == 0) return true;
  // A graph's value cells are its edges: three columns, one row per edge.
  if (IsGraphType(MatType)) return row <= Cols && col <= 3;
  if (row > Rows || col > Cols) return false;
  return !IsSymmetricType(MatType) || col <= row;
}

void TMveditModel::StartEdit(int, int) { BlankMatrix = false; }

void TMveditModel::SetEditText(int col, int row, const std::string& text) {
  if (Grid.Cell(col, row) == text) return;
  Grid.SetCell(col, row, text);
  BlankMatrix = false;
  MarkMatrixChanged();
}

// --- Comments ------------------------------------------------------------------

void TMveditModel::ShowComments() {
  View.commentsLines.assign(Comments.begin(), Comments.end());
  View.commentsVisible = true;
}

void TMveditModel::CommentsEdited(const std::vector<std::string>& edited) {
  // The window gives its lines back in UTF-8: a line that shows as it did keeps
  // the bytes it was read with, so that untouched comments are saved unchanged.
  std::vector<std::string> lines = edited;
  for (std::size_t i = 0; i < lines.size() && i < View.commentsLines.size(); ++i)
    if (plat::DisplayUtf8(View.commentsLines[i]) == lines[i]) lines[i] = View.commentsLines[i];
  if (lines == View.commentsLines) return;
  View.commentsLines = std::move(lines);
  MarkMatrixChanged();
}

void TMveditModel::CloseComments() {
  Comments.Clear();
  for (const auto& line : View.commentsLines) Comments.Add(line);
  View.commentsVisible = false;
}
