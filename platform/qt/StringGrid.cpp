#include "platform/StringGrid.h"

#include "platform/Guard.h"
#include "platform/qt/Peer.h"

#include <QAbstractTableModel>
#include <QBrush>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTableView>

#include <algorithm>
#include <unordered_map>
#include <vector>

namespace plat {

using namespace qtbridge;

namespace {

// Where the row or column at `index` lands when the one at `from` is carried to
// `to` and those between shift by one towards `from`'s old place.
int Carried(int index, int from, int to) {
  if (index == from) return to;
  if (from < to && index > from && index <= to) return index - 1;
  if (from > to && index >= to && index < from) return index + 1;
  return index;
}

// The cells as the view sees them: sizes, flags and the texts it asks for.
// Nothing is kept per cell but the texts set on a grid without a source.
class GridModel : public QAbstractTableModel {
 public:
  GridModel(StringGrid& grid, QObject* parent) : QAbstractTableModel(parent), grid_(grid) {}

  int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : rows; }
  int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : cols; }

  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid()) return {};
    switch (role) {
      case Qt::DisplayRole:
      case Qt::EditRole: return ToQt(Text(index.column(), index.row()));
      case Qt::ToolTipRole: {
        std::string text = Text(index.column(), index.row());
        return text.empty() ? QVariant() : QVariant(ToQt(text));
      }
      case Qt::BackgroundRole: return IsFixed(index.column(), index.row()) ? QVariant::fromValue(heading) : QVariant();
      default: return {};
    }
  }

  Qt::ItemFlags flags(const QModelIndex& index) const override {
    Qt::ItemFlags f = Qt::ItemIsEnabled;
    if (!index.isValid() || IsFixed(index.column(), index.row())) return f;
    f |= Qt::ItemIsSelectable;
    if (grid_.Options() & goEditing) f |= Qt::ItemIsEditable;
    return f;
  }

  bool setData(const QModelIndex& index, const QVariant& value, int role) override {
    if (role != Qt::EditRole || !index.isValid()) return false;
    const int col = index.column(), row = index.row();
    // Closing the editor stores its text once more: only a change is an edit,
    // and a text that shows the same keeps the bytes it was read with.
    if (value.toString() == ToQt(Text(col, row))) return true;
    std::string text = FromQt(value.toString());
    if (!source) Store(col, row, text);
    if (grid_.OnSetEditText) RunGuarded([&] { grid_.OnSetEditText(col, row, text); });
    emit dataChanged(index, index);
    return true;
  }

  std::string Text(int col, int row) const {
    if (col < 0 || row < 0 || col >= cols || row >= rows) return {};
    if (source) return source(col, row);
    auto it = own.find(Key(col, row));
    return it == own.end() ? std::string() : it->second;
  }

  void Store(int col, int row, const std::string& text) {
    if (text.empty()) {
      own.erase(Key(col, row));
    } else {
      own[Key(col, row)] = text;
    }
  }

  // Rows and columns are added or removed at the end, so the current cell stays.
  void SetRows(int count) {
    if (count > rows) {
      beginInsertRows({}, rows, count - 1);
      rows = count;
      endInsertRows();
    } else if (count < rows) {
      beginRemoveRows({}, count, rows - 1);
      rows = count;
      DropOutside();
      endRemoveRows();
    }
  }

  void SetCols(int count) {
    if (count > cols) {
      beginInsertColumns({}, cols, count - 1);
      cols = count;
      endInsertColumns();
    } else if (count < cols) {
      beginRemoveColumns({}, count, cols - 1);
      cols = count;
      DropOutside();
      endRemoveColumns();
    }
  }

  void Reset() {
    beginResetModel();
    endResetModel();
  }

  void Repaint() {
    if (rows > 0 && cols > 0) emit dataChanged(index(0, 0), index(rows - 1, cols - 1));
  }

  bool IsFixed(int col, int row) const { return row < grid_.FixedRows() || col < grid_.FixedCols(); }

  // The texts set on the grid follow a moved row or column.
  void CarryOwn(bool aRow, int from, int to) {
    std::unordered_map<std::uint64_t, std::string> carried;
    for (auto& [key, text] : own) {
      int row = static_cast<int>(key >> 32), col = static_cast<int>(key & 0xFFFFFFFFu);
      int& line = aRow ? row : col;
      line = Carried(line, from, to);
      carried.emplace(Key(col, row), std::move(text));
    }
    own = std::move(carried);
  }

  int cols = 5;
  int rows = 5;
  StringGrid::CellSource source;
  QBrush heading;

 private:
  void DropOutside() {
    std::erase_if(own, [&](const auto& entry) {
      return static_cast<int>(entry.first >> 32) >= rows || static_cast<int>(entry.first & 0xFFFFFFFFu) >= cols;
    });
  }
  static std::uint64_t Key(int col, int row) {
    return (static_cast<std::uint64_t>(row) << 32) | static_cast<std::uint32_t>(col);
  }
  StringGrid& grid_;
  std::unordered_map<std::uint64_t, std::string> own;
};

