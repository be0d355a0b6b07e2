#include "controls/table/VirTblCells.h"

#include <utility>
#include <vector>

#include "controls/table/VirTCBase.h"

TVirTableCells::~TVirTableCells() {
  OnChanged = nullptr;
  Clear();
}

void TVirTableCells::Clear() {
  rows_.VisitAll([this](int, void* row) {
    FreeRow(static_cast<TVirSparseArray*>(row));
    return true;
  });
  rows_.Clear();
}

void TVirTableCells::Changed() {
  if (OnChanged) OnChanged();
}

void TVirTableCells::FreeRecord(TVirCellStyle* record) {
  if (record->Cell != nullptr) record->Cell->Release();
  delete record;
  --recordCount_;
}

void TVirTableCells::FreeRow(TVirSparseArray* row) {
  row->VisitAll([this](int, void* record) {
    FreeRecord(static_cast<TVirCellStyle*>(record));
    return true;
  });
  delete row;
}

TVirCellStyle* TVirTableCells::Record(int rowNum, int colNum) const {
  if (recordCount_ == 0 || !Stored(rowNum) || !Stored(colNum)) return nullptr;
  auto* row = static_cast<TVirSparseArray*>(rows_.Get(rowNum));
  return row ? static_cast<TVirCellStyle*>(row->Get(colNum)) : nullptr;
}

TVirCellStyle& TVirTableCells::MakeRecord(int rowNum, int colNum) {
  auto* row = static_cast<TVirSparseArray*>(rows_.Get(rowNum));
  if (row == nullptr) {
    auto made = std::make_unique<TVirSparseArray>();
    rows_.Put(rowNum, made.get());
    row = made.release();
  }
  auto* record = static_cast<TVirCellStyle*>(row->Get(colNum));
  if (record == nullptr) {
    auto made = std::make_unique<TVirCellStyle>();
    row->Put(colNum, made.get());
    record = made.release();
    ++recordCount_;
  }
  return *record;
}

void TVirTableCells::DropIfUnset(int rowNum, int colNum) {
  TVirCellStyle* record = Record(rowNum, colNum);
  if (record == nullptr || !record->IsUnset()) return;
  auto* row = static_cast<TVirSparseArray*>(rows_.Get(rowNum));
  row->Put(colNum, nullptr);
  FreeRecord(record);
  if (row->Count() == 0) {
    rows_.Put(rowNum, nullptr);
    delete row;
  }
}

TVirBaseTableCell* TVirTableCells::GetCell(int rowNum, int colNum) const {
  const TVirCellStyle* record = Record(rowNum, colNum);
  return record ? record->Cell : nullptr;
}

TVirCellStyle TVirTableCells::GetCellStyle(int rowNum, int colNum) const {
  const TVirCellStyle* record = Record(rowNum, colNum);
  return record ? *record : TVirCellStyle{};
}

void TVirTableCells::SetCell(int rowNum, int colNum, TVirBaseTableCell* cell) {
  if (!Stored(rowNum) || !Stored(colNum) || !TakesCell(cell, table_)) return;
  if (GetCell(rowNum, colNum) == cell) return;
  if (cell == nullptr && Record(rowNum, colNum) == nullptr) return;
  ReplaceCellReference(MakeRecord(rowNum, colNum).Cell, cell, table_);
  DropIfUnset(rowNum, colNum);
  Changed();
}

void TVirTableCells::SetCellStyle(int rowNum, int colNum, const TVirCellStyle& style) {
  if (!Stored(rowNum) || !Stored(colNum)) return;
  const bool unset =
      style.Access == otxDefault && style.Adjust == otaDefault && style.Color == clStyleNotSet && !style.Font;
  if (unset && Record(rowNum, colNum) == nullptr) return;
  TVirCellStyle& record = MakeRecord(rowNum, colNum);
  record.Access = style.Access;
  record.Adjust = style.Adjust;
  record.Color = style.Color;
  record.Font = style.Font;
  DropIfUnset(rowNum, colNum);
  Changed();
}

void TVirTableCells::ForEachRow(const std::function<void(int, TVirSparseArray&)>& action) {
  std::vector<std::pair<int, TVirSparseArray*>> rows;
  rows_.VisitAll([&rows](int r, void* row) {
    rows.emplace_back(r, static_cast<TVirSparseArray*>(row));
    return true;
  });
  for (auto& [r, row] : rows) action(r, *row);
}

void TVirTableCells::DropEmptyRows() {
  ForEachRow([this](int r, TVirSparseArray& row) {
    if (row.Count() != 0) return;
    rows_.Put(r, nullptr);
    delete &row;
  });
}

void TVirTableCells::InsertRow(int rowNum) {
  if (recordCount_ == 0 || !Stored(rowNum)) return;
  // The last row that can hold records has nowhere to go.
  if (auto* last = static_cast<TVirSparseArray*>(rows_.Get(TVirSparseArray::kMaxIndex))) {
    rows_.Put(TVirSparseArray::kMaxIndex, nullptr);
    FreeRow(last);
  }
  rows_.Insert(rowNum, nullptr);
  Changed();
}

void TVirTableCells::DeleteRow(int rowNum) {
  if (recordCount_ == 0 || !Stored(rowNum)) return;
  if (auto* row = static_cast<TVirSparseArray*>(rows_.Get(rowNum))) {
    rows_.Put(rowNum, nullptr);
    FreeRow(row);
  }
  rows_.Delete(rowNum);
  Changed();
}

void TVirTableCells::InsertCol(int colNum) {
  if (recordCount_ == 0 || !Stored(colNum)) return;
  ForEachRow([this, colNum](int, TVirSparseArray& row) {
    if (auto* last = static_cast<TVirCellStyle*>(row.Get(TVirSparseArray::kMaxIndex))) {
      row.Put(TVirSparseArray::kMaxIndex, nullptr);
      FreeRecord(last);
    }
    row.Insert(colNum, nullptr);
  });
  DropEmptyRows();
  Changed();
}

void TVirTableCells::DeleteCol(int colNum) {
  if (recordCount_ == 0 || !Stored(colNum)) return;
  ForEachRow([this, colNum](int, TVirSparseArray& row) {
    if (auto* record = static_cast<TVirCellStyle*>(row.Get(colNum))) {
      row.Put(colNum, nullptr);
      FreeRecord(record);
    }
    row.Delete(colNum);
  });
  DropEmptyRows();
  Changed();
}

void TVirTableCells::ExchangeRows(int rowNum1, int rowNum2) {
  if (recordCount_ == 0 || !Stored(rowNum1) || !Stored(rowNum2)) return;
  rows_.Exchange(rowNum1, rowNum2);
  Changed();
}

void TVirTableCells::ExchangeCols(int colNum1, int colNum2) {
  if (recordCount_ == 0 || !Stored(colNum1) || !Stored(colNum2)) return;
  ForEachRow([colNum1, colNum2](int, TVirSparseArray& row) { row.Exchange(colNum1, colNum2); });
  Changed();
}

void TVirTableCells::ForgetCell(const TVirBaseTableCell* cell) {
  std::vector<std::pair<int, int>> emptied;
  ForEachRow([cell, &emptied](int r, TVirSparseArray& row) {
    row.VisitAll([cell, r, &emptied](int c, void* item) {
      auto* record = static_cast<TVirCellStyle*>(item);
      if (record->Cell == cell) record->Cell = nullptr, emptied.emplace_back(r, c);
      return true;
    });
  });
  for (auto [r, c] : emptied) DropIfUnset(r, c);
}
