#include "dataeditor/SheetImport.h"

#include <algorithm>
#include <string>

#include "matrix/Constu.h"
#include "rtl/Convert.h"
#include "rtl/Format.h"
#include "rtl/StringList.h"

namespace {

// The values are requested in blocks of whole rows of at most this many cells.
constexpr int kBlockCells = 7000;

// A cell as text: numbers with '.' and 15 significant digits, Booleans as 1 or 0,
// an error value as the sheet shows it.
std::string CellText(const TSheetCell& cell) {
  switch (cell.kind) {
    case TSheetCell::Kind::Number:
      return rtl::FloatToStr(cell.number);
    case TSheetCell::Kind::Boolean:
      return cell.boolean ? "1" : "0";
    case TSheetCell::Kind::Text:
    case TSheetCell::Kind::Error:
      return cell.text;
    case TSheetCell::Kind::Empty:
      break;
  }
  return {};
}

std::string ParameterText(TSheetReader& sheet, int col) {
  return std::string(rtl::Trim(CellText(sheet.Cell(1, col))));
}

void CheckType(const std::string& text, const TSheetImportRules& rules) {
  if (text == "1" || (text.empty() && rules.emptyTypeIsRectangular)) return;
  // Read directly, a type cell left empty is a parameter line not filled in.
  if (text.empty()) throw E_Morvapc("Problem getting parameter line\nfrom row 1, columns 1 to 4");
  throw E_Morvapc("Invalid matrix type: " + text + ".");
}

// The number of rows or columns: an integer above 0.
int ReadCount(const std::string& text, const char* what) {
  const auto value = rtl::TryStrToInt(text);
  if (!value) throw E_Morvapc(std::string("Bad value for number of ") + what + ": " + text);
  if (*value < 1) throw E_Morvapc(std::string("Number of ") + what + " (" + text + ") must be > 0");
  return *value;
}

// Reads `count` labels from a block one cell wide or one cell high; an empty
// cell gives `prefix` + its number.
void ReadLabels(TSheetBlock& block, int count, const std::string& prefix, const TSheetImportRules& rules,
                const std::function<void(int, const std::string&)>& put) {
  TSheetCell cell;
  for (int k = 1; k <= count; ++k) {
    if (!block.Next(cell)) {
      if (rules.labelsMustBeText) throw E_Morvapc("Bad data type demanded");
      cell = TSheetCell::Empty();
    }
    if (rules.labelsMustBeText && cell.kind != TSheetCell::Kind::Empty && cell.kind != TSheetCell::Kind::Text)
      throw E_Morvapc("Bad data type demanded");
    const std::string text = CellText(cell);
    put(k, text.empty() ? prefix + std::to_string(k) : text);
  }
}

std::string ValueText(const TSheetCell& cell, int row, int col, const TSheetImportRules& rules) {
  if (cell.kind == TSheetCell::Kind::Error && rules.errorValuesRefused)
    throw E_Morvapc(rtl::Format("Invalid numeric value in Excel (row %d, col %d).", row, col));
  return CellText(cell);
}

void ReadValues(TSheetReader& sheet, TMatrixStr& m, const TSheetImportRules& rules,
                const std::function<void()>& afterRow) {
  const int rows = m.Rows;
  const int cols = m.Cols;
  const int blockRows = std::max(1, kBlockCells / cols);
  TSheetCell cell;
  for (int first = 1; first <= rows; first += blockRows) {
    const int count = std::min(blockRows, rows - first + 1);
    auto block = sheet.Block(first + 2, 2, count, cols);
    if (block->Cols() != cols)
      throw E_Morvapc(rtl::Format("Too few columns (%d) returned by DDE (should be %d)", block->Cols(), cols));
    for (int i = first; i < first + count; ++i) {
      for (int j = 1; j <= cols; ++j) {
        if (!block->Next(cell))
          throw E_Morvapc(rtl::Format("Trying to read too many values at a time from Excel (%d x %d)", i, j));
        m.SetCell(i, j, ValueText(cell, i, j, rules));
      }
      if (afterRow) afterRow();
    }
  }
}

}  // namespace

std::unique_ptr<TMatrixStr> ImportSheet(TSheetReader& sheet, const TSheetImportRules& rules,
                                        const std::function<void()>& afterRow) {
  CheckType(ParameterText(sheet, 1), rules);
  const int rows = ReadCount(ParameterText(sheet, 2), "rows");
  const int cols = ReadCount(ParameterText(sheet, 3), "columns");
  CheckMatrixSize(1, rows, cols);
  const std::string missing = ParameterText(sheet, 4);
  if (!missing.empty() && !rtl::TryStrToInt(missing))
    throw E_Morvapc("Bad code given for missing values: " + missing);

  auto m = std::make_unique<TMatrixStr>(1, rows, cols, missing.empty() ? 0 : 1, missing, nullptr);
  auto colLabels = sheet.Block(2, 2, 1, cols);
  ReadLabels(*colLabels, cols, "C", rules, [&](int j, const std::string& text) { m->SetCell(0, j, text); });
  auto rowLabels = sheet.Block(3, 1, rows, 1);
  ReadLabels(*rowLabels, rows, "R", rules, [&](int i, const std::string& text) { m->SetCell(i, 0, text); });
  ReadValues(sheet, *m, rules, afterRow);
  return m;
}