// Whether the cell may become current: a cell of the grid out of the fixed
// rows and columns that the owner accepts.
bool CanSelect(StringGrid& grid, int col, int row) {
  if (col < grid.FixedCols() || row < grid.FixedRows() || col >= grid.ColCount() || row >= grid.RowCount()) {
    return false;
  }
  bool canSelect = true;
  if (grid.OnSelectCell) RunGuarded([&] { grid.OnSelectCell(col, row, canSelect); });
  return canSelect;
}

// The first cell of row `row` that may become current, from column `from`
// on, forwards or backwards; -1 when there is none.
int SelectableColumn(StringGrid& grid, int row, int from, bool forward) {
  const int step = forward ? 1 : -1;
  for (int col = from; col >= grid.FixedCols() && col < grid.ColCount(); col += step) {
    if (CanSelect(grid, col, row)) return col;
  }
  return -1;
}

void GoTo(StringGrid& grid, int col, int row) {
  if (CanSelect(grid, col, row)) grid.SetCurrent(col, row);
}

// Tab goes on along the row and then to the first cell of the next row;
// Shift+Tab goes back likewise.
void Tab(StringGrid& grid, bool forward) {
  const int col = grid.Col(), row = grid.Row();
  if (const int inRow = SelectableColumn(grid, row, forward ? col + 1 : col - 1, forward); inRow >= 0) {
    grid.SetCurrent(inRow, row);
    return;
  }
  const int next = forward ? row + 1 : row - 1;
  if (next < grid.FixedRows() || next >= grid.RowCount()) return;
  const int inNext = SelectableColumn(grid, next, forward ? grid.FixedCols() : grid.ColCount() - 1, forward);
  if (inNext >= 0) grid.SetCurrent(inNext, next);
}

// Moves the current cell for Enter, Up, Down, Tab and Shift+Tab; false for
// any other key, which the view or the editor handles as its own.
bool MoveByKey(StringGrid& grid, const QKeyEvent& event) {
  const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
  const bool shift = modifiers == Qt::ShiftModifier;
  if (modifiers != Qt::NoModifier && !shift) return false;
  const int col = grid.Col(), row = grid.Row();
  if (col < 0 || row < 0) return false;
  switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Down:
      if (shift) return false;  // Shift+Down widens the selection
      GoTo(grid, col, row + 1);
      return true;
    case Qt::Key_Up:
      if (shift) return false;
      GoTo(grid, col, row - 1);
      return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      if (!(grid.Options() & goTabs)) return false;
      Tab(grid, event.key() == Qt::Key_Tab && !shift);
      return true;
    default: return false;
  }
}

// Tells the grid when the in-place editor opens and closes, and moves the
// current cell for the keys that move it while the editor is open.
class GridDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  std::function<void(int col, int row)> onStart;
  std::function<bool(const QKeyEvent& event)> onKey;
  QPointer<QWidget> editor;

  bool eventFilter(QObject* object, QEvent* event) override {
    if (event->type() == QEvent::KeyPress && onKey && onKey(*static_cast<QKeyEvent*>(event))) return true;
    return QStyledItemDelegate::eventFilter(object, event);
  }

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

