#pragma once
// TVirTableCells: the per-cell store of a table. It assigns a cell component
// and a style to single cells, kept in a sparse array by row whose items are
// sparse arrays by column. A record with nothing set is never kept. Rows and
// columns from 320000 on have no record: reads say so and writes are ignored.

#include <functional>
#include <optional>

#include "controls/table/VirSparse.h"
#include "controls/table/VirTblDef.h"
#include "platform/Canvas.h"

class TVirBaseTableCell;
class TVirTableAncestor;

struct TVirCellStyle {
  TVirTblAccess Access = otxDefault;
  TVirTblAdjust Adjust = otaDefault;
  plat::Color Color = clStyleNotSet;
  std::optional<plat::Font> Font;
  TVirBaseTableCell* Cell = nullptr;
  bool IsUnset() const {
    return Access == otxDefault && Adjust == otaDefault && Color == clStyleNotSet && !Font && Cell == nullptr;
  }
};

class TVirTableCells {
 public:
  explicit TVirTableCells(TVirTableAncestor* table) : table_(table) {}
  ~TVirTableCells();
  TVirTableCells(const TVirTableCells&) = delete;
  TVirTableCells& operator=(const TVirTableCells&) = delete;

  // The cell component assigned to that one cell, or null.
  TVirBaseTableCell* GetCell(int rowNum, int colNum) const;
  // Takes null, a cell no table uses, or a cell of this table; any other cell
  // is ignored. The cell already in the record changes nothing.
  void SetCell(int rowNum, int colNum, TVirBaseTableCell* cell);
  // A copy of the record, or one with nothing set.
  TVirCellStyle GetCellStyle(int rowNum, int colNum) const;
  // Sets the access, adjustment, colour and font of one cell; its cell component stays.
  void SetCellStyle(int rowNum, int colNum, const TVirCellStyle& style);

  void InsertRow(int rowNum);
  void DeleteRow(int rowNum);
  void InsertCol(int colNum);
  void DeleteCol(int colNum);
  void ExchangeRows(int rowNum1, int rowNum2);
  void ExchangeCols(int colNum1, int colNum2);
  // Every record holding `cell` drops it, without releasing it.
  void ForgetCell(const TVirBaseTableCell* cell);
  // Frees every record, releasing its cell.
  void Clear();
  int RecordCount() const { return recordCount_; }

  std::function<void()> OnChanged;

 private:
  static bool Stored(int n) { return n >= 0 && n <= TVirSparseArray::kMaxIndex; }
  TVirCellStyle* Record(int rowNum, int colNum) const;
  TVirCellStyle& MakeRecord(int rowNum, int colNum);
  // Frees the record when nothing is set in it any more.
  void DropIfUnset(int rowNum, int colNum);
  void FreeRecord(TVirCellStyle* record);
  void FreeRow(TVirSparseArray* row);
  void ForEachRow(const std::function<void(int, TVirSparseArray&)>& action);
  void DropEmptyRows();
  void Changed();

  TVirTableAncestor* table_;
  TVirSparseArray rows_;  // row -> TVirSparseArray* (column -> TVirCellStyle*)
  int recordCount_ = 0;
};
