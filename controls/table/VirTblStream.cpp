// The table's stored properties: the row styles ("RowData"), the columns
// with the names of their default cells ("ColData") and the names of the
// cell components in use ("CellData"). Cell names are resolved once the
// table's window exists, when the form's cells are all there.

#include <algorithm>
#include <limits>

#include "controls/table/VirTblCore.h"

bool OwnerPartMatchesForm(const std::string& ownerPart, const std::string& formName) {
  if (ownerPart == formName) return true;
  const std::size_t suffix = formName.rfind('_');
  return suffix != std::string::npos && ownerPart == formName.substr(0, suffix);
}

TVirBaseTableCell* ResolveStoredCellName(const std::string& stored, const TVirCellDirectory& directory,
                                         bool openForms) {
  const std::size_t dot = stored.find('.');
  const std::string ownerPart = dot == std::string::npos ? std::string{} : stored.substr(0, dot);
  const std::string cellName = dot == std::string::npos ? stored : stored.substr(dot + 1);
  if (openForms) return directory.inOpenForm ? directory.inOpenForm(ownerPart, cellName) : nullptr;
  if (!directory.inOwnForm || !OwnerPartMatchesForm(ownerPart, directory.formName)) return nullptr;
  return directory.inOwnForm(cellName);
}

void TVirTableCore::DefineTableProperties(TVirFiler& filer) {
  filer.DefineProperty(
      "RowData", [this](TVirReader& reader) { ReadRowData(reader); },
      [this](TVirWriter& writer) { WriteRowData(writer); }, true);
  filer.DefineProperty(
      "ColData", [this](TVirReader& reader) { ReadColData(reader); },
      [this](TVirWriter& writer) { WriteColData(writer); }, true);
  filer.DefineProperty(
      "CellData", [this](TVirReader& reader) { ReadCellData(reader); },
      [this](TVirWriter& writer) { WriteCellData(writer); }, !usedCells_.empty());
}

void TVirTableCore::WriteRowData(TVirWriter& writer) const {
  writer.WriteListBegin();
  writer.WriteInteger(rows_.DefaultHeight());
  rows_.VisitStyled([&writer](int rowNum, TRowStyle style) {
    writer.WriteInteger(rowNum);
    writer.WriteBoolean(style.Hidden);
    writer.WriteInteger(style.Height);
  });
  writer.WriteListEnd();
}

void TVirTableCore::ReadRowData(TVirReader& reader) {
  reader.ReadListBegin();
  rows_.Clear();
  rows_.SetDefaultHeight(static_cast<int>(reader.ReadInteger()));
  while (!reader.EndOfList()) {
    const std::int64_t rowNum = reader.ReadInteger();
    const bool hidden = reader.ReadBoolean();
    const std::int64_t height = reader.ReadInteger();
    // A row the table does not have (any more) is passed over.
    if (rowNum < 0 || rowNum >= RowLimit() || height < 1 || height > std::numeric_limits<int>::max()) continue;
    rows_.SetRowStyle(static_cast<int>(rowNum), {static_cast<int>(height), hidden});
  }
  reader.ReadListEnd();
}

void TVirTableCore::WriteColData(TVirWriter& writer) const {
  writer.WriteListBegin();
  for (int c = 0; c < ColCount(); ++c) {
    const TVirTableColumn& column = *columns_->Column(c);
    writer.WriteInteger(column.Width());
    writer.WriteBoolean(column.Hidden());
    writer.WriteBoolean(column.DefaultCell() != nullptr);
    if (column.DefaultCell() != nullptr) writer.WriteString(column.DefaultCell()->QualifiedName());
  }
  writer.WriteListEnd();
}

void TVirTableCore::ReadColData(TVirReader& reader) {
  AllowRedrawing(false);
  reader.ReadListBegin();
  columns_->Clear();
  pendingColumnCells_.clear();
  while (!reader.EndOfList()) {
    const std::int64_t width = reader.ReadInteger();
    const bool hidden = reader.ReadBoolean();
    const bool hasCell = reader.ReadBoolean();
    std::string cellName = hasCell ? reader.ReadString() : std::string{};
    if (ColCount() >= TVirTableColumns::kMaxColumns) continue;
    auto column = std::make_unique<TVirTableColumn>(this);
    column->SetWidth(static_cast<int>(std::clamp<std::int64_t>(width, 1, std::numeric_limits<int>::max())));
    column->SetHidden(hidden);
    if (hasCell) pendingColumnCells_.emplace_back(ColCount(), std::move(cellName));
    columns_->Add(column);
  }
  reader.ReadListEnd();
  selection_.SetColCount(ColCount());
  AllowRedrawing(true);
}

void TVirTableCore::WriteCellData(TVirWriter& writer) const {
  writer.WriteListBegin();
  for (const TVirBaseTableCell* cell : usedCells_)
    if (cell->UseCount() > 0) writer.WriteString(cell->QualifiedName());
  writer.WriteListEnd();
}

void TVirTableCore::ReadCellData(TVirReader& reader) {
  reader.ReadListBegin();
  pendingCells_.clear();
  while (!reader.EndOfList()) pendingCells_.push_back(reader.ReadString());
  reader.ReadListEnd();
}

void TVirTableCore::ResolveCellNames() {
  if (pendingCells_.empty() && pendingColumnCells_.empty()) return;
  const TVirCellDirectory directory = HostCellDirectory();
  AllowRedrawing(false);
  // First among the table's own form, then among the open forms of the owner's name.
  for (bool openForms : {false, true}) {
    std::erase_if(pendingCells_, [&](const std::string& name) {
      TVirBaseTableCell* cell = ResolveStoredCellName(name, directory, openForms);
      if (cell == nullptr || !TakesCell(cell, this)) return false;
      if (cell->Table() != this) cell->SetTable(this);
      RegisterCell(*cell);
      return true;
    });
    std::erase_if(pendingColumnCells_, [&](const std::pair<int, std::string>& entry) {
      TVirBaseTableCell* cell = ResolveStoredCellName(entry.second, directory, openForms);
      if (cell == nullptr || entry.first >= ColCount()) return false;
      columns_->Column(entry.first)->SetDefaultCell(cell);
      return true;
    });
  }
  // What cannot be found is dropped.
  pendingCells_.clear();
  pendingColumnCells_.clear();
  AllowRedrawing(true);
}