// The view of the cells. A press on a row's cell in a fixed column (a column's
// cell in a fixed row) starts dragging it, when the options allow; a line marks
// where it goes, and the release carries it there.
class GridView : public QTableView {
 public:
  GridView(StringGrid& grid, QWidget* parent) : QTableView(parent), grid_(grid) {}

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    // A drag whose release never came (the window lost the mouse) ends here.
    moving_ = Moving::None;
    if (event->button() == Qt::LeftButton && StartMove(event->position().toPoint())) {
      event->accept();
      return;
    }
    QTableView::mousePressEvent(event);
  }

  void mouseMoveEvent(QMouseEvent* event) override {
    if (moving_ == Moving::None) {
      QTableView::mouseMoveEvent(event);
      return;
    }
    // Only a row (column) below the fixed ones is a place to go; elsewhere the mark stays.
    const QPoint p = event->position().toPoint();
    const int at = moving_ == Moving::Row ? rowAt(p.y()) : columnAt(p.x());
    const int fixed = moving_ == Moving::Row ? grid_.FixedRows() : grid_.FixedCols();
    if (at >= fixed && at != target_) {
      target_ = at;
      viewport()->update();
    }
    event->accept();
  }

  void mouseReleaseEvent(QMouseEvent* event) override {
    if (moving_ == Moving::None) {
      QTableView::mouseReleaseEvent(event);
      return;
    }
    event->accept();
    const bool rows = moving_ == Moving::Row;
    moving_ = Moving::None;
    viewport()->update();
    if (target_ != source_) FinishMove(rows, source_, target_);
    if (wasEditing_) grid_.SetEditorMode(true);
  }

  void keyPressEvent(QKeyEvent* event) override {
    if (MoveByKey(grid_, *event)) {
      event->accept();
      return;
    }
    QTableView::keyPressEvent(event);
  }

  void paintEvent(QPaintEvent* event) override {
    QTableView::paintEvent(event);
    if (moving_ == Moving::None) return;
    // The mark lies on the far edge of the place when the line goes forward, else on its near edge.
    QPainter painter(viewport());
    painter.setPen(QPen(palette().color(QPalette::Highlight), 3));
    const bool forward = target_ > source_;
    if (moving_ == Moving::Row) {
      const int y = rowViewportPosition(target_) + (forward ? rowHeight(target_) - 1 : 0);
      painter.drawLine(0, y, viewport()->width(), y);
    } else {
      const int x = columnViewportPosition(target_) + (forward ? columnWidth(target_) - 1 : 0);
      painter.drawLine(x, 0, x, viewport()->height());
    }
  }

 private:
  enum class Moving { None, Row, Col };

  bool StartMove(const QPoint& p) {
    const int row = rowAt(p.y()), col = columnAt(p.x());
    if (row < 0 || col < 0) return false;
    const GridOptions options = grid_.Options();
    const bool rowMove = (options & goRowMoving) && col < grid_.FixedCols() && row >= grid_.FixedRows();
    const bool colMove = (options & goColMoving) && row < grid_.FixedRows() && col >= grid_.FixedCols();
    if (!rowMove && !colMove) return false;
    wasEditing_ = grid_.EditorMode();
    grid_.SetEditorMode(false);
    moving_ = rowMove ? Moving::Row : Moving::Col;
    source_ = target_ = rowMove ? row : col;
    viewport()->update();
    return true;
  }

  void FinishMove(bool rows, int from, int to) {
    auto* cells = static_cast<GridModel*>(model());
    if (!cells->source) cells->CarryOwn(rows, from, to);
    CarrySizes(rows, from, to);
    const QModelIndex current = currentIndex();
    const auto& moved = rows ? grid_.OnRowMoved : grid_.OnColumnMoved;
    if (moved) RunGuarded([&] { moved(from, to); });
    cells->Repaint();
    if (current.isValid()) {
      // The current cell stays on its text: no new cell was chosen.
      const int row = rows ? Carried(current.row(), from, to) : current.row();
      const int col = rows ? current.column() : Carried(current.column(), from, to);
      QSignalBlocker block(selectionModel());
      selectionModel()->setCurrentIndex(cells->index(row, col), QItemSelectionModel::ClearAndSelect);
    }
  }

  // Heights of the rows (widths of the columns) between the two places follow their lines.
  void CarrySizes(bool rows, int from, int to) {
    const int first = std::min(from, to), last = std::max(from, to);
    std::vector<int> sizes;
    for (int i = first; i <= last; ++i) sizes.push_back(rows ? rowHeight(i) : columnWidth(i));
    for (int i = first; i <= last; ++i) {
      const int size = sizes[static_cast<std::size_t>(i - first)];
      const int at = Carried(i, from, to);
      if (rows) {
        setRowHeight(at, size);
      } else {
        setColumnWidth(at, size);
      }
    }
  }

  StringGrid& grid_;
  Moving moving_ = Moving::None;
  int source_ = -1;
  int target_ = -1;
  bool wasEditing_ = false;
};

