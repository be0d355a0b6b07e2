#pragma once
// The spreadsheet import over the spreadsheet link: the sheet the link has
// selected, read as single cells (text) and blocks of cells (the fast table
// format), and the import's run over the link from connecting to quitting.

#include <functional>
#include <memory>
#include <string>

#include "dataeditor/MatrixStr.h"
#include "dataeditor/SheetLink.h"
#include "dataeditor/SheetReader.h"

class TLinkSheetReader : public TSheetReader {
 public:
  explicit TLinkSheetReader(TExcel& link) : link_(link) {}

  // The cell's text as the program shows it; empty text is an empty cell.
  TSheetCell Cell(int row, int col) override;
  std::unique_ptr<TSheetBlock> Block(int top, int left, int rows, int cols) override;

 private:
  TExcel& link_;
};

// Imports the matrix laid out on the workbook's selected sheet over the link:
// connects (up to 10 tries, 500 ms apart), opens the workbook, reads the layout
// with the link's rules, and on every path closes the workbook, asks the
// program to quit and ends the conversation. Raises E_Morvapc with the
// import's messages, or the link's ExcelError.
std::unique_ptr<TMatrixStr> ImportSheetOverLink(TAdvExcel& link, const std::string& path,
                                                const std::function<void()>& afterRow = {});
