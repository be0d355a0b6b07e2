#include "controls/table/VirTblModel.h"

#include <algorithm>
#include <utility>

#include "controls/table/VirTCBase.h"

// ---- rows ----

TVirTableRows::~TVirTableRows() {
  OnChanged = nullptr;
  Clear();
}

void TVirTableRows::Notify(int n1, int n2, TVirTblActions action) {
  if (OnChanged) OnChanged(n1, n2, action);
}

void TVirTableRows::CheckRow(int rowNum) const {
  if (rowNum < 0 || rowNum >= limit_) throw EVireoTable::RowOutOfBounds();
}

TRowStyle* TVirTableRows::Stored(int rowNum) const {
  if (rowNum > kMaxStyledRow) return nullptr;
  return static_cast<TRowStyle*>(styles_.Get(rowNum));
}

int TVirTableRows::Normalised(int height) const { return height < 1 || height == defaultHeight_ ? -1 : height; }

void TVirTableRows::SetDefaultHeight(int height) {
  if (height < 1 || height == defaultHeight_) return;
  defaultHeight_ = height;
  Notify(0, 0, tbaEvery);
}

void TVirTableRows::SetLimit(int limit) {
  limit = std::max(limit, 1);
  if (limit == limit_) return;
  limit_ = limit;
  Notify(-2, 0, tbaOverall);
}

void TVirTableRows::Clear() {
  styles_.VisitAll([](int, void* item) {
    delete static_cast<TRowStyle*>(item);
    return true;
  });
  styles_.Clear();
  styledCount_ = 0;
  Notify(0, 0, tbaEvery);
}

void TVirTableRows::Exchange(int rowNum1, int rowNum2) {
  CheckRow(rowNum1);
  CheckRow(rowNum2);
  if (rowNum1 <= kMaxStyledRow && rowNum2 <= kMaxStyledRow) styles_.Exchange(rowNum1, rowNum2);
  Notify(rowNum1, rowNum2, tbaSwapped);
}

TRowStyle TVirTableRows::RowStyle(int rowNum) const {
  CheckRow(rowNum);
  const TRowStyle* stored = Stored(rowNum);
  if (stored == nullptr) return {defaultHeight_, false};
  return {stored->Height == -1 ? defaultHeight_ : stored->Height, stored->Hidden};
}

bool TVirTableRows::IsStyled(int rowNum) const {
  CheckRow(rowNum);
  return Stored(rowNum) != nullptr;
}

void TVirTableRows::VisitStyled(const std::function<void(int, TRowStyle)>& visitor) const {
  styles_.VisitAll([this, &visitor](int rowNum, void*) {
    if (rowNum >= limit_) return false;
    visitor(rowNum, RowStyle(rowNum));
    return true;
  });
}

void TVirTableRows::ClearRowStyle(int rowNum) {
  CheckRow(rowNum);
  TRowStyle* stored = Stored(rowNum);
  if (stored == nullptr) return;
  styles_.Put(rowNum, nullptr);
  delete stored;
  --styledCount_;
  Notify(rowNum, 0, tbaOne);
}

void TVirTableRows::SetRowStyle(int rowNum, TRowStyle style) {
  CheckRow(rowNum);
  if (rowNum > kMaxStyledRow) return;
  style.Height = Normalised(style.Height);
  if (!style.Hidden && style.Height == -1) return ClearRowStyle(rowNum);
  TRowStyle* stored = Stored(rowNum);
  if (stored != nullptr) {
    if (*stored == style) return;
    *stored = style;
  } else {
    styles_.Put(rowNum, new TRowStyle(style));
    ++styledCount_;
  }
  Notify(rowNum, 0, tbaOne);
}

void TVirTableRows::SetRowHeight(int rowNum, int height) {
  CheckRow(rowNum);
  if (rowNum > kMaxStyledRow) return;
  height = Normalised(height);
  TRowStyle* stored = Stored(rowNum);
  if (stored == nullptr) {
    if (height != -1) SetRowStyle(rowNum, {height, false});
  } else if (stored->Height != height) {
    SetRowStyle(rowNum, {height, stored->Hidden});
  }
}

void TVirTableRows::Rescale(int m, int d) {
  // A scale that is not positive, or one that would bring a height below 1,
  // would break the rule that every row takes room.
  if (m <= 0 || d <= 0) return;
  defaultHeight_ = std::max(1, MulDiv(defaultHeight_, m, d));
  styles_.VisitAll([m, d](int, void* item) {
    auto* style = static_cast<TRowStyle*>(item);
    if (style->Height != -1) style->Height = std::max(1, MulDiv(style->Height, m, d));
    return true;
  });
  Notify(0, 0, tbaEvery);
}

// ---- columns ----

TVirTableColumn::~TVirTableColumn() {
  if (defaultCell_ != nullptr) defaultCell_->Release();
}

void TVirTableColumn::Changed() {
  if (list_ != nullptr) list_->Notify(number_, 0, tbaOne);
}

void TVirTableColumn::SetWidth(int width) {
  if (width < 1 || width == width_) return;
  width_ = width;
  Changed();
}