QTableView* Table(const StringGrid& grid) { return static_cast<QTableView*>(grid.Peer().widget.data()); }
GridModel* Model(const StringGrid& grid) { return static_cast<GridModel*>(Table(grid)->model()); }
GridDelegate* Delegate(const StringGrid& grid) { return static_cast<GridDelegate*>(Table(grid)->itemDelegate()); }

// Space the view leaves around a cell's text.
constexpr int kCellMargin = 8;

}  // namespace

StringGrid::StringGrid(Control& parent) : Control(&parent, MakePeer(new GridView(*this, ContainerOf(parent)))) {
  QTableView* table = Table(*this);
  auto* model = new GridModel(*this, table);
  model->heading = table->palette().button();
  table->setModel(model);
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
  delegate->onKey = [this](const QKeyEvent& event) { return MoveByKey(*this, event); };
  table->setItemDelegate(delegate);
  QObject::connect(table->selectionModel(), &QItemSelectionModel::currentChanged,
                   [this](const QModelIndex& current, const QModelIndex& previous) {
                     if (current.isValid())
                       CurrentChanged(current.column(), current.row(), previous.column(), previous.row());
                   });
}

// The view has made the cell current and closed the editor of the one before:
// the owner may keep the user on the old cell or refuse the new one, and the
// old cell then is current again, with its editor.
void StringGrid::CurrentChanged(int col, int row, int oldCol, int oldRow) {
  bool canLeave = true;
  if (OnLeaveCell && oldCol >= 0 && oldRow >= 0) RunGuarded([&] { OnLeaveCell(oldCol, oldRow, canLeave); });
  QTableView* t = Table(*this);
  QModelIndex current = t->model()->index(row, col);
  if (!canLeave || !CanSelect(*this, col, row)) {
    current = t->model()->index(oldRow, oldCol);
    QSignalBlocker block(t->selectionModel());
    t->selectionModel()->setCurrentIndex(current, QItemSelectionModel::ClearAndSelect);
  }
  if ((options_ & goAlwaysShowEditor) && current.isValid()) t->edit(current);
}

int StringGrid::ColCount() const { return Model(*this)->cols; }
int StringGrid::RowCount() const { return Model(*this)->rows; }

void StringGrid::SetColCount(int count) { Model(*this)->SetCols(std::max(1, count)); }
void StringGrid::SetRowCount(int count) { Model(*this)->SetRows(std::max(1, count)); }

void StringGrid::SetFixedCols(int count) {
  fixedCols_ = std::max(0, count);
  RefreshFixed();
}

void StringGrid::SetFixedRows(int count) {
  fixedRows_ = std::max(0, count);
  RefreshFixed();
}

// Fixed cells look like headings and take no selection or edits; the others follow the options.
void StringGrid::RefreshFixed() { Model(*this)->Repaint(); }

std::string StringGrid::Cell(int col, int row) const { return Model(*this)->Text(col, row); }

