#pragma once
// Everything the data editor's main window does, apart from drawing it: the
// matrices of the open file, the working values and grid texts of the shown
// matrix, the flags, the editing and shape rules, and the New / Open / Save /
// Close flows with their questions. Questions and dialogs go through the
// platform's message-box and dialog services, so the flows run from a test with
// scripted answers; the window (TMveditF) binds its controls to this model.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dataeditor/GridCells.h"
#include "dataeditor/MatrixStr.h"
#include "rtl/StringList.h"

// What the window's controls show besides the grid.
struct TMveditControls {
  std::string caption;
  int typeIndex = 0;
  std::string rowsText, colsText, missingText;
  bool colsEditEnabled = true;
  bool colMenusEnabled = true;
  bool delRowEnabled = true;
  bool delColEnabled = true;
  bool rowColMoving = true;
  int spinMax = 1, spinValue = 1;
  bool spinEnabled = false;
  bool savedShown = false;
  // "Row Labs" and "Col.Labs": down while the labels column or heading row is editable.
  bool rowLabsDown = false, colLabsDown = false;
  int fixedRows = 1, fixedCols = 1;
  bool commentsVisible = false;
  std::vector<std::string> commentsLines;
};

class TMveditModel {
 public:
  // The state of a new window: settings read, a blank 7 x 4 grid, no matrix yet.
  TMveditModel();

  // Opens the file named by the only argument, or starts a new matrix.
  void Start(const std::vector<std::string>& args);

  // --- The shown matrix and the file -------------------------------------
  std::vector<std::unique_ptr<TMatrixStr>> MatrixList;
  int CurrentMatrix = 1;
  int MatType = 1;
  int Rows = 7;
  int Cols = 4;
  int MissingCode = 0;
  std::string MissingText;
  int RowLabelCode = 1;
  bool ColLabelFlag = true;
  rtl::StringList Comments;
  std::string FileName;
  const std::string VersionText;

  bool MatrixChanged = false;
  bool FileChanged = false;
  bool BlankMatrix = false;
  bool MatrixChecked = false;

  // Settings of section "Mvedit".
  std::string AltEditor;
  std::string FontFace = "Courier New";
  int FontSize = 8;
  std::string Directory;

  TGridCells Grid;
  TMveditControls View;
  // Grows whenever the model changed the grid's texts or shape (not for the user's own cell edits).
  int GridRevision = 0;
  // Grows whenever a matrix is shown: the window then fits its columns to their texts.
  int MatrixShown = 0;

  // --- Matrix list --------------------------------------------------------
  void ShowMatrix(int k);
  void StoreMatrix(int k);
  void ClearGrid(int rows, int cols);
  void DeleteCurrentMatrix();

  // --- Files --------------------------------------------------------------
  // Replaces the matrices with those of the file and shows the first; on any
  // error the model is left as it was and the error goes to the caller.
  void LoadFile(const std::string& name);
  // Writes every matrix but an untouched new one. False, after an error box,
  // when the file could not be written; the file on disk is then unchanged.
  bool SaveFile(const std::string& name);
  bool SaveFileAs();
  // True when the shown matrix may be saved; may fill empty cells on request.
  bool CheckMatrix();
  // Raises the check's error "Invalid numeric value in cell (row r, col c)"
  // when the grid cell is a value cell whose text is not a number; an empty
  // cell passes.
  void CheckValueCell(int col, int row) const;

  // --- Window commands ----------------------------------------------------
  void NewMatrix();
  void NewFile();
  void OpenFile();
  bool SaveFileCommand();
  bool SaveFileAsCommand();
  // True when the window may close.
  bool CloseQuery();
  void DeleteMatrix();
  void SpinChanged(int value);
  void TypeChanged(int index);
  // The edits' texts are taken when the user leaves them.
  void RowsEditExit(const std::string& text);
  void ColsEditExit(const std::string& text);
  void MissingEditExit(const std::string& text);
  void InsertRow(int row);
  void DeleteRow(int row);
  void InsertColumn(int col);
  void DeleteColumn(int col);
  // The user dragged a row (column) of the grid elsewhere: its label and values go together.
  void RowMoved(int from, int to);
  void ColumnMoved(int from, int to);
  void SetRowLabelsEditable(bool down);
  void SetColLabelsEditable(bool down);
  void ChooseAltEditor();
  // True when the user picked a font (FontFace and FontSize then hold it).
  bool ChooseFont();

  // --- Spreadsheet import ---------------------------------------------------
  // "using OLE ...": imports the matrix laid out on the first sheet of a
  // workbook file (.xls, .xlsx or .ods) that the user picks.
  void ImportWorkbook();
  // "using DDE ...": no spreadsheet program answers the link on this system;
  // says so and changes nothing.
  void ImportOverLink();
  // Reads a matrix from the file the user picks.
  using TSheetImporter = std::function<std::unique_ptr<TMatrixStr>(const std::string& path)>;
  // Asks whether the import replaces the shown matrix, runs the file dialog and
  // imports with `import`. Only a complete import changes anything: it replaces
  // the shown matrix or is appended, and is shown. Cancel leaves everything as
  // it was, and so does a failure, whose error goes to the caller.
  void ImportMatrix(const TSheetImporter& import);

  // --- Grid editing ---------------------------------------------------------
  bool CanSelectCell(int col, int row) const;
  void StartEdit(int col, int row);
  void SetEditText(int col, int row, const std::string& text);

  // --- Comments window ------------------------------------------------------
  void ShowComments();
  void CommentsEdited(const std::vector<std::string>& lines);
  void CloseComments();

 private:
  void MarkMatrixChanged();
  void MarkFileSaved(bool saved);
  // Asks "Save changes to file?" when the file has unsaved changes and saves on
  // Yes; false when the user cancelled or the save failed.
  bool ConfirmSaveChanges();
  // Asks "Keep changes to current matrix?" when the grid holds edits; false on Cancel.
  bool ConfirmKeepMatrix(bool forgetOnNo);
  bool HasMatricesToSave() const;
  void StartAltEditor(const std::string& fileName);
  void RememberDirectoryOf(const std::string& fileName);
  // Where the open and save dialogs start: the folder of the open file, else the
  // one remembered from the last open or save, else the current folder.
  std::string StartFolder() const;
  // The sizes and type in their controls.
  void ShowSizes();
  // After a change of shape: controls, flags (when `markChanged`) and grid.
  void ShapeEdited(bool markChanged);
  // Refuses a size too large; the edit then shows `current` again.
  void CheckEditedSize(int rows, int cols, std::string& editText, int current);
  void UpdateRowButtons();
  void ShowTypeControls();
  void ApplyFixedCells();
  void GridChanged() { ++GridRevision; }
  // Grid shifts that keep a symmetric matrix's triangle in place.
  void ShiftRowsDown(int at);
  void ShiftRowsUp(int at);
  void ShiftColsRight(int at);
  void ShiftColsLeft(int at);
  // A row or column of the matrix dragged elsewhere: marks the matrix changed.
  void GridLinesMoved();
  // Parses a size edit's text (the number-conversion error restores the edit).
  int ParseSizeEdit(const std::string& text, std::string& editText, int current);
  // Asks the shrink question; on Cancel the edit shows `current` again.
  bool ConfirmShrink(const char* question, std::string& editText, int current);
};
