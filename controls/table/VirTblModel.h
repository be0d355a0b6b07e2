#pragma once
// The table's model apart from its cells: row heights and hidden rows, the
// column list, the colour set and the grid pens. Plain data with change
// notifications; nothing here paints.

#include <array>
#include <functional>
#include <memory>
#include <typeindex>
#include <vector>

#include "controls/table/VirSparse.h"
#include "controls/table/VirTblDef.h"
#include "platform/Canvas.h"
#include "platform/SystemColors.h"

class TVirBaseTableCell;
class TVirTableAncestor;

// (first number, second number, action) of a row or column change.
using TVirChangeNotify = std::function<void(int, int, TVirTblActions)>;

struct TRowStyle {
  int Height = -1;  // -1: the rows' DefaultHeight
  bool Hidden = false;
  friend bool operator==(const TRowStyle&, const TRowStyle&) = default;
};

// Heights and hidden flags of the rows that differ from the default. Only rows
// 0..319999 can carry a style; style calls on higher rows are ignored and
// those rows read as default. A row number below 0 or not below Limit raises
// EVireoTable "row number out of bounds".
class TVirTableRows {
 public:
  static constexpr int kMaxStyledRow = TVirSparseArray::kMaxIndex;

  TVirTableRows() = default;
  ~TVirTableRows();
  TVirTableRows(const TVirTableRows&) = delete;
  TVirTableRows& operator=(const TVirTableRows&) = delete;

  int DefaultHeight() const { return defaultHeight_; }
  void SetDefaultHeight(int height);
  int Limit() const { return limit_; }
  void SetLimit(int limit);

  void Clear();
  void Exchange(int rowNum1, int rowNum2);
  // The stored style with the default height filled in; {DefaultHeight, false} when unstyled.
  TRowStyle RowStyle(int rowNum) const;
  int Height(int rowNum) const { return RowStyle(rowNum).Height; }
  bool Hidden(int rowNum) const { return RowStyle(rowNum).Hidden; }
  bool IsStyled(int rowNum) const;
  void ClearRowStyle(int rowNum);
  void SetRowStyle(int rowNum, TRowStyle style);
  void SetRowHeight(int rowNum, int height);
  int StyledCount() const { return styledCount_; }
  // Calls Visitor(row, style) for every styled row below Limit, in order;
  // the style's height has the default filled in.
  void VisitStyled(const std::function<void(int, TRowStyle)>& visitor) const;
  // Scales the default height and every stored height by M/D (at least 1).
  void Rescale(int m, int d);

  TVirChangeNotify OnChanged;

 private:
  void CheckRow(int rowNum) const;
  TRowStyle* Stored(int rowNum) const;
  int Normalised(int height) const;
  void Notify(int n1, int n2, TVirTblActions action);

  TVirSparseArray styles_;  // row -> TRowStyle*
  int styledCount_ = 0;
  int defaultHeight_ = 30;
  int limit_ = 10;
};

class TVirTableColumns;

// One column: width, hidden flag and the cell component of its cells that
// have none of their own.
class TVirTableColumn {
 public:
  explicit TVirTableColumn(TVirTableAncestor* table) : table_(table) {}
  virtual ~TVirTableColumn();
  TVirTableColumn(const TVirTableColumn&) = delete;
  TVirTableColumn& operator=(const TVirTableColumn&) = delete;

  int Width() const { return width_; }
  // Widths below 1 are refused: a column always takes room.
  void SetWidth(int width);
  bool Hidden() const { return hidden_; }
  void SetHidden(bool hidden);
  TVirBaseTableCell* DefaultCell() const { return defaultCell_; }
  // Takes null, a cell no table uses yet (it is handed this table) or a cell
  // of this table; any other cell is ignored.
  void SetDefaultCell(TVirBaseTableCell* cell);
  int Number() const { return number_; }
  TVirTableAncestor* Table() const { return table_; }
  void Assign(const TVirTableColumn& other);

 private:
  friend class TVirTableColumns;
  void Changed();

  TVirTableAncestor* table_;
  TVirTableColumns* list_ = nullptr;
  int number_ = -1;
  int width_ = 150;
  bool hidden_ = false;
  TVirBaseTableCell* defaultCell_ = nullptr;
};

