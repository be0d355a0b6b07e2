#pragma once
// The spreadsheet import: reads one rectangular matrix laid out on a sheet into
// a new matrix of the editor.
//
// Layout (rows and columns counted from 1):
// - row 1, columns 1 to 4: matrix type (1), number of rows, number of columns,
//   missing value (an integer; empty for none);
// - row 2, columns 2 to cols + 1: the column labels ("C" + number when empty);
// - column 1, rows 3 to rows + 2: the row labels ("R" + number when empty);
// - rows 3 to rows + 2, columns 2 to cols + 1: the values.
// The values are read in blocks of whole rows of at most 7000 cells (at least
// one row each). Numbers become text with '.' and 15 significant digits.

#include <functional>
#include <memory>

#include "dataeditor/MatrixStr.h"
#include "dataeditor/SheetReader.h"

// Where the two ways of reading a sheet differ.
struct TSheetImportRules {
  // An empty type cell means a rectangular matrix; otherwise it is refused.
  bool emptyTypeIsRectangular = false;
  // A label cell must hold text or nothing ("Bad data type demanded");
  // otherwise any cell gives its text.
  bool labelsMustBeText = false;
  // An error value in a value cell is refused with its row and column;
  // otherwise the cell takes the error as the sheet shows it.
  bool errorValuesRefused = false;
};

// The rules of the spreadsheet link, and of a workbook file read directly.
inline constexpr TSheetImportRules kLinkImportRules{true, true, true};
inline constexpr TSheetImportRules kWorkbookImportRules{false, false, false};

// Reads the matrix laid out on the sheet. `afterRow`, when set, runs after each
// row of values (the window processes pending messages there). Raises E_Morvapc
// with the import's messages; nothing is kept of a failed import.
std::unique_ptr<TMatrixStr> ImportSheet(TSheetReader& sheet, const TSheetImportRules& rules,
                                        const std::function<void()>& afterRow = {});
