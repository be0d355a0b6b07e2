#include "platform/StringGrid.h"

#include "platform/Guard.h"
#include "platform/qt/Peer.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTableWidget>

namespace plat {

using namespace qtbridge;

namespace {

// Tells the grid when the in-place editor opens and closes.
class GridDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  std::function<void(int col, int row)> onStart;
  QPointer<QWidget> editor;

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    if (onStart) RunGuarded([&] { onStart(index.column(), index.row()); });
    auto* self = const_cast<GridDelegate*>(this);
    self->editor = QStyledItemDelegate::createEditor(parent, option, index);
    // As the platform's grid, the cell takes the editor's text at every change, so a
    // command run while the editor is open (a menu's Save) sees what was typed.
    if (auto* line = qobject_cast<QLineEdit*>(self->editor.data())) {
      QObject::connect(line, &QLineEdit::textEdited, line, [self, line] {
        // Storing the text puts it back into the editor: the caret stays where the user typed.
        const int caret = line->cursorPosition();
        emit self->commitData(line);
        line->setCursorPosition(caret);
      });
    }
    return self->editor;
  }
  void destroyEditor(QWidget* widget, const QModelIndex& index) const override {
    const_cast<GridDelegate*>(this)->editor = nullptr;
    QStyledItemDelegate::destroyEditor(widget, index);
  }
};

QTableWidget* Table(const StringGrid& grid) { return static_cast<QTableWidget*>(grid.Peer().widget.data()); }
GridDelegate* Delegate(const StringGrid& grid) { return static_cast<GridDelegate*>(Table(grid)->itemDelegate()); }

QTableWidgetItem* ItemAt(QTableWidget* table, int col, int row) {
  QTableWidgetItem* item = table->item(row, col);
  if (item == nullptr) {
    item = new QTableWidgetItem();
    table->setItem(row, col, item);
  }
  return item;
}

}  // namespace

StringGrid::StringGrid(Control& parent) : Control(&parent, MakePeer(new QTableWidget(5, 5, ContainerOf(parent)))) {
  QTableWidget* table = Table(*this);
  table->horizontalHeader()->hide();
  table->verticalHeader()->hide();
  table->horizontalHeader()->setDefaultSectionSize(64);
  table->verticalHeader()->setDefaultSectionSize(24);
  table->verticalHeader()->setMinimumSectionSize(4);
  table->setSelectionMode(QAbstractItemView::SingleSelection);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  auto* delegate = new GridDelegate(table);
  delegate->onStart = [this](int col, int row) {
    if (OnStartEdit) OnStartEdit(col, row);
  };
  table->setItemDelegate(delegate);

  QObject::connect(table, &QTableWidget::itemChanged, [this](QTableWidgetItem* item) {
    if (OnSetEditText) RunGuarded([&] { OnSetEditText(item->column(), item->row(), FromQt(item->text())); });
  });
  QObject::connect(table, &QTableWidget::currentCellChanged, [this](int row, int col, int oldRow, int oldCol) {
    if (row < 0 || col < 0) return;
    bool canSelect = row >= fixedRows_ && col >= fixedCols_;
    if (canSelect && OnSelectCell) RunGuarded([&] { OnSelectCell(col, row, canSelect); });
    QTableWidget* t = Table(*this);
    if (!canSelect) {
      QSignalBlocker block(t);
      t->setCurrentCell(oldRow, oldCol);
      return;
    }
    if (options_ & goAlwaysShowEditor) t->editItem(ItemAt(t, col, row));
  });
  RefreshFixed();
}

int StringGrid::ColCount() const { return Table(*this)->columnCount(); }
int StringGrid::RowCount() const { return Table(*this)->rowCount(); }

void StringGrid::SetColCount(int count) {
  QSignalBlocker block(Table(*this));
  Table(*this)->setColumnCount(std::max(1, count));
  RefreshFixed();
}

void StringGrid::SetRowCount(int count) {
  QSignalBlocker block(Table(*this));
  Table(*this)->setRowCount(std::max(1, count));
  RefreshFixed();
}

void StringGrid::SetFixedCols(int count) {
  fixedCols_ = std::max(0, count);
  RefreshFixed();
}

