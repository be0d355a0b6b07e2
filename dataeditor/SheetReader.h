#pragma once
// What the spreadsheet import reads: the cells of one sheet, whatever brings
// them (a workbook file read directly, or the spreadsheet link). Rows and
// columns are counted from 1.

#include <memory>
#include <string>

// One cell as the sheet holds it.
struct TSheetCell {
  enum class Kind { Empty, Number, Text, Boolean, Error };
  Kind kind = Kind::Empty;
  double number = 0;     // Number
  bool boolean = false;  // Boolean
  // Text: the text. Error: the error as the sheet shows it ("#DIV/0!", "#N/A", ...).
  std::string text;

  static TSheetCell Empty() { return {}; }
  static TSheetCell OfNumber(double value) { return {Kind::Number, value, false, {}}; }
  static TSheetCell OfText(std::string value) { return {Kind::Text, 0, false, std::move(value)}; }
  static TSheetCell OfBoolean(bool value) { return {Kind::Boolean, 0, value, {}}; }
  static TSheetCell OfError(std::string shown) { return {Kind::Error, 0, false, std::move(shown)}; }
};

// The cells of a range, read once, row by row from its top-left corner.
class TSheetBlock {
 public:
  virtual ~TSheetBlock() = default;
  // The size the source gives the block (it may differ from the size asked for).
  virtual int Rows() const = 0;
  virtual int Cols() const = 0;
  // Reads the next cell into `cell`; false when the block holds no more cells.
  virtual bool Next(TSheetCell& cell) = 0;
};

// One sheet: the first sheet of a workbook, or the sheet the link selected.
class TSheetReader {
 public:
  virtual ~TSheetReader() = default;
  // One cell.
  virtual TSheetCell Cell(int row, int col) = 0;
  // A range of `rows` x `cols` cells with its top-left corner at (top, left).
  virtual std::unique_ptr<TSheetBlock> Block(int top, int left, int rows, int cols) = 0;
};
