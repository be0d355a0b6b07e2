#pragma once
// Decoder of a block of cells in the spreadsheet's fast table format
// ("XlTable"): a sequence of records, each a 16-bit type, a 16-bit byte count
// and the data, all little-endian. The first record (type 16) gives the
// table's rows and columns; the others hold cells row by row:
//
//   1 float    8-byte IEEE double a cell
//   2 string   a length byte and that many characters a cell
//   3 Boolean  u16 a cell, non-zero is true
//   4 error    u16 code a cell (0, 7, 15, 23, 29, 36, 42)
//   5 blank    one u16: the number of blank cells
//   6 integer  signed 16-bit a cell
//
// Records of any other type count as one cell of 2 bytes each.
//
// The block comes from another program, so nothing in it is trusted: every
// read is checked against its record and the block's end, and a block that
// does not hold what its records claim raises ExcelError "Bad data format in
// xlTable" instead of reading outside it.

#include <cstdint>
#include <string>
#include <string_view>

// The record types; 0 means that no cell is left.
enum : int {
  xlNoData = 0,
  xlFloat = 1,
  xlString = 2,
  xlBool = 3,
  xlError = 4,
  xlBlank = 5,
  xlInt = 6,
  xlSkip = 7,
  xlTableHeader = 16,
};

class TCustomXlTableData {
 public:
  virtual ~TCustomXlTableData() = default;

  // Passes over `n` cells, whatever they hold.
  virtual void Skip(std::int64_t n) = 0;
  void SkipCell() { Skip(1); }
};

class TGetXlTableData : public TCustomXlTableData {
 public:
  // Copies the block and reads its header; an empty block is an empty table.
  // Raises ExcelError "Error retrieving xlTable: bad header" when the first
  // record is not a table header.
  void Load(std::string_view block);

  int Rows() const { return rows_; }
  int Columns() const { return columns_; }
  // The type (low byte) of the record the next cell comes from; xlNoData when
  // the block or the table's cells are used up.
  int DataType() const { return type_; }

  // Each reader demands its record type (else ExcelError "Bad data type
  // demanded") and takes one cell.
  double ReadFloat();
  std::string ReadString();
  bool ReadBool();
  // The error's index 0 to 6 (codes 0, 7, 15, 23, 29, 36, 42).
  int ReadError();
  int ReadInt();

  void Skip(std::int64_t n) override;

 private:
  void Demand(int type) const;
  // Checks that `n` bytes of the current record are left.
  void Need(std::size_t n) const;
  std::uint16_t U16At(std::size_t at) const;
  // Takes `n` bytes of the current record and counts one cell less.
  void Consume(std::size_t n);
  // Counts one cell less and steps to the next record when this one is used up.
  void CellDone();
  void NextRecord();

  std::string block_;
  int rows_ = 0;
  int columns_ = 0;
  int type_ = xlNoData;
  std::size_t pos_ = 0;        // the next byte of the current record
  std::size_t recordEnd_ = 0;  // the end of the current record's data
  std::uint32_t blanks_ = 0;   // blank cells left in a blank record
  std::int64_t cellsLeft_ = 0;
};