void StringGrid::SetFixedRows(int count) {
  fixedRows_ = std::max(0, count);
  RefreshFixed();
}

// Fixed cells look like headings and take no selection or edits; the others follow the options.
void StringGrid::RefreshFixed() {
  QTableWidget* table = Table(*this);
  QSignalBlocker block(table);
  QBrush heading = table->palette().button();
  for (int row = 0; row < table->rowCount(); ++row) {
    for (int col = 0; col < table->columnCount(); ++col) {
      QTableWidgetItem* item = ItemAt(table, col, row);
      bool fixed = row < fixedRows_ || col < fixedCols_;
      Qt::ItemFlags flags = Qt::ItemIsEnabled;
      if (!fixed) flags |= Qt::ItemIsSelectable;
      if (!fixed && (options_ & goEditing)) flags |= Qt::ItemIsEditable;
      item->setFlags(flags);
      item->setBackground(fixed ? heading : QBrush());
    }
  }
}

std::string StringGrid::Cell(int col, int row) const {
  QTableWidgetItem* item = Table(*this)->item(row, col);
  return item ? FromQt(item->text()) : std::string();
}

void StringGrid::SetCell(int col, int row, const std::string& text) {
  QTableWidget* table = Table(*this);
  if (col < 0 || row < 0 || col >= table->columnCount() || row >= table->rowCount()) return;
  QSignalBlocker block(table);
  ItemAt(table, col, row)->setText(ToQt(text));
}

int StringGrid::ColWidth(int col) const { return Table(*this)->columnWidth(col); }
void StringGrid::SetColWidth(int col, int width) { Table(*this)->setColumnWidth(col, width); }
int StringGrid::RowHeight(int row) const { return Table(*this)->rowHeight(row); }
void StringGrid::SetRowHeight(int row, int height) { Table(*this)->setRowHeight(row, height); }

void StringGrid::SetDefaultColWidth(int width) {
  QTableWidget* table = Table(*this);
  table->horizontalHeader()->setDefaultSectionSize(width);
  for (int col = 0; col < table->columnCount(); ++col) table->setColumnWidth(col, width);
}

void StringGrid::SetDefaultRowHeight(int height) {
  QTableWidget* table = Table(*this);
  table->verticalHeader()->setDefaultSectionSize(height);
  for (int row = 0; row < table->rowCount(); ++row) table->setRowHeight(row, height);
}

int StringGrid::DefaultRowHeight() const { return Table(*this)->verticalHeader()->defaultSectionSize(); }

void StringGrid::SetOptions(GridOptions options) {
  options_ = options;
  QTableWidget* table = Table(*this);
  table->setEditTriggers((options & goEditing) ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                                     QAbstractItemView::AnyKeyPressed
                                               : QAbstractItemView::NoEditTriggers);
  table->setTabKeyNavigation((options & goTabs) != 0);
  table->setSelectionMode((options & goRangeSelect) ? QAbstractItemView::ContiguousSelection
                                                    : QAbstractItemView::SingleSelection);
  table->setSelectionBehavior((options & goRowSelect) ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
  table->horizontalHeader()->setSectionsMovable((options & goColMoving) != 0);
  table->verticalHeader()->setSectionsMovable((options & goRowMoving) != 0);
  RefreshFixed();
}

int StringGrid::Col() const { return Table(*this)->currentColumn(); }
int StringGrid::Row() const { return Table(*this)->currentRow(); }
void StringGrid::SetCurrent(int col, int row) { Table(*this)->setCurrentCell(row, col); }

bool StringGrid::EditorMode() const { return Delegate(*this)->editor != nullptr; }

void StringGrid::SetEditorMode(bool editing) {
  QTableWidget* table = Table(*this);
  GridDelegate* delegate = Delegate(*this);
  if (editing && !delegate->editor && table->currentItem() != nullptr) {
    table->editItem(table->currentItem());
  } else if (!editing && delegate->editor) {
    QWidget* editor = delegate->editor;
    emit delegate->commitData(editor);
    emit delegate->closeEditor(editor);
  }
}

}  // namespace plat