void StringGrid::SetCell(int col, int row, const std::string& text) {
  GridModel* model = Model(*this);
  if (model->source || col < 0 || row < 0 || col >= model->cols || row >= model->rows) return;
  model->Store(col, row, text);
  QModelIndex index = model->index(row, col);
  emit model->dataChanged(index, index);
}

void StringGrid::SetCellSource(CellSource source) {
  Model(*this)->source = std::move(source);
  Model(*this)->Reset();
}

void StringGrid::CellsChanged() { Model(*this)->Repaint(); }

std::string StringGrid::CellHint(int col, int row) const {
  GridModel* model = Model(*this);
  return FromQt(model->data(model->index(row, col), Qt::ToolTipRole).toString());
}

void StringGrid::FitColWidthTo(int col, const std::string& text) {
  QTableView* table = Table(*this);
  const int width = table->fontMetrics().horizontalAdvance(ToQt(text)) + 2 * kCellMargin;
  table->setColumnWidth(col, std::max(width, table->horizontalHeader()->defaultSectionSize()));
}

Rect StringGrid::CellRect(int col, int row) const {
  QTableView* table = Table(*this);
  const QModelIndex index = Model(*this)->index(row, col);
  QRect shown = table->visualRect(index).intersected(table->viewport()->rect());
  if (!index.isValid() || shown.isEmpty()) return {};
  shown.moveTopLeft(table->viewport()->mapTo(table, shown.topLeft()));
  return {shown.left(), shown.top(), shown.left() + shown.width(), shown.top() + shown.height()};
}

int StringGrid::ColWidth(int col) const { return Table(*this)->columnWidth(col); }
void StringGrid::SetColWidth(int col, int width) { Table(*this)->setColumnWidth(col, width); }
int StringGrid::RowHeight(int row) const { return Table(*this)->rowHeight(row); }
void StringGrid::SetRowHeight(int row, int height) { Table(*this)->setRowHeight(row, height); }

void StringGrid::SetDefaultColWidth(int width) {
  QTableView* table = Table(*this);
  table->horizontalHeader()->setDefaultSectionSize(width);
  for (int col = 0; col < ColCount(); ++col) table->setColumnWidth(col, width);
}

void StringGrid::SetDefaultRowHeight(int height) {
  QTableView* table = Table(*this);
  table->verticalHeader()->setDefaultSectionSize(height);
  for (int row = 0; row < RowCount(); ++row) table->setRowHeight(row, height);
}

int StringGrid::DefaultRowHeight() const { return Table(*this)->verticalHeader()->defaultSectionSize(); }

void StringGrid::SetOptions(GridOptions options) {
  if (options == options_) return;
  options_ = options;
  QTableView* table = Table(*this);
  table->setEditTriggers((options & goEditing) ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                                     QAbstractItemView::AnyKeyPressed
                                               : QAbstractItemView::NoEditTriggers);
  table->setTabKeyNavigation((options & goTabs) != 0);
  table->setSelectionMode((options & goRangeSelect) ? QAbstractItemView::ContiguousSelection
                                                    : QAbstractItemView::SingleSelection);
  table->setSelectionBehavior((options & goRowSelect) ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
  RefreshFixed();
}

int StringGrid::Col() const { return Table(*this)->currentIndex().column(); }
int StringGrid::Row() const { return Table(*this)->currentIndex().row(); }
void StringGrid::SetCurrent(int col, int row) { Table(*this)->setCurrentIndex(Model(*this)->index(row, col)); }

bool StringGrid::EditorMode() const { return Delegate(*this)->editor != nullptr; }

void StringGrid::SetEditorMode(bool editing) {
  QTableView* table = Table(*this);
  GridDelegate* delegate = Delegate(*this);
  if (editing && !delegate->editor && table->currentIndex().isValid()) {
    table->edit(table->currentIndex());
  } else if (!editing && delegate->editor) {
    QWidget* editor = delegate->editor;
    emit delegate->commitData(editor);
    emit delegate->closeEditor(editor);
  }
}

}  // namespace plat