void TVirTableColumn::SetHidden(bool hidden) {
  if (hidden == hidden_) return;
  hidden_ = hidden;
  Changed();
}

void TVirTableColumn::SetDefaultCell(TVirBaseTableCell* cell) {
  if (ReplaceCellReference(defaultCell_, cell, table_)) Changed();
}

void TVirTableColumn::Assign(const TVirTableColumn& other) {
  SetWidth(other.width_);
  SetHidden(other.hidden_);
  SetDefaultCell(other.defaultCell_);
}

TVirTableColumns::TVirTableColumns(TVirTableAncestor* table, int count, Factory factory)
    : table_(table), factory_(std::move(factory)), columnClass_(typeid(*factory_(table))) {
  SetCount(count);
}

TVirTableColumns::~TVirTableColumns() {
  onChanged_ = nullptr;
  columns_.clear();
}

void TVirTableColumns::Notify(int n1, int n2, TVirTblActions action) {
  if (onChanged_) onChanged_(n1, n2, action);
}

void TVirTableColumns::Renumber() {
  for (std::size_t i = 0; i < columns_.size(); ++i) columns_[i]->number_ = static_cast<int>(i);
}

bool TVirTableColumns::Add(std::unique_ptr<TVirTableColumn>& column) {
  if (!column || column->table_ != table_ || std::type_index(typeid(*column)) != columnClass_) return false;
  if (Count() >= kMaxColumns) throw EVireoTable::MaxColumns();
  column->list_ = this;
  column->number_ = Count();
  columns_.push_back(std::move(column));
  Notify(Count() - 1, 0, tbaAdded);
  return true;
}

void TVirTableColumns::Delete(int colNum) {
  if (colNum < 0 || colNum >= Count()) return;
  columns_.erase(columns_.begin() + colNum);
  Renumber();
  Notify(colNum, 0, tbaRemoved);
}

void TVirTableColumns::Exchange(int colNum1, int colNum2) {
  if (colNum1 < 0 || colNum1 >= Count() || colNum2 < 0 || colNum2 >= Count() || colNum1 == colNum2) return;
  std::swap(columns_[static_cast<std::size_t>(colNum1)], columns_[static_cast<std::size_t>(colNum2)]);
  Renumber();
  Notify(colNum1, colNum2, tbaSwapped);
}

void TVirTableColumns::Clear() {
  columns_.clear();
  Notify(0, 0, tbaEvery);
}

void TVirTableColumns::SetCount(int count) {
  if (count <= 0 || count == Count()) return;
  if (count > kMaxColumns) throw EVireoTable::MaxColumns();
  while (Count() < count) {
    std::unique_ptr<TVirTableColumn> column = factory_(table_);
    Add(column);
  }
  while (Count() > count) Delete(Count() - 1);
}

TVirTableColumn* TVirTableColumns::Column(int colNum) const {
  return colNum >= 0 && colNum < Count() ? columns_[static_cast<std::size_t>(colNum)].get() : nullptr;
}

TVirBaseTableCell* TVirTableColumns::DefaultCell(int colNum) const {
  const TVirTableColumn* column = Column(colNum);
  return column ? column->DefaultCell() : nullptr;
}

void TVirTableColumns::ForgetCell(const TVirBaseTableCell* cell) {
  for (auto& column : columns_)
    if (column->defaultCell_ == cell) column->defaultCell_ = nullptr;
}

// ---- colours and pens ----

void TVirTableColors::Set(Item item, plat::Color color) {
  if (colors_[item] == color) return;
  colors_[item] = color;
  if (OnChange) OnChange();
}

void TVirTableColors::Assign(const TVirTableColors& other) {
  if (colors_ == other.colors_) return;
  colors_ = other.colors_;
  if (OnChange) OnChange();
}

void TVirGridPen::Changed() {
  if (OnChange) OnChange();
}

void TVirGridPen::SetNormalColor(plat::Color c) {
  if (c != normalColor_) normalColor_ = c, Changed();
}
void TVirGridPen::SetSecondColor(plat::Color c) {
  if (c != secondColor_) secondColor_ = c, Changed();
}
void TVirGridPen::SetStyle(plat::PenStyle s) {
  if (s != style_) style_ = s, Changed();
}
void TVirGridPen::SetEffect(TGridEffect e) {
  if (e != effect_) effect_ = e, Changed();
}

void TVirGridPen::Assign(const TVirGridPen& other) {
  normalColor_ = other.normalColor_;
  secondColor_ = other.secondColor_;
  style_ = other.style_;
  effect_ = other.effect_;
  Changed();
}

TVirGridPenSet::TVirGridPenSet() {
  NormalGrid.SetStyle(plat::PenStyle::Dot);
  LockedGrid.SetEffect(ge3D);
  CellWhenFocused.SetNormalColor(plat::clBlack);
  CellWhenUnfocused.SetNormalColor(plat::clBlack);
  CellWhenUnfocused.SetStyle(plat::PenStyle::Dash);
}

void TVirGridPenSet::SetOnChange(const std::function<void()>& onChange) {
  for (TVirGridPen* pen : {&NormalGrid, &LockedGrid, &CellWhenFocused, &CellWhenUnfocused}) pen->OnChange = onChange;
}