// The columns of a table, all of one column class.
class TVirTableColumns {
 public:
  static constexpr int kMaxColumns = 134217727;
  using Factory = std::function<std::unique_ptr<TVirTableColumn>(TVirTableAncestor*)>;

  // `count` columns made by `factory`, which makes the list's column class.
  TVirTableColumns(TVirTableAncestor* table, int count, Factory factory);
  template <class Column = TVirTableColumn>
  static std::unique_ptr<TVirTableColumns> Create(TVirTableAncestor* table, int count) {
    return std::make_unique<TVirTableColumns>(table, count,
                                              [](TVirTableAncestor* t) { return std::make_unique<Column>(t); });
  }
  ~TVirTableColumns();
  TVirTableColumns(const TVirTableColumns&) = delete;
  TVirTableColumns& operator=(const TVirTableColumns&) = delete;

  // Takes a column of this table and of the list's class and appends it
  // (true); any other column stays with the caller (false).
  bool Add(std::unique_ptr<TVirTableColumn>& column);
  void Delete(int colNum);
  void Exchange(int colNum1, int colNum2);
  void Clear();
  int Count() const { return static_cast<int>(columns_.size()); }
  // A value above 0 appends columns of the list's class or deletes columns from the end.
  void SetCount(int count);
  TVirTableColumn* Column(int colNum) const;
  TVirBaseTableCell* DefaultCell(int colNum) const;
  // Every column whose DefaultCell is `cell` drops it, without releasing it.
  void ForgetCell(const TVirBaseTableCell* cell);
  void SetOnChanged(TVirChangeNotify onChanged) { onChanged_ = std::move(onChanged); }

 private:
  friend class TVirTableColumn;
  void Notify(int n1, int n2, TVirTblActions action);
  void Renumber();

  TVirTableAncestor* table_;
  Factory factory_;
  std::type_index columnClass_;
  std::vector<std::unique_ptr<TVirTableColumn>> columns_;
  TVirChangeNotify onChanged_;
};

// The table's colour set.
class TVirTableColors {
 public:
  enum Item {
    Locked,
    LockedText,
    ActiveFocused,
    ActiveFocusedText,
    ActiveUnfocused,
    ActiveUnfocusedText,
    Editing,
    EditingText,
    Selected,
    SelectedText,
    kItems
  };
  plat::Color operator[](Item item) const { return colors_[item]; }
  void Set(Item item, plat::Color color);
  void Assign(const TVirTableColors& other);

  std::function<void()> OnChange;

 private:
  std::array<plat::Color, kItems> colors_ = {
      plat::clBtnFace,       plat::clWindowText, plat::clHighlight,  plat::clHighlightText, plat::clHighlight,
      plat::clHighlightText, plat::clBtnFace,    plat::clWindowText, plat::clHighlight,     plat::clHighlightText};
};

// A pen of the grid: the colour of its lines, the colour of the light side of
// a 3-D line, its style and which lines it draws.
class TVirGridPen {
 public:
  plat::Color NormalColor() const { return normalColor_; }
  void SetNormalColor(plat::Color c);
  plat::Color SecondColor() const { return secondColor_; }
  void SetSecondColor(plat::Color c);
  plat::PenStyle Style() const { return style_; }
  void SetStyle(plat::PenStyle s);
  TGridEffect Effect() const { return effect_; }
  void SetEffect(TGridEffect e);
  void Assign(const TVirGridPen& other);

  std::function<void()> OnChange;

 private:
  void Changed();
  plat::Color normalColor_ = plat::clBtnShadow;
  plat::Color secondColor_ = plat::clBtnHighlight;
  plat::PenStyle style_ = plat::PenStyle::Solid;
  TGridEffect effect_ = geBoth;
};

class TVirGridPenSet {
 public:
  TVirGridPenSet();
  TVirGridPen NormalGrid;         // lines between ordinary cells
  TVirGridPen LockedGrid;         // lines of locked rows and columns
  TVirGridPen CellWhenFocused;    // frame of the active cell while the table has the focus
  TVirGridPen CellWhenUnfocused;  // frame of the active cell otherwise
  void SetOnChange(const std::function<void()>& onChange);
};
