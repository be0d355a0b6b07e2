#pragma once
// The first sheet of a workbook file, read directly: ".xls" files (the older
// binary format) and ".xlsx" and ".ods" files (zipped XML), told apart by
// their contents rather than their names.

#include <map>
#include <memory>
#include <string>
#include <utility>

#include "dataeditor/SheetReader.h"

// A sheet whose cells are all held in memory; cells never set are empty.
class TLoadedSheet : public TSheetReader {
 public:
  void Set(int row, int col, TSheetCell cell);
  const TSheetCell* Find(int row, int col) const;

  TSheetCell Cell(int row, int col) override;
  std::unique_ptr<TSheetBlock> Block(int top, int left, int rows, int cols) override;

 private:
  std::map<std::pair<int, int>, TSheetCell> cells_;
};

// Reads the first sheet of the workbook. A file that is no workbook of these
// formats, or a damaged one, raises E_Morvapc naming the file.
std::unique_ptr<TSheetReader> OpenWorkbookSheet(const std::string& path);
